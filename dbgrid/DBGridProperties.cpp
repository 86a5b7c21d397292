#include "dbgrid/DBGridProperties.h"

#include "dbgrid/DBGrid.h"
#include "dbgrid/DBTreeListColumn.h"
#include "dbgrid/GridColumns.h"
#include "platform/data/DB.h"
#include "platform/rtl/ComponentStreaming.h"
#include "treelist/TreeListProperties.h"

namespace {

using TGrid = TCustomcvDBGrid;
using TColumn = TcvDBTreeListColumn;
using TSummaryGroup = TcvDBGridSummaryGroup;
using TSummaryItem = TcvDBGridSummaryItem;

// Filtering of the memo, blob, graphic and wrapper columns is always off:
// they do not store the switch.
bool StoresDisableFilter(TColumn* Column) {
    return !dynamic_cast<TcvDBTreeListMemoColumn*>(Column) && !dynamic_cast<TcvDBTreeListBlobColumn*>(Column) &&
           !dynamic_cast<TcvDBTreeListGraphicColumn*>(Column) && !dynamic_cast<TcvDBTreeListWrapperColumn*>(Column);
}

void RegisterColumns() {
    TPropertyTableOf<TColumn, TcvTreeListColumn>()
        .Value("DisableFilter", false, &TColumn::DisableFilter, &TColumn::SetDisableFilter, StoresDisableFilter)
        .Value("FieldName", "", &TColumn::FieldName, &TColumn::SetFieldName)
        .Value("DisableGrouping", false, &TColumn::DisableGrouping, &TColumn::SetDisableGrouping)
        .Value("GroupIndex", -1, &TColumn::GroupIndex, &TColumn::SetGroupIndex)
        .Value("SummaryType", int(cstNone), &TColumn::SummaryType, &TColumn::SetSummaryType)
        .Value("SummaryField", "", &TColumn::SummaryField, &TColumn::SetSummaryField)
        .Value("SummaryFormat", "", &TColumn::SummaryFormat, &TColumn::SetSummaryFormat)
        .Value("SortBySummary", false, &TColumn::SortBySummary, &TColumn::SetSortBySummary)
        .Value("SummaryGroupName", "", &TColumn::SummaryGroupName, &TColumn::SetSummaryGroupName)
        .Value("SummaryFooterType", int(cstNone), &TColumn::SummaryFooterType, &TColumn::SetSummaryFooterType)
        .Value("SummaryFooterField", "", &TColumn::SummaryFooterField, &TColumn::SetSummaryFooterField)
        .Value("SummaryFooterFormat", "", &TColumn::SummaryFooterFormat, &TColumn::SetSummaryFooterFormat)
        .Register();
    using TMaskColumn = TcvDBTreeListMaskColumn;
    TPropertyTableOf<TMaskColumn, TColumn>()
        .Value("EditMask", Unassigned(), &TMaskColumn::EditMask, &TMaskColumn::SetEditMask,
               [](TMaskColumn* C) { return C->IsEditMaskStored(); })
        .Value("IgnoreMaskBlank", false, &TMaskColumn::IgnoreMaskBlank, &TMaskColumn::SetIgnoreMaskBlank)
        .Register();
}

void RegisterSummaryGroups() {
    TPropertyTableOf<TSummaryItem>()
        .Value("ColumnName", "", &TSummaryItem::ColumnName, &TSummaryItem::SetColumnName)
        .Value("SummaryType", int(cstNone), &TSummaryItem::SummaryType, &TSummaryItem::SetSummaryType)
        .Value("SummaryField", "", &TSummaryItem::SummaryField, &TSummaryItem::SetSummaryField)
        .Value("SummaryFormat", "", &TSummaryItem::SummaryFormat, &TSummaryItem::SetSummaryFormat)
        .Register();
    TPropertyTableOf<TSummaryGroup>()
        .Value("Name", "", &TSummaryGroup::Name, &TSummaryGroup::SetName)
        .Value("BeginSummaryText", "", &TSummaryGroup::BeginSummaryText, &TSummaryGroup::SetBeginSummaryText)
        .Value("EndSummaryText", "", &TSummaryGroup::EndSummaryText, &TSummaryGroup::SetEndSummaryText)
        .Value("DefaultGroup", false, &TSummaryGroup::DefaultGroup, &TSummaryGroup::SetDefaultGroup)
        .Collection("SummaryItems", &TSummaryGroup::SummaryItems)
        .Register();
}

// The columns are the grid's children. Their names belong to the form, not
// to the look: they are not stored, and a read column is named as the grid
// names a new one.
std::vector<TComponent*> GridColumns(TGrid* Grid) {
    std::vector<TComponent*> columns;
    for (int i = 0; i < Grid->ColumnCount(); ++i)
        columns.push_back(Grid->Columns(i));
    return columns;
}

TComponent* CreateGridColumn(TGrid* Grid, const TComponentClass& Class, const std::string&) {
    TComponent* component = Class.Create(Grid->Owner());
    auto* column = dynamic_cast<TcvTreeListColumn*>(component);
    if (!column) {
        delete component;
        throw EReadError(Class.ClassName() + " is not a grid column");
    }
    column->SetName(Grid->NewColumnName());
    column->SetTreeList(Grid);
    return column;
}

// SummarySeparator has no stored default: it is always stored.
void RegisterGrid() {
    TPropertyTableOf<TGrid, TCustomcvTreeListControl>()
        .Reference("DataSource", &TGrid::GetDataSource, &TGrid::SetDataSource)
        .Value("DefaultFields", false, &TGrid::GetDefaultFields, &TGrid::SetDefaultFields)
        .Value("KeyField", "", &TGrid::KeyField, &TGrid::SetKeyField)
        .Value("GrIndicatorWidth", 12, &TGrid::GrIndicatorWidth, &TGrid::SetGrIndicatorWidth)
        .Value("PreviewFieldName", "", &TGrid::PreviewFieldName, &TGrid::SetPreviewFieldName)
        .Value("PreviewMaxLength", 0, &TGrid::PreviewMaxLength, &TGrid::SetPreviewMaxLength)
        .Value("OptionsBehavior", ComponentStreaming::ToVariant(cvDBGrid::DefaultOptionsBehavior),
               &TGrid::OptionsBehavior, &TGrid::SetOptionsBehavior)
        .Value("OptionsCustomize", ComponentStreaming::ToVariant(cvDBGrid::DefaultOptionsCustomize),
               &TGrid::OptionsCustomize, &TGrid::SetOptionsCustomize)
        .Value("OptionsDB", ComponentStreaming::ToVariant(cvDBGrid::DefaultOptionsDB), &TGrid::OptionsDB,
               &TGrid::SetOptionsDB)
        .Value("OptionsView", ComponentStreaming::ToVariant(cvDBGrid::DefaultOptionsView), &TGrid::OptionsView,
               &TGrid::SetOptionsView)
        .Value("PartialLoadBufferCount", 100, &TGrid::PartialLoadBufferCount, &TGrid::SetPartialLoadBufferCount)
        .Value("ShowGroupPanel", false, &TGrid::ShowGroupPanel, &TGrid::SetShowGroupPanel)
        .Value("ShowSummaryFooter", false, &TGrid::ShowSummaryFooter, &TGrid::SetShowSummaryFooter)
        .Collection("SummaryGroups", &TGrid::SummaryGroups)
        .Value("SummarySeparator", Unassigned(), &TGrid::SummarySeparator, &TGrid::SetSummarySeparator)
        .Value("GroupPanelColor", clBtnShadow, &TGrid::GroupPanelColor, &TGrid::SetGroupPanelColor)
        .Value("GroupPanelFontColor", clBtnFace, &TGrid::GroupPanelFontColor, &TGrid::SetGroupPanelFontColor)
        .Children(GridColumns, CreateGridColumn, false)
        .Register();
}

} // namespace

void RegisterDBGridProperties() {
    static const bool registered = [] {
        RegisterClasses({ClassOf<TcvDBGridColumn>(), ClassOf<TcvDBGridMaskColumn>(), ClassOf<TcvDBGridButtonColumn>(),
                         ClassOf<TcvDBGridDateColumn>(), ClassOf<TcvDBGridCheckColumn>(),
                         ClassOf<TcvDBGridImageColumn>(), ClassOf<TcvDBGridSpinColumn>(),
                         ClassOf<TcvDBGridLookupColumn>(), ClassOf<TcvDBGridPickColumn>(),
                         ClassOf<TcvDBGridCalcColumn>(), ClassOf<TcvDBGridBlobColumn>(),
                         ClassOf<TcvDBGridHyperLinkColumn>(), ClassOf<TcvDBGridTimeColumn>(),
                         ClassOf<TcvDBGridCurrencyColumn>(), ClassOf<TcvDBGridMemoColumn>(),
                         ClassOf<TcvDBGridGraphicColumn>(), ClassOf<TcvDBGridMRUColumn>(),
                         ClassOf<TcvDBGridWrapperColumn>()});
        RegisterTreeListProperties();
        RegisterColumns();
        RegisterSummaryGroups();
        RegisterGrid();
        return true;
    }();
    (void)registered;
}
