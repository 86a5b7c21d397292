// The field-backed data definitions: how a data-aware editor reads and writes
// one TField of a TDataSource. The definition answers the editor's questions
// from the field and owns a data link that turns the dataset's notifications
// into the editor's call-backs. The link's Modified flag is what makes a write
// happen: it is set only when the user starts an edit, so an editor that was
// merely focused and left writes nothing.
#pragma once

#include "editors/InplaceEdit.h"
#include "platform/data/DB.h"

#include <memory>
#include <string>

class TcvEditDBDataDefinition;
class TcvInplaceLookupEdit;

// The definition's link to its field.
class TcvEditDataLink : public TDataLink {
public:
    explicit TcvEditDataLink(TcvEditDBDataDefinition* Definition) : FDefinition(Definition) {}

    // Resolved whenever the link becomes active, its layout changes or the
    // name changes; nullptr while inactive or with no name.
    TField* Field() const { return FField; }
    const std::string& FieldName() const { return FFieldName; }
    // Raises the dataset's field-not-found error for an unknown name on an
    // active link.
    void SetFieldName(const std::string& Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    // Reads everything again as if the whole record had changed.
    void Reset() { RecordChanged(nullptr); }

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField*& Value) override;
    void LayoutChanged() override;
    void RecordChanged(TField* Value) override;
    void UpdateData() override;

private:
    void UpdateField();

    TcvEditDBDataDefinition* FDefinition; // not owned
    TField* FField = nullptr;
    std::string FFieldName;
    bool FModified = false;
};

// Hears that the definition's data source is freed, so the definition never
// touches a freed component.
class TcvEditDBNotification : public TComponent {
public:
    explicit TcvEditDBNotification(TcvEditDBDataDefinition* Definition)
        : TComponent(nullptr), FDefinition(Definition) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TcvEditDBDataDefinition* FDefinition;
};

class TcvEditDBDataDefinition : public TcvEditDataDefinition {
public:
    TcvEditDBDataDefinition();
    ~TcvEditDBDataDefinition() override;

    TcvEditDataLink* DataLink() const { return FDataLink.get(); }
    TDataSource* DataSource() const { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    const std::string& DataField() const { return FDataLink->FieldName(); }
    void SetDataField(const std::string& Value) { FDataLink->SetFieldName(Value); }

    // Copies DataSource and DataField from another field-backed definition.
    void Assign(TPersistent* Source) override;

    // False unless the field may change and its dataset is (now) editing.
    bool BeginEdit() override;
    TAlignment GetAlignment() override;
    std::string GetDisplayFormat() override;
    Variant GetDisplayValue() override;
    int GetMaxLength() override;
    std::string GetEditMask() override;
    // A Boolean field gives its text, as the field produces it.
    Variant GetValue() override;
    TField* GetField() override { return FDataLink->Field(); }
    double GetMaxValue() override;
    double GetMinValue() override;
    bool GetRequired() override;
    bool IsEditable() override;
    bool IsFloat() override;
    bool GetReadOnly() override;
    bool IsValidChar(char32_t Key) override;
    void MarkModified() override { FDataLink->SetModified(true); }
    void DataChanged() override { FDataLink->Reset(); }
    // A string goes to the field's Text (its OnSetText runs), anything else
    // to its Value.
    void SetValue(const Variant& Value) override;
    void UpdateData() override;
    // Actions aimed at the link's data source run on it.
    bool ExecuteAction(TBasicAction* Action) override;
    bool UpdateAction(TBasicAction* Action) override;

private:
    std::unique_ptr<TcvEditDataLink> FDataLink;
    std::unique_ptr<TcvEditDBNotification> FNotification;
};

// Memo text goes to the field's AsString, past any OnSetText handler.
class TcvMemoEditDBDataDefinition : public TcvEditDBDataDefinition {
public:
    void SetValue(const Variant& Value) override;
};

// The locale's decimal separator is typed whatever the field says.
class TcvCurrencyEditDBDataDefinition : public TcvEditDBDataDefinition {
public:
    bool IsValidChar(char32_t Key) override;
};

// The lookup editor writes its key itself; the definition only reads.
class TcvDBLookupEditDBDataDefinition : public TcvEditDBDataDefinition {
public:
    // The editor is given once it is built; until then the base answers.
    void SetEditor(TcvInplaceLookupEdit* Editor) { FEditor = Editor; }

    // The editor's own alignment: the field holds a key, the editor shows a name.
    TAlignment GetAlignment() override;
    // Unassigned without a field.
    Variant GetValue() override;
    void SetValue(const Variant& Value) override { (void)Value; }

private:
    TcvInplaceLookupEdit* FEditor = nullptr; // not owned
};
