// The lookup editor: a drop-down editor whose value is a key and whose text is
// the list text of the record with that key. The list comes either from a
// lookup field's own definition (lookup dataset, key fields, result field) or
// from the editor's ListSource, KeyFieldName and ListFieldName. The text is
// never typed: a typed character (input-method text too) searches the list by
// prefix and takes the key of the record found.
#pragma once

#include "editors/Container.h"
#include "editors/DropDownEdit.h"
#include "platform/data/DB.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/DBCtrls.h"
#include "platform/ui/Menus.h"

#include <memory>
#include <string>

class TcvInplaceLookupEdit;

// The list a lookup editor drops down: the popup data list with the editors'
// popup frame and shadow.
class TPopupDBLookupListBox : public TPopupDataList {
public:
    explicit TPopupDBLookupListBox(TComponent* AOwner);

    TcvPopupBorder BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TcvPopupBorder Value);
    bool Shadow() const { return FShadow; }
    void SetShadow(bool Value);
    int ShadowSize() const { return FShadowSize; }

    void WndProc(TMessage& Message) override;

protected:
    // The frame's height on both sides, the shadow included.
    int GetBorderSize() override;
    void CreateParams(TCreateParams& Params) override;

private:
    TcvPopupBorder FBorderStyle = pbDefault;
    bool FShadow = false;
    int FShadowSize = 2;
};

// The list work of the lookup editor over any dataset.
namespace cvLookupList {

// The first name of a ";"-separated list of field names.
std::string FirstFieldName(const std::string& Names);
// Moves DataSet to the first record whose ListField starts with Text, case
// ignored; false (the cursor where Locate left it) when there is none or the
// search fails.
bool LocateByText(TDataSet* DataSet, const std::string& ListField, const std::string& Text);
// The ListField text of the record whose KeyFields equal Key; empty when the
// dataset is closed or has no such record. Moves the cursor there.
std::string TextForKey(TDataSet* DataSet, const std::string& KeyFields, const std::string& ListField,
                       const Variant& Key);
// The record Delta records from the one whose KeyFields equal Key (from the
// first record when none does) becomes current.
void StepFromKey(TDataSet* DataSet, const std::string& KeyFields, const Variant& Key, int Delta);

} // namespace cvLookupList

// Tells a lookup editor when its ListSource opens, closes or changes shape.
class TcvListSourceLink : public TDataLink {
public:
    explicit TcvListSourceLink(TcvInplaceLookupEdit* Editor) : FEditor(Editor) { SetVisualControl(true); }
    // Cleared before the editor goes, so late notifications reach nobody.
    void SetEditor(TcvInplaceLookupEdit* Value) { FEditor = Value; }

protected:
    void ActiveChanged() override;
    void LayoutChanged() override;
    void DataSetChanged() override;

private:
    TcvInplaceLookupEdit* FEditor;
};

class TcvInplaceLookupEdit : public TcvInplaceDropDownEdit {
public:
    explicit TcvInplaceLookupEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceLookupEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    // Published properties.
    // Backspace or Delete over the whole text, or an emptied search, clears the value.
    bool CanDeleteText() const { return FCanDeleteText; }
    void SetCanDeleteText(bool Value) { FCanDeleteText = Value; }
    // A key combination that clears the value (scNone: none).
    TShortCut ClearKey() const { return FClearKey; }
    void SetClearKey(TShortCut Value) { FClearKey = Value; }
    // The list of the list-source mode; empty / nullptr in the lookup-field
    // mode, where setting them raises EDatabaseError.
    const std::string& KeyFieldName() const;
    void SetKeyFieldName(const std::string& Value);
    // The fields shown, ";"-separated; the first is searched and shown in
    // the editor (KeyFieldName when empty).
    const std::string& ListFieldName() const { return FListFieldName; }
    void SetListFieldName(const std::string& Value);
    TDataSource* ListSource() const;
    void SetListSource(TDataSource* Value);
    // The key of the list-source mode. Setting it shows its list text and
    // ends a search.
    const Variant& LookupKeyValue() const { return FLookupKeyValue; }
    void SetLookupKeyValue(const Variant& Value);
    // A double click on a standalone editor steps to the next list value.
    bool Revertable() const { return FRevertable; }
    void SetRevertable(bool Value) { FRevertable = Value; }

    // Set by a filter: the value may be edited (unless ReadOnly) even
    // without a lookup field, and the text may be typed.
    bool TextEditable() const { return FTextEditable; }
    void SetTextEditable(bool Value);
    // Set by a host: the key is LookupKeyValue and is looked up in the list
    // even in the lookup-field mode; choosing a value writes no field.
    bool LocateKey() const { return FLocateKey; }
    void SetLocateKey(bool Value) { FLocateKey = Value; }
    // The lookup field of an editor without a data definition (not owned).
    void SetLookupField(TField* Value);
    // True while the list comes from a lookup field's definition.
    bool LookupFieldMode() const { return FLookupFieldMode; }
    TPopupDBLookupListBox* PopupList() const { return FPopupList; }

    // The lookup editor's virtual operations, in the order descendants know them.
    // Empties the key, writes it, shows its text and selects all of it.
    virtual void ClearValue();
    // The data-aware editor's data link; none here.
    virtual TDataLink* GetDataLink() { return nullptr; }
    // The list dataset changed its records.
    virtual void ListDataChanged() {}
    // Writes Value as the key (into the key field, or as LookupKeyValue
    // with LocateKey) and shows its text; false when nothing was written.
    virtual bool ApplyKeyValue(const Variant& Value);
    // The list-source mode's list changed: shows the key's text again.
    virtual void UpdateListFields();

    void CloseUp(bool Accept) override;
    void DropDown() override;
    void StepValue(int Delta, int Reserved) override;
    void PopupTextChanged(const std::string& Text) override;
    void SetEditValue(const Variant& Value) override;
    Variant GetEditValue() override;
    void GetViewValue(Variant& Value, bool FromDefinition) override;
    void ApplyDefinitionProperties() override;
    bool IsEditable() override;
    bool GetDefaultReadOnly() override;
    void InternalSetReadOnly(bool Value) override;
    void HideEditorWindow() override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DblClick() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TField* LookupField();
    // The field the key is written to: the lookup field's key field, or the
    // bound field itself in the list-source mode.
    TField* KeyField();
    bool KeyFieldModifiable();
    TDataSet* ListDataSet();
    // The list dataset's key field names and shown field.
    std::string ListKeyFields();
    std::string ListTextField();
    // The value a choice starts from.
    Variant CurrentKey();
    std::string TextForKey(const Variant& Key);
    // Stores Key and shows its text, as loading a value does.
    void LoadKey(const Variant& Key);
    void SetLookupFieldMode(bool Value);
    void CheckListSourceMode();
    bool CanDropDown();
    bool AllTextSelected();
    void ClearSearch();
    void SearchChar(char32_t Key);
    void SearchBack();
    void RunSearch();
    void SyncList();

    bool FCanDeleteText = false;
    TShortCut FClearKey = scNone;
    TPopupDBLookupListBox* FPopupList; // owned
    TField* FLookupField = nullptr;
    bool FSearching = false;
    std::u32string FSearchText;
    std::string FKeyFieldName;
    std::string FListFieldName;
    std::unique_ptr<TcvListSourceLink> FListLink;
    Variant FLookupKeyValue;
    bool FLookupFieldMode = true;
    TDataSource* FInternalSource; // owned; feeds the list in the lookup-field mode
    bool FRevertable = false;
    bool FTextEditable = false;
    bool FLocateKey = false;
};
