// Sets of block files: written by the engine and read back from their last
// block, judged by 7z as split archives; sets made by zip -s read after their
// parts are renamed; the ".zfc" copy of the directory stands in for a missing
// last block; a missing middle block ends the run instead of asking forever.
#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "ZipTestSupport.h"
#include "platform/rtl/FileUtils.h"
#include "zip/ZipExceptions.h"
#include "zip/ZipWriter.h"

using namespace zip;
using namespace ziptest;

namespace {

class DiskSetTest : public TZipTest {
protected:
    std::map<std::string, TBytes> WriteSources(size_t randomSize) {
        std::map<std::string, TBytes> sources{{"random.bin", RandomBytes(randomSize, 1)},
                                              {"text.txt", TextBytes(90000, 2)},
                                              {"empty.bin", {}}};
        for (const auto& [name, data] : sources)
            WriteBytes(Path("src/" + name), data);
        return sources;
    }
    // Writes the sources as blocks of set.zip; returns the numbers OnPrepareNextDisk was called with.
    std::vector<int> WriteSet(const std::map<std::string, TBytes>& sources, int blockSize, int level,
                              bool saveInfo = false, int* saveOnFirstDisk = nullptr) {
        TZipWriter w(nullptr);
        w.SetZipName(Path("set.zip"));
        for (const auto& entry : sources)
            w.FilesList()->Add(Path("src/" + entry.first));
        w.SetPackLevel(level);
        w.MultiZipInfo()->MultiMode = mmBlocks;
        w.MultiZipInfo()->FirstBlockSize = w.MultiZipInfo()->BlockSize = blockSize;
        w.MultiZipInfo()->SaveZipInfoOnFirstDisk = saveInfo;
        std::vector<int> prepared;
        w.OnPrepareNextDisk = [&](TObject*, int disk) { prepared.push_back(disk); };
        for (int run = 0; run < (saveInfo ? 2 : 1); ++run)
            w.Zip();
        if (saveOnFirstDisk) *saveOnFirstDisk = w.MultiZipInfo()->SaveOnFirstDisk;
        return prepared;
    }
    int Unpack(const std::string& archive) {
        TZipReader r(nullptr);
        r.SetZipName(archive);
        r.SetDestDir(Path("out"));
        r.SetDoAll(true);
        return r.UnZip();
    }
    // Runs zip -s 64k in src over the arguments, writing split.z01, ... split.zip; renamed, the
    // parts become split.001, ... and the last one too. The last part's path, or empty when
    // zip failed or made no more than one part.
    std::string ZipSplitSet(const std::string& arguments, bool renamed) {
        if (RunCommand("cd " + Quote(Path("src")) + " && zip -q -s 64k ../split.zip " + arguments) != 0) return {};
        int parts = 0;
        while (FileExists(Path(Format("split.z%2.2d", parts + 1)))) {
            ++parts;
            if (renamed)
                std::filesystem::rename(Path(Format("split.z%2.2d", parts)), Path(Format("split.%3.3d", parts)));
        }
        if (parts < 1) return {};
        if (!renamed) return Path("split.zip");
        const std::string last = Path(Format("split.%3.3d", parts + 1));
        std::filesystem::rename(Path("split.zip"), last);
        return last;
    }
    // What lies in the test's folder beside the sources.
    std::vector<std::string> WrittenFiles() const {
        std::vector<std::string> names;
        for (const auto& file : std::filesystem::directory_iterator(Folder.Path()))
            if (file.path().filename() != "src") names.push_back(file.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void ExpectUnpacked(const std::map<std::string, TBytes>& sources, const std::string& dest = "out/") {
        for (const auto& [name, data] : sources)
            EXPECT_EQ(ReadBytes(Path(dest + name)), data) << name;
    }
};

} // namespace

TEST_F(DiskSetTest, BlocksReadBackFromTheLastAndPass7zAsASplitArchive) {
    const auto sources = WriteSources(200000);
    const std::vector<int> prepared = WriteSet(sources, 65536, 6);
    const int blocks = static_cast<int>(prepared.size()) + 1;
    ASSERT_GE(blocks, 3);
    std::vector<int> laterBlocks(blocks - 1);
    std::iota(laterBlocks.begin(), laterBlocks.end(), 2);
    EXPECT_EQ(prepared, laterBlocks);
    for (int n = 1; n <= blocks; ++n)
        EXPECT_LE(std::filesystem::file_size(Path(Format("set.%3.3d", n))), 65536u) << n;
    EXPECT_FALSE(FileExists(Path(Format("set.%3.3d", blocks + 1))));
    EXPECT_FALSE(FileExists(Path("set.zip")));
    const std::string last = Path(Format("set.%3.3d", blocks));
    EXPECT_EQ(Unpack(last), 3);
    ExpectUnpacked(sources);

    REQUIRE_TOOL("7z");
    ForceDirectories(Path("split"));
    for (int n = 1; n < blocks; ++n)
        std::filesystem::copy_file(Path(Format("set.%3.3d", n)), Path(Format("split/set.z%2.2d", n)));
    std::filesystem::copy_file(last, Path("split/set.zip"));
    EXPECT_EQ(RunCommand("7z t " + Quote(Path("split/set.zip"))), 0);
    EXPECT_EQ(RunCommand("cd " + Quote(Path("split")) + " && 7z x -oseven set.zip"), 0);
    ExpectUnpacked(sources, "split/seven/");
}

TEST_F(DiskSetTest, AThreeMegabyteArchiveBecomesThreeBlocksOfTheDefaultSize) {
    const auto sources = WriteSources(3000000);
    WriteSet(sources, 1457600, 0);
    EXPECT_TRUE(FileExists(Path("set.003")));
    EXPECT_FALSE(FileExists(Path("set.004")));
    EXPECT_EQ(Unpack(Path("set.003")), 3);
    ExpectUnpacked(sources);
}

TEST_F(DiskSetTest, ASetThatFitsItsFirstBlockIsAnOrdinaryArchive) {
    const auto sources = WriteSources(1000);
    EXPECT_TRUE(WriteSet(sources, 1457600, 6).empty());
    EXPECT_FALSE(FileExists(Path("set.001")));
    EXPECT_EQ(Unpack(Path("set.zip")), 3);
    ExpectUnpacked(sources);
}

TEST_F(DiskSetTest, TheConfigurationFileListsTheSetWithoutItsLastBlock) {
    const auto sources = WriteSources(200000);
    int saveOnFirstDisk = -1;
    WriteSet(sources, 65536, 6, true, &saveOnFirstDisk);
    EXPECT_EQ(saveOnFirstDisk, 0); // the reservation is the run's own; a second run reserves the same
    ASSERT_TRUE(FileExists(Path("set.zfc")));
    int last = 1;
    while (FileExists(Path(Format("set.%3.3d", last + 1))))
        ++last;
    std::filesystem::remove(Path(Format("set.%3.3d", last)));
    TZipReader r(nullptr);
    r.SetZipName(Path("set.001"));
    r.ReadZip();
    EXPECT_EQ(r.GetCount(), 3);
}

TEST_F(DiskSetTest, BlocksTooSmallOrTooManyForTheEndRecordAreRefusedAndLeaveNothing) {
    // A reader takes disk numbers up to 999 only, and an end record split over two blocks is no end record.
    WriteBytes(Path("src/random.bin"), RandomBytes(150000, 3));
    struct TCase {
        const char* Name;
        int BlockSize;
        std::string Message;
    } cases[] = {
        {"more than 1000 blocks", 100, "A set holds at most 1000 blocks; a larger BlockSize is needed"},
        {"a block smaller than the end record", 21, "Not enough room to write archive"},
    };
    for (const auto& c : cases) {
        TZipWriter w(nullptr);
        w.SetZipName(Path("set.zip"));
        w.FilesList()->Add(Path("src/random.bin"));
        w.SetPackLevel(0);
        w.MultiZipInfo()->MultiMode = mmBlocks;
        w.MultiZipInfo()->FirstBlockSize = w.MultiZipInfo()->BlockSize = c.BlockSize;
        try {
            w.Zip();
            ADD_FAILURE() << c.Name << ": a set that cannot be read back was written";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.Message) << c.Name;
        }
        const std::vector<std::string> left = WrittenFiles();
        EXPECT_TRUE(left.empty()) << c.Name << " left " << left.size() << " files";
    }
}

TEST_F(DiskSetTest, ARewrittenSetLeavesNoBlockOrDirectoryCopyOfTheOldOne) {
    const auto large = WriteSources(400000);
    WriteSet(large, 65536, 0, true);
    ASSERT_TRUE(FileExists(Path("set.007")));
    ASSERT_TRUE(FileExists(Path("set.zfc")));
    std::filesystem::remove_all(Path("src"));
    const auto small = WriteSources(30000);
    WriteSet(small, 65536, 0);
    EXPECT_EQ(WrittenFiles(), (std::vector<std::string>{"set.001", "set.002"}));
    EXPECT_EQ(Unpack(Path("set.002")), 3);
    ExpectUnpacked(small);
    // The first block alone has no end record: without the old copy of the directory it lists nothing.
    TZipReader first(nullptr);
    first.SetZipName(Path("set.001"));
    first.ReadZip();
    EXPECT_EQ(first.GetCount(), 0);

    // A set that fits its first block becomes the archive itself; no block stays beside it.
    std::filesystem::remove_all(Path("src"));
    std::filesystem::remove_all(Path("out"));
    const auto tiny = WriteSources(100);
    WriteSet(tiny, 1457600, 0);
    EXPECT_EQ(WrittenFiles(), std::vector<std::string>{"set.zip"});
}

TEST_F(DiskSetTest, SpanningOntoRemovableDisksIsRefusedBeforeAnythingIsWritten) {
    WriteSources(1000);
    TZipWriter w(nullptr);
    w.SetZipName(Path("set.zip"));
    w.FilesList()->Add(Path("src/text.txt"));
    w.MultiZipInfo()->MultiMode = mmSpan;
    EXPECT_THROW(w.Zip(), EZipUnsupported);
    EXPECT_FALSE(FileExists(Path("set.zip")));
    EXPECT_FALSE(FileExists(Path("set.001")));
}

TEST_F(DiskSetTest, AZipSplitSetReadsAsMadeAndRenamedAndAMissingPartEndsTheRun) {
    REQUIRE_TOOL("zip");
    const TBytes random = RandomBytes(200000, 9);
    WriteBytes(Path("src/random.bin"), random);
    for (const bool renamed : {false, true}) {
        for (const auto& file : WrittenFiles())
            std::filesystem::remove_all(Path(file));
        const std::string last = ZipSplitSet("random.bin", renamed);
        ASSERT_FALSE(last.empty());
        EXPECT_EQ(Unpack(last), 1) << renamed;
        EXPECT_EQ(ReadBytes(Path("out/random.bin")), random) << renamed;

        std::filesystem::remove_all(Path("out"));
        std::filesystem::remove(Path(renamed ? "split.002" : "split.z02"));
        try {
            Unpack(last);
            ADD_FAILURE() << renamed << ": a missing part was not noticed";
        } catch (const EUserCanceled& e) {
            EXPECT_EQ(e.Message(), "User canceled loading new disk.") << renamed;
        }
        EXPECT_FALSE(FileExists(Path("out/random.bin"))) << renamed;
    }
}

TEST_F(DiskSetTest, UpdatingAZipSplitSetWithDataDescriptorsKeepsEveryEntryWhole) {
    // zip -s with a password writes data descriptors, and entries run on across parts.
    REQUIRE_TOOL("zip");
    REQUIRE_TOOL("unzip");
    const std::map<std::string, TBytes> sources{{"a.txt", TextBytes(155000, 1)},
                                                {"b.bin", RandomBytes(100000, 2)},
                                                {"c.bin", {}},
                                                {"d.txt", TextBytes(13000, 3)},
                                                {"e.bin", RandomBytes(1 << 20, 4)}};
    for (const auto& [name, data] : sources)
        WriteBytes(Path("src/" + name), data);
    const std::string last = ZipSplitSet("-P pw *", true);
    ASSERT_FALSE(last.empty());
    WriteBytes(Path("src/added.txt"), TextBytes(1000, 5));

    TZipWriter w(nullptr);
    w.SetZipName(last);
    w.FilesList()->Add(Path("src/added.txt"));
    EXPECT_EQ(w.Zip(), 1);
    EXPECT_EQ(RunCommand("unzip -qq -P pw -t " + Quote(last)), 0);
    TZipReader r(nullptr);
    r.SetZipName(last);
    r.SetDestDir(Path("out"));
    r.SetPassword("pw");
    r.SetDoAll(true);
    EXPECT_EQ(r.UnZip(), 6);
    ExpectUnpacked(sources);
}

TEST_F(DiskSetTest, AFullDiskEndsTheSetWithNotEnoughRoomAndLeavesNoBlock) {
    // A block file that leads to /dev/full refuses every byte, as a full disk would.
    const auto sources = WriteSources(200000);
    for (const int fullBlock : {1, 3}) {
        auto fillUp = [&](int block) {
            if (block == fullBlock) std::filesystem::create_symlink("/dev/full", Path(Format("set.%3.3d", block)));
        };
        fillUp(1);
        TZipWriter w(nullptr);
        w.SetZipName(Path("set.zip"));
        for (const auto& entry : sources)
            w.FilesList()->Add(Path("src/" + entry.first));
        w.MultiZipInfo()->MultiMode = mmBlocks;
        w.MultiZipInfo()->FirstBlockSize = w.MultiZipInfo()->BlockSize = 65536;
        w.OnPrepareNextDisk = [&](TObject*, int disk) { fillUp(disk); };
        try {
            w.Zip();
            ADD_FAILURE() << "block " << fullBlock << ": the full disk was not noticed";
        } catch (const ENotEnoughRoom& e) {
            EXPECT_EQ(e.Message(), "Not enough room to write archive");
        }
        const std::vector<std::string> left = WrittenFiles();
        EXPECT_TRUE(left.empty()) << "block " << fullBlock << " left " << left.front();
    }
}
