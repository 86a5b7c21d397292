// Opening files and addresses with their associated program, and the silent
// delete. No test starts a real program: the launcher is replaced, or xdg-open
// is a script of ours placed first on PATH.
#include "platform/os/Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "corvanta-shell-XXXXXX").string();
        FPath = mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code error;
        fs::remove_all(FPath, error);
    }
    fs::path Path() const { return FPath; }
    fs::path Make(const std::string& relative, const std::string& text = "x") const {
        const fs::path file = FPath / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
        return file;
    }

private:
    fs::path FPath;
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
    EXPECT_EQ(ShellExecute("open", (Folder.Path() / "none.doc").string()), SE_ERR_FNF);
    EXPECT_EQ(ShellExecute("open", (Folder.Path() / "nodir" / "none.doc").string()), SE_ERR_PNF);
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
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder.Path() / "bin").c_str(), 1);

    struct Case {
        int ExitCode;
        int Expected;
    };
    const Case cases[] = {{0, SE_SUCCESS}, {2, SE_ERR_FNF}, {3, SE_ERR_NOASSOC}, {4, SE_ERR_NOASSOC}};
    for (const auto& c : cases) {
        std::ofstream(folder.Path() / "bin/code") << c.ExitCode;
        const int result = ShellExecute("open", target.string());
        if (c.Expected > 32)
            EXPECT_GT(result, 32) << c.ExitCode;
        else
            EXPECT_EQ(result, c.Expected) << c.ExitCode;
    }
    setenv("PATH", (folder.Path() / "nowhere").c_str(), 1);
    EXPECT_EQ(ShellExecute("open", target.string()), SE_ERR_NOASSOC); // no xdg-open at all
    setenv("PATH", oldPath.c_str(), 1);

    std::ifstream log(folder.Path() / "bin/log");
    std::string line;
    std::getline(log, line);
    EXPECT_EQ(line, target.string());
}

TEST(ShellDeleteTreeTest, DeletesFoldersWithTheirContentsAndSingleFiles) {
    ScratchFolder folder;
    folder.Make("tree/a.txt");
    folder.Make("tree/sub/deeper/b.txt");
    const fs::path single = folder.Make("single.txt");
    folder.Make("slash/c.txt");

    EXPECT_TRUE(ShellDeleteTree((folder.Path() / "tree").string()));
    EXPECT_FALSE(fs::exists(folder.Path() / "tree"));
    EXPECT_TRUE(ShellDeleteTree(single.string()));
    EXPECT_FALSE(fs::exists(single));
    EXPECT_TRUE(ShellDeleteTree((folder.Path() / "slash").string() + "/"));
    EXPECT_FALSE(fs::exists(folder.Path() / "slash"));

    EXPECT_FALSE(ShellDeleteTree((folder.Path() / "tree").string())); // nothing left to delete
    EXPECT_FALSE(ShellDeleteTree(""));
    EXPECT_TRUE(fs::exists(folder.Path()));
}

TEST(ShellDeleteTreeTest, ALinkIsRemovedWithoutTouchingWhatItPointsTo) {
    ScratchFolder folder;
    const fs::path kept = folder.Make("kept/file.txt");
    fs::create_directory_symlink(folder.Path() / "kept", folder.Path() / "link");
    EXPECT_TRUE(ShellDeleteTree((folder.Path() / "link").string()));
    EXPECT_TRUE(fs::exists(kept));
}

} // namespace
