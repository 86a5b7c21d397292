// A scratch settings folder that CORVANTA_HOME points at for one test, so
// the registry and the instance names of a test meet nobody else's.
#pragma once

#include "tests/support/ScopedEnvironmentVariable.h"
#include "tests/support/ScratchFolder.h"

class ScratchHome {
    TScratchFolder FFolder;
    TScopedEnvironmentVariable FHome{"CORVANTA_HOME", FFolder.Path()};
};
