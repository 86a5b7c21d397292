// The criteria tree, its texts and its evaluation, and the grid flavour that
// reads row values through the grid's columns. The stream form lives in
// CriteriaStream.cpp.
#include "dbgrid/FilterCriteria.h"

#include "dbgrid/DBGrid.h"

#include <algorithm>

// Operators ---------------------------------------------------------------------------

namespace {

// A missing value satisfies no comparison, as in the dataset's Filter, so the
// grid's own filtering and the dataset's agree.
bool Comparable(const Variant& A, const Variant& B) {
    return !A.IsNull() && !A.IsEmpty() && !B.IsNull() && !B.IsEmpty();
}

} // namespace

class TcvNullOperator final : public TcvAbstractOperator {
public:
    bool Compare(const Variant& A, const Variant&) const override {
        return A.IsNull() || (VarIsStr(A) && A.AsString().empty());
    }
    std::string GetText() const override { return "Is Null"; }
};

class TcvEqualOperator final : public TcvAbstractOperator {
public:
    bool Compare(const Variant& A, const Variant& B) const override {
        return Comparable(A, B) && VarCompare(A, B) == 0;
    }
    std::string GetText() const override { return "="; }
};

class TcvGreaterOperator final : public TcvAbstractOperator {
public:
    bool Compare(const Variant& A, const Variant& B) const override { return Comparable(A, B) && VarCompare(A, B) > 0; }
    std::string GetText() const override { return ">"; }
};

class TcvLessOperator final : public TcvAbstractOperator {
public:
    bool Compare(const Variant& A, const Variant& B) const override { return Comparable(A, B) && VarCompare(A, B) < 0; }
    std::string GetText() const override { return "<"; }
};

class TcvGreaterEqualOperator final : public TcvAbstractOperator {
public:
    bool Compare(const Variant& A, const Variant& B) const override {
        return Comparable(A, B) && VarCompare(A, B) >= 0;
    }
    std::string GetText() const override { return ">="; }
};

class TcvLessEqualOperator final : public TcvAbstractOperator {
public:
    bool Compare(const Variant& A, const Variant& B) const override {
        return Comparable(A, B) && VarCompare(A, B) <= 0;
    }
    std::string GetText() const override { return "<="; }
};

const TcvAbstractOperator* cvFilterOperator(Byte Index) {
    // Made once at start-up, in index order; stateless, so shared by every condition.
    static const TcvNullOperator nullOperator;
    static const TcvEqualOperator equalOperator;
    static const TcvGreaterOperator greaterOperator;
    static const TcvLessOperator lessOperator;
    static const TcvGreaterEqualOperator greaterEqualOperator;
    static const TcvLessEqualOperator lessEqualOperator;
    static const TcvAbstractOperator* const operators[cvOperatorCount] = {
        &nullOperator, &equalOperator, &greaterOperator, &lessOperator, &greaterEqualOperator, &lessEqualOperator};
    return Index < cvOperatorCount ? operators[Index] : nullptr;
}

// Groups --------------------------------------------------------------------------------

TcvCriteriaItemList::TcvCriteriaItemList(TcvCriteriaItemList* AParent, bool AIsOr)
    : TcvCustomCriteriaItem(AParent), FIsOr(AIsOr) {}

TcvCriteriaItemList::TcvCriteriaItemList(TcvCriteria* ACriteria)
    : TcvCustomCriteriaItem(nullptr), FCriteria(ACriteria) {}

TcvCriteriaItemList::~TcvCriteriaItemList() = default;

TcvCriteriaItem* TcvCriteriaItemList::AddCondition(const std::string& FieldName, Byte OperatorIndex,
                                                   const std::string& DisplayText, const Variant& Value) {
    std::unique_ptr<TcvCriteriaItem> item = Criteria()->GetItemClass()(this);
    item->SetFieldName(FieldName);
    item->SetOperatorIndex(OperatorIndex);
    item->SetDisplayText(DisplayText);
    item->SetValue(Value);
    TcvCriteriaItem* result = item.get();
    Append(std::move(item));
    return result;
}

TcvCriteriaItemList* TcvCriteriaItemList::AddGroup(bool AIsOr) {
    std::unique_ptr<TcvCriteriaItemList> group(new TcvCriteriaItemList(this, AIsOr));
    TcvCriteriaItemList* result = group.get();
    Append(std::move(group));
    return result;
}

void TcvCriteriaItemList::Clear() {
    FItems.clear();
}

void TcvCriteriaItemList::Remove(TcvCustomCriteriaItem* Item) {
    Extract(Item);
}

TcvCustomCriteriaItem* TcvCriteriaItemList::Items(int Index) const {
    return Index >= 0 && Index < Count() ? FItems[size_t(Index)].get() : nullptr;
}

TcvCriteria* TcvCriteriaItemList::Criteria() const {
    const TcvCriteriaItemList* list = this;
    while (list->Parent())
        list = list->Parent();
    return list->FCriteria;
}

std::unique_ptr<TcvCustomCriteriaItem> TcvCriteriaItemList::Extract(TcvCustomCriteriaItem* Item) {
    auto it = std::find_if(FItems.begin(), FItems.end(), [Item](const auto& child) { return child.get() == Item; });
    if (it == FItems.end()) return nullptr;
    std::unique_ptr<TcvCustomCriteriaItem> result = std::move(*it);
    FItems.erase(it);
    return result;
}

void TcvCriteriaItemList::Append(std::unique_ptr<TcvCustomCriteriaItem> Item) {
    Item->FParent = this;
    FItems.push_back(std::move(Item));
}

// Conditions ------------------------------------------------------------------------

void TcvCriteriaItem::SetOperatorIndex(Byte Value) {
    FOperatorIndex = std::min<Byte>(Value, cvOperatorCount - 1);
}

// Criteria --------------------------------------------------------------------------

TcvCriteria::TcvCriteria() : FRoot(new TcvCriteriaItemList(this)) {}

TcvCriteria::~TcvCriteria() = default;

void TcvCriteria::Clear() {
    FRoot->Clear();
    FRoot->SetNegated(false);
    FRoot->SetIsOr(false);
}

namespace {

// Every condition below List, depth first in list order.
template <class Visit> void ForEachCondition(const TcvCriteriaItemList& List, const Visit& Visitor) {
    for (int i = 0; i < List.Count(); ++i) {
        TcvCustomCriteriaItem* item = List.Items(i);
        if (item->IsList())
            ForEachCondition(static_cast<const TcvCriteriaItemList&>(*item), Visitor);
        else
            Visitor(static_cast<TcvCriteriaItem&>(*item));
    }
}

// The filter form of a value: strings and dates quoted, a quote inside doubled
// so that the dataset reads the value back as it was typed.
std::string FilterValueText(const Variant& Value) {
    const std::string text = VarToStr(Value);
    return VarIsStr(Value) || Value.VarType() == varDate ? QuotedStr(text) : text;
}

std::string GroupText(const TcvCriteriaItemList& List, bool DisplayForm) {
    std::string s;
    for (int i = 0; i < List.Count(); ++i) {
        const TcvCustomCriteriaItem* item = List.Items(i);
        if (item->IsList()) {
            s += "(" + GroupText(static_cast<const TcvCriteriaItemList&>(*item), DisplayForm) + ")";
        } else {
            const auto& condition = static_cast<const TcvCriteriaItem&>(*item);
            std::string t = (DisplayForm ? condition.GetFieldCaption() : condition.GetFilterFieldName()) + " " +
                            condition.Operator().GetText();
            if (condition.OperatorIndex() != cvNullOperatorIndex)
                t += " " + (DisplayForm ? condition.DisplayText() : FilterValueText(condition.Value()));
            if (condition.Negated()) t = "NOT (" + t + ")";
            s += "(" + t + ")";
        }
        if (i != List.Count() - 1) s += List.IsOr() ? " OR " : " AND ";
    }
    return List.Negated() ? "NOT (" + s + ")" : s;
}

bool Passes(const TcvCriteria& Criteria, const TcvCustomCriteriaItem& Item, TObject* Row) {
    bool result = true;
    if (Item.IsList()) {
        const auto& list = static_cast<const TcvCriteriaItemList&>(Item);
        for (int i = 0; i < list.Count(); ++i) {
            const bool child = Passes(Criteria, *list.Items(i), Row);
            result = i == 0 ? child : list.IsOr() ? result || child : result && child;
        }
    } else {
        const auto& condition = static_cast<const TcvCriteriaItem&>(Item);
        result = condition.Operator().Compare(Criteria.PrepareValue(condition.GetFieldValue(Row)),
                                              Criteria.PrepareValue(condition.Value()));
    }
    return result != Item.Negated();
}

} // namespace

TcvCriteriaItem* TcvCriteria::FindItem(const std::string& FieldName) const {
    TcvCriteriaItem* found = nullptr;
    ForEachCondition(*FRoot, [&](TcvCriteriaItem& item) {
        if (!found && item.FieldName() == FieldName) found = &item;
    });
    return found;
}

void TcvCriteria::RemoveItems(const std::string& FieldName) {
    while (TcvCriteriaItem* item = FindItem(FieldName)) {
        TcvCriteriaItemList* list = item->Parent();
        list->Remove(item);
        // Tidy upwards: an emptied group goes, which may leave its own parent
        // empty or with one child in turn.
        while (list != FRoot.get() && list->Count() == 0) {
            TcvCriteriaItemList* parent = list->Parent();
            parent->Remove(list);
            list = parent;
        }
        if (list != FRoot.get() && list->Count() == 1) {
            std::unique_ptr<TcvCustomCriteriaItem> child = list->Extract(list->Items(0));
            // NOT (A OR B) without B is NOT (A).
            child->SetNegated(child->Negated() != list->Negated());
            TcvCriteriaItemList* parent = list->Parent();
            parent->Remove(list);
            parent->Append(std::move(child));
        }
    }
}

std::string TcvCriteria::GetDisplayText() const {
    return GroupText(*FRoot, true);
}

std::string TcvCriteria::GetFilterText() const {
    return GroupText(*FRoot, false);
}

bool TcvCriteria::Evaluate(TObject* Row) const {
    return Passes(*this, *FRoot, Row);
}

// The grid flavour ------------------------------------------------------------------

std::string TcvDBGridCriteriaItem::GetFieldCaption() const {
    return FColumn ? FColumn->Caption() : std::string();
}

Variant TcvDBGridCriteriaItem::GetFieldValue(TObject* Row) const {
    Variant value = Null();
    if (FColumn) FColumn->GetNodeValue(dynamic_cast<TcvTreeListNode*>(Row), value);
    return value;
}

std::string TcvDBGridCriteriaItem::GetFilterFieldName() const {
    TField* field = FColumn ? FColumn->Field() : nullptr;
    if (!field) return {};
    if (!field->Origin().empty()) return field->Origin();
    std::string name = field->FieldName();
    if (field->Lookup()) {
        TField* keyField = field->DataSet() ? field->DataSet()->FindField(field->KeyFields()) : nullptr;
        name = keyField ? keyField->FieldName() : std::string();
    }
    return name.empty() || IsValidIdent(name) ? name : "[" + name + "]";
}

TcvDBGridCriteriaItem* TcvDBGridCriteria::AddCondition(TcvCriteriaItemList* List, TcvDBTreeListColumn* Column,
                                                       bool Negated, const std::string& DisplayText,
                                                       const Variant& Value, Byte OperatorIndex) {
    auto* item = static_cast<TcvDBGridCriteriaItem*>(
        (List ? List : Root())->AddCondition(Column->FieldName(), OperatorIndex, DisplayText, Value));
    item->SetNegated(Negated);
    item->SetColumn(Column);
    return item;
}

TcvDBGridCriteriaItem* TcvDBGridCriteria::FindColumnItem(const TcvDBTreeListColumn* Column) const {
    return static_cast<TcvDBGridCriteriaItem*>(FindItem(Column->FieldName()));
}

void TcvDBGridCriteria::RemoveColumnItems(const TcvDBTreeListColumn* Column) {
    RemoveItems(Column->FieldName());
}

bool TcvDBGridCriteria::IsCustomFilter(const TcvDBTreeListColumn* Column) const {
    bool custom = false;
    ForEachCondition(*Root(), [&](const TcvCriteriaItem& item) {
        if (item.FieldName() == Column->FieldName())
            custom = custom || item.Parent() != Root() || item.OperatorIndex() != cvEqualOperatorIndex;
    });
    return custom;
}

TcvCriteriaItemClass TcvDBGridCriteria::GetItemClass() const {
    return [](TcvCriteriaItemList* Parent) -> std::unique_ptr<TcvCriteriaItem> {
        return std::make_unique<TcvDBGridCriteriaItem>(Parent);
    };
}

Variant TcvDBGridCriteria::PrepareValue(const Variant& Value) const {
    if (Value.VarType() == varCurrency) return Variant(Value.AsFloat());
    if (FCaseInsensitive && VarIsStr(Value)) return Variant(AnsiUpperCase(Value.AsString()));
    return Value;
}

void TcvDBGridCriteria::RefreshItems() {
    ForEachCondition(*Root(), [this](TcvCriteriaItem& item) {
        TcvDBTreeListColumn* column = nullptr;
        for (int i = 0; FGrid && i < FGrid->ColumnCount() && !column; ++i) {
            TcvDBTreeListColumn* candidate = FGrid->DBColumns(i);
            if (candidate && candidate->FieldName() == item.FieldName()) column = candidate;
        }
        static_cast<TcvDBGridCriteriaItem&>(item).SetColumn(column);
    });
}
