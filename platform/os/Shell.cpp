// Shell services on Linux: the desktop's xdg-open stands in for file
// associations, std::filesystem for the shell's silent delete.
#include "platform/os/Shell.h"

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

// A program that comes up in the foreground (a plain browser, say) keeps
// xdg-open running; after this long we take it as started.
constexpr int LaunchWaitSteps = 200;
constexpr useconds_t LaunchWaitStep = 10000;

// xdg-open runs in a grandchild of its own session, so the program it starts
// outlives us and never becomes our zombie; the middle child reports how the
// launch went through its exit code.
int RunXdgOpen(const std::string& target) {
    const char* argument = target.c_str();
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
            execlp("xdg-open", "xdg-open", argument, static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int step = 0; step < LaunchWaitSteps; ++step) {
            int status = 0;
            if (waitpid(launcher, &status, WNOHANG) == launcher) _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 4);
            usleep(LaunchWaitStep);
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(middle, &status, 0) < 0) {
        if (errno != EINTR) return SE_ERR_OOM;
    }
    return ResultFromExitCode(WIFEXITED(status) ? WEXITSTATUS(status) : 4);
}

TShellLauncher& CurrentLauncher() {
    static TShellLauncher launcher = RunXdgOpen;
    return launcher;
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

} // namespace

TShellLauncher SetShellLauncher(TShellLauncher Launcher) {
    TShellLauncher previous = CurrentLauncher();
    CurrentLauncher() = Launcher ? std::move(Launcher) : TShellLauncher(RunXdgOpen);
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
