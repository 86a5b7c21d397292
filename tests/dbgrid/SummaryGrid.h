// A shown in-memory grid over table S (ID, City, Qty) of a scratch SQLite
// file, one row per (City, Qty) pair given; a Qty written as "NULL" is Null.
// The footer texts are caught as the footer panel paints them.
#pragma once

#include "tests/dbgrid/ShownGrid.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace gridtest {

struct TSummaryRow {
    std::string City;
    std::string Qty;
};

class TSummaryGrid : public TScratchQuery, public TGridOnForm {
public:
    // Columns colCity and colQty; Prepare runs before the data source is set.
    TSummaryGrid(const std::vector<TSummaryRow>& Rows, const std::function<void(TcvDBGrid&)>& Prepare = {})
        : TScratchQuery("summary.mdb", TableS(Rows), "select * from S order by ID"),
          TGridOnForm(Source.get(), 560, 300, {"City", "Qty"}, [&Prepare](TcvDBGrid& Grid) {
              Grid.ColumnByFieldName("City")->SetName("colCity");
              Grid.ColumnByFieldName("Qty")->SetName("colQty");
              Grid.SetKeyField("ID");
              Grid.SetOptionsDB(Grid.OptionsDB() + edgoLoadAllRecords);
              Grid.SetShowSummaryFooter(true);
              if (Prepare) Prepare(Grid);
          }) {
        Grid->OnCustomDrawFooter = [this](TObject*, TCanvas*, const TRect&, TcvTreeListNode*,
                                          TcvTreeListColumn* Column, std::string& Text, TColor&, TFont*, TAlignment&,
                                          bool&) { PaintedFooters[Column->Name()] = Text; };
    }

    // The footer texts of the columns as the grid paints them now.
    const std::map<std::string, std::string>& PaintFooters() {
        PaintedFooters.clear();
        InvalidateRect(Grid->Handle(), nullptr, true);
        UpdateWindow(Grid->Handle());
        return PaintedFooters;
    }

    TcvDBTreeListColumn* City = Grid->ColumnByFieldName("City");
    TcvDBTreeListColumn* Qty = Grid->ColumnByFieldName("Qty");
    std::map<std::string, std::string> PaintedFooters;

private:
    static std::string TableS(const std::vector<TSummaryRow>& Rows) {
        std::string sql = "create table S (ID integer primary key, City varchar(20), Qty integer);";
        for (size_t i = 0; i < Rows.size(); ++i)
            sql += "insert into S values (" + std::to_string(i + 1) + ", '" + Rows[i].City + "', " + Rows[i].Qty +
                   ");";
        return sql;
    }
};

} // namespace gridtest
