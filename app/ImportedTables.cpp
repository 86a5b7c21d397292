// The checks run as SQL on the receiving connection, so the attached file is
// read by the database engine alone: the receiving table's fields (the data
// layer's reading of its declared types) say what each column may hold, one
// scan finds the first value that does not fit, and a second reads only the
// texts long enough to pass their limit in GBK bytes.
#include "app/ImportedTables.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <vector>

namespace {

constexpr int MaxBinaryBytes = 16 << 20;

std::unique_ptr<TADOQuery> OpenQuery(TADOConnection* Connection, const std::string& SQL,
                                     const std::vector<std::pair<std::string, Variant>>& Values = {}) {
    auto query = std::make_unique<TADOQuery>(nullptr);
    query->SetConnection(Connection);
    query->SQL()->SetText(SQL);
    for (const auto& [name, value] : Values)
        query->Parameters()->ParamByName(name)->SetValue(value);
    query->Open();
    return query;
}

// The largest number of characters a text of the field may have; 0 for fields that are no text.
int TextLimit(const TField& Field) {
    switch (Field.DataType()) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
        return Field.Size();
    case ftMemo:
    case ftFmtMemo:
        return MaxMemoBytes;
    default:
        return 0;
    }
}

// An SQL condition true for a value of column C that the field cannot hold.
std::string NotOfType(const TField& Field, const std::string& C) {
    const std::string type = "typeof(" + C + ")";
    switch (Field.DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
        return type + " not in ('integer','null') or " + C + " not between -2147483648 and 2147483647";
    case ftLargeint:
        return type + " not in ('integer','null')";
    case ftBoolean:
        return type + " not in ('integer','null') or " + C + " not in (0,1)";
    case ftFloat:
    case ftCurrency:
        return type + " not in ('integer','real','null') or abs(" + C + ") > 1e300";
    case ftBCD:
    case ftFMTBcd: {
        const auto& bcd = static_cast<const TBCDField&>(Field);
        const int digits = std::max(1, bcd.Precision() - Field.Size());
        return type + " not in ('integer','real','null') or abs(" + C + ") >= 1e" + std::to_string(digits);
    }
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp:
        return type + " not in ('text','null') or length(" + C + ") > 23 or (" + C + " is not null and (" + C +
               " not glob '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]*' or datetime(" + C + ") is null))";
    default:
        if (const int limit = TextLimit(Field))
            return type + " not in ('text','integer','real','null') or length(" + C + ") > " + std::to_string(limit);
        return "length(" + C + ") > " + std::to_string(MaxBinaryBytes);
    }
}

// The table itself, not a view or a virtual table, with every column of
// Receiving, no computed column and no trigger.
void CheckStructure(TADOConnection* Connection, const std::string& Alias, const std::string& Table,
                    const std::vector<TField*>& Receiving) {
    const std::string schema = SQLQuotedName(Alias);
    const auto kind = OpenQuery(
        Connection, "select type, sql from " + schema + ".sqlite_master where lower(name) = lower(:TableName)",
        {{"TableName", Table}});
    if (kind->RecordCount() != 1 || kind->Fields()[0]->AsString() != "table" ||
        LowerCase(Trim(kind->Fields()[1]->AsString())).rfind("create virtual", 0) == 0)
        throw EImportRefused(WrongStructureText);
    // A trigger would change rows as they are written into the file.
    const auto triggers = OpenQuery(Connection,
                                    "select count(*) from " + schema +
                                        ".sqlite_master where type = 'trigger' and lower(tbl_name) = lower(:TableName)",
                                    {{"TableName", Table}});
    if (triggers->Fields()[0]->AsInteger() != 0) throw EImportRefused(WrongStructureText);
    const auto columns = OpenQuery(Connection, "select name, hidden from pragma_table_xinfo(:TableName, :SchemaName)",
                                   {{"TableName", Table}, {"SchemaName", Alias}});
    std::set<std::string> names;
    for (; !columns->Eof(); columns->Next()) {
        if (columns->Fields()[1]->AsInteger() != 0) throw EImportRefused(WrongStructureText);
        names.insert(LowerCase(columns->Fields()[0]->AsString()));
    }
    for (const TField* field : Receiving)
        if (!names.count(LowerCase(field->FieldName()))) throw EImportRefused(WrongStructureText);
}

} // namespace

std::string WrongValueText(const std::string& Table, const std::string& Column) {
    return "导入项目中 " + Table + " 表的 " + Column + " 字段不正确，请更换项目文件";
}

std::unique_ptr<TAttachedDatabase> AttachImportedFile(TADOConnection* Connection, const std::string& FileName,
                                                      const std::string& Alias, const std::string& UnreadableText) {
    // The engine would take any file for an empty database until first read.
    static const char Header[16] = "SQLite format 3";
    char bytes[sizeof Header] = {};
    FILE* file = std::fopen(FileName.c_str(), "rb");
    const bool read = file && std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes;
    if (file) std::fclose(file);
    if (!read || !std::equal(bytes, bytes + sizeof bytes, Header)) throw EImportRefused(UnreadableText);
    try {
        return std::make_unique<TAttachedDatabase>(Connection, FileName, Alias);
    } catch (const std::exception&) {
        throw EImportRefused(UnreadableText);
    }
}

int CheckImportedTable(TADOConnection* Connection, const std::string& Alias, const std::string& Table,
                       const std::string& Receiving) {
    const std::string source = SQLQuotedName(Alias) + "." + SQLQuotedName(Table);
    try {
        const auto receiving = OpenQuery(Connection, "select * from " + SQLQuotedName(Receiving) + "." +
                                                         SQLQuotedName(Table) + " where 0");
        const std::vector<TField*>& fields = receiving->Fields();
        CheckStructure(Connection, Alias, Table, fields);

        const auto rows = OpenQuery(Connection, "select count(*) from (select 1 from " + source + " limit " +
                                                    std::to_string(MaxImportedRows + 1) + ")");
        const int count = rows->Fields()[0]->AsInteger();
        if (count > MaxImportedRows) throw EImportRefused(TooManyRowsText);

        std::string firstMisfit = "case";
        for (size_t i = 0; i < fields.size(); ++i)
            firstMisfit += " when " + NotOfType(*fields[i], SQLQuotedName(fields[i]->FieldName())) + " then " +
                           std::to_string(i + 1);
        firstMisfit += " else 0 end";
        const auto misfit = OpenQuery(Connection, "select misfit from (select " + firstMisfit + " as misfit from " +
                                                      source + ") where misfit > 0 limit 1");
        if (!misfit->IsEmpty())
            throw EImportRefused(
                WrongValueText(Table, fields[size_t(misfit->Fields()[0]->AsInteger() - 1)]->FieldName()));

        // A character takes one or two GBK bytes: only a text of more than
        // half its limit in characters can pass the limit in bytes.
        for (const TField* field : fields) {
            const int limit = TextLimit(*field);
            if (limit == 0) continue;
            const std::string column = SQLQuotedName(field->FieldName());
            const auto texts = OpenQuery(Connection, "select " + column + " from " + source + " where length(" +
                                                         column + ") * 2 > " + std::to_string(limit));
            for (; !texts->Eof(); texts->Next())
                if (GbkByteLength(texts->Fields()[0]->AsString()) > size_t(limit))
                    throw EImportRefused(WrongValueText(Table, field->FieldName()));
        }
        return count;
    } catch (const EImportRefused&) {
        throw;
    } catch (const std::exception&) {
        // Not a database, a damaged one, or one the engine cannot read as this program writes it.
        throw EImportRefused(WrongStructureText);
    }
}
