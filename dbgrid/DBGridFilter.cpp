// The grid filter: options, one column's condition, and the hand-over to the
// grid, which applies the criteria to its rows or its dataset.
#include "dbgrid/DBGridFilter.h"

#include "dbgrid/CustomFilterDialog.h"
#include "dbgrid/DBGrid.h"
#include "dbgrid/DBTreeListColumn.h"
#include "platform/rtl/ComponentStreaming.h"

void RegisterDBGridFilterProperties() {
    static const bool registered = [] {
        TPropertyTableOf<TcvDBGridFilter>()
            .Value("Active", false, &TcvDBGridFilter::Active, &TcvDBGridFilter::SetActive)
            .Value("AutoDataSetFilter", false, &TcvDBGridFilter::AutoDataSetFilter,
                   &TcvDBGridFilter::SetAutoDataSetFilter)
            .Value("CaseInsensitive", false, &TcvDBGridFilter::CaseInsensitive,
                   &TcvDBGridFilter::SetCaseInsensitive)
            .Binary(
                "Criteria", {}, [](TcvDBGridFilter* F, TStream* S) { F->Criteria()->WriteData(S); },
                [](TcvDBGridFilter* F, TStream* S) { F->Criteria()->ReadData(S); })
            .Value("DropDownCount", TcvDBGridFilter::DefaultDropDownCount, &TcvDBGridFilter::DropDownCount,
                   &TcvDBGridFilter::SetDropDownCount)
            .Value("DropDownWidth", TcvDBGridFilter::DefaultDropDownWidth, &TcvDBGridFilter::DropDownWidth,
                   &TcvDBGridFilter::SetDropDownWidth)
            .Value("FilterStatus", int32_t(fsAuto), &TcvDBGridFilter::FilterStatus,
                   &TcvDBGridFilter::SetFilterStatus)
            .Value("MaxDropDownCount", TcvDBGridFilter::DefaultMaxDropDownCount,
                   &TcvDBGridFilter::MaxDropDownCount, &TcvDBGridFilter::SetMaxDropDownCount)
            .Register();
        TPropertyTableOf<TFilterWrapper>().Object("Filter", &TFilterWrapper::Filter).Register();
        RegisterClass(ClassOf<TFilterWrapper>());
        return true;
    }();
    (void)registered;
}

TcvDBGridFilter::TcvDBGridFilter(TCustomcvDBGrid* AGrid)
    : FGrid(AGrid), FCriteria(std::make_unique<TcvDBGridCriteria>(AGrid)) {}

TcvDBGridFilter::~TcvDBGridFilter() = default;

void TcvDBGridFilter::SetActive(bool Value) {
    if (Value == FActive) return;
    FActive = Value;
    if (Value)
        FGrid->SetDefaultFields(false);
    else
        Clear();
    Changed();
}

void TcvDBGridFilter::SetAutoDataSetFilter(bool Value) {
    if (Value == FAutoDataSetFilter) return;
    FAutoDataSetFilter = Value;
    TDataSet* dataSet = FGrid->GetDataLink()->DataSet();
    if (!Value && dataSet) {
        dataSet->SetFiltered(false);
        dataSet->SetFilter("");
    }
    Changed();
}

void TcvDBGridFilter::SetCaseInsensitive(bool Value) {
    if (Value == FCaseInsensitive) return;
    FCaseInsensitive = Value;
    FCriteria->SetCaseInsensitive(Value);
    if (FAutoDataSetFilter) Changed();
}

void TcvDBGridFilter::SetFilterStatus(TcvDBGridFilterStatus Value) {
    if (Value == FFilterStatus) return;
    FFilterStatus = Value;
    Changed();
}

void TcvDBGridFilter::Changed() {
    FGrid->RefreshFilter();
}

void TcvDBGridFilter::SetValueFilter(TcvDBTreeListColumn* Column, const Variant& Value,
                                     const std::string& DisplayText) {
    FCriteria->RemoveColumnItems(Column);
    FCriteria->AddCondition(nullptr, Column, false, DisplayText, Value, cvEqualOperatorIndex);
    Changed();
}

void TcvDBGridFilter::SetBlanksFilter(TcvDBTreeListColumn* Column, bool NonBlanks) {
    FCriteria->RemoveColumnItems(Column);
    FCriteria->AddCondition(nullptr, Column, NonBlanks, "", Null(), cvNullOperatorIndex);
    Changed();
}

void TcvDBGridFilter::ClearColumnFilter(TcvDBTreeListColumn* Column) {
    FCriteria->RemoveColumnItems(Column);
    Changed();
}

void TcvDBGridFilter::CustomizeColumnFilter(TcvDBTreeListColumn* Column) {
    if (ShowCustomDialog(FCriteria.get(), Column)) Changed();
}

bool TcvDBGridFilter::HasColumnFilter(const TcvDBTreeListColumn* Column) const {
    return FCriteria->FindColumnItem(Column) != nullptr;
}

int TcvDBGridFilter::GetColumnFilterState(const TcvDBTreeListColumn* Column, Variant& Value) const {
    const TcvDBGridCriteriaItem* item = FCriteria->FindColumnItem(Column);
    if (!item) return cvColumnNotFiltered;
    Value = item->Value();
    int state = cvColumnValueFiltered;
    if (VarIsNull(Value) || (VarIsStr(Value) && Value.AsString().empty()))
        state = item->Negated() ? cvColumnNonBlanksFiltered : cvColumnBlanksFiltered;
    if (FCriteria->IsCustomFilter(Column)) state = cvColumnCustomFiltered;
    return state;
}

void TcvDBGridFilter::Clear() {
    FCriteria->Clear();
    FGrid->ResetNodeFilter();
}

std::string TcvDBGridFilter::GetFilterText() const {
    return FCriteria->GetFilterText();
}

bool TcvDBGridFilter::Evaluate(TcvTreeListNode* Node) const {
    return FCriteria->Evaluate(Node);
}

void TcvDBGridFilter::RefreshItems() {
    FCriteria->RefreshItems();
}

void TcvDBGridFilter::RestoreDefaults() {
    SetActive(false);
    SetAutoDataSetFilter(false);
    SetCaseInsensitive(false);
    FDropDownCount = DefaultDropDownCount;
    FDropDownWidth = DefaultDropDownWidth;
    FFilterStatus = fsAuto;
    FMaxDropDownCount = DefaultMaxDropDownCount;
    // Criteria set while Active was already off (the drop-down sets them
    // without it) survive its setter: a filter at its defaults holds none.
    Clear();
}

void TFilterWrapper::WriteFilter(TStream* Stream, TcvDBGridFilter* Filter) {
    RegisterDBGridFilterProperties();
    TFilterWrapper wrapper(nullptr);
    wrapper.SetFilter(Filter);
    WriteComponent(Stream, &wrapper);
}

void TFilterWrapper::ReadFilter(TStream* Stream, TcvDBGridFilter* Filter) {
    RegisterDBGridFilterProperties();
    TFilterWrapper wrapper(nullptr);
    wrapper.SetFilter(Filter);
    ReadComponent(Stream, &wrapper);
    Filter->Changed();
}
