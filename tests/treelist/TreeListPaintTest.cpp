// The tree list's paint on a shown form, read back from the backing image:
// cell colours by selection and focus, the shadow of the flat looks, row
// separators, dotted tree lines aligned to the rows, header sort marks, a
// custom-draw handler that throws, and a tall list of rows.
#include "TestTreeList.h"

#include "platform/ui/Colors.h"
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

} // namespace
