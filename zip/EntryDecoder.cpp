// Inflate and the stored copy over the entry decoder's buffers. Errors inside a
// block unwind with TInflateFailure to Inflate, which turns them into a result code.
#include "zip/EntryDecoder.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Streams.h"
#include "zip/ZipExceptions.h"

namespace zip {

namespace {

// THuffEntry::Op values; OpBase and OpLink carry a bit count in their low four bits.
constexpr uint8_t OpLiteral = 0;
constexpr uint8_t OpBase = 16; // base value plus (Op & 15) extra bits
constexpr uint8_t OpEnd = 32;  // end of block
constexpr uint8_t OpLink = 64; // sub-table at Value, indexed by (Op & 15) more bits
constexpr uint8_t OpInvalid = 128;

constexpr unsigned LitRootBits = 9;
constexpr unsigned DistRootBits = 6;
constexpr unsigned CodeLengthRootBits = 7;
constexpr unsigned MaxCodeBits = 15;

struct TInflateFailure {
    int Result;
};

constexpr uint16_t LengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t LengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t DistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                   33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t DistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                   6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t CodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

enum class TAlphabet { LitLen, Dist, CodeLength };

THuffEntry SymbolEntry(TAlphabet alphabet, unsigned symbol, unsigned bits) {
    const auto b = static_cast<uint8_t>(bits);
    switch (alphabet) {
    case TAlphabet::LitLen:
        if (symbol < 256) return {static_cast<uint16_t>(symbol), b, OpLiteral};
        if (symbol == 256) return {0, b, OpEnd};
        if (symbol < 286)
            return {LengthBase[symbol - 257], b, static_cast<uint8_t>(OpBase | LengthExtra[symbol - 257])};
        return {0, b, OpInvalid};
    case TAlphabet::Dist:
        if (symbol < 30) return {DistBase[symbol], b, static_cast<uint8_t>(OpBase | DistExtra[symbol])};
        return {0, b, OpInvalid};
    case TAlphabet::CodeLength:
        break;
    }
    return {static_cast<uint16_t>(symbol), b, OpLiteral};
}

unsigned Reverse(unsigned code, unsigned length) {
    unsigned r = 0;
    for (unsigned i = 0; i < length; ++i, code >>= 1)
        r = (r << 1) | (code & 1);
    return r;
}

// Builds a lookup table for canonical code lengths. Codes no longer than the
// root width fill the root table directly; longer ones go to a sub-table per
// root prefix, sized for the longest code under that prefix. Unused slots stay
// invalid (they consume no bits), so any bit pattern decodes to something safe.
bool BuildTable(const uint8_t* lengths, unsigned count, unsigned rootBits, TAlphabet alphabet,
                std::vector<THuffEntry>& table) {
    unsigned lengthCount[MaxCodeBits + 1] = {};
    for (unsigned i = 0; i < count; ++i)
        ++lengthCount[lengths[i]];
    lengthCount[0] = 0;
    int left = 1;
    unsigned used = 0, longest = 0;
    for (unsigned len = 1; len <= MaxCodeBits; ++len) {
        left <<= 1;
        left -= static_cast<int>(lengthCount[len]);
        if (left < 0) return false; // over-subscribed
        used += lengthCount[len];
        if (lengthCount[len]) longest = len;
    }
    // An incomplete code is only allowed as a lone one-bit code (or no code at all).
    if (left > 0 && used > 0 && (alphabet == TAlphabet::CodeLength || longest != 1)) return false;

    unsigned nextCode[MaxCodeBits + 1] = {};
    for (unsigned len = 1, code = 0; len <= MaxCodeBits; ++len) {
        code = (code + lengthCount[len - 1]) << 1;
        nextCode[len] = code;
    }

    const unsigned rootSize = 1u << rootBits;
    const unsigned rootMask = rootSize - 1;
    uint8_t subBits[1u << LitRootBits] = {}; // the widest root is the literal one
    std::vector<unsigned> codes(count);
    for (unsigned sym = 0; sym < count; ++sym) {
        const unsigned len = lengths[sym];
        if (!len) continue;
        codes[sym] = Reverse(nextCode[len]++, len);
        if (len > rootBits) {
            const unsigned prefix = codes[sym] & rootMask;
            subBits[prefix] = std::max<uint8_t>(subBits[prefix], static_cast<uint8_t>(len - rootBits));
        }
    }
    size_t total = rootSize;
    for (unsigned p = 0; p < rootSize; ++p)
        if (subBits[p]) total += size_t{1} << subBits[p];
    table.assign(total, THuffEntry{0, 0, OpInvalid});
    size_t offset = rootSize;
    for (unsigned p = 0; p < rootSize; ++p) {
        if (!subBits[p]) continue;
        table[p] = {static_cast<uint16_t>(offset), static_cast<uint8_t>(rootBits),
                    static_cast<uint8_t>(OpLink | subBits[p])};
        offset += size_t{1} << subBits[p];
    }
    for (unsigned sym = 0; sym < count; ++sym) {
        const unsigned len = lengths[sym];
        if (!len) continue;
        if (len <= rootBits) {
            const THuffEntry e = SymbolEntry(alphabet, sym, len);
            for (unsigned i = codes[sym]; i < rootSize; i += 1u << len)
                table[i] = e;
        } else {
            const unsigned prefix = codes[sym] & rootMask;
            const THuffEntry link = table[prefix];
            const unsigned subSize = 1u << (link.Op & 15);
            const THuffEntry e = SymbolEntry(alphabet, sym, len - rootBits);
            for (unsigned i = codes[sym] >> rootBits; i < subSize; i += 1u << (len - rootBits))
                table[link.Value + i] = e;
        }
    }
    return true;
}

struct TFixedTables {
    std::vector<THuffEntry> Lit, Dist;
    TFixedTables() {
        uint8_t lengths[288];
        std::fill(lengths, lengths + 144, 8);
        std::fill(lengths + 144, lengths + 256, 9);
        std::fill(lengths + 256, lengths + 280, 7);
        std::fill(lengths + 280, lengths + 288, 8);
        BuildTable(lengths, 288, LitRootBits, TAlphabet::LitLen, Lit);
        // All 32 five-bit codes, so the code is complete; 30 and 31 decode as invalid.
        std::fill(lengths, lengths + 32, 5);
        BuildTable(lengths, 32, DistRootBits, TAlphabet::Dist, Dist);
    }
};

const TFixedTables& FixedTables() {
    static const TFixedTables tables;
    return tables;
}

// Stored data that the input shows at p, block after block, before any other kind of block:
// counted up to a window's worth, which it also gives when a last stored block ends the stream
// (then nothing can refer back). A few headers at most, so runs of empty blocks cost no more.
uint32_t StoredAhead(const uint8_t* p, const uint8_t* end) {
    uint32_t total = 0;
    for (int blocks = 0; blocks < 16 && total < DecoderBufferSize && end - p >= 5; ++blocks) {
        const uint32_t length = p[1] | p[2] << 8;
        if ((p[0] & 6) != 0 || length != (~(p[3] | p[4] << 8) & 0xFFFFu)) break;
        if (p[0] & 1) return DecoderBufferSize;
        total += length;
        if (static_cast<size_t>(end - p - 5) < length) break;
        p += 5 + length;
    }
    return total;
}

} // namespace

TEntryDecoder::TEntryDecoder(TDecoderSource& source, TDecoderSink& sink) : FSource(source), FSink(sink) {}

void TEntryDecoder::Fail(int result) {
    throw TInflateFailure{result};
}

int TEntryDecoder::RunGuarded(const std::function<void()>& decode) {
    int result = InflateOk;
    try {
        decode();
    } catch (const TInflateFailure& failure) {
        result = failure.Result;
    } catch (const std::bad_alloc&) {
        result = InflateOutOfMemory;
    }
    if (FOutPos) FlushWindow();
    return result;
}

bool TEntryDecoder::FillInput() {
    if (FInputEnded) return false;
    // After a stored block that used the input up, read just a block header's worth: if the next
    // block is stored too, its data then goes straight from the source to the window.
    int n = FHeaderOnly ? 8 : DecoderBufferSize;
    FInput = FSource.LendInput(FInputBuffer, n);
    FHeaderOnly = false;
    FInPos = 0;
    FInEnd = n > 0 ? n : 0;
    if (FInEnd == 0) FInputEnded = true;
    return FInEnd > 0;
}

// Keeps at least 56 bits in the buffer. Bits above FBitCount always hold the
// stream's next bits (or zero), so loading eight bytes and keeping only whole
// ones is safe.
void TEntryDecoder::Refill() {
    if (FInEnd - FInPos >= 8) {
        uint64_t v;
        std::memcpy(&v, FInput + FInPos, 8);
        FBitBuf |= v << FBitCount;
        FInPos += static_cast<int>((63 - FBitCount) >> 3);
        FBitCount |= 56;
    } else {
        RefillSlow();
    }
}

void TEntryDecoder::RefillSlow() {
    while (FBitCount < 56) {
        if (FInPos == FInEnd && !FillInput()) {
            // Past the end: feed zeros, but a stream that reads far into them is truncated.
            if (++FPadBytes > 16) Fail(InflatePrematureEnd);
            FBitBuf &= FBitCount ? (~uint64_t{0} >> (64 - FBitCount)) : 0;
            FBitCount += 8;
            continue;
        }
        if (FInEnd - FInPos >= 8) {
            Refill();
            return;
        }
        FBitBuf |= uint64_t{FInput[FInPos++]} << FBitCount;
        FBitCount += 8;
    }
}

uint32_t TEntryDecoder::TakeBits(unsigned n) {
    const uint32_t v = static_cast<uint32_t>(FBitBuf & ((uint64_t{1} << n) - 1));
    FBitBuf >>= n;
    FBitCount -= n;
    return v;
}

inline THuffEntry TEntryDecoder::Decode(const THuffEntry* table, unsigned rootBits) {
    THuffEntry e = table[FBitBuf & ((1u << rootBits) - 1)];
    if (e.Op & OpLink) {
        FBitBuf >>= e.Bits;
        FBitCount -= e.Bits;
        e = table[e.Value + (FBitBuf & ((1u << (e.Op & 15)) - 1))];
    }
    FBitBuf >>= e.Bits;
    FBitCount -= e.Bits;
    return e;
}

void TEntryDecoder::CheckOverrun() const {
    if (FPadBytes * 8 > FBitCount) Fail(InflatePrematureEnd);
}

void TEntryDecoder::CheckSymbolOverrun() const {
    if (FBitCount < FPadBytes * 8) Fail(InflatePrematureEnd);
}

void TEntryDecoder::PutByte(uint8_t b) {
    FWindow[FOutPos++] = b;
    if (FOutPos == DecoderBufferSize) FlushWindow();
}

void TEntryDecoder::FlushWindow() {
    FFlushed += FOutPos;
    FSink.WriteOutput(FWindow, static_cast<int>(FOutPos));
    FOutPos = 0;
    FWrapped = true;
}

void TEntryDecoder::CopyMatch(unsigned distance, unsigned length) {
    if (distance > FOutPos && !FWrapped) Fail(InflateBadDistance);
    if (distance <= FOutPos && FOutPos + length <= DecoderBufferSize) {
        uint8_t* out = FWindow + FOutPos;
        const uint8_t* from = out - distance;
        FOutPos += length;
        if (distance >= length) {
            std::memcpy(out, from, length);
        } else if (distance == 1) {
            std::memset(out, *from, length);
        } else {
            // What is copied repeats with the distance, so each piece may be as long as all copied so far.
            for (unsigned n = distance; length; n = static_cast<unsigned>(out - from)) {
                n = std::min(n, length);
                std::memcpy(out, from, n);
                out += n;
                length -= n;
            }
        }
        if (FOutPos == DecoderBufferSize) FlushWindow();
        return;
    }
    // Near the window's end or reaching back across its wrap: copy in pieces.
    while (length) {
        const unsigned from = FOutPos >= distance ? FOutPos - distance : FOutPos + DecoderBufferSize - distance;
        unsigned n = std::min({length, DecoderBufferSize - FOutPos, DecoderBufferSize - from});
        if (from < FOutPos && distance < n) {
            for (unsigned i = 0; i < n; ++i)
                FWindow[FOutPos + i] = FWindow[from + i];
        } else {
            std::memmove(FWindow + FOutPos, FWindow + from, n);
        }
        FOutPos += n;
        length -= n;
        if (FOutPos == DecoderBufferSize) FlushWindow();
    }
}

void TEntryDecoder::StoredBlock(bool last) {
    TakeBits(FBitCount & 7);
    Refill();
    const uint32_t length = TakeBits(16);
    const uint32_t complement = TakeBits(16);
    if (length != (~complement & 0xFFFF)) Fail(InflateBadStoredLength);
    CheckOverrun();
    uint32_t left = length;
    const unsigned held = FBitCount / 8;
    if (FPadBytes == 0 && held <= static_cast<unsigned>(FInPos)) {
        // The whole bytes in the bit buffer are the last ones read from this input: step back over
        // them, so that all of the block's data lies in the input.
        FInPos -= static_cast<int>(held);
        FBitCount = 0;
    } else {
        // Some came from an earlier input read: take them from the bit buffer, never the zero padding.
        while (left && FBitCount >= 8 + FPadBytes * 8) {
            FWindow[FOutPos++] = static_cast<uint8_t>(TakeBits(8));
            if (FOutPos == DecoderBufferSize) FlushWindow();
            --left;
        }
        if (!left) return;
        if (FBitCount) Fail(InflatePrematureEnd); // only padding is left in the buffer
    }
    FBitBuf = 0; // its upper bits mirror input bytes that are now copied directly
    // Bytes followed by a window or more of stored data, or by the stream's end, cannot be referred back to.
    const uint32_t ahead = last ? DecoderBufferSize
                           : left <= static_cast<uint32_t>(FInEnd - FInPos)
                               ? StoredAhead(FInput + FInPos + left, FInput + FInEnd)
                               : 0;
    while (left) {
        if (FInPos == FInEnd) {
            // The input buffer is used up: read the rest of the block straight into the window.
            const unsigned want = std::min(left, DecoderBufferSize - FOutPos);
            const int n = FInputEnded ? 0 : FSource.ReadInput(FWindow + FOutPos, static_cast<int>(want));
            if (n <= 0) {
                FInputEnded = true;
                Fail(InflatePrematureEnd);
            }
            FOutPos += static_cast<unsigned>(n);
            left -= static_cast<unsigned>(n);
            if (FOutPos == DecoderBufferSize) FlushWindow();
            continue;
        }
        const unsigned avail = static_cast<unsigned>(FInEnd - FInPos);
        if (left + ahead > DecoderBufferSize) {
            // Bytes no later block can reach go to the sink from the input; the stored data after
            // them fills the window anew before any coded block.
            const unsigned n = std::min({avail, left, left + ahead - DecoderBufferSize});
            if (FOutPos) FlushWindow();
            FWrapped = true;
            FSink.WriteOutput(FInput + FInPos, static_cast<int>(n));
            FInPos += static_cast<int>(n);
            left -= n;
            continue;
        }
        const unsigned n = std::min({left, avail, DecoderBufferSize - FOutPos});
        std::memcpy(FWindow + FOutPos, FInput + FInPos, n);
        FInPos += static_cast<int>(n);
        FOutPos += n;
        left -= n;
        if (FOutPos == DecoderBufferSize) FlushWindow();
    }
    FHeaderOnly = FInPos == FInEnd;
}

void TEntryDecoder::DynamicTables() {
    Refill();
    const unsigned litCount = TakeBits(5) + 257;
    const unsigned distCount = TakeBits(5) + 1;
    const unsigned codeLengthCount = TakeBits(4) + 4;
    if (litCount > 286 || distCount > 30) Fail(InflateBadCodes);
    uint8_t codeLengths[19] = {};
    for (unsigned i = 0; i < codeLengthCount; ++i) {
        if (FBitCount < 3) Refill();
        codeLengths[CodeLengthOrder[i]] = static_cast<uint8_t>(TakeBits(3));
    }
    if (!BuildTable(codeLengths, 19, CodeLengthRootBits, TAlphabet::CodeLength, FCodeLengthTable))
        Fail(InflateBadCodes);
    uint8_t lengths[286 + 30] = {};
    const unsigned total = litCount + distCount;
    for (unsigned i = 0; i < total;) {
        Refill();
        const THuffEntry e = Decode(FCodeLengthTable.data(), CodeLengthRootBits);
        if (e.Op != OpLiteral) Fail(InflateBadCodes);
        if (e.Value < 16) {
            lengths[i++] = static_cast<uint8_t>(e.Value);
            continue;
        }
        uint8_t value = 0;
        unsigned repeat;
        if (e.Value == 16) {
            if (i == 0) Fail(InflateBadCodes);
            value = lengths[i - 1];
            repeat = 3 + TakeBits(2);
        } else if (e.Value == 17) {
            repeat = 3 + TakeBits(3);
        } else {
            repeat = 11 + TakeBits(7);
        }
        if (i + repeat > total) Fail(InflateBadCodes);
        std::fill(lengths + i, lengths + i + repeat, value);
        i += repeat;
    }
    if (lengths[256] == 0) Fail(InflateBadCodes); // no end-of-block code
    if (!BuildTable(lengths, litCount, LitRootBits, TAlphabet::LitLen, FLitTable) ||
        !BuildTable(lengths + litCount, distCount, DistRootBits, TAlphabet::Dist, FDistTable))
        Fail(InflateBadCodes);
}

void TEntryDecoder::CodedBlock(const THuffEntry* lit, const THuffEntry* dist) {
    // Past the end of the input the buffer holds zero padding; a symbol that used
    // any of it is refused before it reaches the window.
    for (;;) {
        Refill();
        THuffEntry e = Decode(lit, LitRootBits);
        if (e.Op == OpLiteral) {
            if (FBitCount < FPadBytes * 8) Fail(InflatePrematureEnd);
            FWindow[FOutPos++] = static_cast<uint8_t>(e.Value);
            if (FOutPos == DecoderBufferSize) FlushWindow();
            // A refill leaves at least 56 bits, so a second code fits without one.
            e = Decode(lit, LitRootBits);
            if (e.Op == OpLiteral) {
                if (FBitCount < FPadBytes * 8) Fail(InflatePrematureEnd);
                FWindow[FOutPos++] = static_cast<uint8_t>(e.Value);
                if (FOutPos == DecoderBufferSize) FlushWindow();
                continue;
            }
            if (FBitCount < 5 + 15 + 13) Refill(); // room for a whole length/distance pair
        }
        if (e.Op & OpBase) {
            const unsigned length = e.Value + TakeBits(e.Op & 15);
            const THuffEntry d = Decode(dist, DistRootBits);
            if (!(d.Op & OpBase)) Fail(d.Op == OpInvalid ? InflateBadCodes : InflateBadDistance);
            const unsigned distance = d.Value + TakeBits(d.Op & 15);
            if (FBitCount < FPadBytes * 8) Fail(InflatePrematureEnd);
            CopyMatch(distance, length);
            continue;
        }
        if (e.Op == OpEnd) return;
        Fail(InflateBadCodes);
    }
}

int TEntryDecoder::Inflate() {
    return RunGuarded([this] {
        for (bool last = false; !last;) {
            Refill();
            last = TakeBits(1) != 0;
            switch (TakeBits(2)) {
            case 0:
                StoredBlock(last);
                break;
            case 1:
                CodedBlock(FixedTables().Lit.data(), FixedTables().Dist.data());
                break;
            case 2:
                DynamicTables();
                CodedBlock(FLitTable.data(), FDistTable.data());
                break;
            default:
                Fail(InflateBadBlockType);
            }
            CheckOverrun();
        }
    });
}

void TEntryDecoder::CopyStored() {
    for (;;) {
        int n = DecoderBufferSize;
        const uint8_t* data = FSource.LendInput(FWindow, n);
        if (n <= 0) break;
        FSink.WriteOutput(data, n);
    }
}

int TEntryDecoder::UnusedInput() const {
    const int held = static_cast<int>(FBitCount / 8) - static_cast<int>(FPadBytes);
    return (FInEnd - FInPos) + std::max(held, 0);
}

namespace {

class TStreamSource : public TDecoderSource {
public:
    explicit TStreamSource(TStream& stream) : FStream(stream) {}
    int ReadInput(uint8_t* buffer, int count) override { return FStream.Read(buffer, count); }

private:
    TStream& FStream;
};

class TStreamSink : public TDecoderSink {
public:
    explicit TStreamSink(TStream& stream) : FStream(stream) {}
    void WriteOutput(const uint8_t* buffer, int count) override { FStream.WriteBuffer(buffer, count); }

private:
    TStream& FStream;
};

class TMemorySource : public TDecoderSource {
public:
    TMemorySource(const uint8_t* data, size_t size) : FData(data), FLeft(size) {}
    int ReadInput(uint8_t* buffer, int count) override {
        const size_t n = std::min(FLeft, static_cast<size_t>(count));
        if (n) std::memcpy(buffer, FData, n);
        FData += n;
        FLeft -= n;
        return static_cast<int>(n);
    }
    // Everything left, in pieces an int can count; the caller's memory stays put throughout.
    const uint8_t* LendInput(uint8_t*, int& count) override {
        const uint8_t* data = FData;
        const size_t n = std::min(FLeft, size_t{1} << 30);
        FData += n;
        FLeft -= n;
        count = static_cast<int>(n);
        return data;
    }

private:
    const uint8_t* FData;
    size_t FLeft;
};

class TVectorSink : public TDecoderSink {
public:
    explicit TVectorSink(std::vector<uint8_t>& out) : FOut(out) {}
    void WriteOutput(const uint8_t* buffer, int count) override { FOut.insert(FOut.end(), buffer, buffer + count); }

private:
    std::vector<uint8_t>& FOut;
};

void RaiseInflateError(int result) {
    throw EFatalUnzipError(Format("Corrupt deflate data (error %d)", result));
}

} // namespace

void InflateRaw(TStream& in, TStream& out) {
    TStreamSource source(in);
    TStreamSink sink(out);
    auto decoder = std::make_unique<TEntryDecoder>(source, sink);
    const int result = decoder->Inflate();
    if (result != InflateOk) RaiseInflateError(result);
    if (const int unused = decoder->UnusedInput()) in.Seek(-unused, soCurrent);
}

void InflateRaw(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    TMemorySource source(data, size);
    TVectorSink sink(out);
    auto decoder = std::make_unique<TEntryDecoder>(source, sink);
    const int result = decoder->Inflate();
    if (result != InflateOk) RaiseInflateError(result);
}

} // namespace zip
