// The control's custom-draw dispatch: its own events first, the column's
// last, a set ADone stopping the chain, and the tests that tell the painter
// whether anybody draws.
#include "TestTreeListControl.h"

using treelisttest::TreeListControlTest;

namespace {

// A control whose first root is a group row.
class TGroupingControl : public TCustomcvTreeListControl {
public:
    using TCustomcvTreeListControl::TCustomcvTreeListControl;
    bool IsGroupNode(const TcvTreeListNode* Node) const override { return Node && Node == Items(0); }
    bool Inserting = false;
    bool IsInserting() const override { return Inserting; }
};

class TreeListCustomDraw : public TreeListControlTest {
protected:
    void SetUp() override {
        delete Tree;
        Tree = Control = new TGroupingControl(Owner.get());
        Build(1, {{0, 0}, {0, 0}});
        Group = Tree->Add();
        Row = Tree->Add();
    }
    // Each handler logs its name and sets ADone when it is the one named.
    void Attach(const std::string& DoneBy) {
        const auto handler = [this, DoneBy](const std::string& name) {
            return [this, DoneBy, name](TObject*, TCanvas*, const TRect&, TcvTreeListNode*, TcvTreeListColumn*, bool,
                                        bool, bool, std::string&, TColor&, TFont*, TAlignment&, bool& done) {
                Log.push_back(name);
                done = name == DoneBy;
            };
        };
        Tree->OnCustomDrawCellEx = handler("extended");
        Tree->OnCustomDrawCell = handler("control");
        C(0)->OnCustomDrawCell = handler("column");
    }
    std::vector<std::string> DrawCell(TcvTreeListNode* Node, bool NewItemRow) {
        Log.clear();
        std::string text = "t";
        TColor colour = clWindow;
        TAlignment alignment = taLeftJustify;
        bool done = false;
        Tree->DoCustomDrawCell(nullptr, TRect{}, Node, 0, false, false, NewItemRow, text, colour, Tree->Font(),
                               alignment, done);
        return Log;
    }

    TGroupingControl* Control = nullptr;
    TcvTreeListNode* Group = nullptr;
    TcvTreeListNode* Row = nullptr;
    std::vector<std::string> Log;
};

TEST_F(TreeListCustomDraw, CellHandlersRunControlFirstAndStopWhenDone) {
    using Log = std::vector<std::string>;
    struct Case {
        const char* Name;
        std::string DoneBy;
        bool GroupRow;
        bool NewItemRow;
        bool Inserting;
        Log Expected;
    };
    const Case cases[] = {
        {"nobody done: all three", "", false, false, false, {"extended", "control", "column"}},
        {"the extended event done", "extended", false, false, false, {"extended"}},
        {"the control's done keeps the column's out", "control", false, false, false, {"extended", "control"}},
        {"a group row never reaches the column", "", true, false, false, {"extended", "control"}},
        {"the new-item row while not inserting", "", false, true, false, {"extended", "control"}},
        {"the new-item row while inserting", "", false, true, true, {"extended", "control", "column"}},
    };
    for (const Case& c : cases) {
        Attach(c.DoneBy);
        Control->Inserting = c.Inserting;
        EXPECT_EQ(DrawCell(c.GroupRow ? Group : Row, c.NewItemRow), c.Expected) << c.Name;
    }
}

TEST_F(TreeListCustomDraw, TheTestsSayWhetherAnybodyDraws) {
    EXPECT_FALSE(Tree->HasCustomDrawCell(Row, 1));
    EXPECT_FALSE(Tree->HasCustomDrawFooter(nullptr, 0, 0)) << "no footer events: the total footer";
    EXPECT_FALSE(Tree->HasCustomDrawFooter(Row, 0, 0)) << "no footer events: a row footer";
    EXPECT_FALSE(Tree->HasCustomDrawColumnHeader(0));
    EXPECT_FALSE(Tree->HasCustomDrawPreview());
    C(1)->OnCustomDrawCell = [](TObject*, TCanvas*, const TRect&, TcvTreeListNode*, TcvTreeListColumn*, bool, bool,
                                bool, std::string&, TColor&, TFont*, TAlignment&, bool&) {};
    EXPECT_TRUE(Tree->HasCustomDrawCell(Row, 1)) << "the column's handler";
    EXPECT_FALSE(Tree->HasCustomDrawCell(Row, 0));
    Tree->OnCustomDrawFooterNode = [](TObject*, TCanvas*, const TRect&, TcvTreeListNode*, TcvTreeListColumn*, int,
                                      std::string&, TColor&, TFont*, TAlignment&, bool&) {};
    EXPECT_TRUE(Tree->HasCustomDrawFooter(Row, 0, 0));
    EXPECT_FALSE(Tree->HasCustomDrawFooter(nullptr, 0, 0)) << "the total footer has its own event";
}

TEST_F(TreeListCustomDraw, AHeaderHandlerThatIsDoneKeepsTheColumnsOut) {
    std::vector<std::string> log;
    bool controlDone = false;
    Tree->OnCustomDrawColumnHeader = [&](TObject*, TcvTreeListColumn* column, TCanvas*, const TRect&, std::string& text,
                                         TColor&, TFont*, TAlignment&, TcvTreeListColumnSort&, bool& done) {
        log.push_back("control " + column->Name());
        text = "changed";
        done = controlDone;
    };
    C(0)->OnCustomDrawColumnHeader = [&](TObject*, TcvTreeListColumn*, TCanvas*, const TRect&, std::string& text,
                                         TColor&, TFont*, TAlignment&, TcvTreeListColumnSort&,
                                         bool&) { log.push_back("column sees " + text); };
    for (const bool done : {false, true}) {
        log.clear();
        controlDone = done;
        std::string text = "C0";
        TColor colour = clBtnFace;
        TAlignment alignment = taLeftJustify;
        TcvTreeListColumnSort sorted = csNone;
        bool drawn = false;
        Tree->DoCustomDrawColumnHeader(0, nullptr, TRect{}, text, colour, Tree->Font(), alignment, sorted, drawn);
        const std::vector<std::string> expected = done ? std::vector<std::string>{"control C0"}
                                                       : std::vector<std::string>{"control C0", "column sees changed"};
        EXPECT_EQ(log, expected);
    }
}

} // namespace
