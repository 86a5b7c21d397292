// Decoding of one entry's data: compressed bytes come in through an input
// buffer and a 64-bit bit buffer, decoded bytes collect in the 32 KB window that
// is also the dictionary, and go out a whole window at a time. Stored data is
// copied once where it can: what no later block can reach (a window or more of
// stored data, in this block and the stored blocks the input shows after it,
// follows it, or the stream ends first) goes out from the input, and once the
// input buffer is used up the rest is read into the window. A source that holds
// its bytes in memory lends them, so they are not copied into the input buffer.
// Inflate is table driven (9-bit literal/length and 6-bit distance lookups with
// sub-tables) and checks every table, window and distance access, so hostile
// data only fails. The older methods (unshrink, unreduce, explode, in
// OlderMethods.cpp) read through the same bit buffer and write through the same
// window, with the same checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TStream;

namespace zip {

constexpr int DecoderBufferSize = 32768; // input buffer and output window alike

// Feeds the compressed bytes of one entry; asked once per input buffer.
class TDecoderSource {
public:
    virtual ~TDecoderSource() = default;
    // Up to count bytes; 0 once the entry's data is used up.
    virtual int ReadInput(uint8_t* buffer, int count) = 0;
    // The next bytes where they lie, their number in count: read into buffer (up to count)
    // unless the source holds them in memory and lends them, as many as it likes. They
    // must stay put until the next call.
    virtual const uint8_t* LendInput(uint8_t* buffer, int& count) {
        count = ReadInput(buffer, count);
        return buffer;
    }
};

// Takes decoded bytes in order, in pieces of any size.
class TDecoderSink {
public:
    virtual ~TDecoderSink() = default;
    virtual void WriteOutput(const uint8_t* buffer, int count) = 0;
};

// Results of TEntryDecoder::Inflate; anything but InflateOk means corrupt data.
enum TInflateResult : int {
    InflateOk = 0,
    InflateBadStoredLength = 1,
    InflateBadBlockType = 2,
    InflateOutOfMemory = 3,
    InflateBadCodes = 4,
    InflateBadDistance = 5,
    InflatePrematureEnd = 6,
};

struct THuffEntry {
    uint16_t Value; // literal, base length/distance, or sub-table offset
    uint8_t Bits;   // bits this entry consumes
    uint8_t Op;     // what the entry is, see EntryDecoder.cpp
};

class TEntryDecoder {
public:
    TEntryDecoder(TDecoderSource& source, TDecoderSink& sink);
    TEntryDecoder(const TEntryDecoder&) = delete;
    TEntryDecoder& operator=(const TEntryDecoder&) = delete;

    // Decodes a raw deflate stream to its end; the window is flushed either way.
    int Inflate();
    // Copies the source through the window unchanged (method 0).
    void CopyStored();
    // The older methods, which carry no end mark: each stops once size bytes are decoded
    // (unshrink also at the end of the input). Results as for Inflate.
    int Unshrink(uint64_t size);
    int Unreduce(int factor, uint64_t size);
    int Explode(uint16_t flags, uint64_t size);
    // Bytes taken from the source but not consumed, so a caller can step back over them.
    int UnusedInput() const;

private:
    // Runs a decoder, turning an error inside it into a result; the window is flushed either way.
    int RunGuarded(const std::function<void()>& decode);
    [[noreturn]] static void Fail(int result);
    void Refill();
    void RefillSlow();
    bool FillInput();
    uint32_t TakeBits(unsigned n);
    THuffEntry Decode(const THuffEntry* table, unsigned rootBits);
    void FlushWindow();
    void CopyMatch(unsigned distance, unsigned length);
    void StoredBlock(bool last);
    void DynamicTables();
    void CodedBlock(const THuffEntry* lit, const THuffEntry* dist);
    void CheckOverrun() const;
    // Fails once a symbol has used bits past the end of the input.
    void CheckSymbolOverrun() const;
    void PutByte(uint8_t b);
    // Bytes decoded so far by an older method.
    uint64_t Produced() const { return FFlushed + FOutPos; }
    void UnshrinkCodes(uint64_t size);
    void UnreduceBytes(int factor, uint64_t size);
    void ExplodeBytes(uint16_t flags, uint64_t size);

    TDecoderSource& FSource;
    TDecoderSink& FSink;
    uint8_t FInputBuffer[DecoderBufferSize];
    const uint8_t* FInput = FInputBuffer; // the input buffer or what the source lent
    int FInPos = 0;
    int FInEnd = 0;
    bool FInputEnded = false;
    bool FHeaderOnly = false; // the next input read is for a block header after stored data
    unsigned FPadBytes = 0;   // zero bytes fed past the end of the input
    uint64_t FBitBuf = 0;
    unsigned FBitCount = 0;
    uint8_t FWindow[DecoderBufferSize];
    unsigned FOutPos = 0;
    bool FWrapped = false; // the window has been filled at least once
    uint64_t FFlushed = 0; // bytes flushed from the window
    std::vector<THuffEntry> FLitTable;
    std::vector<THuffEntry> FDistTable;
    std::vector<THuffEntry> FCodeLengthTable;
};

// Inflates a raw deflate stream (no zlib or gzip wrapper) with the decoder the
// reader uses; raises EFatalUnzipError on corrupt or truncated data. The stream
// form reads from in's position and leaves it just past the deflate data.
void InflateRaw(TStream& in, TStream& out);
void InflateRaw(const uint8_t* data, size_t size, std::vector<uint8_t>& out);

} // namespace zip
