// The one road by which files from outside (packages, files the user picks)
// reach the user's folders. An import works in a staging folder of its own:
// a package is unpacked there only after its whole directory passed the
// checks below, the importer checks the rows (ImportedTables.h) and stages
// each file or folder under its future name; Place then moves them into the
// user's folders by renames, setting aside what they replace, and Keep makes
// that final once the rows are committed. Until then the destructor moves
// everything back, so a refused or failed import leaves the user's folders
// exactly as they were. A refusal raises EImportRefused, whose message is the
// text the user is shown.
#pragma once

#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class EImportRefused : public Exception {
public:
    using Exception::Exception;
};

// The refusals every import shares.
inline constexpr const char* DamagedPackageText = "导入压缩包失败，请尝试重新导入";
inline constexpr const char* OversizedPackageText = "压缩包解压后过大或文件过多，无法导入";
inline constexpr const char* DiskFullText = "磁盘空间不足，无法导入";
inline constexpr const char* FileFailureText = "文件I/O错误";
// What went wrong on the way in is no fault of the package (the database
// refused a row, a lock): the raw message is for no user.
inline constexpr const char* ImportFailedText = "数据导入失败，请尝试再次导入";
// The files of a package do not match its rows.
inline constexpr const char* BrokenPackageText = "压缩文件损坏,无法导入";
// A package of another kind, or an empty one: "压缩包中没有" + Documents + "，未导入任何数据".
std::string NoDocumentsText(const std::string& Documents);

// What a real package can hold: the entries and unpacked bytes of a package
// without Zip64, and its expansion. Deflate packs a run of zeros about a
// thousand to one, real files far less; beyond a small allowance the
// unpacked bytes may be at most MaxExpansion times the package's.
inline constexpr int MaxPackageEntries = 20000;
inline constexpr uint64_t MaxUnpackedBytes = uint64_t(2) << 30;
inline constexpr uint64_t UnpackedAllowance = uint64_t(64) << 20;
inline constexpr uint64_t MaxExpansion = 100;

class TImportStaging {
public:
    // Works in BaseFolder's "unzip" (the base folder of a document kind, or
    // the user's folder), on the file system of the folders it places into:
    // what an earlier import left there goes. Raises EImportRefused
    // (FileFailureText) when it cannot be made.
    explicit TImportStaging(const std::string& BaseFolder);
    // Undoes Place unless kept and removes the work folder; never throws.
    ~TImportStaging();
    TImportStaging(const TImportStaging&) = delete;
    TImportStaging& operator=(const TImportStaging&) = delete;

    // Checks the directory of Package whole, then unpacks every entry.
    // Refused as DamagedPackageText: no readable zip, a set of disks, an entry
    // name with a folder part, "." or "..", a separator or a control
    // character, or neither valid GBK nor flagged UTF-8, two entries of one
    // name, an entry that does not unpack whole. As OversizedPackageText past
    // the limits above, as DiskFullText when the disk cannot hold it.
    void Unpack(const std::string& Package);
    // Told after each unpacked entry.
    std::function<void(int Done, int Count)> OnUnpacked;
    // The entries' names, in archive order.
    const std::vector<std::string>& EntryNames() const { return FEntryNames; }
    // The unpacked file of the entry Name; empty when the package has none.
    std::string EntryFile(const std::string& Name) const;
    // The entries named Key + "@" + a name of their own, in archive order.
    std::vector<std::string> EntriesOf(const std::string& Key) const;

    // A new empty folder in the work folder that Place moves to Target.
    std::string StageFolder(const std::string& Target);
    // Moves the unpacked entry Name into StagedFolder as FileName, shortened
    // to fit (FittingFileName).
    void MoveEntry(const std::string& Name, const std::string& StagedFolder, const std::string& FileName);
    // True when every entry but Except has been moved into a staged folder.
    bool EveryEntryMovedBut(const std::string& Except) const;
    // Copies Source into the work folder; Place moves the copy to Target.
    // Raises EImportRefused (FileFailureText) when the copy fails.
    void StageCopy(const std::string& Source, const std::string& Target);
    // Makes Folder now when it is missing; an import that is not kept
    // removes it again.
    void EnsureFolder(const std::string& Folder);

    // Moves every staged folder and file to its target, what stood there set
    // aside. When a move fails, those made are undone and EImportRefused
    // (FileFailureText) raises.
    void Place();
    // The placed files stay; what they replaced goes with the work folder.
    void Keep() { FKept = true; }

private:
    struct TPlacement {
        std::string Staged;
        std::string Target;
        std::string SetAside; // where the target's old file or folder waits
        bool Placed = false;
    };
    void Undo() noexcept;
    std::string NextWorkName(const char* Kind);

    std::string FFolder;
    std::string FMadeRoot; // the outermost folder made for the work folder
    std::vector<std::string> FEntryNames;
    std::map<std::string, std::string> FEntryFiles; // name -> unpacked file
    std::map<std::string, std::vector<std::string>> FEntriesByKey;
    std::set<std::string> FMovedEntries;
    std::vector<TPlacement> FPlacements;
    std::vector<std::string> FMadeFolders;
    unsigned FWorkNames = 0;
    bool FKept = false;
};

// Name when it fits Folder's file-name limit (a file there of that name is
// then replaced, as imports always did). A longer one is cut by whole
// characters before its extension, with "~2", "~3", ... where needed, to a
// name that no file in Folder nor any of Taken has.
std::string FittingFileName(const std::string& Folder, const std::string& Name,
                            const std::set<std::string>& Taken = {});
