// The code-table window: its tabs over the user's code tables and the import
// that replaces all five tables from another database file, or none.
#include "app/Code.h"

#include "tests/app/UserWorld.h"
#include "tests/support/FileContents.h"
#include "tests/support/InstallationSnapshot.h"
#include "tests/support/SqliteFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> Tables = {"JHLB", "ZGBM", "XZQHDM", "JSLY", "XKLY"};

class CodeTest : public ::testing::Test {
public:
    UserWorld World;

protected:
    std::unique_ptr<TfrmCode> NewWindow() {
        TfrmCode* window = nullptr;
        CreateFormInstance(window, nullptr);
        return std::unique_ptr<TfrmCode>(window);
    }
    // A database file with the template's code tables, each cut down to the
    // rows Keep selects, or without the table Drop.
    std::string SourceFile(const std::string& Keep, const std::string& Drop = {}) {
        const std::string file = World.Program.Path() + "import/codes.mdb";
        fs::create_directories(fs::path(file).parent_path());
        fs::remove(file);
        fs::copy_file(World.Program.Path() + "maindata.mdb", file);
        TADOConnection connection(nullptr);
        connection.SetConnectionString(DatabaseConnectionString(file));
        connection.Open();
        connection.Execute("delete from JHLB where " + Keep);
        connection.Execute("delete from ZGBM where " + Keep);
        connection.Execute("delete from XZQHDM where " + Keep);
        connection.Execute("delete from JSLY where " + Keep);
        connection.Execute("delete from XKLY where " + Keep);
        if (!Drop.empty()) connection.Execute("drop table " + Drop);
        return file;
    }
    std::vector<std::string> Counts() {
        std::vector<std::string> counts;
        for (const std::string& table : Tables)
            counts.push_back(World.Column("select count(*) from " + table).front());
        return counts;
    }
    void Import(TfrmCode& window, const std::string& file) {
        window.edt_filename->SetText(file);
        window.SpeedButton2Click(window.SpeedButton2);
    }
};

} // namespace

TEST_F(CodeTest, ImportReplacesAllFiveTables) {
    auto window = NewWindow();
    EXPECT_EQ(window->PageControl1->ActivePageIndex(), 0);
    EXPECT_TRUE(window->Queries[0]->Active());
    const std::string file = SourceFile("rowid > 1"); // one row left in each
    Import(*window, file);
    EXPECT_EQ(World.Dialogs.Boxes().back().Text, "数据导入成功!");
    EXPECT_EQ(Counts(), std::vector<std::string>(5, "1"));
    EXPECT_EQ(window->Queries[0]->RecordCount(), 1); // the open tab was requeried
    window->PageControl1->SetActivePageIndex(2);     // another tab shows the new rows when visited
    EXPECT_EQ(window->Queries[2]->RecordCount(), 1);
}

TEST_F(CodeTest, ASourceWithoutOneTableChangesNothing) {
    auto window = NewWindow();
    const auto before = Counts();
    for (const std::string& missing : Tables) {
        SCOPED_TRACE(missing);
        Import(*window, SourceFile("1=1", missing)); // the others would be emptied
        EXPECT_EQ(World.Dialogs.Boxes().back().Text, "导入失败\r请尝试再次导入");
        EXPECT_EQ(World.Dialogs.Boxes().back().Flags, MB_OK | MB_ICONERROR);
        EXPECT_EQ(Counts(), before);
    }
}

// A code file is checked whole against the user's own code tables: each
// of these is refused and leaves the user's database as it was.
TEST_F(CodeTest, AHostileCodeFileIsRefusedAndChangesNothing) {
    const struct {
        const char* What;
        std::string Sql;
    } cases[] = {
        {"a table replaced by a recursive view",
         "drop table XZQHDM; create view XZQHDM as with recursive n(xzqhid) as (select 1 union all select xzqhid + 1 "
         "from n where xzqhid < 200000) select xzqhid, null as pxzqhid, xzqhid as DQDM, 'x' as DQMC from n"},
        {"a name past its length", "update XZQHDM set DQMC = printf('%.*c', 61, 'a')"},
        {"a code that is no number", "update XZQHDM set DQDM = 'abc'"},
        {"a name as a BLOB", "update JSLY set JSLYMC = x'00ff'"},
        {"more rows than a code table holds",
         "with recursive n(i) as (select 1 union all select i + 1 from n where i <= 100000) "
         "insert into XKLY (XKLYDM, XKLYMC) select 'K' || i, 'x' from n"},
    };
    auto window = NewWindow();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string file = SourceFile("0");
        RunSql(file, c.Sql);
        const TInstallationSnapshot before(World.Program.Path());
        Import(*window, file);
        EXPECT_EQ(World.Dialogs.Boxes().back().Text, "导入失败\r请尝试再次导入");
        const TInstallationSnapshot after(World.Program.Path());
        EXPECT_TRUE(after == before) << after.ChangesSince(before);
    }
    const std::string notADatabase = World.Program.Path() + "import/text.mdb";
    WriteFileContents(notADatabase, "no database here");
    Import(*window, notADatabase);
    EXPECT_EQ(World.Dialogs.Boxes().back().Text, "导入失败\r请尝试再次导入");
}

TEST_F(CodeTest, ImportFromTheUsersOwnFileKeepsTheRows) {
    auto window = NewWindow();
    const auto before = Counts();
    EXPECT_TRUE(window->ImportCodeTables(World.UserFolder + "maindata.mdb"));
    EXPECT_EQ(Counts(), before);
}

TEST_F(CodeTest, ImportNeedsAnExistingFile) {
    auto window = NewWindow();
    Import(*window, "  ");
    EXPECT_TRUE(World.Dialogs.Boxes().empty());
    Import(*window, World.Program.Path() + "nothing.mdb");
    ASSERT_EQ(World.Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(World.Dialogs.Boxes()[0].Text, "文件I/O错误，请确认存在该文件！");
}

TEST_F(CodeTest, BrowsePutsTheChosenFileIntoTheEdit) {
    auto window = NewWindow();
    World.Dialogs.Files = {"/data/codes.mdb"};
    window->SpeedButton1Click(window->SpeedButton1);
    ASSERT_EQ(World.Dialogs.Count(TDialogKind::OpenFile), 1);
    EXPECT_EQ(World.Dialogs.Requests.back().Filter, "数据库文件|*.mdb");
    EXPECT_EQ(window->edt_filename->Text(), "/data/codes.mdb");
    EXPECT_FALSE(frmMessage->Visible());
}

TEST_F(CodeTest, TheWindowsEditAndButtonsAreHookedFlatButNotItsGrids) {
    auto window = NewWindow();
    EXPECT_TRUE(window->FlatPainter1->Active());
    for (TControl* control : std::initializer_list<TControl*>{window->edt_filename, window->SpeedButton1,
                                                              window->SpeedButton2, window->BtnReturn})
        EXPECT_TRUE(TControlSubClass::Hooked(control)) << control->Name();
    EXPECT_FALSE(TControlSubClass::Hooked(window->dbgmain));
}
