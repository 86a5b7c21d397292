// Row copies between two database files on one connection. Columns are
// matched by name, so a template that adds, drops or reorders columns never
// shifts a value into the wrong column.
#pragma once

#include "platform/data/ADODB.h"

#include <map>
#include <string>

// "insert into Target.Table (a,b) select a,b from Source.Table" over the
// columns both tables have, followed by " where " + Where when Where is not
// empty. Values names columns (any letter case) that take an SQL expression,
// such as a parameter ":NewKey", in place of the source's value; they are
// written whenever the target has them. Schemas are "main" or an attached
// alias. Raises EDatabaseError when either table is missing or no column is
// written.
std::string CopyRowsByNameSQL(TADOConnection* Connection, const std::string& Table, const std::string& Target,
                              const std::string& Source, const std::string& Where = {},
                              const std::map<std::string, std::string>& Values = {});

// Attaches a database file for its lifetime; the detach is skipped inside a
// transaction (the connection refuses it there) and never throws.
class TAttachedDatabase {
public:
    TAttachedDatabase(TADOConnection* Connection, const std::string& FileName, const std::string& Alias);
    ~TAttachedDatabase();
    TAttachedDatabase(const TAttachedDatabase&) = delete;
    TAttachedDatabase& operator=(const TAttachedDatabase&) = delete;
    // Detaches now; raises what the connection raises.
    void Detach();

private:
    TADOConnection* FConnection;
    std::string FAlias;
    bool FAttached = true;
};
