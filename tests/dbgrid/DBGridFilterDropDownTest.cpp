// The header filter drop-down on a shown grid, driven by real clicks on a
// column's filter button and real keys: its items, the choice applied by
// Enter or a click and dropped by Esc or a release outside, the selected
// item following the column's condition, and the grid keeping the focus.
#include "dbgrid/DBGrid.h"
#include "dbgrid/FilterPopupListBox.h"
#include "tests/dbgrid/ShownGrid.h"
#include "tests/platform/ui/UiTestSupport.h"

#include "platform/ui/Focus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/testhooks/WmTestHooks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using gridtest::TShownGrid;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

// Seven rows: City is Paris, Rome, blank, Paris, Rome, blank, Paris; Mixed
// spells Paris in two cases; Vacant is blank throughout.
const char* const CitySql = "select ID, Name, Qty,"
                            " case ID % 3 when 1 then 'Paris' when 2 then 'Rome' else null end as City,"
                            " case ID % 3 when 1 then 'paris' when 2 then 'PARIS' else 'Rome' end as "
                            "Mixed,"
                            " cast(null as varchar(10)) as Vacant"
                            " from T order by ID";

// A window point of Control from one of its client points.
TPoint WindowPoint(TWinControl* Control, TPoint Client) {
    TRect window;
    GetWindowRect(Control->Handle(), window);
    const TPoint screen = Control->ClientToScreen(Client);
    return {screen.X - window.Left, screen.Y - window.Top};
}

void ClickAt(TWinControl* Control, TPoint Client) {
    const TPoint at = WindowPoint(Control, Client);
    SendQtMouse(Control->Handle(), TMouseEventKind::Move, at, 0, 0);
    // The pointer's move is queued: the press must find the button hot.
    ProcessMessages();
    SendQtMouse(Control->Handle(), TMouseEventKind::Press, at, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(Control->Handle(), TMouseEventKind::Release, at, MK_LBUTTON, 0);
    ProcessMessages();
}

class FilterGrid : public TShownGrid {
public:
    explicit FilterGrid(bool InMemory = true, const std::function<void(TcvDBGrid&)>& Prepare = {})
        : TShownGrid(7, 200, {}, [&](TcvDBGrid& grid) {
              grid.SetKeyField("ID");
              if (InMemory) grid.SetOptionsDB(grid.OptionsDB() + edgoLoadAllRecords);
              grid.Filter()->SetActive(true);
              grid.Filter()->SetFilterStatus(fsAlways);
              for (const char* name : {"City", "Mixed", "Qty", "Vacant"}) {
                  TcvDBTreeListColumn* column = grid.CreateColumn(grid.GetDefaultColumnClass());
                  column->SetBandIndex(0);
                  column->SetFieldName(name);
                  column->SetWidth(90);
              }
              if (Prepare) Prepare(grid);
          }) {
        Data.Query->Close();
        Data.Query->SQL()->SetText(CitySql);
        Data.Query->Open();
        Grid->SetFocus();
        ProcessMessages();
    }

    // Presses and releases the filter button of the column's header.
    TcvDBGridFilterPopupListBox* OpenDropDown(int Column) {
        const TcvTreeListDrawInfo info = Grid->CalcDrawInfo();
        for (const TcvTreeListHeaderCellInfo& cell : info.HeaderCells)
            if (cell.Column == Column)
                ClickAt(Grid, {cell.Bounds.Right - 7, (cell.Bounds.Top + cell.Bounds.Bottom) / 2});
        return Grid->FilterPopup();
    }

    bool ListShown() const {
        TcvDBGridFilterPopupListBox* list = Grid->FilterPopup();
        return list && list->HandleAllocated() && IsWindowVisible(list->Handle());
    }

    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        TStrings* strings = Grid->FilterPopup()->Items();
        for (int i = 0; i < strings->Count(); ++i)
            items.push_back(strings->Get(i));
        return items;
    }

    // The cities of the rows shown.
    std::vector<std::string> Cities() const {
        std::vector<std::string> cities;
        for (int i = 0; i < Grid->Count(); ++i)
            cities.push_back(Grid->GetNodeString(Grid->Items(i), 0));
        return cities;
    }

    void Key(Word Key, const std::string& Text = "") { uitest::Type(Grid, Key, Text); }
};

using Items = std::vector<std::string>;

TEST(DBGridFilterDropDownTest, TheListShowsTheFixedItemsThenTheColumnsValuesOnce) {
    const struct {
        const char* Name;
        int Column;
        bool CaseInsensitive;
        int MaxDropDownCount;
        Items Expected;
    } cases[] = {
        {"blanks", 0, false, 1000, {"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "Paris", "Rome"}},
        {"cases kept", 1, false, 1000, {"(All)", "(Custom...)", "PARIS", "Rome", "paris"}},
        {"cases collapsed", 1, true, 1000, {"(All)", "(Custom...)", "PARIS", "ROME"}},
        {"three met first", 2, false, 3, {"(All)", "(Custom...)", "10", "20", "30"}},
        {"all blank", 3, false, 1000, {"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)"}},
    };
    for (const auto& c : cases) {
        FilterGrid grid(true, [&](TcvDBGrid& g) {
            g.Filter()->SetCaseInsensitive(c.CaseInsensitive);
            g.Filter()->SetMaxDropDownCount(c.MaxDropDownCount);
        });
        grid.OpenDropDown(c.Column);
        ASSERT_TRUE(grid.ListShown()) << c.Name;
        EXPECT_EQ(grid.Items(), c.Expected) << c.Name;
        EXPECT_EQ(grid.Grid->FilterPopup()->ItemIndex(), 0) << c.Name << ": no condition selects (All)";
        // Shown without activation: the grid keeps the focus.
        EXPECT_EQ(GetFocus(), grid.Grid->Handle()) << c.Name;
        EXPECT_EQ(GetActiveWindow(), grid.Form->Handle()) << c.Name;
        grid.Key(VK_ESCAPE);
    }
}

TEST(DBGridFilterDropDownTest, TheListOpensUnderTheHeaderSizedByDropDownCount) {
    FilterGrid grid(true, [](TcvDBGrid& g) {
        g.Filter()->SetDropDownCount(3);
        g.Columns(0)->SetWidth(30); // narrower than "(Custom...)"
    });
    TcvDBGridFilterPopupListBox* list = grid.OpenDropDown(0);
    ASSERT_TRUE(grid.ListShown());
    EXPECT_EQ(list->ClientHeight(), 3 * list->MeasuredItemHeight());
    EXPECT_TRUE(GetWindowLong(list->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_GE(list->ClientWidth(), list->WidestItemWidth() + 4) << "the widest item fits beside the bar";
    const TcvTreeListDrawInfo info = grid.Grid->CalcDrawInfo();
    const TRect header = info.HeaderCells[0].Bounds;
    TRect shown;
    GetWindowRect(list->Handle(), shown);
    EXPECT_EQ(TPoint(shown.Left, shown.Top), grid.Grid->ClientToScreen({header.Left, header.Bottom}));
}

TEST(DBGridFilterDropDownTest, EnterAppliesTheSelectedValueAndEscDoesNot) {
    FilterGrid grid;
    int chars = 0;
    const TWndMethod inherited = grid.Grid->WindowProc;
    grid.Grid->WindowProc = [&chars, inherited](TMessage& Message) {
        if (Message.Msg == WM_CHAR) ++chars;
        inherited(Message);
    };
    grid.OpenDropDown(0);
    // The keys reach the list while the grid keeps the focus: the list types ahead.
    uitest::TypeText(grid.Grid, "R");
    EXPECT_EQ(grid.Grid->FilterPopup()->ItemIndex(), 5);
    grid.Key(VK_UP);
    EXPECT_EQ(grid.Grid->FilterPopup()->ItemIndex(), 4);
    grid.Key(VK_RETURN, "\r");
    EXPECT_FALSE(grid.ListShown());
    EXPECT_EQ(grid.Cities(), (Items{"Paris", "Paris", "Paris"}));
    EXPECT_EQ(GetFocus(), grid.Grid->Handle());

    // The list selects the column's value when it opens again.
    grid.OpenDropDown(0);
    EXPECT_EQ(grid.Grid->FilterPopup()->ItemIndex(), 4);
    for (const Word cancel : {VK_ESCAPE, VK_F4}) {
        if (!grid.ListShown()) grid.OpenDropDown(0);
        grid.Key(VK_DOWN);
        grid.Key(cancel, cancel == VK_ESCAPE ? "\x1b" : "");
        EXPECT_FALSE(grid.ListShown()) << cancel;
        EXPECT_EQ(grid.Cities(), (Items{"Paris", "Paris", "Paris"})) << cancel;
    }

    grid.OpenDropDown(0);
    grid.Key(VK_HOME);
    grid.Key(VK_RETURN, "\r");
    EXPECT_EQ(grid.Grid->Count(), 7) << "(All) clears the column's condition";
    EXPECT_EQ(chars, 1) << "only the typed R: Enter's and Esc's characters are dropped";
}

TEST(DBGridFilterDropDownTest, AClickAppliesInsideTheListAndAReleaseOutsideCancels) {
    FilterGrid grid;
    TcvDBGridFilterPopupListBox* list = grid.OpenDropDown(0);
    const int row = list->MeasuredItemHeight();
    // "(Blanks)": the blanks filter is no plain "=" condition, so the list
    // shows it as custom afterwards.
    ClickAt(list, {10, 2 * row + row / 2});
    EXPECT_FALSE(grid.ListShown());
    EXPECT_EQ(grid.Cities(), (Items{"", ""}));
    grid.OpenDropDown(0);
    EXPECT_EQ(list->ItemIndex(), TcvDBGridFilterPopupListBox::CustomItem);

    // Pressed on "Rome", released beside the list.
    const TPoint inside = WindowPoint(list, {10, 5 * row + row / 2});
    const TPoint outside = WindowPoint(list, {list->ClientWidth() + 30, 5 * row + row / 2});
    SendQtMouse(list->Handle(), TMouseEventKind::Press, inside, MK_LBUTTON, MK_LBUTTON);
    SendQtMouse(list->Handle(), TMouseEventKind::Move, outside, 0, MK_LBUTTON);
    SendQtMouse(list->Handle(), TMouseEventKind::Release, outside, MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_FALSE(grid.ListShown());
    EXPECT_EQ(grid.Cities(), (Items{"", ""}));
    EXPECT_EQ(GetCapture(), nullptr);

    // A click on the grid's rows only closes the list. The list covers the
    // first column's rows: the click lands on the third column's.
    grid.OpenDropDown(0);
    TcvTreeListNode* focused = grid.Grid->FocusedNode();
    const TcvTreeListDrawInfo info = grid.Grid->CalcDrawInfo();
    const TPoint onRows{info.HeaderCells[2].Bounds.Left + 10, info.Rows[1].Top + 3};
    TRect shown;
    GetWindowRect(list->Handle(), shown);
    ASSERT_FALSE(PtInRect(shown, grid.Grid->ClientToScreen(onRows)));
    ClickAt(grid.Grid, onRows);
    EXPECT_FALSE(grid.ListShown());
    EXPECT_EQ(grid.Grid->FocusedNode(), focused);
    EXPECT_EQ(grid.Cities(), (Items{"", ""}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(DBGridFilterDropDownTest, FocusLeavingTheGridClosesTheListUnapplied) {
    FilterGrid grid;
    auto* edit = new TEdit(grid.Form.get());
    edit->SetParent(grid.Form.get());
    edit->SetBounds(410, 10, 60, 20);
    grid.OpenDropDown(0);
    grid.Key(VK_DOWN);
    edit->SetFocus();
    ProcessMessages();
    EXPECT_FALSE(grid.ListShown());
    EXPECT_FALSE(grid.Grid->IsFilterDropDownOpen());
    EXPECT_EQ(grid.Grid->Count(), 7);
}

TEST(DBGridFilterDropDownTest, AGridFreedWithItsListOpenLeavesNothingThatHoldsTheNextGrid) {
    const struct {
        const char* Name;
        std::function<void(FilterGrid&)> Free;
    } cases[] = {
        {"the grid", [](FilterGrid& g) { delete g.Grid; }},
        {"its form", [](FilterGrid& g) { g.Form.reset(); }},
    };
    for (const auto& c : cases) {
        {
            FilterGrid freed;
            const HWND list = freed.OpenDropDown(0)->Handle();
            ASSERT_TRUE(freed.ListShown()) << c.Name;
            c.Free(freed);
            EXPECT_FALSE(IsWindow(list)) << c.Name;
            EXPECT_EQ(GetCapture(), nullptr) << c.Name;
        }
        FilterGrid grid;
        grid.OpenDropDown(0);
        ASSERT_TRUE(grid.ListShown()) << c.Name;
        grid.Key(VK_DOWN);
        grid.Key(VK_DOWN);
        grid.Key(VK_RETURN, "\r");
        EXPECT_FALSE(grid.ListShown()) << c.Name;
        EXPECT_EQ(grid.Cities(), (Items{"", ""})) << c.Name;
    }
}

TEST(DBGridFilterDropDownTest, TheFilterPanelsCloseButtonClearsTheFilterWhenReleasedOnIt) {
    enum TStep { Over, Press, Beside, Release, ReleaseBeside };
    const struct {
        const char* Name;
        std::vector<TStep> Steps;
        int RowsAfter;
    } cases[] = {
        {"a click", {Over, Press, Release}, 7},
        {"released beside it", {Over, Press, Beside, ReleaseBeside}, 3},
        {"dragged off and back", {Over, Press, Beside, Over, Release}, 7},
        {"only passed over", {Over, Beside}, 3},
    };
    for (const auto& c : cases) {
        FilterGrid grid;
        auto* city = dynamic_cast<TcvDBTreeListColumn*>(grid.Grid->Columns(0));
        grid.Grid->Filter()->SetValueFilter(city, "Paris", "Paris");
        UpdateWindow(grid.Grid->Handle());
        ASSERT_EQ(grid.Grid->Count(), 3) << c.Name;
        const TRect panel = grid.Grid->CalcRectInfo().FilterBar;
        const TPoint button{panel.Left + 9, panel.Top + panel.Height() / 2};
        const TPoint beside{panel.Left + 60, button.Y};
        // The button's face, beside the cross.
        const auto face = [&] {
            HDC dc = GetDC(grid.Grid->Handle());
            const COLORREF colour = GetPixel(dc, button.X - 5, button.Y - 4);
            ReleaseDC(grid.Grid->Handle(), dc);
            return colour;
        };
        EXPECT_EQ(face(), GetSysColor(COLOR_BTNFACE)) << c.Name;
        bool pressed = false;
        for (const TStep step : c.Steps) {
            const TPoint at = WindowPoint(grid.Grid, step == Beside || step == ReleaseBeside ? beside : button);
            const Word keys = pressed ? MK_LBUTTON : 0;
            if (step == Press)
                SendQtMouse(grid.Grid->Handle(), TMouseEventKind::Press, at, MK_LBUTTON, MK_LBUTTON);
            else if (step == Release || step == ReleaseBeside)
                SendQtMouse(grid.Grid->Handle(), TMouseEventKind::Release, at, MK_LBUTTON, 0);
            else
                SendQtMouse(grid.Grid->Handle(), TMouseEventKind::Move, at, 0, keys);
            ProcessMessages();
            pressed = step == Press || (pressed && step != Release && step != ReleaseBeside);
            if (grid.Grid->Count() != 3) break;
            // Hot over it, down while pressed over it, plain beside it.
            const int colour = step == Beside || step == ReleaseBeside ? COLOR_BTNFACE
                               : pressed                             ? COLOR_WINDOWFRAME
                                                                     : COLOR_WINDOW;
            EXPECT_EQ(face(), GetSysColor(colour)) << c.Name << ", step " << int(step);
        }
        EXPECT_EQ(grid.Grid->Count(), c.RowsAfter) << c.Name;
        EXPECT_EQ(grid.Grid->Filter()->Criteria()->Root()->Count() == 0, c.RowsAfter == 7) << c.Name;
        EXPECT_EQ(GetCapture(), nullptr) << c.Name;
    }
}

TEST(DBGridFilterDropDownTest, OutsideTheInMemoryModeTheApplicationListsTheValues) {
    // Mixed kinds and blanks, some twice: each value once, blanks only marked.
    const std::vector<Variant> supplied = {"Rome", 5, Null(), "5", 5.0, Variant(), "", true, "Rome", 2.5, "x"};
    size_t calls = 0;
    FilterGrid grid(false, [&](TcvDBGrid& g) {
        g.OnEnumFilterValues = [&](TObject*, TcvDBTreeListColumn*, bool& More, std::string& DisplayText,
                                   Variant& Value) {
            EXPECT_TRUE(More);
            EXPECT_TRUE(DisplayText.empty());
            EXPECT_TRUE(Value.IsEmpty());
            Value = supplied[calls];
            DisplayText = Value.IsNull() ? "" : Value.AsString();
            More = ++calls < supplied.size();
        };
    });
    grid.OpenDropDown(0);
    EXPECT_EQ(calls, supplied.size());
    EXPECT_EQ(grid.Items(),
              (Items{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "True", "2.5", "5", "5", "Rome", "x"}));
}

} // namespace
