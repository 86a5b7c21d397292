// The three older methods over the entry decoder's bit buffer and window:
// unshrink (LZW with codes of 9 to 13 bits, widened and partly cleared by the
// control code 256), unreduce (follower sets and a byte-144 escape for copies)
// and explode (Shannon-Fano trees for literals, lengths and distances). None
// marks its end, so each stops at the entry's size. Every table, stack and
// window access is checked: corrupt data fails, never reaches past a buffer.
#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include "zip/EntryDecoder.h"

namespace zip {

namespace {

// Unshrink.
constexpr unsigned ShrinkCodes = 8192;
constexpr uint16_t FreeCode = 0xFFFF;
constexpr unsigned ControlCode = 256;
constexpr unsigned FirstFreeCode = 257;
constexpr unsigned ShrinkMinWidth = 9;
constexpr unsigned ShrinkMaxWidth = 13;
constexpr unsigned ControlWiden = 1;
constexpr unsigned ControlPartialClear = 2;

// Unreduce.
constexpr uint8_t ReduceEscape = 144;
constexpr unsigned MaxFollowers = 63;
constexpr unsigned ReduceMinCopy = 3;

// Explode.
constexpr unsigned LiteralCount = 256;
constexpr unsigned LengthCount = 64;
constexpr unsigned DistanceCount = 64;
constexpr unsigned MaxShannonFanoBits = 16;
constexpr unsigned LongLengthCode = 63; // followed by 8 more bits of length
constexpr uint16_t FlagBigDictionary = 2;
constexpr uint16_t FlagLiteralTree = 4;

struct TWork {
    uint16_t Prefix[ShrinkCodes];
    uint8_t Suffix[ShrinkCodes];
    uint8_t Stack[ShrinkCodes];
};

// Bits that index a follower set of n entries.
unsigned FollowerIndexBits(unsigned n) {
    unsigned bits = 1;
    while ((1u << bits) < n)
        ++bits;
    return bits;
}

unsigned ReverseBits(unsigned code, unsigned length) {
    unsigned r = 0;
    for (unsigned i = 0; i < length; ++i, code >>= 1)
        r = (r << 1) | (code & 1);
    return r;
}

// A Shannon-Fano tree as a lookup table indexed by the next MaxBits input bits.
struct TShannonFanoTable {
    struct TSlot {
        uint16_t Symbol;
        uint8_t Bits;
    };
    std::vector<TSlot> Slots;
    unsigned MaxBits = 0;
};

// Codes go out in order of rising bit length (ties by value) and are counted
// from the longest down, each a step of 2^(16 - length) above the one before;
// the code must fill the 16-bit space exactly, else the tree is corrupt.
bool BuildShannonFano(const uint8_t* lengths, unsigned count, TShannonFanoTable& table) {
    std::vector<uint16_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](uint16_t a, uint16_t b) { return lengths[a] < lengths[b]; });
    std::vector<uint32_t> codes(count);
    uint32_t code = 0, increment = 0;
    unsigned lastLength = 0;
    for (unsigned i = count; i-- > 0;) {
        code += increment;
        const unsigned length = lengths[order[i]];
        if (length != lastLength) {
            lastLength = length;
            increment = 1u << (MaxShannonFanoBits - length);
        }
        if (code + increment > (1u << MaxShannonFanoBits)) return false; // over-subscribed
        codes[order[i]] = code;
    }
    if (code + increment != (1u << MaxShannonFanoBits)) return false; // incomplete
    table.MaxBits = lengths[order[count - 1]];
    table.Slots.assign(size_t{1} << table.MaxBits, {0, 0});
    for (unsigned symbol = 0; symbol < count; ++symbol) {
        const unsigned length = lengths[symbol];
        // The first bit read is the code's highest.
        const unsigned first = ReverseBits(codes[symbol] >> (MaxShannonFanoBits - length), length);
        for (size_t i = first; i < table.Slots.size(); i += size_t{1} << length)
            table.Slots[i] = {static_cast<uint16_t>(symbol), static_cast<uint8_t>(length)};
    }
    return true;
}

} // namespace

int TEntryDecoder::Unshrink(uint64_t size) {
    return RunGuarded([this, size] { UnshrinkCodes(size); });
}

int TEntryDecoder::Unreduce(int factor, uint64_t size) {
    return RunGuarded([this, factor, size] { UnreduceBytes(factor, size); });
}

int TEntryDecoder::Explode(uint16_t flags, uint64_t size) {
    return RunGuarded([this, flags, size] { ExplodeBytes(flags, size); });
}

void TEntryDecoder::UnshrinkCodes(uint64_t size) {
    auto work = std::make_unique<TWork>();
    uint16_t* prefix = work->Prefix;
    uint8_t* suffix = work->Suffix;
    std::fill(prefix, prefix + ShrinkCodes, FreeCode);
    for (unsigned c = 0; c < 256; ++c) {
        prefix[c] = 0;
        suffix[c] = static_cast<uint8_t>(c);
    }
    unsigned width = ShrinkMinWidth;
    unsigned nextFree = FirstFreeCode;
    // A code is read only while the input still holds all of its bits: the last byte's spare bits end the data.
    auto readCode = [&](unsigned& code) {
        Refill();
        if (FBitCount < FPadBytes * 8 + width) return false;
        code = TakeBits(width);
        return true;
    };
    auto advanceFree = [&] {
        while (nextFree < ShrinkCodes && prefix[nextFree] != FreeCode)
            ++nextFree;
    };
    // Puts a code's string on the stack (last byte first), refusing cycles and free links.
    auto unwind = [&](unsigned code) {
        unsigned depth = 0;
        while (code >= FirstFreeCode) {
            if (depth == ShrinkCodes || prefix[code] == FreeCode) Fail(InflateBadCodes);
            work->Stack[depth++] = suffix[code];
            code = prefix[code];
        }
        if (code == ControlCode || depth == ShrinkCodes) Fail(InflateBadCodes);
        work->Stack[depth++] = static_cast<uint8_t>(code);
        return depth;
    };

    unsigned previous;
    if (size == 0 || !readCode(previous)) return;
    if (previous >= 256) Fail(InflateBadCodes);
    PutByte(static_cast<uint8_t>(previous));
    uint8_t previousFirst = static_cast<uint8_t>(previous);
    unsigned code;
    while (Produced() < size && readCode(code)) {
        if (code == ControlCode) {
            unsigned control;
            if (!readCode(control)) Fail(InflatePrematureEnd);
            if (control == ControlWiden) {
                if (width == ShrinkMaxWidth) Fail(InflateBadCodes);
                ++width;
            } else if (control == ControlPartialClear) {
                // Free every code that is no other code's prefix.
                std::vector<bool> isPrefix(ShrinkCodes, false);
                for (unsigned c = FirstFreeCode; c < ShrinkCodes; ++c)
                    if (prefix[c] != FreeCode) isPrefix[prefix[c]] = true;
                for (unsigned c = FirstFreeCode; c < ShrinkCodes; ++c)
                    if (!isPrefix[c]) prefix[c] = FreeCode;
                nextFree = FirstFreeCode;
                advanceFree();
            } else {
                Fail(InflateBadCodes);
            }
            continue;
        }
        // A free code can only be the one this very step defines: the previous string plus its own first byte.
        const bool definedNow = code >= FirstFreeCode && prefix[code] == FreeCode;
        if (definedNow) {
            if (code != nextFree) Fail(InflateBadCodes);
            prefix[code] = static_cast<uint16_t>(previous);
            suffix[code] = previousFirst;
        }
        unsigned depth = unwind(code);
        const uint8_t first = work->Stack[depth - 1];
        while (depth)
            PutByte(work->Stack[--depth]);
        if (!definedNow && nextFree < ShrinkCodes) {
            prefix[nextFree] = static_cast<uint16_t>(previous);
            suffix[nextFree] = first;
        }
        advanceFree();
        previous = code;
        previousFirst = first;
    }
}

void TEntryDecoder::UnreduceBytes(int factor, uint64_t size) {
    if (factor < 1 || factor > 4) Fail(InflateBadCodes);
    uint8_t followers[256][MaxFollowers];
    uint8_t followerCount[256];
    for (int byte = 255; byte >= 0; --byte) {
        Refill();
        const unsigned n = TakeBits(6);
        followerCount[byte] = static_cast<uint8_t>(n);
        for (unsigned i = 0; i < n; ++i) {
            Refill();
            followers[byte][i] = static_cast<uint8_t>(TakeBits(8));
        }
        CheckSymbolOverrun();
    }
    // The length and distance split of the byte after the escape, by factor.
    const unsigned lengthMask = 0xFFu >> factor;
    const unsigned distanceShift = 8 - static_cast<unsigned>(factor);
    enum { Plain, AfterEscape, LengthByte, DistanceByte } state = Plain;
    unsigned length = 0, lengthByte = 0;
    uint8_t last = 0;
    while (Produced() < size) {
        Refill();
        uint8_t c;
        const unsigned n = followerCount[last];
        if (n == 0 || TakeBits(1)) {
            c = static_cast<uint8_t>(TakeBits(8));
        } else {
            const unsigned index = TakeBits(FollowerIndexBits(n));
            if (index >= n) Fail(InflateBadCodes);
            c = followers[last][index];
        }
        CheckSymbolOverrun();
        last = c;
        switch (state) {
        case Plain:
            if (c == ReduceEscape)
                state = AfterEscape;
            else
                PutByte(c);
            break;
        case AfterEscape:
            if (c == 0) {
                PutByte(ReduceEscape);
                state = Plain;
                break;
            }
            lengthByte = c;
            length = c & lengthMask;
            state = length == lengthMask ? LengthByte : DistanceByte;
            break;
        case LengthByte:
            length += c;
            state = DistanceByte;
            break;
        case DistanceByte: {
            const uint64_t distance = (lengthByte >> distanceShift) * 256u + c + 1;
            uint64_t count = length + ReduceMinCopy;
            // Before the start of the data lie zeros.
            while (count && distance > Produced()) {
                PutByte(0);
                --count;
            }
            if (count) CopyMatch(static_cast<unsigned>(distance), static_cast<unsigned>(count));
            state = Plain;
            break;
        }
        }
    }
}

void TEntryDecoder::ExplodeBytes(uint16_t flags, uint64_t size) {
    auto readTree = [this](unsigned count, TShannonFanoTable& table) {
        std::vector<uint8_t> lengths(count);
        Refill();
        const unsigned bytes = TakeBits(8) + 1;
        unsigned filled = 0;
        for (unsigned i = 0; i < bytes; ++i) {
            Refill();
            const unsigned pair = TakeBits(8);
            const unsigned length = (pair & 15) + 1, repeat = (pair >> 4) + 1;
            if (filled + repeat > count) Fail(InflateBadCodes);
            std::fill_n(lengths.begin() + filled, repeat, static_cast<uint8_t>(length));
            filled += repeat;
        }
        CheckSymbolOverrun();
        if (filled != count || !BuildShannonFano(lengths.data(), count, table)) Fail(InflateBadCodes);
    };
    auto decode = [this](const TShannonFanoTable& table) {
        const auto& slot = table.Slots[FBitBuf & ((uint64_t{1} << table.MaxBits) - 1)];
        TakeBits(slot.Bits);
        return slot.Symbol;
    };
    const bool literalTree = flags & FlagLiteralTree;
    TShannonFanoTable literals, lengths, distances;
    if (literalTree) readTree(LiteralCount, literals);
    readTree(LengthCount, lengths);
    readTree(DistanceCount, distances);
    const unsigned lowDistanceBits = (flags & FlagBigDictionary) ? 7 : 6;
    const unsigned minMatch = literalTree ? 3 : 2;
    while (Produced() < size) {
        Refill(); // a whole match takes at most 1 + 7 + 16 + 16 + 8 bits
        if (TakeBits(1)) {
            const unsigned literal = literalTree ? decode(literals) : TakeBits(8);
            CheckSymbolOverrun();
            PutByte(static_cast<uint8_t>(literal));
            continue;
        }
        const unsigned low = TakeBits(lowDistanceBits);
        const unsigned distance = ((decode(distances) << lowDistanceBits) | low) + 1;
        unsigned length = decode(lengths);
        if (length == LongLengthCode) length += TakeBits(8);
        CheckSymbolOverrun();
        CopyMatch(distance, length + minMatch);
    }
}

} // namespace zip
