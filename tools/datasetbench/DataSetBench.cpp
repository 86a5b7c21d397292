// Opens "select * from" a 100,000-row table into a query and walks it with
// Next, and times the sqlite3 shell reading the same query in the same run.
// Bytes per row is what the process's resident memory grew by while the
// query opened, over the rows.
// Usage: datasetbench [rows]
#include <sqlite3.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/data/ADODB.h"
#include "platform/rtl/FileUtils.h"

namespace {

using TClock = std::chrono::steady_clock;

double SecondsSince(TClock::time_point Start) {
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

void CreateTable(const std::string& FileName, int Rows) {
    sqlite3* Db = nullptr;
    sqlite3_open(FileName.c_str(), &Db);
    sqlite3_exec(Db,
                 "create table t (id integer primary key, name varchar(50), amount money, made datetime, "
                 "qty integer, note varchar(100)); begin;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* Insert = nullptr;
    sqlite3_prepare_v2(Db, "insert into t values (?, ?, ?, ?, ?, ?)", -1, &Insert, nullptr);
    for (int i = 1; i <= Rows; ++i) {
        std::string Name = "project " + std::to_string(i);
        std::string Made = "2024-" + std::to_string(10 + i % 3) + "-1" + std::to_string(i % 10) + " 08:30:00";
        sqlite3_bind_int(Insert, 1, i);
        sqlite3_bind_text(Insert, 2, Name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(Insert, 3, i * 1.25);
        sqlite3_bind_text(Insert, 4, Made.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(Insert, 5, i % 97);
        sqlite3_bind_text(Insert, 6, "a note of moderate length for every row", -1, SQLITE_STATIC);
        sqlite3_step(Insert);
        sqlite3_reset(Insert);
    }
    sqlite3_finalize(Insert);
    sqlite3_exec(Db, "commit;", nullptr, nullptr, nullptr);
    sqlite3_close(Db);
}

long long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

} // namespace

int main(int argc, char** argv) {
    int Rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    TTempFile File({}, "datasetbench", ".mdb");
    CreateTable(File.FileName(), Rows);

    TADOConnection Connection(nullptr);
    Connection.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + File.FileName() +
                                   ";Mode=Share Deny None;");
    Connection.Open();
    TADOQuery Query(nullptr);
    Query.SetConnection(&Connection);
    Query.SQL()->SetText("select * from t");

    long long ResidentBefore = ResidentBytes();
    auto Start = TClock::now();
    Query.Open();
    double OpenSeconds = SecondsSince(Start);
    double BytesPerRow = double(ResidentBytes() - ResidentBefore) / Rows;
    auto WalkStart = TClock::now();
    long long Sum = 0;
    int Walked = 0;
    TField* Qty = Query.FieldByName("qty");
    for (Query.First(); !Query.Eof(); Query.Next()) {
        Sum += Qty->AsInteger();
        ++Walked;
    }
    double WalkSeconds = SecondsSince(WalkStart);
    double DataSetSeconds = OpenSeconds + WalkSeconds;

    std::string Command = "sqlite3 '" + File.FileName() + "' 'select * from t' > /dev/null";
    auto ShellStart = TClock::now();
    int ShellResult = std::system(Command.c_str());
    double ShellSeconds = SecondsSince(ShellStart);

    std::printf("rows: %d (walked %d, checksum %lld)\n", Rows, Walked, Sum);
    std::printf("dataset open:        %8.3f s  %12.0f rows/s\n", OpenSeconds, Rows / OpenSeconds);
    std::printf("dataset walk (Next): %8.3f s  %12.0f rows/s\n", WalkSeconds, Rows / WalkSeconds);
    std::printf("dataset open + walk: %8.3f s  %12.0f rows/s\n", DataSetSeconds, Rows / DataSetSeconds);
    std::printf("dataset memory:      %8.0f bytes per row\n", BytesPerRow);
    if (ShellResult == 0)
        std::printf("sqlite3 shell:       %8.3f s  %12.0f rows/s\n", ShellSeconds, Rows / ShellSeconds);
    else
        std::printf("sqlite3 shell:       not available (exit %d)\n", ShellResult);
    return 0;
}
