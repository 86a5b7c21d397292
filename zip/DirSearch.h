// The recursive directory walker of the file-list expansion. Names come in
// name order, folder by folder; sub-folders are reported (with a trailing "/")
// before the walker descends into them. A symlink to a folder is neither
// reported nor entered, so a link loop cannot trap the walk; a symlink to a file
// counts as a file. The start folder may hold wildcards in any of its levels
// ("/data/proj*/docs/"): the walk then runs in every folder that matches them.
// At most MaxSearchLevels folders are open at once, the start folder's levels
// included; a deeper tree raises EInOutError rather than being cut short.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

namespace zip {

constexpr int MaxSearchLevels = 21;

// One open folder of the walk: its path (ending in "/") and the names still to visit.
class TSearchData : public TObject {
public:
    explicit TSearchData(const std::string& folder);
    std::string Folder;
    std::vector<std::string> Names;
    size_t Next = 0;
    bool Open = false;
};

class TDirSearch : public TObject {
public:
    // Mask and the start folder's wildcard levels match names without regard to case; "*" matches all.
    TDirSearch(const std::string& folder, bool recurse, const std::string& mask);
    // The next file as a full path, or (when recursing) the next sub-folder
    // ending in "/"; empty at the end of the walk.
    std::string Next();

private:
    void Enter(const std::string& folder);

    std::vector<std::unique_ptr<TSearchData>> FLevels;
    bool FRecurse;
    std::string FMask; // upper-cased
    // The start folder's levels from its first one with a wildcard on, upper-cased; the
    // searches below that many levels look for folders matching them, not for files.
    std::vector<std::string> FStartLevels;
};

} // namespace zip
