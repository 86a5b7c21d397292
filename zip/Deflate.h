// The deflate compressor of the archive writer: hash-chain LZ77 with lazy
// evaluation, then Huffman blocks (stored, fixed or dynamic trees), tuned by the
// pack level. It pulls source bytes and pushes compressed bytes through TDeflateIO,
// so the writer keeps the CRC and counts the bytes in one place.
#pragma once

#include <cstdint>
#include <memory>

#include "zip/ZipFormat.h"

namespace zip {

// What the writer hands the compressor for one entry.
class TDeflateIO {
public:
    virtual ~TDeflateIO() = default;
    // Up to count source bytes; the writer keeps the CRC-32 and reports progress. 0 at the end, -1 on a read error.
    virtual int ReadSource(uint8_t* buffer, int count) = 0;
    // Compressed bytes out; the writer counts them and writes them.
    virtual void WriteOutput(const uint8_t* buffer, int count) = 0;
};

struct TDeflateResult {
    uint64_t CompressedSize = 0;
    uint16_t Method = MethodDeflated; // MethodStored when the whole file went out stored
    uint16_t InternalAttributes = 0; // 1 text, 0 binary
    uint16_t FlagBits = 0;           // general-purpose bits 1 and 2 by level
};

class TDeflateState;

// Buffers are allocated once per run and reused for every file.
class TDeflater {
public:
    TDeflater();
    ~TDeflater();
    TDeflater(const TDeflater&) = delete;
    TDeflater& operator=(const TDeflater&) = delete;
    TDeflateResult Deflate(int packLevel, TDeflateIO& io);

private:
    std::unique_ptr<TDeflateState> FState;
};

} // namespace zip
