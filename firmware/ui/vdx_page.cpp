// Digital sensor pages on rows 11 and 12: the sensor's identity, its calibration data sets, its
// timers and cycle counters, its maximum temperature, the cycle set-up, the calibration values of
// a channel and the optical sensor's error list.
#include "ui/vdx_page.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/fmt.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/param.h"
#include "core/texts.h"
#include "core/ui_ids.h"
#include "core/util.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_diag_opt.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/ph.h"
#include "measurement/units.h"
#include "settings/settings_sensor.h"
#include "ui/menu.h"
#include "ui/param_page.h"
#include "ui/screens.h"
#include "ui/value_catalogue.h"
#include "ui/value_page.h"

// The pages show channel B's digital sensor.
static constexpr uint32_t kChannelB = 1;
static constexpr uint32_t kRow11 = kRowStatus;
static constexpr uint32_t kRow12 = kRowMessage;
static constexpr uint32_t kChar = 6;  // columns of one character

// Units the pages draw behind their values, the same in every language ("{" is the display
// font's micro sign, "@" its degree sign).
static const char kUnitPercent[] = "%";
static const char kUnitMvPerPh[] = "mV/pH";
static const char kUnitPh[] = "pH";
static const char kUnitMv[] = "mV";
static const char kUnitNanoAmpere[] = "nA";
static const char kUnitMicroAmpere[] = "{A";
static const char kLineLetterSensor[] = "P";
static const char kLineLetterTemperature[] = "S";
static const char kMaxTempLabel[] = "Tmax";
static constexpr uint32_t kUnitCodeCelsius = 11;

// The shared page-item byte (the view, data set or timer shown) and the channel of the page.
static uint8_t s_PageItem;
static uint8_t s_PageChannel;

// ---- Field drawers ---------------------------------------------------------------------------------

// As many decimals as width allows; a "." behind a whole number that leaves room.
static void FormatToWidth(float value, uint32_t width, char* text) {
    // A field of no width shows nothing (and the loop below would leave the text unwritten).
    text[0] = '\0';
    if (width == 0) return;
    uint32_t n = 0;
    for (int32_t decimals = static_cast<int32_t>(width) - 1; decimals >= 0; --decimals) {
        n = Util_FloatToText(value, 255, static_cast<uint32_t>(decimals), text);
        if (n <= width) break;
    }
    // A negative value that rounds to zero is shown as a zero is, with a zero's decimals.
    if (value < 0.0f && text[0] != '-') {
        FormatToWidth(0.0f, width, text);
        return;
    }
    if (n < width && std::strchr(text, '.') == nullptr) {
        text[n] = '.';
        text[n + 1] = '\0';
    }
}

static uint32_t DrawLimitedField(uint32_t row, uint32_t column, float value, uint32_t width, float upper, float lower) {
    char text[kNumberTextMax + 2];
    if (width > kNumberTextMax) width = kNumberTextMax;
    if (std::isnan(value) || value > upper || value < lower) {
        std::memset(text, value < lower ? '_' : '*', width);
        text[width] = '\0';
    } else {
        FormatToWidth(value, width, text);
    }
    return Lcd_DrawText(row, column, text);
}

uint32_t VdxPage_DrawPercentField(uint32_t row, uint32_t column, float value, uint32_t width) {
    return DrawLimitedField(row, column, value, width, 99.95f, -99.95f);
}

uint32_t VdxPage_DrawField110(uint32_t row, uint32_t column, float value, uint32_t width) {
    return DrawLimitedField(row, column, value, width, 110.0f, -110.0f);
}

uint32_t VdxPage_DrawField999(uint32_t row, uint32_t column, float value, uint32_t width) {
    return DrawLimitedField(row, column, value, width, 999.9f, -99.9f);
}

uint32_t VdxPage_DrawFieldPh(uint32_t row, uint32_t column, float value, uint32_t width) {
    return DrawLimitedField(row, column, value, width, 14.0f, 0.0f);
}

uint32_t VdxPage_DrawFieldWide5(uint32_t row, uint32_t column, float value, uint32_t width) {
    bool narrow = width < 5;
    return DrawLimitedField(row, column, value, width, narrow ? 0.0f : 99999.0f, narrow ? -999.44f : -99999.0f);
}

uint32_t VdxPage_DrawFieldTen(uint32_t row, uint32_t column, float value, uint32_t width) {
    bool narrow = width < 5;
    return DrawLimitedField(row, column, value, width, narrow ? 9.9905f : 99999.0f, narrow ? -9.95f : -99999.0f);
}

uint32_t VdxPage_DrawPercentField2(uint32_t row, uint32_t column, float value, uint32_t width) {
    return DrawLimitedField(row, column, value, width, 99.99f, -99.99f);
}

uint32_t VdxPage_DrawWideField(uint32_t row, uint32_t column, float value) {
    static constexpr uint32_t kWidth = 6;
    static constexpr uint32_t kPrefixOffset = 36;
    static constexpr float kUpper = 1e6f;
    static constexpr float kLower = -1e5f;
    if (std::isnan(value) || value > kUpper || value < kLower) {
        return DrawLimitedField(row, column, value, kWidth, kUpper, kLower);
    }
    uint8_t prefix = kPrefixUnits;
    float scaled = Fmt_ValueWithPrefix(value, &prefix);
    uint32_t n = DrawLimitedField(row, column, scaled, kWidth, kUpper, kLower);
    Fmt_DrawUnitString(row, column + kPrefixOffset, 0, prefix);
    return n;
}

// ---- Shared pieces --------------------------------------------------------------------------------

static void BeginPage() {
    Menu_BlinkOff();
    Lcd_FillStatusRows(0);
    g_DisplayMode = kKeyModeMenu;
}

static bool IsUp(uint32_t event) { return event == kEventUp || event == kEventUpRepeat; }
static bool IsDown(uint32_t event) { return event == kEventDown || event == kEventDownRepeat; }

static int32_t Leave() { return static_cast<int32_t>(kActionBackToFirst); }

// A whole number right-aligned in width characters.
static uint32_t DrawCount(uint32_t row, uint32_t column, uint32_t value, uint32_t width) {
    char text[kNumberTextMax + 1];
    Util_FloatToText(static_cast<float>(value), 255, 0, text);
    Text_RightJustify(text, width);
    return Lcd_DrawText(row, column, text);
}

// ---- Sensor information ----------------------------------------------------------------------------

void VdxPage_DrawSensorInfo(uint32_t item) {
    static constexpr uint32_t kTypeColumn = 24;      // "Type:" behind "ChB "
    static constexpr uint32_t kTypeTextOffset = 36;  // the type text behind "Type: "
    static constexpr uint32_t kDateColumn = 60;
    static constexpr uint32_t kNumberColumn = 66;
    static constexpr uint32_t kNumberDigits = 8;
    s_PageItem = static_cast<uint8_t>(item);
    BeginPage();
    char text[kNumberTextMax + 1];
    if (item == 0 || item == 2) {
        Lcd_DrawTextRef(kRow11, 0, Text_Nth(kTextPlugTexts, 5));  // "ChB"
        Lcd_DrawTextRef(kRow11, kTypeColumn, kTextTypeLabel);
        char type[kVdxTypeTextMax + 1] = {};
        if (Vdx_GetTypeText(kChannelB, type) == 0) std::strcpy(type, "N/A");
        Lcd_DrawText(kRow11, kTypeColumn + kTypeTextOffset, type);
        Lcd_DrawTextRef(kRow12, 0, kTextCalDateLabel);
        Cal_GetDataSetDateText(kChannelB, kCalSetActual, text);
        Lcd_DrawText(kRow12, kDateColumn, text);
    } else {
        Lcd_DrawTextRef(kRow11, 0, kTextSerialNoLabel);
        Util_UIntToDecimal(Vdx_GetSerialNumber(kChannelB), kNumberDigits, text);
        Lcd_DrawText(kRow11, kNumberColumn, text);
        Lcd_DrawTextRef(kRow12, 0, kTextPartNoLabel);
        Util_UIntToDecimal(Vdx_GetPartNumber(kChannelB), kNumberDigits, text);
        Lcd_DrawText(kRow12, kNumberColumn, text);
    }
}

int32_t VdxPage_SensorInfoKey(uint32_t event) {
    if (event == kEventEnter) return Leave();
    uint32_t item = s_PageItem;
    if (IsUp(event)) {
        item = item >= 3 ? 2 : item + 1;
    } else if (IsDown(event)) {
        item = item < 3 ? 3 : item - 1;
    } else {
        return -1;
    }
    VdxPage_DrawSensorInfo(item);
    return -1;
}

// ---- Calibration data sets --------------------------------------------------------------------------

static bool CalSetPresent(uint32_t channel, uint32_t set) {
    CalDataSetView view;
    return Cal_GetDataSet(channel, set, &view) != 0;
}

uint32_t VdxPage_NextCalDataSet(uint32_t set) {
    for (uint32_t n = set + 1; n < kCalSetCount; ++n) {
        if (CalSetPresent(s_PageChannel, n)) return n;
    }
    for (uint32_t n = 0; n <= set && n < kCalSetCount; ++n) {
        if (CalSetPresent(s_PageChannel, n)) return n;
    }
    return set;
}

uint32_t VdxPage_PrevCalDataSet(uint32_t set) {
    for (uint32_t n = set; n > 0; --n) {
        if (CalSetPresent(s_PageChannel, n - 1)) return n - 1;
    }
    for (uint32_t n = kCalSetCount; n > set; --n) {
        if (CalSetPresent(s_PageChannel, n - 1)) return n - 1;
    }
    return set;
}

void VdxPage_OpenCalData(uint32_t set, uint32_t channel) {
    s_PageItem = static_cast<uint8_t>(set < kCalSetCount ? set : 0);
    s_PageChannel = static_cast<uint8_t>(channel < 2 ? channel : kChannelB);
    VdxPage_DrawCalData();
}

void VdxPage_DrawCalData() {
    static constexpr uint32_t kDateColumn = 30;
    static constexpr uint32_t kLabelColumn = 84;
    static constexpr uint32_t kValueColumn = 96;
    static constexpr uint32_t kUnitColumn = 126;
    static constexpr uint32_t kPhZeroLabelColumn = 72;
    static constexpr uint32_t kOpticalP100Column = 114;
    static constexpr uint32_t kOpticalP0Column = 102;
    const uint32_t channel = s_PageChannel;
    const uint32_t set = s_PageItem;
    BeginPage();
    Lcd_DrawTextRef(kRow11, 0, Text_Nth(kTextCalSetNames, set));
    char text[kNumberTextMax + 1];
    Cal_GetDataSetDateText(channel, set, text);
    Lcd_DrawText(kRow11, kDateColumn, text);
    CalDataSetView view;
    Cal_GetDataSet(channel, set, &view);
    switch (g_SensorMemLayout[channel]) {
        case kLayoutPh: {
            uint32_t column = kChar * Lcd_DrawTextRef(kRow12, 0, Text_Nth(kTextCalValueLabels, 0));  // "S="
            if (CalPh_GetSlopeUnitFlag(0) == 1) {
                column += kChar * VdxPage_DrawPercentField(kRow12, column, view.slopeMv, 5);
                Lcd_DrawText(kRow12, column, kUnitMvPerPh);
            } else {
                column += kChar * VdxPage_DrawField110(kRow12, column, view.slope, 5);
                Lcd_DrawText(kRow12, column, kUnitPercent);
            }
            column = kPhZeroLabelColumn;
            column += kChar * Lcd_DrawTextRef(kRow12, column, Text_Nth(kTextCalValueLabels, 1));  // "Z="
            if (CalPh_GetOffsetUnitFlag(0) == 1) {
                column += kChar * VdxPage_DrawField999(kRow12, column, view.offsetMv, 5);
                Lcd_DrawText(kRow12, column, kUnitMv);
            } else {
                column += kChar * VdxPage_DrawFieldPh(kRow12, column, view.zero, 5);
                Lcd_DrawText(kRow12, column, kUnitPh);
            }
            break;
        }
        case kLayoutOxygen: {
            bool gauge = g_SensorKindActive[channel] == kKindO2Gauge;
            Lcd_DrawTextRef(kRow11, kLabelColumn, Text_Nth(kTextCalValueLabels, 1));  // "Z="
            VdxPage_DrawFieldTen(kRow11, kValueColumn, view.zero, 5);
            Lcd_DrawText(kRow11, kUnitColumn, kUnitNanoAmpere);
            Lcd_DrawTextRef(kRow12, kLabelColumn, Text_Nth(kTextCalValueLabels, 0));  // "S="
            VdxPage_DrawFieldWide5(kRow12, kValueColumn, gauge ? view.slope / 1000.0f : view.slope, 5);
            Lcd_DrawText(kRow12, kUnitColumn, gauge ? kUnitMicroAmpere : kUnitNanoAmpere);
            break;
        }
        case kLayoutCond:
            Lcd_DrawTextRef(kRow11, kLabelColumn, Text_Nth(kTextCalValueLabels, 4));  // "M="
            VdxPage_DrawWideField(kRow11, kValueColumn, view.slope);
            Lcd_DrawTextRef(kRow12, kLabelColumn, Text_Nth(kTextCalValueLabels, 5));  // "A="
            VdxPage_DrawWideField(kRow12, kValueColumn, view.zero);
            break;
        case kLayoutProtocol:
            if (g_ChannelKind[channel] == kKindO2Optical) {
                uint32_t column = kLabelColumn;
                column += kChar * Lcd_DrawTextRef(kRow11, column, Text_Nth(kTextCalValueLabels, 9));  // "P100="
                VdxPage_DrawPercentField2(kRow11, kOpticalP100Column, view.slope, 4);
                Lcd_DrawTextRef(kRow12, kLabelColumn, Text_Nth(kTextCalValueLabels, 10));  // "P0="
                VdxPage_DrawPercentField2(kRow12, kOpticalP0Column, view.zero, 4);
            }
            break;
        default:
            break;
    }
}

int32_t VdxPage_CalDataKey(uint32_t event) {
    if (event == kEventEnter) return Leave();
    if (IsUp(event)) {
        s_PageItem = static_cast<uint8_t>(VdxPage_NextCalDataSet(s_PageItem));
    } else if (IsDown(event)) {
        s_PageItem = static_cast<uint8_t>(VdxPage_PrevCalDataSet(s_PageItem));
    } else {
        return -1;
    }
    VdxPage_DrawCalData();
    return -1;
}

// ---- Cycle counters -------------------------------------------------------------------------------

void VdxPage_DrawCycles(uint32_t counter, uint32_t channel) {
    static constexpr uint32_t kCountColumn = 78;
    static constexpr uint32_t kOfColumn = 102;
    static constexpr uint32_t kLimitColumn = 120;
    static constexpr uint32_t kDigits = 3;
    if (counter >= kCycleKinds) return;
    if (channel > 1) channel = kChannelB;
    BeginPage();
    uint32_t column = kChar * Lcd_DrawTextRef(kRow11, 0, Text_Nth(kTextPlugTexts, 5)) + kChar;  // "ChB "
    uint32_t count = 0, limit = 0;
    if (counter == kCycleAutoclave) {
        Lcd_DrawTextRef(kRow11, column, Text_Nth(kTextCycleNames, 2));  // "AutoClave"
        Lcd_DrawTextRef(kRow12, 0, kTextCycles);
        count = SensDiag_GetAutoclaveCount(channel);
        limit = SensDiag_GetAutoclaveCycleLimit(channel);
    } else {
        Lcd_DrawTextRef(kRow12, 0, Text_Nth(kTextCycleNames, counter));  // "CIP Cycles", "SIP Cycles"
        count = counter == kCycleCip ? SensDiag_GetCipCount(channel) : SensDiag_GetSipCount(channel);
        limit = counter == kCycleCip ? SensDiag_GetCipCycleLimit(channel) : SensDiag_GetSipCycleLimit(channel);
    }
    DrawCount(kRow12, kCountColumn, count, kDigits);
    Lcd_DrawTextRef(kRow12, kOfColumn, Text_Nth(kTextCalValueLabels, 6));  // "of"
    DrawCount(kRow12, kLimitColumn, limit, kDigits);
}

// ---- Timers -------------------------------------------------------------------------------------

// Items 0..2 need their alarm switched on and enabled; the operating time is always offered.
static bool TimerOffered(uint32_t item) {
    static const uint32_t kAlarms[3] = {kDiagAlarmLifetime, kDiagAlarmTtm, kDiagAlarmAct};
    static const uint32_t kEnableBits[3] = {kDiagEnableLifetime, kDiagEnableTtm, kDiagEnableAct};
    if (item >= kSensorTimerOperating) return item == kSensorTimerOperating;
    return g_SensDiagAlarms[kAlarms[item]].off == 0 && (SensDiag_GetCycleAlarmEnable() & kEnableBits[item]) != 0;
}

uint32_t VdxPage_NextTimer(uint32_t item) {
    for (uint32_t step = 1; step <= 4; ++step) {
        uint32_t next = (item + step) % 4;
        if (TimerOffered(next)) return next;
    }
    return kSensorTimerOperating;
}

uint32_t VdxPage_PrevTimer(uint32_t item) {
    for (uint32_t step = 1; step <= 4; ++step) {
        uint32_t previous = (item + 4 - step % 4) % 4;
        if (TimerOffered(previous)) return previous;
    }
    return kSensorTimerOperating;
}

static float TimerPercent(uint32_t channel, uint32_t item) {
    float percent = 0.0f;
    switch (item) {
        case kSensorTimerLifetime:
            percent = SensDiag_CalcLifetimePercent(channel);
            break;
        case kSensorTimerMaint:
            percent = SensDiag_CalcTimeToMaintPercent(channel);
            break;
        default:
            percent = SensDiag_CalcActPercent(channel);
            break;
    }
    if (std::isnan(percent) || percent < 0.0f) return 0.0f;
    return percent >= 100.0f ? 100.0f : percent;
}

void VdxPage_DrawTimers(uint32_t channel, uint32_t item) {
    static constexpr uint32_t kPercentColumn = 114;
    if (channel > 1) channel = kChannelB;
    if (item > kSensorTimerOperating || !TimerOffered(item)) {
        item = VdxPage_NextTimer(item > kSensorTimerOperating ? kSensorTimerOperating : item);
    }
    s_PageItem = static_cast<uint8_t>(item);
    s_PageChannel = static_cast<uint8_t>(channel);
    BeginPage();
    Screen_DrawSensorTimerLine(channel, item, 0);
    if (item < kSensorTimerOperating) {
        float percent = TimerPercent(channel, item);
        uint32_t whole = static_cast<uint32_t>(percent + 0.5f);
        Lcd_DrawBarGraph(kRow12, whole);
        uint32_t column = kPercentColumn + kChar * DrawCount(kRow12, kPercentColumn, whole, 3);
        Lcd_DrawText(kRow12, column, kUnitPercent);
    }
}

int32_t VdxPage_TimersKey(uint32_t event) {
    if (event == kEventEnter) return Leave();
    if (IsUp(event)) {
        VdxPage_DrawTimers(s_PageChannel, VdxPage_NextTimer(s_PageItem));
    } else if (IsDown(event)) {
        VdxPage_DrawTimers(s_PageChannel, VdxPage_PrevTimer(s_PageItem));
    }
    return -1;
}

// ---- Maximum temperature -------------------------------------------------------------------------

void VdxPage_DrawMaxTemp() {
    static constexpr uint32_t kValueColumn = 30;
    static constexpr uint32_t kDateColumn = 72;
    BeginPage();
    Lcd_DrawTextRef(kRow11, 0, kTextMaxTemperatureTitle);
    Lcd_DrawText(kRow12, 0, kMaxTempLabel);
    char text[kNumberTextMax + 1];
    Util_FloatToText(SensDiag_GetMaxTemperature(kChannelB), 255, 2, text);
    uint32_t column = kValueColumn + kChar * Lcd_DrawText(kRow12, kValueColumn, text);
    column += kChar * Lcd_DrawText(kRow12, column, Unit_GetText(kUnitCodeCelsius));
    if (g_SensorProtoFlag[kChannelB] != 1) {
        // A maximum of 100 degrees or more pushes the date right rather than under its unit.
        Chan_FormatMaxTempDate(kChannelB, text);
        Lcd_DrawText(kRow12, column + kChar > kDateColumn ? column + kChar : kDateColumn, text);
    }
}

int32_t VdxPage_MaxTempKey(uint32_t event) { return event == kEventEnter ? Leave() : -1; }

// ---- Cycle set-up -------------------------------------------------------------------------------------

// Cursor positions: 0..2 the limit's characters, 3..5 the temperature's, 6 and 7 the parameter
// page's fields on row 12, 8 the leave position.
static constexpr uint32_t kSetupLimitFirst = 0;
static constexpr uint32_t kSetupTempFirst = 3;
static constexpr uint32_t kSetupFieldFirst = 6;
static constexpr uint32_t kSetupLeave = 8;
static constexpr uint32_t kSetupDigits = 3;

// Row 11 columns of the set-up's value page in the language shown: the limit, the "Temp" label,
// the temperature.
struct SetupColumns {
    uint32_t limit;
    uint32_t tempLabel;
    uint32_t temp;
};

struct SetupState {
    uint8_t page;
    uint8_t cursor;
    char limit[kSetupDigits + 1];
    char temp[kSetupDigits + 1];
};
static SetupState s_Setup;

uint32_t VdxPage_IsEditableLine(uint32_t line) { return line == 0 || s_Setup.page != kCycleAutoclave ? 1 : 0; }

static SetupColumns SetupColumnsShown() {
    uint32_t page = kValuePageCipSetup + s_Setup.page;
    uint32_t language = Menu_Language();
    return SetupColumns{ValuePage_ValueColumn(page, 0, language), g_ValuePageTable[page].labelColumn[0],
                        ValuePage_ValueColumn(page, 1, language)};
}

static void DrawSetupPlace(uint32_t cursor, uint32_t blink) {
    const SetupColumns c = SetupColumnsShown();
    if (cursor < kSetupTempFirst) {
        Lcd_DrawEditChar(kRow11, c.limit, s_Setup.limit, cursor - kSetupLimitFirst, blink);
    } else if (cursor < kSetupFieldFirst) {
        Lcd_DrawEditChar(kRow11, c.temp, s_Setup.temp, cursor - kSetupTempFirst, blink);
    } else if (cursor < kSetupLeave) {
        if (blink) ParamPage_SelectField(cursor - kSetupFieldFirst + 2);
    } else {
        Lcd_DrawChannelMark(kLeaveMarkChannel, blink);
    }
}

static void LoadSetupValues() {
    uint32_t limit = 0;
    float temp = 0.0f;
    switch (s_Setup.page) {
        case kCycleCip:
            limit = SensDiag_GetCipCycleLimit(kChannelB);
            temp = SensDiag_GetCipTempLimit(kChannelB);
            break;
        case kCycleSip:
            limit = SensDiag_GetSipCycleLimit(kChannelB);
            temp = SensDiag_GetSipTempLimit(kChannelB);
            break;
        default:
            limit = SensDiag_GetAutoclaveCycleLimit(kChannelB);
            break;
    }
    char text[kNumberTextMax + 1];
    Util_FloatToText(static_cast<float>(limit), kSetupDigits, 0, text);
    std::memcpy(s_Setup.limit, text, kSetupDigits);
    s_Setup.limit[kSetupDigits] = '\0';
    Util_FloatToText(temp, kSetupDigits, 0, text);
    std::memcpy(s_Setup.temp, text, kSetupDigits);
    s_Setup.temp[kSetupDigits] = '\0';
}

void VdxPage_DrawSetup(uint32_t page, uint32_t mode) {
    s_Setup.page = static_cast<uint8_t>(page < 3 ? page : 0);
    LoadSetupValues();
    BeginPage();
    // The set-up's alarm page: the CIP, SIP and autoclave pages stand in that order.
    ParamPage_Open(kParamPageCipAlarm + s_Setup.page, 0);
    Menu_BlinkOff();
    const SetupColumns c = SetupColumnsShown();
    Lcd_DrawText(kRow11, c.limit, s_Setup.limit);
    if (VdxPage_IsEditableLine(1)) {
        Lcd_DrawTextRef(kRow11, c.tempLabel, kTextTempLabel);
        Lcd_DrawText(kRow11, c.temp, s_Setup.temp);
    }
    Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
    s_Setup.cursor = static_cast<uint8_t>(mode == 1 ? kSetupLeave : kSetupLimitFirst);
    DrawSetupPlace(s_Setup.cursor, 1);
    g_DisplayMode = kKeyModeMenu;
}

static uint32_t StepSetupCursor(uint32_t cursor, bool forward) {
    bool autoclave = s_Setup.page == kCycleAutoclave;
    if (forward) {
        if (cursor >= kSetupLeave) return 0;
        return autoclave && cursor == kSetupTempFirst - 1 ? kSetupFieldFirst : cursor + 1;
    }
    if (cursor == 0) return kSetupLeave;
    return autoclave && cursor == kSetupFieldFirst ? kSetupTempFirst - 1 : cursor - 1;
}

// A digit of a whole number: '0' to '9', wrapping at both ends.
static void StepDigit(char* c, bool up) {
    if (*c < '0' || *c > '9') *c = '0';
    if (up) {
        *c = *c == '9' ? '0' : static_cast<char>(*c + 1);
    } else {
        *c = *c == '0' ? '9' : static_cast<char>(*c - 1);
    }
}

static int32_t AcceptSetup() {
    static constexpr float kLimitMax = 254.0f;
    static constexpr float kCipTempLow = 29.9f, kCipTempHigh = 100.1f;
    static constexpr float kSipTempLow = 89.9f, kSipTempHigh = 130.1f;
    float limit = std::strtof(s_Setup.limit, nullptr);
    float temp = std::strtof(s_Setup.temp, nullptr);
    ParamPage_ApplyValues(&g_PageEdit);
    if (limit > kLimitMax) {
        ValuePage_ShowInvalid(kInvalidMaxValue);
        return -1;
    }
    if ((s_Setup.page == kCycleCip && !(temp > kCipTempLow && temp < kCipTempHigh)) ||
        (s_Setup.page == kCycleSip && !(temp > kSipTempLow && temp < kSipTempHigh))) {
        ValuePage_ShowInvalid(kInvalidValue);
        return -1;
    }
    // Into the edit copy, as every page's values: "Save Changes" hands them to the diagnostics,
    // and a change that is dropped never reaches them.
    float values[2] = {limit, temp};
    ValuePage_Store(kScreenValuePage, kValuePageCipSetup + s_Setup.page, values);
    // An alarm that would switch a relay the PID pulses asks first whether to stop it there.
    bool leave = s_Setup.cursor == kSetupLeave;
    if (ParamPage_AskStopRelay(kParamPageCipAlarm + s_Setup.page, leave ? 0 : 2)) {
        return static_cast<int32_t>(kActionStopRelayAskedPage);
    }
    return static_cast<int32_t>(leave ? kActionBack : kActionAskSave);
}

int32_t VdxPage_SetupKey(uint32_t event) {
    if (event == kEventRedraw) {
        VdxPage_DrawSetup(s_Setup.page, 1);
        return -1;
    }
    if (event == kEventEnter) return AcceptSetup();
    if (event == kEventLeft || event == kEventRight) {
        DrawSetupPlace(s_Setup.cursor, 0);
        s_Setup.cursor = static_cast<uint8_t>(StepSetupCursor(s_Setup.cursor, event == kEventRight));
        DrawSetupPlace(s_Setup.cursor, 1);
        return -1;
    }
    if (IsUp(event) || IsDown(event)) {
        uint32_t cursor = s_Setup.cursor;
        if (cursor < kSetupTempFirst) {
            StepDigit(&s_Setup.limit[cursor - kSetupLimitFirst], IsUp(event));
        } else if (cursor < kSetupFieldFirst) {
            StepDigit(&s_Setup.temp[cursor - kSetupTempFirst], IsUp(event));
        } else if (cursor < kSetupLeave) {
            return ParamPage_EditKey(event, &g_PageEdit);
        } else {
            return -1;
        }
        DrawSetupPlace(cursor, 1);
    }
    return -1;
}

// ---- Calibration values of a channel ------------------------------------------------------------

// The sensor-kind selector of a configured kind's slope and zero.
static uint32_t KindSelector(uint32_t kind) {
    if (kind <= kKindPhPna) return 0;
    if (kind <= kKindCond4) return 2;
    if (kind <= kKindO2Gauge) return 3;
    return kind == kKindO2Optical ? 8 : 13;
}

static constexpr uint32_t kParamSlope = 7;
static constexpr uint32_t kParamZero = 8;
static constexpr uint32_t kSelectorTemperature = 6;

void VdxPage_OpenCalHistory(uint32_t channel) {
    s_PageChannel = static_cast<uint8_t>(channel < 2 ? channel : 0);
    s_PageItem = 0;
    VdxPage_DrawCalHistory(s_PageChannel);
}

// "Offset" and the channel's ORP offset in whole mV; the value stands one cell behind the word,
// whose length differs by language.
static void DrawOrpOffsetView(uint32_t channel) {
    static constexpr uint32_t kLabelColumn = 18;
    Lcd_DrawTextRef(kRow11, 0, Text_Nth(kTextChannelLetters, channel));
    uint32_t column = kLabelColumn + kChar * Lcd_DrawTextRef(kRow11, kLabelColumn, Text_Nth(kTextCalTypeWords, 1));
    char text[kNumberTextMax + 1];
    Util_FloatToText(std::round(Meas_GetOrpOffset(channel)), 255, 0, text);
    column += kChar;
    column += kChar * Lcd_DrawText(kRow11, column, text);
    Lcd_DrawText(kRow11, column + kChar, kUnitMv);
}

void VdxPage_DrawCalHistory(uint32_t channel) {
    static constexpr uint32_t kLetterColumn = 6;
    static constexpr uint32_t kLabelColumn = 18;
    static constexpr uint32_t kSlopeColumn = 30;
    static constexpr uint32_t kZeroLabelColumn = 84;
    static constexpr uint32_t kZeroColumn = 96;
    static constexpr uint32_t kO2SlopeUnitColumn = 66;
    static constexpr uint32_t kO2ZeroUnitColumn = 132;
    static constexpr uint32_t kOpticalSlopeColumn = 48;
    static constexpr uint32_t kOpticalZeroColumn = 102;
    if (channel > 1) channel = 0;
    BeginPage();
    if (s_PageItem == 1) {
        DrawOrpOffsetView(channel);
        return;
    }
    const uint32_t kind = g_ChannelKind[channel];
    const uint32_t selector = KindSelector(kind);
    uint32_t status = 0;
    float slope = Param_GetFloat(channel, kParamSlope, selector, &status);
    float zero = Param_GetFloat(channel, kParamZero, selector, &status);
    Lcd_DrawTextRef(kRow11, 0, Text_Nth(kTextChannelLetters, channel));
    Lcd_DrawText(kRow11, kLetterColumn, kLineLetterSensor);
    if (g_SensorKindActive[kChannelB] == kKindO2Optical) {
        Lcd_DrawTextRef(kRow11, kLabelColumn, Text_Nth(kTextCalValueLabels, 9));  // "P100="
        VdxPage_DrawPercentField2(kRow11, kOpticalSlopeColumn, slope, 4);
        Lcd_DrawTextRef(kRow11, kZeroLabelColumn, Text_Nth(kTextCalValueLabels, 10));  // "P0="
        VdxPage_DrawPercentField2(kRow11, kOpticalZeroColumn, zero, 4);
        return;
    }
    bool electrode = kind == kKindPh || kind == kKindPhPna || kind == kKindCo2;
    bool cond = kind == kKindCond2 || kind == kKindCond4;
    uint32_t s = electrode && CalPh_GetSlopeUnitFlag(0) == 1 ? 6 : 0;
    Lcd_DrawTextRef(kRow11, kLabelColumn, Text_Nth(kTextCalValueLabels, cond ? 4 : 0));  // "M=" / "S="
    Lcd_DrawTextRef(kRow11, cond ? kZeroLabelColumn : kZeroLabelColumn + s,
                    Text_Nth(kTextCalValueLabels, cond ? 5 : 1));  // "A=" / "Z="
    if (electrode) {
        uint32_t column = kSlopeColumn;
        if (CalPh_GetSlopeUnitFlag(0) == 1) {
            column += kChar * VdxPage_DrawPercentField(kRow11, column, slope, 4);
            Lcd_DrawText(kRow11, column, kUnitMvPerPh);
        } else {
            column += kChar * VdxPage_DrawField110(kRow11, column, slope, 5);
            Lcd_DrawText(kRow11, column, kUnitPercent);
        }
        column = kZeroColumn + s;
        if (CalPh_GetOffsetUnitFlag(0) == 1) {
            column += kChar * VdxPage_DrawField999(kRow11, column, zero, 5);
            Lcd_DrawText(kRow11, column, kUnitMv);
        } else {
            column += kChar * VdxPage_DrawFieldPh(kRow11, column, zero, 5);
            Lcd_DrawText(kRow11, column, kUnitPh);
        }
    } else if (Chan_IsMeasuringKindO2(kind)) {
        VdxPage_DrawFieldWide5(kRow11, kSlopeColumn, slope, 6);
        Lcd_DrawText(kRow11, kO2SlopeUnitColumn, kUnitNanoAmpere);
        VdxPage_DrawFieldTen(kRow11, kZeroColumn, zero, 6);
        Lcd_DrawText(kRow11, kO2ZeroUnitColumn, kUnitNanoAmpere);
    } else {
        VdxPage_DrawWideField(kRow11, kSlopeColumn, slope);
        VdxPage_DrawWideField(kRow11, kZeroColumn, zero);
    }
    float tempSlope = Param_GetFloat(channel, kParamSlope, kSelectorTemperature, &status);
    float tempOffset = Param_GetFloat(channel, kParamZero, kSelectorTemperature, &status);
    Lcd_DrawTextRef(kRow12, 0, Text_Nth(kTextChannelLetters, channel));
    Lcd_DrawText(kRow12, kLetterColumn, kLineLetterTemperature);
    Lcd_DrawTextRef(kRow12, kLabelColumn, Text_Nth(kTextCalValueLabels, 4));  // "M="
    VdxPage_DrawWideField(kRow12, kSlopeColumn, tempSlope);
    Lcd_DrawTextRef(kRow12, kZeroLabelColumn, Text_Nth(kTextCalValueLabels, 5));  // "A="
    VdxPage_DrawWideField(kRow12, kZeroColumn, tempOffset);
}

int32_t VdxPage_CalHistoryKey(uint32_t event) {
    if (event == kEventEnter) return Leave();
    bool offsetView =
        s_PageChannel == kChannelB && (g_ChannelKind[kChannelB] == kKindPh || g_ChannelKind[kChannelB] == kKindPhPna);
    if (offsetView && (IsUp(event) || IsDown(event))) {
        s_PageItem = s_PageItem == 0 ? 1 : 0;
        VdxPage_DrawCalHistory(s_PageChannel);
    }
    return -1;
}

// ---- Optical sensor errors ----------------------------------------------------------------------

struct OptListState {
    uint8_t items[kOptListMax];
    uint8_t count;
    uint8_t index;
    uint8_t field;  // 0 the list entry, 1 the channel mark
};
static OptListState s_Opt;

static void RebuildOptList() {
    s_Opt.count = static_cast<uint8_t>(SensDiag_ListOptItems(s_Opt.items));
    if (s_Opt.index >= s_Opt.count) s_Opt.index = 0;
}

// The spot and the board sit at the process temperature: both read channel B's measured
// temperature, which the simulated sensor takes from the panel's temperature input.
static float OptTemperature(uint32_t) { return g_Measurement[kChannelB].temperature; }

void VdxPage_DrawOptErrorLine(uint32_t item) {
    static constexpr uint32_t kUnitOffset = 30;
    static constexpr uint32_t kListWidth = 138;
    Lcd_ClearSpan(kRow12, 0, kListWidth);
    TextRef text = Text_Nth(kTextOptErrorTexts, item);
    uint32_t column =
        kChar * (s_Opt.field == 0 ? Lcd_DrawTextRefBlink(kRow12, 0, text) : Lcd_DrawTextRef(kRow12, 0, text));
    if (item == kOptItemTspot || item == kOptItemTboard) {
        // One blank behind the text: each redraw of the blinking text clears the column after it,
        // which would cut the first column off a value that touched it.
        column += kChar;
        char value[kNumberTextMax + 1];
        Util_FloatToText(OptTemperature(item), 255, 1, value);
        Lcd_DrawText(kRow12, column, value);
        Lcd_DrawText(kRow12, column + kUnitOffset, Unit_GetText(kUnitCodeCelsius));
    }
    Lcd_DrawChannelMark(kLeaveMarkChannel, s_Opt.field == 1 ? 1 : 0);
}

void VdxPage_DrawOptErrors(uint32_t item) {
    RebuildOptList();
    s_Opt.index = 0;
    for (uint32_t i = 0; i < s_Opt.count && item < kOptListMax + 1; ++i) {
        if (s_Opt.items[i] == item) s_Opt.index = static_cast<uint8_t>(i);
    }
    VdxPage_DrawOptErrorLine(s_Opt.items[s_Opt.index]);
}

void VdxPage_OpenOptErrors() {
    BeginPage();
    s_Opt.field = 0;
    s_Opt.index = 0;
    RebuildOptList();
    VdxPage_DrawOptErrorLine(s_Opt.items[0]);
}

int32_t VdxPage_OptErrorsKey(uint32_t event) {
    if (event == kEventEnter) return s_Opt.field == 1 ? Leave() : static_cast<int32_t>(kEventHome);
    if (event == kEventLeft || event == kEventRight) {
        s_Opt.field = s_Opt.field == 0 ? 1 : 0;
        if (s_Opt.field == 1) Menu_BlinkOff();
        VdxPage_DrawOptErrorLine(s_Opt.items[s_Opt.index]);
        return -1;
    }
    if ((IsUp(event) || IsDown(event)) && s_Opt.field == 0 && s_Opt.count >= 2) {
        if (IsUp(event)) {
            s_Opt.index = static_cast<uint8_t>(s_Opt.index + 1 >= s_Opt.count ? 0 : s_Opt.index + 1);
        } else {
            s_Opt.index = static_cast<uint8_t>(s_Opt.index == 0 ? s_Opt.count - 1 : s_Opt.index - 1);
        }
        VdxPage_DrawOptErrorLine(s_Opt.items[s_Opt.index]);
    }
    return -1;
}

void VdxPage_ResetState() {
    s_PageItem = 0;
    s_PageChannel = kChannelB;
    s_Setup = SetupState{0, 0, "000", "000"};
    s_Opt = OptListState{};
}
