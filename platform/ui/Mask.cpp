// The masked edit on QLineEdit's input mask. The pattern is translated to
// Qt's notation (where "9" and "0" swap meaning) and Text is read back from
// the shown text position by position, so it never depends on how Qt strips
// blanks.
#include "platform/ui/Mask.h"

#include "platform/rtl/Utf8.h"
#include "platform/ui/Messages.h"
#include "platform/ui/private/ControlHost_p.h"

#include <QLineEdit>

using namespace platform_ui;

namespace {

bool IsRequired(char32_t c) {
    return c == U'0' || c == U'L' || c == U'A' || c == U'C';
}

// Characters that mean something in a Qt mask and must be escaped as literals.
bool IsQtMeta(char32_t c) {
    static const std::u32string meta = U"AaNnXx90Dd#HhBb><!\\[]{}";
    return meta.find(c) != std::u32string::npos;
}

char32_t ToCase(char32_t c, int caseMode) {
    if (caseMode > 0 && c >= U'a' && c <= U'z') return c - 32;
    if (caseMode < 0 && c >= U'A' && c <= U'Z') return c + 32;
    return c;
}

std::u32string Decode(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size(); i = Utf8NextCharBoundary(s, i))
        out += Utf8CodePointAt(s, i);
    return out;
}

} // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    // Masks hold digits and codes: no input method.
    SetImeMode(imDisable);
}

void TCustomMaskEdit::ParseMask() {
    FPattern.clear();
    FSaveLiterals = true;
    FBlank = U'_';
    // The last two ";" fields, when present, are the literal flag and the blank.
    std::string pattern = FEditMask;
    const size_t second = pattern.rfind(';');
    if (second != std::string::npos && second > 0) {
        const size_t first = pattern.rfind(';', second - 1);
        if (first != std::string::npos) {
            const std::string save = pattern.substr(first + 1, second - first - 1);
            const std::string blank = pattern.substr(second + 1);
            FSaveLiterals = save != "0";
            if (!blank.empty()) FBlank = Utf8CodePointAt(blank, 0);
            pattern = pattern.substr(0, first);
        } else {
            FSaveLiterals = pattern.substr(second + 1) != "0";
            pattern = pattern.substr(0, second);
        }
    }
    int caseMode = 0;
    const std::u32string chars = Decode(pattern);
    for (size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c == U'!') continue; // only says which end blanks are trimmed at
        if (c == U'>' || c == U'<') {
            if (c == U'<' && i + 1 < chars.size() && chars[i + 1] == U'>') {
                caseMode = 0;
                ++i;
            } else {
                caseMode = c == U'>' ? 1 : -1;
            }
            continue;
        }
        MaskSlot slot;
        slot.Case = caseMode;
        if (c == U'\\' && i + 1 < chars.size()) {
            slot.Literal = true;
            slot.Char = chars[++i];
        } else if (std::u32string(U"09#LlAaCc").find(c) != std::u32string::npos) {
            slot.Char = c;
        } else {
            slot.Literal = true;
            slot.Char = c;
        }
        FPattern.push_back(slot);
    }
}

std::string TCustomMaskEdit::QtMask() const {
    if (FPattern.empty()) return {};
    std::string mask;
    int caseMode = 0;
    for (const MaskSlot& slot : FPattern) {
        if (slot.Case != caseMode) {
            mask += slot.Case == 1 ? ">" : slot.Case == -1 ? "<" : "!";
            caseMode = slot.Case;
        }
        if (slot.Literal) {
            if (IsQtMeta(slot.Char)) mask += '\\';
            mask += Utf8FromCodePoint(slot.Char);
            continue;
        }
        switch (slot.Char) {
        case U'0':
            mask += '9';
            break;
        case U'9':
            mask += '0';
            break;
        case U'#':
            mask += '#';
            break;
        case U'L':
            mask += 'A';
            break;
        case U'l':
            mask += 'a';
            break;
        case U'A':
            mask += 'N';
            break;
        case U'a':
            mask += 'n';
            break;
        case U'C':
            mask += 'X';
            break;
        default:
            mask += 'x';
            break;
        }
    }
    return mask + ";" + Utf8FromCodePoint(FBlank);
}

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
    const std::string text = GetText();
    FEditMask = Value;
    ParseMask();
    const std::string shown = IsMasked() ? MaskedText(text) : text;
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
    if (!IsMasked() || FSaveLiterals) {
        // Blanks are not text.
        std::string out;
        for (char32_t c : Decode(shown))
            out += Utf8FromCodePoint(c == FBlank ? U' ' : c);
        while (!out.empty() && out.back() == ' ')
            out.pop_back();
        return IsMasked() ? out : shown;
    }
    // Only what was typed: literals left out, blanks as spaces, trailing blanks dropped.
    const std::u32string chars = Decode(shown);
    std::string out;
    for (size_t i = 0; i < chars.size() && i < FPattern.size(); ++i) {
        if (FPattern[i].Literal) continue;
        out += Utf8FromCodePoint(chars[i] == FBlank ? U' ' : chars[i]);
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

void TCustomMaskEdit::SetTextBuf(const std::string& Value) {
    if (IsMasked())
        SetEditText(MaskedText(Value));
    else
        TCustomEdit::SetTextBuf(Value);
}

std::string TCustomMaskEdit::MaskedText(const std::string& Value) const {
    // Text without literals fills the input positions in order.
    std::string shown;
    const std::u32string chars = Decode(Value);
    size_t next = 0;
    for (const MaskSlot& slot : FPattern) {
        if (slot.Literal) {
            shown += Utf8FromCodePoint(slot.Char);
            if (FSaveLiterals && next < chars.size() && chars[next] == slot.Char) ++next;
            continue;
        }
        char32_t c = FBlank;
        if (next < chars.size()) c = chars[next++];
        if (c == U' ')
            c = FBlank;
        else if (slot.Case != 0)
            c = ToCase(c, slot.Case);
        shown += Utf8FromCodePoint(c);
    }
    return shown;
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked()) return;
    const std::u32string chars = Decode(EditText());
    for (size_t i = 0; i < FPattern.size(); ++i) {
        if (FPattern[i].Literal || !IsRequired(FPattern[i].Char)) continue;
        if (i >= chars.size() || chars[i] == FBlank || chars[i] == U' ') {
            if (CanFocus()) SetFocus();
            throw EDBEditError("Invalid input value.  Use escape key to abandon changes");
        }
    }
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
