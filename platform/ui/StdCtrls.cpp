// The standard controls: the label and the edit fields here, the buttons in
// StdCtrlsButtons.cpp, the combo and list boxes in StdCtrlsLists.cpp. Native
// ones keep their state in the Qt widget while they have a window and in
// fields otherwise; SaveWindowState copies it back before a window goes, so
// RecreateWnd loses nothing.
#include "platform/ui/StdCtrls.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/private/ControlHost_p.h"
#include "platform/ui/private/EditWidgets_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/StdCtrls_p.h"

#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QValidator>

#include <algorithm>

using namespace platform_ui;

namespace platform_ui {

std::string ApplyCase(const std::string& text, TEditCharCase charCase) {
    if (charCase == ecNormal) return text;
    const QString q = ToQString(text);
    return FromQString(charCase == ecUpperCase ? q.toUpper() : q.toLower());
}

char32_t ApplyCase(char32_t c, TEditCharCase charCase) {
    if (charCase == ecUpperCase && c >= 'a' && c <= 'z') return c - 32;
    if (charCase == ecLowerCase && c >= 'A' && c <= 'Z') return c + 32;
    return c;
}

void ShowEditColors(TWinControl* control, bool ReadOnly) {
    HWND wnd = control->HandleAllocated() ? control->Handle() : nullptr;
    if (QWidget* widget = wnd ? WidgetOfWindow(wnd) : nullptr)
        platform_ui::ShowEditColors(widget, ReadOnly ? clBtnFace : control->Color(), GetFocus() == wnd,
                                    control->Font()->Color());
}

} // namespace platform_ui

namespace {

// Holds a line edit's text to a number of GBK bytes. Qt shows a validator the
// text as a change would leave it, the cursor after what was inserted; the
// inserted part is what lies between the part kept in front (as the text was
// before the change) and the cursor, and only that is cut, at a whole
// character. A change that inserts nothing, or nothing that fits, is left to
// stand or refused whole, so deleting from a text over the limit still works.
class TGbkByteLimit : public QValidator {
public:
    TGbkByteLimit(QLineEdit* Edit, int Limit) : QValidator(Edit), FLimit(Limit), FBefore(Edit->text()) {
        connect(Edit, &QLineEdit::textChanged, this, [this](const QString& Text) { FBefore = Text; });
    }
    void SetLimit(int Value) { FLimit = Value; }
    // While paused, every text passes: text put in by code as a new value.
    void SetPaused(bool Value) { FPaused = Value; }

    State validate(QString& Input, int& Pos) const override {
        if (FPaused || GbkByteLength(FromQString(Input)) <= static_cast<size_t>(FLimit)) return Acceptable;
        const qsizetype keptAfter = Input.size() - Pos;
        const qsizetype frontLimit = std::min<qsizetype>(Pos, std::max<qsizetype>(FBefore.size() - keptAfter, 0));
        qsizetype start = 0;
        while (start < frontLimit && Input[start] == FBefore[start])
            ++start;
        if (start > 0 && Input[start - 1].isHighSurrogate()) --start;
        if (start == Pos) return Acceptable;
        const std::string kept = FromQString(Input.left(start) + Input.mid(Pos));
        const size_t keptBytes = GbkByteLength(kept);
        if (keptBytes >= static_cast<size_t>(FLimit)) return Invalid;
        const std::string inserted = FromQString(Input.mid(start, Pos - start));
        const QString fits = ToQString(inserted.substr(0, GbkFittingPrefix(inserted, FLimit - keptBytes)));
        if (fits.isEmpty()) return Invalid;
        Input = Input.left(start) + fits + Input.mid(Pos);
        Pos = static_cast<int>(start + fits.size());
        return Acceptable;
    }

private:
    int FLimit;
    QString FBefore;
    bool FPaused = false;
};

// The memo's text field: what a paste or a drop would insert is first cut to
// what the memo's limit leaves room for.
class TLimitedPlainTextEdit : public QPlainTextEdit {
public:
    explicit TLimitedPlainTextEdit(std::function<QString(const QString&)> Fit) : FFit(std::move(Fit)) {}

protected:
    void insertFromMimeData(const QMimeData* Source) override {
        if (!Source->hasText()) return;
        QMimeData fitted;
        fitted.setText(FFit(Source->text()));
        QPlainTextEdit::insertFromMimeData(&fitted);
    }

private:
    std::function<QString(const QString&)> FFit;
};

// Line breaks as a memo's Text gives them, and as its widget holds them.
std::string WithCrLf(const QString& Text) {
    return FromQString(QString(Text).replace("\r\n", "\n").replace("\n", "\r\n"));
}
QString WithLf(const std::string& Text) {
    return ToQString(Text).replace("\r\n", "\n");
}

TGbkByteLimit* ByteLimitOf(QLineEdit* edit) {
    return edit ? dynamic_cast<TGbkByteLimit*>(const_cast<QValidator*>(edit->validator())) : nullptr;
}

// Qt's own limit counts characters (UTF-16 units); a limit in bytes is ours.
void ShowMaxLength(QLineEdit* edit, int maxLength, TLengthUnit unit) {
    constexpr int NoLimit = 32767; // Qt's default
    const bool inBytes = unit == luGbkBytes && maxLength > 0;
    edit->setMaxLength(maxLength > 0 && !inBytes ? maxLength : NoLimit);
    TGbkByteLimit* limit = ByteLimitOf(edit);
    if (inBytes && limit) {
        limit->SetLimit(maxLength);
    } else if (inBytes) {
        edit->setValidator(new TGbkByteLimit(edit, maxLength));
    } else if (limit) {
        edit->setValidator(nullptr);
        delete limit;
    }
}

} // namespace

// ---- TWidgetTextChanges -----------------------------------------------------

bool TWidgetTextChanges::PutByCode(const std::function<void()>& Put) {
    FPutting = true;
    FChanged = false;
    struct Done {
        bool& Putting;
        ~Done() { Putting = false; }
    } done{FPutting};
    Put();
    return FChanged;
}

void TWidgetTextChanges::Signalled(const std::function<void()>& UserChange) {
    if (FPutting)
        FChanged = true;
    else
        RunGuarded(UserChange);
}

// ---- TLabel -----------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle += csOpaque;
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TLabel::SetAutoSize(bool Value) {
    FAutoSize = Value;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool Value) {
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool Value) {
    FTransparent = Value;
    if (Value)
        FControlStyle -= csOpaque;
    else
        FControlStyle += csOpaque;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

UINT TLabel::TextFlags() const {
    UINT flags = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    flags |= FWordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return flags | DT_EXPANDTABS;
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || ComponentState().Contains(csLoading)) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    TRect r = Rect(0, 0, FWordWrap ? Width() : 0, 0);
    std::string text = Caption();
    if (text.empty()) text = " ";
    DrawText(dc, text, &r, TextFlags() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int left = Left();
    if (FAlignment == taRightJustify) left += Width() - r.Width();
    SetBounds(left, Top(), r.Width(), r.Height());
}

void TLabel::TextChanged() {
    TGraphicControl::TextChanged();
    AdjustBounds();
}

void TLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TLabel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
        canvas->Brush()->SetColor(Color());
        canvas->FillRect(r);
    }
    HDC dc = canvas->Handle();
    canvas->Refresh();
    SetBkMode(dc, TRANSPARENT);
    UINT flags = TextFlags();
    if (FLayout != tlTop) {
        // Measure first, then place the block vertically.
        TRect measure = r;
        DrawText(dc, Caption(), &measure, flags | DT_CALCRECT);
        const int offset = FLayout == tlCenter ? (r.Height() - measure.Height()) / 2 : r.Height() - measure.Height();
        r.Top += offset;
    }
    if (Enabled()) {
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        DrawText(dc, Caption(), &r, flags);
    } else {
        TRect shifted = r;
        OffsetRect(shifted, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawText(dc, Caption(), &shifted, flags);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawText(dc, Caption(), &r, flags);
    }
}

void TLabel::WndProc(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(static_cast<char32_t>(m.WParam), Caption()) &&
            FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            m.Result = 1;
        }
        return;
    }
    TGraphicControl::WndProc(m);
}

// ---- TCustomEdit ------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
}

void TCustomEdit::CreateWindowHandle(const TCreateParams& Params) {
    CreateControlWindow(this, Params, [this](HWND, const TCreateStruct&) -> QWidget* {
        auto* edit = new QLineEdit;
        edit->setText(ToQString(FText));
        ShowMaxLength(edit, FMaxLength, FMaxLengthUnit);
        ShowPasswordChar(edit, FPasswordChar);
        edit->setReadOnly(FReadOnly);
        ShowEditFrame(edit, FBorderStyle == bsSingle, Ctl3D());
        edit->setSelection(FSelStart, FSelLength);
        QObject::connect(edit, &QLineEdit::textChanged, SignalContext(this), [this] {
            FWidgetChanges.Signalled([this] {
                FModified = true;
                Change();
            });
        });
        return edit;
    });
    ShowEditColors(this, FReadOnly);
}

void TCustomEdit::ColorChanged() {
    TWinControl::ColorChanged();
    ShowEditColors(this, FReadOnly);
}

void TCustomEdit::FontChanged() {
    TWinControl::FontChanged();
    ShowEditColors(this, FReadOnly);
}

void TCustomEdit::SaveWindowState() {
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) {
        FSelStart = SelStart();
        FSelLength = SelLength();
        FText = FromQString(edit->text());
    }
}

std::string TCustomEdit::GetText() const {
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) return FromQString(edit->text());
    return FText;
}

void TCustomEdit::SetTextBuf(const std::string& Value) {
    const std::string text = ApplyCase(Value, FCharCase);
    PutText(TTextPut::NewValue, [&] {
        FText = text;
        if (auto* edit = WidgetAs<QLineEdit>(FHandle)) edit->setText(ToQString(text));
    });
}

void TCustomEdit::PutText(TTextPut Kind, const std::function<void()>& Put) {
    // A window reports whether the text changed; without one we assume it did.
    auto* edit = WidgetAs<QLineEdit>(FHandle);
    const bool windowed = edit != nullptr;
    // Only edits of the text are held to a limit in bytes.
    struct LimitPause {
        TGbkByteLimit* Limit;
        ~LimitPause() {
            if (Limit) Limit->SetPaused(false);
        }
    } pause{Kind == TTextPut::Edit ? nullptr : ByteLimitOf(edit)};
    if (pause.Limit) pause.Limit->SetPaused(true);
    const bool changed = FWidgetChanges.PutByCode(Put) || !windowed;
    if (Kind == TTextPut::Restore) return;
    if (Kind == TTextPut::NewValue)
        FModified = false;
    else if (changed)
        FModified = true;
    if (changed) Change();
}

void TCustomEdit::Change() {
    Fire(OnChange, this);
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) ShowMaxLength(edit, FMaxLength, FMaxLengthUnit);
}

void TCustomEdit::SetMaxLengthUnit(TLengthUnit Value) {
    FMaxLengthUnit = Value;
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) ShowMaxLength(edit, FMaxLength, FMaxLengthUnit);
}

void TCustomEdit::SetPasswordChar(char32_t Value) {
    FPasswordChar = Value;
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) ShowPasswordChar(edit, Value);
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) edit->setReadOnly(Value);
    ShowEditColors(this, FReadOnly);
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    if (Value != ecNormal) SetText(ApplyCase(Text(), Value));
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) ShowEditFrame(edit, Value == bsSingle, Ctl3D());
}

int TCustomEdit::SelStart() const {
    auto* edit = WidgetAs<QLineEdit>(FHandle);
    if (!edit) return FSelStart;
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void TCustomEdit::SetSelStart(int Value) {
    FSelStart = Value;
    FSelLength = 0;
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) {
        edit->deselect();
        edit->setCursorPosition(Value);
    }
}

int TCustomEdit::SelLength() const {
    auto* edit = WidgetAs<QLineEdit>(FHandle);
    if (!edit) return FSelLength;
    return static_cast<int>(edit->selectedText().size());
}

void TCustomEdit::SetSelLength(int Value) {
    FSelLength = Value;
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) edit->setSelection(SelStart(), Value);
}

std::string TCustomEdit::SelText() const {
    auto* edit = WidgetAs<QLineEdit>(FHandle);
    if (!edit) return Utf8Copy(FText, static_cast<size_t>(FSelStart), static_cast<size_t>(FSelLength));
    return FromQString(edit->selectedText());
}

void TCustomEdit::SetSelText(const std::string& Value) {
    PutText(TTextPut::Edit, [&] {
        if (auto* edit = WidgetAs<QLineEdit>(FHandle)) {
            edit->insert(ToQString(Value));
            return;
        }
        const size_t start = Utf8ByteOffset(FText, static_cast<size_t>(FSelStart));
        const size_t end = Utf8ByteOffset(FText, static_cast<size_t>(FSelStart + FSelLength));
        FText = ApplyCase(FText.substr(0, start) + Value + FText.substr(end), FCharCase);
    });
}

void TCustomEdit::SelectAll() {
    if (auto* edit = WidgetAs<QLineEdit>(FHandle)) edit->selectAll();
    FSelStart = 0;
    FSelLength = static_cast<int>(Utf8Length(Text()));
}

void TCustomEdit::CopyToClipboard() {
    if (auto* edit = WidgetAs<QLineEdit>(Handle())) edit->copy();
}

void TCustomEdit::CutToClipboard() {
    if (auto* edit = WidgetAs<QLineEdit>(Handle())) PutText(TTextPut::Edit, [edit] { edit->cut(); });
}

void TCustomEdit::PasteFromClipboard() {
    if (auto* edit = WidgetAs<QLineEdit>(Handle())) PutText(TTextPut::Edit, [edit] { edit->paste(); });
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect && !FControlState.Contains(csLButtonDown) && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        return;
    case WM_CHAR:
        m.WParam = ApplyCase(static_cast<char32_t>(m.WParam), FCharCase);
        if (FReadOnly && m.WParam >= 0x20) {
            // A read-only edit takes no characters; the key handlers still see them.
            if (!DoKeyPress(m)) MessageBeep(0);
            return;
        }
        break;
    case WM_LBUTTONDOWN:
        FControlState += csLButtonDown;
        break;
    case WM_LBUTTONUP:
        FControlState -= csLButtonDown;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TWinControl::WndProc(m);
        ShowEditColors(this, FReadOnly);
        return;
    case CM_CTL3DCHANGED:
        // The frame is the window's: a new look needs a new window.
        if (FBorderStyle == bsSingle) RecreateWnd();
        break;
    default:
        break;
    }
    TWinControl::WndProc(m);
}

// ---- TCustomMemo ------------------------------------------------------------

// The memo's text line by line; the memo holds the text.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
    int Count() const override { return static_cast<int>(Lines().size()); }
    std::string Get(int Index) const override {
        auto lines = Lines();
        if (Index < 0 || Index >= static_cast<int>(lines.size())) Error("List index out of bounds (%d)", Index);
        return lines[static_cast<size_t>(Index)];
    }
    void Put(int Index, const std::string& S) override {
        auto lines = Lines();
        if (Index < 0 || Index >= static_cast<int>(lines.size())) Error("List index out of bounds (%d)", Index);
        lines[static_cast<size_t>(Index)] = S;
        Store(lines);
    }
    void Insert(int Index, const std::string& S) override {
        auto lines = Lines();
        if (Index < 0 || Index > static_cast<int>(lines.size())) Error("List index out of bounds (%d)", Index);
        lines.insert(lines.begin() + Index, S);
        Store(lines);
    }
    void Delete(int Index) override {
        auto lines = Lines();
        if (Index < 0 || Index >= static_cast<int>(lines.size())) Error("List index out of bounds (%d)", Index);
        lines.erase(lines.begin() + Index);
        Store(lines);
    }
    void Clear() override { FMemo->SetText(""); }
    std::string Text() const override { return FMemo->Text(); }
    void SetText(const std::string& Value) override { FMemo->SetText(Value); }

private:
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        const std::string text = FMemo->Text();
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            start = end + 1;
        }
        return lines;
    }
    void Store(const std::vector<std::string>& lines) {
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i) text += "\r\n";
            text += lines[i];
        }
        FMemo->SetText(text);
    }
    TCustomMemo* FMemo;
};

TCustomMemo::TCustomMemo(TComponent* AOwner) : TWinControl(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
}

TCustomMemo::~TCustomMemo() = default;

TStrings* TCustomMemo::Lines() const {
    return FLines.get();
}

void TCustomMemo::SetLines(TStrings* Value) {
    SetText(Value->Text());
}

void TCustomMemo::CreateWindowHandle(const TCreateParams& Params) {
    CreateControlWindow(this, Params, [this](HWND, const TCreateStruct&) -> QWidget* {
        auto* edit = new TLimitedPlainTextEdit(
            [this](const QString& Inserted) { return WithLf(FittingInsertion(WithCrLf(Inserted))); });
        edit->setPlainText(WithLf(FText));
        edit->setReadOnly(FReadOnly);
        edit->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        ShowEditFrame(edit, true, Ctl3D());
        auto policy = [](bool on) { return on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff; };
        edit->setVerticalScrollBarPolicy(policy(FScrollBars == ssVertical || FScrollBars == ssBoth));
        edit->setHorizontalScrollBarPolicy(policy(FScrollBars == ssHorizontal || FScrollBars == ssBoth));
        QObject::connect(edit, &QPlainTextEdit::textChanged, SignalContext(this),
                         [this] { FWidgetChanges.Signalled([this] { Change(); }); });
        return edit;
    });
    ShowEditColors(this, FReadOnly);
}

void TCustomMemo::ColorChanged() {
    TWinControl::ColorChanged();
    ShowEditColors(this, FReadOnly);
}

void TCustomMemo::FontChanged() {
    TWinControl::FontChanged();
    ShowEditColors(this, FReadOnly);
}

void TCustomMemo::SaveWindowState() {
    if (WidgetAs<QPlainTextEdit>(FHandle)) FText = GetText();
}

std::string TCustomMemo::GetText() const {
    if (auto* edit = WidgetAs<QPlainTextEdit>(FHandle)) return WithCrLf(edit->toPlainText());
    return FText;
}

void TCustomMemo::SetTextBuf(const std::string& Value) {
    FText = Value;
    auto* edit = WidgetAs<QPlainTextEdit>(FHandle);
    // A window reports whether the text changed; without one we assume it did.
    if (!edit || FWidgetChanges.PutByCode([&] { edit->setPlainText(WithLf(Value)); }))
        Change();
}

void TCustomMemo::Change() {
    Fire(OnChange, this);
}

void TCustomMemo::SetWordWrap(bool Value) {
    FWordWrap = Value;
    if (auto* edit = WidgetAs<QPlainTextEdit>(FHandle))
        edit->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (auto* edit = WidgetAs<QPlainTextEdit>(FHandle)) edit->setReadOnly(Value);
    ShowEditColors(this, FReadOnly);
}

int TCustomMemo::SelStart() const {
    auto* edit = WidgetAs<QPlainTextEdit>(FHandle);
    return edit ? edit->textCursor().selectionStart() : 0;
}

void TCustomMemo::SetSelStart(int Value) {
    if (auto* edit = WidgetAs<QPlainTextEdit>(Handle())) {
        QTextCursor c = edit->textCursor();
        c.setPosition(Value);
        edit->setTextCursor(c);
    }
}

int TCustomMemo::SelLength() const {
    auto* edit = WidgetAs<QPlainTextEdit>(FHandle);
    if (!edit) return 0;
    const QTextCursor c = edit->textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TCustomMemo::SetSelLength(int Value) {
    if (auto* edit = WidgetAs<QPlainTextEdit>(Handle())) {
        QTextCursor c = edit->textCursor();
        const int start = c.selectionStart();
        c.setPosition(start);
        c.setPosition(start + Value, QTextCursor::KeepAnchor);
        edit->setTextCursor(c);
    }
}

void TCustomMemo::SelectAll() {
    if (auto* edit = WidgetAs<QPlainTextEdit>(Handle())) edit->selectAll();
}

std::string TCustomMemo::FittingInsertion(const std::string& Inserted) const {
    auto* edit = WidgetAs<QPlainTextEdit>(FHandle);
    if (FMaxLength <= 0 || !edit) return Inserted;
    const QTextCursor cursor = edit->textCursor();
    const std::string kept = WithCrLf(edit->toPlainText().remove(cursor.selectionStart(),
                                                                 cursor.selectionEnd() - cursor.selectionStart()));
    const size_t limit = static_cast<size_t>(FMaxLength);
    const size_t used = FMaxLengthUnit == luGbkBytes ? GbkByteLength(kept) : Utf8Length(kept);
    if (used >= limit) return {};
    std::string fits = FMaxLengthUnit == luGbkBytes ? Inserted.substr(0, GbkFittingPrefix(Inserted, limit - used))
                                                    : Inserted.substr(0, Utf8ByteOffset(Inserted, limit - used));
    // A line break goes in whole or not at all.
    if (!fits.empty() && fits.back() == '\r') fits.pop_back();
    return fits;
}

void TCustomMemo::DefaultHandler(TMessage& m) {
    // Typed characters and input-method commits arrive one by one, a line
    // break at its key; the key handlers have seen them all the same.
    const bool breaksLine = m.Msg == WM_KEYDOWN && m.WParam == VK_RETURN && FWantReturns;
    const bool types = m.Msg == WM_CHAR && m.WParam >= 0x20 && m.WParam != 0x7F;
    if (FMaxLength > 0 && (breaksLine || types) &&
        FittingInsertion(breaksLine ? std::string("\r\n")
                                    : Utf8FromCodePoints(std::u32string(1, static_cast<char32_t>(m.WParam))))
            .empty())
        return;
    TWinControl::DefaultHandler(m);
}

void TCustomMemo::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        if (FWantReturns) m.Result |= DLGC_WANTALLKEYS;
        if (FWantTabs) m.Result |= DLGC_WANTTAB;
        return;
    }
    if (m.Msg == CM_CTL3DCHANGED) RecreateWnd();
    TWinControl::WndProc(m);
    if (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) ShowEditColors(this, FReadOnly);
}
