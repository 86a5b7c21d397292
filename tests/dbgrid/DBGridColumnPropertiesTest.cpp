// A column's own properties in a stored look: each one set on a column of a
// grid, captured in a layout, applied to a fresh grid and read back; values
// that follow a default of their own (from the bound field or the grid) are
// stored only while they are set, so a read column follows them again.
#include <gtest/gtest.h>

#include "dbgrid/GridColumns.h"
#include "tests/dbgrid/LayoutWorld.h"

#include <functional>

namespace {

using TColumn = TcvDBTreeListColumn;

using gridtest::Stream;

bool Names(const std::string& Bytes, const std::string& Property) {
    return Bytes.find(char(Property.size()) + Property) != std::string::npos;
}

// One column of TClass bound to Field.
template <class TClass> TColumn* AddColumn(TcvDBGrid* Grid, const std::string& Field) {
    TColumn* column = Grid->CreateColumn(TcvColumnClassOf<TClass>::Instance());
    column->SetFieldName(Field);
    return column;
}

class DBGridColumnPropertiesTest : public testing::Test, protected gridtest::TLayoutWorld {
protected:
    DBGridColumnPropertiesTest() : TLayoutWorld(3) {}

    // A grid on the data source, under a name of its own.
    TcvDBGrid* MakeGrid() {
        TcvDBGrid* grid = TLayoutWorld::MakeGrid("Grid" + std::to_string(++FGrids));
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

// A property of one column class: made on Field, set, read back.
struct TFamilyCase {
    std::string Name;
    std::function<TColumn*(TcvDBGrid*)> Add;
    std::function<void(TColumn*)> Set;
    std::function<bool(TColumn*)> ReadBack;
};
template <class TClass>
TFamilyCase Family(std::string Name, std::string Field, std::function<void(TClass*)> Set,
                   std::function<bool(TClass*)> ReadBack) {
    return {std::move(Name),
            [Field](TcvDBGrid* Grid) { return AddColumn<TClass>(Grid, Field); },
            [Set](TColumn* C) { Set(dynamic_cast<TClass*>(C)); },
            [ReadBack](TColumn* C) {
                auto* column = dynamic_cast<TClass*>(C);
                return column && ReadBack(column);
            }};
}

TEST_F(DBGridColumnPropertiesTest, EachFamilyMemberKeepsItsOwnProperties) {
    using sbs = TcvShowButtonStyle;
    const TFamilyCase cases[] = {
        Family<TcvDBGridDateColumn>(
            "ShowButtonStyle", "Made", [](auto* C) { C->SetShowButtonStyle(sbs::sbAlways); },
            [](auto* C) { return C->ShowButtonStyle() == sbs::sbAlways; }),
        Family<TcvDBGridDateColumn>(
            "DateButtons", "Made", [](auto* C) { C->SetDateButtons({btnToday}); },
            [](auto* C) { return C->DateButtons() == TDateButtons{btnToday}; }),
        Family<TcvDBGridMemoColumn>(
            "MaxDisplayLength", "Note", [](auto* C) { C->SetMaxDisplayLength(10); },
            [](auto* C) { return C->MaxDisplayLength() == 10 && C->DisableFilter(); }),
        Family<TcvDBGridCheckColumn>(
            "ValueChecked", "Done", [](auto* C) { C->SetValueChecked("Yes"); },
            [](auto* C) { return C->ValueChecked() == "Yes" && C->ValueUnchecked() == SCheckValueUnchecked; }),
        Family<TcvDBGridCheckColumn>(
            "DisplayChecked", "Done", [](auto* C) { C->SetDisplayChecked("是"); },
            [](auto* C) { return C->DisplayChecked() == "是"; }),
        Family<TcvDBGridCurrencyColumn>(
            "DisplayFormat", "Amount", [](auto* C) { C->SetDisplayFormat("0.0"); },
            [](auto* C) { return C->DisplayFormat() == "0.0"; }),
        Family<TcvDBGridCurrencyColumn>(
            "MinValue", "Amount", [](auto* C) { C->SetMinValue(5); }, [](auto* C) { return C->MinValue() == 5; }),
        Family<TcvDBGridSpinColumn>(
            "Increment", "Qty", [](auto* C) { C->SetIncrement(0.5); }, [](auto* C) { return C->Increment() == 0.5; }),
        Family<TcvDBGridPickColumn>(
            "Items", "Name", [](auto* C) { C->Items()->SetText("甲\n乙\n"); },
            [](auto* C) { return C->Items()->Count() == 2 && C->Items()->Strings(1) == "乙"; }),
        Family<TcvDBGridButtonColumn>(
            "EditButtonStyle", "Name", [](auto* C) { C->SetEditButtonStyle(ebsDown); },
            [](auto* C) { return C->EditButtonStyle() == ebsDown; }),
        Family<TcvDBGridHyperLinkColumn>(
            "EditFontColor", "Name", [](auto* C) { C->SetEditFontColor(clRed); },
            [](auto* C) { return C->EditFontColor() == clRed; }),
        Family<TcvDBGridTimeColumn>(
            "TimeEditFormat", "Made", [](auto* C) { C->SetTimeEditFormat(cvExEdtr::tfHour); },
            [](auto* C) { return C->TimeEditFormat() == cvExEdtr::tfHour; }),
        Family<TcvDBGridLookupColumn>(
            "ListFieldName", "Name", [](auto* C) { C->SetListFieldName("Name"); },
            [](auto* C) { return C->ListFieldName() == "Name"; }),
        Family<TcvDBGridBlobColumn>(
            "PopupWidth", "Note", [](auto* C) { C->SetPopupWidth(300); },
            [](auto* C) { return C->PopupWidth() == 300; }),
        Family<TcvDBGridMRUColumn>(
            "MaxItemCount", "Name", [](auto* C) { C->SetMaxItemCount(3); },
            [](auto* C) { return C->MaxItemCount() == 3 && !C->ImmediateDropDown(); }),
        Family<TcvDBGridCalcColumn>(
            "Precision", "Price", [](auto* C) { C->SetPrecision(8); }, [](auto* C) { return C->Precision() == 8; }),
        Family<TcvDBGridImageColumn>(
            "Values", "Qty", [](auto* C) { C->Values()->SetText("10\n20\n"); },
            [](auto* C) { return C->Values()->Count() == 2; }),
        Family<TcvDBGridImageColumn>(
            "ListWidth", "Qty", [](auto* C) { C->SetListWidth(150); }, [](auto* C) { return C->ListWidth() == 150; }),
        Family<TcvDBGridLookupColumn>(
            "ListWidth", "Name", [](auto* C) { C->SetListWidth(90); }, [](auto* C) { return C->ListWidth() == 90; }),
        Family<TcvDBGridGraphicColumn>(
            "Stretch", "Note", [](auto* C) { C->SetStretch(false); }, [](auto* C) { return !C->Stretch(); }),
        Family<TcvDBGridButtonColumn>(
            "Buttons", "Name",
            [](auto* C) {
                C->Buttons()->GetItem(0)->SetKind(bkDown);
                TcvEditButton* second = C->Buttons()->Add();
                second->SetWidth(30);
                second->SetLeftAlignment(true);
                second->SetDefault(true);
                second->Glyph()->SetSize(4, 3);
                C->Buttons()->Add()->SetVisible(false);
            },
            [](auto* C) {
                const TcvEditButtons* b = C->Buttons();
                return b->Count() == 3 && b->GetItem(0)->Kind() == bkDown && !b->GetItem(0)->Default() &&
                       b->GetItem(1)->Width() == 30 && b->GetItem(1)->LeftAlignment() && b->GetItem(1)->Default() &&
                       b->GetItem(1)->ShownGlyph() && b->GetItem(1)->ShownGlyph()->Width() == 4 &&
                       !b->GetItem(2)->Visible() && b->GetItem(2)->Kind() == bkEllipsis;
            }),
        Family<TcvDBGridGraphicColumn>(
            "PopupToolBar", "Note",
            [](auto* C) {
                TcvPopupToolBarWindow* t = C->PopupToolBar();
                t->SetAlignment(ptaLeft);
                t->SetButtons({ptbCopy, ptbCustom});
                t->SetCustomButtonCaption("扫描");
                t->CustomButtonGlyph()->SetSize(5, 5);
                t->SetIsPopupMenu(false);
                t->SetShowCaptions(false);
                t->SetVisible(false);
            },
            [](auto* C) {
                TcvPopupToolBarWindow* t = C->PopupToolBar();
                return t->Alignment() == ptaLeft && t->Buttons() == TcvPopupToolBarButtons{ptbCopy, ptbCustom} &&
                       t->CustomButtonCaption() == "扫描" && t->HasCustomButtonGlyph() &&
                       t->CustomButtonGlyph()->Height() == 5 && !t->IsPopupMenu() && !t->ShowCaptions() &&
                       !t->Visible();
            }),
    };
    for (const TFamilyCase& c : cases) {
        TcvDBGrid* grid = MakeGrid();
        c.Set(c.Add(grid));
        TcvDBGrid* target = RoundTrip(grid);
        ASSERT_EQ(target->ColumnCount(), 1) << c.Name;
        EXPECT_TRUE(c.ReadBack(target->DBColumns(0))) << c.Name;
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
