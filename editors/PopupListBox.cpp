// The popup lists of the image and pick editors: an owner-drawn list box made
// a never-activated top-level window with the popup frame of PopupControl.h.
#include "editors/PopupListBox.h"

#include "editors/DropDownEdit.h"
#include "editors/PopupControl.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <algorithm>

// ---- TCustomcvPopupListBox -----------------------------------------------------

TCustomcvPopupListBox::TCustomcvPopupListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
    SetStyle(lbOwnerDrawVariable);
    // A click must not move the keyboard away from the editor.
    SetTabStop(false);
}

void TCustomcvPopupListBox::SetPopupBorder(TcvPopupBorder Value) {
    if (FPopupBorder == Value) return;
    FPopupBorder = Value;
    RecreateWnd();
}

void TCustomcvPopupListBox::SetShadow(bool Value) {
    if (FShadow == Value) return;
    FShadow = Value;
    RecreateWnd();
}

void TCustomcvPopupListBox::CreateParams(TCreateParams& Params) {
    TCustomListBox::CreateParams(Params);
    // Top-level from the start and owned by the editor's window, so the
    // desktop keeps it above the form; the frame is our own.
    Params.Style = (Params.Style & ~(WS_CHILD | WS_BORDER | WS_TABSTOP)) | WS_POPUP;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void TCustomcvPopupListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    // Told, by its own default procedure only, that it has the focus: the
    // selection looks focused while the editor keeps the keyboard.
    TMessage focus{WM_SETFOCUS, 0, 0, 0};
    DefaultHandler(focus);
}

void TCustomcvPopupListBox::MeasureItem(int Index, int& Height) {
    (void)Index;
    Height = Canvas()->TextHeight("Wg");
    FMeasuredItemHeight = Height;
}

void TCustomcvPopupListBox::TakeLookOf(TcvInplaceDropDownEdit* Editor) {
    SetParent(Editor);
    SetColor(Editor->Color());
    Font()->Assign(Editor->Font());
    SetPopupBorder(Editor->GetPopupBorder());
    SetShadow(Editor->Style()->Shadow());
    HandleNeeded();
}

int TCustomcvPopupListBox::WidestItemWidth() {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    int widest = 0;
    for (int i = 0; i < Items()->Count(); ++i) {
        const std::string& text = Items()->Get(i);
        SIZE size{};
        GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return widest;
}

void TCustomcvPopupListBox::MouseMove(TShiftState Shift, int X, int Y) {
    if (FHotTrack) {
        const int index = ItemAtPos({X, Y}, true);
        if (index != -1 && index != ItemIndex()) SetItemIndex(index);
    }
    TCustomListBox::MouseMove(Shift, X, Y);
}

void TCustomcvPopupListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        TCustomListBox::WndProc(Message);
        cvCntner::DeflatePopupClient(Message, FPopupBorder, FShadow, FShadowSize);
        return;
    case WM_NCPAINT:
        TCustomListBox::WndProc(Message);
        cvCntner::DrawPopupFrame(FHandle, FPopupBorder, false, FShadowSize, FShadow);
        return;
    case WM_SIZE:
        TCustomListBox::WndProc(Message);
        cvCntner::SetPopupShadowRegion(FHandle, FShadow, FShadowSize);
        return;
    case CM_HINTSHOW:
        Message.Result = 1;
        return;
    default:
        TCustomListBox::WndProc(Message);
        return;
    }
}

// ---- TcvPopupImageListBox ------------------------------------------------------

TcvPopupImageListBox::TcvPopupImageListBox(TComponent* AOwner) : TCustomcvPopupListBox(AOwner) {}

TcvPopupImageListBox::~TcvPopupImageListBox() {
    if (FImages) FImages->RemoveFreeNotification(this);
}

void TcvPopupImageListBox::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    RecreateWnd();
}

void TcvPopupImageListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomcvPopupListBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TcvPopupImageListBox::MeasureItem(int Index, int& Height) {
    TCustomcvPopupListBox::MeasureItem(Index, Height);
    if (FImages) Height = std::max(Height, FImages->Height() + 2);
}

void TcvPopupImageListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    (void)State;
    TCanvas* canvas = Canvas();
    canvas->FillRect(Rect);
    const int image = static_cast<int>(reinterpret_cast<intptr_t>(Items()->Objects(Index)));
    const int imageWidth = FImages ? FImages->Width() : 0;
    if (FImages && image >= 0 && image < FImages->Count())
        FImages->Draw(canvas, Rect.Left + 1, Rect.Top + (Rect.Height() - FImages->Height()) / 2, image);
    HDC dc = canvas->Handle();
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const std::string& text = Items()->Get(Index);
    if (FMultiLine) {
        TRect r = Rect;
        InflateRect(r, -2, -2);
        r.Left += imageWidth + 1;
        DrawText(dc, text, &r, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS);
    } else {
        canvas->TextOut(Rect.Left + imageWidth + 3, Rect.Top + (Rect.Height() - canvas->TextHeight(text)) / 2, text);
    }
    SetBkMode(dc, oldMode);
}
