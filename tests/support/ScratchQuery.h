// A live dataset for the tests that need one: a scratch SQLite file made by
// SQL outside the data layer, reached by the connection string the program
// uses, and a query on it opened behind a data source.
#pragma once

#include "platform/data/ADODB.h"
#include "platform/data/DB.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"

#include <memory>
#include <string>

inline std::string TestConnectionString(const std::string& FileName) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + FileName +
           ";Mode=Share Deny None;Jet OLEDB:Registry Path=\"\";Jet OLEDB:Engine Type=5;Persist Security Info=false;";
}

// A connection owned by the test, opened on FileName.
inline std::unique_ptr<TADOConnection> Connect(const std::string& FileName) {
    auto connection = std::make_unique<TADOConnection>(nullptr);
    connection->SetConnectionString(TestConnectionString(FileName));
    connection->SetLoginPrompt(false);
    connection->Open();
    return connection;
}

// A query owned by the test, opened on Sql.
inline std::unique_ptr<TADOQuery> OpenQuery(TADOConnection* Connection, const std::string& Sql) {
    auto query = std::make_unique<TADOQuery>(nullptr);
    query->SetConnection(Connection);
    query->SQL()->SetText(Sql);
    query->Open();
    return query;
}

class TScratchQuery {
public:
    // Runs SetupSql on the fresh file FileName, then opens Select behind Source.
    TScratchQuery(const std::string& FileName, const std::string& SetupSql, const std::string& Select)
        : File(Folder / FileName) {
        RunSql(File, SetupSql);
        Connection = Connect(File);
        Query = OpenQuery(Connection.get(), Select);
        Source->SetDataSet(Query.get());
    }

    // The current record's "ID".
    int CurrentId() const { return Query->FieldByName("ID")->AsInteger(); }

    TScratchFolder Folder;
    std::string File;
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Query;
    std::unique_ptr<TDataSource> Source = std::make_unique<TDataSource>(nullptr);
};
