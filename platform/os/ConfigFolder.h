// The folder below which this user's settings (the registry files, the
// single-instance names) live. CORVANTA_HOME moves it, so tests and parallel
// runs each get a world of their own.
#pragma once

#include <string>

// $CORVANTA_HOME, else $XDG_CONFIG_HOME/corvanta, else ~/.config/corvanta;
// always ending in '/'. The folder is not created here.
std::string UserConfigFolder();
