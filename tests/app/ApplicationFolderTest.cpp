// The program folder: the executable's folder unless CORVANTA_PROGRAM_DIR
// names another.
#include "app/ApplicationFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/ScopedEnvironmentVariable.h"

namespace {

class ApplicationFolderTest : public ::testing::Test {
protected:
    TScopedEnvironmentVariable ProgramDir{"CORVANTA_PROGRAM_DIR"};
};

TEST_F(ApplicationFolderTest, TheEnvironmentNamesTheFolderWithATrailingSlash) {
    ProgramDir.Set("/opt/corvanta");
    EXPECT_EQ(ApplicationFolder(), "/opt/corvanta/");
    ProgramDir.Set("/opt/corvanta/");
    EXPECT_EQ(ApplicationFolder(), "/opt/corvanta/");
}

TEST_F(ApplicationFolderTest, OtherwiseItIsTheExecutablesFolder) {
    ProgramDir.Unset();
    const auto executable = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(ApplicationFolder(), executable.parent_path().string() + "/");
    ProgramDir.Set("");
    EXPECT_EQ(ApplicationFolder(), executable.parent_path().string() + "/");
}

} // namespace
