// The wait and progress windows as their callers drive them, and the about
// box.
#include "app/About.h"
#include "app/Message.h"
#include "app/Progress.h"

#include "platform/ui/Graphics.h"
#include "platform/ui/MessageQueue.h"

#include <gtest/gtest.h>

#include <memory>

TEST(SmallWindows, TheWaitWindowShowsTheCallersTextAndOnlyHides) {
    std::unique_ptr<TfrmMessage> window(CreateFormInstance(frmMessage, nullptr));
    EXPECT_EQ(window->BorderStyle(), bsNone);
    EXPECT_EQ(window->ClientWidth(), 436);
    EXPECT_EQ(window->ClientHeight(), 43);
    EXPECT_EQ(window->PanelMsg->Caption(), "正在进，请稍候...");
    EXPECT_EQ(window->PanelMsg->Color(), TColor(0xF5DCD3));
    EXPECT_EQ(window->PanelMsg->Font()->Color(), clMaroon);
    EXPECT_FALSE(window->Visible());

    window->PanelMsg->SetCaption("正在连接数据库中，请梢侯。。。");
    window->Show();
    ProcessMessages();
    EXPECT_TRUE(window->Visible());
    window->Close();
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(window->PanelMsg->Caption(), "正在连接数据库中，请梢侯。。。");
    frmMessage = nullptr;
}

TEST(SmallWindows, TheProgressWindowCarriesAPercentGauge) {
    std::unique_ptr<TfrmProgress> window(CreateFormInstance(frmProgress, nullptr));
    EXPECT_EQ(window->ClientWidth(), 336);
    EXPECT_EQ(window->ClientHeight(), 57);
    EXPECT_EQ(window->lblTitle->Caption(), "...");
    EXPECT_EQ(window->Gauge->Progress(), 0);
    EXPECT_EQ(window->Gauge->Height(), 24);
    EXPECT_EQ(window->Gauge->ForeColor(), clNavy);
    EXPECT_EQ(window->Gauge->BackColor(), TColor(0xFEECCB));
    window->Show();
    window->lblTitle->SetCaption("正在导出");
    window->Gauge->SetProgress(40);
    ProcessMessages();
    EXPECT_EQ(window->Gauge->PercentDone(), 40);
    window->Close();
    EXPECT_FALSE(window->Visible());
    frmProgress = nullptr;
}

TEST(SmallWindows, TheAboutBoxHasABoldTitleAndClosesWithOk) {
    std::unique_ptr<TdlgAbout> box(CreateFormInstance(dlgAbout, nullptr));
    EXPECT_EQ(box->Caption(), "关于");
    EXPECT_EQ(box->ClientWidth(), 344);
    EXPECT_EQ(box->ClientHeight(), 196);
    EXPECT_TRUE(box->Label1->Font()->Style().Contains(fsBold));
    EXPECT_EQ(box->Label1->Caption(), "Corvanta2.0");
    EXPECT_EQ(box->Version->Caption(), "Build 531");
    EXPECT_EQ(box->ProgramIcon->Picture()->Width(), 32) << "the program's icon";
    EXPECT_TRUE(box->Button1->Default());
    box->Button1Click(box->Button1);
    EXPECT_EQ(box->ModalResult(), mrOk);
    dlgAbout = nullptr;
}
