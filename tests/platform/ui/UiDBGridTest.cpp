// The plain data grid over a real query: rows drawn from the link's window
// without moving the cursor, keys and clicks moving it, confirmed deletion.
#include "UiTestSupport.h"

#include "platform/data/ADODB.h"
#include "platform/data/DB.h"
#include "platform/ui/DBGrids.h"
#include "platform/ui/Forms.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uitest;

namespace {

struct GridWorld {
    TScratchFolder Folder;
    std::string File = Folder / "grid.mdb";
    TADOConnection Connection{nullptr};
    TADOQuery Query{nullptr};
    TDataSource Source{nullptr};
    TForm* Form = nullptr;
    TDBGrid* Grid = nullptr;

    GridWorld() {
        RunSql(File, "create table JHLB (JHLBDM integer primary key, JHMC varchar(40));"
                     "insert into JHLB values (1, '重点科技攻关'), (2, '软科学研究'), (3, '科技型中小企业创新');");
        Connection.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + File + ";");
        Connection.SetLoginPrompt(false);
        Connection.Open();
        Query.SetConnection(&Connection);
        Query.SQL()->SetText("select * from JHLB order by JHLBDM");
        Source.SetDataSet(&Query);
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(0, 0, 400, 200);
        Grid = new TDBGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(0, 0, 380, 150);
        Grid->SetOptions(Grid->Options() + dgRowSelect - dgEditing);
        for (auto [field, caption, width] : {std::tuple{"JHLBDM", "代码", 60}, std::tuple{"JHMC", "名称", 200}}) {
            TColumn* column = Grid->Columns()->Add();
            column->SetFieldName(field);
            column->Title()->SetCaption(caption);
            column->Title()->SetAlignment(taCenter);
            column->SetWidth(width);
        }
        Grid->SetDataSource(&Source);
        Query.Open();
        Form->Show();
        Grid->SetFocus();
    }
    ~GridWorld() {
        delete Form;
        Query.Close();
        Connection.Close();
    }
};

} // namespace

TEST(UiDBGrid, DrawsEveryRowWithoutMovingTheCursor) {
    GridWorld w;
    std::vector<std::string> drawn;
    w.Grid->OnDrawColumnCell = [&](TObject*, const TRect&, int, TColumn* column, TGridDrawState state) {
        if (column->FieldName() == "JHMC")
            drawn.push_back(column->Field()->DisplayText() + (state.Contains(gdSelected) ? "*" : ""));
    };
    w.Query.Next();
    w.Grid->Repaint();
    EXPECT_EQ(drawn, (std::vector<std::string>{"重点科技攻关", "软科学研究*", "科技型中小企业创新"}));
    EXPECT_EQ(w.Query.RecNo(), 2);
}

TEST(UiDBGrid, ArrowsAndClicksMoveTheCurrentRecord) {
    GridWorld w;
    Type(w.Grid, KeyDown);
    Type(w.Grid, KeyDown);
    EXPECT_EQ(w.Query.FieldByName("JHLBDM")->AsInteger(), 3);
    Type(w.Grid, KeyUp);
    EXPECT_EQ(w.Query.FieldByName("JHLBDM")->AsInteger(), 2);
    // The first data row lies below the title row.
    Click(w.Grid, Point(100, w.Grid->DefaultRowHeight() + 3));
    EXPECT_EQ(w.Query.FieldByName("JHLBDM")->AsInteger(), 1);
}

TEST(UiDBGrid, CtrlDeleteAsksFirstAndReadOnlyGridsNeverDelete) {
    DialogRecorder boxes;
    GridWorld w;
    boxes.Answers = {IDCANCEL, IDOK};
    Type(w.Grid, 0x01000007 /* Delete */, "", platform_ui::test::ModControl);
    EXPECT_EQ(w.Query.RecordCount(), 3);
    Type(w.Grid, 0x01000007, "", platform_ui::test::ModControl);
    EXPECT_EQ(w.Query.RecordCount(), 2);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].Flags, MB_OKCANCEL | MB_ICONQUESTION);
    w.Grid->SetReadOnly(true);
    Type(w.Grid, 0x01000007, "", platform_ui::test::ModControl);
    EXPECT_EQ(w.Query.RecordCount(), 2);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}
