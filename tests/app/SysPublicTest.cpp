// The shared routines: boxes by kind, the yes/no question, folder listing in
// its order, folder deletion and opening documents with the shell's answers.
#include "app/SysPublic.h"

#include "platform/os/Shell.h"
#include "platform/ui/Dialogs.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct BoxRecorder {
    std::vector<TDialogRequest> Boxes;
    std::vector<int> Answers;
    TDialogHookScope Scope{[this](const TDialogRequest& r) {
        Boxes.push_back(r);
        TDialogAnswer a;
        a.Result = Answers.empty() ? IDOK : Answers.front();
        if (!Answers.empty()) Answers.erase(Answers.begin());
        return a;
    }};
};

class SysPublicTest : public testing::Test {
protected:
    void Touch(const fs::path& p) { WriteFileContents(p.string(), "x"); }
    TScratchFolder Scratch;
    // Without the trailing '/', as the callers name folders.
    const fs::path Root = fs::path(Scratch.Path()).parent_path();
};

} // namespace

TEST(SysPublicBoxes, ShowMsgPicksTheIconByKindWithTheFixedCaption) {
    const struct {
        int Kind;
        UINT Flags;
    } cases[] = {{1, MB_OK | 0x40}, {2, MB_OK | 0x30}, {3, MB_OK | 0x10}, {0, MB_OK | 0x40}, {7, MB_OK | 0x40}};
    for (const auto& c : cases) {
        BoxRecorder rec;
        SysPublic::ShowMsg(nullptr, "保存成功", c.Kind);
        ASSERT_EQ(rec.Boxes.size(), 1u);
        EXPECT_EQ(rec.Boxes[0].Caption, "提示信息");
        EXPECT_EQ(rec.Boxes[0].Text, "保存成功");
        EXPECT_EQ(rec.Boxes[0].Flags, c.Flags) << "kind " << c.Kind;
    }
}

TEST(SysPublicBoxes, ConfirmIsTrueOnlyForYes) {
    BoxRecorder rec;
    rec.Answers = {IDYES, IDNO};
    EXPECT_TRUE(SysPublic::Confirm("删除吗？", true));
    EXPECT_FALSE(SysPublic::Confirm("删除吗？", false));
    ASSERT_EQ(rec.Boxes.size(), 2u);
    EXPECT_EQ(rec.Boxes[0].Flags, MB_YESNO | 0x10u);
    EXPECT_EQ(rec.Boxes[1].Flags, MB_YESNO | 0x40u);
    EXPECT_EQ(rec.Boxes[1].Caption, "提示信息");
}

TEST_F(SysPublicTest, ListFilesPutsSubFolderFilesBeforeTheFoldersOwn) {
    Touch(Root / "a.txt");
    Touch(Root / "s" / "b.txt");
    Touch(Root / "s" / "t" / "c.txt");
    Touch(Root / "u" / "d.txt");
    TStringList list;
    list.Add("kept");
    EXPECT_TRUE(SysPublic::ListFiles(Root.string(), &list));
    const std::string base = Root.string() + "/";
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Get(0), "kept"); // appended to, never cleared
    EXPECT_EQ(list.Get(1), base + "s/b.txt");
    EXPECT_EQ(list.Get(2), base + "s/t/c.txt");
    EXPECT_EQ(list.Get(3), base + "u/d.txt");
    EXPECT_EQ(list.Get(4), base + "a.txt");
}

TEST_F(SysPublicTest, HiddenFoldersAreDescendedIntoNotListedAsFiles) {
    // A hidden folder carries more than the directory bit; it is a folder all the same.
    Touch(Root / ".hidden" / "in-hidden.txt");
    Touch(Root / "plain.txt");
    TStringList list;
    SysPublic::ListFiles(Root.string(), &list);
    const std::string base = Root.string() + "/";
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(0), base + ".hidden/in-hidden.txt");
    EXPECT_EQ(list.Get(1), base + "plain.txt");
}

TEST_F(SysPublicTest, FolderHasFilesLooksBelowFolderAndKey) {
    Touch(Root / "42" / "deep" / "42@x.doc");
    fs::create_directories(Root / "43" / "empty");
    EXPECT_TRUE(SysPublic::FolderHasFiles(Root.string(), "42"));
    EXPECT_TRUE(SysPublic::FolderHasFiles(Root.string() + "/", "42"));
    EXPECT_FALSE(SysPublic::FolderHasFiles(Root.string(), "43"));
    EXPECT_FALSE(SysPublic::FolderHasFiles(Root.string(), ""));
    EXPECT_FALSE(SysPublic::FolderHasFiles((Root / "missing").string(), "42"));
}

TEST_F(SysPublicTest, DeleteFolderDropsOneTrailingDelimiter) {
    Touch(Root / "doc" / "sub" / "f.txt");
    EXPECT_TRUE(SysPublic::DeleteFolder((Root / "doc").string() + "/"));
    EXPECT_FALSE(fs::exists(Root / "doc"));
    EXPECT_FALSE(SysPublic::DeleteFolder((Root / "doc").string()));
    Touch(Root / "doc2" / "f.txt");
    EXPECT_TRUE(SysPublic::DeleteFolder2((Root / "doc2").string()));
    EXPECT_FALSE(fs::exists(Root / "doc2"));
}

TEST_F(SysPublicTest, OpenDocumentTellsTheShellsFailureInABox) {
    BoxRecorder rec;
    std::vector<std::string> opened;
    struct LauncherScope {
        TShellLauncher Previous;
        ~LauncherScope() { SetShellLauncher(Previous); }
    } scope{SetShellLauncher([&](const std::string& target) {
        opened.push_back(target);
        return SE_SUCCESS;
    })};
    Touch(Root / "thelp.chm");
    EXPECT_TRUE(SysPublic::OpenDocument((Root / "thelp.chm").string()));
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_TRUE(rec.Boxes.empty());

    EXPECT_FALSE(SysPublic::OpenDocument((Root / "missing.doc").string()));
    ASSERT_EQ(rec.Boxes.size(), 1u);
    EXPECT_EQ(rec.Boxes[0].Text, "没有找到文件");
    EXPECT_EQ(rec.Boxes[0].Caption, "提示信息");
    EXPECT_EQ(rec.Boxes[0].Flags, 0x40u);

    // Any other failure names the path.
    SetShellLauncher([](const std::string&) { return SE_ERR_NOASSOC; });
    EXPECT_FALSE(SysPublic::OpenDocument((Root / "thelp.chm").string()));
    ASSERT_EQ(rec.Boxes.size(), 2u);
    EXPECT_EQ(rec.Boxes[1].Text, "执行" + (Root / "thelp.chm").string() + "出错");
}
