// The focused-cell move and its change events, row focusing, and the repair
// after the focused or top node is deleted.
#include "TestTreeList.h"

using treelisttest::TBandedTreeList;

namespace {

// Three columns in two bands; roots R0..R4, R1 with children C0, C1.
class TreeListEvents : public ::testing::Test {
protected:
    void SetUp() override {
        Roots.clear();
        Children.clear();
        Tree = std::make_unique<TBandedTreeList>(nullptr);
        Tree->SetBounds(0, 0, 300, 400);
        {
            TUpdateGuard<TCustomcvTreeList> update(*Tree);
            for (int i = 0; i < 5; ++i)
                Roots.push_back(Tree->Add());
            Children.push_back(Roots[1]->AddChild());
            Children.push_back(Roots[1]->AddChild());
            Roots[1]->SetExpanded(true);
        }
        Tree->OnChangeNode = [this](TObject*, TcvTreeListNode* old, TcvTreeListNode* node) {
            Log.push_back("node " + Name(old) + ">" + Name(node));
        };
        Tree->OnChangeColumn = [this](TObject*, TcvTreeListNode* node, int column) {
            Log.push_back("column " + Name(node) + " " + std::to_string(column));
        };
    }
    TcvTreeListNode* Named(const std::string& name) const {
        const int index = name[1] - '0';
        return name[0] == 'R' ? Roots[index] : Children[index];
    }
    std::string Name(const TcvTreeListNode* node) const {
        for (size_t i = 0; i < Roots.size(); ++i)
            if (Roots[i] == node) return "R" + std::to_string(i);
        for (size_t i = 0; i < Children.size(); ++i)
            if (Children[i] == node) return "C" + std::to_string(i);
        return "-";
    }

    std::unique_ptr<TBandedTreeList> Tree;
    std::vector<TcvTreeListNode*> Roots;
    std::vector<TcvTreeListNode*> Children;
    std::vector<std::string> Log;
};

TEST_F(TreeListEvents, AFocusMoveFiresTheNodeChangeBeforeTheColumnChange) {
    struct Case {
        const char* Name;
        unsigned Options;
        int Node;
        int Column;
        std::vector<std::string> Log;
    };
    const unsigned plain = Tree->Options() & ~tlo_RowSelect;
    const Case cases[] = {
        {"node and column", plain, 3, 2, {"node R0>R3", "column R3 2"}},
        {"the same cell again", plain, 0, 1, {}},
        {"another column", plain, 0, 2, {"column R0 2"}},
        {"another node", plain, 4, 1, {"node R0>R4"}},
        {"row select keeps the column", plain | tlo_RowSelect, 2, 2, {"node R0>R2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Tree->SetOptions(c.Options & ~tlo_RowSelect);
        Tree->SetFocusedCell(Roots[0], 1, true);
        Tree->SetOptions(c.Options);
        Log.clear();
        Tree->SetFocusedCell(Roots[c.Node], c.Column, true);
        EXPECT_EQ(Log, c.Log);
        EXPECT_EQ(Tree->FocusedNode(), Roots[c.Node]);
    }
    Log.clear();
    Tree->SetFocusedCell(nullptr, 0, true);
    EXPECT_TRUE(Log.empty()) << "a nil node does nothing";
}

TEST_F(TreeListEvents, SetFocusedRowIndexClampsIntoTheShownRows) {
    const struct {
        int Row;
        const char* Node;
    } cases[] = {{-5, "R0"}, {2, "C0"}, {99, "R4"}};
    for (const auto& c : cases) {
        Tree->SetFocusedRowIndex(c.Row);
        EXPECT_EQ(Name(Tree->FocusedNode()), c.Node) << c.Row;
    }
}

TEST_F(TreeListEvents, ADeletedFocusedOrTopNodeHandsOnToItsNeighbour) {
    struct Case {
        const char* Name;
        const char* Focus; // and top
        const char* Delete;
        const char* Then;
    };
    const Case cases[] = {
        {"the previous sibling", "R3", "R3", "R2"},
        {"the parent before the first child", "C0", "C0", "R1"},
        {"the next without a previous", "R0", "R0", "R1"},
        {"a subtree with the focus inside", "C1", "R1", "R0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SetUp();
        Tree->SetFocusedCell(Named(c.Focus), 0, false);
        Tree->SetTopVisibleNode(Named(c.Focus));
        delete Named(c.Delete);
        EXPECT_EQ(Name(Tree->FocusedNode()), c.Then);
        EXPECT_EQ(Name(Tree->TopNode()), c.Then);
    }
    Tree->ClearNodes();
    TcvTreeListNode* last = Tree->Add();
    Tree->SetFocusedCell(last, 0, false);
    delete last;
    EXPECT_EQ(Tree->FocusedNode(), nullptr) << "no root node left";
    EXPECT_EQ(Tree->TopNode(), nullptr);
}

} // namespace
