// Analog current outputs: currents from the measurement lines, alarm and hold, output 1's damping
// and fall delay, the converter calibration and the output settings module.
#include "outputs/aout.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/fmt.h"
#include "core/fw_hook.h"
#include "core/timers.h"
#include "digital_sensor/sens_diag.h"
#include "measurement/channel.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "outputs/alarms.h"
#include "outputs/hold.h"

// Settings store, per output i: alarm level (byte, + i), alarm enable (byte, + i), values at 4 and
// 20 mA (float, + 4i), hold mode (byte, + i), hold value (float, + 4i); output 1's damping; the
// output mode of both outputs.
static constexpr uint32_t kStoreAlarmLevel = 1140;
static constexpr uint32_t kStoreAlarmEnable = 1034;
static constexpr uint32_t kStoreValueAt4mA = 1146;
static constexpr uint32_t kStoreValueAt20mA = 1154;
static constexpr uint32_t kStoreHoldMode = 1180;
static constexpr uint32_t kStoreHoldValue = 1182;
static constexpr uint32_t kStoreDamping = 218;
static constexpr uint32_t kStoreOutputMode = 217;
// Calibration: gain and offset in use (+ 4i), the two points (+ 8i, the second 4 further on) and
// the factory copy of gain and offset (+ 4i).
static constexpr uint32_t kStoreGain = 1472;
static constexpr uint32_t kStoreOffset = 1480;
static constexpr uint32_t kStorePoints = 1488;
static constexpr uint32_t kStoreFactoryGain = 1928;
static constexpr uint32_t kStoreFactoryOffset = 1944;
static constexpr StoreRange kStoreRanges[] = {
    {kStoreOutputMode, 1},
    {kStoreDamping, 1},
    {kStoreAlarmEnable, kAoutCount},
    {kStoreAlarmLevel, kAoutCount},
    {kStoreValueAt4mA, 4 * kAoutCount},
    {kStoreValueAt20mA, 4 * kAoutCount},
    {kStoreHoldMode, kAoutCount},
    {kStoreHoldValue, 4 * kAoutCount},
    {kStoreGain, 4 * kAoutCount},
    {kStoreOffset, 4 * kAoutCount},
    {kStorePoints, 8 * kAoutCount},
    {kStoreFactoryGain, 4 * kAoutCount},
    {kStoreFactoryOffset, 4 * kAoutCount},
};
const StoreMap g_AoutStoreMap = {"analog outputs", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

// Current limits: what a measured value drives, and what a written current is held to.
static constexpr float kScaledLow = 3.8f;
static constexpr float kScaledHigh = 20.5f;
static constexpr float kWriteLow = 3.3f;
static constexpr float kWriteHigh = 23.0f;
static constexpr float kFixedCurrent = 12.0f;
static constexpr float kHoldValueLow = 3.6f;
static constexpr float kHoldValueHigh = 22.0f;
static constexpr uint8_t kDampingMax = 15;
static constexpr uint32_t kFallDelayMs = 500;
// A candidate calibration must put the reference converter value within this span of 10 mA.
static constexpr float kAcceptLow = 9.5f;
static constexpr float kAcceptHigh = 10.5f;

// The converter each output was built with.
struct BuiltInCal {
    float gain;
    float offset;
    float point[2];
    float lowestCount;
    float highestCount;
    float reference;  // converter value of 10 mA, for the acceptance test
};
static const BuiltInCal kBuiltIn[kAoutCount] = {
    {0.0451648f, -0.1346806f, {339.0f, 5667.0f}, 205.0f, 6666.0f, 0.315882f},
    {0.0394599f, 0.000848688f, {1170.0f, 5825.0f}, 500.0f, 7372.0f, 0.395768f},
};

static const AoutSettings kFactorySettings = {
    {kAoutAlarmLevelHigh, kAoutAlarmLevelHigh},
    {0, 0},
    {2.0f, 0.0f},
    {12.0f, 100.0f},
    {kAoutHoldLast, kAoutHoldLast},
    {4.0f, 4.0f},
    1,
};

AoutSettings g_AoutSettings = kFactorySettings;
uint8_t g_OutputStartFlags[kAoutCount] = {kAoutModeNormal, kAoutModeNormal};
AnalogOutput g_AnalogOut[kAoutCount];
// The current of mode 2.
static float s_FixedValue = kFixedCurrent;
// The currents the output test found, while it holds the outputs.
static float s_CurrentsBeforeTest[kAoutCount];
static uint8_t s_TestHolds;
static FilterRecord s_DampingFilter;

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;

static void SetInUse(uint32_t output, float gain, float offset) {
    g_AnalogOut[output].gain = gain;
    g_AnalogOut[output].offset = offset;
}

static void SetBuiltIn(uint32_t output) {
    const BuiltInCal& b = kBuiltIn[output];
    SetInUse(output, b.gain, b.offset);
    g_AnalogOut[output].point[0] = b.point[0];
    g_AnalogOut[output].point[1] = b.point[1];
    g_AnalogOut[output].candidateGain = b.gain;
    g_AnalogOut[output].candidateOffset = b.offset;
}

void Aout_ResetState() {
    g_AoutSettings = kFactorySettings;
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        g_OutputStartFlags[i] = kAoutModeNormal;
        SetBuiltIn(i);
        g_AnalogOut[i].shownCurrent.store(4.0f, kRelaxed);
        g_AnalogOut[i].lastRequested.store(4.0f, kRelaxed);
        g_AnalogOut[i].rising.store(0, kRelaxed);
        g_AnalogOut[i].converter = 0.0f;
        g_AnalogOut[i].displayLevel = 0.0f;
    }
    s_FixedValue = kFixedCurrent;
    s_TestHolds = 0;
    Filter_Init(&s_DampingFilter, kFilterDamping);
}

// ---- Currents ---------------------------------------------------------------------------------

float Aout_GetShownCurrent(uint32_t output) {
    return output < kAoutCount ? g_AnalogOut[output].shownCurrent.load(kRelaxed) : 0.0f;
}
uint32_t Aout_GetDamping() { return g_AoutSettings.damping; }

void Aout_TakeForTest() {
    if (s_TestHolds) return;
    for (uint32_t i = 0; i < kAoutCount; ++i) s_CurrentsBeforeTest[i] = Aout_GetShownCurrent(i);
    s_TestHolds = 1;
}

void Aout_GiveBackAfterTest() {
    if (!s_TestHolds) return;
    s_TestHolds = 0;
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        Aout_WriteCurrent(i, s_CurrentsBeforeTest[i]);
        // At once, not as a fall of output 1 after its delay: a hold that keeps the last value
        // reads the shown current at the next update.
        g_AnalogOut[i].shownCurrent.store(g_AnalogOut[i].lastRequested.load(kRelaxed), kRelaxed);
    }
    Timer_Stop(kTimerAoutFall);
}

// Timer 4 ran out: a fall of output 1 shows now.
static void FallDelayEnded() {
    AnalogOutput& out = g_AnalogOut[0];
    if (out.rising.load(kRelaxed) == 0) out.shownCurrent.store(out.lastRequested.load(kRelaxed), kRelaxed);
}

void Aout_ForceLowCurrent() {
    Timer_Stop(kTimerAoutFall);
    Fw_HardwareHook();
    g_AnalogOut[0].shownCurrent.store(kAoutAlarmLow, kRelaxed);
}

void Aout_WriteCurrent(uint32_t output, float mA) {
    if (output >= kAoutCount) return;
    // A current that is not a number would reach the converter as garbage: the low end is safe.
    if (!(mA >= kWriteLow)) mA = kWriteLow;
    if (mA > kWriteHigh) mA = kWriteHigh;
    AnalogOutput& out = g_AnalogOut[output];
    if (output == 1) {
        out.shownCurrent.store(mA, kRelaxed);
        out.lastRequested.store(mA, kRelaxed);
        Fw_HardwareHook();
        return;
    }
    Timer_Stop(kTimerAoutFall);
    out.converter = mA * out.gain + out.offset;
    out.lastRequested.store(mA, kRelaxed);
    if (g_DisplayFlag == 0) {
        float m = mA < 3.94f ? 3.94f : (mA > 20.0f ? 20.0f : mA);
        out.displayLevel = 1.0f - ((m * 0.8f - 3.1f) / 23.185f);
        if (out.shownCurrent.load(kRelaxed) >= mA) {
            // A fall shows when the timer runs out; a rise at once.
            out.rising.store(0, kRelaxed);
            Timer_Restart(kTimerAoutFall);
        } else {
            out.rising.store(1, kRelaxed);
            Timer_Restart(kTimerAoutFall);
            out.shownCurrent.store(mA, kRelaxed);
        }
    } else {
        Aout_ForceLowCurrent();
        out.shownCurrent.store(mA, kRelaxed);
    }
    Fw_HardwareHook();
}

// The current a measurement line asks for.
static float ScaledCurrent(uint32_t output) {
    uint32_t status = 0;
    float x = Meas_GetSlotValue(output, &status);
    if (status == kStatusUnder) return kScaledLow;
    if (status != 0) return kScaledHigh;
    float low = g_AoutSettings.valueAt4mA[output];
    float span = g_AoutSettings.valueAt20mA[output] - low;
    if (!(std::fabs(span) >= 1e-10f)) return kScaledHigh;
    // A reversed span gives a falling output.
    float mA = (x - low) / span * 16.0f + 4.0f;
    if (!(mA >= kScaledLow)) mA = std::isnan(mA) ? kScaledHigh : kScaledLow;
    if (mA > kScaledHigh) mA = kScaledHigh;
    return mA;
}

static bool ShownChannelInAlarm() {
    uint32_t channel = Chan_GetCurrentChannel();
    if (Alarm_GetCauses(channel) != 0) return true;
    if (channel != 1) return false;
    for (uint8_t request : g_ChanOcAlarm) {
        if (request != 0) return true;
    }
    return false;
}

void Aout_UpdateAll() {
    bool alarm = ShownChannelInAlarm();
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        float mA;
        uint8_t mode = g_OutputStartFlags[i];
        if (mode == kAoutModeFixed12) {
            mA = kFixedCurrent;
        } else if (mode == kAoutModeFixedValue) {
            mA = s_FixedValue;
        } else if (alarm && g_AoutSettings.alarmEnable[i]) {
            mA = g_AoutSettings.alarmLevel[i] == kAoutAlarmLevelLow ? kAoutAlarmLow : kAoutAlarmHigh;
        } else if (g_OutputHold != 0 && g_AoutSettings.holdMode[i] == kAoutHoldLast) {
            mA = Aout_GetShownCurrent(i);
        } else if (g_OutputHold != 0 && g_AoutSettings.holdMode[i] == kAoutHoldValue) {
            mA = g_AoutSettings.holdValue[i];
        } else {
            mA = ScaledCurrent(i);
        }
        if (i == 0) {
            uint32_t status = 0;
            mA = Filter_PushAndAverage(&s_DampingFilter, mA, 0.0f, &status);
        }
        Aout_WriteCurrent(i, mA);
    }
}

// The range ends some quantities take in their base unit (at 4 mA, at 20 mA); the others take the
// measuring range of their unit.
struct QuantityRange {
    uint8_t quantity;
    float at4mA;
    float at20mA;
};
static const QuantityRange kQuantityRanges[] = {
    {0, 1e7f, 2e7f},     {1, 0.0f, 0.5f},     {9, 0.0f, 1000.0f},  {10, 0.0f, 1000.0f},
    {21, 0.0f, 1000.0f}, {33, 0.0f, 1000.0f}, {34, 0.0f, 1000.0f}, {35, 0.0f, 1000.0f},
    {36, 0.0f, 1000.0f}, {37, 0.0f, 1000.0f}, {38, 0.0f, 1000.0f}, {13, 2.0f, 12.0f},
    {14, 0.0f, 1.5f},    {15, 0.0f, 1.5f},    {24, 0.0f, 1.5f},    {23, 0.0f, 0.0015f},
};

// What a range page shows of a range end in the line's unit: five characters, a sign among them.
static constexpr float kShownLowest = -9999.0f;
static constexpr float kShownHighest = 99999.0f;

// The span a range end may take for a quantity in a unit: the unit's measuring range (its limit
// row) where it has one, within what the range page shows.
static void UnitSpan(uint32_t quantity, uint8_t prefix, float* lowest, float* highest) {
    float factor = Fmt_PrefixFactor(prefix);
    *lowest = kShownLowest / factor;
    *highest = kShownHighest / factor;
    if (Fmt_FindLimitRow(quantity, prefix) >= kUnitLimitRows) return;
    *lowest = std::fmax(*lowest, Fmt_FindChannelUnitRow(static_cast<uint8_t>(quantity), prefix, 1));
    *highest = std::fmin(*highest, Fmt_FindChannelUnitRow(static_cast<uint8_t>(quantity), prefix, 0));
}

float Aout_GetDefaultRangeBound(uint32_t quantity, uint8_t prefix, uint32_t which) {
    // The row of the quantity being set up, not of what the line shows until the commit.
    float end = Fmt_FindChannelUnitRow(static_cast<uint8_t>(quantity), prefix, which);
    for (const QuantityRange& r : kQuantityRanges) {
        if (r.quantity == quantity) end = which == 0 ? r.at20mA : r.at4mA;
    }
    float lowest = 0.0f, highest = 0.0f;
    UnitSpan(quantity, prefix, &lowest, &highest);
    return end < lowest ? lowest : (end > highest ? highest : end);
}

uint32_t Aout_RangeFitsUnit(uint32_t quantity, uint8_t prefix, float low, float high) {
    float lowest = 0.0f, highest = 0.0f;
    UnitSpan(quantity, prefix, &lowest, &highest);
    return low >= lowest && low <= highest && high >= lowest && high <= highest ? 1 : 0;
}

// ---- Calibration ------------------------------------------------------------------------------

void Aout_DriveCount(uint32_t output, float count) {
    if (output >= kAoutCount) return;
    // The converter's own transfer is the built-in calibration: count / full scale = mA x gain + offset.
    const BuiltInCal& b = kBuiltIn[output];
    float mA = (count / kAoutFullScale - b.offset) / b.gain;
    AnalogOutput& out = g_AnalogOut[output];
    if (output == 0) Timer_Stop(kTimerAoutFall);
    out.lastRequested.store(mA, kRelaxed);
    out.shownCurrent.store(mA, kRelaxed);
    Fw_HardwareHook();
}

void Aout_SetCalPoint(uint32_t output, uint32_t point, float count) {
    if (output >= kAoutCount || point > 1) return;
    if (output == 0) Aout_ForceLowCurrent();
    g_AnalogOut[output].point[point] = count;
}

float Aout_GetCalPoint(uint32_t output, uint32_t point, uint32_t* status) {
    *status = 0;
    if (output >= kAoutCount || point > 1) {
        *status = 2;
        return 0.0f;
    }
    float count = g_AnalogOut[output].point[point];
    return count < kBuiltIn[output].lowestCount ? kBuiltIn[output].lowestCount : count;
}

void Aout_CheckCalibration(uint32_t output, uint32_t* status) {
    *status = 0;
    if (output >= kAoutCount) {
        *status = 2;
        return;
    }
    if (output != 0) return;
    const AnalogOutput& out = g_AnalogOut[0];
    if (!(out.candidateGain >= 1e-9f)) {
        *status = 2;
        return;
    }
    float mA = (kBuiltIn[0].reference - out.candidateOffset) / out.candidateGain;
    if (!(mA >= kAcceptLow && mA <= kAcceptHigh)) *status = 2;
}

void Aout_CalFromPoints(uint32_t output, float i0, float i1, uint32_t* status) {
    if (output >= kAoutCount || !(std::fabs(i1 - i0) > 1e-9f)) {
        *status = 2;
        return;
    }
    AnalogOutput& out = g_AnalogOut[output];
    out.candidateGain = (out.point[1] - out.point[0]) / ((i1 - i0) * kAoutFullScale);
    out.candidateOffset = out.point[0] / kAoutFullScale - out.candidateGain * i0;
    Aout_CheckCalibration(output, status);
}

void Aout_AcceptCalibration(uint32_t output, uint32_t* status) {
    Aout_CheckCalibration(output, status);
    if (*status != 0) return;
    AnalogOutput& out = g_AnalogOut[output];
    SetInUse(output, out.candidateGain, out.candidateOffset);
    Eeprom_WriteFloat(kStoreGain + 4 * output, out.gain, status);
    if (*status == 0) Eeprom_WriteFloat(kStoreOffset + 4 * output, out.offset, status);
    if (*status == 0) Eeprom_WriteFloat(kStorePoints + 8 * output, out.point[0], status);
    if (*status == 0) Eeprom_WriteFloat(kStorePoints + 8 * output + 4, out.point[1], status);
}

static void WritePoints(uint32_t output, uint32_t* status) {
    Eeprom_WriteFloat(kStorePoints + 8 * output, g_AnalogOut[output].point[0], status);
    Eeprom_WriteFloat(kStorePoints + 8 * output + 4, g_AnalogOut[output].point[1], status);
}

void Aout_RestoreFactoryCal(uint32_t* status) {
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        uint32_t s = 0;
        float gain = 0.0f;
        float offset = 0.0f;
        Eeprom_ReadFloat(kStoreFactoryGain + 4 * i, &gain, &s);
        Eeprom_ReadFloat(kStoreFactoryOffset + 4 * i, &offset, &s);
        if (s != 0) {
            gain = kBuiltIn[i].gain;
            offset = kBuiltIn[i].offset;
        }
        SetInUse(i, gain, offset);
        Eeprom_WriteFloat(kStoreGain + 4 * i, gain, status);
        Eeprom_WriteFloat(kStoreOffset + 4 * i, offset, status);
        g_AnalogOut[i].point[0] = kBuiltIn[i].point[0];
        g_AnalogOut[i].point[1] = kBuiltIn[i].point[1];
        WritePoints(i, status);
        g_AnalogOut[i].candidateGain = gain;
        g_AnalogOut[i].candidateOffset = offset;
        uint32_t check = 0;
        Aout_CheckCalibration(i, &check);
        if (check != 0) SetInUse(i, kBuiltIn[i].gain, kBuiltIn[i].offset);
    }
}

void Aout_SaveFactoryCal(uint32_t* status) {
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        Eeprom_WriteFloat(kStoreFactoryGain + 4 * i, g_AnalogOut[i].gain, status);
        Eeprom_WriteFloat(kStoreFactoryOffset + 4 * i, g_AnalogOut[i].offset, status);
    }
}

void Aout_ResetCalibration(uint32_t* status) {
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        SetBuiltIn(i);
        Eeprom_WriteFloat(kStoreGain + 4 * i, g_AnalogOut[i].gain, status);
        Eeprom_WriteFloat(kStoreOffset + 4 * i, g_AnalogOut[i].offset, status);
        WritePoints(i, status);
    }
    Aout_SaveFactoryCal(status);
}

void Aout_ResetCalPoints(uint32_t* status) {
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        g_AnalogOut[i].point[0] = kBuiltIn[i].point[0];
        g_AnalogOut[i].point[1] = kBuiltIn[i].point[1];
        WritePoints(i, status);
    }
}

void Aout_LoadCalibration(uint32_t* status) {
    float values[kAoutCount][4];
    uint32_t s = 0;
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        Eeprom_ReadFloat(kStoreGain + 4 * i, &values[i][0], &s);
        Eeprom_ReadFloat(kStoreOffset + 4 * i, &values[i][1], &s);
        Eeprom_ReadFloat(kStorePoints + 8 * i, &values[i][2], &s);
        Eeprom_ReadFloat(kStorePoints + 8 * i + 4, &values[i][3], &s);
    }
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        if (s == 0) {
            SetInUse(i, values[i][0], values[i][1]);
            g_AnalogOut[i].point[0] = values[i][2];
            g_AnalogOut[i].point[1] = values[i][3];
            g_AnalogOut[i].candidateGain = values[i][0];
            g_AnalogOut[i].candidateOffset = values[i][1];
        } else {
            // One unreadable value and neither output trusts the store.
            SetBuiltIn(i);
        }
        g_AnalogOut[i].shownCurrent.store(4.0f, kRelaxed);
        g_AnalogOut[i].lastRequested.store(4.0f, kRelaxed);
    }
    if (s != 0) *status = s;
    s_FixedValue = kFixedCurrent;
}

float Aout_GetGainRatio(uint32_t output) {
    return output < kAoutCount ? g_AnalogOut[output].gain / kBuiltIn[output].gain : 0.0f;
}
float Aout_GetOffsetDelta(uint32_t output) {
    return output < kAoutCount ? g_AnalogOut[output].offset - kBuiltIn[output].offset : 0.0f;
}

// ---- Settings ---------------------------------------------------------------------------------

void Aout_SaveSettings(uint32_t* status) {
    const AoutSettings& a = g_AoutSettings;
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        Eeprom_WriteChecked(kStoreAlarmLevel + i, &a.alarmLevel[i], 1, status);
        Eeprom_WriteChecked(kStoreAlarmEnable + i, &a.alarmEnable[i], 1, status);
        Eeprom_WriteFloat(kStoreValueAt4mA + 4 * i, a.valueAt4mA[i], status);
        Eeprom_WriteFloat(kStoreValueAt20mA + 4 * i, a.valueAt20mA[i], status);
        Eeprom_WriteChecked(kStoreHoldMode + i, &a.holdMode[i], 1, status);
        Eeprom_WriteFloat(kStoreHoldValue + 4 * i, a.holdValue[i], status);
    }
    Eeprom_WriteChecked(kStoreDamping, &a.damping, 1, status);
}

void Aout_WriteDefaults(uint32_t* status) {
    g_AoutSettings = kFactorySettings;
    Aout_SaveSettings(status);
}

static uint8_t ReadByte(uint32_t offset, uint32_t* status) {
    uint8_t value = 0xFF;
    uint32_t s = 0;
    Eeprom_Read(offset, &value, 1, &s);
    if (s != 0) *status = s;
    // An unreadable byte is out of every range and takes its load default below.
    return s == 0 ? value : 0xFF;
}

static float ReadFloat(uint32_t offset, uint32_t* status, bool* ok) {
    float value = 0.0f;
    uint32_t s = 0;
    Eeprom_ReadFloat(offset, &value, &s);
    if (s != 0) *status = s;
    *ok = s == 0;
    return value;
}

void Aout_LoadSettings(uint32_t* status) {
    AoutSettings& a = g_AoutSettings;
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        uint8_t level = ReadByte(kStoreAlarmLevel + i, status);
        a.alarmLevel[i] = level > kAoutAlarmLevelHigh ? kAoutAlarmLevelHigh : level;
        uint8_t enable = ReadByte(kStoreAlarmEnable + i, status);
        a.alarmEnable[i] = enable > 1 ? 0 : enable;
        bool ok = false;
        // An unreadable range end loads as 0.0 (ReadFloat's value).
        a.valueAt4mA[i] = ReadFloat(kStoreValueAt4mA + 4 * i, status, &ok);
        a.valueAt20mA[i] = ReadFloat(kStoreValueAt20mA + 4 * i, status, &ok);
        uint8_t hold = ReadByte(kStoreHoldMode + i, status);
        a.holdMode[i] = hold > kAoutHoldOff ? kAoutHoldLast : hold;
        float value = ReadFloat(kStoreHoldValue + 4 * i, status, &ok);
        a.holdValue[i] = ok && value >= kHoldValueLow && value <= kHoldValueHigh ? value : 4.0f;
    }
    uint8_t damping = ReadByte(kStoreDamping, status);
    a.damping = damping >= 1 && damping <= kDampingMax ? damping : 1;
    Filter_Init(&s_DampingFilter, kFilterDamping);
    Timer_SetCallback(kTimerAoutFall, 1, FallDelayEnded);
    Timer_Start(kTimerAoutFall, kFallDelayMs, 0);
    Timer_Stop(kTimerAoutFall);
}

void Aout_LoadOutputMode(uint32_t* status) {
    uint8_t mode = ReadByte(kStoreOutputMode, status);
    // A byte that names no mode (a fresh store's 0xFF) drives the outputs normally rather than
    // freezing them.
    if (mode > kAoutModeFixedValue) mode = kAoutModeNormal;
    g_OutputStartFlags[0] = mode;
    g_OutputStartFlags[1] = mode;
}
