// The installation a package fuzz target imports into, made once per
// process: a scratch copy of the program folder the build laid out, a
// registered user logged in, the program's windows headless, and every
// dialog answered with the package. Each input is imported through the
// program's own menu actions; a refused import that changed the user's
// folders or databases aborts the run (a finding), and an accepted one is
// cleared away again so that the next input meets the same installation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class TFuzzInstallation {
public:
    static TFuzzInstallation& Get();

    const std::string& ProgramFolder() const { return FFolder; }
    const std::string& UserFolder() const { return FUserFolder; }

    // One input through Import (a menu action whose success box starts with
    // "项目导入成功"): as a package, and once more as the transfer file
    // TransferName of a package built around it with the file Companion, so
    // that mutations of the database reach the checks of its rows.
    void ImportInput(const uint8_t* Data, size_t Size, const std::string& TransferName, const std::string& Companion,
                     const std::function<void()>& Import);

private:
    TFuzzInstallation();
    // Writes Package and runs Import with every file dialog answered by its
    // path; true when the import said it succeeded.
    bool Import(const std::string& Package, const std::function<void()>& Import);
    // Every file of the user's and the documents' folders and the shared
    // database, with its bytes.
    std::string Fingerprint() const;
    // Back to no application, no document and no counter.
    void Clear() const;

    std::string FFolder;
    std::string FUserFolder;
};
