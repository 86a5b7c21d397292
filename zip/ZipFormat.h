// The zip records as the engine reads and writes them: local header, central
// header and end-of-central-directory record (little-endian, no Zip64), the
// in-memory entry TZipHeaderInfo, the end record TEndCentral and the entry list
// TSortedZip. Names are stored in code page 936 (GBK); a name GBK cannot hold is
// stored as UTF-8 with flag bit 11. In memory names are UTF-8 with "/" folders.
#pragma once

#include <cstdint>
#include <string>

#include "platform/rtl/Classes.h"
#include "zip/ObjectList.h"

class TStream;

namespace zip {

constexpr uint32_t CentralSignature = 0x02014B50;
constexpr uint32_t LocalSignature = 0x04034B50;
constexpr uint32_t EndSignature = 0x06054B50;
constexpr uint32_t DataDescriptorSignature = 0x08074B50;
constexpr uint32_t Zip64LocatorSignature = 0x07064B50;

constexpr int LocalHeaderSize = 30;
constexpr int CentralHeaderSize = 46;
constexpr int EndRecordSize = 22;
constexpr int MaxCommentLength = 65535;
// Disk numbers above this count as no end record, so a set has at most MaxDiskNumber + 1 disks.
constexpr int MaxDiskNumber = 999;

// Compression methods of an entry. The engine writes stored and deflated
// entries and reads the older three too: shrunk (1), reduced with factor 1 to 4
// (2 to 5) and imploded (6); any other method is unknown.
constexpr uint16_t MethodStored = 0;
constexpr uint16_t MethodShrunk = 1;
constexpr uint16_t MethodReducedFirst = 2;
constexpr uint16_t MethodReducedLast = 5;
constexpr uint16_t MethodImploded = 6;
constexpr uint16_t MethodDeflated = 8;
// AES encryption, which names the real method in an extra field; unknown here.
constexpr uint16_t MethodAes = 99;

constexpr uint16_t FlagEncrypted = 0x0001;
constexpr uint16_t FlagDataDescriptor = 0x0008;
constexpr uint16_t FlagStrongEncryption = 0x0040;
constexpr uint16_t FlagUtf8Name = 0x0800;

enum TZipSortMode { ByName, ByFileName, ByDirectoryName, ByDate, ByCompressedSize, ByUnCompressedSize, ByRate, ByNone };

class TZipHeaderInfo : public TPersistent {
public:
    uint16_t VersionMadeBy = 20;
    uint16_t VersionNeeded = 20;
    uint16_t Flag = 0;
    uint16_t CompressionMethod = MethodDeflated;
    uint32_t FileDate = 0; // DOS time (low word) and date (high word)
    uint32_t CRC32 = 0xFFFFFFFF;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t FileNameLength = 0; // bytes of the stored name, kept by the name setters
    uint16_t ExtraFieldLength = 0;
    uint16_t LocalExtraFieldLength = 0;
    uint16_t FileCommentLength = 0;
    uint16_t DiskNumberStart = 0;
    uint16_t InternalAttributes = 1;
    uint32_t ExternalAttributes = 0x20;
    uint32_t RelativeOffset = 0; // of the local header, on its disk
    uint32_t CentralOffset = 0;  // of the central header, set when the directory is read
    std::string ExtraField;      // the central extra field's bytes, copied when the entry is kept
    std::string FileComment;     // valid when CommentLoaded
    bool CommentLoaded = false;
    bool Selected = false;

    const std::string& FileName() const { return FFileName; }
    const std::string& Directory() const { return FDirectory; }
    void SetFileName(const std::string& value);
    // Appends "/" to a non-empty folder that lacks one.
    void SetDirectory(const std::string& value);
    // Folder plus file name, as in the archive but decoded.
    std::string FullName() const { return FDirectory + FFileName; }
    // The name's bytes as stored; bit 11 of Flag tells their encoding.
    const std::string& StoredName() const { return FStoredName; }
    // Takes a name as read from a header and decodes it by the flag's bit 11 and
    // the host in VersionMadeBy (set those first).
    void SetStoredName(const std::string& raw);
    void SetFileComment(const std::string& value);

    bool HasComment() const { return FileCommentLength > 0; }
    bool Encrypted() const { return Flag & FlagEncrypted; }
    // Encrypted by a scheme other than the traditional one (AES, strong encryption): no password opens it here.
    bool OtherEncryption() const { return CompressionMethod == MethodAes || (Flag & FlagStrongEncryption); }
    bool HasDataDescriptor() const { return Flag & FlagDataDescriptor; }
    uint32_t LocalHeaderSize() const { return 30u + FileNameLength + LocalExtraFieldLength; }
    uint32_t CentralHeaderSize() const { return 46u + FileNameLength + ExtraFieldLength + FileCommentLength; }

    void Assign(TPersistent* source) override;

protected:
    void AssignTo(TPersistent* dest) override;

private:
    void EncodeName();
    std::string FFileName;
    std::string FDirectory;
    std::string FStoredName;
};

class TEndCentral : public TPersistent {
public:
    TEndCentral() { Clear(); }
    uint32_t Signature = EndSignature;
    uint16_t ThisDisk = 0;
    uint16_t CentralDisk = 0;
    uint16_t EntriesThisDisk = 0;
    uint16_t TotalEntries = 0;
    uint32_t CentralSize = 0;
    uint32_t CentralOffset = 0;
    uint16_t CommentLength = 0;
    std::string Comment; // valid when CommentLoaded
    bool CommentLoaded = false;
    int64_t CommentPosition = 0;
    bool Changed = false;

    void Clear();
    void SetComment(const std::string& value);
    uint32_t RecordSize() const { return 22u + CommentLength; }
    void Assign(TPersistent* source) override;
};

// Entries in archive order (ByNone: disk, then local header offset) or in a
// sort mode. The archive-order list owns its entries and refuses two at the
// same place; sorted views borrow them and accept equal keys.
class TSortedZip : public TSortedObjectList {
public:
    explicit TSortedZip(TZipSortMode sortMode = ByNone, bool ownsObjects = true);
    TZipSortMode SortMode() const { return FSortMode; }
    TZipHeaderInfo* Entry(int index) const { return static_cast<TZipHeaderInfo*>(Items(index)); }
    int Compare(const void* key1, const void* key2) const override;

protected:
    bool CanHold(const TObject& item) const override { return dynamic_cast<const TZipHeaderInfo*>(&item); }

private:
    TZipSortMode FSortMode;
};

// Little-endian fields of the records.
inline uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t Get32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Record input and output. Readers leave the stream where it was and answer
// false when the bytes there are not a whole record of the kind asked for.
void WriteLocalHeader(TZipHeaderInfo& entry, TStream& stream);
void WriteCentralHeader(const TZipHeaderInfo& entry, TStream& stream);
bool ReadCentralHeader(TZipHeaderInfo& entry, TStream& stream);
bool ReadLocalHeader(TZipHeaderInfo& entry, TStream& stream);
void WriteEndRecord(const TEndCentral& end, TStream& stream);
// Looks for the end record in the archive's last 65557 bytes. A 0-byte file is an
// empty archive; disk numbers above MaxDiskNumber, or a this-disk number below the central
// directory's, count as not found. Raises EZipUnsupported for a Zip64 archive.
bool FindEndRecord(TEndCentral& end, TStream& stream);

// Writes all of count bytes or raises ENotEnoughRoom.
void WriteArchive(TStream& stream, const void* buffer, int count);

} // namespace zip
