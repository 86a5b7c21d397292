// Statements, binding and the value storage convention over the SQLite C API.
#include "platform/data/private/SqliteDatabase.h"

#include <cstdio>

#include "platform/data/ADODB.h"
#include "platform/rtl/FileUtils.h"

TSqliteDatabase::~TSqliteDatabase() {
    if (Handle) sqlite3_close_v2(Handle);
    for (const auto& copy : AttachedCopies)
        DeleteFile(copy.second);
}

void TSqliteDatabase::RaiseError() const {
    throw EDatabaseError(sqlite3_errmsg(Handle));
}

Integer TSqliteDatabase::ExecuteAll(const std::string& Sql, const TParameters* Parameters) {
    Integer changed = 0;
    size_t start = 0, nextPositional = 0;
    while (start < Sql.size()) {
        size_t tail = 0;
        TSqliteStatement statement(*this, Sql.substr(start), &tail);
        start += tail;
        if (statement.Empty()) continue; // blanks or a comment
        statement.BindParameters(Parameters, nextPositional);
        // sqlite3_changes keeps the count of the last INSERT/UPDATE/DELETE
        // across other statements; the running total does not.
        int before = sqlite3_total_changes(Handle);
        while (statement.Step()) {
        }
        changed += sqlite3_total_changes(Handle) - before;
    }
    return changed;
}

TSqliteStatement::TSqliteStatement(const TSqliteDatabase& Database, const std::string& Sql, size_t* Tail)
    : FDatabase(&Database) {
    const char* end = nullptr;
    int result = sqlite3_prepare_v2(Database.Handle, Sql.c_str(), int(Sql.size()), &FHandle, &end);
    if (result != SQLITE_OK) Database.RaiseError();
    if (Tail) *Tail = end ? size_t(end - Sql.c_str()) : Sql.size();
}

TSqliteStatement::~TSqliteStatement() {
    if (FHandle) sqlite3_finalize(FHandle);
}

TSqliteStatement::TSqliteStatement(TSqliteStatement&& Other) noexcept
    : FDatabase(Other.FDatabase), FHandle(Other.FHandle) {
    Other.FHandle = nullptr;
}

TSqliteStatement& TSqliteStatement::operator=(TSqliteStatement&& Other) noexcept {
    if (this != &Other) {
        if (FHandle) sqlite3_finalize(FHandle);
        FDatabase = Other.FDatabase;
        FHandle = Other.FHandle;
        Other.FHandle = nullptr;
    }
    return *this;
}

bool TSqliteStatement::Step() {
    int result = sqlite3_step(FHandle);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) return false;
    FDatabase->RaiseError();
}

void TSqliteStatement::Bind(int Index, const Variant& Value, TFieldType DataType) {
    int result = SQLITE_OK;
    switch (Value.VarType()) {
    case varEmpty:
    case varNull:
        result = sqlite3_bind_null(FHandle, Index);
        break;
    case varSmallint:
    case varInteger:
    case varInt64:
        result = sqlite3_bind_int64(FHandle, Index, Value.AsInt64());
        break;
    case varBoolean:
        result = sqlite3_bind_int(FHandle, Index, Value.AsBoolean() ? 1 : 0);
        break;
    case varDouble:
    case varCurrency:
        result = sqlite3_bind_double(FHandle, Index, Value.AsFloat());
        break;
    case varDate: {
        std::string text = DateTimeToStorage(Value.AsDateTime());
        result = sqlite3_bind_text(FHandle, Index, text.data(), int(text.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        std::string text = Value.AsString();
        if (DataType == ftBlob || DataType == ftGraphic || DataType == ftTypedBinary)
            result = sqlite3_bind_blob(FHandle, Index, text.data(), int(text.size()), SQLITE_TRANSIENT);
        else
            result = sqlite3_bind_text(FHandle, Index, text.data(), int(text.size()), SQLITE_TRANSIENT);
        break;
    }
    }
    FDatabase->Check(result);
}

void TSqliteStatement::BindParameters(const TParameters* Parameters, size_t& NextPositional) {
    int count = sqlite3_bind_parameter_count(FHandle);
    std::vector<TParameter*> unnamed;
    if (Parameters)
        for (Integer i = 0; i < Parameters->Count(); ++i)
            if (Parameters->Items(i)->Name().empty()) unnamed.push_back(Parameters->Items(i));
    for (int index = 1; index <= count; ++index) {
        const char* name = sqlite3_bind_parameter_name(FHandle, index);
        TParameter* parameter = nullptr;
        if (name && name[0] == ':') {
            parameter = Parameters ? Parameters->FindParam(name + 1) : nullptr;
            if (!parameter) throw EDatabaseError(std::string("Parameter '") + (name + 1) + "' not found");
        } else {
            if (NextPositional >= unnamed.size()) throw EDatabaseError("Parameter object is improperly defined");
            parameter = unnamed[NextPositional++];
        }
        Bind(index, parameter->Value(), parameter->DataType());
    }
}

std::string DateTimeToStorage(TDateTime Value) {
    Word year, month, day, hour, min, sec, mSec;
    DecodeDateTime(Value, year, month, day, hour, min, sec, mSec);
    char buffer[64];
    if (mSec != 0)
        std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u.%03u", year, month, day, hour, min, sec,
                      mSec);
    else
        std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u", year, month, day, hour, min, sec);
    return buffer;
}

// Reads 1..MaxDigits digits into Value.
static bool ReadNumber(const char*& P, int MaxDigits, unsigned& Value) {
    Value = 0;
    int count = 0;
    while (count < MaxDigits && *P >= '0' && *P <= '9') {
        Value = Value * 10 + unsigned(*P++ - '0');
        ++count;
    }
    return count > 0;
}

bool StorageToDateTime(const char* Text, TDateTime& Value) {
    unsigned year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, mSec = 0;
    const char* p = Text;
    if (!ReadNumber(p, 4, year) || *p++ != '-' || !ReadNumber(p, 2, month) || *p++ != '-' || !ReadNumber(p, 2, day))
        return false;
    if (*p == ' ' || *p == 'T') {
        ++p;
        if (!ReadNumber(p, 2, hour) || *p++ != ':' || !ReadNumber(p, 2, min)) return false;
        if (*p == ':') {
            ++p;
            if (!ReadNumber(p, 2, sec)) return false;
            if (*p == '.') {
                ++p;
                int digits = 0;
                for (; *p >= '0' && *p <= '9'; ++p, ++digits)
                    if (digits < 3) mSec = mSec * 10 + unsigned(*p - '0');
                if (digits == 0) return false;
                for (; digits < 3; ++digits)
                    mSec *= 10;
            }
        }
    }
    if (*p != '\0') return false;
    TDateTime date, time;
    if (!TryEncodeDate(Word(year), Word(month), Word(day), date)) return false;
    if (!TryEncodeTime(Word(hour), Word(min), Word(sec), Word(mSec), time)) return false;
    Value = date >= 0 ? date + time : date - time;
    return true;
}

std::string_view ColumnText(sqlite3_stmt* Statement, int Column) {
    const char* p = reinterpret_cast<const char*>(sqlite3_column_text(Statement, Column));
    return p ? std::string_view(p, size_t(sqlite3_column_bytes(Statement, Column))) : std::string_view();
}

Variant ColumnValue(sqlite3_stmt* Statement, int Column, TFieldType DataType) {
    int type = sqlite3_column_type(Statement, Column);
    if (type == SQLITE_NULL) return Null();
    // Parsing reads the column's text where it lies; only a text kept as
    // the value is copied.
    auto view = [&] { return ColumnText(Statement, Column); };
    auto text = [&] { return std::string(view()); };
    switch (DataType) {
    case ftSmallint:
    case ftInteger: {
        Int64 v;
        if (type == SQLITE_INTEGER)
            v = sqlite3_column_int64(Statement, Column);
        else if (type == SQLITE_FLOAT)
            v = Round(sqlite3_column_double(Statement, Column));
        else if (!TryStrToInt64(view(), v))
            return Variant(text());
        if (DataType == ftSmallint && v >= INT16_MIN && v <= INT16_MAX) return Variant(int16_t(v));
        if (v >= INT32_MIN && v <= INT32_MAX) return Variant(int32_t(v));
        return Variant(v);
    }
    case ftFloat:
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) return Variant(sqlite3_column_double(Statement, Column));
        return Variant(text());
    case ftBCD:
    case ftCurrency: {
        if (type == SQLITE_INTEGER)
            return Variant::FromCurrency(sqlite3_column_int64(Statement, Column) * CurrencyScale);
        if (type == SQLITE_FLOAT) return Variant::FromCurrency(DoubleToCurr(sqlite3_column_double(Statement, Column)));
        Int64 v;
        if (TryStrToCurr(view(), v)) return Variant::FromCurrency(v);
        return Variant(text());
    }
    case ftBoolean:
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
            return Variant(sqlite3_column_double(Statement, Column) != 0);
        if (SameText(view(), "true")) return Variant(true);
        if (SameText(view(), "false")) return Variant(false);
        return Variant(text());
    case ftDateTime: {
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
            return Variant::FromDateTime(sqlite3_column_double(Statement, Column));
        // The column's text ends in a NUL, as StorageToDateTime wants.
        const char* stored = reinterpret_cast<const char*>(sqlite3_column_text(Statement, Column));
        TDateTime d;
        if (stored && StorageToDateTime(stored, d)) return Variant::FromDateTime(d);
        return Variant(text());
    }
    case ftBlob:
    case ftGraphic: {
        const char* p = static_cast<const char*>(sqlite3_column_blob(Statement, Column));
        return Variant(std::string(p ? p : "", size_t(sqlite3_column_bytes(Statement, Column))));
    }
    default:
        return Variant(text());
    }
}

namespace {

bool Has(const std::string& Upper, const char* Word) {
    return Upper.find(Word) != std::string::npos;
}

// The numbers in "(p)" or "(p,s)" of a declared type.
void DeclaredSize(const std::string& Decl, Integer& First, Integer& Second) {
    First = Second = 0;
    size_t open = Decl.find('(');
    if (open == std::string::npos) return;
    std::sscanf(Decl.c_str() + open + 1, "%d , %d", &First, &Second);
}

} // namespace

TFieldDef FieldDefFromDeclaredType(const std::string& Name, const std::string& DeclaredType) {
    TFieldDef def;
    def.Name = Name;
    std::string upper = UpperCase(DeclaredType);
    Integer first, second;
    DeclaredSize(upper, first, second);
    if (Has(upper, "SMALLINT") || Has(upper, "TINYINT") || upper == "BYTE") {
        def.DataType = ftSmallint;
    } else if (Has(upper, "INT") || upper == "LONG" || Has(upper, "COUNTER") || Has(upper, "AUTOINCREMENT")) {
        def.DataType = ftInteger;
    } else if (Has(upper, "MEMO") || Has(upper, "LONGTEXT") || Has(upper, "CLOB") || Has(upper, "NTEXT")) {
        def.DataType = ftMemo;
    } else if (Has(upper, "CHAR") || Has(upper, "TEXT") || Has(upper, "STRING")) {
        def.DataType = ftString;
        def.Size = first > 0 ? first : 255;
    } else if (Has(upper, "MONEY") || Has(upper, "CURRENCY")) {
        def.DataType = ftBCD;
        def.Size = 4;
        def.Precision = 19;
        def.Currency = true;
    } else if (Has(upper, "DECIMAL") || Has(upper, "NUMERIC")) {
        def.DataType = ftBCD;
        def.Precision = first > 0 ? first : 19;
        def.Size = first > 0 ? second : 4;
    } else if (Has(upper, "REAL") || Has(upper, "FLOA") || Has(upper, "DOUB") || Has(upper, "SINGLE")) {
        def.DataType = ftFloat;
    } else if (Has(upper, "BOOL") || Has(upper, "BIT") || Has(upper, "YESNO") || Has(upper, "LOGICAL")) {
        def.DataType = ftBoolean;
    } else if (Has(upper, "DATE") || Has(upper, "TIME")) {
        def.DataType = ftDateTime;
    } else if (Has(upper, "IMAGE") || Has(upper, "PICTURE") || Has(upper, "GRAPHIC")) {
        def.DataType = ftGraphic;
    } else if (Has(upper, "BLOB") || Has(upper, "BINARY") || Has(upper, "OLE")) {
        def.DataType = ftBlob;
    } else {
        def.DataType = ftUnknown;
    }
    return def;
}
