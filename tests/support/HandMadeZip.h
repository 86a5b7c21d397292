// Zip archives built byte by byte, for the packages a reader must refuse:
// names of any bytes and flags, duplicate entries, sizes that lie. Members
// are stored or deflated (by zlib) without a data descriptor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct THandMadeEntry {
    // Stored as UTF-8 with the flag, or else converted to GBK as the program
    // writes it; bytes that are no UTF-8 are stored as they are.
    std::string Name;
    std::string Data = {}; // the member's bytes before compression
    bool Utf8Name = false;
    bool Deflated = false;
    // The size the headers declare; 0 for the real one.
    uint64_t DeclaredSize = 0;
};

std::string HandMadeZip(const std::vector<THandMadeEntry>& Entries);

// A package as the program writes it: a copy of the transfer file Template
// changed by Sql, first and under its own bare name, then Entries; an entry
// without data holds "x". An empty Template adds no transfer file.
std::string HandMadePackage(const std::string& Template, const std::string& Sql, std::vector<THandMadeEntry> Entries);
