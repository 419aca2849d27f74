// The working set: edit copies of the output, relay, set-point, cleaning, alarm, PID and channel
// set-up modules, their copy and commit, and the rules a commit applies across modules.
#include "settings/settings_work.h"

#include <cstring>

#include "core/fmt.h"
#include "core/settings.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "outputs/messages.h"

SettingsWorkingSet g_WorkSet;
ParamEdit g_ParamCopied;
uint8_t g_RelayClash;
uint8_t g_RelayClashCounter;

// How long a relay clash is shown, in display refreshes.
static constexpr uint8_t kRelayClashShown = 80;
static constexpr uint8_t kCodeNone = kMeasNothingShown;

// What the edit copies' values that depend on a line's quantity were last set for: each output's
// range (the line's quantity, channel and unit prefix) and each set point's limits and hysteresis
// (the quantity it watches). A new quantity brings its defaults once, when a page shows them or at
// the commit, and what a page sets after that stays through the commit. Until the first copy they
// follow the live set-up.
struct RangeQuantity {
    uint8_t code;
    uint8_t channel;
    uint8_t prefix;
};
static constexpr uint8_t kNotCopied = 0xFE;
static RangeQuantity s_RangeSetFor[kAoutCount];
static uint8_t s_SetPointSetFor[kSetPointCount];

void Settings_ResetWorkState() {
    std::memset(&g_WorkSet, 0, sizeof g_WorkSet);
    std::memset(&g_ParamCopied, 0, sizeof g_ParamCopied);
    g_RelayClash = kRelayNone;
    g_RelayClashCounter = 0;
    for (RangeQuantity& q : s_RangeSetFor) q = RangeQuantity{kNotCopied, 0, 0};
    for (uint8_t& code : s_SetPointSetFor) code = kNotCopied;
}

// Edit copies are moved and compared byte for byte, padding included, so that an untouched copy
// compares equal to what it was copied from.
template <typename T>
static bool Same(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}
template <typename T>
static void Move(T* to, const T& from) {
    std::memcpy(to, &from, sizeof(T));
}

// ---- Measurement codes of the measurement lines -----------------------------------------------------

// A measurement line a to d is its slot; which display line shows it does not matter here.
static uint8_t LineCode(const MeasLineConfig& lines, uint32_t line) {
    if (line >= kSlotCount) return kCodeNone;
    return lines.kind[line] <= 54 ? lines.kind[line] : kCodeNone;
}

static uint8_t LineChannel(const MeasLineConfig& lines, uint32_t line) {
    if (line >= kSlotCount) return kChannelNone;
    return lines.channel[line] < 2 ? lines.channel[line] : 0;
}

uint8_t Settings_EditLineCode(uint32_t line) { return LineCode(g_WorkSet.channel.lines, line); }
uint8_t Settings_LiveLineCode(uint32_t line) { return LineCode(g_MeasLines, line); }

// ---- Channel set-up -------------------------------------------------------------------------------

void Settings_CopyChannelConfig() {
    ChannelConfigEdit& e = g_WorkSet.channel;
    Move(&e.lines, g_MeasLines);
    e.kind[0] = g_ChannelKind[0];
    e.kind[1] = g_ChannelKind[1];
    e.currentChannel = g_CurrentChannel < 2 ? g_CurrentChannel : 0;
}

void Settings_CommitChannelConfig(uint32_t* status) {
    *status = 0;
    const ChannelConfigEdit& e = g_WorkSet.channel;
    if (Same(e.lines, g_MeasLines) && e.kind[0] == g_ChannelKind[0] && e.kind[1] == g_ChannelKind[1] &&
        e.currentChannel == g_CurrentChannel) {
        return;
    }
    // A new kind for channel B with a sensor there: plug-and-measure looks at the sensor again.
    if (e.kind[1] != g_ChannelKind[1] && g_SensorKindDetected[1] < kKindNone) g_SensorPlugged[1] = 1;
    for (uint32_t ch = 0; ch < 2; ++ch) g_ChannelKind[ch] = e.kind[ch] <= kMaxChannelKind ? e.kind[ch] : 1;
    uint8_t channel = e.currentChannel < 2 ? e.currentChannel : 0;
    bool channelChanged = channel != g_CurrentChannel;
    g_CurrentChannel = channel;
    if (channelChanged) Msg_ResetChannel(channel);
    Move(&g_MeasLines, e.lines);
    // Every channel back on its configured kind, its calibration reloaded for it.
    Cal_SelectMeasurement(2, 0);
    for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
        Meas_SetSlotAssignment(slot, g_MeasLines.channel[slot], g_MeasLines.kind[slot]);
    }
    Vdx_SaveChannelConfig(status);
}

// ---- Relays, outputs, cleaning, alarm ---------------------------------------------------------------

void Settings_CopyRelays() { Move(&g_WorkSet.relays, g_RelaySettings); }

void Settings_CommitRelays(uint32_t* status) {
    *status = 0;
    if (Same(g_WorkSet.relays, g_RelaySettings)) return;
    Move(&g_RelaySettings, g_WorkSet.relays);
    Relay_SaveSettings(status);
}

static RangeQuantity LiveRangeQuantity(uint32_t output);

void Settings_CopyOutputs() {
    Move(&g_WorkSet.outputs, g_AoutSettings);
    for (uint32_t output = 0; output < kAoutCount; ++output) s_RangeSetFor[output] = LiveRangeQuantity(output);
}

void Settings_CommitOutputs(uint32_t* status) {
    *status = 0;
    if (Same(g_WorkSet.outputs, g_AoutSettings)) return;
    Move(&g_AoutSettings, g_WorkSet.outputs);
    Aout_SaveSettings(status);
}

void Settings_CopyCleaning() { Move(&g_WorkSet.cleaning, g_CleanSettings); }

void Settings_CommitCleaning(uint32_t* status) {
    *status = 0;
    CleanSettings& e = g_WorkSet.cleaning;
    // A relay the alarm or a PID pulse output already uses is not the cleaning's.
    if (e.relay < kRelayNone && (e.relay == g_WorkSet.alarm.relay || e.relay == g_WorkSet.pid.relayPositive ||
                                 e.relay == g_WorkSet.pid.relayNegative)) {
        e.relay = kRelayNone;
    }
    if (Same(e, g_CleanSettings)) return;
    Move(&g_CleanSettings, e);
    Clean_SaveSettings(status);
}

void Settings_CopyAlarm() { Move(&g_WorkSet.alarm, g_AlarmSettings); }

void Settings_CommitAlarm(uint32_t* status) {
    *status = 0;
    AlarmSettings& e = g_WorkSet.alarm;
    if (e.relay < kAlarmRelayNone && (e.relay == g_CleanSettings.relay || Settings_MarkChannelEdited(e.relay))) {
        e.relay = kAlarmRelayNone;
    }
    if (Same(e, g_AlarmSettings)) return;
    Move(&g_AlarmSettings, e);
    Alarm_SaveSettings(status);
}

// ---- Set points -------------------------------------------------------------------------------------

static uint8_t LiveSetPointCode(uint32_t i) {
    uint8_t line = g_SetPointSettings.source[i];
    return line < kSetPointSourceOff ? Settings_LiveLineCode(line) : kCodeNone;
}

void Settings_CopySetPoints() {
    Move(&g_WorkSet.setPoints, g_SetPointSettings);
    for (uint32_t i = 0; i < kSetPointCount; ++i) s_SetPointSetFor[i] = LiveSetPointCode(i);
}

void Settings_CommitSetPoints(uint32_t* status) {
    *status = 0;
    SetPointSettings& e = g_WorkSet.setPoints;
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        uint8_t relay = e.relay[i];
        if (relay < kRelayNone && (relay == g_CleanSettings.relay || Settings_MarkChannelEdited(relay))) {
            e.relay[i] = kRelayNone;
        }
    }
    if (Same(e, g_SetPointSettings)) return;
    Move(&g_SetPointSettings, e);
    SetPoint_SaveSettings(status);
}

uint32_t Settings_MarkChannelEdited(uint8_t relay) {
    if (relay >= kRelayNone) return 0;
    if (relay != g_WorkSet.pid.relayPositive && relay != g_WorkSet.pid.relayNegative) return 0;
    g_RelayClash = relay;
    g_RelayClashCounter = kRelayClashShown;
    return 1;
}

void Settings_KeepOneUserPerRelay() {
    const PidSettings& pid = g_WorkSet.pid;
    for (uint8_t relay = 0; relay < kRelayCount; ++relay) {
        bool pulses = pid.relayPositive == relay || pid.relayNegative == relay;
        uint32_t keeper = pulses ? kRelayUserPid : Relay_GetUsage(relay);
        if (keeper != kRelayUserNone) Relay_TakeFromOthers(relay, keeper);
    }
}

void Settings_RefreshSetPointDefaults(uint32_t i) {
    if (i >= kSetPointCount) return;
    SetPointSettings& e = g_WorkSet.setPoints;
    uint8_t edited = e.source[i] < kSetPointSourceOff ? Settings_EditLineCode(e.source[i]) : kCodeNone;
    uint8_t setFor = s_SetPointSetFor[i] == kNotCopied ? LiveSetPointCode(i) : s_SetPointSetFor[i];
    if (edited == setFor) return;
    s_SetPointSetFor[i] = edited;
    float limit = 0.0f;
    if (edited == 19 || edited == 24 || edited == 13 || edited == 39) {
        uint8_t channel = LineChannel(g_WorkSet.channel.lines, e.source[i]);
        limit = Chan_GetSetPointDefault(g_WorkSet.channel.kind[channel < 2 ? channel : 0]);
    }
    e.valueA[i] = limit;
    e.valueB[i] = 0.0f;
    e.hysteresis[i] = SetPoint_IsAbsoluteHysteresisCode(edited) ? 0.0f : 5.0f;
}

void Settings_RefreshAllSetPoints() {
    for (uint32_t i = 0; i < kSetPointCount; ++i) Settings_RefreshSetPointDefaults(i);
}

static uint8_t LinePrefix(const MeasLineConfig& lines, uint32_t line) {
    return line < kSlotCount ? lines.prefix[line] : kPrefixNone;
}

static RangeQuantity LiveRangeQuantity(uint32_t output) {
    return RangeQuantity{LineCode(g_MeasLines, output), LineChannel(g_MeasLines, output),
                         LinePrefix(g_MeasLines, output)};
}

// Output i follows measurement line i: a new measurement there brings that measurement's range; a new
// unit prefix keeps the range while the line's unit can show it.
void Settings_RefreshOutputRange(uint32_t output) {
    if (output >= kAoutCount) return;
    const MeasLineConfig& edited = g_WorkSet.channel.lines;
    RangeQuantity now{LineCode(edited, output), LineChannel(edited, output), LinePrefix(edited, output)};
    RangeQuantity& setFor = s_RangeSetFor[output];
    if (setFor.code == kNotCopied) setFor = LiveRangeQuantity(output);
    float& low = g_WorkSet.outputs.valueAt4mA[output];
    float& high = g_WorkSet.outputs.valueAt20mA[output];
    bool same = now.code == setFor.code && now.channel == setFor.channel;
    if (same && (now.prefix == setFor.prefix || Aout_RangeFitsUnit(now.code, now.prefix, low, high))) {
        setFor = now;
        return;
    }
    setFor = now;
    high = Aout_GetDefaultRangeBound(now.code, now.prefix, 0);
    low = Aout_GetDefaultRangeBound(now.code, now.prefix, 1);
}

void Settings_RefreshOutputRanges() {
    for (uint32_t output = 0; output < kAoutCount; ++output) Settings_RefreshOutputRange(output);
}

// ---- PID ----------------------------------------------------------------------------------------------

void Settings_CopyPid() {
    Move(&g_WorkSet.pid, g_PidSettings);
    uint8_t source = g_PidSettings.source;
    g_WorkSet.pidCode = source < kPidSourceOff ? Settings_LiveLineCode(source) : kCodeNone;
    g_WorkSet.pidHold[0] = g_PidHoldBytes[0];
    g_WorkSet.pidHold[1] = g_PidHoldBytes[1];
}

void Settings_RefreshPidForKind() {
    PidSettings& e = g_WorkSet.pid;
    uint8_t edited = e.source < kPidSourceOff ? Settings_EditLineCode(e.source) : kCodeNone;
    if (edited == g_WorkSet.pidCode) return;
    g_WorkSet.pidCode = edited;
    // Set point, dead band, lower and upper limit, and the two corners of the error curve.
    static const float kPh[8] = {7.0f, 0.0f, 0.0f, 14.0f, 0.0f, 1.0f, 14.0f, -1.0f};
    static const float kOther[8] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, -1.0f};
    const float* v = edited == 13 || edited == 39 ? kPh : kOther;
    e.setPoint = v[0];
    e.deadBand = v[1];
    e.lowerLimit = v[2];
    e.upperLimit = v[3];
    e.lowerCornerX = v[4];
    e.lowerCornerY = v[5];
    e.upperCornerX = v[6];
    e.upperCornerY = v[7];
}

void Settings_CommitPid(uint32_t* status) {
    *status = 0;
    Settings_RefreshPidForKind();
    bool block = !Same(g_WorkSet.pid, g_PidSettings);
    bool hold = g_WorkSet.pidHold[0] != g_PidHoldBytes[0] || g_WorkSet.pidHold[1] != g_PidHoldBytes[1];
    if (!block && !hold) return;
    Move(&g_PidSettings, g_WorkSet.pid);
    g_PidHoldBytes[0] = g_WorkSet.pidHold[0];
    g_PidHoldBytes[1] = g_WorkSet.pidHold[1];
    Pid_SaveSettings(status);
}

uint32_t Settings_PidMayRun() {
    const PidSettings& p = g_PidSettings;
    if (p.source >= kPidSourceOff || p.displayChoice == kPidDisplayNo) return 0;
    if (p.relayPositive >= kRelayNone && p.relayNegative >= kRelayNone) return 0;
    uint8_t channel = Meas_GetSlotChannel(p.source);
    if (Chan_GetCurrentChannel() == 1 && channel < 2 && g_SensorKindDetected[channel] >= kKindNoSensor) return 0;
    return 1;
}

// ---- Accessors ------------------------------------------------------------------------------------------

uint8_t Settings_GetEditChannel() {
    return g_WorkSet.channel.currentChannel < 2 ? g_WorkSet.channel.currentChannel : 0;
}
uint8_t Settings_GetEditKind(uint32_t channel) { return channel < 2 ? g_WorkSet.channel.kind[channel] : 0; }
void Settings_SetEditKind(uint32_t channel, uint8_t kind) {
    if (channel < 2) g_WorkSet.channel.kind[channel] = kind;
}
MeasLineConfig* Settings_GetEditMeasLines() { return &g_WorkSet.channel.lines; }
uint8_t Settings_GetEditPidManual() { return g_WorkSet.pid.mode == kPidManual ? 1 : 0; }
void Settings_SetEditPidManual(uint8_t manual) { g_WorkSet.pid.mode = manual ? kPidManual : kPidAutomatic; }
uint8_t Settings_GetEditParam28(uint32_t) { return g_WorkSet.params.pressureSource; }
void Settings_SetEditParam28(uint32_t, uint8_t value) { g_WorkSet.params.pressureSource = value; }
uint8_t Settings_GetEditLedMode() { return g_WorkSet.params.ledMode; }
void Settings_SetEditLedMode(uint8_t mode) { g_WorkSet.params.ledMode = mode; }
uint8_t Settings_GetSlopeUnit(uint32_t channel) {
    return channel < 2 ? g_WorkSet.params.channel[channel].slopeUnit : 0;
}
void Settings_SetSlopeUnit(uint32_t channel, uint8_t unit) {
    if (channel < 2) g_WorkSet.params.channel[channel].slopeUnit = unit;
}
uint8_t Settings_GetOffsetUnit(uint32_t channel) {
    return channel < 2 ? g_WorkSet.params.channel[channel].offsetUnit : 0;
}
void Settings_SetOffsetUnit(uint32_t channel, uint8_t unit) {
    if (channel < 2) g_WorkSet.params.channel[channel].offsetUnit = unit;
}

void Settings_DefaultOutputCalIfOk(uint32_t* status) {
    if (*status == 0) Aout_ResetCalPoints(status);
}
