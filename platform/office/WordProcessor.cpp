// Which word processor the desktop has, starting it on a file, and whether it
// holds a file open: the desktop's MIME defaults and the PATH answer the
// first two, the lock files that word processors leave beside an open
// document the last.
#include "platform/office/Word.h"

#include "platform/os/Shell.h"

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Utf8.h"

#include <QStandardPaths>

namespace {

const char* const WordProcessorPrograms[] = {"soffice", "libreoffice", "lowriter"};

} // namespace

bool TWordApplication::WordProcessorAvailable() {
    for (const char* program : WordProcessorPrograms)
        if (!QStandardPaths::findExecutable(program).isEmpty()) return true;
    return !DesktopDefaultFor("application/msword").empty();
}

int StartWordProcessor(const std::string& FileName) {
    for (const char* program : WordProcessorPrograms)
        if (!QStandardPaths::findExecutable(program).isEmpty()) return ShellStart(program, FileName);
    return SE_ERR_NOASSOC;
}

bool WordProcessorHoldsOpen(const std::string& FileName) {
    const std::string folder = ExtractFilePath(FileName);
    const std::string name = ExtractFileName(FileName);
    return FileExists(folder + ".~lock." + name + "#") ||
           (Utf8Length(name) > 2 && FileExists(folder + "~$" + Utf8Copy(name, 2)));
}
