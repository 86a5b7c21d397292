// The start-up steps: a second copy ends at the probe while the first runs,
// a successful login opens the main window's user session, and a cancelled
// one ends without the main window.
#include "app/Startup.h"

#include "app/DataModule.h"
#include "app/Login.h"
#include "app/Main.h"
#include "app/Message.h"
#include "app/Progress.h"
#include "platform/os/SingleInstance.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "tests/app/ScratchProgramFolder.h"
#include "tests/app/WhenModal.h"
#include "tests/platform/os/ScratchHome.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class StartupTest : public ::testing::Test {
protected:
    ScratchHome Home;
    ScratchProgramFolder Program;
    uitest::DialogRecorder Dialogs;
    std::optional<WhenModal> LoginDriver;

    // A registered user abc with the password pw.
    void SetUp() override {
        const std::string folder = Program.Path() + "user/abc/";
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(Program.Path() + "maindata.mdb", folder + "maindata.mdb");
        TADOConnection connection(nullptr);
        connection.SetConnectionString(DatabaseConnectionString(folder + "maindata.mdb"));
        connection.Open();
        connection.Execute("insert into pass(username,passone) values('abc','pw')");
    }
    void TearDown() override {
        if (frmMain) FreeProgramWindows();
    }
    // Once the login shows modally, Action drives it.
    void WhenTheLoginShows(std::function<void(TfrmLogin&)> Action) {
        LoginDriver.emplace(ShowsModally(frmLogin), [action = std::move(Action)] { action(*frmLogin); });
    }
};

TEST_F(StartupTest, ASecondCopyEndsAtTheProbeWhileTheFirstRuns) {
    EXPECT_FALSE(AnotherCopyRunning());
    TSingleInstance first(ProgramTitle);
    std::vector<uint32_t> received;
    first.OnMessage = [&](uint32_t msg) { received.push_back(msg); };
    ASSERT_TRUE(first.Listen());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(AnotherCopyRunning() ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(first.ProcessMessages(2000), 1);
    EXPECT_EQ(received, std::vector<uint32_t>{AnotherCopyMessage});
}

TEST_F(StartupTest, WindowsAreCreatedInOrderUnderTheProgramTitle) {
    const int before = Application->ComponentCount();
    CreateProgramWindows();
    EXPECT_EQ(Application->Title(), "Corvanta2.0");
    EXPECT_EQ(Application->MainForm(), frmMain);
    std::vector<TComponent*> created;
    for (int i = before; i < Application->ComponentCount(); ++i)
        created.push_back(Application->Components(i));
    EXPECT_EQ(created, (std::vector<TComponent*>{frmMain, frmMessage, frmProgress, DM}));
    EXPECT_TRUE(DM->ADOConnection1->Connected());
}

TEST_F(StartupTest, ALoginThatSucceedsOpensTheUsersSession) {
    CreateProgramWindows();
    WhenTheLoginShows([](TfrmLogin& login) {
        login.EdtCode->SetText("abc");
        login.EdtPass->SetText("pw");
        login.BtnOk->Click();
    });
    ASSERT_TRUE(RunLogin());
    EXPECT_EQ(frmLogin, nullptr);
    const std::string expected = DatabaseConnectionString(Program.Path() + "user/abc/maindata.mdb");
    EXPECT_EQ(frmMain->UserConnectionString, expected);
    EXPECT_EQ(frmMain->adocon->ConnectionString(), expected);
    EXPECT_TRUE(frmMain->adocon->Connected());
    EXPECT_EQ(frmMain->StatusBar1->Panels()->Items(0)->Text(), "当前用户：abc");
    EXPECT_EQ(frmMain->StatusBar1->Panels()->Items(1)->Text(), "登陆日期：" + DateToStr(Date()));
    EXPECT_TRUE(Dialogs.Boxes().empty());
}

TEST_F(StartupTest, ACancelledLoginEndsWithoutTheMainWindow) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Cancelling ends the application for good: in a process of its own.
    auto cancelling = [&] {
        CreateProgramWindows();
        WhenTheLoginShows([](TfrmLogin& login) { login.BtnCancel->Click(); });
        const bool loggedIn = RunLogin();
        const bool mainWindowShown = frmMain->Visible();
        FreeProgramWindows();
        const bool ok = !loggedIn && !mainWindowShown && Application->Terminated() && !frmMain && !DM && !frmMessage &&
                        !frmProgress && !frmLogin;
        _exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(cancelling(), ::testing::ExitedWithCode(0), "");
}

} // namespace
