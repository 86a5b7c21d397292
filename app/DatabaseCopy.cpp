// Column lists come from SQLite's table_info of each schema.
#include "app/DatabaseCopy.h"

#include "platform/rtl/SysUtils.h"

#include <set>
#include <vector>

namespace {

std::vector<std::string> TableColumns(TADOConnection* Connection, const std::string& Schema, const std::string& Table) {
    TADOQuery query(nullptr);
    query.SetConnection(Connection);
    query.SQL()->SetText("select name from pragma_table_info(:TableName, :SchemaName)");
    query.Parameters()->ParamByName("TableName")->SetValue(Table);
    query.Parameters()->ParamByName("SchemaName")->SetValue(Schema);
    query.Open();
    std::vector<std::string> columns;
    for (; !query.Eof(); query.Next())
        columns.push_back(query.Fields()[0]->AsString());
    if (columns.empty()) throw EDatabaseError("no such table: " + Schema + "." + Table);
    return columns;
}

std::string Lower(std::string S) {
    for (char& c : S)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return S;
}

} // namespace

std::string CopyRowsByNameSQL(TADOConnection* Connection, const std::string& Table, const std::string& Target,
                              const std::string& Source, const std::string& Where,
                              const std::map<std::string, std::string>& Values) {
    std::set<std::string> sourceColumns;
    for (const std::string& column : TableColumns(Connection, Source, Table))
        sourceColumns.insert(Lower(column));
    std::map<std::string, std::string> values;
    for (const auto& [column, expression] : Values)
        values[Lower(column)] = expression;
    std::string columns, selected;
    for (const std::string& column : TableColumns(Connection, Target, Table)) {
        const auto value = values.find(Lower(column));
        if (value == values.end() && !sourceColumns.count(Lower(column))) continue;
        if (!columns.empty()) {
            columns += ",";
            selected += ",";
        }
        columns += SQLQuotedName(column);
        selected += value == values.end() ? SQLQuotedName(column) : value->second;
    }
    if (columns.empty()) throw EDatabaseError("no common column in " + Table);
    const std::string table = SQLQuotedName(Table);
    std::string sql = "insert into " + SQLQuotedName(Target) + "." + table + " (" + columns + ") select " + selected +
                      " from " + SQLQuotedName(Source) + "." + table;
    if (!Where.empty()) sql += " where " + Where;
    return sql;
}

TAttachedDatabase::TAttachedDatabase(TADOConnection* Connection, const std::string& FileName, const std::string& Alias)
    : FConnection(Connection), FAlias(Alias) {
    FConnection->Attach(FileName, FAlias);
}

TAttachedDatabase::~TAttachedDatabase() {
    if (!FAttached || !FConnection->Connected() || FConnection->InTransaction()) return;
    try {
        FConnection->Detach(FAlias);
    } catch (...) {
        // The connection closes soon enough; the error that brought us here counts.
    }
}

void TAttachedDatabase::Detach() {
    if (!FAttached) return;
    FAttached = false;
    FConnection->Detach(FAlias);
}
