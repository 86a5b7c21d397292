// The environment test behind GraphicalDisplayNamed; it touches no windowing
// library, so it is safe to ask when none could start.
#include "platform/ui/Display.h"

#include <cstdlib>

namespace {
bool VariableSet(const char* Name) {
    const char* value = std::getenv(Name);
    return value && *value;
}
} // namespace

bool GraphicalDisplayNamed() {
    return VariableSet("DISPLAY") || VariableSet("WAYLAND_DISPLAY") || VariableSet("QT_QPA_PLATFORM");
}
