// Huffman trees and block output of the deflate compressor. Code lengths are built
// with a frequency heap (ties go to the shallower subtree) and limited to 15 bits by
// moving overflowing leaves down the tree; each block goes out in whichever form is
// smallest: stored, fixed codes or dynamic codes.
#include "zip/DeflateTrees.h"

#include <algorithm>
#include <cstring>

namespace zip {

using namespace deflate;

namespace {

constexpr uint8_t ExtraLBits[LengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                             2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint8_t ExtraDBits[DCodes] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t ExtraBLBits[BLCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
// Order in which the bit-length code lengths are sent, most likely used first.
constexpr uint8_t BLOrder[BLCodes] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

constexpr unsigned Rep3To6 = 16;     // repeat the previous length 3-6 times (2 bits)
constexpr unsigned RepZ3To10 = 17;   // repeat a zero length 3-10 times (3 bits)
constexpr unsigned RepZ11To138 = 18; // repeat a zero length 11-138 times (7 bits)

unsigned ReverseBits(unsigned code, unsigned length) {
    unsigned result = 0;
    do {
        result |= code & 1;
        code >>= 1;
        result <<= 1;
    } while (--length > 0);
    return result >> 1;
}

} // namespace

TDeflateTrees::TDeflateTrees()
    : FLiterals(LiteralBufferSize), FDistances(LiteralBufferSize), FOutput(OutputBufferSize + OutputSlack) {
    // Length and distance code tables.
    unsigned length = 0;
    unsigned code = 0;
    for (code = 0; code < LengthCodes - 1; ++code) {
        FBaseLength[code] = static_cast<uint16_t>(length);
        for (unsigned n = 0; n < (1u << ExtraLBits[code]); ++n)
            FLengthCode[length++] = static_cast<uint8_t>(code);
    }
    // Length 258 has a code of its own although 257 + 31 extra would also reach it.
    FLengthCode[length - 1] = static_cast<uint8_t>(code);
    FBaseLength[code] = static_cast<uint16_t>(MaxMatch - MinMatch);
    unsigned dist = 0;
    for (code = 0; code < 16; ++code) {
        FBaseDist[code] = static_cast<uint16_t>(dist);
        for (unsigned n = 0; n < (1u << ExtraDBits[code]); ++n)
            FDistCode[dist++] = static_cast<uint8_t>(code);
    }
    dist >>= 7; // from here on the table is indexed by distance / 128
    for (; code < DCodes; ++code) {
        FBaseDist[code] = static_cast<uint16_t>(dist << 7);
        for (unsigned n = 0; n < (1u << (ExtraDBits[code] - 7)); ++n)
            FDistCode[256 + dist++] = static_cast<uint8_t>(code);
    }

    // The fixed trees of the format.
    for (unsigned bits = 0; bits <= MaxBits; ++bits)
        FBLCount[bits] = 0;
    for (unsigned n = 0; n < LCodes + 2; ++n) {
        const unsigned len = n <= 143 ? 8 : n <= 255 ? 9 : n <= 279 ? 7 : 8;
        FStaticLTree[n].Len = static_cast<uint16_t>(len);
        ++FBLCount[len];
    }
    GenCodes(FStaticLTree, LCodes + 1);
    for (unsigned n = 0; n < DCodes; ++n) {
        FStaticDTree[n].Len = 5;
        FStaticDTree[n].Code = static_cast<uint16_t>(ReverseBits(n, 5));
    }

    FLDesc = {FLTree, FStaticLTree, ExtraLBits, Literals + 1, LCodes, MaxBits};
    FDDesc = {FDTree, FStaticDTree, ExtraDBits, 0, DCodes, MaxBits};
    FBLDesc = {FBLTree, nullptr, ExtraBLBits, 0, BLCodes, MaxBLBits};
}

void TDeflateTrees::StartFile(TDeflateIO& io, int packLevel) {
    FIO = &io;
    FPackLevel = packLevel;
    FTypeDecided = false;
    FEmitted = false;
    FMethod = MethodDeflated;
    FInternalAttributes = 0;
    FCompressedSize = 0;
    FBitBuffer = 0;
    FBitCount = 0;
    FOutPos = 0;
    InitBlock();
}

void TDeflateTrees::InitBlock() {
    for (auto& node : FLTree)
        node.Freq = 0;
    for (auto& node : FDTree)
        node.Freq = 0;
    for (auto& node : FBLTree)
        node.Freq = 0;
    FLTree[EndBlock].Freq = 1;
    FLastLit = 0;
    FLastDist = 0;
    FOptLen = 0;
    FStaticLen = 0;
}

bool TDeflateTrees::BlockDone(uint64_t inputLength) const {
    if (FLastLit >= LiteralLimit) return true;
    if (FPackLevel < 3 || (FLastLit & 0xFFF) != 0) return false;
    // Rough size: 8 bits per literal or length, 5 + extra bits per distance.
    uint64_t outLength = static_cast<uint64_t>(FLastLit) * 8;
    for (unsigned dcode = 0; dcode < DCodes; ++dcode)
        outLength += static_cast<uint64_t>(FDTree[dcode].Freq) * (5 + ExtraDBits[dcode]);
    outLength >>= 3;
    return FLastDist < FLastLit / 2 && outLength < inputLength / 2;
}

void TDeflateTrees::DecideFileType() {
    // Control bytes other than the usual white space, and the upper half, count as binary.
    uint64_t binary = 0;
    uint64_t text = 0;
    for (unsigned n = 0; n < 7; ++n)
        binary += FLTree[n].Freq;
    for (unsigned n = 7; n < 128; ++n)
        text += FLTree[n].Freq;
    for (unsigned n = 128; n < Literals; ++n)
        binary += FLTree[n].Freq;
    FInternalAttributes = binary > text / 4 ? 0 : 1;
    FTypeDecided = true;
}

void TDeflateTrees::PqDownHeap(TTreeNode* tree, int k) {
    // Frequency order, ties broken by depth so that equal weights give flatter trees.
    const int v = FHeap[k];
    int j = k << 1;
    while (j <= FHeapLen) {
        if (j < FHeapLen) {
            const int a = FHeap[j + 1];
            const int b = FHeap[j];
            if (tree[a].Freq < tree[b].Freq || (tree[a].Freq == tree[b].Freq && FDepth[a] <= FDepth[b])) ++j;
        }
        const int w = FHeap[j];
        if (tree[v].Freq < tree[w].Freq || (tree[v].Freq == tree[w].Freq && FDepth[v] <= FDepth[w])) break;
        FHeap[k] = w;
        k = j;
        j <<= 1;
    }
    FHeap[k] = v;
}

void TDeflateTrees::GenBitLen(TTreeDesc& desc) {
    TTreeNode* tree = desc.Tree;
    const int maxCode = desc.MaxCode;
    const unsigned maxLength = desc.MaxLength;
    for (unsigned bits = 0; bits <= MaxBits; ++bits)
        FBLCount[bits] = 0;

    // The heap tail holds the nodes from the root down; a node's length is its parent's + 1.
    tree[FHeap[FHeapMax]].Len = 0;
    int overflow = 0;
    int h;
    for (h = FHeapMax + 1; h < static_cast<int>(HeapSize); ++h) {
        const int n = FHeap[h];
        unsigned bits = tree[tree[n].Dad].Len + 1u;
        if (bits > maxLength) {
            bits = maxLength;
            ++overflow;
        }
        tree[n].Len = static_cast<uint16_t>(bits);
        if (n > maxCode) continue; // not a leaf
        ++FBLCount[bits];
        const unsigned xbits = n >= static_cast<int>(desc.ExtraBase) ? desc.ExtraBits[n - desc.ExtraBase] : 0;
        const uint64_t f = tree[n].Freq;
        FOptLen += f * (bits + xbits);
        if (desc.StaticTree) FStaticLen += f * (desc.StaticTree[n].Len + xbits);
    }
    if (overflow == 0) return;

    // Too long codes: take a leaf from the deepest level that has room and hang the
    // overflowing leaf and it as siblings one level down.
    do {
        unsigned bits = maxLength - 1;
        while (FBLCount[bits] == 0)
            --bits;
        --FBLCount[bits];
        FBLCount[bits + 1] += 2;
        --FBLCount[maxLength];
        overflow -= 2;
    } while (overflow > 0);

    // Hand the new lengths out again, longest to the least frequent leaves.
    h = HeapSize;
    for (unsigned bits = maxLength; bits != 0; --bits) {
        unsigned n = FBLCount[bits];
        while (n != 0) {
            const int m = FHeap[--h];
            if (m > maxCode) continue;
            if (tree[m].Len != bits) {
                FOptLen += (static_cast<int64_t>(bits) - tree[m].Len) * static_cast<int64_t>(tree[m].Freq);
                tree[m].Len = static_cast<uint16_t>(bits);
            }
            --n;
        }
    }
}

void TDeflateTrees::GenCodes(TTreeNode* tree, int maxCode) {
    uint16_t nextCode[MaxBits + 1];
    unsigned code = 0;
    for (unsigned bits = 1; bits <= MaxBits; ++bits) {
        code = (code + FBLCount[bits - 1]) << 1;
        nextCode[bits] = static_cast<uint16_t>(code);
    }
    for (int n = 0; n <= maxCode; ++n) {
        const unsigned len = tree[n].Len;
        if (len == 0) continue;
        tree[n].Code = static_cast<uint16_t>(ReverseBits(nextCode[len]++, len));
    }
}

void TDeflateTrees::BuildTree(TTreeDesc& desc) {
    TTreeNode* tree = desc.Tree;
    const int elems = static_cast<int>(desc.Elems);
    int maxCode = -1;
    FHeapLen = 0;
    FHeapMax = HeapSize;
    for (int n = 0; n < elems; ++n) {
        if (tree[n].Freq != 0) {
            FHeap[++FHeapLen] = maxCode = n;
            FDepth[n] = 0;
        } else {
            tree[n].Len = 0;
        }
    }
    // The format wants at least two codes (one code of one bit would be incomplete):
    // add codes of weight 1, counting nothing for them since they never go out.
    desc.Forced[0] = desc.Forced[1] = -1;
    int forced = 0;
    while (FHeapLen < 2) {
        const int node = FHeap[++FHeapLen] = maxCode < 2 ? ++maxCode : 0;
        tree[node].Freq = 1;
        FDepth[node] = 0;
        --FOptLen;
        if (desc.StaticTree) FStaticLen -= desc.StaticTree[node].Len;
        desc.Forced[forced++] = node;
    }
    desc.MaxCode = maxCode;

    for (int n = FHeapLen / 2; n >= 1; --n)
        PqDownHeap(tree, n);

    int node = elems;
    do {
        const int n = FHeap[1];
        FHeap[1] = FHeap[FHeapLen--];
        PqDownHeap(tree, 1);
        const int m = FHeap[1];
        FHeap[--FHeapMax] = n;
        FHeap[--FHeapMax] = m;
        tree[node].Freq = tree[n].Freq + tree[m].Freq;
        FDepth[node] = static_cast<uint8_t>(std::max(FDepth[n], FDepth[m]) + 1);
        tree[n].Dad = tree[m].Dad = static_cast<uint16_t>(node);
        FHeap[1] = node++;
        PqDownHeap(tree, 1);
    } while (FHeapLen >= 2);
    FHeap[--FHeapMax] = FHeap[1];

    GenBitLen(desc);
    GenCodes(tree, maxCode);
}

void TDeflateTrees::UndoForced(TTreeDesc& desc) {
    for (const int node : desc.Forced)
        if (node >= 0) desc.Tree[node].Freq = 0;
}

void TDeflateTrees::ScanTree(TTreeNode* tree, int maxCode) {
    int prevLen = -1;
    unsigned nextLen = tree[0].Len;
    unsigned count = 0;
    unsigned maxCount = nextLen == 0 ? 138 : 7;
    unsigned minCount = nextLen == 0 ? 3 : 4;
    for (int n = 0; n <= maxCode; ++n) {
        const unsigned curLen = nextLen;
        nextLen = NextLength(tree, n, maxCode);
        if (++count < maxCount && curLen == nextLen) continue;
        if (count < minCount) {
            FBLTree[curLen].Freq += count;
        } else if (curLen != 0) {
            if (static_cast<int>(curLen) != prevLen) ++FBLTree[curLen].Freq;
            ++FBLTree[Rep3To6].Freq;
        } else if (count <= 10) {
            ++FBLTree[RepZ3To10].Freq;
        } else {
            ++FBLTree[RepZ11To138].Freq;
        }
        count = 0;
        prevLen = static_cast<int>(curLen);
        if (nextLen == 0) {
            maxCount = 138;
            minCount = 3;
        } else if (curLen == nextLen) {
            maxCount = 6;
            minCount = 3;
        } else {
            maxCount = 7;
            minCount = 4;
        }
    }
}

void TDeflateTrees::SendTree(const TTreeNode* tree, int maxCode) {
    int prevLen = -1;
    unsigned nextLen = tree[0].Len;
    unsigned count = 0;
    unsigned maxCount = nextLen == 0 ? 138 : 7;
    unsigned minCount = nextLen == 0 ? 3 : 4;
    for (int n = 0; n <= maxCode; ++n) {
        const unsigned curLen = nextLen;
        nextLen = NextLength(tree, n, maxCode);
        if (++count < maxCount && curLen == nextLen) continue;
        if (count < minCount) {
            do
                SendCode(curLen, FBLTree);
            while (--count != 0);
        } else if (curLen != 0) {
            if (static_cast<int>(curLen) != prevLen) {
                SendCode(curLen, FBLTree);
                --count;
            }
            SendCode(Rep3To6, FBLTree);
            SendBits(count - 3, 2);
        } else if (count <= 10) {
            SendCode(RepZ3To10, FBLTree);
            SendBits(count - 3, 3);
        } else {
            SendCode(RepZ11To138, FBLTree);
            SendBits(count - 11, 7);
        }
        count = 0;
        prevLen = static_cast<int>(curLen);
        if (nextLen == 0) {
            maxCount = 138;
            minCount = 3;
        } else if (curLen == nextLen) {
            maxCount = 6;
            minCount = 3;
        } else {
            maxCount = 7;
            minCount = 4;
        }
    }
}

int TDeflateTrees::BuildBLTree() {
    ScanTree(FLTree, FLDesc.MaxCode);
    ScanTree(FDTree, FDDesc.MaxCode);
    BuildTree(FBLDesc);
    // At least four bit-length codes are sent, whatever their use.
    int maxBLIndex;
    for (maxBLIndex = BLCodes - 1; maxBLIndex >= 3; --maxBLIndex)
        if (FBLTree[BLOrder[maxBLIndex]].Len != 0) break;
    // HLIT, HDIST, HCLEN and three bits per bit-length code.
    FOptLen += 3 * (static_cast<uint64_t>(maxBLIndex) + 1) + 5 + 5 + 4;
    return maxBLIndex;
}

void TDeflateTrees::BuildAllTrees(uint64_t& optBytes, uint64_t& staticBytes, int& maxBLIndex) {
    FOptLen = 0;
    FStaticLen = 0;
    for (auto& node : FBLTree)
        node.Freq = 0;
    BuildTree(FLDesc);
    BuildTree(FDDesc);
    maxBLIndex = BuildBLTree();
    optBytes = (FOptLen + 3 + 7) >> 3;
    staticBytes = (FStaticLen + 3 + 7) >> 3;
}

bool TDeflateTrees::StoredWouldWin(uint32_t storedLength) {
    uint64_t optBytes = 0;
    uint64_t staticBytes = 0;
    int maxBLIndex = 0;
    BuildAllTrees(optBytes, staticBytes, maxBLIndex);
    UndoForced(FLDesc);
    UndoForced(FDDesc);
    return static_cast<uint64_t>(storedLength) + 4 <= std::min(optBytes, staticBytes);
}

void TDeflateTrees::FlushBlock(const uint8_t* block, uint32_t storedLength, bool last) {
    if (!FTypeDecided) DecideFileType();
    uint64_t optBytes = 0;
    uint64_t staticBytes = 0;
    int maxBLIndex = 0;
    BuildAllTrees(optBytes, staticBytes, maxBLIndex);
    const uint64_t bestBytes = std::min(optBytes, staticBytes);

    if (last && !FEmitted && block != nullptr && storedLength <= bestBytes) {
        // The whole file fits in this one block and does not shrink: it goes out as it is.
        WriteRaw(block, storedLength);
        FMethod = MethodStored;
    } else if (block != nullptr && static_cast<uint64_t>(storedLength) + 4 <= bestBytes) {
        StoredBlocks(block, storedLength, last);
    } else if (staticBytes == bestBytes) {
        SendBits((1u << 1) + (last ? 1 : 0), 3);
        CompressBlock(FStaticLTree, FStaticDTree);
    } else {
        SendBits((2u << 1) + (last ? 1 : 0), 3);
        SendAllTrees(FLDesc.MaxCode + 1, FDDesc.MaxCode + 1, maxBLIndex + 1);
        CompressBlock(FLTree, FDTree);
    }
    FEmitted = true;
    InitBlock();
    if (last) {
        AlignToByte();
        FlushOutput();
    }
}

void TDeflateTrees::StoredBlocks(const uint8_t* block, uint32_t storedLength, bool last) {
    // A stored block holds at most 65535 bytes; a longer run becomes several blocks.
    constexpr uint32_t MaxStored = 0xFFFF;
    do {
        const uint32_t length = std::min(storedLength, MaxStored);
        storedLength -= length;
        SendBits(last && storedLength == 0 ? 1 : 0, 3);
        AlignToByte();
        const uint8_t header[4] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                                   static_cast<uint8_t>(~length), static_cast<uint8_t>(~length >> 8)};
        WriteRaw(header, 4);
        WriteRaw(block, length);
        block += length;
    } while (storedLength != 0);
}

void TDeflateTrees::SendAllTrees(int lcodes, int dcodes, int blcodes) {
    SendBits(lcodes - 257, 5);
    SendBits(dcodes - 1, 5);
    SendBits(blcodes - 4, 4);
    for (int rank = 0; rank < blcodes; ++rank)
        SendBits(FBLTree[BLOrder[rank]].Len, 3);
    SendTree(FLTree, lcodes - 1);
    SendTree(FDTree, dcodes - 1);
}

void TDeflateTrees::CompressBlock(const TTreeNode* ltree, const TTreeNode* dtree) {
    // A length code and its extra bits go out as one field, and so do a distance code and
    // its extra bits, so each symbol costs one or two bit-buffer steps.
    uint32_t lengthValue[256];
    uint8_t lengthBits[256];
    for (unsigned lc = 0; lc < 256; ++lc) {
        const unsigned code = FLengthCode[lc];
        const TTreeNode& node = ltree[code + Literals + 1];
        const unsigned extra = ExtraLBits[code];
        lengthValue[lc] = node.Code | ((lc - FBaseLength[code]) << node.Len);
        lengthBits[lc] = static_cast<uint8_t>(node.Len + extra);
    }

    uint64_t bitBuffer = FBitBuffer;
    unsigned bitCount = FBitCount;
    unsigned outPos = FOutPos;
    uint8_t* out = FOutput.data();
    auto put = [&](uint32_t value, unsigned length) {
        bitBuffer |= static_cast<uint64_t>(value) << bitCount;
        bitCount += length;
        if (bitCount >= 32) {
            if (outPos >= OutputBufferSize) {
                FOutPos = outPos;
                FlushOutput();
                outPos = FOutPos;
            }
            StoreWord(out + outPos, static_cast<uint32_t>(bitBuffer));
            outPos += 4;
            bitBuffer >>= 32;
            bitCount -= 32;
        }
    };

    const uint8_t* literals = FLiterals.data();
    const uint16_t* distances = FDistances.data();
    for (unsigned i = 0; i < FLastLit; ++i) {
        const unsigned lc = literals[i];
        unsigned dist = distances[i];
        if (dist == 0) {
            put(ltree[lc].Code, ltree[lc].Len);
        } else {
            put(lengthValue[lc], lengthBits[lc]);
            --dist;
            const unsigned code = DistanceCode(dist);
            const TTreeNode& node = dtree[code];
            put(node.Code | ((dist - FBaseDist[code]) << node.Len), node.Len + ExtraDBits[code]);
        }
    }
    put(ltree[EndBlock].Code, ltree[EndBlock].Len);

    FBitBuffer = bitBuffer;
    FBitCount = bitCount;
    FOutPos = outPos;
}

void TDeflateTrees::AlignToByte() {
    while (FBitCount > 0) {
        if (FOutPos >= OutputBufferSize) FlushOutput();
        FOutput[FOutPos++] = static_cast<uint8_t>(FBitBuffer);
        FBitBuffer >>= 8;
        FBitCount = FBitCount > 8 ? FBitCount - 8 : 0;
    }
    FBitBuffer = 0;
}

void TDeflateTrees::WriteRaw(const uint8_t* data, uint32_t count) {
    // Only called on a byte boundary.
    while (count > 0) {
        if (FOutPos >= OutputBufferSize) FlushOutput();
        const uint32_t room = std::min<uint32_t>(count, OutputBufferSize - FOutPos);
        std::memcpy(FOutput.data() + FOutPos, data, room);
        FOutPos += room;
        data += room;
        count -= room;
    }
}

void TDeflateTrees::FlushOutput() {
    if (FOutPos == 0) return;
    FIO->WriteOutput(FOutput.data(), static_cast<int>(FOutPos));
    FCompressedSize += FOutPos;
    FOutPos = 0;
}

} // namespace zip
