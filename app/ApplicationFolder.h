// Where the program's own files lie: the database templates, the shared
// database, worddot/, user/ and the document folders.
#pragma once

#include <string>

// The folder of the executable, ending in '/'. CORVANTA_PROGRAM_DIR, when set,
// names another one: the tests run against the program folder the build laid
// out, or a scratch copy of it.
std::string ApplicationFolder();
