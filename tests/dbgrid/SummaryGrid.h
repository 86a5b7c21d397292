// A shown in-memory grid over table S (ID, City, Qty) of a scratch SQLite
// file, one row per (City, Qty) pair given; a Qty written as "NULL" is Null.
// The footer texts are caught as the footer panel paints them.
#pragma once

#include "dbgrid/DBGrid.h"
#include "tests/platform/ui/WmRecorder.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"

#include "platform/data/ADODB.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Painting.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace gridtest {

struct TSummaryRow {
    std::string City;
    std::string Qty;
};

class TSummaryGrid {
public:
    // Columns colCity and colQty; Prepare runs before the data source is set.
    TSummaryGrid(const std::vector<TSummaryRow>& Rows, const std::function<void(TcvDBGrid&)>& Prepare = {}) {
        const std::string file = Folder / "summary.mdb";
        std::string sql = "create table S (ID integer primary key, City varchar(20), Qty integer);";
        for (size_t i = 0; i < Rows.size(); ++i)
            sql += "insert into S values (" + std::to_string(i + 1) + ", '" + Rows[i].City + "', " + Rows[i].Qty +
                   ");";
        RunSql(file, sql);
        Connection = std::make_unique<TADOConnection>(nullptr);
        Connection->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";");
        Connection->SetLoginPrompt(false);
        Connection->Open();
        Query = std::make_unique<TADOQuery>(nullptr);
        Query->SetConnection(Connection.get());
        Query->SQL()->SetText("select * from S order by ID");
        Query->Open();
        Source->SetDataSet(Query.get());

        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        Form.reset(form);
        Form->SetBounds(20, 20, 600, 400);
        Grid = new TcvDBGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 560, 300);
        Grid->SetKeyField("ID");
        Grid->SetOptionsDB(Grid->OptionsDB() + edgoLoadAllRecords);
        Grid->SetShowSummaryFooter(true);
        City = AddColumn("colCity", "City");
        Qty = AddColumn("colQty", "Qty");
        Grid->OnCustomDrawFooter = [this](TObject*, TCanvas*, const TRect&, TcvTreeListNode*,
                                          TcvTreeListColumn* Column, std::string& Text, TColor&, TFont*, TAlignment&,
                                          bool&) { PaintedFooters[Column->Name()] = Text; };
        if (Prepare) Prepare(*Grid);
        Form->Show();
        SettleActivation();
        Grid->SetDataSource(Source.get());
    }

    TcvDBTreeListColumn* AddColumn(const std::string& Name, const std::string& FieldName) {
        TcvDBTreeListColumn* column = Grid->CreateColumn(Grid->GetDefaultColumnClass());
        column->SetName(Name);
        column->SetBandIndex(0);
        column->SetFieldName(FieldName);
        return column;
    }

    // The footer texts of the columns as the grid paints them now.
    const std::map<std::string, std::string>& PaintFooters() {
        PaintedFooters.clear();
        InvalidateRect(Grid->Handle(), nullptr, true);
        UpdateWindow(Grid->Handle());
        return PaintedFooters;
    }

    TScratchFolder Folder;
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Query;
    std::unique_ptr<TDataSource> Source = std::make_unique<TDataSource>(nullptr);
    std::unique_ptr<TForm> Form;
    TcvDBGrid* Grid = nullptr;
    TcvDBTreeListColumn* City = nullptr;
    TcvDBTreeListColumn* Qty = nullptr;
    std::map<std::string, std::string> PaintedFooters;
};

} // namespace gridtest
