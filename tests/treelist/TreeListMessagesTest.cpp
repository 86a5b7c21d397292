// The setters' clamps and their silence on an equal value, a few window
// messages, and the sizing line and drop arrows that erase themselves.
#include "TestTreeList.h"

#include "platform/ui/Messages.h"

using treelisttest::TBandedTreeList;
using treelisttest::TTestTreeList;

namespace {

TEST(TreeListSetters, IntegerSettersClampIntoRange) {
    TTestTreeList tree(nullptr);
    struct Case {
        const char* Name;
        std::function<void(TTestTreeList&)> Set;
        std::function<int(const TTestTreeList&)> Get;
        int Stored;
    };
    const Case cases[] = {
        {"CustomizingRowCount 1", [](auto& t) { t.SetCustomizingRowCount(1); },
         [](const auto& t) { return t.CustomizingRowCount(); }, 2},
        {"IndentDesc -5", [](auto& t) { t.SetIndentDesc(-5); }, [](const auto& t) { return t.IndentDesc(); }, 0},
        {"MaxRowLineCount -7", [](auto& t) { t.SetMaxRowLineCount(-7); },
         [](const auto& t) { return t.MaxRowLineCount(); }, -1},
        {"PreviewLines -3", [](auto& t) { t.SetPreviewLines(-3); }, [](const auto& t) { return t.PreviewLines(); }, -1},
        {"FixedBandLineWidth 0", [](auto& t) { t.SetFixedBandLineWidth(0); },
         [](const auto& t) { return t.FixedBandLineWidth(); }, 1},
        {"RowSeparatorLineWidth -2", [](auto& t) { t.SetRowSeparatorLineWidth(-2); },
         [](const auto& t) { return t.RowSeparatorLineWidth(); }, 1},
        {"IndentDesc 7 as it is", [](auto& t) { t.SetIndentDesc(7); }, [](const auto& t) { return t.IndentDesc(); }, 7},
    };
    for (const Case& c : cases) {
        c.Set(tree);
        EXPECT_EQ(c.Get(tree), c.Stored) << c.Name;
    }
}

class TreeListWindow : public treelisttest::ShownTreeList<TBandedTreeList> {
protected:
    void SetUp() override { Show(300, 200, 5); }
    bool Invalid() {
        TRect r;
        return GetUpdateRect(Tree->Handle(), &r, false);
    }
    COLORREF Pixel(int X, int Y) {
        HDC dc = GetDC(Tree->Handle());
        const COLORREF colour = GetPixel(dc, X, Y);
        ReleaseDC(Tree->Handle(), dc);
        return colour;
    }
    // A pattern to draw over, so an inverting pen shows on every pixel.
    void PaintStripes() {
        HDC dc = GetDC(Tree->Handle());
        for (int x = 0; x < Tree->ClientWidth(); x += 3) {
            const TRect stripe{x, 0, x + 1, Tree->ClientHeight()};
            FillRect(dc, &stripe, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
        ReleaseDC(Tree->Handle(), dc);
    }
};

TEST_F(TreeListWindow, AnEqualValueNeitherRepaintsNorLaysOut) {
    struct Case {
        const char* Name;
        std::function<void(bool Change)> Set;
    };
    const Case cases[] = {
        {"repaint: BandColor", [&](bool change) { Tree->SetBandColor(change ? clRed : Tree->BandColor()); }},
        {"repaint: HideSelection", [&](bool change) { Tree->SetHideSelection(Tree->HideSelection() != change); }},
        {"relayout: ShowGrid", [&](bool change) { Tree->SetShowGrid(Tree->ShowGrid() != change); }},
        {"relayout: IndentDesc", [&](bool change) { Tree->SetIndentDesc(Tree->IndentDesc() + (change ? 3 : 0)); }},
        {"relayout: a clamped equal value", [&](bool change) { Tree->SetMaxRowLineCount(change ? 4 : -9); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        UpdateWindow(Tree->Handle());
        c.Set(false);
        EXPECT_FALSE(Invalid());
        c.Set(true);
        EXPECT_TRUE(Invalid());
    }
}

TEST_F(TreeListWindow, TheSizingLineDrawnTwiceLeavesTheImageAsItWas) {
    PaintStripes();
    const std::vector<COLORREF> before = Pixels();
    struct Case {
        Byte State;
        bool Vertical;
        int Thickness;
    };
    const Case cases[] = {{1, true, 1}, {8, true, 2}, {12, false, 2}, {13, false, 2}, {14, false, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.State));
        Tree->SetState(c.State);
        Tree->SetSizingCoord(40);
        Tree->DrawSizingLine();
        // Inverted across its thickness, untouched beside it.
        for (int offset = 0; offset <= c.Thickness; ++offset) {
            const int x = c.Vertical ? 40 + offset : 50;
            const int y = c.Vertical ? 60 : 40 + offset;
            const COLORREF was = before[y * Tree->ClientWidth() + x];
            if (offset < c.Thickness)
                EXPECT_EQ(Pixel(x, y), was ^ 0xFFFFFF) << offset;
            else
                EXPECT_EQ(Pixel(x, y), was) << offset;
        }
        Tree->DrawSizingLine();
        EXPECT_EQ(Pixels(), before);
    }
    Tree->SetState(0);
}

// A paint or a scroll takes the line and the arrows off and puts them back:
// they show as before, and the next toggle still erases them.
TEST_F(TreeListWindow, SizingLineAndDropArrowsOutliveAPaintAndAScroll) {
    Tree->BandWidths = {300, 300};
    // The test tree paints no cell content: a focus frame would add up.
    Tree->SetOptions(Tree->Options() | tlo_HideFocusedCell);
    struct Case {
        const char* Name;
        std::function<void()> Between;
    };
    const Case cases[] = {
        {"a full repaint",
         [&] {
             InvalidateRect(Tree->Handle(), nullptr, false);
             UpdateWindow(Tree->Handle());
         }},
        {"a band scroll there and back",
         [&] {
             Tree->SetLeftCoord(9);
             UpdateWindow(Tree->Handle());
             Tree->SetLeftCoord(0);
             UpdateWindow(Tree->Handle());
         }},
    };
    for (const Case& c : cases) {
        for (const Byte state : {Byte(1), Byte(9)}) {
            SCOPED_TRACE(std::string(c.Name) + ", state " + std::to_string(state));
            Tree->SetState(state);
            Tree->SetSizingCoord(40);
            Tree->SetDragArrowPoint({60, 2});
            const auto toggle = [&] { state == 1 ? Tree->DrawSizingLine() : Tree->DrawDragImage(false); };
            toggle();
            InvalidateRect(Tree->Handle(), nullptr, false);
            UpdateWindow(Tree->Handle());
            const std::vector<COLORREF> shown = Pixels();
            c.Between();
            EXPECT_EQ(Pixels(), shown);
            toggle();
            Tree->SetState(0);
        }
    }
}

TEST_F(TreeListWindow, TheDropArrowsPutOnAndTakenOffLeaveTheImageAsItWas) {
    PaintStripes();
    const std::vector<COLORREF> before = Pixels();
    for (const Byte state : {Byte(3), Byte(9)}) {
        SCOPED_TRACE(int(state));
        Tree->SetState(state);
        Tree->SetDragArrowPoint({60, 2});
        Tree->DrawDragImage(false);
        EXPECT_TRUE(Tree->DragArrowsShown());
        EXPECT_EQ(Pixel(65, 4), ColorToRGB(Tree->ArrowsColor())) << "inside the downward arrow";
        Tree->DrawDragImage(false);
        EXPECT_FALSE(Tree->DragArrowsShown());
        EXPECT_EQ(Pixels(), before);
    }
    Tree->SetState(0);
}

TEST_F(TreeListWindow, MessagesAnswerAsTheControlNeeds) {
    EXPECT_EQ(SendMessage(Tree->Handle(), WM_ERASEBKGND, 0, 0), 1) << "the paint covers everything";
    struct Case {
        const char* Name;
        unsigned Options;
        unsigned OptionsEx;
        LRESULT Code;
    };
    const unsigned quiet = Tree->Options() & ~(tlo_Editing | tlo_EditorWantsTab);
    const unsigned quietEx = Tree->OptionsEx() & ~tloex_IncSearch;
    const Case cases[] = {
        {"arrows only", quiet, quietEx, DLGC_WANTARROWS},
        {"editing wants characters", quiet | tlo_Editing, quietEx, DLGC_WANTARROWS | DLGC_WANTCHARS},
        {"incremental search too", quiet, quietEx | tloex_IncSearch, DLGC_WANTARROWS | DLGC_WANTCHARS},
        {"Tab for the editor", quiet | tlo_EditorWantsTab, quietEx, DLGC_WANTARROWS | DLGC_WANTTAB},
    };
    for (const Case& c : cases) {
        Tree->SetOptions(c.Options);
        Tree->SetOptionsEx(c.OptionsEx);
        EXPECT_EQ(SendMessage(Tree->Handle(), WM_GETDLGCODE, 0, 0), c.Code) << c.Name;
    }
}

TEST_F(TreeListWindow, AParentFontChangeGivesThePartsTheFontAndThePreviewBlue) {
    Tree->PreviewFont()->SetColor(clRed);
    Tree->SetParentFont(true);
    Form->Font()->SetSize(Form->Font()->Size() + 4);
    EXPECT_EQ(Tree->HeaderFont()->Size(), Form->Font()->Size());
    EXPECT_EQ(Tree->BandFont()->Size(), Form->Font()->Size());
    EXPECT_EQ(Tree->PreviewFont()->Size(), Form->Font()->Size());
    EXPECT_EQ(Tree->PreviewFont()->Color(), clBlue);
    EXPECT_TRUE(Tree->ParentFont()) << "copying the fonts keeps ParentFont";
    EXPECT_EQ(Tree->HeaderRowHeight(), cvTL::FontLineHeight(Tree->HeaderFont()->Handle()) + 5 + 1);
    Tree->HeaderFont()->SetSize(30);
    EXPECT_FALSE(Tree->ParentFont()) << "a part font of its own";
}

// The standard single border is sunken with Ctl3D and a plain line
// without; switching Ctl3D (here through the parent) makes the frame again.
TEST_F(TreeListWindow, TheStandardFrameFollowsCtl3D) {
    const auto frame = [this] {
        const LONG_PTR style = GetWindowLong(Tree->Handle(), GWL_STYLE);
        const LONG_PTR exStyle = GetWindowLong(Tree->Handle(), GWL_EXSTYLE);
        return std::string((style & WS_BORDER) ? "line" : "") + ((exStyle & WS_EX_CLIENTEDGE) ? "sunken" : "");
    };
    EXPECT_EQ(frame(), "sunken");
    const int sunkenWidth = Tree->ClientWidth();
    Form->SetCtl3D(false);
    EXPECT_FALSE(Tree->Ctl3D());
    EXPECT_EQ(frame(), "line");
    EXPECT_EQ(Tree->ClientWidth(), sunkenWidth + 2) << "one pixel a side instead of two";
    Form->SetCtl3D(true);
    EXPECT_EQ(frame(), "sunken");
    Tree->SetLookAndFeel(lfFlat);
    Tree->SetCtl3D(false);
    EXPECT_EQ(frame(), "") << "the flat looks paint their own frame";
}

} // namespace
