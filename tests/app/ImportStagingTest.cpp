// The import-staging helper on its own: a package unpacked under numbered
// names whatever its entries are called, files and folders placed by renames
// that are undone unless kept, and names shortened to what the file system
// holds.
#include "app/ImportStaging.h"

#include "tests/support/FileContents.h"
#include "tests/support/HandMadeZip.h"
#include "tests/support/InstallationSnapshot.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class ImportStagingTest : public ::testing::Test {
protected:
    TScratchFolder Home;
    std::string Work = Home / "unzip";
    std::string Package = Home / "p.zip";
};

// Placed and not kept, the folder of the earlier import is back as it was;
// kept, the staged one replaces it. The work folder goes either way.
TEST_F(ImportStagingTest, UnpacksEveryEntryAndPlacesTheStagedFoldersOnlyForGood) {
    WriteFileContents(Package, HandMadeZip({{"7@报告.doc", "report"}, {"iodata.mdb", "rows", false, true}}));
    WriteFileContents(Home / "7/old.txt", "old");
    const TInstallationSnapshot before(Home.Path());
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        {
            TImportStaging staging(Home.Path());
            staging.Unpack(Package);
            EXPECT_EQ(staging.EntryNames(), (std::vector<std::string>{"7@报告.doc", "iodata.mdb"}));
            EXPECT_EQ(ReadFileContents(staging.EntryFile("iodata.mdb")), "rows");
            EXPECT_EQ(staging.EntriesOf("7"), std::vector<std::string>{"7@报告.doc"});
            EXPECT_FALSE(staging.EveryEntryMovedBut("iodata.mdb"));
            const std::string folder = staging.StageFolder(Home / "7");
            staging.MoveEntry("7@报告.doc", folder, "9@报告.doc");
            EXPECT_TRUE(staging.EveryEntryMovedBut("iodata.mdb"));
            staging.StageCopy(Package, Home / "new/p.zip");
            staging.EnsureFolder(Home / "new");
            staging.Place();
            EXPECT_EQ(ReadFileContents(Home / "7/9@报告.doc"), "report");
            EXPECT_FALSE(fs::exists(Home / "7/old.txt"));
            EXPECT_TRUE(fs::exists(Home / "new/p.zip"));
            if (keep) staging.Keep();
        }
        EXPECT_FALSE(fs::exists(Work));
        if (!keep) {
            const TInstallationSnapshot after(Home.Path());
            EXPECT_TRUE(after == before) << after.ChangesSince(before);
        }
    }
    EXPECT_EQ(ReadFileContents(Home / "7/9@报告.doc"), "report");
    EXPECT_FALSE(fs::exists(Home / "7/old.txt"));
    EXPECT_TRUE(fs::exists(Home / "new/p.zip"));
}

// A work folder below folders that did not exist takes them with it.
TEST_F(ImportStagingTest, FoldersMadeForTheWorkFolderGoWithIt) {
    { TImportStaging staging(Home / "yssq"); }
    EXPECT_FALSE(fs::exists(Home / "yssq"));
}

TEST_F(ImportStagingTest, NamesTooLongForTheFileSystemAreShortenedAndKeptApart) {
    std::string chinese;
    for (int i = 0; i < 100; ++i)
        chinese += "报";
    const std::string longName = "7@" + chinese + ".pdf";
    const std::string fitted = FittingFileName(Home.Path(), longName);
    EXPECT_EQ(fitted.rfind("7@报报", 0), 0u);
    EXPECT_EQ(fitted.substr(fitted.size() - 4), ".pdf");
    EXPECT_LE(fitted.size(), 255u);
    EXPECT_EQ(fitted.size() % 3, (2 + 4) % 3) << "no character is cut in two";
    WriteFileContents(Home / fitted, "first");
    const std::string second = FittingFileName(Home.Path(), longName);
    EXPECT_NE(second, fitted);
    EXPECT_EQ(second.substr(second.size() - 6), "~2.pdf");
    EXPECT_EQ(FittingFileName(Home.Path(), longName, {second}).substr(second.size() - 6), "~3.pdf");
    EXPECT_EQ(FittingFileName(Home.Path(), "7@short.txt"), "7@short.txt") << "a name that fits is kept";
}

} // namespace
