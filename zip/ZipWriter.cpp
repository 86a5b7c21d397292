// The writer: file-list expansion, merging with the old archive, compressing
// each file and replacing the archive through a temporary file.
#include "zip/ZipWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <unordered_set>
#include <vector>

#include "platform/rtl/FileUtils.h"
#include "zip/Crc32.h"
#include "zip/Deflate.h"
#include "zip/BlockSetStream.h"
#include "zip/DirSearch.h"
#include "zip/ZipCrypt.h"
#include "zip/ZipExceptions.h"
#include "zip/ZipHooks.h"
#include "zip/ZipUtils.h"

namespace fs = std::filesystem;

namespace zip {

namespace {

constexpr int CopyBlockSize = 32768;
constexpr uint64_t MaxClassicSize = 0xFFFFFFFFu;
constexpr int MaxEntries = 0xFFFF;

void CheckClassic(uint64_t value, const char* what) {
    if (value > MaxClassicSize)
        throw EZipUnsupported(std::string(what) + " would pass 4 GiB; Zip64 archives are not supported");
}

// A line with a folder part is matched against the whole path, any other line against the file name.
bool MatchesPathList(const TStrings& list, const std::string& path) {
    const std::string full = UpperCase(path), name = UpperCase(NamePart(path));
    for (int i = 0; i < list.Count(); ++i) {
        const std::string line = UpperCase(ToForwardSlashes(list.Strings(i)));
        if (WildcardMatch(line, line.find('/') != std::string::npos ? full : name)) return true;
    }
    return false;
}

int64_t FileSizeOf(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

// The file a path finally names, symlinks followed (a dangling one too), so that
// an archive reached through a link is replaced where it lies and the link stays.
std::string FinalTarget(const std::string& path) {
    constexpr int MaxLinkHops = 40; // as the system allows before it gives up on a loop
    std::error_code ec;
    fs::path target = fs::absolute(path, ec);
    for (int hops = 0; hops < MaxLinkHops && fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target.lexically_normal().string();
}

// Reads the source for the compressor, keeping the CRC; writes its output to the
// archive, encrypted when the entry is.
class TFileDeflateIO : public TDeflateIO {
public:
    using TEncryptor = std::function<void(uint8_t*, int)>;
    TFileDeflateIO(TStream& source, TStream& archive, std::function<void(int)> onRead, TEncryptor encrypt)
        : FSource(source), FArchive(archive), FOnRead(std::move(onRead)), FEncrypt(std::move(encrypt)) {}
    int ReadSource(uint8_t* buffer, int count) override {
        const int n = FSource.Read(buffer, count);
        if (n < 0) {
            FFailed = true;
            return -1;
        }
        FCrc = UpdateCrc32(FCrc, buffer, static_cast<size_t>(n));
        FRead += static_cast<uint64_t>(n);
        if (n > 0) FOnRead(n);
        return n;
    }
    void WriteOutput(const uint8_t* buffer, int count) override {
        if (FEncrypt) {
            FScratch.assign(buffer, buffer + count);
            FEncrypt(FScratch.data(), count);
            buffer = FScratch.data();
        }
        WriteArchive(FArchive, buffer, count);
        FWritten += static_cast<uint64_t>(count);
    }
    uint32_t Crc() const { return ~FCrc; }
    uint64_t BytesRead() const { return FRead; }
    uint64_t BytesWritten() const { return FWritten; }
    bool Failed() const { return FFailed; }

private:
    TStream& FSource;
    TStream& FArchive;
    std::function<void(int)> FOnRead;
    TEncryptor FEncrypt;
    std::vector<uint8_t> FScratch;
    uint32_t FCrc = CrcStart;
    uint64_t FRead = 0;
    uint64_t FWritten = 0;
    bool FFailed = false;
};

// The CRC-32 of the whole source, read in blocks; the source is left at its start.
uint32_t SourceCrc(TStream& source) {
    constexpr int PrePassBlockSize = 8192;
    std::vector<uint8_t> buffer(PrePassBlockSize);
    uint32_t crc = CrcStart;
    for (int n; (n = source.Read(buffer.data(), PrePassBlockSize)) > 0;)
        crc = UpdateCrc32(crc, buffer.data(), static_cast<size_t>(n));
    source.Seek(0, soBeginning);
    return ~crc;
}

} // namespace

void TMultiZipInfo::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TMultiZipInfo*>(Source)) {
        *this = *other;
        return;
    }
    TPersistent::Assign(Source);
}

TZipWriter::TZipWriter(TComponent* AOwner)
    : TZipReader(AOwner), FMultiZipInfo(std::make_unique<TMultiZipInfo>()),
      FExcludeList(std::make_unique<TStringList>()), FNoCompressList(std::make_unique<TStringList>()) {}

TZipWriter::~TZipWriter() = default;

void TZipWriter::SetStorePaths(bool Value) {
    if (Value == FStorePaths) return;
    FStorePaths = Value;
    if (!Value) FStoreVolumes = FRelativePaths = false;
}

void TZipWriter::SetRelativePaths(bool Value) {
    if (Value == FRelativePaths) return;
    FRelativePaths = Value;
    if (Value) FStorePaths = FRecurse = true;
}

void TZipWriter::SetStoreVolumes(bool Value) {
    if (Value == FStoreVolumes) return;
    FStoreVolumes = Value;
    if (Value) FStorePaths = true;
}

void TZipWriter::SetMultiMode(int Value) {
    FMultiZipInfo->MultiMode = static_cast<TMultiMode>(Value);
    TZipReader::SetMultiMode(Value);
}

void TZipWriter::SetCheckDiskLabels(bool Value) {
    FMultiZipInfo->CheckDiskLabels = Value;
    TZipReader::SetCheckDiskLabels(Value);
}

void TZipWriter::Loaded() {
    TZipReader::Loaded();
    SetCheckDiskLabels(FMultiZipInfo->CheckDiskLabels);
    SetMultiMode(FMultiZipInfo->MultiMode);
}

void TZipWriter::Assign(TPersistent* Source) {
    TZipReader::Assign(Source);
    auto* other = dynamic_cast<TZipWriter*>(Source);
    if (!other) return;
    FPackLevel = other->FPackLevel;
    FRecurse = other->FRecurse;
    FDispose = other->FDispose;
    FStorePaths = other->FStorePaths;
    FRelativePaths = other->FRelativePaths;
    FStoreVolumes = other->FStoreVolumes;
    FZipAction = other->FZipAction;
    FMultiZipInfo->Assign(other->FMultiZipInfo.get());
    FStore83Names = other->FStore83Names;
    FTempPath = other->FTempPath;
    FSkipIfArchiveBitNotSet = other->FSkipIfArchiveBitNotSet;
    FResetArchiveBitOnZip = other->FResetArchiveBitOnZip;
    FExcludeList->Assign(other->FExcludeList.get());
    FNoCompressList->Assign(other->FNoCompressList.get());
    FAddDirEntriesOnRecurse = other->FAddDirEntriesOnRecurse;
    OnStartZipInfo = other->OnStartZipInfo;
    OnStartZip = other->OnStartZip;
    OnEndZip = other->OnEndZip;
    OnDisposeFile = other->OnDisposeFile;
    OnDeleteEntry = other->OnDeleteEntry;
    OnNoSuchFile = other->OnNoSuchFile;
    OnZipComplete = other->OnZipComplete;
    OnUpdate = other->OnUpdate;
    OnPrepareNextDisk = other->OnPrepareNextDisk;
    OnRecursingFile = other->OnRecursingFile;
    OnEncrypt = other->OnEncrypt;
}

void TZipWriter::DoStartZipInfo(int NumFiles, int64_t TotalBytes, TEndCentral& EndCentralRecord, bool& StopNow) {
    Fire(OnStartZipInfo, this, NumFiles, TotalBytes, EndCentralRecord, StopNow);
}
void TZipWriter::DoStartZip(const std::string& FName, TZipHeaderInfo& ZipHeader, bool& Skip) {
    Fire(OnStartZip, this, FName, ZipHeader, Skip);
}
void TZipWriter::DoEndZip(const std::string& FName, int64_t UncompressedSize, int64_t CompressedSize,
                          int64_t CurrentZipSize) {
    Fire(OnEndZip, this, FName, UncompressedSize, CompressedSize, CurrentZipSize);
}
void TZipWriter::DoDisposeFile(const std::string& FName, bool& Skip) {
    Fire(OnDisposeFile, this, FName, Skip);
}
void TZipWriter::DoDeleteEntry(const std::string& FName, bool& Skip) {
    Fire(OnDeleteEntry, this, FName, Skip);
}
void TZipWriter::DoNoSuchFile(const std::string& FName) {
    Fire(OnNoSuchFile, this, FName);
}
void TZipWriter::DoZipComplete(int FileCount) {
    Fire(OnZipComplete, this, FileCount);
}
void TZipWriter::DoUpdate(TZipUpdateAction UDAction, int FileIndex) {
    Fire(OnUpdate, this, UDAction, FileIndex);
}
void TZipWriter::DoRecursingFile(const std::string& FName) {
    Fire(OnRecursingFile, this, FName);
}

bool TZipWriter::IsExcluded(const std::string& Path) const {
    return MatchesPathList(*FExcludeList, Path);
}

bool TZipWriter::IsNotToCompress(const std::string& Path) const {
    return MatchesPathList(*FNoCompressList, Path);
}

std::string TZipWriter::StoredFolder(const std::string& Path) const {
    if (!FStorePaths) return {};
    std::string folder = FolderPart(Path);
    while (folder.size() >= 2 && folder.compare(folder.size() - 2, 2, "//") == 0)
        folder.pop_back();
    if (FRelativePaths && !RootDir().empty() && folder.compare(0, RootDir().size(), RootDir()) == 0)
        folder.erase(0, RootDir().size());
    if (!FStoreVolumes) {
        if (folder.size() >= 2 && folder[1] == ':') {
            folder.erase(0, 2);
        } else if (folder.compare(0, 2, "//") == 0) {
            // A network share: drop "//server/share".
            const size_t server = folder.find('/', 2);
            const size_t share = server == std::string::npos ? server : folder.find('/', server + 1);
            folder = share == std::string::npos ? std::string() : folder.substr(share);
        }
        if (!folder.empty() && folder.front() == '/') folder.erase(0, 1);
    }
    return folder;
}

std::string TZipWriter::StoredName(const std::string& Path) const {
    if (!Path.empty() && Path.back() == '/') return StoredFolder(Path);
    return StoredFolder(Path) + NamePart(Path);
}

// One run of ProcessFiles: the expanded list, the output and the new directory.
class TZipWriter::TRun {
public:
    explicit TRun(TZipWriter& Writer) : W(Writer) {}
    ~TRun() {
        FOutput.reset();
        if (!FTempName.empty()) ::unlink(FTempName.c_str());
        if (!FSpoolName.empty()) ::unlink(FSpoolName.c_str());
        // A set that did not come out whole is not left behind either.
        if (FBlocks && !FDone)
            for (const std::string& name : FBlocks->Files())
                ::unlink(name.c_str());
    }
    int Execute();

private:
    void Expand();
    void AddFound(const std::string& Path);
    bool HasEntryNamed(const std::string& Name) const;
    // The name an entry for Path is read back under: a "\" in a stored name reads as a separator.
    std::string EntryName(const std::string& Path) const { return ToForwardSlashes(W.StoredName(Path)); }
    std::unique_ptr<TZipHeaderInfo> ZipFile(const std::string& Path, bool& Skipped);
    void CopyEntry(const TZipHeaderInfo& Old);
    void Append(std::unique_ptr<TZipHeaderInfo> Entry);
    // In a set: a header starts in a block with room and records that block's disk.
    void BeginHeader(TZipHeaderInfo& Entry);
    void StartBlockSet(const std::string& ZipName);
    void WriteCentralDirectory(TStream& Out);
    void FinishBlockSet(const std::string& ZipName);
    void RemoveStaleParts(const std::string& ZipName, int Blocks);
    void DisposeSources();

    TZipWriter& W;
    std::string FTarget; // the archive file itself, links followed
    std::string FTempName;
    std::unique_ptr<TLFNFileStream> FOutput;
    std::unique_ptr<TBlockSetStream> FBlocks;
    TStream* FOut = nullptr;  // the one of the two being written
    std::string FSpoolName;   // in a set, each entry's data waits here until its header is written
    bool FDone = false;
    std::unique_ptr<TDeflater> FDeflater;
    std::unique_ptr<TSortedZip> FNewContents = std::make_unique<TSortedZip>();
    TEndCentral FEnd;
    std::vector<std::string> FDisposeList;
    bool FHaveOld = false;
};

bool TZipWriter::TRun::HasEntryNamed(const std::string& Name) const {
    if (!FHaveOld) return false;
    for (int i = 0; i < W.ZipContents().Count(); ++i)
        if (W.ZipContents().Entry(i)->FullName() == Name) return true;
    return false;
}

void TZipWriter::TRun::AddFound(const std::string& Path) {
    TStrings& files = *W.FilesList();
    if (W.FZipAction == zaFreshen && !HasEntryNamed(EntryName(Path))) return;
    files.Add(Path);
    W.TotalBytes() += std::max<int64_t>(FileSizeOf(Path), 0);
}

void TZipWriter::TRun::Expand() {
    TStrings& files = *W.FilesList();
    std::vector<std::string> lines, patterns;
    for (int i = 0; i < files.Count(); ++i)
        lines.push_back(files.Strings(i));
    files.Clear();
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        // A name of an existing file is taken literally, whatever characters it holds: first as
        // given, since "\" is an ordinary character of a Linux name, then with "/" separators.
        const std::string raw = ToForwardSlashes(line);
        std::string literal;
        for (const std::string& name : {line, raw}) {
            const std::string path = FolderPart(name).empty() ? W.RootDir() + name : name;
            if (literal.empty() && FileExists(path)) literal = path;
        }
        if (!literal.empty()) {
            if (!W.IsExcluded(literal)) AddFound(literal);
            continue;
        }
        if (raw.back() == '/') {
            files.Add(raw);
            continue;
        }
        if (HasWildcard(raw)) {
            patterns.push_back(raw);
            continue;
        }
        W.DoNoSuchFile(raw);
    }
    for (std::string pattern : patterns) {
        bool recurse = W.FRecurse;
        if (pattern.front() == '|' || pattern.front() == '>') {
            recurse = pattern.front() == '>';
            pattern.erase(0, 1);
        }
        std::string folder = FolderPart(pattern);
        std::string mask = NamePart(pattern);
        if (folder.empty()) folder = W.RootDir().empty() ? GetCurrentDir() : W.RootDir();
        // A folder part with wildcards names the folders that match it, which the walker finds.
        if ((!HasWildcard(folder) && !DirectoryExists(folder)) || mask.empty()) continue;
        if (mask == "*.*") mask = "*";
        TDirSearch search(folder, recurse, mask);
        for (std::string found = search.Next(); !found.empty(); found = search.Next()) {
            W.DoRecursingFile(found);
            W.ProcessMessages();
            if (found.back() == '/') {
                if (recurse && W.FAddDirEntriesOnRecurse && W.FStorePaths) files.Add(found);
                continue;
            }
            if (W.IsExcluded(found) || FinalTarget(found) == FTarget) continue;
            AddFound(found);
        }
    }
}

void TZipWriter::TRun::Append(std::unique_ptr<TZipHeaderInfo> Entry) {
    if (FNewContents->Count() >= MaxEntries)
        throw EZipUnsupported("An archive holds at most 65535 entries; Zip64 archives are not supported");
    FNewContents->Add(Entry.get()); // the list owns it only once it is in
    Entry.release();
    ++FEnd.TotalEntries;
    ++FEnd.EntriesThisDisk;
}

// Copies an old entry's local header, data and data descriptor unchanged.
void TZipWriter::TRun::CopyEntry(const TZipHeaderInfo& Old) {
    TStream& archive = W.Input();
    W.SeekDisk(Old.DiskNumberStart, Old.RelativeOffset);
    TZipHeaderInfo local;
    if (!ReadLocalHeader(local, archive)) throw EBadZipFile(SNotValidZip);
    W.SeekDisk(Old.DiskNumberStart, Old.RelativeOffset);
    auto entry = std::make_unique<TZipHeaderInfo>();
    entry->Assign(const_cast<TZipHeaderInfo*>(&Old));
    const uint64_t at = static_cast<uint64_t>(FOutput->Position());
    CheckClassic(at, "The archive");
    entry->RelativeOffset = static_cast<uint32_t>(at);
    entry->DiskNumberStart = 0;
    std::vector<uint8_t> buffer(CopyBlockSize);
    auto copy = [&](uint64_t length) {
        for (uint64_t left = length; left;) {
            const int n = static_cast<int>(std::min<uint64_t>(left, buffer.size()));
            if (archive.Read(buffer.data(), n) != n) throw EFatalUnzipError(SPrematureEnd);
            WriteArchive(*FOutput, buffer.data(), n);
            left -= static_cast<uint64_t>(n);
            W.ProcessMessages();
        }
    };
    copy(local.LocalHeaderSize() + static_cast<uint64_t>(Old.CompressedSize));
    if (Old.HasDataDescriptor()) {
        // The descriptor follows the data wherever it ended, in a set perhaps on a later disk; its
        // signature is optional.
        uint8_t signature[4];
        if (archive.Read(signature, 4) != 4) throw EFatalUnzipError(SPrematureEnd);
        WriteArchive(*FOutput, signature, 4);
        copy(Get32(signature) == DataDescriptorSignature ? 12 : 8);
    }
    Append(std::move(entry));
}

std::unique_ptr<TZipHeaderInfo> TZipWriter::TRun::ZipFile(const std::string& Path, bool& Skipped) {
    Skipped = false;
    auto entry = std::make_unique<TZipHeaderInfo>();
    const bool folderEntry = Path.back() == '/';
    entry->SetFileName(folderEntry ? std::string() : NamePart(Path));
    entry->SetDirectory(W.StoredFolder(Path));
    if (entry->FullName().empty()) return nullptr;
    TDateTime date = 0;
    std::unique_ptr<TFileStream> source;
    if (folderEntry) {
        if (!FileAge(Path, date)) date = Now();
        entry->ExternalAttributes = 0x10;
        entry->CompressionMethod = MethodStored;
        entry->CRC32 = 0;
        entry->InternalAttributes = 0;
    } else {
        try {
            source = std::make_unique<TFileStream>(Path, fmOpenRead | fmShareDenyNone);
        } catch (const EStreamError&) {
            return nullptr; // vanished or unreadable: no entry
        }
        if (!FileAge(Path, date)) date = Now();
        const int64_t size = source->Size();
        CheckClassic(static_cast<uint64_t>(size), Path.c_str());
        entry->UncompressedSize = static_cast<uint32_t>(size);
        struct stat st;
        const bool readOnly = ::stat(Path.c_str(), &st) == 0 && IsReadOnlyMode(st.st_mode);
        entry->ExternalAttributes = readOnly ? 0x21 : 0x20;
    }
    entry->FileDate = DateTimeToDosDateTime(date);
    bool skip = false;
    W.DoStartZip(Path, *entry, skip);
    if (skip) {
        Skipped = true;
        return nullptr;
    }
    TStream& out = *FOut;
    if (folderEntry) {
        BeginHeader(*entry);
        WriteLocalHeader(*entry, out);
        return entry;
    }
    std::unique_ptr<TLFNFileStream> spool;
    Int64 start = 0;
    if (FBlocks) {
        spool = std::make_unique<TLFNFileStream>(FSpoolName, ArchiveBufferSize, false, fmCreate);
    } else {
        start = out.Position();
        CheckClassic(static_cast<uint64_t>(start), "The archive");
        WriteLocalHeader(*entry, out);
    }
    TStream& dataOut = spool ? static_cast<TStream&>(*spool) : out;

    const uint64_t size = entry->UncompressedSize;
    uint64_t readSoFar = 0;
    // An encrypted entry's header carries the CRC, so the source is read once for it first.
    std::unique_ptr<TZipCrypt> crypt;
    TFileDeflateIO::TEncryptor encrypt;
    if (!W.Password().empty()) {
        entry->CRC32 = SourceCrc(*source);
        crypt = std::make_unique<TZipCrypt>(PasswordForms(W.Password()).front());
        encrypt = [this, &crypt](uint8_t* buffer, int n) {
            if (W.OnEncrypt)
                W.OnEncrypt(&W, buffer, n, W.Password());
            else
                crypt->Encrypt(buffer, n);
        };
    }
    TFileDeflateIO tracked(*source, dataOut, [&](int n) {
        readSoFar += static_cast<uint64_t>(n);
        W.DoFilePercentDone(Percentage(static_cast<int64_t>(readSoFar), static_cast<int64_t>(size)));
        W.ReportTotalProgress(n);
        W.ProcessMessages();
    }, encrypt);
    if (crypt) {
        uint8_t header[CryptHeaderSize];
        MakeCryptHeader(entry->CRC32, header);
        tracked.WriteOutput(header, CryptHeaderSize);
    }
    if (W.FPackLevel == 0 || W.IsNotToCompress(Path)) {
        std::vector<uint8_t> buffer(CopyBlockSize);
        for (;;) {
            const int n = tracked.ReadSource(buffer.data(), CopyBlockSize);
            if (n <= 0) break;
            tracked.WriteOutput(buffer.data(), n);
        }
        entry->CompressionMethod = MethodStored;
        entry->InternalAttributes = 0;
        entry->Flag &= static_cast<uint16_t>(~6);
    } else {
        if (!FDeflater) FDeflater = std::make_unique<TDeflater>();
        const TDeflateResult result = FDeflater->Deflate(W.FPackLevel, tracked);
        entry->CompressionMethod = result.Method;
        entry->InternalAttributes = result.InternalAttributes;
        if (result.Method == MethodDeflated) entry->Flag |= result.FlagBits;
    }
    if (tracked.Failed()) {
        // Unreadable part way: drop what was written for it.
        if (!spool) out.Seek(start, soBeginning);
        return nullptr;
    }
    CheckClassic(tracked.BytesRead(), Path.c_str());
    CheckClassic(tracked.BytesWritten(), Path.c_str());
    // The header promised the pre-pass CRC; a file that changed since cannot keep that promise.
    if (crypt && tracked.Crc() != entry->CRC32)
        throw EInOutError(Path + " changed while it was being zipped; the archive was left as it was");
    if (crypt) entry->Flag |= FlagEncrypted;
    entry->CRC32 = tracked.Crc();
    entry->UncompressedSize = static_cast<uint32_t>(tracked.BytesRead());
    entry->CompressedSize = static_cast<uint32_t>(tracked.BytesWritten());
    if (spool) {
        // Header and data go out front to back, split wherever a block is full.
        BeginHeader(*entry);
        WriteLocalHeader(*entry, out);
        constexpr int SetCopyPieceSize = 16384;
        std::vector<uint8_t> piece(SetCopyPieceSize);
        spool->Seek(0, soBeginning);
        for (int n; (n = spool->Read(piece.data(), SetCopyPieceSize)) > 0;) {
            WriteArchive(out, piece.data(), n);
            W.ProcessMessages();
        }
        W.DoEndZip(Path, entry->UncompressedSize, entry->CompressedSize, out.Position());
        return entry;
    }
    const Int64 end = out.Position();
    CheckClassic(static_cast<uint64_t>(end), "The archive");
    out.Seek(start, soBeginning);
    WriteLocalHeader(*entry, out);
    out.Seek(end, soBeginning);
    W.DoEndZip(Path, entry->UncompressedSize, entry->CompressedSize, end);
    return entry;
}

void TZipWriter::TRun::DisposeSources() {
    for (const std::string& path : FDisposeList) {
        bool skip = false;
        W.DoDisposeFile(path, skip);
        if (!skip) DeleteFile(path);
    }
}

void TZipWriter::TRun::BeginHeader(TZipHeaderInfo& Entry) {
    if (!FBlocks) return;
    FBlocks->KeepTogether(1);
    Entry.DiskNumberStart = static_cast<uint16_t>(FBlocks->Disk());
}

void TZipWriter::TRun::StartBlockSet(const std::string& ZipName) {
    const TMultiZipInfo& info = *W.FMultiZipInfo;
    // Room kept free in the first block for a copy of the directory; worked out afresh each run.
    int64_t reserved = 0;
    if (info.SaveZipInfoOnFirstDisk) {
        const int64_t nameAllowance = W.FStorePaths ? 128 : 32;
        reserved = static_cast<int64_t>(W.FilesList()->Count()) * (58 + nameAllowance) + info.SaveOnFirstDisk +
                   EndRecordSize + FEnd.CommentLength + 2048;
    }
    const int64_t firstRoom = static_cast<int64_t>(info.FirstBlockSize) - reserved;
    // Every block must be able to hold the end record whole, or the set never reads back.
    if (firstRoom < 1 || info.BlockSize < static_cast<int64_t>(FEnd.RecordSize())) throw ENotEnoughRoom(SNotEnoughRoom);
    FSpoolName = CreateTempFile(ExtractFilePath(ZipName), ".zip", ".tmp");
    FBlocks = std::make_unique<TBlockSetStream>(ZipName, firstRoom, info.BlockSize, [this](int block) {
        if (block > 1) Fire(W.OnPrepareNextDisk, &W, block);
    });
    FOut = FBlocks.get();
}

void TZipWriter::TRun::WriteCentralDirectory(TStream& Out) {
    if (FBlocks) FBlocks->KeepTogether(1);
    const Int64 centralStart = Out.Position();
    CheckClassic(static_cast<uint64_t>(centralStart), "The archive");
    FEnd.CentralDisk = static_cast<uint16_t>(FBlocks ? FBlocks->Disk() : 0);
    uint64_t size = 0;
    std::vector<int> disks;
    for (int i = 0; i < FNewContents->Count(); ++i) {
        if (FBlocks) FBlocks->KeepTogether(1);
        disks.push_back(FBlocks ? FBlocks->Disk() : 0);
        const TZipHeaderInfo& entry = *FNewContents->Entry(i);
        WriteCentralHeader(entry, Out);
        // Positions restart in each block, so the size is added up header by header.
        size += CentralHeaderSize + entry.FileNameLength + entry.ExtraField.size() +
                (entry.CommentLoaded ? entry.FileCommentLength : 0);
    }
    if (FBlocks) FBlocks->KeepTogether(FEnd.RecordSize());
    FEnd.ThisDisk = static_cast<uint16_t>(FBlocks ? FBlocks->Disk() : 0);
    FEnd.EntriesThisDisk = static_cast<uint16_t>(std::count(disks.begin(), disks.end(), FEnd.ThisDisk));
    CheckClassic(static_cast<uint64_t>(Out.Position()), "The archive");
    FEnd.CentralOffset = static_cast<uint32_t>(centralStart);
    FEnd.CentralSize = static_cast<uint32_t>(size);
    WriteEndRecord(FEnd, Out);
}

void TZipWriter::TRun::FinishBlockSet(const std::string& ZipName) {
    if (!FBlocks->Finish()) throw ENotEnoughRoom(SNotEnoughRoom);
    const std::vector<std::string>& files = FBlocks->Files();
    if (W.FMultiZipInfo->SaveZipInfoOnFirstDisk) {
        const std::string name = ChangeFileExt(ZipName, ConfigurationFileExt);
        std::unique_ptr<TLFNFileStream> copy;
        try {
            copy = std::make_unique<TLFNFileStream>(name, ArchiveBufferSize, false, fmCreate);
        } catch (const EStreamError&) {
            throw EInOutError(SNoConfigurationFile);
        }
        try {
            for (int i = 0; i < FNewContents->Count(); ++i)
                WriteCentralHeader(*FNewContents->Entry(i), *copy);
            WriteEndRecord(FEnd, *copy);
        } catch (const ENotEnoughRoom&) {
            throw EInOutError(SConfigurationFileNotSaved);
        }
        if (!copy->Commit()) throw EInOutError(SConfigurationFileNotSaved);
    }
    // A set that fits its first block is an ordinary archive under its own name.
    if (files.size() == 1 && ::rename(files[0].c_str(), ZipName.c_str()) != 0)
        throw EInOutError("Could not rename " + files[0] + " to " + ZipName);
    FDone = true;
    RemoveStaleParts(ZipName, static_cast<int>(files.size()));
    DisposeSources();
    if (files.size() == 1)
        W.TakeWrittenDirectory(std::move(FNewContents), FEnd);
    else
        W.DropDirectory(); // ZipName itself does not exist: the set is read from its last block
    W.DoTotalPercentDone(100);
}

// Blocks past the last one written and a directory copy not written this time belong to an earlier
// set of the same name; left behind, opening them would show that set's entries as current.
void TZipWriter::TRun::RemoveStaleParts(const std::string& ZipName, int Blocks) {
    std::vector<std::string> stale;
    for (int n = Blocks + 1; n <= MaxDiskNumber + 1 && FileExists(BlockFileName(ZipName, n)); ++n)
        stale.push_back(BlockFileName(ZipName, n));
    const std::string configuration = ChangeFileExt(ZipName, ConfigurationFileExt);
    if (!W.FMultiZipInfo->SaveZipInfoOnFirstDisk && FileExists(configuration)) stale.push_back(configuration);
    for (const std::string& name : stale)
        if (::unlink(name.c_str()) != 0)
            throw EInOutError("The set was written, but " + name + " of an earlier set could not be removed");
}

int TZipWriter::TRun::Execute() {
    // Not trimmed: a trailing blank is part of a Linux name, and the reader uses the name as given.
    if (W.ZipName().empty()) return 0;
    FTarget = FinalTarget(W.ZipName());
    const std::string& zipName = FTarget;
    if (W.GetMultiMode() == mmSpan)
        throw EZipUnsupported("Spanning an archive across removable disks is not supported on this system");
    const bool blocks = W.GetMultiMode() == mmBlocks;
    W.TotalBytes() = 0;
    W.TotalProgress() = 0;

    // A set is written straight, without merging an archive already there.
    FHaveOld = !blocks && FileExists(zipName);
    if (FHaveOld) {
        W.LoadDirectory();
        W.OpenArchive();
    }
    if (!W.EndRecord().Comment.empty()) FEnd.SetComment(W.EndRecord().Comment);
    FEnd.Changed = false;
    if (W.FilesList()->Count() > 0) Expand();

    // Refuse what the classic format cannot hold before anything is written.
    TStrings& files = *W.FilesList();
    for (int i = 0; i < files.Count(); ++i)
        if (FileSizeOf(files.Strings(i)) > static_cast<int64_t>(MaxClassicSize))
            CheckClassic(static_cast<uint64_t>(FileSizeOf(files.Strings(i))), files.Strings(i).c_str());
    // A line that meets an old entry replaces or keeps it; only the others add entries.
    int entries = FHaveOld ? W.ZipContents().Count() : 0;
    std::unordered_set<std::string> oldNames;
    for (int i = 0; FHaveOld && i < W.ZipContents().Count(); ++i)
        oldNames.insert(W.ZipContents().Entry(i)->FullName());
    for (int i = 0; i < files.Count(); ++i)
        if (!oldNames.count(EntryName(files.Strings(i)))) ++entries;
    if (entries > MaxEntries)
        throw EZipUnsupported("An archive holds at most 65535 entries; Zip64 archives are not supported");

    if (blocks) {
        StartBlockSet(zipName);
    } else {
        FTempName = CreateTempFile(ExtractFilePath(zipName), ".zip", ".tmp");
        FOutput = std::make_unique<TLFNFileStream>(FTempName, ArchiveBufferSize, false, fmCreate);
        FOut = FOutput.get();
    }
    int count = 0;

    if (FHaveOld) {
        std::vector<std::string> names;
        for (int i = 0; i < files.Count(); ++i)
            names.push_back(EntryName(files.Strings(i)));
        for (int index = 0; index < W.ZipContents().Count(); ++index) {
            const TZipHeaderInfo& old = *W.ZipContents().Entry(index);
            int line = -1;
            for (size_t i = 0; i < names.size() && line < 0; ++i)
                if (names[i] == old.FullName()) line = static_cast<int>(i);
            if (line < 0) {
                CopyEntry(old);
                continue;
            }
            const std::string path = files.Strings(line);
            bool replace = W.FZipAction == zaReplace;
            if (!replace) {
                TDateTime fileDate = 0;
                replace = FileAge(path, fileDate) && old.FileDate < DateTimeToDosDateTime(fileDate);
            }
            files.Delete(line);
            names.erase(names.begin() + line);
            if (replace) {
                W.DoUpdate(uaReplacing, index);
                bool skipped = false;
                auto entry = ZipFile(path, skipped);
                if (entry) {
                    Append(std::move(entry));
                    ++count;
                    if (W.FDispose) FDisposeList.push_back(path);
                    continue;
                }
                if (skipped) {
                    bool keep = false;
                    W.DoDeleteEntry(old.FullName(), keep);
                    if (!keep) continue;
                }
                // The new file could not be read, or the entry is to stay after all.
            } else {
                W.DoUpdate(uaKeeping, index);
                if (W.FDispose) FDisposeList.push_back(path);
            }
            CopyEntry(old);
        }
    }

    if (files.Count() > 0) {
        bool stop = false;
        W.DoStartZipInfo(files.Count(), W.TotalBytes(), FEnd, stop);
        if (stop) throw EUserCanceled(SUserCanceledZip);
    }
    for (int i = 0; i < files.Count(); ++i) {
        bool skipped = false;
        auto entry = ZipFile(files.Strings(i), skipped);
        if (!entry) continue;
        Append(std::move(entry));
        ++count;
        if (W.FDispose) FDisposeList.push_back(files.Strings(i));
    }

    WriteCentralDirectory(*FOut);
    if (blocks) {
        FinishBlockSet(zipName);
        return count;
    }
    // Nothing past the end record: a dropped entry may have left bytes beyond it.
    const Int64 finalSize = FOutput->Position();
    if (!FOutput->FlushBuffer()) throw ENotEnoughRoom(SNotEnoughRoom);
    FOutput->WrappedStream()->SetSize(finalSize);
    if (!FOutput->Commit()) throw ENotEnoughRoom(SNotEnoughRoom);
    FOutput.reset();

    W.CloseArchive();
    // The temporary file was made private; the archive keeps the old one's mode, or gets the usual one.
    struct stat old;
    ::chmod(FTempName.c_str(), ::stat(zipName.c_str(), &old) == 0 ? old.st_mode & 07777 : NewFileMode());
    if (::rename(FTempName.c_str(), zipName.c_str()) != 0)
        throw EInOutError("Could not replace " + zipName + " with the new archive");
    FTempName.clear();
    DisposeSources();
    W.TakeWrittenDirectory(std::move(FNewContents), FEnd);
    W.DoTotalPercentDone(100);
    return count;
}

int TZipWriter::ProcessFiles() {
    TBusyGuard busy(*this);
    const TBusyCursorGuard cursor;
    // The run works in archive order; the caller's view comes back at the end.
    const TZipSortMode sortMode = SortMode();
    SetSortMode(ByNone);
    try {
        TRun run(*this);
        const int count = run.Execute();
        CloseArchive();
        SetSortMode(sortMode);
        return count;
    } catch (...) {
        CloseArchive();
        SetSortMode(sortMode);
        throw;
    }
}

int TZipWriter::Zip() {
    const int count = ProcessFiles();
    DoZipComplete(count);
    return count;
}

} // namespace zip
