// TZipReader: reads an archive's directory and extracts its entries. It holds
// at most one directory, tied to ZipName and re-read when the archive file
// changes. Extraction never writes outside DestDir, and a file counts as
// extracted only when its data decoded cleanly to the stored size and CRC-32.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StringList.h"
#include "zip/BufferStream.h"
#include "zip/ZipFormat.h"

namespace zip {

class TZipCrypt;

enum TUZOverwriteMode { Prompt, Always, Never, ifNewer, ifOlder };
enum TIncompleteZipMode { izAssumeMulti, izAssumeBad, izAssumeNotAZip };
enum TMultiMode { mmNone, mmSpan, mmBlocks };

// Reasons given to OnSkippingFile.
enum TZipSkipReason { srBadPassword = 0, srNoOverwrite = 1, srReadOnly = 3 };

using TStartUnZipInfoEvent = std::function<void(TObject* Sender, int NumFiles, int64_t TotalBytes, bool& StopNow)>;
using TStartUnZipEvent = std::function<void(TObject* Sender, int FileIndex, std::string& FName, bool& Skip)>;
using TEndUnZipEvent = std::function<void(TObject* Sender, int FileIndex, const std::string& FName)>;
using TPromptForOverwriteEvent =
    std::function<void(TObject* Sender, bool& OverWriteIt, int FileIndex, std::string& FName)>;
using TSkippingFileEvent =
    std::function<void(TObject* Sender, TZipSkipReason Reason, const std::string& FName, int FileIndex, bool& Retry)>;
using TBadPasswordEvent = std::function<void(TObject* Sender, int FileIndex, std::string& NewPassword)>;
using TBadCRCEvent = std::function<void(TObject* Sender, uint32_t CalcCRC, uint32_t StoredCRC, int FileIndex)>;
using TInCompleteZipEvent = std::function<void(TObject* Sender, TIncompleteZipMode& IncompleteMode)>;
using TGetNextDiskEvent = std::function<void(TObject* Sender, int NextDisk, std::string& FName)>;
using TFileCountEvent = std::function<void(TObject* Sender, int FileCount)>;
using TCryptEvent = std::function<void(TObject* Sender, uint8_t* Buffer, int Length, const std::string& Password)>;
using TPercentEvent = std::function<void(TObject* Sender, int Percent)>;

class TZipReader : public TComponent {
public:
    static constexpr int Version = 223;

    explicit TZipReader(TComponent* AOwner);
    ~TZipReader() override;

    int ThisVersion() const { return Version; }
    void SetThisVersion(int) {}
    const std::string& ZipName() const { return FZipName; }
    virtual void SetZipName(const std::string& Value);
    const std::string& DestDir() const { return FDestDir; }
    void SetDestDir(const std::string& Value);
    const std::string& RootDir() const { return FRootDir; }
    void SetRootDir(const std::string& Value);
    TZipSortMode SortMode() const { return FSortMode; }
    void SetSortMode(TZipSortMode Value);
    bool RecreateDirs() const { return FRecreateDirs; }
    void SetRecreateDirs(bool Value) { FRecreateDirs = Value; }
    TUZOverwriteMode OverwriteMode() const { return FOverwriteMode; }
    void SetOverwriteMode(TUZOverwriteMode Value) { FOverwriteMode = Value; }
    TStrings* FilesList() const { return FFilesList.get(); }
    void SetFilesList(TStrings* Value) { FFilesList->Assign(Value); }
    bool DoAll() const { return FDoAll; }
    void SetDoAll(bool Value) { FDoAll = Value; }
    TIncompleteZipMode IncompleteZipMode() const { return FIncompleteZipMode; }
    void SetIncompleteZipMode(TIncompleteZipMode Value) { FIncompleteZipMode = Value; }
    bool KeepZipOpen() const { return FKeepZipOpen; }
    void SetKeepZipOpen(bool Value) { FKeepZipOpen = Value; }
    bool DoProcessMessages() const { return FDoProcessMessages; }
    void SetDoProcessMessages(bool Value) { FDoProcessMessages = Value; }
    bool RetainAttributes() const { return FRetainAttributes; }
    void SetRetainAttributes(bool Value) { FRetainAttributes = Value; }
    bool ReplaceReadOnly() const { return FReplaceReadOnly; }
    void SetReplaceReadOnly(bool Value) { FReplaceReadOnly = Value; }
    bool FlushFilesOnClose() const { return FFlushFilesOnClose; }
    void SetFlushFilesOnClose(bool Value) { FFlushFilesOnClose = Value; }
    // Names are stored in code page 936 either way (it is both code pages of the
    // archives this program exchanges); the setting is kept for the form streams.
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value) { FOEMConvert = Value; }
    // Empty: no encryption. Only entries flagged as encrypted are ever decrypted; the
    // writer encrypts every entry it zips while a password is set.
    const std::string& Password() const { return FPassword; }
    void SetPassword(const std::string& Value) { FPassword = Value; }

    // Set by reading: 0 for a single archive, 2 (blocks) for a set; there are no removable disks here.
    virtual int GetMultiMode() const { return FMultiMode; }
    virtual void SetMultiMode(int Value) { FMultiMode = Value; }
    // Volume labels do not exist on this system: the setting is kept and has no effect.
    virtual bool GetCheckDiskLabels() const { return FCheckDiskLabels; }
    virtual void SetCheckDiskLabels(bool Value) { FCheckDiskLabels = Value; }

    TStartUnZipInfoEvent OnStartUnZipInfo;
    TStartUnZipEvent OnStartUnZip;
    TEndUnZipEvent OnEndUnZip;
    TPromptForOverwriteEvent OnPromptForOverwrite;
    TSkippingFileEvent OnSkippingFile;
    TBadPasswordEvent OnBadPassword;
    TBadCRCEvent OnBadCRC;
    TInCompleteZipEvent OnInCompleteZip;
    TGetNextDiskEvent OnGetNextDisk;
    TFileCountEvent OnUnZipComplete;
    TCryptEvent OnDecrypt;
    TPercentEvent OnFilePercentDone;
    TPercentEvent OnTotalPercentDone;

    // Reads the directory of ZipName. A file without an end record reads as no
    // directory (unless IncompleteZipMode says otherwise); other failures raise.
    void ReadZip();
    int GetCount() const;
    // Per entry, in SortMode order; an index out of range raises EListError "Index %d is out of range".
    std::string GetFilename(int Index) const;
    TDateTime GetDateTime(int Index) const;
    std::string GetFileComment(int Index) const;
    void SetFileComment(int Index, const std::string& Text);
    std::string GetZipComment() const;
    void SetZipComment(const std::string& Text);
    // The entry itself, in SortMode order.
    TZipHeaderInfo* GetEntry(int Index) const;
    const TEndCentral& EndCentral() const { return *FEndCentral; }

    // Extracts the selected entries (FilesList, or all with DoAll) into DestDir;
    // returns the number of files extracted. FilesList is empty afterwards. A line
    // equal to an entry's name selects that entry only; other lines are patterns.
    // An entry that cannot be extracted fails alone and is not counted; an
    // encrypted one whose password does not fit is passed by (OnSkippingFile, reason 0).
    // A method or an encryption the engine does not know (AES among them) shows
    // "Unknown Compression Method" and fails through OnBadCRC, with no password asked.
    int UnZip();

    void Assign(TPersistent* Source) override;

protected:
    void Loaded() override;

    virtual void DoStartUnZipInfo(int NumFiles, int64_t TotalBytes, bool& StopNow);
    virtual void DoStartUnZip(int FileIndex, std::string& FName, bool& Skip);
    virtual void DoEndUnZip(int FileIndex, const std::string& FName);
    virtual void DoPromptForOverwrite(bool& OverWriteIt, int FileIndex, std::string& FName);
    virtual void DoSkippingFile(TZipSkipReason Reason, const std::string& FName, int FileIndex, bool& Retry);
    virtual void DoBadPassword(int FileIndex, std::string& NewPassword);
    virtual void DoBadCRC(uint32_t CalcCRC, uint32_t StoredCRC, int FileIndex);
    virtual void DoInCompleteZip(TIncompleteZipMode& IncompleteMode);
    virtual void DoUnZipComplete(int FileCount);
    virtual void DoFilePercentDone(int Percent);
    virtual void DoTotalPercentDone(int Percent);

    // Marks the object busy for one operation; a second one raises EZipBusy.
    class TBusyGuard {
    public:
        explicit TBusyGuard(TZipReader& Reader);
        ~TBusyGuard();
        TBusyGuard(const TBusyGuard&) = delete;
        TBusyGuard& operator=(const TBusyGuard&) = delete;

    private:
        TZipReader& FReader;
    };

    // What identifies the archive file as it was when its directory was read.
    struct TArchiveStamp {
        int64_t Seconds = 0;
        int64_t Nanoseconds = 0;
        int64_t Size = -1;
        uint64_t Device = 0;
        uint64_t Inode = 0;
        bool operator==(const TArchiveStamp&) const = default;
    };
    static TArchiveStamp StampOf(const std::string& FileName);

    void OpenArchive();
    void CloseArchive();
    // The archive's input: reads that run past the end of a disk of a set go on
    // onto the next disk; seeks stay on the disk that is open.
    TStream& Input() const;
    // Positions the input at an offset on a disk of the set, opening that disk when needed.
    void SeekDisk(int Disk, int64_t Offset);
    // Opens disk Disk (0-based) of the set through OnGetNextDisk; a name left empty or
    // naming no file raises EUserCanceled "User canceled loading new disk.".
    void OpenDisk(int Disk);
    bool IsMultiDisk() const { return FEndCentral->ThisDisk > 0; }
    // Reads the directory when none is held or the file changed; EIncompleteZip passes out.
    void LoadDirectory();
    void ReadDirectory();
    // The end record and central directory from the ".zfc" file beside the archive; false without one.
    bool ReadConfigurationFile(TSortedZip& Contents);
    void ReadCentralDirectory(TStream& Stream, TSortedZip& Contents);
    void DropDirectory();
    // Takes a built list as the held directory and rebuilds the sorted view.
    void SetDirectory(std::unique_ptr<TSortedZip> Contents);
    void RebuildSortedView();
    // After writing: the entries just written become the directory, stamped with the new file.
    void TakeWrittenDirectory(std::unique_ptr<TSortedZip> Contents, const TEndCentral& End);
    void ProcessMessages() const;
    void CheckIndex(int Index) const;
    // The archive-order list, owner of the entries (never null).
    TSortedZip& ZipContents() const { return *FZipContents; }
    TEndCentral& EndRecord() { return *FEndCentral; }
    TLFNFileStream* Archive() const { return FArchive.get(); }
    int64_t& TotalProgress() { return FTotalDone; }
    int64_t& TotalBytes() { return FTotalBytes; }
    void ReportTotalProgress(int64_t Bytes);

private:
    enum TEntryOutcome { eoExtracted, eoPassedBy, eoFailed, eoRetry };
    TEntryOutcome ExtractEntry(int Index, TZipHeaderInfo& Entry);
    // Takes a new password from OnBadPassword; false when there is none other than the current one.
    bool AskNewPassword(int Index);
    // The keys the password is tried with, in turn (PasswordForms); OnDecrypt gets the password as set.
    std::vector<std::string> PasswordKeys() const;
    // The built-in decryption, or OnDecrypt in its place.
    void Decrypt(TZipCrypt& Crypt, uint8_t* Buffer, int Length);
    bool WalkLocalHeaders();
    std::string SafeTargetFolder(const TZipHeaderInfo& Entry, bool& Refused) const;
    // Marks the entries this run extracts and returns their places in archive order.
    std::vector<int> SelectEntries(int64_t& Bytes);

    std::string FZipName;
    std::string FDestDir;
    std::string FRootDir;
    TZipSortMode FSortMode = ByNone;
    bool FRecreateDirs = false;
    TUZOverwriteMode FOverwriteMode = Prompt;
    std::unique_ptr<TStringList> FFilesList;
    bool FDoAll = false;
    TIncompleteZipMode FIncompleteZipMode = izAssumeMulti;
    bool FKeepZipOpen = false;
    bool FDoProcessMessages = true;
    bool FRetainAttributes = true;
    bool FReplaceReadOnly = false;
    bool FFlushFilesOnClose = false;
    bool FOEMConvert = true;
    std::string FPassword;
    size_t FPasswordForm = 0; // of PasswordKeys, the one the current entry tries next
    int FMultiMode = mmNone;
    bool FCheckDiskLabels = true;

    std::unique_ptr<TSortedZip> FZipContents;
    std::unique_ptr<TSortedZip> FSortedView; // null when SortMode is ByNone
    // Every entry's full name with its places in archive order, gathered on first use.
    std::unordered_map<std::string, std::vector<int>> FEntryNames;
    std::vector<int> FSelection; // the entries marked Selected by the last run
    std::unique_ptr<TEndCentral> FEndCentral;
    std::unique_ptr<TZipHeaderInfo> FScratch;
    std::unique_ptr<TLFNFileStream> FArchive;
    class TSetInput;
    std::unique_ptr<TSetInput> FInput;
    int FCurrentDisk = 0; // of the open archive stream; -1 when not known
    TArchiveStamp FStamp;
    bool FHaveDirectory = false;
    bool FRebuilt = false;
    bool FBusy = false;
    int64_t FTotalBytes = 0;
    int64_t FTotalDone = 0;
};

} // namespace zip
