// The login dialog on a registered user's database: counted wrong
// passwords, a bound and trimmed password test, the registration offer and
// the registration mode that ends however the registration window closes,
// and the first login's data update.
#include "app/Login.h"

#include "app/Msgassert.h"
#include "platform/os/Registry.h"
#include "platform/ui/ExtCtrls.h"
#include "tests/app/UserWorld.h"
#include "tests/app/WhenModal.h"
#include "tests/platform/os/ScratchHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class LoginTest : public ::testing::Test {
protected:
    ScratchHome Home;
    UserWorld World;

    std::unique_ptr<TfrmLogin> Login() {
        CreateFormInstance(frmLogin, nullptr);
        std::unique_ptr<TfrmLogin> login(frmLogin);
        login->Show();
        return login;
    }
    static void Attempt(TfrmLogin& login, const std::string& code, const std::string& password) {
        login.EdtCode->SetText(code);
        login.EdtPass->SetText(password);
        login.BtnOk->Click();
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : World.Dialogs.Boxes())
            texts.push_back(box.Text);
        return texts;
    }
    // On a connection of their own: the update replaces the file under the
    // world's connection, which still holds the old one.
    void MarkUserDatabase() const { UserDatabase()->Execute("create table marker(x integer)"); }
    bool UserDatabaseMarked() const { return Count("select count(*) from sqlite_master where name='marker'") == 1; }
    int Count(const std::string& SQL) const {
        auto connection = UserDatabase();
        TADOQuery query(nullptr);
        query.SetConnection(connection.get());
        query.SQL()->SetText(SQL);
        query.Open();
        return query.Fields()[0]->AsInteger();
    }
    std::unique_ptr<TADOConnection> UserDatabase() const {
        auto connection = std::make_unique<TADOConnection>(nullptr);
        connection->SetConnectionString(DatabaseConnectionString(World.UserFolder + "maindata.mdb"));
        connection->Open();
        return connection;
    }
    void TearDown() override { frmLogin = nullptr; }
};

TEST_F(LoginTest, ThreeWrongPasswordsEndTheProgramWithCountedMessages) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Closing the login without "OK" ends the application for good, so the
    // attempts run in a process of their own.
    auto attempts = [&] {
        auto login = Login();
        for (int i = 0; i < 3; ++i)
            Attempt(*login, World.UserCode, "wrong");
        const std::vector<std::string> expected = {
            "密码错误，请输入正确密码重新登陆\r尝试登陆数据库1次",
            "密码错误，请输入正确密码重新登陆\r尝试登陆数据库2次",
            "密码错误，请输入正确密码重新登陆\r尝试登陆数据库3次",
            "尝试登陆数据库超过3次\r应用程序将关闭",
        };
        const bool ok =
            BoxTexts() == expected && !login->Visible() && login->LoginResult == "error" && Application->Terminated();
        _exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(attempts(), ::testing::ExitedWithCode(0), "");
}

TEST_F(LoginTest, EnterAsksForWhatIsMissingAndOtherwiseLogsIn) {
    struct Case {
        const char* Code;
        const char* Password;
        const char* Box;    // "" for none
        const char* Result; // LoginResult afterwards
    } const cases[] = {
        {"  ", "secret", "请输入登录用户名称", ""},
        {"u001", " ", "请输入登录口令", ""},
        {"u001", "secret", "", "OK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("code '") + c.Code + "', password '" + c.Password + "'");
        World.Dialogs.Requests.clear();
        auto login = Login();
        login->EdtCode->SetText(c.Code);
        login->EdtPass->SetText(c.Password);
        uitest::Type(login->EdtPass, VK_RETURN, "\r");
        EXPECT_EQ(BoxTexts(), *c.Box ? std::vector<std::string>{c.Box} : std::vector<std::string>{});
        EXPECT_EQ(login->LoginResult, c.Result);
    }
}

TEST_F(LoginTest, ArrowsMoveThroughTheTabOrder) {
    auto login = Login();
    login->EdtCode->SetFocus();
    uitest::Type(login->EdtCode, VK_DOWN);
    EXPECT_EQ(uitest::FocusedControl(), login->EdtPass);
    uitest::Type(login->EdtPass, VK_DOWN);
    EXPECT_EQ(uitest::FocusedControl(), login->BtnOk);
    uitest::Type(login->BtnOk, VK_UP);
    EXPECT_EQ(uitest::FocusedControl(), login->EdtPass);
}

TEST_F(LoginTest, TheRightPasswordLogsInTrimmedOnBothSides) {
    struct Case {
        const char* Stored;
        const char* Typed;
    } const cases[] = {{"secret", "secret"}, {"secret", "  secret "}, {"secret  ", "secret"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("stored '") + c.Stored + "', typed '" + c.Typed + "'");
        World.Exec("update pass set passone=?", {c.Stored});
        auto login = Login();
        Attempt(*login, World.UserCode, c.Typed);
        EXPECT_EQ(login->LoginResult, "OK");
        EXPECT_EQ(login->ConnectionString, DatabaseConnectionString(World.UserFolder + "maindata.mdb"));
        EXPECT_EQ(frmMain->UserDbPath, World.UserFolder + "maindata.mdb");
        EXPECT_EQ(frmMain->UserCode, World.UserCode);
        EXPECT_FALSE(login->Visible());
        EXPECT_TRUE(BoxTexts().empty());
    }
}

TEST_F(LoginTest, PasswordsThatAreNotTheUsersAreRefused) {
    World.Exec("insert into pass(username,passone) values('other','theirs')");
    for (const char* typed : {"' or ''='", "x' or '1'='1", "theirs", "secre"}) {
        SCOPED_TRACE(typed);
        World.Dialogs.Requests.clear();
        auto login = Login();
        Attempt(*login, World.UserCode, typed);
        EXPECT_EQ(login->LoginResult, "error");
        EXPECT_TRUE(login->Visible());
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{"密码错误，请输入正确密码重新登陆\r尝试登陆数据库1次"});
    }
}

TEST_F(LoginTest, AnotherUsersDatabaseInTheFolderIsRefused) {
    World.Exec("update pass set username='someone'");
    auto login = Login();
    Attempt(*login, World.UserCode, "secret");
    EXPECT_EQ(login->LoginResult, "error");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"您错误了使用其他存在的数据库来替代了本地数据库！"});
}

TEST_F(LoginTest, TheFirstLoginWithTheUpdateKeyRunsTheDataUpdateOnce) {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey(UpdatedUsersRegistryKey, true));
    registry.WriteString("someone else", "1");

    MarkUserDatabase();
    Attempt(*Login(), World.UserCode, "secret");
    // The update rebuilt the file from the template, which has no marker.
    EXPECT_FALSE(UserDatabaseMarked());
    EXPECT_EQ(Count("select count(*) from pass where username='u001' and passone='secret'"), 1);
    EXPECT_EQ(registry.ReadString(World.UserCode), "1");

    MarkUserDatabase();
    auto again = Login();
    Attempt(*again, World.UserCode, "secret");
    EXPECT_EQ(again->LoginResult, "OK");
    EXPECT_TRUE(UserDatabaseMarked());
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(LoginTest, WithoutTheUpdateKeyNoUpdateRunsAndNoKeyIsMade) {
    MarkUserDatabase();
    auto login = Login();
    Attempt(*login, World.UserCode, "secret");
    EXPECT_EQ(login->LoginResult, "OK");
    EXPECT_TRUE(UserDatabaseMarked());
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(registry.KeyExists(UpdatedUsersRegistryKey));
}

TEST_F(LoginTest, AnUnknownUserIsOfferedARegistrationAndNoLeavesNoTrace) {
    World.Dialogs.Answers = {IDNO};
    auto login = Login();
    Attempt(*login, "newcomer", "pw");
    ASSERT_EQ(World.Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(World.Dialogs.Boxes()[0].Text, "未发现注册用户，是否开始注册");
    EXPECT_EQ(World.Dialogs.Boxes()[0].Flags & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_EQ(login->LoginResult, "error");
    EXPECT_EQ(login->Mode, "");
    EXPECT_FALSE(login->Connection->Connected());
    EXPECT_FALSE(fs::exists(World.Program.Path() + "user/newcomer"));
}

// However the registration window closes, the login leaves registration
// mode; a registration that went through leaves its code in the login.
TEST_F(LoginTest, ClosingTheRegistrationByAnyMeansEndsRegistrationMode) {
    struct Case {
        const char* Name;
        std::function<void(Tfrmmsgassert&)> Close;
        bool Registered;
    } const cases[] = {
        {"cancel button", [](Tfrmmsgassert& w) { w.btn_canel->Click(); }, false},
        {"window closed", [](Tfrmmsgassert& w) { w.Close(); }, false},
        {"registered",
         [](Tfrmmsgassert& w) {
             w.edt_passnew1->SetText(" pw1 ");
             w.edt_passnew2->SetText("pw1");
             w.btn_save->Click();
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string code = std::string("new") + std::to_string(&c - cases);
        World.Dialogs.Answers = {IDYES};
        auto login = Login();
        std::string modeWhileOpen;
        WhenModal closing(ShowsModally(frmmsgassert), [&] {
            Tfrmmsgassert& registration = *frmmsgassert;
            modeWhileOpen = login->Mode;
            c.Close(registration);
        });
        Attempt(*login, code, "pw1");
        EXPECT_EQ(modeWhileOpen, "注册");
        EXPECT_EQ(login->Mode, "runend");
        EXPECT_EQ(login->LoginResult, "error");
        EXPECT_TRUE(login->Visible());
        EXPECT_EQ(frmmsgassert, nullptr);
        if (!c.Registered) continue;
        // The next attempt tests the password instead of stopping silently.
        EXPECT_EQ(login->EdtCode->Text(), code);
        login->EdtPass->SetText("pw1");
        login->BtnOk->Click();
        EXPECT_EQ(login->LoginResult, "OK");
    }
}

TEST_F(LoginTest, ARegistrationWindowThatCannotShowStillEndsRegistrationMode) {
    fs::remove(World.Program.Path() + "maindata.mdb");
    auto login = Login();
    login->EdtCode->SetText("fresh");
    EXPECT_ANY_THROW(login->btnregClick(login->btnreg));
    EXPECT_EQ(login->Mode, "runend");
    EXPECT_EQ(frmmsgassert, nullptr);
    Attempt(*login, " " + World.UserCode + " ", "secret");
    EXPECT_EQ(login->LoginResult, "OK");
    EXPECT_EQ(frmMain->UserCode, World.UserCode);
}

TEST_F(LoginTest, TheRegisterButtonOpensARegistrationForTheTypedCode) {
    auto login = Login();
    login->EdtCode->SetText("fresh");
    std::string caption, name, save;
    bool newPasswordsOpen = false;
    WhenModal closing(ShowsModally(frmmsgassert), [&] {
        Tfrmmsgassert& registration = *frmmsgassert;
        caption = registration.Caption();
        name = registration.edt_username->Text();
        save = registration.btn_save->Caption();
        newPasswordsOpen = registration.edt_passnew1->Enabled() && !registration.edt_passold->Enabled();
        registration.btn_canel->Click();
    });
    login->btnreg->Click();
    EXPECT_EQ(caption, "用户注册");
    EXPECT_EQ(name, "fresh");
    EXPECT_EQ(save, "注册");
    EXPECT_TRUE(newPasswordsOpen);
    EXPECT_EQ(frmMain->UserDbPath, World.Program.Path() + "user/");
    EXPECT_EQ(login->Mode, "runend");
}

} // namespace
