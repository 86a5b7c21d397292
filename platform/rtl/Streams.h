// The stream family. Read/Write move at most Count bytes and return how many
// moved; ReadBuffer/WriteBuffer insist on all of them. Positions are 64-bit.
// Share-mode flags are accepted and not enforced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
inline constexpr TSeekOrigin soFromBeginning = soBeginning;
inline constexpr TSeekOrigin soFromCurrent = soCurrent;
inline constexpr TSeekOrigin soFromEnd = soEnd;

class TStream : public TObject {
public:
    virtual Integer Read(void* Buffer, Integer Count) = 0;
    virtual Integer Write(const void* Buffer, Integer Count) = 0;
    // The new position from the beginning.
    virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;

    // Raise EReadError "Stream read error" / EWriteError "Stream write error"
    // when fewer than Count bytes move.
    void ReadBuffer(void* Buffer, Integer Count);
    void WriteBuffer(const void* Buffer, Integer Count);

    Int64 Position() { return Seek(0, soCurrent); }
    void SetPosition(Int64 Pos) { Seek(Pos, soBeginning); }
    virtual Int64 Size();
    virtual void SetSize(Int64 NewSize);
    // Copies Count bytes from Source's position (Count 0: all of Source, from
    // its start); returns the count. A short source raises EReadError.
    Int64 CopyFrom(TStream* Source, Int64 Count);
};

inline constexpr Word fmCreate = 0xFF00;
inline constexpr Word fmOpenRead = 0x0000;
inline constexpr Word fmOpenWrite = 0x0001;
inline constexpr Word fmOpenReadWrite = 0x0002;
inline constexpr Word fmShareCompat = 0x0000;
inline constexpr Word fmShareExclusive = 0x0010;
inline constexpr Word fmShareDenyWrite = 0x0020;
inline constexpr Word fmShareDenyRead = 0x0030;
inline constexpr Word fmShareDenyNone = 0x0040;

// A stream on a POSIX file descriptor it does not own.
class THandleStream : public TStream {
public:
    explicit THandleStream(int AHandle) : FHandle(AHandle) {}
    int Handle() const { return FHandle; }
    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    void SetSize(Int64 NewSize) override;

protected:
    int FHandle;
};

// Mode is fmCreate (create or truncate; read-write) or one of fmOpenRead,
// fmOpenWrite, fmOpenReadWrite, combined with a share flag. Failure raises
// EFCreateError 'Cannot create file "<name>". <reason>' or EFOpenError
// 'Cannot open file "<name>". <reason>'.
class TFileStream : public THandleStream {
public:
    TFileStream(const std::string& AFileName, Word Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};

class TMemoryStream : public TStream {
public:
    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 Size() override { return Int64(FData.size()); }
    void SetSize(Int64 NewSize) override;

    // Valid until the size changes.
    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    void Clear();
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream* Stream);
    void SaveToFile(const std::string& FileName);

protected:
    std::vector<uint8_t> FData;
    Int64 FPosition = 0;
};

class TStringStream : public TStream {
public:
    explicit TStringStream(std::string AString = {}) : FDataString(std::move(AString)) {}
    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 Size() override { return Int64(FDataString.size()); }
    void SetSize(Int64 NewSize) override;

    const std::string& DataString() const { return FDataString; }
    // Up to Count bytes from the position.
    std::string ReadString(Integer Count);
    void WriteString(const std::string& AString);

private:
    std::string FDataString;
    Int64 FPosition = 0;
};
