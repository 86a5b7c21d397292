// A temporary settings folder that CORVANTA_HOME points at for one test, so
// the registry and the instance names of a test meet nobody else's.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchHome {
public:
    ScratchHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvanta-home-XXXXXX").string();
        FFolder = mkdtemp(pattern.data());
        if (const char* old = std::getenv("CORVANTA_HOME")) FOld = old, FHadOld = true;
        setenv("CORVANTA_HOME", FFolder.c_str(), 1);
    }
    ~ScratchHome() {
        if (FHadOld)
            setenv("CORVANTA_HOME", FOld.c_str(), 1);
        else
            unsetenv("CORVANTA_HOME");
        std::error_code error;
        std::filesystem::remove_all(FFolder, error);
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    const std::string& Folder() const { return FFolder; }

private:
    std::string FFolder;
    std::string FOld;
    bool FHadOld = false;
};
