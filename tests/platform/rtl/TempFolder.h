// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

#include "platform/rtl/FileUtils.h"

class TTempFolder {
public:
    TTempFolder() {
        std::string pattern = GetTempDir() + "rtl-test-XXXXXX";
        FPath = IncludeTrailingPathDelimiter(mkdtemp(pattern.data()));
    }
    ~TTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    // The folder, ending with '/'.
    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& Name) const { return FPath + Name; }

private:
    std::string FPath;
};
