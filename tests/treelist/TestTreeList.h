// A tree list for the tests: plain nodes, a log of the expand and delete
// events, and a small named tree built by one fixture.
#pragma once

#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Painting.h"
#include "tests/platform/ui/WmRecorder.h"
#include "treelist/TreeList.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace treelisttest {

class TTestTreeList : public TCustomcvTreeList {
public:
    using TCustomcvTreeList::TCustomcvTreeList;
    bool RefuseFocus = false;
    // Nodes the owner says may have children before they exist.
    std::vector<const TcvTreeListNode*> MayHaveChildren;

    bool FocusNode(TcvTreeListNode* Node) override { return !RefuseFocus && TCustomcvTreeList::FocusNode(Node); }
    bool HasChildNodes(const TcvTreeListNode* Node) const override {
        for (const TcvTreeListNode* node : MayHaveChildren)
            if (node == Node) return true;
        return TCustomcvTreeList::HasChildNodes(Node);
    }

protected:
    TcvTreeListNode* CreateNode() override { return new TcvTreeListNode(this); }
};

// Bands and columns as plain tables. By default two bands: band 0 holds
// columns 0 and 1 in one row, band 1 holds column 2.
class TBandedTreeList : public TTestTreeList {
public:
    using TTestTreeList::TTestTreeList;
    std::vector<int> BandWidths{100, 120};
    // The absolute columns of each band row, per band.
    std::vector<std::vector<std::vector<int>>> BandRows{{{0, 1}}, {{2}}};
    std::vector<int> ColumnWidths{50, 50, 120};
    int GetBandCount() const override { return int(BandWidths.size()); }
    int GetVisibleBandWidth(int Band) const override { return BandWidths[Band]; }
    int GetBandRowCountOf(int Band) const override { return int(BandRows[Band].size()); }
    int GetColumnCountInBandRow(int Band, int Row) const override { return int(BandRows[Band][Row].size()); }
    int GetColumnAt(int Band, int Row, int Position) const override { return BandRows[Band][Row][Position]; }
    int GetColumnWidth(int Column) const override { return ColumnWidths[Column]; }
    int GetColumnMinWidth(int) const override { return 10; }
    int FixedLeft = -1;
    int FixedRight = -1;
    int GetFixedLeftBandIndex() const override { return FixedLeft; }
    int GetFixedRightBandIndex() const override { return FixedRight; }
};

// A tree list of class T with RootCount roots, shown on a form at Width x
// Height, and the pixels of its client area.
template <class T> class ShownTreeList : public ::testing::Test {
protected:
    void Show(int Width, int Height, int RootCount, const std::function<void(T&)>& Prepare = {}) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        Form.reset(form);
        Form->SetBounds(20, 20, Width + 100, Height + 100);
        Tree = new T(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, Width, Height);
        if (Prepare) Prepare(*Tree);
        {
            TUpdateGuard<TCustomcvTreeList> update(*Tree);
            for (int i = 0; i < RootCount; ++i)
                Tree->Add();
        }
        Form->Show();
        SettleActivation();
        UpdateWindow(Tree->Handle());
    }
    std::vector<COLORREF> Pixels() {
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(Tree->Handle());
        for (int y = 0; y < Tree->ClientHeight(); ++y)
            for (int x = 0; x < Tree->ClientWidth(); ++x)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(Tree->Handle(), dc);
        return pixels;
    }

    std::unique_ptr<TForm> Form;
    T* Tree = nullptr;
};

// The tree, all collapsed:
//   A         B         C
//   +- A1               +- C1
//   +- A2
//      +- A21
class NamedTree : public ::testing::Test {
protected:
    void SetUp() override {
        Tree = std::make_unique<TTestTreeList>(nullptr);
        TUpdateGuard<TCustomcvTreeList> update(*Tree);
        Name(Tree->Add(), "A");
        Name(Tree->Add(), "B");
        Name(Tree->Add(), "C");
        Name(N("A")->AddChild(), "A1");
        Name(N("A")->AddChild(), "A2");
        Name(N("A2")->AddChild(), "A21");
        Name(N("C")->AddChild(), "C1");
        Tree->OnExpanding = [this](TObject*, TcvTreeListNode* node, bool& allow) {
            Log.push_back("expanding " + NameOf(node));
            allow = NameOf(node) != Vetoed;
        };
        Tree->OnCollapsing = [this](TObject*, TcvTreeListNode* node, bool& allow) {
            Log.push_back("collapsing " + NameOf(node));
            allow = NameOf(node) != Vetoed;
        };
        Tree->OnExpanded = [this](TObject*, TcvTreeListNode* node) { Log.push_back("expanded " + NameOf(node)); };
        Tree->OnCollapsed = [this](TObject*, TcvTreeListNode* node) { Log.push_back("collapsed " + NameOf(node)); };
        Tree->OnDeletion = [this](TObject*, TcvTreeListNode* node) { Log.push_back("deletion " + NameOf(node)); };
    }
    TcvTreeListNode* N(const std::string& name) { return Nodes.at(name); }
    std::string NameOf(const TcvTreeListNode* node) const {
        if (!node) return "-";
        for (const auto& [name, n] : Nodes)
            if (n == node) return name;
        return "?";
    }
    void Name(TcvTreeListNode* node, const std::string& name) { Nodes[name] = node; }
    // The shown rows, top to bottom, as names.
    std::string Rows() const {
        std::string rows;
        for (TcvTreeListNode* node = Tree->Items(0); node; node = node->GetNextVisible())
            rows += (rows.empty() ? "" : " ") + NameOf(node);
        return rows;
    }
    // The whole tree in tree order, children in brackets.
    std::string Shape(TcvTreeListNode* parent = nullptr) const {
        std::string shape;
        const int count = parent ? parent->Count() : Tree->Count();
        for (int i = 0; i < count; ++i) {
            TcvTreeListNode* node = parent ? parent->Items(i) : Tree->Items(i);
            shape += (shape.empty() ? "" : " ") + NameOf(node);
            if (node->Count() > 0) shape += "(" + Shape(node) + ")";
        }
        return shape;
    }

    std::unique_ptr<TTestTreeList> Tree;
    std::map<std::string, TcvTreeListNode*> Nodes;
    std::vector<std::string> Log;
    std::string Vetoed;
};

} // namespace treelisttest
