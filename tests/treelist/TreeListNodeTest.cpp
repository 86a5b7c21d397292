// The node's tree operations: neighbours, moves, expansion with its vetoes
// and focus rule, and deletion.
#include "TestTreeList.h"

#include "platform/ui/MessageQueue.h"
#include "treelist/cvTL.h"

using treelisttest::NamedTree;

namespace {

TEST(TreeListNode, ANodeWithoutOwnerIsRefused) {
    try {
        TcvTreeListNode node(nullptr);
        FAIL() << "no exception";
    } catch (const EInvalidcvTreeListOperation& e) {
        EXPECT_STREQ(e.what(), "Invalid Owner TcvTreeListNode");
    }
}

TEST_F(NamedTree, NeighboursFollowTreeOrderWhateverTheExpansion) {
    struct Case {
        const char* Node;
        const char* Next;
        const char* Prev;
        const char* PrevSiblingOrParent;
        int Level;
        int Index;
        bool IsLast;
    };
    const Case cases[] = {
        {"A", "A1", "-", "-", 0, 0, false},    {"A1", "A2", "A", "A", 1, 0, false},
        {"A2", "A21", "A1", "A1", 1, 1, true}, {"A21", "B", "A2", "A2", 2, 0, true},
        {"B", "C", "A21", "A", 0, 1, false},   {"C", "C1", "B", "B", 0, 2, true},
        {"C1", "-", "C", "C", 1, 0, true},
    };
    for (const Case& c : cases) {
        TcvTreeListNode* node = N(c.Node);
        EXPECT_EQ(NameOf(node->GetNext()), c.Next) << c.Node;
        EXPECT_EQ(NameOf(node->GetPrev()), c.Prev) << c.Node;
        EXPECT_EQ(NameOf(node->GetPrevSiblingOrParent()), c.PrevSiblingOrParent) << c.Node;
        EXPECT_EQ(node->Level(), c.Level) << c.Node;
        EXPECT_EQ(node->Index(), c.Index) << c.Node;
        EXPECT_EQ(node->IsLast(), c.IsLast) << c.Node;
    }
    EXPECT_EQ(N("A")->Items(2), nullptr);
    EXPECT_EQ(N("B")->Items(0), nullptr);
    EXPECT_EQ(N("B")->IndexOf(N("A1")), -1);
}

TEST_F(NamedTree, ShownRowsFollowExpansionWithAndWithoutTheRowCache) {
    N("A")->Expand(true);
    ASSERT_TRUE(Tree->RowCacheInUse());
    EXPECT_EQ(Rows(), "A A1 A2 A21 B C");
    const std::vector<std::pair<const char*, int>> rows = {{"A", 0}, {"A1", 1}, {"A2", 2}, {"A21", 3},
                                                           {"B", 4}, {"C", 5},  {"C1", -1}};
    for (bool cached : {true, false}) {
        if (!cached) Tree->BeginUpdate(); // the update drops the cache: rows are walked
        ASSERT_EQ(Tree->RowCacheInUse(), cached);
        for (const auto& [name, row] : rows) {
            EXPECT_EQ(Tree->GetNodeRowIndex(N(name)), row) << name << (cached ? " cached" : " walked");
            if (row >= 0) {
                EXPECT_EQ(Tree->GetRowNode(row), N(name)) << name;
            }
        }
        EXPECT_EQ(Tree->GetVisibleRowCount(), 6);
        EXPECT_EQ(NameOf(N("B")->GetPrevVisible()), "A21");
        EXPECT_EQ(NameOf(N("A21")->GetNextVisible()), "B");
        EXPECT_EQ(NameOf(Tree->GetLastVisibleNode()), "C");
    }
    Tree->EndUpdate();
    N("A2")->SetExpanded(false);
    EXPECT_EQ(Rows(), "A A1 A2 B C");
    EXPECT_EQ(Tree->GetNodeRowIndex(N("B")), 3);
}

TEST_F(NamedTree, ExpandingAndCollapsingFireTheirEventsAndHonourTheVeto) {
    struct Case {
        const char* Name;
        const char* Node;
        bool Expand;
        const char* Vetoed;
        bool ExpandedAfter;
        std::vector<std::string> Log;
    };
    const Case cases[] = {
        {"expand", "A", true, "", true, {"expanding A", "expanded A"}},
        {"expand vetoed", "A", true, "A", false, {"expanding A"}},
        {"collapse", "C", false, "", false, {"collapsing C", "collapsed C"}},
        {"collapse vetoed", "C", false, "C", true, {"collapsing C"}},
        {"no children: nothing", "B", true, "", false, {}},
        {"already expanded: nothing", "C", true, "", true, {}},
    };
    for (const Case& c : cases) {
        N("A")->SetExpanded(false);
        N("C")->SetExpanded(true);
        Log.clear();
        Vetoed = c.Vetoed;
        N(c.Node)->SetExpanded(c.Expand);
        EXPECT_EQ(N(c.Node)->Expanded(), c.ExpandedAfter) << c.Name;
        EXPECT_EQ(Log, c.Log) << c.Name;
    }
}

TEST_F(NamedTree, CollapsingOverTheFocusMovesItUpOrKeepsTheNodeOpen) {
    N("A")->Expand(true);
    for (bool refuse : {false, true}) {
        N("A21")->SetFocused(true);
        Tree->SetTopVisibleNode(N("A21"));
        Tree->RefuseFocus = refuse;
        N("A2")->SetExpanded(false);
        EXPECT_EQ(N("A2")->Expanded(), refuse);
        EXPECT_EQ(NameOf(Tree->FocusedNode()), refuse ? "A21" : "A2");
        EXPECT_EQ(NameOf(Tree->TopNode()), "A2") << "the top node moves out of the collapsing subtree";
        Tree->RefuseFocus = false;
        N("A2")->SetExpanded(true);
    }
}

TEST_F(NamedTree, RemovingTheLastChildCollapsesTheParentUnlessTheOwnerPromisesMore) {
    TcvTreeListNode* parent = N("B");
    for (bool promised : {false, true}) {
        TcvTreeListNode* child = parent->AddChild();
        parent->SetExpanded(true);
        if (promised) Tree->MayHaveChildren = {parent};
        delete child;
        EXPECT_EQ(parent->Count(), 0);
        EXPECT_EQ(parent->GetFirstChild(), nullptr);
        EXPECT_FALSE(parent->Expanded());
        EXPECT_EQ(parent->HasChildren(), promised);
    }
}

TEST_F(NamedTree, CanMoveRefusesTheNodeItselfAsParentAndItsOwnSubtree) {
    struct Case {
        const char* Node;
        const char* Destination;
        TcvNodeAttachMode Mode;
        bool Allowed;
    };
    const Case cases[] = {
        {"A2", "A2", natAddLast, true},        {"A2", "A2", natAddFirst, true}, {"A2", "A2", natAddChild, false},
        {"A2", "A2", natAddChildFirst, false}, {"A2", "A2", natInsert, false},  {"A", "A21", natAddLast, false},
        {"A", "A1", natInsert, false},         {"A21", "A", natAddChild, true}, {"B", "C1", natInsert, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(N(c.Node)->CanMove(N(c.Destination), c.Mode), c.Allowed) << c.Node << " to " << c.Destination;
        EXPECT_FALSE(N(c.Node)->MoveTo(nullptr, c.Mode));
    }
}

TEST_F(NamedTree, MoveToRelinksByModeAndFocusesTheNode) {
    struct Case {
        const char* Node;
        const char* Destination;
        TcvNodeAttachMode Mode;
        const char* Shape;
    };
    const Case cases[] = {
        {"B", "A1", natAddLast, "A(A1 A2(A21) B) C(C1)"},
        {"B", "A2", natAddFirst, "A(B A1 A2(A21)) C(C1)"},
        {"B", "A2", natAddChild, "A(A1 A2(A21 B)) C(C1)"},
        {"B", "A2", natAddChildFirst, "A(A1 A2(B A21)) C(C1)"},
        {"B", "A2", natInsert, "A(A1 B A2(A21)) C(C1)"},
        {"A1", "C", natAddLast, "A(A2(A21)) B C(C1) A1"},
        {"C1", "A", natInsert, "C1 A(A1 A2(A21)) B C"},
        {"A21", "B", natAddChild, "A(A1 A2) B(A21) C(C1)"},
        // A node moved beside itself stays among its own siblings.
        {"A1", "A1", natAddLast, "A(A2(A21) A1) B C(C1)"},
        {"A2", "A2", natAddFirst, "A(A2(A21) A1) B C(C1)"},
        {"C1", "C1", natAddLast, "A(A1 A2(A21)) B C(C1)"},
        {"C1", "C1", natAddFirst, "A(A1 A2(A21)) B C(C1)"},
    };
    for (const Case& c : cases) {
        SetUp();
        N("C")->SetExpanded(true);
        EXPECT_TRUE(N(c.Node)->MoveTo(N(c.Destination), c.Mode));
        EXPECT_EQ(Shape(), c.Shape) << c.Node << " to " << c.Destination << " mode " << c.Mode;
        EXPECT_EQ(Tree->FocusedNode(), N(c.Node));
        EXPECT_TRUE(N(c.Node)->IsVisible()) << c.Node;
    }
}

TEST_F(NamedTree, AnOnlyChildMovedBesideItselfKeepsItsParentOpen) {
    N("C")->SetExpanded(true);
    Log.clear();
    ASSERT_TRUE(N("C1")->MoveTo(N("C1"), natAddLast));
    EXPECT_EQ(N("C1")->Parent(), N("C"));
    EXPECT_TRUE(N("C")->Expanded());
    EXPECT_EQ(Rows(), "A B C C1");
    EXPECT_EQ(Log, std::vector<std::string>{}) << "no collapse and no deletion";
}

TEST_F(NamedTree, DeletingTheFocusedNodeFocusesThePreviousElseTheNext) {
    struct Case {
        const char* Deleted;
        const char* FocusedAfter;
    };
    const Case cases[] = {{"B", "A"}, {"A", "B"}, {"A1", "A"}, {"A2", "A1"}};
    for (const Case& c : cases) {
        SetUp();
        N("A")->Expand(true);
        N(c.Deleted)->SetFocused(true);
        delete N(c.Deleted);
        EXPECT_EQ(NameOf(Tree->FocusedNode()), c.FocusedAfter) << c.Deleted;
    }
}

TEST_F(NamedTree, DeletingANodeDeletesItsSubtreeChildrenFirst) {
    delete N("A");
    EXPECT_EQ(Log, (std::vector<std::string>{"deletion A1", "deletion A21", "deletion A2", "deletion A"}));
    EXPECT_EQ(Tree->Count(), 2);
}

// Nothing may leave a node's destructor: a failing OnDeletion is reported,
// and the focus still moves off the node that went.
TEST_F(NamedTree, AFailingDeletionHandlerIsReportedAndTheFocusStillMoves) {
    std::vector<std::string> reported;
    const TExceptionHandler previous =
        SetExceptionHandler([&](const std::exception& E) { reported.push_back(E.what()); });
    Tree->OnDeletion = [](TObject*, TcvTreeListNode*) { throw Exception("handler failed"); };
    N("A")->SetExpanded(true);
    N("A1")->SetFocused(true);
    delete N("A");
    SetExceptionHandler(previous);
    EXPECT_EQ(reported, (std::vector<std::string>{"handler failed", "handler failed", "handler failed",
                                                  "handler failed"}));
    EXPECT_EQ(Tree->Count(), 2);
    EXPECT_EQ(NameOf(Tree->FocusedNode()), "B");
}

TEST_F(NamedTree, MoveChildrenToRootAppendsThemAndCollapsesTheParent) {
    N("A")->SetExpanded(true);
    N("A")->MoveChildrenToRoot();
    EXPECT_EQ(Shape(), "A B C(C1) A1 A2(A21)");
    EXPECT_FALSE(N("A")->Expanded());
    EXPECT_FALSE(N("A")->HasChildren());
    EXPECT_EQ(N("A1")->Parent(), nullptr);
}

TEST_F(NamedTree, CompareNodePositionsGivesTreeOrder) {
    struct Case {
        const char* First;
        const char* Second;
        int Sign;
    };
    const Case cases[] = {{"A", "A21", -1}, {"A21", "A", 1}, {"A1", "A21", -1},
                          {"A21", "B", -1}, {"C1", "A2", 1},  {"B", "B", 0}};
    for (const Case& c : cases) {
        const int result = cvTL::CompareNodePositions(N(c.First), N(c.Second));
        EXPECT_EQ((result > 0) - (result < 0), c.Sign) << c.First << " vs " << c.Second;
    }
}

} // namespace
