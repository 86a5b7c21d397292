// Statements, binding and the value storage convention over the SQLite C API.
#include "platform/data/private/SqliteDatabase.h"

#include <cstdio>

#include "platform/data/ADODB.h"
#include "platform/rtl/FileUtils.h"

TSqliteDatabase::~TSqliteDatabase() {
    if (Handle) sqlite3_close_v2(Handle);
    for (const auto& Copy : AttachedCopies)
        DeleteFile(Copy.second);
}

void TSqliteDatabase::RaiseError() const {
    throw EDatabaseError(sqlite3_errmsg(Handle));
}

Integer TSqliteDatabase::ExecuteAll(const std::string& Sql, const TParameters* Parameters) {
    Integer Changed = 0;
    size_t Start = 0, NextPositional = 0;
    while (Start < Sql.size()) {
        size_t Tail = 0;
        TSqliteStatement Statement(*this, Sql.substr(Start), &Tail);
        Start += Tail;
        if (Statement.Empty()) continue; // blanks or a comment
        Statement.BindParameters(Parameters, NextPositional);
        // sqlite3_changes keeps the count of the last INSERT/UPDATE/DELETE
        // across other statements; the running total does not.
        int Before = sqlite3_total_changes(Handle);
        while (Statement.Step()) {
        }
        Changed += sqlite3_total_changes(Handle) - Before;
    }
    return Changed;
}

TSqliteStatement::TSqliteStatement(const TSqliteDatabase& Database, const std::string& Sql, size_t* Tail)
    : FDatabase(&Database) {
    const char* End = nullptr;
    int Result = sqlite3_prepare_v2(Database.Handle, Sql.c_str(), int(Sql.size()), &FHandle, &End);
    if (Result != SQLITE_OK) Database.RaiseError();
    if (Tail) *Tail = End ? size_t(End - Sql.c_str()) : Sql.size();
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
    int Result = sqlite3_step(FHandle);
    if (Result == SQLITE_ROW) return true;
    if (Result == SQLITE_DONE) return false;
    FDatabase->RaiseError();
}

void TSqliteStatement::Bind(int Index, const Variant& Value, TFieldType DataType) {
    int Result = SQLITE_OK;
    switch (Value.VarType()) {
    case varEmpty:
    case varNull:
        Result = sqlite3_bind_null(FHandle, Index);
        break;
    case varSmallint:
    case varInteger:
    case varInt64:
        Result = sqlite3_bind_int64(FHandle, Index, Value.AsInt64());
        break;
    case varBoolean:
        Result = sqlite3_bind_int(FHandle, Index, Value.AsBoolean() ? 1 : 0);
        break;
    case varDouble:
    case varCurrency:
        Result = sqlite3_bind_double(FHandle, Index, Value.AsFloat());
        break;
    case varDate: {
        std::string Text = DateTimeToStorage(Value.AsDateTime());
        Result = sqlite3_bind_text(FHandle, Index, Text.data(), int(Text.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        std::string Text = Value.AsString();
        if (DataType == ftBlob || DataType == ftGraphic || DataType == ftTypedBinary)
            Result = sqlite3_bind_blob(FHandle, Index, Text.data(), int(Text.size()), SQLITE_TRANSIENT);
        else
            Result = sqlite3_bind_text(FHandle, Index, Text.data(), int(Text.size()), SQLITE_TRANSIENT);
        break;
    }
    }
    FDatabase->Check(Result);
}

void TSqliteStatement::BindParameters(const TParameters* Parameters, size_t& NextPositional) {
    int Count = sqlite3_bind_parameter_count(FHandle);
    std::vector<TParameter*> Unnamed;
    if (Parameters)
        for (Integer i = 0; i < Parameters->Count(); ++i)
            if (Parameters->Items(i)->Name().empty()) Unnamed.push_back(Parameters->Items(i));
    for (int Index = 1; Index <= Count; ++Index) {
        const char* Name = sqlite3_bind_parameter_name(FHandle, Index);
        TParameter* Parameter = nullptr;
        if (Name && Name[0] == ':') {
            Parameter = Parameters ? Parameters->FindParam(Name + 1) : nullptr;
            if (!Parameter) throw EDatabaseError(std::string("Parameter '") + (Name + 1) + "' not found");
        } else {
            if (NextPositional >= Unnamed.size()) throw EDatabaseError("Parameter object is improperly defined");
            Parameter = Unnamed[NextPositional++];
        }
        Bind(Index, Parameter->Value(), Parameter->DataType());
    }
}

std::string DateTimeToStorage(TDateTime Value) {
    Word Year, Month, Day, Hour, Min, Sec, MSec;
    DecodeDateTime(Value, Year, Month, Day, Hour, Min, Sec, MSec);
    char Buffer[64];
    if (MSec != 0)
        std::snprintf(Buffer, sizeof Buffer, "%04u-%02u-%02u %02u:%02u:%02u.%03u", Year, Month, Day, Hour, Min, Sec,
                      MSec);
    else
        std::snprintf(Buffer, sizeof Buffer, "%04u-%02u-%02u %02u:%02u:%02u", Year, Month, Day, Hour, Min, Sec);
    return Buffer;
}

// Reads 1..MaxDigits digits into Value.
static bool ReadNumber(const char*& P, int MaxDigits, unsigned& Value) {
    Value = 0;
    int Count = 0;
    while (Count < MaxDigits && *P >= '0' && *P <= '9') {
        Value = Value * 10 + unsigned(*P++ - '0');
        ++Count;
    }
    return Count > 0;
}

bool StorageToDateTime(const char* Text, TDateTime& Value) {
    unsigned Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0;
    const char* P = Text;
    if (!ReadNumber(P, 4, Year) || *P++ != '-' || !ReadNumber(P, 2, Month) || *P++ != '-' || !ReadNumber(P, 2, Day))
        return false;
    if (*P == ' ' || *P == 'T') {
        ++P;
        if (!ReadNumber(P, 2, Hour) || *P++ != ':' || !ReadNumber(P, 2, Min)) return false;
        if (*P == ':') {
            ++P;
            if (!ReadNumber(P, 2, Sec)) return false;
            if (*P == '.') {
                ++P;
                int Digits = 0;
                for (; *P >= '0' && *P <= '9'; ++P, ++Digits)
                    if (Digits < 3) MSec = MSec * 10 + unsigned(*P - '0');
                if (Digits == 0) return false;
                for (; Digits < 3; ++Digits)
                    MSec *= 10;
            }
        }
    }
    if (*P != '\0') return false;
    TDateTime Date, Time;
    if (!TryEncodeDate(Word(Year), Word(Month), Word(Day), Date)) return false;
    if (!TryEncodeTime(Word(Hour), Word(Min), Word(Sec), Word(MSec), Time)) return false;
    Value = Date >= 0 ? Date + Time : Date - Time;
    return true;
}

Variant ColumnValue(sqlite3_stmt* Statement, int Column, TFieldType DataType) {
    int Type = sqlite3_column_type(Statement, Column);
    if (Type == SQLITE_NULL) return Null();
    auto Text = [&] {
        const char* P = reinterpret_cast<const char*>(sqlite3_column_text(Statement, Column));
        return std::string(P ? P : "", size_t(sqlite3_column_bytes(Statement, Column)));
    };
    switch (DataType) {
    case ftSmallint:
    case ftInteger: {
        Int64 V;
        if (Type == SQLITE_INTEGER)
            V = sqlite3_column_int64(Statement, Column);
        else if (Type == SQLITE_FLOAT)
            V = Round(sqlite3_column_double(Statement, Column));
        else if (!TryStrToInt64(Text(), V))
            return Variant(Text());
        if (DataType == ftSmallint && V >= INT16_MIN && V <= INT16_MAX) return Variant(int16_t(V));
        if (V >= INT32_MIN && V <= INT32_MAX) return Variant(int32_t(V));
        return Variant(V);
    }
    case ftFloat:
        if (Type == SQLITE_INTEGER || Type == SQLITE_FLOAT) return Variant(sqlite3_column_double(Statement, Column));
        return Variant(Text());
    case ftBCD:
    case ftCurrency: {
        if (Type == SQLITE_INTEGER)
            return Variant::FromCurrency(sqlite3_column_int64(Statement, Column) * CurrencyScale);
        if (Type == SQLITE_FLOAT) return Variant::FromCurrency(DoubleToCurr(sqlite3_column_double(Statement, Column)));
        Int64 V;
        if (TryStrToCurr(Text(), V)) return Variant::FromCurrency(V);
        return Variant(Text());
    }
    case ftBoolean:
        if (Type == SQLITE_INTEGER || Type == SQLITE_FLOAT)
            return Variant(sqlite3_column_double(Statement, Column) != 0);
        if (SameText(Text(), "true")) return Variant(true);
        if (SameText(Text(), "false")) return Variant(false);
        return Variant(Text());
    case ftDateTime: {
        if (Type == SQLITE_INTEGER || Type == SQLITE_FLOAT)
            return Variant::FromDateTime(sqlite3_column_double(Statement, Column));
        TDateTime D;
        std::string S = Text();
        if (StorageToDateTime(S.c_str(), D)) return Variant::FromDateTime(D);
        return Variant(S);
    }
    case ftBlob:
    case ftGraphic: {
        const char* P = static_cast<const char*>(sqlite3_column_blob(Statement, Column));
        return Variant(std::string(P ? P : "", size_t(sqlite3_column_bytes(Statement, Column))));
    }
    default:
        return Variant(Text());
    }
}

namespace {

bool Has(const std::string& Upper, const char* Word) {
    return Upper.find(Word) != std::string::npos;
}

// The numbers in "(p)" or "(p,s)" of a declared type.
void DeclaredSize(const std::string& Decl, Integer& First, Integer& Second) {
    First = Second = 0;
    size_t Open = Decl.find('(');
    if (Open == std::string::npos) return;
    std::sscanf(Decl.c_str() + Open + 1, "%d , %d", &First, &Second);
}

} // namespace

TFieldDef FieldDefFromDeclaredType(const std::string& Name, const std::string& DeclaredType) {
    TFieldDef Def;
    Def.Name = Name;
    std::string Upper = UpperCase(DeclaredType);
    Integer First, Second;
    DeclaredSize(Upper, First, Second);
    if (Has(Upper, "SMALLINT") || Has(Upper, "TINYINT") || Upper == "BYTE") {
        Def.DataType = ftSmallint;
    } else if (Has(Upper, "INT") || Upper == "LONG" || Has(Upper, "COUNTER") || Has(Upper, "AUTOINCREMENT")) {
        Def.DataType = ftInteger;
    } else if (Has(Upper, "MEMO") || Has(Upper, "LONGTEXT") || Has(Upper, "CLOB") || Has(Upper, "NTEXT")) {
        Def.DataType = ftMemo;
    } else if (Has(Upper, "CHAR") || Has(Upper, "TEXT") || Has(Upper, "STRING")) {
        Def.DataType = ftString;
        Def.Size = First > 0 ? First : 255;
    } else if (Has(Upper, "MONEY") || Has(Upper, "CURRENCY")) {
        Def.DataType = ftBCD;
        Def.Size = 4;
        Def.Precision = 19;
        Def.Currency = true;
    } else if (Has(Upper, "DECIMAL") || Has(Upper, "NUMERIC")) {
        Def.DataType = ftBCD;
        Def.Precision = First > 0 ? First : 19;
        Def.Size = First > 0 ? Second : 4;
    } else if (Has(Upper, "REAL") || Has(Upper, "FLOA") || Has(Upper, "DOUB") || Has(Upper, "SINGLE")) {
        Def.DataType = ftFloat;
    } else if (Has(Upper, "BOOL") || Has(Upper, "BIT") || Has(Upper, "YESNO") || Has(Upper, "LOGICAL")) {
        Def.DataType = ftBoolean;
    } else if (Has(Upper, "DATE") || Has(Upper, "TIME")) {
        Def.DataType = ftDateTime;
    } else if (Has(Upper, "IMAGE") || Has(Upper, "PICTURE") || Has(Upper, "GRAPHIC")) {
        Def.DataType = ftGraphic;
    } else if (Has(Upper, "BLOB") || Has(Upper, "BINARY") || Has(Upper, "OLE")) {
        Def.DataType = ftBlob;
    } else {
        Def.DataType = ftUnknown;
    }
    return Def;
}
