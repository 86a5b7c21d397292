// Headers dragged onto the group panel and group buttons dragged off it,
// with the real mouse on a grid offscreen.
#include "tests/dbgrid/ShownGrid.h"

#include "platform/ui/testhooks/WmTestHooks.h"

#include <gtest/gtest.h>

#include <string>

using namespace gridtest;
using platform_ui::test::TMouseEventKind;

namespace {

class DBGridGroupPanelDrag : public ::testing::Test {
protected:
    TShownGrid Shown{12, 300, {"ID", "Name", "Qty"}, [](TcvDBGrid& Grid) { Grid.SetShowGroupPanel(true); }};
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
    EXPECT_EQ(Grid->GetVisibleColumnCount(), 3);
}

} // namespace
