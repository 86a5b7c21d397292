// The shared attachment routines and the chooser: files copied under the
// key's name, picked and opened, packed flat into a zip, deleted with their
// folder, and the rule that tells attachments from a task book.
#include "app/Attachment.h"
#include "app/SysPublic.h"

#include "platform/ui/MessageBoxCodes.h"
#include "tests/app/WhenModal.h"
#include "tests/platform/office/WordTestSupport.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/support/UndeletableFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The entry names of an archive as Info-ZIP lists them, sorted.
std::vector<std::string> ArchiveEntries(const std::string& Archive) {
    std::vector<std::string> names;
    FILE* pipe = popen(("unzip -Z1 '" + Archive + "'").c_str(), "r");
    char line[512];
    while (pipe && fgets(line, sizeof line, pipe)) {
        std::string name = line;
        name.erase(name.find_last_not_of("\r\n") + 1);
        names.push_back(name);
    }
    if (pipe) pclose(pipe);
    std::sort(names.begin(), names.end());
    return names;
}

class AttachmentTest : public ::testing::Test {
protected:
    TScratchFolder Base;
    TScratchFolder Sources;
    uitest::DialogRecorder Dialogs;
    LaunchRecorder Shell;
    std::string Folder = Base / "7";

    std::string Source(const std::string& Name, const std::string& Text = "x") const {
        WriteFileContents(Sources / Name, Text);
        return Sources / Name;
    }
    void Put(const std::string& Name) const { WriteFileContents(Folder + "/" + Name, Name); }
    // The text and icon of the last box.
    std::pair<std::string, UINT> LastBox() const {
        const auto boxes = Dialogs.Boxes();
        if (boxes.empty()) return {"<no box>", 0};
        return {boxes.back().Text, boxes.back().Flags & MB_ICONMASK};
    }
};

TEST_F(AttachmentTest, ImportCopiesEachPickedFileUnderTheKeyAndReplacesAnEarlierOne) {
    Dialogs.Files = {Source("report.doc", "first"), Source("数据.xls")};
    SysPublic::ImportAttachment(Base.Path(), "7");
    EXPECT_EQ(ReadFileContents(Folder + "/7@report.doc"), "first");
    EXPECT_TRUE(fs::exists(Folder + "/7@数据.xls"));
    EXPECT_EQ(LastBox(), std::make_pair(std::string("导入附件成功"), UINT(MB_ICONINFORMATION)));
    EXPECT_TRUE(Dialogs.Requests.front().MultiSelect);
    EXPECT_EQ(Dialogs.Requests.front().Filter, "所有文件|*.*");

    Dialogs.Files = {Source("report.doc", "second")};
    SysPublic::ImportAttachment(Base.Path(), "7");
    EXPECT_EQ(ReadFileContents(Folder + "/7@report.doc"), "second");
}

// Nothing of the import arrives, the folder made for it included.
TEST_F(AttachmentTest, AFileThatCannotBeCopiedIsToldAsAFailureNotASuccess) {
    Dialogs.Files = {Source("report.doc"), Sources / "gone.doc"};
    SysPublic::ImportAttachment(Base.Path(), "7");
    EXPECT_EQ(LastBox(), std::make_pair(std::string("导入附件出错：\r\n文件I/O错误"), UINT(MB_ICONERROR)));
    EXPECT_EQ(Dialogs.Boxes().size(), 1u);
    EXPECT_TRUE(fs::is_empty(Base.Path()));
}

TEST_F(AttachmentTest, AFileThatCannotBeDeletedIsToldAsAFailureNotASuccess) {
    Put("7@a.txt");
    const TUndeletableFile held(Folder + "/7@a.txt");
    if (!held.Held()) GTEST_SKIP() << "this file system keeps no file from deletion";
    SysPublic::DeleteAttachments(Base.Path(), "7");
    EXPECT_EQ(LastBox(), std::make_pair(std::string("删除附件出错：\r\n文件I/O错误"), UINT(MB_ICONERROR)));
    EXPECT_TRUE(fs::exists(Folder + "/7@a.txt"));
}

TEST_F(AttachmentTest, AnEmptyKeyDoesNothing) {
    Put("7@a.txt");
    for (const auto& routine : {SysPublic::ImportAttachment, SysPublic::OpenAttachment, SysPublic::ExportAttachments,
                                SysPublic::DeleteAttachments})
        routine(Base.Path(), "");
    EXPECT_TRUE(Dialogs.Requests.empty());
    EXPECT_TRUE(fs::exists(Folder + "/7@a.txt"));
}

TEST_F(AttachmentTest, OpenShowsTheChooserAndOpensThePickedFile) {
    SysPublic::OpenAttachment(Base.Path(), "7");
    EXPECT_EQ(LastBox(), std::make_pair(std::string("该记录没有附件"), UINT(MB_ICONERROR)));
    EXPECT_TRUE(Shell.Launched.empty());

    Put("7@a.txt");
    Put("7@b.txt");
    std::vector<std::string> labels;
    WhenModal pick(ShowsModally(frmAttachment), [&] {
        for (int i = 0; i < frmAttachment->CodeComboBox1->Items()->Count(); ++i)
            labels.push_back(frmAttachment->CodeComboBox1->Items()->Get(i));
        frmAttachment->CodeComboBox1->SetItemIndex(1);
        frmAttachment->btnOk->Click();
    });
    SysPublic::OpenAttachment(Base.Path(), "7");
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(labels, (std::vector<std::string>{"7@a.txt", "7@b.txt"}));
    ASSERT_EQ(Shell.Launched.size(), 1u);
    EXPECT_EQ(fs::path(Shell.Launched[0]).parent_path(), fs::path(Folder));
    EXPECT_EQ(frmAttachment, nullptr);
}

TEST_F(AttachmentTest, TheChooserTakesTheKeyBeforeTheFirstCommaAndHasNoOkWithoutEntries) {
    struct TCase {
        std::vector<std::string> Entries;
        bool Ok;
        const char* Key;
    } const cases[] = {
        {{"/a/x,y.txt,x,y.txt"}, true, "/a/x"},
        {{}, false, ""},
    };
    for (const TCase& c : cases) {
        bool okEnabled = true;
        WhenModal press(ShowsModally(frmAttachment), [&] {
            okEnabled = frmAttachment->btnOk->Enabled();
            (okEnabled ? frmAttachment->btnOk : frmAttachment->btnCancel)->Click();
        });
        std::string chosen = "<none>";
        EXPECT_EQ(ChooseAttachment(c.Entries, chosen), c.Ok);
        EXPECT_EQ(okEnabled, c.Ok);
        if (c.Ok) {
            EXPECT_EQ(chosen, c.Key);
        }
    }
}

TEST_F(AttachmentTest, ExportPacksEveryFileFlatAndAsksBeforeReplacingAnArchive) {
    Put("7@a.txt");
    fs::create_directories(Folder + "/sub");
    Put("sub/7@b.txt");
    const std::string archive = Sources / "out.zip";
    WriteFileContents(archive, "old");
    Dialogs.Files = {archive};
    Dialogs.Answers = {IDOK, IDNO};
    SysPublic::ExportAttachments(Base.Path(), "7");
    EXPECT_EQ(ReadFileContents(archive), "old");
    EXPECT_EQ(Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(Dialogs.Requests.front().FileName, "项目附件.zip");

    Dialogs.Answers = {IDOK, IDYES};
    SysPublic::ExportAttachments(Base.Path(), "7");
    EXPECT_EQ(ArchiveEntries(archive), (std::vector<std::string>{"7@a.txt", "7@b.txt"}));
    EXPECT_EQ(LastBox(), std::make_pair(std::string("导出附件成功"), UINT(MB_ICONINFORMATION)));
}

TEST_F(AttachmentTest, AnArchiveThatCannotBeReplacedIsToldAndKept) {
    Put("7@a.txt");
    const std::string archive = Sources / "out.zip";
    WriteFileContents(archive, "old");
    const TUndeletableFile held(archive);
    if (!held.Held()) GTEST_SKIP() << "this file system keeps no file from deletion";
    Dialogs.Files = {archive};
    Dialogs.Answers = {IDOK, IDYES};
    SysPublic::ExportAttachments(Base.Path(), "7");
    EXPECT_EQ(LastBox(), std::make_pair(std::string("导出附件出错：\r\n文件I/O错误"), UINT(MB_ICONERROR)));
    EXPECT_EQ(ReadFileContents(archive), "old");
}

TEST_F(AttachmentTest, DeleteRemovesTheFolderAndSaysSoEvenWhenThereWasNone) {
    Put("7@a.txt");
    for (int round = 0; round < 2; ++round) {
        SysPublic::DeleteAttachments(Base.Path(), "7");
        EXPECT_FALSE(fs::exists(Folder));
        EXPECT_EQ(LastBox(), std::make_pair(std::string("删除附件成功"), UINT(MB_ICONINFORMATION)));
    }
}

TEST_F(AttachmentTest, TaskBookAndTransferFilesAreNoAttachments) {
    struct TCase {
        std::vector<std::string> Files;
        bool Has;
    } const cases[] = {
        {{}, false},
        {{"7@科技项目设计书.doc", "iodata.mdb", "iodata.ldb"}, false},
        {{"7@科技项目设计书.doc", "7@a.txt"}, true},
        // Names are compared exactly.
        {{"IODATA.mdb"}, true},
        {{"8@科技项目设计书.doc"}, true},
    };
    for (const TCase& c : cases) {
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        for (const std::string& file : c.Files)
            Put(file);
        EXPECT_EQ(SysPublic::HasAttachmentFiles(Folder, "7"), c.Has) << ::testing::PrintToString(c.Files);
    }
}

} // namespace
