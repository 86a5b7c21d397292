// The LZ77 side of the deflate compressor: a 64 KB window that slides by 32 KB,
// hash chains over three-byte strings, and the two compression loops (greedy for
// levels 1-3, lazy for 4-9). Matched strings and literals go to TDeflateTrees.
#include "zip/Deflate.h"

#include "zip/DeflateTrees.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace zip {

using namespace deflate;

namespace {

constexpr unsigned WindowSize = 2 * WSize;
// Matches are compared eight bytes at a time and may look past the data by up to a word.
constexpr unsigned WindowPadding = MaxMatch + 16;
constexpr unsigned HashSize = 1u << 15;
constexpr unsigned HashMask = HashSize - 1;

struct TLevelConfig {
    unsigned GoodLength; // quarter the chain once the previous match is this long
    unsigned MaxLazy;    // lazy levels: no search past a match this long; greedy: insert its strings up to this
    unsigned NiceLength; // stop searching at a match this long
    unsigned MaxChain;   // candidates tried per search
};

constexpr TLevelConfig LevelTable[10] = {
    {0, 0, 0, 0},    {4, 4, 8, 4},      {4, 5, 16, 8},     {4, 6, 32, 32},       {4, 4, 16, 16},
    {8, 16, 32, 32}, {8, 16, 128, 128}, {8, 32, 128, 256}, {32, 128, 258, 1024}, {32, 258, 258, 4096},
};

// General-purpose flag bits 1 and 2 say how hard the data was compressed.
constexpr uint16_t FlagMaximum = 0x0002;
constexpr uint16_t FlagFast = 0x0004;

// The first differing byte of two words is found from the low end.
static_assert(std::endian::native == std::endian::little, "match comparison assumes little-endian words");

inline uint64_t LoadWord64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline uint16_t LoadWord16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Positions that fall out of the window become 0, the end of a chain. Written as a
// plain counted loop so that the compiler turns it into saturating vector subtractions.
inline void SlideLinks(uint16_t* links, unsigned count) {
    for (unsigned i = 0; i < count; ++i)
        links[i] = static_cast<uint16_t>(links[i] >= WSize ? links[i] - WSize : 0);
}

} // namespace

class TDeflateState {
public:
    TDeflateState() : FWindow(WindowSize + WindowPadding, 0), FPrev(WSize, 0), FHead(HashSize, 0) {}

    TDeflateResult Run(int packLevel, TDeflateIO& io);

private:
    // Hash of the three bytes at p; the same value that feeding them one by one through
    // h = ((h << 5) ^ c) & mask gives.
    static unsigned Hash(const uint8_t* p) { return ((p[0] << 10) ^ (p[1] << 5) ^ p[2]) & HashMask; }
    unsigned InsertString(unsigned position) {
        const unsigned h = Hash(FWindow.data() + position);
        const unsigned head = FHead[h];
        FPrev[position & WMask] = static_cast<uint16_t>(head);
        FHead[h] = static_cast<uint16_t>(position);
        return head;
    }

    void FillWindow();
    void SlideWindow();
    unsigned LongestMatch(unsigned curMatch);
    void DeflateFast();
    void DeflateLazy();
    void FlushBlock(bool last) {
        FTrees.FlushBlock(FBlockStart >= 0 ? FWindow.data() + FBlockStart : nullptr,
                          static_cast<uint32_t>(static_cast<int64_t>(FStrStart) - FBlockStart), last);
        FBlockStart = FStrStart;
    }
    bool BlockDone() const {
        return FTrees.BlockDone(static_cast<uint64_t>(static_cast<int64_t>(FStrStart) - FBlockStart));
    }

    std::vector<uint8_t> FWindow;
    std::vector<uint16_t> FPrev; // chain links, by position & WMask; 0 ends a chain
    std::vector<uint16_t> FHead; // newest position of each hash
    TDeflateTrees FTrees;
    TDeflateIO* FIO = nullptr;
    TLevelConfig FConfig{};
    unsigned FStrStart = 0;
    unsigned FLookahead = 0;
    unsigned FMatchStart = 0;
    unsigned FPrevLength = MinMatch - 1;
    bool FMatchAvailable = false;
    int64_t FBlockStart = 0; // negative once the block's first bytes slid out of the window
    bool FEof = false;
};

TDeflateResult TDeflateState::Run(int packLevel, TDeflateIO& io) {
    // The writer stores at level 0; a level outside the table never indexes past it.
    packLevel = std::clamp(packLevel, 1, 9);
    FIO = &io;
    FConfig = LevelTable[packLevel];
    FTrees.StartFile(io, packLevel);
    std::fill(FHead.begin(), FHead.end(), 0);
    FStrStart = 0;
    FLookahead = 0;
    FMatchStart = 0;
    FPrevLength = MinMatch - 1;
    FMatchAvailable = false;
    FBlockStart = 0;
    FEof = false;

    FillWindow();
    if (packLevel <= 3)
        DeflateFast();
    else
        DeflateLazy();

    TDeflateResult result;
    result.CompressedSize = FTrees.CompressedSize();
    result.Method = FTrees.Method();
    result.InternalAttributes = FTrees.InternalAttributes();
    result.FlagBits = packLevel < 3 ? FlagFast : packLevel >= 8 ? FlagMaximum : 0;
    return result;
}

void TDeflateState::FillWindow() {
    do {
        unsigned more = WindowSize - FLookahead - FStrStart;
        if (FStrStart >= WSize + MaxDist) {
            SlideWindow();
            more += WSize;
        }
        if (FEof) return;
        const int n = FIO->ReadSource(FWindow.data() + FStrStart + FLookahead, static_cast<int>(more));
        if (n <= 0) {
            // A read error ends the input as well; the writer that reads knows of it.
            FEof = true;
            return;
        }
        FLookahead += static_cast<unsigned>(n);
    } while (FLookahead < MinLookahead);
}

void TDeflateState::SlideWindow() {
    // The block's first bytes are about to leave the window, and with them the chance to
    // send it stored: when stored is what it would be, send it now.
    const int64_t covered = static_cast<int64_t>(FStrStart) - (FMatchAvailable ? 1 : 0);
    if (FBlockStart >= 0 && FBlockStart < static_cast<int64_t>(WSize) && covered > FBlockStart && FTrees.HasSymbols()) {
        const auto storedLength = static_cast<uint32_t>(covered - FBlockStart);
        if (FTrees.StoredWouldWin(storedLength)) {
            FTrees.FlushBlock(FWindow.data() + FBlockStart, storedLength, false);
            FBlockStart = covered;
        }
    }

    std::memcpy(FWindow.data(), FWindow.data() + WSize, WSize);
    FMatchStart -= WSize;
    FStrStart -= WSize;
    FBlockStart -= static_cast<int64_t>(WSize);
    SlideLinks(FHead.data(), HashSize);
    SlideLinks(FPrev.data(), WSize);
}

unsigned TDeflateState::LongestMatch(unsigned curMatch) {
    unsigned chainLength = FConfig.MaxChain;
    const uint8_t* window = FWindow.data();
    const uint8_t* scan = window + FStrStart;
    unsigned bestLen = FPrevLength;
    unsigned niceLength = std::min(FConfig.NiceLength, FLookahead);
    const unsigned limit = FStrStart > MaxDist ? FStrStart - MaxDist : 0;
    const uint16_t* prev = FPrev.data();
    if (FPrevLength >= FConfig.GoodLength) chainLength >>= 2;

    const uint16_t scanStart = LoadWord16(scan);
    uint16_t scanEnd = LoadWord16(scan + bestLen - 1);
    do {
        const uint8_t* match = window + curMatch;
        // Cheap tests first: the two bytes that would make the match longer, then the start.
        if (LoadWord16(match + bestLen - 1) != scanEnd || LoadWord16(match) != scanStart) continue;
        unsigned len = 2;
        for (;;) {
            const uint64_t diff = LoadWord64(scan + len) ^ LoadWord64(match + len);
            if (diff != 0) {
                len += static_cast<unsigned>(std::countr_zero(diff)) >> 3;
                break;
            }
            len += 8;
            if (len >= MaxMatch) break;
        }
        if (len > MaxMatch) len = MaxMatch;
        if (len > bestLen) {
            FMatchStart = curMatch;
            bestLen = len;
            if (len >= niceLength) break;
            scanEnd = LoadWord16(scan + bestLen - 1);
        }
    } while ((curMatch = prev[curMatch & WMask]) > limit && --chainLength != 0);

    return std::min(bestLen, FLookahead);
}

void TDeflateState::DeflateFast() {
    const uint8_t* window = FWindow.data();
    unsigned matchLength = 0;
    for (;;) {
        if (FLookahead < MinLookahead) {
            FillWindow();
            if (FLookahead == 0) break;
        }
        unsigned hashHead = 0;
        if (FLookahead >= MinMatch) hashHead = InsertString(FStrStart);
        if (hashHead != 0 && FStrStart - hashHead <= MaxDist) matchLength = LongestMatch(hashHead);

        bool flush;
        if (matchLength >= MinMatch) {
            flush = FTrees.TallyMatch(FStrStart - FMatchStart, matchLength);
            FLookahead -= matchLength;
            if (matchLength <= FConfig.MaxLazy && FLookahead >= MinMatch) {
                // Short match: its strings go into the hash too.
                while (--matchLength != 0)
                    InsertString(++FStrStart);
                ++FStrStart;
            } else {
                // Long match: skip it; the hash is computed afresh from the next bytes.
                FStrStart += matchLength;
                matchLength = 0;
            }
        } else {
            flush = FTrees.TallyLiteral(window[FStrStart]);
            --FLookahead;
            ++FStrStart;
        }
        if (flush && BlockDone()) FlushBlock(false);
    }
    FlushBlock(true);
}

void TDeflateState::DeflateLazy() {
    const uint8_t* window = FWindow.data();
    unsigned matchLength = MinMatch - 1;
    for (;;) {
        if (FLookahead < MinLookahead) {
            FillWindow();
            if (FLookahead == 0) break;
        }
        unsigned hashHead = 0;
        if (FLookahead >= MinMatch) hashHead = InsertString(FStrStart);

        FPrevLength = matchLength;
        const unsigned prevMatch = FMatchStart;
        matchLength = MinMatch - 1;
        if (hashHead != 0 && FPrevLength < FConfig.MaxLazy && FStrStart - hashHead <= MaxDist) {
            matchLength = LongestMatch(hashHead);
            // A three-byte match far back costs more bits than three literals.
            if (matchLength == MinMatch && FStrStart - FMatchStart > TooFar) matchLength = MinMatch - 1;
        }

        if (FPrevLength >= MinMatch && matchLength <= FPrevLength) {
            // The match at the previous position is at least as good: take it.
            const unsigned maxInsert = FStrStart + FLookahead - MinMatch;
            const bool flush = FTrees.TallyMatch(FStrStart - 1 - prevMatch, FPrevLength);
            FLookahead -= FPrevLength - 1;
            unsigned remaining = FPrevLength - 2;
            do {
                if (++FStrStart <= maxInsert) InsertString(FStrStart);
            } while (--remaining != 0);
            FMatchAvailable = false;
            matchLength = MinMatch - 1;
            ++FStrStart;
            if (flush && BlockDone()) FlushBlock(false);
        } else if (FMatchAvailable) {
            // The previous byte had no better match than this position: it goes out as a literal.
            if (FTrees.TallyLiteral(window[FStrStart - 1]) && BlockDone()) FlushBlock(false);
            ++FStrStart;
            --FLookahead;
        } else {
            FMatchAvailable = true;
            ++FStrStart;
            --FLookahead;
        }
    }
    if (FMatchAvailable) {
        FTrees.TallyLiteral(window[FStrStart - 1]);
        FMatchAvailable = false;
    }
    FlushBlock(true);
}

TDeflater::TDeflater() : FState(std::make_unique<TDeflateState>()) {}

TDeflater::~TDeflater() = default;

TDeflateResult TDeflater::Deflate(int packLevel, TDeflateIO& io) {
    return FState->Run(packLevel, io);
}

} // namespace zip
