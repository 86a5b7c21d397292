// The task book of a project application: imported into the application
// folder and named in RWSWJM, opened as the file itself in the word
// processor (refused while the word processor holds it), exported as a
// copy and deleted.
#include "tests/documents/StoredRequestWorld.h"

#include "app/Message.h"
#include "tests/support/InstallationSnapshot.h"
#include "tests/support/ScopedEnvironmentVariable.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

class RequestTaskBookTest : public ::testing::Test, public StoredRequestWorld {
protected:
    // A word processor on the PATH, whatever the machine has.
    TScratchFolder Bin;
    TScopedEnvironmentVariable Path{"PATH"};

    void SetUp() override {
        WriteFileContents(Bin / "lowriter", "#!/bin/sh\n");
        fs::permissions(Bin / "lowriter", fs::perms::owner_all);
        Path.Set(Bin.Path());
    }
    void ImportTaskBook(const std::string& Text) {
        Dialogs.Files = {Source("任务书.doc", Text)};
        Form->ActionInTaskExecute(nullptr);
    }
};

TEST_F(RequestTaskBookTest, ImportCopiesTheFileAndNamesItAndAsksBeforeReplacingIt) {
    ImportTaskBook("first");
    EXPECT_EQ(ReadFileContents(TaskBook), "first");
    EXPECT_EQ(Stored("RWSWJM"), "2026120001@科技项目设计书.doc");
    EXPECT_EQ(Form->qry_main->FieldByName("RWSWJM")->AsString(), "2026120001@科技项目设计书.doc");
    EXPECT_EQ(LastBox(), WindowBox("导入任务书成功", MB_ICONINFORMATION));
    EXPECT_EQ(Dialogs.Requests.front().Filter, "WORD文件|*.doc");

    struct TCase {
        int Answer;
        const char* Kept;
    } const cases[] = {{IDNO, "first"}, {IDYES, "second"}};
    for (const TCase& c : cases) {
        Dialogs.Answers = {IDOK, c.Answer};
        ImportTaskBook("second");
        EXPECT_EQ(ReadFileContents(TaskBook), c.Kept);
    }
    EXPECT_EQ(Dialogs.Boxes()[1].Text, "即将使用新文件替换原有文件，确定吗？");
}

TEST_F(RequestTaskBookTest, AFileThatDoesNotArriveIsNotRecordedAsTheTaskBook) {
    Dialogs.Files = {Sources / "gone.doc"};
    Form->ActionInTaskExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("导入任务书失败，请尝试再次导入！", MB_ICONERROR));
    EXPECT_EQ(Stored("RWSWJM"), "<null>");
}

// The task book picked as its own new file stays whole; an update that the
// database refuses leaves the old task book where it was.
TEST_F(RequestTaskBookTest, AnImportThatFailsOrPicksTheTaskBookItselfKeepsTheTaskBook) {
    ImportTaskBook("first");
    Dialogs.Files = {TaskBook};
    Dialogs.Answers = {IDOK, IDYES};
    Form->ActionInTaskExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("导入任务书成功", MB_ICONINFORMATION));
    EXPECT_EQ(ReadFileContents(TaskBook), "first");

    Exec("create trigger refuse before update on KJJHSB begin select raise(abort, 'refused'); end");
    const TInstallationSnapshot before(Program.Path());
    Dialogs.Answers = {IDOK, IDYES};
    ImportTaskBook("second");
    EXPECT_EQ(LastBox(), WindowBox("导入任务书失败，请尝试再次导入！", MB_ICONERROR));
    const TInstallationSnapshot after(Program.Path());
    EXPECT_TRUE(after == before) << after.ChangesSince(before);
}

TEST_F(RequestTaskBookTest, OpenShowsTheFileItselfUnlessTheWordProcessorHoldsItOpen) {
    Form->ActionOpenTaskExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("该记录没有任务书", MB_ICONERROR));

    ImportTaskBook("user's own file");
    Form->ModifiedFlag = true;
    Form->ActionOpenTaskExecute(nullptr);
    EXPECT_EQ(Shell.Launched, std::vector<std::string>{TaskBook});
    EXPECT_EQ(ReadFileContents(TaskBook), "user's own file");
    EXPECT_TRUE(Form->ModifiedFlag);
    EXPECT_FALSE(frmMessage->Visible());

    const size_t boxes = Dialogs.Boxes().size();
    WriteFileContents(Folder + "/.~lock.2026120001@科技项目设计书.doc#", "held");
    Form->ActionOpenTaskExecute(nullptr);
    EXPECT_EQ(Shell.Launched.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes().size(), boxes + 1);
    EXPECT_EQ(std::get<0>(LastBox()), "已有同名文件打开，请在已经打开的文件能修改");
    EXPECT_EQ(std::get<2>(LastBox()), UINT(MB_ICONQUESTION));
}

TEST_F(RequestTaskBookTest, WithoutAWordProcessorTheUserIsToldWhatToInstall) {
    ImportTaskBook("x");
    Path.Set(Sources.Path());
    Form->ModifiedFlag = false;
    Form->ActionOpenTaskExecute(nullptr);
    EXPECT_EQ(std::get<0>(LastBox()),
              "您的机器里未安装Microsoft Word.\n请安装可以打开WORD文档的文字处理软件，例如 LibreOffice Writer。");
    EXPECT_EQ(std::get<2>(LastBox()), UINT(MB_ICONINFORMATION));
    EXPECT_TRUE(Shell.Launched.empty());
    EXPECT_FALSE(Form->ModifiedFlag);
    EXPECT_FALSE(frmMessage->Visible());
}

TEST_F(RequestTaskBookTest, ExportCopiesTheTaskBookUnderTheNameTheUserGives) {
    Form->ActionOutTaskExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("该记录没有任务书", MB_ICONERROR));
    Exec("update KJJHSB set RWSWJM='2026120001@科技项目设计书.doc'");
    Requery();
    Form->ActionOutTaskExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("文件I/O错误", MB_ICONERROR));

    Put("2026120001@科技项目设计书.doc", "task");
    Dialogs.Files = {Sources / "copy"};
    Form->ActionOutTaskExecute(nullptr);
    const auto saveDialog = std::find_if(Dialogs.Requests.begin(), Dialogs.Requests.end(),
                                         [](const TDialogRequest& r) { return r.Kind == TDialogKind::SaveFile; });
    ASSERT_NE(saveDialog, Dialogs.Requests.end());
    EXPECT_EQ(saveDialog->FileName, "节水灌溉技术任务书.DOC");
    EXPECT_EQ(ReadFileContents(Sources / "copy.doc"), "task");
    EXPECT_EQ(LastBox(), WindowBox("WORD导出成功", MB_ICONINFORMATION));

    struct TCase {
        int Answer;
        const char* Kept;
    } const cases[] = {{IDNO, "old"}, {IDYES, "task"}};
    for (const TCase& c : cases) {
        WriteFileContents(Sources / "copy.doc", "old");
        Dialogs.Files = {Sources / "copy.doc"};
        Dialogs.Answers = {IDOK, c.Answer};
        Form->ActionOutTaskExecute(nullptr);
        EXPECT_EQ(ReadFileContents(Sources / "copy.doc"), c.Kept);
    }

    // Onto the task book's own file: refused, and the task book is whole.
    Dialogs.Files = {TaskBook};
    Dialogs.Answers = {IDOK, IDYES};
    Form->ActionOutTaskExecute(nullptr);
    EXPECT_EQ(LastBox(), WindowBox("文件I/O错误", MB_ICONERROR));
    EXPECT_EQ(ReadFileContents(TaskBook), "task");
}

TEST_F(RequestTaskBookTest, DeleteAsksThenRemovesTheFileAndItsName) {
    ImportTaskBook("x");
    Put("2026120001@a.txt");
    Dialogs.Answers = {IDNO};
    Form->ActionDeleteTaskExecute(nullptr);
    EXPECT_TRUE(fs::exists(TaskBook));

    Dialogs.Answers = {IDYES};
    Form->ActionDeleteTaskExecute(nullptr);
    EXPECT_FALSE(fs::exists(TaskBook));
    EXPECT_TRUE(fs::exists(Folder + "/2026120001@a.txt"));
    EXPECT_EQ(Stored("RWSWJM"), "");
    EXPECT_EQ(Form->qry_main->FieldByName("RWSWJM")->AsString(), "");
    EXPECT_EQ(LastBox(), WindowBox("任务书删除成功", MB_ICONINFORMATION));
}

} // namespace
