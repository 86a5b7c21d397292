// Registration and profile maintenance: the new user's folder and database,
// refusals that create nothing, a failed registration that leaves no trace,
// bound values (quotes, leading zeros), the city/district cascade and the
// password change.
#include "app/Msgassert.h"

#include "tests/app/UserWorld.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class MsgassertTest : public ::testing::Test {
public:
    UserWorld World;

protected:
    std::vector<std::string> Ended; // what OnRegistrationEnd reported

    std::unique_ptr<Tfrmmsgassert> Registration(const std::string& code) {
        CreateFormInstance(frmmsgassert, nullptr);
        std::unique_ptr<Tfrmmsgassert> window(frmmsgassert);
        window->SetCaption("用户注册");
        window->edt_username->SetText(code);
        window->btn_save->SetCaption("注册");
        window->OnRegistrationEnd = [this](TObject*, const std::string& registered) { Ended.push_back(registered); };
        window->chk_passwordClick(window->chk_password);
        window->chk_password->SetChecked(true);
        window->Show();
        return window;
    }
    std::unique_ptr<Tfrmmsgassert> Maintenance() {
        CreateFormInstance(frmmsgassert, nullptr);
        std::unique_ptr<Tfrmmsgassert> window(frmmsgassert);
        window->edt_username->SetEnabled(false);
        window->edt_username->SetText(World.UserCode);
        window->chk_passwordClick(window->chk_password);
        window->Show();
        return window;
    }
    static void Passwords(Tfrmmsgassert& window, const std::string& first, const std::string& second) {
        window.edt_passnew1->SetText(first);
        window.edt_passnew2->SetText(second);
    }
    // The user's choice of a city: the selection, then the box's change event.
    static void ChooseCity(Tfrmmsgassert& window, int index) {
        window.ccb_DWSZSDM->SetItemIndex(index);
        window.ccb_DWSZSDMChange(window.ccb_DWSZSDM);
    }
    static std::vector<std::string> Lines(const TStrings* list) {
        std::vector<std::string> lines;
        for (int i = 0; i < list->Count(); ++i)
            lines.push_back(list->Strings(i));
        return lines;
    }
    std::string LastBox() const {
        const auto boxes = World.Dialogs.Boxes();
        return boxes.empty() ? std::string() : boxes.back().Text;
    }
    std::string UserDatabase(const std::string& code) const {
        return World.Program.Path() + "user/" + code + "/maindata.mdb";
    }
    // The first column of a query on another user's database.
    static std::vector<std::string> Column(const std::string& file, const std::string& sql) {
        TADOConnection connection(nullptr);
        connection.SetConnectionString(DatabaseConnectionString(file));
        connection.Open();
        TADOQuery query(nullptr);
        query.SetConnection(&connection);
        query.SQL()->SetText(sql);
        query.Open();
        std::vector<std::string> values;
        for (; !query.Eof(); query.Next())
            values.push_back(query.Fields()[0]->IsNull() ? "<null>" : query.Fields()[0]->AsString());
        return values;
    }
};

} // namespace

TEST_F(MsgassertTest, RegistrationMakesTheUsersDatabaseWithItsPassRow) {
    auto window = Registration("新用户");
    EXPECT_TRUE(frmMain->PopupOpen);
    Passwords(*window, " pw1 ", "pw1");
    window->edt_XMFZRXM1->SetText("O'Brien");
    window->edt_YZBM->SetText("012345");
    window->ccb_XMFZRXB1->SetItemIndex(1);
    ChooseCity(*window, 0);
    window->ccb_DWSZXQDM->SetItemIndex(2);
    window->btn_saveClick(window->btn_save);

    EXPECT_EQ(LastBox(), "注册成功,请使用新密码和注册用户登陆");
    const std::string file = UserDatabase("新用户");
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(Column(file, "select username || '|' || passone || '|' || XMFZRXM1 from pass"),
              std::vector<std::string>{"新用户|pw1|O'Brien"});
    EXPECT_EQ(Column(file, "select typeof(YZBM) || ':' || YZBM from pass"), std::vector<std::string>{"text:012345"});
    EXPECT_EQ(Column(file, "select XMFZRXB1 || ',' || DWSZSDM || ',' || DWSZXQDM from pass"),
              std::vector<std::string>{"2,330100,330106"});
    EXPECT_EQ(Column(file, "select count(*) from pass where DWLB is null and QYXZ1 is null"),
              std::vector<std::string>{"1"}); // boxes left empty are null
    EXPECT_EQ(frmMain->UserCode, "新用户");
    EXPECT_EQ(Ended, std::vector<std::string>{"新用户"});
    EXPECT_FALSE(window->Visible());
    EXPECT_FALSE(frmMain->PopupOpen);
}

TEST_F(MsgassertTest, RefusedRegistrationsCreateNothing) {
    const struct {
        const char* Code;
        const char* First;
        const char* Second;
        const char* Box;
    } cases[] = {
        {"甲", "abc", "abd", "两次密码校对不正确，请再次输入"},
        {"甲", "", "abc", "密码与确认密码不可为空，请再次输入"},
        {"甲", "   ", "   ", "密码与确认密码不可为空，请再次输入"},
        {"  ", "abc", "abc", "用户名不能为空，请再次输入"},
        {"../evil", "abc", "abc", "用户名不能包含路径符号（/ \\ ..）或控制字符，请再次输入"},
        {".", "abc", "abc", "用户名不能包含路径符号（/ \\ ..）或控制字符，请再次输入"},
        {"a/b", "abc", "abc", "用户名不能包含路径符号（/ \\ ..）或控制字符，请再次输入"},
        {"a\\b", "abc", "abc", "用户名不能包含路径符号（/ \\ ..）或控制字符，请再次输入"},
        {"a\tb", "abc", "abc", "用户名不能包含路径符号（/ \\ ..）或控制字符，请再次输入"},
    };
    const auto entries = [&] {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(World.Program.Folder()))
            names.push_back(e.path().string());
        return names;
    };
    const auto before = entries();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Code);
        auto window = Registration(c.Code);
        Passwords(*window, c.First, c.Second);
        window->btn_saveClick(window->btn_save);
        EXPECT_EQ(LastBox(), c.Box);
        EXPECT_TRUE(window->Visible());
        EXPECT_EQ(World.Dialogs.Boxes().back().Flags, MB_OK | MB_ICONERROR);
    }
    EXPECT_EQ(entries(), before);
}

TEST_F(MsgassertTest, TheSameCodeCannotBeRegisteredTwice) {
    auto first = Registration("乙");
    Passwords(*first, "abc", "abc");
    first->btn_saveClick(first->btn_save);
    first.reset();
    auto second = Registration("乙");
    Passwords(*second, "xyz", "xyz");
    second->btn_saveClick(second->btn_save);
    EXPECT_EQ(LastBox(),
              std::string(20, ' ') + "此用户名称已经被注册\r\r强烈建议不要强行使用该用户名称做为您的登陆名称");
    EXPECT_EQ(Column(UserDatabase("乙"), "select passone from pass"), std::vector<std::string>{"abc"});
    // So is the logged-in user's own code.
    auto third = Registration(World.UserCode);
    Passwords(*third, "xyz", "xyz");
    third->btn_saveClick(third->btn_save);
    EXPECT_NE(LastBox().find("此用户名称已经被注册"), std::string::npos);
}

TEST_F(MsgassertTest, AFailedRegistrationLeavesNoTraceAndCanBeRepeated) {
    const std::string templateFile = World.Program.Path() + "maindata.mdb";
    {
        TADOConnection connection(nullptr);
        connection.SetConnectionString(DatabaseConnectionString(templateFile));
        connection.Open();
        connection.Execute("drop table pass");
    }
    auto window = Registration("丙");
    Passwords(*window, "abc", "abc");
    window->btn_saveClick(window->btn_save);
    EXPECT_EQ(LastBox().rfind("注册失败，请再次注册：", 0), 0u) << LastBox();
    EXPECT_FALSE(fs::exists(World.Program.Folder() / "user" / "丙"));
    EXPECT_TRUE(window->Visible());
    EXPECT_TRUE(Ended.empty());
    // The code boxes read the template again, not the removed database.
    ChooseCity(*window, 0);
    EXPECT_GT(window->ccb_DWSZXQDM->Items()->Count(), 0);

    fs::copy_file(BuiltProgramFolder() + "maindata.mdb", templateFile, fs::copy_options::overwrite_existing);
    window->btn_saveClick(window->btn_save);
    EXPECT_EQ(LastBox(), "注册成功,请使用新密码和注册用户登陆");
    EXPECT_EQ(Column(UserDatabase("丙"), "select username from pass"), std::vector<std::string>{"丙"});
}

// The code names the folder without the blanks around it, and a ';' stays
// part of it rather than ending the connection string.
TEST_F(MsgassertTest, ACodeIsTrimmedAndMayHoldASemicolon) {
    auto window = Registration(" 戊;1 ");
    Passwords(*window, "abc", "abc");
    window->btn_saveClick(window->btn_save);
    EXPECT_EQ(LastBox(), "注册成功,请使用新密码和注册用户登陆");
    EXPECT_EQ(Column(UserDatabase("戊;1"), "select username from pass"), std::vector<std::string>{"戊;1"});
    EXPECT_EQ(Ended, std::vector<std::string>{"戊;1"});
}

TEST_F(MsgassertTest, ClosingARegistrationAnyWayEndsTheLoginsRegistrationMode) {
    auto cancelled = Registration("丁");
    cancelled->btn_canelClick(cancelled->btn_canel);
    auto closed = Registration("丁");
    closed->Close();
    closed->Close(); // once only
    EXPECT_EQ(Ended, (std::vector<std::string>{"", ""}));
    EXPECT_FALSE(fs::exists(World.Program.Folder() / "user" / "丁"));
}

TEST_F(MsgassertTest, ChoosingACityListsItsDistrictsInCodeOrder) {
    World.Exec("insert into XZQHDM (xzqhid, pxzqhid, DQDM, DQMC) values (100, NULL, 330200, '宁波市'), "
               "(102, 100, 330205, '江北区'), (101, 100, 330203, '海曙区')");
    auto window = Maintenance();
    EXPECT_EQ(Lines(window->ccb_DWSZSDM->Items()), (std::vector<std::string>{"杭州市", "宁波市"}));
    EXPECT_EQ(Lines(window->ccb_DWSZSDM->codes()), (std::vector<std::string>{"330100", "330200"}));
    ChooseCity(*window, 1);
    EXPECT_EQ(Lines(window->ccb_DWSZXQDM->Items()), (std::vector<std::string>{"海曙区", "江北区"}));
    EXPECT_EQ(Lines(window->ccb_DWSZXQDM->codes()), (std::vector<std::string>{"330203", "330205"}));
    window->ccb_DWSZXQDM->SetItemIndex(0);
    ChooseCity(*window, 0);
    EXPECT_EQ(window->ccb_DWSZXQDM->Items()->Count(), 13);
    EXPECT_EQ(window->ccb_DWSZXQDM->Items()->Strings(0), "上城区");
    EXPECT_EQ(window->ccb_DWSZXQDM->Text(), "");
}

TEST_F(MsgassertTest, TheProfileKeepsALeadingZeroPostcodeAndItsCodes) {
    World.Exec("update pass set DWSZSDM=330100, DWSZXQDM=330108, DWLB=6, XMFZRCSN1='1970'");
    auto window = Maintenance();
    EXPECT_EQ(window->edt_YZBM->Text(), "012345");
    EXPECT_EQ(window->ccb_DWLB->Text(), "企业");
    EXPECT_EQ(window->ccb_DWSZSDM->Text(), "杭州市");
    EXPECT_EQ(window->ccb_DWSZXQDM->Text(), "滨江区");
    window->edt_DWMC->SetText("新单位'名");
    window->btn_saveClick(window->btn_save);
    EXPECT_EQ(LastBox(), "数据更新成功");
    EXPECT_EQ(World.Column("select typeof(YZBM) || ':' || YZBM || ':' || DWMC || ':' || DWSZXQDM from pass"),
              std::vector<std::string>{"text:012345:新单位'名:330108"});
    EXPECT_EQ(World.Column("select passone from pass"), std::vector<std::string>{"secret"});
}

TEST_F(MsgassertTest, APasswordChangeNeedsTheOldPassword) {
    auto window = Maintenance();
    EXPECT_FALSE(window->edt_passold->Enabled());
    // The password box's caption is its check box: a click on the caption's text opens the edits.
    const int onTheText = 40; // past the mark and its gap
    uitest::Click(window->chk_password, {onTheText, window->chk_password->Height() / 2});
    EXPECT_TRUE(window->chk_password->Checked());
    EXPECT_TRUE(window->edt_passold->Enabled());
    const struct {
        const char* Old;
        const char* First;
        const char* Second;
        const char* Box;
    } cases[] = {
        {"", "n1", "n1", "原密码未输入，请确认填写原密码？"},
        {"secret", "", "n1", "密码与确认密码不可为空，请再次输入？"},
        {"wrong", "n1", "n1", "原密码不正确，请确认填写正确？"},
        {"' or ''='", "n1", "n1", "原密码不正确，请确认填写正确？"},
        {"secret", "n1", "n2", "新密码与确认密码不符合，请确认填写正确？"},
    };
    for (const auto& c : cases) {
        window->edt_passold->SetText(c.Old);
        Passwords(*window, c.First, c.Second);
        window->btn_saveClick(window->btn_save);
        EXPECT_EQ(LastBox(), c.Box);
        EXPECT_EQ(World.Column("select passone from pass"), std::vector<std::string>{"secret"});
    }
    window->edt_passold->SetText(" secret ");
    Passwords(*window, "n1 ", " n1");
    window->btn_saveClick(window->btn_save);
    EXPECT_EQ(LastBox(), "数据更新成功");
    EXPECT_EQ(World.Column("select passone from pass"), std::vector<std::string>{"n1"});
}

TEST_F(MsgassertTest, InputChecksOfTheFields) {
    auto window = Maintenance();
    window->ccb_DWLB->SetText("胡乱填写");
    window->popCombBoxExit(window->ccb_DWLB);
    EXPECT_EQ(LastBox(), "选择项不可被改动或手工录入!!");
    EXPECT_EQ(window->ccb_DWLB->Text(), "");

    window->met_XMFZRCSN1->SetText("199");
    window->met_XMFZRCSN1Exit(window->met_XMFZRCSN1);
    EXPECT_EQ(LastBox(), "日期输入非法");
    EXPECT_EQ(Trim(window->met_XMFZRCSN1->Text()), "");

    char32_t key = U'a';
    window->EditKeyPress(window->edt_YZBM, key);
    EXPECT_EQ(key, 0u);
    key = U'7';
    window->EditKeyPress(window->edt_YZBM, key);
    EXPECT_EQ(key, U'7');
}

TEST_F(MsgassertTest, TextFieldsTakeAsManyCharactersAsTheirColumnHasGbkBytes) {
    auto window = Registration("zhangsan");
    const std::string tenCharacters = "张三李四王五赵六钱七";
    window->edt_XMFZRXM1->SetFocus();
    platform_ui::test::SendQtInputMethodCommit(window->edt_XMFZRXM1->Handle(), tenCharacters + "孙八");
    ProcessMessages();
    EXPECT_EQ(window->edt_XMFZRXM1->Text(), tenCharacters) << "the name's 20 bytes";
    window->edt_DWFZRZWZC->SetFocus();
    uitest::TypeText(window->edt_DWFZRZWZC, "abc");
    platform_ui::test::SendQtInputMethodCommit(window->edt_DWFZRZWZC->Handle(), tenCharacters);
    ProcessMessages();
    EXPECT_EQ(window->edt_DWFZRZWZC->Text(), "abc张三李四王五赵六") << "an odd byte left over stays empty";
}

TEST_F(MsgassertTest, InputMethodsStayOnForFreeTextOnly) {
    auto window = Maintenance();
    for (TWinControl* control : std::vector<TWinControl*>{window->edt_DWMC, window->edt_DWDZ, window->edt_XMFZRXM1,
                                                          window->edt_DWFZR, window->edt_HTTP})
        EXPECT_NE(control->ImeMode(), imDisable) << control->Name();
    for (TWinControl* control :
         std::vector<TWinControl*>{window->edt_YZBM, window->edt_XMFZRLXDH1, window->edt_DWFZRLXDH,
                                   window->met_XMFZRCSN1, window->edt_passnew1, window->ccb_DWLB, window->ccb_DWSZSDM})
        EXPECT_EQ(control->ImeMode(), imDisable) << control->Name();
}
