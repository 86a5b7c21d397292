// Filter criteria: a tree of conditions joined by AND or OR, each optionally
// negated. From the tree come two texts (the display text of the filter
// status line and the expression for the dataset's Filter), a test of one
// row, and the finding and removing of one field's conditions. The model
// knows nothing of grids; TcvDBGridCriteria binds conditions to grid columns.
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/rtl/Variants.h"

#include <memory>
#include <string>
#include <vector>

class TStream;
class TCustomcvDBGrid;
class TcvDBTreeListColumn;
class TcvCriteria;
class TcvCriteriaItem;
class TcvCriteriaItemList;

// A comparison of a row value A with a condition value B. One shared,
// stateless instance per operator; a condition stores the operator's index.
class TcvAbstractOperator {
public:
    virtual ~TcvAbstractOperator() = default;
    virtual bool Compare(const Variant& A, const Variant& B) const = 0;
    virtual std::string GetText() const = 0;
};

// Operator indexes: "Is Null" (A is Null or an empty string; B unused), "=",
// ">", "<", ">=", "<=". The comparisons follow VarCompare, except that a Null
// or Unassigned operand satisfies none of them, as in the dataset's Filter.
inline constexpr Byte cvNullOperatorIndex = 0;
inline constexpr Byte cvEqualOperatorIndex = 1;
inline constexpr Byte cvGreaterOperatorIndex = 2;
inline constexpr Byte cvLessOperatorIndex = 3;
inline constexpr Byte cvGreaterEqualOperatorIndex = 4;
inline constexpr Byte cvLessEqualOperatorIndex = 5;
inline constexpr Byte cvOperatorCount = 6;

// The shared operator of Index; nullptr outside 0..cvOperatorCount-1.
const TcvAbstractOperator* cvFilterOperator(Byte Index);

// A node of the tree: a group (IsList) or a condition, owned by its parent group.
class TcvCustomCriteriaItem : public TObject {
public:
    explicit TcvCustomCriteriaItem(TcvCriteriaItemList* AParent) : FParent(AParent) {}

    // The node's result is inverted.
    bool Negated() const { return FNegated; }
    void SetNegated(bool Value) { FNegated = Value; }
    // nullptr for the root group.
    TcvCriteriaItemList* Parent() const { return FParent; }

    virtual bool IsList() const = 0;
    // The node in the criteria's stream form.
    virtual void WriteToStream(TStream* Stream) const = 0;

private:
    friend class TcvCriteriaItemList;
    TcvCriteriaItemList* FParent;
    bool FNegated = false;
};

// A group: its children joined by AND, or by OR with IsOr. An empty group
// accepts every row.
// Groups are made only by the criteria (its root) and by AddGroup, so every
// group belongs to a criteria.
class TcvCriteriaItemList : public TcvCustomCriteriaItem {
public:
    ~TcvCriteriaItemList() override;

    bool IsList() const override { return true; }
    void WriteToStream(TStream* Stream) const override;

    bool IsOr() const { return FIsOr; }
    void SetIsOr(bool Value) { FIsOr = Value; }

    // Appends a condition of the criteria's item class; Negated starts False.
    // OperatorIndex is one of the cv...OperatorIndex values.
    TcvCriteriaItem* AddCondition(const std::string& FieldName, Byte OperatorIndex, const std::string& DisplayText,
                                  const Variant& Value);
    TcvCriteriaItemList* AddGroup(bool AIsOr);
    // Frees every child.
    void Clear();
    // Frees Item, a child of this group.
    void Remove(TcvCustomCriteriaItem* Item);
    int Count() const { return int(FItems.size()); }
    // nullptr outside 0..Count-1.
    TcvCustomCriteriaItem* Items(int Index) const;
    // The criteria the tree belongs to, found at its root.
    TcvCriteria* Criteria() const;

private:
    friend class TcvCriteria;
    TcvCriteriaItemList(TcvCriteriaItemList* AParent, bool AIsOr);
    // The root group of ACriteria.
    explicit TcvCriteriaItemList(TcvCriteria* ACriteria);
    std::unique_ptr<TcvCustomCriteriaItem> Extract(TcvCustomCriteriaItem* Item);
    void Append(std::unique_ptr<TcvCustomCriteriaItem> Item);

    TcvCriteria* FCriteria = nullptr;
    bool FIsOr = false;
    std::vector<std::unique_ptr<TcvCustomCriteriaItem>> FItems;
};

// A condition: FieldName, tested by the operator of OperatorIndex against
// Value; DisplayText is the value as the user saw it.
class TcvCriteriaItem : public TcvCustomCriteriaItem {
public:
    using TcvCustomCriteriaItem::TcvCustomCriteriaItem;

    bool IsList() const override { return false; }
    void WriteToStream(TStream* Stream) const override;

    const std::string& DisplayText() const { return FDisplayText; }
    void SetDisplayText(const std::string& Value) { FDisplayText = Value; }
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value) { FFieldName = Value; }
    Byte OperatorIndex() const { return FOperatorIndex; }
    // Clamped to the operator table.
    void SetOperatorIndex(Byte Value);
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& Value) { FValue = Value; }
    const TcvAbstractOperator& Operator() const { return *cvFilterOperator(FOperatorIndex); }

    // The field as the display text names it: FieldName here.
    virtual std::string GetFieldCaption() const { return FFieldName; }
    // The tested field's value in Row.
    virtual Variant GetFieldValue(TObject* Row) const = 0;
    // The field as the filter expression names it.
    virtual std::string GetFilterFieldName() const = 0;

private:
    std::string FDisplayText;
    std::string FFieldName;
    Byte FOperatorIndex = cvEqualOperatorIndex;
    Variant FValue;
};

// Makes the conditions of a criteria flavour.
using TcvCriteriaItemClass = std::unique_ptr<TcvCriteriaItem> (*)(TcvCriteriaItemList* Parent);

class TcvCriteria : public TObject {
public:
    TcvCriteria();
    ~TcvCriteria() override;
    TcvCriteria(const TcvCriteria&) = delete;
    TcvCriteria& operator=(const TcvCriteria&) = delete;

    TcvCriteriaItemList* Root() const { return FRoot.get(); }

    // Frees every condition; the root becomes a plain AND group.
    void Clear();
    // Depth first in list order: the first condition on FieldName (compared
    // case-sensitively), or nullptr.
    TcvCriteriaItem* FindItem(const std::string& FieldName) const;
    // Frees every condition on FieldName. A group this leaves empty goes; a
    // group left with one child gives way to it (the child moves to the end
    // of the group's parent and takes over the group's negation). The root
    // stays.
    void RemoveItems(const std::string& FieldName);
    // "(Qty = 5) AND (NOT ((B Is Null) OR (C > 'x')))": the display text
    // names fields by GetFieldCaption and values by DisplayText; the filter
    // text names fields by GetFilterFieldName and writes strings and dates
    // quoted, a quote inside doubled. Empty criteria give empty texts.
    std::string GetDisplayText() const;
    std::string GetFilterText() const;
    // Whether Row passes; empty criteria accept every row.
    bool Evaluate(TObject* Row) const;

    // The stream form: the "Criteria" block. ReadData clears the criteria
    // first; a damaged block raises EReadError "Stream read error" and keeps
    // the items read before the damage.
    void WriteData(TStream* Stream) const;
    void ReadData(TStream* Stream);

    virtual TcvCriteriaItemClass GetItemClass() const = 0;
    // Applied to the row value and the condition value before they meet.
    virtual Variant PrepareValue(const Variant& Value) const { return Value; }
    // Called after the criteria were replaced.
    virtual void RefreshItems() {}

private:
    std::unique_ptr<TcvCriteriaItemList> FRoot;
};

// A condition bound to a grid column (nullptr until RefreshItems binds it).
class TcvDBGridCriteriaItem : public TcvCriteriaItem {
public:
    using TcvCriteriaItem::TcvCriteriaItem;

    TcvDBTreeListColumn* Column() const { return FColumn; }
    void SetColumn(TcvDBTreeListColumn* Value) { FColumn = Value; }

    // The column's caption; empty without a column.
    std::string GetFieldCaption() const override;
    // The column's value of the row node; Null without a column.
    Variant GetFieldValue(TObject* Row) const override;
    // The field's Origin when set; otherwise its name (for a lookup field the
    // name of its key field, empty when there is none), bracketed "[...]"
    // when it is not an identifier. Empty without a column or field.
    std::string GetFilterFieldName() const override;

private:
    TcvDBTreeListColumn* FColumn = nullptr;
};

// The criteria of a grid's filter.
class TcvDBGridCriteria : public TcvCriteria {
public:
    explicit TcvDBGridCriteria(TCustomcvDBGrid* AGrid) : FGrid(AGrid) {}

    TCustomcvDBGrid* Grid() const { return FGrid; }
    // Strings meet upper-cased.
    bool CaseInsensitive() const { return FCaseInsensitive; }
    void SetCaseInsensitive(bool Value) { FCaseInsensitive = Value; }

    // A condition on Column's field, bound to Column, added to List (the root
    // when nullptr).
    TcvDBGridCriteriaItem* AddCondition(TcvCriteriaItemList* List, TcvDBTreeListColumn* Column, bool Negated,
                                        const std::string& DisplayText, const Variant& Value, Byte OperatorIndex);
    TcvDBGridCriteriaItem* FindColumnItem(const TcvDBTreeListColumn* Column) const;
    void RemoveColumnItems(const TcvDBTreeListColumn* Column);
    // The column has a condition that is not a plain "=" directly in the root.
    bool IsCustomFilter(const TcvDBTreeListColumn* Column) const;

    TcvCriteriaItemClass GetItemClass() const override;
    // Currency becomes a double; strings are upper-cased when CaseInsensitive.
    Variant PrepareValue(const Variant& Value) const override;
    // Binds every condition to the grid's column of its field name (nullptr
    // when none).
    void RefreshItems() override;

private:
    TCustomcvDBGrid* FGrid;
    bool FCaseInsensitive = false;
};
