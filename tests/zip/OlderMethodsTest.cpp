// Unshrink, unreduce and explode: the test encoders' output is first judged by
// outside decoders, then decoded by the engine byte for byte; committed
// archives (fixtures/README.md) keep the decoders tied to streams that no
// later change of the encoders can move, the hand-worked reduce streams among
// them; corrupt streams fail their entry alone and leave no file.
#include <gtest/gtest.h>

#include "OlderMethodEncoders.h"
#include "platform/rtl/FileUtils.h"
#include "zip/ZipReader.h"

using namespace zip;
using namespace ziptest;

namespace {

// Text, a run, random bytes and the escape byte 144, so that every code path has work.
TBytes MixedData(size_t size, unsigned seed) {
    TBytes data = TextBytes(size / 2, seed);
    data.insert(data.end(), 700, 'z');
    const TBytes random = RandomBytes(size / 4, seed + 1);
    data.insert(data.end(), random.begin(), random.end());
    for (size_t i = 0; i < 300; ++i)
        data.push_back(i % 5 ? static_cast<uint8_t>(144) : static_cast<uint8_t>(i));
    const TBytes again = TextBytes(size / 4, seed);
    data.insert(data.end(), again.begin(), again.end());
    return data;
}

// Random filler with one block repeated exactly at the far end of the dictionary.
TBytes FarMatchData(size_t dictionary) {
    TBytes data = RandomBytes(dictionary + 400, 77);
    const TBytes block(data.begin() + 100, data.begin() + 300);
    data.insert(data.end() - 300 + 200, block.begin(), block.end());
    data.resize(100 + dictionary + 200);
    std::copy(block.begin(), block.end(), data.begin() + 100 + dictionary);
    return data;
}

struct TFixture {
    std::string Name;
    uint16_t Method;
    uint16_t Flags;
    TBytes Data;
    TBytes Packed;
};

std::vector<TFixture> EncodedFixtures() {
    std::vector<TFixture> fixtures;
    const TBytes mixed = MixedData(60000, 3);
    TShrinkStats stats;
    fixtures.push_back({"shrunk.bin", 1, 0, mixed, Shrink(mixed, &stats)});
    EXPECT_EQ(stats.Widenings, 4);
    EXPECT_GE(stats.PartialClears, 1);
    const TBytes small = TextBytes(3000, 4);
    fixtures.push_back({"shrunk-small.txt", 1, 0, small, Shrink(small)});
    for (int factor = 1; factor <= 4; ++factor)
        fixtures.push_back({"reduced" + std::to_string(factor) + ".bin", static_cast<uint16_t>(1 + factor), 0, mixed,
                            Reduce(mixed, factor)});
    for (const bool big : {false, true}) {
        for (const bool literals : {false, true}) {
            const std::string name = std::string("imploded-") + (big ? "8k" : "4k") + (literals ? "-lit" : "");
            uint16_t flags = 0;
            TBytes packed = Implode(mixed, big, literals, flags);
            fixtures.push_back({name + ".bin", 6, flags, mixed, packed});
            const TBytes far = FarMatchData(big ? 8192 : 4096);
            packed = Implode(far, big, literals, flags, 9);
            fixtures.push_back({name + "-far.bin", 6, flags, far, packed});
        }
    }
    return fixtures;
}

std::string CommittedArchive(const std::string& name) {
    return std::string(CORVANTA_TEST_SOURCE_DIR) + "/tests/zip/fixtures/" + name;
}

TRawEntry AsEntry(const TFixture& f) {
    TRawEntry e{f.Name, f.Data, f.Method, f.Flags};
    e.Packed = f.Packed;
    return e;
}

class OlderMethodsTest : public TZipTest {
protected:
    struct TRun {
        int Extracted = 0;
        std::vector<int> BadCrcIndexes;
    };
    TRun UnzipAll(const std::string& archive, const std::string& dest) {
        TZipReader r(nullptr);
        r.SetZipName(archive);
        r.SetDestDir(dest);
        r.SetDoAll(true);
        TRun run;
        r.OnBadCRC = [&](TObject*, uint32_t, uint32_t, int index) { run.BadCrcIndexes.push_back(index); };
        run.Extracted = r.UnZip();
        return run;
    }
};

} // namespace

// Neither judge reads reduce; both read shrink and implode.
TEST_F(OlderMethodsTest, OutsideDecodersAcceptWhatTheTestEncodersWrite) {
    REQUIRE_TOOL("unzip");
    REQUIRE_TOOL("7z");
    std::vector<TRawEntry> entries;
    for (const auto& f : EncodedFixtures())
        if (f.Method == 1 || f.Method == 6) entries.push_back(AsEntry(f));
    WriteRawZip(Path("judged.zip"), entries);
    EXPECT_EQ(RunCommand("unzip -t " + Quote(Path("judged.zip"))), 0);
    EXPECT_EQ(RunCommand("7z t " + Quote(Path("judged.zip"))), 0);
}

TEST_F(OlderMethodsTest, EncodedEntriesOfEveryMethodDecodeByteForByte) {
    const auto fixtures = EncodedFixtures();
    std::vector<TRawEntry> entries;
    for (const auto& f : fixtures)
        entries.push_back(AsEntry(f));
    WriteRawZip(Path("all.zip"), entries);
    const TRun run = UnzipAll(Path("all.zip"), Path("out"));
    EXPECT_EQ(run.Extracted, static_cast<int>(fixtures.size()));
    EXPECT_TRUE(run.BadCrcIndexes.empty());
    for (const auto& f : fixtures)
        EXPECT_EQ(ReadBytes(Path("out/" + f.Name)), f.Data) << f.Name;
}

TEST_F(OlderMethodsTest, CommittedArchivesOfEveryMethodExtractWhole) {
    const struct {
        const char* File;
        int Entries;
    } cases[] = {{"shrunk.zip", 2}, {"reduced.zip", 4}, {"imploded.zip", 6}};
    for (const auto& c : cases) {
        const TRun run = UnzipAll(CommittedArchive(c.File), Path(c.File));
        EXPECT_EQ(run.Extracted, c.Entries) << c.File;
        EXPECT_TRUE(run.BadCrcIndexes.empty()) << c.File;
    }
}

// No outside decoder reads reduce, so two streams are worked out by hand. Bits go
// out lowest first. The follower sets come first, for byte values 255 down to 0:
// a 6-bit count, then that many 8-bit followers.
// factor1 (method 2): every set empty (256 x 6 zero bits = 192 zero bytes), so
// each stream byte is 8 plain bits: 'A' 'B', then 0x90 0x03 0x01 = copy length
// 3 + 3 from distance (0x03 >> 7) * 256 + 0x01 + 1 = 2, then 0x90 0x00 = a plain
// 0x90.
// factor4 (method 5): sets 255..1 empty (1530 zero bits), set 0 = {'x'}: count 1
// in bits 1530-1535 (byte 191 = 0x04), follower 0x78 in byte 192. The stream
// starts after byte 0: bit 0 (in the set), index bit 0 -> 'x'; then, all further
// sets empty, 8 plain bits each: 'y', 0x90, 0x0F (length 15 = the long form),
// 0x05 (length 15 + 5 = 20, copy 23), 0x01 (distance (0x0F >> 4) * 256 + 1 + 1 =
// 2). After the two leading 0 bits the values 0x79 0x90 0x0F 0x05 0x01 pack into
// E4 41 3E 14 04 00.
TEST_F(OlderMethodsTest, HandWorkedReduceStreamsDecode) {
    std::string xy;
    for (int i = 0; i < 25; ++i)
        xy += i % 2 ? 'y' : 'x';
    const TRun run = UnzipAll(CommittedArchive("reduced-by-hand.zip"), Path("out"));
    EXPECT_EQ(run.Extracted, 2);
    EXPECT_EQ(ReadBytes(Path("out/factor1")), (TBytes{'A', 'B', 'A', 'B', 'A', 'B', 'A', 'B', 0x90}));
    EXPECT_EQ(ReadBytes(Path("out/factor4")), TBytes(xy.begin(), xy.end()));
}

// Each holds first.txt, the bad entry, then last.txt.
TEST_F(OlderMethodsTest, CorruptStreamsFailTheirEntryAloneAndLeaveNoFile) {
    for (const char* file :
         {"shrunk-prefix-cycle.zip", "shrunk-code-past-table.zip", "shrunk-widened-past-13-bits.zip",
          "shrunk-truncated.zip", "reduced-truncated.zip", "reduced-follower-sets-cut-short.zip",
          "imploded-oversubscribed-tree.zip", "imploded-incomplete-tree.zip", "imploded-distance-before-start.zip",
          "imploded-truncated.zip"}) {
        const TRun run = UnzipAll(CommittedArchive(file), Path(file));
        EXPECT_EQ(run.Extracted, 2) << file;
        EXPECT_EQ(run.BadCrcIndexes, std::vector<int>{1}) << file;
        std::vector<std::string> left;
        for (const auto& e : std::filesystem::directory_iterator(Path(file)))
            left.push_back(e.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"first.txt", "last.txt"})) << file;
    }
}
