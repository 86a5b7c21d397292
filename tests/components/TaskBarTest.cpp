// The task bar on a real MDI frame with real document windows: one button per
// window, pressing and activation in both directions, and the activation
// handlers a task takes over and gives back.
#include "components/TaskBar.h"

#include "MdiFrame.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

namespace {

using componentstest::MdiFrame;
using componentstest::NewDocument;

class TaskBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bar = new TTaskBar(MdiFrame());
        Bar->SetAlign(alTop);
        Bar->SetButtonWidth(93);
        Bar->SetWrapable(false);
        Bar->SetFlat(true);
        Bar->SetVisible(false);
        Bar->SetParent(MdiFrame());
    }
    void TearDown() override {
        for (TForm* f : Documents)
            delete f;
        delete Bar;
        ProcessMessages();
    }
    TForm* Document(const std::string& caption) {
        Documents.push_back(NewDocument(caption));
        return Documents.back();
    }
    std::vector<TToolButton*> DownButtons() const {
        std::vector<TToolButton*> down;
        for (int i = 0; i < Bar->ButtonCount(); ++i)
            if (Bar->Buttons(i)->Down()) down.push_back(Bar->Buttons(i));
        return down;
    }
    TTaskBar* Bar = nullptr;
    std::vector<TForm*> Documents;
};

TEST_F(TaskBarTest, OneButtonPerFormCaptionedAndPressed) {
    TForm* a = Document("申报书");
    TForm* b = Document("中期检查表");
    Bar->AddTask(a, 3);
    Bar->AddTask(a, 4);
    Bar->AddTask(nullptr, 0);
    Bar->AddTask(b, 1);
    ASSERT_EQ(Bar->Count(), 2);
    ASSERT_EQ(Bar->ButtonCount(), 2);
    EXPECT_EQ(Bar->Buttons(0)->Caption(), "申报书");
    EXPECT_EQ(Bar->Buttons(0)->ImageIndex(), 3);
    EXPECT_EQ(Bar->Buttons(1)->Caption(), "中期检查表");
    EXPECT_EQ(DownButtons(), std::vector<TToolButton*>{Bar->Buttons(1)});
    EXPECT_TRUE(Bar->ShowCaptions());
    EXPECT_TRUE(Bar->List());
}

TEST_F(TaskBarTest, BarShowsWithItsFirstTaskOnlyWhenShowed) {
    TForm* a = Document("a");
    Bar->SetShowed(false);
    Bar->AddTask(a, 0);
    EXPECT_FALSE(Bar->Visible());
    Bar->SetShowed(true);
    EXPECT_TRUE(Bar->Visible());
    Bar->SetShowed(false);
    EXPECT_FALSE(Bar->Visible());
    Bar->SetShowed(true);
    Bar->RemoveTask(a);
    EXPECT_EQ(Bar->Count(), 0);
    EXPECT_EQ(Bar->ButtonCount(), 0);
    EXPECT_TRUE(Bar->Visible());
}

TEST_F(TaskBarTest, FirstTaskShowsAnInvisibleBar) {
    Bar->AddTask(Document("a"), 0);
    EXPECT_TRUE(Bar->Visible());
}

TEST_F(TaskBarTest, RemovingAFormWithoutTaskChangesNothing) {
    TForm* a = Document("a");
    Bar->AddTask(a, 0);
    Bar->RemoveTask(Document("b"));
    Bar->RemoveTask(nullptr);
    EXPECT_EQ(Bar->Count(), 1);
    EXPECT_EQ(Bar->ButtonCount(), 1);
}

TEST_F(TaskBarTest, ClickingAMinimisedWindowsButtonRestoresItAndPressesOnlyIt) {
    TForm* a = Document("a");
    TForm* b = Document("b");
    Bar->AddTask(a, 0);
    Bar->AddTask(b, 0);
    a->SetWindowState(wsMinimized);
    ProcessMessages();
    Bar->Buttons(0)->Click();
    ProcessMessages();
    EXPECT_EQ(a->WindowState(), wsNormal);
    EXPECT_EQ(DownButtons(), std::vector<TToolButton*>{Bar->Buttons(0)});
    EXPECT_EQ(MdiFrame()->ActiveMDIChild(), a);
}

TEST_F(TaskBarTest, ClickTellsTheWindowItIsActiveBeforeBringingItForward) {
    TForm* a = Document("a");
    Bar->AddTask(a, 0);
    Bar->AddTask(Document("b"), 0);
    std::vector<std::pair<UINT, WPARAM>> seen;
    const TWindowProcedureId id = PushWindowProc(a->Handle(), [&](HWND wnd, TMessage& m) {
        if (m.Msg == WM_NCACTIVATE || m.Msg == WM_CHILDACTIVATE) seen.emplace_back(m.Msg, m.WParam);
        CallNextWindowProc(wnd, id, m);
    });
    Bar->Buttons(0)->Click();
    RemoveWindowProc(a->Handle(), id);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(WM_NCACTIVATE, WPARAM{1}));
    EXPECT_EQ(seen[1], std::make_pair(WM_CHILDACTIVATE, WPARAM{0}));
}

TEST_F(TaskBarTest, ActivatingAWindowPressesItsButton) {
    TForm* a = Document("a");
    TForm* b = Document("b");
    Bar->AddTask(a, 0);
    Bar->AddTask(b, 0);
    ::SetFocus(a->Handle());
    ProcessMessages();
    EXPECT_EQ(DownButtons(), std::vector<TToolButton*>{Bar->Buttons(0)});
    ::SetFocus(b->Handle());
    ProcessMessages();
    EXPECT_EQ(DownButtons(), std::vector<TToolButton*>{Bar->Buttons(1)});
}

TEST_F(TaskBarTest, EarlierActivationHandlerStillRunsOnClickAndActivation) {
    TForm* a = Document("a");
    TForm* b = Document("b");
    std::vector<TObject*> senders;
    a->OnActivate = [&](TObject* sender) { senders.push_back(sender); };
    Bar->AddTask(a, 0);
    Bar->AddTask(b, 0);
    a->OnActivate(a);
    EXPECT_NE(std::find(senders.begin(), senders.end(), a), senders.end());
    senders.clear();
    Bar->Buttons(0)->Click();
    EXPECT_NE(std::find(senders.begin(), senders.end(), Bar->Buttons(0)), senders.end());
}

TEST_F(TaskBarTest, RemovingATaskGivesTheFormItsEarlierHandlerBack) {
    TForm* a = Document("a");
    int earlier = 0;
    a->OnActivate = [&](TObject*) { ++earlier; };
    Bar->AddTask(a, 0);
    Bar->RemoveTask(a);
    // The form's handler no longer leads into the freed task.
    ASSERT_TRUE(a->OnActivate);
    a->OnActivate(a);
    EXPECT_EQ(earlier, 1);

    TForm* b = Document("b");
    Bar->AddTask(b, 0);
    Bar->RemoveTask(b);
    EXPECT_FALSE(b->OnActivate);
}

TEST_F(TaskBarTest, AHandlerInstalledAfterTheTaskIsLeftAlone) {
    TForm* a = Document("a");
    Bar->AddTask(a, 0);
    int later = 0;
    a->OnActivate = [&](TObject*) { ++later; };
    Bar->RemoveTask(a);
    a->OnActivate(a);
    EXPECT_EQ(later, 1);
}

TEST_F(TaskBarTest, AFormFreedWithoutRemoveTaskTakesItsButtonAlong) {
    TForm* a = Document("a");
    Bar->AddTask(a, 0);
    Bar->AddTask(Document("b"), 0);
    delete a;
    Documents.erase(Documents.begin());
    EXPECT_EQ(Bar->Count(), 1);
    ASSERT_EQ(Bar->ButtonCount(), 1);
    EXPECT_EQ(Bar->Buttons(0)->Caption(), "b");
}

} // namespace
