// The program folder the build laid out (templates included): from
// CORVANTA_PROGRAM_DIR when the test runner sets it, else the folder this
// test program was configured with, so the binary also runs on its own.
#pragma once

#include <cstdlib>
#include <string>

inline std::string BuiltProgramFolder() {
    const char* dir = std::getenv("CORVANTA_PROGRAM_DIR");
    return std::string(dir && *dir ? dir : CORVANTA_BUILT_PROGRAM_DIR) + "/";
}
