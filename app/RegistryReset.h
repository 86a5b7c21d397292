// The start-up's registry step: the program's own key under
// HKEY_LOCAL_MACHINE is emptied once, its default value "1" recording that it
// has been done.
#pragma once

inline constexpr const char* ProgramRegistryKey = "\\software\\Corvanta2.0";

// Opens the key without creating it. When it exists and its default value is
// not exactly "1", deletes every named value (in the order they are listed)
// and writes "1" as the default value. A missing key is left missing; a key
// that cannot be read or written is left as it is, silently.
void ResetProgramRegistryKey();
