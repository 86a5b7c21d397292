// The masked edit on QLineEdit's input mask. The parsed mask is translated to
// Qt's notation for typing; the shown text is laid out, read back and checked
// by the edit-mask engine, so it never depends on how Qt strips blanks.
#include "platform/ui/Mask.h"

#include "platform/rtl/Utf8.h"
#include "platform/ui/Messages.h"
#include "platform/ui/private/ControlHost_p.h"

#include <QLineEdit>

using namespace platform_ui;

namespace {

// Characters that mean something in a Qt mask and must be escaped as literals.
bool IsQtMeta(char32_t c) {
    static const std::u32string meta = U"AaNnXx90Dd#HhBb><!\\[]{}";
    return meta.find(c) != std::u32string::npos;
}

// Qt's mask character for an input position; its "9" and "0" swap meaning.
char QtMaskChar(const TMaskPosition& Position) {
    switch (Position.Type) {
    case TMaskCharType::Digit:
        return Position.Required ? '9' : '0';
    case TMaskCharType::DigitOrSign:
        return '#';
    case TMaskCharType::Letter:
        return Position.Required ? 'A' : 'a';
    case TMaskCharType::LetterOrDigit:
        return Position.Required ? 'N' : 'n';
    default:
        return Position.Required ? 'X' : 'x';
    }
}

} // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    // Masks hold digits and codes: no input method.
    SetImeMode(imDisable);
}

std::string TCustomMaskEdit::QtMask() const {
    if (!IsMasked()) return {};
    std::string mask;
    TMaskCase caseMode = TMaskCase::AsTyped;
    for (const TMaskPosition& position : FMask.Positions) {
        if (position.Case != caseMode) {
            mask += position.Case == TMaskCase::Upper ? ">" : position.Case == TMaskCase::Lower ? "<" : "!";
            caseMode = position.Case;
        }
        if (position.IsLiteral()) {
            const char32_t literal = MaskLiteralChar(position);
            if (IsQtMeta(literal)) mask += '\\';
            mask += Utf8FromCodePoint(literal);
        } else {
            mask += QtMaskChar(position);
        }
    }
    return mask + ";" + Utf8FromCodePoint(FMask.Blank);
}

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
    const std::string text = GetText();
    FEditMask = Value;
    FMask = ParseEditMask(Value);
    const std::string shown = IsMasked() ? FormatMaskText(FMask, text) : text;
    auto* edit = qobject_cast<QLineEdit*>(FHandle ? WidgetOfWindow(FHandle) : nullptr);
    PutText(TTextPut::NewValue, [&] {
        FText = shown;
        if (edit) {
            edit->setInputMask(ToQString(QtMask()));
            edit->setText(ToQString(shown));
        }
        FOldValue = EditText();
    });
}

void TCustomMaskEdit::CreateWindowHandle(const TCreateParams& Params) {
    const std::string shown = FText;
    TCustomEdit::CreateWindowHandle(Params);
    if (auto* edit = qobject_cast<QLineEdit*>(WidgetOfWindow(FHandle)))
        PutText(TTextPut::Restore, [&] {
            edit->setInputMask(ToQString(QtMask()));
            edit->setText(ToQString(shown));
        });
}

void TCustomMaskEdit::SaveWindowState() {
    TCustomEdit::SaveWindowState();
    // The widget's text() drops the blanks and would shift what follows them.
    if (IsMasked()) FText = EditText();
}

std::string TCustomMaskEdit::EditText() const {
    if (auto* edit = qobject_cast<QLineEdit*>(FHandle ? WidgetOfWindow(FHandle) : nullptr))
        return FromQString(edit->displayText());
    return FText;
}

void TCustomMaskEdit::SetEditText(const std::string& Value) {
    auto* edit = qobject_cast<QLineEdit*>(FHandle ? WidgetOfWindow(FHandle) : nullptr);
    PutText(TTextPut::NewValue, [&] {
        if (edit)
            edit->setText(ToQString(Value));
        else
            FText = Value;
        FOldValue = EditText();
    });
}

std::string TCustomMaskEdit::GetText() const {
    const std::string shown = EditText();
    return IsMasked() ? MaskTextValue(FMask, shown) : shown;
}

void TCustomMaskEdit::SetTextBuf(const std::string& Value) {
    if (IsMasked())
        SetEditText(FormatMaskText(FMask, Value));
    else
        TCustomEdit::SetTextBuf(Value);
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked()) return;
    if (FirstUnfilledMaskPosition(FMask, EditText(), false) == std::string::npos) return;
    if (CanFocus()) SetFocus();
    throw EDBEditError(SMaskEditErr);
}

void TCustomMaskEdit::DoEnter() {
    FOldValue = EditText();
    TCustomEdit::DoEnter();
}

void TCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
    TCustomEdit::KeyDown(Key, Shift);
    if (Key == VK_ESCAPE && IsMasked() && Modified()) {
        // Abandons the user's changes: the text from before them, all selected.
        SetEditText(FOldValue);
        SelectAll();
        Key = 0;
    }
}

void TCustomMaskEdit::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        TCustomEdit::WndProc(m);
        // Esc is ours while there are changes to abandon, not the cancel button's.
        if (m.WParam == VK_ESCAPE && IsMasked() && Modified()) m.Result |= DLGC_WANTALLKEYS;
        return;
    }
    if (m.Msg == CM_EXIT && IsMasked() && !ReadOnly() && Modified()) {
        TCustomEdit::WndProc(m);
        ValidateEdit();
        return;
    }
    TCustomEdit::WndProc(m);
}
