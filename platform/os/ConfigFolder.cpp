// Where the user's settings live.
#include "platform/os/ConfigFolder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

} // namespace

std::string UserConfigFolder() {
    if (auto home = EnvironmentValue("CORVANTA_HOME"); !home.empty()) return WithSlash(home);
    if (auto config = EnvironmentValue("XDG_CONFIG_HOME"); !config.empty()) return WithSlash(config) + "corvanta/";
    std::string userHome = EnvironmentValue("HOME");
    if (userHome.empty()) {
        // No HOME (started by a service manager, say): ask the password database.
        if (const passwd* entry = getpwuid(getuid())) userHome = entry->pw_dir;
    }
    return WithSlash(userHome) + ".config/corvanta/";
}
