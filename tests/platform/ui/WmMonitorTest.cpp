// Monitors and their work areas as the desktop (here a test) lays them out,
// and the settings read from them.
#include "platform/ui/Forms.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Monitors.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "platform/ui/testhooks/DesktopTestHooks.h"

#include <gtest/gtest.h>

namespace {

using namespace platform_ui::test;

// A primary monitor with a panel at its top, and a second one to its right
// with a panel at its bottom.
const TRect PrimaryWork = Rect(0, 30, 1024, 768);
const TRect SecondMonitor = Rect(1024, 0, 2304, 1024);
const TRect SecondWork = Rect(1024, 0, 2304, 990);

class WmMonitorTest : public ::testing::Test {
protected:
    void SetUp() override { SetTestMonitors({{Rect(0, 0, 1024, 768), PrimaryWork}, {SecondMonitor, SecondWork}}); }
    void TearDown() override { SetTestMonitors({}); }
};

TEST_F(WmMonitorTest, APointFindsItsMonitorOrTheOneFlagsName) {
    const struct {
        TPoint Point;
        DWORD Flags;
        TRect Work; // empty: no monitor
        const char* What;
    } cases[] = {
        {{10, 10}, MONITOR_DEFAULTTONULL, PrimaryWork, "on the primary, under its panel"},
        {{1023, 767}, MONITOR_DEFAULTTONULL, PrimaryWork, "the primary's last pixel"},
        {{1024, 0}, MONITOR_DEFAULTTONULL, SecondWork, "the second's first pixel"},
        {{1500, 1100}, MONITOR_DEFAULTTONULL, {}, "below both: on none"},
        {{1500, 1100}, MONITOR_DEFAULTTONEAREST, SecondWork, "nearest is the second"},
        {{-50, 400}, MONITOR_DEFAULTTONEAREST, PrimaryWork, "left of everything"},
        {{3000, 400}, MONITOR_DEFAULTTOPRIMARY, PrimaryWork, "far right, primary asked for"},
    };
    for (const auto& c : cases) {
        HMONITOR monitor = MonitorFromPoint(c.Point, c.Flags);
        MONITORINFO info;
        EXPECT_EQ(GetMonitorInfo(monitor, info), !IsRectEmpty(c.Work)) << c.What;
        if (monitor) {
            EXPECT_EQ(info.rcWork, c.Work) << c.What;
        }
    }
    MONITORINFO second;
    ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint({2000, 10}, MONITOR_DEFAULTTONULL), second));
    EXPECT_EQ(second.rcMonitor, SecondMonitor);
    EXPECT_EQ(second.dwFlags, 0u);
    MONITORINFO primary;
    ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTONULL), primary));
    EXPECT_EQ(primary.dwFlags, MONITORINFOF_PRIMARY);
}

TEST_F(WmMonitorTest, TheSystemsWorkAreaIsThePrimarysAndAMaximisedWindowFillsIt) {
    TRect area;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_EQ(area, PrimaryWork);
    EXPECT_EQ(Screen->WorkAreaRect(), PrimaryWork);
    EXPECT_FALSE(SystemParametersInfo(SPI_GETWORKAREA, 0, nullptr, 0));

    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    form.SetWindowState(wsMaximized);
    form.Show();
    TRect r;
    GetWindowRect(form.Handle(), r);
    EXPECT_EQ(r, PrimaryWork);

    // Minimised and restored, it is maximised again and still leaves the
    // panel free.
    ShowWindow(form.Handle(), SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(form.Handle()));
    ShowWindow(form.Handle(), SW_RESTORE);
    EXPECT_FALSE(IsIconic(form.Handle()));
    EXPECT_TRUE(IsZoomed(form.Handle()));
    GetWindowRect(form.Handle(), r);
    EXPECT_EQ(r, PrimaryWork);
}

TEST(WmNonClientMetricsTest, StatusAndMenuFontsAreTheDesktopsFace) {
    NONCLIENTMETRICS metrics;
    metrics.cbSize = 340;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    EXPECT_EQ(metrics.cbSize, 340u) << "the caller's size stays";
    LOGFONT gui;
    ASSERT_TRUE(GetObject(GetStockObject(DEFAULT_GUI_FONT), gui));
    for (const LOGFONT* font : {&metrics.lfStatusFont, &metrics.lfMenuFont, &metrics.lfMessageFont}) {
        EXPECT_EQ(font->lfFaceName, gui.lfFaceName);
        EXPECT_EQ(font->lfHeight, gui.lfHeight);
        EXPECT_EQ(font->lfWeight, FW_NORMAL);
    }
    EXPECT_EQ(metrics.lfCaptionFont.lfWeight, FW_BOLD);
    EXPECT_EQ(metrics.iScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
    HFONT status = CreateFontIndirect(metrics.lfStatusFont);
    EXPECT_NE(status, nullptr) << "the record makes a font";
    DeleteObject(status);
}

TEST(WmScreenTest, TheScreenIsThePrimaryMonitorsSize) {
    // Larger than the fixed metrics: a form centred on the screen must land
    // in the middle of the desktop the user has.
    SetTestMonitors({{Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1040)}, {SecondMonitor, SecondWork}});
    EXPECT_EQ(Screen->Width(), 1920);
    EXPECT_EQ(Screen->Height(), 1080);
    SetTestMonitors({});
}

} // namespace
