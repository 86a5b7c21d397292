// The date popup on a form beside its editor, driven through real input with
// a fixed clock: keys, clicks on days, arrows with their repeat, the month
// list, Today and Clear, the first day of the week, and a few pixels.
#include "editors/GridDatePopup.h"
#include "editors/GridDate.h"
#include "editors/InplaceEdit.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/platform/ui/WmRecorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace uitest;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

namespace {

// The settings count the first weekday from Monday = 0.
constexpr Byte SundayFirst = 6;
constexpr Byte MondayFirst = 0;

std::string DateText(TDateTime D) {
    return D == NullDate ? "none" : FormatDateTime("yyyy-mm-dd", D);
}

struct TStandaloneClass : TcvInplaceEditClass {
    TcvInplaceEdit* CreateEditor(TComponent* AOwner) const override { return new TcvInplaceEdit(AOwner, *this); }
    bool IsInplace() const override { return false; }
};

class GridDatePopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFirstDayOfWeek(SundayFirst);
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(20, 20, 300, 200);
        Editor = Standalone.CreateEditor(Form);
        Editor->SetParent(Form);
        Popup = new TcvGridDatePopup(Form);
        Popup->SetPopup(true);
        Popup->SetOwnerEditor(Editor);
        Popup->SetBorderStyle(pbFrame3D);
        Popup->OnDateSelected = [this](TObject*) { Selected.push_back(DateText(Popup->GetSelStart())); };
        Form->Show();
        SettleActivation();
        Editor->SetFocus();
    }
    void TearDown() override {
        delete Form;
        SetFirstDayOfWeek(SavedFirstDay);
    }
    static void SetFirstDayOfWeek(Byte SettingsValue) {
        FormatSettings.FirstDayOfWeek = SettingsValue;
        cvGrDate::InitFirstDayOfWeek();
    }
    // As the date editor opens it: shown month and selection D, sized, shown, focused.
    void Open(TDateTime D) {
        Popup->SetFirstDate(D);
        Popup->SetSelectDate(D);
        Popup->AdjustSize();
        Popup->SetBounds(40, 90, Popup->Width(), Popup->Height());
        Popup->ShowPopup();
        ::SetFocus(Popup->Handle());
        ProcessMessages();
    }
    // A client point of the popup in window coordinates, as the mouse hooks take them.
    TPoint WindowPoint(TPoint ClientPoint) {
        TRect window;
        GetWindowRect(Popup->Handle(), window);
        const TPoint screen = Popup->ClientToScreen(ClientPoint);
        return {screen.X - window.Left, screen.Y - window.Top};
    }
    // The centre of the day cell of D.
    TPoint DayPoint(TDateTime D) {
        TRect cell{};
        bool found = false;
        for (int y = 0; y < Popup->ClientHeight(); ++y)
            for (int x = 0; x < Popup->ClientWidth(); ++x)
                if (Popup->DateAtPos({x, y}) == D) {
                    if (!found) cell = {x, y, x + 1, y + 1};
                    cell.Right = std::max(cell.Right, x + 1);
                    cell.Bottom = y + 1;
                    found = true;
                }
        EXPECT_TRUE(found) << DateText(D) << " is not shown";
        return {(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2};
    }
    void Mouse(TMouseEventKind Kind, TPoint ClientPoint, WPARAM Keys = MK_LBUTTON) {
        SendQtMouse(Popup->Handle(), Kind, WindowPoint(ClientPoint), Kind == TMouseEventKind::Move ? 0 : MK_LBUTTON,
                    Kind == TMouseEventKind::Release ? 0 : Keys);
        ProcessMessages();
    }
    void Press(TPoint P) { Mouse(TMouseEventKind::Press, P); }
    void Drag(TPoint P) { Mouse(TMouseEventKind::Move, P); }
    void Release(TPoint P) { Mouse(TMouseEventKind::Release, P); }
    void Click(TPoint P) {
        Press(P);
        Release(P);
    }
    TPoint LeftArrow() { return {Popup->ColumnWidth() / 2, Popup->CaptionHeight() / 2}; }
    TPoint RightArrow() { return {Popup->ClientWidth() - Popup->ColumnWidth() / 2, Popup->CaptionHeight() / 2}; }
    TPoint MonthCaption() { return {Popup->ClientWidth() / 2, Popup->CaptionHeight() / 2}; }
    static TPoint Centre(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
    bool Shown() { return IsWindowVisible(Popup->Handle()); }
    std::string ShownMonth() { return FormatDateTime("yyyy-mm", Popup->FirstDate()); }
    uint32_t Pixel(TPoint ClientPoint) {
        const TPoint p = WindowPoint(ClientPoint);
        return platform_ui::test::BackingPixel(Popup->Handle(), p.X, p.Y);
    }

    const Byte SavedFirstDay = FormatSettings.FirstDayOfWeek;
    TClockScope Clock{EncodeDate(2024, 3, 5) + 0.25};
    TStandaloneClass Standalone;
    TForm* Form = nullptr;
    TcvInplaceEdit* Editor = nullptr;
    TcvGridDatePopup* Popup = nullptr;
    std::vector<std::string> Selected; // the selection each time the popup reported a choice
};

uint32_t Rgb(TColor Color) {
    const COLORREF c = ColorToRGB(Color);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

TEST_F(GridDatePopupTest, KeysMoveTheSelectionAndClose) {
    struct Case {
        const char* Name;
        Byte FirstDay;
        TDateTime Start;
        Word Key;
        WPARAM Keys;
        const char* Selection;
        const char* Month;
        bool StaysOpen;
        std::vector<std::string> Reported;
    };
    const TDateTime march5 = EncodeDate(2024, 3, 5), jan31 = EncodeDate(2024, 1, 31);
    const Case cases[] = {
        {"Left", SundayFirst, march5, VK_LEFT, 0, "2024-03-04", "2024-03", true, {}},
        {"Right", SundayFirst, march5, VK_RIGHT, 0, "2024-03-06", "2024-03", true, {}},
        {"Up, a day of the month before in view", SundayFirst, march5, VK_UP, 0, "2024-02-27", "2024-03", true, {}},
        {"Down", SundayFirst, march5, VK_DOWN, 0, "2024-03-12", "2024-03", true, {}},
        {"Home, Sunday first", SundayFirst, march5, VK_HOME, 0, "2024-03-03", "2024-03", true, {}},
        {"Home, Monday first", MondayFirst, march5, VK_HOME, 0, "2024-03-04", "2024-03", true, {}},
        {"End, Sunday first", SundayFirst, march5, VK_END, 0, "2024-03-09", "2024-03", true, {}},
        {"End, Monday first", MondayFirst, march5, VK_END, 0, "2024-03-10", "2024-03", true, {}},
        {"Ctrl+Home", SundayFirst, march5, VK_HOME, MK_CONTROL, "2024-03-01", "2024-03", true, {}},
        {"Ctrl+End", SundayFirst, march5, VK_END, MK_CONTROL, "2024-03-31", "2024-03", true, {}},
        {"Ctrl+End on the last day", SundayFirst, jan31, VK_END, MK_CONTROL, "2024-01-31", "2024-01", true, {}},
        {"PgUp shows the month before the day's", SundayFirst, march5, VK_PRIOR, 0, "2024-02-05", "2024-01", true, {}},
        {"PgDn into a leap February", SundayFirst, jan31, VK_NEXT, 0, "2024-02-29", "2024-02", true, {}},
        {"PgDn into a common February",
         SundayFirst,
         EncodeDate(2023, 1, 31),
         VK_NEXT,
         0,
         "2023-02-28",
         "2023-02",
         true,
         {}},
        {"Enter chooses", SundayFirst, march5, VK_RETURN, 0, "2024-03-05", "2024-03", false, {"2024-03-05"}},
        {"Escape closes without a choice", SundayFirst, march5, VK_ESCAPE, 0, "2024-03-05", "2024-03", false, {}},
        {"F4 closes without a choice", SundayFirst, march5, VK_F4, 0, "2024-03-05", "2024-03", false, {}},
        {"Alt+Down closes without a choice", SundayFirst, march5, VK_DOWN, MK_ALT, "2024-03-05", "2024-03", false, {}},
        {"Alt+Up closes without a choice", SundayFirst, march5, VK_UP, MK_ALT, "2024-03-05", "2024-03", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SetFirstDayOfWeek(c.FirstDay);
        Selected.clear();
        Open(c.Start);
        platform_ui::test::SendQtKey(Popup->Handle(), c.Key, c.Keys, "");
        ProcessMessages();
        EXPECT_EQ(DateText(Popup->GetSelStart()), c.Selection);
        EXPECT_EQ(ShownMonth(), c.Month);
        EXPECT_EQ(Shown(), c.StaysOpen);
        EXPECT_EQ(Selected, c.Reported);
        Popup->HidePopup();
    }
}

TEST_F(GridDatePopupTest, TheGridAlwaysShowsSomeOfTheMonthBefore) {
    struct Case {
        Byte FirstDay;
        TDateTime Month;
        const char* First;
        const char* Last;
    };
    const Case cases[] = {
        {MondayFirst, EncodeDate(2024, 4, 1), "2024-03-25", "2024-05-05"}, // April starts on a Monday
        {SundayFirst, EncodeDate(2024, 9, 1), "2024-08-25", "2024-10-05"}, // September starts on a Sunday
        {SundayFirst, EncodeDate(2024, 1, 1), "2023-12-31", "2024-02-10"},
        {MondayFirst, EncodeDate(2024, 1, 1), "2023-12-25", "2024-02-04"},
    };
    for (const Case& c : cases) {
        SetFirstDayOfWeek(c.FirstDay);
        Open(c.Month);
        SCOPED_TRACE(DateText(c.Month));
        EXPECT_EQ(DateText(Popup->GetFirstDate()), c.First);
        EXPECT_EQ(DateText(Popup->GetLastDate()), c.Last);
        // The first and the last of the 42 cells give those days.
        const TPoint first = DayPoint(Popup->GetFirstDate()), last = DayPoint(Popup->GetLastDate());
        EXPECT_LT(first.X, last.X);
        EXPECT_LT(first.Y, last.Y);
        Popup->HidePopup();
    }
}

TEST_F(GridDatePopupTest, TheFirstAndTheLastMonthOfTheCalendarShowAndGoNoFurther) {
    struct Case {
        const char* Name;
        TDateTime Start;
        std::function<void()> Act;
        const char* Selection;
        const char* Month;
    };
    const TDateTime lastMonth = EncodeDate(9999, 12, 15), firstMonth = EncodeDate(1, 1, 15);
    auto key = [this](Word Key, WPARAM Keys = 0) {
        return [this, Key, Keys] {
            platform_ui::test::SendQtKey(Popup->Handle(), Key, Keys, "");
            ProcessMessages();
        };
    };
    const Case cases[] = {
        {"December 9999 shown", lastMonth, [] {}, "9999-12-15", "9999-12"},
        {"no month after it", lastMonth, [this] { Click(RightArrow()); }, "9999-12-15", "9999-12"},
        {"PgDn stays", lastMonth, key(VK_NEXT), "9999-12-15", "9999-12"},
        {"Ctrl+End reaches the last day", lastMonth, key(VK_END, MK_CONTROL), "9999-12-31", "9999-12"},
        {"no day after the last", EncodeDate(9999, 12, 31), key(VK_RIGHT), "9999-12-31", "9999-12"},
        {"a cell past the last day is no day", lastMonth,
         [this] {
             // 9999-12-31 is a Friday: the cell beside it would be the day after.
             const TPoint last = DayPoint(EncodeDate(9999, 12, 31));
             Click({last.X + Popup->ColumnWidth(), last.Y});
         },
         "9999-12-15", "9999-12"},
        {"January of the year 1 shown", firstMonth, [] {}, "0001-01-15", "0001-01"},
        {"no month before it", firstMonth, [this] { Click(LeftArrow()); }, "0001-01-15", "0001-01"},
        {"PgUp stays", firstMonth, key(VK_PRIOR), "0001-01-15", "0001-01"},
        {"no day before the first", EncodeDate(1, 1, 1), key(VK_UP), "0001-01-01", "0001-01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        DialogRecorder dialogs;
        Open(c.Start);
        c.Act();
        ProcessMessages();
        EXPECT_TRUE(dialogs.Boxes().empty()) << (dialogs.Boxes().empty() ? "" : dialogs.Boxes().front().Text);
        EXPECT_EQ(DateText(Popup->GetSelStart()), c.Selection);
        EXPECT_EQ(ShownMonth(), c.Month);
        Popup->HidePopup();
    }
    DialogRecorder dialogs;
    Open(lastMonth);
    EXPECT_EQ(DateText(Popup->GetLastMonthDate()), "9999-12-31");
    // The month list keeps to the calendar's months, and a row chosen there shows.
    Press(MonthCaption());
    TAMonthListBox* list = Popup->MonthList();
    ASSERT_NE(list, nullptr);
    ProcessMessages();
    EXPECT_EQ(DateText(list->TopDate()), "9999-06-01");
    const int rowHeight = list->ClientHeight() / 7;
    const TPoint lastRow = Popup->ScreenToClient(list->ClientToScreen({list->ClientWidth() / 2, 6 * rowHeight + 1}));
    Drag(lastRow);
    Release(lastRow);
    EXPECT_EQ(ShownMonth(), "9999-12");
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(GridDatePopupTest, AClickOnADayChoosesItAndClosesWithoutTakingTheActivation) {
    Open(EncodeDate(2024, 3, 5));
    Press(RightArrow());
    Release(RightArrow());
    EXPECT_EQ(GetActiveWindow(), Form->Handle()) << "pressing into the popup leaves the form active";
    EXPECT_TRUE(Shown()) << "an arrow click leaves the popup open";
    EXPECT_EQ(ShownMonth(), "2024-04");
    EXPECT_EQ(DateText(Popup->GetSelStart()), "2024-03-05") << "the arrows move the month, not the selection";

    WmRecorder recorder;
    const TWindowProcedureId hook = PushWindowProc(Editor->Handle(), [&](HWND w, TMessage& m) {
        recorder.Records.push_back({w, m.Msg, platform_ui::test::CurrentMessageWasPosted(), m.WParam, m.LParam});
        CallNextWindowProc(w, hook, m);
    });
    Click(DayPoint(EncodeDate(2024, 5, 2))); // a day of the next month, shown in gray
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Selected, std::vector<std::string>{"2024-05-02"});
    EXPECT_EQ(GetActiveWindow(), Form->Handle());
    EXPECT_EQ(GetFocus(), Editor->Handle());
    const auto closed = recorder.Of(CM_POPUPCLOSED);
    ASSERT_FALSE(closed.empty()) << "the editor hears of the close";
    EXPECT_TRUE(closed.front().Posted);
    RemoveWindowProc(Editor->Handle(), hook);
}

TEST_F(GridDatePopupTest, DraggingSelectsTheDayUnderThePointerAndOutsideGoesBack) {
    Open(EncodeDate(2024, 3, 5));
    Press(DayPoint(EncodeDate(2024, 3, 12)));
    Drag(DayPoint(EncodeDate(2024, 3, 20)));
    EXPECT_EQ(DateText(Popup->GetSelStart()), "2024-03-20");
    EXPECT_EQ(DateText(Popup->GetSelFinish()), "2024-03-20") << "always one day";
    Drag({Popup->ClientWidth() + 20, 5});
    EXPECT_EQ(DateText(Popup->GetSelStart()), "2024-03-05") << "back to the selection the press began with";
    Release({Popup->ClientWidth() + 20, 5});
    EXPECT_TRUE(Shown()) << "a release outside keeps the popup open";
    EXPECT_TRUE(Selected.empty());
}

TEST_F(GridDatePopupTest, HoldingAnArrowRepeatsWhileThePointerStaysOnIt) {
    Open(EncodeDate(2024, 3, 5));
    Press(LeftArrow());
    EXPECT_EQ(ShownMonth(), "2024-02");
    // Ticks by hand: each moves a month while the pointer is on the arrow.
    Popup->Perform(WM_TIMER, 1);
    EXPECT_EQ(ShownMonth(), "2024-01");
    Drag(MonthCaption());
    Popup->Perform(WM_TIMER, 1);
    EXPECT_EQ(ShownMonth(), "2024-01") << "off the arrow the tick does nothing";
    Release(MonthCaption());
    EXPECT_TRUE(Shown());
    EXPECT_EQ(Popup->MonthList(), nullptr) << "the release only ended the repeat";

    // The real timer: one month per 170 ms.
    Press(RightArrow());
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 3000 && ShownMonth() != "2024-04")
        platform_ui::test::PumpQt(10);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(ShownMonth(), "2024-04") << "two ticks after the press's own month";
    EXPECT_GE(elapsed, 2 * 170u - 20);
    Release(RightArrow());
    platform_ui::test::PumpQt(400);
    EXPECT_EQ(ShownMonth(), "2024-04") << "the release stopped the timer";
}

TEST_F(GridDatePopupTest, TheMonthListOpensOnTheCaptionAndShowsTheChosenMonth) {
    Open(EncodeDate(2024, 3, 5));
    Press(MonthCaption());
    TAMonthListBox* list = Popup->MonthList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list->Handle()));
    EXPECT_EQ(DateText(list->TopDate()), "2023-12-01") << "the shown month in the middle of seven";
    EXPECT_EQ(list->ClientHeight() % 7, 0);
    EXPECT_EQ(DateText(list->SelectedDate()), "none");
    // Centred on the caption.
    const TPoint caption = Popup->ClientToScreen(MonthCaption());
    const TPoint listCentre = list->ClientToScreen({list->ClientWidth() / 2, list->ClientHeight() / 2});
    EXPECT_LE(std::abs(listCentre.X - caption.X), 2);
    EXPECT_LE(std::abs(listCentre.Y - caption.Y), 2);
    EXPECT_EQ(GetActiveWindow(), Form->Handle());

    // Row 5 of the list, reached through the popup's capture.
    const int rowHeight = list->ClientHeight() / 7;
    const TPoint row5 = Popup->ScreenToClient(list->ClientToScreen({list->ClientWidth() / 2, 5 * rowHeight + 1}));
    Drag(row5);
    EXPECT_EQ(list->ItemIndex(), 5);
    EXPECT_EQ(DateText(list->SelectedDate()), "2024-05-01");
    Release(row5);
    EXPECT_EQ(Popup->MonthList(), nullptr);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(ShownMonth(), "2024-05");
    EXPECT_EQ(DateText(Popup->GetSelStart()), "2024-03-05");

    // Released beside the list: nothing chosen, the month stays.
    Press(MonthCaption());
    list = Popup->MonthList();
    const TPoint beside = Popup->ScreenToClient(list->ClientToScreen({list->ClientWidth() + 10, rowHeight}));
    Drag(beside);
    EXPECT_EQ(list->ItemIndex(), -1);
    Release(beside);
    EXPECT_EQ(ShownMonth(), "2024-05");
    EXPECT_TRUE(Shown());
}

TEST_F(GridDatePopupTest, DraggingBeyondTheMonthListScrollsFasterFurtherAway) {
    Open(EncodeDate(2024, 3, 5));
    Press(MonthCaption());
    TAMonthListBox* list = Popup->MonthList();
    ASSERT_NE(list, nullptr);
    const int height = list->ClientHeight();
    struct Case {
        int Y; // list client coordinates
        UINT_PTR TimerId;
    };
    // Step = sign(Dist) + Dist div 12 with Dist = Y + 1 - height below, Y above.
    const Case cases[] = {
        {height, 6}, {height + 10, 6}, {height + 11, 7}, {height + 29, 8}, {height + 40, 9}, {height + 300, 9},
        {-1, 4},     {-12, 3},         {-30, 2},         {-200, 1},        {height / 2, 0},
    };
    for (const Case& c : cases) {
        Drag(Popup->ScreenToClient(list->ClientToScreen({list->ClientWidth() / 2, c.Y})));
        EXPECT_EQ(list->ScrollTimerId(), c.TimerId) << c.Y - height;
    }
    // A tick moves the top month up for ids below 5, down above it.
    Drag(Popup->ScreenToClient(list->ClientToScreen({list->ClientWidth() / 2, height + 40})));
    list->Perform(WM_TIMER, 9);
    EXPECT_EQ(DateText(list->TopDate()), "2024-01-01");
    Drag(Popup->ScreenToClient(list->ClientToScreen({list->ClientWidth() / 2, -30})));
    list->Perform(WM_TIMER, 2);
    list->Perform(WM_TIMER, 2);
    EXPECT_EQ(DateText(list->TopDate()), "2023-11-01");
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 3000 && list->TopDate() != EncodeDate(2023, 10, 1))
        platform_ui::test::PumpQt(10);
    EXPECT_EQ(DateText(list->TopDate()), "2023-10-01") << "the timer itself scrolls";
    Release(MonthCaption());
}

TEST_F(GridDatePopupTest, TodayAndClearChooseOnlyWhenReleasedOverThem) {
    struct Case {
        const char* Name;
        bool Clear;
        bool ReleaseAway;
        bool StaysOpen;
        const char* Selection;
        std::vector<std::string> Reported;
    };
    const Case cases[] = {
        {"Today", false, false, false, "2024-03-05", {"2024-03-05"}},
        {"Clear", true, false, false, "none", {"none"}},
        {"Today released away", false, true, true, "2024-02-14", {}},
        {"Clear released away", true, true, true, "2024-02-14", {}},
    };
    Popup->SetShowClear(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Selected.clear();
        Open(EncodeDate(2024, 2, 14));
        const TPoint button = Centre(c.Clear ? Popup->ClearRect() : Popup->TodayRect());
        Press(button);
        const TPoint away = DayPoint(EncodeDate(2024, 2, 20));
        if (c.ReleaseAway) Drag(away);
        Release(c.ReleaseAway ? away : button);
        EXPECT_EQ(Shown(), c.StaysOpen);
        EXPECT_EQ(DateText(Popup->GetSelStart()), c.Selection);
        EXPECT_EQ(Selected, c.Reported);
        Popup->HidePopup();
    }
    // The empty part of the button row closes with the selection as it is.
    Selected.clear();
    Open(EncodeDate(2024, 2, 14));
    const TPoint empty{2, Centre(Popup->TodayRect()).Y};
    Click(empty);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Selected, std::vector<std::string>{"2024-02-14"});
}

TEST_F(GridDatePopupTest, ALoneButtonStandsCentred) {
    Popup->SetShowToday(false);
    Popup->SetShowClear(true);
    Open(EncodeDate(2024, 3, 5));
    const TRect clear = Popup->ClearRect();
    EXPECT_LE(std::abs(clear.Left - (Popup->ClientWidth() - clear.Right)), 1);
    Popup->SetShowClear(false);
    const int withoutButtons = Popup->ClientHeight();
    EXPECT_LT(withoutButtons, clear.Top) << "without buttons the row goes";
}

TEST_F(GridDatePopupTest, PaintsTheSelectedLookTodaysFrameAndSevenDayNames) {
    SetFirstDayOfWeek(MondayFirst);
    Open(EncodeDate(2024, 3, 5)); // today, selected
    UpdateWindow(Popup->Handle());
    const auto cellOf = [&](TDateTime D) {
        const TPoint centre = DayPoint(D);
        TRect cell{centre.X, centre.Y, centre.X, centre.Y};
        while (Popup->DateAtPos({cell.Left - 1, centre.Y}) == D)
            --cell.Left;
        while (Popup->DateAtPos({cell.Right, centre.Y}) == D)
            ++cell.Right;
        while (Popup->DateAtPos({centre.X, cell.Top - 1}) == D)
            --cell.Top;
        while (Popup->DateAtPos({centre.X, cell.Bottom}) == D)
            ++cell.Bottom;
        return cell;
    };
    const TRect today = cellOf(EncodeDate(2024, 3, 5));
    EXPECT_EQ(Pixel({today.Left, today.Top}), Rgb(clMaroon)) << "today keeps its frame when selected";
    EXPECT_EQ(Pixel({today.Right - 1, today.Bottom - 1}), Rgb(clMaroon));
    EXPECT_EQ(Pixel({today.Left + 1, today.Top + 1}), Rgb(clBtnFace)) << "the selected look inside the frame";

    // A day of the next month: window background, gray digits; selected, the selected look.
    const TRect next = cellOf(EncodeDate(2024, 4, 2));
    EXPECT_EQ(Pixel({next.Left, next.Top}), Rgb(clWindow));
    std::set<uint32_t> colours;
    for (int y = next.Top; y < next.Bottom; ++y)
        for (int x = next.Left; x < next.Right; ++x)
            colours.insert(Pixel({x, y}));
    EXPECT_TRUE(colours.count(Rgb(clGrayText))) << "the digits are gray";
    EXPECT_FALSE(colours.count(Rgb(clWindowText)));
    Popup->SetSelectDate(EncodeDate(2024, 4, 2));
    EXPECT_EQ(Pixel({next.Left, next.Top}), Rgb(clBtnFace));
    EXPECT_EQ(Pixel({today.Left + 1, today.Top + 1}), Rgb(clWindow));
    EXPECT_EQ(Pixel({today.Left, today.Top}), Rgb(clMaroon));

    // The day-name row above the grid: seven cells, each a different name.
    const TRect firstCell = cellOf(Popup->GetFirstDate());
    const int nameBottom = firstCell.Top - 2; // a shadow line and a window line lie between
    EXPECT_EQ(Pixel({firstCell.Left, nameBottom}), Rgb(clBtnShadow));
    std::set<std::vector<uint32_t>> names;
    const int width = firstCell.Width();
    for (int day = 0; day < 7; ++day) {
        std::vector<uint32_t> image;
        for (int y = Popup->CaptionHeight(); y < nameBottom; ++y)
            for (int x = firstCell.Left + day * width; x < firstCell.Left + (day + 1) * width; ++x)
                image.push_back(Pixel({x, y}));
        names.insert(image);
    }
    EXPECT_EQ(names.size(), 7u) << "seven different day names";
}

} // namespace
