// The program folder: the executable's folder unless CORVANTA_PROGRAM_DIR
// names another.
#include "app/ApplicationFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

class ApplicationFolderTest : public ::testing::Test {
protected:
    std::string Old;
    bool HadOld = false;
    void SetUp() override {
        if (const char* old = std::getenv("CORVANTA_PROGRAM_DIR")) Old = old, HadOld = true;
    }
    void TearDown() override {
        if (HadOld)
            setenv("CORVANTA_PROGRAM_DIR", Old.c_str(), 1);
        else
            unsetenv("CORVANTA_PROGRAM_DIR");
    }
};

TEST_F(ApplicationFolderTest, TheEnvironmentNamesTheFolderWithATrailingSlash) {
    setenv("CORVANTA_PROGRAM_DIR", "/opt/corvanta", 1);
    EXPECT_EQ(ApplicationFolder(), "/opt/corvanta/");
    setenv("CORVANTA_PROGRAM_DIR", "/opt/corvanta/", 1);
    EXPECT_EQ(ApplicationFolder(), "/opt/corvanta/");
}

TEST_F(ApplicationFolderTest, OtherwiseItIsTheExecutablesFolder) {
    unsetenv("CORVANTA_PROGRAM_DIR");
    const auto executable = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(ApplicationFolder(), executable.parent_path().string() + "/");
    setenv("CORVANTA_PROGRAM_DIR", "", 1);
    EXPECT_EQ(ApplicationFolder(), executable.parent_path().string() + "/");
}

} // namespace
