// The grid's option sets. Four sets are stored (behaviour, customizing, data,
// view); two older 32-bit sets stay in step with them, each old member having
// exactly one namesake in one new set. The translation walks tables of
// (old ordinal, new ordinal) pairs in order, and the tree list's two option
// words are written from the new sets.
#pragma once

#include "platform/rtl/Types.h"

enum TcvDBGridOption {
    egoColumnSizing,
    egoColumnMoving,
    egoEditing,
    egoTabs,
    egoTabThrough,
    egoRowSelect,
    egoMultiSelect,
    egoCanDelete,
    egoConfirmDelete,
    egoCanNavigation,
    egoCanAppend,
    egoCancelOnExit,
    egoImmediateEditor,
    egoCanInsert,
    egoLoadAllRecords,
    egoPreview,
    egoDrawEndEllipsis,
    egoStoreToRegistry,
    egoAutoWidth,
    egoShowHourGlass,
    egoCaseInsensitive,
    egoDblClick,
    egoIndicator,
    egoExtMultiSelect,
    egoResetColumnFocus,
    egoExtCustomizing,
    egoHideFocusRect,
    egoStoreToIniFile,
    egoUseLocate,
    egoSmartReload,
    egoSmartRefresh,
    egoSeekDetail
};
using TcvDBGridOptions = TSet<TcvDBGridOption>;

enum TcvDBGridOptionEx {
    egoInvertSelect,
    egoUseBitmap,
    egoBandHeaderWidth,
    egoAutoCalcPreviewLines,
    egoBandSizing,
    egoBandMoving,
    egoHorzThrough,
    egoVertThrough,
    egoCellMultiSelect,
    egoEnterThrough,
    egoEnterShowEditor,
    egoFullSizing,
    egoDragScroll,
    egoDragExpand,
    egoDragCollapse,
    egoRowAutoHeight,
    egoBandButtonClicking,
    egoBandPanelSizing,
    egoHeaderButtonClicking,
    egoHeaderPanelSizing,
    egoRowSizing,
    egoAutoSort,
    egoNotHideColumn,
    egoMultiSort,
    egoShowButtonAlways,
    egoAutoHeaderPanelHeight,
    egoKeepColumnWidth,
    egoSyncSelection,
    egoCollapsedReload,
    egoAnsiSort,
    egoMouseScroll,
    egoAutoSearch
};
using TcvDBGridOptionsEx = TSet<TcvDBGridOptionEx>;

enum TcvDBGridOptionBehavior {
    edgoAnsiSort,
    edgoAutoCopySelectedToClipboard,
    edgoAutoSearch,
    edgoAutoSort,
    edgoBandButtonClicking,
    edgoCaseInsensitive,
    edgoCellMultiSelect,
    edgoCollapsedReload,
    edgoDblClick,
    edgoDragCollapse,
    edgoDragExpand,
    edgoDragScroll,
    edgoEditing,
    edgoEnterShowEditor,
    edgoEnterThrough,
    edgoExtMultiSelect,
    edgoHeaderButtonClicking,
    edgoHorzThrough,
    edgoImmediateEditor,
    edgoMouseScroll,
    edgoMultiSelect,
    edgoMultiSort,
    edgoSeekDetail,
    edgoShowHourGlass,
    edgoStoreToIniFile,
    edgoStoreToRegistry,
    edgoTabs,
    edgoTabThrough,
    edgoVertThrough
};
using TcvDBGridOptionsBehavior = TSet<TcvDBGridOptionBehavior>;

enum TcvDBGridOptionCustomize {
    edgoBandMoving,
    edgoBandPanelSizing,
    edgoBandSizing,
    edgoColumnMoving,
    edgoColumnSizing,
    edgoExtCustomizing,
    edgoFullSizing,
    edgoHeaderPanelSizing,
    edgoKeepColumnWidth,
    edgoNotHideColumn,
    edgoRowSizing
};
using TcvDBGridOptionsCustomize = TSet<TcvDBGridOptionCustomize>;

enum TcvDBGridOptionDB {
    edgoCanAppend,
    edgoCancelOnExit,
    edgoCanDelete,
    edgoCanInsert,
    edgoCanNavigation,
    edgoConfirmDelete,
    edgoLoadAllRecords,
    edgoPartialLoad,
    edgoResetColumnFocus,
    edgoSmartRefresh,
    edgoSmartReload,
    edgoSyncSelection,
    edgoUseBookmarks,
    edgoUseLocate
};
using TcvDBGridOptionsDB = TSet<TcvDBGridOptionDB>;

enum TcvDBGridOptionView {
    edgoAutoCalcPreviewLines,
    edgoAutoHeaderPanelHeight,
    edgoAutoWidth,
    edgoBandHeaderWidth,
    edgoDrawEndEllipsis,
    edgoHideFocusRect,
    edgoHotTrack,
    edgoIndicator,
    edgoInvertSelect,
    edgoPreview,
    edgoRowAutoHeight,
    edgoRowSelect,
    edgoShowButtonAlways,
    edgoUseBitmap
};
using TcvDBGridOptionsView = TSet<TcvDBGridOptionView>;

// The four stored sets together, as the translation reads and writes them.
struct TcvDBGridOptionSets {
    TcvDBGridOptionsBehavior Behavior;
    TcvDBGridOptionsCustomize Customize;
    TcvDBGridOptionsDB DB;
    TcvDBGridOptionsView View;
    friend constexpr bool operator==(const TcvDBGridOptionSets&, const TcvDBGridOptionSets&) = default;
};

namespace cvDBGrid {

// A new grid's sets; the old two are what the four translate to.
inline constexpr TcvDBGridOptionsBehavior DefaultOptionsBehavior = {
    edgoAutoSort,        edgoDragScroll, edgoEditing,    edgoEnterShowEditor,
    edgoImmediateEditor, edgoTabThrough, edgoVertThrough};
inline constexpr TcvDBGridOptionsCustomize DefaultOptionsCustomize = {edgoBandMoving, edgoBandSizing, edgoColumnMoving,
                                                                      edgoColumnSizing};
inline constexpr TcvDBGridOptionsDB DefaultOptionsDB = {edgoCancelOnExit,  edgoCanDelete,     edgoCanInsert,
                                                        edgoCanNavigation, edgoConfirmDelete, edgoUseBookmarks};
inline constexpr TcvDBGridOptionsView DefaultOptionsView = {edgoBandHeaderWidth, edgoUseBitmap};
inline constexpr TcvDBGridOptions DefaultOptions = {
    egoColumnSizing,  egoColumnMoving,  egoEditing,      egoTabThrough,      egoCanDelete,
    egoConfirmDelete, egoCanNavigation, egoCancelOnExit, egoImmediateEditor, egoCanInsert};
inline constexpr TcvDBGridOptionsEx DefaultOptionsEx = {egoUseBitmap,  egoBandHeaderWidth, egoBandSizing,
                                                        egoBandMoving, egoVertThrough,     egoEnterShowEditor,
                                                        egoDragScroll, egoAutoSort};

// Sets: the old value's bits copied onto their namesakes; members without an
// old namesake (edgoAutoCopySelectedToClipboard, edgoPartialLoad,
// edgoUseBookmarks, edgoHotTrack) keep their value.
TcvDBGridOptionSets NewOptionsFromOptions(TcvDBGridOptions Value, TcvDBGridOptionSets Sets);
TcvDBGridOptionSets NewOptionsFromOptionsEx(TcvDBGridOptionsEx Value, TcvDBGridOptionSets Sets);
// The old sets read back from the new ones; every old member has a namesake,
// so the result depends on Sets alone.
TcvDBGridOptions OptionsFromNewOptions(const TcvDBGridOptionSets& Sets);
TcvDBGridOptionsEx OptionsExFromNewOptions(const TcvDBGridOptionSets& Sets);

// The tree list's two option words (first `Options`, second `OptionsEx`)
// with the bits a set writes taken from Value; other bits stay. Members that
// reach no bit (edgoDblClick, edgoMultiSort, edgoNotHideColumn, ...) are
// answered from the grid's own sets; edgoIndicator goes through the tree
// list's indicator setter.
void WriteTreeListBits(TcvDBGridOptionsBehavior Value, unsigned& Options, unsigned& OptionsEx);
void WriteTreeListBits(TcvDBGridOptionsCustomize Value, unsigned& Options, unsigned& OptionsEx);
// Value as stored: edgoInvertSelect already wins over edgoRowSelect.
void WriteTreeListBits(TcvDBGridOptionsView Value, unsigned& Options, unsigned& OptionsEx);

} // namespace cvDBGrid
