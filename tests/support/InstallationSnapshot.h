// What a program folder holds, taken before and after an operation that must
// leave it as it was: every file's bytes (by hash), every folder, and every
// table's rows of each database in it, so a difference reads as what changed.
#pragma once

#include <map>
#include <string>

class TInstallationSnapshot {
public:
    explicit TInstallationSnapshot(const std::string& Folder);
    bool operator==(const TInstallationSnapshot& Other) const { return FItems == Other.FItems; }
    // One line per path or table that differs from Before: "path: before -> now".
    std::string ChangesSince(const TInstallationSnapshot& Before) const;

private:
    // Relative path (or "path table T") -> hash, "folder" or the rows.
    std::map<std::string, std::string> FItems;
};
