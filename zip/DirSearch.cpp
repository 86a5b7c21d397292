// The directory walker, on std::filesystem without following links to folders.
#include "zip/DirSearch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/rtl/SysUtils.h"
#include "zip/ZipUtils.h"

namespace fs = std::filesystem;

namespace zip {

namespace {

// A name without an extension is matched with a "." appended, so that "*.*" takes it too.
bool MatchesMask(const std::string& mask, const std::string& name) {
    if (mask == "*") return true;
    std::string matchName = UpperCase(name);
    if (matchName.find('.') == std::string::npos) matchName += '.';
    return WildcardMatch(mask, matchName);
}

} // namespace

TSearchData::TSearchData(const std::string& folder) : Folder(folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        Names.push_back(it->path().filename().string());
    std::sort(Names.begin(), Names.end());
    Open = !ec;
}

TDirSearch::TDirSearch(const std::string& folder, bool recurse, const std::string& mask)
    : FRecurse(recurse), FMask(UpperCase(mask)) {
    std::string start = folder.empty() ? std::string("./") : folder;
    if (start.back() != '/') start += '/';
    // The fixed part ends before the first level that holds a wildcard.
    std::string fixed;
    for (size_t from = 0; from < start.size();) {
        const size_t slash = start.find('/', from);
        const std::string level = start.substr(from, slash - from);
        if (FStartLevels.empty() && !HasWildcard(level))
            fixed += level + '/';
        else if (!level.empty())
            FStartLevels.push_back(level == "*.*" ? "*" : UpperCase(level));
        from = slash + 1;
    }
    if (static_cast<int>(FStartLevels.size()) >= MaxSearchLevels)
        throw EInOutError(Format("A folder pattern may hold at most %d levels: ", MaxSearchLevels - 1) + folder);
    Enter(fixed);
}

void TDirSearch::Enter(const std::string& folder) {
    if (static_cast<int>(FLevels.size()) >= MaxSearchLevels)
        throw EInOutError(Format("Folders nest more than %d levels deep at ", MaxSearchLevels) + folder);
    FLevels.push_back(std::make_unique<TSearchData>(folder));
}

std::string TDirSearch::Next() {
    while (!FLevels.empty()) {
        TSearchData& level = *FLevels.back();
        if (level.Next >= level.Names.size()) {
            FLevels.pop_back();
            continue;
        }
        const std::string& name = level.Names[level.Next++];
        const std::string path = level.Folder + name;
        std::error_code ec;
        const fs::file_status link = fs::symlink_status(path, ec);
        if (ec) continue;
        const size_t depth = FLevels.size() - 1;
        if (depth < FStartLevels.size()) {
            // Still inside the start folder's own levels: only folders that match them lead on.
            if (fs::is_directory(link) && WildcardMatch(FStartLevels[depth], UpperCase(name))) Enter(path + "/");
            continue;
        }
        if (fs::is_directory(link)) {
            if (!FRecurse) continue;
            Enter(path + "/");
            return path + "/";
        }
        // A link to a folder is neither entered nor added; a link to a file is a file.
        if (fs::is_symlink(link) && !fs::is_regular_file(fs::status(path, ec))) continue;
        if (!fs::is_regular_file(link) && !fs::is_symlink(link)) continue;
        if (MatchesMask(FMask, name)) return path;
    }
    return {};
}

} // namespace zip
