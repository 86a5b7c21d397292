// The demo's headless checks: typing into the data-aware editors of record 1
// through the platform's real input path, one report line per step.
#pragma once

#include <string>

// Runs the steps on FileName (made when missing), printing "ok <step>" or
// "FAIL <step>: <what>" for each; 0 when every step passed.
int RunDemoCheck(const std::string& FileName);

// Loads PictureFile into the strip's graphic editor through its Load command,
// stores it in PIC of row 1 of FileName's PICS table (made when missing) and
// reads it back through a blob editor of picture kind, printing
// "picture=<w>x<h>"; 0 when every step passed.
int RunPictureCheck(const std::string& FileName, const std::string& PictureFile);
