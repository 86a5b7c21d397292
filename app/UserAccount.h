// A registered user: the folder below the program folder named by the user's
// code, its database, and the password check every window shares. Codes and
// passwords are compared trimmed.
#pragma once

#include <string>

class TADOConnection;

// The folder that holds one folder per registered user, ending in '/'.
std::string UsersFolder();
// The user's own database file.
std::string UserDatabaseFile(const std::string& UserCode);
// True when Code can name a folder below UsersFolder(): nothing that leads
// elsewhere or hides in a listing.
bool IsFolderName(const std::string& Code);
// True when the pass row of UserCode holds Password, both sides trimmed.
bool UserPasswordMatches(TADOConnection* Connection, const std::string& UserCode, const std::string& Password);
