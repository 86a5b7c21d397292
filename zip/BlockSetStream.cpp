// Writing block files one after another.
#include "zip/BlockSetStream.h"

#include <algorithm>

#include "zip/ZipExceptions.h"
#include "zip/ZipFormat.h"
#include "zip/ZipUtils.h"

namespace zip {

TBlockSetStream::TBlockSetStream(std::string zipName, int64_t firstRoom, int64_t blockRoom,
                                 std::function<void(int)> onNextBlock)
    : FZipName(std::move(zipName)), FFirstRoom(firstRoom), FBlockRoom(blockRoom),
      FOnNextBlock(std::move(onNextBlock)) {
    NextBlock();
}

TBlockSetStream::~TBlockSetStream() = default;

void TBlockSetStream::NextBlock() {
    if (FOut && !FOut->Commit()) throw ENotEnoughRoom(SNotEnoughRoom);
    FOut.reset();
    if (FBlock > MaxDiskNumber)
        throw EZipUnsupported(Format("A set holds at most %d blocks; a larger BlockSize is needed", MaxDiskNumber + 1));
    ++FBlock;
    if (FOnNextBlock) FOnNextBlock(FBlock);
    const std::string name = BlockFileName(FZipName, FBlock);
    FFiles.push_back(name);
    FOut = std::make_unique<TLFNFileStream>(name, ArchiveBufferSize, false, fmCreate);
    FPosition = 0;
    FRoom = FBlock == 1 ? FFirstRoom : FBlockRoom;
}

Integer TBlockSetStream::Write(const void* buffer, Integer count) {
    const auto* in = static_cast<const uint8_t*>(buffer);
    Integer done = 0;
    while (done < count) {
        if (FPosition >= FRoom) NextBlock();
        const auto n = static_cast<Integer>(std::min<int64_t>(count - done, FRoom - FPosition));
        const Integer written = FOut->Write(in + done, n);
        FPosition += written;
        done += written;
        if (written != n) break;
    }
    return done;
}

Int64 TBlockSetStream::Seek(Int64 offset, TSeekOrigin origin) {
    if ((origin == soCurrent && offset == 0) || (origin == soBeginning && offset == FPosition)) return FPosition;
    throw EStreamError("A set of block files is written front to back");
}

void TBlockSetStream::KeepTogether(int64_t bytes) {
    if (FRoom - FPosition >= bytes) return;
    if (bytes > FBlockRoom) throw ENotEnoughRoom(SNotEnoughRoom);
    NextBlock();
}

bool TBlockSetStream::Finish() {
    const bool ok = FOut->Commit();
    FOut.reset();
    return ok;
}

} // namespace zip
