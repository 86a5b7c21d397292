// Buffered streams of the zip engine: TS_BufferStream puts a read-ahead or
// write-behind buffer over any stream and can put a byte back; TLFNFileStream
// is that over a file it opens and owns.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Streams.h"

namespace zip {

// The buffer of every archive and extracted file the engine opens.
constexpr int ArchiveBufferSize = 8192;

class TS_BufferStream : public TStream {
public:
    // The wrapped stream stays the caller's, but only this buffer may move it while the buffer is in use.
    TS_BufferStream(TStream* stream, int bufferSize);
    ~TS_BufferStream() override;
    TS_BufferStream(const TS_BufferStream&) = delete;
    TS_BufferStream& operator=(const TS_BufferStream&) = delete;

    Integer Read(void* buffer, Integer count) override;
    // Returns fewer than count only when the wrapped stream refused bytes.
    Integer Write(const void* buffer, Integer count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    Int64 Size() override;

    // Reads ahead from the wrapped stream's position; false at its end.
    virtual bool FillBuffer();
    // Writes the unwritten bytes; false when the wrapped stream took fewer.
    virtual bool FlushBuffer();
    // Steps back one byte and stores b there; raises EStreamError "Putback overflow" at the buffer's start.
    virtual void Putback(uint8_t b);

    TStream* WrappedStream() const { return FStream; }
    TNotifyEvent OnFillBuffer;
    TNotifyEvent OnFlushBuffer;

protected:
    // Flushes, and syncs a written file to disk when asked to; later calls do nothing.
    void CloseBuffer();
    void SetFlushOnClose(bool value) { FFlushOnClose = value; }
    // Where the wrapped stream stands, when the caller knows it (a file just opened is at its start).
    void SetStreamPosition(Int64 value) { FStreamPosition = value; }

private:
    enum TBufferState { bsEmpty, bsReadAhead, bsUnwritten };
    Int64 LogicalPosition();
    // Reads and writes of the wrapped stream that keep FStreamPosition.
    Integer StreamRead(void* buffer, Integer count);
    Integer StreamWrite(const void* buffer, Integer count);

    TStream* FStream;
    std::vector<uint8_t> FBuffer;
    int FPos = 0; // next byte to read, or bytes written so far
    int FEnd = 0; // end of the read-ahead data
    TBufferState FState = bsEmpty;
    bool FFlushOnClose = false;
    bool FWritten = false;
    // Where the wrapped stream stands, so that asking for the position costs no
    // system call; -1 until first asked. Only this buffer moves the wrapped stream.
    Int64 FStreamPosition = -1;
};

// Holds the file so that it is opened before, and closed after, the buffer over it.
struct TLFNFileHolder {
    std::unique_ptr<TFileStream> FFile;
};

class TLFNFileStream : private TLFNFileHolder, public TS_BufferStream {
public:
    // Opens the file with the TFileStream mode; flush-on-close only matters for a file opened for writing.
    TLFNFileStream(const std::string& fileName, int bufferSize, bool flushOnClose, Word mode);
    int Handle() const;
    const std::string& FileName() const;
    // Flushes the buffer and the file's data to disk; false when either fails.
    bool Commit();

private:
    static TStream* Open(const std::string& fileName, Word mode, std::unique_ptr<TFileStream>& holder);
};

} // namespace zip
