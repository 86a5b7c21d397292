// The data-aware column: defaults from the bound field, the value type,
// grouping and summary setters, the footer text, and the mask column's
// mask taken from the field.
#include "tests/dbgrid/DBTreeListTestControl.h"

#include "platform/rtl/DateTime.h"

using namespace gridtest;

namespace {

using DBTreeListColumnTest = DBTreeListTest;

TEST_F(DBTreeListColumnTest, DefaultsComeFromTheBoundField) {
    TField* name = Data.Query->FieldByName("Name");
    name->SetDisplayLabel("名称");
    name->SetAlignment(taCenter);
    name->SetReadOnly(true);
    TcvDBTreeListColumn* column = Tree->ColumnByFieldName("Name");
    EXPECT_EQ(column->Caption(), "名称");
    EXPECT_EQ(column->Alignment(), taCenter);
    EXPECT_EQ(column->MaxLength(), 20);
    EXPECT_TRUE(column->ReadOnly());
    EXPECT_EQ(Tree->ColumnByFieldName("ID")->MaxLength(), 0);

    TcvDBTreeListColumn* unbound = AddColumn("NoSuchField");
    EXPECT_EQ(unbound->Field(), nullptr);
    EXPECT_EQ(unbound->Caption(), "NoSuchField");
    EXPECT_EQ(unbound->Alignment(), taLeftJustify);
    EXPECT_FALSE(unbound->ReadOnly());
    EXPECT_EQ(unbound->GetDisplayText(nullptr), "");
}

TEST_F(DBTreeListColumnTest, DefaultWidthCountsDigitsOfTheDisplayWidth) {
    TField* qty = Data.Query->FieldByName("Qty");
    TcvDBTreeListColumn* column = AddColumn("Qty");
    column->SetCaption("Q");
    qty->SetDisplayWidth(10);
    const int ten = column->Width();
    qty->SetDisplayWidth(20);
    const int twenty = column->Width();
    // Ten more digits widen it by ten digit widths (less the overhang).
    ASSERT_GT(twenty, ten);
    EXPECT_EQ((twenty - ten) % 10, 0);
    EXPECT_GE(ten, (twenty - ten) / 10 * 10 + 4);

    TcvDBTreeListColumn* wideCaption = AddColumn("Qty");
    wideCaption->SetCaption(std::string(60, 'W'));
    EXPECT_GT(wideCaption->Width(), twenty);

    auto* alone = new TcvDBTreeListColumn(Form.get());
    EXPECT_EQ(alone->Width(), 64);
    alone->SetTreeList(Tree);
    EXPECT_EQ(alone->Width(), 0); // no caption, no field: nothing to measure
}

TEST_F(DBTreeListColumnTest, DefaultWidthFollowsCaptionAndFontsOnceMeasured) {
    struct Case {
        const char* Name;
        const char* Caption;
        void (*Widen)(TCustomcvTreeList* Tree, TcvDBTreeListColumn* Column);
    };
    // A short caption leaves the width to the digits, a long one to itself.
    const std::string longCaption(40, 'W');
    const Case cases[] = {
        {"a longer caption", "Q",
         [](TCustomcvTreeList*, TcvDBTreeListColumn* c) { c->SetCaption(std::string(60, 'W')); }},
        {"a larger header font", longCaption.c_str(),
         [](TCustomcvTreeList* t, TcvDBTreeListColumn*) { t->HeaderFont()->SetHeight(t->HeaderFont()->Height() * 2); }},
        {"a larger column font", "Q",
         [](TCustomcvTreeList*, TcvDBTreeListColumn* c) { c->Font()->SetHeight(c->Font()->Height() * 2); }},
        {"a larger grid font", "Q",
         [](TCustomcvTreeList* t, TcvDBTreeListColumn*) { t->Font()->SetHeight(t->Font()->Height() * 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TcvDBTreeListColumn* column = AddColumn("Qty");
        column->SetCaption(c.Caption);
        const int before = column->Width();
        c.Widen(Tree, column);
        EXPECT_GT(column->Width(), before);
    }
}

TEST_F(DBTreeListColumnTest, ValueTypeFollowsTheFieldType) {
    const std::pair<const char*, TVarType> cases[] = {
        {"ID", varInteger}, {"Name", varString}, {"Price", varDouble}, {"Amount", varCurrency},
        {"Made", varDate},  {"Done", varString}, {"Note", varString},  {"NoSuchField", varEmpty},
    };
    for (const auto& [field, type] : cases)
        EXPECT_EQ(AddColumn(field)->GetFilterValueType(), type) << field;
}

TEST_F(DBTreeListColumnTest, SettersKeepTheirRules) {
    TcvDBTreeListColumn* column = Tree->ColumnByFieldName("Name");
    column->SetGroupIndex(-2);
    EXPECT_EQ(column->GroupIndex(), -1);

    column->SetSortBySummary(true);
    EXPECT_FALSE(column->SortBySummary());
    column->SetSummaryType(cstSum);
    column->SetSortBySummary(true);
    EXPECT_TRUE(column->SortBySummary());
    column->SetSummaryType(cstNone);
    EXPECT_FALSE(column->SortBySummary());
    column->SetSummaryType(cstMax);
    EXPECT_FALSE(column->SortBySummary());
}

TEST_F(DBTreeListColumnTest, FooterTextFormatsTheFooterValueByItsFieldType) {
    const std::string date = DateToStr(EncodeDate(2024, 1, 5));
    struct Case {
        std::string Field;
        std::string FooterField;
        TcvSummaryType Kind;
        std::string Format;
        long double Value;
        std::string Expected;
    };
    const Case cases[] = {
        {"Qty", "", cstNone, "", 3, ""},
        {"Qty", "", cstCount, "", 17, "17"},
        {"Qty", "", cstAvg, "", 2.5, "AVG=2.50"},
        {"Name", "Made", cstMin, "", EncodeDate(2024, 1, 5), "MIN=" + date},
        {"Made", "", cstMin, "Total:", EncodeDate(2024, 1, 5), "Total:" + date},
        {"Made", "", cstCount, "", 4, "4"},
    };
    for (const Case& c : cases) {
        TcvDBTreeListColumn* column = AddColumn(c.Field);
        column->SetSummaryFooterField(c.FooterField);
        column->SetSummaryFooterType(c.Kind);
        column->SetSummaryFooterFormat(c.Format);
        Tree->ResetSummaries();
        column->SetFooterValue(c.Value);
        EXPECT_EQ(column->GetSummaryFooterText(), c.Expected) << c.Field << " " << c.Kind;
    }
}

TEST_F(DBTreeListColumnTest, RenamingAColumnTellsTheControl) {
    struct TRenameLog : TTestDBTreeList {
        using TTestDBTreeList::TTestDBTreeList;
        std::vector<std::string> Renames;
        void RenameSummaryColumn(const std::string& OldName, const std::string& NewName) override {
            Renames.push_back(OldName + ">" + NewName);
        }
    };
    auto* tree = new TRenameLog(Form.get());
    auto* column = new TcvDBTreeListColumn(Form.get());
    column->SetName("Old");
    column->SetTreeList(tree);
    int changes = 0;
    column->OnChange = [&](TObject*) { ++changes; };
    column->SetName("New");
    delete column;
    EXPECT_EQ(tree->Renames, (std::vector<std::string>{"Old>New", "New>"}));
    EXPECT_EQ(changes, 1);
}

TEST_F(DBTreeListColumnTest, MaskColumnTakesTheFieldsMaskUntilOneIsSet) {
    Data.Query->FieldByName("Name")->SetEditMask("!99");
    auto* column = new TcvDBTreeListMaskColumn(Form.get());
    column->SetTreeList(Tree);
    column->SetFieldName("Name");
    EXPECT_EQ(column->EditMask(), "!99");
    EXPECT_FALSE(column->IsEditMaskStored());

    column->SetEditMask("000");
    EXPECT_EQ(column->EditMask(), "000");
    EXPECT_TRUE(column->IsEditMaskStored());
    column->RestoreDefaults();
    EXPECT_EQ(column->EditMask(), "!99");
    EXPECT_FALSE(column->IsEditMaskStored());
}

} // namespace
