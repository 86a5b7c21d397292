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
    size_t Pos = 0;
    while (Pos < Text.size()) {
        size_t Equal = Text.find('=', Pos);
        if (Equal == std::string::npos) break;
        std::string Name = Trim(Text.substr(Pos, Equal - Pos));
        size_t P = Equal + 1;
        while (P < Text.size() && Text[P] == ' ')
            ++P;
        std::string Value;
        if (P < Text.size() && (Text[P] == '"' || Text[P] == '\'')) {
            char Quote = Text[P++];
            while (P < Text.size()) {
                if (Text[P] == Quote) {
                    if (P + 1 < Text.size() && Text[P + 1] == Quote) {
                        Value += Quote;
                        P += 2;
                        continue;
                    }
                    ++P;
                    break;
                }
                Value += Text[P++];
            }
            size_t Semicolon = Text.find(';', P);
            Pos = Semicolon == std::string::npos ? Text.size() : Semicolon + 1;
        } else {
            size_t Semicolon = Text.find(';', P);
            Value = Trim(Text.substr(P, Semicolon == std::string::npos ? std::string::npos : Semicolon - P));
            Pos = Semicolon == std::string::npos ? Text.size() : Semicolon + 1;
        }
        if (SameText(Name, Key)) return Value;
    }
    return std::string();
}

bool SameFile(const std::string& A, const std::string& B) {
    struct stat SA, SB;
    return stat(A.c_str(), &SA) == 0 && stat(B.c_str(), &SB) == 0 && SA.st_dev == SB.st_dev && SA.st_ino == SB.st_ino;
}

// Opens FileName read-write (read-only for cmRead) without creating it and
// proves it is a database.
std::unique_ptr<TSqliteDatabase> OpenDatabaseFile(const std::string& FileName, bool ReadOnly) {
    if (FileName.empty()) throw EDatabaseError("No database file is named in the connection string");
    struct stat Info;
    if (stat(FileName.c_str(), &Info) != 0 || !S_ISREG(Info.st_mode))
        throw EDatabaseError("Could not find file '" + FileName + "'.");
    // SQLite takes an empty file for an empty database; ours never are.
    if (Info.st_size == 0) throw EDatabaseError("Unrecognized database format '" + FileName + "'.");
    auto Database = std::make_unique<TSqliteDatabase>();
    Database->FileName = FileName;
    int Flags = (ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(FileName.c_str(), &Database->Handle, Flags, nullptr) != SQLITE_OK)
        throw EDatabaseError("Could not open file '" + FileName +
                             "': " + (Database->Handle ? sqlite3_errmsg(Database->Handle) : "out of memory"));
    sqlite3_busy_timeout(Database->Handle, BusyTimeoutMs);
    sqlite3_extended_result_codes(Database->Handle, 0);
    try {
        TSqliteStatement Probe(*Database, "select count(*) from sqlite_master");
        Probe.Step();
    } catch (const EDatabaseError&) {
        throw EDatabaseError("Unrecognized database format '" + FileName + "'.");
    }
    return Database;
}

} // namespace

std::string SQLQuotedStr(std::string_view S) {
    std::string Result = "'";
    for (char C : S) {
        if (C == '\0') continue; // a literal cannot hold NUL; bind such values
        if (C == '\'') Result += '\'';
        Result += C;
    }
    return Result + "'";
}

std::string SQLQuotedName(std::string_view S) {
    std::string Result = "\"";
    for (char C : S) {
        if (C == '\0') continue;
        if (C == '"') Result += '"';
        Result += C;
    }
    return Result + "\"";
}

TADOConnection::TADOConnection(TComponent* AOwner) : TComponent(AOwner) {}

TADOConnection::~TADOConnection() {
    Destroying();
    Close();
    for (TCustomADODataSet* DataSet : std::vector<TCustomADODataSet*>(FDataSets))
        DataSet->SetConnection(nullptr);
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
    for (TCustomADODataSet* DataSet : std::vector<TCustomADODataSet*>(FDataSets))
        if (ComponentState().Contains(csDestroying))
            DataSet->CloseForDestroy();
        else
            DataSet->Close();
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
    TSqliteDatabase& Db = Database();
    CheckNotInTransaction("attach");
    struct stat Info;
    // ATTACH would create a missing file; a missing file is an error here.
    if (stat(FileName.c_str(), &Info) != 0 || !S_ISREG(Info.st_mode))
        throw EDatabaseError("Could not find file '" + FileName + "'.");
    if (Info.st_size == 0) throw EDatabaseError("Unrecognized database format '" + FileName + "'.");
    std::string Source = FileName;
    std::string Copy;
    if (SameFile(FileName, Db.FileName)) {
        // The file is already open as "main"; a second handle on it inside
        // one connection would lock against the first, so attach a snapshot.
        Copy = CreateTempFile({}, "attach", ".mdb");
        sqlite3* Target = nullptr;
        bool Done = false;
        if (sqlite3_open_v2(Copy.c_str(), &Target, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_backup* Backup = sqlite3_backup_init(Target, "main", Db.Handle, "main");
            if (Backup) {
                Done = sqlite3_backup_step(Backup, -1) == SQLITE_DONE;
                sqlite3_backup_finish(Backup);
            }
        }
        sqlite3_close_v2(Target);
        if (!Done) {
            DeleteFile(Copy);
            throw EDatabaseError("Could not copy '" + FileName + "' for attaching");
        }
        Source = Copy;
    }
    try {
        TSqliteStatement Statement(Db, "ATTACH DATABASE ? AS " + SQLQuotedName(Alias));
        Statement.Bind(1, Variant(Source));
        Statement.Step();
    } catch (...) {
        if (!Copy.empty()) DeleteFile(Copy);
        throw;
    }
    try {
        TSqliteStatement Probe(Db, "select count(*) from " + SQLQuotedName(Alias) + ".sqlite_master");
        Probe.Step();
    } catch (const EDatabaseError&) {
        Db.ExecuteAll("DETACH DATABASE " + SQLQuotedName(Alias), nullptr);
        if (!Copy.empty()) DeleteFile(Copy);
        throw EDatabaseError("Unrecognized database format '" + FileName + "'.");
    }
    if (!Copy.empty()) Db.AttachedCopies[Alias] = Copy;
}

void TADOConnection::Detach(const std::string& Alias) {
    TSqliteDatabase& Db = Database();
    CheckNotInTransaction("detach");
    Db.ExecuteAll("DETACH DATABASE " + SQLQuotedName(Alias), nullptr);
    auto Copy = Db.AttachedCopies.find(Alias);
    if (Copy != Db.AttachedCopies.end()) {
        DeleteFile(Copy->second);
        Db.AttachedCopies.erase(Copy);
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
