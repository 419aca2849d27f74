// Channel settings services: calibration edit values, resets and the per-kind defaults.
#include "measurement/chan_reset.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/fmt.h"
#include "core/link.h"
#include "core/menu_position.h"
#include "core/param.h"
#include "digital_sensor/vdx.h"
#include "measurement/calibration.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/conductivity.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/ph_buffers.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/alarms.h"
#include "settings/settings_sensor.h"
#include "settings/settings_work.h"

// The device's serial text (the identity's, kept in the store).
static constexpr uint32_t kStoreSerialText = 90;
static constexpr StoreRange kStoreRanges[] = {{kStoreSerialText, kSerialTextBytes}};
const StoreMap g_SerialTextStoreMap = {"serial text", kStoreRanges, 1};

float g_CalEditValues[2][4];
uint8_t g_CalEditUnit[2];

void Chan_ResetEditState() {
    for (uint32_t ch = 0; ch < 2; ++ch) {
        g_CalEditValues[ch][kCalEditSlope] = 1.0f;
        g_CalEditValues[ch][kCalEditOffset] = 0.0f;
        g_CalEditValues[ch][kCalEditTempSlope] = 1.0f;
        g_CalEditValues[ch][kCalEditTempOffset] = 0.0f;
        g_CalEditUnit[ch] = 1;
    }
}

// ---- Per-kind defaults ---------------------------------------------------------------------------------

// By configured kind: 0 automatic, 1 pH/ORP, 2 pH/pNa, 3 and 4 conductivity (2 and 4 electrodes),
// 5 to 8 amperometric oxygen (high, low, trace, the gauge "ppmO2 G"), 9 optical oxygen, 10 CO2,
// 11 the second CO2 sensor, 12 ozone, 13 and 14 pH sensors of other makes.
struct KindDefaults {
    uint8_t lineUnit;     // unit code of display line 1: the first of the kind's unit list
    float setPointLimit;  // set point 0's first limit, in that unit
    uint8_t calEditUnit;  // selector of parameters 7 and 8
};
static constexpr uint32_t kKindDefaultsCount = 15;
static const KindDefaults kKindDefaults[kKindDefaultsCount] = {
    {13, 12.0f, 0},   // automatic: the factory layout's pH until a sensor is known
    {13, 12.0f, 0},   // pH/ORP: pH, the factory set point
    {13, 12.0f, 0},   // pH/pNa
    {1, 0.0f, 2},     // conductivity, S/cm: no limit that suits every cell
    {1, 0.0f, 2},     // conductivity, 4 electrodes
    {19, 100.0f, 3},  // oxygen high range: percent of air saturation
    {24, 8.0f, 3},    // oxygen low range: ppm, about saturation at 25 C
    {24, 8.0f, 3},    // oxygen trace
    {24, 8.0f, 3},    // oxygen gauge
    {19, 100.0f, 8},  // optical oxygen: percent of air saturation
    {33, 10.0f, 13},  // CO2: percent
    {33, 10.0f, 13},  // second CO2 sensor
    {1, 0.0f, 1},     // ozone: the kind's list offers S/cm only; no calibration constants
    {13, 12.0f, 0},   // pH (other make)
    {13, 12.0f, 14},  // pH (other make), fixed slope
};

static const KindDefaults& DefaultsOf(uint32_t kind) { return kKindDefaults[kind < kKindDefaultsCount ? kind : 0]; }
uint8_t Chan_GetDefaultLineUnit(uint32_t kind) { return DefaultsOf(kind).lineUnit; }
float Chan_GetSetPointDefault(uint32_t kind) { return DefaultsOf(kind).setPointLimit; }
uint8_t Chan_GetCalEditUnit(uint32_t kind) { return DefaultsOf(kind).calEditUnit; }

// ---- Calibration edit values ---------------------------------------------------------------------------

// Selectors of parameters 7 and 8: the cell constant, the temperature, the fixed slopes.
static constexpr uint32_t kSelectorCell = 2;
static constexpr uint32_t kSelectorTemperature = 6;
static constexpr uint32_t kSelectorFixed = 1;
static constexpr uint32_t kSelectorFixedPh = 14;

void Chan_LoadCalEditValues(uint32_t channel, uint32_t asked) {
    if (channel >= 2) return;
    uint32_t unit = kSelectorCell;
    if (!asked) {
        switch (Menu_GetPosition() & ~0xF000u) {
            case 0x100005:
                unit = Chan_GetCalEditUnit(g_ChannelKind[channel]);
                break;
            case 0x100008:
                unit = 0;
                break;
            case 0x10000e:
                unit = 13;
                break;
            case 0x10001b:
                unit = 10;
                break;
            case 0x10001c:
                unit = 14;
                break;
            default:
                unit = kSelectorFixed;
                break;
        }
    }
    Chan_ReadCalEditValues(unit, channel);
}

void Chan_ReadCalEditValues(uint32_t unit, uint32_t channel) {
    if (channel >= 2) return;
    uint32_t kind = g_ChannelKind[channel];
    bool oxygen = Chan_IsMeasuringKindO2(kind) != 0;
    bool phLike = kind == kKindPh || kind == kKindPhPna || kind == kKindCo2 || kind == 14;
    bool wide = !oxygen && (!phLike || unit == kSelectorFixed || unit == kSelectorFixedPh);
    float upper = wide ? 1e6f : 1e5f;
    float lower = wide ? -1e5f : -1e4f;
    uint32_t status = 0;
    float* v = g_CalEditValues[channel];
    v[kCalEditSlope] = Param_GetFloat(channel, 7, unit, &status);
    v[kCalEditOffset] = Param_GetFloat(channel, 8, unit, &status);
    v[kCalEditTempSlope] = Param_GetFloat(channel, 7, kSelectorTemperature, &status);
    v[kCalEditTempOffset] = Param_GetFloat(channel, 8, kSelectorTemperature, &status);
    g_CalEditUnit[channel] = static_cast<uint8_t>(unit);
    auto outside = [](float x, float hi, float lo) { return !(x + 0.5f < hi) || x - 0.5f < lo; };
    if (outside(v[kCalEditSlope], upper, lower)) v[kCalEditSlope] = 1.0f;
    if (outside(v[kCalEditOffset], upper, lower)) v[kCalEditOffset] = 0.0f;
    // A temperature value out of range resets itself, never the primary one.
    if (outside(v[kCalEditTempSlope], 1e6f, -1e5f)) v[kCalEditTempSlope] = 1.0f;
    if (outside(v[kCalEditTempOffset], 1e6f, -1e5f)) v[kCalEditTempOffset] = 0.0f;
}

void Chan_SaveCalEditValues(uint32_t channel) {
    if (channel >= 2) return;
    uint32_t status = 0;
    const float* v = g_CalEditValues[channel];
    uint32_t unit = g_CalEditUnit[channel];
    // The four constants reach the store together or not at all.
    Eeprom_BeginCommit();
    Param_SetFloat(channel, 7, unit, v[kCalEditSlope], &status);
    Param_SetFloat(channel, 8, unit, v[kCalEditOffset], &status);
    Param_SetFloat(channel, 7, kSelectorTemperature, v[kCalEditTempSlope], &status);
    Param_SetFloat(channel, 8, kSelectorTemperature, v[kCalEditTempOffset], &status);
    Eeprom_EndCommit(&status);
    g_SensorParamSavePending = 1;
}

// ---- Resets ----------------------------------------------------------------------------------------------

void Meas_ResetSettings(uint32_t mode) {
    uint32_t status = 0;
    if (mode == 0) {
        // Channel B's sensor is identified anew.
        g_SensorKindDetected[1] = kKindNone;
        Link_SetRequestBit(kReqRestoreFactory);
        return;
    }
    if (mode == 3) {
        // Both outputs' factory calibrations reach the store together.
        Eeprom_BeginCommit();
        Aout_RestoreFactoryCal(&status);
        Eeprom_EndCommit(&status);
        return;
    }
    if (mode != 2) return;
    uint32_t s = 0;
    Settings_DefaultOutputCalIfOk(&status);
    Filter_DefaultModes(&s);
    Eeprom_NoteFailure(&status, s);
    Temp_ResetAllCal(&s);
    Eeprom_NoteFailure(&status, s);
    CalCond_SetDefaults(&s);
    Eeprom_NoteFailure(&status, s);
    CalO2_ResetToFactory(0, &s);
    Eeprom_NoteFailure(&status, s);
    Chan_ResetChannelB(&s);
    Eeprom_NoteFailure(&status, s);
    CalPh_DefaultCo2Pressure(&s);
    Eeprom_NoteFailure(&status, s);
    CalPh_ResetToFactory(0, &s);
    Eeprom_NoteFailure(&status, s);
    CalPh_DefaultGlassImpedanceRef(&s);
    CalPh_DefaultRefImpedanceRef(&s);
    CalPh_ResetModes(&s);
    Temp_SetDefaults(&s);
    for (uint32_t ch = 0; ch < 2; ++ch) {
        bool digital = ch == 1;
        if (digital) {
            if (g_SensorKindActive[ch] < kKindNoSensor) {
                g_ApplySensorCal = 1;
                Chan_ApplySensorCalData();
            }
        } else {
            Meas_LoadCalForKind(ch, g_ChannelKind[ch]);
        }
    }
    Alarm_ClearAllCauses();
}

uint8_t Chan_SetDefaultResolution(uint32_t unit, uint32_t line) {
    uint8_t resolution = 1;
    if (unit == 0 || unit == 1 || unit == 13 || unit == 39) resolution = 2;
    if (unit == 14 || unit == 15 || unit == 24 || unit == 38 || unit == 40) resolution = 0;
    if (line < kSlotCount) g_WorkSet.channel.lines.resolution[line] = resolution;
    return resolution;
}

void Chan_ResetForSensorKind(uint32_t channel, uint32_t kind) {
    if (channel >= 2) return;
    SettingsWorkingSet& w = g_WorkSet;
    w.channel.kind[channel] = static_cast<uint8_t>(kind);
    // Polarization voltages of the oxygen sensors, mV.
    if (kind == kKindO2Gauge) {
        g_SensorEdit.measPolVoltage[channel] = -600;
    } else if (kind == kKindO2High) {
        g_SensorEdit.measPolVoltage[channel] = -674;
    } else if (kind == kKindO2Low || kind == kKindO2Trace) {
        g_SensorEdit.measPolVoltage[channel] = -500;
    }
    g_SensorEdit.calPolVoltage[channel] = kind == kKindO2Gauge ? -800 : -674;
    if (channel == 0 && (kind == kKindPh || kind == kKindCo2 || kind == 14)) {
        w.params.channel[0].slopeUnit = 0;
        w.params.channel[0].offsetUnit = 0;
        w.params.channel[0].isoPoint = 7.0f;
        w.params.channel[0].stcCoefficient = 0.0f;
    }
    // The CO2 electrode takes the buffer sets 0 and 8 only; a set chosen for the pH electrode before
    // must not be committed over the CO2 channel's.
    uint8_t& set = w.params.channel[channel].bufferSet;
    if (kind == kKindCo2 && set != kBufferSetNone) set = 0;
    // The lines: the kind's own unit, its temperature, nothing; all of this channel.
    const uint8_t units[kSlotCount] = {Chan_GetDefaultLineUnit(kind), 11, kMeasNothingShown, kMeasNothingShown};
    MeasLineConfig& lines = w.channel.lines;
    for (uint32_t line = 0; line < kSlotCount; ++line) {
        lines.channel[line] = static_cast<uint8_t>(channel);
        lines.kind[line] = units[line];
        uint8_t resolution = Chan_SetDefaultResolution(units[line], line);
        lines.prefix[line] = static_cast<uint8_t>(Fmt_ResolutionClass(units[line], resolution));
    }
    SetPointSettings& sp = w.setPoints;
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        sp.source[i] = kSetPointSourceOff;
        sp.relay[i] = kRelayNone;
        sp.type[i] = kSetPointOff;
        sp.rangeAction[i] = kSetPointRangeNo;
        sp.valueA[i] = 0.0f;
        sp.valueB[i] = 0.0f;
    }
    for (uint32_t i = 0; i < 2; ++i) {
        sp.source[i] = static_cast<uint8_t>(i);
        sp.hysteresis[i] = units[i] >= 11 && units[i] <= 15 ? 0.0f : 5.0f;
    }
    sp.valueA[0] = Chan_GetSetPointDefault(kind);
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        w.outputs.alarmLevel[i] = kAoutAlarmLevelHigh;
        w.outputs.alarmEnable[i] = 0;
        w.outputs.holdMode[i] = kAoutHoldLast;
        w.outputs.holdValue[i] = 4.0f;
    }
    w.relays.delay[0] = 0.0f;
    w.relays.delay[1] = 1.0f;
    w.relays.sense[0] = kRelayNormallyOpen;
    w.relays.sense[1] = kRelayNormallyClosed;
    w.relays.holdBehaviour[1] = kRelayHoldKeep;
    w.alarm.relay = 1;
    w.cleaning.relay = 0;
    w.pid.source = kPidSourceOff;
    w.pid.relayPositive = kRelayNone;
    w.pid.relayNegative = kRelayNone;
    w.pid.spareB[0] = kRelayNone;
    w.pid.spareB[1] = kRelayNone;
    Vdx_ReadSensorSetup();
    w.alarm.disableMask = 0xFFFFFE7F;
    // The sensor-monitoring alarms give up their relays in the edit copy, whichever channel
    // changed: the live alarms keep theirs until the change is saved, and keep them if it is
    // dropped.
    for (SlotMonitor& m : g_SlotEdit.monitor) m.output = kRelayNone;
    for (SlotCycle& c : g_SlotEdit.cycle) c.output = kRelayNone;
}

// The relay bytes of channel B's sensor monitoring: the lifetime, maintenance and calibration
// timer alarms, then the CIP, SIP and autoclave alarms. A byte that names a relay is a use of it
// whichever channel is shown: the alarms switch their relays as soon as channel B is.
static constexpr uint32_t kMonitorOutputs = 6;
static uint8_t* MonitorOutput(uint32_t i) {
    return i < kMonitorRecords ? &g_SlotEdit.monitor[i].output : &g_SlotEdit.cycle[i - kMonitorRecords].output;
}

uint32_t Relay_GetOtherUser(uint32_t relay, uint32_t asking) {
    if (relay > 1) return kRelayUserNone;
    const SettingsWorkingSet& w = g_WorkSet;
    if (asking != kRelayUserAlarm && w.alarm.relay == relay) return kRelayUserAlarm;
    if (asking != kRelayUserCleaning && w.cleaning.relay == relay) return kRelayUserCleaning;
    if (asking != kRelayUserSetPoints && Relay_GetSetPointUser(relay) < kSetPointCount) return kRelayUserSetPoints;
    for (uint32_t i = 0; i < kMonitorOutputs; ++i) {
        uint32_t user = kRelayUserMonitorFirst + kRelayUserMonitorStep * i;
        if (asking != user && *MonitorOutput(i) == relay) return user;
    }
    if (asking != kRelayUserPid && (w.pid.relayPositive == relay || w.pid.relayNegative == relay)) return kRelayUserPid;
    return kRelayUserNone;
}

uint32_t Relay_GetUsage(uint32_t relay) { return Relay_GetOtherUser(relay, kRelayUserPid); }

uint32_t Relay_GetSetPointUser(uint32_t relay) {
    const SetPointSettings& s = g_WorkSet.setPoints;
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        if (s.source[i] != kSetPointSourceOff && s.relay[i] == relay) return i;
    }
    return kSetPointCount;
}

void Relay_TakeFromOthers(uint32_t relay, uint32_t keeping) {
    if (relay > 1) return;
    SettingsWorkingSet& w = g_WorkSet;
    if (keeping != kRelayUserAlarm && w.alarm.relay == relay) w.alarm.relay = kAlarmRelayNone;
    if (keeping != kRelayUserCleaning && w.cleaning.relay == relay) w.cleaning.relay = kRelayNone;
    if (keeping != kRelayUserSetPoints) {
        for (uint32_t i = Relay_GetSetPointUser(relay); i < kSetPointCount; i = Relay_GetSetPointUser(relay)) {
            w.setPoints.relay[i] = kRelayNone;
        }
    }
    for (uint32_t i = 0; i < kMonitorOutputs; ++i) {
        if (keeping != kRelayUserMonitorFirst + kRelayUserMonitorStep * i && *MonitorOutput(i) == relay) {
            *MonitorOutput(i) = kRelayNone;
        }
    }
    if (keeping != kRelayUserPid) {
        if (w.pid.relayPositive == relay) w.pid.relayPositive = kRelayNone;
        if (w.pid.relayNegative == relay) w.pid.relayNegative = kRelayNone;
    }
}

float Chan_DecadeStep(float x, uint32_t highSide) {
    double magnitude = std::fabs(static_cast<double>(x));
    double decade = 1e-12;
    // Far above any value a page edits; a value that is not a number stops there too.
    while (!(decade >= magnitude) && decade < 1e30) decade *= 10.0;
    double step = decade * 1e-5;
    if (!highSide && step >= 0.1) step = 0.0;
    if (highSide) step *= 5.0;
    if (step > 500001.0) step = 500000.0;
    return static_cast<float>(step);
}

uint32_t Chan_FitRangeToBand(float low, float high, float* lowOut, float* highOut) {
    float s = g_WorkSet.pid.setPoint;
    float d = g_WorkSet.pid.deadBand;
    *lowOut = low;
    *highOut = high;
    uint32_t result = 0;
    if (low - Chan_DecadeStep(low, 0) - Chan_DecadeStep(s - d, 1) > s - d) {
        *lowOut = (s - d) - Chan_DecadeStep(s - d, 0);
        result |= 1;
    }
    if (s + d > Chan_DecadeStep(s + d, 1) + high) {
        *highOut = s + d;
        result |= 2;
    }
    return result;
}

uint32_t Chan_HasTempComp(uint32_t channel) {
    uint32_t status = 0;
    return Param_GetInt(channel, 3, &status) != 10 ? 1 : 0;
}

void Chan_ReadSerialText(char* text, uint32_t* status) {
    Eeprom_Read(kStoreSerialText, text, kSerialTextBytes, status);
}

void Chan_RepairSerialText(uint32_t* status) {
    *status = 0;
    uint8_t text[kSerialTextBytes];
    Eeprom_Read(kStoreSerialText, text, kSerialTextBytes, status);
    if (*status != 0) return;
    for (uint32_t i = 0; i < kSerialTextBytes; ++i) {
        if (text[i] >= 32 && text[i] <= 126) continue;
        text[i] = '0';
        Eeprom_WriteNoted(kStoreSerialText + i, &text[i], 1, status);
    }
}
