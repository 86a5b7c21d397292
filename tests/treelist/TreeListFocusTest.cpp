// The tree list's window focus on a shown form: IsFocusedInside follows the
// platform's focus window, and a point answers from the window's client area.
#include "TestTreeList.h"

#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "tests/platform/ui/WmRecorder.h"

using treelisttest::TTestTreeList;

namespace {

TEST(TreeListFocus, IsFocusedInsideFollowsTheFocusWindow) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    std::unique_ptr<TForm> owner(form);
    form->SetBounds(20, 20, 400, 300);
    auto* tree = new TTestTreeList(form);
    tree->SetParent(form);
    tree->SetBounds(0, 0, 300, 200);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(0, 220, 100, 24);
    EXPECT_FALSE(tree->IsFocusedInside()) << "no window yet";
    form->Show();
    SettleActivation();

    tree->SetFocus();
    ProcessMessages();
    EXPECT_TRUE(tree->IsFocusedInside());
    EXPECT_TRUE(tree->IsFocused());
    edit->SetFocus();
    ProcessMessages();
    EXPECT_FALSE(tree->IsFocusedInside());
    // With a window, its client area decides what lies outside.
    EXPECT_EQ(tree->GetHitTestKind(tree->ClientWidth(), 10), htOutside);
    EXPECT_EQ(tree->GetHitTestKind(tree->ClientWidth() - 1, 10), htColumnHeader);
}

} // namespace
