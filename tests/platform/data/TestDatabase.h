// A small world for the data tests: database files in a scratch folder,
// made by SQL outside the data layer, and connections to them by the
// connection string the program uses.
#pragma once

#include <memory>
#include <string>

#include "platform/data/ADODB.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"

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
