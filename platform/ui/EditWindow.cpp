// The edit window: a self-painting window (frame, scroll bars and any painting
// of its owner) whose client area shows a Qt text widget, a QLineEdit for one
// line or a QPlainTextEdit for ES_MULTILINE, both behind TTextWidget.
// Qt counts UTF-16 units, the messages count characters: positions are turned
// at the boundary. Notifications wait until the message that caused them is
// done with Qt, so an owner that answers EN_CHANGE by setting the text never
// reaches into a widget that is still emitting its signal.
#include "platform/ui/EditWindow.h"

#include "platform/ui/Colors.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Input.h"
#include "platform/ui/Painting.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/private/EditWidgets_p.h"
#include "platform/ui/private/GdiObjects_p.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>

#include <algorithm>
#include <limits>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

using namespace platform_ui;

namespace {

constexpr int SelectionBarWidth = 8;
constexpr char32_t DefaultPasswordChar = U'*';

// ---- positions ---------------------------------------------------------------

bool IsPairAt(const QString& text, qsizetype i) {
    return i + 1 < text.size() && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate();
}

int CharsFromQt(const QString& text, int qtPos) {
    qtPos = std::clamp(qtPos, 0, static_cast<int>(text.size()));
    int chars = 0;
    for (qsizetype i = 0; i < qtPos; i += IsPairAt(text, i) ? 2 : 1)
        ++chars;
    return chars;
}

int QtFromChars(const QString& text, int chars) {
    qsizetype i = 0;
    for (int n = 0; n < chars && i < text.size(); ++n)
        i += IsPairAt(text, i) ? 2 : 1;
    return static_cast<int>(i);
}

// Line breaks of any kind become Qt's "\n".
QString WithQtBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// ---- the text widgets ----------------------------------------------------------

// What the window asks of its Qt widget; positions are Qt's, text uses "\n".
class TTextWidget {
public:
    virtual ~TTextWidget() = default;
    virtual QWidget* Widget() const = 0;
    virtual QString Text() const = 0;
    // A new text: nothing to undo afterwards.
    virtual void SetText(const QString& Text) = 0;
    virtual int Anchor() const = 0;
    virtual int Caret() const = 0;
    virtual void Select(int Anchor, int Caret) = 0;
    // Replaces the selection, as an edit that can be undone.
    virtual void Insert(const QString& Text) = 0;
    virtual bool CanUndo() const = 0;
    virtual bool CanRedo() const = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void ClearUndo() = 0;
    virtual void SetReadOnly(bool Value) = 0;
    virtual void SetAlignment(Qt::Alignment Value) = 0;
    virtual void SetMargins(const QMargins& Value) = 0;
    // The lines as shown, as (start, length) without their break.
    virtual std::vector<std::pair<int, int>> Lines() const = 0;
    virtual QScrollBar* ScrollBar(Qt::Orientation Orientation) const = 0;
    virtual void ScrollCaretIntoView() = 0;
};

class TLineWidget : public TTextWidget {
public:
    TLineWidget() : FEdit(new QLineEdit) {
        FEdit->setFrame(false);
        FEdit->setMaxLength(std::numeric_limits<int>::max()); // the window keeps its own limit
    }
    QLineEdit* Edit() const { return FEdit; }
    QWidget* Widget() const override { return FEdit; }
    QString Text() const override { return FEdit->text(); }
    void SetText(const QString& Text) override { FEdit->setText(Text); }
    int Anchor() const override {
        if (!FEdit->hasSelectedText()) return FEdit->cursorPosition();
        return FEdit->cursorPosition() == FEdit->selectionStart() ? FEdit->selectionEnd() : FEdit->selectionStart();
    }
    int Caret() const override { return FEdit->cursorPosition(); }
    void Select(int Anchor, int Caret) override {
        if (Anchor == Caret)
            FEdit->setCursorPosition(Caret);
        else
            FEdit->setSelection(Anchor, Caret - Anchor);
    }
    void Insert(const QString& Text) override { FEdit->insert(Text); }
    bool CanUndo() const override { return FEdit->isUndoAvailable(); }
    bool CanRedo() const override { return FEdit->isRedoAvailable(); }
    void Undo() override { FEdit->undo(); }
    void Redo() override { FEdit->redo(); }
    // Setting the text is a line edit's only way to forget its history.
    void ClearUndo() override {
        const QSignalBlocker quiet(FEdit);
        const int anchor = Anchor(), caret = Caret();
        FEdit->setText(FEdit->text());
        Select(anchor, caret);
    }
    void SetReadOnly(bool Value) override { FEdit->setReadOnly(Value); }
    void SetAlignment(Qt::Alignment Value) override { FEdit->setAlignment(Value | Qt::AlignVCenter); }
    void SetMargins(const QMargins& Value) override { FEdit->setTextMargins(Value); }
    std::vector<std::pair<int, int>> Lines() const override { return {{0, static_cast<int>(FEdit->text().size())}}; }
    QScrollBar* ScrollBar(Qt::Orientation) const override { return nullptr; }
    void ScrollCaretIntoView() override {}

private:
    QLineEdit* FEdit;
};

// Viewport margins are how a plain text edit keeps a strip free of text.
class TPlainTextEdit : public QPlainTextEdit {
public:
    using QPlainTextEdit::setViewportMargins;
};

class TLinesWidget : public TTextWidget {
public:
    TLinesWidget() : FEdit(new TPlainTextEdit) {
        FEdit->setFrameShape(QFrame::NoFrame);
        // The window's own scroll bars show the widget's.
        FEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        FEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        FEdit->setTabChangesFocus(false);
        FEdit->viewport()->setMouseTracking(true);
    }
    QPlainTextEdit* Edit() const { return FEdit; }
    QWidget* Widget() const override { return FEdit; }
    QString Text() const override { return FEdit->toPlainText(); }
    void SetText(const QString& Text) override { FEdit->setPlainText(Text); }
    int Anchor() const override { return FEdit->textCursor().anchor(); }
    int Caret() const override { return FEdit->textCursor().position(); }
    void Select(int Anchor, int Caret) override {
        QTextCursor cursor = FEdit->textCursor();
        cursor.setPosition(Anchor);
        cursor.setPosition(Caret, QTextCursor::KeepAnchor);
        FEdit->setTextCursor(cursor);
    }
    void Insert(const QString& Text) override { FEdit->insertPlainText(Text); }
    bool CanUndo() const override { return FEdit->document()->isUndoAvailable(); }
    bool CanRedo() const override { return FEdit->document()->isRedoAvailable(); }
    void Undo() override { FEdit->undo(); }
    void Redo() override { FEdit->redo(); }
    void ClearUndo() override { FEdit->document()->clearUndoRedoStacks(); }
    void SetReadOnly(bool Value) override { FEdit->setReadOnly(Value); }
    void SetAlignment(Qt::Alignment Value) override {
        QTextOption option = FEdit->document()->defaultTextOption();
        option.setAlignment(Value);
        FEdit->document()->setDefaultTextOption(option);
    }
    void SetMargins(const QMargins& Value) override { FEdit->setViewportMargins(Value); }
    std::vector<std::pair<int, int>> Lines() const override {
        std::vector<std::pair<int, int>> lines;
        QTextDocument* document = FEdit->document();
        const bool wraps = FEdit->lineWrapMode() != QPlainTextEdit::NoWrap;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            // A block is laid out when first asked for its place.
            if (wraps) document->documentLayout()->blockBoundingRect(block);
            const QTextLayout* layout = block.layout();
            if (!wraps || !layout || layout->lineCount() < 2) {
                lines.emplace_back(block.position(), block.length() - 1);
                continue;
            }
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                lines.emplace_back(block.position() + line.textStart(), line.textLength());
            }
        }
        return lines;
    }
    QScrollBar* ScrollBar(Qt::Orientation Orientation) const override {
        return Orientation == Qt::Vertical ? FEdit->verticalScrollBar() : FEdit->horizontalScrollBar();
    }
    void ScrollCaretIntoView() override { FEdit->ensureCursorVisible(); }

private:
    TPlainTextEdit* FEdit;
};

// ---- the window's state --------------------------------------------------------

struct TEditState {
    HWND Wnd = nullptr;
    std::unique_ptr<TTextWidget> Text;
    DWORD EventMask = 0;
    int Limit = 0; // characters; 0: none
    bool Modified = false;
    bool SettingText = false; // WM_SETTEXT: not the user's change
    int Depth = 0;            // messages of the window under way
    bool TextChanged = false;
    bool SelectionMayHaveMoved = false;
    CHARRANGE ReportedSelection{};
    int ReportedCaret = 0;
    HFONT Font = nullptr;
    bool SystemBackground = true;
    COLORREF Background = 0;
    bool AutoColor = true;
    COLORREF TextColor = 0;
    bool Underline = false;
    char32_t PasswordChar = 0;
    TRect FormatRect{};
    bool HasFormatRect = false;
    bool PaintReachedClass = false;
    bool SyncingScrollBars = false;
};

std::unordered_map<HWND, std::unique_ptr<TEditState>>& States() {
    static std::unordered_map<HWND, std::unique_ptr<TEditState>> states;
    return states;
}

TEditState* StateOf(HWND w) {
    auto it = States().find(w);
    return it == States().end() ? nullptr : it->second.get();
}

bool Multiline(const TEditState& s) {
    return (s.Wnd->Style & ES_MULTILINE) != 0;
}

QLineEdit* LineEditOf(const TEditState& s) {
    return Multiline(s) ? nullptr : static_cast<TLineWidget*>(s.Text.get())->Edit();
}

QPlainTextEdit* PlainEditOf(const TEditState& s) {
    return Multiline(s) ? static_cast<TLinesWidget*>(s.Text.get())->Edit() : nullptr;
}

CHARRANGE Selection(const TEditState& s) {
    const QString text = s.Text->Text();
    const int anchor = CharsFromQt(text, s.Text->Anchor());
    const int caret = CharsFromQt(text, s.Text->Caret());
    return {std::min(anchor, caret), std::max(anchor, caret)};
}

int Length(const TEditState& s) {
    const QString text = s.Text->Text();
    return CharsFromQt(text, static_cast<int>(text.size()));
}

// Sets the selection from character positions: Anchor and Caret are clipped to
// the text, a negative Caret is its end, (0, -1) is all of it.
void SelectChars(TEditState& s, int Anchor, int Caret) {
    const QString text = s.Text->Text();
    const int length = CharsFromQt(text, static_cast<int>(text.size()));
    if (Caret < 0 || Caret > length) Caret = length;
    if (Anchor < 0) Anchor = Caret;
    Anchor = std::min(Anchor, length);
    s.Text->Select(QtFromChars(text, Anchor), QtFromChars(text, Caret));
}

std::string Utf8WithCrLf(const TEditState& s, const QString& text) {
    QString crlf = text;
    if (Multiline(s)) crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return crlf.toUtf8().toStdString();
}

QString SelectedText(const TEditState& s) {
    const int a = s.Text->Anchor(), c = s.Text->Caret();
    return s.Text->Text().mid(std::min(a, c), std::abs(a - c));
}

// ---- notifications -------------------------------------------------------------

void Notify(TEditState& s) {
    HWND w = s.Wnd;
    HWND parent = GetParent(w);
    const auto id = static_cast<UINT_PTR>(GetWindowLong(w, GWL_ID));
    if (std::exchange(s.TextChanged, false) && parent && (s.EventMask & ENM_CHANGE)) {
        SendMessage(parent, WM_COMMAND, static_cast<WPARAM>(MakeLParam(static_cast<Word>(id), EN_CHANGE)),
                    reinterpret_cast<LPARAM>(w));
        if (!IsLiveWindow(w) || StateOf(w) != &s) return;
    }
    if (!std::exchange(s.SelectionMayHaveMoved, false)) return;
    const CHARRANGE selection = Selection(s);
    const int caret = EditWindowCaretIndex(w);
    if (selection.cpMin == s.ReportedSelection.cpMin && selection.cpMax == s.ReportedSelection.cpMax &&
        caret == s.ReportedCaret)
        return;
    s.ReportedSelection = selection;
    s.ReportedCaret = caret;
    if (!parent || !(s.EventMask & ENM_SELCHANGE)) return;
    SELCHANGE change;
    change.nmhdr = {w, id, static_cast<UINT>(EN_SELCHANGE)};
    change.chrg = selection;
    const int length = selection.cpMax - selection.cpMin;
    change.seltyp = length == 0 ? SEL_EMPTY : length > 1 ? (SEL_TEXT | SEL_MULTICHAR) : SEL_TEXT;
    SendMessage(parent, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&change));
}

// ---- look ---------------------------------------------------------------------

void ShowColors(TEditState& s) {
    QWidget* widget = s.Text->Widget();
    const TColor background = s.SystemBackground ? clWindow : static_cast<TColor>(s.Background);
    const bool showSelection = GetFocus() == s.Wnd || (s.Wnd->Style & ES_NOHIDESEL);
    ShowEditColors(widget, background, showSelection);
    QPalette palette = widget->palette();
    const COLORREF text = s.AutoColor ? GetSysColor(COLOR_WINDOWTEXT) : s.TextColor;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::Text, QColor::fromRgb(QRgbOf(text)));
    widget->setPalette(palette);
}

void ShowFont(TEditState& s) {
    QFont font = s.Font ? QFontOf(s.Font) : QFontOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    font.setUnderline(s.Underline);
    s.Text->Widget()->setFont(font);
}

// The text widget's place in the client area: the formatting rectangle (or
// the whole area) with the selection bar's strip kept free.
void ShowFormatRect(TEditState& s) {
    const TRect client{0, 0, s.Wnd->ClientRect.Width(), s.Wnd->ClientRect.Height()};
    const TRect r = s.HasFormatRect ? s.FormatRect : client;
    QMargins margins(std::max(r.Left, 0), std::max(r.Top, 0), std::max(client.Right - r.Right, 0),
                     std::max(client.Bottom - r.Bottom, 0));
    if ((s.Wnd->Style & ES_SELECTIONBAR) && !s.HasFormatRect) margins.setLeft(margins.left() + SelectionBarWidth);
    s.Text->SetMargins(margins);
}

void ShowAlignment(TEditState& s) {
    const DWORD style = s.Wnd->Style;
    s.Text->SetAlignment((style & ES_CENTER) ? Qt::AlignHCenter : (style & ES_RIGHT) ? Qt::AlignRight : Qt::AlignLeft);
}

// The window's scroll bars show the widget's.
void SyncScrollBars(TEditState& s) {
    if (s.SyncingScrollBars) return;
    s.SyncingScrollBars = true;
    for (int bar : {SB_VERT, SB_HORZ}) {
        QScrollBar* qt = s.Text->ScrollBar(bar == SB_VERT ? Qt::Vertical : Qt::Horizontal);
        if (!qt || !(s.Wnd->Style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) continue;
        TScrollInfo info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (s.Wnd->Style & ES_DISABLENOSCROLL) info.fMask |= SIF_DISABLENOSCROLL;
        info.nMin = qt->minimum();
        info.nMax = qt->maximum() + qt->pageStep() - 1;
        info.nPage = static_cast<UINT>(qt->pageStep());
        info.nPos = qt->value();
        SetScrollInfo(s.Wnd, bar, info, true);
        if (!IsLiveWindow(s.Wnd)) return;
    }
    s.SyncingScrollBars = false;
}

void Scroll(TEditState& s, int bar, int code) {
    QScrollBar* qt = s.Text->ScrollBar(bar == SB_VERT ? Qt::Vertical : Qt::Horizontal);
    if (!qt) return;
    switch (code) {
    case SB_LINEUP:
        qt->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case SB_LINEDOWN:
        qt->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case SB_PAGEUP:
        qt->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case SB_PAGEDOWN:
        qt->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case SB_TOP:
        qt->setValue(qt->minimum());
        break;
    case SB_BOTTOM:
        qt->setValue(qt->maximum());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        TScrollInfo info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(s.Wnd, bar, info);
        qt->setValue(info.nTrackPos);
        break;
    }
    default:
        break;
    }
}

// A WM_PAINT that reaches the class shows the widget; one the owner keeps
// hides it, so the owner's painting shows.
void ShowText(TEditState& s, bool Show) {
    QWidget* widget = s.Text->Widget();
    if (widget->isVisibleTo(widget->parentWidget()) == Show) return;
    widget->setVisible(Show);
    if (Show && GetFocus() == s.Wnd) MoveQtFocus(s.Wnd);
}

// ---- editing -------------------------------------------------------------------

QString ConvertCase(const TEditState& s, const QString& text) {
    if (s.Wnd->Style & ES_UPPERCASE) return text.toUpper();
    if (s.Wnd->Style & ES_LOWERCASE) return text.toLower();
    return text;
}

// Text as the window holds it: Qt's breaks, and only the first line in a
// one-line window.
QString Normalized(const TEditState& s, const QString& text) {
    const QString withBreaks = WithQtBreaks(text);
    return Multiline(s) ? withBreaks : withBreaks.left(withBreaks.indexOf(QLatin1Char('\n')));
}

// What may replace the selection: normalised and cut to the limit.
QString Insertable(const TEditState& s, const QString& raw) {
    const QString text = Normalized(s, raw);
    if (s.Limit <= 0) return text;
    const CHARRANGE selection = Selection(s);
    const int room = s.Limit - (Length(s) - (selection.cpMax - selection.cpMin));
    if (room <= 0) return {};
    return text.left(QtFromChars(text, room));
}

bool ReadOnly(const TEditState& s) {
    return (s.Wnd->Style & ES_READONLY) != 0;
}

void Paste(TEditState& s) {
    if (ReadOnly(s)) return;
    const QString text = Insertable(s, ConvertCase(s, QGuiApplication::clipboard()->text()));
    if (!text.isEmpty()) s.Text->Insert(text);
}

bool Hidden(const TEditState& s) {
    return s.PasswordChar != 0 && !Multiline(s);
}

void Copy(const TEditState& s) {
    const QString text = SelectedText(s);
    if (!text.isEmpty() && !Hidden(s))
        QGuiApplication::clipboard()->setText(
            Multiline(s) ? QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")) : text);
}

void ClearSelection(TEditState& s) {
    if (!ReadOnly(s) && s.Text->Anchor() != s.Text->Caret()) s.Text->Insert(QString());
}

// A typed character, as the widget should get it; 0 when it is dropped.
char32_t Typed(TEditState& s, char32_t c) {
    if (c < 0x20 || c == 0x7F) return c;
    const QString converted = ConvertCase(s, QString::fromUcs4(&c, 1));
    if (s.Limit > 0 && Insertable(s, converted).isEmpty()) return 0;
    const auto ucs4 = converted.toUcs4();
    return ucs4.size() == 1 ? ucs4[0] : c;
}

void SetPasswordChar(TEditState& s, char32_t c) {
    s.PasswordChar = c;
    if (QLineEdit* edit = LineEditOf(s)) ShowPasswordChar(edit, c);
}

// A click in the selection bar selects the line under it.
bool SelectLineAt(TEditState& s, TPoint client) {
    QPlainTextEdit* edit = PlainEditOf(s);
    if (!edit || !(s.Wnd->Style & ES_SELECTIONBAR) || client.X >= SelectionBarWidth) return false;
    QTextCursor cursor = edit->cursorForPosition(QPoint(0, client.Y - edit->viewport()->y()));
    cursor.movePosition(QTextCursor::StartOfLine);
    cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    if (!cursor.atEnd()) cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    return true;
}

// ---- creation ------------------------------------------------------------------

void Connect(TEditState& s) {
    HWND w = s.Wnd;
    auto changed = [w] {
        TEditState* state = StateOf(w);
        if (!state) return;
        state->TextChanged = true;
        state->SelectionMayHaveMoved = true;
        if (!state->SettingText) state->Modified = true;
        if (state->Depth == 0) RunGuarded([state] { Notify(*state); });
    };
    auto moved = [w] {
        TEditState* state = StateOf(w);
        if (!state) return;
        state->SelectionMayHaveMoved = true;
        if (state->Depth == 0) RunGuarded([state] { Notify(*state); });
    };
    if (QLineEdit* edit = LineEditOf(s)) {
        QObject::connect(edit, &QLineEdit::textChanged, edit, changed);
        QObject::connect(edit, &QLineEdit::cursorPositionChanged, edit, moved);
        QObject::connect(edit, &QLineEdit::selectionChanged, edit, moved);
        return;
    }
    QPlainTextEdit* edit = PlainEditOf(s);
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, changed);
    QObject::connect(edit, &QPlainTextEdit::cursorPositionChanged, edit, moved);
    QObject::connect(edit, &QPlainTextEdit::selectionChanged, edit, moved);
    auto sync = [w] {
        if (TEditState* state = StateOf(w)) SyncScrollBars(*state);
    };
    for (QScrollBar* bar : {edit->verticalScrollBar(), edit->horizontalScrollBar()}) {
        QObject::connect(bar, &QScrollBar::rangeChanged, edit, sync);
        QObject::connect(bar, &QScrollBar::valueChanged, edit, sync);
    }
}

void Create(HWND w, const TCreateStruct& create) {
    auto state = std::make_unique<TEditState>();
    TEditState& s = *state;
    s.Wnd = w;
    if (w->Style & ES_MULTILINE) {
        auto lines = std::make_unique<TLinesWidget>();
        lines->Edit()->setLineWrapMode((w->Style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap
                                                                   : QPlainTextEdit::WidgetWidth);
        s.Text = std::move(lines);
    } else {
        s.Text = std::make_unique<TLineWidget>();
    }
    QWidget* widget = s.Text->Widget();
    widget->setContextMenuPolicy(Qt::NoContextMenu);
    widget->setAcceptDrops(false);
    if (QLineEdit* edit = LineEditOf(s)) edit->setDragEnabled(false);
    States()[w] = std::move(state);
    SetClientWidget(w, widget);
    s.Text->SetReadOnly(ReadOnly(s));
    if (w->Style & ES_PASSWORD) SetPasswordChar(s, DefaultPasswordChar);
    ShowAlignment(s);
    ShowFormatRect(s);
    ShowFont(s);
    ShowColors(s);
    {
        const QSignalBlocker quiet(widget);
        s.Text->SetText(Normalized(s, QString::fromUtf8(create.Name.c_str())));
        s.Text->Select(0, 0);
    }
    Connect(s);
    // Watches the paints from above the owner's procedure: see ShowText.
    auto watcher = std::make_shared<TWindowProcedureId>(0);
    *watcher = PushWindowProc(w, [watcher](HWND wnd, TMessage& m) {
        TEditState* before = m.Msg == WM_PAINT ? StateOf(wnd) : nullptr;
        if (before) before->PaintReachedClass = false;
        CallNextWindowProc(wnd, *watcher, m);
        if (TEditState* after = before ? StateOf(wnd) : nullptr; after == before && after)
            ShowText(*after, after->PaintReachedClass);
    });
}

// ---- the procedure -------------------------------------------------------------

void SetText(TEditState& s, const char* utf8) {
    const QString text = Normalized(s, QString::fromUtf8(utf8 ? utf8 : ""));
    s.SettingText = true;
    if (text != s.Text->Text()) s.Text->SetText(text);
    s.Text->ClearUndo();
    s.Text->Select(0, 0);
    s.SettingText = false;
    s.Modified = false;
}

LRESULT LineMessage(TEditState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
    const QString text = s.Text->Text();
    const auto lines = s.Text->Lines();
    const int count = static_cast<int>(lines.size());
    const auto lineOf = [&](int qtPos) {
        int line = 0;
        while (line + 1 < count && lines[static_cast<size_t>(line + 1)].first <= qtPos)
            ++line;
        return line;
    };
    const auto charsOf = [&](int qtPos) { return CharsFromQt(text, qtPos); };
    const auto lineLength = [&](int line) {
        const auto [start, length] = lines[static_cast<size_t>(line)];
        return charsOf(start + length) - charsOf(start);
    };
    const int caretLine = lineOf(s.Text->Caret());
    const auto position = static_cast<int>(static_cast<intptr_t>(wParam));
    switch (msg) {
    case EM_GETLINECOUNT:
        return count;
    case EM_LINEINDEX: {
        const int line = position < 0 ? caretLine : position;
        return line < count ? charsOf(lines[static_cast<size_t>(line)].first) : -1;
    }
    case EM_LINELENGTH:
        return lineLength(position < 0 ? caretLine : lineOf(QtFromChars(text, position)));
    case EM_LINEFROMCHAR:
        return position < 0 ? caretLine : lineOf(QtFromChars(text, position));
    case EM_EXLINEFROMCHAR:
        return lineOf(QtFromChars(text, static_cast<int>(lParam)));
    case EM_GETLINE: {
        if (position < 0 || position >= count || !lParam) return 0;
        const auto [start, length] = lines[static_cast<size_t>(position)];
        *reinterpret_cast<std::string*>(lParam) = text.mid(start, length).toUtf8().toStdString();
        return lineLength(position);
    }
    default:
        return 0;
    }
}

void Handle(TEditState& s, TMessage& m) {
    HWND w = s.Wnd;
    switch (m.Msg) {
    case WM_SETTEXT:
        SetText(s, reinterpret_cast<const char*>(m.LParam));
        m.Result = 1;
        return;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        w->Text = Utf8WithCrLf(s, s.Text->Text());
        DefWindowProc(w, m);
        return;
    case WM_SETFONT:
        s.Font = reinterpret_cast<HFONT>(m.WParam);
        ShowFont(s);
        return;
    case WM_GETFONT:
        m.Result = reinterpret_cast<LRESULT>(s.Font);
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ShowColors(s);
        DefWindowProc(w, m);
        return;
    case WM_ENABLE:
        s.Text->Widget()->setEnabled(m.WParam != 0);
        DefWindowProc(w, m);
        return;
    case WM_SETREDRAW:
        s.Text->Widget()->setUpdatesEnabled(m.WParam != 0);
        DefWindowProc(w, m);
        return;
    case WM_SIZE:
        ShowFormatRect(s);
        DefWindowProc(w, m);
        return;
    case WM_PAINT:
        s.PaintReachedClass = true;
        if (!m.WParam) DefWindowProc(w, m);
        return;
    case WM_ERASEBKGND: {
        TRect client{0, 0, w->ClientRect.Width(), w->ClientRect.Height()};
        const COLORREF color = s.SystemBackground ? GetSysColor(COLOR_WINDOW) : s.Background;
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(reinterpret_cast<HDC>(m.WParam), &client, brush);
        DeleteObject(brush);
        m.Result = 1;
        return;
    }
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL | (Multiline(s) ? DLGC_WANTALLKEYS : 0);
        return;
    case WM_KEYDOWN: {
        const auto vk = static_cast<Word>(m.WParam);
        const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
        // Line breaks and tabs are typed by their characters.
        if (vk == VK_RETURN || vk == VK_TAB) return;
        if ((ctrl && vk == 'V') || (shift && !ctrl && vk == VK_INSERT)) {
            Paste(s);
            return;
        }
        if (Hidden(s) && ctrl && (vk == 'C' || vk == 'X' || vk == VK_INSERT)) return;
        NativeWindowProc(w, m);
        return;
    }
    case WM_CHAR: {
        const auto c = static_cast<char32_t>(m.WParam);
        if (c == U'\r' || c == U'\t') {
            if (Multiline(s) && !ReadOnly(s)) {
                const QString insert = Insertable(s, c == U'\r' ? QStringLiteral("\n") : QStringLiteral("\t"));
                if (!insert.isEmpty()) s.Text->Insert(insert);
            }
            return;
        }
        m.WParam = Typed(s, c);
        if (m.WParam) NativeWindowProc(w, m);
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GetFocus() != w) SetFocus(w);
        if (IsLiveWindow(w) && StateOf(w) == &s && !SelectLineAt(s, PointFromLParam(m.LParam))) NativeWindowProc(w, m);
        return;
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_KEYUP:
        NativeWindowProc(w, m);
        return;
    case WM_VSCROLL:
    case WM_HSCROLL:
        Scroll(s, m.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LoWord(m.WParam));
        return;
    case WM_CUT:
        if (!Hidden(s)) {
            Copy(s);
            ClearSelection(s);
        }
        return;
    case WM_COPY:
        Copy(s);
        return;
    case WM_PASTE:
        Paste(s);
        return;
    case WM_CLEAR:
        ClearSelection(s);
        return;
    case WM_UNDO:
    case EM_UNDO:
        m.Result = s.Text->CanUndo();
        if (!ReadOnly(s)) s.Text->Undo();
        return;
    case EM_REDO:
        m.Result = s.Text->CanRedo();
        if (!ReadOnly(s)) s.Text->Redo();
        return;
    case EM_CANUNDO:
        m.Result = s.Text->CanUndo();
        return;
    case EM_CANREDO:
        m.Result = s.Text->CanRedo();
        return;
    case EM_EMPTYUNDOBUFFER:
        s.Text->ClearUndo();
        return;
    case EM_CANPASTE:
        m.Result = !QGuiApplication::clipboard()->text().isEmpty();
        return;
    case EM_GETSEL: {
        const CHARRANGE r = Selection(s);
        if (m.WParam) *reinterpret_cast<DWORD*>(m.WParam) = static_cast<DWORD>(r.cpMin);
        if (m.LParam) *reinterpret_cast<DWORD*>(m.LParam) = static_cast<DWORD>(r.cpMax);
        m.Result = MakeLParam(static_cast<Word>(r.cpMin), static_cast<Word>(r.cpMax));
        return;
    }
    case EM_SETSEL:
        SelectChars(s, static_cast<int>(static_cast<intptr_t>(m.WParam)), static_cast<int>(m.LParam));
        return;
    case EM_EXGETSEL:
        if (m.LParam) *reinterpret_cast<CHARRANGE*>(m.LParam) = Selection(s);
        return;
    case EM_EXSETSEL:
        if (m.LParam) {
            const CHARRANGE r = *reinterpret_cast<const CHARRANGE*>(m.LParam);
            SelectChars(s, r.cpMin, r.cpMax);
            m.Result = Selection(s).cpMax;
        }
        return;
    case EM_GETSELTEXT: {
        const QString text = SelectedText(s);
        if (m.LParam) *reinterpret_cast<std::string*>(m.LParam) = Utf8WithCrLf(s, text);
        m.Result = CharsFromQt(text, static_cast<int>(text.size()));
        return;
    }
    case EM_REPLACESEL: {
        const QString text = Insertable(s, QString::fromUtf8(m.LParam ? reinterpret_cast<const char*>(m.LParam) : ""));
        s.Text->Insert(text);
        if (!m.WParam) s.Text->ClearUndo();
        return;
    }
    case EM_GETMODIFY:
        m.Result = s.Modified;
        return;
    case EM_SETMODIFY:
        s.Modified = m.WParam != 0;
        return;
    case EM_SETREADONLY:
        w->Style = m.WParam ? (w->Style | ES_READONLY) : (w->Style & ~ES_READONLY);
        s.Text->SetReadOnly(m.WParam != 0);
        m.Result = 1;
        return;
    case EM_LIMITTEXT:
    case EM_EXLIMITTEXT:
        s.Limit = std::max(0, static_cast<int>(m.Msg == EM_LIMITTEXT ? static_cast<intptr_t>(m.WParam) : m.LParam));
        return;
    case EM_SETPASSWORDCHAR:
        SetPasswordChar(s, static_cast<char32_t>(m.WParam));
        w->Style = m.WParam ? (w->Style | ES_PASSWORD) : (w->Style & ~ES_PASSWORD);
        return;
    case EM_GETTEXTLENGTHEX: {
        const auto* how = reinterpret_cast<const GETTEXTLENGTHEX*>(m.WParam);
        m.Result = Length(s);
        if (how && (how->flags & GTL_USECRLF)) m.Result += s.Text->Text().count(QLatin1Char('\n'));
        return;
    }
    case EM_SETEVENTMASK:
        m.Result = static_cast<LRESULT>(std::exchange(s.EventMask, static_cast<DWORD>(m.LParam)));
        return;
    case EM_GETEVENTMASK:
        m.Result = static_cast<LRESULT>(s.EventMask);
        return;
    case EM_SETBKGNDCOLOR: {
        m.Result = static_cast<LRESULT>(s.SystemBackground ? GetSysColor(COLOR_WINDOW) : s.Background);
        s.SystemBackground = m.WParam != 0;
        s.Background = static_cast<COLORREF>(m.LParam);
        ShowColors(s);
        InvalidateRect(w, nullptr, true);
        return;
    }
    case EM_SETCHARFORMAT: {
        const auto* format = reinterpret_cast<const CHARFORMAT*>(m.LParam);
        if (!format) return;
        if (format->dwMask & CFM_COLOR) {
            s.AutoColor = (format->dwEffects & CFE_AUTOCOLOR) != 0;
            s.TextColor = format->crTextColor;
            ShowColors(s);
        }
        if (format->dwMask & CFM_UNDERLINE) {
            s.Underline = (format->dwEffects & CFE_UNDERLINE) != 0;
            ShowFont(s);
        }
        m.Result = 1;
        return;
    }
    case EM_SETTEXTMODE:
        return;
    case EM_SETRECT:
        s.HasFormatRect = m.LParam != 0;
        if (m.LParam) s.FormatRect = *reinterpret_cast<const TRect*>(m.LParam);
        ShowFormatRect(s);
        return;
    case EM_GETRECT:
        if (m.LParam)
            *reinterpret_cast<TRect*>(m.LParam) =
                s.HasFormatRect ? s.FormatRect : TRect{0, 0, w->ClientRect.Width(), w->ClientRect.Height()};
        return;
    case EM_LINESCROLL:
        if (QScrollBar* bar = s.Text->ScrollBar(Qt::Vertical)) bar->setValue(bar->value() + static_cast<int>(m.LParam));
        m.Result = 1;
        return;
    case EM_SCROLLCARET:
        s.Text->ScrollCaretIntoView();
        return;
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_LINELENGTH:
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR:
    case EM_GETLINE:
        m.Result = LineMessage(s, m.Msg, m.WParam, m.LParam);
        return;
    case WM_CONTEXTMENU:
    default:
        DefWindowProc(w, m);
        return;
    }
}

void EditWindowProcedure(HWND w, TMessage& m) {
    if (m.Msg == WM_NCCREATE) {
        Create(w, *reinterpret_cast<const TCreateStruct*>(m.LParam));
        DefWindowProc(w, m);
        return;
    }
    TEditState* s = StateOf(w);
    if (!s) {
        DefWindowProc(w, m);
        return;
    }
    if (m.Msg == WM_NCDESTROY) {
        States().erase(w);
        DefWindowProc(w, m);
        return;
    }
    ++s->Depth;
    Handle(*s, m);
    if (!IsLiveWindow(w) || StateOf(w) != s) return;
    if (--s->Depth == 0) Notify(*s);
}

} // namespace

namespace platform_ui {

void RegisterEditWindowClass() {
    WindowClassEntry entry;
    entry.Class.ClassName = EditWindowClassName;
    entry.Class.Style = CS_DBLCLKS;
    entry.Class.WindowProcedure = EditWindowProcedure;
    RegisterClassEntry(std::move(entry));
}

} // namespace platform_ui

bool GetCaretPos(TPoint& Point) {
    HWND focus = GetFocus();
    TEditState* s = IsLiveWindow(focus) ? StateOf(focus) : nullptr;
    if (!s) {
        Point = {};
        return false;
    }
    QWidget* widget = s->Text->Widget();
    const QRect caret = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    Point = {widget->x() - focus->ClientRect.Left + caret.x(), widget->y() - focus->ClientRect.Top + caret.y()};
    return true;
}

int EditWindowCaretIndex(HWND Wnd) {
    TEditState* s = IsLiveWindow(Wnd) ? StateOf(Wnd) : nullptr;
    return s ? CharsFromQt(s->Text->Text(), s->Text->Caret()) : 0;
}

bool EditWindowTextShown(HWND Wnd) {
    TEditState* s = IsLiveWindow(Wnd) ? StateOf(Wnd) : nullptr;
    return s && s->Text->Widget()->isVisibleTo(s->Text->Widget()->parentWidget());
}
