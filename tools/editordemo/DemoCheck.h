// The demo's headless check: typing into the data-aware editors of record 1
// through the platform's real input path, one report line per step.
#pragma once

#include <string>

// Runs the steps on FileName (made when missing), printing "ok <step>" or
// "FAIL <step>: <what>" for each; 0 when every step passed.
int RunDemoCheck(const std::string& FileName);
