// Summary texts and the summary group collections. Values are 80-bit reals;
// the platform's float formatting works on doubles, which hold every total a
// grid shows to the digits its formats print.
#include "dbgrid/DBGridSummary.h"

#include "dbgrid/DBGrid.h"

#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "treelist/TreeListNode.h"
#include "treelist/cvTL.h"

namespace {

// Indexed by kind, cstSum .. cstAvg.
struct TSummaryDefaults {
    const char* GroupFormat;
    const char* FooterFormat;
    const char* GroupDatePrefix;
    const char* FooterDatePrefix;
};
constexpr TSummaryDefaults SummaryDefaults[] = {
    {"(SUM=0.00);(SUM=-0.00)", "0.00;-0.00", "(SUM=", ""},
    {"(MIN=0.00);(MIN=-0.00)", "MIN=0.00;MIN=-0.00", "(MIN=", "MIN="},
    {"(MAX=0.00);(MAX=-0.00)", "MAX=0.00;MAX=-0.00", "(MAX=", "MAX="},
    {"(COUNT=0)", "0", "", ""},
    {"(AVG=0.00);(AVG=-0.00)", "AVG=0.00;AVG=-0.00", "(AVG=", "AVG="},
};

const char* SInvalidGroupName = "Invalidate group name!";
const char* SDuplicateGroupName = "Invalidate group name: duplicate!";

std::string DateText(TFieldType FieldType, long double Value) {
    const TDateTime value = double(Value);
    switch (FieldType) {
    case ftDate:
        return DateToStr(value);
    case ftTime:
        return TimeToStr(value);
    default:
        return DateTimeToStr(value);
    }
}

} // namespace

namespace cvDBCtrl {

std::string FormatSummaryValue(TcvSummaryType Kind, const std::string& Format, TFieldType FieldType, bool IsFooter,
                               long double Value) {
    if (Kind == cstNone) return {};
    const TSummaryDefaults& defaults = SummaryDefaults[Kind - cstSum];
    const bool isDate = FieldType == ftDate || FieldType == ftTime || FieldType == ftDateTime;
    if (Kind != cstCount && isDate) {
        if (!Format.empty()) return Format + DateText(FieldType, Value);
        const char* prefix = IsFooter ? defaults.FooterDatePrefix : defaults.GroupDatePrefix;
        return prefix + DateText(FieldType, Value) + (IsFooter ? "" : ")");
    }
    if (!Format.empty()) return FormatFloat(Format, double(Value));
    return FormatFloat(IsFooter ? defaults.FooterFormat : defaults.GroupFormat, double(Value));
}

} // namespace cvDBCtrl

// ---- TcvDBGridSummaryItem ---------------------------------------------------

TcvDBGridSummaryItem::TcvDBGridSummaryItem(TCollection* Collection) : TCollectionItem(Collection) {}

void TcvDBGridSummaryItem::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBGridSummaryItem*>(Source);
    if (!source) return TCollectionItem::Assign(Source);
    TUpdateGuard<TCollection> update(Collection());
    SetColumnName(source->ColumnName());
    SetSummaryType(source->SummaryType());
    SetSummaryField(source->SummaryField());
    SetSummaryFormat(source->SummaryFormat());
}

template <typename T> void TcvDBGridSummaryItem::SetProperty(T& Field, const T& Value) {
    if (Field == Value) return;
    Field = Value;
    Changed(false);
}

void TcvDBGridSummaryItem::SetColumnName(const std::string& Value) {
    SetProperty(FColumnName, Value);
}

void TcvDBGridSummaryItem::SetSummaryType(TcvSummaryType Value) {
    SetProperty(FSummaryType, Value);
}

void TcvDBGridSummaryItem::SetSummaryField(const std::string& Value) {
    SetProperty(FSummaryField, Value);
}

void TcvDBGridSummaryItem::SetSummaryFormat(const std::string& Value) {
    SetProperty(FSummaryFormat, Value);
}

// ---- TcvDBGridSummaryItems --------------------------------------------------

TcvDBGridSummaryItems::TcvDBGridSummaryItems(TcvDBGridSummaryGroup* Group)
    : TCollection(CollectionItemClass<TcvDBGridSummaryItem>()), FGroup(Group) {}

TPersistent* TcvDBGridSummaryItems::Owner() const {
    return FGroup;
}

namespace {

bool GridLoading(const TCustomcvDBGrid* Grid) {
    return Grid->ComponentState().Contains(csLoading);
}

} // namespace

void TcvDBGridSummaryItems::Update(TCollectionItem*) {
    auto* groups = FGroup ? static_cast<TcvDBGridSummaryGroups*>(FGroup->Collection()) : nullptr;
    TCustomcvDBGrid* grid = groups ? groups->Grid() : nullptr;
    if (grid && !GridLoading(grid)) grid->LayoutChanged();
}

// ---- TcvDBGridSummaryGroup --------------------------------------------------

TcvDBGridSummaryGroup::TcvDBGridSummaryGroup(TCollection* Collection)
    : TCollectionItem(Collection), FSummaryItems(std::make_unique<TcvDBGridSummaryItems>(this)) {}

TcvDBGridSummaryGroup::~TcvDBGridSummaryGroup() = default;

void TcvDBGridSummaryGroup::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBGridSummaryGroup*>(Source);
    if (!source) return TCollectionItem::Assign(Source);
    TUpdateGuard<TCollection> update(Collection());
    SetBeginSummaryText(source->BeginSummaryText());
    SetEndSummaryText(source->EndSummaryText());
    SetDefaultGroup(source->DefaultGroup());
    SetSummaryItems(source->SummaryItems());
    SetName(source->Name());
}

void TcvDBGridSummaryGroup::SetDefaultGroup(bool Value) {
    if (Value && Collection())
        for (int i = 0; i < Collection()->Count(); ++i)
            static_cast<TcvDBGridSummaryGroup*>(Collection()->Items(i))->FDefaultGroup = false;
    FDefaultGroup = Value;
}

void TcvDBGridSummaryGroup::SetName(const std::string& Value) {
    if (Value.empty()) cvTL::RaiseTreeListError(SInvalidGroupName);
    if (Collection())
        for (int i = 0; i < Collection()->Count(); ++i) {
            auto* group = static_cast<TcvDBGridSummaryGroup*>(Collection()->Items(i));
            if (group != this && group->Name() == Value) cvTL::RaiseTreeListError(SDuplicateGroupName);
        }
    FName = Value;
    Changed(false);
}

// ---- TcvDBGridSummaryGroups -------------------------------------------------

TcvDBGridSummaryGroups::TcvDBGridSummaryGroups(TCustomcvDBGrid* Grid)
    : TCollection(CollectionItemClass<TcvDBGridSummaryGroup>()), FGrid(Grid) {}

TPersistent* TcvDBGridSummaryGroups::Owner() const {
    return FGrid;
}

void TcvDBGridSummaryGroups::Update(TCollectionItem*) {
    if (FGrid && !GridLoading(FGrid)) FGrid->SummaryGroupsChanged();
}

TcvDBGridSummaryGroup* TcvDBGridSummaryGroups::GetDefaultGroup() const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->DefaultGroup()) return Items(i);
    return nullptr;
}

// ---- Group nodes ------------------------------------------------------------

namespace cvDBGrid {

int CountLeafRows(const TcvTreeListNode* Node) {
    const int count = Node->Count();
    if (count == 0 || Node->Items(0)->Count() == 0) return count;
    int rows = 0;
    for (int i = 0; i < count; ++i)
        rows += CountLeafRows(Node->Items(i));
    return rows;
}

namespace {

// Node itself when it lies at Level, else the nodes at Level below it.
template <typename TAction> void ForNodesAtLevel(TcvTreeListNode* Node, int Level, const TAction& Action) {
    const int level = Node->Level();
    if (level == Level) {
        Action(static_cast<TcvDBGridNode*>(Node));
        return;
    }
    if (level > Level) return;
    for (int i = 0; i < Node->Count(); ++i)
        ForNodesAtLevel(Node->Items(i), Level, Action);
}

// A group without rows keeps its value: there is nothing to average over.
template <typename TValue> void Average(TValue& Value, const TcvDBGridNode* Node) {
    if (const int rows = CountLeafRows(Node)) Value /= rows;
}

double* SlotValue(TcvDBGridNode* Node, int Index) {
    std::vector<double>& slots = Node->ItemSummaryValues;
    return Index >= 0 && Index < int(slots.size()) ? &slots[Index] : nullptr;
}

} // namespace

void SetGroupCounts(TcvDBGridNode* Node, int Level) {
    ForNodesAtLevel(Node, Level, [](TcvDBGridNode* node) { node->GroupSummaryValue = CountLeafRows(node); });
}

void AverageGroupValues(TcvDBGridNode* Node, int Level) {
    ForNodesAtLevel(Node, Level, [](TcvDBGridNode* node) { Average(node->GroupSummaryValue, node); });
}

void SetSlotCounts(TcvDBGridNode* Node, int Level, int Slot) {
    ForNodesAtLevel(Node, Level, [Slot](TcvDBGridNode* node) {
        if (double* value = SlotValue(node, Slot)) *value = CountLeafRows(node);
    });
}

void AverageSlotValues(TcvDBGridNode* Node, int Level, int Slot) {
    ForNodesAtLevel(Node, Level, [Slot](TcvDBGridNode* node) {
        if (double* value = SlotValue(node, Slot)) Average(*value, node);
    });
}

} // namespace cvDBGrid
