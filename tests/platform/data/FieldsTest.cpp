// Field texts and conversions: parsing in the field's own type, formats,
// writes only in edit or insert state, validation and change events.
#include <gtest/gtest.h>

#include "tests/support/ScratchQuery.h"

namespace {

class FieldsTest : public ::testing::Test {
protected:
    TScratchFolder Folder;
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Query;

    void SetUp() override {
        std::string file = Folder / "data.mdb";
        RunSql(file, "create table T (ID integer primary key, Name varchar(10), Qty smallint, Rate float, JE money, "
                     "Ok bit, Day datetime, Note memo);"
                     "insert into T values (1, 'a', 3, 0.30000000000000004, 1234.5, 0, '2024-05-01 00:00:00', 'long');"
                     "insert into T (ID) values (2);");
        Connection = Connect(file);
        Query = OpenQuery(Connection.get(), "select * from T order by ID");
    }
    TField* F(const char* Name) { return Query->FieldByName(Name); }
};

TEST_F(FieldsTest, TextsFollowTheFieldType) {
    EXPECT_EQ(F("Rate")->DisplayText(), "0.3");
    EXPECT_EQ(F("Qty")->Alignment(), taRightJustify);
    EXPECT_EQ(F("Name")->Alignment(), taLeftJustify);
    EXPECT_EQ(F("Ok")->DisplayText(), "False");
    EXPECT_EQ(F("Day")->DisplayText(), "2024-05-01");
    EXPECT_EQ(F("Note")->DisplayText(), "(MEMO)");
    EXPECT_EQ(F("Note")->AsString(), "long");
    EXPECT_EQ(F("JE")->AsString(), "1234.5");

    static_cast<TNumericField*>(F("JE"))->SetDisplayFormat("#,##0.00");
    static_cast<TDateTimeField*>(F("Day"))->SetDisplayFormat("yyyy'年'm'月'd'日'");
    static_cast<TBooleanField*>(F("Ok"))->SetDisplayValues("Yes;No");
    EXPECT_EQ(F("JE")->DisplayText(), "1,234.50");
    EXPECT_EQ(F("JE")->Text(), "1,234.50"); // without an EditFormat the edit text uses the display format
    static_cast<TNumericField*>(F("JE"))->SetEditFormat("0.00");
    EXPECT_EQ(F("JE")->Text(), "1234.50");
    EXPECT_EQ(F("Day")->DisplayText(), "2024年5月1日");
    EXPECT_EQ(F("Ok")->DisplayText(), "No");
    F("Name")->OnGetText = [](TField* Sender, std::string& Text, bool DisplayText) {
        Text = (DisplayText ? "<" : "[") + Sender->AsString() + (DisplayText ? ">" : "]");
    };
    EXPECT_EQ(F("Name")->DisplayText(), "<a>");
    EXPECT_EQ(F("Name")->Text(), "[a]");

    Query->Next(); // nulls
    for (const char* name : {"Name", "Qty", "Rate", "JE", "Ok", "Day"}) {
        EXPECT_TRUE(F(name)->IsNull()) << name;
        EXPECT_EQ(F(name)->AsString(), "") << name;
    }
    EXPECT_EQ(F("Qty")->AsInteger(), 0);
    EXPECT_EQ(F("Note")->DisplayText(), "(Memo)");
}

TEST_F(FieldsTest, DisplayTextOfAValueIsTheTextOfARecordHoldingIt) {
    static_cast<TNumericField*>(F("JE"))->SetDisplayFormat("#,##0.00");
    static_cast<TDateTimeField*>(F("Day"))->SetDisplayFormat("yyyy'年'm'月'd'日'");
    static_cast<TBooleanField*>(F("Ok"))->SetDisplayValues("Yes;No");
    const char* const fields[] = {"ID", "Name", "Qty", "Rate", "JE", "Ok", "Day", "Note"};
    for (int record = 0; record < 2; ++record, Query->Next())
        for (const char* name : fields) {
            SCOPED_TRACE(std::string(name) + " of record " + std::to_string(record + 1));
            const Variant value = F(name)->Value();
            const std::string shown = F(name)->DisplayText();
            // Read on another record, the value alone gives the same text.
            Query->MoveBy(record == 0 ? 1 : -1);
            EXPECT_EQ(F(name)->DisplayTextOf(value), shown);
            Query->MoveBy(record == 0 ? -1 : 1);
        }
    // A handler reads the record itself: the value's text goes around it.
    F("Name")->OnGetText = [](TField*, std::string& Text, bool) { Text = "handled"; };
    EXPECT_EQ(F("Name")->DisplayTextOf(Variant("b")), "b");
}

TEST_F(FieldsTest, WritesNeedEditOrInsertAndParseInTheFieldsOwnType) {
    EXPECT_THROW(F("Name")->SetAsString("x"), EDatabaseError);
    EXPECT_THROW(F("Qty")->SetValue(Variant(1)), EDatabaseError);
    Query->Edit();
    struct Case {
        const char* Field;
        const char* Text;
        bool Valid;
        const char* Stored; // AsString after a valid text
    } cases[] = {
        {"Qty", " 12 ", true, "12"},
        {"Qty", "1.5", false, ""},
        {"Qty", "40000", false, ""},
        {"Qty", "", true, ""},
        {"Rate", "2.5E3", true, "2500"},
        {"Rate", "abc", false, ""},
        {"JE", "0.12346", true, "0.1235"},
        {"Ok", "y", true, "Yes"},
        {"Ok", "FAL", true, "False"},
        {"Ok", "maybe", false, ""},
        {"Day", "2024-02-29", true, "2024-02-29"},
        {"Day", "2023-02-29", false, ""},
    };
    static_cast<TBooleanField*>(F("Ok"))->SetDisplayValues("Yes;False");
    for (const Case& c : cases) {
        TField* field = F(c.Field);
        Variant before = field->Value();
        try {
            field->SetText(c.Text);
            EXPECT_TRUE(c.Valid) << c.Field << " '" << c.Text << "' was accepted";
            EXPECT_EQ(field->AsString(), c.Stored) << c.Field << " '" << c.Text << "'";
        } catch (const Exception& e) {
            EXPECT_FALSE(c.Valid) << c.Field << " '" << c.Text << "': " << e.Message();
            EXPECT_TRUE(VarCompare(field->Value(), before) == 0) << c.Field << " kept its value";
        }
    }
    EXPECT_EQ(F("Qty")->Value().VarType(), varNull);
    Query->Cancel();
}

TEST_F(FieldsTest, ValidateAndChangeEventsAndValidChars) {
    std::vector<std::string> log;
    F("Name")->OnValidate = [&log](TField* Sender) {
        log.push_back("validate " + Sender->AsString());
        if (Sender->AsString() == "bad") throw EDatabaseError("no");
    };
    F("Name")->OnChange = [&log](TField* Sender) { log.push_back("change " + Sender->AsString()); };
    Query->Edit();
    F("Name")->SetAsString("good");
    EXPECT_THROW(F("Name")->SetAsString("bad"), EDatabaseError);
    EXPECT_EQ(F("Name")->AsString(), "good");
    EXPECT_EQ(log, (std::vector<std::string>{"validate good", "change good", "validate bad"}));
    EXPECT_TRUE(Query->Modified());
    Query->Cancel();

    EXPECT_TRUE(F("Qty")->IsValidChar(U'7'));
    EXPECT_FALSE(F("Qty")->IsValidChar(U'.'));
    EXPECT_TRUE(F("Rate")->IsValidChar(U'.'));
    EXPECT_TRUE(F("Name")->IsValidChar(U'中'));
}

TEST_F(FieldsTest, PersistentFieldsBindByNameAndSurviveClose) {
    TADOQuery persistent(nullptr);
    persistent.SetConnection(Connection.get());
    persistent.SQL()->SetText("select * from T order by ID");
    TStringField name(nullptr);
    name.SetFieldName("name");
    name.SetDisplayLabel("Project name");
    name.SetDataSet(&persistent);
    persistent.Open();
    EXPECT_EQ(persistent.FieldCount(), 1);
    EXPECT_EQ(name.AsString(), "a");
    EXPECT_EQ(name.Size(), 10);
    EXPECT_THROW(name.SetDataSet(nullptr), EDatabaseError);
    persistent.Close();
    EXPECT_EQ(persistent.FieldByName("NAME"), &name);

    TIntegerField missing(nullptr);
    missing.SetFieldName("NoSuchColumn");
    missing.SetDataSet(&persistent);
    EXPECT_THROW(persistent.Open(), EDatabaseError);
    EXPECT_FALSE(persistent.Active());
}

} // namespace
