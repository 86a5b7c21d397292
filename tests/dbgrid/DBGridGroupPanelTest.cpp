// The group panel of a real grid offscreen: its geometry, the hint it
// paints while nothing is grouped, and the rows' slide when it shows or
// hides, read from the window's backing image.
#include "tests/dbgrid/ShownGrid.h"

#include "platform/ui/Colors.h"
#include "platform/ui/MessageQueue.h"

#include <gtest/gtest.h>

#include <vector>

using namespace gridtest;

namespace {

TEST(DBGridGroupPanelGeometry, HeightAndButtonsFollowTheHeaderRowHeight) {
    struct Case {
        int Groups;
        int H;
        int Height;
        TRect LastButton; // of position Groups - 1, or the place after the last
    };
    const Case cases[] = {
        {0, 18, 25, {8, 8, 108, 26}},
        {1, 18, 34, {8, 8, 108, 26}},
        {3, 18, 52, {216, 26, 316, 44}},
        {3, 17, 49, {216, 24, 316, 41}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Groups) + " groups, H " + std::to_string(c.H));
        EXPECT_EQ(TCustomcvDBGrid::GroupPanelHeightFor(c.Groups, c.H), c.Height);
        EXPECT_EQ(TCustomcvDBGrid::GroupButtonRectFor(std::max(c.Groups - 1, 0), c.H), c.LastButton);
    }
}

class DBGridGroupPanel : public ::testing::Test {
protected:
    TShownGrid Shown{20, 300, {"ID", "Name", "Qty"}};
    TcvDBGrid* Grid = Shown.Grid;

    HWND Wnd() const { return Grid->Handle(); }
    // One column of the backing image, top to bottom.
    std::vector<COLORREF> PixelColumn(int X) const {
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(Wnd());
        for (int y = 0; y < Grid->ClientRect().Bottom; ++y)
            pixels.push_back(GetPixel(dc, X, y));
        ReleaseDC(Wnd(), dc);
        return pixels;
    }
    int CountPixels(const TRect& R, COLORREF Colour) const {
        int count = 0;
        HDC dc = GetDC(Wnd());
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                count += GetPixel(dc, x, y) == Colour;
        ReleaseDC(Wnd(), dc);
        return count;
    }
};

TEST_F(DBGridGroupPanel, TakesItsHeightAboveTheHeadersAtEveryHeaderFont) {
    EXPECT_EQ(Grid->GetGroupPanelHeight(), 0);
    EXPECT_TRUE(IsRectEmpty(Grid->CalcRectInfo().GroupPanel));
    const int headerTopWithout = Grid->CalcRectInfo().Header.Top;
    Grid->SetShowGroupPanel(true);
    for (int size : {9, 16}) {
        SCOPED_TRACE(size);
        Grid->HeaderFont()->SetSize(size);
        Grid->LayoutChanged();
        const int h = Grid->HeaderRowHeight();
        const int expected = h + 16 - h / 2;
        EXPECT_EQ(Grid->GetGroupPanelHeight(), expected);
        const TcvTreeListRectInfo areas = Grid->CalcRectInfo();
        EXPECT_EQ(areas.GroupPanel, (TRect{0, 0, Grid->ClientRect().Right, expected}));
        EXPECT_EQ(areas.Header.Top, headerTopWithout + expected);
        EXPECT_EQ(Grid->GroupButtonRect(0), (TRect{8, 8, 108, 8 + h}));
        EXPECT_EQ(Grid->GroupColumnAtPoint(50, 8 + h / 2), nullptr) << "no column is grouped";
    }
}

TEST_F(DBGridGroupPanel, PaintsTheHintWhileNothingIsGrouped) {
    Grid->SetGroupPanelColor(clBlue);
    Grid->SetGroupPanelFontColor(clRed);
    Grid->SetShowGroupPanel(true);
    UpdateWindow(Wnd());
    const TRect panel = Grid->CalcRectInfo().GroupPanel;
    const int text = CountPixels(panel, ColorToRGB(clRed));
    EXPECT_GT(text, 50) << "the hint in the font colour";
    EXPECT_GT(CountPixels(panel, ColorToRGB(clBlue)), panel.Width() * panel.Height() - text - 50)
        << "the rest in the panel colour";
    // The hint is one line starting at the left, vertically centred.
    TRect upper = panel;
    upper.Bottom = panel.Top + panel.Height() / 4;
    EXPECT_EQ(CountPixels(upper, ColorToRGB(clRed)), 0);
    TRect right = panel;
    right.Left = panel.Left + 20;
    EXPECT_LT(CountPixels(right, ColorToRGB(clRed)), text);

    TRect heard{};
    Grid->OnBackgroundDrawEvent = [&](TObject*, TCanvas*, const TRect& R) { heard = R; };
    InvalidateRect(Wnd(), nullptr, false);
    UpdateWindow(Wnd());
    EXPECT_EQ(heard, panel);
}

// Group columns show as header buttons joined by connector lines; the hint goes.
TEST_F(DBGridGroupPanel, PaintsTheGroupButtonsAndTheirConnectors) {
    Grid->SetGroupPanelColor(clBlue);
    Grid->SetGroupPanelFontColor(clRed);
    Grid->SetShowGroupPanel(true);
    Grid->ColumnByFieldName("Qty")->SetGroupIndex(0);
    Grid->ColumnByFieldName("Name")->SetGroupIndex(1);
    ASSERT_EQ(Grid->GroupColumnCount(), 2);
    UpdateWindow(Wnd());
    EXPECT_EQ(CountPixels(Grid->CalcRectInfo().GroupPanel, ColorToRGB(clRed)), 0);
    for (int position : {0, 1}) {
        const TRect button = Grid->GroupButtonRect(position);
        EXPECT_GT(CountPixels(button, ColorToRGB(Grid->HeaderColor())), button.Width() * button.Height() / 2);
        EXPECT_GT(CountPixels(button, ColorToRGB(Grid->HeaderFont()->Color())), 10) << "the caption";
    }
    const TRect first = Grid->GroupButtonRect(0);
    const TRect second = Grid->GroupButtonRect(1);
    const int middle = (first.Left + first.Right) / 2;
    const int lineY = first.Bottom + 2;
    HDC dc = GetDC(Wnd());
    const COLORREF line = ColorToRGB(clBtnText);
    EXPECT_EQ(GetPixel(dc, middle, first.Bottom), line);
    EXPECT_EQ(GetPixel(dc, middle, lineY), line);
    EXPECT_EQ(GetPixel(dc, (middle + second.Left) / 2, lineY), line);
    EXPECT_EQ(GetPixel(dc, middle, lineY + 1), ColorToRGB(clBlue));
    ReleaseDC(Wnd(), dc);
}

TEST_F(DBGridGroupPanel, RowsSlideByThePanelsHeightWithinTheTimeLimit) {
    struct Case {
        bool Show;
        TColor Strip;
    };
    const int x = 60;
    for (const Case& c : {Case{true, clBtnShadow}, Case{false, Grid->Color()}}) {
        SCOPED_TRACE(c.Show ? "shown" : "hidden");
        UpdateWindow(Wnd());
        const std::vector<COLORREF> before = PixelColumn(x);
        const int d = TCustomcvDBGrid::GroupPanelHeightFor(Grid->GroupColumnCount(), Grid->HeaderRowHeight());
        const int bottom = int(before.size());
        const DWORD start = GetTickCount();
        Grid->SetShowGroupPanel(c.Show);
        EXPECT_LE(GetTickCount() - start, 400u + 100u);
        // Nothing painted yet: the image holds the slide's last step.
        const std::vector<COLORREF> after = PixelColumn(x);
        const COLORREF strip = ColorToRGB(c.Strip);
        int moved = 0;
        for (int y = 0; y < bottom; ++y) {
            const bool uncovered = c.Show ? y < d : y >= bottom - d;
            if (uncovered)
                EXPECT_EQ(after[size_t(y)], strip) << y;
            else
                moved += after[size_t(y)] == before[size_t(c.Show ? y - d : y + d)];
        }
        EXPECT_EQ(moved, bottom - d) << "every other pixel moved by the panel's height";
        UpdateWindow(Wnd());
        EXPECT_EQ(Grid->CalcRectInfo().Header.Top, c.Show ? d : 0);
    }
}

} // namespace
