// Packages of project applications: exported from one user and imported by
// another (ids kept) and by the same (new ids, files and task book renamed),
// the export's refusals, and packages the import refuses whole.
#include "tests/documents/StoredRequestWorld.h"

#include "app/Progress.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/MessageBoxCodes.h"
#include "zip/ZipWriter.h"

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string TaskBookName = "2026120001@科技项目设计书.doc";

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
    // A package built by hand: a transfer file holding Ids and the named files.
    std::string HandMadePackage(const std::vector<std::string>& Ids, const std::vector<std::string>& Files) {
        const std::string work = Sources / "hand";
        fs::create_directories(work);
        fs::copy_file(Program.Path() + "iodata.mdb", work + "/iodata.mdb", fs::copy_options::overwrite_existing);
        {
            TADOConnection transfer(nullptr);
            transfer.SetConnectionString(DatabaseConnectionString(work + "/iodata.mdb"));
            transfer.Open();
            for (const std::string& id : Ids)
                transfer.Execute("insert into KJJHSB(KJJHSBID, XMMC) values(" + id + ", '手工')");
        }
        zip::TZipWriter writer(nullptr);
        writer.SetZipName(Sources / "hand.zip");
        writer.FilesList()->Add(work + "/iodata.mdb");
        for (const std::string& name : Files) {
            WriteFileContents(work + "/" + name, "x");
            writer.FilesList()->Add(work + "/" + name);
        }
        writer.Zip();
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
    EXPECT_EQ(BoxesSince(before), std::vector<std::string>{});
    EXPECT_EQ(Stored("XMMC"), "张's 项目");
    EXPECT_EQ(Stored("RWSWJM"), TaskBookName);
    EXPECT_EQ(FilesOf(Id), (std::vector<std::string>{"2026120001@图纸.dwg", TaskBookName}));
    EXPECT_EQ(Form->qry_main->RecordCount(), 1);

    // The same package again: its id is taken, so it comes in under a new one.
    Import(package);
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
    Import(HandMadePackage({first, second},
                           {first + "@科技项目设计书.doc", second + "@科技项目设计书.doc", second + "@附件.txt"}));
    EXPECT_EQ(Stored("XMMC", second), "手工");
    EXPECT_EQ(Stored("XMMC", month + "0003"), "手工");
    EXPECT_EQ(Stored("RWSWJM", month + "0003"), month + "0003@科技项目设计书.doc");
    EXPECT_EQ(FilesOf(second), (std::vector<std::string>{second + "@科技项目设计书.doc", second + "@附件.txt"}));
    EXPECT_EQ(FilesOf(month + "0003"), std::vector<std::string>{month + "0003@科技项目设计书.doc"});
}

TEST_F(RequestPackagesTest, ABrokenPackageIsRefusedWholeAndStoresNothing) {
    struct TCase {
        const char* What;
        std::vector<std::string> Ids;
        std::vector<std::string> Files;
        bool CorruptEntry;
        const char* Message;
    };
    const TCase cases[] = {
        {"a row without its task book",
         {"2026110001", "2026110002"},
         {"2026110001@科技项目设计书.DOC"},
         false,
         "压缩文件损坏,无法导入"},
        {"one id twice",
         {"2026110001", "2026110001"},
         {"2026110001@科技项目设计书.doc"},
         false,
         "压缩文件损坏,无法导入"},
        {"an entry that does not extract",
         {"2026110001"},
         {"2026110001@科技项目设计书.doc"},
         true,
         "导入压缩包失败，请尝试重新导入"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string package = HandMadePackage(c.Ids, c.Files);
        if (c.CorruptEntry) {
            // The first entry's data starts after its local header; a flipped
            // byte there breaks its check sum.
            std::fstream file(package, std::ios::in | std::ios::out | std::ios::binary);
            char header[30];
            file.read(header, 30);
            const int skip =
                (header[26] & 0xFF) + ((header[27] & 0xFF) << 8) + (header[28] & 0xFF) + ((header[29] & 0xFF) << 8);
            file.seekg(30 + skip + 10);
            char byte = 0;
            file.read(&byte, 1);
            file.seekp(30 + skip + 10);
            byte = char(~byte);
            file.write(&byte, 1);
        }
        Import(package);
        EXPECT_EQ(Dialogs.Boxes().back().Text, c.Message);
        EXPECT_EQ(Dialogs.Boxes().back().Flags & MB_ICONMASK, MB_ICONERROR);
        EXPECT_EQ(Column("select count(*) from KJJHSB"), std::vector<std::string>{"1"});
        EXPECT_FALSE(fs::exists(UserFolder + "2026110001"));
        EXPECT_FALSE(frmProgress->Visible());
    }
}

} // namespace
