// The option tables: which old member is which new one, and which tree-list
// word bit each new member drives. Walking a table copies one bit per row, in
// row order, and leaves every bit the table does not name. Then the grid's
// option setters, where every side effect of an option change lives.
#include "dbgrid/DBGridOptions.h"

#include "dbgrid/DBGrid.h"

#include <span>

namespace {

template <typename Old, typename New> struct TNamesake {
    Old OldMember;
    New NewMember;
};

using O = TcvDBGridOption;
using X = TcvDBGridOptionEx;
using B = TcvDBGridOptionBehavior;
using C = TcvDBGridOptionCustomize;
using D = TcvDBGridOptionDB;
using V = TcvDBGridOptionView;

constexpr TNamesake<O, B> OptionsBehavior[] = {{egoCaseInsensitive, edgoCaseInsensitive},
                                               {egoDblClick, edgoDblClick},
                                               {egoEditing, edgoEditing},
                                               {egoExtMultiSelect, edgoExtMultiSelect},
                                               {egoImmediateEditor, edgoImmediateEditor},
                                               {egoMultiSelect, edgoMultiSelect},
                                               {egoSeekDetail, edgoSeekDetail},
                                               {egoShowHourGlass, edgoShowHourGlass},
                                               {egoStoreToIniFile, edgoStoreToIniFile},
                                               {egoStoreToRegistry, edgoStoreToRegistry},
                                               {egoTabs, edgoTabs},
                                               {egoTabThrough, edgoTabThrough}};
constexpr TNamesake<O, C> OptionsCustomize[] = {
    {egoColumnMoving, edgoColumnMoving}, {egoColumnSizing, edgoColumnSizing}, {egoExtCustomizing, edgoExtCustomizing}};
constexpr TNamesake<O, D> OptionsDB[] = {{egoCanAppend, edgoCanAppend},
                                         {egoCancelOnExit, edgoCancelOnExit},
                                         {egoCanDelete, edgoCanDelete},
                                         {egoCanInsert, edgoCanInsert},
                                         {egoCanNavigation, edgoCanNavigation},
                                         {egoConfirmDelete, edgoConfirmDelete},
                                         {egoLoadAllRecords, edgoLoadAllRecords},
                                         {egoResetColumnFocus, edgoResetColumnFocus},
                                         {egoSmartRefresh, edgoSmartRefresh},
                                         {egoSmartReload, edgoSmartReload},
                                         {egoUseLocate, edgoUseLocate}};
constexpr TNamesake<O, V> OptionsView[] = {{egoAutoWidth, edgoAutoWidth},
                                           {egoDrawEndEllipsis, edgoDrawEndEllipsis},
                                           {egoHideFocusRect, edgoHideFocusRect},
                                           {egoIndicator, edgoIndicator},
                                           {egoPreview, edgoPreview},
                                           {egoRowSelect, edgoRowSelect}};

constexpr TNamesake<X, B> OptionsExBehavior[] = {{egoAnsiSort, edgoAnsiSort},
                                                 {egoAutoSearch, edgoAutoSearch},
                                                 {egoAutoSort, edgoAutoSort},
                                                 {egoBandButtonClicking, edgoBandButtonClicking},
                                                 {egoCellMultiSelect, edgoCellMultiSelect},
                                                 {egoCollapsedReload, edgoCollapsedReload},
                                                 {egoDragCollapse, edgoDragCollapse},
                                                 {egoDragExpand, edgoDragExpand},
                                                 {egoDragScroll, edgoDragScroll},
                                                 {egoEnterShowEditor, edgoEnterShowEditor},
                                                 {egoEnterThrough, edgoEnterThrough},
                                                 {egoHeaderButtonClicking, edgoHeaderButtonClicking},
                                                 {egoHorzThrough, edgoHorzThrough},
                                                 {egoMouseScroll, edgoMouseScroll},
                                                 {egoMultiSort, edgoMultiSort},
                                                 {egoVertThrough, edgoVertThrough}};
constexpr TNamesake<X, C> OptionsExCustomize[] = {{egoBandMoving, edgoBandMoving},
                                                  {egoBandPanelSizing, edgoBandPanelSizing},
                                                  {egoBandSizing, edgoBandSizing},
                                                  {egoFullSizing, edgoFullSizing},
                                                  {egoHeaderPanelSizing, edgoHeaderPanelSizing},
                                                  {egoKeepColumnWidth, edgoKeepColumnWidth},
                                                  {egoNotHideColumn, edgoNotHideColumn},
                                                  {egoRowSizing, edgoRowSizing}};
constexpr TNamesake<X, D> OptionsExDB[] = {{egoSyncSelection, edgoSyncSelection}};
constexpr TNamesake<X, V> OptionsExView[] = {{egoAutoCalcPreviewLines, edgoAutoCalcPreviewLines},
                                             {egoAutoHeaderPanelHeight, edgoAutoHeaderPanelHeight},
                                             {egoBandHeaderWidth, edgoBandHeaderWidth},
                                             {egoInvertSelect, edgoInvertSelect},
                                             {egoRowAutoHeight, edgoRowAutoHeight},
                                             {egoShowButtonAlways, edgoShowButtonAlways},
                                             {egoUseBitmap, edgoUseBitmap}};

template <typename E> void CopyBit(bool Value, TSet<E>& Target, E Member) {
    if (Value)
        Target.Include(Member);
    else
        Target.Exclude(Member);
}

// One old set's namesakes in each new set.
template <typename Old> struct TNamesakeTables {
    std::span<const TNamesake<Old, B>> Behavior;
    std::span<const TNamesake<Old, C>> Customize;
    std::span<const TNamesake<Old, D>> DB;
    std::span<const TNamesake<Old, V>> View;
};
constexpr TNamesakeTables<O> OptionsTables = {OptionsBehavior, OptionsCustomize, OptionsDB, OptionsView};
constexpr TNamesakeTables<X> OptionsExTables = {OptionsExBehavior, OptionsExCustomize, OptionsExDB, OptionsExView};

template <typename Old, typename New>
void CopyToNew(TSet<Old> Source, TSet<New>& Target, std::span<const TNamesake<Old, New>> Table) {
    for (const auto& pair : Table)
        CopyBit(Source.Contains(pair.OldMember), Target, pair.NewMember);
}

template <typename Old>
TcvDBGridOptionSets CopyToNew(TSet<Old> Source, TcvDBGridOptionSets Sets, const TNamesakeTables<Old>& Tables) {
    CopyToNew(Source, Sets.Behavior, Tables.Behavior);
    CopyToNew(Source, Sets.Customize, Tables.Customize);
    CopyToNew(Source, Sets.DB, Tables.DB);
    CopyToNew(Source, Sets.View, Tables.View);
    return Sets;
}

template <typename Old, typename New>
void CopyToOld(TSet<New> Source, TSet<Old>& Target, std::span<const TNamesake<Old, New>> Table) {
    for (const auto& pair : Table)
        CopyBit(Source.Contains(pair.NewMember), Target, pair.OldMember);
}

template <typename Old> TSet<Old> CopyToOld(const TcvDBGridOptionSets& Sets, const TNamesakeTables<Old>& Tables) {
    TSet<Old> options;
    CopyToOld(Sets.Behavior, options, Tables.Behavior);
    CopyToOld(Sets.Customize, options, Tables.Customize);
    CopyToOld(Sets.DB, options, Tables.DB);
    CopyToOld(Sets.View, options, Tables.View);
    return options;
}

// A member's place in the tree list's words: SecondWord picks OptionsEx.
template <typename E> struct TTreeListBit {
    E Member;
    bool SecondWord;
    unsigned Bit;
};

constexpr TTreeListBit<B> BehaviorBits[] = {{edgoAnsiSort, true, 27},
                                            {edgoAutoCopySelectedToClipboard, true, 31},
                                            {edgoAutoSearch, true, 29},
                                            {edgoAutoSort, false, 14},
                                            {edgoBandButtonClicking, true, 17},
                                            {edgoCaseInsensitive, false, 15},
                                            {edgoCellMultiSelect, true, 8},
                                            {edgoDragCollapse, true, 14},
                                            {edgoDragExpand, true, 13},
                                            {edgoDragScroll, true, 12},
                                            {edgoEditing, false, 2},
                                            {edgoEnterShowEditor, true, 10},
                                            {edgoEnterThrough, true, 9},
                                            {edgoExtMultiSelect, false, 11},
                                            {edgoHeaderButtonClicking, true, 19},
                                            {edgoHorzThrough, true, 6},
                                            {edgoImmediateEditor, false, 7},
                                            {edgoMouseScroll, true, 28},
                                            {edgoMultiSelect, false, 6},
                                            {edgoShowHourGlass, true, 16},
                                            {edgoStoreToIniFile, false, 17},
                                            {edgoStoreToRegistry, false, 16},
                                            {edgoTabs, false, 3},
                                            {edgoTabThrough, false, 4},
                                            {edgoVertThrough, true, 7}};
// edgoNotHideColumn has no bit: bit 21 is row sizing's alone.
constexpr TTreeListBit<C> CustomizeBits[] = {{edgoBandMoving, true, 5},       {edgoBandPanelSizing, true, 18},
                                             {edgoBandSizing, true, 4},       {edgoColumnMoving, false, 1},
                                             {edgoColumnSizing, false, 0},    {edgoExtCustomizing, false, 12},
                                             {edgoFullSizing, true, 11},      {edgoHeaderPanelSizing, true, 20},
                                             {edgoKeepColumnWidth, true, 26}, {edgoRowSizing, true, 21}};
// Row select after invert select: a row-selecting grid clears the invert bit.
constexpr TTreeListBit<V> ViewBits[] = {{edgoAutoCalcPreviewLines, true, 3},
                                        {edgoAutoHeaderPanelHeight, true, 25},
                                        {edgoAutoWidth, false, 10},
                                        {edgoBandHeaderWidth, true, 2},
                                        {edgoDrawEndEllipsis, false, 9},
                                        {edgoHideFocusRect, false, 13},
                                        {edgoHotTrack, true, 30},
                                        {edgoInvertSelect, true, 0},
                                        {edgoPreview, false, 8},
                                        {edgoRowAutoHeight, true, 15},
                                        {edgoRowSelect, false, 5},
                                        {edgoShowButtonAlways, true, 24},
                                        {edgoUseBitmap, true, 1}};

template <typename E>
void WriteBits(TSet<E> Value, std::span<const TTreeListBit<E>> Table, unsigned& Options, unsigned& OptionsEx) {
    for (const auto& place : Table) {
        unsigned& word = place.SecondWord ? OptionsEx : Options;
        const unsigned mask = 1u << place.Bit;
        word = Value.Contains(place.Member) ? (word | mask) : (word & ~mask);
    }
}

} // namespace

namespace cvDBGrid {

TcvDBGridOptionSets NewOptionsFromOptions(TcvDBGridOptions Value, TcvDBGridOptionSets Sets) {
    return CopyToNew(Value, Sets, OptionsTables);
}

TcvDBGridOptionSets NewOptionsFromOptionsEx(TcvDBGridOptionsEx Value, TcvDBGridOptionSets Sets) {
    return CopyToNew(Value, Sets, OptionsExTables);
}

TcvDBGridOptions OptionsFromNewOptions(const TcvDBGridOptionSets& Sets) {
    return CopyToOld(Sets, OptionsTables);
}

TcvDBGridOptionsEx OptionsExFromNewOptions(const TcvDBGridOptionSets& Sets) {
    return CopyToOld(Sets, OptionsExTables);
}

void WriteTreeListBits(TcvDBGridOptionsBehavior Value, unsigned& Options, unsigned& OptionsEx) {
    WriteBits<B>(Value, BehaviorBits, Options, OptionsEx);
}

void WriteTreeListBits(TcvDBGridOptionsCustomize Value, unsigned& Options, unsigned& OptionsEx) {
    WriteBits<C>(Value, CustomizeBits, Options, OptionsEx);
}

void WriteTreeListBits(TcvDBGridOptionsView Value, unsigned& Options, unsigned& OptionsEx) {
    WriteBits<V>(Value, ViewBits, Options, OptionsEx);
}

} // namespace cvDBGrid

// ---- The grid's option setters ----------------------------------------------

TcvDBGridOptionSets TCustomcvDBGrid::OptionSets() const {
    return {FOptionsBehavior, FOptionsCustomize, FOptionsDB, FOptionsView};
}

void TCustomcvDBGrid::UpdateOldOptions() {
    FOptions = cvDBGrid::OptionsFromNewOptions(OptionSets());
    FOptionsEx = cvDBGrid::OptionsExFromNewOptions(OptionSets());
}

template <typename TSetType> void TCustomcvDBGrid::WriteTreeListOptions(TSetType Value) {
    unsigned options = TCustomcvTreeList::Options();
    unsigned optionsEx = TCustomcvTreeList::OptionsEx();
    cvDBGrid::WriteTreeListBits(Value, options, optionsEx);
    // Options first: the tree list drops inverted selection when row select
    // comes on, and row select when inverted selection does.
    TCustomcvTreeList::SetOptions(options);
    TCustomcvTreeList::SetOptionsEx(optionsEx);
}

namespace {

// Every side effect comes from the four new setters, called in this order.
void ApplyOptionSets(TCustomcvDBGrid& Grid, const TcvDBGridOptionSets& Sets) {
    TUpdateGuard<TCustomcvTreeList> update(Grid);
    Grid.SetOptionsBehavior(Sets.Behavior);
    Grid.SetOptionsCustomize(Sets.Customize);
    Grid.SetOptionsDB(Sets.DB);
    Grid.SetOptionsView(Sets.View);
}

template <typename E> bool Changed(TSet<E> Old, TSet<E> New, E Member) {
    return Old.Contains(Member) != New.Contains(Member);
}

} // namespace

void TCustomcvDBGrid::SetOptions(TcvDBGridOptions Value) {
    ApplyOptionSets(*this, cvDBGrid::NewOptionsFromOptions(Value, OptionSets()));
}

void TCustomcvDBGrid::SetOptionsEx(TcvDBGridOptionsEx Value) {
    ApplyOptionSets(*this, cvDBGrid::NewOptionsFromOptionsEx(Value, OptionSets()));
}

void TCustomcvDBGrid::SetOptionsBehavior(TcvDBGridOptionsBehavior Value) {
    if (Value == FOptionsBehavior) return;
    TUpdateGuard<TCustomcvTreeList> update(this);
    const TcvDBGridOptionsBehavior old = FOptionsBehavior;
    FOptionsBehavior = Value;
    UpdateOldOptions();
    WriteTreeListOptions(Value);
    if (Changed(old, Value, edgoAutoSort) || Changed(old, Value, edgoMultiSort)) ClearSortedColumns();
    if (old.Contains(edgoMultiSort) && !Value.Contains(edgoMultiSort)) ApplySingleSortRule();
}

void TCustomcvDBGrid::SetOptionsCustomize(TcvDBGridOptionsCustomize Value) {
    if (Value == FOptionsCustomize) return;
    TUpdateGuard<TCustomcvTreeList> update(this);
    FOptionsCustomize = Value;
    UpdateOldOptions();
    WriteTreeListOptions(Value);
}

void TCustomcvDBGrid::SetOptionsDB(TcvDBGridOptionsDB Value) {
    if (Value.Contains(edgoLoadAllRecords)) Value.Exclude(edgoPartialLoad);
    if (Value == FOptionsDB) return;
    TUpdateGuard<TCustomcvTreeList> update(this);
    // edgoLoadAllRecords wins over DefaultFields. Turned off first, since
    // turning it off drops egoLoadAllRecords, which would undo this value.
    if (Value.Contains(edgoLoadAllRecords) && FDefaultFields) SetDefaultFields(false);
    const TcvDBGridOptionsDB old = FOptionsDB;
    FOptionsDB = Value;
    UpdateOldOptions();
    if (Changed(old, Value, edgoPartialLoad) && IsWindowedMode()) {
        if (Value.Contains(edgoPartialLoad) && FDefaultFields) SetDefaultFields(false);
        FBeginningReached = false;
        FEndReached = false;
        LinkActiveChanged(FDataLink->Active());
    }
    if (Value.Contains(edgoUseBookmarks) && !old.Contains(edgoUseBookmarks)) ClearSelection();
    if (Changed(old, Value, edgoLoadAllRecords) && GroupColumnCount() == 0) {
        // The rows change mode: rebuilt the way an activation builds them,
        // and filtered the new mode's way.
        LinkActiveChanged(FDataLink->Active());
        RefreshFilter();
        return;
    }
    if (Changed(old, Value, edgoCanNavigation)) {
        if (IsBufferMode())
            LayoutChanged();
        else
            FullReload();
    }
}

void TCustomcvDBGrid::SetOptionsView(TcvDBGridOptionsView Value) {
    if (Value.Contains(edgoInvertSelect)) Value.Exclude(edgoRowSelect);
    if (Value == FOptionsView) return;
    TUpdateGuard<TCustomcvTreeList> update(this);
    FOptionsView = Value;
    UpdateOldOptions();
    WriteTreeListOptions(Value);
    SetShowIndicator(Value.Contains(edgoIndicator));
}

void TCustomcvDBGrid::SetPartialLoad(bool Value) {
    SetOptionsDB(Value ? FOptionsDB + edgoPartialLoad : FOptionsDB - edgoPartialLoad);
}

void TCustomcvDBGrid::SetUseBookmarks(bool Value) {
    SetOptionsDB(Value ? FOptionsDB + edgoUseBookmarks : FOptionsDB - edgoUseBookmarks);
}

void TCustomcvDBGrid::SetDefaultFields(bool Value) {
    if (Value == FDefaultFields) return;
    FDefaultFields = Value;
    TUpdateGuard<TCustomcvTreeList> update(this);
    SetOptions(FOptions - egoLoadAllRecords);
    ClearGrouping();
    // The tree-list control's own destruction: the data-aware one refuses
    // while DefaultFields is on, which is what this very change turns on.
    TCustomcvTreeListControl::DestroyColumns();
    SetDefaultLayout(true);
    if (FFilter) FFilter->SetActive(false);
}

void TCustomcvDBGrid::SetGroupPanelColor(TColor Value) {
    if (Value == FGroupPanelColor) return;
    FGroupPanelColor = Value;
    if (FShowGroupPanel) Invalidate();
}

void TCustomcvDBGrid::SetGroupPanelFontColor(TColor Value) {
    if (Value == FGroupPanelFontColor) return;
    FGroupPanelFontColor = Value;
    if (FShowGroupPanel) Invalidate();
}

bool TCustomcvDBGrid::CanHideColumnByDrag() const {
    return TCustomcvDBTreeListControl::CanHideColumnByDrag() && !FOptionsCustomize.Contains(edgoNotHideColumn);
}
