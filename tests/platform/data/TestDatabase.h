// A small world for the data tests: a temporary folder with database files
// made through the SQLite C API, and connections to them by the connection
// string the program uses.
#pragma once

#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/data/ADODB.h"

class TTestFolder {
public:
    TTestFolder() {
        std::string Pattern = (std::filesystem::temp_directory_path() / "datatest-XXXXXX").string();
        if (!mkdtemp(Pattern.data())) throw std::runtime_error("mkdtemp failed");
        FPath = Pattern;
    }
    ~TTestFolder() { std::filesystem::remove_all(FPath); }
    std::string File(const std::string& Name) const { return (FPath / Name).string(); }

private:
    std::filesystem::path FPath;
};

// Runs Sql on FileName (created when missing) outside the data layer, in
// one transaction.
inline void RunSql(const std::string& FileName, const std::string& Sql) {
    sqlite3* Db = nullptr;
    sqlite3_open(FileName.c_str(), &Db);
    char* Error = nullptr;
    int Result = sqlite3_exec(Db, ("BEGIN;" + Sql + ";COMMIT;").c_str(), nullptr, nullptr, &Error);
    std::string Message = Error ? Error : "";
    sqlite3_free(Error);
    sqlite3_close(Db);
    if (Result != SQLITE_OK) throw std::runtime_error(Message);
}

// The first column of the first row of Sql, as text ("<null>" for NULL).
inline std::string QueryText(const std::string& FileName, const std::string& Sql) {
    sqlite3* Db = nullptr;
    sqlite3_open(FileName.c_str(), &Db);
    sqlite3_stmt* Statement = nullptr;
    std::string Result = "<none>";
    if (sqlite3_prepare_v2(Db, Sql.c_str(), -1, &Statement, nullptr) == SQLITE_OK &&
        sqlite3_step(Statement) == SQLITE_ROW) {
        const unsigned char* Text = sqlite3_column_text(Statement, 0);
        Result = Text ? reinterpret_cast<const char*>(Text) : "<null>";
    }
    sqlite3_finalize(Statement);
    sqlite3_close(Db);
    return Result;
}

inline std::string TestConnectionString(const std::string& FileName) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + FileName +
           ";Mode=Share Deny None;Jet OLEDB:Registry Path=\"\";Jet OLEDB:Engine Type=5;Persist Security Info=false;";
}

// A connection owned by the test, opened on FileName.
inline std::unique_ptr<TADOConnection> Connect(const std::string& FileName) {
    auto Connection = std::make_unique<TADOConnection>(nullptr);
    Connection->SetConnectionString(TestConnectionString(FileName));
    Connection->SetLoginPrompt(false);
    Connection->Open();
    return Connection;
}

// A query owned by the test, opened on Sql.
inline std::unique_ptr<TADOQuery> OpenQuery(TADOConnection* Connection, const std::string& Sql) {
    auto Query = std::make_unique<TADOQuery>(nullptr);
    Query->SetConnection(Connection);
    Query->SQL()->SetText(Sql);
    Query->Open();
    return Query;
}
