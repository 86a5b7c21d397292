// What gridbench's two sides share: the size of the view, the timing helper
// and the peer's figures of one run. Kept free of Qt, so the grid's side
// needs no Qt header.
#pragma once

#include <chrono>
#include <string>

constexpr int BenchClientWidth = 800;
constexpr int BenchClientHeight = 600;

template <class Step> double Milliseconds(Step&& Run) {
    const auto start = std::chrono::steady_clock::now();
    Run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct TPeerFigures {
    double OpenMs = 0;
    double ScrollMs = 0; // every page down from the top until the last row shows, or 0
    int Pages = 0;
    double SortMs = 0;
    double SelectAllMs = 0;
    long long IdSum = 0; // of the selected rows' ids, so the reads cannot be skipped
};

// One run on a fresh QTableView of BenchClientWidth x BenchClientHeight over
// a QSqlQueryModel of Sql on the SQLite file DatabaseFile; "name" is the
// sorted column and "id" the one read from the selection. Paging through
// every row is long, and done only with PageThrough.
TPeerFigures RunTableViewPeer(const std::string& DatabaseFile, const std::string& Sql, bool PageThrough);
