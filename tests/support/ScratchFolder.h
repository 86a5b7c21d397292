// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the test is done.
#pragma once

#include <string>

class TScratchFolder {
public:
    // Raises std::runtime_error when no folder can be made.
    TScratchFolder();
    // Also when a test left the folder read-only.
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    // The folder, ending with '/'.
    const std::string& Path() const { return FPath; }
    // Name inside the folder; Name may hold sub-folders ("src/a.txt").
    std::string operator/(const std::string& Name) const { return FPath + Name; }

private:
    std::string FPath;
};
