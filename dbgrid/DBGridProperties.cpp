#include "dbgrid/DBGridProperties.h"

#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridFilter.h"
#include "dbgrid/DBTreeListColumn.h"
#include "dbgrid/GridColumns.h"
#include "editors/ButtonEdit.h"
#include "editors/PopupToolBar.h"
#include "platform/data/DB.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Graphics.h"
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

// A bitmap property: the picture's bytes, stored while it is not empty.
template <class T, class B, class C>
void AddBitmap(TPropertyTableOf<T, B>& Table, std::string Name, TBitmap* (C::*Get)() const,
               void (C::*Set)(TBitmap*)) {
    Table.Binary(
        std::move(Name),
        [Get](T* Column) {
            const TBitmap* bitmap = (Column->*Get)();
            return bitmap && !bitmap->Empty();
        },
        [Get](T* Column, TStream* Stream) { (Column->*Get)()->SaveToStream(Stream); },
        [Set](T* Column, TStream* Stream) {
            TBitmap bitmap;
            bitmap.LoadFromStream(Stream);
            (Column->*Set)(&bitmap);
        });
}

// A list of texts, stored as its text, one line per item.
template <class T, class B, class C>
void AddStrings(TPropertyTableOf<T, B>& Table, std::string Name, TStrings* (C::*Get)() const,
                void (C::*Set)(TStrings*)) {
    Table.Value(
        std::move(Name), "", [Get](T* Column) { return Variant((Column->*Get)()->Text()); },
        [Set](T* Column, const Variant& Value) {
            TStringList list;
            list.SetText(Value.AsString());
            (Column->*Set)(&list);
        });
}

// The popup settings the drop-down column keeps for the members that
// publish them.
template <class T> void AddPopupPlacement(TPropertyTableOf<T, TcvDBTreeListDropDownColumn>& Table) {
    using TDropDown = TcvDBTreeListDropDownColumn;
    AddBitmap(Table, "ButtonGlyph", &TDropDown::ButtonGlyph, &TDropDown::SetButtonGlyph);
    Table.Value("PopupAlignment", int(taLeftJustify), &TDropDown::PopupAlignment, &TDropDown::SetPopupAlignment)
        .Value("PopupBorder", int(pbDefault), &TDropDown::PopupBorder, &TDropDown::SetPopupBorder);
}
template <class T> void AddDropDownSize(TPropertyTableOf<T, TcvDBTreeListDropDownColumn>& Table) {
    using TDropDown = TcvDBTreeListDropDownColumn;
    Table.Value("DropDownRows", 7, &TDropDown::DropDownRows, &TDropDown::SetDropDownRows)
        .Value("DropDownWidth", 0, &TDropDown::DropDownWidth, &TDropDown::SetDropDownWidth);
}

// No stored default: always stored.
template <class T> void AddListWidth(TPropertyTableOf<T, TcvDBTreeListDropDownColumn>& Table) {
    using TDropDown = TcvDBTreeListDropDownColumn;
    Table.Value("ListWidth", Unassigned(), &TDropDown::ListWidth, &TDropDown::SetListWidth);
}

// What each member of the column family publishes beyond the column base.
void RegisterColumnFamily() {
    using TMemo = TcvDBTreeListMemoColumn;
    TPropertyTableOf<TMemo, TColumn>()
        .Value("HideScrollBars", true, &TMemo::HideScrollBars, &TMemo::SetHideScrollBars)
        .Value("MaxDisplayLength", 255, &TMemo::MaxDisplayLength, &TMemo::SetMaxDisplayLength)
        .Value("ScrollBars", int(ssNone), &TMemo::ScrollBars, &TMemo::SetScrollBars)
        .Value("SelectionBar", false, &TMemo::SelectionBar, &TMemo::SetSelectionBar)
        .Value("WantReturns", true, &TMemo::WantReturns, &TMemo::SetWantReturns)
        .Value("WantTabs", false, &TMemo::WantTabs, &TMemo::SetWantTabs)
        .Value("WordWrap", true, &TMemo::WordWrap, &TMemo::SetWordWrap)
        .Register();

    using TDropDown = TcvDBTreeListDropDownColumn;
    TPropertyTableOf<TDropDown, TColumn>()
        .Value("ShowButtonStyle", int(TcvShowButtonStyle::sbDefault), &TDropDown::ShowButtonStyle,
               &TDropDown::SetShowButtonStyle)
        .Register();

    using TDate = TcvDBTreeListDateColumn;
    TPropertyTableOf<TDate, TDropDown> date;
    date.Value("DateButtons", int(TDateButtons{btnToday, btnClear}.Bits()), &TDate::DateButtons, &TDate::SetDateButtons)
        .Value("DateOnError", int(deToday), &TDate::DateOnError, &TDate::SetDateOnError)
        .Value("DateValidation", false, &TDate::DateValidation, &TDate::SetDateValidation)
        .Value("SaveTime", true, &TDate::SaveTime, &TDate::SetSaveTime)
        .Value("UseEditMask", false, &TDate::UseEditMask, &TDate::SetUseEditMask);
    AddPopupPlacement(date);
    date.Register();

    using TButton = TcvDBTreeListButtonColumn;
    TPropertyTableOf<TButton, TDropDown> button;
    button.Value("ButtonOnly", false, &TButton::ButtonOnly, &TButton::SetButtonOnly)
        .Value("EditButtonStyle", int(ebsEllipsis), &TButton::EditButtonStyle, &TButton::SetEditButtonStyle)
        .Value("ClickKey", 16397, &TButton::ClickKey, &TButton::SetClickKey)
        .Value("HideEditCursor", false, &TButton::HideEditCursor, &TButton::SetHideEditCursor);
    AddBitmap(button, "Glyph", &TButton::Glyph, &TButton::SetGlyph);
    // After the style, which may add or clear a button: the list read replaces them all.
    button.Collection("Buttons", &TButton::Buttons);
    button.Register();
    TPropertyTableOf<TcvEditButton> editButton;
    editButton.Value("Default", false, &TcvEditButton::Default, &TcvEditButton::SetDefault)
        .Value("Kind", int(bkEllipsis), &TcvEditButton::Kind, &TcvEditButton::SetKind)
        .Value("LeftAlignment", false, &TcvEditButton::LeftAlignment, &TcvEditButton::SetLeftAlignment)
        .Value("Visible", true, &TcvEditButton::Visible, &TcvEditButton::SetVisible)
        .Value("Width", 0, &TcvEditButton::Width, &TcvEditButton::SetWidth);
    AddBitmap(editButton, "Glyph", &TcvEditButton::ShownGlyph, &TcvEditButton::SetGlyph);
    editButton.Register();

    using TCheck = TcvDBTreeListCheckColumn;
    TPropertyTableOf<TCheck, TColumn> check;
    check.Value("AllowGrayed", false, &TCheck::AllowGrayed, &TCheck::SetAllowGrayed)
        .Value("Border3D", false, &TCheck::Border3D, &TCheck::SetBorder3D)
        .Value("GlyphCount", 6, &TCheck::GlyphCount, &TCheck::SetGlyphCount)
        .Value("ShowNullFieldStyle", int(nsUnchecked), &TCheck::ShowNullFieldStyle, &TCheck::SetShowNullFieldStyle)
        .Value("ValueChecked", SCheckValueChecked, &TCheck::ValueChecked, &TCheck::SetValueChecked)
        .Value("ValueGrayed", "", &TCheck::ValueGrayed, &TCheck::SetValueGrayed)
        .Value("ValueUnchecked", SCheckValueUnchecked, &TCheck::ValueUnchecked, &TCheck::SetValueUnchecked);
    AddBitmap(check, "Glyph", &TCheck::Glyph, &TCheck::SetGlyph);
    check.Register();

    using TImage = TcvDBTreeListImageColumn;
    TPropertyTableOf<TImage, TDropDown> image;
    image.Value("DefaultImages", true, &TImage::DefaultImages, &TImage::SetDefaultImages)
        .Reference("Images", &TImage::Images, &TImage::SetImages)
        .Value("Incremental", false, &TImage::Incremental, &TImage::SetIncremental)
        .Reference("LargeImages", &TImage::LargeImages, &TImage::SetLargeImages)
        .Value("MultiLineText", false, &TImage::MultiLineText, &TImage::SetMultiLineText)
        .Value("ShowDescription", false, &TImage::ShowDescription, &TImage::SetShowDescription);
    AddStrings(image, "Descriptions", &TImage::Descriptions, &TImage::SetDescriptions);
    AddStrings(image, "ImageIndexes", &TImage::ImageIndexes, &TImage::SetImageIndexes);
    AddStrings(image, "Values", &TImage::Values, &TImage::SetValues);
    AddPopupPlacement(image);
    AddDropDownSize(image);
    AddListWidth(image);
    image.Register();

    using TSpin = TcvDBTreeListSpinColumn;
    TPropertyTableOf<TSpin, TColumn>()
        .Value("EditorEnabled", true, &TSpin::EditorEnabled, &TSpin::SetEditorEnabled)
        .Value("Increment", 1.0, &TSpin::Increment, &TSpin::SetIncrement)
        .Value("MinValue", Unassigned(), &TSpin::MinValue, &TSpin::SetMinValue,
               [](TSpin* C) { return C->IsMinValueStored(); })
        .Value("MaxValue", Unassigned(), &TSpin::MaxValue, &TSpin::SetMaxValue,
               [](TSpin* C) { return C->IsMaxValueStored(); })
        .Value("ShowButtonStyle", int(TcvShowButtonStyle::sbDefault), &TSpin::ShowButtonStyle,
               &TSpin::SetShowButtonStyle)
        .Value("UseCtrlIncrement", false, &TSpin::UseCtrlIncrement, &TSpin::SetUseCtrlIncrement)
        .Register();

    using TPick = TcvDBTreeListPickColumn;
    TPropertyTableOf<TPick, TDropDown> pick;
    pick.Value("DropDownListStyle", false, &TPick::DropDownListStyle, &TPick::SetDropDownListStyle)
        .Value("ItemsSorted", false, &TPick::ItemsSorted, &TPick::SetItemsSorted)
        .Value("ImmediateDropDown", true, &TPick::ImmediateDropDown, &TPick::SetImmediateDropDown)
        .Value("CanDeleteText", false, &TPick::CanDeleteText, &TPick::SetCanDeleteText)
        .Value("Revertable", false, &TPick::Revertable, &TPick::SetRevertable);
    AddStrings(pick, "Items", &TPick::Items, &TPick::SetItems);
    AddPopupPlacement(pick);
    AddDropDownSize(pick);
    pick.Register();

    using TCalc = TcvDBTreeListCalcColumn;
    TPropertyTableOf<TCalc, TDropDown> calc;
    calc.Value("BeepOnError", true, &TCalc::BeepOnError, &TCalc::SetBeepOnError)
        .Value("ButtonStyle", int(bsStandard), &TCalc::ButtonStyle, &TCalc::SetButtonStyle)
        .Value("Precision", 13, &TCalc::Precision, &TCalc::SetPrecision)
        .Value("QuickClose", false, &TCalc::QuickClose, &TCalc::SetQuickClose)
        .Value("ShowButtonFrame", false, &TCalc::ShowButtonFrame, &TCalc::SetShowButtonFrame);
    AddPopupPlacement(calc);
    calc.Register();

    using THyperLink = TcvDBTreeListHyperLinkColumn;
    TPropertyTableOf<THyperLink, TColumn>()
        .Value("EditBackgroundColor", clWhite, &THyperLink::EditBackgroundColor, &THyperLink::SetEditBackgroundColor)
        .Value("EditFontColor", clBlue, &THyperLink::EditFontColor, &THyperLink::SetEditFontColor)
        .Value("SingleClick", false, &THyperLink::SingleClick, &THyperLink::SetSingleClick)
        .Value("StartKey", 16397, &THyperLink::StartKey, &THyperLink::SetStartKey)
        .Register();

    using TTime = TcvDBTreeListTimeColumn;
    TPropertyTableOf<TTime, TColumn>()
        .Value("TimeEditFormat", int(cvExEdtr::tfHourMinSec), &TTime::TimeEditFormat, &TTime::SetTimeEditFormat)
        .Value("UseCtrlIncrement", false, &TTime::UseCtrlIncrement, &TTime::SetUseCtrlIncrement)
        .Register();

    using TCurrency = TcvDBTreeListCurrencyColumn;
    TPropertyTableOf<TCurrency, TColumn>()
        .Value("DecimalPlaces", 2, &TCurrency::DecimalPlaces, &TCurrency::SetDecimalPlaces)
        .Value("DisplayFormat", Unassigned(), &TCurrency::DisplayFormat, &TCurrency::SetDisplayFormat,
               [](TCurrency* C) { return C->IsDisplayFormatStored(); })
        .Value("MinValue", Unassigned(), &TCurrency::MinValue, &TCurrency::SetMinValue,
               [](TCurrency* C) { return C->IsMinValueStored(); })
        .Value("MaxValue", Unassigned(), &TCurrency::MaxValue, &TCurrency::SetMaxValue,
               [](TCurrency* C) { return C->IsMaxValueStored(); })
        .Value("Nullable", false, &TCurrency::Nullable, &TCurrency::SetNullable)
        .Value("NullString", "", &TCurrency::NullString, &TCurrency::SetNullString)
        .Value("UseThousandSeparator", false, &TCurrency::UseThousandSeparator, &TCurrency::SetUseThousandSeparator)
        .Register();

    using TGraphic = TcvDBTreeListGraphicColumn;
    TPropertyTableOf<TGraphic, TColumn>()
        .Value("Center", true, &TGraphic::Center, &TGraphic::SetCenter)
        .Value("CustomFilter", "", &TGraphic::CustomFilter, &TGraphic::SetCustomFilter)
        .Value("CustomGraphic", false, &TGraphic::CustomGraphic, &TGraphic::SetCustomGraphic)
        .Value("DblClickActivate", true, &TGraphic::DblClickActivate, &TGraphic::SetDblClickActivate)
        .Value("GraphicTransparency", int(gtDefault), &TGraphic::GraphicTransparency,
               &TGraphic::SetGraphicTransparency)
        .Value("PopupToolbarPosStored", true, &TGraphic::PopupToolbarPosStored, &TGraphic::SetPopupToolbarPosStored)
        .Value("QuickDraw", false, &TGraphic::QuickDraw, &TGraphic::SetQuickDraw)
        .Value("ShadowSelection", true, &TGraphic::ShadowSelection, &TGraphic::SetShadowSelection)
        .Value("Stretch", true, &TGraphic::Stretch, &TGraphic::SetStretch)
        .Object("PopupToolBar", &TGraphic::PopupToolBar)
        .Register();
    using TToolBar = TcvPopupToolBarWindow;
    TPropertyTableOf<TToolBar>()
        .Value("Alignment", int(ptaBottom), &TToolBar::Alignment, &TToolBar::SetAlignment)
        .Value("Buttons", int(StandardToolBarButtons.Bits()), &TToolBar::Buttons, &TToolBar::SetButtons)
        .Value("CustomButtonCaption", "", &TToolBar::CustomButtonCaption, &TToolBar::SetCustomButtonCaption)
        .Binary(
            "CustomButtonGlyph", [](TToolBar* T) { return T->HasCustomButtonGlyph() && !T->CustomButtonGlyph()->Empty(); },
            [](TToolBar* T, TStream* S) { T->CustomButtonGlyph()->SaveToStream(S); },
            [](TToolBar* T, TStream* S) {
                TBitmap bitmap;
                bitmap.LoadFromStream(S);
                T->SetCustomButtonGlyph(&bitmap);
            })
        .Value("IsPopupMenu", true, &TToolBar::IsPopupMenu, &TToolBar::SetIsPopupMenu)
        .Value("ShowCaptions", true, &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions)
        .Value("Visible", true, &TToolBar::Visible, &TToolBar::SetVisible)
        .Register();

    using TLookup = TcvDBTreeListLookupColumn;
    TPropertyTableOf<TLookup, TDropDown> lookup;
    lookup.Value("ClearKey", 0, &TLookup::ClearKey, &TLookup::SetClearKey)
        .Value("ImmediateDropDown", false, &TLookup::ImmediateDropDown, &TLookup::SetImmediateDropDown)
        .Value("ListFieldName", "", &TLookup::ListFieldName, &TLookup::SetListFieldName)
        .Value("ListFieldIndex", 0, &TLookup::ListFieldIndex, &TLookup::SetListFieldIndex)
        .Value("CanDeleteText", false, &TLookup::CanDeleteText, &TLookup::SetCanDeleteText);
    AddPopupPlacement(lookup);
    AddDropDownSize(lookup);
    AddListWidth(lookup);
    lookup.Register();

    using TBlob = TcvDBTreeListBlobColumn;
    TPropertyTableOf<TBlob, TDropDown> blob;
    blob.Value("AlwaysSaveText", false, &TBlob::AlwaysSaveText, &TBlob::SetAlwaysSaveText)
        .Value("BlobKind", int(bkAuto), &TBlob::BlobKind, &TBlob::SetBlobKind)
        .Value("BlobPaintStyle", int(bpsIcon), &TBlob::BlobPaintStyle, &TBlob::SetBlobPaintStyle)
        .Value("ImmediatePopup", false, &TBlob::ImmediatePopup, &TBlob::SetImmediatePopup)
        .Value("MaxDisplayLength", 255, &TBlob::MaxDisplayLength, &TBlob::SetMaxDisplayLength)
        .Value("MemoCharCase", int(ecNormal), &TBlob::MemoCharCase, &TBlob::SetMemoCharCase)
        .Value("MemoHideScrollBars", true, &TBlob::MemoHideScrollBars, &TBlob::SetMemoHideScrollBars)
        .Value("MemoMaxLength", 0, &TBlob::MemoMaxLength, &TBlob::SetMemoMaxLength)
        .Value("MemoOEMConvert", false, &TBlob::MemoOEMConvert, &TBlob::SetMemoOEMConvert)
        .Value("MemoScrollBars", int(ssBoth), &TBlob::MemoScrollBars, &TBlob::SetMemoScrollBars)
        .Value("MemoSelectionBar", false, &TBlob::MemoSelectionBar, &TBlob::SetMemoSelectionBar)
        .Value("MemoWantReturns", true, &TBlob::MemoWantReturns, &TBlob::SetMemoWantReturns)
        .Value("MemoWantTabs", true, &TBlob::MemoWantTabs, &TBlob::SetMemoWantTabs)
        .Value("MemoWordWrap", true, &TBlob::MemoWordWrap, &TBlob::SetMemoWordWrap)
        .Value("PictureAutoSize", true, &TBlob::PictureAutoSize, &TBlob::SetPictureAutoSize)
        .Value("PictureFilter", "", &TBlob::PictureFilter, &TBlob::SetPictureFilter)
        .Value("PictureTransparency", int(gtDefault), &TBlob::PictureTransparency, &TBlob::SetPictureTransparency)
        .Value("PopupHeight", 140, &TBlob::PopupHeight, &TBlob::SetPopupHeight)
        .Value("PopupWidth", 200, &TBlob::PopupWidth, &TBlob::SetPopupWidth)
        .Value("ShowExPopupItems", false, &TBlob::ShowExPopupItems, &TBlob::SetShowExPopupItems)
        .Value("ShowPicturePopup", false, &TBlob::ShowPicturePopup, &TBlob::SetShowPicturePopup)
        .Value("SizeablePopup", true, &TBlob::SizeablePopup, &TBlob::SetSizeablePopup);
    AddPopupPlacement(blob);
    blob.Register();

    using TMRU = TcvDBTreeListMRUColumn;
    TPropertyTableOf<TMRU, TPick>()
        .Value("MaxItemCount", 7, &TMRU::MaxItemCount, &TMRU::SetMaxItemCount)
        .Value("ShowEllipsis", true, &TMRU::ShowEllipsis, &TMRU::SetShowEllipsis)
        .Register();

    using TGridCheck = TcvDBGridCheckColumn;
    TPropertyTableOf<TGridCheck, TCheck>()
        .Value("DisplayChecked", "", &TGridCheck::DisplayChecked, &TGridCheck::SetDisplayChecked)
        .Value("DisplayUnChecked", "", &TGridCheck::DisplayUnChecked, &TGridCheck::SetDisplayUnChecked)
        .Value("DisplayNull", "", &TGridCheck::DisplayNull, &TGridCheck::SetDisplayNull)
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
        .Object("Filter", &TGrid::Filter)
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
        RegisterColumnFamily();
        RegisterSummaryGroups();
        RegisterDBGridFilterProperties();
        RegisterGrid();
        return true;
    }();
    (void)registered;
}
