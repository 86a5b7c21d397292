// The program: without a display it says so and ends; a second copy tells the
// running one and ends before it makes any window; the first copy logs the
// user in and runs until the main window closes.
#include "app/Main.h"
#include "app/Startup.h"
#include "documents/DocumentWindow.h"
#include "documents/Request.h"

#include "platform/os/SingleInstance.h"
#include "platform/ui/Display.h"
#include "platform/ui/Forms.h"

#include <cstdio>

namespace {
// Said on the terminal, where a start without a display is seen.
const char* const NoDisplayMessage =
    "corvanta needs a graphical display, and the DISPLAY variable is not set.\n"
    "Start it from the desktop, or set DISPLAY to a running X server (for example DISPLAY=:0).\n"
    "corvanta 需要图形显示：环境变量 DISPLAY 未设置。\n";
} // namespace

int main() {
    // Checked first: the window library would abort with a core dump.
    if (!GraphicalDisplayNamed()) {
        std::fputs(NoDisplayMessage, stderr);
        return 1;
    }
    if (AnotherCopyRunning()) return 0;
    TSingleInstance instance(ProgramTitle);
    // Two copies started at the same moment: the one that lost the name ends
    // as a second copy would.
    if (!instance.Listen()) return 0;
    try {
        CreateProgramWindows();
        RegisterRequestWindow(frmMain);
        RegisterDocumentWindows(frmMain);
        if (!RunLogin()) {
            FreeProgramWindows();
            return 0;
        }
        Application->Run();
    } catch (const std::exception& E) {
        // A shared or user database that cannot be opened ends the start; the
        // user reads why instead of seeing the program vanish.
        Application->ShowException(E);
        return 1;
    }
    return 0;
}
