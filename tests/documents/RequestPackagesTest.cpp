// Packages of project applications: exported from one user and imported by
// another (ids kept) and by the same (new ids, files and task book renamed),
// the export's refusals, and packages the import refuses whole.
#include "tests/documents/StoredRequestWorld.h"

#include "app/Progress.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/MessageBoxCodes.h"
#include "tests/app/BuiltProgramFolder.h"
#include "tests/support/HandMadeZip.h"
#include "tests/support/InstallationSnapshot.h"
#include "tests/support/SqliteFile.h"
#include "tests/support/UndeletableFile.h"
#include "zip/ZipWriter.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

const std::string TaskBookName = "2026120001@科技项目设计书.doc";

// A package built byte by byte: the transfer file of the template changed
// by Sql, and the entries.
std::string PackageOf(const std::string& Sql, const std::vector<THandMadeEntry>& Entries) {
    return HandMadePackage(BuiltProgramFolder() + "iodata.mdb", Sql, Entries);
}

class RequestPackagesTest : public ::testing::Test, public StoredRequestWorld {
protected:
    RequestPackagesTest() {
        CreateFormInstance(frmProgress, nullptr);
        Exec("update KJJHSB set XMMC=?, RWSWJM=?", {std::string("张's 项目"), TaskBookName});
        Put(TaskBookName, "task book");
        Put("2026120001@图纸.dwg", "drawing");
        // Strays of an earlier transfer never travel.
        Put("iodata.mdb");
        Put("iodata.ldb");
        Refresh();
    }
    ~RequestPackagesTest() override {
        delete frmProgress;
        frmProgress = nullptr;
    }

    // Exports every row into Package, answering yes.
    void ExportAll(const std::string& Package) {
        Dialogs.Answers = {IDYES, IDOK};
        Dialogs.Files = {Package};
        Form->ActionOutAllProject->Execute();
        Dialogs.Files.clear();
        Dialogs.Answers.clear();
    }
    void Import(const std::string& Package) {
        Dialogs.Files = {Package};
        Form->ActionInProject->Execute();
        Dialogs.Files.clear();
    }
    // The window reopened for another registered user of the program folder.
    void SwitchUser(const std::string& Code) {
        delete frmRequest;
        const std::string folder = Program.Path() + "user/" + Code + "/";
        fs::create_directories(folder);
        fs::copy_file(Program.Path() + "maindata.mdb", folder + "maindata.mdb");
        frmMain->adocon->Close();
        frmMain->UserCode = Code;
        frmMain->UserDbPath = folder + "maindata.mdb";
        frmMain->adocon->SetConnectionString(DatabaseConnectionString(frmMain->UserDbPath));
        frmMain->adocon->Open();
        Exec("insert into pass(username,passone) values(?,'secret')", {Code});
        frmMain->ActionRequest->Execute();
        ProcessMessages();
        Form = frmRequest;
        UserFolder = folder;
    }
    std::vector<std::string> FilesOf(const std::string& Id) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(UserFolder + Id))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // A package of the rows Ids (each named 手工) and the named files.
    std::string PackageOfRows(const std::vector<std::string>& Ids, const std::vector<std::string>& Files) {
        std::string sql;
        for (const std::string& id : Ids)
            sql += "insert into KJJHSB(KJJHSBID, XMMC) values(" + id + ", '手工');";
        std::vector<THandMadeEntry> entries;
        for (const std::string& name : Files)
            entries.push_back({name});
        WriteFileContents(Sources / "hand.zip", PackageOf(sql, entries));
        return Sources / "hand.zip";
    }
};

TEST_F(RequestPackagesTest, APackageTravelsToAnotherUserAndBackUnderNewIds) {
    const std::string package = Sources / "all.zip";
    ExportAll(package);
    EXPECT_EQ(Dialogs.Boxes().back().Text, "数据导出成功");
    EXPECT_EQ(ArchiveEntries(package), (std::vector<std::string>{"2026120001@图纸.dwg", TaskBookName, "iodata.mdb"}));
    EXPECT_FALSE(frmProgress->Visible());

    SwitchUser("u002");
    const size_t before = Dialogs.Boxes().size();
    Import(package);
    EXPECT_EQ(BoxesSince(before), std::vector<std::string>{"项目导入成功，共导入 1 个项目"});
    EXPECT_EQ(Stored("XMMC"), "张's 项目");
    EXPECT_EQ(Stored("RWSWJM"), TaskBookName);
    EXPECT_EQ(FilesOf(Id), (std::vector<std::string>{"2026120001@图纸.dwg", TaskBookName}));
    EXPECT_EQ(Form->qry_main->RecordCount(), 1);

    // The same package again: its id is taken, so it comes in under a new
    // one, and the user is told.
    Import(package);
    EXPECT_EQ(Dialogs.Boxes().back().Text,
              "项目导入成功，共导入 1 个项目\r其中 1 个项目的编号已被使用，已改用新编号导入");
    const auto ids = Column("select KJJHSBID from KJJHSB where KJJHSBID<>2026120001");
    ASSERT_EQ(ids.size(), 1u);
    const std::string fresh = ids[0];
    EXPECT_EQ(fresh.size(), 10u);
    EXPECT_EQ(Stored("RWSWJM", fresh), fresh + "@科技项目设计书.doc");
    EXPECT_EQ(Stored("XMMC", fresh), "张's 项目");
    EXPECT_EQ(FilesOf(fresh), (std::vector<std::string>{fresh + "@图纸.dwg", fresh + "@科技项目设计书.doc"}));
    EXPECT_EQ(Form->qry_main->RecordCount(), 2);
    EXPECT_FALSE(frmProgress->Visible());
}

TEST_F(RequestPackagesTest, TheExportRefusesAnIncompleteRowOrOneWithoutItsTaskBook) {
    struct TCase {
        const char* What;
        std::function<void()> Arrange;
        std::string Message;
        const char* TaskBookAfter;
    };
    const TCase cases[] = {
        {"an empty required column", [this] { Exec("update KJJHSB set LXRDH=''"); },
         "项目\"张's 项目\"\r位于项目序号第 1 号导出数据检测不完整，请保证信息全部填写并保存", TaskBookName.c_str()},
        {"a task book deleted by hand", [this] { fs::remove(TaskBook); }, "项目”张's 项目“没有任务书，无法导出", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        c.Arrange();
        ExportAll(Sources / "refused.zip");
        EXPECT_EQ(Dialogs.Boxes().back().Text, c.Message);
        EXPECT_FALSE(fs::exists(Sources / "refused.zip"));
        EXPECT_EQ(Stored("RWSWJM"), c.TaskBookAfter);
        EXPECT_FALSE(frmProgress->Visible());
        Exec("update KJJHSB set LXRDH='01087654321'");
    }
}

TEST_F(RequestPackagesTest, APackageThatCannotBeReplacedIsToldAndKept) {
    const std::string package = Sources / "all.zip";
    WriteFileContents(package, "old");
    const TUndeletableFile held(package);
    if (!held.Held()) GTEST_SKIP() << "this file system keeps no file from deletion";
    Dialogs.Answers = {IDYES, IDOK, IDYES};
    Dialogs.Files = {package};
    Form->ActionOutAllProject->Execute();
    EXPECT_EQ(BoxesSince(0),
              (std::vector<std::string>{"确定全部导出所有数据吗？", "有文件存在，是否覆盖？", "文件I/O错误"}));
    EXPECT_EQ(ReadFileContents(package), "old");
    EXPECT_FALSE(frmProgress->Visible());
}

TEST_F(RequestPackagesTest, TheSelectedRowsAreExportedUnderTheOneRowsName) {
    // A selection as large as the list would be named for the whole list.
    Insert("2026120002", "未选的项目");
    Refresh();
    Form->cvDBGrid1->SetFocus();
    ProcessMessages();
    uitest::Type(Form->cvDBGrid1, VK_SPACE, " ", MK_CONTROL);
    ASSERT_EQ(Form->cvDBGrid1->SelectedCount(), 1);
    Dialogs.Files = {Sources / "one"};
    Form->ActionOutProject->Execute();
    std::string proposed;
    for (const TDialogRequest& request : Dialogs.Requests)
        if (request.Kind == TDialogKind::SaveFile) proposed = request.FileName;
    EXPECT_EQ(proposed, "张's 项目.ZIP");
    EXPECT_TRUE(fs::exists(Sources / "one.ZIP"));
}

TEST_F(RequestPackagesTest, ANewIdNeverTakesTheIdOfAnotherRowOfThePackage) {
    // The month holds every id but the package's second and one more, so
    // the lowest free id for the taken first one is the second's.
    const std::string month = FormatDateTime("yyyymm", Now());
    Exec("with recursive n(i) as (select 0 union all select i + 1 from n where i < 9999) "
         "insert or ignore into KJJHSB(KJJHSBID) select ? * 10000 + i from n where i not in (2, 3)",
         {StrToInt64(month)});
    const std::string first = month + "0001", second = month + "0002";
    Import(PackageOfRows({first, second},
                         {first + "@科技项目设计书.doc", second + "@科技项目设计书.doc", second + "@附件.txt"}));
    EXPECT_EQ(Stored("XMMC", second), "手工");
    EXPECT_EQ(Stored("XMMC", month + "0003"), "手工");
    EXPECT_EQ(Stored("RWSWJM", month + "0003"), month + "0003@科技项目设计书.doc");
    EXPECT_EQ(FilesOf(second), (std::vector<std::string>{second + "@科技项目设计书.doc", second + "@附件.txt"}));
    EXPECT_EQ(FilesOf(month + "0003"), std::vector<std::string>{month + "0003@科技项目设计书.doc"});
}

const std::string OneRow = "insert into KJJHSB(KJJHSBID, XMMC) values(2026110001, '手工')";
const THandMadeEntry OneTaskBook{"2026110001@科技项目设计书.doc"};

// Every way a package can be broken or hostile: each is refused with the
// message that names its cause, and nothing of the user's folder and
// databases changes.
TEST_F(RequestPackagesTest, AHostilePackageIsRefusedWithItsCauseAndChangesNothing) {
    const std::string wrongId = "导入项目的编号不正确，请更换项目文件";
    const std::string wrongStructure = "导入项目的数据库结构不正确,请更换项目文件";
    const std::string damaged = "导入压缩包失败，请尝试重新导入";
    const std::string broken = "压缩文件损坏,无法导入";
    const std::string valid = PackageOf(OneRow, {OneTaskBook});
    std::string flipped = valid;
    // A byte of the transfer file, the first entry, behind its local header.
    flipped[30 + std::string("iodata.mdb").size() + 100] ^= 0x20;
    const auto row = [](const std::string& Id) { return "insert into KJJHSB(KJJHSBID) values(" + Id + ")"; };
    const struct {
        const char* What;
        std::string Package;
        std::string Message;
    } cases[] = {
        {"a NULL id", PackageOf(row("null"), {OneTaskBook}), wrongId},
        {"the id 0", PackageOf(row("0"), {{"0@科技项目设计书.doc"}}), wrongId},
        {"a negative id", PackageOf(row("-5"), {{"-5@科技项目设计书.doc"}}), wrongId},
        {"a short id", PackageOf(row("12345"), {{"12345@科技项目设计书.doc"}}), wrongId},
        {"an empty id", PackageOf(row("''"), {{"@科技项目设计书.doc"}}),
         "导入项目中 KJJHSB 表的 KJJHSBID 字段不正确，请更换项目文件"},
        {"the id ..", PackageOf(row("'..'"), {{"..@科技项目设计书.doc"}}),
         "导入项目中 KJJHSB 表的 KJJHSBID 字段不正确，请更换项目文件"},
        {"the id temp", PackageOf(row("'temp'"), {{"temp@科技项目设计书.doc"}}),
         "导入项目中 KJJHSB 表的 KJJHSBID 字段不正确，请更换项目文件"},
        {"a very long id", PackageOf(row("20261100012026110001"), {OneTaskBook}),
         "导入项目中 KJJHSB 表的 KJJHSBID 字段不正确，请更换项目文件"},
        {"an id as a BLOB", PackageOf(row("x'32303236313130303031'"), {OneTaskBook}),
         "导入项目中 KJJHSB 表的 KJJHSBID 字段不正确，请更换项目文件"},
        {"one id twice", PackageOf(OneRow + ";" + OneRow, {OneTaskBook}), broken},
        {"a row without its task book", PackageOf(OneRow, {{"2026110001@图纸.dwg"}}), broken},
        {"a file of no row", PackageOf(OneRow, {OneTaskBook, {"2026110009@图纸.dwg"}}), broken},
        {"a name with ../", PackageOf(OneRow, {OneTaskBook, {"../2026110001@x.txt"}}), damaged},
        {"an absolute name", PackageOf(OneRow, {OneTaskBook, {"/tmp/2026110001@x.txt"}}), damaged},
        {"a name of no GBK", PackageOf(OneRow, {OneTaskBook, {"2026110001@\x81\x20.txt"}}), damaged},
        {"a flagged name of no UTF-8", PackageOf(OneRow, {OneTaskBook, {"2026110001@\xE6\x8A.txt", "x", true}}),
         damaged},
        {"two entries of one name", PackageOf(OneRow, {OneTaskBook, OneTaskBook}), damaged},
        {"a truncated zip", valid.substr(0, valid.size() / 2), damaged},
        {"a flipped bit", flipped, damaged},
        {"a zip bomb",
         PackageOf(OneRow,
                   {OneTaskBook, {"2026110001@zero.dat", std::string(1 << 20, '\0'), false, true, uint64_t(1) << 30}}),
         "压缩包解压后过大或文件过多，无法导入"},
        {"a member larger than it says",
         PackageOf(OneRow, {OneTaskBook, {"2026110001@zero.dat", std::string(1 << 20, '\0'), false, true, 1000}}),
         damaged},
        {"a transfer file that is no database",
         HandMadePackage({}, {}, {{"iodata.mdb", "not a database"}, OneTaskBook}),
         "连接导入数据库失败，该操作终止，请尝试再次导入"},
        {"no table", PackageOf("drop table KJJHSB", {OneTaskBook}), wrongStructure},
        {"a missing column", PackageOf(OneRow + "; alter table KJJHSB drop column XMMC", {OneTaskBook}),
         wrongStructure},
        {"a recursive view",
         PackageOf("drop table KJJHSB; create view KJJHSB as with recursive n(KJJHSBID) as (select 2026110001 "
                   "union all select KJJHSBID from n) select * from n",
                   {OneTaskBook}),
         wrongStructure},
        {"a computed column",
         PackageOf(OneRow + "; alter table KJJHSB add column EXTRA as (zeroblob(1000000000))", {OneTaskBook}),
         wrongStructure},
        {"a title as a BLOB", PackageOf(OneRow + "; update KJJHSB set XMMC = x'00ff'", {OneTaskBook}),
         "导入项目中 KJJHSB 表的 XMMC 字段不正确，请更换项目文件"},
        {"a title past its length",
         PackageOf(OneRow + "; update KJJHSB set XMMC = printf('%.*c', 121, 'a')", {OneTaskBook}),
         "导入项目中 KJJHSB 表的 XMMC 字段不正确，请更换项目文件"},
        {"a title past its length in GBK bytes",
         PackageOf(OneRow + "; update KJJHSB set XMMC = replace(printf('%.*c', 61, 'a'), 'a', '项')", {OneTaskBook}),
         "导入项目中 KJJHSB 表的 XMMC 字段不正确，请更换项目文件"},
        {"an amount as text", PackageOf(OneRow + "; update KJJHSB set XMZTZ = 'abc'", {OneTaskBook}),
         "导入项目中 KJJHSB 表的 XMZTZ 字段不正确，请更换项目文件"},
        {"more rows than a package holds",
         PackageOf("with recursive n(i) as (select 1 union all select i + 1 from n where i <= 100000) "
                   "insert into KJJHSB(KJJHSBID) select 2000000000 + i from n",
                   {OneTaskBook}),
         "导入项目的记录过多，无法导入"},
        {"an empty package", HandMadeZip({}), "压缩包中没有项目申报书，未导入任何数据"},
        {"a package of documents", HandMadePackage({}, {}, {{"iovoltrane.mdb"}}),
         "压缩包中没有项目申报书，未导入任何数据"},
        {"no application", PackageOf("select 1", {}), "压缩包中没有项目申报书，未导入任何数据"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string package = Sources / "hostile.zip";
        WriteFileContents(package, c.Package);
        const TInstallationSnapshot before(Program.Path());
        Import(package);
        EXPECT_EQ(Dialogs.Boxes().back().Text, c.Message);
        EXPECT_EQ(Dialogs.Boxes().back().Flags & MB_ICONMASK, MB_ICONERROR);
        const TInstallationSnapshot after(Program.Path());
        EXPECT_TRUE(after == before) << after.ChangesSince(before);
        EXPECT_FALSE(frmProgress->Visible());
    }
}

// Ubuntu and Windows allow 255 characters in a name, this system 255 bytes:
// a long Chinese name comes in shortened, its extension kept.
TEST_F(RequestPackagesTest, AnAttachmentNameTooLongForTheFileSystemComesInShortened) {
    std::string longName;
    for (int i = 0; i < 100; ++i)
        longName += "报";
    WriteFileContents(Sources / "long.zip",
                      PackageOf(OneRow, {OneTaskBook, {"2026110001@" + longName + ".pdf", "pdf"}}));
    Import(Sources / "long.zip");
    const auto names = FilesOf("2026110001");
    ASSERT_EQ(names.size(), 2u);
    const std::string& shortened = names[0] == OneTaskBook.Name ? names[1] : names[0];
    EXPECT_EQ(shortened.rfind("2026110001@报报", 0), 0u);
    EXPECT_EQ(shortened.substr(shortened.size() - 4), ".pdf");
    EXPECT_LE(shortened.size(), 255u);
    EXPECT_EQ(ReadFileContents(UserFolder + "2026110001/" + shortened), "pdf");
}

} // namespace
