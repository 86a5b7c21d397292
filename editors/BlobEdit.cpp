// The blob editor and its popup: the cell's icon, the memo or picture view
// with its strip of buttons and its grip in the non-client area, placement
// away from the screen's edges, and the content taken back on OK (or on any
// close but a cancel with AlwaysSave).
#include "editors/BlobEdit.h"

#include "editors/EditorTexts.h"
#include "editors/ExEdtr.h"
#include "editors/GraphicEdit.h"
#include "editors/PictureValue.h"
#include "editors/PopupToolBar.h"
#include "editors/TextEdit.h"
#include "editors/cvUtils.h"
#include "platform/data/DB.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/Painting.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The strip's captions, by button: OK, Cancel, Close.
const char* ButtonCaption(int Index) {
    return SPopupCaptions[Index];
}

TSize TextExtent(HDC DC, const std::string& Text) {
    TSize size{};
    GetTextExtentPoint32(DC, Text.c_str(), static_cast<int>(Text.size()), &size);
    return size;
}

// A caption as it shows: the accelerator's "&" is no character of its own.
std::string WithoutAccelerator(const char* Caption) {
    std::string s = Caption;
    s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
    return s;
}

// Sets a bar only when its range, page or position changes; a range of 0 hides it.
void UpdateScrollBar(HWND Wnd, int Bar, int PictureSize, int ClientSize, int Offset) {
    TScrollInfo wanted;
    wanted.fMask = SIF_ALL;
    wanted.nMax = PictureSize > ClientSize ? PictureSize - 1 : 0;
    wanted.nPage = static_cast<UINT>(std::max(0, ClientSize));
    wanted.nPos = Offset;
    TScrollInfo current;
    current.fMask = SIF_ALL;
    GetScrollInfo(Wnd, Bar, current);
    if (current.nMin == wanted.nMin && current.nMax == wanted.nMax && current.nPage == wanted.nPage &&
        current.nPos == wanted.nPos)
        return;
    SetScrollInfo(Wnd, Bar, wanted, true);
}

// From the client area outwards the strip holds its separator, a margin,
// the buttons and a margin; it lies on the grip's side.
bool StripAtTop(int GripCorner) {
    return GripCorner <= 1;
}

} // namespace

// ---- cvDBEdtr ---------------------------------------------------------------

namespace cvDBEdtr {

Byte ResolveBlobKind(TcvBlobKind Kind, const TField* Field) {
    switch (Kind) {
    case bkBlob:
        return bkvBinary;
    case bkMemo:
        return bkvMemo;
    case bkPict:
        return bkvPicture;
    case bkOle:
        return bkvOle;
    case bkAuto:
        break;
    }
    if (!Field || !Field->IsBlob()) return bkvMemo;
    switch (Field->DataType()) {
    case ftMemo:
    case ftFmtMemo:
        return bkvMemo;
    case ftGraphic:
        return bkvPicture;
    case ftParadoxOle:
    case ftDBaseOle:
        return bkvOle;
    default:
        return bkvBinary;
    }
}

void AssignValueToField(TField* Field, const Variant& Value) {
    if (Value.IsNull() || Value.IsEmpty() || (Value.VarType() == varString && Value.AsString().empty()))
        Field->Clear();
    else
        Field->SetValue(Value);
}

} // namespace cvDBEdtr

// ---- TcvBlobEditClassOps ----------------------------------------------------

std::unique_ptr<TcvEditViewData> TcvBlobEditClassOps::CreateViewData() const {
    return std::make_unique<TcvBlobEditViewData>();
}

int TcvBlobEditClassOps::IconIndex(Byte BlobKind, bool Empty) {
    static constexpr int Filled[] = {3, 5, 7, 1}; // memo, picture, OLE, binary
    return Filled[std::min<int>(BlobKind, 3)] - (Empty ? 1 : 0);
}

void TcvBlobEditClassOps::CalcButtons(TcvDropDownEditViewData& ViewData) const {
    TcvDropDownEditClassOps::CalcButtons(ViewData);
    if (static_cast<TcvBlobEditViewData&>(ViewData).BlobKind >= bkvOle) ViewData.ButtonCount = 0;
}

bool TcvBlobEditClassOps::DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const {
    auto& v = static_cast<TcvBlobEditViewData&>(ViewData);
    if (v.PaintStyle != bpsIcon || !v.Images) return TcvDropDownEditClassOps::DrawContent(DC, Rect, ViewData);
    if (v.MeasureRequest) {
        v.LineCount = 1;
        v.TextHeight = v.Images->Height();
        return true;
    }
    if (!v.UnfocusedHighlight) FillRect(DC, &Rect, v.Brush);
    const int x = Rect.Left + (Rect.Width() - v.Images->Width()) / 2;
    const int y = Rect.Top + (Rect.Height() - v.Images->Height()) / 2;
    cvUtils::DrawImageListImage(DC, x, y, v.Images, IconIndex(v.BlobKind, v.BlobEmpty));
    return true;
}

// ---- TCustomcvBlobPopup -----------------------------------------------------

TCustomcvBlobPopup::TCustomcvBlobPopup(TComponent* AOwner)
    : TcvInplacePopupControl(AOwner), FClipboardFormat(CF_PICTURE) {
    SetControlStyle(ControlStyle() + csClickEvents + csCaptureMouse);
    SetBounds(Left(), Top(), 185, 89);
    SetTabStop(true);
    SetParentColor(false);
    SetVisible(false);
    SetPopup(true);
    // The frame is painted with the strip.
    SetFrame(false);
    SetImeMode(imOpen);
}

TCustomcvBlobPopup::~TCustomcvBlobPopup() = default;

void TCustomcvBlobPopup::SetKind(Byte Value) {
    if (FKind == Value) return;
    FKind = Value;
    RecreateWnd();
}

void TCustomcvBlobPopup::SetReadOnly(bool Value) {
    FReadOnly = Value;
    FButtons = Value ? TcvBlobPopupButtons{bpbClose} : TcvBlobPopupButtons{bpbOK, bpbCancel};
    RecreateWnd();
}

void TCustomcvBlobPopup::SetSizeable(bool Value) {
    if (FSizeable == Value) return;
    FSizeable = Value;
    RecreateWnd();
}

void TCustomcvBlobPopup::SetMaxLength(int Value) {
    if (FMaxLength == Value) return;
    FMaxLength = Value;
    if (IsMemo() && HandleAllocated()) SendMessage(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomcvBlobPopup::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}

void TCustomcvBlobPopup::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value) return;
    FCharCase = Value;
    ApplyCharCase();
}

void TCustomcvBlobPopup::SetHideScrollBars(bool Value) {
    if (FHideScrollBars == Value) return;
    FHideScrollBars = Value;
    RecreateWnd();
}

void TCustomcvBlobPopup::SetOEMConvert(bool Value) {
    if (FOEMConvert == Value) return;
    FOEMConvert = Value;
    RecreateWnd();
}

void TCustomcvBlobPopup::SetSelectionBar(bool Value) {
    if (FSelectionBar == Value) return;
    FSelectionBar = Value;
    RecreateWnd();
}

void TCustomcvBlobPopup::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateWnd();
}

TPicture* TCustomcvBlobPopup::Picture() {
    if (!FPicture) {
        FPicture = std::make_unique<TPicture>();
        FPicture->OnChange = [this](TObject*) { PictureChanged(); };
    }
    return FPicture.get();
}

void TCustomcvBlobPopup::SetPictureAutoSize(bool Value) {
    if (FPictureAutoSize == Value) return;
    FPictureAutoSize = Value;
    RecreateWnd();
}

TGraphic* TCustomcvBlobPopup::ScrolledGraphic() const {
    if (IsMemo() || !HandleAllocated() || FPictureAutoSize || cvExEdtr::IsPictureEmpty(FPicture.get())) return nullptr;
    return FPicture->Graphic();
}

void TCustomcvBlobPopup::UpdateScrollBars() {
    TGraphic* graphic = ScrolledGraphic();
    if (!graphic) return;
    UpdateScrollBar(FHandle, SB_HORZ, graphic->Width(), ClientWidth(), FHorzOffset);
    // The horizontal bar may have changed the client height.
    UpdateScrollBar(FHandle, SB_VERT, graphic->Height(), ClientHeight(), FVertOffset);
}

void TCustomcvBlobPopup::SetOffset(bool Horizontal, int Value) {
    int& offset = Horizontal ? FHorzOffset : FVertOffset;
    TGraphic* graphic = ScrolledGraphic();
    if (!graphic || Value == offset) return;
    const int pictureSize = Horizontal ? graphic->Width() : graphic->Height();
    const int clientSize = Horizontal ? ClientWidth() : ClientHeight();
    Value = std::max(0, std::min(Value, pictureSize - clientSize));
    if (Value == offset) return;
    const int delta = offset - Value;
    offset = Value;
    UpdateScrollBars();
    const TRect client = ClientRect();
    if (std::abs(delta) <= clientSize)
        ScrollWindowEx(FHandle, Horizontal ? delta : 0, Horizontal ? 0 : delta, &client, &client, nullptr, nullptr,
                       SW_INVALIDATE);
    else
        Invalidate();
}

void TCustomcvBlobPopup::ScrollPicture(bool Horizontal, int Code) {
    TGraphic* graphic = ScrolledGraphic();
    if (!graphic) return;
    const int pictureSize = Horizontal ? graphic->Width() : graphic->Height();
    const int clientSize = Horizontal ? ClientWidth() : ClientHeight();
    const int offset = Horizontal ? FHorzOffset : FVertOffset;
    const int line = GetSystemMetrics(Horizontal ? SM_CXHSCROLL : SM_CYVSCROLL);
    int value = offset;
    switch (Code) {
    case SB_LINELEFT:
        value = offset - line;
        break;
    case SB_LINERIGHT:
        value = offset + line;
        break;
    case SB_PAGELEFT:
        value = offset - clientSize;
        break;
    case SB_PAGERIGHT:
        value = offset + clientSize;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        GetScrollInfo(FHandle, Horizontal ? SB_HORZ : SB_VERT, info);
        const int t = info.nTrackPos;
        if (t < 1)
            value = 0;
        else if (pictureSize <= t)
            value = pictureSize;
        else if (pictureSize <= clientSize + t + 1)
            value = t + 1;
        else
            value = (t + 1) / 4 * 4;
        break;
    }
    case SB_LEFT:
        value = 0;
        break;
    case SB_RIGHT:
        value = pictureSize;
        break;
    default:
        return;
    }
    SetOffset(Horizontal, value);
}

void TCustomcvBlobPopup::PullOffsetsBack() {
    TGraphic* graphic = ScrolledGraphic();
    if (!graphic) return;
    const auto pulled = [](int Offset, int PictureSize, int ClientSize) {
        return PictureSize < ClientSize + Offset ? std::max(0, PictureSize - ClientSize) : Offset;
    };
    const int horz = pulled(FHorzOffset, graphic->Width(), ClientWidth());
    const int vert = pulled(FVertOffset, graphic->Height(), ClientHeight());
    if (horz == FHorzOffset && vert == FVertOffset) return;
    FHorzOffset = horz;
    FVertOffset = vert;
    UpdateScrollBars();
    Invalidate();
}

void TCustomcvBlobPopup::SetTransparency(Byte Value) {
    if (FTransparency == Value) return;
    FTransparency = Value;
    ApplyTransparency();
}

void TCustomcvBlobPopup::ApplyTransparency() {
    FApplyingTransparency = true;
    TScopeGuard applying([this] { FApplyingTransparency = false; });
    PictureChanged();
}

void TCustomcvBlobPopup::PictureChanged() {
    if (!HandleAllocated() || IsMemo()) return;
    if (FTransparency != 0 && !cvExEdtr::IsPictureEmpty(FPicture.get())) {
        const TNotifyEvent changed = std::exchange(FPicture->OnChange, nullptr);
        FPicture->Graphic()->SetTransparent(FTransparency == 2);
        FPicture->OnChange = changed;
    }
    if (!FApplyingTransparency) {
        SetModified(true);
        DoChange();
    }
    Invalidate();
    SendMessage(FHandle, WM_NCPAINT, 1, 0);
}

bool TCustomcvBlobPopup::MayChangePicture() {
    return !FReadOnly && (!OwnerEditor() || OwnerEditor()->CanModify());
}

void TCustomcvBlobPopup::PictureCommand(int Index) {
    switch (Index) {
    case ptbCut:
        cvPictureCommands::Copy(Picture());
        if (MayChangePicture()) Picture()->SetGraphic(nullptr);
        break;
    case ptbCopy:
        cvPictureCommands::Copy(Picture());
        break;
    case ptbPaste:
        if (MayChangePicture()) cvPictureCommands::Paste(Picture(), FClipboardFormat);
        break;
    case ptbDelete:
        if (MayChangePicture()) Picture()->SetGraphic(nullptr);
        break;
    case ptbLoad:
        if (MayChangePicture()) cvPictureCommands::Load(Picture(), FPictureFilter);
        if (HandleAllocated()) ::SetFocus(FHandle);
        break;
    case ptbSave:
        cvPictureCommands::Save(Picture(), FPictureFilter);
        break;
    default:
        break;
    }
}

void TCustomcvBlobPopup::ShowContextMenu(TMessage& Message) {
    TPoint at = PointFromLParam(Message.LParam);
    if (Message.LParam == -1) at = ClientToScreen({0, 0});
    Message.Result = 1;
    if (IsMemo()) {
        if (!FMemoMenu) FMemoMenu = std::make_unique<TcvEditWindowMenu>();
        FMemoMenu->Popup(FHandle, this, at, !FReadOnly, false);
        return;
    }
    auto* editor = dynamic_cast<TcvInplaceBlobEdit*>(OwnerEditor());
    if (editor && !editor->ShowPicturePopup()) return;
    if (!FContextMenu) {
        FContextMenu = std::make_unique<TPopupMenu>(nullptr);
        FContextMenu->SetImages(cvExEdtr::ToolGlyphs());
    }
    TMenuItem* items = FContextMenu->Items();
    items->Clear();
    const bool empty = cvExEdtr::IsPictureEmpty(FPicture.get());
    const bool extras = !editor || editor->ShowExPopupItems();
    constexpr int Separator = -1;
    const int tags[] = {ptbCut, ptbCopy, ptbPaste, ptbDelete, Separator, ptbLoad, ptbSave};
    for (int tag : tags) {
        if (!extras && tag >= ptbLoad) break;
        auto* item = new TMenuItem(FContextMenu.get());
        if (tag == Separator) {
            item->SetCaption("-");
        } else {
            item->SetCaption(SToolBarCaptions[tag]);
            item->SetImageIndex(tag);
            item->SetTag(tag);
            item->SetEnabled(PictureCommandEnabled(tag, empty, FReadOnly, FClipboardFormat));
            item->OnClick = [this, tag](TObject*) { PictureCommand(tag); };
        }
        items->Add(item);
    }
    FContextMenu->Popup(at.X, at.Y);
}

bool TCustomcvBlobPopup::Modified() {
    if (IsMemo() && HandleAllocated()) return SendMessage(FHandle, EM_GETMODIFY) != 0;
    return FModified;
}

void TCustomcvBlobPopup::SetModified(bool Value) {
    if (IsMemo() && HandleAllocated())
        SendMessage(FHandle, EM_SETMODIFY, Value ? 1 : 0);
    else
        FModified = Value;
    FOKEnabled = Value;
}

void TCustomcvBlobPopup::DoChange() {
    Fire(OnChange, this);
    const bool enabled = Modified();
    if (enabled == FOKEnabled) return;
    FOKEnabled = enabled;
    if (HandleAllocated()) SendMessage(FHandle, WM_NCPAINT, 1, 0);
}

void TCustomcvBlobPopup::ApplyCharCase() {
    if (!IsMemo() || !HandleAllocated() || FCharCase == ecNormal) return;
    const std::string text = GetWindowText(FHandle);
    const std::string cased = cvTextEdt::CasedText(text, FCharCase);
    if (cased == text) return;
    FApplyingCharCase = true;
    TScopeGuard applying([this] { FApplyingCharCase = false; });
    CHARRANGE selection{};
    SendMessage(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SetWindowText(FHandle, cased);
    SendMessage(FHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessage(FHandle, EM_SCROLLCARET);
}

void TCustomcvBlobPopup::DoClosed() {
    Fire(OnClosed, this);
}

void TCustomcvBlobPopup::DoAccept() {
    if (!FClosed && Modified()) Fire(OnAccept, this);
    FClosed = true;
}

void TCustomcvBlobPopup::ClosePopup(int Mode) {
    if (Mode == bpbCancel || Mode == bpbClose) FClosed = true;
    HidePopup();
    if (Mode == bpbOK) DoAccept();
}

void TCustomcvBlobPopup::HidePopup() {
    FSavedText = Text();
    const bool wasVisible = HandleAllocated() && IsWindowVisible(FHandle);
    if (wasVisible) DoClosed();
    TcvInplacePopupControl::HidePopup();
    if (FAlwaysSave) DoAccept();
}

void TCustomcvBlobPopup::ShowPopup() {
    FClosed = false;
    TcvInplacePopupControl::ShowPopup();
}

void TCustomcvBlobPopup::LimitText(int Value) {
    if (HandleAllocated()) SendMessage(FHandle, EM_EXLIMITTEXT, 0, Value);
}

int TCustomcvBlobPopup::GetSelLength() {
    if (!HandleAllocated()) return 0;
    CHARRANGE r{};
    SendMessage(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMax - r.cpMin;
}

int TCustomcvBlobPopup::GetSelStart() {
    if (!HandleAllocated()) return 0;
    CHARRANGE r{};
    SendMessage(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMin;
}

std::string TCustomcvBlobPopup::GetSelText() {
    // The window hands the whole selection over: no buffer to outgrow.
    std::string selected;
    if (HandleAllocated()) SendMessage(FHandle, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(&selected));
    return selected;
}

void TCustomcvBlobPopup::SetSelLength(int Value) {
    if (!HandleAllocated()) return;
    const int start = GetSelStart();
    CHARRANGE r{start, start + Value};
    SendMessage(FHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    SendMessage(FHandle, EM_SCROLLCARET);
}

void TCustomcvBlobPopup::SetSelStart(int Value) {
    if (!HandleAllocated()) return;
    CHARRANGE r{Value, Value};
    SendMessage(FHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

int TCustomcvBlobPopup::BorderWidth() const {
    // The sizes count a default border as one pixel.
    return BorderStyle() == pbDefault ? 1 : cvCntner::PopupBorderWidth(BorderStyle());
}

TCustomcvBlobPopup::TStripMetrics TCustomcvBlobPopup::Metrics() {
    TStripMetrics m{};
    HDC dc = GetDC(nullptr);
    TScopeGuard release([&] { ReleaseDC(nullptr, dc); });
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    TScopeGuard deselect([&] { SelectObject(dc, old); });
    const TSize wg = TextExtent(dc, "Wg"), zero = TextExtent(dc, "0");
    m.FrameWidth = BorderStyle() == pbSingle || BorderStyle() == pbFlat ? 2 : 4;
    m.Gap = zero.cx;
    m.GripWidth = FSizeable ? GetSystemMetrics(SM_CXVSCROLL) : m.Gap;
    m.Margin = wg.cy / 3;
    m.ButtonHeight = MulDiv(wg.cy, 20, 13);
    for (int i = 0; i <= bpbClose; ++i) {
        if (!FButtons.Contains(static_cast<TcvBlobPopupButton>(i))) continue;
        m.ButtonWidth = std::max(m.ButtonWidth, TextExtent(dc, WithoutAccelerator(ButtonCaption(i)) + "00").cx);
        ++m.ButtonCount;
    }
    return m;
}

TSize TCustomcvBlobPopup::MinimumSize() {
    const TStripMetrics m = Metrics();
    FStripHeight = 2 * m.Margin + m.FrameWidth + m.ButtonHeight;
    const int border = BorderWidth();
    return {2 * m.GripWidth + (m.ButtonWidth + m.Gap) * m.ButtonCount - m.Gap + 2 * border + 2,
            3 * GetSystemMetrics(SM_CYHSCROLL) + FStripHeight};
}

TRect TCustomcvBlobPopup::ButtonRect(int Index) {
    if (!HandleAllocated() || !FButtons.Contains(static_cast<TcvBlobPopupButton>(Index))) return {};
    const TStripMetrics m = Metrics();
    TRect window;
    GetWindowRect(FHandle, window);
    TRect inner{0, 0, window.Width(), window.Height()};
    if (Shadow()) {
        inner.Right -= ShadowSize();
        inner.Bottom -= ShadowSize();
    }
    const int border = cvCntner::PopupBorderWidth(BorderStyle());
    InflateRect(inner, -border, -border);
    const int top = StripAtTop(FGripCorner) ? inner.Top + m.Margin
                                            : inner.Bottom - FStripHeight + m.FrameWidth + m.Margin;
    int right = inner.Right - m.GripWidth;
    for (int i : {bpbClose, bpbCancel, bpbOK}) {
        if (!FButtons.Contains(static_cast<TcvBlobPopupButton>(i))) continue;
        const TRect r{right - m.ButtonWidth, top, right, top + m.ButtonHeight};
        if (i == Index) return r;
        right = r.Left - m.Gap;
    }
    return {};
}

int TCustomcvBlobPopup::ButtonAt(TPoint ScreenPoint) {
    if (FStripHeight == 0 || !HandleAllocated()) return -1;
    TPoint p = ScreenPoint;
    cvExEdtr::ScreenToWindow(FHandle, p);
    for (int i = bpbOK; i <= bpbClose; ++i)
        if (PtInRect(ButtonRect(i), p)) return i;
    return -1;
}

void TCustomcvBlobPopup::Place(TPoint P, int W, int H, const TRect& EditorRect) {
    FHorzOffset = FVertOffset = 0;
    const TSize minimum = MinimumSize();
    FGripCorner = 3;
    TRect work;
    cvUtils::GetWorkArea(P, work);
    const int largestWidth = work.Width();
    const int largestHeight = std::max(work.Bottom - P.Y, P.Y - EditorRect.Height() - work.Top);
    const int border = BorderWidth();
    int contentWidth = W - 2 * border, contentHeight = H - (FStripHeight + 2 * border);
    if (!IsMemo() && FPictureAutoSize && !cvExEdtr::IsPictureEmpty(FPicture.get())) {
        // The picture's own size, scaled down at its proportions to what the work area holds.
        const int pw = FPicture->Width(), ph = FPicture->Height();
        contentWidth = pw;
        contentHeight = ph;
        if (contentWidth + 2 * border > largestWidth) {
            contentWidth = largestWidth - 2 * border;
            contentHeight = ph * contentWidth / pw;
        }
        if (contentHeight + FStripHeight + 2 * border > largestHeight) {
            contentHeight = largestHeight - (FStripHeight + 2 * border);
            contentWidth = pw * contentHeight / ph;
        }
    }
    const int width = std::min(std::max<int>(contentWidth + 2 * border, minimum.cx), largestWidth);
    const int height = std::min(std::max<int>(contentHeight + FStripHeight + 2 * border, minimum.cy), largestHeight);
    TRect r = Bounds(P.X, P.Y, width, height);
    bool left = false, above = false;
    if (width > EditorRect.Width() && r.Right > work.Right &&
        std::abs(work.Right - EditorRect.Left) < std::abs(work.Left - EditorRect.Right)) {
        OffsetRect(r, EditorRect.Right - r.Right, 0);
        left = true;
    }
    if (r.Bottom > work.Bottom && std::abs(work.Bottom - EditorRect.Bottom) < std::abs(EditorRect.Top - work.Top)) {
        OffsetRect(r, 0, -(r.Height() + EditorRect.Height()));
        above = true;
    }
    FGripCorner = left ? (above ? 0 : 2) : (above ? 1 : 3);
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    // The non-client layout follows the new corner.
    RecreateWnd();
}

void TCustomcvBlobPopup::CreateParams(TCreateParams& Params) {
    TcvInplacePopupControl::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    Params.WindowClassStyle |= CS_SAVEBITS;
    if (!IsMemo()) return;
    Params.WinClassName = EditWindowClassName;
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (!FWordWrap) Params.Style |= ES_AUTOHSCROLL;
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
    if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
    if (FSelectionBar) Params.Style |= ES_SELECTIONBAR;
    if (!FHideScrollBars) Params.Style |= ES_DISABLENOSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
}

void TCustomcvBlobPopup::CreateWnd() {
    FCreating = true;
    TScopeGuard created([this] { FCreating = false; });
    TcvInplacePopupControl::CreateWnd();
    MinimumSize();
    if (IsMemo()) {
        SendMessage(FHandle, EM_SETTEXTMODE, 0);
        LimitText(FMaxLength);
        SendMessage(FHandle, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
        SendMessage(FHandle, EM_SETBKGNDCOLOR, 0, ColorToRGB(Color()));
        const TRect format = cvTextEdt::FormatRect(FHandle, ClientRect());
        SendMessage(FHandle, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
        ApplyCharCase();
    } else {
        ApplyTransparency();
    }
    SetModified(FModified);
    UpdateScrollBars();
}

void TCustomcvBlobPopup::DestroyWnd() {
    FModified = Modified();
    TcvInplacePopupControl::DestroyWnd();
}

void TCustomcvBlobPopup::Paint() {
    TRect r = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    TGraphic* graphic = FPicture ? FPicture->Graphic() : nullptr;
    if (!graphic || graphic->Empty()) {
        Canvas()->FillRect(r);
        return;
    }
    const int pw = graphic->Width(), ph = graphic->Height();
    const TRect place = FPictureAutoSize ? TcvGraphicEditClassOps::PictureRect(r, pw, ph, true, false)
                                         : Bounds(-FHorzOffset, -FVertOffset, pw, ph);
    if (graphic->Transparent()) {
        // Composed off screen, a transparent picture does not flicker over its background.
        if (!FCacheBitmap) FCacheBitmap = std::make_unique<TBitmap>();
        cvUtils::EnsureGraphicSize(FCacheBitmap.get(), r.Width(), r.Height());
        TCanvas* cache = FCacheBitmap->Canvas();
        cache->Brush()->SetColor(Color());
        cache->FillRect(r);
        cache->StretchDraw(place, graphic);
        Canvas()->Draw(r.Left, r.Top, FCacheBitmap.get());
        return;
    }
    Canvas()->FillRect(r);
    Canvas()->StretchDraw(place, graphic);
}

void TCustomcvBlobPopup::PaintStrip() {
    HDC dc = GetWindowDC(FHandle);
    TScopeGuard release([&] { ReleaseDC(FHandle, dc); });
    TRect window;
    GetWindowRect(FHandle, window);
    TRect r{0, 0, window.Width(), window.Height()};
    cvCntner::PaintPopupFrame(dc, r, BorderStyle(), ShadowSize(), Shadow(), false);
    if (Shadow()) {
        r.Right -= ShadowSize();
        r.Bottom -= ShadowSize();
    }
    const int border = cvCntner::PopupBorderWidth(BorderStyle());
    InflateRect(r, -border, -border);
    if (FStripHeight == 0) return;
    TRect strip = r;
    if (StripAtTop(FGripCorner))
        strip.Bottom = strip.Top + FStripHeight;
    else
        strip.Top = strip.Bottom - FStripHeight;
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    TRect separator = strip;
    if (StripAtTop(FGripCorner))
        separator.Top = separator.Bottom - 2;
    else
        separator.Bottom = separator.Top + 2;
    DrawEdge(dc, &separator, EDGE_ETCHED, BF_TOP);
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    for (int i = bpbOK; i <= bpbClose; ++i) {
        TRect b = ButtonRect(i);
        if (IsRectEmpty(b)) continue;
        const bool pushed = FPressedLook && FPressedButton == i;
        const bool disabled = i == bpbOK && !FOKEnabled;
        DrawEdge(dc, &b, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        FillRect(dc, &b, GetSysColorBrush(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        DrawText(dc, ButtonCaption(i), &b, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }
    SelectObject(dc, oldFont);
    if (FSizeable) {
        TRect grip = r;
        cvExEdtr::DrawSizeGrip(dc, grip, FGripCorner);
    }
}

void TCustomcvBlobPopup::UpdatePressedLook(TPoint ScreenPoint) {
    if (FPressedButton < 0) return;
    const bool look = ButtonAt(ScreenPoint) == FPressedButton;
    if (look == FPressedLook) return;
    FPressedLook = look;
    SendMessage(FHandle, WM_NCPAINT, 1, 0);
}

void TCustomcvBlobPopup::StopTracking() {
    if (!FTracking) return;
    UpdatePressedLook({-1, -1});
    FTracking = false;
    if (GetCapture() == FHandle) ReleaseCapture();
    FPressedLook = false;
}

int TCustomcvBlobPopup::AcceleratorButton(Word Key) const {
    for (int i = bpbOK; i <= bpbClose; ++i) {
        if (!FButtons.Contains(static_cast<TcvBlobPopupButton>(i))) continue;
        const char* amp = std::strchr(ButtonCaption(i), '&');
        if (amp && std::toupper(static_cast<unsigned char>(amp[1])) == Key) return i;
    }
    return -1;
}

bool TCustomcvBlobPopup::HandlePopupKey(TMessage& Message) {
    const Word key = static_cast<Word>(Message.WParam);
    const bool alt = Message.Msg == WM_SYSKEYDOWN;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    TcvInplaceEdit* editor = OwnerEditor();
    if (key == VK_TAB && !FWantTabs && editor && editor->IsInplace()) {
        HidePopup();
        editor->MoveContainerRow(GetKeyState(VK_SHIFT) < 0);
        // The Tab's own character must not reach the next row's editor.
        TMsg pending;
        while (PeekMessage(pending, FHandle, WM_CHAR, WM_CHAR, PM_REMOVE)) {
        }
        return true;
    }
    const int accelerated = alt ? AcceleratorButton(key) : -1;
    if (accelerated == bpbCancel || accelerated == bpbClose) {
        SetModified(false);
        ClosePopup(accelerated);
        return true;
    }
    if (accelerated == bpbOK) {
        ClosePopup(bpbOK);
        return true;
    }
    if ((alt && (key == VK_UP || key == VK_DOWN)) || key == VK_F4) {
        HidePopup();
        SetModified(false);
        return true;
    }
    if (key == VK_ESCAPE) {
        SetModified(false);
        ClosePopup(bpbCancel);
        return true;
    }
    if (key == VK_RETURN && (ctrl || !FWantReturns || !IsMemo())) {
        ClosePopup(bpbOK);
        return true;
    }
    return false;
}

void TCustomcvBlobPopup::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        TcvInplacePopupControl::WndProc(Message);
        auto* params = reinterpret_cast<TNCCalcSizeParams*>(Message.LParam);
        TRect& client = params->rgrc[0];
        if (StripAtTop(FGripCorner))
            client.Top = std::min(client.Bottom, client.Top + FStripHeight);
        else
            client.Bottom = std::max(client.Top, client.Bottom - FStripHeight);
        return;
    }
    case WM_NCPAINT:
        TcvInplacePopupControl::WndProc(Message);
        PaintStrip();
        return;
    case WM_NCHITTEST: {
        TcvInplacePopupControl::WndProc(Message);
        TRect r;
        GetWindowRect(FHandle, r);
        if (Shadow()) {
            r.Right -= ShadowSize();
            r.Bottom -= ShadowSize();
        }
        const TPoint p = PointFromLParam(Message.LParam);
        if (FSizeable && !FTracking) {
            const bool right = FGripCorner == 1 || FGripCorner == 3, bottom = FGripCorner >= 2;
            const int w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
            const TRect grip = Bounds(right ? r.Right - w : r.Left, bottom ? r.Bottom - h : r.Top, w, h);
            static constexpr LRESULT Corners[] = {HTTOPLEFT, HTTOPRIGHT, HTBOTTOMLEFT, HTBOTTOMRIGHT};
            if (PtInRect(grip, p)) {
                Message.Result = Corners[FGripCorner];
                return;
            }
            const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
            if (!bottom && p.Y < r.Top + fy) Message.Result = HTTOP;
            if (bottom && p.Y >= r.Bottom - fy) Message.Result = HTBOTTOM;
            if (!right && p.X < r.Left + fx) Message.Result = HTLEFT;
            if (right && p.X >= r.Right - fx) Message.Result = HTRIGHT;
        }
        if (Message.Result == HTNOWHERE) Message.Result = HTBORDER;
        return;
    }
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        const TSize minimum = MinimumSize();
        info->ptMinTrackSize = {minimum.cx, minimum.cy};
        break;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        TcvInplacePopupControl::WndProc(Message);
        if (FStripHeight == 0) return;
        FPressedButton = ButtonAt(PointFromLParam(Message.LParam));
        if (FPressedButton == bpbOK && !FOKEnabled) FPressedButton = -1;
        if (FPressedButton >= 0) {
            SetCapture(FHandle);
            FTracking = true;
            UpdatePressedLook(PointFromLParam(Message.LParam));
        }
        return;
    case WM_MOUSEMOVE:
        TcvInplacePopupControl::WndProc(Message);
        if (FTracking) UpdatePressedLook(ClientToScreen(PointFromLParam(Message.LParam)));
        return;
    case WM_LBUTTONUP: {
        TcvInplacePopupControl::WndProc(Message);
        if (FStripHeight == 0) return;
        const bool click = FPressedButton >= 0 && FPressedLook;
        const int pressed = FPressedButton;
        StopTracking();
        FPressedButton = -1;
        if (click) ClosePopup(pressed);
        return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (HandlePopupKey(Message)) return;
        break;
    case CN_COMMAND:
        // A re-casing of the whole text is no change of the user's.
        if (HiWord(Message.WParam) == EN_CHANGE && !FCreating && !FApplyingCharCase) DoChange();
        return;
    case WM_CHAR:
        if (IsMemo()) Message.WParam = cvTextEdt::CasedChar(Message.WParam, FCharCase);
        break;
    case WM_GETDLGCODE:
        TcvInplacePopupControl::WndProc(Message);
        Message.Result = FWantTabs ? Message.Result | DLGC_WANTTAB : Message.Result & ~DLGC_WANTTAB;
        if (!FWantReturns) Message.Result &= ~DLGC_WANTALLKEYS;
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (IsMemo()) break;
        ScrollPicture(Message.Msg == WM_HSCROLL, LoWord(Message.WParam));
        if (Message.Msg == WM_VSCROLL && LoWord(Message.WParam) == SB_ENDSCROLL && GetCapture() == FHandle)
            ReleaseCapture();
        return;
    case WM_SIZE:
        TcvInplacePopupControl::WndProc(Message);
        UpdateScrollBars();
        PullOffsetsBack();
        return;
    case WM_CONTEXTMENU:
        ShowContextMenu(Message);
        return;
    case WM_ERASEBKGND:
        if (!IsMemo()) {
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TcvInplacePopupControl::WndProc(Message);
}

// ---- TcvInplaceBlobEdit -----------------------------------------------------

const TcvInplaceEditClass& TcvInplaceBlobEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceBlobEdit, TcvBlobEditClassOps>::Instance();
}

TcvInplaceBlobEdit::TcvInplaceBlobEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceDropDownEdit(AOwner, Class) {
    SetControlStyle(ControlStyle() - csSetCaption);
    // The popup takes the keyboard; a click anywhere opens it.
    SetKeysToPopup(false);
    SetTextAreaOpens(true);
}

TcvInplaceBlobEdit::~TcvInplaceBlobEdit() {
    SetPopup(nullptr);
    FPopup.reset();
}

void TcvInplaceBlobEdit::SetBlobValue(const std::string& Value) {
    if (FBlobValue == Value) return;
    TCustomcvContainer* host = GetContainer();
    if (host && host->FillingEditor()) {
        FBlobValue = Value;
    } else {
        if (!CanModify()) return;
        FBlobValue = Value;
        Changed();
    }
    Invalidate();
}

void TcvInplaceBlobEdit::SetBlobKind(Byte Value) {
    FBlobKind = Value;
    PropertiesChanged();
}

void TcvInplaceBlobEdit::SetBlobPaintStyle(TcvBlobPaintStyle Value) {
    FBlobPaintStyle = Value;
    Invalidate();
}

void TcvInplaceBlobEdit::SetTextNoChange(const std::string& Value) {
    LoadValue([&] { SetText(Value); });
}

bool TcvInplaceBlobEdit::IsValueEmpty(const Variant& Value) {
    return Value.IsNull() || Value.IsEmpty() || VarToStr(Value).empty();
}

void TcvInplaceBlobEdit::DoAssignPicture(TPicture*& APicture) {
    if (OnAssignPicture) OnAssignPicture(this, APicture);
}

TGraphicClass TcvInplaceBlobEdit::GetGraphicClass() {
    TGraphicClass graphicClass = FGraphicClass;
    if (OnGetGraphicClass) OnGetGraphicClass(this, graphicClass);
    return graphicClass;
}

void TcvInplaceBlobEdit::SetPopupSize(int Width, int Height) {
    FPopupWidth = Width;
    FPopupHeight = Height;
    Fire(OnPopupSize, this);
}

void TcvInplaceBlobEdit::ApplyPopupValue() {
    FPopup->SetModified(false);
    if (!CanModify()) return;
    if (FBlobKind == bkvMemo) {
        SetBlobValue(FPopup->Text());
        if (FBlobPaintStyle == bpsText) SetTextNoChange(FBlobValue);
    } else if (cvExEdtr::IsPictureEmpty(FPopup->Picture())) {
        SetBlobValue("");
        FGraphicClass = nullptr;
    } else {
        FGraphicClass = cvExEdtr::GraphicClassOf(*FPopup->Picture()->Graphic());
        std::string bytes;
        cvExEdtr::SavePictureToString(FPopup->Picture(), bytes);
        SetBlobValue(bytes);
    }
    SetModified(true);
}

void TcvInplaceBlobEdit::SetEditValue(const Variant& Value) {
    FBlobValue = Value.IsNull() || Value.IsEmpty() ? std::string() : VarToStr(Value);
    if (FBlobKind == bkvMemo && FBlobPaintStyle == bpsText) SetTextNoChange(FBlobValue);
    Invalidate();
}

Variant TcvInplaceBlobEdit::GetEditValue() {
    if (FBlobKind != bkvPicture) return FBlobValue.empty() ? Null() : Variant(FBlobValue);
    if (!FPicture) FPicture = std::make_unique<TPicture>();
    cvExEdtr::LoadPictureFromValue(FPicture.get(), GetGraphicClass(), FBlobValue);
    TPicture* picture = FPicture.get();
    DoAssignPicture(picture);
    return FBlobValue;
}

std::unique_ptr<TcvEditViewData> TcvInplaceBlobEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceDropDownEdit::CreateViewData(FromDefinition);
    auto& v = static_cast<TcvBlobEditViewData&>(*viewData);
    v.BlobKind = FBlobKind;
    v.PaintStyle = static_cast<Byte>(FBlobPaintStyle);
    v.Images = FBlobPaintStyle == bpsIcon ? cvExEdtr::BlobGlyphs() : nullptr;
    v.BlobEmpty = IsValueEmpty(FBlobValue);
    v.Value = FBlobKind == bkvMemo && FBlobPaintStyle == bpsText ? FBlobValue : std::string();
    // The focus look only for a standalone editor whose popup is closed.
    v.Focused = v.Focused && !IsInplace() && !(FPopup && IsWindowVisible(FPopup->Handle()));
    // Rebuild the buttons now that the kind is known.
    static_cast<const TcvBlobEditClassOps&>(EditorClass()).CalcButtons(v);
    return viewData;
}

void TcvInplaceBlobEdit::DropDown() {
    if (DroppedDown() || (FPopup && FPopup->HandleAllocated() && IsWindowVisible(FPopup->Handle()))) return;
    DoDropDown();
    if (FBlobKind >= bkvOle) return;
    if (!FPopup) {
        FPopup = std::make_unique<TCustomcvBlobPopup>(nullptr);
        FPopup->SetOwnerEditor(this);
        SetPopup(FPopup.get());
    }
    TCustomcvBlobPopup& popup = *FPopup;
    popup.SetColor(Color());
    popup.SetFont(Font());
    popup.SetKind(FBlobKind);
    popup.SetBorderStyle(GetPopupBorder());
    popup.SetShadow(Style()->Shadow());
    popup.SetSizeable(FSizeablePopup);
    popup.SetAlwaysSave(FAlwaysSaveText);
    popup.SetCharCase(FMemoCharCase);
    popup.SetHideScrollBars(FMemoHideScrollBars);
    popup.SetMaxLength(FMemoMaxLength);
    popup.SetOEMConvert(FMemoOEMConvert);
    popup.SetSelectionBar(FMemoSelectionBar);
    popup.SetScrollBars(FMemoScrollBars);
    popup.SetWantReturns(FMemoWantReturns);
    popup.SetWantTabs(FMemoWantTabs);
    popup.SetWordWrap(FMemoWordWrap);
    popup.SetPictureAutoSize(FPictureAutoSize);
    popup.SetPictureFilter(FPictureFilter);
    popup.SetTransparency(FPictureTransparency);
    popup.SetReadOnly(!CanModify());
    if (FBlobKind == bkvMemo)
        popup.SetText(FBlobValue);
    else
        cvExEdtr::LoadPictureFromValue(popup.Picture(), GetGraphicClass(), FBlobValue);
    popup.SetModified(false);
    popup.OnAccept = [this](TObject*) { ApplyPopupValue(); };
    popup.OnClosed = [this](TObject*) { SetPopupSize(FPopup->Width(), FPopup->Height()); };
    TRect editor;
    GetWindowRect(Handle(), editor);
    popup.Place({editor.Left, editor.Bottom}, FPopupWidth, FPopupHeight, editor);
    if (FBlobKind == bkvMemo) {
        popup.SetText(FBlobValue);
        popup.ApplyCharCase();
    }
    popup.SetModified(false);
    SetDroppedDownFlag(true);
    popup.ShowPopup();
    ::SetFocus(popup.Handle());
}

void TcvInplaceBlobEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (IsInplace() && (Key == VK_LEFT || Key == VK_RIGHT)) MoveContainerRow(Key == VK_LEFT);
    if (Key == VK_DELETE) Key = 0;
    TcvInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TcvInplaceBlobEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TcvInplaceDropDownEdit::WndProc(Message);
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        return;
    case WM_CHAR:
        // Typing into a closed popup's empty memo starts it; the cell takes no text.
        if (FPopup && FPopup->HandleAllocated() && IsWindowVisible(FPopup->Handle()) && FPopup->Text().empty())
            PostMessage(FPopup->Handle(), WM_CHAR, Message.WParam, Message.LParam);
        return;
    default:
        break;
    }
    TcvInplaceDropDownEdit::WndProc(Message);
}
