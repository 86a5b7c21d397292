// The SQLite side of the data layer, for platform/data's .cpp files only:
// an owning connection and statement, parameter binding, and the storage
// convention of values (dates as "yyyy-mm-dd hh:nn:ss[.zzz]" text, money as
// REAL, Booleans as 0/1, blobs as BLOB).
#pragma once

#include <sqlite3.h>

#include <map>
#include <string>
#include <string_view>

#include "platform/data/DB.h"

class TParameters;

struct TSqliteDatabase {
    sqlite3* Handle = nullptr;
    std::string FileName;
    // Attached aliases that name a private copy of the connection's own file.
    std::map<std::string, std::string> AttachedCopies;

    ~TSqliteDatabase();
    [[noreturn]] void RaiseError() const;
    void Check(int Result) const {
        if (Result != SQLITE_OK && Result != SQLITE_ROW && Result != SQLITE_DONE) RaiseError();
    }
    // Runs every statement of Sql (no result rows); returns the rows changed.
    Integer ExecuteAll(const std::string& Sql, const TParameters* Parameters);
};

class TSqliteStatement {
public:
    TSqliteStatement() = default;
    // Prepares the first statement of Sql; Tail receives where the next starts.
    TSqliteStatement(const TSqliteDatabase& Database, const std::string& Sql, size_t* Tail = nullptr);
    ~TSqliteStatement();
    TSqliteStatement(TSqliteStatement&& Other) noexcept;
    TSqliteStatement& operator=(TSqliteStatement&& Other) noexcept;
    TSqliteStatement(const TSqliteStatement&) = delete;
    TSqliteStatement& operator=(const TSqliteStatement&) = delete;

    sqlite3_stmt* Handle() const { return FHandle; }
    bool Empty() const { return FHandle == nullptr; }
    // True while a row is available.
    bool Step();
    void Bind(int Index, const Variant& Value, TFieldType DataType = ftUnknown);
    // Binds :name parameters by name and ? parameters in order.
    void BindParameters(const TParameters* Parameters, size_t& NextPositional);

private:
    const TSqliteDatabase* FDatabase = nullptr;
    sqlite3_stmt* FHandle = nullptr;
};

std::string DateTimeToStorage(TDateTime Value);
// Reads the storage text of a date; false when the text is not one.
bool StorageToDateTime(const char* Text, TDateTime& Value);
// The text of column Column of the current row, valid until the next step.
std::string_view ColumnText(sqlite3_stmt* Statement, int Column);
// The value of column Column of the current row, as the field type reads it.
Variant ColumnValue(sqlite3_stmt* Statement, int Column, TFieldType DataType);
// The field definition a declared column type gives ("VARCHAR(50)" is a
// string of 50, "MONEY" a currency BCD, "INTEGER" an integer, ...).
TFieldDef FieldDefFromDeclaredType(const std::string& Name, const std::string& DeclaredType);
