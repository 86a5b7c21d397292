// The program folder the build laid out (templates included), as the test
// program was configured with it; tests that move CORVANTA_PROGRAM_DIR in the
// environment do not move this.
#pragma once

#include <string>

inline std::string BuiltProgramFolder() { return std::string(CORVANTA_PROGRAM_DIR) + "/"; }
