// Connections, queries and commands over SQLite database files (each keeps
// its .mdb name). A connection string names the file in "Data Source"; the
// file must exist and be a database. Queries read their whole result into
// memory when opened and hold no statement open; a result of one table
// (select ... from T ...) is editable and writes each Post and Delete back at
// once through the table's primary key, or its rowid; other results are
// read-only.
//
// Storage convention: dates are text "yyyy-mm-dd hh:nn:ss" (".zzz" added
// when there are milliseconds), money REAL, Booleans 0/1. Declared column
// types choose the fields: INT/INTEGER/LONG/COUNTER -> TIntegerField,
// SMALLINT/TINYINT/BYTE -> TSmallintField, CHAR/VARCHAR/TEXT(n) -> TStringField
// of n (255 without a size), MEMO/LONGTEXT/CLOB -> TMemoField,
// REAL/FLOAT/DOUBLE/SINGLE -> TFloatField, MONEY/CURRENCY -> TBCDField with
// Currency, DECIMAL/NUMERIC(p,s) -> TBCDField, BIT/BOOLEAN/YESNO ->
// TBooleanField, DATE/TIME/DATETIME/TIMESTAMP -> TDateTimeField,
// BLOB/BINARY/OLEOBJECT -> TBlobField, IMAGE/PICTURE/GRAPHIC -> TGraphicField.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/DB.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"

struct TSqliteDatabase;
class TCustomADODataSet;

// The one quoting helper, for the rare literal that cannot be a bound
// parameter: 'it''s'. Identifiers (table names, aliases) use SQLQuotedName.
std::string SQLQuotedStr(std::string_view S);
std::string SQLQuotedName(std::string_view S);

enum TConnectMode {
    cmUnknown,
    cmRead,
    cmWrite,
    cmReadWrite,
    cmShareDenyRead,
    cmShareDenyWrite,
    cmShareExclusive,
    cmShareDenyNone
};

class TADOConnection : public TComponent {
public:
    explicit TADOConnection(TComponent* AOwner);
    ~TADOConnection() override;

    const std::string& ConnectionString() const { return FConnectionString; }
    void SetConnectionString(const std::string& Value);
    // The database file that "Data Source" names.
    std::string DatabaseFileName() const;
    bool LoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool Value) { FLoginPrompt = Value; }
    TConnectMode Mode() const { return FMode; }
    void SetMode(TConnectMode Value);

    bool Connected() const { return FDatabase != nullptr; }
    void SetConnected(bool Value);
    // Raises EDatabaseError when the file is missing or is not a database.
    void Open();
    // Closes the datasets open on this connection first.
    void Close();

    // Runs the statements of CommandText; returns the number of rows changed.
    Integer Execute(const std::string& CommandText);

    // BEGIN IMMEDIATE: the write lock is taken at once, so two connections
    // that read and then update inside transactions never interleave.
    Integer BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

    // Makes another database file reachable as Alias.Table. Refused inside a
    // transaction: attach before BeginTrans, detach after CommitTrans.
    // Attaching the connection's own file attaches a private copy of it.
    void Attach(const std::string& FileName, const std::string& Alias);
    void Detach(const std::string& Alias);

protected:
    void Loaded() override;

private:
    friend class TCustomADODataSet;
    friend class TADOCommand;
    TSqliteDatabase& Database();
    void CheckNotInTransaction(const char* Operation) const;

    std::string FConnectionString;
    TConnectMode FMode = cmUnknown;
    bool FLoginPrompt = true;
    bool FStreamedConnected = false;
    std::unique_ptr<TSqliteDatabase> FDatabase;
    std::vector<TCustomADODataSet*> FDataSets;
};

// Holds a transaction on a connection for its scope, or joins the one the
// caller already holds there (SQLite cannot nest them).
// Its own transaction is committed by Commit; left without Commit, by an
// exception or by an early return, it is rolled back, so half a change never
// stays written.
// A joined transaction is neither committed nor rolled back here: it stays the
// caller's to end.
// A rollback that fails while an exception passes is swallowed, as TScopeGuard
// does; otherwise its error propagates.
class TTransactionGuard {
public:
    explicit TTransactionGuard(TADOConnection* Connection);
    // Raises what CommitTrans raises; the guard then still rolls back.
    void Commit();

private:
    struct TRollbackUnlessCommitted {
        TTransactionGuard* Guard;
        void operator()() const;
    };
    // Begins one unless Connection holds one already; true when it began one.
    static bool BeginUnlessHeld(TADOConnection* Connection);

    TADOConnection* FConnection;
    bool FOwn;
    bool FCommitted = false;
    TScopeGuard<TRollbackUnlessCommitted> FRollback;
};

class TParameter : public TObject {
public:
    explicit TParameter(std::string Name) : FName(std::move(Name)) {}
    const std::string& Name() const { return FName; }
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& Value) { FValue = Value; }
    // ftBlob/ftGraphic bind the value's bytes as a blob; anything else by the value's type.
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value) { FDataType = Value; }

private:
    std::string FName;
    Variant FValue;
    TFieldType FDataType = ftUnknown;
};

// The parameters of a command, in order of first appearance: :name (bound by
// name, case-insensitive) and ? (unnamed, bound in order).
class TParameters {
public:
    Integer Count() const { return Integer(FItems.size()); }
    TParameter* Items(Integer Index) const;
    TParameter* operator[](Integer Index) const { return Items(Index); }
    TParameter* FindParam(const std::string& Name) const;
    // Raises EDatabaseError "Parameter '<name>' not found".
    TParameter* ParamByName(const std::string& Name) const;
    TParameter* AddParameter(const std::string& Name);
    void Clear() { FItems.clear(); }
    // Rebuilds the list from the parameters SQL names.
    void ParseSQL(const std::string& SQL);

private:
    std::vector<std::unique_ptr<TParameter>> FItems;
};

class TCustomADODataSet : public TDataSet {
public:
    explicit TCustomADODataSet(TComponent* AOwner);
    ~TCustomADODataSet() override;

    TADOConnection* Connection() const { return FConnection; }
    void SetConnection(TADOConnection* Value);
    TParameters* Parameters() { return &FParameters; }
    bool CanModify() const override { return FUpdatable; }
    // Runs the command again and goes to the first record.
    void Requery();

protected:
    virtual std::string CommandSQL() const = 0;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalPost(const TRecordBuffer* Old, TRecordBuffer& New) override;
    void InternalDelete(const TRecordBuffer& Record) override;
    void InternalRefresh() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TSqliteDatabase& Database();

private:
    struct TUpdateTarget;
    void LoadRecords(bool KeepIds);

    TADOConnection* FConnection = nullptr;
    TParameters FParameters;
    bool FUpdatable = false;
    bool FRequerying = false;
    std::string FOpenSQL; // the statement as run, with the rowid column when the key needs it
    std::unique_ptr<TUpdateTarget> FTarget;
};

class TADOQuery : public TCustomADODataSet {
public:
    explicit TADOQuery(TComponent* AOwner);
    ~TADOQuery() override;
    // Changing the text rebuilds Parameters.
    TStrings* SQL() { return &FSQL; }
    // Runs a statement that returns no rows; returns the rows changed.
    Integer ExecSQL();
    Integer RowsAffected() const { return FRowsAffected; }

protected:
    std::string CommandSQL() const override { return FSQL.Text(); }

private:
    TStringList FSQL;
    Integer FRowsAffected = -1;
};

class TADODataSet : public TCustomADODataSet {
public:
    explicit TADODataSet(TComponent* AOwner);
    ~TADODataSet() override;
    const std::string& CommandText() const { return FCommandText; }
    void SetCommandText(const std::string& Value);

protected:
    std::string CommandSQL() const override { return FCommandText; }

private:
    std::string FCommandText;
};

class TADOCommand : public TComponent {
public:
    explicit TADOCommand(TComponent* AOwner);
    ~TADOCommand() override;
    TADOConnection* Connection() const { return FConnection; }
    void SetConnection(TADOConnection* Value);
    const std::string& CommandText() const { return FCommandText; }
    void SetCommandText(const std::string& Value);
    TParameters* Parameters() { return &FParameters; }
    // Runs the statements; returns the rows changed.
    Integer Execute();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TADOConnection* FConnection = nullptr;
    std::string FCommandText;
    TParameters FParameters;
};
