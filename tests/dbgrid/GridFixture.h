// A small world for the grid tests: a scratch SQLite file with table T of
// N rows of mixed types, opened in a query behind a data source.
// Row i (1-based) holds ID i, Name "名称i", Qty i * 10, Price i + 0.5,
// Amount i * 100.25, Made 2024-01-(i mod 28 + 1), Done (i odd), Note
// "note i" repeated i times.
#pragma once

#include "tests/support/ScratchQuery.h"

#include <string>

namespace gridtest {

class TGridData : public TScratchQuery {
public:
    // Opens "select * from T order by ID" (or Sql) on RowCount rows.
    explicit TGridData(int RowCount, const std::string& Sql = "select * from T order by ID")
        : TScratchQuery("grid.mdb", TableT(RowCount), Sql) {}

private:
    static std::string TableT(int RowCount) {
        std::string sql = "create table T (ID integer primary key, Name varchar(20), Qty integer, Price float,"
                          " Amount money, Made datetime, Done bit, Note memo);";
        for (int i = 1; i <= RowCount; ++i) {
            std::string note;
            for (int n = 0; n < i; ++n)
                note += "note " + std::to_string(i) + " ";
            const std::string day = std::to_string(i % 28 + 1);
            sql += "insert into T values (" + std::to_string(i) + ", '名称" + std::to_string(i) + "', " +
                   std::to_string(i * 10) + ", " + std::to_string(i) + ".5, " + std::to_string(i * 100) +
                   ".25, '2024-01-" + (day.size() == 1 ? "0" : "") + day + " 00:00:00', " +
                   std::to_string(i % 2) + ", '" + note + "');";
        }
        return sql;
    }
};

} // namespace gridtest
