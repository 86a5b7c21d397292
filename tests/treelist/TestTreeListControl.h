// A tree-list control with bands and columns made from small tables, for the
// band, column and control tests.
#pragma once

#include "treelist/TreeListControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace treelisttest {

// A column as a table row: its band and its row in the band.
struct TColumnPlace {
    int Band;
    int Row;
};

class TreeListControlTest : public ::testing::Test {
protected:
    // Bands captioned "B0", "B1", ...; columns named "C0", "C1", ... owned by
    // the owner component, attached in order.
    void Build(int BandCount, const std::vector<TColumnPlace>& Columns) {
        TUpdateGuard<TCustomcvTreeList> update(Tree);
        while (Tree->Bands()->Count() < BandCount)
            Tree->Bands()->Add();
        for (int i = 0; i < BandCount; ++i)
            Tree->Bands()->Items(i)->SetCaption("B" + std::to_string(i));
        for (const TColumnPlace& place : Columns)
            AddColumn(place);
    }
    TcvTreeListColumn* AddColumn(TColumnPlace Place) {
        auto* column = new TcvTreeListColumn(Owner.get());
        column->SetName("C" + std::to_string(Tree->ColumnCount()));
        column->SetTreeList(Tree);
        column->SetBandIndex(Place.Band);
        column->SetStoredRowIndex(Place.Row);
        return column;
    }
    TcvTreeListColumn* C(int Index) { return Tree->Columns(Index); }
    // The band captions in collection order.
    std::string BandOrder() const {
        std::string order;
        for (int i = 0; i < Tree->Bands()->Count(); ++i)
            order += (order.empty() ? "" : " ") + Tree->Bands()->Items(i)->Caption();
        return order;
    }
    // Each column's band caption, or "-" without a band.
    std::string ColumnBands() const {
        std::string bands;
        for (int i = 0; i < Tree->ColumnCount(); ++i) {
            const int band = Tree->Columns(i)->BandIndex();
            bands += (bands.empty() ? "" : " ") + (band < 0 ? "-" : Tree->Bands()->Items(band)->Caption());
        }
        return bands;
    }
    // The shown layout: per shown band, its rows of column names.
    std::string Layout() const {
        std::string layout;
        for (int band = 0; band < Tree->GetBandCount(); ++band) {
            layout += (layout.empty() ? "" : " | ") + Tree->GetBandCaption(band) + ":";
            for (int row = 0; row < Tree->GetBandRowCountOf(band); ++row) {
                layout += row ? " /" : "";
                for (int position = 0; position < Tree->GetColumnCountInBandRow(band, row); ++position)
                    layout += " " + Tree->Columns(Tree->GetColumnAt(band, row, position))->Name();
            }
        }
        return layout;
    }

    std::unique_ptr<TComponent> Owner = std::make_unique<TComponent>(nullptr);
    TCustomcvTreeListControl* Tree = new TCustomcvTreeListControl(Owner.get());
};

} // namespace treelisttest
