// The data-aware editors on a form over an SQLite table: what they read from
// their field, what typing writes back and when, Esc, refused and failing
// writes, read-only and missing fields, and the data source going away.
#include "editors/DBEditors.h"

#include "editors/CheckEdit.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/DBActns.h"
#include "platform/ui/StdCtrls.h"
#include "tests/editors/EditorTestHost.h"
#include "tests/support/ScratchQuery.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using namespace uitest;

namespace {

// A form with a data source over table T of a scratch database, a plain edit
// to move the focus to, and the editor under test.
class DBEditorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        File = Folder / "data.mdb";
        RunSql(File,
               "create table T (ID integer primary key, NAME varchar(20), NOTE memo, AMOUNT decimal(18,4),"
               " COUNTED integer, DONE bit, FLAG varchar(1), RATIO real, DAY datetime, CODE varchar(4));"
               "insert into T values (1, 'first', 'a note', 12.5, 7, 1, '1', 0.5, '2024-03-05 00:00:00', '01');"
               "insert into T values (2, 'second', null, null, null, 0, '0', null, null, null);"
               "create table CODES (CODE varchar(4) primary key, NAME varchar(40));"
               "insert into CODES values ('01', '重点科技攻关'), ('02', '软科学研究'), ('03', '科技型中小企业创新');");
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(30, 30, 360, 220);
        Connection = new TADOConnection(Form);
        Connection->SetConnectionString(TestConnectionString(File));
        Connection->SetLoginPrompt(false);
        Connection->Open();
        Query = new TADOQuery(Form);
        Query->SetConnection(Connection);
        Query->SQL()->SetText("select * from T order by ID");
        Query->Open();
        Source = new TDataSource(Form);
        Source->SetDataSet(Query);
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 150, 100, 24);
    }
    void TearDown() override { delete Form; }

    // An editor of class TEditor bound to Field, on the shown form, focused.
    template <class TEditor> TEditor* Bind(const std::string& Field) {
        auto* editor = new TEditor(Form);
        editor->SetParent(Form);
        editor->SetBounds(10, 10, 200, 60);
        editor->SetDataSource(Source);
        editor->SetDataField(Field);
        Show(editor);
        return editor;
    }
    void Show(TcvInplaceEdit* Editor) {
        Form->Show();
        SettleActivation();
        Editor->SetFocus();
        ProcessMessages();
    }
    std::string Stored(const std::string& Column, int Id = 1) {
        return QueryText(File, "select " + Column + " from T where ID = " + std::to_string(Id));
    }
    static CHARRANGE Selection(TcvInplaceEdit* Editor) {
        CHARRANGE r;
        SendMessage(Editor->Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }

    DialogRecorder Dialogs; // an unexpected error shows here instead of waiting for a click
    TScratchFolder Folder;
    std::string File;
    TForm* Form = nullptr;
    TADOConnection* Connection = nullptr;
    TADOQuery* Query = nullptr;
    TDataSource* Source = nullptr;
    TEdit* Other = nullptr;
};

TEST_F(DBEditorsTest, TextEditorShowsItsFieldAndPostsWhatWasTyped) {
    auto* edit = Bind<TcvDBEdit>("NAME");
    EXPECT_EQ(edit->Text(), "first");
    EXPECT_EQ(reinterpret_cast<TDataLink*>(SendMessage(edit->Handle(), CM_GETDATALINK)),
              static_cast<TDataLink*>(static_cast<TcvEditDBDataDefinition*>(edit->DataDefinition())->DataLink()));
    EXPECT_TRUE(edit->ControlStyle().Contains(csReplicatable));
    EXPECT_FALSE(edit->ControlStyle().Contains(csSetCaption));
    EXPECT_FALSE(edit->IsInplace());
    EXPECT_TRUE(platform_ui::test::QtInputMethodEnabled());

    Type(edit, VK_END);
    TypeText(edit, " row");
    platform_ui::test::SendQtInputMethodCommit(edit->Handle(), "第一");
    ProcessMessages();
    EXPECT_EQ(Query->State(), dsEdit) << "the first key put the dataset into edit state";
    Type(edit, VK_TAB);
    EXPECT_EQ(GetFocus(), Other->Handle());
    EXPECT_EQ(Query->FieldByName("NAME")->AsString(), "first row第一");
    Query->Post();
    EXPECT_EQ(Stored("NAME"), "first row第一");

    Query->Next();
    EXPECT_EQ(edit->Text(), "second") << "a record move reloads the value";
    EXPECT_FALSE(edit->GetModified());
}

TEST_F(DBEditorsTest, FieldSizeBecomesMaxLengthUnlessItWasSet) {
    struct Case {
        const char* What;
        int Explicit; // 0: not set
        int Expected;
    };
    const Case cases[] = {{"the field's size", 0, 20}, {"an explicit length kept over a reopen", 10, 10}};
    for (const Case& c : cases) {
        auto* edit = Bind<TcvDBEdit>("NAME");
        if (c.Explicit) edit->SetMaxLength(c.Explicit);
        Query->Close();
        Query->Open();
        EXPECT_EQ(edit->MaxLength(), c.Expected) << c.What;
        edit->SetFocus();
        ProcessMessages();
        Type(edit, VK_END);
        TypeText(edit, "abcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(Utf8Length(edit->Text()), c.Expected) << c.What;
        Query->Cancel();
        delete edit;
    }
}

TEST_F(DBEditorsTest, LeavingAnUntouchedEditorWritesNothing) {
    int writes = 0;
    Query->FieldByName("NAME")->OnSetText = [&](TField*, const std::string&) { ++writes; };
    const std::function<TcvInplaceEdit*()> editors[] = {
        [&] { return Bind<TcvDBEdit>("NAME"); },
        [&] { return Bind<TcvDBMemo>("NAME"); },
        [&] { return Bind<TcvDBCurrencyEdit>("AMOUNT"); },
    };
    for (const auto& make : editors) {
        TcvInplaceEdit* editor = make();
        Type(editor, VK_END);
        Type(editor, VK_HOME);
        Other->SetFocus();
        ProcessMessages();
        EXPECT_EQ(Query->State(), dsBrowse) << editor->ClassName();
        EXPECT_EQ(writes, 0) << editor->ClassName();
        EXPECT_TRUE(Dialogs.Requests.empty()) << editor->ClassName();
        delete editor;
    }
}

TEST_F(DBEditorsTest, EscapeReloadsTheFieldWithAllTextSelected) {
    auto* edit = Bind<TcvDBEdit>("NAME");
    Type(edit, VK_END);
    TypeText(edit, "xyz");
    Type(edit, VK_ESCAPE);
    EXPECT_EQ(edit->Text(), "first");
    EXPECT_EQ(Selection(edit).cpMin, 0);
    EXPECT_EQ(Selection(edit).cpMax, 5);
    EXPECT_FALSE(edit->GetModified());
    Other->SetFocus();
    ProcessMessages();
    Query->Post();
    EXPECT_EQ(Stored("NAME"), "first");
}

TEST_F(DBEditorsTest, RefusedOrFailingWriteKeepsTheFocusWithAllTextSelected) {
    struct Case {
        const char* What;
        const char* Field;
        const char* Typed;
        bool Refuse;
        const char* Message;
    };
    const Case cases[] = {
        {"refused by OnValidate", "NAME", "x", true, "Invalid input value. Use escape key to abandon changes."},
        {"the field cannot read the text", "COUNTED", "-", false, "'7-' is not a valid integer value."},
    };
    for (const Case& c : cases) {
        Dialogs.Requests.clear();
        auto* edit = Bind<TcvDBEdit>(c.Field);
        edit->OnValidate = [&](TObject*, std::string&, bool& Accept) { Accept = !c.Refuse; };
        const std::string before = Query->FieldByName(c.Field)->AsString();
        Type(edit, VK_END);
        TypeText(edit, c.Typed);
        Type(edit, VK_TAB);
        EXPECT_EQ(GetFocus(), edit->Handle()) << c.What;
        ASSERT_EQ(Dialogs.Boxes().size(), 1u) << c.What;
        EXPECT_EQ(Dialogs.Boxes()[0].Text, c.Message) << c.What;
        EXPECT_EQ(Selection(edit).cpMin, 0) << c.What;
        EXPECT_EQ(Selection(edit).cpMax, int(Utf8Length(edit->Text()))) << c.What;
        EXPECT_EQ(Query->FieldByName(c.Field)->AsString(), before) << c.What;
        EXPECT_THROW(Query->Post(), Exception) << c.What << ": the post tries the write again";
        Query->Cancel();
        delete edit;
    }
}

TEST_F(DBEditorsTest, DefinitionAnswersFromItsField) {
    struct Case {
        const char* Field;
        int MaxLength;
        bool Float;
        TAlignment Alignment;
        double Min, Max; // limits set on the field, then read back
        double MinRead, MaxRead;
    };
    const Case cases[] = {
        {"NAME", 20, false, taLeftJustify, 0, 0, 0, 0},
        {"NOTE", 0, false, taLeftJustify, 0, 0, 0, 0},
        {"COUNTED", 0, false, taRightJustify, -5, 100, -5, 100},
        {"AMOUNT", 0, true, taRightJustify, -1.5, 999.25, -1.5, 999.25},
        {"RATIO", 0, true, taRightJustify, -0.12345, 1234.5678, -0.123, 1230}, // at a precision of 3
    };
    TcvEditDBDataDefinition definition;
    definition.SetDataSource(Source);
    for (const Case& c : cases) {
        definition.SetDataField(c.Field);
        TField* field = definition.GetField();
        if (auto* integer = dynamic_cast<TIntegerField*>(field)) {
            integer->SetMinValue(Integer(c.Min));
            integer->SetMaxValue(Integer(c.Max));
        } else if (auto* bcd = dynamic_cast<TBCDField*>(field)) {
            bcd->SetMinValue(c.Min);
            bcd->SetMaxValue(c.Max);
        } else if (auto* floating = dynamic_cast<TFloatField*>(field)) {
            floating->SetPrecision(3);
            floating->SetMinValue(c.Min);
            floating->SetMaxValue(c.Max);
        }
        EXPECT_EQ(definition.GetMaxLength(), c.MaxLength) << c.Field;
        EXPECT_EQ(definition.IsFloat(), c.Float) << c.Field;
        EXPECT_EQ(definition.GetAlignment(), c.Alignment) << c.Field;
        EXPECT_DOUBLE_EQ(definition.GetMinValue(), c.MinRead) << c.Field;
        EXPECT_DOUBLE_EQ(definition.GetMaxValue(), c.MaxRead) << c.Field;
    }
}

TEST_F(DBEditorsTest, BooleanFieldShowsTheFieldsText) {
    auto* edit = Bind<TcvDBEdit>("DONE");
    EXPECT_EQ(edit->Text(), "True");
    Query->Next();
    EXPECT_EQ(edit->Text(), "False");
}

// A check editor bound to data through a field-backed definition.
class TDataCheckEdit : public TCustomcvCheckEdit {
public:
    explicit TDataCheckEdit(TComponent* AOwner) : TCustomcvCheckEdit(AOwner, StaticClass()) {}
    static const TcvInplaceEditClass& StaticClass() {
        return TcvEditorClass<TDataCheckEdit,
                              TcvDBEditClass<TcvCheckEditClassOps, TcvEditDBDataDefinition>>::Instance();
    }
    TcvEditDBDataDefinition* Definition() { return static_cast<TcvEditDBDataDefinition*>(DataDefinition()); }
};

TEST_F(DBEditorsTest, CheckEditorStoresOneAndZeroInATextColumn) {
    auto* check = new TDataCheckEdit(Form);
    check->SetParent(Form);
    check->Definition()->SetDataSource(Source);
    check->Definition()->SetDataField("FLAG");
    Show(check);
    EXPECT_EQ(check->State(), cbsChecked);
    Type(check, VK_SPACE, " ");
    EXPECT_EQ(check->State(), cbsUnchecked);
    Other->SetFocus();
    ProcessMessages();
    Query->Post();
    EXPECT_EQ(Stored("FLAG"), "0");
    Query->Next();
    EXPECT_EQ(check->State(), cbsUnchecked);
}

TEST_F(DBEditorsTest, EditorWithoutAFieldIsNotEditableAndShowsNothing) {
    auto* edit = Bind<TcvDBEdit>("");
    EXPECT_FALSE(edit->IsEditable());
    TypeText(edit, "abc");
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(Query->State(), dsBrowse);
    Variant shown;
    edit->GetViewValue(shown, true);
    EXPECT_EQ(VarToStr(shown), "");
}

TEST_F(DBEditorsTest, ReadOnlyFieldMakesEveryEditingKeyANoOp) {
    Query->FieldByName("NAME")->SetReadOnly(true);
    auto* edit = Bind<TcvDBEdit>("NAME");
    EXPECT_TRUE(edit->ReadOnly());
    Type(edit, VK_END);
    TypeText(edit, "x");
    Type(edit, VK_BACK);
    EXPECT_EQ(edit->Text(), "first");
    EXPECT_EQ(Query->State(), dsBrowse);
}

TEST_F(DBEditorsTest, UnknownFieldRaisesTheDatasetsError) {
    auto* edit = new TcvDBEdit(Form);
    edit->SetDataSource(Source);
    try {
        edit->SetDataField("MISSING");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Field 'MISSING' not found");
    }
}

TEST_F(DBEditorsTest, FreeingTheDataSourceLeavesTheEditorWithoutOne) {
    auto* edit = Bind<TcvDBEdit>("NAME");
    delete Source;
    EXPECT_EQ(edit->DataSource(), nullptr);
    EXPECT_EQ(edit->DataDefinition()->GetField(), nullptr);
    EXPECT_FALSE(edit->IsEditable());
    EXPECT_EQ(edit->Text(), "");
}

TEST_F(DBEditorsTest, MemoWritesPastOnSetTextWhileTheTextEditorGoesThroughIt) {
    struct Case {
        std::function<TcvInplaceEdit*()> Make;
        const char* Stored;
        int Handled;
    };
    int handled = 0;
    Query->FieldByName("NAME")->OnSetText = [&](TField* Sender, const std::string& Text) {
        ++handled;
        Sender->SetAsString("<" + Text + ">");
    };
    const Case cases[] = {
        {[&] { return Bind<TcvDBEdit>("NAME"); }, "<firstx>", 1},
        {[&] { return Bind<TcvDBMemo>("NAME"); }, "firstx", 0},
    };
    for (const Case& c : cases) {
        handled = 0;
        TcvInplaceEdit* editor = c.Make();
        Type(editor, VK_END);
        Type(editor, VK_END, "", MK_CONTROL);
        TypeText(editor, "x");
        Query->Post();
        EXPECT_EQ(Stored("NAME"), c.Stored) << editor->ClassName();
        EXPECT_EQ(handled, c.Handled) << editor->ClassName();
        RunSql(File, "update T set NAME = 'first' where ID = 1");
        Query->Refresh();
        delete editor;
    }
}

TEST_F(DBEditorsTest, CurrencyEditorTakesTheSeparatorAndItsOwnLimit) {
    auto* amount = Bind<TcvDBCurrencyEdit>("COUNTED");
    EXPECT_FALSE(platform_ui::test::QtInputMethodEnabled());
    amount->SetMaxValue(999);
    amount->SelectAllText();
    TypeText(amount, "15.");
    EXPECT_EQ(amount->Text(), "15.") << "the separator passes an integer field's filter";
    amount->SelectAllText();
    TypeText(amount, "1500");
    Type(amount, VK_TAB);
    Query->Post();
    EXPECT_EQ(Stored("COUNTED"), "999");
}

TEST_F(DBEditorsTest, DateEditorReadsAndWritesItsDateField) {
    auto* day = Bind<TcvDBDateEdit>("DAY");
    EXPECT_FALSE(platform_ui::test::QtInputMethodEnabled());
    EXPECT_EQ(day->GetDate(), EncodeDate(2024, 3, 5));
    day->SelectAllText();
    TypeText(day, "2024-04-01");
    Type(day, VK_TAB);
    Query->Post();
    EXPECT_EQ(Stored("DAY"), "2024-04-01 00:00:00");
    Query->Next();
    EXPECT_EQ(day->GetDate(), NullDate) << "a null field is no date";
}

TEST_F(DBEditorsTest, LookupEditorShowsTheNameAndStoresTheChosenCodeOnPost) {
    auto* codes = new TADOQuery(Form);
    codes->SetConnection(Connection);
    codes->SQL()->SetText("select * from CODES order by CODE");
    codes->Open();
    auto* list = new TDataSource(Form);
    list->SetDataSet(codes);
    auto* lookup = new TcvDBLookupEdit(Form);
    lookup->SetParent(Form);
    lookup->SetBounds(10, 10, 200, 24);
    lookup->SetListSource(list);
    lookup->SetKeyFieldName("CODE");
    lookup->SetListFieldName("NAME");
    lookup->SetDataSource(Source);
    lookup->SetDataField("CODE");
    Show(lookup);
    EXPECT_EQ(lookup->Text(), "重点科技攻关");
    EXPECT_EQ(lookup->GetDataLink(), reinterpret_cast<TDataLink*>(SendMessage(lookup->Handle(), CM_GETDATALINK)));
    EXPECT_TRUE(platform_ui::test::QtInputMethodEnabled()) << "names are typed in Chinese";

    platform_ui::test::SendQtInputMethodCommit(lookup->Handle(), "软");
    ProcessMessages();
    EXPECT_EQ(lookup->Text(), "软科学研究");
    Type(lookup, VK_TAB);
    EXPECT_EQ(GetFocus(), Other->Handle());
    Query->Post();
    EXPECT_EQ(Stored("CODE"), "02");
    Query->Next();
    EXPECT_EQ(lookup->Text(), "") << "no code, no name";
}

TEST_F(DBEditorsTest, DataSetActionsRunThroughTheLinkOfTheirSource) {
    auto* edit = Bind<TcvDBEdit>("NAME");
    TDataSetEdit action(Form);
    action.SetDataSource(Source);
    EXPECT_TRUE(edit->DataDefinition()->ExecuteAction(&action));
    EXPECT_EQ(Query->State(), dsEdit);
    Query->Cancel();
    EXPECT_TRUE(edit->ExecuteAction(&action)) << "the editor hands it to its definition";
    EXPECT_EQ(Query->State(), dsEdit);
    TDataSource elsewhere(nullptr);
    action.SetDataSource(&elsewhere);
    EXPECT_FALSE(edit->DataDefinition()->ExecuteAction(&action));
    EXPECT_FALSE(edit->ExecuteAction(&action));
}

} // namespace
