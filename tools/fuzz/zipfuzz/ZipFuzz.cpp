// Fuzz target: the input is inflated as a raw deflate stream, then read as an
// archive (directory, local-header walk, extraction of every entry into a
// scratch folder) and updated with one more file. Anything but a clean engine
// exception is a finding.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "zip/EntryDecoder.h"
#include "zip/ZipWriter.h"

namespace {

// One folder for the whole run, removed when the process ends.
struct TScratchFolder {
    std::string Path;
    TScratchFolder() {
        char pattern[] = "/tmp/zipfuzz.XXXXXX";
        Path = std::string(mkdtemp(pattern)) + "/";
    }
    ~TScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
};

const std::string& Scratch() {
    static const TScratchFolder folder;
    return folder.Path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    try {
        zip::InflateRaw(data, size, out);
    } catch (const Exception&) {
    }

    const std::string archive = Scratch() + "input.zip";
    const std::string dest = Scratch() + "out";
    if (FILE* f = std::fopen(archive.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    for (const auto mode : {zip::izAssumeMulti, zip::izAssumeBad}) {
        zip::TZipReader reader(nullptr);
        reader.SetZipName(archive);
        reader.SetDestDir(dest);
        reader.SetIncompleteZipMode(mode);
        reader.SetDoAll(true);
        reader.SetRecreateDirs(mode == zip::izAssumeBad);
        reader.SetOverwriteMode(zip::Always);
        // The encrypted seeds' password: with any other, every encrypted entry is passed by undecoded.
        reader.SetPassword("pw");
        try {
            reader.ReadZip();
            for (int i = 0; i < reader.GetCount(); ++i)
                reader.GetFilename(i);
            reader.UnZip();
        } catch (const Exception&) {
        }
    }
    // Merging into the damaged archive: kept entries are copied from it as they stand.
    const std::string source = Scratch() + "source.txt";
    if (FILE* f = std::fopen(source.c_str(), "wb")) {
        std::fputs("a file to add", f);
        std::fclose(f);
    }
    {
        zip::TZipWriter writer(nullptr);
        writer.SetZipName(archive);
        writer.FilesList()->Add(source);
        try {
            writer.Zip();
        } catch (const Exception&) {
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(dest, ec);
    return 0;
}
