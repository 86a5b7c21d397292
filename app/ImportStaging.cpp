// The staging folder of an import. Unpacked entries are kept under numbered
// names ("entries/7"), so an entry whose own name is longer than the file
// system allows still unpacks; staged and set-aside files live beside them,
// on the same file system as the user's folders, so placing is renaming.
#include "app/ImportStaging.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Utf8.h"
#include "zip/ZipReader.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

bool Exists(const std::string& Path) {
    struct stat st;
    return ::lstat(Path.c_str(), &st) == 0;
}

bool Rename(const std::string& From, const std::string& To) {
    return ::rename(From.c_str(), To.c_str()) == 0;
}

// The name as this program writes it: GBK without the UTF-8 flag, or UTF-8
// with it; a bare file name that names one file and nothing else.
bool IsPlainEntryName(const zip::TZipHeaderInfo& Entry) {
    const std::string& stored = Entry.StoredName();
    const bool encoded =
        (Entry.Flag & zip::FlagUtf8Name) ? Utf8IsValid(stored) : Utf8ToGbk(GbkToUtf8(stored)) == stored;
    const std::string& name = Entry.FileName();
    if (!encoded || !Entry.Directory().empty() || name.empty() || name == "." || name == "..") return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == '/' || c == '\\';
    });
}

uint64_t FileBytes(const std::string& FileName) {
    struct stat st;
    return ::stat(FileName.c_str(), &st) == 0 ? uint64_t(st.st_size) : 0;
}

uint64_t FreeBytes(const std::string& Folder) {
    struct statvfs fs;
    if (::statvfs(Folder.c_str(), &fs) != 0) return 0;
    return uint64_t(fs.f_bavail) * fs.f_frsize;
}

size_t NameLimit(const std::string& Folder) {
    const long limit = ::pathconf(Folder.empty() ? "." : Folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? size_t(limit) : 255;
}

} // namespace

std::string NoDocumentsText(const std::string& Documents) {
    return "压缩包中没有" + Documents + "，未导入任何数据";
}

TImportStaging::TImportStaging(const std::string& BaseFolder)
    : FFolder(IncludeTrailingPathDelimiter(BaseFolder) + "unzip/") {
    std::error_code error;
    std::filesystem::remove_all(FFolder, error);
    FMadeRoot = ExcludeTrailingPathDelimiter(FFolder);
    for (std::string parent = ExtractFileDir(FMadeRoot); !parent.empty() && parent != FMadeRoot && !Exists(parent);
         parent = ExtractFileDir(parent))
        FMadeRoot = parent;
    if (!ForceDirectories(FFolder + "entries")) throw EImportRefused(FileFailureText);
}

TImportStaging::~TImportStaging() {
    if (!FKept) Undo();
    // Folders made for the work folder go too, unless the import put files there.
    std::error_code error;
    std::filesystem::remove_all(FKept ? FFolder : FMadeRoot, error);
}

std::string TImportStaging::NextWorkName(const char* Kind) {
    return FFolder + Kind + std::to_string(++FWorkNames);
}

void TImportStaging::Unpack(const std::string& Package) {
    zip::TZipReader reader(nullptr);
    reader.SetZipName(Package);
    // A file without an end record is not a package, not an empty one.
    reader.SetIncompleteZipMode(zip::izAssumeNotAZip);
    try {
        reader.ReadZip();
    } catch (const std::exception&) {
        throw EImportRefused(DamagedPackageText);
    }
    const int count = reader.GetCount();
    if (reader.EndCentral().ThisDisk != 0) throw EImportRefused(DamagedPackageText);
    if (count > MaxPackageEntries) throw EImportRefused(OversizedPackageText);
    uint64_t unpacked = 0;
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        const zip::TZipHeaderInfo& entry = *reader.GetEntry(i);
        if (!IsPlainEntryName(entry) || FEntryFiles.count(entry.FileName())) throw EImportRefused(DamagedPackageText);
        FEntryFiles[entry.FileName()] = FFolder + "entries/" + std::to_string(i);
        names.push_back(entry.FileName());
        unpacked += entry.UncompressedSize;
    }
    if (unpacked > MaxUnpackedBytes || unpacked > UnpackedAllowance + MaxExpansion * FileBytes(Package))
        throw EImportRefused(OversizedPackageText);
    if (unpacked >= FreeBytes(FFolder)) throw EImportRefused(DiskFullText);

    reader.SetDestDir(FFolder + "entries");
    reader.SetOverwriteMode(zip::Always);
    reader.SetDoAll(true);
    reader.OnStartUnZip = [&](TObject*, int Index, std::string& FileName, bool&) {
        FileName = FEntryFiles[names[size_t(Index)]];
    };
    int done = 0;
    reader.OnEndUnZip = [&](TObject*, int, const std::string&) {
        if (OnUnpacked) OnUnpacked(++done, count);
    };
    int extracted = 0;
    try {
        extracted = reader.UnZip();
    } catch (const std::exception&) {
        throw EImportRefused(DamagedPackageText);
    }
    // A bad check sum or an unknown method leaves its entry out without raising.
    if (extracted != count) throw EImportRefused(DamagedPackageText);
    FEntryNames = std::move(names);
    for (const std::string& name : FEntryNames)
        if (const size_t at = name.find('@'); at != std::string::npos)
            FEntriesByKey[name.substr(0, at)].push_back(name);
}

std::string TImportStaging::EntryFile(const std::string& Name) const {
    const auto file = FEntryFiles.find(Name);
    return file == FEntryFiles.end() ? std::string() : file->second;
}

std::vector<std::string> TImportStaging::EntriesOf(const std::string& Key) const {
    const auto entries = FEntriesByKey.find(Key);
    return entries == FEntriesByKey.end() ? std::vector<std::string>() : entries->second;
}

std::string TImportStaging::StageFolder(const std::string& Target) {
    const std::string staged = NextWorkName("staged");
    if (!CreateDir(staged)) throw EImportRefused(FileFailureText);
    FPlacements.push_back({staged, ExcludeTrailingPathDelimiter(Target), {}, false});
    return staged;
}

void TImportStaging::MoveEntry(const std::string& Name, const std::string& StagedFolder, const std::string& FileName) {
    const std::string folder = IncludeTrailingPathDelimiter(StagedFolder);
    if (!FMovedEntries.insert(Name).second || !Rename(EntryFile(Name), folder + FittingFileName(folder, FileName)))
        throw EImportRefused(FileFailureText);
}

bool TImportStaging::EveryEntryMovedBut(const std::string& Except) const {
    return std::all_of(FEntryNames.begin(), FEntryNames.end(),
                       [&](const std::string& name) { return name == Except || FMovedEntries.count(name); });
}

void TImportStaging::StageCopy(const std::string& Source, const std::string& Target) {
    const std::string staged = NextWorkName("copy");
    if (!CopyFile(Source, staged, true)) throw EImportRefused(FileFailureText);
    FPlacements.push_back({staged, Target, {}, false});
}

void TImportStaging::EnsureFolder(const std::string& Folder) {
    const std::string folder = ExcludeTrailingPathDelimiter(Folder);
    if (DirectoryExists(folder)) return;
    if (!CreateDir(folder)) throw EImportRefused(FileFailureText);
    FMadeFolders.push_back(folder);
}

void TImportStaging::Place() {
    const auto fail = [this] {
        Undo();
        throw EImportRefused(FileFailureText);
    };
    for (TPlacement& placement : FPlacements) {
        if (placement.Placed) continue;
        if (Exists(placement.Target)) {
            placement.SetAside = NextWorkName("replaced");
            if (!Rename(placement.Target, placement.SetAside)) {
                placement.SetAside.clear();
                fail();
            }
        }
        placement.Placed = Rename(placement.Staged, placement.Target);
        if (!placement.Placed) fail();
    }
}

void TImportStaging::Undo() noexcept {
    for (auto placement = FPlacements.rbegin(); placement != FPlacements.rend(); ++placement) {
        if (placement->Placed && Rename(placement->Target, placement->Staged)) placement->Placed = false;
        if (!placement->Placed && !placement->SetAside.empty() && Rename(placement->SetAside, placement->Target))
            placement->SetAside.clear();
    }
    for (auto folder = FMadeFolders.rbegin(); folder != FMadeFolders.rend(); ++folder)
        RemoveDir(*folder);
    FMadeFolders.clear();
}

std::string FittingFileName(const std::string& Folder, const std::string& Name, const std::set<std::string>& Taken) {
    const std::string folder = IncludeTrailingPathDelimiter(Folder);
    const size_t limit = NameLimit(folder);
    if (Name.size() <= limit) return Name;
    std::string extension = ExtractFileExt(Name);
    if (extension.size() > limit / 4) extension.clear();
    const std::string stem = Name.substr(0, Name.size() - extension.size());
    for (int number = 1; number < 10000; ++number) {
        const std::string suffix = number == 1 ? std::string() : "~" + std::to_string(number);
        // The stem is longer than the cut, so stem[cut] exists; a cut never splits a character.
        size_t cut = limit - extension.size() - suffix.size();
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80)
            --cut;
        const std::string candidate = stem.substr(0, cut) + suffix + extension;
        if (!Taken.count(candidate) && !Exists(folder + candidate)) return candidate;
    }
    throw EImportRefused(FileFailureText);
}
