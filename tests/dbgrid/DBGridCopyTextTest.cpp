// Copying rows as text asks each column for the cell's text: a check column
// writes its state's value text, an image column the value's description,
// in the record-buffer mode (read from the dataset) and in the in-memory
// mode (read from the nodes) alike.
#include "tests/dbgrid/ShownGrid.h"

#include "dbgrid/GridColumns.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

namespace {

template <class T> T* AddColumn(TcvDBGrid& Grid, const char* FieldName) {
    auto* column = static_cast<T*>(Grid.CreateColumn(TcvColumnClassOf<T>::Instance()));
    column->SetBandIndex(0);
    column->SetFieldName(FieldName);
    return column;
}

TEST(DBGridCopyTextTest, ColumnsConvertTheTextsTheyCopy) {
    for (const bool inMemory : {false, true}) {
        SCOPED_TRACE(inMemory ? "in-memory mode" : "record-buffer mode");
        gridtest::TShownGrid grid(3, 200, {"ID"}, [inMemory](TcvDBGrid& Grid) {
            auto* check = AddColumn<TcvDBGridCheckColumn>(Grid, "Done");
            check->SetValueChecked("TRUE");
            check->SetValueUnchecked("FALSE");
            auto* image = AddColumn<TcvDBGridImageColumn>(Grid, "Qty");
            image->Values()->SetText("10\n20");
            image->Descriptions()->SetText("十\n二十");
            if (!inMemory) return;
            Grid.SetKeyField("ID");
            Grid.SetOptionsDB(Grid.OptionsDB() + edgoLoadAllRecords);
        });
        ASSERT_EQ(grid.Grid->IsLoadAllMode(), inMemory);
        TStringList all;
        grid.Grid->SaveAllToStrings(&all);
        ASSERT_EQ(all.Count(), 4);
        EXPECT_EQ(all.Strings(1), "1\tTRUE\t十");
        EXPECT_EQ(all.Strings(2), "2\tFALSE\t二十");
        EXPECT_EQ(all.Strings(3), "3\tTRUE\t30");
    }
}

} // namespace
