// gridbench: the data-aware grid beside QTableView over QSqlQueryModel, both
// on one scratch SQLite table t of N rows (default 100,000) and 10 columns of
// mixed types, "select * from t", in an 800 x 600 view in this headless
// process. Open, sort and select-all are the median of three runs on fresh
// views; scroll and page come from the first run. Every grid step ends with
// the grid painted into its backing image. In the in-memory mode ten jumps
// (SetRecNo) and ten moves (MoveBy) of the dataset, spread over the records,
// each end painted too. The grid's record-buffer steps run again on a table
// of 10,000 rows. One line per figure:
//   mode=<memory|buffer> step=<open|scroll|page|jump|moveby|sort|selectall> rows=<N> ms=<t>
//   peer=qtableview step=<open|scroll|page|sort|selectall> rows=<N> ms=<t>
// Usage: gridbench [--rows N]
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "QTableViewPeer.h"
#include "dbgrid/DBGrid.h"
#include "dbgrid/GridColumns.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"

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

// The median of one figure over the runs.
template <class TFigures> double Median(const std::vector<TFigures>& Runs, double TFigures::*Figure) {
    std::vector<double> values;
    for (const TFigures& run : Runs)
        values.push_back(run.*Figure);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PrintLine(const char* Side, const char* Step, int Rows, double Ms) {
    std::printf("%s step=%s rows=%d ms=%.1f\n", Side, Step, Rows, Ms);
}

// A fresh grid filling an 800 x 600 client area of its own form over
// "select * from t" of one file: one column per field of the class the grid's
// GetColumnClass gives, KeyField "id", several rows selectable. The query
// stays closed until a step opens it.
class TBenchGrid {
public:
    TBenchGrid(const std::string& FileName, bool LoadAllRecords) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        FForm.reset(form);
        FForm->Font()->SetName("宋体");
        FForm->Font()->SetHeight(-12);
        FForm->SetClientWidth(BenchClientWidth);
        FForm->SetClientHeight(BenchClientHeight);
        FConnection = new TADOConnection(FForm.get());
        FConnection->SetLoginPrompt(false);
        FConnection->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + FileName + ";");
        FConnection->Open();
        Query = new TADOQuery(FForm.get());
        Query->SetConnection(FConnection);
        Query->SQL()->SetText(BenchSql);
        auto* source = new TDataSource(FForm.get());
        source->SetDataSet(Query);
        Grid = new TcvDBGrid(FForm.get());
        Grid->SetName("grdBench");
        Grid->SetParent(FForm.get());
        Grid->SetAlign(alClient);
        Query->Open(); // for its fields only
        for (TField* field : Query->Fields()) {
            TcvDBTreeListColumn* column = Grid->CreateColumn(Grid->GetColumnClass(field));
            column->SetBandIndex(0);
            column->SetFieldName(field->FieldName());
        }
        Query->Close();
        Grid->SetKeyField("id");
        Grid->SetOptionsBehavior(Grid->OptionsBehavior() + edgoMultiSelect);
        if (LoadAllRecords) Grid->SetOptionsDB(Grid->OptionsDB() + edgoLoadAllRecords);
        Grid->SetDataSource(source);
        FForm->Show();
        Application->ProcessMessages();
        Grid->SetFocus();
    }

    void PaintNow() {
        Grid->Invalidate();
        UpdateWindow(Grid->Handle());
    }

    double Open() {
        return Milliseconds([this] {
            Query->Open();
            PaintNow();
        });
    }

    // Pages down from the top, each page painted, until LastRowShows.
    double PageThrough(const std::function<bool()>& LastRowShows, int& Pages) {
        return Milliseconds([&] {
            while (!LastRowShows()) {
                const std::string top = Grid->GetNodeString(Grid->TopNode(), 0);
                SendMessage(Grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
                PaintNow();
                // The last rows may be in view already: the page that reaches the end need not move.
                if (Grid->GetNodeString(Grid->TopNode(), 0) == top && !LastRowShows())
                    throw std::runtime_error("paging stopped");
                ++Pages;
            }
        });
    }

    // A left click in the middle of the header of the column bound to Field.
    void ClickHeader(const std::string& Field) {
        const int column = Grid->GetVisibleIndex(Grid->ColumnByFieldName(Field)->GetIndex());
        const TRect cell = Grid->GetCellRect(Grid->TopNode(), column);
        const TPoint origin = Grid->ClientToScreen({0, 0});
        TRect window;
        GetWindowRect(Grid->Handle(), window);
        const TPoint point = {(cell.Left + cell.Right) / 2 + origin.X - window.Left,
                              cell.Top - Grid->HeaderHeight() / 2 + origin.Y - window.Top};
        using platform_ui::test::TMouseEventKind;
        platform_ui::test::SendQtMouse(Grid->Handle(), TMouseEventKind::Press, point, MK_LBUTTON, MK_LBUTTON);
        platform_ui::test::SendQtMouse(Grid->Handle(), TMouseEventKind::Release, point, MK_LBUTTON, 0);
    }

    void Key(Word Vk, WPARAM Keys) { platform_ui::test::SendQtKey(Grid->Handle(), Vk, Keys, ""); }

    TADOQuery* Query = nullptr;
    TcvDBGrid* Grid = nullptr;

private:
    std::unique_ptr<TForm> FForm;
    TADOConnection* FConnection = nullptr;
};

struct TGridFigures {
    double OpenMs = 0;
    double ScrollMs = 0;
    int Pages = 0;
    double JumpMs = 0;     // in-memory mode only
    double MoveByMs = 0;   // in-memory mode only
    double LastStepMs = 0; // sort in the in-memory mode, select-all in the record-buffer mode
};

constexpr int Jumps = 10;

// Ten jumps to records spread over the dataset, and ten moves between the
// same places; the focused row must follow each.
void JumpAndMove(TBenchGrid& Bench, TGridFigures& Figures) {
    const int records = Bench.Query->RecordCount();
    const auto place = [records](int Step) { return 1 + int((Step * 7919LL) % records); };
    const auto check = [&Bench] {
        if (Bench.Grid->GetNodeString(Bench.Grid->FocusedNode(), 0) != Bench.Query->FieldByName("id")->AsString())
            throw std::runtime_error("the focus did not follow the dataset");
    };
    Figures.JumpMs = Milliseconds([&] {
        for (int step = 1; step <= Jumps; ++step) {
            Bench.Query->SetRecNo(place(step));
            Bench.PaintNow();
            check();
        }
    });
    Figures.MoveByMs = Milliseconds([&] {
        for (int step = 1; step <= Jumps; ++step) {
            Bench.Query->MoveBy(place(step + Jumps) - Bench.Query->RecNo());
            Bench.PaintNow();
            check();
        }
    });
    Bench.Query->First();
}

// The column of Field is sorted ascending and every row follows it.
bool RowsSortedUp(TcvDBGrid& Grid, const std::string& Field) {
    TcvDBTreeListColumn* column = Grid.ColumnByFieldName(Field);
    if (column->Sorted() != csUp) return false;
    Variant previous, current;
    for (int row = 0; row < Grid.GetVisibleRowCount(); ++row, previous = current) {
        Grid.GetNodeVariant(Grid.GetRowNode(row), column->GetIndex(), current);
        if (row > 0 && VarCompare(current, previous) < 0) return false;
    }
    return true;
}

// The in-memory mode: open, every page (the first run), a header click on name.
TGridFigures RunMemoryGrid(const std::string& FileName, bool PageThrough) {
    TBenchGrid bench(FileName, true);
    TGridFigures figures;
    figures.OpenMs = bench.Open();
    JumpAndMove(bench, figures);
    if (PageThrough)
        figures.ScrollMs = bench.PageThrough(
            [&bench] {
                return bench.Grid->GetTopRowIndex() + bench.Grid->VisibleRowCount() >=
                       bench.Grid->GetVisibleRowCount();
            },
            figures.Pages);
    figures.LastStepMs = Milliseconds([&bench] {
        bench.ClickHeader("name");
        bench.PaintNow();
    });
    if (!RowsSortedUp(*bench.Grid, "name")) throw std::runtime_error("the header click did not sort");
    return figures;
}

// The record-buffer mode: open, every page until EOF (the first run), then
// Ctrl+Home, Shift+End and the export's loop over the selected rows.
TGridFigures RunBufferGrid(const std::string& FileName, bool PageThrough, int Rows) {
    TBenchGrid bench(FileName, false);
    TGridFigures figures;
    figures.OpenMs = bench.Open();
    if (PageThrough) figures.ScrollMs = bench.PageThrough([&bench] { return bench.Query->Eof(); }, figures.Pages);
    long long idSum = 0;
    figures.LastStepMs = Milliseconds([&] {
        bench.Key(VK_HOME, MK_CONTROL);
        bench.Key(VK_END, MK_SHIFT);
        for (int i = 0; i < bench.Grid->SelectedCount(); ++i) {
            bench.Query->SetBookmark(bench.Grid->GetSelectedRow(i));
            idSum += bench.Query->FieldByName("id")->AsInteger();
        }
        bench.PaintNow();
    });
    if (idSum != (long long)Rows * (Rows + 1) / 2) throw std::runtime_error("select-all missed rows");
    return figures;
}

// Three runs; open and the last step as medians, scroll and page from the first.
void PrintGrid(const char* Side, const char* LastStep, int Rows,
               const std::function<TGridFigures(bool PageThrough)>& Run) {
    std::vector<TGridFigures> runs;
    for (int i = 0; i < Runs; ++i)
        runs.push_back(Run(i == 0));
    const TGridFigures& first = runs.front();
    PrintLine(Side, "open", Rows, Median(runs, &TGridFigures::OpenMs));
    PrintLine(Side, "scroll", Rows, first.ScrollMs);
    PrintLine(Side, "page", Rows, first.ScrollMs / std::max(first.Pages, 1));
    if (first.JumpMs > 0) {
        PrintLine(Side, "jump", Rows, Median(runs, &TGridFigures::JumpMs));
        PrintLine(Side, "moveby", Rows, Median(runs, &TGridFigures::MoveByMs));
    }
    PrintLine(Side, LastStep, Rows, Median(runs, &TGridFigures::LastStepMs));
}

void RunPeer(const std::string& FileName, int Rows) {
    std::vector<TPeerFigures> runs;
    for (int i = 0; i < Runs; ++i)
        runs.push_back(RunTableViewPeer(FileName, BenchSql, i == 0));
    const TPeerFigures& first = runs.front();
    const char* side = "peer=qtableview";
    PrintLine(side, "open", Rows, Median(runs, &TPeerFigures::OpenMs));
    PrintLine(side, "scroll", Rows, first.ScrollMs);
    PrintLine(side, "page", Rows, first.ScrollMs / std::max(first.Pages, 1));
    PrintLine(side, "sort", Rows, Median(runs, &TPeerFigures::SortMs));
    PrintLine(side, "selectall", Rows, Median(runs, &TPeerFigures::SelectAllMs));
}

} // namespace

int main(int argc, char** argv) {
    int rows = 100000;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc) rows = std::atoi(argv[++i]);
    setenv("QT_QPA_PLATFORM", "offscreen", 1); // before anything opens a window

    const cvGrClms::TUnitScope gridColumns;

    TTempFile file({}, "gridbench", ".mdb");
    CreateTable(file.FileName(), rows);
    PrintGrid("mode=memory", "sort", rows, [&](bool PageThrough) { return RunMemoryGrid(file.FileName(), PageThrough); });
    PrintGrid("mode=buffer", "selectall", rows,
              [&](bool PageThrough) { return RunBufferGrid(file.FileName(), PageThrough, rows); });
    constexpr int SmallRows = 10000;
    if (rows != SmallRows) {
        TTempFile small({}, "gridbench", ".mdb");
        CreateTable(small.FileName(), SmallRows);
        PrintGrid("mode=buffer", "selectall", SmallRows,
                  [&](bool PageThrough) { return RunBufferGrid(small.FileName(), PageThrough, SmallRows); });
    }
    RunPeer(file.FileName(), rows);
    return 0;
}
