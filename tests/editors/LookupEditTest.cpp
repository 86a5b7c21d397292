// The lookup editor over a code table: its list, its search by list text,
// its stepping through the keys, and the editor itself in a host and on a form.
#include "editors/LookupEdit.h"
#include "editors/DBEdtr.h"

#include "platform/data/DB.h"
#include "platform/ui/Window.h"
#include "tests/platform/data/TestDatabase.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace uitest;

namespace {

// The code table the acceptance documents look their categories up in.
struct CodeTable {
    TScratchFolder Folder;
    std::string File = Folder / "codes.mdb";
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Codes;

    CodeTable() {
        RunSql(File, "create table CODES (CODE varchar(4) primary key, NAME varchar(40));"
                     "insert into CODES values ('01', '重点科技攻关'), ('02', '软科学研究'),"
                     " ('03', '科技型中小企业创新');");
        Connection = Connect(File);
        Codes = OpenQuery(Connection.get(), "select * from CODES order by CODE");
    }
    std::string CurrentCode() const { return Codes->FieldByName("CODE")->AsString(); }
};

TEST(LookupList, SearchFindsTheFirstNameWithThePrefix) {
    const struct {
        const char* Text;
        bool Found;
        const char* Code;
    } cases[] = {
        {"软", true, "02"},  {"科技", true, "03"}, {"重点科技攻关", true, "01"},
        {"科学", false, ""}, // inside a name, not at its start
        {"", true, "01"},
    };
    CodeTable t;
    for (const auto& c : cases) {
        EXPECT_EQ(cvLookupList::LocateByText(t.Codes.get(), "NAME", c.Text), c.Found) << c.Text;
        if (c.Found) {
            EXPECT_EQ(t.CurrentCode(), c.Code) << c.Text;
        }
    }
    EXPECT_FALSE(cvLookupList::LocateByText(t.Codes.get(), "NOSUCHFIELD", "软")) << "a failing search finds nothing";
}

TEST(LookupList, StepMovesFromTheKeyOrStartsAtTheFirstRecord) {
    const struct {
        Variant Key;
        int Delta;
        const char* Code;
    } cases[] = {
        {"01", 1, "02"},  {"02", -1, "01"}, {"03", 1, "03"}, // the last record stays
        {"01", -1, "01"}, {"99", 1, "01"},  {Null(), 1, "01"},
    };
    CodeTable t;
    for (const auto& c : cases) {
        t.Codes->Last();
        cvLookupList::StepFromKey(t.Codes.get(), "CODE", c.Key, c.Delta);
        EXPECT_EQ(t.CurrentCode(), c.Code) << VarToStr(c.Key) << " " << c.Delta;
    }
    EXPECT_EQ(cvLookupList::TextForKey(t.Codes.get(), "CODE", "NAME", "02"), "软科学研究");
    EXPECT_EQ(cvLookupList::TextForKey(t.Codes.get(), "CODE", "NAME", "99"), "");
    EXPECT_EQ(cvLookupList::FirstFieldName(" NAME ;CODE"), "NAME");
}

TEST(LookupList, TheFrameAndShadowAddToTheRows) {
    const struct {
        TcvPopupBorder Border;
        bool Shadow;
        int Frame;
    } cases[] = {
        {pbSingle, false, 2},
        {pbFrame3D, false, 8},
        {pbFlat, false, 4},
        {pbFlat, true, 6},
    };
    for (const auto& c : cases) {
        TPopupDBLookupListBox list(nullptr);
        list.SetRowCount(3);
        list.SetBorderStyle(c.Border);
        list.SetShadow(c.Shadow);
        list.SetBounds(10, 10, 100, list.Height());
        EXPECT_EQ(list.Height(), 3 * list.RowHeight() + c.Frame) << c.Border;
        list.HandleNeeded();
        EXPECT_EQ(list.ClientHeight(), 3 * list.RowHeight()) << c.Border;
        const DWORD exStyle = static_cast<DWORD>(GetWindowLong(list.Handle(), GWL_EXSTYLE));
        EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
        EXPECT_FALSE(GetWindowLong(list.Handle(), GWL_STYLE) & WS_BORDER);
    }
}

TEST(LookupKey, ModifiableOnlyWhenTheKeyFieldIs) {
    CodeTable t;
    RunSql(t.File, "create table DOC (ID integer primary key, CODE varchar(4));"
                   "insert into DOC values (1, '02');");
    TADOQuery doc(nullptr);
    doc.SetConnection(t.Connection.get());
    doc.SQL()->SetText("select * from DOC");
    TIntegerField id(nullptr);
    TStringField code(nullptr), name(nullptr);
    id.SetFieldName("ID");
    code.SetFieldName("CODE");
    name.SetFieldName("CODENAME");
    name.SetFieldKind(fkLookup);
    name.SetLookupDataSet(t.Codes.get());
    name.SetLookupKeyFields("CODE");
    name.SetLookupResultField("NAME");
    name.SetKeyFields("CODE");
    for (TField* f : {static_cast<TField*>(&id), static_cast<TField*>(&code), static_cast<TField*>(&name)})
        f->SetDataSet(&doc);
    doc.Open();
    EXPECT_TRUE(cvDBEdtr::CanModifyLookupKey(&name));
    code.SetReadOnly(true);
    EXPECT_FALSE(cvDBEdtr::CanModifyLookupKey(&name));
    code.SetReadOnly(false);
    name.SetKeyFields("NOSUCHFIELD");
    EXPECT_FALSE(cvDBEdtr::CanModifyLookupKey(&name));
    TStringField loose(nullptr);
    EXPECT_FALSE(cvDBEdtr::CanModifyLookupKey(&loose)) << "a field without a dataset";
    doc.Close();
}

} // namespace
