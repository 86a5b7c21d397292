// The program folder, overridable for tests.
#include "app/ApplicationFolder.h"

#include "platform/rtl/FileUtils.h"

#include <cstdlib>

std::string ApplicationFolder() {
    const char* overridden = std::getenv("CORVANTA_PROGRAM_DIR");
    if (overridden && *overridden) return IncludeTrailingPathDelimiter(overridden);
    return ProgramFolder();
}
