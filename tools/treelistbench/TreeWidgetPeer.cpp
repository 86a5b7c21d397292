// Qt's side of treelistbench: a QTreeWidget as a Qt programmer would fill and
// drive it (uniform row heights, items added in bulk, expandAll, paging by the
// scroll bar's page step, sortItems), timed step by step like the tree list.
// The font is the face the platform draws "宋体" -12 with, without antialiasing.
#include "BenchTree.h"

#include <QApplication>
#include <QScrollBar>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace {

QTreeWidgetItem* MakeItem(const TBenchTree& Tree, size_t& Next) {
    const auto& texts = Tree.Texts[Next++];
    QStringList labels;
    labels.reserve(TBenchTree::Columns);
    for (const std::string& text : texts)
        labels.append(QString::fromUtf8(text.data(), qsizetype(text.size())));
    return new QTreeWidgetItem(labels);
}

// Every root with its subtree, made apart from the widget and added in one call.
void AddItems(QTreeWidget& Widget, const TBenchTree& Tree) {
    size_t next = 0;
    QList<QTreeWidgetItem*> roots;
    roots.reserve(Tree.Nodes / TBenchTree::NodesPerRoot);
    while (next < Tree.Texts.size()) {
        QTreeWidgetItem* root = MakeItem(Tree, next);
        QList<QTreeWidgetItem*> children;
        children.reserve(TBenchTree::Children);
        for (int c = 0; c < TBenchTree::Children; ++c) {
            QTreeWidgetItem* child = MakeItem(Tree, next);
            QList<QTreeWidgetItem*> grandchildren;
            grandchildren.reserve(TBenchTree::Grandchildren);
            for (int g = 0; g < TBenchTree::Grandchildren; ++g)
                grandchildren.append(MakeItem(Tree, next));
            child->addChildren(grandchildren);
            children.append(child);
        }
        root->addChildren(children);
        roots.append(root);
    }
    Widget.addTopLevelItems(roots);
}

int ShownRows(QTreeWidget& Widget) {
    int rows = 0;
    for (QTreeWidgetItemIterator it(&Widget); *it; ++it) {
        bool shown = true;
        for (QTreeWidgetItem* parent = (*it)->parent(); parent && shown; parent = parent->parent())
            shown = parent->isExpanded();
        rows += shown;
    }
    return rows;
}

// The widget as both runs set it up, shown.
void SetUpWidget(QTreeWidget& Widget) {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setPixelSize(BenchFontPixels);
    Widget.setFont(font);
    Widget.setUniformRowHeights(true);
    Widget.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    Widget.setColumnCount(TBenchTree::Columns);
    QStringList captions;
    for (const char* caption : BenchCaptions)
        captions.append(QString::fromUtf8(caption));
    Widget.setHeaderLabels(captions);
    for (int c = 0; c < TBenchTree::Columns; ++c)
        Widget.setColumnWidth(c, BenchColumnWidth);
    Widget.resize(BenchClientWidth, BenchClientHeight);
    Widget.show();
    QApplication::processEvents();
}

} // namespace

TBenchFigures RunTreeWidgetPeer(const TBenchTree& Tree) {
    QTreeWidget widget;
    SetUpWidget(widget);

    TBenchFigures figures;
    figures.BuildMs = Milliseconds([&] {
        AddItems(widget, Tree);
        widget.viewport()->repaint();
    });
    figures.ExpandMs = Milliseconds([&] {
        widget.expandAll();
        widget.viewport()->repaint();
    });
    figures.Rows = ShownRows(widget);

    QScrollBar* bar = widget.verticalScrollBar();
    bar->setValue(0);
    widget.viewport()->repaint();
    const double pagingMs = Milliseconds([&] {
        while (bar->value() < bar->maximum()) {
            bar->setValue(bar->value() + bar->pageStep());
            widget.viewport()->repaint();
            ++figures.Pages;
        }
    });
    figures.PageMs = pagingMs / std::max(figures.Pages, 1);

    figures.SortMs = Milliseconds([&] {
        widget.sortItems(0, Qt::AscendingOrder);
        widget.viewport()->repaint();
    });
    figures.First = widget.topLevelItem(0)->text(0).toStdString();
    return figures;
}

double RunTreeWidgetAddOne(const TBenchTree& Tree, int Roots) {
    QTreeWidget widget;
    SetUpWidget(widget);
    const double ms = Milliseconds([&] {
        size_t next = 0;
        for (int i = 0; i < Roots; ++i)
            widget.addTopLevelItem(MakeItem(Tree, next));
        widget.viewport()->repaint();
    });
    return ms / Roots;
}
