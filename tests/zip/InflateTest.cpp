// Inflate judged by zlib: raw streams made with every strategy, flush mode and
// window size decode to their source; damaged streams raise instead of crashing.
#include "zip/EntryDecoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "ZipTestSupport.h"
#include "platform/rtl/Streams.h"
#include "zip/ZipExceptions.h"

using namespace zip;
using ziptest::TBytes;

namespace {

TBytes ZlibDeflate(const TBytes& in, int level, int strategy, int windowBits, int flush, size_t piece) {
    z_stream s{};
    EXPECT_EQ(deflateInit2(&s, level, Z_DEFLATED, -windowBits, 8, strategy), Z_OK);
    TBytes out(deflateBound(&s, in.size()) + 64 + in.size() / std::max<size_t>(piece, 1) * 16);
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    size_t pos = 0;
    do {
        const size_t n = std::min(piece, in.size() - pos);
        s.next_in = const_cast<Bytef*>(in.data() + pos);
        s.avail_in = static_cast<uInt>(n);
        pos += n;
        EXPECT_NE(deflate(&s, pos < in.size() ? flush : Z_FINISH), Z_STREAM_ERROR);
    } while (pos < in.size());
    if (in.empty()) deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// Packs bits least significant first, as deflate streams are read.
class TBitWriter {
public:
    void Put(uint32_t value, int bits) {
        for (int i = 0; i < bits; ++i)
            PutBit((value >> i) & 1);
    }
    // Huffman codes go out most significant bit first.
    void PutCode(uint32_t code, int bits) {
        for (int i = bits - 1; i >= 0; --i)
            PutBit((code >> i) & 1);
    }
    TBytes Bytes() const { return FBytes; }

private:
    void PutBit(uint32_t bit) {
        if (FCount % 8 == 0) FBytes.push_back(0);
        FBytes.back() |= static_cast<uint8_t>(bit << (FCount % 8));
        ++FCount;
    }
    TBytes FBytes;
    int FCount = 0;
};

TBytes FixedBlockWithFarMatch() {
    TBitWriter w;
    w.Put(1, 1);               // last block
    w.Put(1, 2);               // fixed codes
    w.PutCode(0x61 + 0x30, 8); // literal 'a'
    w.PutCode(1, 7);           // length code 257: 3 bytes
    w.PutCode(1, 5);           // distance code 1: 2 bytes back, one more than was written
    w.PutCode(0, 7);           // end of block
    return w.Bytes();
}

TBytes Inflate(const TBytes& raw) {
    TBytes out;
    InflateRaw(raw.data(), raw.size(), out);
    return out;
}

// The stream form, which reads the input a buffer at a time.
TBytes InflateStream(const TBytes& raw) {
    TMemoryStream in, out;
    in.WriteBuffer(raw.data(), static_cast<Integer>(raw.size()));
    in.SetPosition(0);
    InflateRaw(in, out);
    const auto* memory = static_cast<const uint8_t*>(out.Memory());
    return TBytes(memory, memory + out.Size());
}

struct TInputCase {
    const char* Name;
    TBytes Data;
};

const std::vector<TInputCase>& Inputs() {
    static const std::vector<TInputCase> inputs = {
        {"empty", {}},
        {"one byte", {'x'}},
        {"text 32767", ziptest::TextBytes(32767, 1)},
        {"text 32768", ziptest::TextBytes(32768, 2)},
        {"text 32769", ziptest::TextBytes(32769, 3)},
        {"text 1 MiB", ziptest::TextBytes(1 << 20, 4)},
        {"random", ziptest::RandomBytes(200000, 5)},
        {"zeros", TBytes(300000, 0)},
    };
    return inputs;
}

} // namespace

TEST(Inflate, DecodesZlibStreamsOfEveryStrategyAndFlushMode) {
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    const int flushes[] = {Z_NO_FLUSH, Z_SYNC_FLUSH, Z_FULL_FLUSH, Z_PARTIAL_FLUSH, Z_BLOCK};
    for (const auto& input : Inputs())
        for (int level : {0, 1, 6, 9})
            for (int strategy : strategies)
                for (int flush : flushes) {
                    const TBytes raw = ZlibDeflate(input.Data, level, strategy, 15, flush, 7001);
                    EXPECT_EQ(Inflate(raw), input.Data)
                        << input.Name << " level " << level << " strategy " << strategy << " flush " << flush;
                }
}

TEST(Inflate, DecodesEveryWindowSize) {
    const TBytes data = ziptest::TextBytes(400000, 9);
    for (int bits = 9; bits <= 15; ++bits)
        EXPECT_EQ(Inflate(ZlibDeflate(data, 9, Z_DEFAULT_STRATEGY, bits, Z_NO_FLUSH, data.size())), data) << bits;
}

// Text at level 9, then random bytes as stored blocks, then level 9 again over text that
// repeats the stored bytes from up to a window back. The random bytes go in as one piece,
// or in pieces of the given sizes (taken in turn), each ending its stored block with a sync
// flush and its empty stored block, so the window is made of many blocks.
TBytes StoredBetweenCoded(size_t prefix, size_t stored, const std::vector<size_t>& pieces, TBytes& data) {
    const TBytes text = ziptest::TextBytes(prefix, 21);
    const TBytes random = ziptest::RandomBytes(stored, 22);
    TBytes tail(random.end() - 32500, random.end() - 10000); // as far back as zlib reaches
    const TBytes more = ziptest::TextBytes(5000, 23);
    tail.insert(tail.end(), more.begin(), more.end());
    data = text;
    data.insert(data.end(), random.begin(), random.end());
    data.insert(data.end(), tail.begin(), tail.end());

    z_stream s{};
    EXPECT_EQ(deflateInit2(&s, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    TBytes out(data.size() * 2 + 1024);
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    auto feed = [&s](const TBytes& part, int flush) {
        s.next_in = const_cast<Bytef*>(part.data());
        s.avail_in = static_cast<uInt>(part.size());
        EXPECT_NE(deflate(&s, flush), Z_STREAM_ERROR);
        EXPECT_EQ(s.avail_in, 0u);
    };
    feed(text, Z_NO_FLUSH);
    EXPECT_EQ(deflateParams(&s, Z_NO_COMPRESSION, Z_DEFAULT_STRATEGY), Z_OK);
    if (pieces.empty()) feed(random, Z_NO_FLUSH);
    for (size_t pos = 0, i = 0; !pieces.empty() && pos < random.size(); ++i) {
        const size_t n = std::min(pieces[i % pieces.size()], random.size() - pos);
        feed(TBytes(random.begin() + static_cast<long>(pos), random.begin() + static_cast<long>(pos + n)),
             Z_SYNC_FLUSH);
        pos += n;
    }
    EXPECT_EQ(deflateParams(&s, 9, Z_DEFAULT_STRATEGY), Z_OK);
    feed(tail, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

TEST(Inflate, MatchesReachBackIntoStoredDataLongerThanTheWindow) {
    // Blocks longer than the window; a window's worth of blocks; blocks that fill the window
    // in turns of many small ones and one large one.
    std::vector<size_t> smallThenLarge(12, 300);
    smallThenLarge.push_back(20000);
    const std::vector<std::vector<size_t>> piecings = {{}, {5000}, {16384}, smallThenLarge};
    // Prefixes put the window at its start, in its middle and near its end when the stored data begins.
    for (const auto& pieces : piecings)
        for (size_t prefix : {0u, 5000u, 31000u})
            for (size_t stored : {40000u, 70000u, 200000u}) {
                const std::string name = std::to_string(pieces.size()) + " pieces, prefix " + std::to_string(prefix) +
                                         ", stored " + std::to_string(stored);
                TBytes data;
                const TBytes raw = StoredBetweenCoded(prefix, stored, pieces, data);
                EXPECT_EQ(Inflate(raw), data) << name;
                EXPECT_EQ(InflateStream(raw), data) << name;
            }
    // Cut short anywhere, such a stream fails and what it gave out is the start of the data.
    for (const auto& pieces : {piecings[0], smallThenLarge}) {
        TBytes data;
        const TBytes raw = StoredBetweenCoded(5000, 70000, pieces, data);
        for (size_t cut = 0; cut < raw.size(); cut += 97) {
            TBytes out;
            EXPECT_THROW(InflateRaw(raw.data(), cut, out), EFatalUnzipError) << cut;
            EXPECT_LE(out.size(), data.size());
            EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin())) << cut;
        }
    }
}

TEST(Inflate, StoredHeadersAcrossInputReads) {
    // The second block's header starts k bytes before the stream form's first read ends, so its
    // first data bytes may have come into the bit buffer from that read.
    for (size_t k = 0; k <= 8; ++k) {
        TBytes raw, data;
        auto stored = [&](bool last, size_t size, unsigned seed) {
            const TBytes part = ziptest::RandomBytes(size, seed);
            const uint16_t length = static_cast<uint16_t>(size);
            const uint16_t complement = static_cast<uint16_t>(~length);
            raw.insert(raw.end(), {static_cast<uint8_t>(last), static_cast<uint8_t>(length & 0xFF),
                                   static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(complement & 0xFF),
                                   static_cast<uint8_t>(complement >> 8)});
            raw.insert(raw.end(), part.begin(), part.end());
            data.insert(data.end(), part.begin(), part.end());
        };
        stored(false, DecoderBufferSize - 5 - k, 31);
        stored(true, 1000, 32);
        EXPECT_EQ(Inflate(raw), data) << k;
        EXPECT_EQ(InflateStream(raw), data) << k;
    }
}

TEST(Inflate, StreamFormLeavesTheInputJustPastTheDeflateData) {
    const TBytes data = ziptest::TextBytes(100000, 11);
    TBytes raw = ZlibDeflate(data, 6, Z_DEFAULT_STRATEGY, 15, Z_NO_FLUSH, data.size());
    const size_t end = raw.size();
    raw.insert(raw.end(), {'T', 'A', 'I', 'L'});
    TMemoryStream in, out;
    in.WriteBuffer(raw.data(), static_cast<Integer>(raw.size()));
    in.SetPosition(0);
    InflateRaw(in, out);
    EXPECT_EQ(in.Position(), static_cast<Int64>(end));
    ASSERT_EQ(out.Size(), static_cast<Int64>(data.size()));
    EXPECT_EQ(0, memcmp(out.Memory(), data.data(), data.size()));
}

TEST(Inflate, DamagedStreamsRaiseACleanError) {
    const TBytes good = ZlibDeflate(ziptest::TextBytes(50000, 12), 6, Z_DEFAULT_STRATEGY, 15, Z_NO_FLUSH, 50000);
    struct TCase {
        const char* Name;
        TBytes Data;
    };
    std::vector<TCase> cases = {
        {"block type 3", {0x07}},
        {"stored length without its complement", {0x01, 0x05, 0x00, 0x05, 0x00}},
        {"distance before the start", FixedBlockWithFarMatch()},
        {"truncated in the middle", TBytes(good.begin(), good.begin() + good.size() / 2)},
        {"no final block", {0x00, 0x00, 0x00, 0xFF, 0xFF}},
        {"over-subscribed code lengths", {0x05, 0xE0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        TBytes out;
        EXPECT_THROW(InflateRaw(c.Data.data(), c.Data.size(), out), EFatalUnzipError) << c.Name;
    }
}

TEST(Inflate, EveryPrefixOfAStreamFailsOrDecodesAPrefix) {
    const TBytes data = ziptest::TextBytes(3000, 13);
    const TBytes raw = ZlibDeflate(data, 9, Z_DEFAULT_STRATEGY, 15, Z_NO_FLUSH, data.size());
    for (size_t cut = 0; cut < raw.size(); ++cut) {
        TBytes out;
        try {
            InflateRaw(raw.data(), cut, out);
            ADD_FAILURE() << "a stream cut at " << cut << " decoded as complete";
        } catch (const EFatalUnzipError&) {
            EXPECT_LE(out.size(), data.size());
            EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin())) << cut;
        }
    }
}
