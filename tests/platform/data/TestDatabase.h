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
