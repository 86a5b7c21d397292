// The masked text editor: typing, deleting and pasting through the mask, the
// caret kept on input positions, and validation of the required positions.
// Every change goes through the edit window as an undoable replacement of
// equally many characters, so the text always fills the mask exactly.
#include "editors/MaskEdit.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {

constexpr char32_t CtrlC = 3;
constexpr char32_t CtrlV = 22;
constexpr char32_t CtrlX = 24;

} // namespace

const TcvInplaceEditClass& TcvInplaceMaskEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceMaskEdit, TcvTextEditClassOps>::Instance();
}

TcvInplaceMaskEdit::TcvInplaceMaskEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceTextEdit(AOwner, Class) {
    // Masks take digits and codes: no input method composes for them.
    SetImeMode(imDisable);
}

void TcvInplaceMaskEdit::SetEditMask(const std::string& Value) {
    SetStoredValues(StoredValues() | cvsvEditMask);
    InternalSetEditMask(Value);
}

std::string TcvInplaceMaskEdit::GetEditText() {
    return Text();
}

std::string TcvInplaceMaskEdit::GetText() {
    return IsMasked() ? MaskTextValue(FMask, GetEditText()) : Text();
}

void TcvInplaceMaskEdit::SetText(const std::string& Value) {
    if (!IsMasked()) {
        TcvInplaceTextEdit::SetText(Value);
        return;
    }
    const std::string shown = FormatMaskText(FMask, Value);
    if (shown != GetEditText()) TcvInplaceTextEdit::SetText(shown);
    CheckCursor();
}

void TcvInplaceMaskEdit::GetSel(int& Start, int& Stop) {
    Start = Stop = 0;
    if (!HandleAllocated()) return;
    CHARRANGE selection{};
    SendMessage(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    Start = selection.cpMin;
    Stop = selection.cpMax;
}

void TcvInplaceMaskEdit::InternalSetEditMask(const std::string& Value) {
    if (Value == FEditMask) return;
    int start = 0, stop = 0;
    GetSel(start, stop);
    const std::string value = GetText();
    FEditMask = Value;
    FMask = ParseEditMask(Value);
    SetText(value);
    ApplyTextLimit();
    if (Focused()) CaretTo(start);
}

std::string TcvInplaceMaskEdit::GetDefaultEditMask() {
    return DataDefinition() ? DataDefinition()->GetEditMask() : std::string();
}

void TcvInplaceMaskEdit::ApplyTextLimit() {
    SetTextLimit(IsMasked() ? static_cast<int>(FMask.MaxChars()) : MaxLength());
}

void TcvInplaceMaskEdit::ApplyDefinitionProperties() {
    TcvInplaceTextEdit::ApplyDefinitionProperties();
    if (!(StoredValues() & cvsvEditMask)) InternalSetEditMask(GetDefaultEditMask());
}

int TcvInplaceMaskEdit::GetDefaultMaxLength() {
    return IsMasked() ? static_cast<int>(FMask.MaxChars()) : TcvInplaceTextEdit::GetDefaultMaxLength();
}

void TcvInplaceMaskEdit::InternalSetMaxLength(int Value) {
    TcvInplaceTextEdit::InternalSetMaxLength(IsMasked() ? static_cast<int>(FMask.MaxChars()) : Value);
}

bool TcvInplaceMaskEdit::NeedsInputControl() {
    return TcvInplaceTextEdit::NeedsInputControl() || IsMasked();
}

std::string TcvInplaceMaskEdit::GetValueText() {
    if (FIgnoreMaskBlank) return GetEditText();
    if (IsMasked() && GetEditText() == FormatMaskText(FMask, "")) return {};
    return GetText();
}

Variant TcvInplaceMaskEdit::GetEditValue() {
    return GetText();
}

void TcvInplaceMaskEdit::SetEditValue(const Variant& Value) {
    LoadValue([&] { SetText(Value.IsNull() || Value.IsEmpty() ? std::string() : VarToStr(Value)); });
}

void TcvInplaceMaskEdit::ValidateEdit() {
    if (IsMasked() && GetModified()) {
        const size_t unfilled = FirstUnfilledMaskPosition(FMask, GetEditText(), FIgnoreMaskBlank);
        if (unfilled != std::string::npos) {
            if (FCancelEditing) {
                RestoreOriginalText();
                return;
            }
            if (!ComponentState().Contains(csDesigning)) {
                MarkInvalidInput();
                if (HandleAllocated() && IsWindowVisible(FHandle)) SetFocus();
                CaretTo(static_cast<int>(unfilled));
                MessageBeep(0);
                throw EDBEditError(SMaskEditErr);
            }
        }
        CheckCursor();
    }
    TcvInplaceTextEdit::ValidateEdit();
}

bool TcvInplaceMaskEdit::IsStateFlagSet() {
    return TcvInplaceTextEdit::IsStateFlagSet() || GetModified();
}

void TcvInplaceMaskEdit::CaretTo(int Position) {
    SetSelection(Position, Position);
    CheckCursor();
}

void TcvInplaceMaskEdit::CheckCursor() {
    if (!IsMasked() || !HandleAllocated() || !Focused()) return;
    int start = 0, stop = 0;
    GetSel(start, stop);
    if (start != stop) return;
    const int position = static_cast<int>(NextInputPosition(FMask, static_cast<size_t>(start)));
    if (position < static_cast<int>(FMask.MaxChars()))
        SetSelection(position + 1, position);
    else
        SetSelection(position, position);
}

void TcvInplaceMaskEdit::ReplaceRange(int Start, const std::u32string& Chars) {
    const std::string text = Utf8FromCodePoints(Chars);
    SetSelection(Start, Start + static_cast<int>(Chars.size()));
    SendMessage(FHandle, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text.c_str()));
    SetModified(true);
}

void TcvInplaceMaskEdit::BlankRange(int Start, int Stop) {
    const std::u32string text = Utf8ToCodePoints(GetEditText());
    Stop = std::min(Stop, static_cast<int>(text.size()));
    if (Start >= Stop) return;
    std::u32string blanked = text.substr(static_cast<size_t>(Start), static_cast<size_t>(Stop - Start));
    for (int i = Start; i < Stop; ++i)
        if (!FMask.Positions[static_cast<size_t>(i)].IsLiteral()) blanked[static_cast<size_t>(i - Start)] = FMask.Blank;
    ReplaceRange(Start, blanked);
}

bool TcvInplaceMaskEdit::TypeChar(char32_t C) {
    int start = 0, stop = 0;
    GetSel(start, stop);
    const size_t count = FMask.MaxChars();
    const size_t position = NextInputPosition(FMask, static_cast<size_t>(start));
    // Only a character that takes its place blanks the selection: the caret
    // shows as a one-character selection, and a refused key or a literal
    // jumped over must leave the character under it.
    if (position < count && MaskCharFits(FMask.Positions[position], C)) {
        if (stop > start) BlankRange(start, stop);
        ReplaceRange(static_cast<int>(position), std::u32string(1, C));
        CaretTo(static_cast<int>(NextInputPosition(FMask, position + 1)));
        return true;
    }
    // The literal that follows is typed by jumping behind it.
    for (size_t i = static_cast<size_t>(start); i < count; ++i) {
        if (!FMask.Positions[i].IsLiteral()) continue;
        if (MaskLiteralChar(FMask.Positions[i]) != C) break;
        CaretTo(static_cast<int>(NextInputPosition(FMask, i + 1)));
        return true;
    }
    CaretTo(start);
    return false;
}

void TcvInplaceMaskEdit::PasteThroughMask() {
    if (!IsEditable() || !CanModify()) return;
    for (char32_t c : Utf8ToCodePoints(Clipboard()->AsText()))
        if (c >= 0x20) TypeChar(c);
    SetModified(true);
    ValidateEdit();
}

void TcvInplaceMaskEdit::KeyPress(char32_t& Key) {
    TcvInplaceTextEdit::KeyPress(Key);
    if (!IsMasked() || Key == 0 || Key == CtrlC || Key == CtrlV || Key == CtrlX) return;
    if (Key >= 0x20 && Key != 0x7F && !TypeChar(Key)) MessageBeep(0);
    Key = 0;
}

void TcvInplaceMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
    FValidateError = false;
    const bool pasteKey =
        (Key == 'V' && Shift == TShiftState{ssCtrl}) || (Key == VK_INSERT && Shift == TShiftState{ssShift});
    if (pasteKey && IsMasked()) {
        Perform(WM_PASTE);
        Key = 0;
        return;
    }
    TcvInplaceTextEdit::KeyDown(Key, Shift);
    if (Key == 0 || !IsMasked() || Shift.Contains(ssAlt)) return;
    const bool plain = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl);
    int start = 0, stop = 0;
    GetSel(start, stop);
    const int caret = EditWindowCaretIndex(FHandle);
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
        if (!plain) break;
        if (Key == VK_RIGHT) {
            CaretTo(static_cast<int>(NextInputPosition(FMask, static_cast<size_t>(caret) + 1)));
        } else if (const size_t previous = PrevInputPosition(FMask, static_cast<size_t>(caret));
                   previous != std::string::npos) {
            CaretTo(static_cast<int>(previous));
        }
        Key = 0;
        break;
    case VK_UP:
    case VK_DOWN:
        Key = 0;
        break;
    case VK_HOME:
    case VK_END:
        if (!plain) break;
        if (Key == VK_HOME) {
            CaretTo(0);
        } else {
            const size_t last = PrevInputPosition(FMask, FMask.MaxChars());
            CaretTo(last == std::string::npos ? 0 : static_cast<int>(last));
        }
        Key = 0;
        break;
    case VK_DELETE:
    case VK_BACK:
        if (Key == VK_DELETE && !plain) break;
        if (CanModify()) {
            if (stop - start > 1) {
                BlankRange(start, stop);
                CaretTo(start);
            } else if (Key == VK_DELETE) {
                BlankRange(start, start + 1);
                CaretTo(start);
            } else if (const size_t previous = PrevInputPosition(FMask, static_cast<size_t>(start));
                       previous != std::string::npos) {
                BlankRange(static_cast<int>(previous), static_cast<int>(previous) + 1);
                CaretTo(static_cast<int>(previous));
            }
        }
        Key = 0;
        break;
    default:
        CheckCursor();
        break;
    }
}

void TcvInplaceMaskEdit::WndProc(TMessage& Message) {
    if (!IsMasked()) {
        TcvInplaceTextEdit::WndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_CUT:
        Perform(WM_COPY);
        Perform(WM_CLEAR);
        return;
    case WM_CLEAR: {
        if (!CanModify()) return;
        int start = 0, stop = 0;
        GetSel(start, stop);
        BlankRange(start, stop);
        CaretTo(start);
        return;
    }
    case WM_PASTE:
        PasteThroughMask();
        return;
    case EM_REPLACESEL: {
        // Only replacements that keep the text's shape reach the window.
        int start = 0, stop = 0;
        GetSel(start, stop);
        if (Utf8Length(reinterpret_cast<const char*>(Message.LParam)) != static_cast<size_t>(stop - start)) return;
        break;
    }
    case CN_COMMAND:
        if (HiWord(Message.WParam) == EN_CHANGE && !CreatingWindow() && Utf8Length(GetEditText()) != FMask.MaxChars()) {
            const std::string reformatted = FormatMaskText(FMask, MaskTextValue(FMask, GetEditText()));
            TcvInplaceTextEdit::SetText(reformatted);
            SetModified(true);
        }
        break;
    case CM_WANTSPECIALKEY:
        if (Message.WParam == VK_ESCAPE && GetModified()) {
            Message.Result = 1;
            return;
        }
        break;
    case CM_ENTER: {
        // After a failed validation the caret stays on the failing position.
        const bool autoSelect = AutoSelect();
        if (FReEnter) SetAutoSelect(false);
        TScopeGuard restore([&] { SetAutoSelect(autoSelect); });
        FReEnter = false;
        TcvInplaceTextEdit::WndProc(Message);
        CheckCursor();
        return;
    }
    case WM_LBUTTONUP:
    case WM_SETFOCUS:
        TcvInplaceTextEdit::WndProc(Message);
        CheckCursor();
        return;
    default:
        break;
    }
    TcvInplaceTextEdit::WndProc(Message);
}
