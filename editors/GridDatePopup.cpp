// The calendar popup and its month list. Painting takes every part it
// paints out of a region of the client area and fills only the remainder at
// the end, so no pixel is painted twice in different colours (the popup has
// no background erase). Press-and-hold on the arrows and dragging beyond the
// month list repeat through window timers.
#include "editors/GridDatePopup.h"

#include "editors/EditorTexts.h"
#include "editors/GridDate.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Input.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>

namespace {

constexpr int DaysPerWeek = 7;
constexpr int GridRows = 6;
constexpr int ShownDays = DaysPerWeek * GridRows;
constexpr UINT ArrowRepeatInterval = 170;
constexpr int MonthListRows = 7;
// The month list's scroll timer ids are this plus the step (-4..4).
constexpr UINT_PTR MonthListTimerBase = 5;
// Milliseconds per month by |step|, 1..4.
constexpr UINT MonthListIntervals[] = {500, 250, 100, 50};

// The days a date encodes, and so the calendar's: 0001-01-01 .. 9999-12-31.
const TDateTime FirstCalendarDay = EncodeDate(1, 1, 1);
const TDateTime LastCalendarMonth = EncodeDate(9999, 12, 1);
const TDateTime LastCalendarDay = EncodeDate(9999, 12, 31);
// The month list's seven rows end with the calendar's last month at the latest.
const TDateTime LastMonthListTop = EncodeDate(9999, 12 - MonthListRows + 1, 1);

bool IsCalendarDay(TDateTime D) {
    return D >= FirstCalendarDay && D < LastCalendarDay + 1;
}

TDateTime FirstOfMonth(TDateTime D) {
    Word year, month, day;
    DecodeDate(D, year, month, day);
    return EncodeDate(year, month, 1);
}

// The first of the month Delta months on, held to the calendar's months.
TDateTime AddMonthsTo(TDateTime FirstOfAMonth, int Delta) {
    Word year, month, day;
    DecodeDate(FirstOfAMonth, year, month, day);
    cvGrDate::AddMonths(year, month, Delta);
    TDateTime first = 0;
    if (TryEncodeDate(year, month, 1, first)) return first;
    return Delta < 0 ? FirstCalendarDay : LastCalendarMonth;
}

// "<long month name> <year>".
std::string MonthCaption(TDateTime D) {
    Word year, month, day;
    DecodeDate(D, year, month, day);
    return FormatSettings.LongMonthNames[month - 1] + " " + std::to_string(year);
}

TSize TextSize(HDC DC, const std::string& Text) {
    SIZE size{};
    GetTextExtentPoint32(DC, Text.data(), static_cast<int>(Text.size()), &size);
    return {size.cx, size.cy};
}

// Text at (X, Y) with Fill painted in Back around it, clipped to Fill.
void OpaqueText(HDC DC, const TRect& Fill, int X, int Y, const std::string& Text, TColor Fore, TColor Back) {
    SetTextColor(DC, ColorToRGB(Fore));
    SetBkColor(DC, ColorToRGB(Back));
    ExtTextOut(DC, X, Y, ETO_OPAQUE | ETO_CLIPPED, &Fill, Text.data(), static_cast<int>(Text.size()), nullptr);
}

// Right-aligned 3 pixels from Cell's right edge and vertically centred in Cell.
void CellText(HDC DC, const TRect& Fill, const TRect& Cell, const std::string& Text, TColor Fore, TColor Back) {
    const TSize size = TextSize(DC, Text);
    OpaqueText(DC, Fill, Cell.Right - 3 - size.cx, Cell.Top + (Cell.Height() - size.cy) / 2, Text, Fore, Back);
}

void FillSolid(HDC DC, const TRect& R, TColor Color) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    FillRect(DC, &R, brush);
    DeleteObject(brush);
}

void Exclude(HRGN Remainder, const TRect& R) {
    HRGN part = CreateRectRgnIndirect(R);
    CombineRgn(Remainder, Remainder, part, RGN_DIFF);
    DeleteObject(part);
}

// A filled triangle S (odd) pixels high whose vertical side stands at SideX
// from Top down, pointing left (Direction -1) or right (+1), as rows of pixels.
HRGN CreateArrowRegion(int SideX, int Top, int S, int Direction) {
    const int half = S / 2;
    HRGN arrow = CreateRectRgn(0, 0, 0, 0);
    for (int row = 0; row < S; ++row) {
        const int reach = half - std::abs(row - half);
        const int left = Direction < 0 ? SideX - reach : SideX;
        HRGN line = CreateRectRgn(left, Top + row, left + reach + 1, Top + row + 1);
        CombineRgn(arrow, arrow, line, RGN_OR);
        DeleteObject(line);
    }
    return arrow;
}

} // namespace

// ---- TCustomcvCalendar ------------------------------------------------------

TCustomcvCalendar::TCustomcvCalendar(TComponent* AOwner) : TcvInplacePopupControl(AOwner) {
    const TDateTime today = Date();
    FFirstDate = today;
    FSelAnchor = today;
    FSelEnd = today;
    FControlStyle += csDoubleClicks;
}

TDateTime TCustomcvCalendar::GetFirstDate() {
    return FFirstDate;
}

TDateTime TCustomcvCalendar::GetLastDate() {
    return GetLastMonthDate();
}

TDateTime TCustomcvCalendar::GetSelStart() {
    return FSelAnchor < FSelEnd || FSelEnd == NullDate ? FSelAnchor : FSelEnd;
}

TDateTime TCustomcvCalendar::GetSelFinish() {
    return FSelAnchor < FSelEnd ? FSelEnd : FSelAnchor;
}

void TCustomcvCalendar::SetFirstDate(TDateTime Value) {
    if (FFirstDate == Value) return;
    FFirstDate = Value;
    Invalidate();
}

void TCustomcvCalendar::SetSelectDate(TDateTime D) {
    FSelAnchor = D;
    FSelEnd = NullDate;
    SetSelFinish(D);
}

void TCustomcvCalendar::SetSelFinish(TDateTime D) {
    if (D == FSelEnd) return;
    MakeSelectionVisible();
    FSelEnd = D;
    MakeSelectionVisible();
    if (HandleAllocated()) {
        InvalidateRect(FHandle, nullptr, false);
        UpdateWindow(FHandle);
    }
}

void TCustomcvCalendar::DoDateSelected() {
    Fire(OnDateSelected, this);
}

void TCustomcvCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TcvInplacePopupControl::MouseDown(Button, Shift, X, Y);
    if (Shift.Contains(ssDouble)) return;
    const TDateTime d = DateAtPos({X, Y});
    if (Button != mbLeft) return;
    FPreviousSelection = GetSelStart();
    if (d != NullDate) SetSelectDate(d);
}

void TCustomcvCalendar::MouseMove(TShiftState Shift, int X, int Y) {
    TcvInplacePopupControl::MouseMove(Shift, X, Y);
    if (!Shift.Contains(ssLeft)) return;
    if (!PtInRect(ClientRect(), Point(X, Y))) {
        SetSelFinish(FPreviousSelection);
        return;
    }
    // Over the caption or a margin the selection stays where it is.
    if (const TDateTime d = DateAtPos({X, Y}); d != NullDate) SetSelFinish(d);
}

// ---- TAMonthListBox ---------------------------------------------------------

TAMonthListBox::TAMonthListBox(TcvGridDatePopup* Popup) : TCustomControl(Popup), FPopup(Popup) {
    SetFont(Popup->Font());
}

TAMonthListBox::~TAMonthListBox() {
    StopScrollTimer();
}

void TAMonthListBox::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    // Shown by its popup without activation, above everything.
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle |= WS_EX_TOPMOST;
    Params.WindowClassStyle |= CS_SAVEBITS;
    Params.WndParent = FPopup->Handle();
}

void TAMonthListBox::SetTopDate(TDateTime Value) {
    Value = std::clamp(Value, FirstCalendarDay, LastMonthListTop);
    if (FTopDate == Value) return;
    FTopDate = Value;
    Invalidate();
}

TDateTime TAMonthListBox::SelectedDate() const {
    return FItemIndex < 0 ? NullDate : AddMonthsTo(FTopDate, FItemIndex);
}

TRect TAMonthListBox::ItemRect(int Index) const {
    return {0, Index * FItemHeight, ClientWidth(), (Index + 1) * FItemHeight};
}

void TAMonthListBox::SetItemIndex(int Value) {
    if (FItemIndex == Value) return;
    if (HandleAllocated()) {
        const TRect before = ItemRect(FItemIndex), after = ItemRect(Value);
        InvalidateRect(FHandle, &before, false);
        InvalidateRect(FHandle, &after, false);
    }
    FItemIndex = Value;
}

void TAMonthListBox::StopScrollTimer() {
    if (FScrollTimerId == 0) return;
    if (HandleAllocated()) KillTimer(FHandle, FScrollTimerId);
    FScrollTimerId = 0;
}

void TAMonthListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const int clientHeight = ClientHeight();
    if (PtInRect(ClientRect(), Point(X, Y))) {
        StopScrollTimer();
        SetItemIndex(Y / FItemHeight);
        return;
    }
    SetItemIndex(-1);
    if (Y >= 0 && Y < clientHeight) return;
    const int distance = Y < 0 ? Y : Y + 1 - clientHeight;
    const int step = std::clamp((distance > 0 ? 1 : -1) + distance / 12, -4, 4);
    const UINT_PTR id = MonthListTimerBase + step;
    if (id == FScrollTimerId) return;
    StopScrollTimer();
    FScrollTimerId = SetTimer(Handle(), id, MonthListIntervals[std::abs(step) - 1]);
}

void TAMonthListBox::Paint() {
    HDC dc = Canvas()->Handle();
    SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < MonthListRows; ++i) {
        TRect r = ItemRect(i);
        const bool selected = i == FItemIndex;
        FillSolid(dc, r, selected ? clWindowText : clWindow);
        SetTextColor(dc, ColorToRGB(selected ? clWindow : clWindowText));
        DrawText(dc, MonthCaption(AddMonthsTo(FTopDate, i)), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void TAMonthListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case CM_FONTCHANGED:
        TCustomControl::WndProc(Message);
        // The client area holds exactly the seven rows.
        FItemHeight = FPopup->CaptionHeight() - 2;
        SetBounds(Left(), Top(), 2 * GetSystemMetrics(SM_CXBORDER) + 6 * FPopup->ColumnWidth(),
                  2 * GetSystemMetrics(SM_CYBORDER) + MonthListRows * FItemHeight);
        return;
    case WM_TIMER:
        if (Message.WParam == FScrollTimerId && FScrollTimerId != 0) {
            SetTopDate(AddMonthsTo(FTopDate, Message.WParam < MonthListTimerBase ? -1 : 1));
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}

// ---- TcvGridDatePopup -------------------------------------------------------

TcvGridDatePopup::TcvGridDatePopup(TComponent* AOwner) : TCustomcvCalendar(AOwner) {
    FFirstDate = FirstOfMonth(Date());
    SetBounds(Left(), Top(), 20, 20);
}

TcvGridDatePopup::~TcvGridDatePopup() {
    StopArrowTimer();
}

void TcvGridDatePopup::CreateParams(TCreateParams& Params) {
    TCustomcvCalendar::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void TcvGridDatePopup::CreateWnd() {
    TCustomcvCalendar::CreateWnd();
    Perform(CM_FONTCHANGED);
}

void TcvGridDatePopup::SetShowToday(bool Value) {
    if (FShowToday == Value) return;
    FShowToday = Value;
    AdjustSize();
    Invalidate();
}

void TcvGridDatePopup::SetShowClear(bool Value) {
    if (FShowClear == Value) return;
    FShowClear = Value;
    AdjustSize();
    Invalidate();
}

void TcvGridDatePopup::CalcMetrics() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    const TSize zero = TextSize(dc, "0");
    FColumnWidth = 3 * zero.cx;
    FMargin = 2 * zero.cx;
    FRowHeight = zero.cy + 2;
    FCaptionHeight = FRowHeight + 2 + (FSelectedFaceLook ? 1 : 0);
    FDayNameHeight = FRowHeight + 1;
    FTodayWidth = TextSize(dc, SDatePopupToday).cx + FColumnWidth;
    FClearWidth = TextSize(dc, SDatePopupClear).cx + FColumnWidth;
    const int points = Font()->Size();
    FButtonOffset = points / 2;
    FButtonHeight = MulDiv(TextSize(dc, "Wg").cy, 20, 13);
    FButtonRowHeight = points * 3 / 4 + FButtonOffset + FButtonHeight;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
}

void TcvGridDatePopup::AdjustSize() {
    CalcMetrics();
    const int frameWidth = Width() - ClientWidth(), frameHeight = Height() - ClientHeight();
    const int clientWidth = 2 * FMargin + DaysPerWeek * FColumnWidth;
    const int clientHeight =
        FCaptionHeight + FDayNameHeight + GridRows * FRowHeight + 1 + (HasButtons() ? FButtonRowHeight : 0);
    SetBounds(Left(), Top(), frameWidth + clientWidth, frameHeight + clientHeight);
}

TDateTime TcvGridDatePopup::GetFirstDate() {
    const int index = cvGrDate::WeekDayIndex(FFirstDate);
    // At least one day of the month before is always shown.
    return FFirstDate - (index == 0 ? DaysPerWeek : index);
}

TDateTime TcvGridDatePopup::GetLastDate() {
    return GetFirstDate() + ShownDays - 1;
}

TDateTime TcvGridDatePopup::GetLastMonthDate() {
    Word year, month, day;
    DecodeDate(FFirstDate, year, month, day);
    return FFirstDate + cvGrDate::DaysPerMonth(year, month) - 1;
}

void TcvGridDatePopup::SetFirstDate(TDateTime Value) {
    TCustomcvCalendar::SetFirstDate(FirstOfMonth(Value));
}

void TcvGridDatePopup::SetSelFinish(TDateTime D) {
    // The selection is always the one day D.
    if (D != FSelEnd) FSelAnchor = D;
    TCustomcvCalendar::SetSelFinish(D);
}

void TcvGridDatePopup::MakeSelectionVisible() {
    if (FSelAnchor == NullDate) return;
    if (GetFirstDate() > FSelAnchor) {
        // Backwards out of the grid shows the month before the anchor's.
        Word year, month, day;
        DecodeDate(FSelAnchor, year, month, day);
        cvGrDate::AddMonths(year, month, -1);
        // In the calendar's first month there is none before.
        TDateTime before = 0;
        SetFirstDate(TryEncodeDate(year, month, cvGrDate::ClampDay(year, month, day), before) ? before : FSelAnchor);
    }
    if (GetLastDate() < FSelAnchor) SetFirstDate(static_cast<TDateTime>(cvGrDate::TruncDateTime(FSelAnchor)));
}

TDateTime TcvGridDatePopup::DateAtPos(TPoint P) {
    if (!PtInRect(ClientRect(), P)) return NullDate;
    const TRect days =
        Bounds(FMargin, FCaptionHeight + FDayNameHeight, DaysPerWeek * FColumnWidth, GridRows * FRowHeight);
    if (!PtInRect(days, P)) return NullDate;
    const int column = (P.X - days.Left) / FColumnWidth, row = (P.Y - days.Top) / FRowHeight;
    const TDateTime date = GetFirstDate() + DaysPerWeek * row + column;
    return IsCalendarDay(date) ? date : NullDate;
}

TRect TcvGridDatePopup::LeftArrowRect() const {
    return {1, 1, FColumnWidth - 1, FCaptionHeight - 1};
}

TRect TcvGridDatePopup::RightArrowRect() const {
    const int width = ClientWidth();
    return {width - FColumnWidth, 1, width - 1, FCaptionHeight - 1};
}

TRect TcvGridDatePopup::MonthCaptionRect() const {
    return {FColumnWidth, 1, ClientWidth() - FColumnWidth, FCaptionHeight - 1};
}

int TcvGridDatePopup::ButtonRowTop() const {
    return ClientHeight() - FButtonRowHeight;
}

TRect TcvGridDatePopup::TodayRect() const {
    const int width = ClientWidth();
    const int left = FShowClear ? (width - FTodayWidth - FClearWidth) / 3 : (width - FTodayWidth) / 2;
    return Bounds(left, ButtonRowTop() + FButtonOffset, FTodayWidth, FButtonHeight);
}

TRect TcvGridDatePopup::ClearRect() const {
    const int width = ClientWidth();
    const int gap = FShowToday ? (width - FTodayWidth - FClearWidth) / 3 : (width - FClearWidth) / 2;
    return Bounds(width - gap - FClearWidth, ButtonRowTop() + FButtonOffset, FClearWidth, FButtonHeight);
}

void TcvGridDatePopup::ShowMonth(int Delta) {
    SetFirstDate(AddMonthsTo(FFirstDate, Delta));
}

void TcvGridDatePopup::StopArrowTimer() {
    if (FArrowTimer == 0) return;
    if (HandleAllocated()) KillTimer(FHandle, FArrowTimer);
    FArrowTimer = 0;
}

void TcvGridDatePopup::FreeMonthList() {
    delete FMonthList;
    FMonthList = nullptr;
}

void TcvGridDatePopup::OpenMonthList() {
    FMonthList = new TAMonthListBox(this);
    // The shown month in the middle of the seven.
    FMonthList->SetTopDate(AddMonthsTo(FFirstDate, -3));
    const TRect caption = MonthCaptionRect();
    const TPoint centre = ClientToScreen({(caption.Left + caption.Right) / 2, (caption.Top + caption.Bottom) / 2});
    FMonthList->SetBounds(centre.X - FMonthList->Width() / 2, centre.Y - FMonthList->Height() / 2, FMonthList->Width(),
                          FMonthList->Height());
    ShowWindow(FMonthList->Handle(), SW_SHOWNOACTIVATE);
}

void TcvGridDatePopup::HidePopup() {
    if (HandleAllocated() && IsWindowVisible(FHandle)) {
        if (GetCapture() == FHandle) ReleaseCapture();
        StopArrowTimer();
        FreeMonthList();
        FToday = {};
        FClear = {};
    }
    TCustomcvCalendar::HidePopup();
}

void TcvGridDatePopup::KeyDown(Word& Key, TShiftState Shift) {
    TCustomcvCalendar::KeyDown(Key, Shift);
    const TDateTime d = GetSelStart();
    const bool alt = Shift.Contains(ssAlt), ctrl = Shift.Contains(ssCtrl);
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
        if (alt) {
            HidePopup();
            return;
        }
        break;
    case VK_RETURN:
        if (!FMonthList) {
            HidePopup();
            DoDateSelected();
        }
        return;
    case VK_ESCAPE:
    case VK_F4:
        HidePopup();
        return;
    default:
        break;
    }
    // Without a selection (after Clear) there is no day to move from.
    if (d == NullDate) return;
    Word year, month, day;
    DecodeDate(d, year, month, day);
    const int weekDay = cvGrDate::WeekDayIndex(d);
    TDateTime target = NullDate;
    switch (Key) {
    case VK_LEFT:
        target = d - 1;
        break;
    case VK_RIGHT:
        target = d + 1;
        break;
    case VK_UP:
        target = d - DaysPerWeek;
        break;
    case VK_DOWN:
        target = d + DaysPerWeek;
        break;
    case VK_HOME:
        target = ctrl ? EncodeDate(year, month, 1) : d - weekDay;
        break;
    case VK_END:
        target = ctrl ? EncodeDate(year, month, cvGrDate::DaysPerMonth(year, month)) : d + DaysPerWeek - 1 - weekDay;
        break;
    case VK_PRIOR:
    case VK_NEXT:
        cvGrDate::AddMonths(year, month, Key == VK_PRIOR ? -1 : 1);
        if (!TryEncodeDate(year, month, cvGrDate::ClampDay(year, month, day), target)) target = NullDate;
        break;
    default:
        return;
    }
    // A move beyond the calendar's first or last day stays where it is.
    if (IsCalendarDay(target)) SetSelectDate(target);
}

void TcvGridDatePopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TPoint p{X, Y};
    FDoubleClicked = Shift.Contains(ssDouble);
    if (Button == mbLeft) {
        for (auto [shown, button, rect] :
             {std::tuple{FShowToday, &FToday, TodayRect()}, std::tuple{FShowClear, &FClear, ClearRect()}})
            if (shown && PtInRect(rect, p)) {
                *button = {true, true};
                InvalidateRect(Handle(), &rect, false);
                return;
            }
    }
    if (Y >= FCaptionHeight + FDayNameHeight + GridRows * FRowHeight) return;
    TCustomcvCalendar::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (PtInRect(MonthCaptionRect(), p)) {
        OpenMonthList();
        return;
    }
    const bool left = PtInRect(LeftArrowRect(), p);
    if (!left && !PtInRect(RightArrowRect(), p)) return;
    ShowMonth(left ? -1 : 1);
    if (FArrowTimer == 0)
        FArrowTimer = SetTimer(Handle(), left ? LeftArrowTimer : RightArrowTimer, ArrowRepeatInterval);
}

void TcvGridDatePopup::TrackButton(TDateButton& Button, const TRect& R, TPoint P) {
    const bool inside = PtInRect(R, P);
    if (inside == Button.Inside) return;
    Button.Inside = inside;
    InvalidateRect(Handle(), &R, false);
}

void TcvGridDatePopup::MouseMove(TShiftState Shift, int X, int Y) {
    if (FArrowTimer != 0) return;
    if (FMonthList) {
        // The popup holds the capture; the list follows the pointer in its own coordinates.
        const TPoint p = FMonthList->ScreenToClient(ClientToScreen({X, Y}));
        FMonthList->Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam(p));
        return;
    }
    if (FToday.Pressed) {
        TrackButton(FToday, TodayRect(), {X, Y});
        return;
    }
    if (FClear.Pressed) {
        TrackButton(FClear, ClearRect(), {X, Y});
        return;
    }
    TCustomcvCalendar::MouseMove(Shift, X, Y);
}

void TcvGridDatePopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomcvCalendar::MouseUp(Button, Shift, X, Y);
    const TPoint p{X, Y};
    if (FArrowTimer != 0) {
        StopArrowTimer();
        return;
    }
    if (FMonthList) {
        const TDateTime chosen = FMonthList->SelectedDate();
        FreeMonthList();
        if (chosen != NullDate) SetFirstDate(chosen);
        return;
    }
    if (FToday.Pressed || FClear.Pressed) {
        const bool today = FToday.Pressed;
        const TRect rect = today ? TodayRect() : ClearRect();
        (today ? FToday : FClear).Pressed = false;
        InvalidateRect(Handle(), &rect, false);
        if (!PtInRect(rect, p)) return;
        SetSelectDate(today ? Date() : NullDate);
    }
    CloseAndSelect(p);
}

void TcvGridDatePopup::CloseAndSelect(TPoint P) {
    if (!PtInRect(ClientRect(), P)) return;
    HidePopup();
    if (!FDoubleClicked) DoDateSelected();
}

void TcvGridDatePopup::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case CM_FONTCHANGED:
        TCustomcvCalendar::WndProc(Message);
        AdjustSize();
        return;
    case WM_SIZE:
        TCustomcvCalendar::WndProc(Message);
        AdjustSize();
        return;
    case WM_TIMER:
        if (FArrowTimer != 0 && Message.WParam == FArrowTimer) {
            TPoint p;
            GetCursorPos(p);
            p = ScreenToClient(p);
            const bool left = FArrowTimer == LeftArrowTimer;
            if (PtInRect(left ? LeftArrowRect() : RightArrowRect(), p)) ShowMonth(left ? -1 : 1);
            return;
        }
        break;
    default:
        break;
    }
    TCustomcvCalendar::WndProc(Message);
}

// ---- painting ---------------------------------------------------------------

void TcvGridDatePopup::Paint() {
    HDC dc = Canvas()->Handle();
    const TDateTime today = Date();
    SelectObject(dc, Font()->Handle());
    SetBkMode(dc, OPAQUE);
    HRGN remainder = CreateRectRgnIndirect(ClientRect());
    PaintCaption(dc, remainder);
    PaintDayNames(dc, remainder);
    PaintDays(dc, remainder, today);
    if (HasButtons()) PaintButtons(dc, remainder);
    HBRUSH window = CreateSolidBrush(ColorToRGB(clWindow));
    FillRgn(dc, remainder, window);
    DeleteObject(window);
    DeleteObject(remainder);
}

void TcvGridDatePopup::PaintCaption(HDC DC, HRGN Remainder) {
    const int width = ClientWidth();
    TRect inside{0, 0, width, FCaptionHeight};
    Exclude(Remainder, inside);
    DrawEdge(DC, &inside, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    int s = FCaptionHeight / 2;
    if (s % 2 == 0) ++s;
    const int top = (FCaptionHeight - s) / 2;
    const int saved = SaveDC(DC);
    HBRUSH arrowBrush = CreateSolidBrush(ColorToRGB(clBtnText));
    for (auto [sideX, direction] : {std::pair{FMargin - 1, -1}, std::pair{width - FMargin, 1}}) {
        HRGN arrow = CreateArrowRegion(sideX, top, s, direction);
        FillRgn(DC, arrow, arrowBrush);
        ExtSelectClipRgn(DC, arrow, RGN_DIFF);
        DeleteObject(arrow);
    }
    DeleteObject(arrowBrush);
    const std::string caption = MonthCaption(FFirstDate);
    const TSize size = TextSize(DC, caption);
    OpaqueText(DC, inside, (inside.Left + inside.Right - size.cx) / 2, (inside.Top + inside.Bottom - size.cy) / 2,
               caption, clBtnText, clBtnFace);
    RestoreDC(DC, saved);
}

void TcvGridDatePopup::PaintDayNames(HDC DC, HRGN Remainder) {
    const TRect row = Bounds(FMargin, FCaptionHeight, DaysPerWeek * FColumnWidth, FDayNameHeight);
    Exclude(Remainder, row);
    const int namesHeight = FDayNameHeight - 2;
    for (int column = 0; column < DaysPerWeek; ++column) {
        const TRect cell = Bounds(row.Left + column * FColumnWidth, row.Top, FColumnWidth, namesHeight);
        const int dayOfWeek = (cvGrDate::FirstDayOfWeek() + column) % DaysPerWeek;
        CellText(DC, cell, cell, FormatSettings.ShortestDayNames[dayOfWeek], clBtnText, clWindow);
    }
    FillSolid(DC, {row.Left, row.Top + namesHeight, row.Right, row.Top + namesHeight + 1}, clBtnShadow);
    FillSolid(DC, {row.Left, row.Bottom - 1, row.Right, row.Bottom}, clWindow);
}

void TcvGridDatePopup::PaintDays(HDC DC, HRGN Remainder, TDateTime Today) {
    const TDateTime first = GetFirstDate(), lastOfMonth = GetLastMonthDate();
    const TDateTime selStart = GetSelStart(), selFinish = GetSelFinish();
    const int top = FCaptionHeight + FDayNameHeight;
    Exclude(Remainder, Bounds(FMargin, top, DaysPerWeek * FColumnWidth, GridRows * FRowHeight));
    HBRUSH maroon = CreateSolidBrush(ColorToRGB(clMaroon));
    for (int i = 0; i < ShownDays; ++i) {
        const TDateTime date = first + i;
        const TRect cell = Bounds(FMargin + i % DaysPerWeek * FColumnWidth, top + i / DaysPerWeek * FRowHeight,
                                  FColumnWidth, FRowHeight);
        TRect fill = cell;
        if (!IsCalendarDay(date)) {
            FillSolid(DC, fill, clWindow);
            continue;
        }
        if (date == Today) {
            FrameRect(DC, &cell, maroon);
            InflateRect(fill, -1, -1);
        }
        const bool selected = selStart <= date && date <= selFinish;
        const bool otherMonth = date < FFirstDate || date > lastOfMonth;
        const TColor text = selected ? clHighlightText : otherMonth ? clGrayText : clWindowText;
        CellText(DC, fill, cell, std::to_string(cvGrDate::DatePart(3, date)), text,
                 selected && FSelectedFaceLook ? clBtnFace : clWindow);
    }
    DeleteObject(maroon);
}

void TcvGridDatePopup::PaintButtons(HDC DC, HRGN Remainder) {
    const int lineY = ButtonRowTop() - 1;
    const TRect line{FMargin, lineY, ClientWidth() - FMargin, lineY + 1};
    FillSolid(DC, line, clBtnShadow);
    Exclude(Remainder, line);
    if (FShowToday) {
        const TRect r = TodayRect();
        PaintButton(DC, r, SDatePopupToday, FToday.Pressed && FToday.Inside);
        Exclude(Remainder, r);
    }
    if (FShowClear) {
        const TRect r = ClearRect();
        PaintButton(DC, r, SDatePopupClear, FClear.Pressed && FClear.Inside);
        Exclude(Remainder, r);
    }
}

void TcvGridDatePopup::PaintButton(HDC DC, const TRect& R, const char* Caption, bool Pushed) {
    if (Pushed) {
        TRect frame = R;
        DrawFrameControl(DC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    } else {
        // Two raised lines; the bottom and right ones own the corners they meet.
        const auto line = [&](int Left, int Top, int Right, int Bottom, TColor Color) {
            FillSolid(DC, {Left, Top, Right, Bottom}, Color);
        };
        line(R.Left, R.Top, R.Right - 1, R.Top + 1, clBtnFace);
        line(R.Left, R.Top, R.Left + 1, R.Bottom - 1, clBtnFace);
        line(R.Left, R.Bottom - 1, R.Right, R.Bottom, clBtnText);
        line(R.Right - 1, R.Top, R.Right, R.Bottom, clBtnText);
        line(R.Left + 1, R.Top + 1, R.Right - 2, R.Top + 2, clBtnHighlight);
        line(R.Left + 1, R.Top + 1, R.Left + 2, R.Bottom - 2, clBtnHighlight);
        line(R.Left + 1, R.Bottom - 2, R.Right - 1, R.Bottom - 1, clBtnShadow);
        line(R.Right - 2, R.Top + 2, R.Right - 1, R.Bottom - 1, clBtnShadow);
        line(R.Right - 2, R.Top + 1, R.Right - 1, R.Top + 2, clBtnFace);
    }
    TRect face = R;
    InflateRect(face, -2, -2);
    const TSize size = TextSize(DC, Caption);
    const int shift = Pushed ? 1 : 0;
    OpaqueText(DC, face, (face.Left + face.Right - size.cx) / 2 + shift, (face.Top + face.Bottom - size.cy) / 2 + shift,
               Caption, clBtnText, clBtnFace);
}
