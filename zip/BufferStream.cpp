// The engine's buffered streams. Read-ahead is dropped (and the wrapped stream
// repositioned) before a write; unwritten data goes out before a read or a seek.
#include "zip/BufferStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace zip {

TS_BufferStream::TS_BufferStream(TStream* stream, int bufferSize)
    : FStream(stream), FBuffer(static_cast<size_t>(std::max(bufferSize, 16))) {}

TS_BufferStream::~TS_BufferStream() {
    try {
        CloseBuffer();
    } catch (...) {
        // Destructors never throw; a caller that cares flushes first.
    }
}

void TS_BufferStream::CloseBuffer() {
    if (!FStream) return;
    FlushBuffer();
    if (FFlushOnClose && FWritten)
        if (auto* file = dynamic_cast<THandleStream*>(FStream)) ::fsync(file->Handle());
    FStream = nullptr;
}

bool TS_BufferStream::FillBuffer() {
    const Integer n = StreamRead(FBuffer.data(), static_cast<Integer>(FBuffer.size()));
    FPos = 0;
    FEnd = n > 0 ? n : 0;
    FState = FEnd ? bsReadAhead : bsEmpty;
    Fire(OnFillBuffer, this);
    return FEnd > 0;
}

bool TS_BufferStream::FlushBuffer() {
    if (FState != bsUnwritten) return true;
    const Integer n = FPos ? StreamWrite(FBuffer.data(), FPos) : 0;
    const bool ok = n == FPos;
    if (!ok && n > 0) std::memmove(FBuffer.data(), FBuffer.data() + n, static_cast<size_t>(FPos - n));
    FPos = ok ? 0 : FPos - std::max(n, 0);
    if (ok) FState = bsEmpty;
    Fire(OnFlushBuffer, this);
    return ok;
}

Integer TS_BufferStream::Read(void* buffer, Integer count) {
    if (FState == bsUnwritten && !FlushBuffer()) throw EWriteError("Stream write error");
    auto* out = static_cast<uint8_t*>(buffer);
    Integer done = 0;
    while (done < count) {
        if (FState != bsReadAhead || FPos == FEnd) {
            // Large reads bypass the buffer once it is drained.
            if (count - done >= static_cast<Integer>(FBuffer.size())) {
                FState = bsEmpty;
                FPos = FEnd = 0;
                const Integer n = StreamRead(out + done, count - done);
                if (n > 0) done += n;
                break;
            }
            if (!FillBuffer()) break;
        }
        const int n = std::min(count - done, FEnd - FPos);
        std::memcpy(out + done, FBuffer.data() + FPos, static_cast<size_t>(n));
        FPos += n;
        done += n;
    }
    return done;
}

Integer TS_BufferStream::Write(const void* buffer, Integer count) {
    if (count <= 0) return 0;
    if (FState == bsReadAhead) {
        FStreamPosition = FStream->Seek(-static_cast<Int64>(FEnd - FPos), soCurrent);
        FPos = FEnd = 0;
        FState = bsEmpty;
    }
    FWritten = true;
    const auto* in = static_cast<const uint8_t*>(buffer);
    Integer done = 0;
    const int size = static_cast<int>(FBuffer.size());
    while (done < count) {
        if (FPos == 0 && count - done >= size) {
            const Integer n = StreamWrite(in + done, count - done);
            return done + std::max(n, 0);
        }
        const int n = std::min(count - done, size - FPos);
        std::memcpy(FBuffer.data() + FPos, in + done, static_cast<size_t>(n));
        FPos += n;
        done += n;
        FState = bsUnwritten;
        if (FPos == size && !FlushBuffer()) return done - FPos;
    }
    return done;
}

Integer TS_BufferStream::StreamRead(void* buffer, Integer count) {
    const Integer n = FStream->Read(buffer, count);
    if (FStreamPosition >= 0 && n > 0) FStreamPosition += n;
    return n;
}

Integer TS_BufferStream::StreamWrite(const void* buffer, Integer count) {
    const Integer n = FStream->Write(buffer, count);
    if (FStreamPosition >= 0 && n > 0) FStreamPosition += n;
    return n;
}

Int64 TS_BufferStream::LogicalPosition() {
    if (FStreamPosition < 0) FStreamPosition = FStream->Seek(0, soCurrent);
    const Int64 base = FStreamPosition;
    if (FState == bsReadAhead) return base - (FEnd - FPos);
    if (FState == bsUnwritten) return base + FPos;
    return base;
}

Int64 TS_BufferStream::Seek(Int64 offset, TSeekOrigin origin) {
    const Int64 current = LogicalPosition();
    Int64 target;
    switch (origin) {
    case soBeginning:
        target = offset;
        break;
    case soCurrent:
        target = current + offset;
        break;
    case soEnd:
        target = std::max(FStream->Size(), current) - (offset < 0 ? -offset : offset);
        break;
    default:
        throw EStreamError(Format("Invalid seek origin (%d)", static_cast<int>(origin)));
    }
    if (target == current) return current;
    if (FState == bsReadAhead) {
        // Inside the read-ahead: just move in the buffer.
        const Int64 start = current - FPos;
        if (target >= start && target <= start + FEnd) {
            FPos = static_cast<int>(target - start);
            return target;
        }
    }
    if (!FlushBuffer()) throw EStreamError("Seek error");
    FPos = FEnd = 0;
    FState = bsEmpty;
    FStreamPosition = FStream->Seek(target, soBeginning);
    return FStreamPosition;
}

Int64 TS_BufferStream::Size() {
    const Int64 current = LogicalPosition();
    return std::max(FStream->Size(), current);
}

void TS_BufferStream::Putback(uint8_t b) {
    if (FState != bsReadAhead || FPos == 0) throw EStreamError("Putback overflow");
    FBuffer[static_cast<size_t>(--FPos)] = b;
}

TStream* TLFNFileStream::Open(const std::string& fileName, Word mode, std::unique_ptr<TFileStream>& holder) {
    holder = std::make_unique<TFileStream>(fileName, mode);
    return holder.get();
}

TLFNFileStream::TLFNFileStream(const std::string& fileName, int bufferSize, bool flushOnClose, Word mode)
    : TLFNFileHolder(), TS_BufferStream(Open(fileName, mode, FFile), bufferSize) {
    const bool writes = mode == fmCreate || (mode & 3) == fmOpenWrite || (mode & 3) == fmOpenReadWrite;
    SetFlushOnClose(flushOnClose && writes);
    SetStreamPosition(0);
}

int TLFNFileStream::Handle() const {
    return FFile->Handle();
}

const std::string& TLFNFileStream::FileName() const {
    return FFile->FileName();
}

bool TLFNFileStream::Commit() {
    return FlushBuffer() && ::fsync(FFile->Handle()) == 0;
}

} // namespace zip
