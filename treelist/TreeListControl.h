// TCustomcvTreeListControl: the tree list with real columns and bands. It
// registers the column components in their absolute order, places them in
// the bands' header rows, answers the tree list's column and band questions
// from them, and keeps cell texts in text nodes. A layout cache (bands by
// shown index, the columns of each band row, the columns' displayed widths)
// makes those answers cheap; every change that moves a column clears it.
#pragma once

#include "treelist/TreeList.h"
#include "treelist/TreeListBands.h"
#include "treelist/TreeListColumns.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

class TcvRegIniWrapper;
class TCustomIniFile;
class TRegIniFile;

using TcvTreeListGetIndexEvent = std::function<void(TObject* Sender, TcvTreeListNode* Node, int& Index)>;
using TcvTreeListColumnEvent = std::function<void(TObject* Sender, TcvTreeListColumn* Column)>;
using TcvTreeListColumnAllowEvent = std::function<void(TObject* Sender, TcvTreeListColumn* Column, bool& Allow)>;
using TcvTreeListColumnSortEvent =
    std::function<void(TObject* Sender, TcvTreeListColumn* Column, TcvTreeListColumnSort& State)>;
using TcvTLCustomDrawBand =
    std::function<void(TObject* Sender, TcvTreeListBand* ABand, TCanvas* ACanvas, const TRect& ARect,
                       std::string& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TcvTLCustomDrawFooter = std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect,
                                                 TcvTreeListNode* ANode, TcvTreeListColumn* AColumn, std::string& AText,
                                                 TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TcvTLCustomDrawFooterNode = std::function<void(
    TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, TcvTreeListColumn* AColumn,
    int AFooterIndex, std::string& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone)>;
using TTLCustomDrawPreviewEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, bool ASelected,
                       const std::string& AText, bool& ADone)>;
using TcvTLCustomDrawPreview =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, bool ASelected,
                       std::string& AText, TColor& AColor, TColor& ATextColor, TFont* AFont, bool& ADone)>;
using TcvTLGetLevelColor = std::function<void(TObject* Sender, int ALevel, TColor& AColor)>;
// Answers a cell's line count and line height for automatic row heights
// instead of the column's measuring when it sets ADone.
using TcvTLCalcRowLineHeight =
    std::function<void(TObject* Sender, TcvTreeListNode* ANode, TcvTreeListColumn* AColumn, const std::string& AText,
                       int ABoundsWidth, int ATextHeight, int AMaxLineCount, bool AInflateFlag, bool AGridFlag,
                       int& ALineCount, int& ALineHeight, bool& ADone)>;
// AColumn: the absolute index.
using TcvTLIsExistFooterCell = std::function<void(TObject* Sender, int AColumn, bool& AExist)>;

class TCustomcvTreeListControl : public TCustomcvTreeList {
public:
    // One band, the default layout on.
    explicit TCustomcvTreeListControl(TComponent* AOwner);
    // Frees the columns it still has (they leave their owner with it).
    ~TCustomcvTreeListControl() override;

    // Columns in absolute order.
    // Appends the column and relays out.
    void AddColumn(TcvTreeListColumn* Column);
    // Takes the column out of the list (and the sort keys).
    virtual void RemoveColumn(TcvTreeListColumn* Column);
    // Frees every column, last first.
    virtual void DestroyColumns();
    // Every column replaced by a copy of one of Source's, in its order: of
    // the same (registered) class, with its settings and its Name, owned by
    // the owner of this control's first column (or by this control).
    virtual void AssignColumns(TCustomcvTreeListControl* Source);
    // nullptr out of range.
    TcvTreeListColumn* Columns(int Index) const;
    int ColumnCount() const { return int(FColumns.size()); }
    // The first column with that component name, ignoring case.
    TcvTreeListColumn* ColumnByName(const std::string& Name) const;
    // The Index-th column with Visible set, in absolute order.
    TcvTreeListColumn* GetVisibleColumn(int Index) const;
    // Widens a sizable column (nil: every column) to its widest cell text or
    // caption, measured in its font.
    virtual void ApplyBestFit(TcvTreeListColumn* Column);
    // The cell texts of every node follow a column from index From to To.
    virtual void ColumnMoved(int From, int To);
    // Nothing while loading; else the columns are placed again.
    virtual void ColumnChanged(TcvTreeListColumn* Column);
    // Rows clamped to the header rows, empty rows closed up, and the
    // automatic header-panel height adjusted.
    void PlaceColumnsInBands();

    // Bands and header rows.
    TcvTreeListBands* Bands() const { return FBands.get(); }
    void SetBands(TcvTreeListBands* Value);
    int GetBandMaxRowCount() const override { return FBandMaxRowCount; }
    void SetBandMaxRowCount(int Value);
    int GetBandRowCount() const override { return FBandRowCountProperty; }
    void SetBandRowCount(int Value);
    int GetHeaderPanelMaxRowCount() const override { return FHeaderPanelMaxRowCount; }
    void SetHeaderPanelMaxRowCount(int Value);
    int GetHeaderPanelRowCount() const override { return FHeaderPanelRowCountProperty; }
    // A user's value switches the automatic height off.
    void SetHeaderPanelRowCount(int Value);
    int HeaderMinRowCount() const { return FHeaderMinRowCount; }
    void SetHeaderMinRowCount(int Value);
    // One band holding every column, no band header, one header row.
    bool DefaultLayout() const { return FDefaultLayout; }
    void SetDefaultLayout(bool Value);
    bool IsAutoHeaderPanelHeight() const { return (OptionsEx() & tloex_AutoHeaderPanelRowCount) != 0; }
    void DisableAutoHeaderPanelHeight();
    // The bands changed: the automatic height, or a relayout.
    void UpdateHeaderLayout() override;

    // Sorting. The sorted columns are the sort keys, the primary key first;
    // a column is listed while its Sorted is not csNone.
    int GetSortKeyCount() const override;
    bool IsSortKeyDescending(int Index) const override;
    int GetSortKeyColumnIndex(int Index) const override;
    TcvTreeListColumn* GetSortedColumn(int Index) const;
    // Appends a sorted column that is not listed yet.
    void AddSortedColumn(TcvTreeListColumn* Column);
    virtual void RegisterSortedColumn(TcvTreeListColumn* Column);
    void RemoveSortedColumn(TcvTreeListColumn* Column);
    // Empties the list; the columns keep their Sorted.
    virtual void ClearSortedColumns();
    // Called before a column becomes sorted.
    virtual void SortedChanging(TcvTreeListColumn* Column) { (void)Column; }
    // Nested; the outermost EndSortUpdate calls ResortNodes.
    void BeginSortUpdate();
    void EndSortUpdate();
    bool SortUpdating() const { return FSortUpdateCount > 0; }
    // Orders the nodes by the sort keys: the control leaves them as they
    // are; a descendant that sorts calls SortChildren here.
    virtual void ResortNodes() {}
    // OnColumnSorting may refuse.
    virtual bool DoColumnSorting(TcvTreeListColumn* Column);
    // The header click's sort: ascending, then alternating; a click with
    // Ctrl removes it.
    virtual void ChangeColumnSort(TcvTreeListColumn* Column);
    // OnColumnClick, then with automatic sort ChangeColumnSort.
    void DoColumnClick(int Column) override;
    // The columns with a Sorted state join the sort keys, which then follow
    // the columns' loaded sort order.
    virtual void RestoreSortedColumnOrder();
    // The cell value.
    void GetNodeVariant(const TcvTreeListNode* Node, int Column, Variant& Value) const override;
    TcvTreeListColumnEvent OnColumnClick;
    TcvTreeListColumnAllowEvent OnColumnSorting;
    // May change the sort state a column header shows.
    TcvTreeListColumnSortEvent OnGetColumnSortState;

    // The answers the tree list asks (visible band indexes, absolute columns).
    int GetBandCount() const override;
    int GetBandsTotalCount() const;
    int GetBandIndexFromVisible(int Band) const override;
    int GetFixedLeftBandIndex() const override;
    int GetFixedRightBandIndex() const override;
    int GetVisibleBandWidth(int Band) const override;
    TAlignment GetBandAlignment(int Band) const override;
    std::string GetBandCaption(int Band) const override;
    int GetBandMinWidth(int Band) const override;
    bool GetBandOnlyOwnColumns(int Band) const override;
    bool CanBandSizing(int Band) const override;
    int GetBandRowCountOf(int Band) const override;
    int GetColumnCountInBandRow(int Band, int Row) const override;
    int GetColumnAt(int Band, int Row, int Position) const override;
    int GetAbsoluteColumnCount() const override { return ColumnCount(); }
    int GetColumnWidth(int Column) const override;
    int GetColumnMinWidth(int Column) const override;
    bool CanColumnSizing(int Column) const override;
    int GetColumnDisplayWidth(int Column) const override;
    int GetColumnHeaderMaxLineCount(int Column) const override;
    int GetColumnBandIndex(int Column) const override;
    int GetColumnRowIndex(int Column) const override;
    bool GetColumnTabStop(int Column) const override;
    std::string GetColumnCaption(int Column) const override;
    std::string GetColumnCaptionText(int Column) const;
    TAlignment GetColumnHeaderAlignment(int Column) const override;
    TAlignment GetColumnAlignment(int Column) const override;
    TColor GetColumnColor(int Column) const override;
    TFont* GetColumnFont(int Column) const override;
    bool IsColumnFontAssigned(int Column) const override;
    bool HasColumnHeaderGlyph(int Column) const override;
    TBitmap* GetColumnHeaderGlyph(int Column) const override;
    TcvTreeListColumnSort GetColumnSortState(int Column) const override;
    // No filter button on a column with DisableFilter.
    int GetHeaderButtonState(int Column) const override;
    bool IsColumnVisible(int Column) const override;
    bool IsMemoColumn(int Column) const override;
    int GetHeaderLineCount() const override;
    bool IsBandHeaderWidth() const override;

    // Cells: text nodes hold the strings; the column's editor class paints.
    std::string GetNodeString(const TcvTreeListNode* Node, int Column) const override;
    void GetNodeValue(const TcvTreeListNode* Node, int Column, Variant& Value) const override;
    // The column's copy text for the cell's value and text.
    std::string GetCellCopyText(const TcvTreeListNode* Node, int Column) const override;
    // Grows the node's list with empty strings up to Column.
    void StoreNodeString(TcvTreeListNode* Node, int Column, const std::string& Text) override;
    int GetNodeImageIndex(const TcvTreeListNode* Node) const override;
    int GetNodeSelectedIndex(const TcvTreeListNode* Node) const override;
    int GetNodeStateIndex(const TcvTreeListNode* Node) const override;
    void DeleteNodeValue(TcvTreeListNode* Node, int Index) override;
    void SetNodeImageIndex(TcvTreeListNode* Node, int Value);
    void SetNodeSelectedIndex(TcvTreeListNode* Node, int Value);
    void SetNodeStateIndex(TcvTreeListNode* Node, int Value);
    // The column's editor style by the look and feel.
    TcvEditButtonViewStyle GetDefaultButtonStyle() const;
    // The column turns Cell into its view data and its editor class paints
    // it inside R.
    void DrawCellContent(HDC DC, const TRect& R, int Column, TcvTreeListCellViewData& Cell) override;
    // R grown by 2 on every side: the editor's painting keeps a 2-pixel
    // border inside its bounds.
    virtual void GetCellViewBounds(const TRect& R, TRect& Bounds) const;
    // OnCalcRowLineHeight, else the column's editor class measures the text
    // as it would paint it; always True.
    bool CalcCellLineCount(TcvTreeListNode* Node, int Column, const std::string& Text, int BoundsWidth,
                           int MaxLineCount, bool InflateFlag, bool GridFlag, int& LineCount,
                           int& TextHeight) override;

    // Editing host: one cached editor per editor class, made with the control
    // as owner and set up from the focused column.
    // The column's editor class, made and cached.
    TcvInplaceEdit* CreateEditor(int VisibleColumn) override;
    // The cached editor of exactly the column's editor class; nullptr when none.
    TcvInplaceEdit* FindEditor(int VisibleColumn) override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void ColumnEditorHook(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    // The column at the editor's shown index stores the editor's value.
    void GetCellVariant(TcvTreeListNode* Node, int Column, Variant& Value, TcvInplaceEdit* Editor) override;
    // False without a focused column, else not the column's ReadOnly.
    bool CanEditModify() override;
    // The column of the focused cell; nullptr when none.
    TcvTreeListColumn* FocusedColumn() const { return Columns(GetFocusedAbsoluteIndex()); }

    // Selection: in multi-select mode the selected nodes, by address.
    bool IsNodeSelected(const TcvTreeListNode* Node) const override;
    // Selecting needs CanNodeSelected; the row is repainted, then reported.
    void SetNodeSelected(TcvTreeListNode* Node, bool Value) override;
    // The selected rows are repainted, then the set is emptied.
    void ClearSelection() override;
    int SelectedCount() const override { return int(FSelectedNodes.size()); }
    TcvTreeListNode* GetSelectedNode(int Index) const override;

    // Hot tracking: only cells that show an edit button become hot, and the
    // hot column chooses the cursor before OnHotTrackNode.
    bool IsCellHotTrack(TcvTreeListNode* Node, int Column) const override;
    void DoHotTrackNode(const TcvTreeListHotTrackInfo& HotTrack, TCursor& Cursor) override;

    // Layout storage. A layout is a tree of sections below one root path:
    // the view values, each band (found again by its ID) and each column
    // (by its Name). The store is a registry-ini or an ini-file object.
    using TcvLayoutStore = std::variant<TRegIniFile*, TCustomIniFile*>;
    // An ini store loses the sections below the root first; the registry
    // keeps those of removed columns.
    void SaveLayout(TcvLayoutStore Store, const std::string& Path);
    // Missing values keep the current ones.
    void LoadLayout(TcvLayoutStore Store, const std::string& Path);
    // Below HKEY_CURRENT_USER; nothing is loaded when the key is missing.
    void SaveToRegistry(const std::string& Path);
    void LoadFromRegistry(const std::string& Path);
    // Rooted at IniSectionName, else at the form's name, "_" and Name.
    void SaveToIniFile(const std::string& FileName);
    void LoadFromIniFile(const std::string& FileName);
    // Each runs once in the control's life, by the store options: the
    // registry first, then the ini file. The destructor stores. Neither
    // throws: a failing store or load is reported once, and a load that
    // fails leaves the layout as it was.
    virtual void StoreLayout();
    void RestoreLayout() override;
    virtual bool IsStoreToRegistry() const { return Options() & tlo_StoreToRegistry; }
    virtual bool IsStoreToIniFile() const { return Options() & tlo_StoreToIniFile; }
    const std::string& RegistryPath() const { return FRegistryPath; }
    void SetRegistryPath(const std::string& Value) { FRegistryPath = Value; }
    const std::string& IniFileName() const { return FIniFileName; }
    void SetIniFileName(const std::string& Value) { FIniFileName = Value; }
    const std::string& IniSectionName() const { return FIniSectionName; }
    void SetIniSectionName(const std::string& Value) { FIniSectionName = Value; }
    // Remembers the form's name for the ini root.
    void SetParent(TWinControl* AParent) override;

    TcvTreeListGetIndexEvent OnGetImageIndex;
    TcvTreeListGetIndexEvent OnGetSelectedIndex;
    TcvTreeListGetIndexEvent OnGetStateIndex;

    // Custom drawing: the control's events, then the column's.
    bool HasCustomDrawBand() const override { return bool(OnCustomDrawBand); }
    bool HasCustomDrawCell(TcvTreeListNode* Node, int Column) const override;
    bool HasCustomDrawFooter(TcvTreeListNode* Node, int Column, int FooterIndex) const override;
    bool HasCustomDrawColumnHeader(int Column) const override;
    bool HasCustomDrawPreview() const override { return OnCustomDrawPreviewCell || OnCustomDrawPreview; }
    bool HasGetLevelColor() const override { return bool(OnGetLevelColor); }
    void DoCustomDrawBand(int VisibleBand, TCanvas* ACanvas, const TRect& ARect, std::string& AText, TColor& AColor,
                          TFont* AFont, TAlignment& AAlignment, bool& ADone) override;
    void DoCustomDrawColumnHeader(int Column, TCanvas* ACanvas, const TRect& ARect, std::string& AText, TColor& AColor,
                                  TFont* AFont, TAlignment& AAlignment, TcvTreeListColumnSort& ASorted,
                                  bool& ADone) override;
    // The extended event, OnCustomDrawCell, then the column's (a group row
    // never reaches the column; the new-item row only while inserting).
    void DoCustomDrawCell(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, int Column, bool ASelected,
                          bool AFocused, bool ANewItemRow, std::string& AText, TColor& AColor, TFont* AFont,
                          TAlignment& AAlignment, bool& ADone) override;
    void DoCustomDrawFooter(TcvTreeListNode* ANode, int Column, int FooterIndex, TCanvas* ACanvas, const TRect& ARect,
                            std::string& AText, TColor& AColor, TFont* AFont, TAlignment& AAlignment,
                            bool& ADone) override;
    void DoCustomDrawPreview(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, bool ASelected,
                             std::string& AText, TColor& AColor, TColor& ATextColor, TFont* AFont,
                             bool& ADone) override;
    void DoGetLevelColor(int Level, TColor& AColor) override;
    bool IsExistFooterCell(int Column) override;

    TcvTLCustomDrawBand OnCustomDrawBand;
    // Asked before OnCustomDrawCell with the same values.
    TcvTLCustomDrawCell OnCustomDrawCellEx;
    TcvTLCustomDrawCell OnCustomDrawCell;
    TcvTLCustomDrawHeader OnCustomDrawColumnHeader;
    TcvTLCustomDrawFooter OnCustomDrawFooter;
    TcvTLCustomDrawFooterNode OnCustomDrawFooterNode;
    TTLCustomDrawPreviewEvent OnCustomDrawPreview;
    TcvTLCustomDrawPreview OnCustomDrawPreviewCell;
    TcvTLGetLevelColor OnGetLevelColor;
    TcvTLIsExistFooterCell OnIsExistFooterCell;
    TcvTLCalcRowLineHeight OnCalcRowLineHeight;

    // Sizing results and header clicks of the mouse (bands by shown index).
    void SizeBandWidth(int Band, int Width) override;
    // A sizable column takes the width, at least its MinWidth, unannounced.
    void SizeColumnWidth(int Column, int Width) override;
    // Width distribution: the hidden sizable bands (or the band's hidden
    // sizable columns) scale with the shown ones.
    void ScaleBandWidths(int Numerator, int Denominator) override;
    void ScaleColumnWidths(int Band, int Numerator, int Denominator) override;
    void SizeBandRowCount(int Count) override { SetBandRowCount(Count); }
    void SizeHeaderPanelRowCount(int Count) override { SetHeaderPanelRowCount(Count); }
    // Every column of the band (or the one column) at its best-fit width.
    void BandEdgeDblClick(int Band) override;
    void ColumnEdgeDblClick(int Column) override;
    void DoBandButtonClick() override;
    void DoBandClick(int Band) override;
    void DoChangedColumnsWidth() override;
    void DoHeaderButtonClick() override;
    TNotifyEvent OnBandButtonClick;
    std::function<void(TObject* Sender, TcvTreeListBand* ABand)> OnBandClick;
    TNotifyEvent OnChangedColumnsWidth;
    TNotifyEvent OnHeaderButtonClick;

    // Dragging headers and bands: the columns' and bands' own vetoes, the
    // events, and the drops' moves.
    // A fixed band or one with DisableDragging never drags.
    bool CanBandDragging(int Band) const override;
    bool CanHeaderDragging(int Column) const override;
    void StartBandDragging(int Band) override;
    void DoStartHeaderDragging(int Column) override;
    void DoDragOverBand(TPoint Point, int Band, bool& Accept) override;
    void DoDragOverHeader(TPoint Point, int Column, bool& Accept) override;
    void DoDragEndBand(TPoint Point, int Band, int& NewIndex, bool& Accept) override;
    // With one band shown, OnColumnMoved follows with the move in the row.
    void DoDragEndHeader(TPoint Point, int Column, TcvHeaderPosInfo& PosInfo, bool& Accept) override;
    void MoveColumnTo(int Column, int Band, int Position, int Row) override;
    void ShowColumnAt(int Band, int Row, int Column, int Position) override;
    void HideColumn(int Column) override;
    void MoveBand(int From, int To) override;
    void ShowBandAt(int VisibleIndex, int Band) override;
    void HideBand(int Band) override;
    bool GetColumnDisableCustomizing(int Column) const override;
    bool GetBandDisableCustomizing(int Band) const override;
    void GetNodeDragText(TcvTreeListNode* Node, int Column, std::string& Text) override;

    std::function<void(TObject* Sender, TcvTreeListBand* ABand, bool& Allow)> OnCanBandDragging;
    std::function<void(TObject* Sender, TcvTreeListColumn* AColumn, bool& Allow)> OnCanHeaderDragging;
    std::function<void(TObject* Sender, TcvTreeListBand* ABand)> OnStartBandDragging;
    std::function<void(TObject* Sender, TcvTreeListColumn* AColumn)> OnStartHeaderDragging;
    std::function<void(TObject* Sender, TcvTreeListBand* ABand, TPoint P, bool& Accept)> OnDragOverBand;
    std::function<void(TObject* Sender, TcvTreeListColumn* AColumn, TPoint P, bool& Accept)> OnDragOverHeader;
    std::function<void(TObject* Sender, TcvTreeListBand* ABand, TPoint P, int AbsoluteIndex, int VisibleIndex,
                       int& NewIndex, bool& Accept)>
        OnDragEndBand;
    std::function<void(TObject* Sender, TcvTreeListColumn* AColumn, TPoint P, TcvHeaderPosInfo& NewPosInfo,
                       bool& Accept)>
        OnDragEndHeader;
    // FromIndex, ToIndex: positions in the column's band row.
    std::function<void(TObject* Sender, int FromIndex, int ToIndex)> OnColumnMoved;
    std::function<void(TObject* Sender, TcvTreeListColumn* Column)> OnHeaderMoved;
    std::function<void(TObject* Sender, TcvTreeListColumn* AColumn, int BandIndex, int RowIndex, int ColIndex)>
        OnShowHeader;
    std::function<void(TObject* Sender, TcvTreeListColumn* AColumn)> OnHideHeader;
    std::function<void(TObject* Sender, TcvTreeListBand* ABand, int NewIndex)> OnShowBand;
    std::function<void(TObject* Sender, TcvTreeListBand* ABand)> OnHideBand;
    std::function<void(TObject* Sender, TcvTreeListNode* Node, int Column, std::string& Text)> OnGetNodeDragText;

    void WndProc(TMessage& Message) override;

protected:
    TcvTreeListNode* CreateNode() override;
    // OnEditing, then the focused column's IsEditorEnabled.
    void DoEditing(TcvTreeListNode* Node, bool& Allow) override;
    // Places the columns read with the form.
    void Loaded() override;
    // The layout cache goes with the row cache.
    void ClearCache() override;
    void ClearLayoutCache() override;
    void RefreshLayoutCache() override;
    void RefreshVisibleColumnCache() override;
    void AdjustHeaderPanelRowCount() override;
    void MakeDefaultLayout();
    // Columns without their own font take the control's.
    void CMFontChanged();
    // The option setters clear the sorted columns.
    void ClearSortKeys() override;
    // The items of a layout; a descendant adds its own after these.
    virtual void SaveGridLayout(TcvRegIniWrapper& Store, const std::string& Section);
    virtual void SaveColumnLayout(TcvRegIniWrapper& Store, const std::string& Section, TcvTreeListColumn* Column);
    virtual void LoadGridLayout(TcvRegIniWrapper& Store, const std::string& Section);
    virtual void LoadColumnLayout(TcvRegIniWrapper& Store, const std::string& Section, TcvTreeListColumn* Column);
    // Raise EReadError "Stream read error" (or the stored block's own read
    // error) unless the stored items have the shape this control writes:
    // LoadLayout checks every section before it applies any, so a damaged
    // layout is refused whole and leaves the control as it was.
    virtual void CheckGridLayout(TcvRegIniWrapper& Store, const std::string& Section);
    virtual void CheckColumnLayout(TcvRegIniWrapper& Store, const std::string& Section,
                                   const TcvTreeListColumn* Column);
    // Around a load: one update, and one sort update with multi-sorting.
    virtual void BeginLoadLayout(TcvRegIniWrapper& Store);
    virtual void EndLoadLayout(TcvRegIniWrapper& Store);

private:
    // Bands and columns rewrite each other's indexes directly.
    friend class TcvTreeListBand;
    friend class TcvTreeListBands;
    friend class TcvTreeListColumn;

    TcvTreeListBand* VisibleBand(int Band) const;
    void EnsureLayoutCache() const;
    // Rows in use by the shown columns of a band (collection index).
    std::vector<bool> BandRowsInUse(int Band) const;
    void RemoveEmptyRows();
    void ClampRowsToBands();
    void FitColumn(TcvTreeListColumn* Column, TCanvas& Canvas);
    void SetNodeIndex(TcvTreeListNode* Node, int TcvTreeListTextNode::*Field, int Value);
    // The column's place among the sort keys; -1 when it is none.
    int GetSortedOrder(const TcvTreeListColumn* Column) const;
    std::string IniRootPath(const std::string& FormName) const;
    bool UsesStore(bool Option, const std::string& Where) const;

    std::vector<TcvTreeListColumn*> FColumns;
    std::vector<TcvTreeListNode*> FSelectedNodes; // sorted by address
    std::vector<TcvInplaceEdit*> FEditors;        // owned as components
    std::unique_ptr<TcvTreeListBands> FBands;
    int FBandMaxRowCount = 5;
    int FBandRowCountProperty = 1;
    int FHeaderMinRowCount = 1;
    int FHeaderPanelMaxRowCount = 5;
    int FHeaderPanelRowCountProperty = 1;
    bool FDefaultLayout = true;
    bool FAdjustingHeaderPanel = false;
    std::vector<TcvTreeListColumn*> FSortedColumns;
    int FSortUpdateCount = 0;
    // Above 0 while a layout loads the columns' places: no placement meanwhile.
    int FColumnRelayoutLock = 0;
    std::string FParentFormName;
    std::string FRegistryPath;
    std::string FIniFileName;
    std::string FIniSectionName;
    bool FLayoutRestored = false;
    bool FLayoutStored = false;

    // The layout cache, rebuilt on the first question after a change.
    mutable bool FLayoutCacheValid = false;
    mutable std::vector<int> FBandIndexByVisible;
    mutable std::vector<int> FVisibleIndexByBand;
    mutable std::vector<std::vector<std::vector<int>>> FBandRowColumns; // [shown band][row]: columns in order
    mutable std::vector<int> FDisplayWidths;                            // by column; 0 when not shown
};
