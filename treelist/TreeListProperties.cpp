#include "treelist/TreeListProperties.h"

#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/GraphicsProperties.h"
#include "platform/ui/Menus.h"
#include "treelist/TreeListBands.h"
#include "treelist/TreeListColumns.h"
#include "treelist/TreeListControl.h"
#include "treelist/TreeListMaskColumn.h"

namespace {

using TTreeList = TCustomcvTreeListControl;
using TBand = TcvTreeListBand;
using TColumn = TcvTreeListColumn;

void RegisterBands() {
    TPropertyTableOf<TBand>()
        .Value("Alignment", int(taCenter), &TBand::Alignment, &TBand::SetAlignment)
        .Value("Caption", "", &TBand::Caption, &TBand::SetCaption)
        .Value("DisableCustomizing", false, &TBand::DisableCustomizing, &TBand::SetDisableCustomizing)
        .Value("DisableDragging", false, &TBand::DisableDragging, &TBand::SetDisableDragging)
        .Value("Fixed", int(bfNone), &TBand::Fixed, &TBand::SetFixed)
        .Value("MinWidth", 30, &TBand::MinWidth, &TBand::SetMinWidth)
        .Value("OnlyOwnColumns", false, &TBand::OnlyOwnColumns, &TBand::SetOnlyOwnColumns)
        .Value("Sizing", true, &TBand::Sizing, &TBand::SetSizing)
        .Value("Visible", true, &TBand::Visible, &TBand::SetVisible)
        .Value("Width", 250, &TBand::Width, &TBand::SetWidth)
        .Register();
}

// A value with a default of its own (from the control, or from a bound
// field) is stored only while it is set, so a read column follows its
// default again; Width is read as set, whatever the default at that moment.
void RegisterColumns() {
    const auto assigned = [](TcvTreeListColumnAssignedValue Value) {
        return [Value](TColumn* C) { return C->IsAssigned(Value); };
    };
    TPropertyTableOf<TColumn>()
        .Value("BandIndex", -1, &TColumn::BandIndex, &TColumn::SetBandIndex)
        .Value("RowIndex", 0, &TColumn::RowIndex, &TColumn::SetRowIndex)
        .Value("Alignment", Unassigned(), &TColumn::Alignment, &TColumn::SetAlignment, assigned(cavAlignment))
        .Value("Caption", Unassigned(), &TColumn::Caption, &TColumn::SetCaption,
               [](TColumn* C) { return C->IsAssigned(cavCaption) && C->Caption() != C->GetDefaultCaption(); })
        .Value("CharCase", int(ecNormal), &TColumn::CharCase, &TColumn::SetCharCase)
        .Value("Color", Unassigned(), &TColumn::Color, &TColumn::SetColor,
               [](TColumn* C) { return C->IsAssigned(cavColor) && C->Color() != C->DefaultColor(); })
        .Value("DisableCaption", false, &TColumn::DisableCaption, &TColumn::SetDisableCaption)
        .Value("DisableCustomizing", false, &TColumn::DisableCustomizing, &TColumn::SetDisableCustomizing)
        .Value("DisableDragging", false, &TColumn::DisableDragging, &TColumn::SetDisableDragging)
        .Value("DisableEditor", false, &TColumn::DisableEditor, &TColumn::SetDisableEditor)
        .Object("Font", &TColumn::Font, assigned(cavFont))
        .Value("HeaderAlignment", int(taLeftJustify), &TColumn::HeaderAlignment, &TColumn::SetHeaderAlignment)
        .Binary(
            "HeaderGlyph", [](TColumn* C) { return C->HasHeaderGlyph() && !C->HeaderGlyph()->Empty(); },
            [](TColumn* C, TStream* S) { C->HeaderGlyph()->SaveToStream(S); },
            [](TColumn* C, TStream* S) { C->HeaderGlyph()->LoadFromStream(S); })
        .Value("HeaderMaxLineCount", 1, &TColumn::HeaderMaxLineCount, &TColumn::SetHeaderMaxLineCount)
        .Value("MaxLength", Unassigned(), &TColumn::MaxLength, &TColumn::SetMaxLength,
               [](TColumn* C) { return C->IsAssigned(cavMaxLength) && C->MaxLength() != C->GetDefaultMaxLength(); })
        .Value("MinWidth", 20, &TColumn::MinWidth, &TColumn::SetMinWidth)
        .Value("OEMConvert", false, &TColumn::OEMConvert, &TColumn::SetOEMConvert)
        .Value("PasswordChar", 0, &TColumn::PasswordChar, &TColumn::SetPasswordChar)
        .Value("ReadOnly", Unassigned(), &TColumn::OwnReadOnly, &TColumn::SetReadOnly, assigned(cavReadOnly))
        .Value("Sizing", true, &TColumn::Sizing, &TColumn::SetSizing)
        .Value("Sorted", int(csNone), &TColumn::Sorted, &TColumn::SetSorted)
        .Value("TabStop", true, &TColumn::TabStop, &TColumn::SetTabStop)
        .Value("VertAlignment", int(tlTop), &TColumn::VertAlignment, &TColumn::SetVertAlignment)
        .Value("Visible", true, &TColumn::Visible, &TColumn::SetVisible)
        .Value("Width", Unassigned(), &TColumn::Width, &TColumn::SizeWidth, assigned(cavWidth))
        // The column's place among several sort keys, for the control's
        // Loaded to put them back in order; and the row the user chose.
        .Value("SortedOrder", Unassigned(), &TColumn::GetSortedOrder, &TColumn::SetSortedOrder,
               [](TColumn* C) {
                   const TTreeList* control = C->TreeList();
                   return control && control->IsMultiSort() && control->GetSortKeyCount() > 1 &&
                          C->Sorted() != csNone;
               })
        .Value("StoredRowIndex", 0, &TColumn::StoredRowIndex, &TColumn::SetStoredRowIndex)
        .Register();
    using TMaskColumn = TcvTreeListMaskColumn;
    TPropertyTableOf<TMaskColumn, TColumn>()
        .Value("EditMask", "", &TMaskColumn::EditMask, &TMaskColumn::SetEditMask)
        .Value("IgnoreMaskBlank", false, &TMaskColumn::IgnoreMaskBlank, &TMaskColumn::SetIgnoreMaskBlank)
        .Register();
}

// In the order a reset to defaults sets them.
void RegisterControl() {
    TPropertyTableOf<TTreeList>()
        .Value("BorderStyle", int(bsSingle), &TTreeList::BorderStyle, &TTreeList::SetBorderStyle)
        .Value("Color", clWindow, &TTreeList::Color, &TTreeList::SetColor)
        .Value("Ctl3D", true, &TTreeList::Ctl3D, &TTreeList::SetCtl3D)
        .Value("DragCursor", crDrag, &TTreeList::DragCursor, &TTreeList::SetDragCursor)
        .Object("Font", &TTreeList::Font, [](TTreeList* T) { return !T->ParentFont(); })
        .Value("ParentColor", false, &TTreeList::ParentColor, &TTreeList::SetParentColor)
        .Value("ParentCtl3D", true, &TTreeList::ParentCtl3D, &TTreeList::SetParentCtl3D)
        .Value("ParentFont", true, &TTreeList::ParentFont, &TTreeList::SetParentFont)
        .Reference("PopupMenu", &TTreeList::PopupMenu, &TTreeList::SetPopupMenu)
        .Value("ArrowsColor", clLime, &TTreeList::ArrowsColor, &TTreeList::SetArrowsColor)
        .Value("GroupNodeColor", clBtnFace, &TTreeList::GroupNodeColor, &TTreeList::SetGroupNodeColor)
        .Value("GroupNodeTextColor", clNone, &TTreeList::GroupNodeTextColor, &TTreeList::SetGroupNodeTextColor)
        .Value("BandColor", clBtnFace, &TTreeList::BandColor, &TTreeList::SetBandColor)
        .Object("BandFont", &TTreeList::BandFont)
        .Value("RowFooterColor", cl3DLight, &TTreeList::RowFooterColor, &TTreeList::SetRowFooterColor)
        .Value("RowFooterTextColor", clWindowText, &TTreeList::RowFooterTextColor, &TTreeList::SetRowFooterTextColor)
        .Value("HeaderColor", clBtnFace, &TTreeList::HeaderColor, &TTreeList::SetHeaderColor)
        .Object("HeaderFont", &TTreeList::HeaderFont)
        .Value("HideFocusRect", false, &TTreeList::HideFocusRect, &TTreeList::SetHideFocusRect)
        .Value("HideSelection", false, &TTreeList::HideSelection, &TTreeList::SetHideSelection)
        .Value("IndentDesc", 20, &TTreeList::IndentDesc, &TTreeList::SetIndentDesc)
        .Value("FixedBandLineWidth", 2, &TTreeList::FixedBandLineWidth, &TTreeList::SetFixedBandLineWidth)
        .Value("LookAndFeel", int(lfStandard), &TTreeList::LookAndFeel, &TTreeList::SetLookAndFeel)
        .Value("DefaultRowHeight", 17, &TTreeList::DefaultRowHeight, &TTreeList::SetDefaultRowHeight)
        .Value("RowSeparatorLineWidth", 1, &TTreeList::RowSeparatorLineWidth, &TTreeList::SetRowSeparatorLineWidth)
        .Value("PreviewLines", 2, &TTreeList::PreviewLines, &TTreeList::SetPreviewLines)
        .Object("PreviewFont", &TTreeList::PreviewFont)
        .Value("HighlightColor", clHighlight, &TTreeList::HighlightColor, &TTreeList::SetHighlightColor)
        .Value("HighlightTextColor", clHighlightText, &TTreeList::HighlightTextColor,
               &TTreeList::SetHighlightTextColor)
        .Value("HideSelectionColor", clHighlight, &TTreeList::HideSelectionColor, &TTreeList::SetHideSelectionColor)
        .Value("HideSelectionTextColor", clHighlightText, &TTreeList::HideSelectionTextColor,
               &TTreeList::SetHideSelectionTextColor)
        .Value("WaitForExpandNodeTime", 500, &TTreeList::WaitForExpandNodeTime, &TTreeList::SetWaitForExpandNodeTime)
        .Value("ScrollBars", int(ssBoth), &TTreeList::ScrollBars, &TTreeList::SetScrollBars)
        .Value("CustomizingRowCount", 11, &TTreeList::CustomizingRowCount, &TTreeList::SetCustomizingRowCount)
        .Value("ShowBands", false, &TTreeList::ShowBands, &TTreeList::SetShowBands)
        .Value("ShowGrid", true, &TTreeList::ShowGrid, &TTreeList::SetShowGrid)
        .Value("ShowPreviewGrid", true, &TTreeList::ShowPreviewGrid, &TTreeList::SetShowPreviewGrid)
        .Value("ShowHeader", true, &TTreeList::ShowHeader, &TTreeList::SetShowHeader)
        .Value("ShowRowFooter", false, &TTreeList::ShowRowFooter, &TTreeList::SetShowRowFooter)
        .Value("ShowNewItemRow", false, &TTreeList::ShowNewItemRow, &TTreeList::SetShowNewItemRow)
        .Value("IniFileName", "", &TTreeList::IniFileName, &TTreeList::SetIniFileName)
        .Value("RegistryPath", "", &TTreeList::RegistryPath, &TTreeList::SetRegistryPath)
        .Value("GridLineColor", clNone, &TTreeList::GridLineColor, &TTreeList::SetGridLineColor)
        .Value("AutoExpandOnSearch", true, &TTreeList::AutoExpandOnSearch, &TTreeList::SetAutoExpandOnSearch)
        .Value("AutoSearchColor", clNone, &TTreeList::AutoSearchColor, &TTreeList::SetAutoSearchColor)
        .Value("AutoSearchTextColor", clNone, &TTreeList::AutoSearchTextColor, &TTreeList::SetAutoSearchTextColor)
        .Value("DblClkExpanding", true, &TTreeList::DblClkExpanding, &TTreeList::SetDblClkExpanding)
        .Value("FixedBandLineColor", clWindowFrame, &TTreeList::FixedBandLineColor, &TTreeList::SetFixedBandLineColor)
        .Value("IniSectionName", "", &TTreeList::IniSectionName, &TTreeList::SetIniSectionName)
        .Value("MaxRowLineCount", -1, &TTreeList::MaxRowLineCount, &TTreeList::SetMaxRowLineCount)
        .Collection("Bands", &TTreeList::Bands)
        .Register();
}

} // namespace

void RegisterTreeListProperties() {
    static const bool registered = [] {
        RegisterGraphicsProperties();
        RegisterBands();
        RegisterColumns();
        RegisterControl();
        return true;
    }();
    (void)registered;
}
