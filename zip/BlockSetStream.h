// TBlockSetStream: the output of an archive written as a set of block files.
// Bytes fill the current block up to its room (the first block's room, then
// BlockSize for the rest) and go on in the next block file. Positions are
// positions within the current block, as the set's headers record them. A set
// that would need more blocks than a reader takes is refused (EZipUnsupported).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "zip/BufferStream.h"

namespace zip {

class TBlockSetStream : public TStream {
public:
    // onNextBlock gets the 1-based number of each block before it is opened.
    TBlockSetStream(std::string zipName, int64_t firstRoom, int64_t blockRoom, std::function<void(int)> onNextBlock);
    ~TBlockSetStream() override;

    Integer Read(void*, Integer) override { return 0; }
    // Fewer bytes than asked only when a block file refused some.
    Integer Write(const void* buffer, Integer count) override;
    // Only reports the position: a set is written front to back.
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;

    // Moves to the next block unless the current one has room for bytes (a record that must not be
    // split); raises ENotEnoughRoom when no block could hold them.
    void KeepTogether(int64_t bytes);
    // The 0-based disk number of the current block.
    int Disk() const { return FBlock - 1; }
    // Writes out and closes the last block; false when a block could not be written whole.
    bool Finish();
    // Every block file created, in order.
    const std::vector<std::string>& Files() const { return FFiles; }

private:
    void NextBlock();

    std::string FZipName;
    int64_t FFirstRoom;
    int64_t FBlockRoom;
    std::function<void(int)> FOnNextBlock;
    std::unique_ptr<TLFNFileStream> FOut;
    std::vector<std::string> FFiles;
    int FBlock = 0;
    int64_t FPosition = 0;
    int64_t FRoom = 0;
};

} // namespace zip
