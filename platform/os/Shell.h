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
// and answers a ShellExecute result. The default answers SE_ERR_NOASSOC at
// once for a file whose type the desktop names no program for (xdg-mime),
// else runs xdg-open and watches it as ShellStart does.
using TShellLauncher = std::function<int(const std::string& Target)>;

// Starts Program (looked up on the PATH) with one argument, in a session of
// its own so that it outlives us, and watches it for a few seconds: an exit
// with status 0, or still running then (the program came up in the
// foreground), is success; any other exit, or no such program, is failure,
// with xdg-open's exit codes mapped to ShellExecute results.
int ShellStart(const std::string& Program, const std::string& Argument);

// Runs between the polls while a start is watched, so that the program's
// windows stay painted; the user interface sets it. None by default.
// Answers the previous one.
using TShellIdle = std::function<void()>;
TShellIdle SetShellIdle(TShellIdle Idle);

// The MIME type of a file as the desktop sees it, and the desktop entry
// (such as "libreoffice-writer.desktop") that opens a type; empty when
// xdg-mime is missing, fails or names none.
std::string DesktopFileType(const std::string& File);
std::string DesktopDefaultFor(const std::string& MimeType);

// Replaces the launcher (tests record what would be opened instead of starting
// programs); an empty launcher restores the default. Answers the previous one.
TShellLauncher SetShellLauncher(TShellLauncher Launcher);

// Deletes a file, or a folder with everything below it, silently. True when
// something was there and is gone now; false when Path is empty, does not
// exist or could not be removed entirely.
bool ShellDeleteTree(const std::string& Path);
