// The tree list's paint on a shown form, read back from the backing image:
// cell colours by selection and focus, the shadow of the flat looks, row
// separators, dotted tree lines aligned to the rows, header sort marks, a
// custom-draw handler that throws, and a tall list of rows.
#include "TestTreeList.h"

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/Painting.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tests/platform/ui/WmRecorder.h"

#include <stdexcept>

using platform_ui::test::BackingPixel;
using treelisttest::TBandedTreeList;

namespace {

// Cells drawn as the column's editor class would at its simplest: the brush,
// then the text in the text colour; the last cell description is kept.
class TPaintedTreeList : public TBandedTreeList {
public:
    using TBandedTreeList::TBandedTreeList;
    std::vector<TcvTreeListColumnSort> SortStates{csNone, csNone, csNone};
    bool FilterBar = false;
    int IndicatorWidth = 12;
    int HeaderRows = 1;
    bool ThrowInCustomDraw = false;
    int CustomDrawCalls = 0;
    int FeedbackHidden = 0;
    int FeedbackShown = 0;
    std::vector<HBRUSH> BrushesSeen;
    std::vector<TcvTreeListCellViewData> Drawn;

    std::string GetNodeString(const TcvTreeListNode* Node, int Column) const override {
        const auto found = Texts.find(Node);
        return found != Texts.end() && Column == 0 ? found->second : "x";
    }
    std::map<const TcvTreeListNode*, std::string> Texts;
    TcvTreeListColumnSort GetColumnSortState(int Column) const override { return SortStates[Column]; }
    bool IsFilterButtonShown() const override { return FilterBar; }
    int GetIndicatorWidth() const override { return IndicatorWidth; }
    int GetHeaderPanelRowCount() const override { return HeaderRows; }
    bool HasCustomDrawCell(TcvTreeListNode*, int) const override { return ThrowInCustomDraw; }
    void DoCustomDrawCell(TCanvas*, const TRect&, TcvTreeListNode*, int, bool, bool, bool, std::string&, TColor&,
                          TFont*, TAlignment&, bool&) override {
        if (!ThrowInCustomDraw) return;
        ++CustomDrawCalls;
        throw Exception("handler failed");
    }
    void DrawCellContent(HDC DC, const TRect& R, int, TcvTreeListCellViewData& Cell) override {
        Drawn.push_back(Cell);
        if (Cell.SearchHighlight) return;
        FillRect(DC, &R, Cell.Brush);
    }
    using TCustomcvTreeList::SetSearch;

protected:
    void PaintNodeCell(const TcvTreeListCellPaint& Cell) override {
        BrushesSeen.push_back(Cell.Brush);
        TBandedTreeList::PaintNodeCell(Cell);
    }
    void HideDragFeedback() override { ++FeedbackHidden; }
    void ShowDragFeedback() override { ++FeedbackShown; }
};

// 0x00RRGGBB as the backing image gives it.
uint32_t Rgb(COLORREF Colour) {
    return ((Colour & 0xFF) << 16) | (Colour & 0xFF00) | ((Colour >> 16) & 0xFF);
}
uint32_t Rgb(TColor Colour) {
    return Rgb(ColorToRGB(Colour));
}

class TreeListPaint : public ::testing::Test {
protected:
    void SetUp() override {
        CreateFormInstance(Form, nullptr);
        Owner.reset(Form);
        Form->SetBounds(20, 20, 420, 320);
        Tree = new TPaintedTreeList(Form);
        Tree->SetParent(Form);
        Tree->SetBounds(0, 0, 400, 300);
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(0, 300, 100, 20);
        TUpdateGuard<TCustomcvTreeList> update(*Tree);
        for (const char* name : {"A", "B", "C"}) Tree->Texts[Tree->Add()] = name;
        Tree->Texts[Tree->Items(0)->AddChild()] = "A1";
        Tree->Texts[Tree->Items(0)->AddChild()] = "A2";
    }
    void Show() {
        Form->Show();
        SettleActivation();
        Repaint();
    }
    void Repaint() {
        Tree->Invalidate();
        UpdateWindow(Tree->Handle());
    }
    // A pixel at client coordinates.
    uint32_t Pixel(int X, int Y) {
        TRect window;
        GetWindowRect(Tree->Handle(), window);
        TPoint origin{0, 0};
        ClientToScreen(Tree->Handle(), origin);
        return BackingPixel(Tree->Handle(), X + origin.X - window.Left, Y + origin.Y - window.Top);
    }
    const TcvTreeListRowInfo& Row(const TcvTreeListDrawInfo& Info, int Index) { return Info.Rows.at(Index); }
    // The middle of a header cell's span in a row.
    TPoint CellCentre(const TcvTreeListDrawInfo& Info, int Cell, int RowIndex) {
        const TcvTreeListHeaderCellInfo& header = Info.HeaderCells.at(Cell);
        const TcvTreeListRowInfo& row = Row(Info, RowIndex);
        return {(header.Bounds.Left + header.Bounds.Right) / 2, row.Top + row.Height / 2};
    }

    TForm* Form = nullptr;
    std::unique_ptr<TForm> Owner;
    TPaintedTreeList* Tree = nullptr;
    TEdit* Other = nullptr;
};

TEST_F(TreeListPaint, CellsTakeTheSelectionColoursByFocusAndOptions) {
    struct Case {
        const char* Name;
        bool Focused;
        bool RowSelect;
        TColor FocusedCell; // column 1 of the focused node
        TColor OtherCell;   // column 2 of the focused node
    };
    const Case cases[] = {
        {"focused cell in a focused list", true, false, clHighlight, clWindow},
        {"row select paints the whole row", true, true, clHighlight, clHighlight},
        {"hidden selection without focus", false, false, clWindow, clWindow},
    };
    Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Tree->SetOptions(c.RowSelect ? Tree->Options() | tlo_RowSelect : Tree->Options() & ~tlo_RowSelect);
        Tree->SetFocusedCell(Tree->Items(1), 1, false);
        if (c.Focused)
            Tree->SetFocus();
        else
            Other->SetFocus();
        ProcessMessages();
        Repaint();
        const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
        const TPoint focused = CellCentre(info, 1, 1);
        const TPoint other = CellCentre(info, 2, 1);
        const TPoint unselected = CellCentre(info, 1, 0);
        EXPECT_EQ(Pixel(focused.X, focused.Y), Rgb(c.FocusedCell));
        EXPECT_EQ(Pixel(other.X, other.Y), Rgb(c.OtherCell));
        EXPECT_EQ(Pixel(unselected.X, unselected.Y), Rgb(clWindow));
    }
}

TEST_F(TreeListPaint, TheFilterPanelTakesTheShadowOfTheLook) {
    struct Case {
        TcvLookAndFeel Look;
        COLORREF Shadow;
    };
    const Case cases[] = {{lfStandard, GetSysColor(COLOR_BTNSHADOW)},
                          {lfFlat, GetSysColor(COLOR_BTNSHADOW)},
                          {lfUltraFlat, 0xA0A0A0}};
    Tree->FilterBar = true;
    Tree->LayoutChanged();
    Show();
    for (const Case& c : cases) {
        Tree->SetLookAndFeel(c.Look);
        Repaint();
        const TRect bar = Tree->CalcDrawInfo().Areas.FilterBar;
        ASSERT_FALSE(IsRectEmpty(bar));
        EXPECT_EQ(Pixel((bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2), Rgb(c.Shadow)) << c.Look;
    }
}

TEST_F(TreeListPaint, TheIndicatorColumnBelowTheLastRowIsEmpty) {
    Tree->SetShowIndicator(true);
    for (int i = 0; i < 30; ++i) Tree->Texts[Tree->Add()] = "more";
    Show();
    // The rows that filled the column go: their cells must not stay behind.
    while (Tree->Count() > 3) delete Tree->Items(Tree->Count() - 1);
    Repaint();
    const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
    const TRect& column = info.Areas.RowsIndicator;
    const TcvTreeListRowInfo& last = info.Rows.back();
    ASSERT_LT(last.Top + last.Height + 10, column.Bottom);
    EXPECT_EQ(Pixel((column.Left + column.Right) / 2, last.Top + last.Height + 5), Rgb(clWindow));
}

TEST_F(TreeListPaint, HeaderSpaceRightOfTheLastBandIsEmptyHeaderSpace) {
    Tree->SetShowBands(true);
    Show();
    const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
    ASSERT_LT(info.ColumnsRight + 10, info.Areas.Header.Right);
    for (const TRect& area : {info.Areas.BandHeader, info.Areas.Header})
        EXPECT_EQ(Pixel(info.ColumnsRight + 5, (area.Top + area.Bottom) / 2), Rgb(clBtnShadow));
}

TEST_F(TreeListPaint, RowSeparatorsTakeTheGridColourOnlyWithTheGrid) {
    Show();
    for (const bool grid : {true, false}) {
        Tree->SetShowGrid(grid);
        Repaint();
        const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
        const TPoint centre = CellCentre(info, 2, 2);
        const int bottom = Row(info, 2).Top + Row(info, 2).Height - 1;
        EXPECT_EQ(Pixel(centre.X, bottom), Rgb(grid ? clBtnShadow : clWindow)) << grid;
    }
}

TEST_F(TreeListPaint, TreeLineDotsKeepTheirPlaceRelativeToTheRows) {
    // Odd and even offsets of the rows' left and top edges.
    struct Case {
        int IndicatorWidth;
        bool Header;
    };
    const Case cases[] = {{0, true}, {11, true}, {12, true}, {11, false}, {12, false}};
    Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.IndicatorWidth) + (c.Header ? " with header" : ""));
        Tree->IndicatorWidth = c.IndicatorWidth;
        Tree->SetShowIndicator(c.IndicatorWidth > 0);
        Tree->SetShowHeader(c.Header);
        Tree->LayoutChanged();
        Repaint();
        const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
        const TRect& rows = info.Areas.Rows;
        // B, a root between roots, has a line through its level column's
        // centre over its whole row.
        const TcvTreeListRowInfo& row = Row(info, 1);
        const int x = rows.Left + Tree->LevelIndent() / 2 - 1;
        for (int y = row.Top; y < row.Top + row.Height; ++y) {
            const bool dot = (x - rows.Left + y - row.Top) % 2 == 0;
            ASSERT_EQ(Pixel(x, y), Rgb(dot ? clGrayText : clWindow)) << "y " << y;
        }
    }
}

TEST_F(TreeListPaint, HeadersShowTheirSortMarks) {
    Tree->SortStates = {csUp, csDown, csNone};
    Show();
    const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
    const uint32_t lit = Rgb(clBtnHighlight);
    const uint32_t shaded = Rgb(clBtnShadow);
    std::vector<std::pair<int, int>> counts; // lit and shaded pixels inside each header's face
    for (const TcvTreeListHeaderCellInfo& cell : info.HeaderCells) {
        TRect face = cell.Bounds;
        InflateRect(face, -3, -3);
        int litCount = 0, shadedCount = 0;
        for (int y = face.Top; y < face.Bottom; ++y)
            for (int x = face.Left; x < face.Right; ++x) {
                litCount += Pixel(x, y) == lit;
                shadedCount += Pixel(x, y) == shaded;
            }
        counts.push_back({litCount, shadedCount});
    }
    ASSERT_EQ(counts.size(), 3u);
    EXPECT_GT(counts[0].first, counts[0].second) << "up: lit along the base and the right side";
    EXPECT_GT(counts[1].second, counts[1].first) << "down: shaded along the top and the left side";
    EXPECT_EQ(counts[2], std::make_pair(0, 0)) << "no mark";
}

TEST_F(TreeListPaint, HeaderSpaceNoCellCoversTakesTheShadow) {
    // Band 0 fills both header rows; band 1's one-line column leaves the
    // second row empty; band 2 shows no column at all.
    Tree->HeaderRows = 2;
    Tree->BandRows = {{{0}, {1}}, {{2}}, {}};
    Tree->BandWidths = {100, 120, 60};
    Tree->SetLookAndFeel(lfUltraFlat);
    Show();
    const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
    const TRect header = info.Areas.Header;
    const int secondRow = header.Top + Tree->HeaderRowHeight() * 3 / 2;
    struct Case {
        const char* Name;
        int X;
        uint32_t Colour;
    };
    const Case cases[] = {
        {"under the one-line column", (info.Bands[1].Bounds.Left + info.Bands[1].Bounds.Right) / 2, 0xA0A0A0},
        {"under the band without columns", (info.Bands[2].Bounds.Left + info.Bands[2].Bounds.Right) / 2, 0xA0A0A0},
        {"the second row's own column", (info.Bands[0].Bounds.Left + info.Bands[0].Bounds.Right) / 2,
         Rgb(clBtnFace)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Pixel(c.X, secondRow), c.Colour) << c.Name;
}

TEST_F(TreeListPaint, AThrowingCustomDrawIsReportedOnceAndReleasesThePaint) {
    std::vector<std::string> reported;
    const TExceptionHandler previous =
        SetExceptionHandler([&](const std::exception& e) { reported.push_back(e.what()); });
    const TScopeGuard restore([&] { SetExceptionHandler(previous); });
    Show();
    Tree->ThrowInCustomDraw = true;
    Tree->BrushesSeen.clear();
    Repaint();
    ProcessMessages();
    EXPECT_EQ(reported, std::vector<std::string>{"handler failed"});
    EXPECT_EQ(Tree->CustomDrawCalls, 1) << "the region was validated: no second paint";
    EXPECT_FALSE(GetUpdateRect(Tree->Handle(), nullptr, false));
    EXPECT_EQ(Tree->FeedbackShown, Tree->FeedbackHidden) << "the drag feedback came back";
    EXPECT_EQ(Tree->PaintBitmap(), nullptr);
    ASSERT_FALSE(Tree->BrushesSeen.empty());
    for (HBRUSH brush : Tree->BrushesSeen)
        EXPECT_EQ(GetObjectType(brush), 0u) << "the paint's brushes are gone";

    Tree->ThrowInCustomDraw = false;
    Repaint();
    const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
    const TPoint cell = CellCentre(info, 2, 2);
    EXPECT_EQ(Pixel(cell.X, cell.Y), Rgb(clWindow)) << "the next paint paints";
}

TEST_F(TreeListPaint, EveryRowOfATallListGetsItsSeparator) {
    Form->SetBounds(20, 20, 420, 1000);
    Tree->SetBounds(0, 0, 400, 960);
    {
        TUpdateGuard<TCustomcvTreeList> update(*Tree);
        for (int i = 0; i < 100; ++i) Tree->Add();
    }
    Tree->SetShowGrid(true);
    Show();
    const TcvTreeListDrawInfo info = Tree->CalcDrawInfo();
    ASSERT_GT(info.Rows.size(), size_t(960 / Tree->DefaultRowHeight()) - 2);
    const TPoint centre = CellCentre(info, 2, 0);
    for (const TcvTreeListRowInfo& row : info.Rows) {
        if (row.Top + row.Height > info.Areas.Rows.Bottom) continue;
        ASSERT_EQ(Pixel(centre.X, row.Top + row.Height - 1), Rgb(clBtnShadow)) << "row at " << row.Top;
    }
}

TEST_F(TreeListPaint, TheSearchHighlightCoversTheTypedCharactersOfTheText) {
    struct Case {
        const char* Text;
        const char* Typed;
        int Highlight; // -1: no highlight pass
    };
    const Case cases[] = {
        {"Beta", "Be", 2},
        {"B", "Bx", 1},
        {"中文字", "中文", 2},
        {"中", "中文", 1},
        {"Beta", "", -1},
    };
    Show();
    Tree->SetFocus();
    ProcessMessages();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text + std::string(" / ") + c.Typed);
        Tree->Texts[Tree->Items(1)] = c.Text;
        Tree->SetFocusedCell(Tree->Items(1), 0, false);
        Tree->SetSearch(0, c.Typed);
        Tree->Drawn.clear();
        Repaint();
        int highlight = -1;
        for (const TcvTreeListCellViewData& cell : Tree->Drawn)
            if (cell.SearchHighlight) highlight = cell.HighlightLength;
        EXPECT_EQ(highlight, c.Highlight);
    }
}

} // namespace
