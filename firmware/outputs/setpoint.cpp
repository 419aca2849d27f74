// Set points: evaluation of the six limit watchers, their relay requests and message states, and
// the set-point settings module.
#include "outputs/setpoint.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/timers.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "outputs/alarms.h"
#include "outputs/relays.h"

// Settings store: one byte per set point for the line, relay, type and range action; one float
// per set point for value A, value B and the hysteresis.
static constexpr uint32_t kStoreSource = 1042;
static constexpr uint32_t kStoreRelay = 1048;
static constexpr uint32_t kStoreType = 1054;
static constexpr uint32_t kStoreRangeAction = 1060;
static constexpr uint32_t kStoreValueA = 1066;
static constexpr uint32_t kStoreValueB = 1090;
static constexpr uint32_t kStoreHysteresis = 1114;
static constexpr float kMaxHysteresis = 100.0f;
static constexpr StoreRange kStoreRanges[] = {{kStoreSource, 4 * kSetPointCount}, {kStoreValueA, 12 * kSetPointCount}};
const StoreMap g_SetPointStoreMap = {"set points", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

// Channel noted for a set point whose line had none.
static constexpr uint8_t kNoChannelNoted = 170;
// A line showing this kind shows nothing.
static constexpr uint8_t kKindNoMeasurement = 30;
// Active bits: the limit condition stands; the line is over or under range.
static constexpr uint8_t kActiveLimit = 0x01;
static constexpr uint8_t kActiveRange = 0x02;
// Message-state nibbles.
static constexpr uint8_t kStateNoType = 0x0F;
static constexpr uint8_t kStateOverRange = 0x1F;
static constexpr uint8_t kStateUnderRange = 0x2F;

// Factory settings: set point 1 watches line a, set point 2 line b, the others nothing; all off,
// without a relay, ignoring over and under range.
static const SetPointSettings kFactorySettings = {
    {0, 1, kSetPointSourceOff, kSetPointSourceOff, kSetPointSourceOff, kSetPointSourceOff},
    {kRelayNone, kRelayNone, kRelayNone, kRelayNone, kRelayNone, kRelayNone},
    {kSetPointOff, kSetPointOff, kSetPointOff, kSetPointOff, kSetPointOff, kSetPointOff},
    {kSetPointRangeNo, kSetPointRangeNo, kSetPointRangeNo, kSetPointRangeNo, kSetPointRangeNo, kSetPointRangeNo},
    {12.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
};

// Run state of one set point.
struct SetPointRun {
    uint8_t active;       // kActiveLimit | kActiveRange of this pass
    uint8_t previous;     // the same bits of the pass before
    uint8_t message;      // message state
    uint8_t lastSource;   // line at the last pass
    uint8_t lastChannel;  // that line's channel at the last pass
    uint8_t relayBefore;  // the relay in use before the last save
};

SetPointSettings g_SetPointSettings = kFactorySettings;
static SetPointRun s_Run[kSetPointCount];
// The side an Outside set point last left on (1 above, 0 below); one byte for all set points.
static uint8_t s_Side;
static uint8_t s_LineType[4];

void SetPoint_ResetState() {
    g_SetPointSettings = kFactorySettings;
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        s_Run[i] = SetPointRun{0, 0, kSetPointNoMessage, kSetPointSourceOff, kNoChannelNoted, kRelayNone};
    }
    s_Side = 0;
    for (uint8_t& type : s_LineType) type = kSetPointLineNone;
}

static uint8_t LineChannel(uint8_t line) {
    if (line >= kSetPointSourceOff) return kNoChannelNoted;
    uint8_t channel = Meas_GetSlotChannel(line);
    return channel < 2 ? channel : kNoChannelNoted;
}

static uint8_t LineKind(uint8_t line) {
    return line < kSetPointSourceOff ? Meas_GetSlotUnit(line) : kKindNoMeasurement;
}

// ---- Settings -----------------------------------------------------------------------------------

static void WriteAll(uint32_t* status) {
    const SetPointSettings& s = g_SetPointSettings;
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        Eeprom_WriteChecked(kStoreSource + i, &s.source[i], 1, status);
        Eeprom_WriteChecked(kStoreRelay + i, &s.relay[i], 1, status);
        Eeprom_WriteChecked(kStoreType + i, &s.type[i], 1, status);
        Eeprom_WriteChecked(kStoreRangeAction + i, &s.rangeAction[i], 1, status);
        Eeprom_WriteFloat(kStoreValueA + 4 * i, s.valueA[i], status);
        Eeprom_WriteFloat(kStoreValueB + 4 * i, s.valueB[i], status);
        Eeprom_WriteFloat(kStoreHysteresis + 4 * i, s.hysteresis[i], status);
    }
}

void SetPoint_WriteDefaults(uint32_t* status) {
    g_SetPointSettings = kFactorySettings;
    WriteAll(status);
}

// A stored byte, or the load default when it cannot be read or lies above its largest value.
static uint8_t LoadByte(uint32_t offset, uint8_t largest, uint8_t fallback, uint32_t* status) {
    uint8_t value = 0xFF;
    uint32_t s = 0;
    Eeprom_Read(offset, &value, 1, &s);
    if (s != 0) *status = s;
    return s == 0 && value <= largest ? value : fallback;
}

static float LoadFloat(uint32_t offset, uint32_t* status) {
    float value = 0.0f;
    uint32_t s = 0;
    Eeprom_ReadFloat(offset, &value, &s);
    if (s != 0) *status = s;
    return s == 0 ? value : 0.0f;
}

void SetPoint_LoadSettings(uint32_t* status) {
    SetPointSettings& s = g_SetPointSettings;
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        s.source[i] = LoadByte(kStoreSource + i, kSetPointSourceOff, kSetPointSourceOff, status);
        s.relay[i] = LoadByte(kStoreRelay + i, kRelayNone, kRelayNone, status);
        s.type[i] = LoadByte(kStoreType + i, kSetPointBetween, kSetPointOff, status);
        s.rangeAction[i] = LoadByte(kStoreRangeAction + i, kSetPointRangeNo, kSetPointRangeNo, status);
        s.valueA[i] = LoadFloat(kStoreValueA + 4 * i, status);
        s.valueB[i] = LoadFloat(kStoreValueB + 4 * i, status);
        float hysteresis = LoadFloat(kStoreHysteresis + 4 * i, status);
        s.hysteresis[i] = hysteresis >= 0.0f && hysteresis <= kMaxHysteresis ? hysteresis : 0.0f;

        SetPointRun& run = s_Run[i];
        if (run.lastChannel < 2) Alarm_ClearFlag(kAlarmFlagSetPointFirst + i, run.lastChannel);
        run.lastSource = s.source[i];
        run.lastChannel = LineChannel(s.source[i]);
        run.relayBefore = s.relay[i];
    }
}

void SetPoint_SaveSettings(uint32_t* status) {
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        // What the store held is what the last pass worked with: the next pass compares against it.
        uint32_t s = 0;
        uint8_t stored = kSetPointSourceOff;
        Eeprom_Read(kStoreSource + i, &stored, 1, &s);
        if (s == 0) s_Run[i].lastSource = stored;
        stored = kRelayNone;
        s = 0;
        Eeprom_Read(kStoreRelay + i, &stored, 1, &s);
        if (s == 0) s_Run[i].relayBefore = stored;
    }
    WriteAll(status);
}

// ---- Evaluation ---------------------------------------------------------------------------------

uint32_t SetPoint_IsAbsoluteHysteresisCode(uint32_t code) {
    switch (code) {
        case 11:  // temperature in degrees C
        case 12:  // temperature in degrees F
        case 13:  // pH
        case 14:  // electrode voltage
        case 15:  // ORP
        case 38:  // the CO2 electrode's voltage
        case 40:  // a voltage the pages show in mV
            return 1;
        default:
            return 0;
    }
}

uint32_t SetPoint_IsSpecialSource(const SetPointSettings* settings, uint32_t i) {
    if (i >= kSetPointCount) return 0;
    return SetPoint_IsAbsoluteHysteresisCode(LineKind(settings->source[i]));
}

// The hysteresis of set point i at a limit: absolute for the special kinds, else percent of it.
static float Hysteresis(const SetPointSettings* settings, uint32_t i, float limit) {
    float h = settings->hysteresis[i];
    if (SetPoint_IsSpecialSource(settings, i)) return std::fabs(h);
    return std::fabs(limit * h) / 100.0f;
}

uint32_t SetPoint_EvalLimit(const SetPointSettings* settings, float value, uint32_t which, uint32_t i) {
    if (i >= kSetPointCount || std::isnan(value)) return 0;
    bool between = settings->type[i] == kSetPointBetween;
    if (which == 0) {
        float a = settings->valueA[i];
        float h = Hysteresis(settings, i, a);
        return (between ? value >= a + h : value <= a - h) ? 1 : 0;
    }
    float b = settings->valueB[i];
    float h = Hysteresis(settings, i, b);
    return (between ? value <= b - h : value >= b + h) ? 1 : 0;
}

uint32_t SetPoint_Evaluate(const SetPointSettings* settings, float value, uint32_t requester, uint32_t i) {
    if (i >= kSetPointCount) return 0;
    uint32_t status = 0;
    uint8_t line = settings->source[i];
    if (line < kSetPointSourceOff) {
        Meas_GetSlotValue(line, &status);
    } else {
        status = kStatusOver;
    }
    if (requester == kRelayRequesterRange || status == kStatusOver || status == kStatusUnder) return 1;
    switch (settings->type[i]) {
        case kSetPointHigh:
            return SetPoint_EvalLimit(settings, value, 0, i);
        case kSetPointLow:
            return SetPoint_EvalLimit(settings, value, 1, i);
        case kSetPointOutside:
            return SetPoint_EvalLimit(settings, value, s_Side == 1 ? 0 : 1, i);
        case kSetPointBetween:
            return SetPoint_EvalLimit(settings, value, 0, i) || SetPoint_EvalLimit(settings, value, 1, i) ? 1 : 0;
        default:
            return 0;
    }
}

// Another set point with any active bit requests the same relay.
static bool RelayWantedByOther(const SetPointSettings* settings, uint8_t relay, uint32_t i) {
    for (uint32_t j = 0; j < kSetPointCount; ++j) {
        if (j != i && settings->relay[j] == relay && s_Run[j].active != 0) return true;
    }
    return false;
}

void SetPoint_DriveOutput(const SetPointSettings* settings, float value, uint32_t requester, uint32_t i) {
    if (i >= kSetPointCount) return;
    SetPointRun& run = s_Run[i];
    uint8_t bit = requester == kRelayRequesterLimit ? kActiveLimit : kActiveRange;
    bool on = (run.active & bit) != 0;
    bool was = (run.previous & bit) != 0;
    uint8_t relay = settings->relay[i];
    if (relay >= kRelayNone) {
        // The relay was taken away: what the set point held on the old one goes.
        if (run.relayBefore < kRelayNone) Relay_RemoveRequester(run.relayBefore, requester, i);
        run.previous = 0;
        return;
    }
    if (on != was) {
        if (!on) {
            if (!RelayWantedByOther(settings, relay, i)) Relay_CancelDelay(relay);
            if (SetPoint_Evaluate(settings, value, requester, i)) Relay_RemoveRequester(relay, requester, i);
        } else if (!Timer_IsActive(Relay_DelayTimer(relay))) {
            Relay_RequestDelayed(relay, requester, i);
        }
    } else if (on) {
        if (Relay_IsDelayElapsed(relay)) Relay_AddRequester(relay, requester, i);
    } else if (SetPoint_Evaluate(settings, value, requester, i)) {
        // The release waits for the hysteresis.
        Relay_RemoveRequester(relay, requester, i);
    }
}

// Whether the limit condition of set point i stands for value x with its status; an Outside set
// point notes the side it stands on.
static bool LimitActive(const SetPointSettings* settings, uint32_t i, float x, uint32_t status) {
    float a = settings->valueA[i];
    float b = settings->valueB[i];
    float high = a > b ? a : b;
    float low = a > b ? b : a;
    switch (settings->type[i]) {
        case kSetPointHigh:
            return status == kStatusOver || (status != kStatusUnder && x > a);
        case kSetPointLow:
            return status == kStatusUnder || (status != kStatusOver && x < b);
        case kSetPointOutside:
            if (status == kStatusUnder || (status != kStatusOver && x < low)) {
                s_Side = 0;
                return true;
            }
            if (status == kStatusOver || x > high) {
                s_Side = 1;
                return true;
            }
            return false;
        case kSetPointBetween:
            return status != kStatusOver && status != kStatusUnder && low < x && x <= high;
        default:
            return false;
    }
}

static void UpdateOne(const SetPointSettings* settings, uint32_t i) {
    SetPointRun& run = s_Run[i];
    const uint8_t line = settings->source[i];
    const uint8_t channel = LineChannel(line);
    const uint8_t relay = settings->relay[i];
    const uint32_t flag = kAlarmFlagSetPointFirst + i;
    if (line != run.lastSource || channel != run.lastChannel) {
        run.active = 0;
        if (run.lastChannel < 2) Alarm_ClearFlag(flag, run.lastChannel);
    }
    run.previous = run.active;
    run.active = 0;
    run.lastSource = line;
    run.lastChannel = channel;

    if (line >= kSetPointSourceOff || LineKind(line) == kKindNoMeasurement) {
        Alarm_ClearFlag(flag, channel);
        if (relay < kRelayNone) {
            Relay_RemoveRequester(relay, kRelayRequesterLimit, i);
            Relay_RemoveRequester(relay, kRelayRequesterRange, i);
        }
        run.message = kSetPointNoMessage;
        return;
    }

    uint32_t status = 0;
    float x = Meas_GetSlotValue(line, &status);
    const bool outOfRange = status == kStatusOver || status == kStatusUnder;

    if (settings->rangeAction[i] == kSetPointRangeNo || settings->type[i] == kSetPointOff) {
        if (relay < kRelayNone) Relay_RemoveRequester(relay, kRelayRequesterRange, i);
        run.message = kSetPointNoMessage;
    } else {
        if (outOfRange) {
            run.active |= kActiveRange;
            Alarm_SetFlag(flag, channel);
            run.message = status == kStatusOver ? kStateOverRange : kStateUnderRange;
        } else {
            Alarm_ClearFlag(flag, channel);
            run.message = kSetPointNoMessage;
        }
        SetPoint_DriveOutput(settings, x, kRelayRequesterRange, i);
    }

    if (settings->type[i] == kSetPointOff && relay < kRelayNone) Relay_RemoveRequester(relay, kRelayRequesterLimit, i);
    if (LimitActive(settings, i, x, status)) {
        run.active |= kActiveLimit;
        Alarm_SetFlag(flag, channel);
        run.message = static_cast<uint8_t>((run.message & 0xF0) | settings->type[i]);
    } else {
        run.active &= static_cast<uint8_t>(~kActiveLimit);
        run.message = static_cast<uint8_t>(run.message | kStateNoType);
        if (run.active == 0) {
            Alarm_ClearFlag(flag, channel);
            run.message = kSetPointNoMessage;
        }
    }
    SetPoint_DriveOutput(settings, x, kRelayRequesterLimit, i);
}

void SetPoint_UpdateAll(const SetPointSettings* settings) {
    for (uint32_t i = 0; i < kSetPointCount; ++i) UpdateOne(settings, i);
    for (uint32_t line = 0; line < 4; ++line) {
        uint8_t shown = kSetPointLineNone;
        for (uint32_t i = 0; i < kSetPointCount; ++i) {
            if (settings->source[i] != line || s_Run[i].active == 0) continue;
            shown = shown == kSetPointLineNone ? settings->type[i] : kSetPointLineSeveral;
        }
        s_LineType[line] = shown;
    }
}

uint8_t SetPoint_GetState(uint32_t i) { return i < kSetPointCount ? s_Run[i].message : kSetPointNoMessage; }

uint8_t SetPoint_GetLineType(uint32_t line) { return line < 4 ? s_LineType[line] : kSetPointLineNone; }
