// The calibration result on row 11, the judging of a channel's calibration into warnings and
// alarms (fixed bands, the isothermal point's shift, the gauge sensor's own limits, the
// one-second refresh), and the value fields with their fills.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/texts.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "ui/cal_view.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
bool Active(uint16_t code) { return Msg_IsActive(code) != 0; }
bool Flag(uint32_t bit, uint32_t channel) { return (Alarm_GetFlags(channel) >> bit & 1u) != 0; }

std::string ShowResult(uint32_t position, float slope, float offset) {
    Screen_ShowCalData(position, slope, offset);
    return Row(11);
}
}  // namespace

TEST(CalView, PhSlopeAndOffsetBandsRaiseWarningsAndAlarms) {
    BootHome();
    // Slope: 102.5 % warns, 103.5 % is an alarm with flag 9, and the warning goes.
    Screen_JudgeCalibration(0x100000, 102.5f, 7.0f);
    EXPECT_TRUE(Active(3));
    EXPECT_FALSE(Flag(9, 0));
    Screen_JudgeCalibration(0x100000, 103.5f, 7.0f);
    EXPECT_TRUE(Active(7));
    EXPECT_FALSE(Active(3));
    EXPECT_TRUE(Flag(9, 0));
    // At the low alarm bound it is an alarm; back inside, nothing stays.
    Screen_JudgeCalibration(0x100000, 80.0f, 7.0f);
    EXPECT_TRUE(Active(8));
    EXPECT_FALSE(Active(7));
    Screen_JudgeCalibration(0x100000, 95.0f, 7.0f);
    for (uint16_t code = 3; code <= 10; ++code) EXPECT_FALSE(Active(code)) << code;
    EXPECT_FALSE(Flag(9, 0));
    // Offset: at the low warning value nothing, just below it message 6.
    Screen_JudgeCalibration(0x100000, 95.0f, 6.5f);
    EXPECT_FALSE(Active(6));
    Screen_JudgeCalibration(0x100000, 95.0f, 6.49f);
    EXPECT_TRUE(Active(6));
    Screen_JudgeCalibration(0x100000, 95.0f, 8.5f);
    EXPECT_TRUE(Active(9));
    EXPECT_FALSE(Active(6));
    EXPECT_TRUE(Flag(10, 0));
    // The zero-point bands follow the isothermal point: at 7.5 a zero point of 7.0 is 6.5.
    uint32_t status = 0;
    CalPh_SetIsoPoint(0, 7.5f, &status);
    Screen_JudgeCalibration(0x100000, 95.0f, 7.0f);
    for (uint16_t code = 3; code <= 10; ++code) EXPECT_FALSE(Active(code)) << code;
    EXPECT_FALSE(Flag(10, 0));
    Screen_JudgeCalibration(0x100000, 95.0f, 6.99f);
    EXPECT_TRUE(Active(6));
}

TEST(CalView, ChannelBPnaGaugeOxygenAndUnjudgedQuantities) {
    BootHome();
    // Channel B configured for pH/pNa: the pNa bands, channel B's codes; its ORP check clears
    // a check message that no longer holds.
    g_ChannelKind[1] = kKindPhPna;
    Msg_Raise(kMsgChannelB + 68);
    Screen_JudgeCalibration(0x101000, 102.5f, 8.5f);
    EXPECT_TRUE(Active(kMsgChannelB + 75));
    EXPECT_TRUE(Active(kMsgChannelB + 77));
    EXPECT_FALSE(Active(3)) << "channel A is not touched";
    EXPECT_FALSE(Active(kMsgChannelB + 68));
    // Conductivity and temperature are not judged.
    Screen_JudgeCalibration(0x100003, 1000.0f, 1000.0f);
    Screen_JudgeCalibration(0x100001, 1000.0f, 1000.0f);
    EXPECT_EQ(Msg_ActiveCount(), 2u);
    // Oxygen "O2 hi": the bands of unit code 1.
    g_ChannelKind[0] = kKindO2High;
    Screen_JudgeCalibration(0x100004, -32.0f, 0.0f);
    EXPECT_TRUE(Active(11));
    Screen_JudgeCalibration(0x100004, -29.0f, -0.7f);
    EXPECT_TRUE(Active(15));
    EXPECT_TRUE(Active(18));
    EXPECT_TRUE(Flag(9, 0));
    EXPECT_TRUE(Flag(10, 0));
    // The gauge sensor: the bands of its limits (slope -20000 .. -60000.1 nA, zero +-1000 in
    // thousandths of nA); at the lower limit itself only the warning.
    g_ChannelKind[0] = kKindO2Gauge;
    Screen_JudgeCalibration(0x100004, -22000.0f, 0.0f);
    EXPECT_TRUE(Active(91));
    EXPECT_FALSE(Flag(9, 0));
    Screen_JudgeCalibration(0x100004, -60000.1f, 0.7f);
    EXPECT_TRUE(Active(92));
    EXPECT_FALSE(Active(91));
    EXPECT_TRUE(Active(93));
    Screen_JudgeCalibration(0x100004, -60001.0f, 1.5f);
    EXPECT_TRUE(Active(96));
    EXPECT_TRUE(Active(97));
    EXPECT_TRUE(Flag(9, 0));
    EXPECT_TRUE(Flag(10, 0));
    // A gauge sensor with tighter limits of its own is judged by them.
    g_O2Kind8Limits[0].limit[0] = -30000.0f;
    Screen_JudgeCalibration(0x100004, -25000.0f, 0.0f);
    EXPECT_TRUE(Active(95));
}

TEST(CalView, ASlopeOrOffsetThatIsNoNumberIsJudgedAnAlarm) {
    BootHome();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Both alarms stand; values that cannot be judged do not clear them.
    Screen_JudgeCalibration(0x100000, 103.5f, 8.5f);
    ASSERT_TRUE(Flag(9, 0));
    ASSERT_TRUE(Flag(10, 0));
    Screen_JudgeCalibration(0x100000, nan, nan);
    EXPECT_TRUE(Flag(9, 0));
    EXPECT_TRUE(Flag(10, 0));
    EXPECT_TRUE(Active(8)) << "judged as below the slope's alarm band";
    EXPECT_TRUE(Active(10)) << "judged as below the offset's alarm band";
    // A calibration inside its bands clears them; then a non-number raises them again, each value
    // on its own.
    Screen_JudgeCalibration(0x100000, 95.0f, 7.0f);
    ASSERT_FALSE(Flag(9, 0));
    ASSERT_FALSE(Flag(10, 0));
    Screen_JudgeCalibration(0x100000, nan, 7.0f);
    EXPECT_TRUE(Flag(9, 0));
    EXPECT_FALSE(Flag(10, 0));
    Screen_JudgeCalibration(0x100000, 95.0f, std::numeric_limits<float>::infinity());
    EXPECT_FALSE(Flag(9, 0));
    EXPECT_TRUE(Flag(10, 0));
    // The gauge sensor's bands from its own limits alike.
    g_ChannelKind[0] = kKindO2Gauge;
    Screen_JudgeCalibration(0x100004, nan, 0.0f);
    EXPECT_TRUE(Active(96));
    EXPECT_TRUE(Flag(9, 0));
    EXPECT_FALSE(Flag(10, 0));
}

TEST(CalView, SavedSensorParametersAreJudgedOnTheNextSecond) {
    BootHome();
    uint32_t status = 0;
    CalPh_SetSlopePercent(0, 85.0f, &status);
    g_SensorParamSavePending = 1;
    Rig_AdvanceMs(1100);
    EXPECT_TRUE(Active(4)) << "a stored slope of 85 % warns";
    EXPECT_EQ(g_SensorParamSavePending, 0);
    // Nothing is judged while no save is pending.
    CalPh_SetSlopePercent(0, 110.0f, &status);
    Rig_AdvanceMs(2000);
    EXPECT_FALSE(Active(7));
    // Clearing the stored messages judges again at once.
    Post(kActionClearMessageStore);
    EXPECT_TRUE(Active(7));
}

TEST(CalView, ResultRowsByQuantityAndUnit) {
    BootHome();
    uint32_t status = 0;
    EXPECT_EQ(ShowResult(0x100000, 98.3f, 7.052f), "pH S=98.3%    Z=7.052 pH");
    EXPECT_EQ(ShowResult(0x100000, 102.4f, 6.9f), "pH S=102.%    Z=6.900 pH");
    // The slope in mV/pH and the zero in mV.
    CalPh_SetSlopeUnitFlag(0, 1, &status);
    CalPh_SetOffsetUnitFlag(0, 1, &status);
    // The slope in mV/pH takes four places; both labels stand, the units behind their values.
    EXPECT_EQ(ShowResult(0x10000c, 58.12f, -12.5f), "pH S=58.1mV/pH Z=-12.5mV");
    EXPECT_EQ(ShowResult(0x100000, -150.0f, -1234.6f), "pH S=____mV/pH Z=-1235mV");
    EXPECT_EQ(ShowResult(0x100001, 1.0f, -0.25f), "Temp M=1.00000 A=-0.2500");
    EXPECT_EQ(ShowResult(0x100002, 0.12f, 0.0f), "C M=0.12000 A=0.00000");
    EXPECT_EQ(ShowResult(0x100004, -70.0f, 0.0f), "O2 S=-70.00nA Z=0.0000nA");
    EXPECT_EQ(ShowResult(0x10000a, 1.0f, 12.0f), "mV S=1.00000 Z=12.0000");
    EXPECT_EQ(ShowResult(0x10100b, 98.5f, 1.25f), "O2 P100=98.5  P0=1.25");
    // Values beyond their fields are filled.
    EXPECT_EQ(ShowResult(0x100004, -123456.0f, std::nanf("")), "O2 S=***** nA Z=***** nA");
    EXPECT_EQ(ShowResult(0x100002, 2e6f, -2e5f), "C M=******* A=*******");
    // The temperature's name in Japanese is its own text, in Russian a word of the display's code.
    g_Language = 7;
    // (the voiced kana are drawn as their base kana and the voicing mark)
    EXPECT_EQ(ShowResult(0x100001, 1.0f, 0.0f).rfind("オント゛ M=", 0), 0u);
    g_Language = 6;
    EXPECT_EQ(ShowResult(0x100001, 1.0f, 0.0f).rfind("TEMП M=", 0), 0u);
}

TEST(CalView, ValueFieldsKeepToTheirWidths) {
    BootHome();
    Lcd_ClearAll();
    EXPECT_EQ(Screen_DrawFactor5(11, 0, 99999.4f), 7u);
    EXPECT_EQ(Row(11), "99999.4");
    EXPECT_EQ(Screen_DrawFactor5(11, 0, 999999.6f), 7u);
    EXPECT_EQ(Row(11), "*******");
    Lcd_ClearAll();
    EXPECT_EQ(Screen_DrawSlope(11, 0, 99999.0f, 1), 5u);
    EXPECT_EQ(Row(11), "99999");
    EXPECT_EQ(Screen_DrawSlope(11, 0, -9999.2f, 1), 5u);
    EXPECT_EQ(Row(11), "*****");
    Lcd_ClearAll();
    EXPECT_EQ(Screen_DrawCurrent(11, 0, 999999.0f), 6u);
    EXPECT_EQ(Row(11), "999999");
    Lcd_ClearAll();
    EXPECT_EQ(Screen_DrawCurrent(11, 0, -1e30f), 5u);
    EXPECT_EQ(Row(11), "*****");
}
