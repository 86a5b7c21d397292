// Window scroll bars and the non-client area: the range rules, hiding when the
// page covers the range with WM_SIZE before the setter returns, hit testing,
// and the bar's own mouse loop.
#include "WmRecorder.h"

#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/NonClient.h"
#include "platform/ui/ScrollBar.h"
#include "platform/ui/SystemMetrics.h"

namespace {

using platform_ui::test::PostQtMouse;
using platform_ui::test::SendQtMouse;
using platform_ui::test::TMouseEventKind;

class WmScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override { ProcessMessages(); }
    void TearDown() override { ProcessMessages(); }
    WmRecorder Recorder;
};

struct RangeCase {
    const char* Name;
    int Min, Max, Page, Pos;
    UINT ExtraMask;
    bool Shown;
    int ExpectedPos, ExpectedPage;
};

TEST_F(WmScrollBarTest, SetScrollInfoKeepsTheClassicRules) {
    const RangeCase cases[] = {
        {"position clamped to max - page + 1", 0, 99, 10, 95, 0, true, 90, 10},
        {"page covering the range hides the bar", 0, 99, 100, 5, 0, false, 0, 100},
        {"page larger than the range is cut", 0, 99, 150, 0, 0, false, 0, 100},
        {"no page: position up to max", 0, 99, 0, 120, 0, true, 99, 0},
        {"empty range hides", 5, 5, 0, 5, 0, false, 5, 0},
        {"inverted range counts as empty", 10, 0, 0, 3, 0, false, 0, 0},
        {"disable instead of hide", 0, 99, 100, 0, SIF_DISABLENOSCROLL, true, 0, 100},
        {"position below min", 20, 80, 10, -5, 0, true, 20, 10},
        {"one position of slack", 0, 10, 10, 7, 0, true, 1, 10},
    };
    for (const RangeCase& c : cases) {
        HWND w = Recorder.Create(WS_POPUP, Bounds(0, 0, 100, 80));
        TScrollInfo info;
        info.fMask = SIF_ALL | c.ExtraMask;
        info.nMin = c.Min;
        info.nMax = c.Max;
        info.nPage = static_cast<UINT>(c.Page);
        info.nPos = c.Pos;
        EXPECT_EQ(SetScrollInfo(w, SB_VERT, info, true), c.ExpectedPos) << c.Name;
        TScrollInfo read;
        read.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(w, SB_VERT, read));
        EXPECT_EQ(read.nPos, c.ExpectedPos) << c.Name;
        EXPECT_EQ(static_cast<int>(read.nPage), c.ExpectedPage) << c.Name;
        EXPECT_EQ(read.nTrackPos, c.ExpectedPos) << c.Name << ": not tracking";
        EXPECT_EQ((GetWindowLong(w, GWL_STYLE) & WS_VSCROLL) != 0, c.Shown) << c.Name;
        DestroyWindow(w);
    }
}

TEST_F(WmScrollBarTest, ABarThatAppearsOrHidesResizesTheClientBeforeReturning) {
    HWND parent = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 300, 300));
    HWND w = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(0, 0, 100, 80), parent);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    Recorder.Clear();
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMax = 99;
    info.nPage = 50;
    SetScrollInfo(w, SB_VERT, info, true);
    Recorder.Expect({{WM_NCCALCSIZE, WmHow::Sent, 1, std::nullopt, w},
                     {WM_SIZE, WmHow::Sent, SIZE_RESTORED, WmPoint(100 - bar, 80), w}},
                    "the bar appears");
    TRect client;
    GetClientRect(w, client);
    EXPECT_EQ(client.Width(), 100 - bar);

    Recorder.Clear();
    info.fMask = SIF_POS;
    info.nPos = 30;
    SetScrollInfo(w, SB_VERT, info, true);
    EXPECT_TRUE(Recorder.Of(WM_SIZE).empty()) << "a position alone changes no size";

    Recorder.Clear();
    info.fMask = SIF_PAGE;
    info.nPage = 100;
    EXPECT_EQ(SetScrollInfo(w, SB_VERT, info, true), 0) << "the position follows the shrunken range";
    Recorder.Expect(
        {{WM_NCCALCSIZE, WmHow::Sent, 1, std::nullopt, w}, {WM_SIZE, WmHow::Sent, SIZE_RESTORED, WmPoint(100, 80), w}},
        "the page covers the range: the bar goes");
    EXPECT_FALSE(GetWindowLong(w, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(WmScrollBarTest, BordersAndBarsShapeTheClientArea) {
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    struct Case {
        const char* Name;
        DWORD Style, ExStyle;
        int Width, Height;
    } cases[] = {
        {"plain", 0, 0, 100, 80},
        {"border", WS_BORDER, 0, 98, 78},
        {"client edge", 0, WS_EX_CLIENTEDGE, 96, 76},
        {"border and client edge", WS_BORDER, WS_EX_CLIENTEDGE, 94, 74},
        {"static edge", 0, WS_EX_STATICEDGE, 98, 78},
        {"both bars", WS_VSCROLL | WS_HSCROLL, 0, 100 - bar, 80 - bar},
    };
    HWND parent = Recorder.Create(WS_POPUP, Bounds(0, 0, 300, 300));
    for (const Case& c : cases) {
        HWND w = Recorder.Create(WS_CHILD | c.Style, Bounds(0, 0, 100, 80), parent, c.ExStyle);
        TRect client;
        GetClientRect(w, client);
        EXPECT_EQ(client.Width(), c.Width) << c.Name;
        EXPECT_EQ(client.Height(), c.Height) << c.Name;
        TRect adjusted = client;
        if (!(c.Style & (WS_VSCROLL | WS_HSCROLL))) {
            AdjustWindowRectEx(adjusted, c.Style, false, c.ExStyle);
            EXPECT_EQ(adjusted.Width(), 100) << c.Name;
        }
        DestroyWindow(w);
    }
}

struct HitCase {
    int X, Y; // window coordinates
    int Expected;
};

// Hit tests of the window w placed at (200, 100).
void ExpectHits(HWND w, std::initializer_list<HitCase> Cases) {
    for (const HitCase& c : Cases)
        EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, WmPoint(200 + c.X, 100 + c.Y)), c.Expected) << c.X << "," << c.Y;
}

TEST_F(WmScrollBarTest, HitTestNamesEveryPart) {
    HWND w = Recorder.Create(WS_POPUP | WS_BORDER | WS_VSCROLL | WS_HSCROLL, Bounds(200, 100, 100, 80));
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    ExpectHits(w, {
                      {0, 0, HTBORDER},
                      {50, 40, HTCLIENT},
                      {99 - bar / 2, 20, HTVSCROLL},
                      {20, 79 - bar / 2, HTHSCROLL},
                      {98 - 2, 78 - 2, HTNOWHERE},
                      {150, 40, HTNOWHERE},
                  });
}

TEST_F(WmScrollBarTest, BarsStayAgainstAClientThatAFrameInsideTheBorderShrinks) {
    // A popup's own 4-pixel frame inside its border, added after the default.
    Recorder.Handler = [](HWND w, TMessage& m) {
        if (m.Msg != WM_NCCALCSIZE) return false;
        DefWindowProc(w, m);
        InflateRect(reinterpret_cast<TNCCalcSizeParams*>(m.LParam)->rgrc[0], -4, -4);
        return true;
    };
    HWND w = Recorder.Create(WS_POPUP | WS_BORDER | WS_VSCROLL | WS_HSCROLL, Bounds(200, 100, 100, 80));
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    ExpectHits(w, {
                      {50, 40, HTCLIENT},
                      {95 - bar, 20, HTVSCROLL},
                      {20, 75 - bar, HTHSCROLL},
                      {96, 20, HTNOWHERE},
                      {20, 76, HTNOWHERE},
                  });
}

TEST_F(WmScrollBarTest, AWindowRegionShapesTheHitTest) {
    HWND w = Recorder.Create(WS_POPUP, Bounds(100, 100, 40, 40));
    HRGN ellipse = CreateEllipticRgn(0, 0, 40, 40);
    EXPECT_EQ(SetWindowRgn(w, ellipse, false), 1);
    EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, WmPoint(120, 120)), HTCLIENT);
    EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, WmPoint(101, 101)), HTNOWHERE) << "outside the ellipse";
    SetWindowRgn(w, nullptr, false);
    EXPECT_EQ(SendMessage(w, WM_NCHITTEST, 0, WmPoint(101, 101)), HTCLIENT);
}

class WmScrollBarMouseTest : public WmScrollBarTest {
protected:
    HWND CreateScrolled() {
        HWND w = Recorder.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 80));
        TScrollInfo info;
        info.fMask = SIF_ALL;
        info.nMax = 99;
        info.nPage = 10;
        SetScrollInfo(w, SB_VERT, info, true);
        ProcessMessages();
        Recorder.Clear();
        return w;
    }
};

TEST_F(WmScrollBarMouseTest, ClickOnAnArrowScrollsALineAndEnds) {
    HWND w = CreateScrolled();
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const TPoint downArrow{100 - bar / 2, 80 - bar / 2};
    // The release waits in Qt's queue until the bar's own loop pumps it.
    PostQtMouse(w, TMouseEventKind::Release, downArrow, MK_LBUTTON, 0);
    SendQtMouse(w, TMouseEventKind::Press, downArrow, MK_LBUTTON, MK_LBUTTON);
    Recorder.Expect({{WM_NCLBUTTONDOWN, WmHow::Posted, static_cast<WPARAM>(HTVSCROLL), std::nullopt, w},
                     {WM_VSCROLL, WmHow::Sent, static_cast<WPARAM>(SB_LINEDOWN), 0, w},
                     {WM_VSCROLL, WmHow::Sent, static_cast<WPARAM>(SB_ENDSCROLL), 0, w}},
                    "a line, then the end");
    EXPECT_TRUE(Recorder.Of(WM_LBUTTONUP).empty()) << "the bar's loop keeps the button messages";
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WmScrollBarMouseTest, DraggingTheThumbTracksThenSetsThePosition) {
    HWND w = CreateScrolled();
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const int x = 100 - bar / 2;
    const int thumbY = bar + 3; // just below the up arrow, on the thumb at position 0
    int trackSeenAtPosition = -1;
    int posSeenAtPosition = -1;
    Recorder.Handler = [&](HWND h, TMessage& m) {
        if (m.Msg == WM_VSCROLL && LoWord(m.WParam) == SB_THUMBPOSITION) {
            TScrollInfo info;
            info.fMask = SIF_ALL;
            GetScrollInfo(h, SB_VERT, info);
            trackSeenAtPosition = info.nTrackPos;
            posSeenAtPosition = info.nPos;
        }
        return false;
    };
    PostQtMouse(w, TMouseEventKind::Move, {x, thumbY + 20}, 0, MK_LBUTTON);
    PostQtMouse(w, TMouseEventKind::Release, {x, thumbY + 20}, MK_LBUTTON, 0);
    SendQtMouse(w, TMouseEventKind::Press, {x, thumbY}, MK_LBUTTON, MK_LBUTTON);
    const auto scrolls = Recorder.Of(WM_VSCROLL);
    ASSERT_EQ(scrolls.size(), 3u);
    EXPECT_EQ(LoWord(scrolls[0].WParam), SB_THUMBTRACK);
    EXPECT_EQ(LoWord(scrolls[1].WParam), SB_THUMBPOSITION);
    EXPECT_EQ(LoWord(scrolls[2].WParam), SB_ENDSCROLL);
    const int dragged = HiWord(scrolls[0].WParam);
    EXPECT_GT(dragged, 0);
    EXPECT_EQ(HiWord(scrolls[1].WParam), dragged);
    EXPECT_EQ(trackSeenAtPosition, dragged) << "the track position is readable while the position is set";
    EXPECT_EQ(posSeenAtPosition, 0) << "the position moves only when the window sets it";
    TScrollInfo after;
    after.fMask = SIF_TRACKPOS;
    GetScrollInfo(w, SB_VERT, after);
    EXPECT_EQ(after.nTrackPos, 0) << "tracking is over";
}

TEST_F(WmScrollBarMouseTest, FlatBarsBehaveAlike) {
    HWND w = Recorder.Create(WS_POPUP, Bounds(0, 0, 100, 80));
    ASSERT_TRUE(InitializeFlatSB(w));
    EXPECT_TRUE(FlatSB_SetScrollProp(w, WSB_PROP_VSTYLE, FSB_FLAT_MODE, true));
    intptr_t style = 0;
    ASSERT_TRUE(FlatSB_GetScrollProp(w, WSB_PROP_VSTYLE, &style));
    EXPECT_EQ(style, FSB_FLAT_MODE);
    TScrollInfo info;
    info.fMask = SIF_ALL;
    info.nMax = 49;
    info.nPage = 10;
    info.nPos = 45;
    EXPECT_EQ(FlatSB_SetScrollInfo(w, SB_VERT, info, true), 40);
    EXPECT_EQ(FlatSB_GetScrollPos(w, SB_VERT), 40);
    EXPECT_TRUE(GetWindowLong(w, GWL_STYLE) & WS_VSCROLL);
}

} // namespace
