// gridfilter DB TABLE CRITERIA: opens "select * from TABLE" of the SQLite
// file DB in a grid (one column per field, the first field the key), reads
// the file CRITERIA as a "Criteria" block into the grid filter and prints:
//   criteria=<hex>  the block written back
//   display=<text>  filter=<text>  the criteria's two texts
//   nodes=<n>       record rows shown in the in-memory mode
//   rows=<n>        the dataset's RecordCount under AutoDataSetFilter
//   layout1=<hex>   the "Data" of a layout that captured the grid
//   layout2=<hex>   the "Data" of a layout that captured a second grid,
//                   built the same way, after layout1 was applied to it
// A damaged block prints error=<message> and exits 1; a failure while
// applying prints error=<message> after the lines printed so far and exits 2.
#include "dbgrid/DBGrid.h"
#include "dbgrid/DBGridFilter.h"
#include "dbgrid/DBGridLayout.h"
#include "dbgrid/GridColumns.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Forms.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

namespace {

constexpr int ExitDamagedBlock = 1;
constexpr int ExitApplyFailed = 2;

std::string Hex(const std::string& Bytes) {
    static const char Digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(Bytes.size() * 2);
    for (unsigned char byte : Bytes) {
        text += Digits[byte >> 4];
        text += Digits[byte & 15];
    }
    return text;
}

std::string LayoutData(const TcvDBGridLayout* Layout) {
    return std::string(static_cast<const char*>(Layout->Data()->Memory()), size_t(Layout->Data()->Size()));
}

void Print(const std::string& Key, const std::string& Value) {
    std::printf("%s=%s\n", Key.c_str(), Value.c_str());
    std::fflush(stdout);
}

// The grid over the table, in the record-buffer mode, the filter unbound.
class TFilterGrid {
public:
    TFilterGrid(const std::string& FileName, const std::string& Table) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        FForm.reset(form);
        auto* connection = new TADOConnection(FForm.get());
        connection->SetLoginPrompt(false);
        connection->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + FileName + ";");
        connection->Open();
        Query = new TADOQuery(FForm.get());
        Query->SetConnection(connection);
        Query->SQL()->SetText("select * from " + AnsiQuotedStr(Table, '"'));
        Query->Open();
        auto* source = new TDataSource(FForm.get());
        // Named, so a layout stores the grid's reference to it.
        source->SetName("Source");
        source->SetDataSet(Query);
        Grid = new TcvDBGrid(FForm.get());
        Grid->SetParent(FForm.get());
        for (TField* field : Query->Fields()) {
            TcvDBTreeListColumn* column = Grid->CreateColumn(Grid->GetColumnClass(field));
            column->SetBandIndex(0);
            column->SetFieldName(field->FieldName());
        }
        if (!Query->Fields().empty()) Grid->SetKeyField(Query->Fields().front()->FieldName());
        Grid->SetDataSource(source);
    }

    // A layout of the form holding the grid captured: the form is where the
    // layout finds the data source again.
    TcvDBGridLayout* CaptureLayout() const {
        auto* layout = new TcvDBGridLayout(FForm.get());
        layout->Assign(Grid);
        return layout;
    }

    int RecordNodeCount() const {
        int count = 0;
        for (TcvTreeListNode* node = Grid->Count() ? Grid->Items(0) : nullptr; node; node = node->GetNext())
            if (!Grid->IsGroupNode(node)) ++count;
        return count;
    }

    TcvDBGrid* Grid = nullptr;
    TADOQuery* Query = nullptr;

private:
    std::unique_ptr<TForm> FForm;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: gridfilter DB TABLE CRITERIA\n");
        return ExitApplyFailed;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1); // before anything opens a window
    const cvGrClms::TUnitScope gridColumns;
    cvLayout::RegisterClasses();

    // The block first: a damaged one ends the run before any database work.
    TcvDBGridCriteria criteria(nullptr);
    try {
        TFileStream file(argv[3], fmOpenRead | fmShareDenyNone);
        criteria.ReadData(&file);
    } catch (const std::exception& error) {
        Print("error", error.what());
        return ExitDamagedBlock;
    }

    try {
        TFilterGrid view(argv[1], argv[2]);
        TcvDBGridFilter* filter = view.Grid->Filter();
        TStringStream block;
        criteria.WriteData(&block);
        block.SetPosition(0);
        filter->Criteria()->ReadData(&block);
        filter->RefreshItems();
        TStringStream written;
        filter->Criteria()->WriteData(&written);
        Print("criteria", Hex(written.DataString()));
        Print("display", filter->Criteria()->GetDisplayText());
        Print("filter", filter->GetFilterText());

        view.Grid->SetOptionsDB(view.Grid->OptionsDB() + edgoLoadAllRecords);
        filter->Changed();
        Print("nodes", std::to_string(view.RecordNodeCount()));

        view.Grid->SetOptionsDB(view.Grid->OptionsDB() - edgoLoadAllRecords);
        filter->SetAutoDataSetFilter(true);
        Print("rows", std::to_string(view.Query->RecordCount()));

        TcvDBGridLayout* first = view.CaptureLayout();
        Print("layout1", Hex(LayoutData(first)));
        TFilterGrid second(argv[1], argv[2]);
        second.Grid->Assign(first);
        Print("layout2", Hex(LayoutData(second.CaptureLayout())));
    } catch (const std::exception& error) {
        Print("error", error.what());
        return ExitApplyFailed;
    }
    return 0;
}
