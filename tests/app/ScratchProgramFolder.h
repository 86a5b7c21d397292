// A program folder of the test's own, with copies of the database templates
// the build made, that CORVANTA_PROGRAM_DIR points at while it lives.
#pragma once

#include "tests/app/BuiltProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>

#include <unistd.h>

class ScratchProgramFolder {
public:
    explicit ScratchProgramFolder(std::initializer_list<const char*> Templates = {"voltrane.mdb", "maindata.mdb",
                                                                                  "iovoltrane.mdb", "iodata.mdb"}) {
        namespace fs = std::filesystem;
        if (const char* old = std::getenv("CORVANTA_PROGRAM_DIR")) FOld = old;
        std::string pattern = (fs::temp_directory_path() / "corvanta-program-XXXXXX").string();
        FFolder = mkdtemp(pattern.data());
        for (const char* name : Templates)
            fs::copy_file(BuiltProgramFolder() + name, FFolder / name);
        setenv("CORVANTA_PROGRAM_DIR", FFolder.c_str(), 1);
    }
    ~ScratchProgramFolder() {
        if (FOld.empty())
            unsetenv("CORVANTA_PROGRAM_DIR");
        else
            setenv("CORVANTA_PROGRAM_DIR", FOld.c_str(), 1);
        std::error_code error;
        std::filesystem::remove_all(FFolder, error);
    }
    ScratchProgramFolder(const ScratchProgramFolder&) = delete;
    ScratchProgramFolder& operator=(const ScratchProgramFolder&) = delete;

    const std::filesystem::path& Folder() const { return FFolder; }
    // The folder as the program writes it, ending in '/'.
    std::string Path() const { return FFolder.string() + "/"; }

private:
    std::filesystem::path FFolder;
    std::string FOld;
};
