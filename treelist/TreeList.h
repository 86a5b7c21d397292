// TCustomcvTreeList: the tree list's object. It owns the root nodes, keeps the
// update lock, the interaction state, the focused and top node and the two
// option words, and answers a node's row from a cache of the shown rows (rows
// in order, the same nodes sorted by address with their rows beside them), so
// a row query is a binary search however many nodes there are. Descendants
// answer the cell, column and band questions through the virtual operations.
#pragma once

#include "editors/Container.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/Graphics.h"
#include "treelist/TreeListNode.h"

#include <functional>
#include <memory>
#include <string>

class TcvInplaceEdit;

using TcvTreeListNodeEvent = std::function<void(TObject* Sender, TcvTreeListNode* Node)>;
using TcvTreeListAllowEvent = std::function<void(TObject* Sender, TcvTreeListNode* Node, bool& Allow)>;

// Options bits with a fixed meaning in the tree list.
inline constexpr unsigned tlo_ColumnSizing = 1u << 0;
inline constexpr unsigned tlo_Editing = 1u << 2;
inline constexpr unsigned tlo_RowSelect = 1u << 5;
inline constexpr unsigned tlo_MultiSelect = 1u << 6;
inline constexpr unsigned tlo_AutoWidth = 1u << 10;
inline constexpr unsigned tlo_AutoSort = 1u << 14;
// OptionsEx bits.
inline constexpr unsigned tloex_InvertSelect = 1u << 0;
inline constexpr unsigned tloex_MultiSort = 1u << 22;
inline constexpr unsigned tloex_AutoHeaderPanelRowCount = 1u << 25;
inline constexpr unsigned tloex_KeepColumnWidths = 1u << 26;
inline constexpr unsigned tloex_AnsiSort = 1u << 27;
inline constexpr unsigned tloex_IncSearch = 1u << 29;

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
    void SetTopVisibleNode(TcvTreeListNode* Node);
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

    // The in-place editor.
    TcvInplaceEdit* InplaceEditor() const { return FInplaceEditor; }
    void HideEditor();
    void HideEditorAndFocus();
    void RemoveEditor(bool Focus);
    void ResetEditorCell();
    int EditorColumn() const { return FEditorColumn; }
    TcvTreeListNode* EditorNode() const { return FEditorNode; }
    TcvPopupBorder GetEditorPopupBorder() override;

    // Selection; the base holds none (multi-select lives in the control).
    virtual bool IsNodeSelected(const TcvTreeListNode* Node) const { return (void)Node, false; }
    virtual void SetNodeSelected(TcvTreeListNode* Node, bool Value) { (void)Node, (void)Value; }
    virtual void ClearSelection() {}
    virtual int SelectedCount() const { return 0; }
    // A bracket around selection changes: OnSelectedCountChange fires at the
    // outermost end when the count differs from the one at the start.
    virtual void BeginSelectionChange();
    virtual void EndSelectionChange();

    // Node data, answered by descendants.
    virtual std::string GetNodeString(const TcvTreeListNode* Node, int Column) const;
    virtual void GetNodeValue(const TcvTreeListNode* Node, int Column, Variant& Value) const;
    virtual void StoreNodeString(TcvTreeListNode* Node, int Column, const std::string& Text);
    virtual int GetNodeImageIndex(const TcvTreeListNode* Node) const { return (void)Node, -1; }
    virtual int GetNodeSelectedIndex(const TcvTreeListNode* Node) const { return (void)Node, -1; }
    virtual int GetNodeStateIndex(const TcvTreeListNode* Node) const { return (void)Node, -1; }
    // The owner may say a node has children before they exist.
    virtual bool HasChildNodes(const TcvTreeListNode* Node) const;
    virtual int GetVisibleColumnCount() const { return 0; }
    // Repaints the node's row (and with Relayout its height may change).
    virtual void InvalidateNode(TcvTreeListNode* Node, bool Relayout);
    // Repaints the node's row and every row below it.
    void InvalidateRowsFrom(TcvTreeListNode* Node);

    static bool RangesOverlap(int A1, int A2, int B1, int B2) { return A1 <= B2 && B1 <= A2; }

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

    // Recomputes metrics and layout, unless an update batch is open.
    virtual void LayoutChanged();

protected:
    virtual TcvTreeListNode* CreateNode() = 0;
    // Drops the shown-row cache and the cached row heights.
    virtual void ClearCache();
    void ResetRowHeights();
    // Rebuilds the shown-row cache from the root nodes down.
    virtual void FocusedNodeChanged();
    virtual void NodeInserted(TcvTreeListNode* Node);
    // A node went: OnDeletion, then the focus and top node move to Previous,
    // else to Next.
    virtual void DoNodeDeletion(TcvTreeListNode* Node, TcvTreeListNode* Previous, bool Relayout, TcvTreeListNode* Next);
    virtual void DoCollapsing(TcvTreeListNode* Node, bool& Allow);
    virtual void DoExpanding(TcvTreeListNode* Node, bool& Allow);
    virtual void DoCollapsed(TcvTreeListNode* Node);
    virtual void DoExpanded(TcvTreeListNode* Node);
    // Hooks of the column and sort code that the option setters call.
    virtual void ClearSortKeys() {}
    virtual void RecalcColumnWidths() {}
    virtual void AdjustHeaderPanelRowCount() {}
    // Ends incremental search mode.
    virtual void EndSearch() { FSearching = false; }
    bool Searching() const { return FSearching; }

private:
    friend class TcvTreeListNode;
    void SetFocusedNodeField(TcvTreeListNode* Node) { FFocusedNode = Node; }
    // Empties the three row lists (cheap when they are empty already).
    void DropRowCache();
    void ResetNodeReferences();

    // Nodes and caches.
    std::unique_ptr<TList> FRoots;
    std::unique_ptr<TList> FRowNodes;    // shown nodes in row order
    std::unique_ptr<TList> FSortedNodes; // the same, by address
    std::unique_ptr<TList> FSortedRows;  // each sorted node's row

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

    // Focus and scrolling.
    TcvTreeListNode* FFocusedNode = nullptr;
    int FFocusedColumn = -1;
    TcvTreeListNode* FTopNode = nullptr;
    int FLeftCoord = 0;
    int FVisibleRowCount = 1;

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
};
