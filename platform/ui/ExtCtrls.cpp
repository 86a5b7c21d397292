// Panels, bevels, splitters, images, radio groups and timers.
#include "platform/ui/ExtCtrls.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Timers.h"
#include "platform/ui/Window.h"

#include <algorithm>

// ---- TCustomPanel -----------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle += csAcceptsControls;
    FControlStyle += csOpaque;
    FColor = clBtnFace;
    FParentColor = false;
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    FBevelWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value) {
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::TextChanged() {
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone) inset += FBevelWidth;
    if (FBevelInner != bvNone) inset += FBevelWidth;
    if (FBorderStyle == bsSingle) inset += 1;
    InflateRect(Rect, -inset, -inset);
}

void TCustomPanel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    HDC dc = canvas->Handle();
    if (FBorderStyle == bsSingle) {
        HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME));
        FrameRect(dc, &r, frame);
        DeleteObject(frame);
        InflateRect(r, -1, -1);
    }
    auto bevel = [&](TPanelBevel kind) {
        if (kind == bvNone) return;
        for (int i = 0; i < FBevelWidth; ++i) {
            if (kind != bvSpace) DrawEdge(dc, &r, kind == bvLowered ? BDR_SUNKENINNER : BDR_RAISEDINNER, BF_RECT);
            InflateRect(r, -1, -1);
        }
    };
    bevel(FBevelOuter);
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    bevel(FBevelInner);
    if (Caption().empty()) return;
    canvas->Refresh();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    const UINT align = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawText(dc, Caption(), &r, align | DT_VCENTER | DT_SINGLELINE);
}

// ---- TBevel -----------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    HDC dc = Canvas()->Handle();
    TRect r = ClientRect();
    const UINT thin = FStyle == bsLowered ? EDGE_ETCHED : EDGE_BUMP;
    switch (FShape) {
    case bsBox:
        DrawEdge(dc, &r, FStyle == bsLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        break;
    case bsFrame:
        DrawEdge(dc, &r, thin, BF_RECT);
        break;
    case bsTopLine:
        DrawEdge(dc, &r, thin, BF_TOP);
        break;
    case bsBottomLine: {
        TRect line = Rect(r.Left, r.Bottom - 2, r.Right, r.Bottom);
        DrawEdge(dc, &line, thin, BF_TOP);
        break;
    }
    case bsLeftLine:
        DrawEdge(dc, &r, thin, BF_LEFT);
        break;
    case bsRightLine: {
        TRect line = Rect(r.Right - 2, r.Top, r.Right, r.Bottom);
        DrawEdge(dc, &line, thin, BF_LEFT);
        break;
    }
    case bsSpacer:
        break;
    }
}

// ---- TSplitter --------------------------------------------------------------

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

void TSplitter::Paint() {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

TControl* TSplitter::FindResizeControl() const {
    // The neighbour aligned the same way whose edge touches the splitter.
    if (!Parent()) return nullptr;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        switch (Align()) {
        case alLeft:
            if (c->Left() + c->Width() == Left()) return c;
            break;
        case alRight:
            if (c->Left() == Left() + Width()) return c;
            break;
        case alTop:
            if (c->Top() + c->Height() == Top()) return c;
            break;
        case alBottom:
            if (c->Top() == Top() + Height()) return c;
            break;
        default:
            break;
        }
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FControl = FindResizeControl();
    FDownPos = Point(X, Y);
    if (FControl) FStartSize = (Align() == alLeft || Align() == alRight) ? FControl->Width() : FControl->Height();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FControl || !Shift.Contains(ssLeft)) return;
    int delta = 0;
    switch (Align()) {
    case alLeft:
        delta = X - FDownPos.X;
        break;
    case alRight:
        delta = FDownPos.X - X;
        break;
    case alTop:
        delta = Y - FDownPos.Y;
        break;
    case alBottom:
        delta = FDownPos.Y - Y;
        break;
    default:
        return;
    }
    const int size = std::max(FMinSize, FStartSize + delta);
    if (Align() == alLeft || Align() == alRight)
        FControl->SetWidth(size);
    else
        FControl->SetHeight(size);
    FStartSize = size;
    FDownPos = Point(X - (Align() == alLeft    ? delta
                          : Align() == alRight ? -delta
                                               : 0),
                     Y - (Align() == alTop      ? delta
                          : Align() == alBottom ? -delta
                                                : 0));
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (FControl) Fire(OnMoved, this);
    FControl = nullptr;
}

// ---- TImage -----------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() {
    FPicture->OnChange = nullptr;
}

void TImage::SetPicture(TPicture* Value) {
    FPicture->Assign(Value);
}

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value) {
    FCenter = Value;
    Invalidate();
}

void TImage::SetAutoSize(bool Value) {
    FAutoSize = Value;
    PictureChanged();
}

void TImage::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TImage::PictureChanged() {
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    if (TGraphic* g = FPicture->Graphic()) g->SetTransparent(FTransparent);
    Invalidate();
}

void TImage::Paint() {
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty()) return;
    TRect r = ClientRect();
    TRect dest = Bounds(0, 0, g->Width(), g->Height());
    if (FStretch)
        dest = r;
    else if (FCenter)
        OffsetRect(dest, (r.Width() - dest.Width()) / 2, (r.Height() - dest.Height()) / 2);
    Canvas()->StretchDraw(dest, g);
}

// ---- TCustomRadioGroup ------------------------------------------------------

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
    FItems->OnChange = [this](TObject*) { UpdateButtons(); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
    FItems->OnChange = nullptr;
}

TRadioButton* TCustomRadioGroup::Buttons(int Index) const {
    if (Index < 0 || Index >= ButtonCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FButtons[static_cast<size_t>(Index)];
}

void TCustomRadioGroup::UpdateButtons() {
    FUpdating = true;
    while (static_cast<int>(FButtons.size()) > FItems->Count()) {
        delete FButtons.back();
        FButtons.pop_back();
    }
    while (static_cast<int>(FButtons.size()) < FItems->Count()) {
        auto* button = new TRadioButton(nullptr);
        button->SetParent(this);
        button->OnClick = [this, button](TObject*) {
            if (FUpdating || !button->Checked()) return;
            auto it = std::find(FButtons.begin(), FButtons.end(), button);
            FItemIndex = static_cast<int>(it - FButtons.begin());
            Click();
        };
        FButtons.push_back(button);
    }
    for (size_t i = 0; i < FButtons.size(); ++i) {
        FButtons[i]->SetCaption(FItems->Get(static_cast<int>(i)));
        FButtons[i]->SetChecked(static_cast<int>(i) == FItemIndex);
        FButtons[i]->SetTabStop(static_cast<int>(i) == FItemIndex || (FItemIndex < 0 && i == 0));
    }
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    FUpdating = false;
    Realign();
}

void TCustomRadioGroup::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    if (FItemIndex == Value) return;
    FUpdating = true;
    if (FItemIndex >= 0) FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(false);
    FItemIndex = Value;
    if (Value >= 0) FButtons[static_cast<size_t>(Value)]->SetChecked(true);
    FUpdating = false;
}

void TCustomRadioGroup::SetColumns(int Value) {
    FColumns = std::max(1, Value);
    Realign();
}

void TCustomRadioGroup::AlignControls(TControl* AControl, TRect& Rect) {
    if (!FButtons.empty()) {
        const int count = static_cast<int>(FButtons.size());
        const int rows = (count + FColumns - 1) / FColumns;
        const int width = Rect.Width() / FColumns;
        const int height = std::max(1, Rect.Height() / std::max(1, rows));
        for (int i = 0; i < count; ++i) {
            const int col = i / rows, row = i % rows;
            FButtons[static_cast<size_t>(i)]->SetBounds(Rect.Left + col * width + 4,
                                                        Rect.Top + row * height + (height - 17) / 2, width - 6, 17);
        }
    }
    TCustomGroupBox::AlignControls(AControl, Rect);
}

// ---- TTimer -----------------------------------------------------------------

namespace {
constexpr UINT_PTR TimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    FWindow = AllocateHWnd([this](HWND wnd, TMessage& m) {
        if (m.Msg == WM_TIMER)
            Fire(OnTimer, this);
        else
            DefWindowProc(wnd, m);
    });
    UpdateTimer();
}

TTimer::~TTimer() {
    KillTimer(FWindow, TimerId);
    DeallocateHWnd(FWindow);
}

void TTimer::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
    FInterval = Value;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    KillTimer(FWindow, TimerId);
    // A timer being built by its form's layout starts when the layout is done.
    if (FEnabled && FInterval > 0 && !ComponentState().Contains(csLoading)) SetTimer(FWindow, TimerId, FInterval);
}
