// The directory walker, on std::filesystem without following links to folders.
#include "zip/DirSearch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/rtl/SysUtils.h"
#include "zip/ZipUtils.h"

namespace fs = std::filesystem;

namespace zip {

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
    FLevels.push_back(std::make_unique<TSearchData>(start));
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
        if (fs::is_directory(link)) {
            if (!FRecurse) continue;
            FLevels.push_back(std::make_unique<TSearchData>(path + "/"));
            return path + "/";
        }
        // A link to a folder is neither entered nor added; a link to a file is a file.
        if (fs::is_symlink(link) && !fs::is_regular_file(fs::status(path, ec))) continue;
        if (!fs::is_regular_file(link) && !fs::is_symlink(link)) continue;
        std::string matchName = UpperCase(name);
        if (matchName.find('.') == std::string::npos) matchName += '.';
        if (FMask == "*" || WildcardMatch(FMask, matchName)) return path;
    }
    return {};
}

} // namespace zip
