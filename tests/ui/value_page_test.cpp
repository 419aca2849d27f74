// Value pages in the rig, key by key: character stepping and the decimal point, the checks and
// their messages, the passwords, the date page and the clock, the output test page, the chains
// from page to page, and the "Save Changes" question answered both ways with the store read back
// after a restart.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/rtc.h"
#include "digital_sensor/sens_diag.h"
#include "measurement/channel.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "panel/inputs.h"
#include "platform/plat_clock.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/value_catalogue.h"
#include "ui/value_page.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// Format into a buffer of 12 bytes filled with 'Z', so a write past the 9 bytes shows.
std::string Format(void (*format)(const ClockRecord*, char*), ClockRecord record) {
    char text[12];
    std::memset(text, 'Z', sizeof text);
    format(&record, text);
    EXPECT_EQ(text[8], '\0');
    EXPECT_EQ(text[9], 'Z');
    return text;
}

// The value page of an item id as the tree or a page would open it (after MENU, which copies the
// settings into the working set).
void OpenPage(uint32_t id) {
    if (Menu_TopScreen() == kScreenHome) Press(kKeyMenu);
    Post(id);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
}

void Right(int n = 1) {
    for (int i = 0; i < n; ++i) Press(kKeyCal);
}
void Left(int n = 1) {
    for (int i = 0; i < n; ++i) Press(kKeyMenu);
}

// Steps the character under the cursor with UP until it is c (at most a full turn of the set).
void StepTo(char c) {
    ASSERT_GE(g_ValuePageCursor, 0);
    ASSERT_LT(g_ValuePageCursor, static_cast<int32_t>(kEditTextMax));
    for (int i = 0; i < 96 && g_EditLines[g_ValuePageLine].text[g_ValuePageCursor] != c; ++i) Press(kKeyUp);
    ASSERT_EQ(g_EditLines[g_ValuePageLine].text[g_ValuePageCursor], c);
}

// Types a line's text from the cursor on, one character and one CAL at a time; the cursor stays
// on the last character typed.
void Type(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (p != text) Right();
        StepTo(*p);
    }
}

// The page's leave position from wherever the cursor stands.
void ToLeave() {
    for (int i = 0; i < 40 && g_ValuePageCursor != kCursorLeave; ++i) Right();
    ASSERT_EQ(g_ValuePageCursor, kCursorLeave);
}

// A restart of the program on the same folder.
void Restart(const std::string& folder) {
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
}
}  // namespace

TEST(ValuePage, DateAndTimeTextsOfTheClockPage) {
    EXPECT_EQ(Format(ValuePage_FormatDate, ClockRecord{2025, 6, 1, 0, 10, 5, 9}), "25-06-01");
    EXPECT_EQ(Format(ValuePage_FormatTime, ClockRecord{2025, 6, 1, 0, 10, 5, 9}), "10:05:09");
    EXPECT_EQ(Format(ValuePage_FormatDate, ClockRecord{2099, 12, 31, 0, 23, 59, 59}), "99-12-31");
    EXPECT_EQ(Format(ValuePage_FormatTime, ClockRecord{2099, 12, 31, 0, 23, 59, 59}), "23:59:59");
    // The clock's reading when it is not set.
    ClockRecord unset{};
    Rtc_ResetState();
    EXPECT_EQ(Rtc_GetTime(&unset), 0u);
    EXPECT_EQ(Format(ValuePage_FormatDate, unset), "08-01-01");
    EXPECT_EQ(Format(ValuePage_FormatTime, unset), "00:00:00");
    // Whatever a record holds, every field keeps its two places: the year is held to 00..99.
    EXPECT_EQ(Format(ValuePage_FormatDate, ClockRecord{1999, 1, 2, 0, 0, 0, 0}), "00-01-02");
    EXPECT_EQ(Format(ValuePage_FormatDate, ClockRecord{2150, 1, 2, 0, 0, 0, 0}), "99-01-02");
    EXPECT_EQ(Format(ValuePage_FormatTime, ClockRecord{2025, 1, 1, 0, 123, 200, 255}), "23:00:55");
}

TEST(ValuePage, CharactersStepThroughTheirSetsAndOnePointStays) {
    BootHome();
    // Isothermal point and compensation: signed values with decimals.
    OpenPage(0x100c);
    EXPECT_EQ(Row(11), "IP =  7.000 pH");
    EXPECT_EQ(g_ValuePageLine, 0);
    EXPECT_EQ(g_ValuePageCursor, 0);
    // The signed first place runs through '-', '.', '0' ... '9' with wrap; '/' never.
    EXPECT_STREQ(g_EditLines[0].text, "7.000");
    StepTo('-');
    const char* upward = ".0123456789-";
    for (const char* c = upward; *c != '\0'; ++c) {
        Press(kKeyUp);
        EXPECT_EQ(g_EditLines[0].text[0], *c);
    }
    Press(kKeyInfo);
    EXPECT_EQ(g_EditLines[0].text[0], '9') << "from '-' down gives '9'";
    // A place that is not the first: '0' down gives '.', '.' down gives '9'.
    ASSERT_STREQ(g_EditLines[0].text, "9.000");
    Right(2);
    Press(kKeyInfo);
    EXPECT_STREQ(g_EditLines[0].text, "9..00");
    Press(kKeyInfo);
    EXPECT_STREQ(g_EditLines[0].text, "9.900");
    // A second point: the first becomes '0' once the cursor leaves the place.
    Press(kKeyUp);
    Right();
    EXPECT_STREQ(g_EditLines[0].text, "90.00") << "the old point at place 1 became a digit";
    EXPECT_EQ(g_EditLines[0].point, 2);
    EXPECT_EQ(Row(11), "IP =  90.00 pH");
    // ENTER on the values: 90 and the compensation go to the working set; page 18 follows.
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.params.channel[0].isoPoint, 90.0f);
    EXPECT_EQ(Row(12).substr(0, 11), "STC RefTemp");
}

TEST(ValuePage, CleaningChecksShowTheirMessagesAndStoreNothing) {
    BootHome();
    Press(kKeyMenu);
    g_WorkSet.cleaning.interval = 2.0f;
    g_WorkSet.cleaning.time = 30.0f;
    OpenPage(0x1008);
    EXPECT_EQ(Row(11), "CleanInterval= 2.000 hrs");
    EXPECT_EQ(Row(12), "Clean Time = 0030 sec  $");
    // An interval of 99999 h is past the longest (999.94 h).
    Type("99999");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Interval");
    EXPECT_EQ(Row(12), "Press ENTER to Continue$");
    EXPECT_EQ(g_DisplayMode, kKeyModeErrorShown);
    EXPECT_FLOAT_EQ(g_WorkSet.cleaning.interval, 2.0f) << "a failed check never writes";
    // ENTER brings the page back with the cursor on the leave position and the values kept.
    Press(kKeyEnter);
    EXPECT_EQ(g_ValuePageCursor, kCursorLeave);
    EXPECT_EQ(Row(11), "CleanInterval= 2.000 hrs");
    // 1 h and 3601 s: the cleaning would outlast its interval.
    Right();
    Type("1.000");
    Right();
    Type("3601");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Clean Time");
    EXPECT_FLOAT_EQ(g_WorkSet.cleaning.time, 30.0f);
    Press(kKeyEnter);
    // 1 h and 3600 s pass and go to the working set; the cleaning relay's page follows.
    Right();
    Type("1.000");
    Right();
    Type("3600");
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.cleaning.interval, 1.0f);
    EXPECT_FLOAT_EQ(g_WorkSet.cleaning.time, 3600.0f);
    EXPECT_EQ(Menu_TopScreen(), kScreenParamPage);
}

TEST(ValuePage, RewrittenValuesStayOnThePageUntilTaken) {
    BootHome();
    Press(kKeyMenu);
    g_WorkSet.params.channel[0].relHumidity = 50.0f;
    OpenPage(0x100e);
    EXPECT_EQ(Row(12), "RelativeHumid = 050 %  $");
    // 101 % is rewritten to 100, the cursor on its start, and nothing is stored yet.
    Right(5);
    Type("101");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(12), "RelativeHumid = 100 %  $");
    EXPECT_EQ(g_ValuePageLine, 1);
    EXPECT_EQ(g_ValuePageCursor, 0);
    EXPECT_FLOAT_EQ(g_WorkSet.params.channel[0].relHumidity, 50.0f);
    // ENTER again takes the rewritten value; the polarization page follows.
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.params.channel[0].relHumidity, 100.0f);
    EXPECT_EQ(Row(11).substr(0, 10), "Umeaspol =");

    // Damping: 0 s becomes "01", 16 s becomes "15".
    BootHome();
    OpenPage(0xff7);
    EXPECT_EQ(Row(12), "Aout1 Damping 01sec    $");
    Type("16");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Aout1 Damping 15sec    $");
    Press(kKeyEnter);
    EXPECT_EQ(g_WorkSet.outputs.damping, 15);
}

TEST(ValuePage, ValuesTooWideForTheirFieldShowTheFill) {
    BootHome();
    Press(kKeyMenu);
    g_WorkSet.cleaning.interval = 123456.0f;
    g_WorkSet.cleaning.time = 99999.0f;
    g_WorkSet.setPoints.hysteresis[0] = 250.0f;
    OpenPage(0x1008);
    EXPECT_EQ(Row(11), "CleanInterval= ***** hrs");
    EXPECT_EQ(Row(12), "Clean Time = **** sec  $");
    // A fill is no number: ENTER on it stores nothing.
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Value");
    EXPECT_FLOAT_EQ(g_WorkSet.cleaning.interval, 123456.0f);
    // A negative value too wide shows the under-range fill; a hysteresis out of range shows its
    // default without being written until the page stores it.
    BootHome();
    Press(kKeyMenu);
    g_WorkSet.pid.setPoint = -12345.0f;
    OpenPage(0x1032);
    EXPECT_EQ(Row(11), "SetPoint = _____");
    BootHome();
    Press(kKeyMenu);
    g_WorkSet.setPoints.hysteresis[0] = 250.0f;
    OpenPage(0x1025);
    EXPECT_EQ(Row(12), "OC1 Hysteresis =05 %   $");
    EXPECT_FLOAT_EQ(g_WorkSet.setPoints.hysteresis[0], 250.0f);
}

TEST(ValuePage, RangePagesOrderTheirEndsAndWalkTheirSelector) {
    BootHome();
    Press(kKeyMenu);
    // Set point 1 "Outside" on line a (pH): upper value above the lower one.
    g_WorkSet.setPoints.type[0] = kSetPointOutside;
    g_WorkSet.setPoints.source[0] = 0;
    g_WorkSet.setPoints.valueA[0] = 9.0f;
    g_WorkSet.setPoints.valueB[0] = 5.0f;
    OpenPage(0xffe);
    EXPECT_EQ(Row(11), "SP1 <->    9.000 pH");
    EXPECT_EQ(Row(12), "SP1        5.000 pH    $");
    EXPECT_EQ(g_ValuePageCursor, kCursorSelector) << "the walk starts on the set point number";
    // Equal ends: the page stays with line 0 redrawn.
    Right(6);
    Type("9.000");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_FLOAT_EQ(g_WorkSet.setPoints.valueB[0], 5.0f);
    EXPECT_EQ(g_ValuePageLine, 0);
    // The selector moves to set point 2, storing set point 1's values; set point 2 is "Off".
    Left();
    ASSERT_EQ(g_ValuePageCursor, kCursorSelector);
    Press(kKeyUp);
    EXPECT_EQ(ParamPage_SelectedSetPoint(), 1);
    EXPECT_EQ(Row(12).substr(0, 7), "SP2 Off");

    // Output 1's range: entered upside down, stored the right way round.
    BootHome();
    OpenPage(0xfff);
    EXPECT_EQ(Row(11), "Aout1 min= 2.000 pH");
    Right();
    Type("12.00");
    Right();
    Type("2.000");
    ToLeave();
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.outputs.valueAt4mA[0], 2.0f);
    EXPECT_FLOAT_EQ(g_WorkSet.outputs.valueAt20mA[0], 12.0f);
}

TEST(ValuePage, SensorTimersRefuseOutOfRangeDays) {
    BootHome();
    // A pH sensor's memory layout on channel B, which keeps its time to maintenance.
    g_SensorMemLayout[1] = kLayoutPh;
    SensDiag_SetMaintInterval(1, 30.0f);
    SensDiag_SetActInterval(1, 10.0f);
    OpenPage(0x104c);
    EXPECT_EQ(Row(11), "Time to Maint 030.0d");
    // 500 days of maintenance interval: "Invalid Value", and the stored days stay.
    Type("500");
    Right();
    Type("0");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Value");
    EXPECT_FLOAT_EQ(SensDiag_GetMaintInterval(1), 30.0f);
    Press(kKeyEnter);
    EXPECT_EQ(g_ValuePageCursor, kCursorLeave);
    EXPECT_EQ(Row(11), "Time to Maint 030.0d");
}

TEST(ValuePage, PasswordsMasterCodeAndConfirmation) {
    BootHome();
    // The administrator's code, or the master code, opens the password change.
    OpenPage(0x500001);
    EXPECT_EQ(Row(11), "Enter Password 00000");
    EXPECT_EQ(Row(12), "Change Administrator   $");
    Type("05864");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(11), "Change Administrator");
    EXPECT_EQ(Row(12), "New Password = 00000   $");
    // A new code, then a different second entry: "Passwords do not match"; the code is not taken.
    Type("12345");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Re-enter password");
    Type("12346");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Passwords do not match");
    EXPECT_EQ(g_SystemEdit.accessCode[0], kAccessCodeFactory);
    // ENTER brings the first entry back; leaving there keeps the code as it was.
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "New Password = 00000   $");
    EXPECT_EQ(g_ValuePageCursor, kCursorLeave);
    Press(kKeyEnter);
    EXPECT_EQ(g_SystemEdit.accessCode[0], kAccessCodeFactory) << "an unconfirmed code is never stored";
    // Both entries equal: the edit copy takes the code and "Save Changes" asks.
    BootHome();
    OpenPage(0x500001);
    Type("31752");
    Press(kKeyEnter);
    Type("24680");
    Press(kKeyEnter);
    Type("24680");
    Press(kKeyEnter);
    EXPECT_EQ(g_SystemEdit.accessCode[0], 24680u);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);

    // A wrong code: "Invalid Password".
    BootHome();
    OpenPage(0x500001);
    Type("11111");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");

    // The service technician's page takes its own code, not the master code. It is chosen in the
    // tree, whose cursor the granted access then enters.
    BootHome();
    Press(kKeyMenu);
    for (int i = 0; i < 4; ++i) Press(kKeyUp);
    ASSERT_EQ(Item(), "Service");
    Press(kKeyEnter);
    Press(kKeyUp);
    Press(kKeyUp);
    ASSERT_EQ(Item(), "Tech Service");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(11), "Service Technician");
    Type("05864");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    Press(kKeyEnter);
    Right();
    Type("49263");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Service Technician") << "access granted: the tree enters the technician's node";
}

TEST(ValuePage, TheAccessCodeBeforeTheCalKeyTakesTheMasterCode) {
    BootHome();
    // Lockout on: the CAL key asks for the code first.
    g_SystemSettings.lockout = kLockoutOn;
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(12), "Enter Password 00000   $");
    Type("05864");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectCal);
    EXPECT_EQ(Row(11).substr(0, 9), "Calibrate");
}

TEST(ValuePage, TheOperatorsCodeOpensWhatIsLeftOpenToTheOperator) {
    BootHome();
    g_SystemSettings.lockout = kLockoutOn;
    g_SystemSettings.accessCode[1] = 12121;
    // The CAL key's section is not reserved to the administrator: the operator's code opens it.
    Press(kKeyCal);
    Type("12121");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectCal);
    // Reserved (its lock byte 1): the operator's code is refused, the administrator's taken.
    Key_Put(kKeyEscape);
    Rig_AdvanceMs(100);
    g_SystemSettings.sectionLock[0] = 1;
    Press(kKeyCal);
    Type("12121");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    Press(kKeyEnter);
    Press(kKeyCal);
    Type("31752");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectCal);
}

TEST(ValuePage, TheDatePageSetsTheFirmwareClockThroughSaveChanges) {
    BootHome();
    Press(kKeyMenu);
    Press(kKeyUp);
    Press(kKeyUp);
    Press(kKeyEnter);
    for (int i = 0; i < 4; ++i) Press(kKeyUp);
    ASSERT_EQ(Item(), "Set Date&Time");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Date(YY-MM-DD):25-06-01");
    // The separators are passed over.
    Right(2);
    EXPECT_EQ(g_ValuePageCursor, 3);
    // 30 February is no date: "Invalid Date&Time", and the clock is not touched.
    Left(2);
    Type("26");
    Right();
    Type("02");
    Right();
    Type("30");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Date&Time");
    EXPECT_EQ(g_DateEdit.changed, 0);
    Press(kKeyEnter);
    // 2031-07-04 12:30:00, then "Yes & Exit".
    Right();
    for (const char* field : {"31", "07", "04", "12", "30"}) {
        Type(field);
        Right();
    }
    Type("00");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    EXPECT_EQ(Row(11), "Save Changes Yes & Exit");
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    ClockRecord now{};
    ASSERT_EQ(Rtc_GetTime(&now), 1u);
    EXPECT_EQ(now.year, 2031);
    EXPECT_EQ(now.month, 7);
    EXPECT_EQ(now.day, 4);
    EXPECT_EQ(now.hour, 12);
    EXPECT_EQ(now.minute, 30);
}

TEST(ValuePage, OutputTestDrivesTheOutputsUntilThePageIsLeft) {
    BootHome();
    OpenPage(0xa00007);
    EXPECT_EQ(NumEdit_IsOutputCalOpen(), 1u) << "the page drives the outputs itself";
    // Tens of output 1 up: 20.50 + 10 is past 22.0 and wraps to 3.6 mA (output 1 shows a fall
    // after its half second).
    EXPECT_EQ(Row(11), "Analog out1=20.50 mA");
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Analog out1=03.60 mA");
    Rig_AdvanceMs(600);
    EXPECT_NEAR(Aout_GetShownCurrent(0), 3.6f, 0.001f);
    Press(kKeyUp);
    EXPECT_NEAR(Aout_GetShownCurrent(0), 13.6f, 0.001f);
    // Tens of output 2 down: 10.50, then below 3.6 wraps to 22.0.
    Right(4);
    ASSERT_EQ(g_ValuePageLine, 1);
    Press(kKeyInfo);
    EXPECT_NEAR(Aout_GetShownCurrent(1), 10.5f, 0.001f);
    Press(kKeyInfo);
    EXPECT_EQ(Row(12), "Analog out2=22.00 mA   $");
    // Hundredths step by 0.01 mA.
    Right(3);
    ASSERT_EQ(g_ValuePageCursor, 4);
    Press(kKeyInfo);
    EXPECT_NEAR(Aout_GetShownCurrent(1), 21.99f, 0.001f);
    // The periodic update leaves the outputs alone while the page is open.
    Rig_AdvanceMs(3000);
    EXPECT_NEAR(Aout_GetShownCurrent(1), 21.99f, 0.001f);
    // ENTER on a digit ends the test at home; the outputs follow their measurements again.
    Press(kKeyEnter);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(NumEdit_IsOutputCalOpen(), 0u);
    EXPECT_NEAR(Aout_GetShownCurrent(1), 20.5f, 0.001f) << "no value on line b: 20.5 mA";

    // ESC ends it too.
    BootHome();
    OpenPage(0xa00007);
    Press(kKeyUp);
    Key_Put(kKeyEscape);
    Rig_AdvanceMs(2100);
    EXPECT_EQ(NumEdit_IsOutputCalOpen(), 0u);
    EXPECT_NEAR(Aout_GetShownCurrent(0), 20.5f, 0.001f);
}

TEST(ValuePage, OutputTestShowsBothCurrentsWithTwoDecimals) {
    BootHome();
    Press(kKeyMenu);
    // Output 2 gives a current with a third decimal (output 1 its 20.5 mA without a value).
    Aout_WriteCurrent(1, 8.003f);
    Post(0xa00007);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(11), "Analog out1=20.50 mA");
    EXPECT_EQ(Row(12), "Analog out2=08.00 mA   $");
    // The keys step the places they show: the units of output 2 up by 1 mA.
    Right(5);
    ASSERT_EQ(g_ValuePageLine, 1);
    ASSERT_EQ(g_ValuePageCursor, 1);
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "Analog out2=09.00 mA   $");
    EXPECT_NEAR(Aout_GetShownCurrent(1), 9.0f, 0.001f);
    Press(kKeyEscape);
}

TEST(ValuePage, AlarmRelayPageNamesItsRelay) {
    BootHome();
    // The factory's alarm relay is relay 2.
    OpenPage(0x1029);
    EXPECT_EQ(Row(12).substr(0, 12), "OC2 Delay = ");
    Press(kKeyEscape);
    Rig_AdvanceMs(200);
    // With relay 1 as the alarm relay the page edits and names relay 1.
    Press(kKeyMenu);
    g_WorkSet.alarm.relay = 0;
    g_WorkSet.relays.delay[0] = 7.0f;
    OpenPage(0x1029);
    EXPECT_EQ(Row(12), "OC1 Delay = 007 sec    $");
}

TEST(ValuePage, ChainsLeadFromPageToPage) {
    BootHome();
    // Calibration pressure with the process pressure "Edit": the process pressure page follows;
    // its leave position goes back to the calibration pressure page.
    OpenPage(0xb00002);
    EXPECT_EQ(Row(11), "CalPres = 759.8 mmHg") << "1013 mbar";
    EXPECT_EQ(Row(12), "ProcPres=  Edit        $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(12).substr(0, 9), "ProcPres=");
    ToLeave();
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "CalPres = 759.8 mmHg") << "the page below redraws the calibration pressure";
    // The source "Ain" leads to the analog input's range instead; the unit choice steps.
    Right(6);
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "CalPres = 759.8 kPa") << "the value is entered in the unit chosen";
    Right();
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "ProcPres=  Ain         $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Ain 4mA = 0.000 hPa");
    EXPECT_EQ(g_SensorEdit.calPressureUnit[0], 1) << "kPa";
    EXPECT_EQ(g_WorkSet.params.pressureSource, 1);

    // The concentration table: its name, the counts, the concentrations, a row of temperature and
    // conductivities, with the table's checks.
    BootHome();
    OpenPage(0x700005);
    EXPECT_EQ(Row(12), "Unit = %Conc.          $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Temp Point = 2");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Concentration1 = 0.000");
    EXPECT_EQ(Row(12), "Concentration2 = 0.000 $");
    // Equal concentrations: "Concentration is not" / "increasing".
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Concentration is not");
    EXPECT_EQ(Row(12), "increasing             $");
    Press(kKeyEnter);
    Right();
    Type("1.000");
    Right();
    Type("2.000");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Temp1 = 0.000 °C");
    EXPECT_EQ(Row(12), "Cond_1 =     0.000µS/cm$");
}

TEST(ValuePage, SaveChangesCommitsOrDropsAndTheStoreKeepsIt) {
    std::string folder = Rig_MakeTempFolder();
    Restart(folder);
    // MENU, "Configure", "Display", "Name": the first line's name, by keys.
    auto openNames = []() {
        Press(kKeyMenu);
        Press(kKeyUp);
        Press(kKeyEnter);
        // "VDX Setup" is passed over on channel A.
        for (int i = 0; i < 4; ++i) Press(kKeyUp);
        ASSERT_EQ(Item(), "Display");
        Press(kKeyEnter);
        for (int i = 0; i < 3; ++i) Press(kKeyUp);
        ASSERT_EQ(Item(), "Name");
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    };
    openNames();
    EXPECT_EQ(Row(11), "Name 1=");
    Type("TANK 7");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    EXPECT_EQ(Row(11), "Save Changes Yes & Exit");
    EXPECT_EQ(std::string(g_SystemSettings.name[0], 6), "      ") << "nothing live before the answer";
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(std::string(g_SystemSettings.name[0], 8), "TANK 7  ");

    // A restart finds it in the store, and the page shows it.
    Restart(folder);
    EXPECT_EQ(std::string(g_SystemSettings.name[0], 8), "TANK 7  ");
    openNames();
    EXPECT_EQ(Row(11), "Name 1= TANK 7");

    // Another name answered "No & Exit": dropped, the store keeps the saved one.
    Type("PUMP");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    Press(kKeyUp);
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Save Changes No & Exit");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(std::string(g_SystemEdit.name[0], 8), "TANK 7  ") << "the working set is the live set again";
    Restart(folder);
    EXPECT_EQ(std::string(g_SystemSettings.name[0], 8), "TANK 7  ");
}

TEST(ValuePage, PanelClockShowsTheClockTheDatePageSet) {
    BootHome();
    ClockRecord set{2033, 3, 9, 0, 8, 7, 6};
    g_DateEdit.changed = 1;
    g_DateEdit.date = set;
    uint32_t status = 0;
    Settings_CommitSystem(&status);
    EXPECT_EQ(g_ClockChanged.load(), 1u);
    // The panel's second: the program's clock takes the firmware's, which the panel shows.
    EXPECT_EQ(Panel_ClockSecond().substr(0, 16), "2033/03/09,08:07");
    EXPECT_EQ(g_ClockChanged.load(), 0u);
    Plat_ResetLocalTime();
}
