// A column's own properties in a stored look: each one set on a column of a
// grid, captured in a layout, applied to a fresh grid and read back; values
// that follow a default of their own (from the bound field or the grid) are
// stored only while they are set, so a read column follows them again.
#include <gtest/gtest.h>

#include "dbgrid/DBGridLayout.h"
#include "dbgrid/GridColumns.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Streams.h"
#include "tests/dbgrid/GridFixture.h"

#include <functional>

namespace {

using TColumn = TcvDBTreeListColumn;

std::string Stream(TComponent* Instance) {
    TStringStream stream;
    WriteComponent(&stream, Instance);
    return stream.DataString();
}

bool Names(const std::string& Bytes, const std::string& Property) {
    return Bytes.find(char(Property.size()) + Property) != std::string::npos;
}

// One column of TClass bound to Field.
template <class TClass> TColumn* AddColumn(TcvDBGrid* Grid, const std::string& Field) {
    TColumn* column = Grid->CreateColumn(TcvColumnClassOf<TClass>::Instance());
    column->SetFieldName(Field);
    return column;
}

class DBGridColumnPropertiesTest : public testing::Test {
protected:
    DBGridColumnPropertiesTest() {
        cvLayout::RegisterClasses();
        FSource->SetName("Source");
        FSource->SetDataSet(FData.Query.get());
    }

    // A grid on the data source, under a name of its own.
    TcvDBGrid* MakeGrid() {
        auto* grid = new TcvDBGrid(&FForm);
        grid->SetName("Grid" + std::to_string(++FGrids));
        grid->SetDataSource(FSource);
        return grid;
    }
    // Source captured in a layout and applied to a fresh grid.
    TcvDBGrid* RoundTrip(TcvDBGrid* Source) {
        TcvDBGridLayout layout(&FForm);
        layout.Assign(Source);
        TcvDBGrid* target = MakeGrid();
        target->Assign(&layout);
        return target;
    }

    gridtest::TGridData FData{3};
    TComponent FForm{nullptr};
    TDataSource* FSource = new TDataSource(&FForm);
    int FGrids = 0;
};

TEST_F(DBGridColumnPropertiesTest, EachPropertySetOnAColumnComesBackInAFreshGrid) {
    const struct {
        const char* Name;
        std::function<void(TColumn*)> Set;
        std::function<bool(TColumn*)> ReadBack;
    } cases[] = {
        {"Alignment", [](TColumn* C) { C->SetAlignment(taRightJustify); },
         [](TColumn* C) { return C->Alignment() == taRightJustify && C->IsAssigned(cavAlignment); }},
        {"Color", [](TColumn* C) { C->SetColor(clYellow); }, [](TColumn* C) { return C->Color() == clYellow; }},
        {"Font", [](TColumn* C) { C->Font()->SetHeight(-21); },
         [](TColumn* C) { return C->IsAssigned(cavFont) && C->Font()->Height() == -21; }},
        {"ReadOnly", [](TColumn* C) { C->SetReadOnly(true); }, [](TColumn* C) { return C->ReadOnly(); }},
        {"MaxLength", [](TColumn* C) { C->SetMaxLength(7); }, [](TColumn* C) { return C->MaxLength() == 7; }},
        {"Caption", [](TColumn* C) { C->SetCaption("名称"); }, [](TColumn* C) { return C->Caption() == "名称"; }},
        {"Width", [](TColumn* C) { C->SetWidth(140); },
         [](TColumn* C) { return C->Width() == 140 && C->IsAssigned(cavWidth); }},
        {"CharCase", [](TColumn* C) { C->SetCharCase(ecUpperCase); },
         [](TColumn* C) { return C->CharCase() == ecUpperCase; }},
        {"DisableFilter", [](TColumn* C) { C->SetDisableFilter(true); },
         [](TColumn* C) { return C->DisableFilter(); }},
        {"HeaderGlyph",
         [](TColumn* C) {
             TBitmap glyph;
             glyph.SetSize(9, 7);
             C->SetHeaderGlyph(&glyph);
         },
         [](TColumn* C) { return C->HasHeaderGlyph() && C->HeaderGlyph()->Width() == 9; }},
        {"EditMask", [](TColumn* C) { static_cast<TcvDBTreeListMaskColumn*>(C)->SetEditMask("!99"); },
         [](TColumn* C) { return static_cast<TcvDBTreeListMaskColumn*>(C)->EditMask() == "!99"; }},
    };
    for (const auto& c : cases) {
        TcvDBGrid* grid = MakeGrid();
        c.Set(AddColumn<TcvDBGridMaskColumn>(grid, "Name"));
        TcvDBGrid* target = RoundTrip(grid);
        ASSERT_EQ(target->ColumnCount(), 1) << c.Name;
        EXPECT_TRUE(c.ReadBack(target->DBColumns(0))) << c.Name;
        EXPECT_EQ(target->DBColumns(0)->FieldName(), "Name") << c.Name;
    }
}

TEST_F(DBGridColumnPropertiesTest, ColumnsWhoseFilteringIsAlwaysOffStoreNoDisableFilter) {
    TcvDBGrid* grid = MakeGrid();
    AddColumn<TcvDBGridMemoColumn>(grid, "Note");
    EXPECT_FALSE(Names(Stream(grid), "DisableFilter"));
    AddColumn<TcvDBGridMaskColumn>(grid, "Name")->SetDisableFilter(true);
    EXPECT_TRUE(Names(Stream(grid), "DisableFilter"));
}

TEST_F(DBGridColumnPropertiesTest, DefaultsFromTheFieldAreNotStoredAndTheReadColumnFollowsTheField) {
    TField* name = FData.Query->FieldByName("Name");
    name->SetReadOnly(true);
    TcvDBGrid* grid = MakeGrid();
    TColumn* column = AddColumn<TcvDBGridMaskColumn>(grid, "Name");
    ASSERT_EQ(column->MaxLength(), 20) << "the field's size";

    const std::string bytes = Stream(grid);
    for (const char* property : {"Alignment", "Caption", "Color", "Font.Height", "MaxLength", "ReadOnly", "Width"})
        EXPECT_FALSE(Names(bytes, property)) << property;

    TcvDBGrid* target = RoundTrip(grid);
    TColumn* read = target->DBColumns(0);
    name->SetDisplayLabel("品名");
    name->SetAlignment(taCenter);
    name->SetReadOnly(false);
    EXPECT_EQ(read->Caption(), "品名");
    EXPECT_EQ(read->Alignment(), taCenter);
    EXPECT_FALSE(read->ReadOnly());
    EXPECT_EQ(read->MaxLength(), 20);
    EXPECT_FALSE(read->IsAssigned(cavWidth)) << "the width follows the field's DisplayWidth";
}

} // namespace
