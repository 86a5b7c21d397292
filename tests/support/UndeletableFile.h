// A file that nobody can delete, rename or write while the object lives
// (the immutable flag of the file system), to show how failures of file
// operations are told even where the tests run as root. Some file systems
// and containers refuse the flag: a test then skips on Held() false.
#pragma once

#include <string>

class TUndeletableFile {
public:
    explicit TUndeletableFile(std::string FileName);
    ~TUndeletableFile();
    TUndeletableFile(const TUndeletableFile&) = delete;
    TUndeletableFile& operator=(const TUndeletableFile&) = delete;

    bool Held() const { return FHeld; }

private:
    std::string FFileName;
    bool FHeld = false;
};
