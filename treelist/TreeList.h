// TCustomcvTreeList: the tree list's object. It owns the root nodes, keeps the
// update lock, the interaction state, the focused and top node and the two
// option words, and answers a node's row from a cache of the shown rows (rows
// in order, each node keeping its own row). A change forgets only the rows
// from its own down and keeps the count of shown rows, so one added or
// deleted node costs no walk over the others; a later row query walks on
// from the last known row as far as it needs. Descendants answer the cell,
// column and band questions through the virtual operations.
#pragma once

#include "editors/Container.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/StdCtrls.h"
#include "treelist/TreeListCellViewData.h"
#include "treelist/TreeListLayout.h"
#include "treelist/TreeListNode.h"
#include "treelist/TreeListPaint.h"
#include "treelist/cvTL.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TcvContainerHintWindow;
class TDragObject;
class TcvInplaceEdit;
class TChangeLink;
class TCustomImageList;
class TStrings;

using TcvTreeListNodeEvent = std::function<void(TObject* Sender, TcvTreeListNode* Node)>;
using TcvTLCompareEvent =
    std::function<void(TObject* Sender, TcvTreeListNode* Node1, TcvTreeListNode* Node2, int& Compare)>;
using TcvTreeListAllowEvent = std::function<void(TObject* Sender, TcvTreeListNode* Node, bool& Allow)>;
using TcvTreeListChangeNodeEvent =
    std::function<void(TObject* Sender, TcvTreeListNode* OldNode, TcvTreeListNode* Node)>;
// Column: the shown index of the newly focused column.
using TcvTreeListChangeColumnEvent = std::function<void(TObject* Sender, TcvTreeListNode* Node, int Column)>;
using TcvTreeListEditValidateEvent = std::function<void(TObject* Sender, std::string& ErrorText, bool& Accept)>;

// The hot cell (Kind 0) or header part (Node nil, Kind the part, 3 the
// filter button); Column is absolute, -1 when nothing is hot.
struct TcvTreeListHotTrackInfo {
    TcvTreeListNode* Node = nullptr;
    int Column = -1;
    int SubItem = 0;
    Byte Kind = 0;
};
using TcvTreeListHotTrackEvent =
    std::function<void(TObject* Sender, TcvTreeListHotTrackInfo HotTrack, TCursor& Cursor)>;

// Where a dragged column header would land: a shown band, its row, the
// position in that row, and the status: -1 no target, -2 the drop would move
// nothing (or is refused), -3 a valid drop.
struct TcvHeaderPosInfo {
    int Band = -1;
    int Row = -1;
    int Column = -1;
    int Status = -1;
};

// Options bits with a fixed meaning in the tree list.
inline constexpr unsigned tlo_ColumnSizing = 1u << 0;
inline constexpr unsigned tlo_ColumnMoving = 1u << 1;
inline constexpr unsigned tlo_Editing = 1u << 2;
inline constexpr unsigned tlo_EditorWantsTab = 1u << 3;
inline constexpr unsigned tlo_TabWrapsRows = 1u << 4;
inline constexpr unsigned tlo_RowSelect = 1u << 5;
inline constexpr unsigned tlo_MultiSelect = 1u << 6;
inline constexpr unsigned tlo_EditorOnRelease = 1u << 7;
inline constexpr unsigned tlo_AutoWidth = 1u << 10;
inline constexpr unsigned tlo_SelectAcrossLevels = 1u << 11;
inline constexpr unsigned tlo_AutoSort = 1u << 14;
inline constexpr unsigned tlo_CaseInsensitive = 1u << 15;
inline constexpr unsigned tlo_StoreToRegistry = 1u << 16;
inline constexpr unsigned tlo_StoreToIniFile = 1u << 17;
// OptionsEx bits.
inline constexpr unsigned tloex_InvertSelect = 1u << 0;
inline constexpr unsigned tloex_ColumnEdgeSizesBand = 1u << 2;
inline constexpr unsigned tloex_AutoPreviewLines = 1u << 3;
inline constexpr unsigned tloex_BandSizing = 1u << 4;
inline constexpr unsigned tloex_BandMoving = 1u << 5;
inline constexpr unsigned tloex_ArrowWrapsRows = 1u << 6;
inline constexpr unsigned tloex_BandRowNavigation = 1u << 7;
inline constexpr unsigned tloex_Preview = 1u << 8;
inline constexpr unsigned tloex_EnterMovesToNextCell = 1u << 9;
inline constexpr unsigned tloex_StartEditByKey = 1u << 10;
inline constexpr unsigned tloex_EditRecord = 1u << 12;
inline constexpr unsigned tloex_DragExpand = 1u << 13;
inline constexpr unsigned tloex_RowAutoHeight = 1u << 15;
inline constexpr unsigned tloex_ShowHourGlass = 1u << 16;
inline constexpr unsigned tloex_BandHeightSizing = 1u << 18;
inline constexpr unsigned tloex_HeaderHeightSizing = 1u << 20;
inline constexpr unsigned tloex_RowSizing = 1u << 21;
inline constexpr unsigned tloex_MultiSort = 1u << 22;
inline constexpr unsigned tloex_ImmediateEditor = 1u << 24;
inline constexpr unsigned tloex_AutoHeaderPanelRowCount = 1u << 25;
inline constexpr unsigned tloex_KeepColumnWidths = 1u << 26;
inline constexpr unsigned tloex_AnsiSort = 1u << 27;
inline constexpr unsigned tloex_MouseSelectRows = 1u << 28;
inline constexpr unsigned tloex_IncSearch = 1u << 29;
// Painting's option bits.
inline constexpr unsigned tlo_DrawEndEllipsis = 1u << 9;
inline constexpr unsigned tlo_HideFocusedCell = 1u << 13;
inline constexpr unsigned tloex_UseBitmap = 1u << 1;
inline constexpr unsigned tloex_CellHotTrack = 1u << 30;
inline constexpr unsigned tloex_CopyByCtrlC = 1u << 31;

// GetNavigationNode's directions.
enum TcvNavigation { navFirst = 0, navPrev = 1, navNext = 2, navLast = 3 };

class TCustomcvTreeList : public TCustomcvContainer {
public:
    explicit TCustomcvTreeList(TComponent* AOwner);
    ~TCustomcvTreeList() override;

    // Root nodes.
    TcvTreeListNode* Add() { return Insert(nullptr); }
    // Before BeforeNode, or last when it is nil.
    TcvTreeListNode* Insert(TcvTreeListNode* BeforeNode);
    int IndexOf(TcvTreeListNode* Node) const { return FRoots->IndexOf(Node); }
    int Count() const { return FRoots->Count(); }
    // nullptr out of range.
    TcvTreeListNode* Items(int Index) const;
    // Frees every node without per-node notifications.
    void ClearNodes();
    bool Clearing() const { return FClearing; }

    // Calls nest; only the outermost EndUpdate lays out and repaints.
    void BeginUpdate();
    void EndUpdate();
    void EndUpdateNoLayout();
    int LockCount() const { return FLockCount; }
    bool IsUpdating() const { return FLockCount > 0; }

    // The interaction (0 normal, 2 editing; the mouse code sets the others).
    Byte State() const { return FState; }
    void SetState(Byte Value);
    // BeginUpdate interrupted a node drag.
    bool DragCancelled() const { return FDragCancelled; }

    unsigned Options() const { return FOptions; }
    void SetOptions(unsigned Value);
    unsigned OptionsEx() const { return FOptionsEx; }
    void SetOptionsEx(unsigned Value);

    // Focus and scrolling.
    TcvTreeListNode* FocusedNode() const { return FFocusedNode; }
    // 0 in row-select mode or when the stored index is out of range.
    int GetFocusedColumn() const;
    void SetFocusedColumn(int Index);
    int GetFocusedRowIndex() const;
    TcvTreeListNode* TopNode() const { return FTopNode; }
    int GetTopRowIndex() const;
    // Stores the top node.
    virtual void SetTopVisibleNode(TcvTreeListNode* Node);
    int LeftCoord() const { return FLeftCoord; }
    // Rows that fit the rows area; 1 until the first layout.
    int VisibleRowCount() const { return FVisibleRowCount; }
    // Focuses the node; the data-aware control moves its dataset first.
    virtual bool FocusNode(TcvTreeListNode* Node);
    virtual void SetFocusedCell(TcvTreeListNode* Node, int Column, bool MakeVisible);

    // Shown rows.
    int GetNodeRowIndex(const TcvTreeListNode* Node) const;
    TcvTreeListNode* GetRowNode(int Row) const;
    int GetVisibleRowCount() const;
    TcvTreeListNode* GetNextVisibleNode(const TcvTreeListNode* Node) const;
    TcvTreeListNode* GetPrevVisibleNode(const TcvTreeListNode* Node) const;
    static bool IsNodeVisible(const TcvTreeListNode* Node);
    TcvTreeListNode* GetLastVisibleNode() const;
    // True while the shown-row cache answers row queries.
    bool RowCacheInUse() const;
    // Expands the node's ancestors and scrolls its row into the visible rows.
    void MakeNodeVisible(TcvTreeListNode* Node);

    // Navigation.
    virtual TcvTreeListNode* GetNavigationNode(TcvTreeListNode* Node, TcvNavigation Direction, bool InTreeOrder);
    virtual TcvTreeListNode* MoveFocus(TcvNavigation Direction, bool InTreeOrder);
    TcvTreeListNode* FocusNextNode() { return MoveFocus(navNext, false); }
    TcvTreeListNode* FocusPrevNode() { return MoveFocus(navPrev, false); }
    virtual bool IsBOF() const;
    virtual bool IsEOF() const;

    // Focus of the window.
    bool IsFocusedInside();
    virtual bool IsFocused();
    // Asked before the rows scroll and before a field's editor opens: may the
    // focus move to the control's cells? The data-aware control takes the
    // focus first and answers whether it got it.
    virtual bool CanFocusEditor() { return true; }

    // The in-place editor.
    TcvInplaceEdit* InplaceEditor() const { return FInplaceEditor; }
    void HideEditor();
    void HideEditorAndFocus();
    void RemoveEditor(bool Focus);
    void ResetEditorCell();
    // The keys an editor hands on (Escape, Enter, Tab, Insert, the row and
    // page keys) take the tree list's own key handling.
    void EditorKeyDown(Word& Key, TShiftState Shift) override;
    int EditorColumn() const { return FEditorColumn; }
    TcvTreeListNode* EditorNode() const { return FEditorNode; }
    TcvPopupBorder GetEditorPopupBorder() override;

    // Editing host: the editor that serves the focused cell, its set-up and
    // the host call-backs that answer it.
    // A text editor owned by the tree list.
    virtual TcvInplaceEdit* CreateEditor(int VisibleColumn);
    // The current editor.
    virtual TcvInplaceEdit* FindEditor(int VisibleColumn);
    // Colour (the nearest the screen shows), a copy of the edit font, margins.
    virtual void InitEditor(TcvInplaceEdit* Editor);
    // Loads the cell value into the editor; the tree list has none.
    virtual void ColumnEditorHook(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value);
    // The focused column's colour, then OnGetEditColor.
    TColor GetEditColor() override;
    // The focused column's font when it set one, else the control's.
    TFont* GetEditFont() override;
    // A TcvTreeListEditStyle bound to this tree list.
    std::unique_ptr<TcvEditStyle> CreateEditStyle(TcvInplaceEdit* Editor) override;
    bool CanEditModify() override { return true; }
    bool IsValidEditChar(char32_t Key) override { return (void)Key, true; }
    // Editing state with a window, outside design mode and update batches.
    bool IsEditing() const;
    // The focus left the row the editor was opened for.
    bool IsEditorInputBlocked() override;
    // Ends the edit and focuses the previous (Up) or next row.
    void EditorMoveFocusedRow(bool Up) override;
    void EditorFocusChanged() override { InvalidateSelection(); }
    // The editor's text for its value while editing; empty otherwise.
    std::string GetEditorValueText();
    // The editor of the focused column becomes the current one, loaded unless
    // it holds the focused cell already, and is shown over the cell (without
    // its after-show action when Show is False).
    void UpdateEditor(bool Show);
    // The focused cell becomes the editor cell and its value enters the set-up
    // editor inside the editor-filling bracket, so no change event fires.
    void LoadEditorValue();
    // A modified editor value goes into the editor cell (GetCellVariant), then
    // OnEdited.
    void PostEditorValue();
    // After rows or columns moved under the open editor: it follows its
    // cell, or ends (its value posted) when the cell no longer shows; a
    // refusal to end is reported and the edit dropped.
    void FollowEditorCell();
    // Takes the editor's value into the cell; the tree list only resets Value.
    virtual void GetCellVariant(TcvTreeListNode* Node, int Column, Variant& Value, TcvInplaceEdit* Editor);
    // ShowEditor, then the key goes to the editor: Ctrl+V pastes, Ctrl+X
    // cuts, any other character is typed there.
    void ShowEditorWithChar(char32_t Key);
    // ShowEditor, then the editor acts on the mouse-down at X, Y.
    void ShowEditorWithMouse(TShiftState Shift, int X, int Y);
    // ShowEditor, then the editor hears that a click opened it.
    void ShowEditorByClick();

    // Incremental search: typing finds the next node whose text in the search
    // column begins with the typed characters (case ignored) and focuses it.
    // Search directions: from the focused node, backward from the one before
    // it, forward from the one after it.
    enum TcvSearchDirection { sdFromFocused = 0, sdBackward = 1, sdForward = 2 };
    // Column -1: the focused cell's. True when some text is left.
    bool StartIncrementalSearch(int Column, const std::string& Text);
    // A miss empties Text (ClearOnFail) or, from the focused node, drops its
    // last character, so Text stays the longest prefix that matched.
    virtual void SearchNode(std::string& Text, int Direction, bool ClearOnFail);
    // Walks the tree (or the shown rows without AutoExpandOnSearch) from the
    // focused node, wrapping once round; nothing for an empty Text.
    virtual bool FindNodeByText(int Column, const std::string& Text, TcvTreeListNode*& Node, int Direction);
    // Search mode ends; the focused row loses its highlight.
    virtual void EndIncrementalSearch();
    // The search follows the focused column; a new column starts an empty text.
    void SyncSearchColumn();
    void SetAutoExpandOnSearch(bool Value) { FAutoExpandOnSearch = Value; }
    bool Searching() const { return FSearching; }
    int SearchColumn() const { return FSearchColumn; }
    const std::string& SearchText() const { return FSearchText; }
    // Ctrl held without Alt (Ctrl+Alt types AltGr characters), from the live keyboard.
    static bool IsCtrlOnlyDown();
    std::function<void(TObject* Sender, TColor& Color)> OnGetEditColor;

    // Selection. The base keeps no selected nodes, only the anchor and the
    // pending node, and reports changes; the control keeps the set.
    virtual bool IsNodeSelected(const TcvTreeListNode* Node) const { return (void)Node, false; }
    // Reports the change (DoSelectedCountChange).
    virtual void SetNodeSelected(TcvTreeListNode* Node, bool Value);
    // Drops the pending node and reports the change.
    virtual void ClearSelection();
    virtual int SelectedCount() const { return 0; }
    // nullptr out of range.
    virtual TcvTreeListNode* GetSelectedNode(int Index) const { return (void)Index, nullptr; }
    virtual bool CanSelectRange() const { return true; }
    // OnCanNodeSelected; then, without selection across levels, the node must
    // share its parent with the first selected node (none selected: the anchor).
    virtual bool CanNodeSelected(TcvTreeListNode* Node);
    // -1 when the anchor's row lies below the node's, 0 on it, else 1.
    // The grid answers both by its records when its rows are a dataset window.
    virtual int CompareToSelectionAnchor(const TcvTreeListNode* Node) const;
    TcvTreeListNode* GetSelectionAnchor() const { return FSelectionAnchor; }
    virtual void SetSelectionAnchor(TcvTreeListNode* Node) { FSelectionAnchor = Node; }
    // The node a click selects once the button is released (the mouse code).
    TcvTreeListNode* PendingSelectionNode() const { return FPendingSelectionNode; }
    void SetPendingSelectionNode(TcvTreeListNode* Node) { FPendingSelectionNode = Node; }
    // Drops the pending node; answers SelectedCount.
    int ResetSelectionPending();
    // OnSelectedCountChange, unless destroying or inside a selection bracket.
    virtual void DoSelectedCountChange();
    // The focused row and the selected rows (the whole control from 11 on).
    virtual void InvalidateSelection();
    // Selects the shown rows from min(row A, row B) to max(row A, row B), in
    // one selection bracket; nothing when either node is not shown.
    virtual void SelectNodeRange(TcvTreeListNode* NodeA, TcvTreeListNode* NodeB);
    // While editing, replaces the editor's text as if typed.
    void SetEditorText(const std::string& Text);
    TcvTreeListAllowEvent OnCanNodeSelected;
    // A bracket around selection changes: OnSelectedCountChange fires at the
    // outermost end when the count differs from the one at the start.
    virtual void BeginSelectionChange();
    virtual void EndSelectionChange();
    // True inside the bracket: the control's own gestures are changing the selection.
    bool InSelectionChange() const { return FSelectionChangeLevel > 0; }

    // Hot tracking: the cell or header part under the pointer.
    const TcvTreeListHotTrackInfo& HotTrackInfo() const { return FHotTrack; }
    // Whether a cell is hot under the pointer (Column: absolute index).
    virtual bool IsCellHotTrack(TcvTreeListNode* Node, int Column) const;
    // Whether a header point is a hot part, giving the part: the filter
    // button's strip at the right of a header that shows one.
    virtual bool IsHeaderHotPart(TPoint Point, int Column, Byte& Part) const;
    // OnHotTrackNode with a copy of the record; it may change the cursor.
    virtual void DoHotTrackNode(const TcvTreeListHotTrackInfo& HotTrack, TCursor& Cursor);
    // The step of a mouse move: the hot record follows the hit, the old and
    // new hot areas are repainted and the cursor follows the new one.
    virtual void UpdateHotTrack(const TcvTreeListHitInfo& Hit);
    // The same step for the pointer where it is now.
    void UpdateHotTrackAtPointer();
    TcvTreeListHotTrackEvent OnHotTrackNode;

    // Node data, answered by descendants.
    virtual std::string GetNodeString(const TcvTreeListNode* Node, int Column) const;
    virtual void GetNodeValue(const TcvTreeListNode* Node, int Column, Variant& Value) const;
    virtual void StoreNodeString(TcvTreeListNode* Node, int Column, const std::string& Text);
    virtual int GetNodeImageIndex(const TcvTreeListNode* Node) const { return (void)Node, -1; }
    virtual int GetNodeSelectedIndex(const TcvTreeListNode* Node) const { return (void)Node, -1; }
    virtual int GetNodeStateIndex(const TcvTreeListNode* Node) const { return (void)Node, -1; }
    // The owner may say a node has children before they exist.
    virtual bool HasChildNodes(const TcvTreeListNode* Node) const;
    // The columns shown in the bands' rows.
    virtual int GetVisibleColumnCount() const;
    // The absolute index of the n-th shown column (bands in shown order, a
    // band's rows top to bottom, a row's columns left to right); -1 past them.
    int GetAbsoluteIndex(int VisibleIndex) const;
    // The shown position of an absolute column; 0 when it is not shown.
    int GetVisibleIndex(int AbsoluteIndex) const;
    // The absolute index of the focused column, remembered until the focus
    // or the layout changes.
    int GetFocusedAbsoluteIndex() const;
    // Repaints the node's row (and with Relayout its height may change).
    virtual void InvalidateNode(TcvTreeListNode* Node, bool Relayout);
    // Repaints the node's row and every row below it.
    void InvalidateRowsFrom(TcvTreeListNode* Node);

    static bool RangesOverlap(int A1, int A2, int B1, int B2) { return A1 <= B2 && B1 <= A2; }

    // Metrics, valid after the first layout (before it, the font's).
    bool Flat() const { return FTreeLookAndFeel != lfStandard; }
    bool ShowRootIndent() const { return !FNoRootIndent; }
    int BandRowCount() const { return FBandRowCount; }
    int HeaderPanelRowCount() const { return FHeaderPanelRowCount; }
    int BandLineHeight() const { return FBandLineHeight; }
    int BandHeaderHeight() const { return FBandHeaderHeight; }
    int HeaderRowHeight() const { return FHeaderRowHeight; }
    int HeaderHeight() const { return FHeaderHeight; }
    int GroupPanelHeight() const { return FGroupPanelHeight; }
    int IndicatorWidth() const { return FIndicatorWidth; }
    int TextHeight() const { return FTextHeight; }
    int FooterHeight() const { return FFooterHeight; }
    int RowFooterHeight() const { return FRowFooterHeight; }
    int FilterBarHeight() const { return FFilterBarHeight; }
    int MinRowHeight() const { return FMinRowHeight; }
    int HorzLineStep() const { return FHorzLineStep; }
    int ImageWidth() const { return FImageWidth; }
    int StateImageWidth() const { return FStateImageWidth; }
    int LevelIndent() const { return FLevelIndent; }
    int RowHeight() const { return FRowHeight; }
    int NewItemRowHeight() const { return FNewItemRowHeight; }
    int PreviewLineHeight() const { return FPreviewLineHeight; }
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    // Marks the height as set explicitly; the layout raises it to RowHeight.
    void SetDefaultRowHeight(int Value);
    bool DefaultRowHeightAssigned() const { return FDefaultRowHeightAssigned; }

    // Height of a node's row (nullptr: a plain row) for the line height given.
    int GetRowHeight(TcvTreeListNode* Node, int LineHeight, bool IgnoreCache);
    int GetRowFooterCount(const TcvTreeListNode* Node) const;
    // Where a node's images (A) and text (B) begin in its first cell.
    void GetNodeIndents(const TcvTreeListNode* Node, int& A, int& B) const;
    TcvTreeListRectInfo CalcRectInfo() const;
    TcvTreeListDrawInfo CalcDrawInfo();
    // Band widths: the shown width (auto-width shares out the available
    // area), the least a band may be and the width its columns ask for.
    int GetBandWidth(int Band) const;
    int GetBandMinimumWidth(int Band) const;
    int GetBandNaturalWidth(int Band) const;
    int GetTotalBandsWidth() const;
    // The total width less the fixed bands (and the group indent with a
    // fixed left band).
    int GetScrollableBandsWidth() const;
    // Left of a scrolling band among the scrolling bands; 0 for fixed bands.
    int GetBandLeft(int Band) const;
    // A column's width after its band row's share.
    virtual int GetColumnDisplayWidth(int Column) const;
    // A cell's rectangle in the rows area; -1 on every side when the column
    // has no header cell or the node no row.
    TRect GetCellRect(TcvTreeListNode* Node, int VisibleColumn);
    // The rectangle the in-place editor covers over that cell.
    TRect GetCellEditRect(TcvTreeListNode* Node, int VisibleColumn);
    // A row footer line of a node whose footer part starts at Top.
    TRect GetRowFooterRect(const TcvTreeListNode* Node, int Index, const TcvTreeListDrawInfo& Info, int RightInset,
                           int Top) const;
    // The level of the n-th ancestor that has a footer line; -1 when none.
    int GetAncestorLevel(const TcvTreeListNode* Node, int N) const;
    void GetHitInfo(TPoint Point, TcvTreeListHitInfo& HitInfo);
    int GetHitTestKind(int X, int Y);
    TcvTreeListNode* GetHitNode(int X, int Y);
    bool CanSizeBand(int Band) const;
    virtual bool CanSizeColumn(int Column) const;

    // Band and column questions; the tree list itself has none.
    virtual int GetBandRowCount() const { return 1; }
    virtual int GetHeaderPanelRowCount() const { return 1; }
    virtual int GetHeaderLineCount() const { return 1; }
    virtual int GetGroupPanelHeight() const { return 0; }
    virtual int GetIndicatorWidth() const { return 12; }
    virtual bool IsFilterButtonShown() const { return false; }
    // The tallest row a column's content asks for (0: none).
    virtual int GetMaxColumnHeight() { return 0; }
    virtual int GetBandCount() const { return 0; }
    virtual int GetFixedLeftBandIndex() const { return -1; }
    virtual int GetFixedRightBandIndex() const { return -1; }
    // The band's own width, before the minimums and auto-width apply.
    virtual int GetVisibleBandWidth(int Band) const { return (void)Band, 0; }
    virtual bool CanBandSizing(int Band) const { return (void)Band, true; }
    virtual int GetGroupIndentWidth() const { return 0; }
    virtual int GetBandRowCountOf(int Band) const { return (void)Band, 0; }
    virtual int GetColumnCountInBandRow(int Band, int Row) const { return (void)Band, (void)Row, 0; }
    virtual int GetColumnAt(int Band, int Row, int Position) const { return (void)Band, (void)Row, (void)Position, -1; }
    virtual int GetColumnWidth(int Column) const { return (void)Column, 0; }
    virtual int GetColumnMinWidth(int Column) const { return (void)Column, 0; }
    virtual bool CanColumnSizing(int Column) const { return (void)Column, true; }
    virtual int GetColumnHeaderMaxLineCount(int Column) const { return (void)Column, 1; }
    virtual bool IsGroupNode(const TcvTreeListNode* Node) const { return (void)Node, false; }
    virtual bool IsGroupLevel(int Level) const { return (void)Level, false; }
    // A row footer of group level Level shows a cell under Column.
    virtual bool IsGroupLevelNode(const TcvTreeListNode* Node, int Column, int Level) const {
        return (void)Node, (void)Column, (void)Level, false;
    }
    virtual int GetIndicatorKind(const TcvTreeListNode* Node) const { return (void)Node, 0; }
    // A node's row line count, the largest of its cells' and at least 1; may
    // raise LineHeight to its tallest cell text.
    virtual int GetRowLineCount(TcvTreeListNode* Node, int& LineHeight);
    // Measures a cell's text word-wrapped in BoundsWidth for automatic row
    // heights: True with LineCount and TextHeight (which enters as one line's
    // height and leaves with the row text margin). The tree list measures
    // nothing, so its cells add nothing.
    virtual bool CalcCellLineCount(TcvTreeListNode* Node, int Column, const std::string& Text, int BoundsWidth,
                                   int MaxLineCount, bool InflateFlag, bool GridFlag, int& LineCount,
                                   int& TextHeight) {
        (void)Node, (void)Column, (void)Text, (void)BoundsWidth, (void)MaxLineCount, (void)InflateFlag, (void)GridFlag;
        (void)LineCount, (void)TextHeight;
        return false;
    }
    virtual int GetPreviewLineCount(TcvTreeListNode* Node);
    virtual std::string GetPreviewText(const TcvTreeListNode* Node) const { return (void)Node, std::string(); }
    virtual bool CanCacheRowHeight() const { return true; }
    bool IsPreviewShown() const { return (FOptionsEx & tloex_Preview) != 0; }
    bool IsRowAutoHeight() const { return (FOptionsEx & tloex_RowAutoHeight) && FMaxRowLineCount != 0; }
    bool IsRowFooterShown() const { return FShowRowFooter; }
    bool ShowButtons() const { return FShowButtons; }
    bool TestViewFlags() const { return FShowRoot; }

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);

    // The last tie-break of a sort: the identity order of the two nodes.
    virtual int CompareSelectionItems(TcvTreeListNode* Node1, TcvTreeListNode* Node2);
    // Locale string comparison in sorting.
    bool IsAnsiSort() const { return (FOptionsEx & tloex_AnsiSort) != 0; }

    // Sorting. SortChildren orders child lists by the sort keys; the tree
    // list has none, so Column alone orders them. The keys' cell values come
    // from GetNodeVariant.
    virtual int GetSortKeyCount() const { return 0; }
    virtual bool IsSortKeyDescending(int Index) const { return (void)Index, false; }
    virtual int GetSortKeyColumnIndex(int Index) const { return Index; }
    // Whether a sort by Column uses every key.
    virtual bool CanMultiSort(int Column) const { return (void)Column, IsMultiSort(); }
    // Unassigned here.
    virtual void GetNodeVariant(const TcvTreeListNode* Node, int Column, Variant& Value) const;
    virtual bool IsShowHourGlass() const { return FOptionsEx & tloex_ShowHourGlass; }
    // Level -1 sorts every list, each before its nodes' children; Level k
    // only the lists k levels down (0: the roots). The screen cursor is put
    // back however the sort ends, and a comparison that throws leaves the list
    // it was sorting as it was.
    void SortChildren(int Level, int Column, bool Descending);
    // One header click: while DoColumnClick runs, SortWithShift tells
    // whether Shift adds a sort key and SortWithCtrl whether Ctrl removes it.
    void ClickColumnHeader(int Column, bool ShiftDown, bool CtrlDown);

    TcvTLCompareEvent OnCompare;
    TcvTreeListAllowEvent OnCollapsing;
    TcvTreeListAllowEvent OnExpanding;
    TcvTreeListNodeEvent OnCollapsed;
    TcvTreeListNodeEvent OnExpanded;
    TcvTreeListNodeEvent OnDeletion;
    TNotifyEvent OnChangeTopVisibleNode;
    TNotifyEvent OnSelectedCountChange;

    // Appearance defaults that the layout reads.
    TColor ArrowsColor() const { return FArrowsColor; }
    TColor BandColor() const { return FBandColor; }
    TColor HeaderColor() const { return FHeaderColor; }
    TColor GroupNodeColor() const { return FGroupNodeColor; }
    TColor HideSelectionColor() const { return FHideSelectionColor; }
    TColor GroupNodeTextColor() const { return FGroupNodeTextColor; }
    TColor GridLineColor() const { return FGridLineColor; }
    TColor AutoSearchColor() const { return FAutoSearchColor; }
    TColor AutoSearchTextColor() const { return FAutoSearchTextColor; }
    TColor HideSelectionTextColor() const { return FHideSelectionTextColor; }
    TColor HighlightColor() const { return FHighlightColor; }
    TColor HighlightTextColor() const { return FHighlightTextColor; }
    TColor FixedBandLineColor() const { return FFixedBandLineColor; }
    TColor RowFooterColor() const { return FRowFooterColor; }
    TColor RowFooterTextColor() const { return FRowFooterTextColor; }
    TFont* BandFont() const { return FBandFont.get(); }
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    TFont* PreviewFont() const { return FPreviewFont.get(); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    int IndentDesc() const { return FIndentDesc; }
    int PreviewLines() const { return FPreviewLines; }
    int MaxRowLineCount() const { return FMaxRowLineCount; }
    int FixedBandLineWidth() const { return FFixedBandLineWidth; }
    int RowSeparatorLineWidth() const { return FRowSeparatorLineWidth; }
    int CustomizingRowCount() const { return FCustomizingRowCount; }
    int WaitForExpandNodeTime() const { return FWaitForExpandNodeTime; }
    bool AutoExpandOnSearch() const { return FAutoExpandOnSearch; }
    bool DblClkExpanding() const { return FDblClkExpanding; }
    bool HideFocusRect() const { return FHideFocusRect; }
    bool HideSelection() const { return FHideSelection; }
    bool ShowHeader() const { return FShowHeader; }
    bool ShowPreviewGrid() const { return FShowPreviewGrid; }
    bool ShowBands() const { return FShowBands; }
    bool ShowGrid() const { return FShowGrid; }
    bool ShowNewItemRow() const { return FShowNewItemRow; }
    bool ShowRowFooter() const { return FShowRowFooter; }
    bool ShowFooter() const { return FShowFooter; }
    bool ShowIndicator() const { return FShowIndicator; }

    // Setters store only a changed value, then repaint, lay out again
    // (nothing inside an update batch) or recreate the window's frame.
    // Integer setters clamp rather than raise.
    void SetShowBands(bool Value) { StoreAndRelayout(FShowBands, Value); }
    void SetShowHeader(bool Value) { StoreAndRelayout(FShowHeader, Value); }
    void SetShowGrid(bool Value) { StoreAndRelayout(FShowGrid, Value); }
    void SetShowPreviewGrid(bool Value) { StoreAndRelayout(FShowPreviewGrid, Value); }
    void SetShowFooter(bool Value) { StoreAndRelayout(FShowFooter, Value); }
    void SetShowIndicator(bool Value) { StoreAndRelayout(FShowIndicator, Value); }
    // Switching it off first makes an active new-item row inactive.
    void SetShowNewItemRow(bool Value);
    void SetShowRowFooter(bool Value) { StoreAndRelayout(FShowRowFooter, Value); }
    void SetNoRootIndent(bool Value) { StoreAndRelayout(FNoRootIndent, Value); }
    void SetBandColor(TColor Value) { StoreAndRepaint(FBandColor, Value); }
    void SetFixedBandLineColor(TColor Value) { StoreAndRepaint(FFixedBandLineColor, Value); }
    void SetRowFooterColor(TColor Value) { StoreAndRepaint(FRowFooterColor, Value); }
    void SetRowFooterTextColor(TColor Value) { StoreAndRepaint(FRowFooterTextColor, Value); }
    void SetGridLineColor(TColor Value) { StoreAndRepaint(FGridLineColor, Value); }
    void SetGroupNodeColor(TColor Value) { StoreAndRepaint(FGroupNodeColor, Value); }
    void SetGroupNodeTextColor(TColor Value) { StoreAndRepaint(FGroupNodeTextColor, Value); }
    void SetHeaderColor(TColor Value) { StoreAndRepaint(FHeaderColor, Value); }
    void SetHideFocusRect(bool Value) { StoreAndRepaint(FHideFocusRect, Value); }
    void SetHideSelection(bool Value) { StoreAndRepaint(FHideSelection, Value); }
    void SetHideSelectionColor(TColor Value) { StoreAndRepaint(FHideSelectionColor, Value); }
    void SetHideSelectionTextColor(TColor Value) { StoreAndRepaint(FHideSelectionTextColor, Value); }
    void SetHighlightColor(TColor Value) { StoreAndRepaint(FHighlightColor, Value); }
    void SetHighlightTextColor(TColor Value) { StoreAndRepaint(FHighlightTextColor, Value); }
    // The value is copied into the owned font.
    void SetBandFont(TFont* Value) { FBandFont->Assign(Value); }
    void SetHeaderFont(TFont* Value) { FHeaderFont->Assign(Value); }
    void SetPreviewFont(TFont* Value) { FPreviewFont->Assign(Value); }
    // Values below 1 become 1.
    void SetFixedBandLineWidth(int Value) { StoreAndRelayout(FFixedBandLineWidth, std::max(Value, 1)); }
    void SetRowSeparatorLineWidth(int Value) { StoreAndRelayout(FRowSeparatorLineWidth, std::max(Value, 1)); }
    // Negative values become 0.
    void SetIndentDesc(int Value) { StoreAndRelayout(FIndentDesc, std::max(Value, 0)); }
    // Values below -1 become -1 (no limit).
    void SetMaxRowLineCount(int Value) { StoreAndRelayout(FMaxRowLineCount, std::max(Value, -1)); }
    void SetPreviewLines(int Value) { StoreAndRelayout(FPreviewLines, std::max(Value, -1)); }
    // Values below 2 become 2; nothing else happens.
    void SetCustomizingRowCount(int Value) { FCustomizingRowCount = std::max(Value, 2); }
    void SetArrowsColor(TColor Value) { FArrowsColor = Value; }
    void SetAutoSearchColor(TColor Value) { StoreAndRepaint(FAutoSearchColor, Value); }
    void SetAutoSearchTextColor(TColor Value) { StoreAndRepaint(FAutoSearchTextColor, Value); }
    void SetWaitForExpandNodeTime(int Value) { FWaitForExpandNodeTime = Value; }
    void SetDblClkExpanding(bool Value) { FDblClkExpanding = Value; }
    void SetBorderStyle(TBorderStyle Value) { StoreAndRecreate(FBorderStyle, Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value) { StoreAndRecreate(FScrollBars, Value); }
    // The editor goes first; lfUltraFlat gives the container (its flat scroll
    // bars) lfUltraFlat, the other two lfStandard; the expand buttons are
    // repainted and the frame recreated.
    void SetLookAndFeel(TcvLookAndFeel Value);
    bool IsNewItemRowActive() const { return FNewItemRowActive; }
    bool IsNewItemRowShown() const { return FShowNewItemRow && FHeaderPanelRowCount >= 1; }
    // Only while the new-item row is shown.
    void SetNewItemRowActive(bool Value);
    TcvLookAndFeel LookAndFeel() const { return FTreeLookAndFeel; }

    // Recomputes metrics and layout, unless an update batch is open.
    virtual void LayoutChanged();

    // Columns and bands: the control with columns answers these; the tree
    // list has none. Bands by shown index, columns by absolute index.
    virtual int GetAbsoluteColumnCount() const { return 0; }
    virtual int GetDefaultColumnWidth() const { return 100; }
    virtual TAlignment GetBandAlignment(int Band) const { return (void)Band, taCenter; }
    virtual std::string GetBandCaption(int Band) const { return (void)Band, std::string(); }
    virtual int GetBandMinWidth(int Band) const { return (void)Band, 0; }
    virtual bool GetBandOnlyOwnColumns(int Band) const { return (void)Band, false; }
    virtual std::string GetColumnCaption(int Column) const { return (void)Column, std::string(); }
    virtual TAlignment GetColumnHeaderAlignment(int Column) const { return (void)Column, taLeftJustify; }
    virtual TAlignment GetColumnAlignment(int Column) const { return (void)Column, taLeftJustify; }
    virtual TColor GetColumnColor(int Column) const { return (void)Column, Color(); }
    virtual TFont* GetColumnFont(int Column) const { return (void)Column, Font(); }
    virtual bool IsColumnFontAssigned(int Column) const { return (void)Column, false; }
    virtual bool HasColumnHeaderGlyph(int Column) const { return (void)Column, false; }
    virtual TBitmap* GetColumnHeaderGlyph(int Column) const { return (void)Column, nullptr; }
    virtual TcvTreeListColumnSort GetColumnSortState(int Column) const { return (void)Column, csNone; }
    virtual bool IsColumnVisible(int Column) const { return (void)Column, false; }
    virtual bool IsMemoColumn(int Column) const { return (void)Column, false; }
    virtual std::string GetCellText(const TcvTreeListNode* Node, int Column) const {
        return GetNodeString(Node, Column);
    }
    // A band's width change is reported even when the width stays.
    virtual bool IsBandHeaderWidth() const { return (FOptionsEx & tloex_ColumnEdgeSizesBand) != 0; }
    // Paints one node cell inside R from the cell description; the control
    // paints through the column's editor class.
    virtual void DrawCellContent(HDC DC, const TRect& R, int Column, TcvTreeListCellViewData& Cell) {
        (void)DC, (void)R, (void)Column, (void)Cell;
    }
    // Removes the cell text at Index from the node and its descendants.
    virtual void DeleteNodeValue(TcvTreeListNode* Node, int Index) { (void)Node, (void)Index; }
    virtual void UpdateHeaderLayout() { LayoutChanged(); }
    // The stored layout is put back after loading (a hook of the layout storage).
    virtual void RestoreLayout() {}
    // Scrolling. The rows scroll by whole rows from the top node, the bands
    // by pixels (LeftCoord) between the fixed bands.
    // Counts the rows that fit the rows area from the top node: partly
    // visible ones (their top inside) and fully visible ones, each at least 1.
    virtual void CalcVisibleRows();
    virtual int GetVisibleRowCapacity() const { return FPartVisibleRowCount; }
    // Min 0, Max the last row (0 when the rows fit one page), Page the fully
    // visible rows, Position the top row.
    virtual void GetVertScrollInfo(int& Min, int& Max, int& Page, int& Position);
    // Horizontal, then vertical, and once more when the first pass showed or
    // hid a bar: that changes the room the other one has.
    virtual void UpdateScrollBars();
    void UpdateHorzScrollBar();
    void UpdateVertScrollBar();
    bool IsHorzScrollBarWanted() const { return FScrollBars == ssHorizontal || FScrollBars == ssBoth; }
    bool IsVertScrollBarWanted() const { return FScrollBars == ssVertical || FScrollBars == ssBoth; }
    // Both bars go at once when every row and the bands would fit without
    // them (one at a time, each would keep the other).
    void RemoveScrollBarsWhenFitting();
    // The node shown at the last row.
    virtual bool IsLastNode(const TcvTreeListNode* Node) const;
    virtual bool IsFirstNode(const TcvTreeListNode* Node) const { return Node && Node == Items(0); }
    // The width the scrolling bands show: the client less the indicator and
    // the fixed bands.
    int GetVisibleWidth() const;
    // Clamped to [0, scrollable width - visible width]; moves the window
    // content when at most a visible width moves and no band is fixed.
    void SetLeftCoord(int Value);
    // Clamped so the last page stays full; moves the rows' pixels when at most
    // one page moves.
    void SetTopRowIndex(int Value);
    // After a size change: the top row and LeftCoord back into range.
    void ClampScrollPositions();
    // The pixels that N rows take: N > 0 the N rows above the top node, N < 0
    // minus the -N rows from the top node down.
    int GetRowsPixelDistance(int N);
    // The top row under which Row is the last row shown.
    int GetTopRowShowingLast(int Row);
    // Scroll the pixels of the rows area (with the indicator) by DY, and of
    // the scrolling bands by DX; what is uncovered is invalidated.
    void ScrollRows(int DY);
    void ScrollBands(int DX);
    // The rectangle of the horizontally scrolling bands.
    TRect GetScrollingBandsRect() const;
    // A node's row: the rows area's width, -1 on every side when the row is
    // not among those shown; ToBottom stretches it to the rows area's bottom.
    TRect GetNodeRowRect(const TcvTreeListNode* Node, bool ToBottom);

    // Window messages and the small repaints the mouse and drag code call.
    void WndProc(TMessage& Message) override;
    // Draws, and called again erases, the sizing line of the sizing states at
    // SizingCoord with an inverting pen.
    void DrawSizingLine();
    int SizingCoord() const { return FSizingCoord; }
    void SetSizingCoord(int Value) { FSizingCoord = Value; }
    // Puts on, and called again takes off, the drop arrows of a band (state 9)
    // or column drag at DragArrowPoint, saving what lies under them in the
    // unit's DragWorkBitmap; HideDragImage hides a dragged image meanwhile.
    void DrawDragImage(bool HideDragImage);
    TPoint DragArrowPoint() const { return FDragArrowPoint; }
    void SetDragArrowPoint(TPoint Value) { FDragArrowPoint = Value; }
    bool DragArrowsShown() const { return FDragArrowsShown; }
    void InvalidateBandHeader() { InvalidateAreaNow(CalcRectInfo().BandHeader); }
    void InvalidateBandCorner() { InvalidateAreaNow(CalcRectInfo().BandIndicator); }
    void InvalidateHeader() { InvalidateAreaNow(CalcRectInfo().Header); }
    void InvalidateHeaderCorner() { InvalidateAreaNow(CalcRectInfo().HeaderIndicator); }
    void InvalidateNewItemRow();
    // Ends the mouse-driven states: a sizing line is erased, the state
    // returns to normal.
    virtual void CancelMouseOperation();
    // Opens the editor on the focused cell: only with editing allowed, outside
    // row-select mode and when OnEditing agrees; a refusal drops the editor.
    virtual void ShowEditor();

    // Option tests: every option is read through one of these, so that a
    // descendant can answer differently.
    virtual bool IsAutoCalcPreviewLines() const { return FOptionsEx & tloex_AutoPreviewLines; }
    virtual bool IsFilterActive() const { return false; }
    virtual bool IsAutoHeaderPanelHeight() const { return FOptionsEx & tloex_AutoHeaderPanelRowCount; }
    virtual bool IsIncSearchEnabled() const { return FOptionsEx & tloex_IncSearch; }
    virtual bool IsAutoSort() const { return FOptions & tlo_AutoSort; }
    virtual bool IsAutoWidth() const { return FOptions & tlo_AutoWidth; }
    virtual bool CanEditRecord() const { return FOptionsEx & tloex_EditRecord; }
    virtual bool CanEditing() const { return FOptions & tlo_Editing; }
    virtual bool CanStartEditByKey() const { return FOptionsEx & tloex_StartEditByKey; }
    virtual bool IsEnterMovesToNextCell() const {
        return (FOptionsEx & tloex_EnterMovesToNextCell) && CanStartEditByKey();
    }
    virtual bool CanSelectAcrossLevels() const { return FOptions & tlo_SelectAcrossLevels; }
    virtual bool IsArrowWrapsRows() const { return FOptionsEx & tloex_ArrowWrapsRows; }
    // Never outside row-select mode while editing is allowed.
    virtual bool CanMouseSelectRows() const {
        return (FOptionsEx & tloex_MouseSelectRows) && (IsRowSelect() || !CanEditing());
    }
    virtual bool IsMultiSelect() const { return FOptions & tlo_MultiSelect; }
    virtual bool IsMultiSort() const { return FOptionsEx & tloex_MultiSort; }
    virtual bool IsRowSelect() const { return FOptions & tlo_RowSelect; }
    virtual bool IsTabWrapsRows() const { return FOptions & tlo_TabWrapsRows; }
    virtual bool IsBandRowNavigation() const { return FOptionsEx & tloex_BandRowNavigation; }
    virtual bool IsRowHeightVariable() const { return false; }
    virtual bool IsImmediateEditorClick() const { return FOptionsEx & tloex_ImmediateEditor; }
    bool EditorConvertsDblClick() override { return FOptions & tlo_EditorOnRelease; }
    // Tab moves between cells unless Ctrl is held.
    bool EditorWantsTab() override;

    // Events, each fired by its Do... dispatcher. Neither change event can veto.
    TcvTreeListNodeEvent OnEdited;
    TcvTreeListAllowEvent OnEditing;
    TcvTreeListChangeColumnEvent OnChangeColumn;
    TNotifyEvent OnChangeLeftCoord;
    TcvTreeListChangeNodeEvent OnChangeNode;
    // Sender: the in-place editor.
    TNotifyEvent OnEditChange;
    TcvTreeListEditValidateEvent OnEditValidate;
    // Clamped into the shown rows; focuses that row's node in the focused column.
    virtual void SetFocusedRowIndex(int Row);
    // Scrolls the bands so the shown column's header cell lies inside the
    // scrolling area; columns of fixed bands stay.
    void MakeColumnVisible(int Column);

    // Keyboard. KeyDown runs the key map; while a mouse operation runs only
    // Escape acts (it cancels the operation).
    // The grid filters keys by its dataset's state; the tree list takes all.
    virtual bool CanHandleKey(Word Key, TShiftState Shift) { return (void)Key, (void)Shift, true; }
    // A column's row in its band, and whether Tab stops on it (absolute index).
    virtual int GetColumnRowIndex(int Column) const { return (void)Column, 0; }
    virtual bool GetColumnTabStop(int Column) const { return (void)Column, true; }
    // The editor takes the cell's value again (the editing code fills it in).
    virtual void RefreshEditor() {}

    // Mouse. MouseDown, MouseMove and MouseUp act by the hit code and the
    // interaction state; sizing results and header clicks go to the virtual
    // operations below (nothing in the tree list; the control applies them).
    virtual bool IsDblClickEnabled() const { return true; }
    // The grid puts its dataset into edit state before a new-item row click.
    virtual void EnsureCellEdit() {}
    // A double-click on a band's or a column's sizing edge.
    virtual void BandEdgeDblClick(int Band) { (void)Band; }
    virtual void ColumnEdgeDblClick(int Column) { (void)Column; }
    virtual void SizeBandWidth(int Band, int Width) { (void)Band, (void)Width; }
    virtual void SizeColumnWidth(int Column, int Width) { (void)Column, (void)Width; }
    // Width distribution: the hidden bands (or a band's hidden columns)
    // scale by Numerator / Denominator along with the shown ones.
    virtual void ScaleBandWidths(int Numerator, int Denominator) { (void)Numerator, (void)Denominator; }
    virtual void ScaleColumnWidths(int Band, int Numerator, int Denominator) {
        (void)Band, (void)Numerator, (void)Denominator;
    }
    // A band's columns with their shown widths (the group indent left out),
    // and a band's new width passed to them in proportion, then to the band.
    std::vector<std::pair<int, int>> BandColumnWidths(int Band) const;
    void SizeBandColumnsWidth(int Band, const std::vector<std::pair<int, int>>& Columns, int OldWidth, int Width);
    virtual void SizeBandRowCount(int Count) { (void)Count; }
    virtual void SizeHeaderPanelRowCount(int Count) { (void)Count; }
    virtual void SizeDefaultRowHeight(int Value) { SetDefaultRowHeight(Value); }
    virtual void DoChangedColumnsWidth() {}
    virtual void DoBandClick(int Band) { (void)Band; }
    virtual void DoColumnClick(int Column) { (void)Column; }
    virtual void DoBandButtonClick() {}
    virtual void DoHeaderButtonClick() {}
    virtual void FilterDropDown(int Column) { (void)Column; }
    // The filter panel's close button was clicked.
    virtual void FilterDropDownClosed() {}
    // Cancels a pending delayed editor start (whichever control owns it).
    static void CancelDelayedEdit();
    // The hit record of the last mouse-down.
    const TcvTreeListHitInfo& LastHitInfo() const { return FLastHit; }
    // The keys held at a header click, for the sort it starts (DoColumnClick).
    bool SortWithShift() const { return FSortWithShift; }
    bool SortWithCtrl() const { return FSortWithCtrl; }
    // The pressed looks the painting shows (bands by shown index).
    bool IsBandDown(int Band) const { return FState == 10 && FBandDown && Band == FPressedBand; }
    bool IsColumnDown(int Column) const { return FState == 4 && FColumnDown && Column == FPressedColumn; }
    bool IsBandButtonDown() const { return FState == 11 && FBandButtonDown; }
    bool IsHeaderButtonDown() const { return FState == 7 && FHeaderButtonDown; }
    // Row-count limits of the band and header-panel sizing.
    virtual int GetBandMaxRowCount() const { return 5; }
    virtual int GetHeaderPanelMaxRowCount() const { return 4; }

    // Header and band dragging and the width distribution, which the mouse
    // code starts and ends; the drag code fills them in. Bands by shown
    // index, columns by absolute index.
    virtual bool CanBandDragging(int Band) const { return (void)Band, (FOptionsEx & tloex_BandMoving) != 0; }
    virtual bool CanHeaderDragging(int Column) const { return (void)Column, (FOptions & tlo_ColumnMoving) != 0; }
    virtual void StartBandDragging(int Band);
    virtual void DoStartHeaderDragging(int Column);
    // One pointer move of a band drag (state 9) or column drag (state 3).
    virtual void DragBandStep();
    virtual void DragColumnStep();
    virtual void EndBandDrag(bool Accepted);
    virtual void EndColumnDrag(bool Accepted);
    // A band or column sized by the mouse while its neighbours keep the total.
    virtual void SizeBandAutoWidth(int Band, int Width);
    virtual void SizeColumnAutoWidth(int Column, int Width);
    // A column sized where column edges size the band and auto-width is
    // off: the band takes the column's growth and its rows keep filling it.
    virtual void SizeColumnInSingleRowBand(int Column, int Width);
    virtual void CopySelectedToClipboard();

    // Dragging headers and bands: where a drop lands, the drops' results
    // and their events (the control moves, shows and hides its columns and
    // bands).
    // Where a band (BandMode) or column dragged to the screen point Point
    // would land; Point returns the screen point of the drop arrows'
    // left-top corner, (-100, -100) without a target or a move. DraggedIndex
    // is the shown index of the dragged band or absolute index of the
    // dragged column while it is shown (-1 from the customizing form);
    // DraggedItem the dragged band or column also when hidden (-1: none). In
    // band mode the result's Band is the new shown index (-1 no target, -2
    // no move).
    virtual TcvHeaderPosInfo GetHeaderDropPosition(TPoint& Point, bool BandMode, int DraggedIndex, int DraggedItem);
    // The band drop index at a client point (as GetHeaderDropPosition's).
    int GetBandDropIndex(TPoint ClientPoint, int DraggedIndex, int DraggedBand);
    // A column's band (collection index) and a shown band's collection
    // index; the control answers from its columns and bands.
    virtual int GetColumnBandIndex(int Column) const { return (void)Column, 0; }
    virtual int GetBandIndexFromVisible(int Band) const { return Band; }
    // The customizing form is not built: no form is ever shown, so these
    // answer "no form".
    virtual bool IsCustomizeFormShown() const { return false; }
    bool PointInCustomizeForm(TPoint ScreenPoint) const { return (void)ScreenPoint, false; }
    virtual bool CanDropToCustomizeForm() const { return false; }
    // A shown column dropped where no header is goes hidden.
    virtual bool CanHideColumnByDrag() const { return true; }
    // crDrag over the customizing form or the drop area, the remove cursor
    // where a dragged header would go.
    virtual void GetDragCursor(TPoint ClientPoint, TCursor& Cursor) { (void)ClientPoint, (void)Cursor; }
    virtual void DoDragOverBand(TPoint Point, int Band, bool& Accept) { (void)Point, (void)Band, (void)Accept; }
    virtual void DoDragOverHeader(TPoint Point, int Column, bool& Accept) { (void)Point, (void)Column, (void)Accept; }
    virtual void DoDragEndBand(TPoint Point, int Band, int& NewIndex, bool& Accept) {
        (void)Point, (void)Band, (void)NewIndex, (void)Accept;
    }
    virtual void DoDragEndHeader(TPoint Point, int Column, TcvHeaderPosInfo& PosInfo, bool& Accept) {
        (void)Point, (void)Column, (void)PosInfo, (void)Accept;
    }
    // The drops' results; nothing in the tree list.
    virtual void MoveColumnTo(int Column, int Band, int Position, int Row) { (void)Column, (void)Band, (void)Position, (void)Row; }
    virtual void ShowColumnAt(int Band, int Row, int Column, int Position) { (void)Band, (void)Row, (void)Column, (void)Position; }
    virtual void HideColumn(int Column) { (void)Column; }
    virtual void MoveBand(int From, int To) { (void)From, (void)To; }
    virtual void ShowBandAt(int VisibleIndex, int Band) { (void)VisibleIndex, (void)Band; }
    virtual void HideBand(int Band) { (void)Band; }
    virtual bool GetColumnDisableCustomizing(int Column) const { return (void)Column, false; }
    virtual bool GetBandDisableCustomizing(int Band) const { return (void)Band, false; }
    // The band or column being dragged (-1: none), the drag image list.
    int DraggedBand() const { return FDragBand; }
    int DraggedColumn() const { return FDragColumn; }
    TDragImageList* DragImageList() const { return FDragImageList.get(); }

    // Dragging nodes through the drag protocol (state 5). The node dragged,
    // nil when none.
    TcvTreeListNode* DragNode() const { return FDragNode; }
    void SetDragNode(TcvTreeListNode* Node) { FDragNode = Node; }
    // The text a dragged node shows for a column; the control fires
    // OnGetNodeDragText after this answer.
    virtual void GetNodeDragText(TcvTreeListNode* Node, int Column, std::string& Text) {
        Text = GetCellText(Node, Column);
    }
    virtual void DoBeginDragNode(TcvTreeListNode* Node);
    TcvTreeListNodeEvent OnBeginDragNode;
    // Expanding the node under a dragged node's pointer (OptionsEx bit 13).
    virtual bool IsDragExpand() const { return (FOptionsEx & tloex_DragExpand) != 0; }
    // Whether a node drag with Ctrl held copies (its cursors say so); never
    // in the tree list.
    virtual bool CanDragCopy() const { return false; }
    // The drag of another control while it is over this one: the drag-over
    // then works as for a dragged node. Changing it repaints the focused row
    // (its drop-target look) with the drag's picture taken off meanwhile.
    TDragObject* ExternalDragObject() const { return FExternalDragObject; }
    void SetExternalDragObject(TDragObject* Object);
    // A node of this control, or another control's drag, is over the rows.
    bool IsNodeDragOver() const { return FState == 5 || FExternalDragObject; }

    // One tick of the drag-scroll timers: LeftCoord by 32 pixels (false at
    // the end it moves to), the focused row by one.
    bool DragScrollColumns(bool Left);
    void DragScrollRows(bool Up);

    // Panning with the middle button: a modal loop that scrolls line by line
    // towards the pointer until Escape or another button ends it.
    void Panning();

protected:
    // Node dragging: the start focuses the node under the pointer (state 5),
    // the drag-over follows the pointer with the focus, expands a hovered
    // button and scrolls near the edges, the end returns to state 0.
    void DoStartDrag(TDragObject*& DragObject) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    TDragImageList* GetDragImages() override;
    // CM_DRAG: the drag cursor by the selection, then the drag of another
    // control becomes the external drag object while it is over the rows.
    void HandleDrag(TMessage& Message);
    // The timer 101 fired: the node waiting under the pointer opens.
    void ExpandHoveredNode();
    // The pictures of a dragged band or column header.
    void MakeBandDragImage(int Band, TBitmap& Bitmap);
    void MakeHeaderDragImage(int Column, TBitmap& Bitmap);

public:
    // Copy as text: one line per node, cells joined by TAB.
    // The visible columns' captions in visible order, then CR LF.
    void GetHeaderLineText(std::string& Text) const;
    // A group node's text of column 0 alone; otherwise the visible columns'
    // cell texts in visible order. No line end.
    void GetNodeLineText(const TcvTreeListNode* Node, std::string& Text) const;
    // A cell's text as copied; the control lets the column convert it.
    virtual std::string GetCellCopyText(const TcvTreeListNode* Node, int Column) const {
        return GetNodeString(Node, Column);
    }
    // The header line, then every shown node in row order.
    virtual void SaveAllToStrings(TStrings* Strings) const;
    // The header line, then the selected nodes in tree order (multi-select)
    // or the focused node.
    virtual void SaveSelectedToStrings(TStrings* Strings) const;

    // Custom drawing. The painter asks the Has... test of an item and, when
    // it holds, hands the item's text, colour, font and alignment to the
    // Do... dispatcher, which may change them or draw the item itself and set
    // ADone. The tree list answers False and draws nothing; the control
    // answers from its events and its columns' (Column: absolute index).
    virtual bool HasCustomDrawBand() const { return false; }
    virtual bool HasCustomDrawCell(TcvTreeListNode* Node, int Column) const;
    // Node nil: the total footer; otherwise the node's row footer FooterIndex.
    virtual bool HasCustomDrawFooter(TcvTreeListNode* Node, int Column, int FooterIndex) const;
    virtual bool HasCustomDrawColumnHeader(int Column) const;
    virtual bool HasCustomDrawPreview() const { return false; }
    virtual bool HasGetLevelColor() const { return false; }
    virtual void DoCustomDrawBand(int VisibleBand, TCanvas* ACanvas, const TRect& ARect, std::string& AText,
                                  TColor& AColor, TFont* AFont, TAlignment& AAlignment, bool& ADone);
    virtual void DoCustomDrawColumnHeader(int Column, TCanvas* ACanvas, const TRect& ARect, std::string& AText,
                                          TColor& AColor, TFont* AFont, TAlignment& AAlignment,
                                          TcvTreeListColumnSort& ASorted, bool& ADone);
    virtual void DoCustomDrawCell(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, int Column,
                                  bool ASelected, bool AFocused, bool ANewItemRow, std::string& AText, TColor& AColor,
                                  TFont* AFont, TAlignment& AAlignment, bool& ADone);
    virtual void DoCustomDrawFooter(TcvTreeListNode* ANode, int Column, int FooterIndex, TCanvas* ACanvas,
                                    const TRect& ARect, std::string& AText, TColor& AColor, TFont* AFont,
                                    TAlignment& AAlignment, bool& ADone);
    virtual void DoCustomDrawPreview(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, bool ASelected,
                                     std::string& AText, TColor& AColor, TColor& ATextColor, TFont* AFont, bool& ADone);
    virtual void DoGetLevelColor(int Level, TColor& AColor);
    // Whether the total footer has a cell under the column (absolute index).
    virtual bool IsExistFooterCell(int Column);

    // Painting.
    TColor TreeLineColor() const { return FTreeLineColor; }
    // 1: dotted tree lines; otherwise solid.
    Byte TreeLineStyle() const { return FTreeLineStyle; }
    // GridLineColor, or clBtnShadow while it is clNone.
    TColor GetGridLineColor() const;
    // The work bitmap of button-like cells; nil outside a paint.
    TBitmap* PaintBitmap() const { return FPaintBitmap.get(); }
    // Texts and marks the painting asks for beyond the column answers.
    virtual std::string GetInsertingCellText(int Column) const { return (void)Column, std::string(); }
    // A footer cell's text: the grid's summary; empty in the tree list.
    virtual std::string GetLevelText(const TcvTreeListNode* Node, int Column, int FooterIndex) const;
    virtual TAlignment GetFooterCellAlignment(const TcvTreeListNode* Node, int Column, int FooterIndex) const;
    // Bits: 1 the filter button shows, 2 it is pressed, 4 it is hot, 8 the
    // column is filtered.
    // The button shows on every column while the filter is active and its
    // buttons are shown.
    virtual int GetHeaderButtonState(int Column) const;
    virtual bool HasFilter() const { return false; }
    virtual std::string GetFilterText() const { return {}; }
    // Where a filter panel shows its text: right of the close button while
    // there is a filter.
    TRect FilterTextRect(const TRect& Panel) const;
    // The hint over the filter panel's close button; none here.
    virtual std::string GetFilterCaption() const { return {}; }
    // Now False: the hint shows after a second (timer 110); Now True: it
    // shows at once above the filter text and goes after five seconds
    // (timer 111).
    void ShowFilterHint(bool Now);
    // Stops both timers and frees the hint window.
    void HideFilterHint();
    // The hint window while it exists.
    TcvContainerHintWindow* FilterHint() const { return FFilterHint.get(); }
    virtual bool IsInserting() const { return true; }
    // The cell the hot record holds (Column: absolute index).
    virtual bool IsHotCell(const TcvTreeListNode* Node, int Column) const {
        return Node && Node == FHotTrack.Node && Column == FHotTrack.Column && FHotTrack.Kind == 0;
    }
    // Around the painting of a node's row; the data-aware control moves its
    // dataset to the node.
    virtual void BeginNodeAccess(TcvTreeListNode* Node) { (void)Node; }
    virtual void EndNodeAccess(TcvTreeListNode* Node) { (void)Node; }

protected:
    virtual TcvTreeListNode* CreateNode() = 0;
    // Keyboard.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // '+', '-' and '*' expand or collapse the focused node, Ctrl+C copies
    // (with its option); nothing while editing.
    void NodeKeyPress(char32_t Key);
    // OnExit, then the editing ends.
    void DoExit() override;
    // Mouse.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The metrics, in their order; skipped while loading or destroying.
    void CalcMetrics();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Drops the shown-row cache and the cached row heights.
    virtual void ClearCache();
    void ResetRowHeights();
    // Brings the shown-row cache up to date down to the last row.
    virtual void FocusedNodeChanged();
    virtual void NodeInserted(TcvTreeListNode* Node);
    // A node went: OnDeletion; the top and focused node move to Previous,
    // else to Next; the editor cell on it is dropped.
    virtual void DoNodeDeletion(TcvTreeListNode* Node, TcvTreeListNode* Previous, bool Relayout, TcvTreeListNode* Next);
    virtual void DoCollapsing(TcvTreeListNode* Node, bool& Allow);
    virtual void DoExpanding(TcvTreeListNode* Node, bool& Allow);
    virtual void DoCollapsed(TcvTreeListNode* Node);
    virtual void DoExpanded(TcvTreeListNode* Node);
    virtual void DoEdited(TcvTreeListNode* Node);
    virtual void DoEditing(TcvTreeListNode* Node, bool& Allow);
    virtual void DoChangeColumn(TcvTreeListNode* Node, int Column);
    virtual void DoChangeLeftCoord();
    virtual void DoChangeNode(TcvTreeListNode* OldNode, TcvTreeListNode* Node);
    virtual void DoEditChange(TObject* Sender);
    virtual void DoEditValidate(TObject* Sender, std::string& ErrorText, bool& Accept);
    // A single border in the standard look: sunken with Ctl3D, else a line.
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    bool HasStandardFrame() const { return FBorderStyle == bsSingle && FTreeLookAndFeel == lfStandard; }
    // A typed character starts or feeds the incremental search, or opens the
    // editor with itself as the first input.
    void KeyPress(char32_t& Key) override;
    // Hooks of the column and sort code that the option setters call.
    virtual void ClearSortKeys() {}
    // The widths the bands and columns show become their own.
    virtual void RecalcColumnWidths();
    virtual void AdjustHeaderPanelRowCount() {}
    // The control's caches of its band layout and column widths.
    virtual void ClearLayoutCache() {}
    virtual void RefreshLayoutCache() {}
    virtual void RefreshVisibleColumnCache() {}
    // Orders one list of nodes by the sort keys.
    void SortNodes(TList* List, int Column, bool Descending);

    // Painting.
    void Paint() override;
    // Drag image, sizing line and hint leave the screen while the control
    // paints, and come back after it.
    virtual void HideDragFeedback();
    virtual void ShowDragFeedback();
    // A drag from another control is over this one (the focus frame then
    // stays off and the drop target shows highlighted).
    virtual bool IsDragOver() const { return FExternalDragObject != nullptr; }
    // The group panel of the data-aware grid; nothing in the tree list.
    virtual void DrawGroupPanel(TCanvas* ACanvas, const TRect& R, HBRUSH HeaderBrush, HBRUSH ShadowBrush);
    // The cell painters: a node or new-item row cell (its content through
    // DrawCellContent), a plain text cell of any kind, a row's preview strip.
    // Each applies the custom-draw events, then the search highlight and the
    // focus frame of the searched cell.
    virtual void PaintNodeCell(const TcvTreeListCellPaint& Cell);
    virtual void PaintTextCell(const TcvTreeListCellPaint& Cell);
    virtual void PaintPreview(const TcvTreeListCellPaint& Cell);
    // Puts the search in a state as the painting shows it, without looking
    // for a node.
    void SetSearch(int Column, const std::string& Text);
    // The shown indexes of the focused column and the editor column after
    // the columns moved: the cells stay, only their numbers change.
    void RenumberFocusedCell(int FocusedColumn, int EditorColumn);
    // The focused column's index as stored, before GetFocusedColumn's checks.
    int StoredFocusedColumn() const { return FFocusedColumn; }

private:
    friend class TcvTreeListNode;
    // Keyboard steps.
    static bool IsRangeKey(Word Key);
    void SearchKeyDown(Word Key, bool Ctrl);
    void CtrlKeyDown(Word Key);
    void NavigationKeyDown(Word Key, TShiftState& Shift);
    void TabKeyDown(bool Shift, bool Alt);
    void RowSelectRight();
    void RowSelectLeft();
    // One row up (-1) or down (+1), extending a Shift selection.
    void RowStep(int Delta, bool Shift);
    void PageStep(int Delta);
    // The first shown column from From on (or back) where Tab stops; may lie
    // outside the columns (their count, or -1).
    int FindTabStopColumn(int From, bool Forward) const;
    void NextRowStep();
    void PrevRowStep();
    // Up or down one band row of the focused column; false when it wrapped
    // or cannot move, so the row step follows.
    bool BandRowStep(bool Up);
    // Set by the first Shift+Up/Down of a multi-selection.
    bool FShiftExtension = false;
    // Mouse steps.
    void StartDelayedEdit();
    static bool IsDelayedEditPending();
    // A pending delayed start of this control ends (it lost the focus).
    void CancelOwnDelayedEdit();
    // The band header's height with Rows lines.
    int BandHeaderHeightFor(int Rows) const;
    void StartSizing(Byte State, int Coord);
    // The sizing line's place for a pointer coordinate in the sizing state.
    int LimitSizingCoord(int Coord);
    void MoveSizingLine(int Coord);
    // Erases the line and applies the size the pointer gives.
    void EndSizing(int Coord);
    void SizeRowHeightTo(int Bottom);
    static const TcvTreeListBandInfo* FindBand(const TcvTreeListDrawInfo& Info, int Band);
    // A left press in the header areas; false when it starts nothing.
    bool HeaderMouseDown(const TcvTreeListHitInfo& Hit, bool DoubleClick);
    int HotHeaderPart() const;
    // A press over the rows; true when it ended the click.
    bool NodeMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, bool WasFocused);
    void PressedNodeMove(int X, int Y);
    void SelectRowsByDragging(int Y);
    void FollowPressedLooks(const TcvTreeListHitInfo& Hit);
    // A button-down message: the focus before it, then MouseDown.
    void ButtonDown(TMessage& Message);
    // The keys of the control's own automatic drag; true when handled.
    bool DragKeyDown(Word Key);
    TcvTreeListHitInfo FLastHit;
    TPoint FMouseDownPoint{};
    bool FFocusedBeforePress = false;
    int FSizingStart = 0;
    int FPressedBand = -1;
    bool FBandDown = false;
    int FPressedColumn = -1;
    bool FColumnDown = false;
    int FFilterButtonColumn = -1;
    bool FFilterButtonDown = false;
    bool FBandButtonDown = false;
    bool FHeaderButtonDown = false;
    bool FFilterPanelButtonHot = false;
    TcvTreeListNode* FPressedNode = nullptr;
    TcvTreeListNode* FPrevFocusedNode = nullptr;
    // Click flags, cleared at every mouse-down.
    bool FSelectionBracketOpen = false;
    bool FDeferredSingleSelect = false;
    bool FNewItemRowClicked = false;
    bool FSortWithShift = false;
    bool FSortWithCtrl = false;
    void SetFocusedNodeField(TcvTreeListNode* Node) { FFocusedNode = Node; }
    // Forgets every row and the count of shown rows.
    void DropRowCache();
    // The shown-row cache. A node's row is known while the cache holds the
    // node at the row the node keeps.
    bool IsRowKnown(const TcvTreeListNode* Node) const;
    // Walks on from the last known row until Row is known, Until is met or
    // the rows end (which makes the count known).
    void KnowRows(int Row, const TcvTreeListNode* Until) const;
    void ForgetRowsFrom(int Row);
    // The next shown node by the tree's own links.
    static TcvTreeListNode* NextShownNode(const TcvTreeListNode* Node);
    // The rows below a node that its expansion shows.
    int ShownDescendantCount(TcvTreeListNode* Node) const;
    // Single changes of the shown rows: a node took its place (with what it
    // shows below it), a node is about to leave the rows with its shown
    // descendants, or a node's children are about to hide or have just shown.
    void RowInserted(TcvTreeListNode* Node);
    void RowsRemoving(TcvTreeListNode* Node);
    void ChildRowsChanging(TcvTreeListNode* Node, bool Shown);
    void ResetNodeReferences();
    // Repaints a hot cell (without erasing) or the header of a hot part.
    void InvalidateHotArea(const TcvTreeListHotTrackInfo& HotTrack);
    template <typename T> void StoreAndRepaint(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        Invalidate();
    }
    template <typename T> void StoreAndRelayout(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        LayoutChanged();
    }
    template <typename T> void StoreAndRecreate(T& Field, T Value) {
        if (Field == Value) return;
        Field = Value;
        RecreateWnd();
    }
    // The metric values alone, measured with the fonts.
    void CalcMetricValues();
    void SetImageList(TCustomImageList*& Field, TChangeLink& Link, TCustomImageList* Value);
    // The widths of one band row's columns.
    std::vector<int> BandRowWidths(int Band, int Row, int BandWidth) const;
    void HitTestBands(const TcvTreeListDrawInfo& Info, TcvTreeListHitInfo& Hit) const;
    void HitTestHeader(const TcvTreeListDrawInfo& Info, TcvTreeListHitInfo& Hit) const;
    void HitTestIndicator(const TcvTreeListDrawInfo& Info, TcvTreeListHitInfo& Hit) const;
    void HitTestRows(const TcvTreeListDrawInfo& Info, TcvTreeListHitInfo& Hit);
    int HeaderColumnAt(const TcvTreeListDrawInfo& Info, int X) const;
    // The column of a node row's cell at X in the row's line Line (a row of
    // a multi-row band has a line per band row); past the band rows, the
    // bottom one's.
    int RowCellColumnAt(const TcvTreeListDrawInfo& Info, int X, int Line) const;
    // Calls Visit(band, row, position, column) for every shown column in
    // shown order until it answers true; answers whether one did.
    bool ForEachShownColumn(const std::function<bool(int, int, int, int)>& Visit) const;
    // The shown band, band row and position of an absolute column; False when it is not shown.
    bool FindShownColumn(int Column, int& Band, int& Row, int& Position) const;
    const TcvTreeListHeaderCellInfo* FindHeaderCell(const TcvTreeListDrawInfo& Info, int Column) const;
    // The levels of the ancestors that close with a footer line under Node,
    // nearest first.
    std::vector<int> FooterLevels(const TcvTreeListNode* Node) const;
    const TcvTreeListRowInfo* FindRow(const TcvTreeListDrawInfo& Info, const TcvTreeListNode* Node) const;

    // Repaints an area at once (nothing when it is empty or there is no window).
    void InvalidateAreaNow(const TRect& Area);
    // Where a filter panel shows its close button while there is a filter.
    static TRect FilterPanelButtonRect(const TRect& Panel);
    bool IsInFilterPanelButton(TPoint Point) const;
    // Hot, the button is in state 16, which a release over it ends by
    // closing the filter; no longer hot, the state is normal again.
    void SetFilterPanelButtonHot(bool Value);
    // The scrolling bands' left and right edges in client coordinates, and
    // where a fixed right band begins (the client's right edge without one).
    void ScrollingBandsSpan(int& Left, int& Right, int& FixedRightLeft) const;
    // Counts rows from Node down within Height (Partly: their top inside).
    void CountRowsFitting(TcvTreeListNode* Node, int Height, int& Partly, int& Fully);
    void SetFontsFromControlFont();
    void FontOfPartChanged();
    void HandleSetFocus(TMessage& Message);
    void HandleKillFocus(TMessage& Message);
    void HandleSetCursor(TMessage& Message);
    void HandleNcPaint();
    void HandleHScroll(int Code);
    void HandleVScroll(int Code);
    void HandleTimer(UINT_PTR Id);
    LRESULT DialogCode();

    // The unit's pictures live while any tree list does.
    cvTL::TUnitScope FUnit;
    std::unique_ptr<TcvContainerHintWindow> FFilterHint;
    // Nodes and caches.
    std::unique_ptr<TList> FRoots;
    // The shown nodes in row order; the first FKnownRows are current.
    mutable std::vector<TcvTreeListNode*> FRowNodes;
    mutable int FKnownRows = 0;
    mutable int FShownRowCount = -1; // -1: to be counted

    // Lock, state and flags.
    int FLockCount = 0;
    Byte FState = 0;
    bool FDragCancelled = false;
    bool FClearing = false;
    int FSelectionChangeLevel = 0;
    int FSelectedCountBefore = 0;
    int FEditorColumn = -1;
    TcvTreeListNode* FEditorNode = nullptr;
    TcvInplaceEdit* FInplaceEditor = nullptr;
    bool FSearching = false;
    int FSearchColumn = -1;
    std::string FSearchText;
    int FSearchDepth = 0;
    // Selection and hot tracking.
    TcvTreeListNode* FSelectionAnchor = nullptr;
    TcvTreeListNode* FPendingSelectionNode = nullptr;
    TcvTreeListHotTrackInfo FHotTrack;
    TCursor FUserCursor = crDefault;
    bool FSettingHotCursor = false;

    // Focus and scrolling.
    TcvTreeListNode* FFocusedNode = nullptr;
    int FFocusedColumn = -1;
    mutable int FFocusedAbsoluteIndex = -1;
    TcvTreeListNode* FTopNode = nullptr;
    int FLeftCoord = 0;
    int FVisibleRowCount = 1; // fully visible rows: the page
    int FPartVisibleRowCount = 1;
    TScrollStyle FScrollBars = ssBoth;
    bool FNewItemRowActive = false;
    // Sizing line, drop arrows, the last hit-test point.
    int FSizingCoord = 0;
    TPoint FDragArrowPoint{-100, -100};
    bool FDragArrowsShown = false;
    TPoint FHitTestPoint{};
    // Dragging: the band (shown index) or column dragged, the node dragged,
    // the node waiting to expand under a dragged node, the drag image.
    int FDragBand = -1;
    int FDragColumn = -1;
    TcvTreeListNode* FDragNode = nullptr;
    TcvTreeListNode* FExpandNode = nullptr;
    TDragObject* FExternalDragObject = nullptr;
    std::unique_ptr<TDragImageList> FDragImageList;
    void StartHeaderDrag(bool BandMode, TBitmap& Picture);
    void DragHeaderStep(bool BandMode);
    // Takes the arrows and the picture off and the drag's index (now -1).
    int EndHeaderDrag(int& Dragged);
    // The part fonts are being set from the control's font.
    bool FCopyingFonts = false;
    // Nesting of HideDragFeedback, and the drop arrows it took off.
    int FDragFeedbackHidden = 0;
    bool FDragArrowsHidden = false;

    unsigned FOptions = 0x37;
    unsigned FOptionsEx = 0x303E;

    TColor FArrowsColor = clLime;
    TColor FBandColor = clBtnFace;
    TColor FHeaderColor = clBtnFace;
    TColor FGroupNodeColor = clBtnFace;
    TColor FHideSelectionColor = clBtnFace;
    TColor FGroupNodeTextColor = clNone;
    TColor FGridLineColor = clNone;
    TColor FAutoSearchColor = clNone;
    TColor FAutoSearchTextColor = clNone;
    TColor FHideSelectionTextColor = clBtnText;
    TColor FHighlightColor = clHighlight;
    TColor FHighlightTextColor = clHighlightText;
    TColor FFixedBandLineColor = clWindowFrame;
    TColor FRowFooterColor = cl3DLight;
    TColor FRowFooterTextColor = clWindowText;
    std::unique_ptr<TFont> FBandFont;
    std::unique_ptr<TFont> FHeaderFont;
    std::unique_ptr<TFont> FPreviewFont;
    TBorderStyle FBorderStyle = bsSingle;
    bool FDblClkExpanding = true;
    bool FHideFocusRect = true;
    bool FHideSelection = true;
    bool FShowHeader = true;
    bool FShowPreviewGrid = true;
    bool FShowBands = false;
    bool FShowGrid = false;
    bool FShowNewItemRow = false;
    bool FShowRowFooter = false;
    bool FShowFooter = false;
    bool FShowIndicator = false;
    int FIndentDesc = 20;
    int FPreviewLines = 2;
    int FMaxRowLineCount = -1;
    int FFixedBandLineWidth = 2;
    int FRowSeparatorLineWidth = 1;
    int FCustomizingRowCount = 11;
    int FWaitForExpandNodeTime = 500;
    bool FAutoExpandOnSearch = true;
    TcvLookAndFeel FTreeLookAndFeel = lfStandard;
    bool FNoRootIndent = false;
    // Unpublished view flags: the root level's lines and indent, buttons.
    bool FShowRoot = true;
    bool FShowButtons = true;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    std::unique_ptr<TChangeLink> FImagesLink;
    std::unique_ptr<TChangeLink> FStateImagesLink;

    // Metrics.
    int FBandRowCount = 1;
    int FHeaderPanelRowCount = 1;
    int FHeaderLineCount = 1;
    int FBandLineHeight = 0;
    int FBandHeaderHeight = 0;
    int FHeaderRowHeight = 0;
    int FHeaderHeight = 0;
    int FGroupPanelHeight = 0;
    int FIndicatorWidth = 0;
    int FTextHeight = 0;
    int FFooterLineHeight = 0;
    int FFooterHeight = 0;
    int FRowFooterHeight = 0;
    int FFilterBarHeight = 0;
    int FMinRowHeight = 0;
    int FHorzLineStep = 0;
    int FImageWidth = 0;
    int FImageHeight = 0;
    int FStateImageWidth = 0;
    int FStateImageHeight = 0;
    int FButtonCellWidth = 16;
    int FButtonCellHeight = 16;
    int FLevelIndent = 16;
    int FRowHeight = 0;
    int FDefaultRowHeight = 0;
    bool FDefaultRowHeightAssigned = false;
    int FNewItemRowHeight = 0;
    int FPreviewLineHeight = 0;

    // Painting.
    bool IsSearchCell(const TcvTreeListCellPaint& Cell) const;
    // The focus frame inside the searched cell.
    void DrawSearchFocus(const TcvTreeListCellPaint& Cell);
    void FillCellViewData(const TcvTreeListCellPaint& Cell, const std::string& Text, TAlignment Alignment,
                          TColor Colour, TColor TextColour, HBRUSH Brush);
    TColor FTreeLineColor = clGrayText;
    Byte FTreeLineStyle = 1;
    std::unique_ptr<TBitmap> FPaintBitmap;
    // Keeps the canvas font while a custom-draw event or a column font changes it.
    std::unique_ptr<TFont> FCellFont = std::make_unique<TFont>();
    TcvTreeListCellViewData FCellViewData;
    friend class TcvTreeListPainter;
};
