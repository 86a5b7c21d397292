// Page control, status bar, tool bar and progress bar in the classic look.
#include "platform/ui/ComCtrls.h"

#include "platform/rtl/ScopeGuard.h"

#include "platform/ui/ActnList.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/private/ButtonLook_p.h"
#include "platform/ui/private/Controls_p.h"

#include <algorithm>

using platform_ui::FontHeight;

namespace {

int TextWidthOf(TFont* font, const std::string& text, UINT flags = DT_SINGLELINE) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->Handle());
    TRect r{};
    DrawText(dc, text, &r, flags | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return r.Width();
}

void DrawTextIn(TCanvas* canvas, const std::string& text, TRect r, UINT flags, bool enabled, TColor color) {
    HDC dc = canvas->Handle();
    canvas->Refresh();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(enabled ? color : clGrayText));
    DrawText(dc, text, &r, flags);
}

constexpr int TabPadding = 6;  // on each side of a tab's caption
constexpr int SheetMargin = 4; // between the page frame and a sheet
constexpr int SeparatorWidth = 8;

} // namespace

// ---- TTabSheet --------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle += csAcceptsControls;
    SetAlign(alClient);
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    SetPageControl(nullptr);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (FPageControl == Value) return;
    if (FPageControl) FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value) Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!FPageControl) return;
    auto& pages = FPageControl->FPages;
    std::erase(pages, this);
    Value = std::clamp(Value, 0, static_cast<int>(pages.size()));
    pages.insert(pages.begin() + Value, this);
    FPageControl->Invalidate();
}

void TTabSheet::SetTabVisible(bool Value) {
    FTabVisible = Value;
    if (FPageControl) {
        if (!Value && FPageControl->ActivePage() == this) FPageControl->SelectNextPage(true);
        FPageControl->Invalidate();
    }
}

void TTabSheet::TextChanged() {
    if (FPageControl) FPageControl->Invalidate();
}

// ---- TPageControl -----------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle += csAcceptsControls;
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

TPageControl::~TPageControl() {
    for (TTabSheet* page : std::vector<TTabSheet*>(FPages))
        page->FPageControl = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FPages[static_cast<size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    if (!FActivePage) ShowPage(Page);
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    if (FActivePage == Page) {
        FActivePage = nullptr;
        Page->SetVisible(false);
    }
    std::erase(FPages, Page);
    Page->FPageControl = nullptr;
    if (!FActivePage)
        for (TTabSheet* p : FPages)
            if (p->TabVisible()) {
                ShowPage(p);
                break;
            }
    Invalidate();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TPageControl::SetImages(TCustomImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    Invalidate();
}

void TPageControl::ShowPage(TTabSheet* Page) {
    if (Page == FActivePage) return;
    TCustomForm* form = GetParentForm(this);
    const bool focusInside = form && FActivePage && FActivePage->ContainsControl(form->ActiveControl());
    TTabSheet* old = FActivePage;
    FActivePage = Page;
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
        Realign();
    }
    if (old) {
        old->SetVisible(false);
        Fire(old->OnHide, old);
    }
    if (focusInside && CanFocus()) SetFocus();
    Invalidate();
    if (Page) Fire(Page->OnShow, Page);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->PageControl() != this) return;
    ShowPage(Page);
}

int TPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? Pages(Value) : nullptr);
}

bool TPageControl::CanChange() {
    bool allow = true;
    Fire(OnChanging, this, allow);
    return allow;
}

void TPageControl::Change() {
    Fire(OnChange, this);
}

void TPageControl::SelectNextPage(bool GoForward) {
    const int count = PageCount();
    if (count == 0) return;
    int i = ActivePageIndex();
    for (int n = 0; n < count; ++n) {
        i = GoForward ? (i + 1) % count : (i <= 0 ? count - 1 : i - 1);
        if (Pages(i)->TabVisible() && Pages(i) != FActivePage) {
            if (!CanChange()) return;
            ShowPage(Pages(i));
            Change();
            return;
        }
    }
}

int TPageControl::TabHeight() {
    return FontHeight(Font()) + TabPadding;
}

std::vector<TRect> TPageControl::TabRects() {
    std::vector<TRect> rects;
    int x = 2;
    const int h = TabHeight();
    const int imageWidth = FImages ? FImages->Width() + 3 : 0;
    for (TTabSheet* page : FPages) {
        if (!page->TabVisible()) {
            rects.push_back({});
            continue;
        }
        const int w =
            TextWidthOf(Font(), page->Caption()) + 2 * TabPadding + (page->ImageIndex() >= 0 ? imageWidth : 0);
        rects.push_back(Rect(x, 2, x + w, 2 + h));
        x += w;
    }
    return rects;
}

TRect TPageControl::TabRect(int Index) {
    auto rects = TabRects();
    return Index >= 0 && Index < static_cast<int>(rects.size()) ? rects[static_cast<size_t>(Index)] : TRect{};
}

void TPageControl::AdjustClientRect(TRect& Rect) {
    Rect.Top += TabHeight() + 2;
    InflateRect(Rect, -SheetMargin, -SheetMargin);
}

namespace {

void DrawLine(HDC dc, int left, int top, int right, int bottom, int sysColor) {
    const TRect line = Rect(left, top, right, bottom);
    FillRect(dc, &line, GetSysColorBrush(sysColor));
}

// A classic tab: light left and top edges, dark right edges, the top corners
// cut by one pixel; open at the bottom.
void DrawTabEdges(HDC dc, const TRect& tab) {
    DrawLine(dc, tab.Left, tab.Top + 2, tab.Left + 1, tab.Bottom, COLOR_BTNHIGHLIGHT);
    DrawLine(dc, tab.Left + 1, tab.Top + 1, tab.Left + 2, tab.Top + 2, COLOR_BTNHIGHLIGHT);
    DrawLine(dc, tab.Left + 2, tab.Top, tab.Right - 2, tab.Top + 1, COLOR_BTNHIGHLIGHT);
    DrawLine(dc, tab.Right - 2, tab.Top + 1, tab.Right - 1, tab.Bottom, COLOR_BTNSHADOW);
    DrawLine(dc, tab.Right - 1, tab.Top + 2, tab.Right, tab.Bottom, COLOR_3DDKSHADOW);
}

} // namespace

void TPageControl::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    HDC dc = canvas->Handle();
    TRect frame = Rect(0, TabHeight() + 2, r.Right, r.Bottom);
    DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
    const auto rects = TabRects();
    // The selected tab comes last: it stands taller and wider than its
    // neighbours, over the page's top edge, so tab and page are one piece.
    std::vector<size_t> order;
    for (size_t i = 0; i < FPages.size(); ++i)
        if (!IsRectEmpty(rects[i]) && FPages[i] != FActivePage) order.push_back(i);
    for (size_t i = 0; i < FPages.size(); ++i)
        if (!IsRectEmpty(rects[i]) && FPages[i] == FActivePage) order.push_back(i);
    for (size_t i : order) {
        TRect tab = rects[i];
        const bool active = FPages[i] == FActivePage;
        if (active) {
            InflateRect(tab, 2, 0);
            tab.Top -= 2;
            tab.Bottom = frame.Top + 2;
        }
        canvas->FillRect(tab);
        DrawTabEdges(dc, tab);
        TRect text = rects[i];
        if (active) OffsetRect(text, 0, -1);
        if (FImages && FPages[i]->ImageIndex() >= 0) {
            FImages->Draw(canvas, text.Left + TabPadding, text.Top + (text.Height() - FImages->Height()) / 2,
                          FPages[i]->ImageIndex(), Enabled());
            text.Left += FImages->Width() + 3;
        }
        DrawTextIn(canvas, FPages[i]->Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Enabled(),
                   Font()->Color());
        if (active && Focused()) {
            TRect focus = rects[i];
            InflateRect(focus, -2, -2);
            DrawFocusRect(dc, &focus);
        }
    }
}

void TPageControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS;
        return;
    case WM_LBUTTONDOWN: {
        TPoint p = PointFromLParam(m.LParam);
        const auto rects = TabRects();
        for (size_t i = 0; i < rects.size(); ++i) {
            if (!PtInRect(rects[i], p)) continue;
            if (FPages[i] != FActivePage && CanChange()) {
                ShowPage(FPages[i]);
                Change();
            }
            if (CanFocus()) SetFocus();
            break;
        }
        break;
    }
    case WM_KEYDOWN:
        if (m.WParam == VK_LEFT || m.WParam == VK_RIGHT) {
            SelectNextPage(m.WParam == VK_RIGHT);
            return;
        }
        break;
    case CM_DIALOGKEY: {
        TCustomForm* form = GetParentForm(this);
        const TShiftState shift = KeyboardShiftState();
        if (m.WParam == VK_TAB && shift.Contains(ssCtrl) &&
            (Focused() || (form && ContainsControl(form->ActiveControl())))) {
            SelectNextPage(!shift.Contains(ssShift));
            m.Result = 1;
            return;
        }
        break;
    }
    case CM_ENTER:
    case CM_EXIT:
    case CM_FONTCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TCustomControl::WndProc(m);
}

// ---- TStatusBar -------------------------------------------------------------

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const std::string& Value) {
    if (FText == Value) return;
    FText = Value;
    Changed(false);
}

void TStatusPanel::SetWidth(int Value) {
    FWidth = Value;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
    FBevel = Value;
    Changed(false);
}

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(CollectionItemClass<TStatusPanel>()), FStatusBar(StatusBar) {}

TPersistent* TStatusPanels::Owner() const {
    return FStatusBar;
}

void TStatusPanels::Update(TCollectionItem*) {
    FStatusBar->Invalidate();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)) {
    FColor = clBtnFace;
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool Value) {
    FSimplePanel = Value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& Value) {
    FSimpleText = Value;
    Invalidate();
}

void TStatusBar::SetSizeGrip(bool Value) {
    FSizeGrip = Value;
    Invalidate();
}

TRect TStatusBar::PanelRect(int Index) {
    const TRect client = ClientRect();
    int x = 0;
    for (int i = 0; i < FPanels->Count(); ++i) {
        const bool last = i == FPanels->Count() - 1;
        const int w = last ? std::max(0, client.Right - x) : FPanels->Items(i)->Width();
        if (i == Index) return Rect(x, 2, x + w - 2, client.Bottom);
        x += w;
    }
    return {};
}

void TStatusBar::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    HDC dc = canvas->Handle();
    if (FSimplePanel) {
        TRect text = Rect(2, 2, r.Right, r.Bottom);
        DrawTextIn(canvas, FSimpleText, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, true,
                   Font()->Color());
    } else {
        for (int i = 0; i < FPanels->Count(); ++i) {
            TStatusPanel* panel = FPanels->Items(i);
            TRect pr = PanelRect(i);
            if (panel->Bevel() != pbNone)
                DrawEdge(dc, &pr, panel->Bevel() == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            TRect text = pr;
            InflateRect(text, -2, -1);
            const UINT align = panel->Alignment() == taCenter         ? DT_CENTER
                               : panel->Alignment() == taRightJustify ? DT_RIGHT
                                                                      : DT_LEFT;
            DrawTextIn(canvas, panel->Text(), text, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, true,
                       Font()->Color());
        }
    }
    if (FSizeGrip) {
        TRect grip = Rect(r.Right - 14, r.Bottom - 14, r.Right, r.Bottom);
        DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

// ---- TToolButton ------------------------------------------------------------

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle -= csDoubleClicks;
    SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const {
    return dynamic_cast<TToolBar*>(Parent());
}

int TToolButton::Index() const {
    TToolBar* bar = ToolBar();
    if (!bar) return -1;
    for (int i = 0; i < bar->ButtonCount(); ++i)
        if (bar->Buttons(i) == this) return i;
    return -1;
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
    FStyle = Value;
    if (TToolBar* bar = ToolBar()) bar->Realign();
    Invalidate();
}

void TToolButton::SetImageIndex(int Value) {
    FImageIndex = Value;
    Invalidate();
}

void TToolButton::SetDown(bool Value) {
    if (FDown == Value) return;
    // The last button of a group that may not be all up stays down.
    if (!Value && FGrouped && !FAllowAllUp) return;
    FDown = Value;
    if (Value && FGrouped)
        if (TToolBar* bar = ToolBar()) {
            // A group is the run of grouped check buttons around this one.
            const int me = Index();
            auto release = [&](int i) {
                TToolButton* b = bar->Buttons(i);
                if (!b->FGrouped || b->FStyle != tbsCheck) return false;
                b->FDown = false;
                b->Invalidate();
                return true;
            };
            for (int i = me - 1; i >= 0 && release(i); --i) {
            }
            for (int i = me + 1; i < bar->ButtonCount() && release(i); ++i) {
            }
        }
    Invalidate();
}

void TToolButton::TextChanged() {
    if (TToolBar* bar = ToolBar()) bar->Realign();
    Invalidate();
}

void TToolButton::Click() {
    if (FStyle == tbsCheck) {
        if (FDown && (!FGrouped || FAllowAllUp)) {
            FDown = false;
            Invalidate();
        } else {
            SetDown(true);
        }
    }
    TGraphicControl::Click();
}

void TToolButton::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    TGraphicControl::ActionChange(Sender, CheckDefaults);
    if (auto* action = dynamic_cast<TCustomAction*>(Sender)) {
        if (!CheckDefaults || FImageIndex < 0) SetImageIndex(action->ImageIndex());
        if (FStyle == tbsCheck && (!CheckDefaults || !FDown)) SetDown(action->Checked());
    }
}

bool TToolButton::CustomDraw(HDC DC) {
    TToolBar* bar = ToolBar();
    if (!bar || !bar->OnCustomDrawButton) return true;
    TCustomDrawState state;
    if (FPressed) state += cdsSelected;
    if (FDown) state += cdsChecked;
    if (FHot) state += cdsHot;
    if (FMarked) state += cdsMarked;
    if (!Enabled()) state += cdsDisabled;
    bool defaultDraw = true;
    // The handler draws in the bar's coordinates, on the bar's canvas.
    const int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, -Left(), -Top(), nullptr);
    TCanvas* canvas = bar->Canvas();
    canvas->SetHandle(DC);
    canvas->Font()->Assign(bar->Font());
    canvas->Brush()->SetColor(bar->Color());
    TScopeGuard release([&] {
        canvas->SetHandle(nullptr);
        RestoreDC(DC, saved);
    });
    bar->OnCustomDrawButton(bar, this, state, defaultDraw);
    return defaultDraw;
}

void TToolButton::Paint() {
    TToolBar* bar = ToolBar();
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    HDC dc = canvas->Handle();
    if (!CustomDraw(dc)) return;
    canvas->Refresh();
    if (FStyle == tbsSeparator || FStyle == tbsDivider) {
        if (FStyle == tbsDivider) {
            TRect line = Rect(r.Width() / 2 - 1, 0, r.Width() / 2 + 1, r.Bottom);
            DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
        }
        return;
    }
    const bool flat = bar && bar->Flat();
    const bool sunk = FPressed || FDown;
    platform_ui::DrawButtonFace(dc, r, flat, sunk, FHot, Enabled());
    TRect content = r;
    InflateRect(content, -2, -2);
    if (sunk) OffsetRect(content, 1, 1);
    TCustomImageList* images = bar ? bar->Images() : nullptr;
    const bool captions = bar && bar->ShowCaptions();
    if (images && FImageIndex >= 0) {
        int x, y;
        if (captions && bar->List()) {
            x = content.Left + 2;
            y = content.Top + (content.Height() - images->Height()) / 2;
            content.Left = x + images->Width() + 3;
        } else if (captions) {
            x = content.Left + (content.Width() - images->Width()) / 2;
            y = content.Top + 1;
            content.Top = y + images->Height() + 1;
        } else {
            x = content.Left + (content.Width() - images->Width()) / 2;
            y = content.Top + (content.Height() - images->Height()) / 2;
        }
        images->Draw(canvas, x, y, FImageIndex, Enabled());
    }
    if (captions)
        DrawTextIn(canvas, Caption(), content,
                   (bar->List() ? DT_LEFT : DT_CENTER) | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, Enabled(),
                   Font()->Color());
}

void TToolButton::WndProc(TMessage& m) {
    const bool spacer = FStyle == tbsSeparator || FStyle == tbsDivider;
    if (platform_ui::TrackButtonLook(m, FPressed, FHot, !spacer)) Invalidate();
    if (spacer && m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) return;
    TGraphicControl::WndProc(m);
}

// ---- TToolBar ---------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle += csAcceptsControls;
    FColor = clBtnFace;
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

TToolBar::~TToolBar() = default;

int TToolBar::ButtonCount() const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TToolButton*>(Controls(i))) ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int Index) const {
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)))
            if (n++ == Index) return b;
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TToolBar::SetButtonWidth(int Value) {
    FButtonWidth = Value;
    Realign();
}

void TToolBar::SetButtonHeight(int Value) {
    FButtonHeight = Value;
    Realign();
}

void TToolBar::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

void TToolBar::SetShowCaptions(bool Value) {
    FShowCaptions = Value;
    Realign();
    Invalidate();
}

void TToolBar::SetList(bool Value) {
    FList = Value;
    Realign();
    Invalidate();
}

void TToolBar::SetWrapable(bool Value) {
    FWrapable = Value;
    Realign();
}

void TToolBar::SetImages(TCustomImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    Realign();
    Invalidate();
}

void TToolBar::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR && FShowCaptions && Enabled() && Showing()) {
        for (int i = 0; i < ButtonCount(); ++i) {
            TToolButton* button = Buttons(i);
            if (button->Visible() && button->Enabled() && IsAccel(static_cast<char32_t>(m.WParam), button->Caption())) {
                button->Click();
                m.Result = 1;
                return;
            }
        }
    }
    TCustomControl::WndProc(m);
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TToolBar::AlignControls(TControl* AControl, TRect& Rect) {
    // Buttons stand left to right in the order they were put on the bar;
    // every button of the bar has one height, a caption widens list buttons.
    int x = Rect.Left, y = Rect.Top;
    int height = FButtonHeight;
    if (FShowCaptions && !FList)
        height = std::max(height, (FImages ? FImages->Height() : 0) + FontHeight(Font()) + 8);
    for (int i = 0; i < ControlCount(); ++i) {
        auto* b = dynamic_cast<TToolButton*>(Controls(i));
        if (!b) continue;
        if (!b->Visible()) continue;
        int width = FButtonWidth;
        if (b->Style() == tbsSeparator || b->Style() == tbsDivider)
            width = SeparatorWidth;
        else if (FShowCaptions && FList)
            width =
                std::max(FButtonWidth, (FImages ? FImages->Width() + 3 : 0) + TextWidthOf(Font(), b->Caption()) + 10);
        if (FWrapable && x > Rect.Left && x + width > Rect.Right) {
            x = Rect.Left;
            y += height;
        }
        b->SetBounds(x, y, width, height);
        x += width;
    }
    TCustomControl::AlignControls(AControl, Rect);
}

void TToolBar::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
}

// ---- TProgressBar -----------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetMin(int Value) {
    FMin = Value;
    SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetMax(int Value) {
    FMax = Value;
    SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, std::max(FMin, FMax));
    if (FPosition == Value) return;
    FPosition = Value;
    Invalidate();
}

void TProgressBar::SetSmooth(bool Value) {
    FSmooth = Value;
    Invalidate();
}

void TProgressBar::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(r);
    HDC dc = canvas->Handle();
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    InflateRect(r, -1, -1);
    if (FMax <= FMin || r.Width() <= 0) return;
    const int filled = MulDiv(r.Width(), FPosition - FMin, FMax - FMin);
    HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
    if (FSmooth) {
        TRect bar = Rect(r.Left, r.Top, r.Left + filled, r.Bottom);
        FillRect(dc, &bar, brush);
        return;
    }
    // Blocks of about two thirds of the height with a gap of two pixels.
    const int block = std::max(2, r.Height() * 2 / 3);
    for (int x = r.Left; x < r.Left + filled; x += block + 2) {
        TRect b = Rect(x, r.Top, std::min(x + block, r.Left + filled), r.Bottom);
        FillRect(dc, &b, brush);
    }
}
