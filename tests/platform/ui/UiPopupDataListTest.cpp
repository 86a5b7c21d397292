// The popup data list over a real query: the key selects and highlights its
// record, keys and drags move the selection, the wheel only scrolls, and the
// list never takes the activation or the focus from the form's edit.
#include "UiTestSupport.h"

#include "platform/data/DB.h"
#include "platform/ui/DBCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "tests/support/ScratchQuery.h"

#include <gtest/gtest.h>

#include <memory>

using namespace uitest;
using namespace platform_ui::test;

namespace {

constexpr int Rows = 5;

// Codes "01".."12", the list over them under an edit of a form.
struct ListWorld {
    TScratchFolder Folder;
    std::string File = Folder / "codes.mdb";
    std::unique_ptr<TADOConnection> Connection;
    std::unique_ptr<TADOQuery> Query;
    TDataSource Source{nullptr};
    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    TPopupDataList* List = nullptr;

    ListWorld() {
        RunSql(File, "create table CODES (CODE varchar(4) primary key, NAME varchar(40));"
                     "with recursive n(i) as (select 1 union all select i + 1 from n where i < 12) "
                     "insert into CODES select printf('%02d', i), '名称' || i from n;");
        Connection = Connect(File);
        Query = OpenQuery(Connection.get(), "select * from CODES order by CODE");
        Source.SetDataSet(Query.get());
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(100, 100, 300, 200);
        Edit = new TEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 150, 21);
        List = new TPopupDataList(Form);
        List->SetParent(Edit);
        List->SetListSource(&Source);
        List->SetKeyField("code");
        List->SetListField("NAME");
        List->SetRowCount(Rows);
        Form->Show();
        Edit->SetFocus();
        const TPoint below = Edit->ClientToScreen({0, Edit->Height()});
        List->SetBounds(below.X, below.Y, 150, List->Height());
        List->Show();
        ProcessMessages();
    }
    ~ListWorld() { delete Form; }

    std::string Key() const { return List->KeyValue().IsNull() ? "<null>" : VarToStr(List->KeyValue()); }
    // A point in the middle of a row, in window coordinates (past the border).
    TPoint RowPoint(int Row) const {
        const int border = GetSystemMetrics(SM_CYBORDER);
        return {20, border + Row * List->RowHeight() + List->RowHeight() / 2};
    }
    // The rows drawn highlighted.
    std::vector<int> HighlightedRows() const {
        UpdateWindow(List->Handle());
        const COLORREF highlight = ColorToRGB(clHighlight);
        const uint32_t rgb = (GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight);
        std::vector<int> rows;
        for (int row = 0; row < Rows; ++row) {
            const TPoint p = RowPoint(row);
            const int right = GetSystemMetrics(SM_CXBORDER) + List->ClientWidth() - 4; // short of a scroll bar
            if (BackingPixel(List->Handle(), right, p.Y) == rgb) rows.push_back(row);
        }
        return rows;
    }
    void ExpectFormKeepsTheKeyboard() const {
        EXPECT_EQ(GetActiveWindow(), Form->Handle());
        EXPECT_EQ(GetFocus(), Edit->Handle());
    }
};

TEST(UiPopupDataList, TheKeySelectsAndHighlightsItsRecord) {
    ListWorld w;
    w.List->SetKeyValue("03");
    EXPECT_EQ(w.Query->FieldByName("CODE")->AsString(), "03");
    EXPECT_EQ(w.HighlightedRows(), std::vector<int>{2});
    w.List->SetKeyValue("99");
    EXPECT_EQ(w.HighlightedRows(), std::vector<int>{}) << "a key the list lacks selects nothing";
    EXPECT_EQ(w.Key(), "99");
}

TEST(UiPopupDataList, KeysMoveTheSelection) {
    const struct {
        Word Key;
        const char* Selected;
    } cases[] = {
        {VK_DOWN, "04"},  {VK_UP, "02"},   {VK_NEXT, "07"}, // a page is one row less than shown
        {VK_PRIOR, "01"}, {VK_HOME, "01"}, {VK_END, "12"},
    };
    ListWorld w;
    for (const auto& c : cases) {
        w.List->SetKeyValue("03");
        EXPECT_EQ(w.List->Perform(WM_KEYDOWN, c.Key), 0);
        EXPECT_EQ(w.Key(), c.Selected) << c.Key;
    }
    w.List->Perform(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(w.Key(), "12") << "the last record stays selected";
    w.ExpectFormKeepsTheKeyboard();
}

TEST(UiPopupDataList, ThePressedButtonTracksTheRowUnderThePointer) {
    ListWorld w;
    std::vector<std::string> releasedOn;
    w.List->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { releasedOn.push_back(w.Key()); };
    HWND list = w.List->Handle();
    SendQtMouse(list, TMouseEventKind::Press, w.RowPoint(1), MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
    EXPECT_EQ(w.Key(), "02");
    SendQtMouse(list, TMouseEventKind::Move, w.RowPoint(3), 0, MK_LBUTTON);
    ProcessMessages();
    EXPECT_EQ(w.Key(), "04") << "hot tracking while the button is down";
    SendQtMouse(list, TMouseEventKind::Move, {20, w.List->Height() + 10}, 0, MK_LBUTTON);
    ProcessMessages();
    EXPECT_EQ(w.Key(), "06") << "below the list the rows scroll by one";
    EXPECT_EQ(w.HighlightedRows(), std::vector<int>{Rows - 1});
    SendQtMouse(list, TMouseEventKind::Release, {20, w.List->Height() + 10}, MK_LBUTTON, 0);
    ProcessMessages();
    EXPECT_EQ(releasedOn, std::vector<std::string>{"06"});
    SendQtMouse(list, TMouseEventKind::Move, w.RowPoint(0), 0, 0);
    ProcessMessages();
    EXPECT_EQ(w.Key(), "06") << "no tracking once the button is up";
    w.ExpectFormKeepsTheKeyboard();
}

// The drop-down that owns the list passes it the wheel, as it does the keys.
TEST(UiPopupDataList, TheWheelScrollsWithoutChangingTheSelection) {
    ListWorld w;
    UINT lines = 0;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_EQ(lines, 3u);
    w.List->SetKeyValue("05");
    EXPECT_EQ(w.HighlightedRows(), std::vector<int>{2}) << "a located record shows in the middle";
    const struct {
        int Delta;
        std::vector<int> Highlighted;
        const char* What;
    } turns[] = {
        {WHEEL_DELTA, {4}, "up: the rows scroll down to the first record"},
        {-WHEEL_DELTA, {1}, "down: three rows scroll off the top"},
    };
    for (const auto& t : turns) {
        w.List->Perform(WM_MOUSEWHEEL, static_cast<WPARAM>(MakeLParam(0, static_cast<Word>(t.Delta))),
                        PointToLParam(w.RowPoint(2)));
        EXPECT_EQ(w.Key(), "05") << t.What;
        EXPECT_EQ(w.HighlightedRows(), t.Highlighted) << t.What;
    }
}

TEST(UiPopupDataList, AScrollBarShowsWhichRowsAreInViewAndScrollsThem) {
    ListWorld w;
    HWND list = w.List->Handle();
    w.List->SetKeyValue("01");
    auto position = [&] {
        TScrollInfo info;
        info.fMask = SIF_ALL;
        EXPECT_TRUE(GetScrollInfo(list, SB_VERT, info));
        EXPECT_EQ(info.nMin, 0);
        EXPECT_EQ(info.nMax, 11) << "twelve records";
        EXPECT_EQ(info.nPage, UINT(Rows));
        return info.nPos;
    };
    EXPECT_EQ(position(), 0);
    EXPECT_EQ(w.List->ClientWidth(),
              w.List->Width() - 2 * GetSystemMetrics(SM_CXBORDER) - GetSystemMetrics(SM_CXVSCROLL));
    // A click on the down arrow scrolls a row; the selection stays.
    const int bar = GetSystemMetrics(SM_CXVSCROLL), border = GetSystemMetrics(SM_CXBORDER);
    const TPoint downArrow{w.List->Width() - border - bar / 2, w.List->Height() - border - bar / 2};
    PostQtMouse(list, TMouseEventKind::Release, downArrow, MK_LBUTTON, 0);
    SendQtMouse(list, TMouseEventKind::Press, downArrow, MK_LBUTTON, MK_LBUTTON);
    ProcessMessages();
    EXPECT_EQ(position(), 1);
    EXPECT_EQ(w.Key(), "01");
    EXPECT_EQ(w.HighlightedRows(), std::vector<int>{}) << "the selected record scrolled off the top";
    // Pages and the thumb go where the bar says.
    for (const auto& [code, at] :
         {std::pair{SB_PAGEDOWN, 6}, std::pair{SB_BOTTOM, 7}, std::pair{SB_PAGEUP, 2}, std::pair{SB_TOP, 0}}) {
        w.List->Perform(WM_VSCROLL, static_cast<WPARAM>(code));
        EXPECT_EQ(position(), at) << code;
    }
    w.List->Perform(WM_VSCROLL, MakeLParam(SB_THUMBTRACK, 4));
    EXPECT_EQ(position(), 4);
    EXPECT_EQ(w.HighlightedRows(), std::vector<int>{}) << "04 is not the selected record";
    EXPECT_EQ(w.Key(), "01");
    w.ExpectFormKeepsTheKeyboard();
    // With every record in view the bar goes.
    w.List->SetRowCount(12);
    ProcessMessages();
    EXPECT_EQ(w.List->ClientWidth(), w.List->Width() - 2 * GetSystemMetrics(SM_CXBORDER));
}

// A list that draws a frame of its own, as the editors' lists do.
class TFramedList : public TPopupDataList {
public:
    using TPopupDataList::TPopupDataList;

protected:
    int GetBorderSize() override { return 8; }
};

TEST(UiPopupDataList, RowCountStaysWithinItsRangeAndGivesTheHeight) {
    ListWorld w;
    TFramedList framed(nullptr);
    const struct {
        TPopupDataList* List;
        int Border;
    } lists[] = {{w.List, 2 * GetSystemMetrics(SM_CYBORDER)}, {&framed, 8}};
    for (const auto& l : lists)
        for (auto [asked, kept] : {std::pair{0, 1}, std::pair{7, 7}, std::pair{101, 100}}) {
            l.List->SetRowCount(asked);
            EXPECT_EQ(l.List->RowCount(), kept);
            EXPECT_EQ(l.List->Height(), kept * l.List->RowHeight() + l.Border) << l.Border;
        }
}

} // namespace
