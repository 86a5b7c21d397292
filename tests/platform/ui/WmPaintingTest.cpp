// Painting into backing images: only the invalid region is painted, XOR
// drawing undoes itself exactly, ScrollWindowEx plus a partial repaint equals a
// full repaint, erasing and the frame; a window holds its image only from its
// first drawing until it hides.
#include "WmRecorder.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Painting.h"

#include <algorithm>

namespace {

using platform_ui::test::BackingImageBytes;
using platform_ui::test::BackingPixel;
using platform_ui::test::BackingPixels;
using platform_ui::test::FillBacking;

constexpr uint32_t Red = 0xFF0000; // as the backing image holds it (0xRRGGBB)
constexpr uint32_t Blue = 0x0000FF;
constexpr COLORREF RedRef = 0x0000FF; // as GDI takes it (0xBBGGRR)

class WmPaintingTest : public ::testing::Test {
protected:
    void SetUp() override { ProcessMessages(); }
    void TearDown() override { ProcessMessages(); }

    // A visible top-level window whose WM_PAINT fills its whole client area,
    // so that whatever changes is what the paint DC was allowed to touch.
    HWND CreateFiller(DWORD exStyle = 0) {
        HWND w = Recorder.Create(WS_VISIBLE | WS_POPUP, Bounds(0, 0, 60, 40), nullptr, exStyle);
        Recorder.Handler = [this](HWND h, TMessage& m) {
            if (m.Msg != WM_PAINT) return false;
            TPaintStruct ps;
            HDC dc = BeginPaint(h, ps);
            Painted.push_back(ps.rcPaint);
            TRect client;
            GetClientRect(h, client);
            HBRUSH brush = CreateSolidBrush(RedRef);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            EndPaint(h, ps);
            return true;
        };
        UpdateWindow(w);
        Painted.clear();
        return w;
    }

    WmRecorder Recorder;
    std::vector<TRect> Painted;
};

TEST_F(WmPaintingTest, PaintTouchesOnlyTheInvalidRegion) {
    HWND w = CreateFiller();
    FillBacking(w, Rect(0, 0, 60, 40), Blue);
    const TRect first = Rect(10, 10, 20, 15);
    const TRect second = Rect(40, 30, 45, 38);
    InvalidateRect(w, &first, false);
    InvalidateRect(w, &second, false);
    UpdateWindow(w);
    ASSERT_EQ(Painted.size(), 1u) << "both rectangles in one paint";
    EXPECT_EQ(Painted[0], Rect(10, 10, 45, 38)) << "rcPaint bounds the region";
    struct Probe {
        int X, Y;
        uint32_t Colour;
    } probes[] = {{10, 10, Red}, {19, 14, Red},  {40, 30, Red},  {44, 37, Red},  {20, 10, Blue},
                  {9, 10, Blue}, {10, 15, Blue}, {30, 20, Blue}, {39, 30, Blue}, {45, 37, Blue}};
    for (const Probe& p : probes)
        EXPECT_EQ(BackingPixel(w, p.X, p.Y), p.Colour) << p.X << "," << p.Y;
    TRect update;
    EXPECT_FALSE(GetUpdateRect(w, &update, false)) << "painting validated it";
}

TEST_F(WmPaintingTest, ValidatedAndHiddenWindowsAreNotPainted) {
    HWND w = CreateFiller();
    InvalidateRect(w, nullptr, false);
    ValidateRect(w, nullptr);
    ProcessMessages();
    EXPECT_TRUE(Painted.empty());

    ShowWindow(w, SW_HIDE);
    InvalidateRect(w, nullptr, false);
    ProcessMessages();
    EXPECT_TRUE(Painted.empty()) << "hidden";
    ShowWindow(w, SW_SHOWNA);
    ProcessMessages();
    EXPECT_EQ(Painted.size(), 1u) << "painted once shown";
}

TEST_F(WmPaintingTest, PaintsComeFromTheLoopAndEraseFirstWhenAsked) {
    HWND w = CreateFiller();
    Recorder.Clear();
    InvalidateRect(w, nullptr, true);
    ProcessMessages();
    Recorder.Expect({{WM_PAINT, WmHow::Posted, 0, 0, w}, {WM_ERASEBKGND, WmHow::Sent, std::nullopt, 0, w}},
                    "erase inside BeginPaint");
    Recorder.Clear();
    InvalidateRect(w, nullptr, false);
    UpdateWindow(w);
    Recorder.Expect({{WM_PAINT, WmHow::Sent, 0, 0, w}}, "UpdateWindow sends");
    EXPECT_TRUE(Recorder.Of(WM_ERASEBKGND).empty());
}

TEST_F(WmPaintingTest, AWindowPaintedOnTheScreenNowShowsWithoutTheLoop) {
    HWND w = CreateFiller();
    ShowWindow(w, SW_HIDE);
    ProcessMessages();
    ShowWindow(w, SW_SHOWNA);
    Painted.clear();
    PaintOnScreenNow(w);
    EXPECT_EQ(Painted.size(), 1u) << "painted before any message was handled";
    EXPECT_EQ(platform_ui::test::RenderedPixel(w, 30, 20), Red) << "and shown";
}

TEST_F(WmPaintingTest, ClientPaintSitsInsideTheFrame) {
    HWND w = CreateFiller(WS_EX_CLIENTEDGE);
    FillBacking(w, Rect(0, 0, 60, 40), Blue);
    InvalidateRect(w, nullptr, false);
    UpdateWindow(w);
    EXPECT_EQ(BackingPixel(w, 2, 2), Red) << "client (0,0) is window (2,2)";
    EXPECT_EQ(BackingPixel(w, 57, 37), Red);
    EXPECT_EQ(BackingPixel(w, 1, 1), Blue) << "the frame is not the client's";
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_NE(BackingPixel(w, 0, 0), Blue) << "the sunken edge was drawn";
    EXPECT_NE(BackingPixel(w, 1, 1), Blue);
}

TEST_F(WmPaintingTest, XorFocusRectangleTwiceRestoresEveryPixel) {
    HWND w = CreateFiller();
    FillBacking(w, Rect(0, 0, 30, 40), 0x336699);
    const std::vector<uint32_t> before = BackingPixels(w);
    const TRect r = Rect(5, 5, 50, 30);
    HDC dc = GetDC(w);
    DrawFocusRect(dc, &r);
    ReleaseDC(w, dc);
    EXPECT_NE(BackingPixels(w), before);
    dc = GetDC(w);
    DrawFocusRect(dc, &r);
    ReleaseDC(w, dc);
    EXPECT_EQ(BackingPixels(w), before);
}

TEST_F(WmPaintingTest, XorThroughGetDCWorksBeforeTheFirstPaint) {
    HWND w = Recorder.Create(WS_VISIBLE | WS_POPUP, Bounds(0, 0, 60, 40));
    ASSERT_EQ(BackingImageBytes(w), 0u);
    const std::vector<uint32_t> white(60 * 40, 0xFFFFFF);
    const TRect r = Rect(5, 5, 50, 30);
    HDC dc = GetDC(w);
    DrawFocusRect(dc, &r);
    ReleaseDC(w, dc);
    EXPECT_NE(BackingPixels(w), white) << "the dotted rectangle shows";
    dc = GetDC(w);
    DrawFocusRect(dc, &r);
    ReleaseDC(w, dc);
    EXPECT_EQ(BackingPixels(w), white) << "white until the first paint, and restored exactly";
}

TEST_F(WmPaintingTest, AWindowGetsItsImageWhenItFirstPaints) {
    HWND shown = Recorder.Create(WS_VISIBLE | WS_POPUP, Bounds(0, 0, 60, 40));
    HWND hidden = Recorder.Create(WS_POPUP, Bounds(0, 0, 60, 40));
    HWND insideHidden = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(5, 5, 20, 10), hidden);
    EXPECT_EQ(BackingImageBytes(shown), 0u) << "not when it is created";
    SetWindowPos(hidden, nullptr, 0, 0, 80, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ProcessMessages();
    EXPECT_EQ(BackingImageBytes(shown), 60u * 40u * 4u);
    EXPECT_EQ(BackingImageBytes(hidden), 0u) << "resizing makes none";
    EXPECT_EQ(BackingImageBytes(insideHidden), 0u);
}

TEST_F(WmPaintingTest, HidingGivesImagesBackAndShowingPaintsThemInFull) {
    HWND w = CreateFiller();
    HWND page = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(5, 5, 40, 30), w);
    HWND group = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(5, 5, 20, 10), page);
    ProcessMessages();
    ASSERT_GT(BackingImageBytes(page), 0u);
    ASSERT_GT(BackingImageBytes(group), 0u);

    ShowWindow(page, SW_HIDE);
    EXPECT_EQ(BackingImageBytes(page), 0u);
    EXPECT_EQ(BackingImageBytes(group), 0u) << "a child of a hidden window no longer shows";
    EXPECT_GT(BackingImageBytes(w), 0u) << "the parent still shows";
    Painted.clear();
    ShowWindow(page, SW_SHOWNA);
    ProcessMessages();
    ASSERT_EQ(Painted.size(), 2u);
    EXPECT_EQ(std::count(Painted.begin(), Painted.end(), Rect(0, 0, 40, 30)), 1) << "the page in full";
    EXPECT_EQ(std::count(Painted.begin(), Painted.end(), Rect(0, 0, 20, 10)), 1) << "its child in full";
    EXPECT_EQ(BackingPixels(page), std::vector<uint32_t>(40 * 30, Red));
    EXPECT_EQ(BackingPixels(group), std::vector<uint32_t>(20 * 10, Red));
}

// A window showing a scrolled picture: cells of 3x3 pixels whose colour
// depends on their place in the content; a fixed band of HeaderHeight rows on
// top does not scroll.
struct ScrollCase {
    const char* Name;
    int DX, DY;       // content offset change
    int HeaderHeight; // rows above the scrolled area
};

void PrintTo(const ScrollCase& c, std::ostream* out) {
    *out << c.Name;
}

class WmScrollTest : public ::testing::TestWithParam<ScrollCase> {
protected:
    void SetUp() override { ProcessMessages(); }
    WmRecorder Recorder;
    TPoint Offset{};
    std::vector<TRect> Painted;

    static COLORREF Cell(int cx, int cy) {
        return static_cast<COLORREF>(((cx * 37 + cy * 11) & 0xFF) | (((cx * 13) & 0xFF) << 8) |
                                     (((cy * 29 + 7) & 0xFF) << 16));
    }
    static int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

    void Paint(HWND h, int header) {
        TPaintStruct ps;
        HDC dc = BeginPaint(h, ps);
        Painted.push_back(ps.rcPaint);
        const TRect p = ps.rcPaint;
        HBRUSH headerBrush = CreateSolidBrush(0x00C0C0C0);
        TRect band = Rect(p.Left, p.Top, p.Right, std::min(p.Bottom, header));
        if (!IsRectEmpty(band)) FillRect(dc, &band, headerBrush);
        DeleteObject(headerBrush);
        const int top = std::max(p.Top, header);
        for (int cy = FloorDiv(top - header + Offset.Y, 3); cy * 3 - Offset.Y + header < p.Bottom; ++cy)
            for (int cx = FloorDiv(p.Left + Offset.X, 3); cx * 3 - Offset.X < p.Right; ++cx) {
                TRect cell = Bounds(cx * 3 - Offset.X, cy * 3 - Offset.Y + header, 3, 3);
                if (cell.Top < header) cell.Top = header;
                HBRUSH brush = CreateSolidBrush(Cell(cx, cy));
                FillRect(dc, &cell, brush);
                DeleteObject(brush);
            }
        EndPaint(h, ps);
    }
};

TEST_P(WmScrollTest, ScrollPlusPartialRepaintEqualsFullRepaint) {
    const ScrollCase& c = GetParam();
    HWND w = Recorder.Create(WS_VISIBLE | WS_POPUP, Bounds(0, 0, 61, 43));
    HWND child = Recorder.Create(WS_CHILD | WS_VISIBLE, Bounds(30, 20, 10, 10), w);
    Recorder.Handler = [&](HWND h, TMessage& m) {
        if (m.Msg != WM_PAINT || h != w) return false;
        Paint(h, c.HeaderHeight);
        return true;
    };
    UpdateWindow(w);
    TRect childBefore;
    GetWindowRect(child, childBefore);

    Offset.X += c.DX;
    Offset.Y += c.DY;
    Painted.clear();
    const TRect area = Rect(0, c.HeaderHeight, 61, 43);
    TRect uncovered;
    const int complexity = ScrollWindowEx(w, -c.DX, -c.DY, c.HeaderHeight ? &area : nullptr,
                                          c.HeaderHeight ? &area : nullptr, nullptr, &uncovered, SW_INVALIDATE);
    EXPECT_NE(complexity, NULLREGION);
    UpdateWindow(w);
    ASSERT_EQ(Painted.size(), 1u);
    const TRect partial = Painted[0];
    const std::vector<uint32_t> scrolled = BackingPixels(w);

    InvalidateRect(w, nullptr, false);
    UpdateWindow(w);
    EXPECT_EQ(BackingPixels(w), scrolled) << c.Name;
    if ((c.DX == 0 || c.DY == 0) && std::abs(c.DY) < 43 - c.HeaderHeight) {
        EXPECT_LT(partial.Width() * partial.Height(), 61 * 43) << "only the uncovered part was painted";
    }
    EXPECT_EQ(partial, uncovered);

    TRect childAfter;
    GetWindowRect(child, childAfter);
    EXPECT_EQ(childAfter, childBefore) << "children never move";
}

INSTANTIATE_TEST_SUITE_P(Cases, WmScrollTest,
                         ::testing::Values(ScrollCase{"down", 0, 7, 0}, ScrollCase{"up", 0, -5, 0},
                                           ScrollCase{"right", 8, 0, 0}, ScrollCase{"diagonal", -4, 9, 0},
                                           ScrollCase{"below a fixed header", 0, 6, 10},
                                           ScrollCase{"further than the window", 0, 50, 0}),
                         [](const auto& info) {
                             std::string name = info.param.Name;
                             for (char& ch : name)
                                 if (ch == ' ') ch = '_';
                             return name;
                         });

TEST_F(WmPaintingTest, ScrollKeepsPendingInvalidAreasWithTheirPixels) {
    HWND w = CreateFiller();
    FillBacking(w, Rect(0, 0, 60, 40), Blue);
    const TRect pending = Rect(0, 0, 60, 5);
    InvalidateRect(w, &pending, false);
    ScrollWindowEx(w, 0, 10, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    TRect update;
    ASSERT_TRUE(GetUpdateRect(w, &update, false));
    EXPECT_EQ(update, Rect(0, 0, 60, 15)) << "the pending band moved down with the content";
}

} // namespace
