// The single-line text editor, base of the mask, memo and drop-down editors.
// Its window is the platform's edit window (EditWindow.h), so it has undo and
// redo, selection notifications and a character limit; it adds character
// case, password character, its own context menu and, as a class operation,
// the painting and measuring of text cells without any window.
#pragma once

#include "editors/InplaceEdit.h"
#include "platform/ui/StdCtrls.h"

#include <functional>
#include <memory>
#include <string>

class TPopupMenu;

// Case and layout shared by the editors on an edit window.
namespace cvTextEdt {
// Text in a char case, through the locale.
std::string CasedText(const std::string& Text, TEditCharCase CharCase);
// A typed character (WM_CHAR's code) in a char case; control characters stay.
WPARAM CasedChar(WPARAM Char, TEditCharCase CharCase);
// An edit window's formatting rectangle: Client deflated by 1, clear of the selection bar.
TRect FormatRect(HWND Wnd, TRect Client);
} // namespace cvTextEdt

// What a text cell paints besides the base view data.
class TcvTextEditViewData : public TcvEditViewData {
public:
    TEditCharCase CharCase = ecNormal;
    // A text too long for one line ends in an ellipsis.
    bool EndEllipsis = false;
    char32_t PasswordChar = 0; // 0: the text shows as it is
    bool SelectionBar = false;
    // Painted by a standalone editor that has no edit control: margins apply.
    bool StandaloneText = false;
};

class TcvTextEditClassOps : public TcvInplaceEditClass {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    // The text, cased or masked by the password character; with a measure
    // request nothing is painted and the text's height, its line height and
    // its line count are left in the view data.
    bool DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const override;
};

// The context menu of an edit window: undo, redo, cut, copy, paste, delete
// and select all, enabled by the window's state. The text editor and the
// blob popup's memo share it.
class TcvEditWindowMenu {
public:
    TcvEditWindowMenu() = default;
    ~TcvEditWindowMenu();
    TcvEditWindowMenu(const TcvEditWindowMenu&) = delete;
    TcvEditWindowMenu& operator=(const TcvEditWindowMenu&) = delete;
    // Shows it for Wnd at a screen point; Editable allows the changes,
    // Masked (a password) withholds cut and copy.
    void Popup(HWND Wnd, TComponent* PopupComponent, TPoint At, bool Editable, bool Masked);

private:
    void Click(intptr_t Command);
    TPopupMenu* FMenu = nullptr; // owned, made on first use
    HWND FWnd = nullptr;
};

class TcvInplaceTextEdit : public TcvInplaceEdit {
public:
    explicit TcvInplaceTextEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceTextEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    // Published properties.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Characters the user may type or paste; 0 means no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value);
    char32_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t Value);
    // An 8-pixel strip at the left whose clicks select whole lines.
    bool SelectionBar() const { return FSelectionBar; }
    void SetSelectionBar(bool Value);

    TNotifyEvent OnSelectionChange;

    // The selection in characters.
    int SelStart() { return GetSelStart(); }
    int SelLength() { return GetSelLength(); }
    std::string SelText() { return GetSelText(); }
    // Empties the undo buffer; hosts call it after loading a value.
    void ClearUndo();

    // The text editor's virtual operations, in the order descendants know them.
    virtual void ApplyCharCase();
    virtual void SetTextLimit(int Limit);
    virtual int GetSelLength();
    virtual int GetSelStart();
    // The whole selection, however long.
    virtual std::string GetSelText();
    virtual bool NeedsInputControl();
    virtual void DoSelectionChange();
    virtual void InternalSetMaxLength(int Value);
    virtual void SetSelLength(int Value);
    virtual void SetSelStart(int Value);
    virtual int GetDefaultMaxLength();
    // The first BufSize characters of the selection (whole characters) into
    // Buffer; answers how many.
    virtual int GetSelTextBuf(std::string& Buffer, int BufSize);

    void SetEditValue(const Variant& Value) override;
    void ApplyDefinitionProperties() override;
    void RestoreDefaults() override;
    void InternalSetReadOnly(bool Value) override;
    bool GetModified() override;
    void SetModified(bool Value) override;
    void CaretToEnd() override;
    void SelectAllText() override;
    bool HasEditControl() override { return true; }
    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void SaveWindowState() override;
    void Loaded() override;
    // True while the window is being made: its text changes are no user's.
    bool CreatingWindow() const { return FCreatingWindow; }
    // True while SetEditValue loads a value.
    bool LoadingEditValue() const { return FInValueLoad; }
    // Runs Load with the value-load flag set (no OnChange), then empties the
    // undo buffer.
    void LoadValue(const std::function<void()>& Load);
    // Sends EM_EXSETSEL with the anchor and the caret.
    void SetSelection(int Anchor, int Caret);

private:
    void ShowContextMenu(TMessage& Message);
    void ApplyFormatRect();
    void ApplyTextColor();
    void ApplyBackgroundColor();

    bool FInValueLoad = false;
    bool FAutoSelect = true;
    TEditCharCase FCharCase = ecNormal;
    bool FUpdating = false;
    bool FCreatingWindow = false;
    TcvEditWindowMenu FContextMenu;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FWindowlessModified = false;
    bool FOEMConvert = false;
    char32_t FPasswordChar = 0;
    bool FSelectionBar = false;
};
