// Rows from outside: a table of a database file attached to the receiving
// connection, checked whole against the receiving table of the same name
// before a single row is copied, so that only rows of the form this program
// itself writes come in. Every read is bounded: views and computed columns
// are refused before anything is read, rows are counted up to a limit, and
// a text is read only once its length is known to be within its column's.
#pragma once

#include "app/DatabaseCopy.h"
#include "app/ImportStaging.h"
#include "platform/data/ADODB.h"

#include <memory>
#include <string>

inline constexpr const char* WrongStructureText = "导入项目的数据库结构不正确,请更换项目文件";
inline constexpr const char* TooManyRowsText = "导入项目的记录过多，无法导入";
// A key (an id) missing, twice, or not of the form this program gives it.
inline constexpr const char* WrongKeyText = "导入项目的编号不正确，请更换项目文件";
// Names the table and column, as "导入项目中 T 表的 C 字段不正确，请更换项目文件".
std::string WrongValueText(const std::string& Table, const std::string& Column);

// Rows per table that a real package holds, and the length of a memo.
inline constexpr int MaxImportedRows = 100000;
inline constexpr int MaxMemoBytes = 65535;

// Attaches a database file from outside to Connection as Alias, for its
// lifetime; one that is no database file, or that the engine cannot attach,
// is refused with UnreadableText.
std::unique_ptr<TAttachedDatabase> AttachImportedFile(TADOConnection* Connection, const std::string& FileName,
                                                      const std::string& Alias, const std::string& UnreadableText);

// Checks Alias.Table against Receiving.Table of Connection (the receiving
// database, or Alias itself for a file that brings its own layout): a plain
// table (no view, no virtual table, no computed column, no trigger) with
// every column the receiving table has, at most MaxImportedRows rows, and in
// each of those columns only values of its declared type: integers of 32
// bits, numbers within a decimal's digits, dates as the data layer stores
// them, texts (numbers pass as texts) within the declared length in GBK
// bytes, memos within MaxMemoBytes. Returns the number of rows. Raises
// EImportRefused: WrongStructureText for the table or its columns (and when
// the file cannot be read at all), TooManyRowsText, or WrongValueText naming
// the first column that fails.
int CheckImportedTable(TADOConnection* Connection, const std::string& Alias, const std::string& Table,
                       const std::string& Receiving = "main");
