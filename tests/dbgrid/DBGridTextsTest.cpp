// Cell texts, values, sort keys and preview texts of record rows: in the
// record-buffer mode each row reads its own buffer record and the dataset
// stays where it is; in the in-memory mode the rows read what the load stored.
#include "dbgrid/DBGrid.h"

#include "tests/dbgrid/ShownGrid.h"

#include "dbgrid/FilterPopupListBox.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class GridTextsTest : public testing::Test {
protected:
    TcvDBTreeListColumn* Column(int Index) const { return Grid->DBColumns(Index); }
    Variant ValueOf(int Row, TcvDBTreeListColumn* Column) const {
        Variant value;
        Grid->GetNodeValue(Grid->Items(Row), Column->GetIndex(), value);
        return value;
    }
    std::string TextOf(int Row, TcvDBTreeListColumn* Column) const {
        return Grid->GetNodeString(Grid->Items(Row), Column->GetIndex());
    }
    Variant SortKeyOf(int Row, TcvDBTreeListColumn* Column) const {
        Variant value;
        Grid->GetNodeVariant(Grid->Items(Row), Column->GetIndex(), value);
        return value;
    }

    gridtest::TShownGrid Shown{40, 300, {"ID", "Name", "Note", ""}, [](TcvDBGrid& Grid) { Grid.SetKeyField("ID"); }};
    TcvDBGrid* Grid = Shown.Grid;
    gridtest::TGridData& Data = Shown.Data;
    TcvDBTreeListColumn* Id = Column(0);
    TcvDBTreeListColumn* Name = Column(1);
    TcvDBTreeListColumn* Note = Column(2);
    TcvDBTreeListColumn* Unbound = Column(3);
};

TEST_F(GridTextsTest, BufferRowsReadTheirOwnRecordsAndLeaveTheCurrentOne) {
    ASSERT_TRUE(Grid->IsBufferMode());
    Data.Query->MoveBy(5);
    ProcessMessages();
    const int current = Data.CurrentId();
    const int first = ValueOf(0, Id).AsInteger();
    ASSERT_GT(Grid->Count(), 3);
    for (int row = 0; row < Grid->Count(); ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(ValueOf(row, Id).AsInteger(), first + row);
        EXPECT_EQ(TextOf(row, Name), "名称" + std::to_string(first + row));
        EXPECT_TRUE(ValueOf(row, Unbound).IsEmpty());
        EXPECT_EQ(TextOf(row, Unbound), "");
    }
    EXPECT_EQ(Data.CurrentId(), current);
    EXPECT_EQ(ValueOf(Grid->FocusedNode()->Index(), Id).AsInteger(), current);
}

TEST_F(GridTextsTest, ColumnGetTextChangesTheCellTextInEveryMode) {
    Name->OnGetText = [](TObject*, TcvTreeListNode*, std::string& Text) { Text += "!"; };
    EXPECT_EQ(TextOf(0, Name), "名称1!");
    Grid->SetOptions(Grid->Options() + egoLoadAllRecords);
    ASSERT_FALSE(Grid->IsBufferMode());
    EXPECT_EQ(TextOf(1, Name), "名称2!");
}

TEST_F(GridTextsTest, InMemoryRowsGiveTheStoredValues) {
    Grid->SetOptions(Grid->Options() + egoLoadAllRecords);
    ASSERT_EQ(Grid->Count(), 40);
    // The field's own value and type, not its text.
    EXPECT_EQ(ValueOf(6, Id), Variant(7));
    EXPECT_EQ(ValueOf(6, Id).VarType(), Variant(7).VarType());
    EXPECT_EQ(SortKeyOf(6, Id), Variant(7));
    EXPECT_EQ(TextOf(6, Name), "名称7");
    // An unbound cell stores nothing: its text stands in.
    EXPECT_EQ(ValueOf(6, Unbound), Variant(""));
}

// Every column class the grid gives a field, over records with empty
// fields and a field whose OnGetText shapes its text.
TEST(GridTypedTextsTest, InMemoryRowsShowWhatRecordBufferRowsShow) {
    gridtest::TShownGrid shown{6, 300, {}, [](TcvDBGrid& Grid) { Grid.SetKeyField("ID"); }};
    shown.Data.Connection->Execute("update T set Name = null, Qty = null, Price = null, Amount = null, Made = null, "
                                   "Done = null, Note = null where ID = 3");
    shown.Data.Query->Close();
    shown.Data.Query->Open();
    TcvDBGrid* grid = shown.Grid;
    for (TField* field : shown.Data.Query->Fields()) {
        TcvDBTreeListColumn* column = grid->CreateColumn(grid->GetColumnClass(field));
        column->SetFieldName(field->FieldName());
    }
    static_cast<TNumericField*>(shown.Data.Query->FieldByName("Price"))->SetDisplayFormat("0.000");
    shown.Data.Query->FieldByName("Qty")->OnGetText = [](TField* Sender, std::string& Text, bool) {
        Text = "<" + Sender->AsString() + ">";
    };
    ASSERT_TRUE(grid->IsBufferMode());
    ASSERT_EQ(grid->Count(), 6);
    std::vector<std::vector<std::string>> shownTexts;
    for (int row = 0; row < 6; ++row) {
        shownTexts.emplace_back();
        for (int column = 0; column < grid->ColumnCount(); ++column)
            shownTexts.back().push_back(grid->GetNodeString(grid->Items(row), column));
    }
    ASSERT_EQ(shownTexts[2][2], "<>");
    grid->SetOptions(grid->Options() + egoLoadAllRecords);
    ASSERT_EQ(grid->Count(), 6);
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < grid->ColumnCount(); ++column) {
            SCOPED_TRACE(grid->DBColumns(column)->FieldName() + " of row " + std::to_string(row + 1));
            EXPECT_EQ(grid->GetNodeString(grid->Items(row), column), shownTexts[size_t(row)][size_t(column)]);
        }
}

// Outside the cells (group rows, filter lists) a check column shows its
// display texts and an image column its values' descriptions.
TEST(GridTypedTextsTest, GroupRowsAndFilterListsShowTheColumnsDisplayTexts) {
    gridtest::TShownGrid shown{4, 300, {}, [](TcvDBGrid& Grid) { Grid.SetKeyField("ID"); }};
    TcvDBGrid* grid = shown.Grid;
    const auto add = [grid](const TcvDBTreeListColumnClass& Class, const char* FieldName) {
        TcvDBTreeListColumn* column = grid->CreateColumn(Class);
        column->SetBandIndex(0);
        column->SetFieldName(FieldName);
        return column;
    };
    add(grid->GetDefaultColumnClass(), "ID");
    auto* done = static_cast<TcvDBGridCheckColumn*>(add(TcvColumnClassOf<TcvDBGridCheckColumn>::Instance(), "Done"));
    done->SetDisplayChecked("是");
    done->SetDisplayUnChecked("否");
    auto* qty = static_cast<TcvDBGridImageColumn*>(add(TcvColumnClassOf<TcvDBGridImageColumn>::Instance(), "Qty"));
    TStringList values, descriptions;
    values.SetText("10\n20");
    descriptions.SetText("十\n二十");
    qty->SetValues(&values);
    qty->SetDescriptions(&descriptions);
    grid->SetOptionsDB(grid->OptionsDB() + edgoLoadAllRecords);

    const auto filterItems = [grid](TcvDBTreeListColumn* Column) {
        grid->FilterDropDown(Column->GetIndex());
        std::vector<std::string> items;
        for (int i = 2; i < grid->FilterPopup()->Items()->Count(); ++i)
            items.push_back(grid->FilterPopup()->Items()->Get(i));
        grid->FreeFilterObjects();
        return items;
    };
    EXPECT_EQ(filterItems(done), (std::vector<std::string>{"否", "是"}));
    EXPECT_EQ(filterItems(qty), (std::vector<std::string>{"十", "二十", "30", "40"}));

    done->SetGroupIndex(0);
    ASSERT_EQ(grid->Count(), 2);
    EXPECT_EQ(grid->GetNodeString(grid->Items(0), -1), "Done : 否 ");
    EXPECT_EQ(grid->GetNodeString(grid->Items(1), -1), "Done : 是 ");
    done->SetGroupIndex(-1);
    qty->SetGroupIndex(0);
    ASSERT_EQ(grid->Count(), 4);
    EXPECT_EQ(grid->GetNodeString(grid->Items(0), -1), "Qty : 十 ");
    EXPECT_EQ(grid->GetNodeString(grid->Items(2), -1), "Qty : 30 ");
}

TEST_F(GridTextsTest, InMemoryCellsFollowColumnMovesAndDeletions) {
    Grid->SetOptions(Grid->Options() + egoLoadAllRecords);
    ASSERT_EQ(Grid->Count(), 40);
    Name->SetIndex(0);
    ASSERT_EQ(Grid->DBColumns(0), Name);
    EXPECT_EQ(TextOf(6, Name), "名称7");
    EXPECT_EQ(ValueOf(6, Name), Variant("名称7"));
    EXPECT_EQ(ValueOf(6, Id), Variant(7));
    EXPECT_EQ(TextOf(6, Id), "7");
    delete Id;
    EXPECT_EQ(ValueOf(6, Name), Variant("名称7"));
    EXPECT_EQ(ValueOf(1, Note), Variant("note 2 note 2 "));
    EXPECT_EQ(TextOf(1, Note), "(MEMO)");
}

TEST_F(GridTextsTest, CaseInsensitiveSortKeysAreUpperCased) {
    Name->OnGetText = [](TObject*, TcvTreeListNode*, std::string& Text) { Text += " note"; };
    for (bool memory : {false, true}) {
        SCOPED_TRACE(memory);
        if (memory) Grid->SetOptions(Grid->Options() + egoLoadAllRecords);
        Grid->SetOptionsBehavior(Grid->OptionsBehavior() - edgoCaseInsensitive);
        EXPECT_EQ(SortKeyOf(0, Name).AsString(), "名称1 note");
        Grid->SetOptionsBehavior(Grid->OptionsBehavior() + edgoCaseInsensitive);
        EXPECT_EQ(SortKeyOf(0, Name).AsString(), "名称1 NOTE");
    }
}

TEST_F(GridTextsTest, PreviewTextIsTheRowsRecordCut) {
    Grid->SetPreviewFieldName("Note");
    Grid->SetPreviewMaxLength(10);
    for (bool memory : {false, true}) {
        SCOPED_TRACE(memory);
        if (memory) Grid->SetOptions(Grid->Options() + egoLoadAllRecords);
        EXPECT_EQ(Grid->GetPreviewText(Grid->Items(0)), "note 1 ");
        EXPECT_EQ(Grid->GetPreviewText(Grid->Items(1)), "note 2 not...");
        EXPECT_EQ(Data.CurrentId(), 1);
    }
}

} // namespace
