// The connection: opens the database file its connection string names,
// refuses files that are missing or not databases, runs statements and
// transactions, and attaches other database files under an alias.
#include <sys/stat.h>

#include <algorithm>

#include "platform/data/ADODB.h"
#include "platform/data/private/SqliteDatabase.h"
#include "platform/rtl/FileUtils.h"

namespace {

// Several connections and processes share one file; a writer waits this
// long for another before giving up.
constexpr int BusyTimeoutMs = 10000;

// The value of Key in a "Key=Value;Key=Value" string; values may be quoted.
std::string ConnectionStringValue(const std::string& Text, const std::string& Key) {
    size_t pos = 0;
    while (pos < Text.size()) {
        size_t equal = Text.find('=', pos);
        if (equal == std::string::npos) break;
        std::string name = Trim(Text.substr(pos, equal - pos));
        size_t p = equal + 1;
        while (p < Text.size() && Text[p] == ' ')
            ++p;
        std::string value;
        if (p < Text.size() && (Text[p] == '"' || Text[p] == '\'')) {
            char quote = Text[p++];
            while (p < Text.size()) {
                if (Text[p] == quote) {
                    if (p + 1 < Text.size() && Text[p + 1] == quote) {
                        value += quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                value += Text[p++];
            }
            size_t semicolon = Text.find(';', p);
            pos = semicolon == std::string::npos ? Text.size() : semicolon + 1;
        } else {
            size_t semicolon = Text.find(';', p);
            value = Trim(Text.substr(p, semicolon == std::string::npos ? std::string::npos : semicolon - p));
            pos = semicolon == std::string::npos ? Text.size() : semicolon + 1;
        }
        if (SameText(name, Key)) return value;
    }
    return std::string();
}

bool SameFile(const std::string& A, const std::string& B) {
    struct stat sa, sb;
    return stat(A.c_str(), &sa) == 0 && stat(B.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Opens FileName read-write (read-only for cmRead) without creating it and
// proves it is a database.
std::unique_ptr<TSqliteDatabase> OpenDatabaseFile(const std::string& FileName, bool ReadOnly) {
    if (FileName.empty()) throw EDatabaseError("No database file is named in the connection string");
    struct stat info;
    if (stat(FileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        throw EDatabaseError("Could not find file '" + FileName + "'.");
    // SQLite takes an empty file for an empty database; ours never are.
    if (info.st_size == 0) throw EDatabaseError("Unrecognized database format '" + FileName + "'.");
    auto database = std::make_unique<TSqliteDatabase>();
    database->FileName = FileName;
    int flags = (ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(FileName.c_str(), &database->Handle, flags, nullptr) != SQLITE_OK)
        throw EDatabaseError("Could not open file '" + FileName +
                             "': " + (database->Handle ? sqlite3_errmsg(database->Handle) : "out of memory"));
    sqlite3_busy_timeout(database->Handle, BusyTimeoutMs);
    sqlite3_extended_result_codes(database->Handle, 0);
    try {
        TSqliteStatement probe(*database, "select count(*) from sqlite_master");
        probe.Step();
    } catch (const EDatabaseError&) {
        throw EDatabaseError("Unrecognized database format '" + FileName + "'.");
    }
    return database;
}

} // namespace

std::string SQLQuotedStr(std::string_view S) {
    std::string result = "'";
    for (char c : S) {
        if (c == '\0') continue; // a literal cannot hold NUL; bind such values
        if (c == '\'') result += '\'';
        result += c;
    }
    return result + "'";
}

std::string SQLQuotedName(std::string_view S) {
    std::string result = "\"";
    for (char c : S) {
        if (c == '\0') continue;
        if (c == '"') result += '"';
        result += c;
    }
    return result + "\"";
}

TADOConnection::TADOConnection(TComponent* AOwner) : TComponent(AOwner) {}

TADOConnection::~TADOConnection() {
    Destroying();
    Close();
    for (TCustomADODataSet* dataSet : std::vector<TCustomADODataSet*>(FDataSets))
        dataSet->SetConnection(nullptr);
}

void TADOConnection::Loaded() {
    TComponent::Loaded();
    if (FStreamedConnected) SetConnected(true);
}

void TADOConnection::SetConnectionString(const std::string& Value) {
    if (Value == FConnectionString) return;
    Close();
    FConnectionString = Value;
}

std::string TADOConnection::DatabaseFileName() const {
    return ConnectionStringValue(FConnectionString, "Data Source");
}

void TADOConnection::SetMode(TConnectMode Value) {
    if (Value == FMode) return;
    Close();
    FMode = Value;
}

void TADOConnection::SetConnected(bool Value) {
    if (ComponentState().Contains(csLoading)) {
        FStreamedConnected = Value;
        return;
    }
    if (Value)
        Open();
    else
        Close();
}

void TADOConnection::Open() {
    if (FDatabase) return;
    FDatabase = OpenDatabaseFile(DatabaseFileName(), FMode == cmRead);
}

void TADOConnection::Close() {
    if (!FDatabase) return;
    for (TCustomADODataSet* dataSet : std::vector<TCustomADODataSet*>(FDataSets))
        if (ComponentState().Contains(csDestroying))
            dataSet->CloseForDestroy();
        else
            dataSet->Close();
    FDatabase.reset();
}

TSqliteDatabase& TADOConnection::Database() {
    Open();
    return *FDatabase;
}

Integer TADOConnection::Execute(const std::string& CommandText) {
    return Database().ExecuteAll(CommandText, nullptr);
}

bool TADOConnection::InTransaction() const {
    return FDatabase && sqlite3_get_autocommit(FDatabase->Handle) == 0;
}

Integer TADOConnection::BeginTrans() {
    if (InTransaction()) throw EDatabaseError("A transaction is already active on this connection");
    Database().ExecuteAll("BEGIN IMMEDIATE", nullptr);
    return 1;
}

void TADOConnection::CommitTrans() {
    if (!InTransaction()) throw EDatabaseError("No transaction is active on this connection");
    FDatabase->ExecuteAll("COMMIT", nullptr);
}

void TADOConnection::RollbackTrans() {
    if (!InTransaction()) throw EDatabaseError("No transaction is active on this connection");
    FDatabase->ExecuteAll("ROLLBACK", nullptr);
}

TTransactionGuard::TTransactionGuard(TADOConnection* Connection)
    : FConnection(Connection), FOwn(BeginUnlessHeld(Connection)), FRollback({this}) {}

bool TTransactionGuard::BeginUnlessHeld(TADOConnection* Connection) {
    if (Connection->InTransaction()) return false;
    Connection->BeginTrans();
    return true;
}

void TTransactionGuard::Commit() {
    if (FOwn) FConnection->CommitTrans();
    FCommitted = true;
}

void TTransactionGuard::TRollbackUnlessCommitted::operator()() const {
    // A commit that failed may have ended the transaction already.
    if (Guard->FOwn && !Guard->FCommitted && Guard->FConnection->InTransaction()) Guard->FConnection->RollbackTrans();
}

void TADOConnection::CheckNotInTransaction(const char* Operation) const {
    if (InTransaction())
        throw EDatabaseError(std::string("Cannot ") + Operation + " a database file inside a transaction");
}

void TADOConnection::Attach(const std::string& FileName, const std::string& Alias) {
    TSqliteDatabase& db = Database();
    CheckNotInTransaction("attach");
    struct stat info;
    // ATTACH would create a missing file; a missing file is an error here.
    if (stat(FileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        throw EDatabaseError("Could not find file '" + FileName + "'.");
    if (info.st_size == 0) throw EDatabaseError("Unrecognized database format '" + FileName + "'.");
    std::string source = FileName;
    std::string copy;
    if (SameFile(FileName, db.FileName)) {
        // The file is already open as "main"; a second handle on it inside
        // one connection would lock against the first, so attach a snapshot.
        copy = CreateTempFile({}, "attach", ".mdb");
        sqlite3* target = nullptr;
        bool done = false;
        if (sqlite3_open_v2(copy.c_str(), &target, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_backup* backup = sqlite3_backup_init(target, "main", db.Handle, "main");
            if (backup) {
                done = sqlite3_backup_step(backup, -1) == SQLITE_DONE;
                sqlite3_backup_finish(backup);
            }
        }
        sqlite3_close_v2(target);
        if (!done) {
            DeleteFile(copy);
            throw EDatabaseError("Could not copy '" + FileName + "' for attaching");
        }
        source = copy;
    }
    try {
        TSqliteStatement statement(db, "ATTACH DATABASE ? AS " + SQLQuotedName(Alias));
        statement.Bind(1, Variant(source));
        statement.Step();
    } catch (...) {
        if (!copy.empty()) DeleteFile(copy);
        throw;
    }
    try {
        TSqliteStatement probe(db, "select count(*) from " + SQLQuotedName(Alias) + ".sqlite_master");
        probe.Step();
    } catch (const EDatabaseError&) {
        db.ExecuteAll("DETACH DATABASE " + SQLQuotedName(Alias), nullptr);
        if (!copy.empty()) DeleteFile(copy);
        throw EDatabaseError("Unrecognized database format '" + FileName + "'.");
    }
    if (!copy.empty()) db.AttachedCopies[Alias] = copy;
}

void TADOConnection::Detach(const std::string& Alias) {
    TSqliteDatabase& db = Database();
    CheckNotInTransaction("detach");
    db.ExecuteAll("DETACH DATABASE " + SQLQuotedName(Alias), nullptr);
    auto copy = db.AttachedCopies.find(Alias);
    if (copy != db.AttachedCopies.end()) {
        DeleteFile(copy->second);
        db.AttachedCopies.erase(copy);
    }
}

// ---- TADOCommand ------------------------------------------------------------

TADOCommand::TADOCommand(TComponent* AOwner) : TComponent(AOwner) {}

TADOCommand::~TADOCommand() {
    SetConnection(nullptr);
}

void TADOCommand::SetConnection(TADOConnection* Value) {
    if (Value == FConnection) return;
    if (FConnection) FConnection->RemoveFreeNotification(this);
    FConnection = Value;
    if (Value) Value->FreeNotification(this);
}

void TADOCommand::SetCommandText(const std::string& Value) {
    FCommandText = Value;
    FParameters.ParseSQL(Value);
}

Integer TADOCommand::Execute() {
    if (!FConnection) throw EDatabaseError("Missing Connection or ConnectionString");
    return FConnection->Database().ExecuteAll(FCommandText, &FParameters);
}

void TADOCommand::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FConnection) FConnection = nullptr;
}
