// The text editor on the platform's edit window: window creation with the
// edit styles, case conversion, the selection and limit messages, the context
// menu, and the painting and measuring of text cells from view data.
#include "editors/TextEdit.h"

#include "editors/EditorTexts.h"
#include "editors/cvUtils.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Input.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <climits>

namespace {

// The context menu's commands, kept in the items' tags.
enum TTextEditCommand : intptr_t {
    cmdUndo = -1,
    cmdRedo = -2,
    cmdCut = -3,
    cmdCopy = -4,
    cmdPaste = -5,
    cmdDelete = -6,
    cmdSelectAll = -7,
    cmdSeparator = INTPTR_MAX,
};

constexpr const char* SUndoCaption = "&Undo";
constexpr const char* SRedoCaption = "&Redo";
constexpr const char* SSelectAllCaption = "Select &All";

// The edit window's notifications this editor listens to.
constexpr DWORD TextEditEventMask = ENM_CHANGE | ENM_SELCHANGE | ENM_DRAGDROPDONE;
// The strip that ES_SELECTIONBAR keeps at the left.
constexpr int SelectionBarWidth = 8;

UINT VerticalFlags(int VerticalTextMode) {
    switch (VerticalTextMode) {
    case 1:
        return cvUtils::cvdtVCenter;
    case 2:
        return cvUtils::cvdtBottom;
    case 3:
        return cvUtils::cvdtWordBreak;
    default:
        return cvUtils::cvdtTop;
    }
}

UINT HorizontalFlags(TAlignment Alignment) {
    return Alignment == taRightJustify ? cvUtils::cvdtRight
           : Alignment == taCenter     ? cvUtils::cvdtCenter
                                       : cvUtils::cvdtLeft;
}

} // namespace

namespace cvTextEdt {

std::string CasedText(const std::string& Text, TEditCharCase CharCase) {
    switch (CharCase) {
    case ecUpperCase:
        return AnsiUpperCase(Text);
    case ecLowerCase:
        return AnsiLowerCase(Text);
    default:
        return Text;
    }
}

WPARAM CasedChar(WPARAM Char, TEditCharCase CharCase) {
    if (Char < 0x20 || CharCase == ecNormal) return Char;
    return Utf8CodePointAt(CasedText(Utf8FromCodePoint(static_cast<char32_t>(Char)), CharCase), 0);
}

TRect FormatRect(HWND Wnd, TRect Client) {
    InflateRect(Client, -1, -1);
    if (GetWindowLong(Wnd, GWL_STYLE) & ES_SELECTIONBAR) Client.Left += SelectionBarWidth;
    return Client;
}

} // namespace cvTextEdt

// ---- TcvTextEditClassOps ----------------------------------------------------

std::unique_ptr<TcvEditViewData> TcvTextEditClassOps::CreateViewData() const {
    return std::make_unique<TcvTextEditViewData>();
}

bool TcvTextEditClassOps::DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const {
    static const TcvTextEditViewData plain;
    const auto* textData = dynamic_cast<const TcvTextEditViewData*>(&ViewData);
    const TcvTextEditViewData& v = textData ? *textData : plain;

    std::string text = ViewData.Value.IsNull() || ViewData.Value.IsEmpty() ? std::string() : VarToStr(ViewData.Value);
    text = cvTextEdt::CasedText(text, v.CharCase);
    if (v.PasswordChar != 0) {
        const std::string shown = Utf8FromCodePoint(v.PasswordChar);
        std::string hidden;
        for (size_t i = Utf8Length(text); i > 0; --i)
            hidden += shown;
        text = hidden;
    }

    // The strip of a selection bar holds no text, but is painted with the cell.
    TRect textRect = Rect;
    if (v.SelectionBar) textRect.Left += SelectionBarWidth;
    if (v.StandaloneText) {
        InflateRect(textRect, -1, -1);
        textRect.Left += ViewData.EditMargins.Left;
        textRect.Top += ViewData.EditMargins.Top;
        textRect.Right -= ViewData.EditMargins.Right;
        if (ViewData.Alignment == taRightJustify) --textRect.Right;
    } else {
        InflateRect(textRect, -2, -2);
    }

    UINT flags = HorizontalFlags(ViewData.Alignment) | VerticalFlags(ViewData.VerticalTextMode);
    if (v.StandaloneText && ViewData.Focused) flags |= cvUtils::cvdtFocusRect;
    if (ViewData.UnfocusedHighlight) flags |= cvUtils::cvdtNoFill;
    if (ViewData.KeepBackgroundMode) flags |= cvUtils::cvdtKeepBkMode;
    if (v.EndEllipsis) flags |= cvUtils::cvdtEndEllipsis;
    const int length = ViewData.TextLength > 0 ? ViewData.TextLength : -1;

    if (!ViewData.MeasureRequest) {
        cvUtils::DrawTextInRect(DC, text, length, nullptr, ViewData.TextColor, ViewData.BackgroundColor,
                                ViewData.Font, ViewData.Brush, flags, textRect, Rect);
        return true;
    }
    // Measured in the text rectangle alone, so the height is the text's own
    // whatever margins the cell has.
    int lineHeight = 0;
    const int height = cvUtils::DrawTextInRect(DC, text, length, &lineHeight, ViewData.TextColor,
                                               ViewData.BackgroundColor, ViewData.Font, ViewData.Brush,
                                               flags | cvUtils::cvdtMeasure, textRect, textRect);
    ViewData.TextHeight = height;
    ViewData.LineHeight = lineHeight;
    ViewData.LineCount = lineHeight != 0 ? height / lineHeight : 0;
    return true;
}

// ---- TcvInplaceTextEdit -----------------------------------------------------

const TcvInplaceEditClass& TcvInplaceTextEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceTextEdit, TcvTextEditClassOps>::Instance();
}

TcvInplaceTextEdit::TcvInplaceTextEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceEdit(AOwner, Class) {
    SetParentColor(false);
}

TcvInplaceTextEdit::~TcvInplaceTextEdit() = default;

void TcvInplaceTextEdit::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    ApplyCharCase();
}

void TcvInplaceTextEdit::SetHideSelection(bool Value) {
    if (FHideSelection == Value) return;
    FHideSelection = Value;
    RecreateWnd();
}

void TcvInplaceTextEdit::SetMaxLength(int Value) {
    SetStoredValues(StoredValues() | cvsvMaxLength);
    InternalSetMaxLength(Value);
}

void TcvInplaceTextEdit::SetOEMConvert(bool Value) {
    if (FOEMConvert == Value) return;
    FOEMConvert = Value;
    RecreateWnd();
}

void TcvInplaceTextEdit::SetPasswordChar(char32_t Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    if (!HandleAllocated()) return;
    SendMessage(FHandle, EM_SETPASSWORDCHAR, FPasswordChar, 0);
    Invalidate();
}

void TcvInplaceTextEdit::SetSelectionBar(bool Value) {
    if (FSelectionBar == Value) return;
    FSelectionBar = Value;
    RecreateWnd();
}

void TcvInplaceTextEdit::ClearUndo() {
    if (HandleAllocated()) SendMessage(FHandle, EM_EMPTYUNDOBUFFER);
}

void TcvInplaceTextEdit::ApplyCharCase() {
    if (FCharCase == ecNormal) return;
    const std::string text = Text();
    const std::string cased = cvTextEdt::CasedText(text, FCharCase);
    if (cased == text) return;
    FUpdating = true;
    TScopeGuard updating([this] { FUpdating = false; });
    CHARRANGE selection{};
    if (HandleAllocated()) SendMessage(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const bool modified = GetModified();
    SetText(cased);
    SetModified(modified);
    if (HandleAllocated()) SendMessage(FHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
}

void TcvInplaceTextEdit::SetTextLimit(int Limit) {
    if (HandleAllocated()) SendMessage(FHandle, EM_EXLIMITTEXT, 0, Limit);
}

int TcvInplaceTextEdit::GetSelLength() {
    if (!HandleAllocated()) return 0;
    CHARRANGE selection{};
    SendMessage(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection.cpMax - selection.cpMin;
}

int TcvInplaceTextEdit::GetSelStart() {
    if (!HandleAllocated()) return 0;
    CHARRANGE selection{};
    SendMessage(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection.cpMin;
}

std::string TcvInplaceTextEdit::GetSelText() {
    std::string selected;
    if (HandleAllocated()) SendMessage(FHandle, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(&selected));
    return selected;
}

int TcvInplaceTextEdit::GetSelTextBuf(std::string& Buffer, int BufSize) {
    Buffer = Utf8Copy(GetSelText(), 0, static_cast<size_t>(std::max(BufSize, 0)));
    return static_cast<int>(Utf8Length(Buffer));
}

bool TcvInplaceTextEdit::NeedsInputControl() {
    return DataDefinition() != nullptr;
}

void TcvInplaceTextEdit::DoSelectionChange() {
    Fire(OnSelectionChange, this);
}

void TcvInplaceTextEdit::InternalSetMaxLength(int Value) {
    Value = std::max(Value, 0);
    if (FMaxLength == Value) return;
    FMaxLength = Value;
    SetTextLimit(Value);
}

void TcvInplaceTextEdit::SetSelection(int Anchor, int Caret) {
    if (!HandleAllocated()) return;
    CHARRANGE selection{Anchor, Caret};
    SendMessage(FHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
}

void TcvInplaceTextEdit::SetSelLength(int Value) {
    const int start = GetSelStart();
    SetSelection(start, start + Value);
}

void TcvInplaceTextEdit::SetSelStart(int Value) {
    SetSelection(Value, Value);
}

int TcvInplaceTextEdit::GetDefaultMaxLength() {
    return DataDefinition() ? DataDefinition()->GetMaxLength() : 0;
}

void TcvInplaceTextEdit::LoadValue(const std::function<void()>& Load) {
    {
        FInValueLoad = true;
        TScopeGuard loading([this] { FInValueLoad = false; });
        Load();
    }
    ClearUndo();
}

void TcvInplaceTextEdit::SetEditValue(const Variant& Value) {
    LoadValue([&] { TcvInplaceEdit::SetEditValue(Value); });
}

void TcvInplaceTextEdit::ApplyDefinitionProperties() {
    TcvInplaceEdit::ApplyDefinitionProperties();
    if (!(StoredValues() & cvsvMaxLength)) InternalSetMaxLength(GetDefaultMaxLength());
    if (HandleAllocated()) SendMessage(FHandle, EM_SETREADONLY, !IsEditable());
}

void TcvInplaceTextEdit::RestoreDefaults() {
    TcvInplaceEdit::RestoreDefaults();
    InternalSetMaxLength(GetDefaultMaxLength());
}

void TcvInplaceTextEdit::InternalSetReadOnly(bool Value) {
    TcvInplaceEdit::InternalSetReadOnly(Value);
    if (HandleAllocated()) SendMessage(FHandle, EM_SETREADONLY, Value);
}

bool TcvInplaceTextEdit::GetModified() {
    if (HandleAllocated() && HasEditControl()) return SendMessage(FHandle, EM_GETMODIFY) != 0;
    return FWindowlessModified;
}

void TcvInplaceTextEdit::SetModified(bool Value) {
    if (HandleAllocated() && HasEditControl())
        SendMessage(FHandle, EM_SETMODIFY, Value);
    else
        FWindowlessModified = Value;
}

void TcvInplaceTextEdit::CaretToEnd() {
    if (HandleAllocated()) SendMessage(FHandle, EM_SETSEL, 0x7FFFFFFF, -1);
}

void TcvInplaceTextEdit::SelectAllText() {
    SetSelection(0, -1);
}

std::unique_ptr<TcvEditViewData> TcvInplaceTextEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceEdit::CreateViewData(FromDefinition);
    if (auto* v = dynamic_cast<TcvTextEditViewData*>(viewData.get())) {
        v->CharCase = FCharCase;
        v->PasswordChar = FPasswordChar;
        v->SelectionBar = FSelectionBar;
        v->StandaloneText = !IsInplace() && !v->HasEditControl;
    }
    return viewData;
}

void TcvInplaceTextEdit::CreateParams(TCreateParams& Params) {
    TcvInplaceEdit::CreateParams(Params);
    if (!HasEditControl()) return;
    Params.WinClassName = EditWindowClassName;
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (!IsEditable()) Params.Style |= ES_READONLY;
    if (FPasswordChar != 0) Params.Style |= ES_PASSWORD;
    if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
    if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
    if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
    if (Alignment() == taRightJustify) Params.Style |= ES_RIGHT;
    if (Alignment() == taCenter) Params.Style |= ES_CENTER;
    if (FSelectionBar) Params.Style |= ES_SELECTIONBAR;
}

void TcvInplaceTextEdit::CreateWnd() {
    const std::string text = Text();
    {
        FCreatingWindow = true;
        TScopeGuard creating([this] { FCreatingWindow = false; });
        TcvInplaceEdit::CreateWnd();
        if (!HasEditControl()) return;
        SendMessage(FHandle, EM_SETTEXTMODE, 0);
        if (GetWindowText(FHandle) != text) SetWindowText(FHandle, text);
    }
    SetTextLimit(FMaxLength);
    SendMessage(FHandle, EM_SETEVENTMASK, 0, TextEditEventMask);
    ApplyBackgroundColor();
    ApplyTextColor();
    if (FPasswordChar != 0) SendMessage(FHandle, EM_SETPASSWORDCHAR, FPasswordChar, 0);
    ApplyFormatRect();
    SetModified(FWindowlessModified);
}

void TcvInplaceTextEdit::SaveWindowState() {
    TcvInplaceEdit::SaveWindowState();
    // The flag outlives the window, so re-creation keeps it.
    FWindowlessModified = GetModified();
}

void TcvInplaceTextEdit::Loaded() {
    TcvInplaceEdit::Loaded();
    ApplyCharCase();
}

void TcvInplaceTextEdit::ApplyBackgroundColor() {
    if (HandleAllocated() && HasEditControl()) SendMessage(FHandle, EM_SETBKGNDCOLOR, 0, ColorToRGB(Color()));
}

void TcvInplaceTextEdit::ApplyTextColor() {
    if (!HandleAllocated() || !HasEditControl()) return;
    CHARFORMAT format;
    format.dwMask = CFM_COLOR;
    const TColor color = Font()->Color();
    if (color == clWindowText || color == static_cast<TColor>(0x20000000))
        format.dwEffects = CFE_AUTOCOLOR;
    else
        format.crTextColor = ColorToRGB(color);
    SendMessage(FHandle, EM_SETCHARFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

void TcvInplaceTextEdit::ApplyFormatRect() {
    if (!HandleAllocated() || !HasEditControl()) return;
    TRect r = cvTextEdt::FormatRect(FHandle, ClientRect());
    if (Alignment() == taRightJustify) --r.Right;
    r.Left += EditMargins().Left;
    r.Top += EditMargins().Top;
    r.Right -= EditMargins().Right;
    SendMessage(FHandle, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

void TcvInplaceTextEdit::ShowContextMenu(TMessage& Message) {
    TPoint at = PointFromLParam(Message.LParam);
    if (Message.LParam == -1) {
        // From the keyboard: at the caret, kept inside the client width.
        TPoint caret{};
        if (!GetCaretPos(caret)) caret = {0, 0};
        caret.X = std::min(caret.X, ClientWidth());
        at = ClientToScreen(caret);
    } else if (!PtInRect(ClientRect(), ScreenToClient(at))) {
        return;
    }
    FContextMenu.Popup(FHandle, this, at, IsEditable(), FPasswordChar != 0);
    Message.Result = 1;
}

TcvEditWindowMenu::~TcvEditWindowMenu() {
    delete FMenu;
}

void TcvEditWindowMenu::Popup(HWND Wnd, TComponent* PopupComponent, TPoint At, bool Editable, bool Masked) {
    FWnd = Wnd;
    if (!FMenu) {
        FMenu = new TPopupMenu(nullptr);
        const struct {
            const char* Caption;
            intptr_t Tag;
        } items[] = {
            {SUndoCaption, cmdUndo},       {SRedoCaption, cmdRedo},        {"-", cmdSeparator},
            {SPopupCaptions[3], cmdCut},   {SPopupCaptions[4], cmdCopy},   {SPopupCaptions[5], cmdPaste},
            {SPopupCaptions[6], cmdDelete}, {"-", cmdSeparator},           {SSelectAllCaption, cmdSelectAll},
        };
        for (const auto& entry : items) {
            auto* item = new TMenuItem(FMenu);
            item->SetCaption(entry.Caption);
            item->SetTag(entry.Tag);
            item->OnClick = [this](TObject* Sender) { Click(static_cast<TMenuItem*>(Sender)->Tag()); };
            FMenu->Items()->Add(item);
        }
    }
    CHARRANGE selection{};
    SendMessage(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const int selLength = selection.cpMax - selection.cpMin;
    const bool selected = selLength > 0;
    GETTEXTLENGTHEX how;
    const int textLength = static_cast<int>(SendMessage(Wnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how)));
    TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        switch (item->Tag()) {
        case cmdUndo:
            item->SetEnabled(SendMessage(Wnd, EM_CANUNDO) != 0);
            break;
        case cmdRedo:
            item->SetEnabled(SendMessage(Wnd, EM_CANREDO) != 0);
            break;
        case cmdCut:
            item->SetEnabled(selected && Editable && !Masked);
            break;
        case cmdCopy:
            item->SetEnabled(selected && !Masked);
            break;
        case cmdPaste:
            item->SetEnabled(Editable && SendMessage(Wnd, EM_CANPASTE) != 0);
            break;
        case cmdDelete:
            item->SetEnabled(selected && Editable);
            break;
        case cmdSelectAll:
            item->SetEnabled(selLength != textLength);
            break;
        default:
            break;
        }
    }
    FMenu->SetPopupComponent(PopupComponent);
    FMenu->Popup(At.X, At.Y);
}

void TcvEditWindowMenu::Click(intptr_t Command) {
    if (!IsWindow(FWnd)) return;
    switch (Command) {
    case cmdUndo:
        SendMessage(FWnd, EM_UNDO);
        break;
    case cmdRedo:
        SendMessage(FWnd, EM_REDO);
        break;
    case cmdCut:
        SendMessage(FWnd, WM_CUT);
        break;
    case cmdCopy:
        SendMessage(FWnd, WM_COPY);
        break;
    case cmdPaste:
        SendMessage(FWnd, WM_PASTE);
        break;
    case cmdDelete:
        SendMessage(FWnd, WM_CLEAR);
        break;
    case cmdSelectAll: {
        CHARRANGE all{0, -1};
        SendMessage(FWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
        break;
    }
    default:
        break;
    }
}

void TcvInplaceTextEdit::DefaultHandler(TMessage& Message) {
    // The edit window never sees a right-button release: the context menu is
    // this editor's to show.
    if (Message.Msg == WM_RBUTTONUP) return;
    TcvInplaceEdit::DefaultHandler(Message);
}

void TcvInplaceTextEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CHAR:
        Message.WParam = cvTextEdt::CasedChar(Message.WParam, FCharCase);
        break;
    case CN_COMMAND:
        if (HiWord(Message.WParam) != EN_CHANGE) break;
        [[fallthrough]];
    case CM_TEXTCHANGED:
        if (Message.Msg == CM_TEXTCHANGED) {
            TcvInplaceEdit::WndProc(Message);
            if (HasEditControl()) return;
        }
        if (!ComponentState().Contains(csLoading) && !FUpdating) ApplyCharCase();
        // A re-casing of the whole text is no change of the user's.
        if (!FCreatingWindow && !FInValueLoad && !FUpdating) Changed();
        return;
    case CN_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(Message.LParam)->code == EN_SELCHANGE &&
            !ComponentState().Contains(csLoading))
            DoSelectionChange();
        return;
    case CM_ENTER:
        if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAllText();
        break;
    case CM_COLORCHANGED:
        TcvInplaceEdit::WndProc(Message);
        ApplyBackgroundColor();
        return;
    case CM_SYSCOLORCHANGE:
        TcvInplaceEdit::WndProc(Message);
        Perform(CM_COLORCHANGED);
        return;
    case WM_SETFONT:
        TcvInplaceEdit::WndProc(Message);
        ApplyTextColor();
        return;
    case WM_SETTEXT:
        TcvInplaceEdit::WndProc(Message);
        SetTextLimit(FMaxLength);
        return;
    case WM_SIZE:
        TcvInplaceEdit::WndProc(Message);
        ApplyFormatRect();
        return;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        const UINT msg = Message.Msg;
        TcvInplaceEdit::WndProc(Message);
        // A press that did not take the focus must not keep the mouse.
        if (HandleAllocated() && !Focused() && !ComponentState().Contains(csDesigning) && GetCapture() == FHandle) {
            if (msg == WM_MBUTTONDOWN) PostMessage(FHandle, WM_MBUTTONUP, 0, Message.LParam);
            ReleaseCapture();
        }
        return;
    }
    case WM_RBUTTONUP:
        TcvInplaceEdit::WndProc(Message);
        if (NeedsInputControl() && HandleAllocated()) {
            TPoint at = PointFromLParam(Message.LParam);
            ::ClientToScreen(FHandle, at);
            PostMessage(FHandle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FHandle), PointToLParam(at));
        }
        return;
    case WM_CONTEXTMENU: {
        TcvInplaceEdit::WndProc(Message);
        if (Message.Result != 0 || !HasEditControl() || !HandleAllocated()) return;
        for (TControl* c = this; c; c = c->Parent())
            if (c->PopupMenu()) return;
        ShowContextMenu(Message);
        return;
    }
    default:
        break;
    }
    TcvInplaceEdit::WndProc(Message);
}
