// The reader: directory reading (end record, central headers, the local-header
// walk for damaged archives) and extraction entry by entry.
#include "zip/ZipReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/rtl/FileUtils.h"
#include "zip/Crc32.h"
#include "zip/EntryDecoder.h"
#include "zip/ZipCrypt.h"
#include "zip/ZipExceptions.h"
#include "zip/ZipHooks.h"
#include "zip/ZipUtils.h"

namespace zip {

namespace {

constexpr int SelfExtractorStart = 14000;
constexpr uint16_t Zip64ExtraTag = 0x0001;

bool HasZip64Extra(const std::string& extra) {
    for (size_t i = 0; i + 4 <= extra.size();) {
        const auto* p = reinterpret_cast<const uint8_t*>(extra.data() + i);
        if (Get16(p) == Zip64ExtraTag) return true;
        i += 4u + Get16(p + 2);
    }
    return false;
}

// Feeds an entry's compressed bytes from the archive, counting them down and
// decrypting them as they come in when the entry is encrypted.
class TArchiveSource : public TDecoderSource {
public:
    using TDecryptor = std::function<void(uint8_t*, int)>;
    TArchiveSource(TStream& archive, uint64_t size, std::function<void()> onRefill, TDecryptor decrypt)
        : FArchive(archive), FLeft(size), FOnRefill(std::move(onRefill)), FDecrypt(std::move(decrypt)) {}
    int ReadInput(uint8_t* buffer, int count) override {
        const int n = static_cast<int>(std::min<uint64_t>(FLeft, static_cast<uint64_t>(count)));
        if (n == 0) return 0;
        if (FArchive.Read(buffer, n) != n) throw EFatalUnzipError(SPrematureEnd);
        FLeft -= static_cast<uint64_t>(n);
        if (FDecrypt) FDecrypt(buffer, n);
        FOnRefill();
        return n;
    }

private:
    TStream& FArchive;
    uint64_t FLeft;
    std::function<void()> FOnRefill;
    TDecryptor FDecrypt;
};

// Writes decoded bytes to the target, keeping the CRC and refusing to grow past the stored size.
class TTargetSink : public TDecoderSink {
public:
    TTargetSink(TStream& target, uint64_t expected, std::function<void(uint64_t, int)> onWritten)
        : FTarget(target), FExpected(expected), FOnWritten(std::move(onWritten)) {}
    void WriteOutput(const uint8_t* buffer, int count) override {
        if (FWritten + static_cast<uint64_t>(count) > FExpected) throw EBiggerThanUncompressed(SBiggerThanUncompressed);
        if (FTarget.Write(buffer, count) != count) throw ECantWriteUCF(SCantWriteUCF);
        FCrc = UpdateCrc32(FCrc, buffer, static_cast<size_t>(count));
        FWritten += static_cast<uint64_t>(count);
        FOnWritten(FWritten, count);
    }
    uint32_t Crc() const { return ~FCrc; }
    uint64_t Written() const { return FWritten; }

private:
    TStream& FTarget;
    uint64_t FExpected;
    std::function<void(uint64_t, int)> FOnWritten;
    uint32_t FCrc = CrcStart;
    uint64_t FWritten = 0;
};

// The file an entry is decoded into, opened once. A target that does not exist
// is created under its own name, exclusively, so never through a link; one that
// exists is decoded into a new file beside it that takes its name only through
// Publish. Either way a failed entry leaves nothing behind and an old file as
// it was. Permissions are the bits given less the umask.
class TTargetFile {
public:
    TTargetFile(const std::string& target, bool exists, mode_t permissions)
        : FTarget(target), FPermissions(permissions) {
        if (exists) {
            FName = ExtractFilePath(target) + ".unzipXXXXXX";
            FHandle = ::mkstemp(FName.data());
        } else {
            FName = target;
            FHandle = ::open(target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, permissions);
        }
        if (FHandle < 0) {
            FName.clear();
            throw ECantWriteUCF(SCantWriteUCF);
        }
        FFile = std::make_unique<THandleStream>(FHandle);
    }
    ~TTargetFile() {
        if (FHandle >= 0) ::close(FHandle);
        if (!FName.empty()) ::unlink(FName.c_str());
    }
    TTargetFile(const TTargetFile&) = delete;
    TTargetFile& operator=(const TTargetFile&) = delete;
    TStream* File() { return FFile.get(); }
    // Gives the written file its time (and its data to the disk when asked), and a new file
    // beside the target its mode and then the target's name.
    void Publish(TDateTime time, bool sync) {
        const bool beside = FName != FTarget;
        if ((beside && ::fchmod(FHandle, FPermissions & NewFileMode()) != 0) || (sync && ::fsync(FHandle) != 0))
            throw ECantWriteUCF(SCantWriteUCF);
        ::close(FHandle);
        FHandle = -1;
        FileSetDate(FName, time);
        if (beside && ::rename(FName.c_str(), FTarget.c_str()) != 0) throw ECantWriteUCF(SCantWriteUCF);
        FName.clear();
    }

private:
    std::string FTarget;
    mode_t FPermissions;
    std::string FName; // the file being written; empty once it is the target's
    int FHandle = -1;
    std::unique_ptr<THandleStream> FFile;
};

// Creates the folders of path below base one at a time, refusing any that is a symlink.
bool CreateFoldersBelow(const std::string& base, const std::string& relative) {
    std::string path = base;
    size_t start = 0;
    while (start < relative.size()) {
        size_t slash = relative.find('/', start);
        if (slash == std::string::npos) slash = relative.size();
        path += '/';
        path += relative.substr(start, slash - start);
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return false; // a symlink or a file is in the way
        } else if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
        start = slash + 1;
    }
    return true;
}

} // namespace

TZipReader::TBusyGuard::TBusyGuard(TZipReader& Reader) : FReader(Reader) {
    if (FReader.FBusy) throw EZipBusy(SZipBusy);
    FReader.FBusy = true;
}

TZipReader::TBusyGuard::~TBusyGuard() {
    FReader.FBusy = false;
}

// Reads across the disks of a set: a short read on a disk that is not the last goes on at the start of the next.
class TZipReader::TSetInput : public TStream {
public:
    explicit TSetInput(TZipReader& reader) : FReader(reader) {}
    Integer Read(void* buffer, Integer count) override {
        auto* out = static_cast<uint8_t*>(buffer);
        Integer total = 0;
        for (;;) {
            total += FReader.FArchive->Read(out + total, count - total);
            if (total == count || !FReader.IsMultiDisk() || FReader.FCurrentDisk < 0 ||
                FReader.FCurrentDisk >= FReader.FEndCentral->ThisDisk)
                return total;
            FReader.OpenDisk(FReader.FCurrentDisk + 1);
            FReader.FArchive->Seek(0, soBeginning);
        }
    }
    Integer Write(const void*, Integer) override { return 0; }
    Int64 Seek(Int64 offset, TSeekOrigin origin) override { return FReader.FArchive->Seek(offset, origin); }
    Int64 Size() override { return FReader.FArchive->Size(); }

private:
    TZipReader& FReader;
};

TZipReader::TZipReader(TComponent* AOwner)
    : TComponent(AOwner), FFilesList(std::make_unique<TStringList>()), FZipContents(std::make_unique<TSortedZip>()),
      FEndCentral(std::make_unique<TEndCentral>()), FScratch(std::make_unique<TZipHeaderInfo>()),
      FInput(std::make_unique<TSetInput>(*this)) {
    // The built-in disk prompt. Removable disks do not exist here, so a set is always
    // read as files: block files (the archive's name with the disk number as its
    // extension), or else the parts zip -s makes (".z01", ".z02", ... and the last one
    // under the archive's own name).
    OnGetNextDisk = [this](TObject*, int NextDisk, std::string& FName) {
        if (GetMultiMode() == mmSpan) {
            if (ZipMessageBox(Format("Please insert disk %d of the multi-disk set.", NextDisk), "", zmbOKCancel) !=
                zmrOK)
                FName.clear();
            return;
        }
        const std::string block = BlockFileName(FName, NextDisk);
        if (FileExists(block)) {
            FName = block;
            return;
        }
        if (NextDisk <= FEndCentral->ThisDisk) FName = ChangeFileExt(FName, Format(".z%2.2d", NextDisk));
    };
}

TZipReader::~TZipReader() {
    FArchive.reset();
}

void TZipReader::SetZipName(const std::string& Value) {
    if (ComponentState().Contains(csDesigning)) {
        FZipName = Value;
        return;
    }
    // Linux names are case-sensitive: only the very same path keeps the directory.
    if (Value == FZipName) return;
    if (FBusy) throw EZipBusy(SZipBusy);
    std::string name = Value;
    if (!name.empty() && name.back() == '?') {
        const std::string folder = ExtractFileDir(name.substr(0, name.size() - 1));
        name.clear();
        if (!ZipChooseFile(
                "Open a Zip File",
                "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*",
                DirectoryExists(folder) ? folder : GetCurrentDir(), name))
            throw EUserCanceled(SUserCanceledZipName);
    }
    FZipName = name;
    DropDirectory();
    FArchive.reset();
}

void TZipReader::SetDestDir(const std::string& Value) {
    std::string folder = Value;
    if (folder == "?" && !ComponentState().Contains(csDesigning)) {
        folder.clear();
        if (!ZipChooseFolder(DirectoryExists(FDestDir) ? FDestDir : GetCurrentDir(), folder))
            throw EUserCanceled(SUserCanceledDestDir);
    }
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    FDestDir = folder;
}

void TZipReader::SetRootDir(const std::string& Value) {
    FRootDir = Value;
    if (!FRootDir.empty() && FRootDir.back() != '/') FRootDir += '/';
}

void TZipReader::SetSortMode(TZipSortMode Value) {
    if (Value == FSortMode) return;
    FSortMode = Value;
    RebuildSortedView();
}

void TZipReader::Loaded() {
    TComponent::Loaded();
}

void TZipReader::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TZipReader*>(Source);
    if (!other) {
        TComponent::Assign(Source);
        return;
    }
    SetZipName(other->FZipName);
    FDestDir = other->FDestDir;
    FRootDir = other->FRootDir;
    SetSortMode(other->FSortMode);
    FRecreateDirs = other->FRecreateDirs;
    FOverwriteMode = other->FOverwriteMode;
    FFilesList->Assign(other->FFilesList.get());
    FDoAll = other->FDoAll;
    FIncompleteZipMode = other->FIncompleteZipMode;
    FKeepZipOpen = other->FKeepZipOpen;
    FDoProcessMessages = other->FDoProcessMessages;
    FRetainAttributes = other->FRetainAttributes;
    FReplaceReadOnly = other->FReplaceReadOnly;
    OnStartUnZipInfo = other->OnStartUnZipInfo;
    OnStartUnZip = other->OnStartUnZip;
    OnEndUnZip = other->OnEndUnZip;
    OnPromptForOverwrite = other->OnPromptForOverwrite;
    OnSkippingFile = other->OnSkippingFile;
    OnBadPassword = other->OnBadPassword;
    OnBadCRC = other->OnBadCRC;
    OnInCompleteZip = other->OnInCompleteZip;
    OnGetNextDisk = other->OnGetNextDisk;
    OnUnZipComplete = other->OnUnZipComplete;
    OnDecrypt = other->OnDecrypt;
    OnFilePercentDone = other->OnFilePercentDone;
    OnTotalPercentDone = other->OnTotalPercentDone;
}

void TZipReader::DoStartUnZipInfo(int NumFiles, int64_t TotalBytes, bool& StopNow) {
    Fire(OnStartUnZipInfo, this, NumFiles, TotalBytes, StopNow);
}
void TZipReader::DoStartUnZip(int FileIndex, std::string& FName, bool& Skip) {
    Fire(OnStartUnZip, this, FileIndex, FName, Skip);
}
void TZipReader::DoEndUnZip(int FileIndex, const std::string& FName) {
    Fire(OnEndUnZip, this, FileIndex, FName);
}
void TZipReader::DoPromptForOverwrite(bool& OverWriteIt, int FileIndex, std::string& FName) {
    Fire(OnPromptForOverwrite, this, OverWriteIt, FileIndex, FName);
}
void TZipReader::DoSkippingFile(TZipSkipReason Reason, const std::string& FName, int FileIndex, bool& Retry) {
    Fire(OnSkippingFile, this, Reason, FName, FileIndex, Retry);
}
void TZipReader::DoBadPassword(int FileIndex, std::string& NewPassword) {
    Fire(OnBadPassword, this, FileIndex, NewPassword);
}
void TZipReader::DoBadCRC(uint32_t CalcCRC, uint32_t StoredCRC, int FileIndex) {
    Fire(OnBadCRC, this, CalcCRC, StoredCRC, FileIndex);
}
void TZipReader::DoInCompleteZip(TIncompleteZipMode& IncompleteMode) {
    Fire(OnInCompleteZip, this, IncompleteMode);
}
void TZipReader::DoUnZipComplete(int FileCount) {
    Fire(OnUnZipComplete, this, FileCount);
}
void TZipReader::DoFilePercentDone(int Percent) {
    Fire(OnFilePercentDone, this, Percent);
}
void TZipReader::DoTotalPercentDone(int Percent) {
    Fire(OnTotalPercentDone, this, Percent);
}

bool TZipReader::AskNewPassword(int Index) {
    if (!OnBadPassword) return false;
    std::string password = FPassword;
    DoBadPassword(Index, password);
    if (password == FPassword) return false;
    FPassword = password;
    FPasswordForm = 0;
    return true;
}

std::vector<std::string> TZipReader::PasswordKeys() const {
    return OnDecrypt ? std::vector<std::string>{FPassword} : PasswordForms(FPassword);
}

void TZipReader::Decrypt(TZipCrypt& Crypt, uint8_t* Buffer, int Length) {
    if (OnDecrypt)
        OnDecrypt(this, Buffer, Length, FPassword);
    else
        Crypt.Decrypt(Buffer, Length);
}

void TZipReader::ProcessMessages() const {
    if (FDoProcessMessages) ZipProcessMessages();
}

void TZipReader::ReportTotalProgress(int64_t Bytes) {
    FTotalDone += Bytes;
    DoTotalPercentDone(Percentage(FTotalDone, FTotalBytes));
}

TZipReader::TArchiveStamp TZipReader::StampOf(const std::string& FileName) {
    TArchiveStamp stamp;
    struct stat st;
    if (::stat(FileName.c_str(), &st) != 0) return stamp;
    stamp.Seconds = st.st_mtim.tv_sec;
    stamp.Nanoseconds = st.st_mtim.tv_nsec;
    stamp.Size = st.st_size;
    stamp.Device = st.st_dev;
    stamp.Inode = st.st_ino;
    return stamp;
}

void TZipReader::OpenArchive() {
    if (FArchive) return;
    FArchive = std::make_unique<TLFNFileStream>(FZipName, ArchiveBufferSize, false, fmOpenRead | fmShareDenyWrite);
    // Which disk of a set ZipName is, only its end record tells; disks are opened by number.
    FCurrentDisk = IsMultiDisk() ? -1 : 0;
}

void TZipReader::CloseArchive() {
    FArchive.reset();
    FCurrentDisk = IsMultiDisk() ? -1 : 0;
}

void TZipReader::OpenDisk(int Disk) {
    if (FArchive && FCurrentDisk == Disk) return;
    FArchive.reset();
    FCurrentDisk = -1;
    std::string name = FZipName;
    Fire(OnGetNextDisk, this, Disk + 1, name);
    // The built-in handler only works out a name, so asking again would never find a missing file.
    if (name.empty() || !FileExists(name)) throw EUserCanceled(SUserCanceledNewDisk);
    FArchive = std::make_unique<TLFNFileStream>(name, ArchiveBufferSize, false, fmOpenRead | fmShareDenyWrite);
    FCurrentDisk = Disk;
}

TStream& TZipReader::Input() const {
    return *FInput;
}

void TZipReader::SeekDisk(int Disk, int64_t Offset) {
    if (IsMultiDisk()) OpenDisk(Disk);
    else OpenArchive();
    FArchive->Seek(Offset, soBeginning);
}

void TZipReader::DropDirectory() {
    FEntryNames.clear();
    FSelection.clear();
    FZipContents = std::make_unique<TSortedZip>();
    FSortedView.reset();
    FEndCentral->Clear();
    FStamp = TArchiveStamp();
    FHaveDirectory = false;
}

void TZipReader::SetDirectory(std::unique_ptr<TSortedZip> Contents) {
    FEntryNames.clear();
    FSelection.clear();
    FSortedView.reset();
    FZipContents = std::move(Contents);
    FHaveDirectory = true;
    RebuildSortedView();
}

void TZipReader::TakeWrittenDirectory(std::unique_ptr<TSortedZip> Contents, const TEndCentral& End) {
    SetDirectory(std::move(Contents));
    *FEndCentral = End;
    FStamp = StampOf(FZipName);
}

void TZipReader::RebuildSortedView() {
    FSortedView.reset();
    if (FSortMode == ByNone) return;
    FSortedView = std::make_unique<TSortedZip>(FSortMode, false);
    for (int i = 0; i < FZipContents->Count(); ++i)
        FSortedView->Add(FZipContents->Items(i));
}

void TZipReader::LoadDirectory() {
    if (FHaveDirectory && StampOf(FZipName) == FStamp) return;
    // A file replaced since it was opened (KeepZipOpen) must not be read through the old handle.
    CloseArchive();
    OpenArchive();
    try {
        ReadDirectory();
    } catch (...) {
        DropDirectory();
        throw;
    }
}

void TZipReader::ReadDirectory() {
    DropDirectory();
    FRebuilt = false;
    FMultiMode = mmNone;
    FCurrentDisk = 0;
    const TArchiveStamp stamp = StampOf(FZipName);
    auto contents = std::make_unique<TSortedZip>();
    if (!FindEndRecord(*FEndCentral, *FArchive)) {
        if (ReadConfigurationFile(*contents)) {
            SetDirectory(std::move(contents));
            FStamp = stamp;
            return;
        }
        TIncompleteZipMode mode = FIncompleteZipMode;
        DoInCompleteZip(mode);
        FIncompleteZipMode = mode;
        if (mode == izAssumeNotAZip) throw ENotAZipFile(SNotValidZip);
        if (mode == izAssumeMulti) throw EIncompleteZip(SIncompleteZip);
        if (!WalkLocalHeaders()) throw EBadZipFile(SNotValidZip);
        FStamp = stamp;
        return;
    }
    if (IsMultiDisk()) {
        // The open file is the last disk.
        FMultiMode = mmBlocks;
        FCurrentDisk = FEndCentral->ThisDisk;
    }
    if (FEndCentral->TotalEntries > 0) {
        SeekDisk(FEndCentral->CentralDisk, FEndCentral->CentralOffset);
        ReadCentralDirectory(Input(), *contents);
        if (!FHaveDirectory && FRebuilt) {
            FStamp = stamp;
            return; // the local-header walk built it
        }
    }
    SetDirectory(std::move(contents));
    FStamp = stamp;
}

bool TZipReader::ReadConfigurationFile(TSortedZip& Contents) {
    const std::string name = ChangeFileExt(FZipName, ConfigurationFileExt);
    if (!FileExists(name)) return false;
    TLFNFileStream file(name, ArchiveBufferSize, false, fmOpenRead | fmShareDenyWrite);
    if (!FindEndRecord(*FEndCentral, file)) return false;
    FMultiMode = FEndCentral->ThisDisk > 0 ? mmBlocks : mmNone;
    FCurrentDisk = -1; // which disk is open is not known
    file.Seek(0, soBeginning);
    ReadCentralDirectory(file, Contents);
    return true;
}

void TZipReader::ReadCentralDirectory(TStream& Stream, TSortedZip& Contents) {
    TZipHeaderInfo* previous = nullptr;
    for (int i = 0; i < FEndCentral->TotalEntries; ++i) {
        auto entry = std::make_unique<TZipHeaderInfo>();
        bool ok = ReadCentralHeader(*entry, Stream);
        if (!ok && previous && previous->ExtraFieldLength) {
            // The previous header declared an extra field it does not have.
            Stream.Seek(-static_cast<Int64>(previous->ExtraFieldLength), soCurrent);
            previous->ExtraFieldLength = 0;
            previous->ExtraField.clear();
            ok = ReadCentralHeader(*entry, Stream);
        }
        if (!ok) {
            // Rebuilding from the local headers only works within one file.
            if (IsMultiDisk() || !WalkLocalHeaders()) throw EBadZipFile(SNotValidZip);
            return;
        }
        if (HasZip64Extra(entry->ExtraField)) throw EZipUnsupported("Zip64 archives are not supported");
        previous = entry.get();
        Contents.Add(entry.get()); // the list owns it only once it is in
        entry.release();
    }
    // More headers than the count says: a 16-bit count that wrapped past 65535 entries.
    uint8_t next[4];
    if (Stream.Read(next, 4) == 4 && Get32(next) == CentralSignature)
        throw EZipUnsupported("Zip64 archives are not supported");
}

bool TZipReader::WalkLocalHeaders() {
    if (FRebuilt) return false;
    FRebuilt = true;
    DropDirectory();
    TStream& archive = *FArchive;
    const Int64 start = SameText(ExtractFileExt(FZipName), ".exe") ? SelfExtractorStart : 0;
    const Int64 size = archive.Size();
    if (start >= size) return false;
    archive.Seek(start, soBeginning);
    // Find the first local signature whose version-needed field is plausible.
    std::vector<uint8_t> block(static_cast<size_t>(std::min<Int64>(size - start, 65536)));
    Int64 found = -1;
    for (Int64 base = start; found < 0 && base < size;) {
        archive.Seek(base, soBeginning);
        const int n = archive.Read(block.data(), static_cast<int>(block.size()));
        if (n < 4) break;
        for (int i = 0; i + 4 <= n; ++i) {
            if (block[i] != 0x50 || block[i + 1] != 0x4B || block[i + 2] != 0x03 || block[i + 3] != 0x04) continue;
            if (i + 6 > n) break; // let the next block see it whole
            if (block[i + 5] >= 10) continue;
            found = base + i;
            break;
        }
        base += n > 6 ? n - 6 : n;
        ProcessMessages();
    }
    if (found < 0) return false;
    auto contents = std::make_unique<TSortedZip>();
    archive.Seek(found, soBeginning);
    for (;;) {
        auto entry = std::make_unique<TZipHeaderInfo>();
        if (!ReadLocalHeader(*entry, archive)) break;
        entry->ExtraFieldLength = 0;
        Int64 next = archive.Position() + entry->LocalExtraFieldLength + entry->CompressedSize;
        if (entry->HasDataDescriptor()) next += 16;
        if (contents->Count() >= 0xFFFF) break;
        contents->Add(entry.get()); // the list owns it only once it is in
        entry.release();
        if (next > size) break;
        archive.Seek(next, soBeginning);
    }
    if (contents->Count() == 0) return false;
    FEndCentral->Clear();
    FEndCentral->CentralOffset = static_cast<uint32_t>(archive.Position());
    FEndCentral->TotalEntries = FEndCentral->EntriesThisDisk = static_cast<uint16_t>(contents->Count());
    SetDirectory(std::move(contents));
    return true;
}

void TZipReader::ReadZip() {
    TBusyGuard busy(*this);
    for (;;) {
        const TBusyCursorGuard cursor;
        const TIncompleteZipMode before = FIncompleteZipMode;
        try {
            LoadDirectory();
            if (!FKeepZipOpen) CloseArchive();
            return;
        } catch (const EIncompleteZip&) {
            CloseArchive();
            // Try again only when the handler changed how to read the archive; else nothing would change.
            if (!OnInCompleteZip || FIncompleteZipMode == before) return;
        } catch (...) {
            CloseArchive();
            throw;
        }
    }
}

void TZipReader::CheckIndex(int Index) const {
    if (Index < 0 || Index >= GetCount()) throw EListError(Format("Index %d is out of range", Index));
}

int TZipReader::GetCount() const {
    return FZipContents->Count();
}

TZipHeaderInfo* TZipReader::GetEntry(int Index) const {
    CheckIndex(Index);
    return (FSortedView ? FSortedView : FZipContents)->Entry(Index);
}

std::string TZipReader::GetFilename(int Index) const {
    return GetEntry(Index)->FileName();
}

TDateTime TZipReader::GetDateTime(int Index) const {
    return DosDateTimeToDateTime(GetEntry(Index)->FileDate);
}

std::string TZipReader::GetFileComment(int Index) const {
    return GetEntry(Index)->FileComment;
}

void TZipReader::SetFileComment(int Index, const std::string& Text) {
    TZipHeaderInfo* entry = GetEntry(Index);
    if (Text.size() > MaxCommentLength) throw EZipUnsupported("Entry comments are limited to 65535 bytes");
    entry->SetFileComment(Text);
    FEndCentral->Changed = true;
}

std::string TZipReader::GetZipComment() const {
    return FEndCentral->Comment;
}

void TZipReader::SetZipComment(const std::string& Text) {
    if (Text.size() > MaxCommentLength) throw EZipUnsupported("Archive comments are limited to 65535 bytes");
    FEndCentral->SetComment(Text);
}

std::vector<int> TZipReader::SelectEntries(int64_t& Bytes) {
    // A line equal to an entry's whole name selects that entry and is no pattern, so a
    // name holding "*", "?" or "<" (as GetFilename gives it back) selects just itself.
    // The application unzips entry by entry, so a run that names its entries costs no
    // more than those entries: the names are gathered once per directory, and only
    // DoAll or a pattern walks the whole directory.
    if (FEntryNames.empty())
        for (int i = 0; i < FZipContents->Count(); ++i)
            FEntryNames[FZipContents->Entry(i)->FullName()].push_back(i);
    for (const int index : FSelection)
        FZipContents->Entry(index)->Selected = false;
    FSelection.clear();
    std::vector<int> chosen;
    std::vector<std::string> patterns;
    for (int i = 0; i < FFilesList->Count(); ++i) {
        const std::string line = ToForwardSlashes(FFilesList->Strings(i));
        const auto named = FEntryNames.find(line);
        if (named == FEntryNames.end())
            patterns.push_back(UpperCase(line));
        else
            chosen.insert(chosen.end(), named->second.begin(), named->second.end());
    }
    if (FDoAll || !patterns.empty())
        for (int i = 0; i < FZipContents->Count(); ++i) {
            const std::string name = FDoAll ? std::string() : UpperCase(FZipContents->Entry(i)->FullName());
            if (FDoAll || std::any_of(patterns.begin(), patterns.end(),
                                      [&](const std::string& p) { return WildcardMatch(p, name); }))
                chosen.push_back(i);
        }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    Bytes = 0;
    for (const int index : chosen) {
        TZipHeaderInfo& entry = *FZipContents->Entry(index);
        if (entry.FileName().empty() && !FRecreateDirs) continue;
        entry.Selected = true;
        FSelection.push_back(index);
        Bytes += entry.UncompressedSize;
    }
    return FSelection;
}

int TZipReader::UnZip() {
    TBusyGuard busy(*this);
    if (FDestDir == "?") return 0;
    const TBusyCursorGuard cursor;
    const bool keepOpen = FKeepZipOpen;
    const TZipSortMode sortMode = FSortMode;
    int extracted = 0;
    struct TRestore {
        TZipReader& R;
        bool KeepOpen;
        TZipSortMode Mode;
        ~TRestore() {
            R.FKeepZipOpen = KeepOpen;
            R.FFilesList->Clear();
            if (R.FSortMode != Mode) {
                R.FSortMode = Mode;
                R.RebuildSortedView();
            }
            if (!KeepOpen) R.CloseArchive();
        }
    } restore{*this, keepOpen, sortMode};
    try {
        LoadDirectory();
    } catch (...) {
        CloseArchive();
        throw;
    }
    OpenArchive();
    FKeepZipOpen = true;
    if (!FDestDir.empty() && !DirectoryExists(FDestDir)) ForceDirectories(FDestDir);
    if (FSortMode != ByNone) {
        FSortMode = ByNone;
        RebuildSortedView();
    }
    const std::vector<int> selection = SelectEntries(FTotalBytes);
    FTotalDone = 0;
    bool stop = false;
    DoStartUnZipInfo(static_cast<int>(selection.size()), FTotalBytes, stop);
    for (size_t n = 0; !stop && n < selection.size(); ++n) {
        const int index = selection[n];
        TEntryOutcome outcome;
        FPasswordForm = 0;
        do {
            outcome = ExtractEntry(index, *FZipContents->Entry(index));
        } while (outcome == eoRetry);
        if (outcome == eoExtracted) ++extracted;
    }
    FFilesList->Clear();
    DoUnZipComplete(extracted);
    return extracted;
}

// The entry's folder as a relative path below DestDir: drive prefixes, leading
// separators and "." or empty components (as some tools write "./x" and "a//b")
// go, and a ".." component refuses the entry.
std::string TZipReader::SafeTargetFolder(const TZipHeaderInfo& Entry, bool& Refused) const {
    Refused = false;
    std::string folder = Entry.Directory();
    if (!FRootDir.empty() && folder.compare(0, FRootDir.size(), FRootDir) == 0) folder.erase(0, FRootDir.size());
    if (folder.size() >= 2 && folder[1] == ':' && std::isalpha(static_cast<unsigned char>(folder[0])))
        folder.erase(0, 2);
    while (!folder.empty() && folder.front() == '/')
        folder.erase(0, 1);
    std::string safe;
    size_t start = 0;
    while (start < folder.size()) {
        size_t slash = folder.find('/', start);
        if (slash == std::string::npos) slash = folder.size();
        const std::string part = folder.substr(start, slash - start);
        start = slash + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            Refused = true;
            return {};
        }
        if (!safe.empty()) safe += '/';
        safe += part;
    }
    return safe;
}

TZipReader::TEntryOutcome TZipReader::ExtractEntry(int Index, TZipHeaderInfo& Entry) {
    auto passBy = [&](TZipSkipReason reason, const std::string& name) {
        bool retry = false;
        DoSkippingFile(reason, name, Index, retry);
        if (retry) return eoRetry;
        FTotalBytes -= Entry.UncompressedSize;
        return eoPassedBy;
    };
    // An entry with no name at all names no file and no folder.
    if (Entry.FullName().empty()) return eoFailed;
    TStream& archive = Input();
    SeekDisk(Entry.DiskNumberStart, Entry.RelativeOffset);
    // A damaged local header fails its own entry only; the others may be whole.
    if (!ReadLocalHeader(*FScratch, archive)) return eoFailed;
    const int64_t dataStart = archive.Position() + FScratch->LocalExtraFieldLength;

    // Refused names (leaving DestDir) are passed by without a file.
    bool refused = false;
    const std::string relative = FRecreateDirs ? SafeTargetFolder(Entry, refused) : std::string();
    const std::string& fileName = Entry.FileName();
    if (refused || fileName == "." || fileName == "..") return eoFailed;
    const std::string base = FDestDir.empty() ? GetCurrentDir() : FDestDir;
    const std::string baseNoSlash = base.size() > 1 && base.back() == '/' ? base.substr(0, base.size() - 1) : base;
    const std::string folder = relative.empty() ? baseNoSlash + "/" : baseNoSlash + "/" + relative + "/";

    if (fileName.empty()) {
        if (!FRecreateDirs) return eoPassedBy;
        if (!relative.empty() && !CreateFoldersBelow(baseNoSlash, relative)) return eoFailed;
        return eoExtracted;
    }

    std::string target = folder + fileName;
    bool skip = false;
    DoStartUnZip(Index, target, skip);
    if (skip) return eoPassedBy;
    const bool handlerMoved = target != folder + fileName;
    if (!handlerMoved && !relative.empty() && !CreateFoldersBelow(baseNoSlash, relative)) return eoFailed;
    if (handlerMoved) ForceDirectories(ExtractFilePath(target));
    // One look at the target serves the symlink, overwrite and read-only checks; an
    // existing symlink is never written through.
    struct stat existing;
    bool exists = ::lstat(target.c_str(), &existing) == 0;
    if (exists && S_ISLNK(existing.st_mode)) return eoFailed;

    // The password is checked before the target is touched; a wrong one passes the entry by.
    std::unique_ptr<TZipCrypt> crypt;
    int64_t dataSize = Entry.CompressedSize;
    if (Entry.Encrypted() && !Entry.OtherEncryption()) {
        uint8_t header[CryptHeaderSize];
        archive.Seek(dataStart, soBeginning);
        if (dataSize < CryptHeaderSize || archive.Read(header, CryptHeaderSize) != CryptHeaderSize)
            throw EFatalUnzipError(SPrematureEnd);
        dataSize -= CryptHeaderSize;
        const uint8_t check = CryptCheckByte(Entry.Flag, Entry.FileDate, Entry.CRC32);
        while (!crypt) {
            const std::vector<std::string> keys = PasswordKeys();
            for (; FPasswordForm < keys.size(); ++FPasswordForm) {
                uint8_t plain[CryptHeaderSize];
                std::memcpy(plain, header, CryptHeaderSize);
                auto candidate = std::make_unique<TZipCrypt>(keys[FPasswordForm]);
                Decrypt(*candidate, plain, CryptHeaderSize);
                if (plain[CryptHeaderSize - 1] == check) {
                    crypt = std::move(candidate);
                    break;
                }
            }
            if (!crypt && !AskNewPassword(Index)) return passBy(srBadPassword, target);
        }
    }

    if (exists && FOverwriteMode != Always) {
        bool overwrite = false;
        switch (FOverwriteMode) {
        case Prompt:
            if (OnPromptForOverwrite) {
                DoPromptForOverwrite(overwrite, Index, target);
            } else {
                overwrite =
                    ZipMessageBox("Replace existing file " + fileName + "?", "File Exists Alert", zmbYesNo) == zmrYes;
            }
            break;
        case Never:
            break;
        case ifNewer:
        case ifOlder: {
            TDateTime fileDate = 0;
            FileAge(target, fileDate);
            const TDateTime entryDate = DosDateTimeToDateTime(Entry.FileDate);
            overwrite = FOverwriteMode == ifNewer ? entryDate > fileDate : entryDate < fileDate;
            break;
        }
        case Always:
            overwrite = true;
            break;
        }
        if (!overwrite) return passBy(srNoOverwrite, target);
        // The prompt may have named another file.
        exists = ::lstat(target.c_str(), &existing) == 0;
        if (exists && S_ISLNK(existing.st_mode)) return eoFailed;
    }
    if (exists && IsReadOnlyMode(existing.st_mode)) {
        if (!FReplaceReadOnly) return passBy(srReadOnly, target);
        ::chmod(target.c_str(), existing.st_mode | S_IWUSR);
    }

    // The decoded file becomes the target only when everything checks out.
    const bool readOnly = FRetainAttributes && (Entry.ExternalAttributes & 0x01);
    TTargetFile file(target, exists, readOnly ? 0444 : 0666);
    bool decoded = false;
    uint32_t crc = 0;
    uint64_t written = 0;
    {
        TS_BufferStream out(file.File(), ArchiveBufferSize);
        if (!crypt) archive.Seek(dataStart, soBeginning); // else the data follows the header just read
        TArchiveSource::TDecryptor decrypt;
        if (crypt) decrypt = [this, &crypt](uint8_t* buffer, int n) { Decrypt(*crypt, buffer, n); };
        TArchiveSource source(archive, static_cast<uint64_t>(dataSize), [this] { ProcessMessages(); }, decrypt);
        TTargetSink sink(out, Entry.UncompressedSize, [this, &Entry](uint64_t done, int n) {
            DoFilePercentDone(Percentage(static_cast<int64_t>(done), Entry.UncompressedSize));
            ReportTotalProgress(n);
            ProcessMessages();
        });
        auto decoder = std::make_unique<TEntryDecoder>(source, sink);
        try {
            switch (Entry.OtherEncryption() ? MethodAes : Entry.CompressionMethod) {
            case MethodStored:
                decoder->CopyStored();
                decoded = true;
                break;
            case MethodDeflated:
                decoded = decoder->Inflate() == InflateOk;
                break;
            case MethodShrunk:
                decoded = decoder->Unshrink(Entry.UncompressedSize) == InflateOk;
                break;
            case MethodReducedFirst:
            case MethodReducedFirst + 1:
            case MethodReducedFirst + 2:
            case MethodReducedLast:
                decoded = decoder->Unreduce(Entry.CompressionMethod - MethodShrunk, Entry.UncompressedSize) == InflateOk;
                break;
            case MethodImploded:
                decoded = decoder->Explode(Entry.Flag, Entry.UncompressedSize) == InflateOk;
                break;
            default:
                ZipMessageBox("Unknown Compression Method", "Zip Error", zmbOK);
                break;
            }
        } catch (const EBiggerThanUncompressed&) {
            decoded = false;
        }
        crc = sink.Crc();
        written = sink.Written();
        if (!out.FlushBuffer()) throw ECantWriteUCF(SCantWriteUCF);
    }
    if (!decoded || written != Entry.UncompressedSize || crc != Entry.CRC32) {
        // An encrypted entry failing here most likely met a wrong key that passed the check byte:
        // the password's other form, if any, has its turn, and then a new password.
        if (crypt)
            return ++FPasswordForm < PasswordKeys().size() || AskNewPassword(Index) ? eoRetry
                                                                                     : passBy(srBadPassword, target);
        DoBadCRC(crc, Entry.CRC32, Index);
        return eoFailed;
    }
    file.Publish(DosDateTimeToDateTime(Entry.FileDate), FFlushFilesOnClose);
    DoEndUnZip(Index, target);
    return eoExtracted;
}

} // namespace zip
