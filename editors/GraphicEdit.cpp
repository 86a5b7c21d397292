// The picture editor: its cell painting (placement, transparency through a
// cache bitmap, a host's drawing bitmap and selection shading), its value,
// its clipboard and file operations and its tool window or context menu.
#include "editors/GraphicEdit.h"

#include "editors/Container.h"
#include "editors/ExEdtr.h"
#include "editors/PictureValue.h"
#include "editors/cvUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/ExtDlgs.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Monitors.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {

constexpr TPoint NotPlaced{-10000, -10000};

// The canvas of the unit, drawing on DC until the scope ends.
class TSharedCanvasOn {
public:
    explicit TSharedCanvasOn(HDC DC) : FCanvas(cvExEdtr::SharedCanvas()), FOld(FCanvas->Handle()) {
        FCanvas->Lock();
        FCanvas->SetHandle(DC);
    }
    ~TSharedCanvasOn() {
        FCanvas->SetHandle(FOld);
        FCanvas->Unlock();
    }
    TSharedCanvasOn(const TSharedCanvasOn&) = delete;
    TSharedCanvasOn& operator=(const TSharedCanvasOn&) = delete;
    TCanvas* operator->() const { return FCanvas; }

private:
    TCanvas* FCanvas;
    HDC FOld;
};

void DrawPicture(HDC DC, const TRect& R, const TcvGraphicEditViewData& v, bool Framed, bool ToBitmap) {
    TPicture* picture = v.Picture;
    HRGN savedClip = CreateRectRgn(0, 0, 0, 0);
    const bool hadClip = GetClipRgn(DC, savedClip) == 1;
    TRect clip = R;
    if (Framed) {
        FrameRect(DC, &R, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(clip, -1, -1);
    }
    IntersectClipRect(DC, clip.Left, clip.Top, clip.Right, clip.Bottom);
    const TRect content{R.Left + v.EditMargins.Left, R.Top + v.EditMargins.Top, R.Right - v.EditMargins.Right,
                        R.Bottom - v.EditMargins.Bottom};
    const TRect place =
        TcvGraphicEditClassOps::PictureRect(content, picture->Width(), picture->Height(), v.Stretch, v.Center);
    TGraphic* graphic = picture->Graphic();
    if (graphic->Transparent() && !ToBitmap && v.CacheBitmap) {
        cvUtils::EnsureGraphicSize(v.CacheBitmap, R.Width(), R.Height());
        HDC cache = v.CacheBitmap->Canvas()->Handle();
        const TRect area{0, 0, R.Width(), R.Height()};
        FillRect(cache, &area, v.Brush);
        TRect shifted = place;
        OffsetRect(shifted, -R.Left, -R.Top);
        v.CacheBitmap->Canvas()->StretchDraw(shifted, graphic);
        BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), cache, 0, 0, SRCCOPY);
    } else if (graphic->Transparent()) {
        FillRect(DC, &R, v.Brush);
        TSharedCanvasOn(DC)->StretchDraw(place, graphic);
    } else {
        TSharedCanvasOn(DC)->StretchDraw(place, graphic);
        ExcludeClipRect(DC, place.Left, place.Top, place.Right, place.Bottom);
        FillRect(DC, &R, v.Brush);
    }
    SelectClipRgn(DC, hadClip ? savedClip : nullptr);
    DeleteObject(savedClip);
}

} // namespace

// ---- TcvGraphicEditClassOps -------------------------------------------------

std::unique_ptr<TcvEditViewData> TcvGraphicEditClassOps::CreateViewData() const {
    return std::make_unique<TcvGraphicEditViewData>();
}

TRect TcvGraphicEditClassOps::PictureRect(const TRect& Content, int PictureWidth, int PictureHeight, bool Stretch,
                                          bool Center) {
    const int w = Content.Width(), h = Content.Height();
    if (Stretch) {
        if (PictureWidth <= 0 || PictureHeight <= 0 || h <= 0) return Bounds(Content.Left, Content.Top, 0, 0);
        // The content's proportions against the picture's, without division.
        if (static_cast<int64_t>(w) * PictureHeight >= static_cast<int64_t>(h) * PictureWidth)
            return Bounds(Content.Left, Content.Top, h * PictureWidth / PictureHeight, h);
        return Bounds(Content.Left, Content.Top, w, w * PictureHeight / PictureWidth);
    }
    TRect r = Bounds(Content.Left, Content.Top, PictureWidth, PictureHeight);
    if (Center) OffsetRect(r, (w - PictureWidth) / 2, (h - PictureHeight) / 2);
    return r;
}

void TcvGraphicEditClassOps::GetContentSize(const TcvEditViewData& ViewData, TRect& R) const {
    const auto& v = static_cast<const TcvGraphicEditViewData&>(ViewData);
    R = cvExEdtr::IsPictureEmpty(v.Picture) ? TRect{} : Rect(0, 0, v.Picture->Width(), v.Picture->Height());
}

bool TcvGraphicEditClassOps::DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const {
    auto& v = static_cast<TcvGraphicEditViewData&>(ViewData);
    const bool empty = cvExEdtr::IsPictureEmpty(v.Picture);
    if (v.MeasureRequest) {
        v.LineCount = 1;
        v.TextHeight = empty || v.Stretch ? 0 : v.Picture->Height();
        return true;
    }
    const int saved = SaveDC(DC);
    TScopeGuard restore([&] { RestoreDC(DC, saved); });
    const bool toBitmap = !v.UnfocusedHighlight && v.DrawingBitmap;
    HDC target = DC;
    TRect r = Rect;
    if (toBitmap) {
        OffsetRect(r, -r.Left, -r.Top);
        cvUtils::EnsureGraphicSize(v.DrawingBitmap, r.Width(), r.Height());
        target = v.DrawingBitmap->Canvas()->Handle();
    }
    const bool framed = !IsInplace() && v.Focused;
    if (!empty) {
        DrawPicture(target, r, v, framed, toBitmap);
    } else {
        if (framed) {
            FrameRect(target, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(r, -1, -1);
        }
        const std::string text = VarToStr(v.Value);
        if (text.empty())
            FillRect(target, &r, v.Brush);
        else
            cvUtils::DrawTextInRect(target, text, 0, nullptr, v.TextColor, v.BackgroundColor, v.Font, v.Brush,
                                    cvUtils::cvdtCenter | cvUtils::cvdtVCenter |
                                        (v.UnfocusedHighlight ? cvUtils::cvdtNoFill : 0),
                                    r, r);
    }
    if (v.SelectionShading) cvUtils::DitherRect(target, r, static_cast<TColor>(v.SelectionColor));
    if (toBitmap) BitBlt(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), target, 0, 0, SRCCOPY);
    return true;
}

// ---- TcvInplaceGraphicEdit --------------------------------------------------

const TcvInplaceEditClass& TcvInplaceGraphicEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceGraphicEdit, TcvGraphicEditClassOps>::Instance();
}

TcvInplaceGraphicEdit::TcvInplaceGraphicEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceEdit(AOwner, Class), FClipboardFormat(CF_PICTURE), FPicture(std::make_unique<TPicture>()),
      FPopupToolBar(std::make_unique<TcvPopupToolBarWindow>(this)) {
    SetControlStyle(ControlStyle() + csClickEvents + csSetCaption + csDoubleClicks);
    SetAutoSize(false);
    SetParentColor(false);
    SetBounds(Left(), Top(), 140, 100);
    FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
    FToolBar = new TcvPopupToolBar(this);
    FToolBar->AfterConstruction();
    FToolBar->SetOwnerEditor(this);
    FToolBar->OnButtonClick = [this](TObject*, int Index) { ButtonClick(Index); };
    FPopupToolBar->OnPopupMenuChange = [this](bool Value) { FToolBar->SetIsPopupMenu(Value); };
}

TcvInplaceGraphicEdit::~TcvInplaceGraphicEdit() {
    FPicture->OnChange = nullptr;
}

void TcvInplaceGraphicEdit::SetCenter(bool Value) {
    if (FCenter == Value) return;
    FCenter = Value;
    PropertiesChanged();
}

void TcvInplaceGraphicEdit::SetStretch(bool Value) {
    if (FStretch == Value) return;
    FStretch = Value;
    PropertiesChanged();
}

void TcvInplaceGraphicEdit::SetGraphicTransparency(TcvGraphicEditTransparency Value) {
    if (FGraphicTransparency == Value) return;
    FGraphicTransparency = Value;
    FChangeGuard = true;
    TScopeGuard lower([this] { FChangeGuard = false; });
    PictureChanged(FPicture.get());
}

void TcvInplaceGraphicEdit::SetPopupToolbarPosStored(bool Value) {
    FPopupToolbarPosStored = Value;
    if (!Value) FStoredToolBarPos = NotPlaced;
}

void TcvInplaceGraphicEdit::PictureChanged(TObject*) {
    PropertiesChanged();
    TGraphic* graphic = FPicture->Graphic();
    if (FGraphicTransparency != gtDefault && graphic) {
        FPicture->OnChange = nullptr;
        TScopeGuard reattach([this] { FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); }; });
        graphic->SetTransparent(FGraphicTransparency == gtTransparent);
    }
    if (FChangeGuard || ComponentState().Contains(csLoading)) return;
    Changed();
    SetModified(true);
}

void TcvInplaceGraphicEdit::DoCustomClick() {
    Fire(OnCustomClick, this);
}

void TcvInplaceGraphicEdit::DoAssignPicture(TPicture*& APicture) {
    if (OnAssignPicture) OnAssignPicture(this, APicture);
}

TGraphicClass TcvInplaceGraphicEdit::GetGraphicClass() {
    TGraphicClass graphicClass;
    if (OnGetGraphicClass) OnGetGraphicClass(this, graphicClass);
    return graphicClass;
}

void TcvInplaceGraphicEdit::SetEditValue(const Variant& Value) {
    FChangeGuard = true;
    const bool modified = GetModified();
    TScopeGuard lower([&] {
        FChangeGuard = false;
        SetModified(modified);
    });
    if (Value.VarType() == varString && !Value.AsString().empty())
        cvExEdtr::LoadPictureFromValue(FPicture.get(), GetGraphicClass(), Value);
    else
        FPicture->SetGraphic(nullptr);
}

Variant TcvInplaceGraphicEdit::GetEditValue() {
    TPicture* picture = FPicture.get();
    DoAssignPicture(picture);
    TGraphic* graphic = picture ? picture->Graphic() : nullptr;
    return static_cast<Int64>(reinterpret_cast<intptr_t>(graphic));
}

std::unique_ptr<TcvEditViewData> TcvInplaceGraphicEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceEdit::CreateViewData(FromDefinition);
    auto& v = static_cast<TcvGraphicEditViewData&>(*viewData);
    const bool transparent = !cvExEdtr::IsPictureEmpty(FPicture.get()) && FPicture->Graphic()->Transparent();
    if (transparent && !FCacheBitmap) FCacheBitmap = std::make_unique<TBitmap>();
    v.Center = FCenter;
    v.Picture = FPicture.get();
    v.QuickDraw = FQuickDraw;
    v.Stretch = FStretch;
    v.CacheBitmap = FCacheBitmap.get();
    return viewData;
}

void TcvInplaceGraphicEdit::DeletePicture() {
    if (CanModify()) FPicture->SetGraphic(nullptr);
}

void TcvInplaceGraphicEdit::CopyToClipboard() {
    cvPictureCommands::Copy(FPicture.get());
}

void TcvInplaceGraphicEdit::CutToClipboard() {
    CopyToClipboard();
    if (IsEditable()) DeletePicture();
}

void TcvInplaceGraphicEdit::PasteFromClipboard() {
    if (IsEditable() && CanModify()) cvPictureCommands::Paste(FPicture.get(), FClipboardFormat);
}

void TcvInplaceGraphicEdit::LoadFromFile() {
    if (IsEditable()) cvPictureCommands::Load(FPicture.get(), FCustomFilter);
}

void TcvInplaceGraphicEdit::SaveToFile() {
    cvPictureCommands::Save(FPicture.get(), FCustomFilter);
}

namespace cvPictureCommands {

void Copy(TPicture* Picture) {
    if (!cvExEdtr::IsPictureEmpty(Picture)) Clipboard()->Assign(Picture);
}

void Paste(TPicture* Picture, UINT Format) {
    if (!Clipboard()->HasFormat(Format)) return;
    if (Format == CF_PICTURE && Clipboard()->HasFormat(CF_BITMAP))
        Clipboard()->AssignTo(Picture->Bitmap());
    else
        Clipboard()->AssignTo(Picture);
}

void Load(TPicture* Picture, const std::string& Filter) {
    TOpenPictureDialog dialog(nullptr);
    if (!Filter.empty()) dialog.SetFilter(Filter);
    if (dialog.Execute()) Picture->LoadFromFile(dialog.FileName());
}

void Save(TPicture* Picture, const std::string& Filter) {
    if (cvExEdtr::IsPictureEmpty(Picture)) return;
    TSavePictureDialog dialog(nullptr);
    dialog.SetFilter(Filter.empty() ? TPicture::GraphicFilter(*Picture->Graphic()) : Filter);
    dialog.SetDefaultExt(TPicture::GraphicExtension(*Picture->Graphic()));
    if (dialog.Execute()) Picture->SaveToFile(dialog.FileName());
}

} // namespace cvPictureCommands

void TcvInplaceGraphicEdit::ButtonClick(int Index) {
    switch (Index) {
    case ptbCut:
        CutToClipboard();
        break;
    case ptbCopy:
        CopyToClipboard();
        break;
    case ptbPaste:
        PasteFromClipboard();
        break;
    case ptbDelete:
        DeletePicture();
        break;
    case ptbLoad:
        LoadFromFile();
        break;
    case ptbSave:
        SaveToFile();
        break;
    default:
        DoCustomClick();
        break;
    }
    if (FToolBar->HandleAllocated() && IsWindowVisible(FToolBar->Handle())) {
        TransferSettings();
        FToolBar->LayoutButtons();
    }
}

void TcvInplaceGraphicEdit::TransferSettings() {
    TcvPopupToolBarWindow& settings = *FPopupToolBar;
    if (settings.IsPopupMenu()) {
        FToolBar->UpdateContextMenu(settings);
    } else {
        FToolBar->SetCustomCaption(settings.CustomButtonCaption());
        if (settings.HasCustomButtonGlyph()) FToolBar->SetCustomGlyph(settings.CustomButtonGlyph());
        FToolBar->SetFont(Font());
        FToolBar->SetShowCaptions(settings.ShowCaptions());
        FToolBar->SetAlignment(settings.Alignment());
        FToolBar->SetButtons(settings.Buttons());
    }
    FToolBar->SetClipboardFormat(FClipboardFormat);
    FToolBar->SetPictureEmpty(cvExEdtr::IsPictureEmpty(FPicture.get()));
    FToolBar->SetReadOnly(!CanModify());
    FToolBar->UpdateButtonStates();
}

void TcvInplaceGraphicEdit::PlaceToolBar() {
    TRect editor;
    GetWindowRect(Handle(), editor);
    const int w = FToolBar->Width(), h = FToolBar->Height();
    TRect work;
    cvUtils::GetWorkArea(editor.TopLeft(), work);
    TPoint p;
    switch (FPopupToolBar->Alignment()) {
    case ptaLeft:
        p = {editor.Left - w >= work.Left ? editor.Left - w : editor.Right, editor.Top};
        break;
    case ptaRight:
        p = {editor.Right + w <= work.Right ? editor.Right : editor.Left - w, editor.Top};
        break;
    case ptaTop:
        p = {editor.Left, editor.Top - h >= work.Top ? editor.Top - h : editor.Bottom};
        break;
    case ptaBottom:
        p = {editor.Left, editor.Bottom + h <= work.Bottom ? editor.Bottom : editor.Top - h};
        break;
    }
    p.X = std::clamp(p.X, work.Left, std::max(work.Left, work.Right - w));
    p.Y = std::clamp(p.Y, work.Top, std::max(work.Top, work.Bottom - h));
    FToolBar->SetBounds(p.X, p.Y, w, h);
}

void TcvInplaceGraphicEdit::ShowToolBar() {
    if (FPopupToolBar->IsPopupMenu() || !FPopupToolBar->Visible()) return;
    FToolBar->HandleNeeded();
    TransferSettings();
    FToolBar->LayoutButtons();
    TRect now;
    GetWindowRect(FToolBar->Handle(), now);
    // The user moved it since it was last placed: that place is kept.
    if (FLastToolBarPos != NotPlaced && now.TopLeft() != FLastToolBarPos) FStoredToolBarPos = now.TopLeft();
    if (FPopupToolbarPosStored && FStoredToolBarPos != NotPlaced)
        FToolBar->SetBounds(FStoredToolBarPos.X, FStoredToolBarPos.Y, FToolBar->Width(), FToolBar->Height());
    else
        PlaceToolBar();
    GetWindowRect(FToolBar->Handle(), now);
    FLastToolBarPos = now.TopLeft();
    FToolBar->SetClosedByUser(false);
    FToolBar->ShowNoActivate();
}

void TcvInplaceGraphicEdit::ShowContextMenu(TMessage& Message) {
    TPoint at = PointFromLParam(Message.LParam);
    if (at.X == -1 && at.Y == -1) {
        // From the keyboard: the cursor's place, kept within the editor's width.
        GetCursorPos(at);
        TRect editor;
        GetWindowRect(Handle(), editor);
        at.X = std::clamp(at.X, editor.Left, editor.Right);
    }
    TransferSettings();
    FToolBar->ContextMenu()->Popup(at.X, at.Y);
    Message.Result = 1;
}

void TcvInplaceGraphicEdit::DoKillFocus(HWND FocusedWindow) {
    if (FToolBar->HandleAllocated() && FocusedWindow != FToolBar->Handle()) ShowWindow(FToolBar->Handle(), SW_HIDE);
    TcvInplaceEdit::DoKillFocus(FocusedWindow);
}

void TcvInplaceGraphicEdit::DblClick() {
    TcvInplaceEdit::DblClick();
    if (FDblClickActivate) ShowToolBar();
}

void TcvInplaceGraphicEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (IsInplace() && (Key == VK_LEFT || Key == VK_RIGHT)) MoveContainerRow(Key == VK_LEFT);
    TcvInplaceEdit::KeyDown(Key, Shift);
    if (Key == VK_INSERT && Shift == TShiftState{ssShift}) PasteFromClipboard();
    if (Key == VK_INSERT && Shift == TShiftState{ssCtrl}) CopyToClipboard();
    if (Key == VK_DELETE && Shift == TShiftState{ssShift}) CutToClipboard();
}

void TcvInplaceGraphicEdit::KeyPress(char32_t& Key) {
    TcvInplaceEdit::KeyPress(Key);
    constexpr char32_t CtrlC = 3, CtrlV = 22, CtrlX = 24;
    if (Key == CtrlC) CopyToClipboard();
    if (Key == CtrlV) PasteFromClipboard();
    if (Key == CtrlX) CutToClipboard();
}

void TcvInplaceGraphicEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TcvInplaceEdit::WndProc(Message);
        if (IsInplace()) Message.Result |= DLGC_WANTARROWS;
        return;
    case WM_CONTEXTMENU:
        TcvInplaceEdit::WndProc(Message);
        if (Message.Result == 0 && FPopupToolBar->IsPopupMenu()) ShowContextMenu(Message);
        return;
    default:
        break;
    }
    TcvInplaceEdit::WndProc(Message);
}
