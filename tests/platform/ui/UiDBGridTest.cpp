// The plain data grid over a real query: rows drawn from the link's window
// without moving the cursor, keys, clicks, the scroll bar and the wheel moving
// it, confirmed deletion.
#include "UiTestSupport.h"

#include "platform/data/ADODB.h"
#include "platform/data/DB.h"
#include "platform/ui/DBGrids.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/SqliteFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace uitest;
using platform_ui::test::PostQtMouse;
using platform_ui::test::SendQtMouse;
using platform_ui::test::SendQtWheel;
using platform_ui::test::TMouseEventKind;

namespace {

struct GridWorld {
    TScratchFolder Folder;
    std::string File = Folder / "grid.mdb";
    TADOConnection Connection{nullptr};
    TADOQuery Query{nullptr};
    TDataSource Source{nullptr};
    TForm* Form = nullptr;
    TDBGrid* Grid = nullptr;

    // Rows past the three named ones get made-up names.
    explicit GridWorld(int Rows = 3) {
        RunSql(File, "create table JHLB (JHLBDM integer primary key, JHMC varchar(40));"
                     "insert into JHLB values (1, '重点科技攻关'), (2, '软科学研究'), (3, '科技型中小企业创新');");
        RunSql(File, "with recursive n(i) as (select 4 union all select i + 1 from n where i < " +
                         std::to_string(Rows) + ") insert into JHLB select i, '计划' || i from n where i <= " +
                         std::to_string(Rows));
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

    TScrollInfo Bar() const {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        GetScrollInfo(Grid->Handle(), SB_VERT, info);
        return info;
    }
    bool BarShown() const { return GetWindowLong(Grid->Handle(), GWL_STYLE) & WS_VSCROLL; }
    // A press and release at a point of the grid's window; the release waits in
    // Qt's queue until the scroll bar's own loop takes it.
    void PressAt(TPoint At, TPoint ReleaseAt) {
        if (ReleaseAt.Y != At.Y) PostQtMouse(Grid->Handle(), TMouseEventKind::Move, ReleaseAt, 0, MK_LBUTTON);
        PostQtMouse(Grid->Handle(), TMouseEventKind::Release, ReleaseAt, MK_LBUTTON, 0);
        SendQtMouse(Grid->Handle(), TMouseEventKind::Press, At, MK_LBUTTON, MK_LBUTTON);
        ProcessMessages();
    }
    void Wheel(int Delta) {
        SendQtWheel(Grid->Handle(), {50, 50}, Delta);
        ProcessMessages();
    }
};

constexpr int ManyRows = 30;

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
    Type(w.Grid, VK_DOWN);
    Type(w.Grid, VK_DOWN);
    EXPECT_EQ(w.Query.FieldByName("JHLBDM")->AsInteger(), 3);
    Type(w.Grid, VK_UP);
    EXPECT_EQ(w.Query.FieldByName("JHLBDM")->AsInteger(), 2);
    // The first data row lies below the title row.
    Click(w.Grid, Point(100, w.Grid->DefaultRowHeight() + 3));
    EXPECT_EQ(w.Query.FieldByName("JHLBDM")->AsInteger(), 1);
}

TEST(UiDBGrid, CtrlDeleteAsksFirstAndReadOnlyGridsNeverDelete) {
    DialogRecorder boxes;
    GridWorld w;
    boxes.Answers = {IDCANCEL, IDOK};
    Type(w.Grid, VK_DELETE, "", MK_CONTROL);
    EXPECT_EQ(w.Query.RecordCount(), 3);
    Type(w.Grid, VK_DELETE, "", MK_CONTROL);
    EXPECT_EQ(w.Query.RecordCount(), 2);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].Flags, MB_OKCANCEL | MB_ICONQUESTION);
    w.Grid->SetReadOnly(true);
    Type(w.Grid, VK_DELETE, "", MK_CONTROL);
    EXPECT_EQ(w.Query.RecordCount(), 2);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}

TEST(UiDBGrid, TheScrollBarStandsForTheRecordNumber) {
    GridWorld w(ManyRows);
    const int page = w.Grid->VisibleRowCount();
    ASSERT_LT(page, ManyRows);
    ASSERT_TRUE(w.BarShown());
    TScrollInfo bar = w.Bar();
    EXPECT_EQ(bar.nMin, 1);
    EXPECT_EQ(static_cast<int>(bar.nPage), page);
    EXPECT_EQ(bar.nMax, ManyRows + page - 1) << "the last record puts the thumb at the bottom";
    EXPECT_EQ(bar.nPos, 1);
    // Whoever moves the dataset, the thumb follows.
    const struct {
        const char* Name;
        std::function<void()> Move;
        int Pos;
    } moves[] = {
        {"Last", [&] { w.Query.Last(); }, ManyRows},
        {"RecNo", [&] { w.Query.SetRecNo(12); }, 12},
        {"Prior", [&] { w.Query.Prior(); }, 11},
        {"key Down", [&] { Type(w.Grid, VK_DOWN); }, 12},
        {"First", [&] { w.Query.First(); }, 1},
    };
    for (const auto& move : moves) {
        move.Move();
        EXPECT_EQ(w.Bar().nPos, move.Pos) << move.Name;
    }
    w.Query.Delete();
    EXPECT_EQ(w.Bar().nMax, ManyRows - 1 + page - 1) << "a deleted record shortens the range";
    w.Grid->SetBounds(0, 0, 380, 240);
    const int taller = w.Grid->VisibleRowCount();
    ASSERT_GT(taller, page);
    EXPECT_EQ(static_cast<int>(w.Bar().nPage), taller);
    EXPECT_EQ(w.Bar().nMax, ManyRows - 1 + taller - 1);
}

TEST(UiDBGrid, NoScrollBarWhileEveryRecordIsInView) {
    GridWorld few;
    EXPECT_FALSE(few.BarShown()) << "three rows fit";
    GridWorld many(ManyRows);
    ASSERT_TRUE(many.BarShown());
    many.Query.Close();
    EXPECT_FALSE(many.BarShown()) << "a closed dataset has nothing to scroll";
}

TEST(UiDBGrid, TheScrollBarMovesTheDataset) {
    GridWorld w(ManyRows);
    const int page = w.Grid->VisibleRowCount();
    const int size = GetSystemMetrics(SM_CXVSCROLL);
    const int x = w.Grid->Width() - size / 2, height = w.Grid->Height();
    const TPoint upArrow{x, size / 2}, downArrow{x, height - size / 2};
    const TPoint belowThumb{x, height - size - 3}, aboveThumb{x, size + 3};
    const TPoint thumbAtTop{x, size + 3};
    const struct {
        const char* Name;
        int From;
        TPoint Press, Release;
        int To;
    } cases[] = {
        // A line reaches the record just past the rows shown, so they scroll by one.
        {"down arrow", 1, downArrow, downArrow, page + 1},
        {"up arrow after the last", ManyRows, upArrow, upArrow, ManyRows - page},
        {"below the thumb", 1, belowThumb, belowThumb, 1 + page},
        {"above the thumb", ManyRows, aboveThumb, aboveThumb, ManyRows - page},
        {"thumb to the bottom", 1, thumbAtTop, {x, height}, ManyRows},
    };
    for (const auto& c : cases) {
        w.Query.SetRecNo(c.From);
        w.PressAt(c.Press, c.Release);
        EXPECT_EQ(w.Query.RecNo(), c.To) << c.Name;
        EXPECT_EQ(w.Bar().nPos, c.To) << c.Name;
    }
    w.Query.First();
    w.PressAt(thumbAtTop, {x, height / 2});
    EXPECT_GT(w.Query.RecNo(), 1) << "the thumb dropped half way";
    EXPECT_LT(w.Query.RecNo(), ManyRows);
    EXPECT_EQ(w.Bar().nPos, w.Query.RecNo());
    SendMessage(w.Grid->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(w.Query.RecNo(), ManyRows);
    SendMessage(w.Grid->Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(w.Query.RecNo(), 1);
}

TEST(UiDBGrid, TheWheelMovesByTheDesktopsWheelLines) {
    GridWorld w(ManyRows);
    struct RestoreSettings {
        ~RestoreSettings() { RestoreSystemMetrics(); }
    } restore;
    UINT lines = 0;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_EQ(lines, 3u);
    w.Wheel(-WHEEL_DELTA);
    EXPECT_EQ(w.Query.RecNo(), 4) << "towards the user: down by three";
    EXPECT_EQ(w.Bar().nPos, 4);
    w.Wheel(WHEEL_DELTA);
    EXPECT_EQ(w.Query.RecNo(), 1);
    w.Wheel(-WHEEL_DELTA / 2);
    EXPECT_EQ(w.Query.RecNo(), 1) << "half a notch does nothing yet";
    w.Wheel(-WHEEL_DELTA / 2);
    EXPECT_EQ(w.Query.RecNo(), 4) << "the second half completes the notch";
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0);
    w.Wheel(-WHEEL_DELTA);
    EXPECT_EQ(w.Query.RecNo(), 4 + w.Grid->VisibleRowCount()) << "a page a notch";
}
