// Calibration results on row 11, the judging of a channel's calibration into warnings and alarms,
// and the value fields they draw with.
#include "ui/cal_view.h"

#include <limits>

#include "core/fw_hook.h"
#include "core/lcd.h"
#include "core/param.h"
#include "core/texts.h"
#include "core/util.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "ui/info_screens.h"
#include "ui/menu.h"
#include "ui/select_screen.h"
#include "ui/vdx_page.h"

// clang-format off
const CalBands g_CalBands[kCalUnitCodes] = {
    {103.001f, 102.001f, 90.0f, 80.0f, 8.0f, 7.5f, 6.5f, 6.0f},
    {-30.0f, -35.0f, -90.0f, -110.01f, 0.6f, 0.3f, -0.3f, -0.6f},
    {-220.0f, -249.999f, -460.0f, -525.0f, 1.0f, 0.5f, -0.5f, -1.0f},
    {2.0f, 1.5f, 0.65f, 0.25f, 30.0f, 15.0f, -15.0f, -30.0f},
    {2.0f, 2.0f, 0.0f, 0.0f, 60.0f, 30.0f, -30.0f, -60.0f},
    {103.001f, 102.001f, 90.0f, 80.0f, 9.0f, 8.3f, 5.7f, 5.0f},
    {-2000.0f, -3000.0f, -5000.0f, -6000.0f, 1.0f, 0.5f, -0.5f, -1.0f},
    {-20000.0f, -23000.0f, -57000.094f, -60000.102f, 1.0f, 0.5f, -0.5f, -1.0f},
    {2.0f, 2.0f, 0.0f, 0.0f, 120.0f, 80.0f, -80.0f, -120.0f},
};
// clang-format on

// The first message of each unit code's eight (slope high warning = base + 3 ... offset low
// alarm = base + 10); codes without messages have none.
static constexpr uint8_t kNoMessages = 255;
static const uint8_t kMessageBase[kCalUnitCodes] = {0, 8, 16, 24, kNoMessages, 72, 80, 88, kNoMessages};
// The unit code the parameters are read with, by configured channel kind 0 to 11: the slope and
// zero selectors of the parameters by number.
static const uint8_t kParamSelector[12] = {0, 0, 0, 2, 2, 3, 3, 3, 3, 8, 13, 0};
static constexpr uint32_t kSelectorPh = 0;
static constexpr uint32_t kSelectorCo2 = 13;

static constexpr uint32_t kUnitPh = 0;
static constexpr uint32_t kUnitPna = 5;
static constexpr uint32_t kUnitOrpCheck = 4;
static constexpr uint32_t kUnitOrpCheckPna = 8;
static constexpr uint32_t kUnitGaugeO2 = 7;

// The alarm flags of a calibration outside its alarm bands.
static constexpr uint32_t kAlarmFlagSlope = 9;
static constexpr uint32_t kAlarmFlagOffset = 10;
// Messages by their place after the code's base.
static constexpr uint16_t kSlopeHighWarn = 3;
static constexpr uint16_t kSlopeLowWarn = 4;
static constexpr uint16_t kOffsetHighWarn = 5;
static constexpr uint16_t kOffsetLowWarn = 6;
static constexpr uint16_t kSlopeHighAlarm = 7;
static constexpr uint16_t kSlopeLowAlarm = 8;
static constexpr uint16_t kOffsetHighAlarm = 9;
static constexpr uint16_t kOffsetLowAlarm = 10;
// Channel B's ORP check of its pH sensor: messages 66 to 69 of channel B.
static constexpr uint16_t kOrpCheckHighWarn = kMsgChannelB + 66;
static constexpr uint16_t kOrpCheckLowWarn = kMsgChannelB + 67;
static constexpr uint16_t kOrpCheckHighAlarm = kMsgChannelB + 68;
static constexpr uint16_t kOrpCheckLowAlarm = kMsgChannelB + 69;
// The position of channel B's pH, the only one with that check, and its value: the zero parameter
// with selector 5.
static constexpr uint32_t kPositionPhB = 0x101000;
static constexpr uint32_t kParamZero = 8;
static constexpr uint32_t kSelectorOrpCheck = 5;
static constexpr uint32_t kParamSlopeB = 14;
static constexpr uint32_t kParamZeroB = 15;
static constexpr uint32_t kQuantityPna = 13;
// The hook's report of a judged calibration.
static constexpr uint32_t kHookCalJudged = 0x200000;

// Where a value lies: inside, or above or below a warning or an alarm band.
enum BandResult : uint8_t { kInside, kHighWarn, kLowWarn, kHighAlarm, kLowAlarm };

// lowAlarmInclusive: a value at the low alarm bound is an alarm (the fixed bands), or a warning
// (the bands a gauge sensor's limits give). A value that is no number cannot be shown to lie inside
// the bands, so it counts as an alarm and clears none.
static BandResult Judge(float v, float highAlarm, float highWarn, float lowWarn, float lowAlarm,
                        bool lowAlarmInclusive) {
    if (Util_ClassifyFloat(v) >= kFloatPlusInfinity) return kLowAlarm;
    if (v > highAlarm) return kHighAlarm;
    if (v > highWarn) return kHighWarn;
    if (lowAlarmInclusive ? v <= lowAlarm : v < lowAlarm) return kLowAlarm;
    if (v < lowWarn) return kLowWarn;
    return kInside;
}

static bool IsAlarm(BandResult r) { return r == kHighAlarm || r == kLowAlarm; }

// The four messages of one value: the one chosen (0 none) stays, the others are cleared.
static void ClearOthers(const uint16_t codes[4], uint16_t chosen) {
    for (uint32_t i = 0; i < 4; ++i) {
        if (codes[i] != chosen) Msg_Clear(codes[i]);
    }
}

static uint16_t MessageOf(BandResult r, const uint16_t codes[4]) {
    switch (r) {
        case kHighWarn:
            return codes[0];
        case kLowWarn:
            return codes[1];
        case kHighAlarm:
            return codes[2];
        case kLowAlarm:
            return codes[3];
        default:
            return 0;
    }
}

// A parameter to be judged; a read that failed gives no number, which is judged as such.
static float ReadJudged(uint32_t channel, uint32_t number, uint32_t selector) {
    uint32_t status = 0;
    float value = Param_GetFloat(channel, number, selector, &status);
    return status == 0 ? value : std::numeric_limits<float>::quiet_NaN();
}

// Channel B's ORP check value against the offset bands of the ORP check; true for an alarm.
static bool JudgeOrpCheck() {
    float value = ReadJudged(1, kParamZero, kSelectorOrpCheck);
    const CalBands& b = g_CalBands[g_ChannelKind[1] == kKindPhPna ? kUnitOrpCheckPna : kUnitOrpCheck];
    BandResult r = Judge(value, b.offsetHighAlarm, b.offsetHighWarn, b.offsetLowWarn, b.offsetLowAlarm, false);
    static const uint16_t kCodes[4] = {kOrpCheckHighWarn, kOrpCheckLowWarn, kOrpCheckHighAlarm, kOrpCheckLowAlarm};
    uint16_t chosen = MessageOf(r, kCodes);
    ClearOthers(kCodes, chosen);
    if (chosen != 0) Msg_Raise(chosen);
    if (IsAlarm(r)) Alarm_SetFlag(kAlarmFlagOffset, 1);
    return IsAlarm(r);
}

void Screen_JudgeCalibration(uint32_t position, float slope, float offset) {
    uint32_t quantity = Meas_GetIdQuantity(position);
    uint32_t channel = Menu_ChannelOfPosition(position);
    if (channel > 1) channel = 0;
    uint8_t kind = g_ChannelKind[channel];
    uint32_t code = 0;
    if (quantity == kQuantityPh || quantity == kQuantityPna) {
        code = kind == kKindPhPna ? kUnitPna : kUnitPh;
        // The zero-point bands follow the isothermal point away from pH 7.
        offset = offset - CalPh_GetIsoPoint(channel) + 7.0f;
    } else if (quantity == kQuantityOxygen) {
        code = Screen_O2UnitCode(channel);
    } else if (quantity == kQuantityCo2) {
        code = kUnitPh;
    } else {
        Fw_HardwareHook(2, kHookCalJudged);
        return;
    }
    bool orpAlarm = position == kPositionPhB ? JudgeOrpCheck() : false;
    if (kMessageBase[code] == kNoMessages) return;

    CalBands bands = g_CalBands[code];
    bool fixedBands = code != kUnitGaugeO2;
    if (!fixedBands) {
        // The gauge sensor's own limits: the slope's in nA, the zero's in thousandths of nA.
        float upper = CalO2_GetKind8Limit(channel, 0);
        float lower = CalO2_GetKind8Limit(channel, 1);
        float zeroUpper = CalO2_GetKind8Limit(channel, 2) / 1000.0f;
        float zeroLower = CalO2_GetKind8Limit(channel, 3) / 1000.0f;
        bands = CalBands{upper,     upper * 1.15f,    lower * 0.95f,    lower,
                         zeroUpper, zeroUpper * 0.5f, zeroLower * 0.5f, zeroLower};
    }
    uint16_t m = static_cast<uint16_t>(channel << 9);
    uint16_t base = static_cast<uint16_t>(m + kMessageBase[code]);
    const uint16_t slopeCodes[4] = {
        static_cast<uint16_t>(base + kSlopeHighWarn), static_cast<uint16_t>(base + kSlopeLowWarn),
        static_cast<uint16_t>(base + kSlopeHighAlarm), static_cast<uint16_t>(base + kSlopeLowAlarm)};
    const uint16_t offsetCodes[4] = {
        static_cast<uint16_t>(base + kOffsetHighWarn), static_cast<uint16_t>(base + kOffsetLowWarn),
        static_cast<uint16_t>(base + kOffsetHighAlarm), static_cast<uint16_t>(base + kOffsetLowAlarm)};
    BandResult s =
        Judge(slope, bands.slopeHighAlarm, bands.slopeHighWarn, bands.slopeLowWarn, bands.slopeLowAlarm, fixedBands);
    BandResult o = Judge(offset, bands.offsetHighAlarm, bands.offsetHighWarn, bands.offsetLowWarn, bands.offsetLowAlarm,
                         fixedBands);
    if (IsAlarm(s)) {
        Alarm_SetFlag(kAlarmFlagSlope, channel);
    } else {
        Alarm_ClearFlag(kAlarmFlagSlope, channel);
    }
    if (IsAlarm(o)) {
        Alarm_SetFlag(kAlarmFlagOffset, channel);
    } else if (!orpAlarm) {
        Alarm_ClearFlag(kAlarmFlagOffset, channel);
    }
    uint16_t slopeMessage = MessageOf(s, slopeCodes);
    uint16_t offsetMessage = MessageOf(o, offsetCodes);
    ClearOthers(slopeCodes, slopeMessage);
    ClearOthers(offsetCodes, offsetMessage);
    if (slopeMessage != 0) Msg_Raise(slopeMessage);
    if (offsetMessage != 0) Msg_Raise(offsetMessage);
    Fw_HardwareHook(2, kHookCalJudged);
}

// The slope and offset of a channel as its bands take them. The pH electrode's and the CO2
// electrode's are judged in percent and in pH whatever units the pages show them in (the
// parameters follow the unit options); the other kinds' parameters are in their bands' units.
static void ReadJudgedPair(uint32_t channel, uint32_t selector, float* slope, float* offset) {
    switch (selector) {
        case kSelectorPh:
            *slope = CalPh_GetSlopePercent(channel);
            *offset = CalPh_GetZeroPointPh(channel);
            break;
        case kSelectorCo2:
            *slope = CalPh_GetCo2SlopePercent(channel);
            *offset = CalPh_GetCo2Zero(channel);
            break;
        default:
            *slope = ReadJudged(channel, kParamSlopeB, selector);
            *offset = ReadJudged(channel, kParamZeroB, selector);
            break;
    }
}

void Screen_DrawDiagIndicators() {
    uint32_t channel = Chan_GetCurrentChannel();
    if (channel > 1) channel = 0;
    uint32_t kind = channel == 1 ? g_SensorKindActive[1] : g_ChannelKind[0];
    if (kind < kKindNoSensor) {
        uint8_t configured = g_ChannelKind[channel];
        uint32_t selector = kParamSelector[configured < 12 ? configured : 0];
        float slope = 0.0f, offset = 0.0f;
        ReadJudgedPair(channel, selector, &slope, &offset);
        Screen_JudgeCalibration(channel * 0x1000 + Screen_GetStartPosition(configured), slope, offset);
    }
    g_SensorParamSavePending = 0;
}

// ---- Value fields ----------------------------------------------------------------------------------

static constexpr uint32_t kChar = 6;

static uint32_t DrawFill(uint32_t row, uint32_t column, uint32_t width) {
    char text[kNumberTextMax + 1];
    for (uint32_t i = 0; i < width; ++i) text[i] = '*';
    text[width] = '\0';
    return Lcd_DrawText(row, column, text);
}

static uint32_t DrawField(uint32_t row, uint32_t column, float value, uint32_t digits, uint32_t width) {
    char text[kNumberTextMax + 1];
    Screen_FormatField(value, digits, width, text);
    return Lcd_DrawText(row, column, text);
}

uint32_t Screen_DrawFactor5(uint32_t row, uint32_t column, float value) {
    if (!(value + 0.5f < 1000000.0f) || value - 0.5f < -100000.0f) return DrawFill(row, column, 7);
    return DrawField(row, column, value, 5, 7);
}

uint32_t Screen_DrawSlope(uint32_t row, uint32_t column, float value, uint32_t offsetFlag) {
    if (!(value > -9999.1f && value < 99999.1f)) return DrawFill(row, column, 5);
    bool percent = offsetFlag == 0 && CalPh_GetSlopeUnitFlag(0) == 0;
    return DrawField(row, column, value, percent ? 2 : 3, 5);
}

uint32_t Screen_DrawCurrent(uint32_t row, uint32_t column, float value) {
    if (!(value > -99999.1f && value < 999999.1f)) return DrawFill(row, column, 5);
    return DrawField(row, column, value, 4, 6);
}

// ---- The calibration result --------------------------------------------------------------------------

// The temperature's short name in Russian, in the display's own code ("ТЕМП").
static const char kTemperatureRussian[] = "TEM\xA2";
static constexpr uint8_t kLanguageRussian = 6;
static constexpr uint8_t kLanguageJapanese = 7;
static constexpr uint32_t kMeterInputTemperature = 5;
// Labels in the list of calibration value labels: "S=", "Z=", "M=", "A=", "P100=", "P0=".
static constexpr uint32_t kLabelS = 0;
static constexpr uint32_t kLabelZ = 1;
static constexpr uint32_t kLabelM = 4;
static constexpr uint32_t kLabelA = 5;
static constexpr uint32_t kLabelP100 = 9;
static constexpr uint32_t kLabelP0 = 10;
// The optical sensor's percent fields, as on the calibration values page.
static constexpr uint32_t kOpticalSlopeColumn = 48;
static constexpr uint32_t kOpticalZeroColumn = 102;
static constexpr uint32_t kOpticalZeroLabelColumn = 84;

// The calibrated measurement's short name at column 0; returns its width in pixels.
static uint32_t DrawShortName(uint32_t quantity) {
    const char* name = "";
    switch (quantity) {
        case kQuantityPh:
        case kQuantityCo2:
        case kQuantityPna:
            name = "pH";
            break;
        case kQuantityTemperature:
            if (g_Language == kLanguageJapanese) {
                return kChar * Lcd_DrawTextRef(kRowStatus, 0, Text_Nth(kTextMeterInputs, kMeterInputTemperature));
            }
            name = g_Language == kLanguageRussian ? kTemperatureRussian : "Temp";
            break;
        case kQuantityConductivity:
            name = "C";
            break;
        case kQuantityResistivity:
            name = "R";
            break;
        case kQuantityOxygen:
        case kQuantityOptical:
            name = "O2";
            break;
        case kQuantityMv:
        case kQuantityOrp:
        case kQuantityMvB:
            name = "mV";
            break;
        default:
            break;
    }
    return kChar * Lcd_DrawText(kRowStatus, 0, name);
}

static void DrawLabel(uint32_t column, uint32_t label) {
    Lcd_DrawTextRef(kRowStatus, column, Text_Nth(kTextCalValueLabels, label));
}

void Screen_ShowCalData(uint32_t position, float slope, float offset) {
    Lcd_ClearSpan(kRowStatus, 0, kLcdColumns);
    uint32_t quantity = Meas_GetIdQuantity(position);
    uint32_t w = DrawShortName(quantity);
    if (quantity == kQuantityOptical) {
        DrawLabel(w + 6, kLabelP100);
        VdxPage_DrawPercentField2(kRowStatus, kOpticalSlopeColumn, slope, 4);
        DrawLabel(kOpticalZeroLabelColumn, kLabelP0);
        VdxPage_DrawPercentField2(kRowStatus, kOpticalZeroColumn, offset, 4);
        return;
    }
    if (quantity == kQuantityPh || quantity == kQuantityCo2 || quantity == kQuantityPna) {
        const char* offsetUnit = CalPh_GetOffsetUnitFlag(0) == 1 ? "mV" : "pH";
        DrawLabel(w + 6, kLabelS);
        if (CalPh_GetSlopeUnitFlag(0) == 0) {
            DrawLabel(w + 72, kLabelZ);
            Screen_DrawSlope(kRowStatus, w + 18, slope, 0);
            Lcd_DrawText(kRowStatus, w + 42, "%");
            Screen_DrawSlope(kRowStatus, w + 84, offset, 1);
            Lcd_DrawText(kRowStatus, w + 120, offsetUnit);
            return;
        }
        // "mV/pH" takes the room of the zero's label: the slope in four places as on the
        // calibration values page, each unit right behind its value and the zero a cell after
        // the slope's unit, so that the row holds the widest of both.
        static constexpr uint32_t kSlopeWidthMv = 4;
        uint32_t column = w + 18;
        column += kChar * VdxPage_DrawPercentField(kRowStatus, column, slope, kSlopeWidthMv);
        column += kChar * Lcd_DrawText(kRowStatus, column, "mV/pH") + kChar;
        column += kChar * Lcd_DrawTextRef(kRowStatus, column, Text_Nth(kTextCalValueLabels, kLabelZ));
        column += kChar * Screen_DrawSlope(kRowStatus, column, offset, 1);
        Lcd_DrawText(kRowStatus, column, offsetUnit);
    } else if (quantity == kQuantityOxygen) {
        DrawLabel(w + 6, kLabelS);
        DrawLabel(w + 72, kLabelZ);
        Screen_DrawCurrent(kRowStatus, w + 18, slope);
        Lcd_DrawText(kRowStatus, w + 54, "nA");
        Screen_DrawCurrent(kRowStatus, w + 84, offset);
        Lcd_DrawText(kRowStatus, w + 120, "nA");
    } else {
        bool factor =
            quantity == kQuantityTemperature || quantity == kQuantityConductivity || quantity == kQuantityResistivity;
        DrawLabel(w + 6, factor ? kLabelM : kLabelS);
        DrawLabel(w + 66, factor ? kLabelA : kLabelZ);
        Screen_DrawFactor5(kRowStatus, w + 18, slope);
        Screen_DrawFactor5(kRowStatus, w + 78, offset);
    }
}
