// The start-up sequence's steps, in the order main runs them: the probe for a
// running copy, the windows and data module that live for the whole process,
// the login, and on success the main window's user session.
#pragma once

#include <cstdint>
#include <string>

// The application title and the name a running copy answers to.
inline constexpr const char* ProgramTitle = "Corvanta2.0";
// Posted to a running copy by a second one; nothing reacts to it.
inline constexpr uint32_t AnotherCopyMessage = 0x1400;

// Posts AnotherCopyMessage to a running copy. True when one took it: this
// copy must end before it makes any window.
bool AnotherCopyRunning();

// Sets the title and creates frmMain (the main form), frmMessage,
// frmProgress and DM, in that order. DM connects the shared database and
// raises when it cannot.
void CreateProgramWindows();

// Creates the login window, resets the program's registry key and shows the
// login modally. On "OK" the user session starts; the login window is freed
// either way. True when the program goes on to its message loop.
bool RunLogin();

// Opens the main window's user connection on ConnectionString (raises when
// it cannot) and shows the user and today's date in the status bar.
void StartUserSession(const std::string& ConnectionString, const std::string& UserCode);

// Frees frmMessage, frmProgress, frmMain and DM, in that order, after a
// login that did not succeed.
void FreeProgramWindows();
