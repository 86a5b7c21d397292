// Queries and datasets: run the command, read every row into memory, and
// write posted and deleted records back to their table. A result counts as
// one table's when its statement selects from that table alone (no join,
// grouping, DISTINCT or compound select) and its columns come from it.
#include <algorithm>
#include <cctype>
#include <map>

#include "platform/data/ADODB.h"
#include "platform/data/private/SqliteDatabase.h"

namespace {

bool IsWordChar(char C) {
    return std::isalnum(static_cast<unsigned char>(C)) || C == '_' || static_cast<unsigned char>(C) >= 0x80;
}

// Skips a quoted text, quoted name or comment starting at Pos; false when
// there is none there.
bool SkipQuotedOrComment(const std::string& Sql, size_t& Pos) {
    char C = Sql[Pos];
    if (C == '\'' || C == '"' || C == '`' || C == '[') {
        char Close = C == '[' ? ']' : C;
        size_t P = Pos + 1;
        for (;;) {
            if (P >= Sql.size()) break;
            if (Sql[P] == Close) {
                if (Close != ']' && P + 1 < Sql.size() && Sql[P + 1] == Close) {
                    P += 2;
                    continue;
                }
                ++P;
                break;
            }
            ++P;
        }
        Pos = P;
        return true;
    }
    if (C == '-' && Pos + 1 < Sql.size() && Sql[Pos + 1] == '-') {
        size_t End = Sql.find('\n', Pos);
        Pos = End == std::string::npos ? Sql.size() : End + 1;
        return true;
    }
    if (C == '/' && Pos + 1 < Sql.size() && Sql[Pos + 1] == '*') {
        size_t End = Sql.find("*/", Pos + 2);
        Pos = End == std::string::npos ? Sql.size() : End + 2;
        return true;
    }
    return false;
}

// Where the top-level FROM of a one-table select starts; npos when the
// statement is anything else.
size_t SingleTableFrom(const std::string& Sql) {
    size_t Pos = 0, From = std::string::npos;
    int Depth = 0;
    bool First = true, InFrom = false;
    while (Pos < Sql.size()) {
        if (SkipQuotedOrComment(Sql, Pos)) continue;
        char C = Sql[Pos];
        if (C == '(') {
            if (Depth == 0 && InFrom) return std::string::npos; // a sub-select as source
            ++Depth;
            ++Pos;
        } else if (C == ')') {
            --Depth;
            ++Pos;
        } else if (C == ',' && Depth == 0 && InFrom) {
            return std::string::npos;
        } else if (IsWordChar(C)) {
            size_t Start = Pos;
            while (Pos < Sql.size() && IsWordChar(Sql[Pos]))
                ++Pos;
            if (Depth != 0) continue;
            std::string Word = UpperCase(Sql.substr(Start, Pos - Start));
            if (First) {
                if (Word != "SELECT") return std::string::npos;
                First = false;
            } else if (Word == "DISTINCT" || Word == "GROUP" || Word == "HAVING" || Word == "UNION" ||
                       Word == "INTERSECT" || Word == "EXCEPT" || Word == "JOIN" || Word == "WINDOW") {
                return std::string::npos;
            } else if (Word == "FROM" && From == std::string::npos) {
                From = Start;
                InFrom = true;
            } else if (Word == "WHERE" || Word == "ORDER" || Word == "LIMIT") {
                InFrom = false;
            }
        } else {
            ++Pos;
        }
    }
    return From;
}

bool SameValue(const Variant& A, const Variant& B) {
    bool BlankA = A.IsNull() || A.IsEmpty(), BlankB = B.IsNull() || B.IsEmpty();
    if (BlankA || BlankB) return BlankA == BlankB;
    return A.VarType() == B.VarType() && VarCompare(A, B) == 0;
}

struct TVariantsLess {
    bool operator()(const std::vector<Variant>& A, const std::vector<Variant>& B) const {
        return std::lexicographical_compare(A.begin(), A.end(), B.begin(), B.end(),
                                            [](const Variant& X, const Variant& Y) { return VarCompare(X, Y) < 0; });
    }
};

} // namespace

// The table a one-table result writes to, and how its rows are found again.
struct TCustomADODataSet::TUpdateTarget {
    std::string Database;
    std::string Table;
    std::vector<std::string> Columns; // table column of each result column; "" when none
    std::vector<Integer> KeyColumns;  // result columns holding the primary key
    Integer RowIdColumn = -1;         // hidden trailing value when the rowid is the key
    bool HasRowId = true;

    std::string QualifiedName() const { return SQLQuotedName(Database) + "." + SQLQuotedName(Table); }

    std::vector<Variant> KeyOf(const TRecordBuffer& Record) const {
        std::vector<Variant> Key;
        if (RowIdColumn >= 0)
            Key.push_back(Record.Values[RowIdColumn]);
        else
            for (Integer Column : KeyColumns)
                Key.push_back(Record.Values[Column]);
        return Key;
    }

    std::string KeyCondition() const {
        if (RowIdColumn >= 0) return "rowid = ?";
        std::string Condition;
        for (Integer Column : KeyColumns)
            Condition += (Condition.empty() ? "" : " AND ") + SQLQuotedName(Columns[Column]) + " IS ?";
        return Condition;
    }

    void BindKey(TSqliteStatement& Statement, int& Index, const TRecordBuffer& Record,
                 const std::vector<TFieldDef>& Defs) const {
        std::vector<Variant> Key = KeyOf(Record);
        for (size_t i = 0; i < Key.size(); ++i)
            Statement.Bind(Index++, Key[i], RowIdColumn >= 0 ? ftInteger : Defs[KeyColumns[i]].DataType);
    }
};

// ---- TParameters ------------------------------------------------------------

TParameter* TParameters::Items(Integer Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[Index].get();
}

TParameter* TParameters::FindParam(const std::string& Name) const {
    for (const auto& Item : FItems)
        if (!Item->Name().empty() && SameText(Item->Name(), Name)) return Item.get();
    return nullptr;
}

TParameter* TParameters::ParamByName(const std::string& Name) const {
    TParameter* Parameter = FindParam(Name);
    if (!Parameter) throw EDatabaseError("Parameter '" + Name + "' not found");
    return Parameter;
}

TParameter* TParameters::AddParameter(const std::string& Name) {
    FItems.push_back(std::make_unique<TParameter>(Name));
    return FItems.back().get();
}

void TParameters::ParseSQL(const std::string& SQL) {
    FItems.clear();
    size_t Pos = 0;
    while (Pos < SQL.size()) {
        if (SkipQuotedOrComment(SQL, Pos)) continue;
        char C = SQL[Pos];
        if (C == ':' && Pos + 1 < SQL.size() && IsWordChar(SQL[Pos + 1]) && (Pos == 0 || SQL[Pos - 1] != ':')) {
            size_t Start = ++Pos;
            while (Pos < SQL.size() && IsWordChar(SQL[Pos]))
                ++Pos;
            std::string Name = SQL.substr(Start, Pos - Start);
            if (!FindParam(Name)) AddParameter(Name);
        } else if (C == '?') {
            AddParameter(std::string());
            ++Pos;
            while (Pos < SQL.size() && std::isdigit(static_cast<unsigned char>(SQL[Pos])))
                ++Pos;
        } else {
            ++Pos;
        }
    }
}

// ---- TCustomADODataSet ------------------------------------------------------

TCustomADODataSet::TCustomADODataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TCustomADODataSet::~TCustomADODataSet() {
    CloseForDestroy();
    SetConnection(nullptr);
}

void TCustomADODataSet::SetConnection(TADOConnection* Value) {
    if (Value == FConnection) return;
    Close();
    if (FConnection) {
        auto& Sets = FConnection->FDataSets;
        Sets.erase(std::remove(Sets.begin(), Sets.end(), this), Sets.end());
        FConnection->RemoveFreeNotification(this);
    }
    FConnection = Value;
    if (Value) {
        Value->FDataSets.push_back(this);
        Value->FreeNotification(this);
    }
}

void TCustomADODataSet::Notification(TComponent* AComponent, TOperation Operation) {
    TDataSet::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FConnection) FConnection = nullptr;
}

TSqliteDatabase& TCustomADODataSet::Database() {
    if (!FConnection) DatabaseError("Missing Connection or ConnectionString");
    return FConnection->Database();
}

void TCustomADODataSet::InternalOpen() {
    TSqliteDatabase& Db = Database();
    FTarget.reset();
    FUpdatable = false;
    FOpenSQL = CommandSQL();
    TSqliteStatement Statement(Db, FOpenSQL);
    int Columns = Statement.Empty() ? 0 : sqlite3_column_count(Statement.Handle());
    if (Columns == 0) DatabaseError("CommandText does not return a result set");

    std::vector<TFieldDef> Defs;
    for (int c = 0; c < Columns; ++c) {
        const char* Declared = sqlite3_column_decltype(Statement.Handle(), c);
        Defs.push_back(FieldDefFromDeclaredType(sqlite3_column_name(Statement.Handle(), c), Declared ? Declared : ""));
    }

    // Is this one table's result, and how are its rows found again?
    size_t From = SingleTableFrom(FOpenSQL);
    if (From != std::string::npos) {
        auto Target = std::make_unique<TUpdateTarget>();
        bool OneTable = true;
        for (int c = 0; c < Columns; ++c) {
            const char* Table = sqlite3_column_table_name(Statement.Handle(), c);
            const char* Origin = sqlite3_column_origin_name(Statement.Handle(), c);
            Target->Columns.push_back(Table && Origin ? Origin : "");
            if (!Table) continue;
            if (Target->Table.empty()) {
                Target->Table = Table;
                Target->Database = sqlite3_column_database_name(Statement.Handle(), c);
            } else if (Target->Table != Table) {
                OneTable = false;
            }
        }
        if (OneTable && !Target->Table.empty()) {
            std::vector<std::pair<int, std::string>> Key;
            TSqliteStatement Info(Db, "PRAGMA " + SQLQuotedName(Target->Database) + ".table_info(" +
                                          SQLQuotedName(Target->Table) + ")");
            while (Info.Step()) {
                std::string Name = reinterpret_cast<const char*>(sqlite3_column_text(Info.Handle(), 1));
                bool NotNull = sqlite3_column_int(Info.Handle(), 3) != 0;
                bool HasDefault = sqlite3_column_type(Info.Handle(), 4) != SQLITE_NULL;
                int KeyIndex = sqlite3_column_int(Info.Handle(), 5);
                if (KeyIndex > 0) Key.emplace_back(KeyIndex, Name);
                for (int c = 0; c < Columns; ++c)
                    if (SameText(Target->Columns[c], Name) && NotNull && !HasDefault && KeyIndex == 0)
                        Defs[c].Required = true;
            }
            std::sort(Key.begin(), Key.end());
            for (const auto& Part : Key) {
                auto It = std::find_if(Target->Columns.begin(), Target->Columns.end(),
                                       [&Part](const std::string& C) { return SameText(C, Part.second); });
                if (It == Target->Columns.end()) {
                    Target->KeyColumns.clear();
                    break;
                }
                Target->KeyColumns.push_back(Integer(It - Target->Columns.begin()));
            }
            try {
                TSqliteStatement Probe(Db, "select rowid from " + Target->QualifiedName() + " limit 0");
            } catch (const EDatabaseError&) {
                Target->HasRowId = false;
            }
            if (Target->KeyColumns.empty() && Target->HasRowId) {
                // No usable primary key in the result: fetch the rowid as a
                // hidden last column.
                std::string WithRowId = FOpenSQL.substr(0, From) + ", rowid " + FOpenSQL.substr(From);
                try {
                    TSqliteStatement Rewritten(Db, WithRowId);
                    Statement = std::move(Rewritten);
                    FOpenSQL = WithRowId;
                    Target->RowIdColumn = Columns;
                } catch (const EDatabaseError&) {
                }
            }
            if (!Target->KeyColumns.empty() || Target->RowIdColumn >= 0) {
                for (int c = 0; c < Columns; ++c)
                    if (Target->Columns[c].empty()) Defs[c].ReadOnly = true;
                FTarget = std::move(Target);
                FUpdatable = true;
            }
        }
    }

    size_t NextPositional = 0;
    Statement.BindParameters(&FParameters, NextPositional);
    bool HasRow = Statement.Step();
    // Expressions declare no type: the first row's values decide.
    for (int c = 0; c < Columns; ++c) {
        if (Defs[c].DataType != ftUnknown) continue;
        switch (HasRow ? sqlite3_column_type(Statement.Handle(), c) : SQLITE_NULL) {
        case SQLITE_INTEGER:
            Defs[c].DataType = ftInteger;
            break;
        case SQLITE_FLOAT:
            Defs[c].DataType = ftFloat;
            break;
        case SQLITE_BLOB:
            Defs[c].DataType = ftBlob;
            break;
        default:
            Defs[c].DataType = ftString;
            Defs[c].Size = 255;
            break;
        }
    }
    ClearFieldDefs();
    for (const TFieldDef& Def : Defs)
        AddFieldDef(Def);

    auto& Rows = Records();
    Rows.clear();
    sqlite3_stmt* Handle = Statement.Handle();
    Integer Hidden = FTarget ? FTarget->RowIdColumn : -1;
    std::pmr::memory_resource* Memory = RecordMemory();
    while (HasRow) {
        auto Record = std::make_unique<TRecordBuffer>(Memory);
        Record->Id = NewRecordId();
        Record->Values.reserve(Columns + (Hidden >= 0 ? 1 : 0));
        for (int c = 0; c < Columns; ++c)
            Record->Values.push_back(ColumnValue(Handle, c, Defs[c].DataType));
        if (Hidden >= 0) Record->Values.emplace_back(Int64(sqlite3_column_int64(Handle, Hidden)));
        Rows.push_back(std::move(Record));
        HasRow = Statement.Step();
    }
}

void TCustomADODataSet::InternalClose() {
    FTarget.reset();
    FUpdatable = false;
}

// Reads the rows again with the statement the dataset was opened with. With
// KeepIds a record whose key (or, for a read-only result, position) matches
// an old one keeps that record's identity, so its bookmarks stay valid.
void TCustomADODataSet::LoadRecords(bool KeepIds) {
    TSqliteDatabase& Db = Database();
    TSqliteStatement Statement(Db, FOpenSQL);
    size_t NextPositional = 0;
    Statement.BindParameters(&FParameters, NextPositional);
    const auto& Defs = FieldDefs();
    auto& Rows = Records();
    std::map<std::vector<Variant>, Int64, TVariantsLess> OldIds;
    if (KeepIds && FTarget)
        for (const auto& Record : Rows)
            OldIds.emplace(FTarget->KeyOf(*Record), Record->Id);
    std::vector<std::unique_ptr<TRecordBuffer>> Fresh;
    auto Memory = NewRecordMemoryPool();
    sqlite3_stmt* Handle = Statement.Handle();
    int Columns = int(Defs.size());
    Integer Hidden = FTarget ? FTarget->RowIdColumn : -1;
    while (Statement.Step()) {
        auto Record = std::make_unique<TRecordBuffer>(Memory.get());
        Record->Values.reserve(Columns + (Hidden >= 0 ? 1 : 0));
        for (int c = 0; c < Columns; ++c)
            Record->Values.push_back(ColumnValue(Handle, c, Defs[c].DataType));
        if (Hidden >= 0) Record->Values.emplace_back(Int64(sqlite3_column_int64(Handle, Hidden)));
        Int64 Id = 0;
        if (KeepIds && FTarget) {
            auto It = OldIds.find(FTarget->KeyOf(*Record));
            if (It != OldIds.end()) Id = It->second;
        } else if (KeepIds && Fresh.size() < Rows.size()) {
            Id = Rows[Fresh.size()]->Id;
        }
        Record->Id = Id != 0 ? Id : NewRecordId();
        Fresh.push_back(std::move(Record));
    }
    Rows = std::move(Fresh);
    NewRecordMemory(std::move(Memory));
}

void TCustomADODataSet::InternalRefresh() {
    LoadRecords(!FRequerying);
}

void TCustomADODataSet::Requery() {
    CheckBrowseMode();
    TDisableControlsScope Scope(this);
    {
        FRequerying = true;
        TScopeGuard requerying([this] { FRequerying = false; });
        Refresh();
    }
    First();
}

void TCustomADODataSet::InternalPost(const TRecordBuffer* Old, TRecordBuffer& New) {
    if (!FTarget) DatabaseError("Cannot modify a read-only dataset");
    const TUpdateTarget& Target = *FTarget;
    const auto& Defs = FieldDefs();
    TSqliteDatabase& Db = Database();
    std::vector<Integer> Columns;
    if (Old) {
        for (size_t c = 0; c < Defs.size(); ++c)
            if (!Target.Columns[c].empty() && !SameValue(Old->Values[c], New.Values[c])) Columns.push_back(Integer(c));
        if (Columns.empty()) return;
        std::string Sql = "UPDATE " + Target.QualifiedName() + " SET ";
        for (size_t i = 0; i < Columns.size(); ++i)
            Sql += (i ? ", " : "") + SQLQuotedName(Target.Columns[Columns[i]]) + " = ?";
        Sql += " WHERE " + Target.KeyCondition();
        TSqliteStatement Statement(Db, Sql);
        int Index = 1;
        for (Integer c : Columns)
            Statement.Bind(Index++, New.Values[c], Defs[c].DataType);
        Target.BindKey(Statement, Index, *Old, Defs);
        Statement.Step();
        if (sqlite3_changes(Db.Handle) != 1)
            DatabaseError(
                "Row cannot be located for updating. Some values may have been changed since it was last read.");
        return;
    }
    for (size_t c = 0; c < Defs.size(); ++c)
        if (!Target.Columns[c].empty() && !New.Values[c].IsNull() && !New.Values[c].IsEmpty())
            Columns.push_back(Integer(c));
    std::string Sql = "INSERT INTO " + Target.QualifiedName();
    if (Columns.empty()) {
        Sql += " DEFAULT VALUES";
    } else {
        std::string Names, Marks;
        for (size_t i = 0; i < Columns.size(); ++i) {
            Names += (i ? ", " : "") + SQLQuotedName(Target.Columns[Columns[i]]);
            Marks += i ? ", ?" : "?";
        }
        Sql += " (" + Names + ") VALUES (" + Marks + ")";
    }
    TSqliteStatement Statement(Db, Sql);
    int Index = 1;
    for (Integer c : Columns)
        Statement.Bind(Index++, New.Values[c], Defs[c].DataType);
    Statement.Step();
    Int64 RowId = sqlite3_last_insert_rowid(Db.Handle);
    if (Target.HasRowId) {
        // Read the row back for what the table filled in (defaults, keys).
        std::string Select;
        for (size_t c = 0; c < Defs.size(); ++c)
            if (!Target.Columns[c].empty()) Select += (Select.empty() ? "" : ", ") + SQLQuotedName(Target.Columns[c]);
        TSqliteStatement Reread(Db, "SELECT " + Select + " FROM " + Target.QualifiedName() + " WHERE rowid = ?");
        Reread.Bind(1, Variant(RowId));
        if (Reread.Step()) {
            int Column = 0;
            for (size_t c = 0; c < Defs.size(); ++c)
                if (!Target.Columns[c].empty())
                    New.Values[c] = ColumnValue(Reread.Handle(), Column++, Defs[c].DataType);
        }
    }
    if (Target.RowIdColumn >= 0) {
        New.Values.resize(Target.RowIdColumn + 1);
        New.Values[Target.RowIdColumn] = Variant(RowId);
    }
}

// A row that is already gone is not an error: what Delete asked for holds.
void TCustomADODataSet::InternalDelete(const TRecordBuffer& Record) {
    if (!FTarget) DatabaseError("Cannot modify a read-only dataset");
    TSqliteStatement Statement(Database(),
                               "DELETE FROM " + FTarget->QualifiedName() + " WHERE " + FTarget->KeyCondition());
    int Index = 1;
    FTarget->BindKey(Statement, Index, Record, FieldDefs());
    Statement.Step();
}

// ---- TADOQuery, TADODataSet -------------------------------------------------

TADOQuery::TADOQuery(TComponent* AOwner) : TCustomADODataSet(AOwner) {
    FSQL.OnChange = [this](TObject*) {
        if (Active()) Close();
        Parameters()->ParseSQL(FSQL.Text());
    };
}

TADOQuery::~TADOQuery() {
    FSQL.OnChange = nullptr;
}

Integer TADOQuery::ExecSQL() {
    FRowsAffected = Database().ExecuteAll(FSQL.Text(), Parameters());
    return FRowsAffected;
}

TADODataSet::TADODataSet(TComponent* AOwner) : TCustomADODataSet(AOwner) {}

TADODataSet::~TADODataSet() = default;

void TADODataSet::SetCommandText(const std::string& Value) {
    CheckInactive();
    FCommandText = Value;
    Parameters()->ParseSQL(Value);
}
