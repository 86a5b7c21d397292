// Which word processor the desktop has, and whether it holds a file open:
// the desktop's MIME defaults and the PATH answer the first, the lock files
// that word processors leave beside an open document the second.
#include "platform/office/Word.h"

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Utf8.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

// xdg-mime answers at once; a hanging desktop setup must not hang us.
constexpr int MimeQueryTimeoutMs = 5000;

bool DesktopNamesWordProcessor() {
    const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
    if (xdgMime.isEmpty()) return false;
    QProcess query;
    query.start(xdgMime, {"query", "default", "application/msword"});
    if (!query.waitForFinished(MimeQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

bool TWordApplication::WordProcessorAvailable() {
    for (const char* program : {"soffice", "libreoffice", "lowriter"})
        if (!QStandardPaths::findExecutable(program).isEmpty()) return true;
    return DesktopNamesWordProcessor();
}

bool WordProcessorHoldsOpen(const std::string& FileName) {
    const std::string folder = ExtractFilePath(FileName);
    const std::string name = ExtractFileName(FileName);
    return FileExists(folder + ".~lock." + name + "#") ||
           (Utf8Length(name) > 2 && FileExists(folder + "~$" + Utf8Copy(name, 2)));
}
