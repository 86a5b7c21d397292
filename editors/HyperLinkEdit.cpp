// The hyperlink editor: the link font, the cell's hand cursor, the clicks
// and the key that open the link, and the rule for what the shell may open.
#include "editors/HyperLinkEdit.h"

#include "editors/Container.h"
#include "editors/ExEdtr.h"
#include "platform/os/Shell.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cctype>

namespace {

bool StartsWithNoCase(const std::string& Text, const std::string& Prefix) {
    return Text.size() >= Prefix.size() && SameText(Text.substr(0, Prefix.size()), Prefix);
}

// Letters, digits and hyphens in dot-separated labels, two labels at least.
bool IsHostName(const std::string& Host) {
    if (Host.empty() || Host.front() == '.' || Host.back() == '.' || Host.find("..") != std::string::npos) return false;
    return Host.find('.') != std::string::npos && std::all_of(Host.begin(), Host.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.';
           });
}

} // namespace

// ---- TcvHyperLinkEditClassOps --------------------------------------------------

std::unique_ptr<TcvEditViewData> TcvHyperLinkEditClassOps::CreateViewData() const {
    return std::make_unique<TcvHyperLinkEditViewData>();
}

TCursor TcvHyperLinkEditClassOps::GetCursor(int X, int Y, const TcvEditViewData& ViewData) const {
    const auto* v = dynamic_cast<const TcvHyperLinkEditViewData*>(&ViewData);
    if (v && v->LinkActive) return cvExEdtr::crcvHandPoint;
    return TcvTextEditClassOps::GetCursor(X, Y, ViewData);
}

// ---- TcvInplaceHyperLinkEdit ---------------------------------------------------

const TcvInplaceEditClass& TcvInplaceHyperLinkEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceHyperLinkEdit, TcvHyperLinkEditClassOps>::Instance();
}

TcvInplaceHyperLinkEdit::TcvInplaceHyperLinkEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceTextEdit(AOwner, Class) {
    SetAutoSelect(false);
}

TcvInplaceHyperLinkEdit::~TcvInplaceHyperLinkEdit() = default;

std::string TcvInplaceHyperLinkEdit::ShellAddress(const std::string& Text) {
    const std::string address = Trim(Text);
    // One word only: blanks and control characters belong to no address.
    if (std::any_of(address.begin(), address.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; }))
        return {};
    for (const char* scheme : {"http://", "https://", "ftp://", "mailto:"})
        if (StartsWithNoCase(address, scheme) && address.size() > std::string(scheme).size()) return address;
    if (StartsWithNoCase(address, "www.") && IsHostName(address.substr(0, address.find('/'))))
        return "http://" + address;
    return {};
}

void TcvInplaceHyperLinkEdit::SetEditFontColor(TColor Value) {
    if (FEditFontColor == Value) return;
    FEditFontColor = Value;
    Perform(CM_FONTCHANGED);
    Invalidate();
}

TFont* TcvInplaceHyperLinkEdit::LinkFont() {
    if (!FLinkFont) {
        FLinkFont = std::make_unique<TFont>();
        FLinkFont->Assign(Font());
        FLinkFont->SetStyle(FLinkFont->Style() + fsUnderline);
        FLinkFont->SetColor(FEditFontColor);
    }
    return FLinkFont.get();
}

void TcvInplaceHyperLinkEdit::DoStart() {
    if (Fire(OnStartClick, this)) return;
    const std::string address = ShellAddress(Text());
    if (!address.empty()) ShellExecute("OPEN", address);
}

bool TcvInplaceHyperLinkEdit::OpensOnClick() {
    return FSingleClick || IsInplace() || !IsEditable();
}

void TcvInplaceHyperLinkEdit::ActivateByClick() {
    TcvInplaceTextEdit::ActivateByClick();
    if (!FSingleClick) return;
    UpdateWindow(Handle());
    DoStart();
}

void TcvInplaceHyperLinkEdit::SelectAllText() {
    // In place the text is never selected whole.
    if (!IsInplace()) TcvInplaceTextEdit::SelectAllText();
}

std::unique_ptr<TcvEditViewData> TcvInplaceHyperLinkEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceTextEdit::CreateViewData(FromDefinition);
    if (auto* v = dynamic_cast<TcvHyperLinkEditViewData*>(viewData.get())) {
        v->LinkActive = !ComponentState().Contains(csDesigning) && OpensOnClick();
        v->Font = LinkFont()->Handle();
        v->TextColor = ColorToRGB(FEditFontColor);
    }
    return viewData;
}

void TcvInplaceHyperLinkEdit::ApplyLinkFormat() {
    if (!HandleAllocated()) return;
    CHARFORMAT format;
    format.dwMask = CFM_COLOR | CFM_UNDERLINE;
    format.dwEffects = CFE_UNDERLINE;
    if (FEditFontColor == clWindowText || FEditFontColor == clDefault)
        format.dwEffects |= CFE_AUTOCOLOR;
    else
        format.crTextColor = ColorToRGB(FEditFontColor);
    SendMessage(FHandle, EM_SETCHARFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

void TcvInplaceHyperLinkEdit::CreateWnd() {
    TcvInplaceTextEdit::CreateWnd();
    ApplyLinkFormat();
}

void TcvInplaceHyperLinkEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (ShortCut(Key, Shift) == FStartKey) {
        cvCntner::DiscardMessage(Handle(), WM_CHAR);
        DoStart();
        Key = 0;
        return;
    }
    TcvInplaceTextEdit::KeyDown(Key, Shift);
}

void TcvInplaceHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TcvInplaceTextEdit::MouseUp(Button, Shift, X, Y);
    const bool endsDoubleClick = FDoubleClicked;
    FDoubleClicked = false;
    // The release of a double click opened nothing more: its first click did, or the double click.
    if (Button == mbLeft && !endsDoubleClick && PtInRect(ClientRect(), {X, Y}) && OpensOnClick()) DoStart();
}

void TcvInplaceHyperLinkEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_FONTCHANGED:
        TcvInplaceTextEdit::WndProc(Message);
        FLinkFont.reset();
        ApplyLinkFormat();
        return;
    case WM_SETFONT:
        TcvInplaceTextEdit::WndProc(Message);
        ApplyLinkFormat();
        return;
    case WM_LBUTTONDBLCLK:
        FDoubleClicked = true;
        if (!OpensOnClick()) {
            DoStart();
            return;
        }
        break;
    default:
        break;
    }
    TcvInplaceTextEdit::WndProc(Message);
}
