// The picture editor's tool window: laid out from its font and the buttons
// asked for, enabled from the picture, the read-only state and the clipboard,
// which it hears of as a member of the clipboard-viewer chain.
#include "editors/PopupToolBar.h"

#include "editors/EditorTexts.h"
#include "editors/ExEdtr.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {

constexpr int ButtonHeight = 22;
// The tag and image index of the context menu's separators.
constexpr intptr_t SeparatorTag = 2147483647;

bool VerticalBar(TcvPopupToolBarAlignment Alignment) {
    return Alignment == ptaLeft || Alignment == ptaRight;
}

} // namespace

// ---- TcvPopupToolBarWindow --------------------------------------------------

TcvPopupToolBarWindow::TcvPopupToolBarWindow(TcvInplaceEdit* OwnerEditor) : FOwnerEditor(OwnerEditor) {}

TcvPopupToolBarWindow::~TcvPopupToolBarWindow() = default;

void TcvPopupToolBarWindow::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvPopupToolBarWindow*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    FAlignment = source->FAlignment;
    FButtons = source->FButtons;
    FCustomButtonCaption = source->FCustomButtonCaption;
    SetCustomButtonGlyph(source->FCustomButtonGlyph.get());
    SetIsPopupMenu(source->FIsPopupMenu);
    FShowCaptions = source->FShowCaptions;
    FVisible = source->FVisible;
}

TBitmap* TcvPopupToolBarWindow::CustomButtonGlyph() {
    if (!FCustomButtonGlyph) FCustomButtonGlyph = std::make_unique<TBitmap>();
    return FCustomButtonGlyph.get();
}

void TcvPopupToolBarWindow::SetCustomButtonGlyph(TBitmap* Value) {
    if (!Value) {
        FCustomButtonGlyph.reset();
        return;
    }
    CustomButtonGlyph()->Assign(Value);
}

void TcvPopupToolBarWindow::SetIsPopupMenu(bool Value) {
    if (FIsPopupMenu == Value) return;
    FIsPopupMenu = Value;
    if (OnPopupMenuChange) OnPopupMenuChange(Value);
}

// ---- TcvPopupToolBar --------------------------------------------------------

TcvPopupToolBar::TcvPopupToolBar(TComponent* AOwner) : TForm(AOwner), FClipboardFormat(CF_PICTURE) {
    SetBorderStyle(bsToolWindow);
    SetBorderIcons({biSystemMenu});
    SetFormStyle(fsStayOnTop);
    SetCaption(SToolBoxCaption);
    SetShowHint(true);
    TImageList* glyphs = cvExEdtr::ToolGlyphs();
    for (int i = 0; i < ButtonCount; ++i) {
        auto* button = new TSpeedButton(this);
        button->SetParent(this);
        button->SetFlat(true);
        button->OnClick = [this, i](TObject*) { ButtonClicked(i); };
        auto glyph = std::make_unique<TBitmap>();
        if (i < ptbCustom) {
            if (glyphs) glyphs->GetBitmap(i, glyph.get());
            button->SetHint(SToolBarHints[i]);
        } else {
            // The custom button shows the face colour until it gets a glyph.
            glyph->SetSize(glyphs ? glyphs->Width() : 16, glyphs ? glyphs->Height() : 16);
            glyph->Canvas()->Brush()->SetColor(clBtnFace);
            glyph->Canvas()->FillRect(Rect(0, 0, glyph->Width(), glyph->Height()));
        }
        button->SetGlyph(glyph.get());
        FButtons[static_cast<size_t>(i)] = button;
    }
}

TcvPopupToolBar::~TcvPopupToolBar() {
    LeaveClipboardChain();
}

void TcvPopupToolBar::SetCustomCaption(const std::string& Value) {
    if (FCustomCaption == Value) return;
    FCustomCaption = Value;
    FButtons[ptbCustom]->SetHint(Value);
    LayoutButtons();
}

void TcvPopupToolBar::SetCustomGlyph(TBitmap* Value) {
    if (Value && !Value->Empty()) FButtons[ptbCustom]->SetGlyph(Value);
}

void TcvPopupToolBar::SetAlignment(TcvPopupToolBarAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    LayoutButtons();
}

void TcvPopupToolBar::SetButtons(TcvPopupToolBarButtons Value) {
    if (FButtonSet == Value) return;
    FButtonSet = Value;
    LayoutButtons();
}

void TcvPopupToolBar::SetShowCaptions(bool Value) {
    if (FShowCaptions == Value) return;
    FShowCaptions = Value;
    LayoutButtons();
}

void TcvPopupToolBar::LayoutButtons() {
    const bool vertical = VerticalBar(FAlignment);
    const bool captions = vertical && FShowCaptions;
    TCanvas* canvas = cvExEdtr::SharedCanvas();
    int height = ButtonHeight;
    int captionWidth = 0;
    if (captions && canvas) {
        canvas->Font()->Assign(Font());
        height = std::max(height, canvas->TextHeight("Wg") + 9);
        for (int i = 0; i < ButtonCount; ++i)
            if (FButtonSet.Contains(static_cast<TcvPopupToolBarButton>(i)))
                captionWidth = std::max(captionWidth, canvas->TextWidth(i < ptbCustom ? SToolBarCaptions[i] : FCustomCaption));
    }
    const int width = height + 1 + captionWidth;
    int placed = 0;
    for (int i = 0; i < ButtonCount; ++i) {
        TSpeedButton* button = FButtons[static_cast<size_t>(i)];
        const bool present = FButtonSet.Contains(static_cast<TcvPopupToolBarButton>(i));
        button->SetVisible(present);
        if (!present) continue;
        button->SetCaption(captions ? (i < ptbCustom ? SToolBarCaptions[i] : FCustomCaption) : std::string());
        if (vertical)
            button->SetBounds(0, placed * height, width, height);
        else
            button->SetBounds(placed * width, 0, width, height);
        ++placed;
    }
    SetClientWidth(vertical ? width : placed * width);
    SetClientHeight(vertical ? placed * height : height);
    UpdateButtonStates();
}

bool PictureCommandEnabled(int Index, bool PictureEmpty, bool ReadOnly, UINT ClipboardFormat) {
    switch (Index) {
    case ptbCut:
    case ptbDelete:
        return !PictureEmpty && !ReadOnly;
    case ptbCopy:
    case ptbSave:
        return !PictureEmpty;
    case ptbPaste:
        return !ReadOnly && Clipboard()->HasFormat(ClipboardFormat);
    case ptbLoad:
        return !ReadOnly;
    default:
        return true;
    }
}

bool TcvPopupToolBar::ButtonEnabled(int Index) const {
    return PictureCommandEnabled(Index, FPictureEmpty, FReadOnly, FClipboardFormat);
}

void TcvPopupToolBar::UpdateButtonStates() {
    for (int i = 0; i < ButtonCount; ++i)
        FButtons[static_cast<size_t>(i)]->SetEnabled(ButtonEnabled(i));
    if (!FContextMenu) return;
    for (int i = 0; i < FContextMenu->Items()->Count(); ++i) {
        TMenuItem* item = FContextMenu->Items()->Items(i);
        if (item->Tag() != SeparatorTag) item->SetEnabled(ButtonEnabled(static_cast<int>(item->Tag())));
    }
}

void TcvPopupToolBar::UpdateContextMenu(TcvPopupToolBarWindow& Settings) {
    if (!FContextMenu) {
        FContextMenu = new TPopupMenu(this);
        FContextMenu->SetImages(cvExEdtr::ToolGlyphs());
        const intptr_t order[] = {ptbCut, ptbCopy, ptbPaste, ptbDelete, SeparatorTag, ptbLoad, ptbSave, SeparatorTag,
                                  ptbCustom};
        for (intptr_t tag : order) {
            auto* item = new TMenuItem(FContextMenu);
            item->SetTag(tag);
            if (tag == SeparatorTag) {
                item->SetCaption("-");
            } else if (tag < ptbCustom) {
                item->SetCaption(SToolBarCaptions[tag]);
                item->SetImageIndex(static_cast<int>(tag));
            }
            item->OnClick = [this, tag](TObject*) { ButtonClicked(static_cast<int>(tag)); };
            FContextMenu->Items()->Add(item);
        }
    }
    const TcvPopupToolBarButtons buttons = Settings.Buttons();
    TMenuItem* items = FContextMenu->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (item->Tag() != SeparatorTag)
            item->SetVisible(buttons.Contains(static_cast<TcvPopupToolBarButton>(item->Tag())));
    }
    items->Items(4)->SetVisible(buttons.Contains(ptbLoad) || buttons.Contains(ptbSave));
    items->Items(7)->SetVisible(buttons.Contains(ptbCustom));
    items->Items(8)->SetCaption(Settings.CustomButtonCaption());
}

void TcvPopupToolBar::ShowNoActivate() {
    SendMessage(Handle(), WM_NCACTIVATE, 1, 0);
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TcvPopupToolBar::ButtonClicked(int Index) {
    if (OnButtonClick) OnButtonClick(this, Index);
}

void TcvPopupToolBar::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    // Its caption is drawn by the platform, since the desktop would activate it.
    Params.ExStyle |= WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}

void TcvPopupToolBar::CreateWnd() {
    TForm::CreateWnd();
    FInViewerChain = true;
    FNextViewer = SetClipboardViewer(Handle());
}

void TcvPopupToolBar::DestroyWnd() {
    LeaveClipboardChain();
    TForm::DestroyWnd();
}

void TcvPopupToolBar::LeaveClipboardChain() {
    if (!FInViewerChain) return;
    FInViewerChain = false;
    ChangeClipboardChain(Handle(), FNextViewer);
    FNextViewer = nullptr;
}

void TcvPopupToolBar::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_NCACTIVATE:
        // Looks active beside the form that stays active.
        Message.WParam = 1;
        break;
    case WM_CLOSE:
        FClosedByUser = true;
        ShowWindow(Handle(), SW_HIDE);
        return;
    case WM_DRAWCLIPBOARD:
        UpdateButtonStates();
        if (FNextViewer) SendMessage(FNextViewer, Message.Msg, Message.WParam, Message.LParam);
        return;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(Message.WParam) == FNextViewer)
            FNextViewer = reinterpret_cast<HWND>(Message.LParam);
        else if (FNextViewer)
            SendMessage(FNextViewer, Message.Msg, Message.WParam, Message.LParam);
        return;
    case WM_DESTROY:
        LeaveClipboardChain();
        break;
    default:
        break;
    }
    TForm::WndProc(Message);
}
