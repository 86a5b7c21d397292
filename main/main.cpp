// The program: a second copy tells the running one and ends before it makes
// any window; the first copy logs the user in and runs until the main window
// closes.
#include "app/Startup.h"

#include "platform/os/SingleInstance.h"
#include "platform/ui/Forms.h"

int main() {
    if (AnotherCopyRunning()) return 0;
    TSingleInstance instance(ProgramTitle);
    // Two copies started at the same moment: the one that lost the name ends
    // as a second copy would.
    if (!instance.Listen()) return 0;
    try {
        CreateProgramWindows();
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
