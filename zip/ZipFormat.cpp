// The zip records, the entry and end-record objects and the entry list.
#include "zip/ZipFormat.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Utf8.h"
#include "zip/ZipExceptions.h"
#include "zip/ZipUtils.h"

namespace zip {

namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, static_cast<uint16_t>(v));
    Put16(p + 2, static_cast<uint16_t>(v >> 16));
}

bool IsAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

constexpr uint8_t HostUnix = 3;
constexpr uint8_t HostMacOS = 19;

// Bit 11 clear means GBK, the code page of the archives this program exchanges.
// Names from a Unix host are in that system's own encoding, UTF-8 in practice, as
// zip tools there write them without setting the bit; and bytes that are not GBK
// but are valid UTF-8 come from a tool that wrote UTF-8 without saying so.
std::string DecodeName(const std::string& raw, bool utf8, uint8_t host) {
    if (utf8 || IsAscii(raw)) return raw;
    if ((host == HostUnix || host == HostMacOS) && Utf8IsValid(raw)) return raw;
    std::string decoded = GbkToUtf8(raw);
    if (Utf8ToGbk(decoded) != raw && Utf8IsValid(raw)) return raw;
    return decoded;
}

bool ReadExact(TStream& stream, void* buffer, int count) {
    return count == 0 || stream.Read(buffer, count) == count;
}

bool ReadText(TStream& stream, std::string& text, int length) {
    text.assign(static_cast<size_t>(length), '\0');
    return ReadExact(stream, text.data(), length);
}

} // namespace

void WriteArchive(TStream& stream, const void* buffer, int count) {
    if (count > 0 && stream.Write(buffer, count) != count) throw ENotEnoughRoom(SNotEnoughRoom);
}

void TZipHeaderInfo::SetFileName(const std::string& value) {
    FFileName = value;
    EncodeName();
}

void TZipHeaderInfo::SetDirectory(const std::string& value) {
    FDirectory = value;
    if (!FDirectory.empty() && FDirectory.back() != '/') FDirectory += '/';
    EncodeName();
}

void TZipHeaderInfo::EncodeName() {
    const std::string name = FullName();
    if (IsGbkRepresentable(name)) {
        FStoredName = Utf8ToGbk(name);
        Flag &= static_cast<uint16_t>(~FlagUtf8Name);
    } else {
        FStoredName = name;
        Flag |= FlagUtf8Name;
    }
    FileNameLength = static_cast<uint16_t>(std::min<size_t>(FStoredName.size(), 0xFFFF));
}

void TZipHeaderInfo::SetStoredName(const std::string& raw) {
    FStoredName = raw;
    FileNameLength = static_cast<uint16_t>(raw.size());
    // Separators are turned on the decoded text: a GBK trail byte can be 0x5C.
    const std::string name = ToForwardSlashes(DecodeName(raw, Flag & FlagUtf8Name, VersionMadeBy >> 8));
    FDirectory = FolderPart(name);
    FFileName = NamePart(name);
}

void TZipHeaderInfo::SetFileComment(const std::string& value) {
    FileComment = value;
    FileCommentLength = static_cast<uint16_t>(std::min<size_t>(value.size(), 0xFFFF));
    CommentLoaded = true;
}

void TZipHeaderInfo::Assign(TPersistent* source) {
    if (auto* other = dynamic_cast<TZipHeaderInfo*>(source)) {
        *this = *other;
        return;
    }
    TPersistent::Assign(source);
}

void TZipHeaderInfo::AssignTo(TPersistent* dest) {
    if (auto* other = dynamic_cast<TZipHeaderInfo*>(dest)) {
        *other = *this;
        return;
    }
    TPersistent::AssignTo(dest);
}

void TEndCentral::Clear() {
    Signature = EndSignature;
    ThisDisk = CentralDisk = EntriesThisDisk = TotalEntries = CommentLength = 0;
    CentralSize = CentralOffset = 0;
    Comment.clear();
    CommentLoaded = false;
    CommentPosition = 0;
    Changed = false;
}

void TEndCentral::SetComment(const std::string& value) {
    Comment = value;
    CommentLength = static_cast<uint16_t>(std::min<size_t>(value.size(), 0xFFFF));
    CommentLoaded = true;
    Changed = true;
}

void TEndCentral::Assign(TPersistent* source) {
    if (auto* other = dynamic_cast<TEndCentral*>(source)) {
        *this = *other;
        return;
    }
    TPersistent::Assign(source);
}

TSortedZip::TSortedZip(TZipSortMode sortMode, bool ownsObjects)
    : TSortedObjectList(ownsObjects, sortMode == ByNone && ownsObjects ? dupError : dupAccept), FSortMode(sortMode) {}

int TSortedZip::Compare(const void* key1, const void* key2) const {
    const auto* a = static_cast<const TZipHeaderInfo*>(static_cast<const TObject*>(key1));
    const auto* b = static_cast<const TZipHeaderInfo*>(static_cast<const TObject*>(key2));
    auto order = [](auto x, auto y) { return x < y ? -1 : x > y ? 1 : 0; };
    switch (FSortMode) {
    case ByName:
        return CompareText(a->FullName(), b->FullName());
    case ByFileName:
        return CompareText(a->FileName(), b->FileName());
    case ByDirectoryName:
        return CompareText(a->Directory(), b->Directory());
    case ByDate:
        return order(a->FileDate, b->FileDate);
    case ByCompressedSize:
        return order(a->CompressedSize, b->CompressedSize);
    case ByUnCompressedSize:
        return order(a->UncompressedSize, b->UncompressedSize);
    case ByRate:
        return order(Percentage(a->CompressedSize, a->UncompressedSize),
                     Percentage(b->CompressedSize, b->UncompressedSize));
    case ByNone:
        break;
    }
    if (a->DiskNumberStart != b->DiskNumberStart) return order(a->DiskNumberStart, b->DiskNumberStart);
    return order(a->RelativeOffset, b->RelativeOffset);
}

void WriteLocalHeader(TZipHeaderInfo& entry, TStream& stream) {
    entry.RelativeOffset = static_cast<uint32_t>(stream.Position());
    uint8_t h[LocalHeaderSize];
    Put32(h, LocalSignature);
    Put16(h + 4, entry.VersionNeeded);
    Put16(h + 6, entry.Flag);
    Put16(h + 8, entry.CompressionMethod);
    Put32(h + 10, entry.FileDate);
    Put32(h + 14, entry.CRC32);
    Put32(h + 18, entry.CompressedSize);
    Put32(h + 22, entry.UncompressedSize);
    Put16(h + 26, entry.FileNameLength);
    Put16(h + 28, 0); // the engine writes no local extra field
    entry.LocalExtraFieldLength = 0;
    WriteArchive(stream, h, LocalHeaderSize);
    WriteArchive(stream, entry.StoredName().data(), entry.FileNameLength);
}

void WriteCentralHeader(const TZipHeaderInfo& entry, TStream& stream) {
    uint8_t h[CentralHeaderSize];
    Put32(h, CentralSignature);
    Put16(h + 4, entry.VersionMadeBy);
    Put16(h + 6, entry.VersionNeeded);
    Put16(h + 8, entry.Flag);
    Put16(h + 10, entry.CompressionMethod);
    Put32(h + 12, entry.FileDate);
    Put32(h + 16, entry.CRC32);
    Put32(h + 20, entry.CompressedSize);
    Put32(h + 24, entry.UncompressedSize);
    Put16(h + 28, entry.FileNameLength);
    Put16(h + 30, static_cast<uint16_t>(entry.ExtraField.size()));
    const uint16_t commentLength = entry.CommentLoaded ? entry.FileCommentLength : 0;
    Put16(h + 32, commentLength);
    Put16(h + 34, entry.DiskNumberStart);
    Put16(h + 36, entry.InternalAttributes);
    Put32(h + 38, entry.ExternalAttributes);
    Put32(h + 42, entry.RelativeOffset);
    WriteArchive(stream, h, CentralHeaderSize);
    WriteArchive(stream, entry.StoredName().data(), entry.FileNameLength);
    WriteArchive(stream, entry.ExtraField.data(), static_cast<int>(entry.ExtraField.size()));
    WriteArchive(stream, entry.FileComment.data(), commentLength);
}

bool ReadCentralHeader(TZipHeaderInfo& entry, TStream& stream) {
    const Int64 start = stream.Position();
    uint8_t h[CentralHeaderSize];
    std::string name, extra, comment;
    auto fail = [&] {
        stream.Seek(start, soBeginning);
        return false;
    };
    if (!ReadExact(stream, h, CentralHeaderSize) || Get32(h) != CentralSignature) return fail();
    if (!ReadText(stream, name, Get16(h + 28)) || !ReadText(stream, extra, Get16(h + 30)) ||
        !ReadText(stream, comment, Get16(h + 32)))
        return fail();
    entry.VersionMadeBy = Get16(h + 4);
    entry.VersionNeeded = Get16(h + 6);
    entry.Flag = Get16(h + 8);
    entry.CompressionMethod = Get16(h + 10);
    entry.FileDate = SanitiseDosDateTime(Get32(h + 12));
    entry.CRC32 = Get32(h + 16);
    entry.CompressedSize = Get32(h + 20);
    entry.UncompressedSize = Get32(h + 24);
    entry.ExtraFieldLength = Get16(h + 30);
    entry.ExtraField = extra;
    entry.DiskNumberStart = Get16(h + 34);
    entry.InternalAttributes = Get16(h + 36);
    entry.ExternalAttributes = Get32(h + 38);
    entry.RelativeOffset = Get32(h + 42);
    entry.CentralOffset = static_cast<uint32_t>(start);
    entry.SetStoredName(name);
    entry.SetFileComment(comment);
    return true;
}

bool ReadLocalHeader(TZipHeaderInfo& entry, TStream& stream) {
    const Int64 start = stream.Position();
    uint8_t h[LocalHeaderSize];
    std::string name;
    if (!ReadExact(stream, h, LocalHeaderSize) || Get32(h) != LocalSignature ||
        !ReadText(stream, name, Get16(h + 26))) {
        stream.Seek(start, soBeginning);
        return false;
    }
    entry.VersionNeeded = Get16(h + 4);
    entry.Flag = Get16(h + 6);
    entry.CompressionMethod = Get16(h + 8);
    entry.FileDate = SanitiseDosDateTime(Get32(h + 10));
    entry.CRC32 = Get32(h + 14);
    entry.CompressedSize = Get32(h + 18);
    entry.UncompressedSize = Get32(h + 22);
    entry.LocalExtraFieldLength = Get16(h + 28);
    entry.RelativeOffset = static_cast<uint32_t>(start);
    entry.SetStoredName(name);
    return true;
}

void WriteEndRecord(const TEndCentral& end, TStream& stream) {
    uint8_t h[EndRecordSize];
    Put32(h, EndSignature);
    Put16(h + 4, end.ThisDisk);
    Put16(h + 6, end.CentralDisk);
    Put16(h + 8, end.EntriesThisDisk);
    Put16(h + 10, end.TotalEntries);
    Put32(h + 12, end.CentralSize);
    Put32(h + 16, end.CentralOffset);
    const uint16_t commentLength = end.CommentLoaded ? end.CommentLength : 0;
    Put16(h + 20, commentLength);
    WriteArchive(stream, h, EndRecordSize);
    WriteArchive(stream, end.Comment.data(), commentLength);
}

bool FindEndRecord(TEndCentral& end, TStream& stream) {
    end.Clear();
    const Int64 size = stream.Size();
    if (size == 0) return true;
    if (size < EndRecordSize) return false;
    const Int64 blockSize = std::min<Int64>(size, EndRecordSize + MaxCommentLength);
    std::vector<uint8_t> block(static_cast<size_t>(blockSize));
    stream.Seek(size - blockSize, soBeginning);
    if (!ReadExact(stream, block.data(), static_cast<int>(blockSize))) return false;
    for (Int64 i = blockSize - EndRecordSize; i >= 0; --i) {
        const uint8_t* p = block.data() + i;
        if (p[0] != (EndSignature & 0xFF) || Get32(p) != EndSignature) continue;
        end.ThisDisk = Get16(p + 4);
        end.CentralDisk = Get16(p + 6);
        end.EntriesThisDisk = Get16(p + 8);
        end.TotalEntries = Get16(p + 10);
        end.CentralSize = Get32(p + 12);
        end.CentralOffset = Get32(p + 16);
        end.CommentLength = Get16(p + 20);
        const Int64 recordPos = size - blockSize + i;
        end.CommentPosition = recordPos + EndRecordSize;
        if (end.ThisDisk > MaxDiskNumber || end.CentralDisk > MaxDiskNumber || end.ThisDisk < end.CentralDisk) {
            end.Clear();
            return false;
        }
        // A Zip64 locator sits right before the record; this engine writes and reads the classic format only.
        if (i >= 20 && Get32(p - 20) == Zip64LocatorSignature)
            throw EZipUnsupported("Zip64 archives are not supported");
        const Int64 commentAvailable = blockSize - i - EndRecordSize;
        const auto length = static_cast<size_t>(std::min<Int64>(end.CommentLength, commentAvailable));
        end.Comment.assign(reinterpret_cast<const char*>(p + EndRecordSize), length);
        end.CommentLength = static_cast<uint16_t>(length);
        end.CommentLoaded = true;
        return true;
    }
    return false;
}

} // namespace zip
