// treelistbench: the tree-list control beside QTreeWidget on one tree of N nodes
// (N / 1000 roots, 9 children each, 110 grandchildren each child; four text
// columns), in an 800 x 600 client area with one font, in this headless
// process. Steps: build (every node and text inside one update bracket, one
// paint), expand (every node, one paint), page (from row 0 a page down and a
// paint, until the last row shows; ms per page), sort (by column 0, one
// paint) and add-one (at 1,000 and at N roots added one by one outside any
// update bracket, then one paint; ms per add). Each figure is the median of
// three runs on fresh trees.
// Usage: treelistbench [--nodes N]   (N a multiple of 1000, default 100000)
#include "BenchTree.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Painting.h"
#include "treelist/TreeListColumns.h"
#include "treelist/TreeListControl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 3;
// The smaller tree of the add-one step.
constexpr int AddOneSmallTree = 1000;

const char* const Topics[] = {"城市规划", "新材料",   "节能减排", "软件工程", "生物医药",
                              "现代农业", "智能制造", "水资源",   "环境监测", "信息安全"};
const char* const Units[] = {"市科学技术局", "第一研究所", "理工大学",   "农业科学院",
                             "信息中心",     "环境监测站", "工业设计院", "医学院附属医院"};
const char* const Surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
const char* const GivenNames[] = {"伟", "芳", "娜", "敏", "静", "强", "磊", "军", "洋", "勇", "艳", "杰"};

template <size_t N> const char* Pick(const char* const (&Table)[N], std::mt19937& Random) {
    return Table[Random() % N];
}

void PaintNow(TCustomcvTreeListControl* Tree) {
    Tree->Invalidate();
    UpdateWindow(Tree->Handle());
}

// A fresh control with the four columns in one band, shown on its own form.
TCustomcvTreeListControl* ShowTreeList(TForm* Form) {
    Form->Font()->SetName("宋体");
    Form->Font()->SetHeight(-BenchFontPixels);
    Form->SetClientWidth(BenchClientWidth);
    Form->SetClientHeight(BenchClientHeight);
    auto* tree = new TCustomcvTreeListControl(Form);
    tree->SetParent(Form);
    tree->SetAlign(alClient);
    {
        TUpdateGuard<TCustomcvTreeList> update(tree);
        for (const char* caption : BenchCaptions) {
            auto* column = new TcvTreeListColumn(Form);
            column->SetCaption(caption);
            column->SetBandIndex(0);
            column->SetWidth(BenchColumnWidth);
            column->SetTreeList(tree);
        }
        tree->Bands()->Items(0)->SetWidth(BenchColumnWidth * TBenchTree::Columns);
    }
    Form->Show();
    Application->ProcessMessages();
    return tree;
}

void AddNode(TCustomcvTreeListControl* Tree, TcvTreeListNode* Node, const TBenchTree& Texts, size_t& Next) {
    const auto& texts = Texts.Texts[Next++];
    for (int c = 0; c < TBenchTree::Columns; ++c)
        Tree->StoreNodeString(Node, c, texts[c]);
}

TBenchFigures RunTreeList(const TBenchTree& Texts) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    std::unique_ptr<TForm> owner(form);
    TCustomcvTreeListControl* tree = ShowTreeList(form);

    TBenchFigures figures;
    figures.BuildMs = Milliseconds([&] {
        {
            TUpdateGuard<TCustomcvTreeList> update(tree);
            size_t next = 0;
            while (next < Texts.Texts.size()) {
                TcvTreeListNode* root = tree->Add();
                AddNode(tree, root, Texts, next);
                for (int c = 0; c < TBenchTree::Children; ++c) {
                    TcvTreeListNode* child = root->AddChild();
                    AddNode(tree, child, Texts, next);
                    for (int g = 0; g < TBenchTree::Grandchildren; ++g)
                        AddNode(tree, child->AddChild(), Texts, next);
                }
            }
        }
        PaintNow(tree);
    });
    figures.ExpandMs = Milliseconds([&] {
        {
            TUpdateGuard<TCustomcvTreeList> update(tree);
            for (int i = 0; i < tree->Count(); ++i)
                tree->Items(i)->Expand(true);
        }
        PaintNow(tree);
    });
    figures.Rows = tree->GetVisibleRowCount();

    tree->SetTopRowIndex(0);
    PaintNow(tree);
    const double pagingMs = Milliseconds([&] {
        while (tree->GetTopRowIndex() + tree->VisibleRowCount() < figures.Rows) {
            tree->SetTopRowIndex(tree->GetTopRowIndex() + tree->VisibleRowCount());
            UpdateWindow(tree->Handle());
            ++figures.Pages;
        }
    });
    figures.PageMs = pagingMs / std::max(figures.Pages, 1);

    figures.SortMs = Milliseconds([&] {
        tree->SortChildren(-1, 0, false);
        PaintNow(tree);
    });
    figures.First = tree->GetNodeString(tree->Items(0), 0);
    return figures;
}

// Roots single adds onto a fresh shown control; milliseconds per add.
double RunTreeListAddOne(const TBenchTree& Texts, int Roots) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    std::unique_ptr<TForm> owner(form);
    TCustomcvTreeListControl* tree = ShowTreeList(form);
    const double ms = Milliseconds([&] {
        size_t next = 0;
        for (int i = 0; i < Roots; ++i)
            AddNode(tree, tree->Add(), Texts, next);
        PaintNow(tree);
    });
    return ms / Roots;
}

double Median(double A, double B, double C) {
    return std::max(std::min(A, B), std::min(std::max(A, B), C));
}

// The median of each step over three runs; counts and texts from the last.
TBenchFigures MedianOfRuns(const std::function<TBenchFigures()>& Run) {
    TBenchFigures runs[Runs];
    for (TBenchFigures& run : runs)
        run = Run();
    TBenchFigures median = runs[Runs - 1];
    median.BuildMs = Median(runs[0].BuildMs, runs[1].BuildMs, runs[2].BuildMs);
    median.ExpandMs = Median(runs[0].ExpandMs, runs[1].ExpandMs, runs[2].ExpandMs);
    median.PageMs = Median(runs[0].PageMs, runs[1].PageMs, runs[2].PageMs);
    median.SortMs = Median(runs[0].SortMs, runs[1].SortMs, runs[2].SortMs);
    return median;
}

double MedianOfRuns(const std::function<double()>& Run) {
    const double a = Run();
    const double b = Run();
    return Median(a, b, Run());
}

void PrintFigures(const char* Prefix, int Nodes, const TBenchFigures& Figures) {
    std::printf("%sstep=build nodes=%d ms=%.3f\n", Prefix, Nodes, Figures.BuildMs);
    std::printf("%sstep=expand nodes=%d ms=%.3f rows=%d\n", Prefix, Nodes, Figures.ExpandMs, Figures.Rows);
    std::printf("%sstep=page nodes=%d ms=%.3f pages=%d\n", Prefix, Nodes, Figures.PageMs, Figures.Pages);
    std::printf("%sstep=sort nodes=%d ms=%.3f first=%s\n", Prefix, Nodes, Figures.SortMs, Figures.First.c_str());
    std::fflush(stdout);
}

} // namespace

TBenchTree MakeBenchTree(int Nodes) {
    TBenchTree tree;
    tree.Nodes = Nodes;
    tree.Texts.resize(static_cast<size_t>(Nodes));
    std::mt19937 random(20261209);
    for (auto& texts : tree.Texts) {
        char number[16];
        std::snprintf(number, sizeof number, "%08u", unsigned(random() % 100000000u));
        texts[0] = number;
        texts[1] = std::string(Pick(Topics, random)) + "项目" + std::to_string(random() % 1000);
        texts[2] = Pick(Units, random);
        texts[3] = std::string(Pick(Surnames, random)) + Pick(GivenNames, random);
    }
    return tree;
}

int main(int argc, char** argv) {
    int nodes = 100000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--nodes") == 0 && i + 1 < argc)
            nodes = std::atoi(argv[++i]);
        else
            nodes = 0;
    }
    if (nodes <= 0 || nodes % TBenchTree::NodesPerRoot != 0) {
        std::fprintf(stderr, "usage: %s [--nodes N]   (N a positive multiple of 1000)\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1); // before anything opens a window

    const TBenchTree texts = MakeBenchTree(nodes);
    PrintFigures("", nodes, MedianOfRuns([&] { return RunTreeList(texts); }));
    PrintFigures("peer=qtreewidget ", nodes, MedianOfRuns([&] { return RunTreeWidgetPeer(texts); }));
    // The add-one step at 1,000 roots and at N, so a reader sees whether one add grows with the tree.
    std::vector<int> addSizes{AddOneSmallTree};
    if (nodes != AddOneSmallTree) addSizes.push_back(nodes);
    for (const int roots : addSizes) {
        std::printf("step=add-one nodes=%d ms=%.4f\n", roots,
                    MedianOfRuns([&] { return RunTreeListAddOne(texts, roots); }));
        std::printf("peer=qtreewidget step=add-one nodes=%d ms=%.4f\n", roots,
                    MedianOfRuns([&] { return RunTreeWidgetAddOne(texts, roots); }));
        std::fflush(stdout);
    }
    return 0;
}
