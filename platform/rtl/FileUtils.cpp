// Files and folders on POSIX calls. Where POSIX and the original platform
// differ (renaming onto an existing file, "*.*", hidden entries) the original
// platform's rule is kept, since callers were written for it.
#include "platform/rtl/FileUtils.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

// ---- Names ------------------------------------------------------------------------------

std::string ExtractFilePath(std::string_view FileName) {
    const size_t p = FileName.rfind(PathDelim);
    return p == std::string_view::npos ? std::string() : std::string(FileName.substr(0, p + 1));
}

std::string ExtractFileDir(std::string_view FileName) {
    const size_t p = FileName.rfind(PathDelim);
    if (p == std::string_view::npos) return {};
    return std::string(FileName.substr(0, p == 0 ? 1 : p)); // the root keeps its '/'
}

std::string ExtractFileName(std::string_view FileName) {
    const size_t p = FileName.rfind(PathDelim);
    return std::string(p == std::string_view::npos ? FileName : FileName.substr(p + 1));
}

std::string ExtractFileExt(std::string_view FileName) {
    const size_t dot = FileName.rfind('.');
    const size_t slash = FileName.rfind(PathDelim);
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    return std::string(FileName.substr(dot));
}

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension) {
    const std::string ext = ExtractFileExt(FileName);
    return std::string(FileName.substr(0, FileName.size() - ext.size())) + std::string(Extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view Path) {
    std::string r(Path);
    if (r.empty() || r.back() != PathDelim) r += PathDelim;
    return r;
}

std::string ExcludeTrailingPathDelimiter(std::string_view Path) {
    std::string r(Path);
    if (r.size() > 1 && r.back() == PathDelim) r.pop_back();
    return r;
}

std::string ExpandFileName(std::string_view FileName) {
    std::string path(FileName);
    if (path.empty() || path[0] != PathDelim) path = IncludeTrailingPathDelimiter(GetCurrentDir()) + path;
    const bool trailing = path.back() == PathDelim;
    std::vector<std::string> parts;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find(PathDelim, start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string r;
    for (const std::string& part : parts)
        r += PathDelim + part;
    if (r.empty() || trailing) r += PathDelim;
    return r;
}

// ---- Files and folders -----------------------------------------------------------------

bool FileExists(const std::string& FileName) {
    struct stat st;
    return !FileName.empty() && ::stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& Directory) {
    struct stat st;
    return !Directory.empty() && ::stat(Directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& Dir) {
    return !Dir.empty() && ::mkdir(Dir.c_str(), 0777) == 0;
}

bool ForceDirectories(const std::string& Dir) {
    const std::string dir = ExcludeTrailingPathDelimiter(Dir);
    if (dir.empty()) return false;
    if (DirectoryExists(dir)) return true;
    const std::string parent = ExtractFileDir(dir);
    if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
    return CreateDir(dir) || DirectoryExists(dir);
}

bool RemoveDir(const std::string& Dir) {
    return !Dir.empty() && ::rmdir(Dir.c_str()) == 0;
}

bool DeleteFile(const std::string& FileName) {
    return FileExists(FileName) && ::unlink(FileName.c_str()) == 0;
}

bool RenameFile(const std::string& OldName, const std::string& NewName) {
    if (::renameat2(AT_FDCWD, OldName.c_str(), AT_FDCWD, NewName.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace flag: check, then rename.
    struct stat st;
    if (::lstat(NewName.c_str(), &st) == 0) return false;
    return ::rename(OldName.c_str(), NewName.c_str()) == 0;
}

// Copies In into a new file named for Target in Target's folder; returns its
// name, or empty when the copy fails (nothing is then left behind).
static std::string CopyBeside(int In, const struct stat& Source, const std::string& Target) {
    const std::string stem = ExtractFilePath(Target) + "." + ExtractFileName(Target) + ".copy";
    std::string name;
    int out = -1;
    for (unsigned attempt = 0; out < 0 && attempt < 100; ++attempt) {
        name = stem + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        out = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Source.st_mode & 0777);
        if (out < 0 && errno != EEXIST) return {};
    }
    if (out < 0) return {};
    bool ok = true;
    std::vector<char> buffer(256 * 1024);
    while (ok) {
        const ssize_t n = ::read(In, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
    }
    const struct timespec times[2] = {Source.st_atim, Source.st_mtim};
    if (ok) ::futimens(out, times);
    ok = ::close(out) == 0 && ok;
    if (ok) return name;
    ::unlink(name.c_str());
    return {};
}

bool CopyFile(const std::string& ExistingFileName, const std::string& NewFileName, bool FailIfExists) {
    const int in = ::open(ExistingFileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat source, target;
    if (::fstat(in, &source) != 0 || S_ISDIR(source.st_mode)) {
        ::close(in);
        return false;
    }
    const bool exists = ::stat(NewFileName.c_str(), &target) == 0;
    // The one file under two names would be emptied before it was read.
    const bool sameFile = exists && target.st_dev == source.st_dev && target.st_ino == source.st_ino;
    if (exists && (FailIfExists || sameFile || S_ISDIR(target.st_mode) || ::access(NewFileName.c_str(), W_OK) != 0)) {
        ::close(in);
        return false;
    }
    // The copy replaces the target only once it is whole, so a failed copy
    // leaves the old file as it was.
    const std::string copy = CopyBeside(in, source, NewFileName);
    ::close(in);
    if (copy.empty()) return false;
    const bool placed =
        FailIfExists ? RenameFile(copy, NewFileName) : ::rename(copy.c_str(), NewFileName.c_str()) == 0;
    if (!placed) ::unlink(copy.c_str());
    return placed;
}

// ---- Times -----------------------------------------------------------------------------

static TDateTime LocalDateTime(const struct timespec& ts) {
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    return EncodeDate(Word(local.tm_year + 1900), Word(local.tm_mon + 1), Word(local.tm_mday)) +
           EncodeTime(Word(local.tm_hour), Word(local.tm_min), Word(std::min(local.tm_sec, 59)),
                      Word(ts.tv_nsec / 1000000));
}

bool FileAge(const std::string& FileName, TDateTime& FileDateTime) {
    struct stat st;
    if (::stat(FileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    FileDateTime = LocalDateTime(st.st_mtim);
    return true;
}

bool FileSetDate(const std::string& FileName, TDateTime FileDateTime) {
    Word y, mo, d, h, mi, s, ms;
    DecodeDateTime(FileDateTime, y, mo, d, h, mi, s, ms);
    std::tm local{};
    local.tm_year = y - 1900;
    local.tm_mon = mo - 1;
    local.tm_mday = d;
    local.tm_hour = h;
    local.tm_min = mi;
    local.tm_sec = s;
    local.tm_isdst = -1;
    const std::time_t t = std::mktime(&local);
    if (t == std::time_t(-1)) return false;
    const struct timespec times[2] = {{0, UTIME_OMIT}, {t, long(ms) * 1000000}};
    return ::utimensat(AT_FDCWD, FileName.c_str(), times, 0) == 0;
}

Integer DateTimeToFileDate(TDateTime DateTime) {
    Word y, mo, d, h, mi, s, ms;
    DecodeDateTime(DateTime, y, mo, d, h, mi, s, ms);
    if (y < 1980 || y > 2107) return 0;
    const uint32_t date = uint32_t((y - 1980) << 9 | mo << 5 | d);
    const uint32_t time = uint32_t(h << 11 | mi << 5 | s / 2);
    return Integer(date << 16 | time);
}

TDateTime FileDateToDateTime(Integer FileDate) {
    const uint32_t v = uint32_t(FileDate);
    const uint32_t date = v >> 16, time = v & 0xFFFF;
    TDateTime d = 0, t = 0;
    if (!TryEncodeDate(Word((date >> 9) + 1980), Word(date >> 5 & 15), Word(date & 31), d) ||
        !TryEncodeTime(Word(time >> 11), Word(time >> 5 & 63), Word((time & 31) * 2), 0, t))
        return 0;
    return d + t;
}

// ---- Searching -------------------------------------------------------------------------

struct TSearchState {
    struct TEntry {
        std::string Name;
        Int64 Size;
        Integer Attr;
        TDateTime TimeStamp;
    };
    std::vector<TEntry> Entries;
    size_t Next = 0;
};

static int FillNext(TSearchRec& F) {
    TSearchState* state = F.FindHandle.get();
    if (!state || state->Next >= state->Entries.size()) return ENOENT;
    const TSearchState::TEntry& e = state->Entries[state->Next++];
    F.Name = e.Name;
    F.Size = e.Size;
    F.Attr = e.Attr;
    F.TimeStamp = e.TimeStamp;
    F.Time = DateTimeToFileDate(e.TimeStamp);
    return 0;
}

int FindFirst(const std::string& Path, Integer Attr, TSearchRec& F) {
    F = TSearchRec{};
    std::string folder = ExtractFilePath(Path);
    std::string pattern = ExtractFileName(Path);
    if (pattern == "*.*") pattern = "*";
    // Only * and ? are wild; brackets and backslashes are plain characters.
    std::string wild;
    for (char c : pattern) {
        if (c == '[' || c == ']' || c == '\\') wild += '\\';
        wild += c;
    }
    if (folder.empty()) folder = "./";
    F.ExcludeAttr = ~Attr & (faHidden | faSysFile | faVolumeID | faDirectory);

    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return errno ? errno : ENOENT;
    auto state = std::make_shared<TSearchState>();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (::fnmatch(wild.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
        const std::string full = folder + name;
        struct stat st;
        if (::stat(full.c_str(), &st) != 0 && ::lstat(full.c_str(), &st) != 0) continue;
        Integer attr;
        if (S_ISDIR(st.st_mode))
            attr = faDirectory;
        else if (S_ISREG(st.st_mode))
            attr = faArchive | ((st.st_mode & S_IWUSR) ? 0 : faReadOnly);
        else
            attr = faSysFile; // devices, sockets, dangling links
        if (name[0] == '.' && name != "." && name != "..") attr |= faHidden;
        if (attr & F.ExcludeAttr) continue;
        state->Entries.push_back({name, S_ISDIR(st.st_mode) ? 0 : Int64(st.st_size), attr, LocalDateTime(st.st_mtim)});
    }
    ::closedir(dir);
    std::sort(state->Entries.begin(), state->Entries.end(), [](const auto& a, const auto& b) {
        auto rank = [](const std::string& n) { return n == "." ? 0 : n == ".." ? 1 : 2; };
        return rank(a.Name) != rank(b.Name) ? rank(a.Name) < rank(b.Name) : a.Name < b.Name;
    });
    F.FindHandle = state;
    const int r = FillNext(F);
    if (r != 0) F.FindHandle.reset();
    return r;
}

int FindNext(TSearchRec& F) {
    return FillNext(F);
}

void FindClose(TSearchRec& F) {
    F.FindHandle.reset();
}

// ---- Current folder --------------------------------------------------------------------

std::string GetCurrentDir() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool SetCurrentDir(const std::string& Dir) {
    return !Dir.empty() && ::chdir(Dir.c_str()) == 0;
}

TCurrentDirScope::TCurrentDirScope(const std::string& Dir) : FPrevious(GetCurrentDir()) {
    if (!SetCurrentDir(Dir)) throw EInOutError("Cannot change to folder \"" + Dir + "\". " + std::strerror(errno));
}

TCurrentDirScope::~TCurrentDirScope() {
    if (!FPrevious.empty() && ::chdir(FPrevious.c_str()) != 0) {
        // The old folder is gone; nothing sensible remains to restore.
    }
}

// ---- Temporary files ----------------------------------------------------------------------

std::string GetTempDir() {
    const char* tmp = std::getenv("TMPDIR");
    return IncludeTrailingPathDelimiter(tmp && *tmp ? tmp : "/tmp");
}

std::string CreateTempFile(const std::string& Folder, const std::string& Prefix, const std::string& Extension) {
    std::string name =
        IncludeTrailingPathDelimiter(Folder.empty() ? GetTempDir() : Folder) + Prefix + "XXXXXX" + Extension;
    const int fd = ::mkstemps(name.data(), int(Extension.size()));
    if (fd < 0) throw EInOutError("Cannot create a temporary file in \"" + Folder + "\". " + std::strerror(errno));
    ::close(fd);
    return name;
}

TTempFile::TTempFile(const std::string& Folder, const std::string& Prefix, const std::string& Extension)
    : FFileName(CreateTempFile(Folder, Prefix, Extension)) {}

TTempFile::~TTempFile() {
    ::unlink(FFileName.c_str());
}

std::string ProgramFolder() {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return IncludeTrailingPathDelimiter(GetCurrentDir());
    return ExtractFilePath(std::string(buffer.data(), size_t(n)));
}
