// The tree list as text: the header line with its empty line under it on the
// clipboard, shown rows in order, the selection in tree order.
#include "TestTreeListForm.h"

#include "platform/rtl/StringList.h"
#include "platform/ui/Clipbrd.h"

namespace {

class TreeListCopy : public treelisttest::TreeListOnForm {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        for (const char* caption : {"名称", "Code"})
            AddColumn()->SetCaption(caption);
        TcvTreeListNode* a = AddNode(nullptr, {"A", "1"});
        AddNode(a, {"A1", "2"});
        AddNode(nullptr, {"B", "3"});
        Show();
    }
};

TEST_F(TreeListCopy, LinesOfTheShownRowsAndTheSelection) {
    struct Case {
        const char* Name;
        std::function<void()> Prepare;
        bool All;
        const char* Text;
    };
    const Case cases[] = {
        {"all, collapsed", [] {}, true, "名称\tCode\r\n\r\nA\t1\r\nB\t3\r\n"},
        {"all, expanded", [&] { N("A")->SetExpanded(true); }, true, "名称\tCode\r\n\r\nA\t1\r\nA1\t2\r\nB\t3\r\n"},
        {"the focused node", [&] { Tree->SetFocusedCell(N("B"), 0, false); }, false, "名称\tCode\r\n\r\nB\t3\r\n"},
        {"the selection in tree order",
         [&] {
             Tree->SetOptions(Tree->Options() | tlo_MultiSelect | tlo_SelectAcrossLevels);
             N("A")->SetExpanded(true);
             for (const char* name : {"B", "A1", "A"})
                 Tree->SetNodeSelected(N(name), true);
         },
         false, "名称\tCode\r\n\r\nA\t1\r\nA1\t2\r\nB\t3\r\n"},
        {"no column shown",
         [&] {
             for (int i = 0; i < Tree->ColumnCount(); ++i)
                 Tree->Columns(i)->SetVisible(false);
         },
         true, "\r\n\r\n\r\n\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Prepare();
        TStringList lines;
        if (c.All) {
            Tree->SaveAllToStrings(&lines);
            EXPECT_EQ(lines.Text(), c.Text);
        } else {
            Tree->CopySelectedToClipboard();
            EXPECT_EQ(Clipboard()->AsText(), c.Text);
        }
    }
}

} // namespace
