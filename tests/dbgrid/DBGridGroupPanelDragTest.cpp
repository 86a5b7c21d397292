// Headers dragged onto the group panel and group buttons dragged off it,
// with the real mouse on a grid offscreen.
#include "tests/dbgrid/ShownGrid.h"

#include "platform/ui/ImageList.h"
#include "platform/ui/testhooks/WmTestHooks.h"

#include <gtest/gtest.h>

#include <string>

using namespace gridtest;
using platform_ui::test::TMouseEventKind;

namespace {

class DBGridGroupPanelDrag : public ::testing::Test {
protected:
    TShownGrid Shown{12, 300, {"ID", "Name", "Qty", "Done", "Note"},
                      [](TcvDBGrid& Grid) {
                          Grid.SetKeyField("ID");
                          Grid.SetShowGroupPanel(true);
                      }};
    TcvDBGrid* Grid = Shown.Grid;

    TcvDBTreeListColumn* Column(const char* FieldName) const { return Grid->ColumnByFieldName(FieldName); }
    TPoint HeaderCentre(const char* FieldName) const {
        for (const TcvTreeListHeaderCellInfo& cell : Grid->CalcDrawInfo().HeaderCells)
            if (cell.Column == Column(FieldName)->GetIndex())
                return {(cell.Bounds.Left + cell.Bounds.Right) / 2, (cell.Bounds.Top + cell.Bounds.Bottom) / 2};
        return {-1, -1};
    }
    // A point of the panel right of every button.
    TPoint PanelEnd() const {
        const TRect panel = Grid->CalcRectInfo().GroupPanel;
        return {panel.Right - 10, (panel.Top + panel.Bottom) / 2};
    }
    TPoint ButtonCentre(int Position) const {
        const TRect r = Grid->GroupButtonRect(Position);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // The group columns' field names, outermost first.
    std::string Grouping() const {
        std::string names;
        for (int i = 0; i < Grid->GroupColumnCount(); ++i)
            names += (i ? " " : "") + Grid->GroupColumns(i)->FieldName();
        return names;
    }
    // The top rows' texts: a group row's, or "-" for a record row.
    std::string TopRows() const {
        std::string texts;
        for (int i = 0; i < Grid->Count(); ++i) {
            TcvTreeListNode* node = Grid->Items(i);
            texts += (i ? "|" : "") + (Grid->IsGroupNode(node) ? Grid->GetNodeString(node, -1) : std::string("-"));
        }
        return texts;
    }
    void Mouse(TMouseEventKind Kind, TPoint Client, WPARAM Keys) {
        const TPoint origin = Grid->ClientToScreen({0, 0});
        TRect window;
        GetWindowRect(Grid->Handle(), window);
        platform_ui::test::SendQtMouse(Grid->Handle(), Kind,
                                       {Client.X + origin.X - window.Left, Client.Y + origin.Y - window.Top},
                                       Kind == TMouseEventKind::Move ? 0 : MK_LBUTTON, Keys);
        ProcessMessages();
    }
    // Pressed at From, moved by Step, then to To and released there.
    void Drag(TPoint From, TPoint To, TPoint Step = {8, 0}) {
        Mouse(TMouseEventKind::Press, From, MK_LBUTTON);
        Mouse(TMouseEventKind::Move, {From.X + Step.X, From.Y + Step.Y}, MK_LBUTTON);
        if (Step.X != To.X - From.X || Step.Y != To.Y - From.Y) Mouse(TMouseEventKind::Move, To, MK_LBUTTON);
        Mouse(TMouseEventKind::Release, To, 0);
    }
};

TEST_F(DBGridGroupPanelDrag, RefusedDropKeepsTheHeader) {
    std::string heard;
    Grid->OnEndDragGroupColumn = [&](TObject*, TcvTreeListColumn* column, int position, bool& accept) {
        heard += column->Caption() + " at " + std::to_string(position) + ";";
        accept = false;
    };
    Drag(HeaderCentre("Name"), PanelEnd());
    EXPECT_EQ(heard, "Name at 0;");
    EXPECT_EQ(Grid->State(), 0);
    EXPECT_EQ(Grid->GroupColumnCount(), 0);
    EXPECT_EQ(Column("Name")->GroupIndex(), -1);
    EXPECT_TRUE(Column("Name")->Visible());
    EXPECT_EQ(Grid->GetVisibleColumnCount(), 5);
}

// While a header is over the panel, the arrow points at the group position
// the drop would take; a column that may not group (a memo) gets no arrow
// and the remove cursor.
TEST_F(DBGridGroupPanelDrag, TheArrowAndCursorOverThePanel) {
    Column("Done")->SetGroupIndex(0);
    struct Case {
        const char* FieldName;
        bool Left; // of the Done button's middle, else right of it
        TPoint Arrow;
        TCursor Cursor;
    };
    const TRect first = Grid->GroupButtonRect(0);
    const TRect second = Grid->GroupButtonRect(1);
    const Case cases[] = {
        {"Qty", true, {first.Left - 5, first.Top - 9}, Grid->Cursor()},
        {"Qty", false, {second.Left - 5, second.Top - 9}, Grid->Cursor()},
        {"Note", false, {-100, -100}, cvTL::crcvTLRemove},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.FieldName) + (c.Left ? " left" : " right"));
        const TPoint from = HeaderCentre(c.FieldName);
        const TPoint over{ButtonCentre(0).X + (c.Left ? -10 : 10), ButtonCentre(0).Y};
        Mouse(TMouseEventKind::Press, from, MK_LBUTTON);
        Mouse(TMouseEventKind::Move, {from.X + 8, from.Y}, MK_LBUTTON);
        Mouse(TMouseEventKind::Move, over, MK_LBUTTON);
        ASSERT_EQ(Grid->State(), 3);
        EXPECT_EQ(Grid->DragArrowPoint(), c.Arrow);
        ASSERT_TRUE(Grid->DragImageList());
        EXPECT_EQ(Grid->DragImageList()->DragCursor(), c.Cursor);
        Grid->OnEndDragGroupColumn = [](TObject*, TcvTreeListColumn*, int, bool& accept) { accept = false; };
        Mouse(TMouseEventKind::Release, over, 0);
        Grid->OnEndDragGroupColumn = nullptr;
        EXPECT_EQ(Grouping(), "Done");
    }
}

TEST_F(DBGridGroupPanelDrag, HeadersDroppedOnThePanelGroupTheRows) {
    Drag(HeaderCentre("Done"), PanelEnd());
    EXPECT_EQ(Grouping(), "Done");
    EXPECT_FALSE(Column("Done")->Visible());
    EXPECT_EQ(TopRows(), "Done : False |Done : True ");
    EXPECT_EQ(Grid->GroupColumnAtPoint(ButtonCentre(0).X, ButtonCentre(0).Y), Column("Done"));
    EXPECT_EQ(Grid->GetGroupPanelHeight(), TCustomcvDBGrid::GroupPanelHeightFor(1, Grid->HeaderRowHeight()));

    // Left of the Done button's middle: the new outer level.
    std::string heard;
    Grid->OnEndDragGroupColumn = [&](TObject*, TcvTreeListColumn* column, int position, bool&) {
        heard += column->Caption() + " at " + std::to_string(position) + ";";
    };
    Drag(HeaderCentre("Qty"), {ButtonCentre(0).X - 10, ButtonCentre(0).Y});
    EXPECT_EQ(heard, "Qty at 0;");
    EXPECT_EQ(Grouping(), "Qty Done");
    EXPECT_EQ(Column("Qty")->GroupIndex(), 0);
    EXPECT_EQ(Column("Done")->GroupIndex(), 1);
    EXPECT_EQ(TopRows().substr(0, 20), "Qty : 10 |Qty : 20 |");
    EXPECT_EQ(Grid->GetNodeString(Grid->Items(0)->GetFirstChild(), -1), "Done : True ");
    EXPECT_EQ(Grid->GroupColumnAtPoint(ButtonCentre(1).X, ButtonCentre(1).Y), Column("Done"));
}

TEST_F(DBGridGroupPanelDrag, AButtonDraggedOffUngroups) {
    struct Case {
        const char* Name;
        bool OnTheHeader; // else into the rows
        bool Visible;
    };
    for (const Case& c : {Case{"into the rows", false, false}, Case{"onto the header", true, true}}) {
        SCOPED_TRACE(c.Name);
        Column("Done")->SetGroupIndex(0);
        ASSERT_EQ(Grouping(), "Done");
        std::string hidden;
        Grid->OnHideHeader = [&](TObject*, TcvTreeListColumn* column) { hidden += column->Caption(); };
        const TPoint header = HeaderCentre("Name");
        const TPoint rows{header.X, Grid->CalcRectInfo().Rows.Top + 40};
        Drag(ButtonCentre(0), c.OnTheHeader ? TPoint{header.X + 5, header.Y} : rows, {0, 8});
        EXPECT_EQ(Grid->State(), 0);
        EXPECT_EQ(Grouping(), "");
        EXPECT_EQ(Column("Done")->GroupIndex(), -1);
        EXPECT_EQ(Column("Done")->Visible(), c.Visible);
        EXPECT_EQ(hidden, c.Visible ? "" : "Done");
        EXPECT_EQ(TopRows().find("Done"), std::string::npos) << "record rows only";
    }
}

// A press and release without a drag is a header click: the groups sort
// the other way.
TEST_F(DBGridGroupPanelDrag, AMoveUnderFivePixelsDragsNothing) {
    Column("Done")->SetGroupIndex(0);
    Column("Qty")->SetGroupIndex(1);
    ASSERT_EQ(Grouping(), "Done Qty");
    ASSERT_EQ(Column("Done")->Sorted(), csUp);
    const TPoint press = ButtonCentre(0);
    Mouse(TMouseEventKind::Press, press, MK_LBUTTON);
    Mouse(TMouseEventKind::Move, {press.X + 5, press.Y - 5}, MK_LBUTTON);
    EXPECT_EQ(Grid->State(), 0) << "no drag";
    Mouse(TMouseEventKind::Release, {press.X + 5, press.Y - 5}, 0);
    EXPECT_EQ(Grouping(), "Done Qty");
    EXPECT_FALSE(Column("Done")->Visible());
    EXPECT_EQ(Column("Done")->Sorted(), csDown);
}

} // namespace
