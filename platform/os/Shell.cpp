// Shell services on Linux: xdg-mime and xdg-open stand in for file
// associations, std::filesystem for the shell's silent delete.
#include "platform/os/Shell.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// xdg-open's exit codes: 0 done, 1 bad arguments, 2 file missing, 3 a needed
// tool missing, 4 the open failed; 127 is the shell's "no such program".
int ResultFromExitCode(int code) {
    switch (code) {
    case 0:
        return SE_SUCCESS;
    case 2:
        return SE_ERR_FNF;
    default:
        return SE_ERR_NOASSOC;
    }
}

// A program that comes up in the foreground (LibreOffice's first window, a
// browser) keeps xdg-open running; after this long it counts as started.
// xdg-open's failures, fallbacks tried, take a few seconds at most.
constexpr int LaunchWatchSteps = 800;
constexpr useconds_t LaunchWatchStep = 10000;

TShellIdle& CurrentIdle() {
    static TShellIdle idle;
    return idle;
}

// xdg-mime answers at once; a hanging desktop setup must not hang us.
constexpr int MimeQueryTimeoutMs = 5000;

std::string AskXdgMime(const QStringList& arguments) {
    const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
    if (xdgMime.isEmpty()) return {};
    QProcess query;
    query.start(xdgMime, arguments);
    if (!query.waitForFinished(MimeQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
    return query.readAllStandardOutput().trimmed().toStdString();
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

// "scheme:" with a scheme of two or more letters; one letter would be a drive.
bool HasUrlScheme(const std::string& text) {
    size_t i = 0;
    while (i < text.size() &&
           (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '+' || text[i] == '-' || text[i] == '.'))
        ++i;
    return i >= 2 && i < text.size() && text[i] == ':' && std::isalpha(static_cast<unsigned char>(text[0]));
}

int OpenWithDesktop(const std::string& target) {
    // xdg-open would try every fallback it knows for seconds before failing.
    if (!HasUrlScheme(target)) {
        const std::string type = DesktopFileType(target);
        if (type.empty() || DesktopDefaultFor(type).empty()) return SE_ERR_NOASSOC;
    }
    return ShellStart("xdg-open", target);
}

TShellLauncher& CurrentLauncher() {
    static TShellLauncher launcher = OpenWithDesktop;
    return launcher;
}

} // namespace

std::string DesktopFileType(const std::string& File) {
    const std::string answer = AskXdgMime({"query", "filetype", QString::fromStdString(File)});
    return answer.substr(0, answer.find(';'));
}

std::string DesktopDefaultFor(const std::string& MimeType) {
    return MimeType.empty() ? std::string() : AskXdgMime({"query", "default", QString::fromStdString(MimeType)});
}

// The program runs in a grandchild of its own session, so it outlives us and
// never becomes our zombie; the middle child watches it and reports how the
// start went through its own exit code, while we keep our windows painted.
int ShellStart(const std::string& Program, const std::string& Argument) {
    pid_t middle = fork();
    if (middle < 0) return SE_ERR_OOM;
    if (middle == 0) {
        setsid();
        pid_t launcher = fork();
        if (launcher < 0) _exit(127);
        if (launcher == 0) {
            int devNull = open("/dev/null", O_RDWR);
            if (devNull >= 0) {
                dup2(devNull, 0);
                dup2(devNull, 1);
                dup2(devNull, 2);
            }
            execlp(Program.c_str(), Program.c_str(), Argument.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int step = 0; step < LaunchWatchSteps; ++step) {
            int status = 0;
            if (waitpid(launcher, &status, WNOHANG) == launcher) _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 4);
            usleep(LaunchWatchStep);
        }
        _exit(0);
    }
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(middle, &status, WNOHANG);
        if (done == middle) break;
        if (done < 0 && errno != EINTR) return SE_ERR_OOM;
        if (CurrentIdle()) CurrentIdle()();
        usleep(LaunchWatchStep);
    }
    return ResultFromExitCode(WIFEXITED(status) ? WEXITSTATUS(status) : 4);
}

TShellIdle SetShellIdle(TShellIdle Idle) {
    TShellIdle previous = std::move(CurrentIdle());
    CurrentIdle() = std::move(Idle);
    return previous;
}

TShellLauncher SetShellLauncher(TShellLauncher Launcher) {
    TShellLauncher previous = CurrentLauncher();
    CurrentLauncher() = Launcher ? std::move(Launcher) : TShellLauncher(OpenWithDesktop);
    return previous;
}

int ShellExecute(const std::string& Operation, const std::string& File) {
    if (!Operation.empty() && !(Operation.size() == 4 && StartsWithNoCase(Operation, "open"))) return SE_ERR_NOASSOC;
    if (File.empty()) return SE_ERR_FNF;
    if (HasUrlScheme(File)) return CurrentLauncher()(File);
    if (StartsWithNoCase(File, "www.")) return CurrentLauncher()("http://" + File);

    std::error_code error;
    const fs::path path(File);
    if (!fs::exists(path, error)) {
        const fs::path folder = path.parent_path();
        return folder.empty() || fs::is_directory(folder, error) ? SE_ERR_FNF : SE_ERR_PNF;
    }
    return CurrentLauncher()(fs::absolute(path, error).string());
}

bool ShellDeleteTree(const std::string& Path) {
    if (Path.empty()) return false;
    std::error_code error;
    const fs::path path(Path);
    if (!fs::exists(fs::symlink_status(path, error))) return false;
    fs::remove_all(path, error);
    return !error && !fs::exists(fs::symlink_status(path, error));
}
