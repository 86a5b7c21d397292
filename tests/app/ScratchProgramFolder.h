// A program folder of the test's own, with copies of the database templates
// the build made, that CORVANTA_PROGRAM_DIR points at while it lives.
#pragma once

#include "tests/app/BuiltProgramFolder.h"
#include "tests/support/ScopedEnvironmentVariable.h"
#include "tests/support/ScratchFolder.h"

#include <filesystem>
#include <initializer_list>
#include <string>

class ScratchProgramFolder {
public:
    explicit ScratchProgramFolder(std::initializer_list<const char*> Templates = {"voltrane.mdb", "maindata.mdb",
                                                                                  "iovoltrane.mdb", "iodata.mdb"}) {
        for (const char* name : Templates)
            std::filesystem::copy_file(BuiltProgramFolder() + name, FFolder / name);
        FProgramDir.Set(FFolder.Path());
    }

    std::filesystem::path Folder() const { return FFolder.Path(); }
    // The folder as the program writes it, ending in '/'.
    const std::string& Path() const { return FFolder.Path(); }

private:
    TScratchFolder FFolder;
    TScopedEnvironmentVariable FProgramDir{"CORVANTA_PROGRAM_DIR"};
};
