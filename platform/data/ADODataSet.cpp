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
    char c = Sql[Pos];
    if (c == '\'' || c == '"' || c == '`' || c == '[') {
        char close = c == '[' ? ']' : c;
        size_t p = Pos + 1;
        for (;;) {
            if (p >= Sql.size()) break;
            if (Sql[p] == close) {
                if (close != ']' && p + 1 < Sql.size() && Sql[p + 1] == close) {
                    p += 2;
                    continue;
                }
                ++p;
                break;
            }
            ++p;
        }
        Pos = p;
        return true;
    }
    if (c == '-' && Pos + 1 < Sql.size() && Sql[Pos + 1] == '-') {
        size_t end = Sql.find('\n', Pos);
        Pos = end == std::string::npos ? Sql.size() : end + 1;
        return true;
    }
    if (c == '/' && Pos + 1 < Sql.size() && Sql[Pos + 1] == '*') {
        size_t end = Sql.find("*/", Pos + 2);
        Pos = end == std::string::npos ? Sql.size() : end + 2;
        return true;
    }
    return false;
}

// Where the top-level FROM of a one-table select starts; npos when the
// statement is anything else.
size_t SingleTableFrom(const std::string& Sql) {
    size_t pos = 0, from = std::string::npos;
    int depth = 0;
    bool first = true, inFrom = false;
    while (pos < Sql.size()) {
        if (SkipQuotedOrComment(Sql, pos)) continue;
        char c = Sql[pos];
        if (c == '(') {
            if (depth == 0 && inFrom) return std::string::npos; // a sub-select as source
            ++depth;
            ++pos;
        } else if (c == ')') {
            --depth;
            ++pos;
        } else if (c == ',' && depth == 0 && inFrom) {
            return std::string::npos;
        } else if (IsWordChar(c)) {
            size_t start = pos;
            while (pos < Sql.size() && IsWordChar(Sql[pos]))
                ++pos;
            if (depth != 0) continue;
            std::string word = UpperCase(Sql.substr(start, pos - start));
            if (first) {
                if (word != "SELECT") return std::string::npos;
                first = false;
            } else if (word == "DISTINCT" || word == "GROUP" || word == "HAVING" || word == "UNION" ||
                       word == "INTERSECT" || word == "EXCEPT" || word == "JOIN" || word == "WINDOW") {
                return std::string::npos;
            } else if (word == "FROM" && from == std::string::npos) {
                from = start;
                inFrom = true;
            } else if (word == "WHERE" || word == "ORDER" || word == "LIMIT") {
                inFrom = false;
            }
        } else {
            ++pos;
        }
    }
    return from;
}

bool SameValue(const Variant& A, const Variant& B) {
    bool blankA = A.IsNull() || A.IsEmpty(), blankB = B.IsNull() || B.IsEmpty();
    if (blankA || blankB) return blankA == blankB;
    return A.VarType() == B.VarType() && VarCompare(A, B) == 0;
}

struct TVariantsLess {
    bool operator()(const std::vector<Variant>& A, const std::vector<Variant>& B) const {
        return std::lexicographical_compare(A.begin(), A.end(), B.begin(), B.end(),
                                            [](const Variant& X, const Variant& Y) { return VarCompare(X, Y) < 0; });
    }
};

// The statement's current row as a record in Memory; HiddenRowId is the
// trailing rowid column, or -1. Scratch, reused from row to row, holds the
// packed row until the record takes exactly its size from the pool.
TRecordPtr ReadRecord(const TSqliteStatement& Statement, const std::vector<TFieldDef>& Defs, Integer HiddenRowId,
                      std::string& Scratch, std::pmr::memory_resource* Memory) {
    sqlite3_stmt* handle = Statement.Handle();
    Scratch.clear();
    for (size_t c = 0; c < Defs.size(); ++c) {
        TFieldType type = Defs[c].DataType;
        // Stored text of a text field reads as it is: skip the Variant's copies.
        if ((type == ftString || type == ftMemo) && sqlite3_column_type(handle, int(c)) == SQLITE_TEXT)
            TRecordBuffer::PackText(Scratch, ColumnText(handle, int(c)));
        else
            TRecordBuffer::PackValue(Scratch, ColumnValue(handle, int(c), type));
    }
    if (HiddenRowId >= 0) TRecordBuffer::PackValue(Scratch, Variant(Int64(sqlite3_column_int64(handle, HiddenRowId))));
    return TRecordBuffer::CreateInPool(Memory, Scratch);
}

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
        std::vector<Variant> key;
        if (RowIdColumn >= 0)
            key.push_back(Record.Value(RowIdColumn));
        else
            for (Integer column : KeyColumns)
                key.push_back(Record.Value(column));
        return key;
    }

    std::string KeyCondition() const {
        if (RowIdColumn >= 0) return "rowid = ?";
        std::string condition;
        for (Integer column : KeyColumns)
            condition += (condition.empty() ? "" : " AND ") + SQLQuotedName(Columns[column]) + " IS ?";
        return condition;
    }

    void BindKey(TSqliteStatement& Statement, int& Index, const TRecordBuffer& Record,
                 const std::vector<TFieldDef>& Defs) const {
        std::vector<Variant> key = KeyOf(Record);
        for (size_t i = 0; i < key.size(); ++i)
            Statement.Bind(Index++, key[i], RowIdColumn >= 0 ? ftInteger : Defs[KeyColumns[i]].DataType);
    }
};

// ---- TParameters ------------------------------------------------------------

TParameter* TParameters::Items(Integer Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[Index].get();
}

TParameter* TParameters::FindParam(const std::string& Name) const {
    for (const auto& item : FItems)
        if (!item->Name().empty() && SameText(item->Name(), Name)) return item.get();
    return nullptr;
}

TParameter* TParameters::ParamByName(const std::string& Name) const {
    TParameter* parameter = FindParam(Name);
    if (!parameter) throw EDatabaseError("Parameter '" + Name + "' not found");
    return parameter;
}

TParameter* TParameters::AddParameter(const std::string& Name) {
    FItems.push_back(std::make_unique<TParameter>(Name));
    return FItems.back().get();
}

void TParameters::ParseSQL(const std::string& SQL) {
    FItems.clear();
    size_t pos = 0;
    while (pos < SQL.size()) {
        if (SkipQuotedOrComment(SQL, pos)) continue;
        char c = SQL[pos];
        if (c == ':' && pos + 1 < SQL.size() && IsWordChar(SQL[pos + 1]) && (pos == 0 || SQL[pos - 1] != ':')) {
            size_t start = ++pos;
            while (pos < SQL.size() && IsWordChar(SQL[pos]))
                ++pos;
            std::string name = SQL.substr(start, pos - start);
            if (!FindParam(name)) AddParameter(name);
        } else if (c == '?') {
            AddParameter(std::string());
            ++pos;
            while (pos < SQL.size() && std::isdigit(static_cast<unsigned char>(SQL[pos])))
                ++pos;
        } else {
            ++pos;
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
        auto& sets = FConnection->FDataSets;
        sets.erase(std::remove(sets.begin(), sets.end(), this), sets.end());
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
    TSqliteDatabase& db = Database();
    FTarget.reset();
    FUpdatable = false;
    FOpenSQL = CommandSQL();
    TSqliteStatement statement(db, FOpenSQL);
    int columns = statement.Empty() ? 0 : sqlite3_column_count(statement.Handle());
    if (columns == 0) DatabaseError("CommandText does not return a result set");

    std::vector<TFieldDef> defs;
    for (int c = 0; c < columns; ++c) {
        const char* declared = sqlite3_column_decltype(statement.Handle(), c);
        defs.push_back(FieldDefFromDeclaredType(sqlite3_column_name(statement.Handle(), c), declared ? declared : ""));
    }

    // Is this one table's result, and how are its rows found again?
    size_t from = SingleTableFrom(FOpenSQL);
    if (from != std::string::npos) {
        auto target = std::make_unique<TUpdateTarget>();
        bool oneTable = true;
        for (int c = 0; c < columns; ++c) {
            const char* table = sqlite3_column_table_name(statement.Handle(), c);
            const char* origin = sqlite3_column_origin_name(statement.Handle(), c);
            target->Columns.push_back(table && origin ? origin : "");
            if (!table) continue;
            if (target->Table.empty()) {
                target->Table = table;
                target->Database = sqlite3_column_database_name(statement.Handle(), c);
            } else if (target->Table != table) {
                oneTable = false;
            }
        }
        if (oneTable && !target->Table.empty()) {
            std::vector<std::pair<int, std::string>> key;
            TSqliteStatement info(db, "PRAGMA " + SQLQuotedName(target->Database) + ".table_info(" +
                                          SQLQuotedName(target->Table) + ")");
            while (info.Step()) {
                std::string name = reinterpret_cast<const char*>(sqlite3_column_text(info.Handle(), 1));
                bool notNull = sqlite3_column_int(info.Handle(), 3) != 0;
                bool hasDefault = sqlite3_column_type(info.Handle(), 4) != SQLITE_NULL;
                int keyIndex = sqlite3_column_int(info.Handle(), 5);
                if (keyIndex > 0) key.emplace_back(keyIndex, name);
                for (int c = 0; c < columns; ++c)
                    if (SameText(target->Columns[c], name) && notNull && !hasDefault && keyIndex == 0)
                        defs[c].Required = true;
            }
            std::sort(key.begin(), key.end());
            for (const auto& part : key) {
                auto it = std::find_if(target->Columns.begin(), target->Columns.end(),
                                       [&part](const std::string& C) { return SameText(C, part.second); });
                if (it == target->Columns.end()) {
                    target->KeyColumns.clear();
                    break;
                }
                target->KeyColumns.push_back(Integer(it - target->Columns.begin()));
            }
            try {
                TSqliteStatement probe(db, "select rowid from " + target->QualifiedName() + " limit 0");
            } catch (const EDatabaseError&) {
                target->HasRowId = false;
            }
            if (target->KeyColumns.empty() && target->HasRowId) {
                // No usable primary key in the result: fetch the rowid as a
                // hidden last column.
                std::string withRowId = FOpenSQL.substr(0, from) + ", rowid " + FOpenSQL.substr(from);
                try {
                    TSqliteStatement rewritten(db, withRowId);
                    statement = std::move(rewritten);
                    FOpenSQL = withRowId;
                    target->RowIdColumn = columns;
                } catch (const EDatabaseError&) {
                }
            }
            if (!target->KeyColumns.empty() || target->RowIdColumn >= 0) {
                for (int c = 0; c < columns; ++c)
                    if (target->Columns[c].empty()) defs[c].ReadOnly = true;
                FTarget = std::move(target);
                FUpdatable = true;
            }
        }
    }

    size_t nextPositional = 0;
    statement.BindParameters(&FParameters, nextPositional);
    bool hasRow = statement.Step();
    // Expressions declare no type: the first row's values decide.
    for (int c = 0; c < columns; ++c) {
        if (defs[c].DataType != ftUnknown) continue;
        switch (hasRow ? sqlite3_column_type(statement.Handle(), c) : SQLITE_NULL) {
        case SQLITE_INTEGER:
            defs[c].DataType = ftInteger;
            break;
        case SQLITE_FLOAT:
            defs[c].DataType = ftFloat;
            break;
        case SQLITE_BLOB:
            defs[c].DataType = ftBlob;
            break;
        default:
            defs[c].DataType = ftString;
            defs[c].Size = 255;
            break;
        }
    }
    ClearFieldDefs();
    for (const TFieldDef& def : defs)
        AddFieldDef(def);

    auto& rows = Records();
    rows.clear();
    std::string scratch;
    std::pmr::memory_resource* memory = RecordMemory();
    while (hasRow) {
        auto record = ReadRecord(statement, defs, FTarget ? FTarget->RowIdColumn : -1, scratch, memory);
        record->Id = NewRecordId();
        rows.push_back(std::move(record));
        hasRow = statement.Step();
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
    TSqliteDatabase& db = Database();
    TSqliteStatement statement(db, FOpenSQL);
    size_t nextPositional = 0;
    statement.BindParameters(&FParameters, nextPositional);
    const auto& defs = FieldDefs();
    auto& rows = Records();
    std::map<std::vector<Variant>, Int64, TVariantsLess> oldIds;
    if (KeepIds && FTarget)
        for (const auto& record : rows)
            oldIds.emplace(FTarget->KeyOf(*record), record->Id);
    std::deque<TRecordPtr> fresh;
    auto memory = NewRecordMemoryPool();
    std::string scratch;
    while (statement.Step()) {
        auto record = ReadRecord(statement, defs, FTarget ? FTarget->RowIdColumn : -1, scratch, memory.get());
        Int64 id = 0;
        if (KeepIds && FTarget) {
            auto it = oldIds.find(FTarget->KeyOf(*record));
            if (it != oldIds.end()) id = it->second;
        } else if (KeepIds && fresh.size() < rows.size()) {
            id = rows[fresh.size()]->Id;
        }
        record->Id = id != 0 ? id : NewRecordId();
        fresh.push_back(std::move(record));
    }
    rows = std::move(fresh);
    NewRecordMemory(std::move(memory));
}

void TCustomADODataSet::InternalRefresh() {
    LoadRecords(!FRequerying);
}

void TCustomADODataSet::Requery() {
    CheckBrowseMode();
    TDisableControlsScope scope(this);
    {
        FRequerying = true;
        TScopeGuard requerying([this] { FRequerying = false; });
        Refresh();
    }
    First();
}

void TCustomADODataSet::InternalPost(const TRecordBuffer* Old, TRecordBuffer& New) {
    if (!FTarget) DatabaseError("Cannot modify a read-only dataset");
    const TUpdateTarget& target = *FTarget;
    const auto& defs = FieldDefs();
    TSqliteDatabase& db = Database();
    std::vector<Integer> columns;
    if (Old) {
        for (size_t c = 0; c < defs.size(); ++c)
            if (!target.Columns[c].empty() && !SameValue(Old->Value(c), New.Value(c))) columns.push_back(Integer(c));
        if (columns.empty()) return;
        std::string sql = "UPDATE " + target.QualifiedName() + " SET ";
        for (size_t i = 0; i < columns.size(); ++i)
            sql += (i ? ", " : "") + SQLQuotedName(target.Columns[columns[i]]) + " = ?";
        sql += " WHERE " + target.KeyCondition();
        TSqliteStatement statement(db, sql);
        int index = 1;
        for (Integer c : columns)
            statement.Bind(index++, New.Value(c), defs[c].DataType);
        target.BindKey(statement, index, *Old, defs);
        statement.Step();
        if (sqlite3_changes(db.Handle) != 1)
            DatabaseError(
                "Row cannot be located for updating. Some values may have been changed since it was last read.");
        return;
    }
    for (size_t c = 0; c < defs.size(); ++c)
        if (!target.Columns[c].empty() && !New.Value(c).IsNull() && !New.Value(c).IsEmpty())
            columns.push_back(Integer(c));
    std::string sql = "INSERT INTO " + target.QualifiedName();
    if (columns.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string names, marks;
        for (size_t i = 0; i < columns.size(); ++i) {
            names += (i ? ", " : "") + SQLQuotedName(target.Columns[columns[i]]);
            marks += i ? ", ?" : "?";
        }
        sql += " (" + names + ") VALUES (" + marks + ")";
    }
    TSqliteStatement statement(db, sql);
    int index = 1;
    for (Integer c : columns)
        statement.Bind(index++, New.Value(c), defs[c].DataType);
    statement.Step();
    Int64 rowId = sqlite3_last_insert_rowid(db.Handle);
    if (target.HasRowId) {
        // Read the row back for what the table filled in (defaults, keys).
        std::string select;
        for (size_t c = 0; c < defs.size(); ++c)
            if (!target.Columns[c].empty()) select += (select.empty() ? "" : ", ") + SQLQuotedName(target.Columns[c]);
        TSqliteStatement reread(db, "SELECT " + select + " FROM " + target.QualifiedName() + " WHERE rowid = ?");
        reread.Bind(1, Variant(rowId));
        if (reread.Step()) {
            int column = 0;
            for (size_t c = 0; c < defs.size(); ++c)
                if (!target.Columns[c].empty())
                    New.SetValue(Integer(c), ColumnValue(reread.Handle(), column++, defs[c].DataType));
        }
    }
    if (target.RowIdColumn >= 0) New.SetValue(target.RowIdColumn, Variant(rowId));
}

// A row that is already gone is not an error: what Delete asked for holds.
void TCustomADODataSet::InternalDelete(const TRecordBuffer& Record) {
    if (!FTarget) DatabaseError("Cannot modify a read-only dataset");
    TSqliteStatement statement(Database(),
                               "DELETE FROM " + FTarget->QualifiedName() + " WHERE " + FTarget->KeyCondition());
    int index = 1;
    FTarget->BindKey(statement, index, Record, FieldDefs());
    statement.Step();
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
