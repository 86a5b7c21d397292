// The memo editor and its lines. Lines go through the edit window's line
// messages; positions count characters and a line break counts one.
#include "editors/MemoEdit.h"

#include "editors/Container.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <climits>

namespace {

// Line breaks as the window's text gives them.
std::string WithCrLf(const std::string& Value) {
    std::string out;
    for (size_t i = 0; i < Value.size(); ++i) {
        const char c = Value[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < Value.size() && Value[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

// ---- TcvMemoStrings -----------------------------------------------------------

LRESULT TcvMemoStrings::Send(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return SendMessage(FMemo->Handle(), Msg, WParam, LParam);
}

int TcvMemoStrings::Count() const {
    if (!FMemo->HandleAllocated()) return 0;
    const int lines = static_cast<int>(Send(EM_GETLINECOUNT));
    if (lines == 0) return 0;
    const LRESULT lastStart = Send(EM_LINEINDEX, static_cast<WPARAM>(lines - 1));
    return lastStart >= 0 && Send(EM_LINELENGTH, static_cast<WPARAM>(lastStart)) > 0 ? lines : lines - 1;
}

std::string TcvMemoStrings::Get(int Index) const {
    std::string line;
    if (Index >= 0 && FMemo->HandleAllocated())
        Send(EM_GETLINE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&line));
    return line;
}

void TcvMemoStrings::Replace(int Start, int End, const std::string& S) {
    CHARRANGE range{Start, End};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

void TcvMemoStrings::Put(int Index, const std::string& S) {
    if (Index < 0 || !FMemo->HandleAllocated()) return;
    const auto start = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(Index)));
    if (start < 0) return;
    Replace(start, start + static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(start))), S);
}

void TcvMemoStrings::Insert(int Index, const std::string& S) {
    if (Index < 0 || !FMemo->HandleAllocated()) return;
    const auto start = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(Index)));
    if (start >= 0) {
        Replace(start, start, S + "\r");
        return;
    }
    // Past the last line: after the end of the one before.
    const auto previous = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(Index - 1)));
    if (previous < 0) return;
    const auto length = static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(previous)));
    if (length == 0) return;
    Replace(previous + length, previous + length, "\r" + S);
}

void TcvMemoStrings::Delete(int Index) {
    if (Index < 0 || !FMemo->HandleAllocated()) return;
    const auto start = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(Index)));
    if (start < 0) return;
    auto end = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(Index + 1)));
    if (end < 0) end = start + static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(start)));
    Replace(start, end, "");
}

void TcvMemoStrings::Clear() {
    FMemo->SetText("");
}

std::string TcvMemoStrings::Text() const {
    return FMemo->Text();
}

void TcvMemoStrings::SetText(const std::string& Value) {
    const std::string text = WithCrLf(Value);
    if (!FMemo->HandleAllocated()) {
        FMemo->SetText(text);
        return;
    }
    const LRESULT mask = Send(EM_GETEVENTMASK);
    Send(EM_SETEVENTMASK, 0, mask & ~static_cast<LRESULT>(ENM_CHANGE));
    TScopeGuard notify([&] { Send(EM_SETEVENTMASK, 0, mask); });
    if (text != FMemo->Text() && Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) == 0)
        throw EInvalidOperation("Text exceeds memo capacity");
    FMemo->Perform(CM_TEXTCHANGED);
}

void TcvMemoStrings::SetUpdateState(bool Updating) {
    if (!FMemo->Showing()) return;
    Send(WM_SETREDRAW, !Updating);
    if (Updating) return;
    FMemo->Invalidate();
    FMemo->Perform(CM_TEXTCHANGED);
}

// ---- TcvInplaceMemoEdit -------------------------------------------------------

const TcvInplaceEditClass& TcvInplaceMemoEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceMemoEdit, TcvTextEditClassOps>::Instance();
}

TcvInplaceMemoEdit::TcvInplaceMemoEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceTextEdit(AOwner, Class), FLines(std::make_unique<TcvMemoStrings>(this)) {
    SetBounds(Left(), Top(), 185, 89);
    SetAutoSize(false);
    SetSelectionBar(true);
    if (!IsInplace()) SetAutoSelect(false);
}

TcvInplaceMemoEdit::~TcvInplaceMemoEdit() = default;

void TcvInplaceMemoEdit::SetHideScrollBars(bool Value) {
    if (FHideScrollBars == Value) return;
    FHideScrollBars = Value;
    RecreateWnd();
}

void TcvInplaceMemoEdit::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateWnd();
}

void TcvInplaceMemoEdit::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}

void TcvInplaceMemoEdit::GetViewValue(Variant& Value, bool FromDefinition) {
    if (DataDefinition() && FromDefinition) {
        Value = DataDefinition()->GetValue();
        if (Value.IsNull()) Value = std::string();
        return;
    }
    TcvInplaceTextEdit::GetViewValue(Value, FromDefinition);
}

std::unique_ptr<TcvEditViewData> TcvInplaceMemoEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceTextEdit::CreateViewData(FromDefinition);
    viewData->VerticalTextMode = 3; // word-wrapped from the top
    return viewData;
}

void TcvInplaceMemoEdit::SelectAllText() {
    TcvInplaceTextEdit::SelectAllText();
    if (!IsInplace() || !HandleAllocated()) return;
    // A cell shows its text from the first line on.
    SendMessage(FHandle, EM_LINESCROLL, 0, INT_MIN);
    SendMessage(FHandle, EM_SCROLLCARET);
}

void TcvInplaceMemoEdit::CreateParams(TCreateParams& Params) {
    TcvInplaceTextEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
    if (!FHideScrollBars) Params.Style |= ES_DISABLENOSCROLL;
    if (FWordWrap) Params.Style &= ~ES_AUTOHSCROLL;
}

void TcvInplaceMemoEdit::CreateWnd() {
    const TRect bounds = BoundsRect();
    TcvInplaceTextEdit::CreateWnd();
    SetBoundsRect(bounds);
}

void TcvInplaceMemoEdit::Loaded() {
    TcvInplaceTextEdit::Loaded();
    SetModified(false);
}

void TcvInplaceMemoEdit::KeyDown(Word& Key, TShiftState Shift) {
    switch (Key) {
    case VK_RETURN:
        if (!IsEditable() || Shift.Contains(ssCtrl)) {
            // Ctrl+Enter is the host's or the form's; its character types nothing.
            if (HandleAllocated()) cvCntner::DiscardMessage(FHandle, WM_CHAR);
            break;
        }
        if (HandleAllocated()) {
            // The key's own character is replaced by the one sent here.
            cvCntner::DiscardMessage(FHandle, WM_CHAR);
            if (CanModify()) SendMessage(FHandle, WM_CHAR, U'\r', 0);
        }
        Key = 0;
        return;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: {
        GETTEXTLENGTHEX how;
        const bool allSelected =
            HandleAllocated() && GetSelLength() == SendMessage(FHandle, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how));
        const bool free = Shift.Empty() && GetKeyState(VK_LBUTTON) >= 0 && GetKeyState(VK_RBUTTON) >= 0 &&
                          GetKeyState(VK_MBUTTON) >= 0;
        if (allSelected && free) break;
        TWinControl::KeyDown(Key, Shift);
        return;
    }
    case VK_TAB:
        if (!FWantTabs) break;
        TWinControl::KeyDown(Key, Shift);
        return;
    default:
        break;
    }
    TcvInplaceTextEdit::KeyDown(Key, Shift);
}

void TcvInplaceMemoEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TcvInplaceTextEdit::WndProc(Message);
        if (FWantTabs) Message.Result |= DLGC_WANTTAB;
        if (!FWantReturns) Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
        return;
    case WM_KEYDOWN:
        if (Message.WParam == VK_RETURN && !FWantReturns && !IsCtrlWithoutAlt()) {
            // The form's default button acts; the memo types nothing.
            if (HWND parent = GetParent(Handle())) SendMessage(parent, Message.Msg, Message.WParam, Message.LParam);
            cvCntner::DiscardMessage(FHandle, WM_CHAR);
            return;
        }
        break;
    default:
        break;
    }
    TcvInplaceTextEdit::WndProc(Message);
}
