// The option tables: which old member is which new one, and which tree-list
// word bit each new member drives. Walking a table copies one bit per row, in
// row order, and leaves every bit the table does not name.
#include "dbgrid/DBGridOptions.h"

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
