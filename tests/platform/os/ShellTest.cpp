// Opening files and addresses with their associated program, and the silent
// delete. No test starts a real program: the launcher is replaced, or xdg-open
// is a script of ours placed first on PATH.
#include "platform/os/Shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/FileContents.h"
#include "tests/support/ScopedEnvironmentVariable.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder that makes files in itself.
class ScratchFolder : public TScratchFolder {
public:
    fs::path Make(const std::string& relative, const std::string& text = "x") const {
        WriteFileContents(*this / relative, text);
        return *this / relative;
    }
};

// Records what would be opened and answers a chosen result.
class ShellExecuteTest : public ::testing::Test {
protected:
    ScratchFolder Folder;
    std::vector<std::string> Opened;
    int Answer = SE_SUCCESS;
    TShellLauncher Previous;

    void SetUp() override {
        Previous = SetShellLauncher([this](const std::string& target) {
            Opened.push_back(target);
            return Answer;
        });
    }
    void TearDown() override { SetShellLauncher(Previous); }
};

TEST_F(ShellExecuteTest, AnExistingFileGoesToTheLauncherByItsFullPath) {
    const fs::path file = Folder.Make("申报书.doc");
    const fs::path here = fs::current_path();
    fs::current_path(Folder.Path());
    const int result = ShellExecute("open", "申报书.doc");
    fs::current_path(here);
    EXPECT_GT(result, 32);
    EXPECT_EQ(Opened, std::vector<std::string>{file.string()});
}

TEST_F(ShellExecuteTest, MissingFilesAndFoldersAnswerBeforeAnyLaunch) {
    EXPECT_EQ(ShellExecute("open", Folder / "none.doc"), SE_ERR_FNF);
    EXPECT_EQ(ShellExecute("open", Folder / "nodir/none.doc"), SE_ERR_PNF);
    EXPECT_EQ(ShellExecute("open", ""), SE_ERR_FNF);
    EXPECT_TRUE(Opened.empty());
}

TEST_F(ShellExecuteTest, AddressesGoToTheLauncherAsWritten) {
    struct Case {
        const char* File;
        const char* Launched;
    };
    const Case cases[] = {
        {"http://www.example.cn/a?b=1", "http://www.example.cn/a?b=1"},
        {"mailto:office@example.cn", "mailto:office@example.cn"},
        {"www.example.cn", "http://www.example.cn"},
        {"WWW.Example.cn", "http://WWW.Example.cn"},
    };
    for (const auto& c : cases) {
        Opened.clear();
        EXPECT_GT(ShellExecute("OPEN", c.File), 32) << c.File;
        EXPECT_EQ(Opened, std::vector<std::string>{c.Launched}) << c.File;
    }
}

TEST_F(ShellExecuteTest, OtherVerbsHaveNoAssociationAndLauncherFailuresPassThrough) {
    const fs::path file = Folder.Make("a.txt");
    EXPECT_EQ(ShellExecute("print", file.string()), SE_ERR_NOASSOC);
    EXPECT_TRUE(Opened.empty());
    Answer = SE_ERR_NOASSOC;
    EXPECT_EQ(ShellExecute("", file.string()), SE_ERR_NOASSOC); // no verb means "open"
    EXPECT_EQ(Opened.size(), 1u);
}

// The default launcher runs whatever xdg-open is first on PATH: here a script
// that ends with a chosen exit code, so the mapping of its answers is seen.
TEST(ShellDefaultLauncherTest, XdgOpenExitCodesBecomeShellResults) {
    ScratchFolder folder;
    // Shell built-ins only: PATH holds nothing but this folder while it runs.
    const fs::path script = folder.Make(
        "bin/xdg-open", "#!/bin/sh\necho \"$1\" >> \"${0%/*}/log\"\nread code < \"${0%/*}/code\"\nexit $code\n");
    fs::permissions(script, fs::perms::owner_all);
    const fs::path target = folder.Make("doc.txt");
    const TScopedEnvironmentVariable path("PATH", folder / "bin");

    struct Case {
        int ExitCode;
        int Expected;
    };
    const Case cases[] = {{0, SE_SUCCESS}, {2, SE_ERR_FNF}, {3, SE_ERR_NOASSOC}, {4, SE_ERR_NOASSOC}};
    for (const auto& c : cases) {
        WriteFileContents(folder / "bin/code", std::to_string(c.ExitCode));
        const int result = ShellExecute("open", target.string());
        if (c.Expected > 32)
            EXPECT_GT(result, 32) << c.ExitCode;
        else
            EXPECT_EQ(result, c.Expected) << c.ExitCode;
    }
    path.Set(folder / "nowhere");
    EXPECT_EQ(ShellExecute("open", target.string()), SE_ERR_NOASSOC); // no xdg-open at all

    const std::string log = ReadFileContents(folder / "bin/log");
    EXPECT_EQ(log.substr(0, log.find('\n')), target.string());
}

TEST(ShellDeleteTreeTest, DeletesFoldersWithTheirContentsAndSingleFiles) {
    ScratchFolder folder;
    folder.Make("tree/a.txt");
    folder.Make("tree/sub/deeper/b.txt");
    const fs::path single = folder.Make("single.txt");
    folder.Make("slash/c.txt");

    EXPECT_TRUE(ShellDeleteTree(folder / "tree"));
    EXPECT_FALSE(fs::exists(folder / "tree"));
    EXPECT_TRUE(ShellDeleteTree(single.string()));
    EXPECT_FALSE(fs::exists(single));
    EXPECT_TRUE(ShellDeleteTree(folder / "slash/"));
    EXPECT_FALSE(fs::exists(folder / "slash"));

    EXPECT_FALSE(ShellDeleteTree(folder / "tree")); // nothing left to delete
    EXPECT_FALSE(ShellDeleteTree(""));
    EXPECT_TRUE(fs::exists(folder.Path()));
}

TEST(ShellDeleteTreeTest, ALinkIsRemovedWithoutTouchingWhatItPointsTo) {
    ScratchFolder folder;
    const fs::path kept = folder.Make("kept/file.txt");
    fs::create_directory_symlink(folder / "kept", folder / "link");
    EXPECT_TRUE(ShellDeleteTree(folder / "link"));
    EXPECT_TRUE(fs::exists(kept));
}

} // namespace
