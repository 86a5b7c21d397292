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

// The default launcher asks whatever xdg-mime is first on PATH, then runs
// whatever xdg-open is: here scripts of ours that name a chosen desktop entry
// and end with a chosen exit code after a chosen time.
class ShellDefaultLauncherTest : public ::testing::Test {
protected:
    ScratchFolder Folder;
    fs::path Target = Folder.Make("doc.doc");
    // Shell built-ins only: PATH holds nothing but the folder while it runs.
    TScopedEnvironmentVariable Path{"PATH", Folder / "bin"};
    int IdleCalls = 0;
    TShellIdle PreviousIdle = SetShellIdle([this] { ++IdleCalls; });

    void SetUp() override {
        Script("xdg-open", "echo \"$1\" >> \"${0%/*}/log\"\nread pause code < \"${0%/*}/answer\"\n"
                           "[ \"$pause\" = 0 ] || /bin/sleep \"$pause\"\nexit $code");
        Script("xdg-mime", "case \"$2\" in filetype) echo 'application/msword; charset=binary' ;;\n"
                           "default) [ \"$3\" = application/msword ] && read entry < \"${0%/*}/entry\"; echo \"$entry\" ;; esac");
        DesktopEntry("libreoffice-writer.desktop");
    }
    void TearDown() override { SetShellIdle(PreviousIdle); }

    void Script(const std::string& name, const std::string& body) const {
        const fs::path script = Folder.Make("bin/" + name, "#!/bin/sh\n" + body + "\n");
        fs::permissions(script, fs::perms::owner_all);
    }
    void DesktopEntry(const std::string& entry) const { WriteFileContents(Folder / "bin/entry", entry); }
    void XdgOpenAnswers(int seconds, int exitCode) const {
        WriteFileContents(Folder / "bin/answer", std::to_string(seconds) + " " + std::to_string(exitCode));
    }
    std::string Opened() const {
        return fs::exists(Folder / "bin/log") ? ReadFileContents(Folder / "bin/log") : std::string();
    }
};

TEST_F(ShellDefaultLauncherTest, XdgOpenExitCodesBecomeShellResults) {
    struct Case {
        int ExitCode;
        int Expected;
    };
    const Case cases[] = {{0, SE_SUCCESS}, {2, SE_ERR_FNF}, {3, SE_ERR_NOASSOC}, {4, SE_ERR_NOASSOC}};
    for (const auto& c : cases) {
        XdgOpenAnswers(0, c.ExitCode);
        const int result = ShellExecute("open", Target.string());
        if (c.Expected > 32)
            EXPECT_GT(result, 32) << c.ExitCode;
        else
            EXPECT_EQ(result, c.Expected) << c.ExitCode;
    }
    EXPECT_EQ(Opened().substr(0, Opened().find('\n')), Target.string());
    fs::remove(Folder / "bin/xdg-open");
    EXPECT_EQ(ShellExecute("open", Target.string()), SE_ERR_NOASSOC); // no xdg-open at all
}

TEST_F(ShellDefaultLauncherTest, AFileTheDesktopNamesNoProgramForFailsWithoutXdgOpen) {
    DesktopEntry("");
    XdgOpenAnswers(0, 0);
    EXPECT_EQ(ShellExecute("open", Target.string()), SE_ERR_NOASSOC);
    EXPECT_EQ(Opened(), "") << "xdg-open would try its fallbacks for seconds";
    // Addresses have no file type: they go to xdg-open as they are.
    EXPECT_GT(ShellExecute("open", "http://www.example.cn"), 32);
    EXPECT_EQ(Opened(), "http://www.example.cn\n");
}

TEST_F(ShellDefaultLauncherTest, ALateFailureIsWaitedForWithTheWindowsKeptPainted) {
    XdgOpenAnswers(3, 4);
    EXPECT_EQ(ShellExecute("open", Target.string()), SE_ERR_NOASSOC);
    EXPECT_GT(IdleCalls, 100) << "the user interface ran while xdg-open was watched";
    XdgOpenAnswers(1, 0);
    EXPECT_GT(ShellExecute("open", Target.string()), 32);
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
