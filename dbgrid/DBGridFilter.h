// TcvDBGridFilter: the object behind the grid's Filter property. It owns the
// grid's criteria, carries the filter options and sets one column's
// condition for the header drop-down and the custom dialog; every change
// asks the grid to apply the filter again (Changed). TFilterWrapper carries
// a filter into a component stream, as the grid's layouts store it.
#pragma once

#include "dbgrid/FilterCriteria.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Variants.h"

#include <functional>
#include <memory>
#include <string>

class TCustomcvDBGrid;
class TDataSet;
class TStream;
class TcvDBTreeListColumn;
class TcvTreeListNode;

// When the grid shows its filter buttons: fsAuto only while a filter hides rows.
enum TcvDBGridFilterStatus { fsAuto, fsNone, fsAlways };

// The grid's filter text on its way to the dataset's Filter.
using TcvDBGridFilterChangedEvent =
    std::function<void(TObject* Sender, TDataSet* DataSet, std::string& FilterText)>;

// What GetColumnFilterState found for a column.
inline constexpr int cvColumnNotFiltered = 0;
inline constexpr int cvColumnBlanksFiltered = 1;
inline constexpr int cvColumnNonBlanksFiltered = 2;
inline constexpr int cvColumnValueFiltered = 3;
inline constexpr int cvColumnCustomFiltered = 4;

class TcvDBGridFilter : public TPersistent {
public:
    // A filter of AGrid with an empty criteria bound to it and the defaults.
    explicit TcvDBGridFilter(TCustomcvDBGrid* AGrid);
    ~TcvDBGridFilter() override;
    TcvDBGridFilter(const TcvDBGridFilter&) = delete;
    TcvDBGridFilter& operator=(const TcvDBGridFilter&) = delete;

    static constexpr int DefaultDropDownCount = 12;
    static constexpr int DefaultDropDownWidth = 0;
    static constexpr int DefaultMaxDropDownCount = 1000;

    // Published; every setter does nothing when the value does not change.
    bool Active() const { return FActive; }
    // On: the grid's DefaultFields goes off. Off: the criteria are cleared
    // and the grid shows every row. Then Changed.
    void SetActive(bool Value);
    bool AutoDataSetFilter() const { return FAutoDataSetFilter; }
    // Off: the dataset is left unfiltered with an empty Filter text. Then Changed.
    void SetAutoDataSetFilter(bool Value);
    bool CaseInsensitive() const { return FCaseInsensitive; }
    // Copied into the criteria; Changed only under AutoDataSetFilter (the
    // rows the grid hides itself are compared afresh at the next change).
    void SetCaseInsensitive(bool Value);
    // Rows the header drop-down shows (0: one per item) and its width (0: the grid's choice).
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
    TcvDBGridFilterStatus FilterStatus() const { return FFilterStatus; }
    // Changed: the filter buttons may come or go.
    void SetFilterStatus(TcvDBGridFilterStatus Value);
    // The most distinct values the drop-down collects.
    int MaxDropDownCount() const { return FMaxDropDownCount; }
    void SetMaxDropDownCount(int Value) { FMaxDropDownCount = Value; }

    // Owned; always stored, as the binary property "Criteria".
    TcvDBGridCriteria* Criteria() const { return FCriteria.get(); }
    TCustomcvDBGrid* Grid() const { return FGrid; }

    // Asks the grid to apply the filter again.
    void Changed();
    // Column's conditions give way to one root condition "= Value", not negated.
    void SetValueFilter(TcvDBTreeListColumn* Column, const Variant& Value, const std::string& DisplayText);
    // Column's conditions give way to one root "Is Null" condition (Null
    // value, empty display text), negated for NonBlanks.
    void SetBlanksFilter(TcvDBTreeListColumn* Column, bool NonBlanks);
    void ClearColumnFilter(TcvDBTreeListColumn* Column);
    // Runs the custom filter dialog on Column; Changed only when it was confirmed.
    void CustomizeColumnFilter(TcvDBTreeListColumn* Column);
    bool HasColumnFilter(const TcvDBTreeListColumn* Column) const;
    // cvColumnNotFiltered without a condition; otherwise Value := the first
    // condition's value and the answer is, the later test winning:
    // cvColumnValueFiltered; cvColumnBlanksFiltered (not negated) or
    // cvColumnNonBlanksFiltered (negated) when that value is blank;
    // cvColumnCustomFiltered when it is not a plain "=" in the root.
    int GetColumnFilterState(const TcvDBTreeListColumn* Column, Variant& Value) const;
    // Clears the criteria and shows every row again.
    void Clear();
    // The criteria's filter text, for the dataset's Filter.
    std::string GetFilterText() const;
    bool Evaluate(TcvTreeListNode* Node) const;
    // Binds the conditions to the grid's columns again.
    void RefreshItems();
    // Active, AutoDataSetFilter, CaseInsensitive off through their setters;
    // the other options back to their defaults; no criteria left.
    void RestoreDefaults();

private:
    TCustomcvDBGrid* FGrid;
    std::unique_ptr<TcvDBGridCriteria> FCriteria;
    bool FActive = false;
    bool FAutoDataSetFilter = false;
    bool FCaseInsensitive = false;
    int FDropDownCount = DefaultDropDownCount;
    int FDropDownWidth = DefaultDropDownWidth;
    TcvDBGridFilterStatus FFilterStatus = fsAuto;
    int FMaxDropDownCount = DefaultMaxDropDownCount;
};

// The carrier of a grid filter in a component stream: its one published
// property Filter refers to the filter (not owned).
class TFilterWrapper : public TComponent {
public:
    explicit TFilterWrapper(TComponent* AOwner) : TComponent(AOwner) {}

    TcvDBGridFilter* Filter() const { return FFilter; }
    void SetFilter(TcvDBGridFilter* Value) { FFilter = Value; }

    // The grid layout's "Filter" value: the component stream of a wrapper
    // on Filter, its published properties and its "Criteria" block.
    static void WriteFilter(TStream* Stream, TcvDBGridFilter* Filter);
    // Reads such a stream into Filter, then Changed. Damaged bytes raise
    // EReadError "Stream read error" and leave Filter as it was.
    static void ReadFilter(TStream* Stream, TcvDBGridFilter* Filter);

private:
    TcvDBGridFilter* FFilter = nullptr;
};

// The stream tables of the filter and its carrier; once per process.
void RegisterDBGridFilterProperties();
