// TcvDBTreeListColumn: the base of every data-aware column. It binds a
// tree-list column to a dataset field by name and takes its defaults
// (caption, alignment, width, maximum length, read-only state) from the
// field; it carries the grouping and summary settings and the hooks the
// filter uses. TcvDBTreeListMaskColumn adds an edit mask taken from the
// field unless set. Columns are made through their class objects
// (TcvDBTreeListColumnClass), which the field-type registries hold.
#pragma once

#include "dbgrid/DBGridSummary.h"
#include "editors/MaskEdit.h"
#include "treelist/TreeListColumns.h"

#include <functional>
#include <memory>
#include <string>

class TCustomcvDBTreeListControl;

class TcvDBTreeListColumn;

using TcvDrawSummaryFooterEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, std::string& AText, TColor& AColor,
                       TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
// Sender: the column; Text: the cell text of the node, which the handler may change.
using TcvColumnGetTextEvent = std::function<void(TObject* Sender, TcvTreeListNode* Node, std::string& Text)>;

// Bit n set: the filter dialog's operator code n is allowed (codes 0..7).
using TcvFilterOperatorCodes = Byte;
inline constexpr TcvFilterOperatorCodes cvAllFilterOperators = 0xFF;

// A column class: one object per class, making columns of it.
class TcvDBTreeListColumnClass {
public:
    virtual ~TcvDBTreeListColumnClass() = default;
    virtual TcvDBTreeListColumn* CreateColumn(TComponent* AOwner) const = 0;
};

// The class object of column class TColumn: TcvColumnClassOf<T>::Instance().
template <class TColumn> class TcvColumnClassOf final : public TcvDBTreeListColumnClass {
public:
    static const TcvColumnClassOf& Instance() {
        static const TcvColumnClassOf instance;
        return instance;
    }
    TcvDBTreeListColumn* CreateColumn(TComponent* AOwner) const override { return new TColumn(AOwner); }
};

// The filter value editor of a column without its own: a mask editor that
// acts as a standalone control.
class TCustomcvFilterEdit : public TcvInplaceMaskEdit {
public:
    explicit TCustomcvFilterEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceMaskEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

// The mask editor of the data-aware columns.
class TcvInplaceDBTreeListMaskEdit : public TcvInplaceMaskEdit {
public:
    explicit TcvInplaceDBTreeListMaskEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceMaskEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvDBTreeListColumn : public TcvTreeListColumn {
public:
    // GroupIndex starts at -1.
    explicit TcvDBTreeListColumn(TComponent* AOwner);
    // Unless the control is going too: a grouped column leaves the grouping
    // and the summary items that name it forget it.
    ~TcvDBTreeListColumn() override;

    // The data-aware control this column belongs to; nullptr when none.
    TCustomcvDBTreeListControl* DBTreeList() const;
    // The bound dataset field; nullptr when unbound.
    TField* Field() const { return FField; }

    // Overrides of the tree-list column.
    // The field's alignment, caption (display label), size (string fields),
    // ReadOnly; FieldName and left when unbound.
    TAlignment GetDefaultAlignment() const override;
    std::string GetDefaultCaption() const override;
    int GetDefaultMaxLength() const override;
    bool GetDefaultReadOnly() const override;
    // 64 without a control; else the larger of the caption's width + 6 in
    // the header font and the field's DisplayWidth in digits
    // ((width of "0" - overhang) x DisplayWidth + overhang + 4).
    int GetDefaultWidth() const override;
    // The inherited defaults, DisableGrouping False, SummaryGroupName empty.
    void RestoreDefaults() override;
    bool HasCustomDrawCell() const override;
    // OnCustomDraw; the inherited drawing unless it set ADone.
    void DoCustomDrawCell(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, bool ASelected, bool AFocused,
                          bool ANewItemRow, std::string& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment,
                          bool& ADone) override;
    // The bound field's display text of the current record; empty when unbound.
    std::string GetDisplayText(TcvTreeListNode* Node) const override;
    // The display text follows from the field's value alone (the field has
    // no OnGetText), so a loaded row keeps only the value and the text is
    // made from it whenever the cell shows.
    virtual bool TextFollowsValue() const;
    // The text GetDisplayText gives for a record whose field holds Value;
    // empty when unbound.
    virtual std::string GetStoredDisplayText(TcvTreeListNode* Node, const Variant& Value) const;
    // With DefaultFields and an active link the bound field moves to the
    // field position of the target map entry first.
    void SetIndex(int Value) override;
    // Summary items that refer to the column by name follow the rename.
    void SetName(const std::string& Value) override;
    // Inside one update of the control: the inherited values, then
    // DisableGrouping, FieldName, SummaryGroupName.
    void Assign(TPersistent* Source) override;

    // Virtual operations introduced here, in slot order.
    // Binds to the field of that name when the control has a dataset and is
    // not loading; reports the change (ColumnFieldChanged on a new name).
    virtual void SetFieldName(const std::string& Value);
    virtual bool IsPictureColumn() const { return false; }
    // From the current record: the display text as the node's cell text and
    // the node's value record (the field's value and, for a lookup field,
    // its key field's value).
    virtual void LoadNodeValue(TcvTreeListNode* Node);
    // An editor of GetFilterEditClass owned by Owner, prepared by InitFilterEdit.
    virtual TcvInplaceEdit* CreateFilterEdit(TComponent* Owner);
    virtual const TcvInplaceEditClass& GetFilterEditClass() const;
    // DisplayText := the editor's text; Value := that text as a string.
    virtual void GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& DisplayText);
    // The editor's text := the value as text (empty for Null).
    virtual void SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value);
    virtual TcvFilterOperatorCodes GetFilterOperators() const { return cvAllFilterOperators; }
    // The node's value for this column.
    virtual void GetNodeValue(TcvTreeListNode* Node, Variant& Value) const;
    virtual std::string GetNodeDisplayText(TcvTreeListNode* Node) const;
    virtual std::string ConvertFilterText(const std::string& Text) const { return Text; }
    // Empty for cstNone or an unassigned footer; else the footer value
    // formatted by its kind.
    virtual std::string GetSummaryFooterText() const;
    virtual std::string GetValueText(const Variant& Value) const;
    // By the field's type: varString (also Boolean and the unlisted types),
    // varSmallint, varInteger, varDouble, varCurrency, varDate; varEmpty
    // (no conversion) when unbound.
    virtual TVarType GetFilterValueType() const;
    virtual bool CanEditValue() const { return false; }
    // The editor's value equals the field's current value (a string against
    // the field's text).
    virtual bool IsValueCurrent(const Variant& Value) const;
    // The column's editor set-up, then ReadOnly False; a text editor loses
    // its change and validation handlers.
    virtual void InitFilterEdit(TcvInplaceEdit* Editor);
    // The bound field's character test with an active link; False otherwise.
    virtual bool IsValidEditChar(char32_t Key) const;
    // ColumnFieldChanged for this column (nil for all when All), unless the
    // control is loading or its link inactive.
    virtual void NotifyFieldChanged(bool All);

    // Properties.
    bool DisableGrouping() const { return FDisableGrouping; }
    void SetDisableGrouping(bool Value);
    const std::string& FieldName() const { return FFieldName; }
    // -1: not grouped. Below -1 is ignored; the control decides otherwise.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);

    // Summaries.
    TcvSummaryType SummaryType() const { return FSummaryType; }
    // cstNone turns SortBySummary off.
    void SetSummaryType(TcvSummaryType Value);
    const std::string& SummaryField() const { return FSummaryField; }
    void SetSummaryField(const std::string& Value) { FSummaryField = Value; }
    const std::string& SummaryFormat() const { return FSummaryFormat; }
    void SetSummaryFormat(const std::string& Value) { FSummaryFormat = Value; }
    // Only while SummaryType is not cstNone.
    bool SortBySummary() const { return FSortBySummary && FSummaryType != cstNone; }
    void SetSortBySummary(bool Value);
    const std::string& SummaryGroupName() const { return FSummaryGroupName; }
    void SetSummaryGroupName(const std::string& Value) { FSummaryGroupName = Value; }
    TcvSummaryType SummaryFooterType() const { return FSummaryFooterType; }
    void SetSummaryFooterType(TcvSummaryType Value);
    const std::string& SummaryFooterField() const { return FSummaryFooterField; }
    void SetSummaryFooterField(const std::string& Value) { FSummaryFooterField = Value; }
    const std::string& SummaryFooterFormat() const { return FSummaryFooterFormat; }
    void SetSummaryFooterFormat(const std::string& Value) { FSummaryFooterFormat = Value; }
    // The field the footer sums: SummaryFooterField's, or FieldName's when
    // that is empty; bound by the control's ResetSummaries.
    TField* FooterField() const { return FFooterField; }
    void BindFooterField();
    // Until a record (or a finished count) gives the footer a value, its
    // text is empty: an empty grid shows no minimum or average of nothing.
    long double FooterValue() const { return FFooterValue; }
    bool FooterAssigned() const { return FFooterAssigned; }
    void SetFooterValue(long double Value) {
        FFooterValue = Value;
        FFooterAssigned = true;
    }
    void ResetFooterValue() {
        FFooterValue = 0;
        FFooterAssigned = false;
    }

    TcvSummaryEvent OnSummary;
    TcvSummaryEvent OnSummaryFooter;
    TcvColumnGetTextEvent OnGetText;
    TcvTLCustomDrawCell OnCustomDraw;
    TcvTLCustomDrawHeader OnCustomDrawHeader;
    TcvDrawSummaryFooterEvent OnDrawSummaryFooter;

private:
    friend class TCustomcvDBTreeListControl;
    // The control re-binds (or unbinds) the field directly.
    void SetField(TField* Value) { FField = Value; }
    // The dataset the column binds in, or nullptr.
    TDataSet* DataSet() const;

    bool FDisableGrouping = false;
    std::string FFieldName;
    TcvSummaryType FSummaryType = cstNone;
    std::string FSummaryFormat;
    bool FSortBySummary = false;
    std::string FSummaryGroupName;
    TcvSummaryType FSummaryFooterType = cstNone;
    std::string FSummaryFooterFormat;
    TField* FField = nullptr;
    // The last default width with what it was measured from: measuring
    // shapes text, and the scroll bars ask for every width at each move.
    struct TMeasuredWidth;
    mutable std::unique_ptr<TMeasuredWidth> FMeasuredWidth;
    int FGroupIndex = -1;
    TField* FFooterField = nullptr;
    long double FFooterValue = 0;
    bool FFooterAssigned = false;
    std::string FSummaryFooterField;
    std::string FSummaryField;
};

class TcvDBTreeListMaskColumn : public TcvDBTreeListColumn {
public:
    using TcvDBTreeListColumn::TcvDBTreeListColumn;

    // The mask set explicitly, else the bound field's (empty when unbound).
    std::string EditMask() const;
    // On a change the mask is stored and marked as set.
    void SetEditMask(const std::string& Value);
    // Stored in a form only when set and different from the field's.
    bool IsEditMaskStored() const;
    bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
    void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }

    // Also the effective EditMask and IgnoreMaskBlank.
    void Assign(TPersistent* Source) override;
    // The inherited defaults; the field's mask through the setter, unmarked;
    // IgnoreMaskBlank False.
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    // A mask editor also gets EditMask and IgnoreMaskBlank.
    void InitEditor(TcvInplaceEdit* Editor) override;
    // With a field, the editor edits the field's text.
    void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    // With a field, the editor's text goes to the field's Text.
    void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    // A string is formatted with the edit mask before it meets the field's text.
    bool IsValueCurrent(const Variant& Value) const override;

private:
    bool FEditMaskAssigned = false;
    std::string FEditMask;
    bool FIgnoreMaskBlank = false;
};
