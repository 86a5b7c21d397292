// The tree list's key map driven by real key presses: Shift selection,
// Tab between cells and rows, typing that starts search or the editor.
#include "tests/treelist/TestTreeListInput.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Messages.h"

using namespace treelisttest;

namespace {

struct TKeyStroke {
    Word Vk;
    WPARAM Keys;
};

} // namespace

TEST_F(TreeListInput, ShiftArrowsGrowAndShrinkTheSelectionFromTheAnchor) {
    constexpr TKeyStroke ShiftDown{VK_DOWN, MK_SHIFT};
    constexpr TKeyStroke ShiftUp{VK_UP, MK_SHIFT};
    constexpr TKeyStroke Down{VK_DOWN, 0};
    struct TCase {
        std::vector<TKeyStroke> Keys;
        const char* Selection; // selected rows, then the focused row
    } const cases[] = {
        {{ShiftDown, ShiftDown, ShiftDown, ShiftUp, ShiftUp}, "5 6 @6"},
        {{ShiftDown, ShiftDown}, "5 6 7 @7"},
        {{ShiftUp, ShiftUp, ShiftDown}, "4 5 @4"},
        {{ShiftDown, ShiftDown, Down}, "8 @8"},
        {{Down, Down}, "7 @7"},
    };
    for (const TCase& c : cases) {
        Form.reset();
        TLoggingTreeList* tree = AddTree(1, 10);
        tree->SetOptions(tree->Options() | tlo_MultiSelect);
        Show(tree);
        tree->SetFocusedRowIndex(5);
        for (const TKeyStroke& key : c.Keys)
            Key(tree, key.Vk, key.Keys);
        EXPECT_EQ(Selection(tree), c.Selection) << "case " << &c - cases;
    }
}

TEST_F(TreeListInput, TabMovesThroughTheCellsAndWrapsOnlyWhenAsked) {
    struct TCase {
        bool Wrap;
        int Row, Column;
        WPARAM Keys;
        int ExpectedRow, ExpectedColumn;
    } const cases[] = {
        {false, 0, 0, 0, 0, 1},
        {false, 0, 2, 0, 0, 2}, // the last column keeps the focus
        {true, 0, 2, 0, 1, 0},
        {false, 1, 0, MK_SHIFT, 1, 0},
        {true, 1, 0, MK_SHIFT, 0, 2},
        {true, 1, 1, MK_SHIFT, 1, 0},
    };
    TLoggingTreeList* tree = AddTree(3, 4);
    Show(tree);
    for (const TCase& c : cases) {
        unsigned options = tree->Options() | tlo_EditorWantsTab;
        tree->SetOptions(c.Wrap ? options | tlo_TabWrapsRows : options & ~tlo_TabWrapsRows);
        tree->SetFocusedCell(tree->GetRowNode(c.Row), c.Column, true);
        Key(tree, VK_TAB, c.Keys, "\t");
        EXPECT_EQ(tree->GetFocusedRowIndex(), c.ExpectedRow) << "case " << &c - cases;
        EXPECT_EQ(tree->GetFocusedColumn(), c.ExpectedColumn) << "case " << &c - cases;
    }
}

TEST_F(TreeListInput, TypingStartsSearchOrTheEditorUnlessCtrlAloneIsHeld) {
    struct TCase {
        unsigned OptionsEx;
        Word Vk;
        WPARAM Keys;
        const char* Text;
        bool Searching;
        bool OpensEditor;
    } const cases[] = {
        // AltGr arrives with Ctrl and Alt down and still types.
        {tloex_IncSearch, 'A', MK_CONTROL | MK_ALT, "a", true, false},
        {tloex_IncSearch, 'A', MK_CONTROL, "\x01", false, false},
        {tloex_IncSearch, 'A', 0, "a", true, false},
        {tloex_StartEditByKey, 'A', 0, "a", false, true},
        // A character past #255 starts the editor as any other does.
        {tloex_StartEditByKey, 0, 0, "\xE4\xB8\xAD", false, true},
        {tloex_StartEditByKey, VK_RETURN, 0, "\r", false, true},
        {tloex_StartEditByKey, 'A', MK_CONTROL, "\x01", false, false},
    };
    TLoggingTreeList* tree = AddTree(1, 3);
    Show(tree);
    for (const TCase& c : cases) {
        tree->SetOptionsEx((tree->OptionsEx() & ~(tloex_IncSearch | tloex_StartEditByKey)) | c.OptionsEx);
        tree->EndIncrementalSearch();
        tree->Log.clear();
        Key(tree, c.Vk, c.Keys, c.Text);
        EXPECT_EQ(tree->Searching(), c.Searching) << "case " << &c - cases;
        EXPECT_EQ(tree->Log, c.OpensEditor ? std::vector<std::string>{"ShowEditor"} : std::vector<std::string>{})
            << "case " << &c - cases;
    }
}

TEST_F(TreeListInput, PlusMinusAndStarExpandTheFocusedNode) {
    TLoggingTreeList* tree = AddTree(1, 2);
    TcvTreeListNode* root = tree->Items(0);
    root->AddChild()->AddChild();
    Show(tree);
    tree->SetFocusedRowIndex(0);
    Key(tree, VK_ADD, 0, "+");
    EXPECT_TRUE(root->Expanded());
    EXPECT_FALSE(root->GetFirstChild()->Expanded());
    Key(tree, VK_SUBTRACT, 0, "-");
    EXPECT_FALSE(root->Expanded());
    Key(tree, VK_MULTIPLY, 0, "*");
    EXPECT_TRUE(root->Expanded());
    EXPECT_TRUE(root->GetFirstChild()->Expanded());
}

TEST_F(TreeListInput, ACompositionOpensTheEditorBeforeTheCommittedTextArrives) {
    TLoggingTreeList* tree = AddTree(1, 3);
    static const bool registered = platform_ui::test::RegisterTestEditClass("TreeListTestEdit");
    ASSERT_TRUE(registered);
    HWND edit = CreateWindowEx(0, "TreeListTestEdit", "", WS_CHILD | WS_VISIBLE, 0, 320, 200, 24, Form->Handle());
    // The editor this test stands in for takes the focus when it opens.
    tree->OnShowEditor = [edit] { SetFocus(edit); };
    Show(tree);
    platform_ui::test::SendQtInputMethodCommit(tree->Handle(), "\xE4\xB8\xAD\xE6\x96\x87");
    ProcessMessages();
    EXPECT_EQ(tree->Log, std::vector<std::string>{"ShowEditor"});
    EXPECT_EQ(platform_ui::test::TestEditText(edit), "\xE4\xB8\xAD\xE6\x96\x87");
}
