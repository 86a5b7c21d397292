// The tree-list object: defaults, option coupling, the update lock, clearing,
// navigation and the shown-row cache at 100,000 nodes.
#include "TestTreeList.h"

#include <chrono>
#include <random>

using treelisttest::NamedTree;
using treelisttest::TTestTreeList;

namespace {

TEST(TreeList, StartsWithItsDefaults) {
    TTestTreeList tree(nullptr);
    EXPECT_EQ(tree.Options(), 0x37u);
    EXPECT_EQ(tree.OptionsEx(), 0x303Eu);
    EXPECT_EQ(tree.Width(), 250);
    EXPECT_EQ(tree.Height(), 150);
    EXPECT_EQ(tree.Color(), clWindow);
    EXPECT_FALSE(tree.ParentColor());
    EXPECT_TRUE(tree.TabStop());
    EXPECT_EQ(tree.State(), 0);
    EXPECT_EQ(tree.FocusedNode(), nullptr);
    EXPECT_EQ(tree.GetTopRowIndex(), -1);
    EXPECT_EQ(tree.VisibleRowCount(), 1);
    EXPECT_EQ(tree.EditorColumn(), -1);
    EXPECT_TRUE(tree.ControlStyle().Contains(csOpaque));
    EXPECT_TRUE(tree.ControlStyle().Contains(csDisplayDragImage));
    const std::pair<TColor, TColor> colours[] = {
        {tree.ArrowsColor(), clLime},
        {tree.BandColor(), clBtnFace},
        {tree.HeaderColor(), clBtnFace},
        {tree.GridLineColor(), clNone},
        {tree.HideSelectionTextColor(), clBtnText},
        {tree.HighlightColor(), clHighlight},
        {tree.FixedBandLineColor(), clWindowFrame},
        {tree.RowFooterColor(), cl3DLight},
        {tree.PreviewFont()->Color(), clBlue},
    };
    for (const auto& [actual, expected] : colours)
        EXPECT_EQ(actual, expected);
    EXPECT_TRUE(tree.ShowHeader());
    EXPECT_FALSE(tree.ShowBands());
    EXPECT_EQ(tree.MaxRowLineCount(), -1);
    EXPECT_EQ(tree.CustomizingRowCount(), 11);
}

TEST(TreeList, RowSelectAndInvertedSelectionExcludeEachOther) {
    struct Case {
        const char* Name;
        unsigned OptionsBefore, OptionsExBefore;
        bool SetEx; // else Options is set
        unsigned Value;
        unsigned Options, OptionsEx;
    };
    const Case cases[] = {
        {"row select clears inverted selection", 0x00, 0x01, false, 0x20, 0x20, 0x00},
        {"inverted selection clears row select", 0x20, 0x00, true, 0x01, 0x00, 0x01},
        {"other bits leave the partner alone", 0x20, 0x00, true, 0x10, 0x20, 0x10},
    };
    for (const Case& c : cases) {
        TTestTreeList tree(nullptr);
        tree.SetOptionsEx(c.OptionsExBefore);
        tree.SetOptions(c.OptionsBefore);
        if (c.SetEx)
            tree.SetOptionsEx(c.Value);
        else
            tree.SetOptions(c.Value);
        EXPECT_EQ(tree.Options(), c.Options) << c.Name;
        EXPECT_EQ(tree.OptionsEx(), c.OptionsEx) << c.Name;
    }
}

TEST_F(NamedTree, OnlyTheOutermostEndUpdateLaysOut) {
    ASSERT_TRUE(Tree->RowCacheInUse());
    Tree->BeginUpdate();
    Tree->BeginUpdate();
    EXPECT_FALSE(Tree->RowCacheInUse());
    Tree->EndUpdate();
    EXPECT_FALSE(Tree->RowCacheInUse());
    Tree->EndUpdate();
    EXPECT_TRUE(Tree->RowCacheInUse());
    EXPECT_EQ(Tree->LockCount(), 0);

    Tree->BeginUpdate();
    Tree->EndUpdateNoLayout();
    EXPECT_FALSE(Tree->RowCacheInUse()) << "the layout stays stale";
    Tree->LayoutChanged();
    EXPECT_TRUE(Tree->RowCacheInUse());
}

TEST_F(NamedTree, ClearNodesFreesEverythingWithoutDeletionEvents) {
    N("A")->Expand(true);
    N("A21")->SetFocused(true);
    Log.clear();
    Tree->ClearNodes();
    EXPECT_EQ(Tree->Count(), 0);
    EXPECT_EQ(Tree->FocusedNode(), nullptr);
    EXPECT_EQ(Tree->TopNode(), nullptr);
    EXPECT_EQ(Tree->GetTopRowIndex(), -1);
    EXPECT_EQ(Log, std::vector<std::string>{});
    EXPECT_TRUE(Tree->IsBOF());
    EXPECT_TRUE(Tree->IsEOF());
}

TEST_F(NamedTree, NavigationFindsTheNeighboursOfTheShownRows) {
    N("A")->SetExpanded(true); // rows: A A1 A2 B C; A2 and C closed
    struct Case {
        const char* From;
        TcvNavigation Direction;
        bool InTreeOrder;
        const char* To;
    };
    const Case cases[] = {
        {"B", navFirst, false, "A"},  {"B", navPrev, false, "A2"}, {"A2", navNext, false, "B"},
        {"A2", navNext, true, "A21"}, {"A1", navLast, false, "C"}, {"A1", navLast, true, "C1"},
        {"A", navPrev, false, "-"},   {"C", navNext, false, "-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameOf(Tree->GetNavigationNode(N(c.From), c.Direction, c.InTreeOrder)), c.To)
            << c.From << " " << c.Direction << (c.InTreeOrder ? " tree order" : "");
    EXPECT_EQ(Tree->GetNavigationNode(nullptr, navFirst, false), nullptr);

    EXPECT_EQ(Tree->FocusNextNode(), nullptr) << "nothing focused";
    N("A")->SetFocused(true);
    EXPECT_TRUE(Tree->IsBOF());
    EXPECT_EQ(NameOf(Tree->FocusNextNode()), "A1");
    EXPECT_EQ(NameOf(Tree->FocusedNode()), "A1");
    EXPECT_EQ(NameOf(Tree->MoveFocus(navLast, false)), "C");
    EXPECT_TRUE(Tree->IsEOF());
    EXPECT_EQ(Tree->GetFocusedRowIndex(), 4);
    EXPECT_EQ(NameOf(Tree->FocusPrevNode()), "B");
}

TEST_F(NamedTree, MakeNodeVisibleOpensTheAncestorsAndScrollsTheRowIn) {
    Tree->SetBounds(0, 0, 250, Tree->HeaderHeight() + Tree->DefaultRowHeight() * 2);
    N("A21")->MakeVisible();
    EXPECT_TRUE(N("A")->Expanded());
    EXPECT_TRUE(N("A2")->Expanded());
    EXPECT_EQ(Rows(), "A A1 A2 A21 B C");
    EXPECT_EQ(NameOf(Tree->TopNode()), "A2") << "two rows fit: A21 shows last";
    N("A")->MakeVisible();
    EXPECT_EQ(NameOf(Tree->TopNode()), "A");
}

TEST(TreeList, TheFocusedColumnIsZeroInRowSelectModeOrOutOfRange) {
    TTestTreeList tree(nullptr);
    EXPECT_EQ(tree.GetFocusedColumn(), 0) << "stored -1";
    tree.SetOptions(tree.Options() | tlo_RowSelect);
    EXPECT_EQ(tree.GetFocusedColumn(), 0);
}

// Rows of 100,000 shown nodes: every node's row queried once. A walk per
// query would take billions of steps; the cache answers from the node.
// A rebuild of the rows per deleted child would take a hundred million.
TEST(TreeList, RowQueriesStayCheapAtOneHundredThousandNodes) {
    TTestTreeList tree(nullptr);
    std::vector<TcvTreeListNode*> nodes;
    {
        TUpdateGuard<TCustomcvTreeList> update(tree);
        for (int root = 0; root < 100; ++root) {
            TcvTreeListNode* parent = tree.Add();
            nodes.push_back(parent);
            for (int child = 0; child < 999; ++child)
                nodes.push_back(parent->AddChild());
            parent->SetExpanded(true);
        }
    }
    ASSERT_EQ(tree.GetVisibleRowCount(), 100000);
    const auto start = std::chrono::steady_clock::now();
    for (int row = 0; row < int(nodes.size()); ++row) {
        ASSERT_EQ(tree.GetNodeRowIndex(nodes[row]), row);
        ASSERT_EQ(tree.GetRowNode(row), nodes[row]);
        ASSERT_EQ(nodes[row]->GetNextVisible(), row + 1 < int(nodes.size()) ? nodes[row + 1] : nullptr);
    }
    // A shown root with 999 children goes: one rebuild of the rows, not one
    // per child.
    delete nodes[50000];
    nodes.erase(nodes.begin() + 50000, nodes.begin() + 51000);
    ASSERT_TRUE(tree.RowCacheInUse());
    for (int row = 0; row < int(nodes.size()); row += 997)
        ASSERT_EQ(tree.GetNodeRowIndex(nodes[row]), row);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(2));
}

// The shown rows as a walk over the tree's own lists would find them.
void CollectShownRows(const TCustomcvTreeList& Tree, TcvTreeListNode* Parent, std::vector<TcvTreeListNode*>& Rows) {
    const int count = Parent ? Parent->Count() : Tree.Count();
    for (int i = 0; i < count; ++i) {
        TcvTreeListNode* node = Parent ? Parent->Items(i) : Tree.Items(i);
        Rows.push_back(node);
        if (node->Expanded()) CollectShownRows(Tree, node, Rows);
    }
}

// Single adds, inserts, deletes, expands and collapses at random places,
// with row queries in between that leave the cache known only in part: the
// rows, the count and the neighbours stay what a full walk finds.
TEST(TreeList, ShownRowsStayTrueThroughSingleChanges) {
    TTestTreeList tree(nullptr);
    std::mt19937 random(2029);
    std::vector<TcvTreeListNode*> nodes;
    const auto anyNode = [&] { return nodes[random() % nodes.size()]; };
    const auto forget = [&](TcvTreeListNode* Gone) {
        std::vector<TcvTreeListNode*> kept;
        for (TcvTreeListNode* node : nodes)
            if (node != Gone && !node->HasAsParent(Gone)) kept.push_back(node);
        nodes = kept;
    };
    for (int step = 0; step < 3000; ++step) {
        const unsigned action = nodes.empty() ? 0 : random() % 10;
        if (action == 0)
            nodes.push_back(tree.Add());
        else if (action == 1)
            nodes.push_back(tree.Insert(tree.Items(int(random() % unsigned(tree.Count())))));
        else if (action <= 3)
            nodes.push_back(anyNode()->AddChild());
        else if (action == 4) {
            TcvTreeListNode* parent = anyNode();
            nodes.push_back(parent->InsertChild(parent->GetFirstChild()));
        } else if (action <= 6) {
            TcvTreeListNode* node = anyNode();
            node->SetExpanded(!node->Expanded());
        } else if (action == 7 && nodes.size() > 50) {
            TcvTreeListNode* gone = anyNode();
            forget(gone);
            delete gone;
        } else if (action == 8 && nodes.size() > 50) {
            TcvTreeListNode* parent = anyNode();
            for (int i = 0; i < parent->Count(); ++i)
                forget(parent->Items(i));
            parent->DeleteChildren();
        }
        std::vector<TcvTreeListNode*> rows;
        CollectShownRows(tree, nullptr, rows);
        if (rows.empty()) continue;
        const int probe = int(random() % rows.size());
        ASSERT_EQ(tree.GetNodeRowIndex(rows[size_t(probe)]), probe) << "step " << step;
        ASSERT_EQ(tree.GetRowNode(probe), rows[size_t(probe)]) << "step " << step;
        ASSERT_EQ(tree.GetNextVisibleNode(rows[size_t(probe)]),
                  size_t(probe) + 1 < rows.size() ? rows[size_t(probe) + 1] : nullptr)
            << "step " << step;
        if (step % 7 == 0) {
            ASSERT_EQ(tree.GetVisibleRowCount(), int(rows.size())) << "step " << step;
        }
    }
    std::vector<TcvTreeListNode*> rows;
    CollectShownRows(tree, nullptr, rows);
    for (int row = 0; row < int(rows.size()); ++row)
        ASSERT_EQ(tree.GetNodeRowIndex(rows[size_t(row)]), row);
    EXPECT_EQ(tree.GetVisibleRowCount(), int(rows.size()));
}

using ShownTree = treelisttest::ShownTreeList<TTestTreeList>;

// Nodes added and deleted one at a time on a shown tree list, outside any
// update: each change touches only its own rows, where a walk over the other
// nodes per change would take minutes at this size.
TEST_F(ShownTree, SingleAddsAndDeletesStayCheapAtOneHundredThousandNodes) {
    Show(300, 200, 0);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100000; ++i)
        Tree->Add();
    ASSERT_EQ(Tree->GetVisibleRowCount(), 100000);
    while (Tree->Count() > 50000)
        delete Tree->Items(Tree->Count() - 1);
    TcvTreeListNode* parent = Tree->Items(0);
    for (int i = 0; i < 20000; ++i)
        parent->AddChild();
    parent->SetExpanded(true);
    ASSERT_EQ(Tree->GetVisibleRowCount(), 70000);
    parent->DeleteChildren();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(Tree->GetVisibleRowCount(), 50000);
    EXPECT_EQ(Tree->GetNodeRowIndex(Tree->Items(49999)), 49999);
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

} // namespace
