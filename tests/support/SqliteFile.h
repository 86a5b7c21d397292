// SQL run on an SQLite file outside the data layer, to build a test's
// database and to judge what the code under test wrote.
#pragma once

#include <string>

// Runs Sql on FileName (created when missing) in one transaction. Raises
// std::runtime_error with SQLite's message ("database is locked" when
// another connection holds the write lock).
void RunSql(const std::string& FileName, const std::string& Sql);

// The first column of the first row of Sql, as text: "<null>" for NULL,
// "<none>" when there is no row or Sql fails.
std::string QueryText(const std::string& FileName, const std::string& Sql);
