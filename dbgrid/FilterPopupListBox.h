// The list a grid column's header filter button drops down: "(All)",
// "(Custom...)", "(Blanks)" and "(NonBlanks)" when the column has blanks,
// then the column's values (the items whose object is a TcvFilterValue).
// Choosing an item sets the column's condition in the grid's filter.
#pragma once

#include "dbgrid/FilterValues.h"
#include "editors/PickEdit.h"

#include <memory>

class TCustomcvDBGrid;
class TcvDBTreeListColumn;

// The fixed items, before the values.
inline constexpr const char* SFilterAll = "(All)";
inline constexpr const char* SFilterCustom = "(Custom...)";
inline constexpr const char* SFilterBlanks = "(Blanks)";
inline constexpr const char* SFilterNonBlanks = "(NonBlanks)";

class TcvDBGridFilterPopupListBox : public TCustomcvPopupPickListBox {
public:
    // The indexes of the fixed items.
    static constexpr int AllItem = 0;
    static constexpr int CustomItem = 1;
    static constexpr int BlanksItem = 2;
    static constexpr int NonBlanksItem = 3;

    // Owned by the grid it drops down from.
    explicit TcvDBGridFilterPopupListBox(TCustomcvDBGrid* AGrid);
    ~TcvDBGridFilterPopupListBox() override;

    TcvDBGridFilterValues* Values() const { return FValues.get(); }
    // The column whose header opened the list; not owned.
    TcvDBTreeListColumn* Column() const { return FColumn; }
    void SetColumn(TcvDBTreeListColumn* Value) { FColumn = Value; }

    // Only while the grid marks its drop-down open: ends any mouse capture,
    // hides the list without activating a window and clears the mark; then,
    // with Accept, the selected item sets the column's condition: "(All)"
    // clears it, "(Custom...)" runs the custom dialog, "(Blanks)" and
    // "(NonBlanks)" filter blanks, a value filters by that value.
    void ApplySelection(bool Accept);

protected:
    // Enter applies, Esc and F4 cancel; each one's character is dropped.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // A left release applies inside the list and cancels outside it.
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TCustomcvDBGrid* FGrid;
    std::unique_ptr<TcvDBGridFilterValues> FValues = std::make_unique<TcvDBGridFilterValues>();
    TcvDBTreeListColumn* FColumn = nullptr;
};
