// The shell services the program leans on: opening a file or a web or mail
// address with the program associated with it, and deleting a file or a whole
// folder tree without asking. Results keep the Win32 shell's numbering, so a
// caller's table of result texts reads the same.
#pragma once

#include <functional>
#include <string>

// ShellExecute results: above 32 is success, the rest name the failure.
constexpr int SE_ERR_OOM = 0; // out of memory
constexpr int SE_ERR_FNF = 2; // file not found
constexpr int SE_ERR_PNF = 3; // path not found
constexpr int SE_ERR_BAD_FORMAT = 11;
constexpr int SE_ERR_NOASSOC = 31; // no program is associated with it
constexpr int SE_SUCCESS = 42;     // any value above 32 means success

// Opens File with the verb Operation ("open", in any case; other verbs have no
// association here). File is a path, or an address such as "http://...",
// "mailto:..." or "www...". Files are checked first: a missing file answers
// SE_ERR_FNF, a missing folder on its path SE_ERR_PNF. Whatever passes is
// handed to the launcher.
int ShellExecute(const std::string& Operation, const std::string& File);

// Starts the associated program for Target (an absolute path or an address)
// and answers a ShellExecute result. The default runs xdg-open.
using TShellLauncher = std::function<int(const std::string& Target)>;

// Replaces the launcher (tests record what would be opened instead of starting
// programs); an empty launcher restores the default. Answers the previous one.
TShellLauncher SetShellLauncher(TShellLauncher Launcher);

// Deletes a file, or a folder with everything below it, silently. True when
// something was there and is gone now; false when Path is empty, does not
// exist or could not be removed entirely.
bool ShellDeleteTree(const std::string& Path);
