// The currency column's own rules without a grid: limits that are assigned
// stay so (even at 0), a display format that follows the regional settings
// until it is set, and the reset and copy of both.
#include "dbgrid/GridColumns.h"
#include "editors/ExEdtr.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

namespace {

TEST(DBColumnCurrencyTest, UnboundLimitsAreZeroAndAnAssignedZeroIsNotStored) {
    TcvDBGridCurrencyColumn column(nullptr);
    EXPECT_EQ(column.MinValue(), 0.0);
    EXPECT_EQ(column.MaxValue(), 0.0);
    column.SetMinValue(0.0);
    column.SetMaxValue(250.5);
    EXPECT_FALSE(column.IsMinValueStored());
    EXPECT_TRUE(column.IsMaxValueStored());
    EXPECT_EQ(column.MaxValue(), 250.5);
}

TEST(DBColumnCurrencyTest, UnsetDisplayFormatFollowsTheRegionalSettings) {
    const TFormatSettings saved = RegionalSettings;
    TcvDBGridCurrencyColumn following(nullptr);
    TcvDBGridCurrencyColumn fixed(nullptr);
    fixed.SetDisplayFormat("0.0000");
    EXPECT_EQ(following.DisplayFormat(), cvExEdtr::DefaultCurrencyDisplayFormat());
    RegionalSettings.CurrencyString = "元";
    RegionalSettings.CurrencyFormat = 1;
    Application->FormatSettingsChanged();
    const std::string after = following.DisplayFormat();
    RegionalSettings = saved;
    GetFormatSettings();
    EXPECT_NE(after.find("元"), std::string::npos) << after;
    EXPECT_EQ(fixed.DisplayFormat(), "0.0000") << "a format set explicitly stays";
}

TEST(DBColumnCurrencyTest, RestoreDefaultsKeepsAssignedLimitsAtZeroAndTheNullSettings) {
    TcvDBGridCurrencyColumn column(nullptr);
    column.SetDisplayFormat("0.0");
    column.SetDecimalPlaces(4);
    column.SetMinValue(-5);
    column.SetNullable(true);
    column.SetNullString("无");
    column.RestoreDefaults();
    EXPECT_EQ(column.DisplayFormat(), cvExEdtr::DefaultCurrencyDisplayFormat());
    EXPECT_EQ(column.DecimalPlaces(), 2u);
    EXPECT_EQ(column.MinValue(), 0.0);
    EXPECT_FALSE(column.IsMinValueStored());
    EXPECT_TRUE(column.Nullable());
    EXPECT_EQ(column.NullString(), "无");
}

TEST(DBColumnCurrencyTest, AssignMakesTheTargetFollowWhatTheSourceFollows) {
    TcvDBGridCurrencyColumn source(nullptr);
    source.SetMaxValue(99);
    source.SetNullString("-");
    TcvDBGridCurrencyColumn target(nullptr);
    target.SetDisplayFormat("0.0");
    target.Assign(&source);
    EXPECT_EQ(target.MaxValue(), 99.0);
    EXPECT_EQ(target.NullString(), "-");
    EXPECT_EQ(target.DisplayFormat(), cvExEdtr::DefaultCurrencyDisplayFormat()) << "the source's was never set";
    EXPECT_EQ(target.MinValue(), 0.0);
}

} // namespace
