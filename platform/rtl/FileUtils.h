// Files and folders with the framework's names. Paths use '/'; a folder path
// returned here ends with '/' where the framework's ends with its delimiter.
// Name patterns and FindFirst match without case, as on the original platform.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/rtl/DateTime.h"

inline constexpr char PathDelim = '/';

std::string ExtractFilePath(std::string_view FileName); // "a/b/c.txt" -> "a/b/"
std::string ExtractFileDir(std::string_view FileName);  // "a/b/c.txt" -> "a/b"
std::string ExtractFileName(std::string_view FileName); // "c.txt"
std::string ExtractFileExt(std::string_view FileName);  // ".txt"
std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
std::string IncludeTrailingPathDelimiter(std::string_view Path);
std::string ExcludeTrailingPathDelimiter(std::string_view Path);
// Absolute, with "." and ".." resolved against the current folder.
std::string ExpandFileName(std::string_view FileName);

bool FileExists(const std::string& FileName); // a file, not a folder
bool DirectoryExists(const std::string& Directory);
bool CreateDir(const std::string& Dir);
bool ForceDirectories(const std::string& Dir);
bool RemoveDir(const std::string& Dir); // empty folders only
bool DeleteFile(const std::string& FileName);
// Fails when NewName exists (another link to the same file included), as on
// the original platform.
bool RenameFile(const std::string& OldName, const std::string& NewName);
// Copies content and modification time. Fails, leaving every file as it was,
// when the destination is the source itself (under any of its names), is
// read-only, exists while FailIfExists is set, or when reading or writing
// fails: an existing destination is replaced only by a whole copy.
bool CopyFile(const std::string& ExistingFileName, const std::string& NewFileName, bool FailIfExists);

// Modification time in local time.
bool FileAge(const std::string& FileName, TDateTime& FileDateTime);
bool FileSetDate(const std::string& FileName, TDateTime FileDateTime);
// The packed DOS date and time (date in the high word, 2-second time in the
// low word) that search records and zip archives carry.
Integer DateTimeToFileDate(TDateTime DateTime);
TDateTime FileDateToDateTime(Integer FileDate);

inline constexpr Integer faReadOnly = 0x01;
inline constexpr Integer faHidden = 0x02; // names that start with '.'
inline constexpr Integer faSysFile = 0x04;
inline constexpr Integer faVolumeID = 0x08;
inline constexpr Integer faDirectory = 0x10;
inline constexpr Integer faArchive = 0x20; // every regular file
inline constexpr Integer faSymLink = 0x40;
inline constexpr Integer faAnyFile = 0x3F;

struct TSearchState;

struct TSearchRec {
    Integer Time = 0; // packed DOS date and time
    Int64 Size = 0;
    Integer Attr = 0;
    std::string Name;
    TDateTime TimeStamp = 0;
    Integer ExcludeAttr = 0;
    std::shared_ptr<TSearchState> FindHandle;
};

// Path is a folder and a name pattern with * and ? ("docs/*.txt"; "*.*"
// matches every name). Regular files always qualify; folders, hidden
// entries and system entries only when Attr asks for them. Folders report
// exactly faDirectory (plus faHidden), so "Attr == faDirectory" holds;
// "." and ".." come first when folders are asked for. Entries come in name
// order. Returns 0 when a match was found, else an errno value.
int FindFirst(const std::string& Path, Integer Attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& Dir);

// Changes the current folder for its lifetime and restores the previous one.
// Raises EInOutError when the folder cannot be entered.
class TCurrentDirScope {
public:
    explicit TCurrentDirScope(const std::string& Dir);
    ~TCurrentDirScope();
    TCurrentDirScope(const TCurrentDirScope&) = delete;
    TCurrentDirScope& operator=(const TCurrentDirScope&) = delete;

private:
    std::string FPrevious;
};

// TMPDIR or /tmp, with a trailing '/'.
std::string GetTempDir();
// Creates a new empty file with a unique name in Folder (GetTempDir() when
// empty) and returns its path. Raises EInOutError on failure.
std::string CreateTempFile(const std::string& Folder = {}, const std::string& Prefix = "tmp",
                           const std::string& Extension = {});

// A temporary file that is deleted with the object.
class TTempFile {
public:
    explicit TTempFile(const std::string& Folder = {}, const std::string& Prefix = "tmp",
                       const std::string& Extension = {});
    ~TTempFile();
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};

// The folder of the running executable, with a trailing '/'.
std::string ProgramFolder();
