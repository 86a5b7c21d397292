// Huffman side of the deflate compressor: the symbol buffers of the current block
// with their frequencies, tree construction, and block output (stored, fixed or
// dynamic trees). Bits go out least significant first through a 64-bit bit buffer;
// the byte stream is the same as with a 16-bit buffer, only flushed in bigger steps.
#pragma once

#include "zip/Deflate.h"

#include <cstdint>
#include <vector>

namespace zip {

namespace deflate {
constexpr unsigned MinMatch = 3;
constexpr unsigned MaxMatch = 258;
constexpr unsigned WSize = 32768; // half of the window; the matcher slides by this much
constexpr unsigned WMask = WSize - 1;
constexpr unsigned MinLookahead = MaxMatch + MinMatch + 1;
constexpr unsigned MaxDist = WSize - MinLookahead;
constexpr unsigned TooFar = 4096;
constexpr unsigned LiteralBufferSize = 32768;
constexpr unsigned LengthCodes = 29;
constexpr unsigned Literals = 256;
constexpr unsigned EndBlock = 256;
constexpr unsigned LCodes = Literals + 1 + LengthCodes; // 286
constexpr unsigned DCodes = 30;
constexpr unsigned BLCodes = 19;
constexpr unsigned HeapSize = 2 * LCodes + 1; // 573
constexpr unsigned MaxBits = 15;
constexpr unsigned MaxBLBits = 7;
} // namespace deflate

class TDeflateTrees {
public:
    TDeflateTrees();

    // Resets the output and the block for a new entry.
    void StartFile(TDeflateIO& io, int packLevel);

    // Record one symbol of the current block. A true result means a block boundary may be due:
    // the caller then asks BlockDone with the input length of the block.
    bool TallyLiteral(uint8_t c) {
        FLiterals[FLastLit] = c;
        FDistances[FLastLit] = 0; // distance 0 marks a literal, so no separate flag buffer is needed
        ++FLastLit;
        ++FLTree[c].Freq;
        return (FLastLit & 0xFFF) == 0 || FLastLit == LiteralLimit;
    }
    bool TallyMatch(unsigned distance, unsigned length) {
        const unsigned lc = length - deflate::MinMatch;
        FLiterals[FLastLit] = static_cast<uint8_t>(lc);
        FDistances[FLastLit] = static_cast<uint16_t>(distance);
        ++FLastLit;
        ++FLastDist;
        ++FLTree[FLengthCode[lc] + deflate::Literals + 1].Freq;
        ++FDTree[DistanceCode(distance - 1)].Freq;
        return (FLastLit & 0xFFF) == 0 || FLastLit == LiteralLimit;
    }
    // True when the block must be flushed now: its buffer is full or, from level 3 up, it
    // is mostly literals and already compresses well (a new block will fit the data better).
    bool BlockDone(uint64_t inputLength) const;

    // Probe before raw bytes leave the window: true when the block would go out stored.
    bool StoredWouldWin(uint32_t storedLength);

    // Emits the block whose raw bytes are block[0..storedLength); block is null when they
    // are no longer in the window (a stored block is then impossible).
    void FlushBlock(const uint8_t* block, uint32_t storedLength, bool last);

    bool HasSymbols() const { return FLastLit != 0; }
    uint64_t CompressedSize() const { return FCompressedSize; }
    uint16_t Method() const { return FMethod; }
    uint16_t InternalAttributes() const { return FInternalAttributes; }

private:
    struct TTreeNode {
        uint32_t Freq = 0;
        uint16_t Code = 0;
        uint16_t Len = 0;
        uint16_t Dad = 0;
    };
    struct TTreeDesc {
        TTreeNode* Tree;
        const TTreeNode* StaticTree; // null for the bit-length tree
        const uint8_t* ExtraBits;
        unsigned ExtraBase;
        unsigned Elems;
        unsigned MaxLength;
        int MaxCode = 0;
        int Forced[2] = {-1, -1}; // codes given a frequency of 1 so that the tree has two
    };
    static constexpr unsigned LiteralLimit = deflate::LiteralBufferSize - 1;
    // Output goes to the writer 16 KB at a time (it encrypts and counts per call); the slack
    // lets a 32-bit store land before the full-buffer check.
    static constexpr unsigned OutputBufferSize = 16384;
    static constexpr unsigned OutputSlack = 16;

    unsigned DistanceCode(unsigned dist) const { return dist < 256 ? FDistCode[dist] : FDistCode[256 + (dist >> 7)]; }

    void InitBlock();
    void DecideFileType();
    void PqDownHeap(TTreeNode* tree, int k);
    void GenBitLen(TTreeDesc& desc);
    void GenCodes(TTreeNode* tree, int maxCode);
    void BuildTree(TTreeDesc& desc);
    void UndoForced(TTreeDesc& desc);
    // The length after code n; past the last code a value no length equals, so a run ends there.
    static unsigned NextLength(const TTreeNode* tree, int n, int maxCode) {
        return n < maxCode ? tree[n + 1].Len : 0xFFFFu;
    }
    void ScanTree(TTreeNode* tree, int maxCode);
    void SendTree(const TTreeNode* tree, int maxCode);
    int BuildBLTree();
    void BuildAllTrees(uint64_t& optBytes, uint64_t& staticBytes, int& maxBLIndex);
    void SendAllTrees(int lcodes, int dcodes, int blcodes);
    void CompressBlock(const TTreeNode* ltree, const TTreeNode* dtree);
    void StoredBlocks(const uint8_t* block, uint32_t storedLength, bool last);

    void SendBits(uint32_t value, unsigned length) {
        FBitBuffer |= static_cast<uint64_t>(value) << FBitCount;
        FBitCount += length;
        if (FBitCount >= 32) {
            if (FOutPos >= OutputBufferSize) FlushOutput();
            StoreWord(FOutput.data() + FOutPos, static_cast<uint32_t>(FBitBuffer));
            FOutPos += 4;
            FBitBuffer >>= 32;
            FBitCount -= 32;
        }
    }
    void SendCode(unsigned c, const TTreeNode* tree) { SendBits(tree[c].Code, tree[c].Len); }
    static void StoreWord(uint8_t* p, uint32_t v) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
        p[3] = static_cast<uint8_t>(v >> 24);
    }
    void AlignToByte();
    void WriteRaw(const uint8_t* data, uint32_t count);
    void FlushOutput();

    // Tables built once, kept for every entry.
    TTreeNode FStaticLTree[deflate::LCodes + 2];
    TTreeNode FStaticDTree[deflate::DCodes];
    uint8_t FLengthCode[256];
    uint8_t FDistCode[512];
    uint16_t FBaseLength[deflate::LengthCodes];
    uint16_t FBaseDist[deflate::DCodes];

    // The current block.
    TTreeNode FLTree[deflate::HeapSize];
    TTreeNode FDTree[2 * deflate::DCodes + 1];
    TTreeNode FBLTree[2 * deflate::BLCodes + 1];
    TTreeDesc FLDesc;
    TTreeDesc FDDesc;
    TTreeDesc FBLDesc;
    int FHeap[deflate::HeapSize];
    int FHeapLen = 0;
    int FHeapMax = 0;
    uint8_t FDepth[deflate::HeapSize];
    uint16_t FBLCount[deflate::MaxBits + 1];
    uint64_t FOptLen = 0;
    uint64_t FStaticLen = 0;
    std::vector<uint8_t> FLiterals;   // literal byte, or match length - 3
    std::vector<uint16_t> FDistances; // match distance, 0 for a literal
    unsigned FLastLit = 0;
    unsigned FLastDist = 0;

    // The current entry.
    TDeflateIO* FIO = nullptr;
    int FPackLevel = 6;
    bool FTypeDecided = false;
    bool FEmitted = false;
    uint16_t FMethod = MethodDeflated;
    uint16_t FInternalAttributes = 0;
    uint64_t FCompressedSize = 0;
    uint64_t FBitBuffer = 0;
    unsigned FBitCount = 0;
    std::vector<uint8_t> FOutput;
    unsigned FOutPos = 0;
};

} // namespace zip
