// The data update of a user's database from the program's template: rows are
// copied by column names, the file is replaced by one rename, and the user's
// connection is open again afterwards whatever happened.
#include "app/Flush.h"

#include "tests/app/UserWorld.h"
#include "tests/support/FileContents.h"
#include "tests/support/InstallationSnapshot.h"
#include "tests/support/SqliteFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

class FlushTest : public ::testing::Test {
public:
    UserWorld World;

protected:
    // An older layout of KJJHSB: other column order, one column the template
    // no longer has, most of the template's columns missing.
    void UseOldApplicationTable() {
        World.Exec("drop table KJJHSB");
        World.Exec("create table KJJHSB (XMMC VARCHAR(120), OBSOLETE TEXT, KJJHSBID INTEGER)");
        for (int i = 1; i <= 5; ++i)
            World.Exec("insert into KJJHSB values (?, 'x', ?)", {"项目" + std::to_string(i), 2026010000 + i});
    }
    std::unique_ptr<Tfrmflush> NewWindow() {
        Tfrmflush* window = nullptr;
        CreateFormInstance(window, nullptr);
        return std::unique_ptr<Tfrmflush>(window);
    }
};

} // namespace

TEST_F(FlushTest, CopiesRowsByColumnNameIntoTheTemplateAndReopens) {
    UseOldApplicationTable();
    World.Exec("delete from JHLB"); // code tables come from the template, not from the old file
    const auto templateCategories = World.Column("select count(*) from JHLB");
    auto window = NewWindow();

    ASSERT_TRUE(window->DoFlush(World.Connection()));

    EXPECT_TRUE(World.Connection()->Connected());
    EXPECT_EQ(window->Gauge->Progress(), 100);
    EXPECT_FALSE(fs::exists(World.UserFolder + "tempmaindata.mdb"));
    EXPECT_EQ(World.Column("select XMMC from KJJHSB order by KJJHSBID"),
              (std::vector<std::string>{"项目1", "项目2", "项目3", "项目4", "项目5"}));
    EXPECT_EQ(World.Column("select KJJHSBID from KJJHSB where XMMC='项目3'"), std::vector<std::string>{"2026010003"});
    // The template's layout is back: its columns exist, the dropped one does not.
    EXPECT_EQ(World.Column("select count(*) from pragma_table_info('KJJHSB') where name='OBSOLETE'"),
              std::vector<std::string>{"0"});
    EXPECT_EQ(World.Column("select count(*) from pragma_table_info('KJJHSB') where name='SBNF'"),
              std::vector<std::string>{"1"});
    EXPECT_NE(World.Column("select count(*) from JHLB"), std::vector<std::string>{"0"});
    EXPECT_EQ(World.Column("select YZBM from pass"), std::vector<std::string>{"012345"});
}

TEST_F(FlushTest, AFailedCopyLeavesTheOldFileAndAnOpenConnection) {
    const struct {
        const char* Name;
        std::function<void(FlushTest&)> Break;
    } cases[] = {
        {"no pass table", [](FlushTest& t) { t.World.Exec("drop table pass"); }},
        {"no template", [](FlushTest& t) { fs::remove(t.World.Program.Folder() / "maindata.mdb"); }},
        {"no application table", [](FlushTest& t) { t.World.Exec("drop table KJJHSB"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        World.Exec("delete from JHLB");
        c.Break(*this);
        auto window = NewWindow();
        EXPECT_FALSE(window->DoFlush(World.Connection()));
        EXPECT_TRUE(World.Connection()->Connected());
        EXPECT_FALSE(fs::exists(World.UserFolder + "tempmaindata.mdb"));
        EXPECT_EQ(World.Column("select count(*) from JHLB"), std::vector<std::string>{"0"}); // still the old file
    }
}

// A template that would bring rows of its own, change the rows copied into
// it or make the user's code tables hang is refused; the user's folder stays
// exactly as it was.
TEST_F(FlushTest, AHostileTemplateIsRefusedAndChangesNothing) {
    const struct {
        const char* What;
        std::string Sql; // run on the template; empty: the template is no database
    } cases[] = {
        {"no database", ""},
        {"a user of its own", "insert into pass (username, passone) values ('intruder', 'x')"},
        {"an application of its own", "insert into KJJHSB (KJJHSBID) values (2026019999)"},
        {"a trigger that drops the rows copied in",
         "create trigger drop_rows after insert on KJJHSB begin delete from KJJHSB; end"},
        {"a code table as a recursive view",
         "drop table XZQHDM; create view XZQHDM as with recursive n(xzqhid) as (select 1 union all select xzqhid + 1 "
         "from n) select xzqhid, null as pxzqhid, xzqhid as DQDM, 'x' as DQMC from n"},
        {"a code name past its length", "update JSLY set JSLYMC = printf('%.*c', 101, 'a')"},
    };
    World.Exec("insert into KJJHSB (KJJHSBID, XMMC) values (2026010001, '项目')");
    const std::string templateFile = World.Program.Path() + "maindata.mdb";
    const std::string original = ReadFileContents(templateFile);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        WriteFileContents(templateFile, c.Sql.empty() ? std::string("no database here") : original);
        if (!c.Sql.empty()) RunSql(templateFile, c.Sql);
        const TInstallationSnapshot before(World.UserFolder);
        auto window = NewWindow();
        EXPECT_FALSE(window->DoFlush(World.Connection()));
        EXPECT_TRUE(World.Connection()->Connected());
        const TInstallationSnapshot after(World.UserFolder);
        EXPECT_TRUE(after == before) << after.ChangesSince(before);
    }
}

TEST_F(FlushTest, AnOldTemporaryFileIsReplaced) {
    std::ofstream(World.UserFolder + "tempmaindata.mdb") << "left over";
    auto window = NewWindow();
    EXPECT_TRUE(window->DoFlush(World.Connection()));
    EXPECT_EQ(World.Column("select username from pass"), std::vector<std::string>{World.UserCode});
}

TEST_F(FlushTest, ForcedUpdateAsksForTheTrimmedPassword) {
    World.Exec("delete from JHLB");
    auto window = NewWindow();
    int reopened = 0;
    window->OnUserDatabaseReopened = [&](TObject*) { ++reopened; };
    window->Show();

    window->EdtPass->SetText("wrong");
    window->btn_okClick(window->btn_ok);
    ASSERT_EQ(World.Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(World.Dialogs.Boxes()[0].Text, "您输入的密码不正确");
    EXPECT_EQ(World.Column("select count(*) from JHLB"), std::vector<std::string>{"0"});
    EXPECT_TRUE(window->Visible());

    // A quote in the password is a value, not SQL.
    window->EdtPass->SetText("' or ''='");
    window->btn_okClick(window->btn_ok);
    EXPECT_EQ(World.Dialogs.Boxes().back().Text, "您输入的密码不正确");

    window->EdtPass->SetText("  secret ");
    window->btn_okClick(window->btn_ok);
    EXPECT_EQ(World.Dialogs.Boxes().back().Text, "数据强制更新成功！");
    EXPECT_EQ(reopened, 1);
    EXPECT_NE(World.Column("select count(*) from JHLB"), std::vector<std::string>{"0"});
    EXPECT_FALSE(window->Visible());
}
