// The editing host: the editor over the focused cell with the value going in
// and back through the column, one cached editor per editor class, the mask
// column, the hosted editors' style, and the typed character that opens the
// editor.
#include "TestTreeListForm.h"

#include "editors/InplaceEdit.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Timers.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "treelist/TreeListMaskColumn.h"

#include <cctype>

using treelisttest::TreeListOnForm;

namespace {

class TreeListEditing : public TreeListOnForm {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        Text0 = AddColumn();
        Text1 = AddColumn();
        Mask = AddColumn<TcvTreeListMaskColumn>();
        AddNode(nullptr, {"A", "a1", "123"});
        AddNode(nullptr, {"B", "b1", "456"});
        Tree->OnEdited = [this](TObject*, TcvTreeListNode* Node) { Log += "edited " + NameOf(Node) + ";"; };
        Show();
    }
    // Focuses the cell and opens its editor.
    TcvInplaceEdit* Edit(const char* Node, int Column) {
        N(Node)->SetFocused(true);
        Tree->SetFocusedColumn(Column);
        Tree->ShowEditor();
        ProcessMessages();
        return Tree->InplaceEditor();
    }
    void Type(TcvInplaceEdit* Editor, const std::string& Text) {
        for (char c : Text)
            platform_ui::test::SendQtKey(Editor->Handle(), Word(std::toupper(c)), 0, std::string(1, c));
        ProcessMessages();
    }

    TcvTreeListColumn* Text0 = nullptr;
    TcvTreeListColumn* Text1 = nullptr;
    TcvTreeListMaskColumn* Mask = nullptr;
    std::string Log;
};

TEST_F(TreeListEditing, TheEditorCoversTheFocusedCellAndItsTextGoesBackThroughTheColumn) {
    TcvInplaceEdit* editor = Edit("B", 1);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(Tree->State(), 2);
    EXPECT_TRUE(editor->EditorShown());
    EXPECT_EQ(editor->Text(), "b1");
    // Over the cell, grown by the editor's 2-pixel border.
    TRect cell = Tree->GetCellEditRect(N("B"), 1);
    InflateRect(cell, 2, 2);
    EXPECT_EQ(editor->BoundsRect(), cell);
    EXPECT_EQ(GetFocus(), editor->Handle());

    platform_ui::test::SendQtKey(editor->Handle(), VK_END, 0, "");
    Type(editor, "xy");
    Tree->HideEditor();
    EXPECT_EQ(N("B")->Strings(1), "b1xy");
    EXPECT_EQ(Tree->State(), 0);
    EXPECT_FALSE(editor->EditorShown());
    EXPECT_EQ(Log, "edited B;");

    Log.clear();
    Edit("A", 1);
    Tree->HideEditor();
    EXPECT_EQ(Log, "") << "an unchanged value is not posted";
}

TEST_F(TreeListEditing, EditorsAreCachedOnePerEditorClass) {
    TcvInplaceEdit* first = Edit("A", 0);
    Tree->HideEditor();
    TcvInplaceEdit* second = Edit("A", 1);
    Tree->HideEditor();
    TcvInplaceEdit* mask = Edit("A", 2);
    Tree->HideEditor();
    EXPECT_EQ(first, second) << "two text columns share one editor";
    EXPECT_NE(mask, first);
    EXPECT_NE(dynamic_cast<TcvInplaceTreeListMaskEdit*>(mask), nullptr);
    EXPECT_EQ(Edit("B", 2), mask);
    EXPECT_EQ(mask->Owner(), Tree);
}

TEST_F(TreeListEditing, TheColumnDecidesWhetherAndHowTheEditorEdits) {
    std::string changes;
    Text1->OnChange = [&](TObject*) { changes += "change;"; };
    Text1->SetMaxLength(5);
    TcvInplaceEdit* editor = Edit("A", 1);
    EXPECT_EQ(changes, "") << "loading the value fires no change";
    platform_ui::test::SendQtKey(editor->Handle(), VK_END, 0, "");
    Type(editor, "wxyz");
    EXPECT_EQ(editor->Text(), "a1wxy") << "MaxLength 5";
    EXPECT_NE(changes, "");
    Tree->HideEditor();

    Text1->SetDisableEditor(true);
    bool asked = false;
    Tree->OnEditing = [&](TObject*, TcvTreeListNode*, bool& Allow) { asked = Allow = true; };
    Edit("A", 1);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Tree->State(), 0) << "DisableEditor wins over OnEditing";

    Text0->SetReadOnly(true);
    editor = Edit("B", 0);
    ASSERT_EQ(Tree->State(), 2);
    Type(editor, "q");
    EXPECT_EQ(editor->Text(), "B") << "a read-only column keeps its text";
}

TEST_F(TreeListEditing, TheMaskColumnMasksTheInput) {
    Mask->SetEditMask("000;1;_");
    TcvInplaceEdit* editor = Edit("A", 2);
    platform_ui::test::SendQtKey(editor->Handle(), VK_HOME, 0, "");
    Type(editor, "a7");
    Tree->HideEditor();
    EXPECT_EQ(N("A")->Strings(2), "723") << "the letter is refused, the digit overwrites";

    Mask->SetEditMask("");
    editor = Edit("B", 2);
    platform_ui::test::SendQtKey(editor->Handle(), VK_END, 0, "");
    Type(editor, "x");
    Tree->HideEditor();
    EXPECT_EQ(N("B")->Strings(2), "456x") << "an empty mask edits like a text column";

    auto* copy = AddColumn<TcvTreeListMaskColumn>();
    copy->SetIgnoreMaskBlank(true);
    Mask->SetEditMask("00");
    copy->Assign(Mask);
    EXPECT_EQ(copy->EditMask(), "00");
    EXPECT_TRUE(copy->IgnoreMaskBlank()) << "Assign keeps its own IgnoreMaskBlank";
}

TEST_F(TreeListEditing, HostedEditorsFollowTheTreeListsLook) {
    const struct {
        bool ShowGrid;
        TcvLookAndFeel Look;
        TcvEditBorderStyle Border;
        TcvEditButtonViewStyle Buttons;
    } cases[] = {
        {false, lfStandard, xbsSingle, bts3D},
        {true, lfFlat, xbsNone, btsFlat},
        {true, lfUltraFlat, xbsNone, btsHotFlat},
    };
    for (const auto& c : cases) {
        Tree->SetShowGrid(c.ShowGrid);
        Tree->SetLookAndFeel(c.Look);
        TcvInplaceEdit* editor = Edit("A", 0);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->Style()->BorderStyle(), c.Border) << c.Look;
        EXPECT_EQ(editor->Style()->ButtonStyle(), c.Buttons) << c.Look;
        EXPECT_FALSE(editor->Style()->HotTrack());
        Tree->HideEditor();
    }
}

TEST_F(TreeListEditing, ATypedCharacterOpensTheEditorWithItself) {
    Clipboard()->SetAsText("粘贴");
    const struct {
        char32_t Key;
        const char* Text;
    } cases[] = {
        {U'k', "k"},
        {U'中', "中"}, // above #255
        {22, "粘贴"},  // Ctrl+V pastes instead of typing character 22
    };
    for (const auto& c : cases) {
        N("A")->SetFocused(true);
        Tree->SetFocusedColumn(1);
        Tree->ShowEditorWithChar(c.Key);
        ProcessMessages();
        ASSERT_NE(Tree->InplaceEditor(), nullptr);
        EXPECT_EQ(Tree->InplaceEditor()->Text(), c.Text);
        Tree->HideEditor();
    }
}

TEST_F(TreeListEditing, RealKeysThroughTheTreeListOpenTheEditor) {
    Tree->SetOptionsEx(Tree->OptionsEx() | tloex_StartEditByKey);
    N("B")->SetFocused(true);
    Tree->SetFocusedColumn(1);
    platform_ui::test::SendQtInputMethodCommit(Tree->Handle(), "汉");
    ProcessMessages();
    ASSERT_EQ(Tree->State(), 2);
    EXPECT_EQ(Tree->InplaceEditor()->Text(), "汉");
}

TEST_F(TreeListEditing, F2ShowsTheEditorOverTheCellAndTheRowKeysCloseIt) {
    struct Case {
        const char* Name;
        Word Key;
        const char* FocusedAfter;
    };
    const Case cases[] = {
        {"Escape closes on the same row", VK_ESCAPE, "B"},
        {"Up closes and moves up", VK_UP, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        N("B")->SetFocused(true);
        Tree->SetFocusedColumn(1);
        ProcessMessages();
        const TRect cell = Tree->GetCellEditRect(N("B"), 1);
        const auto shown = [&] {
            return platform_ui::test::RenderedPixel(Tree->Handle(), cell.Right - 5, (cell.Top + cell.Bottom) / 2);
        };
        const uint32_t highlight = shown();
        platform_ui::test::SendQtKey(Tree->Handle(), VK_F2, 0, "");
        ProcessMessages();
        ASSERT_EQ(Tree->State(), 2);
        EXPECT_NE(shown(), highlight) << "the editor's own face covers the cell";

        platform_ui::test::SendQtKey(Tree->InplaceEditor()->Handle(), c.Key, 0, "");
        ProcessMessages();
        EXPECT_EQ(Tree->State(), 0);
        EXPECT_EQ(NameOf(Tree->FocusedNode()), c.FocusedAfter);
        EXPECT_EQ(GetFocus(), Tree->Handle());
        if (std::string(c.FocusedAfter) == "B") {
            EXPECT_EQ(shown(), highlight) << "the cell shows again";
        }
    }
}

} // namespace
