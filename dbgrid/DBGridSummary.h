// Summaries: their kinds, the text of one summary value with the default
// formats of group rows and of the footer, the grid's named summary groups
// with their items, and the walks that turn group sums into counts and
// averages. The calculation that visits the rows belongs to grouping.
#pragma once

#include "platform/data/DB.h"
#include "platform/rtl/Collection.h"

#include <functional>
#include <memory>
#include <string>

class TCustomcvDBGrid;
class TcvDBGridNode;
class TcvTreeListNode;

enum TcvSummaryType { cstNone, cstSum, cstMin, cstMax, cstCount, cstAvg };

// A column's or an item's hook on the value one record adds to a summary.
using TcvSummaryEvent = std::function<void(TObject* Sender, TDataSet* DataSet, long double& Value)>;

// The grid's hook on the value one record adds to a group node's summary.
using TcvDBGridSummaryEvent =
    std::function<void(TObject* Sender, TcvTreeListNode* Node, long double& Value, TDataSet* DataSet)>;

namespace cvDBCtrl {

// The text of one summary value. An empty Format takes the default of the
// group row or the footer; date, time and date-time fields show Value as a
// date or time after a prefix (Format itself when given). cstNone gives "".
std::string FormatSummaryValue(TcvSummaryType Kind, const std::string& Format, TFieldType FieldType, bool IsFooter,
                               long double Value);

} // namespace cvDBCtrl

class TcvDBGridSummaryItem : public TCollectionItem {
public:
    explicit TcvDBGridSummaryItem(TCollection* Collection);

    // Copies the four properties in one update of the collection.
    void Assign(TPersistent* Source) override;

    // The component name of the column the item sums.
    const std::string& ColumnName() const { return FColumnName; }
    void SetColumnName(const std::string& Value);
    TcvSummaryType SummaryType() const { return FSummaryType; }
    void SetSummaryType(TcvSummaryType Value);
    // Empty: the column's own field.
    const std::string& SummaryField() const { return FSummaryField; }
    void SetSummaryField(const std::string& Value);
    // Empty: the default format of the kind.
    const std::string& SummaryFormat() const { return FSummaryFormat; }
    void SetSummaryFormat(const std::string& Value);

    TcvSummaryEvent OnSummary;

private:
    // Stores a changed value and reports the item as changed.
    template <typename T> void SetProperty(T& Field, const T& Value);

    std::string FColumnName;
    TcvSummaryType FSummaryType = cstNone;
    std::string FSummaryField;
    std::string FSummaryFormat;
};

class TcvDBGridSummaryGroup;

// A group's items. A change of an item makes the grid lay out again, unless
// the grid is loading.
class TcvDBGridSummaryItems : public TCollection {
public:
    explicit TcvDBGridSummaryItems(TcvDBGridSummaryGroup* Group);

    TcvDBGridSummaryItem* Add() { return static_cast<TcvDBGridSummaryItem*>(TCollection::Add()); }
    TcvDBGridSummaryItem* Items(int Index) const {
        return static_cast<TcvDBGridSummaryItem*>(TCollection::Items(Index));
    }
    TPersistent* Owner() const override;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TcvDBGridSummaryGroup* FGroup;
};

class TcvDBGridSummaryGroup : public TCollectionItem {
public:
    explicit TcvDBGridSummaryGroup(TCollection* Collection);
    ~TcvDBGridSummaryGroup() override;

    // Copies the texts, the default mark, the items and then the name
    // (through its checks) in one update of the collection.
    void Assign(TPersistent* Source) override;

    // Written before and after the group's summaries in a group row.
    const std::string& BeginSummaryText() const { return FBeginSummaryText; }
    void SetBeginSummaryText(const std::string& Value) { FBeginSummaryText = Value; }
    const std::string& EndSummaryText() const { return FEndSummaryText; }
    void SetEndSummaryText(const std::string& Value) { FEndSummaryText = Value; }
    // Setting it takes the mark from every other group of the collection.
    bool DefaultGroup() const { return FDefaultGroup; }
    void SetDefaultGroup(bool Value);
    TcvDBGridSummaryItems* SummaryItems() const { return FSummaryItems.get(); }
    void SetSummaryItems(TcvDBGridSummaryItems* Value) { FSummaryItems->Assign(Value); }
    // Raises EInvalidcvTreeListOperation "Invalidate group name!" for an empty
    // name and "Invalidate group name: duplicate!" for another group's name
    // (case-sensitive); the old name then stays.
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);

private:
    std::string FBeginSummaryText;
    std::string FEndSummaryText;
    bool FDefaultGroup = false;
    std::unique_ptr<TcvDBGridSummaryItems> FSummaryItems;
    std::string FName;
};

// The grid's summary groups; nil Grid for a collection outside a grid. A
// change asks the grid to recompute its summary groups, unless it is loading.
class TcvDBGridSummaryGroups : public TCollection {
public:
    explicit TcvDBGridSummaryGroups(TCustomcvDBGrid* Grid);

    TcvDBGridSummaryGroup* Add() { return static_cast<TcvDBGridSummaryGroup*>(TCollection::Add()); }
    TcvDBGridSummaryGroup* Items(int Index) const {
        return static_cast<TcvDBGridSummaryGroup*>(TCollection::Items(Index));
    }
    // The first group marked DefaultGroup, or nil.
    TcvDBGridSummaryGroup* GetDefaultGroup() const;
    TCustomcvDBGrid* Grid() const { return FGrid; }
    TPersistent* Owner() const override;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TCustomcvDBGrid* FGrid;
};

namespace cvDBGrid {

// 0 without children; the sum over the children when they have children of
// their own; else the child count.
int CountLeafRows(const TcvTreeListNode* Node);
// For Node and every node below it at Level: the group value becomes the
// number of leaf rows, or is divided by it.
void SetGroupCounts(TcvDBGridNode* Node, int Level);
void AverageGroupValues(TcvDBGridNode* Node, int Level);
// The same for summary slot Slot of those nodes.
void SetSlotCounts(TcvDBGridNode* Node, int Level, int Slot);
void AverageSlotValues(TcvDBGridNode* Node, int Level, int Slot);

} // namespace cvDBGrid
