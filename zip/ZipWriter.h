// TZipWriter: builds an archive from FilesList (wildcards, recursion,
// exclusions), merging with an existing archive by ZipAction. The new archive
// is written to a temporary file beside the old one and renamed over it only
// when complete, so a failed run leaves the old archive and the sources as they
// were. A set of block files is written straight and removed again on failure. Classic format only: what would need Zip64 is refused before writing.
#pragma once

#include <algorithm>
#include <memory>
#include <string>

#include "zip/ZipReader.h"

namespace zip {

class TDeflater;

enum TZipAction { zaUpdate, zaReplace, zaFreshen };
// What OnUpdate reports for an existing entry.
enum TZipUpdateAction { uaReplacing = 0, uaKeeping = 1 };

// Settings for writing a set. Only block files (mmBlocks) can be written here:
// there are no removable disks, so mmSpan is refused before anything is written,
// and volume labels do not exist, so CheckDiskLabels and WriteDiskLabels have no effect.
class TMultiZipInfo : public TPersistent {
public:
    int BlockSize = 1457600;
    int FirstBlockSize = 1457600;
    int SaveOnFirstDisk = 0;
    bool SaveZipInfoOnFirstDisk = false;
    TMultiMode MultiMode = mmNone;
    bool CheckDiskLabels = true;
    bool WriteDiskLabels = true;
    void Assign(TPersistent* Source) override;
};

using TStartZipInfoEvent = std::function<void(TObject* Sender, int NumFiles, int64_t TotalBytes,
                                              TEndCentral& EndCentralRecord, bool& StopNow)>;
using TStartZipEvent =
    std::function<void(TObject* Sender, const std::string& FName, TZipHeaderInfo& ZipHeader, bool& Skip)>;
using TEndZipEvent = std::function<void(TObject* Sender, const std::string& FName, int64_t UncompressedSize,
                                        int64_t CompressedSize, int64_t CurrentZipSize)>;
using TFileSkipEvent = std::function<void(TObject* Sender, const std::string& FName, bool& Skip)>;
using TFileNameEvent = std::function<void(TObject* Sender, const std::string& FName)>;
using TUpdateEvent = std::function<void(TObject* Sender, TZipUpdateAction UDAction, int FileIndex)>;
using TDiskEvent = std::function<void(TObject* Sender, int DiskNum)>;

class TZipWriter : public TZipReader {
public:
    explicit TZipWriter(TComponent* AOwner);
    ~TZipWriter() override;

    int PackLevel() const { return FPackLevel; }
    void SetPackLevel(int Value) { FPackLevel = std::clamp(Value, 0, 9); }
    bool Recurse() const { return FRecurse; }
    void SetRecurse(bool Value) { FRecurse = Value; }
    bool Dispose() const { return FDispose; }
    void SetDispose(bool Value) { FDispose = Value; }
    bool StorePaths() const { return FStorePaths; }
    void SetStorePaths(bool Value);
    bool RelativePaths() const { return FRelativePaths; }
    void SetRelativePaths(bool Value);
    bool StoreVolumes() const { return FStoreVolumes; }
    void SetStoreVolumes(bool Value);
    TZipAction ZipAction() const { return FZipAction; }
    void SetZipAction(TZipAction Value) { FZipAction = Value; }
    TMultiZipInfo* MultiZipInfo() const { return FMultiZipInfo.get(); }
    void SetMultiZipInfo(TMultiZipInfo* Value) { FMultiZipInfo->Assign(Value); }
    // Linux has no short names: paths are stored as they are.
    bool Store83Names() const { return FStore83Names; }
    void SetStore83Names(bool Value) { FStore83Names = Value; }
    // The temporary archive always lies beside the archive, so that it can be renamed over it.
    const std::string& TempPath() const { return FTempPath; }
    void SetTempPath(const std::string& Value) { FTempPath = Value; }
    // Every regular file carries the archive attribute here, so these two change nothing that is zipped.
    bool SkipIfArchiveBitNotSet() const { return FSkipIfArchiveBitNotSet; }
    void SetSkipIfArchiveBitNotSet(bool Value) { FSkipIfArchiveBitNotSet = Value; }
    bool ResetArchiveBitOnZip() const { return FResetArchiveBitOnZip; }
    void SetResetArchiveBitOnZip(bool Value) { FResetArchiveBitOnZip = Value; }
    TStrings* ExcludeList() const { return FExcludeList.get(); }
    void SetExcludeList(TStrings* Value) { FExcludeList->Assign(Value); }
    TStrings* NoCompressList() const { return FNoCompressList.get(); }
    void SetNoCompressList(TStrings* Value) { FNoCompressList->Assign(Value); }
    bool AddDirEntriesOnRecurse() const { return FAddDirEntriesOnRecurse; }
    void SetAddDirEntriesOnRecurse(bool Value) { FAddDirEntriesOnRecurse = Value; }

    int GetMultiMode() const override { return FMultiZipInfo->MultiMode; }
    void SetMultiMode(int Value) override;
    bool GetCheckDiskLabels() const override { return FMultiZipInfo->CheckDiskLabels; }
    void SetCheckDiskLabels(bool Value) override;

    TStartZipInfoEvent OnStartZipInfo;
    TStartZipEvent OnStartZip;
    TEndZipEvent OnEndZip;
    TFileSkipEvent OnDisposeFile;
    // Before an old entry leaves the archive: one being replaced whose new file OnStartZip skipped.
    // FName is the entry's name; Skip keeps the old entry.
    TFileSkipEvent OnDeleteEntry;
    TFileNameEvent OnNoSuchFile;
    TFileCountEvent OnZipComplete;
    TUpdateEvent OnUpdate;
    TDiskEvent OnPrepareNextDisk; // before each block file after the first, with its 1-based number
    TFileNameEvent OnRecursingFile;
    TCryptEvent OnEncrypt;

    // Builds the archive; returns the number of files put into it (added or replaced).
    int Zip();
    int ProcessFiles();

    void Assign(TPersistent* Source) override;

protected:
    void Loaded() override;

    virtual void DoStartZipInfo(int NumFiles, int64_t TotalBytes, TEndCentral& EndCentralRecord, bool& StopNow);
    virtual void DoStartZip(const std::string& FName, TZipHeaderInfo& ZipHeader, bool& Skip);
    virtual void DoEndZip(const std::string& FName, int64_t UncompressedSize, int64_t CompressedSize,
                          int64_t CurrentZipSize);
    virtual void DoDisposeFile(const std::string& FName, bool& Skip);
    virtual void DoDeleteEntry(const std::string& FName, bool& Skip);
    virtual void DoNoSuchFile(const std::string& FName);
    virtual void DoZipComplete(int FileCount);
    virtual void DoUpdate(TZipUpdateAction UDAction, int FileIndex);
    virtual void DoRecursingFile(const std::string& FName);

private:
    class TRun;
    friend class TRun;
    bool IsExcluded(const std::string& Path) const;
    bool IsNotToCompress(const std::string& Path) const;
    std::string StoredFolder(const std::string& Path) const;
    std::string StoredName(const std::string& Path) const;

    int FPackLevel = 6;
    bool FRecurse = false;
    bool FDispose = false;
    bool FStorePaths = false;
    bool FRelativePaths = false;
    bool FStoreVolumes = false;
    TZipAction FZipAction = zaUpdate;
    std::unique_ptr<TMultiZipInfo> FMultiZipInfo;
    bool FStore83Names = false;
    std::string FTempPath;
    bool FSkipIfArchiveBitNotSet = false;
    bool FResetArchiveBitOnZip = false;
    std::unique_ptr<TStringList> FExcludeList;
    std::unique_ptr<TStringList> FNoCompressList;
    bool FAddDirEntriesOnRecurse = false;
};

} // namespace zip
