// The project application's attachment actions: files imported under the
// id, opened through the chooser, exported flat without the task book and
// the transfer files, and deleted while the task book and folder stay.
#include "tests/documents/StoredRequestWorld.h"

#include "app/Attachment.h"
#include "app/SysPublic.h"
#include "tests/app/WhenModal.h"
#include "tests/support/InstallationSnapshot.h"
#include "tests/support/UndeletableFile.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

class RequestAttachmentsTest : public ::testing::Test, public StoredRequestWorld {
protected:
    // The file names of the application folder and its sub-folders, sorted.
    std::vector<std::string> FolderFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(Folder))
            if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RequestAttachmentsTest, ImportCopiesSeveralFilesUnderTheIdAndReplacesOneOfTheSameName) {
    Put("2026120001@a.txt", "old");
    Dialogs.Files = {Source("a.txt", "new"), Source("图纸.dwg")};
    Form->ActionInAttachmentExecute(nullptr);
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"2026120001@a.txt", "2026120001@图纸.dwg"}));
    EXPECT_EQ(ReadFileContents(Folder + "/2026120001@a.txt"), "new");
    EXPECT_EQ(LastBox(), WindowBox("导入附件成功", MB_ICONINFORMATION));
    EXPECT_TRUE(Dialogs.Requests.front().MultiSelect);
}

// A picked file that does not arrive: the user is told, and no other picked
// file came in either.
TEST_F(RequestAttachmentsTest, AnImportThatFailsIsToldAndChangesNothing) {
    Put("2026120001@a.txt", "old");
    const TInstallationSnapshot before(Program.Path());
    Dialogs.Files = {Source("a.txt", "new"), Sources / "gone.doc"};
    Form->ActionInAttachmentExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("文件I/O错误", MB_ICONERROR));
    const TInstallationSnapshot after(Program.Path());
    EXPECT_TRUE(after == before) << after.ChangesSince(before);
}

// The id and "@" before a name that the file system just holds make one it
// does not: the attachment comes in shortened, its extension kept.
TEST_F(RequestAttachmentsTest, AnAttachmentNameTooLongForTheFileSystemComesInShortened) {
    std::string name;
    for (int i = 0; i < 81; ++i)
        name += "报";
    Dialogs.Files = {Source(name + ".pdf", "pdf")};
    Form->ActionInAttachmentExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("导入附件成功", MB_ICONINFORMATION));
    const auto names = FolderFiles();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].rfind("2026120001@报报", 0), 0u);
    EXPECT_EQ(names[0].substr(names[0].size() - 4), ".pdf");
    EXPECT_EQ(ReadFileContents(Folder + "/" + names[0]), "pdf");
}

TEST_F(RequestAttachmentsTest, OpenOffersOnlyAttachmentsAndOpensThePickedOne) {
    Put("2026120001@科技项目设计书.doc");
    Put("iodata.mdb");
    Form->ActionOpenAttachmentExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("该记录没有附件", MB_ICONERROR));
    EXPECT_FALSE(SysPublic::HasAttachmentFiles(Folder, Id));

    Put("sub/2026120001@b.txt");
    std::vector<std::string> labels;
    WhenModal pick(ShowsModally(frmAttachment), [&] {
        for (int i = 0; i < frmAttachment->CodeComboBox1->Items()->Count(); ++i)
            labels.push_back(frmAttachment->CodeComboBox1->Items()->Get(i));
        frmAttachment->btnOk->Click();
    });
    Form->ActionOpenAttachmentExecute(nullptr);
    EXPECT_EQ(labels, std::vector<std::string>{"2026120001@b.txt"});
    EXPECT_EQ(Shell.Launched, std::vector<std::string>{Folder + "/sub/2026120001@b.txt"});
}

TEST_F(RequestAttachmentsTest, ExportPacksTheAttachmentsFlatWithoutTaskBookOrTransferFiles) {
    Put("2026120001@科技项目设计书.doc");
    Put("iodata.ldb");
    Put("2026120001@a.txt");
    Put("sub/2026120001@b.txt");
    const std::string archive = Sources / "附件.zip";
    WriteFileContents(archive, "old");
    Dialogs.Files = {archive};
    Dialogs.Answers = {IDOK, IDNO};
    Form->ActionOutAttachmentExecute(nullptr);
    EXPECT_EQ(Dialogs.Requests.front().FileName, "科技项目附件.zip");
    EXPECT_EQ(ReadFileContents(archive), "old");
    EXPECT_EQ(LastBox(), WindowBox("是否覆盖本地同名文件", MB_ICONINFORMATION));

    Dialogs.Answers = {IDOK, IDYES};
    Form->ActionOutAttachmentExecute(nullptr);
    EXPECT_EQ(ArchiveEntries(archive), (std::vector<std::string>{"2026120001@a.txt", "2026120001@b.txt"}));
    EXPECT_EQ(LastBox(), WindowBox("导出附件成功", MB_ICONINFORMATION));
}

TEST_F(RequestAttachmentsTest, AnArchiveThatCannotBeReplacedIsToldAndKept) {
    Put("2026120001@a.txt");
    const std::string archive = Sources / "附件.zip";
    WriteFileContents(archive, "old");
    const TUndeletableFile held(archive);
    if (!held.Held()) GTEST_SKIP() << "this file system keeps no file from deletion";
    Dialogs.Files = {archive};
    Dialogs.Answers = {IDOK, IDYES};
    Form->ActionOutAttachmentExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("文件I/O错误", MB_ICONERROR));
    EXPECT_EQ(ReadFileContents(archive), "old");
}

TEST_F(RequestAttachmentsTest, DeleteRemovesOnlyAttachmentsWithoutAsking) {
    Put("2026120001@科技项目设计书.doc");
    Put("iodata.mdb");
    Put("2026120001@a.txt");
    Put("sub/2026120001@b.txt");
    Exec("update KJJHSB set RWSWJM='2026120001@科技项目设计书.doc'");
    Form->ActionDeleteAttachmentExecute(nullptr);
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"2026120001@科技项目设计书.doc", "iodata.mdb"}));
    EXPECT_EQ(Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(LastBox(), WindowBox("删除附件成功", MB_ICONINFORMATION));
    EXPECT_EQ(Stored("RWSWJM"), "2026120001@科技项目设计书.doc");
}

TEST_F(RequestAttachmentsTest, AnAttachmentThatCannotBeDeletedIsTold) {
    Put("2026120001@a.txt");
    Put("2026120001@b.txt");
    const TUndeletableFile held(Folder + "/2026120001@a.txt");
    if (!held.Held()) GTEST_SKIP() << "this file system keeps no file from deletion";
    Form->ActionDeleteAttachmentExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("文件I/O错误", MB_ICONERROR));
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{"2026120001@a.txt"});
}

TEST_F(RequestAttachmentsTest, WithoutARowNothingTouchesTheUsersOwnFolder) {
    Exec("delete from KJJHSB");
    Requery();
    Dialogs.Files = {Source("a.txt")};
    for (auto action : {&TfrmRequest::ActionDeleteAttachmentExecute, &TfrmRequest::ActionInAttachmentExecute,
                        &TfrmRequest::ActionOutAttachmentExecute, &TfrmRequest::ActionOpenAttachmentExecute,
                        &TfrmRequest::ActionInTaskExecute, &TfrmRequest::ActionDeleteTaskExecute})
        (Form->*action)(nullptr);
    EXPECT_TRUE(Dialogs.Requests.empty());
    EXPECT_TRUE(fs::exists(UserFolder + "maindata.mdb"));
    EXPECT_EQ(std::distance(fs::directory_iterator(UserFolder), fs::directory_iterator()), 2);
}

} // namespace
