// The in-place editor while the tree list changes around it: columns hidden,
// moved or deleted, nodes added or deleted, the rows sorted or collapsed, the
// window left and come back to. The edit either stays open over its own cell
// and lands there, or the editor closes cleanly; typed keys go on reaching it.
#include "TestTreeListForm.h"

#include "editors/InplaceEdit.h"
#include "platform/ui/Focus.h"
#include "platform/ui/testhooks/WmTestHooks.h"

#include <cctype>
#include <functional>
#include <map>

using treelisttest::TreeListOnForm;

namespace {

// The tree, P expanded:
//   P  +- A  +- A1
//      +- B   (edited in column C1)
//      +- C
//   Q
class TreeListEditorLife : public TreeListOnForm {
public:
    // What the tables' changes reach. Nodes are found by name, not by their
    // first text, which a moved column changes.
    using TreeListOnForm::Tree;
    TcvTreeListColumn* Columns[3] = {};
    TcvTreeListNode* Node(const std::string& Name) { return Nodes.at(Name); }

protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        for (int i = 0; i < 3; ++i)
            Columns[i] = AddColumn();
        TcvTreeListNode* p = Nodes["P"] = AddNode(nullptr, {"P", "p1", "p2"});
        for (const char* name : {"A", "B", "C"}) {
            const std::string lower(1, char(std::tolower(name[0])));
            Nodes[name] = AddNode(p, {name, lower + "1", lower + "2"});
        }
        Nodes["A1"] = AddNode(Node("A"), {"A1", "", ""});
        Nodes["Q"] = AddNode(nullptr, {"Q", "q1", "q2"});
        p->SetExpanded(true);
        Tree->OnEdited = [this](TObject*, TcvTreeListNode* Edited) {
            for (const auto& [name, node] : Nodes)
                if (node == Edited) Log += "edited " + name + ";";
        };
        Show();
    }
    // Opens the editor on B's cell in column C1 and types X at its end.
    void EditB() {
        Node("B")->SetFocused(true);
        Tree->SetFocusedColumn(1);
        Tree->ShowEditor();
        ProcessMessages();
        ASSERT_EQ(Tree->State(), 2);
        Key(VK_END, "");
        Type("X");
    }
    // Keys go where real input goes: to the focus window.
    static void Key(Word Vk, const std::string& Text) {
        platform_ui::test::SendQtKey(GetFocus(), Vk, 0, Text);
        ProcessMessages();
    }
    static void Type(const std::string& Text) {
        for (char c : Text)
            Key(Word(std::toupper(c)), std::string(1, c));
    }
    // A node's texts in the columns' order, joined by "|".
    std::string Cells(const char* Name) {
        std::string cells;
        for (int i = 0; i < Tree->ColumnCount(); ++i)
            cells += (i ? "|" : "") + Node(Name)->Strings(i);
        return cells;
    }
    // The editor lies over its own cell: the focused cell, which is B's in C1.
    void ExpectEditorOverB() {
        ASSERT_EQ(Tree->State(), 2);
        EXPECT_EQ(Tree->EditorNode(), Node("B"));
        const int shown = Tree->GetVisibleIndex(Columns[1]->GetIndex());
        EXPECT_EQ(Tree->EditorColumn(), shown);
        EXPECT_EQ(Tree->GetFocusedColumn(), shown);
        TRect cell = Tree->GetCellEditRect(Node("B"), shown);
        InflateRect(cell, 2, 2);
        EXPECT_EQ(Tree->InplaceEditor()->BoundsRect(), cell);
        EXPECT_TRUE(Tree->InplaceEditor()->EditorShown());
    }
    void ExpectEditorClosed() {
        EXPECT_EQ(Tree->State(), 0);
        EXPECT_EQ(Tree->EditorNode(), nullptr);
        EXPECT_FALSE(Tree->InplaceEditor() && Tree->InplaceEditor()->EditorShown());
        EXPECT_EQ(GetFocus(), Tree->Handle());
    }

    std::map<std::string, TcvTreeListNode*> Nodes;
    std::string Log;
};

struct TChange {
    const char* Name;
    std::function<void(TreeListEditorLife&)> Change;
    bool EditorStays;
    // B's texts afterwards, in the columns' order; with the editor staying,
    // after a further Y was typed and the editor closed. nullptr: B went,
    // and its value, which never validates, is dropped without being asked.
    const char* Cells;
};

void PrintTo(const TChange& Change, std::ostream* Out) {
    *Out << Change.Name;
}

class ChangeUnderTheEditor : public TreeListEditorLife, public ::testing::WithParamInterface<TChange> {
protected:
    void Run() {
        const TChange& c = GetParam();
        if (!c.Cells) Columns[1]->OnValidate = [](TObject*, std::string&, bool& Accept) { Accept = false; };
        EditB();
        c.Change(*this);
        ProcessMessages();
        if (!c.Cells) {
            ExpectEditorClosed();
            EXPECT_EQ(Log, "");
            return;
        }
        if (c.EditorStays) {
            ExpectEditorOverB();
            Type("Y");
            Tree->HideEditor();
        } else {
            ExpectEditorClosed();
            Type("Z"); // reaches the tree list, which does nothing with it
        }
        EXPECT_EQ(Cells("B"), c.Cells);
        const bool landed = std::string(c.Cells).find('X') != std::string::npos;
        EXPECT_EQ(Log, landed ? "edited B;" : "");
    }
};

class ColumnChange : public ChangeUnderTheEditor {};
class RowChange : public ChangeUnderTheEditor {};

TEST_P(ColumnChange, TheEditStaysInItsOwnCellOrClosesCleanly) {
    Run();
}

INSTANTIATE_TEST_SUITE_P(
    TreeListEditorLife, ColumnChange,
    ::testing::Values(
        TChange{"hide the column before", [](auto& t) { t.Columns[0]->SetVisible(false); }, true, "B|b1XY|b2"},
        TChange{"hide the column after", [](auto& t) { t.Columns[2]->SetVisible(false); }, true, "B|b1XY|b2"},
        TChange{"hide the edited column", [](auto& t) { t.Columns[1]->SetVisible(false); }, false, "B|b1X|b2"},
        TChange{"move the edited column last", [](auto& t) { t.Columns[1]->SetIndex(2); }, true, "B|b2|b1XY"},
        TChange{"move another column first", [](auto& t) { t.Columns[2]->SetIndex(0); }, true, "b2|B|b1XY"},
        TChange{"delete the column before", [](auto& t) { delete t.Columns[0]; }, true, "b1XY|b2"},
        TChange{"delete the edited column", [](auto& t) { delete t.Columns[1]; }, false, "B|b2"}));

TEST_P(RowChange, TheEditStaysInItsOwnCellOrClosesCleanly) {
    Run();
}

INSTANTIATE_TEST_SUITE_P(
    TreeListEditorLife, RowChange,
    ::testing::Values(
        TChange{"delete the edited node", [](auto& t) { delete t.Node("B"); }, false, nullptr},
        TChange{"delete its parent", [](auto& t) { delete t.Node("P"); }, false, nullptr},
        TChange{"clear every node", [](auto& t) { t.Tree->ClearNodes(); }, false, nullptr},
        TChange{"delete the sibling above", [](auto& t) { delete t.Node("A"); }, true, "B|b1XY|b2"},
        TChange{"delete the sibling below", [](auto& t) { delete t.Node("C"); }, true, "B|b1XY|b2"},
        TChange{"add a node above", [](auto& t) { t.Node("P")->InsertChild(t.Node("A")); }, true, "B|b1XY|b2"},
        TChange{"expand the node above", [](auto& t) { t.Node("A")->SetExpanded(true); }, true, "B|b1XY|b2"},
        TChange{"collapse the parent", [](auto& t) { t.Node("P")->SetExpanded(false); }, false, "B|b1X|b2"},
        TChange{"sort the rows", [](auto& t) { t.Tree->SortChildren(-1, 0, true); }, false, "B|b1X|b2"}));

TEST_F(TreeListEditorLife, TypedKeysReachTheEditorAfterAnotherWindowWasActive) {
    EditB();
    TForm* other = nullptr;
    CreateFormInstance(other, nullptr);
    std::unique_ptr<TForm> otherOwner(other);
    other->SetBounds(600, 20, 200, 100);
    other->Show();
    SettleActivation();
    ASSERT_EQ(GetActiveWindow(), other->Handle());
    SetActiveWindow(Form->Handle());
    SettleActivation();
    ASSERT_EQ(GetActiveWindow(), Form->Handle());
    ExpectEditorOverB();
    EXPECT_EQ(GetFocus(), Tree->InplaceEditor()->Handle());
    Type("Y");
    Tree->HideEditor();
    EXPECT_EQ(Cells("B"), "B|b1XY|b2");
}

} // namespace
