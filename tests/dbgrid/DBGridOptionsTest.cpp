// The option tables: old and new sets translate both ways member by member,
// and the new sets drive the tree list's word bits its own code tests.
#include "dbgrid/DBGridOptions.h"

#include "treelist/TreeList.h"

#include <gtest/gtest.h>

#include <bit>
#include <functional>

namespace {

using namespace cvDBGrid;

const TcvDBGridOptionSets DefaultSets = {DefaultOptionsBehavior, DefaultOptionsCustomize, DefaultOptionsDB,
                                         DefaultOptionsView};
// The new members without an old namesake.
const TcvDBGridOptionSets NewOnlyMembers = {
    {edgoAutoCopySelectedToClipboard}, {}, {edgoPartialLoad, edgoUseBookmarks}, {edgoHotTrack}};

int MemberCount(const TcvDBGridOptionSets& Sets) {
    return std::popcount(Sets.Behavior.Bits()) + std::popcount(Sets.Customize.Bits()) + std::popcount(Sets.DB.Bits()) +
           std::popcount(Sets.View.Bits());
}

TEST(OptionTranslationTest, DefaultsTranslateBothWays) {
    EXPECT_EQ(OptionsFromNewOptions(DefaultSets), DefaultOptions);
    EXPECT_EQ(OptionsExFromNewOptions(DefaultSets), DefaultOptionsEx);
    EXPECT_EQ(NewOptionsFromOptionsEx(DefaultOptionsEx,
                                      NewOptionsFromOptions(DefaultOptions, {{}, {}, {edgoUseBookmarks}, {}})),
              DefaultSets);
}

TEST(OptionTranslationTest, EveryOldMemberHasExactlyOneNewNamesake) {
    for (int ordinal = 0; ordinal < 32; ++ordinal) {
        SCOPED_TRACE(ordinal);
        const TcvDBGridOptions option = {TcvDBGridOption(ordinal)};
        const TcvDBGridOptionSets fromOption = NewOptionsFromOptions(option, {});
        EXPECT_EQ(MemberCount(fromOption), 1);
        EXPECT_EQ(OptionsFromNewOptions(fromOption), option);
        EXPECT_TRUE(OptionsExFromNewOptions(fromOption).Empty());

        const TcvDBGridOptionsEx optionEx = {TcvDBGridOptionEx(ordinal)};
        const TcvDBGridOptionSets fromOptionEx = NewOptionsFromOptionsEx(optionEx, {});
        EXPECT_EQ(MemberCount(fromOptionEx), 1);
        EXPECT_EQ(OptionsExFromNewOptions(fromOptionEx), optionEx);
        EXPECT_TRUE(OptionsFromNewOptions(fromOptionEx).Empty());
    }
}

TEST(OptionTranslationTest, NamesakesLandInTheirSets) {
    const TcvDBGridOptionSets sets = NewOptionsFromOptionsEx(
        {egoSyncSelection, egoNotHideColumn, egoInvertSelect, egoMultiSort},
        NewOptionsFromOptions({egoLoadAllRecords, egoIndicator, egoExtCustomizing, egoSeekDetail}, {}));
    const TcvDBGridOptionSets expected = {{edgoSeekDetail, edgoMultiSort},
                                          {edgoExtCustomizing, edgoNotHideColumn},
                                          {edgoLoadAllRecords, edgoSyncSelection},
                                          {edgoIndicator, edgoInvertSelect}};
    EXPECT_EQ(sets, expected);
}

TEST(OptionTranslationTest, OneOldSetLeavesTheOtherSetsMembersAlone) {
    const TcvDBGridOptionSets all = {
        TcvDBGridOptionsBehavior::FromBits((1u << 29) - 1), TcvDBGridOptionsCustomize::FromBits((1u << 11) - 1),
        TcvDBGridOptionsDB::FromBits((1u << 14) - 1), TcvDBGridOptionsView::FromBits((1u << 14) - 1)};
    const TcvDBGridOptionsEx allEx = TcvDBGridOptionsEx::FromBits(0xFFFFFFFFu);
    const TcvDBGridOptionSets onlyEx = NewOptionsFromOptionsEx(allEx, NewOnlyMembers);
    EXPECT_EQ(NewOptionsFromOptions({}, all), onlyEx);
    EXPECT_EQ(NewOptionsFromOptions(TcvDBGridOptions::FromBits(0xFFFFFFFFu), onlyEx), all);
}

struct TTreeListBitsCase {
    const char* Name;
    std::function<void(unsigned&, unsigned&)> Write;
    unsigned Options, OptionsEx; // the words before
    unsigned ExpectedOptions, ExpectedOptionsEx;
};

const unsigned All = 0xFFFFFFFFu;

const TTreeListBitsCase TreeListBitsCases[] = {
    {"BehaviorEmptyClearsOnlyItsBits",
     [](unsigned& o, unsigned& x) { WriteTreeListBits(TcvDBGridOptionsBehavior{}, o, x); }, All, All,
     All & ~(tlo_Editing | tlo_EditorWantsTab | tlo_TabWrapsRows | tlo_MultiSelect | tlo_EditorOnRelease |
             tlo_SelectAcrossLevels | tlo_AutoSort | tlo_CaseInsensitive | tlo_StoreToRegistry | tlo_StoreToIniFile),
     All & ~(tloex_ArrowWrapsRows | tloex_BandRowNavigation | 1u << 8 | tloex_EnterMovesToNextCell |
             tloex_StartEditByKey | tloex_EditRecord | tloex_DragExpand | 1u << 14 | tloex_ShowHourGlass | 1u << 17 |
             1u << 19 | tloex_AnsiSort | tloex_MouseSelectRows | tloex_IncSearch | tloex_CopyByCtrlC)},
    {"BehaviorMembersWithoutBits",
     [](unsigned& o, unsigned& x) {
         WriteTreeListBits(TcvDBGridOptionsBehavior{edgoDblClick, edgoMultiSort, edgoSeekDetail, edgoCollapsedReload},
                           o, x);
     },
     0, 0, 0, 0},
    {"BehaviorSortAndSelection",
     [](unsigned& o, unsigned& x) {
         WriteTreeListBits(TcvDBGridOptionsBehavior{edgoAutoSort, edgoMultiSelect, edgoAutoCopySelectedToClipboard}, o,
                           x);
     },
     0, 0, tlo_AutoSort | tlo_MultiSelect, tloex_CopyByCtrlC},
    {"CustomizeEmptyClearsOnlyItsBits",
     [](unsigned& o, unsigned& x) { WriteTreeListBits(TcvDBGridOptionsCustomize{}, o, x); }, All, All,
     All & ~(tlo_ColumnSizing | tlo_ColumnMoving | 1u << 12),
     All & ~(tloex_BandSizing | tloex_BandMoving | 1u << 11 | tloex_BandHeightSizing | tloex_HeaderHeightSizing |
             tloex_RowSizing | tloex_KeepColumnWidths)},
    {"NotHideColumnLeavesRowSizingBitAlone",
     [](unsigned& o, unsigned& x) { WriteTreeListBits(TcvDBGridOptionsCustomize{edgoNotHideColumn}, o, x); }, 0, 0, 0,
     0},
    {"RowSizingAloneSetsBit21",
     [](unsigned& o, unsigned& x) { WriteTreeListBits(TcvDBGridOptionsCustomize{edgoRowSizing}, o, x); }, 0, 0, 0,
     tloex_RowSizing},
    {"RowSelectClearsInvertSelect",
     [](unsigned& o, unsigned& x) { WriteTreeListBits(TcvDBGridOptionsView{edgoRowSelect}, o, x); }, 0,
     tloex_InvertSelect, tlo_RowSelect, 0},
    {"InvertSelect", [](unsigned& o, unsigned& x) { WriteTreeListBits(TcvDBGridOptionsView{edgoInvertSelect}, o, x); },
     tlo_RowSelect, 0, 0, tloex_InvertSelect},
    {"ViewIndicatorIsNoWordBit",
     [](unsigned& o, unsigned& x) {
         WriteTreeListBits(TcvDBGridOptionsView{edgoIndicator, edgoHotTrack}, o, x);
     },
     0, 0, 0, tloex_CellHotTrack},
    {"ViewEmptyClearsOnlyItsBits", [](unsigned& o, unsigned& x) { WriteTreeListBits(TcvDBGridOptionsView{}, o, x); },
     All, All, All & ~(tlo_RowSelect | tlo_DrawEndEllipsis | tlo_AutoWidth | tlo_HideFocusedCell | 1u << 8),
     All & ~(tloex_InvertSelect | tloex_UseBitmap | tloex_ColumnEdgeSizesBand | tloex_AutoPreviewLines |
             tloex_RowAutoHeight | 1u << 24 | tloex_AutoHeaderPanelRowCount | tloex_CellHotTrack)},
};

void PrintTo(const TTreeListBitsCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class TreeListBitsTest : public testing::TestWithParam<TTreeListBitsCase> {};

TEST_P(TreeListBitsTest, WritesOnlyTheSetsBits) {
    const TTreeListBitsCase& c = GetParam();
    unsigned options = c.Options, optionsEx = c.OptionsEx;
    c.Write(options, optionsEx);
    EXPECT_EQ(options, c.ExpectedOptions) << std::hex << options;
    EXPECT_EQ(optionsEx, c.ExpectedOptionsEx) << std::hex << optionsEx;
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeListBitsTest, testing::ValuesIn(TreeListBitsCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
