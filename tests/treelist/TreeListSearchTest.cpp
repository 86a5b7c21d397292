// Incremental search: typed characters (whole UTF-8 characters, Chinese too)
// find the next node whose search-column text begins with them; a miss drops
// the last character; the walk wraps once and stops.
#include "TestTreeListForm.h"

#include "platform/rtl/Utf8.h"
#include "platform/ui/testhooks/WmTestHooks.h"

using treelisttest::TreeListOnForm;

namespace {

// Rows (D collapsed):
//   apple
//   Apricot
//   banana
//   中文
//   中国
//   D
//   +- avocado
class TreeListSearch : public TreeListOnForm {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        AddColumn();
        AddColumn();
        TUpdateGuard<TCustomcvTreeList> update(*Tree);
        const char* const rows[][2] = {
            {"apple", "k1"}, {"Apricot", "k2"}, {"banana", "m1"}, {"中文", "m2"}, {"中国", "n"}};
        for (const auto& row : rows)
            AddNode(nullptr, {row[0], row[1]});
        AddNode(AddNode(nullptr, {"D"}), {"avocado"});
        Tree->SetOptionsEx(Tree->OptionsEx() | tloex_IncSearch);
    }
    // Types Text into the tree list as a user would.
    void Type(const std::string& Text) {
        for (char32_t c : Utf8ToCodePoints(Text))
            platform_ui::test::SendQtKey(Tree->Handle(), 0, 0, Utf8FromCodePoint(c));
        ProcessMessages();
    }
};

TEST_F(TreeListSearch, TypedCharactersFindTheNextMatchingNode) {
    Show();
    const struct {
        const char* Typed;
        const char* Focused;
        const char* SearchText;
    } cases[] = {
        {"ap", "apple", "ap"},
        {"apr", "Apricot", "apr"}, // case is ignored
        {"AB", "apple", "A"},      // the B matches nothing and is dropped
        {"b", "banana", "b"},
        {"中国", "中国", "中国"},
        {"中文x", "中文", "中文"}, // the dropped character is a whole one
        {"z", "apple", ""},
    };
    for (const auto& c : cases) {
        Tree->EndIncrementalSearch();
        N("apple")->SetFocused(true);
        Type(c.Typed);
        EXPECT_TRUE(Tree->Searching()) << c.Typed;
        EXPECT_EQ(NameOf(Tree->FocusedNode()), c.Focused) << c.Typed;
        EXPECT_EQ(Tree->SearchText(), c.SearchText) << c.Typed;
    }
}

TEST_F(TreeListSearch, TheWalkWrapsOnceAndStops) {
    Tree->SetAutoExpandOnSearch(false);
    const struct {
        const char* From;
        int Direction;
        const char* Text;
        const char* Found;
    } cases[] = {
        {"Apricot", TCustomcvTreeList::sdForward, "a", "apple"}, // wraps to the top
        {"apple", TCustomcvTreeList::sdBackward, "a", "Apricot"},
        {"apple", TCustomcvTreeList::sdForward, "apple", "-"}, // back at the focused node: stop
        {"banana", TCustomcvTreeList::sdFromFocused, "b", "banana"},
        {"banana", TCustomcvTreeList::sdForward, "av", "-"}, // hidden without AutoExpandOnSearch
        {"banana", TCustomcvTreeList::sdForward, "", "-"},
    };
    for (const auto& c : cases) {
        N(c.From)->SetFocused(true);
        TcvTreeListNode* found = nullptr;
        EXPECT_EQ(Tree->FindNodeByText(0, c.Text, found, c.Direction), *c.Found != '-') << c.From << " " << c.Text;
        EXPECT_EQ(NameOf(found), c.Found) << c.From << " " << c.Text;
    }
}

TEST_F(TreeListSearch, AMatchInACollapsedBranchIsShown) {
    Show();
    N("apple")->SetFocused(true);
    ASSERT_TRUE(Tree->StartIncrementalSearch(0, "av"));
    EXPECT_EQ(NameOf(Tree->FocusedNode()), "avocado");
    EXPECT_TRUE(N("D")->Expanded());
    EXPECT_TRUE(Tree->Searching());
}

TEST_F(TreeListSearch, TheSearchColumnFollowsTheFocusedColumn) {
    Show();
    N("apple")->SetFocused(true);
    Type("m");
    EXPECT_EQ(NameOf(Tree->FocusedNode()), "apple") << "column 0 has no m";
    Tree->EndIncrementalSearch();
    Tree->SetFocusedColumn(1);
    Type("m2");
    EXPECT_EQ(Tree->SearchColumn(), 1);
    EXPECT_EQ(NameOf(Tree->FocusedNode()), "中文");
    Tree->SetFocusedColumn(0);
    EXPECT_FALSE(Tree->Searching()) << "moving the focused cell ends the search";
}

} // namespace
