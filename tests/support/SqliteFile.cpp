// Each call opens its own connection and closes it again, so a test sees the
// file as another program would. No busy timeout: a held lock fails at once.
#include "tests/support/SqliteFile.h"

#include <sqlite3.h>

#include <stdexcept>

void RunSql(const std::string& FileName, const std::string& Sql) {
    sqlite3* db = nullptr;
    sqlite3_open(FileName.c_str(), &db);
    char* error = nullptr;
    const int result = sqlite3_exec(db, ("BEGIN;" + Sql + ";COMMIT;").c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    sqlite3_close(db);
    if (result != SQLITE_OK) throw std::runtime_error(message);
}

std::string QueryText(const std::string& FileName, const std::string& Sql) {
    sqlite3* db = nullptr;
    sqlite3_open(FileName.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    std::string result = "<none>";
    if (sqlite3_prepare_v2(db, Sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        result = text ? reinterpret_cast<const char*>(text) : "<null>";
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}
