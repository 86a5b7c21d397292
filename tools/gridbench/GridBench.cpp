// gridbench: the data-aware grid beside QTableView over QSqlQueryModel, both
// on one scratch SQLite table t of N rows (default 100,000) and 10 columns of
// mixed types, "select * from t", in an 800 x 600 view in this headless
// process. Open, sort and select-all are the median of three runs on fresh
// views; scroll and page come from the first run. One line per figure:
//   mode=<memory|buffer> step=<open|scroll|page|sort|selectall> rows=<N> ms=<t>
//   peer=qtableview step=<open|scroll|page|sort|selectall> rows=<N> ms=<t>
// Usage: gridbench [--rows N]
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "QTableViewPeer.h"
#include "platform/rtl/FileUtils.h"

namespace {

constexpr int Runs = 3;
constexpr char BenchSql[] = "select * from t";

const char* const Names[] = {"城市规划", "新材料",   "节能减排", "软件工程", "生物医药",
                             "现代农业", "智能制造", "水资源",   "环境监测", "信息安全"};
const char* const Units[] = {"市科学技术局", "第一研究所", "理工大学",   "农业科学院",
                             "信息中心",     "环境监测站", "工业设计院", "医学院附属医院"};

void Check(sqlite3* Db, int Result) {
    if (Result != SQLITE_OK && Result != SQLITE_DONE && Result != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(Db));
}

// Table t: an integer key, texts ("name" among them), an integer, a float,
// money, two date-times, a Boolean and a long text, the same for every run.
void CreateTable(const std::string& FileName, int Rows) {
    sqlite3* db = nullptr;
    Check(db, sqlite3_open(FileName.c_str(), &db));
    Check(db, sqlite3_exec(db,
                           "create table t (id integer primary key, name varchar(50), unit varchar(50), qty integer, "
                           "rate float, amount money, made datetime, changed datetime, done bit, note memo); begin;",
                           nullptr, nullptr, nullptr));
    sqlite3_stmt* insert = nullptr;
    Check(db, sqlite3_prepare_v2(db, "insert into t values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", -1, &insert, nullptr));
    const std::string note(120, 'x');
    for (int i = 1; i <= Rows; ++i) {
        // Names repeat in a scrambled order, so a sort has real work to do.
        const int scrambled = int((i * 7919LL) % Rows);
        const std::string name = std::string(Names[scrambled % 10]) + " " + std::to_string(scrambled);
        char made[32], changed[32];
        std::snprintf(made, sizeof made, "2024-%02d-%02d 08:30:00", 1 + i % 12, 1 + i % 28);
        std::snprintf(changed, sizeof changed, "2025-%02d-%02d 17:%02d:00", 1 + i % 12, 1 + i % 28, i % 60);
        sqlite3_bind_int(insert, 1, i);
        sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, Units[i % 8], -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 4, i % 97);
        sqlite3_bind_double(insert, 5, i / 7.0);
        sqlite3_bind_double(insert, 6, i * 1.25);
        sqlite3_bind_text(insert, 7, made, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 8, changed, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 9, i % 2);
        sqlite3_bind_text(insert, 10, note.c_str(), -1, SQLITE_STATIC);
        Check(db, sqlite3_step(insert));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(db, sqlite3_exec(db, "commit;", nullptr, nullptr, nullptr));
    sqlite3_close(db);
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

void PrintLine(const char* Side, const char* Step, int Rows, double Ms) {
    std::printf("%s step=%s rows=%d ms=%.1f\n", Side, Step, Rows, Ms);
}

void RunPeer(const std::string& FileName, int Rows) {
    std::vector<TPeerFigures> runs;
    for (int i = 0; i < Runs; ++i)
        runs.push_back(RunTableViewPeer(FileName, BenchSql, i == 0));
    auto median = [&runs](double TPeerFigures::*Figure) {
        std::vector<double> values;
        for (const TPeerFigures& run : runs)
            values.push_back(run.*Figure);
        return Median(values);
    };
    const TPeerFigures& first = runs.front();
    const char* side = "peer=qtableview";
    PrintLine(side, "open", Rows, median(&TPeerFigures::OpenMs));
    PrintLine(side, "scroll", Rows, first.ScrollMs);
    PrintLine(side, "page", Rows, first.ScrollMs / std::max(first.Pages, 1));
    PrintLine(side, "sort", Rows, median(&TPeerFigures::SortMs));
    PrintLine(side, "selectall", Rows, median(&TPeerFigures::SelectAllMs));
}

} // namespace

int main(int argc, char** argv) {
    int rows = 100000;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc) rows = std::atoi(argv[++i]);
    setenv("QT_QPA_PLATFORM", "offscreen", 1); // before anything opens a window

    TTempFile file({}, "gridbench", ".mdb");
    CreateTable(file.FileName(), rows);

    // ---- The grid's steps -------------------------------------------------
    // mode=memory and mode=buffer (open, scroll, page, sort, selectall) go
    // here, each line printed with PrintLine("mode=memory", ...), once the
    // grid is in the tree.

    RunPeer(file.FileName(), rows);
    return 0;
}
