// What treelistbench's two sides share: the tree's texts and the figures of
// one run. Kept free of Qt, so the tree list's side needs no Qt header.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

// N / 1000 roots, each with Children children, each with Grandchildren
// grandchildren: 1000 nodes per root.
struct TBenchTree {
    static constexpr int Children = 9;
    static constexpr int Grandchildren = 110;
    static constexpr int NodesPerRoot = 1 + Children * (1 + Grandchildren);
    static constexpr int Columns = 4;

    int Nodes = 0;
    // The texts of every node in tree order (a root, then its first child and
    // that child's grandchildren, then its next child ...).
    std::vector<std::array<std::string, Columns>> Texts;
};

// The same texts for the same node count on every run: one fixed
// pseudo-random sequence; column 0 is an 8-digit number.
TBenchTree MakeBenchTree(int Nodes);

// The client area both sides show, and their one font.
constexpr int BenchClientWidth = 800;
constexpr int BenchClientHeight = 600;
constexpr int BenchColumnWidth = 180;
constexpr int BenchFontPixels = 12;
inline constexpr const char* BenchCaptions[TBenchTree::Columns] = {"编号", "名称", "单位", "负责人"};

struct TBenchFigures {
    double BuildMs = 0;
    double ExpandMs = 0;
    double PageMs = 0; // per page
    double SortMs = 0;
    int Rows = 0; // shown after expanding
    int Pages = 0;
    std::string First; // column 0 of the first root after sorting
};

inline double Milliseconds(const std::function<void()>& Run) {
    const auto start = std::chrono::steady_clock::now();
    Run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// One run of QTreeWidget on a fresh widget; the platform's application must
// exist already.
TBenchFigures RunTreeWidgetPeer(const TBenchTree& Tree);
// Milliseconds per item of Roots single top-level adds (the first Roots
// texts) onto a fresh shown widget, and one paint.
double RunTreeWidgetAddOne(const TBenchTree& Tree, int Roots);
