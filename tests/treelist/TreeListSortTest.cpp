// Sorting in the tree-list control: the node sort over levels and keys, the
// comparator the options pick, ties by selection order, a comparison that
// throws, and the sort keys that header clicks and columns keep.
#include "treelist/TreeListControl.h"

#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Sorts like the data-aware grid when its keys change, and breaks ties by
// the order in which nodes were selected.
class TSortingTreeList : public TCustomcvTreeListControl {
public:
    using TCustomcvTreeListControl::TCustomcvTreeListControl;
    std::vector<const TcvTreeListNode*> SelectionOrder;
    int Resorts = 0;

    int CompareSelectionItems(TcvTreeListNode* Node1, TcvTreeListNode* Node2) override {
        return Rank(Node1) - Rank(Node2);
    }
    void ResortNodes() override { ++Resorts; }

private:
    int Rank(const TcvTreeListNode* Node) const {
        return int(std::find(SelectionOrder.begin(), SelectionOrder.end(), Node) - SelectionOrder.begin());
    }
};

class TreeListSortTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 2; ++i) {
            auto* column = new TcvTreeListColumn(Owner.get());
            column->SetName("C" + std::to_string(i));
            column->SetTreeList(Tree);
        }
    }
    // A node whose cell texts are Texts; its name is their concatenation.
    TcvTreeListNode* Add(TcvTreeListNode* Parent, const std::vector<std::string>& Texts) {
        TcvTreeListNode* node = Parent ? Parent->AddChild() : Tree->Add();
        std::string name;
        for (size_t i = 0; i < Texts.size(); ++i) {
            Tree->StoreNodeString(node, int(i), Texts[i]);
            name += Texts[i];
        }
        Names[node] = name;
        return node;
    }
    void AddRoots(const std::vector<std::vector<std::string>>& Rows) {
        for (const auto& row : Rows)
            Add(nullptr, row);
    }
    TcvTreeListNode* N(const std::string& Name) const {
        for (const auto& [node, name] : Names)
            if (name == Name) return node;
        return nullptr;
    }
    void SelectInOrder(const std::vector<std::string>& Order) {
        Tree->SelectionOrder.clear();
        for (const std::string& name : Order)
            Tree->SelectionOrder.push_back(N(name));
    }
    // The whole tree in tree order, children in brackets.
    std::string Shape(const TcvTreeListNode* Parent = nullptr) const {
        std::string shape;
        const int count = Parent ? Parent->Count() : Tree->Count();
        for (int i = 0; i < count; ++i) {
            TcvTreeListNode* node = Parent ? Parent->Items(i) : Tree->Items(i);
            shape += (shape.empty() ? "" : " ") + Names.at(node);
            if (node->Count() > 0) shape += "(" + Shape(node) + ")";
        }
        return shape;
    }
    TcvTreeListColumn* C(int Index) const { return Tree->Columns(Index); }
    std::string SortKeys() const {
        std::string keys;
        for (int i = 0; i < Tree->GetSortKeyCount(); ++i)
            keys += (keys.empty() ? "" : " ") + Tree->GetSortedColumn(i)->Name() +
                    (Tree->IsSortKeyDescending(i) ? "-" : "+");
        return keys;
    }

    std::unique_ptr<TComponent> Owner = std::make_unique<TComponent>(nullptr);
    TSortingTreeList* Tree = new TSortingTreeList(Owner.get());
    std::map<TcvTreeListNode*, std::string> Names;
};

TEST_F(TreeListSortTest, SortChildrenSortsTheListsOfTheLevelAsked) {
    struct Case {
        int Level;
        bool Descending;
        const char* Shape;
    };
    const Case cases[] = {
        {-1, false, "a(a1(a1a a1b) a2 a3) b(b1 b2) c"}, {-1, true, "c b(b2 b1) a(a3 a2 a1(a1b a1a))"},
        {0, false, "a(a3 a1(a1b a1a) a2) b(b2 b1) c"},  {1, false, "b(b1 b2) a(a1(a1b a1a) a2 a3) c"},
        {2, false, "b(b2 b1) a(a3 a1(a1a a1b) a2) c"},  {3, false, "b(b2 b1) a(a3 a1(a1b a1a) a2) c"},
    };
    for (const Case& c : cases) {
        Tree->ClearNodes();
        Names.clear();
        TcvTreeListNode* b = Add(nullptr, {"b"});
        TcvTreeListNode* a = Add(nullptr, {"a"});
        Add(nullptr, {"c"});
        Add(b, {"b2"});
        Add(b, {"b1"});
        Add(a, {"a3"});
        TcvTreeListNode* a1 = Add(a, {"a1"});
        Add(a, {"a2"});
        Add(a1, {"a1b"});
        Add(a1, {"a1a"});
        Tree->SortChildren(c.Level, 0, c.Descending);
        EXPECT_EQ(Shape(), c.Shape) << "level " << c.Level << (c.Descending ? " descending" : "");
    }
}

TEST_F(TreeListSortTest, SortKeysOrderByEveryKeyOnlyWithMultiSorting) {
    struct Case {
        const char* Name;
        bool MultiSort;
        int First; // the column sorted first: the primary key
        TcvTreeListColumnSort FirstSort;
        TcvTreeListColumnSort SecondSort;
        const char* Shape;
    };
    const Case cases[] = {
        {"C0 up, then C1 down", true, 0, csUp, csDown, "1b 1a 2b 2a"},
        {"C1 up, then C0 down", true, 1, csUp, csDown, "2a 1a 2b 1b"},
        // Without multi-sorting the column passed alone decides, ties by
        // selection order.
        {"C1 alone", false, 0, csUp, csDown, "1a 2a 2b 1b"},
    };
    for (const Case& c : cases) {
        Tree->ClearNodes();
        Names.clear();
        Tree->ClearSortedColumns();
        C(0)->SetSorted(csNone);
        C(1)->SetSorted(csNone);
        AddRoots({{"1", "b"}, {"2", "a"}, {"1", "a"}, {"2", "b"}});
        SelectInOrder({"2b", "1a", "2a", "1b"});
        Tree->SetOptionsEx(c.MultiSort ? Tree->OptionsEx() | tloex_MultiSort : Tree->OptionsEx() & ~tloex_MultiSort);
        C(c.First)->SetSorted(c.FirstSort);
        C(1 - c.First)->SetSorted(c.SecondSort);
        Tree->SortChildren(-1, 1, false);
        EXPECT_EQ(Shape(), c.Shape) << c.Name;
    }
}

TEST_F(TreeListSortTest, TheOptionsPickTheTextComparison) {
    const std::string an = "\xE5\xAE\x89";    // pronounced an
    const std::string bei = "\xE5\x8C\x97";   // bei
    const std::string zhong = "\xE4\xB8\xAD"; // zhong: first in byte order
    // Case-sensitive locale order of a letter and its capital.
    const bool lowerFirst = AnsiCompareStr("a", "A") < 0;
    struct Case {
        const char* Name;
        unsigned Options, OptionsEx;
        std::vector<std::string> Texts;
        std::string Sorted;
    };
    const unsigned ansi = tloex_AnsiSort;
    const unsigned caseless = tlo_CaseInsensitive;
    const Case cases[] = {
        {"bytes", 0, 0, {an, zhong, bei}, zhong + " " + bei + " " + an},
        {"locale", 0, ansi, {an, zhong, bei}, an + " " + bei + " " + zhong},
        {"bytes, capitals first", 0, 0, {"b", "B", "a", "A"}, "A B a b"},
        {"bytes ignore the case option", caseless, 0, {"b", "B", "a", "A"}, "A B a b"},
        {"locale, case-sensitive", 0, ansi, {"b", "B", "a", "A"}, lowerFirst ? "a A b B" : "A a B b"},
        // Equal but for the case: the selection order decides.
        {"locale, case-insensitive", caseless, ansi, {"b", "B", "a", "A"}, "A a B b"},
    };
    for (const Case& c : cases) {
        Tree->ClearNodes();
        Names.clear();
        Tree->SetOptions((Tree->Options() & ~caseless) | c.Options);
        Tree->SetOptionsEx((Tree->OptionsEx() & ~ansi) | c.OptionsEx);
        for (const std::string& text : c.Texts)
            Add(nullptr, {text});
        SelectInOrder({"B", "b", "A", "a"});
        Tree->SortChildren(-1, 0, false);
        EXPECT_EQ(Shape(), c.Sorted) << c.Name;
    }
}

TEST_F(TreeListSortTest, AThrowingComparisonLeavesTheCursorAndTheListSound) {
    AddRoots({{"c"}, {"a"}, {"b"}});
    Add(N("a"), {"a2"});
    Add(N("a"), {"a1"});
    Tree->SetOptionsEx(Tree->OptionsEx() | tloex_ShowHourGlass);
    Screen->SetCursor(crDefault);
    // The roots sort; the first comparison among a's children fails.
    std::vector<TCursor> cursors;
    Tree->OnCompare = [&](TObject*, TcvTreeListNode* A, TcvTreeListNode* B, int& Compare) {
        cursors.push_back(Screen->Cursor());
        if (A->Parent()) throw std::runtime_error("compare failed");
        Compare = Names[A].compare(Names[B]);
    };
    EXPECT_THROW(Tree->SortChildren(-1, 0, false), std::runtime_error);
    EXPECT_EQ(Screen->Cursor(), crDefault) << "the cursor is back";
    ASSERT_FALSE(cursors.empty());
    EXPECT_EQ(cursors.front(), crHourGlass) << "the hourglass while sorting";
    EXPECT_EQ(Shape(), "a(a2 a1) b c") << "the failed list as it was";
    N("a")->SetExpanded(true);
    const char* const rows[] = {"a", "a2", "a1", "b", "c"};
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(Names[Tree->GetRowNode(row)], rows[row]) << "row " << row;
}

TEST_F(TreeListSortTest, AnInconsistentComparisonStillKeepsEveryNodeOnce) {
    std::vector<std::string> before;
    for (int i = 0; i < 40; ++i) {
        before.push_back(std::to_string(i));
        Add(nullptr, {before.back()});
    }
    int calls = 0;
    Tree->OnCompare = [&](TObject*, TcvTreeListNode*, TcvTreeListNode*, int& Compare) {
        Compare = ++calls % 3 - 1; // no order at all
    };
    Tree->SortChildren(-1, 0, false);
    std::vector<std::string> after;
    for (int i = 0; i < Tree->Count(); ++i)
        after.push_back(Names[Tree->Items(i)]);
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

TEST_F(TreeListSortTest, AListOfOneNodeIsNotCompared) {
    TcvTreeListNode* root = Add(nullptr, {"r"});
    Add(root, {"x"});
    bool compared = false;
    Tree->OnCompare = [&](TObject*, TcvTreeListNode*, TcvTreeListNode*, int&) { compared = true; };
    Tree->SortChildren(-1, 0, false);
    EXPECT_FALSE(compared);
}

TEST_F(TreeListSortTest, HeaderClicksAlternateTheSortAndCtrlRemovesIt) {
    struct Click {
        bool Ctrl;
        TcvTreeListColumnSort Sorted;
    };
    struct Case {
        const char* Name;
        bool AutoSort;
        bool Refuse;
        std::vector<Click> Clicks;
    };
    const Case cases[] = {
        {"three clicks", true, false, {{false, csUp}, {false, csDown}, {false, csUp}}},
        {"then Ctrl", true, false, {{false, csUp}, {true, csNone}}},
        {"refused", true, true, {{false, csNone}, {false, csNone}}},
        {"no automatic sort", false, false, {{false, csNone}}},
    };
    for (const Case& c : cases) {
        C(0)->SetSorted(csNone);
        Tree->SetOptions(c.AutoSort ? Tree->Options() | tlo_AutoSort : Tree->Options() & ~tlo_AutoSort);
        std::vector<std::string> clicked;
        Tree->OnColumnClick = [&](TObject*, TcvTreeListColumn* column) { clicked.push_back(column->Name()); };
        Tree->OnColumnSorting = [&](TObject*, TcvTreeListColumn*, bool& allow) { allow = !c.Refuse; };
        for (const Click& click : c.Clicks) {
            Tree->ClickColumnHeader(0, false, click.Ctrl);
            EXPECT_EQ(C(0)->Sorted(), click.Sorted) << c.Name;
            EXPECT_EQ(Tree->GetSortKeyCount(), click.Sorted == csNone ? 0 : 1) << c.Name;
            EXPECT_FALSE(Tree->SortWithCtrl()) << "the flag lives for one click";
        }
        EXPECT_EQ(clicked.size(), c.Clicks.size()) << c.Name << ": every click is reported";
    }
}

TEST_F(TreeListSortTest, RemovingTheLastSortResortsOnceAfterTheOutermostUpdate) {
    C(0)->SetSorted(csUp);
    C(1)->SetSorted(csDown);
    EXPECT_EQ(SortKeys(), "C0+ C1-");
    EXPECT_EQ(Tree->Resorts, 0) << "a new key leaves the sorting to the descendant";
    Tree->BeginSortUpdate();
    C(0)->SetSorted(csNone);
    C(1)->SetSorted(csNone);
    EXPECT_EQ(Tree->Resorts, 0);
    Tree->EndSortUpdate();
    EXPECT_EQ(Tree->Resorts, 1);
    EXPECT_EQ(SortKeys(), "");
}

TEST_F(TreeListSortTest, SortKeysFollowTheColumnsThatCarryThem) {
    C(0)->SetSorted(csUp);
    C(1)->SetSorted(csDown);
    auto* unsorted = new TcvTreeListColumn(Owner.get());
    unsorted->SetName("C2");
    C(0)->Assign(unsorted);
    EXPECT_EQ(SortKeys(), "C1-") << "a column that takes no sort leaves the keys";
    Tree->SetOptionsEx(Tree->OptionsEx() | tloex_MultiSort);
    Tree->SetOptionsEx(Tree->OptionsEx() & ~tloex_MultiSort);
    EXPECT_EQ(SortKeys(), "") << "switching multi-sorting off clears the keys";
    EXPECT_EQ(C(1)->Sorted(), csDown) << "the column keeps its state";
    C(1)->SetSorted(csUp);
    delete C(1);
    EXPECT_EQ(SortKeys(), "") << "a freed column leaves the keys";
}

TEST_F(TreeListSortTest, LoadedColumnsBecomeKeysInTheirStreamedOrder) {
    auto owner = std::make_unique<TComponent>(nullptr);
    TSortingTreeList* tree = nullptr;
    {
        TComponentLoading loading(owner.get());
        tree = new TSortingTreeList(owner.get());
        const struct {
            const char* Name;
            TcvTreeListColumnSort Sorted;
            int SortedOrder;
        } streamed[] = {{"A", csUp, 2}, {"B", csNone, -1}, {"C", csDown, 0}, {"D", csUp, 1}};
        for (const auto& s : streamed) {
            auto* column = new TcvTreeListColumn(owner.get());
            column->SetName(s.Name);
            column->SetTreeList(tree);
            column->SetSorted(s.Sorted);
            column->SetSortedOrder(s.SortedOrder);
        }
        EXPECT_EQ(tree->GetSortKeyCount(), 0) << "loading only stores the states";
    }
    std::string keys;
    for (int i = 0; i < tree->GetSortKeyCount(); ++i)
        keys += tree->GetSortedColumn(i)->Name();
    EXPECT_EQ(keys, "CDA");
}

} // namespace
