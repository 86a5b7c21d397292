// Streams on memory, strings and POSIX file descriptors. Read and Write are
// thin so that buffered streams built on them stay cheap.
#include "platform/rtl/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

void TStream::ReadBuffer(void* Buffer, Integer Count) {
    if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, Integer Count) {
    if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

Int64 TStream::Size() {
    const Int64 pos = Seek(0, soCurrent);
    const Int64 size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(Int64) {}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    constexpr Integer BufferSize = 64 * 1024;
    std::vector<char> buffer(size_t(std::min<Int64>(std::max<Int64>(Count, 1), BufferSize)));
    for (Int64 left = Count; left > 0;) {
        const Integer n = Integer(std::min<Int64>(left, Int64(buffer.size())));
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return Count;
}

// ---- THandleStream / TFileStream ------------------------------------------------------

Integer THandleStream::Read(void* Buffer, Integer Count) {
    if (Count <= 0) return 0;
    Integer done = 0;
    while (done < Count) {
        const ssize_t n = ::read(FHandle, static_cast<char*>(Buffer) + done, size_t(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += Integer(n);
    }
    return done;
}

Integer THandleStream::Write(const void* Buffer, Integer Count) {
    if (Count <= 0) return 0;
    Integer done = 0;
    while (done < Count) {
        const ssize_t n = ::write(FHandle, static_cast<const char*>(Buffer) + done, size_t(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += Integer(n);
    }
    return done;
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin) {
    const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t r = ::lseek(FHandle, off_t(Offset), whence);
    return r < 0 ? -1 : Int64(r);
}

void THandleStream::SetSize(Int64 NewSize) {
    const Int64 pos = Position();
    if (::ftruncate(FHandle, off_t(NewSize)) != 0) throw EWriteError("Stream write error");
    if (pos > NewSize) Seek(NewSize, soBeginning);
}

static bool IsCreateMode(Word Mode) {
    return (Mode & fmCreate) == fmCreate;
}

static int OpenFile(const std::string& FileName, Word Mode) {
    if (IsCreateMode(Mode)) return ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    int flags = O_RDONLY;
    if ((Mode & 3) == fmOpenWrite)
        flags = O_WRONLY;
    else if ((Mode & 3) == fmOpenReadWrite)
        flags = O_RDWR;
    const int fd = ::open(FileName.c_str(), flags | O_CLOEXEC);
    // A folder opens for reading on POSIX but is no file to stream.
    struct stat st;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return -1;
    }
    return fd;
}

TFileStream::TFileStream(const std::string& AFileName, Word Mode)
    : THandleStream(OpenFile(AFileName, Mode)), FFileName(AFileName) {
    if (FHandle < 0) {
        const std::string reason = std::strerror(errno);
        if (IsCreateMode(Mode)) throw EFCreateError("Cannot create file \"" + AFileName + "\". " + reason);
        throw EFOpenError("Cannot open file \"" + AFileName + "\". " + reason);
    }
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

// ---- Streams over a byte buffer in memory ------------------------------------------------
// TMemoryStream and TStringStream differ only in the container that holds
// their bytes; these carry the position rules both share.
namespace {

template <class Buffer> Integer ReadBufferAt(const Buffer& Data, Int64& Position, void* Out, Integer Count) {
    const Int64 size = Int64(Data.size());
    if (Count <= 0 || Position < 0 || Position >= size) return 0;
    const Integer n = Integer(std::min<Int64>(Count, size - Position));
    std::memcpy(Out, Data.data() + Position, size_t(n));
    Position += n;
    return n;
}

template <class Buffer> Integer WriteBufferAt(Buffer& Data, Int64& Position, const void* In, Integer Count) {
    if (Count <= 0 || Position < 0) return 0;
    const Int64 end = Position + Count;
    if (end > Int64(Data.size())) Data.resize(size_t(end));
    std::memcpy(Data.data() + Position, In, size_t(Count));
    Position = end;
    return Count;
}

Int64 SeekWithin(Int64 Size, Int64& Position, Int64 Offset, TSeekOrigin Origin) {
    switch (Origin) {
    case soBeginning:
        Position = Offset;
        break;
    case soCurrent:
        Position += Offset;
        break;
    case soEnd:
        Position = Size + Offset;
        break;
    }
    return Position;
}

template <class Buffer> void ResizeBuffer(Buffer& Data, Int64& Position, Int64 NewSize) {
    Data.resize(size_t(std::max<Int64>(NewSize, 0)));
    if (Position > NewSize) Position = NewSize;
}

} // namespace

// ---- TMemoryStream --------------------------------------------------------------------

Integer TMemoryStream::Read(void* Buffer, Integer Count) { return ReadBufferAt(FData, FPosition, Buffer, Count); }

Integer TMemoryStream::Write(const void* Buffer, Integer Count) {
    return WriteBufferAt(FData, FPosition, Buffer, Count);
}

Int64 TMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
    return SeekWithin(Int64(FData.size()), FPosition, Offset, Origin);
}

void TMemoryStream::SetSize(Int64 NewSize) { ResizeBuffer(FData, FPosition, NewSize); }

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    const Int64 size = Stream->Size();
    SetSize(size);
    if (size > 0) Stream->ReadBuffer(FData.data(), Integer(size));
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TMemoryStream::SaveToStream(TStream* Stream) {
    if (!FData.empty()) Stream->WriteBuffer(FData.data(), Integer(FData.size()));
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

// ---- TStringStream --------------------------------------------------------------------

Integer TStringStream::Read(void* Buffer, Integer Count) {
    return ReadBufferAt(FDataString, FPosition, Buffer, Count);
}

Integer TStringStream::Write(const void* Buffer, Integer Count) {
    return WriteBufferAt(FDataString, FPosition, Buffer, Count);
}

Int64 TStringStream::Seek(Int64 Offset, TSeekOrigin Origin) {
    return SeekWithin(Int64(FDataString.size()), FPosition, Offset, Origin);
}

void TStringStream::SetSize(Int64 NewSize) { ResizeBuffer(FDataString, FPosition, NewSize); }

std::string TStringStream::ReadString(Integer Count) {
    const Int64 size = Int64(FDataString.size());
    const Int64 n = std::clamp<Int64>(std::min<Int64>(Count, size - FPosition), 0, size);
    std::string r = FDataString.substr(size_t(std::min(FPosition, size)), size_t(n));
    FPosition += n;
    return r;
}

void TStringStream::WriteString(const std::string& AString) {
    Write(AString.data(), Integer(AString.size()));
}
