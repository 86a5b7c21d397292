// The pick editor: a drop-down editor whose popup lists strings (Items).
// Typing completes the text to the first item that starts with what was
// typed, the keys and the wheel step through the items, and with
// DropDownListStyle the text can only be an item. The MRU editor keeps its
// items as a most-recently-used list and adds an ellipsis button. Their
// popup list types ahead by itself when it holds the keyboard; the grid's
// header filter list derives from it.
#pragma once

#include "editors/DropDownEdit.h"
#include "editors/PopupListBox.h"

#include <memory>
#include <string>

class TStrings;
class TStringList;

// A list that searches its items by the characters typed into it.
class TCustomcvPopupPickListBox : public TCustomcvPopupListBox {
public:
    using TCustomcvPopupListBox::TCustomcvPopupListBox;

protected:
    // Backspace and Escape forget the typed string, as do two seconds
    // without typing; a character that no item starts with is dropped again.
    void KeyPress(char32_t& Key) override;

private:
    std::u32string FTypeAhead;
    DWORD FLastKeyTime = 0;
};

class TcvPopupPickListBox : public TCustomcvPopupPickListBox {
public:
    using TCustomcvPopupPickListBox::TCustomcvPopupPickListBox;

protected:
    // A left release closes the owning editor, accepting inside the list.
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

class TcvInplacePickEdit : public TcvInplaceDropDownEdit {
public:
    explicit TcvInplacePickEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplacePickEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    // Published properties.
    // With DropDownListStyle, Delete or Backspace over the whole text empties it.
    bool CanDeleteText() const { return FCanDeleteText; }
    void SetCanDeleteText(bool Value) { FCanDeleteText = Value; }
    // The text is one of the items: typing only searches.
    bool DropDownListStyle() const { return FDropDownListStyle; }
    void SetDropDownListStyle(bool Value);
    TStrings* Items() const;
    void SetItems(TStrings* Value);
    bool ItemsSorted() const { return FItemsSorted; }
    void SetItemsSorted(bool Value);
    // A left double click steps to the next item, from the last to the first.
    bool Revertable() const { return FRevertable; }
    void SetRevertable(bool Value) { FRevertable = Value; }
    TcvPopupPickListBox* PopupList() const { return FPopupList; }

    // The first item that starts with S, case ignored; -1 for none or an empty S.
    int FindItem(const std::string& S) const;

    // The pick editor's virtual operations, in the order descendants know them.
    // Empties the text when the value may change.
    virtual void ClearText();
    // Writes S as the text and marks the editor modified, when it differs.
    virtual void SetTextValue(const std::string& S);

    void CloseUp(bool Accept) override;
    void DropDown() override;
    // Delta items on from the one last stepped to (or the text's); Reserved
    // nonzero wraps past the last item to the first.
    void StepValue(int Delta, int Reserved) override;
    void PopupTextChanged(const std::string& Text) override;
    void SetEditValue(const Variant& Value) override;
    void UpdateFocusState(bool Focused) override;
    bool IsEditable() override;
    void InternalSetReadOnly(bool Value) override;
    bool CanRestoreText() override { return true; }
    void HideEditorWindow() override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void ResetSearch();
    // Shows the first item that starts with the search text, the rest of it
    // selected; false when none does.
    bool ApplySearch();
    void SearchBackspace(char32_t& Key);
    void SearchChar(char32_t& Key);
    bool AllTextSelected();

    bool FDropDownListStyle = false;
    bool FSearching = false;
    std::u32string FSearchText;
    int FItemIndex = -1;
    std::unique_ptr<TStringList> FItems;
    bool FCanDeleteText = false;
    TcvPopupPickListBox* FPopupList; // owned as a component
    bool FRevertable = false;
    bool FItemsSorted = false;
};

class TcvMRUEditViewData : public TcvDropDownEditViewData {
public:
    bool ShowEllipsis = true;
};

class TcvMRUEditClassOps : public TcvDropDownEditClassOps {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    // The drop-down button, then the ellipsis button when the view data shows it.
    void CalcButtons(TcvDropDownEditViewData& ViewData) const override;
};

class TcvInplaceMRUEdit : public TcvInplacePickEdit {
public:
    explicit TcvInplaceMRUEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());

    static const TcvInplaceEditClass& StaticClass();

    // The most items kept (0: no limit; a negative count is taken as 0).
    int MaxItemCount() const { return FMaxItemCount; }
    void SetMaxItemCount(int Value);
    bool ShowEllipsis() const { return FShowEllipsis; }
    void SetShowEllipsis(bool Value);
    // The ellipsis button was clicked (or Ctrl+Enter pressed).
    TNotifyEvent OnButtonClick;

    // The MRU editor's virtual operations, in the order descendants know them.
    virtual void DoButtonClick();
    // S moves to the top, its stored case kept, or is inserted there.
    virtual void AddItem(const std::string& S);

    void ValidateEdit() override;
    void ButtonDown(bool FromClientArea, int Index) override;
    void ButtonClick(int Index) override;
    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    void Trim();

    int FMaxItemCount = 7;
    bool FShowEllipsis = true;
};
