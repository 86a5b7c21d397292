// The fixed tables behind system colours and metrics, and how overriding them
// reaches colour conversion, system brushes and settings.
#include "platform/ui/Gdi.h"
#include "platform/ui/SystemMetrics.h"

#include <gtest/gtest.h>

namespace {

TEST(GdiSystemTest, SystemColoursResolveThroughTheTableAndFollowChanges) {
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu); // passes through, as the class framework does
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    const int index = COLOR_BTNFACE;
    const COLORREF green = RGB(0, 200, 0);
    SetSysColors(1, &index, &green);
    EXPECT_EQ(ColorToRGB(clBtnFace), green);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face); // the same brush, now green
    LOGBRUSH lb;
    ASSERT_TRUE(GetObject(face, lb));
    EXPECT_EQ(lb.lbColor, green);
    RestoreClassicSysColors();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(99), 0u);
}

TEST(GdiSystemTest, MetricsAndSettingsComeFromTheFixedTable) {
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXDRAG), 4);
    EXPECT_EQ(GetSystemMetrics(12345), 0);
    EXPECT_EQ(GetDoubleClickTime(), 500u);
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, 3u);
    OverrideSystemMetric(SM_CXVSCROLL, 20);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, 5, nullptr, 0);
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
    EXPECT_EQ(lines, 5u);
    RestoreSystemMetrics();
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(lines, 3u);
}

} // namespace
