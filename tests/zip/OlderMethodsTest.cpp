// Unshrink, unreduce and explode: the test encoders' output is first judged by
// outside decoders, then decoded by the engine byte for byte; hand-worked
// reduce streams tie the decoder to the format rather than to the encoder;
// corrupt streams fail their entry alone and leave no file.
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
    TRun UnzipAll(const std::string& archive) {
        TZipReader r(nullptr);
        r.SetZipName(archive);
        r.SetDestDir(Path("out"));
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
    const TRun run = UnzipAll(Path("all.zip"));
    EXPECT_EQ(run.Extracted, static_cast<int>(fixtures.size()));
    EXPECT_TRUE(run.BadCrcIndexes.empty());
    for (const auto& f : fixtures)
        EXPECT_EQ(ReadBytes(Path("out/" + f.Name)), f.Data) << f.Name;
}

// No outside decoder reads reduce, so two streams are worked out by hand. Bits go
// out lowest first. The follower sets come first, for byte values 255 down to 0:
// a 6-bit count, then that many 8-bit followers.
TEST_F(OlderMethodsTest, HandWorkedReduceStreamsDecode) {
    // Factor 1, every set empty (256 x 6 zero bits = 192 zero bytes), so each
    // stream byte is 8 plain bits: 'A' 'B', then 0x90 0x03 0x01 = copy length
    // 3 + 3 from distance (0x03 >> 7) * 256 + 0x01 + 1 = 2, then 0x90 0x00 = a
    // plain 0x90.
    TBytes factor1(192, 0);
    for (const uint8_t b : {0x41, 0x42, 0x90, 0x03, 0x01, 0x90, 0x00})
        factor1.push_back(b);
    // Factor 4. Sets 255..1 empty (1530 zero bits), set 0 = {'x'}: count 1 in
    // bits 1530-1535 (byte 191 = 0x04), follower 0x78 in byte 192. The stream
    // starts after byte 0: bit 0 (in the set), index bit 0 -> 'x'; then, all
    // further sets empty, 8 plain bits each: 'y', 0x90, 0x0F (length 15 = the
    // long form), 0x05 (length 15 + 5 = 20, copy 23), 0x01 (distance
    // (0x0F >> 4) * 256 + 1 + 1 = 2). After the two leading 0 bits the values
    // 0x79 0x90 0x0F 0x05 0x01 pack into E4 41 3E 14 04 00.
    TBytes factor4(191, 0);
    for (const uint8_t b : {0x04, 0x78, 0xE4, 0x41, 0x3E, 0x14, 0x04, 0x00})
        factor4.push_back(b);
    std::string xy;
    for (int i = 0; i < 25; ++i)
        xy += i % 2 ? 'y' : 'x';
    TRawEntry a{"factor1", {'A', 'B', 'A', 'B', 'A', 'B', 'A', 'B', 0x90}, 2};
    a.Packed = factor1;
    TRawEntry b{"factor4", TBytes(xy.begin(), xy.end()), 5};
    b.Packed = factor4;
    WriteRawZip(Path("hand.zip"), {a, b});
    const TRun run = UnzipAll(Path("hand.zip"));
    EXPECT_EQ(run.Extracted, 2);
    EXPECT_EQ(ReadBytes(Path("out/factor1")), a.Data);
    EXPECT_EQ(ReadBytes(Path("out/factor4")), b.Data);
}

TEST_F(OlderMethodsTest, CorruptStreamsFailTheirEntryAloneAndLeaveNoFile) {
    const TBytes data = TextBytes(4000, 21);
    auto truncated = [](TBytes packed) {
        packed.resize(packed.size() / 2);
        return packed;
    };
    // Shrink codes, 9 bits each.
    auto codes = [](std::initializer_list<unsigned> list) {
        TBitWriter out;
        for (const unsigned c : list)
            out.Put(c, 9);
        return out.Bytes();
    };
    // Implode streams with the given length and distance trees and no literal tree.
    auto implodeTrees = [](const std::vector<uint8_t>& lengths, const std::vector<uint8_t>& distances) {
        TBitWriter out;
        PutTree(out, lengths);
        PutTree(out, distances);
        return out;
    };
    const std::vector<uint8_t> even(64, 6);
    TBitWriter tooFar = implodeTrees(even, even);
    // A match at the very start: distance 4 + 1 with the 6-bit code of 0, length code 0.
    tooFar.Put(0, 1);
    tooFar.Put(4, 6);
    tooFar.PutHighFirst(ShannonFanoCodes(even)[0], 6);
    tooFar.PutHighFirst(ShannonFanoCodes(even)[0], 6);
    uint16_t flags = 0;
    struct TCase {
        const char* Name;
        uint16_t Method;
        uint16_t Flags;
        TBytes Packed;
    } cases[] = {
        {"shrink, prefix cycle after a partial clear", 1, 0, codes({97, 98, 257, 256, 2, 99, 257})},
        {"shrink, code past the table", 1, 0, codes({97, 300})},
        {"shrink, widened past 13 bits", 1, 0, codes({97, 256, 1, 256, 1, 256, 1, 256, 1, 256, 1})},
        {"shrink, truncated", 1, 0, truncated(Shrink(data))},
        {"reduce, truncated", 3, 0, truncated(Reduce(data, 2))},
        {"reduce, follower sets cut short", 4, 0, TBytes(100, 0xFF)},
        {"implode, over-subscribed tree", 6, 0, implodeTrees(std::vector<uint8_t>(64, 1), even).Bytes()},
        {"implode, incomplete tree", 6, 0, implodeTrees(std::vector<uint8_t>(64, 7), even).Bytes()},
        {"implode, distance before the start", 6, 0, tooFar.Bytes()},
        {"implode, truncated", 6, 6, truncated(Implode(data, true, true, flags))},
    };
    std::vector<TRawEntry> entries{{"good.txt", data, 8}};
    for (const auto& c : cases) {
        TRawEntry e{c.Name, data, c.Method, c.Flags};
        e.Packed = c.Packed;
        entries.push_back(e);
    }
    entries.push_back({"last.txt", data, 0});
    WriteRawZip(Path("bad.zip"), entries);
    const TRun run = UnzipAll(Path("bad.zip"));
    EXPECT_EQ(run.Extracted, 2);
    std::vector<int> expected;
    for (size_t i = 0; i < std::size(cases); ++i)
        expected.push_back(static_cast<int>(i + 1));
    EXPECT_EQ(run.BadCrcIndexes, expected);
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(Path("out")))
        left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"good.txt", "last.txt"}));
}
