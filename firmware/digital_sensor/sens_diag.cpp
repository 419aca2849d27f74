// Digital sensor diagnostics: cycle counters and their temperature detectors, the sensor's timers
// and maximum temperature in its memory image (or its registers for a command-protocol sensor),
// the transmitter's limits and intervals, the published indicators, and their alarms.
#include "digital_sensor/sens_diag.h"

#include <cmath>
#include <cstring>

#include "core/eeprom.h"
#include "core/link.h"
#include "core/timers.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag_opt.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "outputs/relays.h"

// ---- Store --------------------------------------------------------------------------------------

static constexpr uint32_t kStoreCipLimit = 402;        // + channel
static constexpr uint32_t kStoreSipLimit = 414;        // + channel
static constexpr uint32_t kStoreAutoclaveLimit = 426;  // + channel
static constexpr uint32_t kStoreCipTemp = 438;         // + channel
static constexpr uint32_t kStoreSipTemp = 440;         // + channel
static constexpr uint32_t kStoreTtmInterval = 460;     // + 4 x channel
static constexpr uint32_t kStoreActInterval = 468;     // + 4 x channel
static constexpr uint32_t kStoreS133Setting = 893;
static constexpr StoreRange kStoreRanges[] = {
    {kStoreCipLimit, 2},    {kStoreSipLimit, 2},    {kStoreAutoclaveLimit, 2}, {kStoreCipTemp, 4},
    {kStoreTtmInterval, 8}, {kStoreActInterval, 8}, {kStoreS133Setting, 1},
};
const StoreMap g_SensDiagStoreMap = {"sensor diagnostics", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

// Limits and defaults of the settings.
static constexpr uint8_t kCycleLimitMax = 254;
static constexpr uint8_t kCipTempDefault = 55;
static constexpr uint8_t kCipTempMin = 30;
static constexpr uint8_t kCipTempMax = 100;
static constexpr uint8_t kSipTempDefault = 115;
static constexpr uint8_t kSipTempMin = 90;
static constexpr uint8_t kSipTempMax = 130;
static constexpr uint32_t kTtmIntervalLimit = 10201;  // tenths of a day, exclusive
static constexpr uint32_t kActIntervalLimit = 4081;   // hours, exclusive
static constexpr uint32_t kActHoursMax = 4080;
static constexpr uint32_t kTtmTenthsMaxLayout0 = 4000;
static constexpr uint32_t kTtmTenthsMaxLayout1 = 10200;
static constexpr uint32_t kActRegisterDaysMax = 170;
static constexpr SensDiagSettings kDefaultSettings = {
    kCycleLimitMax, kCycleLimitMax, kCycleLimitMax, kCipTempDefault, kSipTempDefault, 0, 0};

// ---- Image fields ---------------------------------------------------------------------------------

static constexpr uint32_t kAutoclaveByte = 353;
static constexpr uint32_t kSipByte = 354;
static constexpr uint32_t kCipByte = 355;
static constexpr uint32_t kPage13Bit = 13 * 32 * 8;
static constexpr uint32_t kCondSipBit = kPage13Bit + 66;
static constexpr uint32_t kCondCipBit = kPage13Bit + 78;
static constexpr uint32_t kCondCountBits = 12;
static constexpr uint32_t kOperatingHoursByte = 417;
static constexpr uint32_t kCondOperatingHoursBit = kPage13Bit + 36;
static constexpr uint32_t kLifetimeLeftByte = 421;
static constexpr uint32_t kTtmLeftByte = 423;
static constexpr uint32_t kActLeftByte = 425;
static constexpr uint32_t kRestartWordsByte = 427;  // 427..430: two words that become 1
static constexpr uint32_t kMaxTempBit = 336 * 8;
static constexpr uint32_t kMaxTempDayBit = 337 * 8 + 4;
static constexpr uint32_t kCondMaxTempBit = kPage13Bit + 8;
static constexpr uint32_t kCondMaxTempDayBit = kPage13Bit + 20;
static constexpr uint32_t kKind8EnableBit = 129;
static constexpr uint32_t kKind8LowSignalBit = 15 * 256 + 230;
static constexpr uint32_t kKind8HighSignalBit = 15 * 256 + 240;

// Page-1 interval fields by layout: bit position and width of the ACT interval (hours), the TTM
// interval (tenths of a day, layout 1 units of 2 days) and the lifetime limit.
struct IntervalFields {
    uint32_t actBit, actBits;
    uint32_t ttmBit, ttmBits;
    uint32_t lifeBit, lifeBits;
};
static constexpr IntervalFields kFieldsPh = {56 * 8 + 6, 12, 62 * 8 + 4, 12, 61 * 8 + 2, 10};
static constexpr IntervalFields kFieldsCo2 = {54 * 8 + 2, 12, 60 * 8, 12, 58 * 8 + 6, 10};
static constexpr IntervalFields kFieldsO2 = {55 * 8 + 7, 12, 61 * 8 + 6, 9, 62 * 8 + 7, 9};

// Cycle detection: 300 replies above the limit count a cycle, then 7200 replies of hold; a dip of
// up to 5 degrees below the limit does not break the count.
static constexpr uint16_t kDetectorCount = 300;
static constexpr uint16_t kDetectorHold = 7200;
static constexpr float kDetectorTolerance = 5.0f;
static constexpr float kMaxTempStep = 0.2f;
// The G100 poll counter value that takes the sensor's diagnostic block after seven polls.
static constexpr uint16_t kPollSoon = 395;
// The optical sensor's value for "one autoclave cycle".
static constexpr uint8_t kS126Autoclave = 3;
// Reset events of the optical sensor: 1 SIP, 2 CIP, 3 autoclave, 6 lifetime.
static constexpr uint32_t kResetEventSip = 1;
static constexpr uint32_t kResetEventCip = 2;
static constexpr uint32_t kResetEventAutoclave = 3;
static constexpr uint32_t kResetEventLifetime = 6;
// Registers of the optical sensor: 1 SIP, 2 CIP, 3 autoclave limit, 5 the ACT interval.
static constexpr uint32_t kRegisterSip = 1;
static constexpr uint32_t kRegisterCip = 2;
static constexpr uint32_t kRegisterAutoclave = 3;
static constexpr uint32_t kRegisterAct = 5;

// Alarm messages (channel B's numbers), flags and the first flag of the timers.
static constexpr uint16_t kMsgCycleFirst = 58;                        // CIP, SIP, autoclave counter expired
static constexpr uint16_t kMsgTimer[3] = {kMsgChangeSensor, 56, 57};  // lifetime, maintenance, calibration
static constexpr uint32_t kFlagCycleFirst = 16;
static constexpr uint32_t kFlagTimerFirst = 19;
static constexpr uint32_t kEnableCycle[3] = {kDiagEnableCip, kDiagEnableSip, kDiagEnableAutoclave};
static constexpr uint32_t kEnableTimer[3] = {kDiagEnableLifetime, kDiagEnableTtm, kDiagEnableAct};
static constexpr uint8_t kOutputNone = 2;

float g_DiagIndicators[9];
uint8_t g_SensorSaveFlags[2];
uint8_t g_ChanOcAlarm[kDiagAlarms];
SensDiagAlarmSetting g_SensDiagAlarms[kDiagAlarms];
uint32_t g_CycleAlarmEnable;
SensDiagSettings g_SensDiagSettings[2];

struct Detector {
    uint8_t enabled;
    uint16_t counter;
    uint8_t counted;  // 1 in the hold phase after a counted cycle
};
static Detector s_Cip[2];
static Detector s_Sip[2];
static uint8_t s_CipJustCounted[2];
static uint8_t s_OutputState[kDiagAlarms];

// Nothing in the settings switches the sensor's alarms on: every start switches the timers' alarms
// on (each is switched off on its own page); the cycle alarms stay off.
static constexpr uint32_t kTimerAlarmsOn = kDiagEnableTtm | kDiagEnableAct | kDiagEnableLifetime;
// Until the cycle-counter settings load them: with a flag, no output.
static constexpr SensDiagAlarmSetting kDefaultAlarm = {0, kOutputNone, 0};

void SensDiag_ResetState() {
    std::memset(g_DiagIndicators, 0, sizeof g_DiagIndicators);
    std::memset(g_SensorSaveFlags, 0, sizeof g_SensorSaveFlags);
    std::memset(g_ChanOcAlarm, 0, sizeof g_ChanOcAlarm);
    std::memset(s_OutputState, 0, sizeof s_OutputState);
    for (SensDiagAlarmSetting& a : g_SensDiagAlarms) a = kDefaultAlarm;
    // As the program has it at power-on: the start switches the timers' alarms on.
    g_CycleAlarmEnable = 0;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        g_SensDiagSettings[channel] = kDefaultSettings;
        s_Cip[channel] = {1, 0, 0};
        s_Sip[channel] = {1, 0, 0};
        s_CipJustCounted[channel] = 0;
    }
}

uint32_t SensDiag_GetCycleAlarmEnable() { return g_CycleAlarmEnable; }

// ---- Helpers --------------------------------------------------------------------------------------

static bool IsChannel(uint32_t channel) { return channel < 2; }
static uint32_t Layout(uint32_t channel) { return IsChannel(channel) ? g_SensorMemLayout[channel] : kLayoutNone; }
static bool IsImage(uint32_t channel) { return Layout(channel) <= kLayoutCond; }
static bool IsProtocol(uint32_t channel) { return Layout(channel) == kLayoutProtocol; }
static uint32_t ActiveKind(uint32_t channel) { return IsChannel(channel) ? g_SensorKindActive[channel] : kKindNone; }
// A channel of 2 or more (none) reads channel A's image rather than past the images.
static uint8_t* Image(uint32_t channel) { return g_SensorMemImage[IsChannel(channel) ? channel : 0]; }
static uint32_t Bits(uint32_t channel, uint32_t start, uint32_t width) {
    return SensMem_GetBits(Image(channel), start, width);
}
static void PutBits(uint32_t channel, uint32_t start, uint32_t width, uint32_t value) {
    SensMem_PutBits(Image(channel), start, width, value);
}
static uint32_t U16(uint32_t channel, uint32_t byte) { return SensMem_GetU16LE(Image(channel) + byte); }
static void PutU16(uint32_t channel, uint32_t byte, uint32_t value) {
    Image(channel)[byte] = static_cast<uint8_t>(value);
    Image(channel)[byte + 1] = static_cast<uint8_t>(value >> 8);
}
static bool IsCo2(uint32_t channel) { return ActiveKind(channel) == kKindCo2; }
static const IntervalFields& Fields(uint32_t channel) {
    if (Layout(channel) == kLayoutOxygen) return kFieldsO2;
    return IsCo2(channel) ? kFieldsCo2 : kFieldsPh;
}
static uint32_t ActField(uint32_t channel) { return Bits(channel, Fields(channel).actBit, Fields(channel).actBits); }
static uint32_t TtmField(uint32_t channel) { return Bits(channel, Fields(channel).ttmBit, Fields(channel).ttmBits); }
static uint32_t LifeField(uint32_t channel) { return Bits(channel, Fields(channel).lifeBit, Fields(channel).lifeBits); }
static void MarkChanged(uint32_t channel) {
    if (IsChannel(channel)) g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
}
static void StoreByte(uint32_t offset, uint8_t value, uint32_t* status) {
    Eeprom_WriteChecked(offset, &value, 1, status);
}
static void StoreWord(uint32_t offset, uint32_t value, uint32_t* status) {
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Eeprom_WriteChecked(offset, bytes, 4, status);
}
static float Clamp100(float percent) {
    if (!(percent < 100.0f)) return 100.0f;  // also not a number
    return percent < 0.0f ? 0.0f : percent;
}

// ---- Counters -------------------------------------------------------------------------------------

// Where a counter lives: a byte of page 11, or a 12-bit field of page 13 (conductivity SIP, CIP).
static uint32_t ReadCounter(uint32_t channel, uint32_t byte, uint32_t condBit) {
    if (Layout(channel) == kLayoutCond && condBit != 0) return Bits(channel, condBit, kCondCountBits);
    return Image(channel)[byte];
}

static void WriteCounter(uint32_t channel, uint32_t byte, uint32_t condBit, uint32_t value) {
    if (Layout(channel) == kLayoutCond && condBit != 0) {
        PutBits(channel, condBit, kCondCountBits, value);
        SensMem_CommitPage(channel, kSensorPageRunning);
        return;
    }
    Image(channel)[byte] = static_cast<uint8_t>(value);
    SensMem_CommitPage(channel, kSensorPageCounters);
}

static void Increment(uint32_t channel, uint32_t byte, uint32_t condBit) {
    if (!IsImage(channel)) return;
    uint32_t count = ReadCounter(channel, byte, condBit);
    if (count < kCycleLimitMax) WriteCounter(channel, byte, condBit, count + 1);
}

void SensDiag_IncrementSipCount(uint32_t channel) { Increment(channel, kSipByte, kCondSipBit); }
void SensDiag_IncrementCipCount(uint32_t channel) { Increment(channel, kCipByte, kCondCipBit); }

void SensDiag_DecrementCipCount(uint32_t channel) {
    if (!IsImage(channel)) return;
    uint32_t count = ReadCounter(channel, kCipByte, kCondCipBit);
    if (count > 0) WriteCounter(channel, kCipByte, kCondCipBit, count - 1);
}

void SensDiag_IncrementAutoclaveCount(uint32_t channel) {
    if (!IsChannel(channel)) return;
    if (IsProtocol(channel)) {
        if (ActiveKind(channel) < kKindNoSensor) {
            g_LinkChanStatus[channel] = kPollSoon;
            SensCmd_QueueAutoclaveIncrement(channel, kS126Autoclave);
        }
        return;
    }
    Increment(channel, kAutoclaveByte, 0);
}

static uint32_t Count(uint32_t channel, uint32_t byte, uint32_t condBit, uint32_t indicator) {
    if (!IsChannel(channel)) return 0;
    if (IsProtocol(channel)) return static_cast<uint32_t>(g_DiagIndicators[indicator]);
    return IsImage(channel) ? ReadCounter(channel, byte, condBit) : 0;
}

uint32_t SensDiag_GetSipCount(uint32_t channel) { return Count(channel, kSipByte, kCondSipBit, kDiagSipCount); }
uint32_t SensDiag_GetCipCount(uint32_t channel) { return Count(channel, kCipByte, kCondCipBit, kDiagCipCount); }
uint32_t SensDiag_GetAutoclaveCount(uint32_t channel) { return Count(channel, kAutoclaveByte, 0, kDiagAutoclaveCount); }

static void ResetCounter(uint32_t channel, uint32_t byte, uint32_t condBit, uint32_t event) {
    if (!IsChannel(channel)) return;
    if (IsProtocol(channel)) {
        if (ActiveKind(channel) == kKindO2Optical) SensCmd_QueueResetEvent(channel, event);
        return;
    }
    if (IsImage(channel)) WriteCounter(channel, byte, condBit, 0);
}

void SensDiag_ResetSipCount(uint32_t channel) { ResetCounter(channel, kSipByte, kCondSipBit, kResetEventSip); }
void SensDiag_ResetCipCount(uint32_t channel) { ResetCounter(channel, kCipByte, kCondCipBit, kResetEventCip); }
void SensDiag_ResetAutoclaveCount(uint32_t channel) { ResetCounter(channel, kAutoclaveByte, 0, kResetEventAutoclave); }

// ---- Detectors ------------------------------------------------------------------------------------

void SensDiag_ResetCipDetector(uint32_t channel) {
    if (!IsChannel(channel)) return;
    s_Cip[channel].counter = 0;
    s_Cip[channel].counted = 0;
    s_CipJustCounted[channel] = 0;
}

void SensDiag_ResetSipDetector(uint32_t channel) {
    if (!IsChannel(channel)) return;
    s_Sip[channel].counter = 0;
    s_Sip[channel].counted = 0;
}

void SensDiag_ClearCipDetectorState(uint32_t channel) { SensDiag_ResetCipDetector(channel); }
void SensDiag_ClearSipDetectorState(uint32_t channel) { SensDiag_ResetSipDetector(channel); }

// One reply for a detector: 1 when a cycle has just been counted.
static bool TickDetector(Detector& d, float limit, float temperature, void (*reset)(uint32_t), uint32_t channel) {
    if (!d.enabled) {
        reset(channel);
        return false;
    }
    if (d.counted) {
        if (++d.counter >= kDetectorHold) {
            reset(channel);
            d.counter = 1;
        }
        return false;
    }
    if (!(temperature >= limit)) {
        if (d.counter == 0 || !(temperature >= limit - kDetectorTolerance)) {
            reset(channel);
            return false;
        }
    }
    if (++d.counter < kDetectorCount) return false;
    d.counter = 0;
    d.counted = 1;
    return true;
}

void SensDiag_TickCipDetector(uint32_t channel, float temperature) {
    if (!IsChannel(channel)) return;
    if (TickDetector(s_Cip[channel], SensDiag_GetCipTempLimit(channel), temperature, SensDiag_ResetCipDetector,
                     channel)) {
        s_CipJustCounted[channel] = 1;
        SensDiag_IncrementCipCount(channel);
    }
}

void SensDiag_TickSipDetector(uint32_t channel, float temperature) {
    if (!IsChannel(channel)) return;
    if (TickDetector(s_Sip[channel], SensDiag_GetSipTempLimit(channel), temperature, SensDiag_ResetSipDetector,
                     channel)) {
        SensDiag_IncrementSipCount(channel);
        // A sterilisation passes through the cleaning temperature: that cycle was no cleaning.
        if (s_CipJustCounted[channel]) {
            s_CipJustCounted[channel] = 0;
            SensDiag_DecrementCipCount(channel);
        }
    }
}

void SensDiag_TickCycleDetectors(uint32_t channel) {
    if (!IsChannel(channel)) return;
    float t = g_Measurement[channel].temperature;
    SensDiag_TickCipDetector(channel, t);
    SensDiag_TickSipDetector(channel, t);
}

// ---- Settings -------------------------------------------------------------------------------------

static uint8_t LimitByte(uint32_t value) {
    return static_cast<uint8_t>(value > kCycleLimitMax ? kCycleLimitMax : value);
}

// toSensor false: the value came from the sensor itself, so a command-protocol sensor is not told.
static void SetCycleLimit(uint32_t channel, uint32_t value, uint32_t offset, uint8_t* field, uint32_t reg,
                          Detector* detector, void (*reset)(uint32_t), uint32_t* status, bool toSensor) {
    *status = 0;
    if (!IsChannel(channel)) return;
    uint8_t limit = LimitByte(value);
    if (limit == *field) return;
    *field = limit;
    StoreByte(offset + channel, limit, status);
    MarkChanged(channel);
    if (detector != nullptr) {
        if (limit != 0) {
            detector->enabled = 1;
        } else {
            reset(channel);
            detector->enabled = 0;
        }
    }
    if (toSensor && IsProtocol(channel) && SensCmd_SetRegister(channel, reg, limit) &&
        ActiveKind(channel) == kKindO2Optical) {
        Link_QueueItem(kSensCmdS134);
    }
}

void SensDiag_SetCipCycleLimit(uint32_t channel, uint32_t value, uint32_t* status) {
    if (!IsChannel(channel)) return;
    SetCycleLimit(channel, value, kStoreCipLimit, &g_SensDiagSettings[channel].cipLimit, kRegisterCip, &s_Cip[channel],
                  SensDiag_ResetCipDetector, status, true);
}

void SensDiag_SetSipCycleLimit(uint32_t channel, uint32_t value, uint32_t* status) {
    if (!IsChannel(channel)) return;
    SetCycleLimit(channel, value, kStoreSipLimit, &g_SensDiagSettings[channel].sipLimit, kRegisterSip, &s_Sip[channel],
                  SensDiag_ResetSipDetector, status, true);
}

void SensDiag_SetAutoclaveCycleLimit(uint32_t channel, uint32_t value, uint32_t* status) {
    if (!IsChannel(channel)) return;
    SetCycleLimit(channel, value, kStoreAutoclaveLimit, &g_SensDiagSettings[channel].autoclaveLimit, kRegisterAutoclave,
                  nullptr, nullptr, status, true);
}

void SensDiag_StoreS133Setting(uint8_t value, uint32_t* status) {
    g_SensorCal[1].sensorSetting = value;
    StoreByte(kStoreS133Setting, value, status);
}

uint32_t SensDiag_GetCipCycleLimit(uint32_t channel) {
    return IsChannel(channel) ? g_SensDiagSettings[channel].cipLimit : 0;
}
uint32_t SensDiag_GetSipCycleLimit(uint32_t channel) {
    return IsChannel(channel) ? g_SensDiagSettings[channel].sipLimit : 0;
}
uint32_t SensDiag_GetAutoclaveCycleLimit(uint32_t channel) {
    return IsChannel(channel) ? g_SensDiagSettings[channel].autoclaveLimit : 0;
}

// The whole degrees of a temperature limit, within a byte.
static uint8_t DegreeByte(float value) {
    if (!(value > 0.0f)) return 0;
    return value >= 255.0f ? 255 : static_cast<uint8_t>(value);
}

// toSensor false: the value came from the sensor itself, which keeps its own parameter.
static void SetTempLimit(uint32_t channel, float value, uint32_t offset, uint8_t* field, uint32_t param,
                         uint32_t* status, bool toSensor) {
    *status = 0;
    if (!IsChannel(channel)) return;
    uint8_t degrees = DegreeByte(value);
    if (toSensor && IsProtocol(channel) && ActiveKind(channel) == kKindO2Optical) {
        float& p = g_SensorParams[channel].p[param];
        if (std::fabs(value - p) > 1e-5f || std::fabs(value - static_cast<float>(*field)) > 1e-5f) {
            p = value;
            Link_QueueItem(kSensCmdS139);
            *field = degrees;
            StoreByte(offset + channel, degrees, status);
        }
        return;
    }
    if (degrees == *field) return;
    *field = degrees;
    StoreByte(offset + channel, degrees, status);
}

void SensDiag_SetCipTempLimit(uint32_t channel, float value, uint32_t* status) {
    if (!IsChannel(channel)) return;
    SetTempLimit(channel, value, kStoreCipTemp, &g_SensDiagSettings[channel].cipTemp, kSensParamCipTempLimit, status,
                 true);
}

void SensDiag_SetSipTempLimit(uint32_t channel, float value, uint32_t* status) {
    if (!IsChannel(channel)) return;
    SetTempLimit(channel, value, kStoreSipTemp, &g_SensDiagSettings[channel].sipTemp, kSensParamSipTempLimit, status,
                 true);
}

void SensDiag_TakeSensorCycleSettings(uint32_t channel, uint32_t* status) {
    *status = 0;
    if (!IsChannel(channel) || !IsProtocol(channel)) return;
    SensDiagSettings& s = g_SensDiagSettings[channel];
    const SensorParamRecord& p = g_SensorParams[channel];
    uint32_t step = 0;
    SetCycleLimit(channel, SensCmd_GetRegister(channel, kRegisterCip), kStoreCipLimit, &s.cipLimit, kRegisterCip,
                  &s_Cip[channel], SensDiag_ResetCipDetector, &step, false);
    Eeprom_Chain(status, step);
    SetCycleLimit(channel, SensCmd_GetRegister(channel, kRegisterSip), kStoreSipLimit, &s.sipLimit, kRegisterSip,
                  &s_Sip[channel], SensDiag_ResetSipDetector, &step, false);
    Eeprom_Chain(status, step);
    SetCycleLimit(channel, SensCmd_GetRegister(channel, kRegisterAutoclave), kStoreAutoclaveLimit, &s.autoclaveLimit,
                  kRegisterAutoclave, nullptr, nullptr, &step, false);
    Eeprom_Chain(status, step);
    // Whole degrees, as the transmitter keeps them.
    SetTempLimit(channel, std::trunc(p.p[kSensParamCipTempLimit]), kStoreCipTemp, &s.cipTemp, kSensParamCipTempLimit,
                 &step, false);
    Eeprom_Chain(status, step);
    SetTempLimit(channel, std::trunc(p.p[kSensParamSipTempLimit]), kStoreSipTemp, &s.sipTemp, kSensParamSipTempLimit,
                 &step, false);
    Eeprom_Chain(status, step);
}

float SensDiag_GetCipTempLimit(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (ActiveKind(channel) == kKindO2Optical) return g_SensorParams[channel].p[kSensParamCipTempLimit];
    return g_SensDiagSettings[channel].cipTemp;
}

float SensDiag_GetSipTempLimit(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (ActiveKind(channel) == kKindO2Optical) return g_SensorParams[channel].p[kSensParamSipTempLimit];
    return g_SensDiagSettings[channel].sipTemp;
}

// One stored value, replaced by its default when unreadable or invalid; the status of the read is
// chained.
static uint8_t LoadByte(uint32_t offset, uint8_t low, uint8_t high, uint8_t fallback, uint32_t* status) {
    uint8_t value = 0xFF;
    uint32_t s = 0;
    Eeprom_Read(offset, &value, 1, &s);
    if (s != 0) *status = s;
    return s == 0 && value >= low && value <= high ? value : fallback;
}

static uint32_t LoadWord(uint32_t offset, uint32_t limit, uint32_t* status) {
    uint8_t bytes[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    uint32_t s = 0;
    Eeprom_Read(offset, bytes, 4, &s);
    if (s != 0) *status = s;
    uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return s == 0 && value < limit ? value : 0;
}

void SensDiag_LoadSettings(uint32_t* status) {
    for (uint32_t channel = 0; channel < 2; ++channel) {
        g_SensorKindDetected[channel] = kKindNone;
        g_SensorKindActive[channel] = kKindNone;
    }
    const uint32_t b = 1;
    SensDiagSettings& s = g_SensDiagSettings[b];
    s.cipLimit = LoadByte(kStoreCipLimit + b, 0, kCycleLimitMax, kCycleLimitMax, status);
    s.sipLimit = LoadByte(kStoreSipLimit + b, 0, kCycleLimitMax, kCycleLimitMax, status);
    s.autoclaveLimit = LoadByte(kStoreAutoclaveLimit + b, 0, kCycleLimitMax, kCycleLimitMax, status);
    s.cipTemp = LoadByte(kStoreCipTemp + b, kCipTempMin, kCipTempMax, kCipTempDefault, status);
    s.sipTemp = LoadByte(kStoreSipTemp + b, kSipTempMin, kSipTempMax, kSipTempDefault, status);
    s.ttmInterval = LoadWord(kStoreTtmInterval + 4 * b, kTtmIntervalLimit, status);
    s.actInterval = LoadWord(kStoreActInterval + 4 * b, kActIntervalLimit, status);
    s_Cip[b].enabled = s.cipLimit != 0 ? 1 : 0;
    s_Sip[b].enabled = s.sipLimit != 0 ? 1 : 0;
    g_CycleAlarmEnable |= kTimerAlarmsOn;
}

void SensDiag_DefaultSettings(uint32_t* status) {
    for (uint32_t channel = 0; channel < 2; ++channel) {
        g_SensDiagSettings[channel] = kDefaultSettings;
        const SensDiagSettings& s = g_SensDiagSettings[channel];
        StoreByte(kStoreCipLimit + channel, s.cipLimit, status);
        StoreByte(kStoreSipLimit + channel, s.sipLimit, status);
        StoreByte(kStoreAutoclaveLimit + channel, s.autoclaveLimit, status);
        StoreByte(kStoreCipTemp + channel, s.cipTemp, status);
        StoreByte(kStoreSipTemp + channel, s.sipTemp, status);
        StoreWord(kStoreTtmInterval + 4 * channel, s.ttmInterval, status);
        StoreWord(kStoreActInterval + 4 * channel, s.actInterval, status);
        s_Cip[channel].enabled = 1;
        s_Sip[channel].enabled = 1;
    }
}

// ---- Timers ---------------------------------------------------------------------------------------

static bool IsPhLayout(uint32_t channel) { return Layout(channel) == kLayoutPh && !IsCo2(channel); }

float SensDiag_GetLifetimeDays(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (IsProtocol(channel)) return g_DiagIndicators[kDiagLifetimeDays];
    if (!IsImage(channel) || Layout(channel) == kLayoutCond) return 0.0f;
    float left = static_cast<float>(U16(channel, kLifetimeLeftByte));
    return IsPhLayout(channel) ? left / 24.0f : left;
}

float SensDiag_GetTimeToMaintDays(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (IsProtocol(channel)) return g_DiagIndicators[kDiagTtmDays];
    if (!IsImage(channel) || Layout(channel) == kLayoutCond) return 0.0f;
    float left = static_cast<float>(U16(channel, kTtmLeftByte));
    return IsPhLayout(channel) ? left / 24.0f : left * 0.1f;
}

float SensDiag_GetActDays(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (IsProtocol(channel)) return g_DiagIndicators[kDiagActDays];
    if (!IsImage(channel) || Layout(channel) == kLayoutCond) return 0.0f;
    return static_cast<float>(U16(channel, kActLeftByte)) / 24.0f;
}

float SensDiag_GetOperatingDays(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (IsProtocol(channel)) return g_DiagIndicators[kDiagOperatingDays];
    if (!IsImage(channel)) return 0.0f;
    if (Layout(channel) == kLayoutCond) return static_cast<float>(Bits(channel, kCondOperatingHoursBit, 18)) / 24.0f;
    return static_cast<float>(U16(channel, kOperatingHoursByte)) / 24.0f;
}

float SensDiag_CalcLifetimePercent(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (IsProtocol(channel)) {
        uint16_t limit = SensCmd_GetLifetimeLimit(channel);
        return limit != 0 ? Clamp100(SensDiag_GetLifetimeDays(channel) * 100.0f / limit) : 0.0f;
    }
    if (!IsImage(channel) || Layout(channel) == kLayoutCond) return 0.0f;
    float left = static_cast<float>(U16(channel, kLifetimeLeftByte));
    float limit = static_cast<float>(LifeField(channel));
    if (Layout(channel) == kLayoutOxygen) return Clamp100(left * 10.0f / limit);
    if (IsCo2(channel)) return limit == 0.0f ? 100.0f : Clamp100(left * 100.0f / limit);
    return Clamp100(left * 100.0f / (limit * 24.0f));
}

float SensDiag_CalcTimeToMaintPercent(uint32_t channel) {
    if (!IsChannel(channel) || !IsImage(channel) || Layout(channel) == kLayoutCond) return 0.0f;
    float left = static_cast<float>(U16(channel, kTtmLeftByte));
    float interval = static_cast<float>(TtmField(channel));
    if (interval == 0.0f) return 100.0f;
    if (Layout(channel) == kLayoutOxygen) return Clamp100(left * 10.0f / (interval * 2.0f));
    if (IsCo2(channel)) return Clamp100(left * 100.0f / interval);
    return Clamp100(left * 1000.0f / (interval * 24.0f));
}

float SensDiag_CalcActPercent(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (IsProtocol(channel)) {
        uint16_t reg = SensCmd_GetRegister(channel, kRegisterAct);
        if (SensCmd_GetLifetimeLimit(channel) == 0 || reg == 0) return 0.0f;
        return Clamp100(SensDiag_GetActDays(channel) * 100.0f / reg);
    }
    if (!IsImage(channel) || Layout(channel) == kLayoutCond) return 100.0f;
    float interval = static_cast<float>(ActField(channel));
    if (interval == 0.0f) return 100.0f;
    return Clamp100(static_cast<float>(U16(channel, kActLeftByte)) * 100.0f / interval);
}

float SensDiag_GetMaintInterval(uint32_t channel) {
    return IsChannel(channel) ? static_cast<float>(g_SensDiagSettings[channel].ttmInterval) * 0.1f : 0.0f;
}

float SensDiag_GetActInterval(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (IsProtocol(channel)) {
        uint16_t days = SensCmd_GetRegister(channel, kRegisterAct);
        return static_cast<float>(days > kActRegisterDaysMax ? kActRegisterDaysMax : days);
    }
    if (Layout(channel) == kLayoutPh || Layout(channel) == kLayoutOxygen) {
        return static_cast<float>(ActField(channel)) / 24.0f;
    }
    return static_cast<float>(g_SensDiagSettings[channel].actInterval) / 24.0f;
}

static void StoreActSetting(uint32_t channel, uint32_t* status) {
    StoreWord(kStoreActInterval + 4 * channel, g_SensDiagSettings[channel].actInterval, status);
}

static void StoreTtmSetting(uint32_t channel, uint32_t* status) {
    StoreWord(kStoreTtmInterval + 4 * channel, g_SensDiagSettings[channel].ttmInterval, status);
}

// The sensor's ACT register takes a new value (the optical sensor is told).
static void WriteActRegister(uint32_t channel, uint32_t value) {
    uint16_t reg = static_cast<uint16_t>(value > 0xFFFF ? 0xFFFF : value);
    if (SensCmd_SetRegister(channel, kRegisterAct, reg) && ActiveKind(channel) == kKindO2Optical) {
        Link_QueueItem(kSensCmdS134);
    }
}

static void WriteIntervalField(uint32_t channel, uint32_t bit, uint32_t width, uint32_t value) {
    if (Bits(channel, bit, width) == value) return;
    PutBits(channel, bit, width, value);
    SensMem_CommitPage(channel, kSensorPageIntervals);
}

void SensDiag_SetActInterval(uint32_t channel, float days) {
    if (!IsChannel(channel)) return;
    g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
    g_SensorSaveFlags[kSensorSaveOpticalErrors] = 1;
    float d = days > 0.0f ? days : 0.0f;  // no negative (or no) number into an unsigned field
    uint32_t value = 0;
    if (IsProtocol(channel)) {
        value = d >= 65535.0f ? 65535u : static_cast<uint32_t>(d);
    } else {
        float hours = d * 24.0f;
        value = hours >= static_cast<float>(kActHoursMax) ? kActHoursMax : static_cast<uint32_t>(hours);
    }
    g_SensDiagSettings[channel].actInterval = value;
    uint32_t status = 0;
    StoreActSetting(channel, &status);
    if (value == 0) return;
    if (IsProtocol(channel)) {
        WriteActRegister(channel, value);
    } else if (Layout(channel) == kLayoutPh || Layout(channel) == kLayoutOxygen) {
        WriteIntervalField(channel, Fields(channel).actBit, Fields(channel).actBits, value);
    }
}

void SensDiag_SetMaintInterval(uint32_t channel, float days) {
    if (!IsChannel(channel)) return;
    uint32_t layout = Layout(channel);
    if (layout != kLayoutPh && layout != kLayoutOxygen) return;
    g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
    uint32_t status = 0;
    float least = layout == kLayoutPh ? 0.01f : 2.0f;
    if (!(days >= least)) {
        g_SensDiagSettings[channel].ttmInterval = 0;
        StoreTtmSetting(channel, &status);
        return;
    }
    uint32_t max = layout == kLayoutPh ? kTtmTenthsMaxLayout0 : kTtmTenthsMaxLayout1;
    float tenths = days * 10.0f + 0.5f;
    uint32_t n = tenths >= static_cast<float>(max) ? max : static_cast<uint32_t>(tenths);
    const IntervalFields& f = Fields(channel);
    WriteIntervalField(channel, f.ttmBit, f.ttmBits, layout == kLayoutPh ? n : n / 10 / 2);
    SensMem_CommitPage(channel, kSensorPageIntervals);
    g_SensDiagSettings[channel].ttmInterval = n;
    StoreTtmSetting(channel, &status);
    g_SensDiagSettings[channel].ttmInterval = LoadWord(kStoreTtmInterval + 4 * channel, kTtmIntervalLimit, &status);
}

void SensDiag_ClearIntervals(uint32_t channel) {
    if (!IsChannel(channel)) return;
    g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
    g_SensDiagSettings[channel].ttmInterval = 0;
    g_SensDiagSettings[channel].actInterval = 0;
    uint32_t status = 0;
    StoreTtmSetting(channel, &status);
    StoreActSetting(channel, &status);
}

void SensDiag_RestartAct(uint32_t channel) {
    if (!IsChannel(channel) || !IsImage(channel) || Layout(channel) == kLayoutCond) return;
    PutU16(channel, kActLeftByte, ActField(channel));
    SensMem_CommitPage(channel, kSensorPageRunning);
}

void SensDiag_RestartMaintTimer(uint32_t channel) {
    if (!IsChannel(channel) || !IsImage(channel) || Layout(channel) == kLayoutCond) return;
    uint32_t field = TtmField(channel);
    if (Layout(channel) == kLayoutOxygen) {
        PutU16(channel, kTtmLeftByte, field * 2 * 10);
        // A maintained oxygen sensor starts anew: a new calibration history, new cycle counts and
        // a calibration due at once.
        SensMem_ClearCalHistory(channel);
        uint8_t* image = Image(channel);
        image[kAutoclaveByte] = image[kSipByte] = image[kCipByte] = 0;
        SensMem_CommitPage(channel, kSensorPageCounters);
        PutU16(channel, kActLeftByte, 0);
    } else {
        PutU16(channel, kTtmLeftByte, IsCo2(channel) ? field : field * 24 / 10);
    }
    PutU16(channel, kRestartWordsByte, 1);
    PutU16(channel, kRestartWordsByte + 2, 1);
    SensMem_CommitPage(channel, kSensorPageRunning);
}

void SensDiag_ResetMaintTimer(uint32_t channel) {
    if (!IsChannel(channel)) return;
    if (IsProtocol(channel)) {
        if (ActiveKind(channel) == kKindO2Optical) SensCmd_QueueResetEvent(channel, kResetEventLifetime);
        return;
    }
    if (Layout(channel) != kLayoutOxygen) return;
    // A new sensor body: a new lifetime from an operating time of an hour, and the maintenance of
    // a new sensor with it.
    PutU16(channel, kLifetimeLeftByte, LifeField(channel) * 10);
    PutU16(channel, kOperatingHoursByte, 1);
    PutU16(channel, kOperatingHoursByte + 2, 1);
    SensDiag_RestartMaintTimer(channel);
}

void SensDiag_SyncActInterval(uint32_t channel) {
    if (!IsChannel(channel)) return;
    SensDiagSettings& s = g_SensDiagSettings[channel];
    uint32_t status = 0;
    if (IsProtocol(channel)) {
        if (s.actInterval == 0) {
            s.actInterval = SensCmd_GetRegister(channel, kRegisterAct);
        } else if (SensCmd_GetRegister(channel, kRegisterAct) != s.actInterval) {
            WriteActRegister(channel, s.actInterval);
        }
    } else if (Layout(channel) == kLayoutPh || Layout(channel) == kLayoutOxygen) {
        if (s.actInterval == 0) {
            uint32_t field = ActField(channel);
            s.actInterval = field > kActHoursMax ? kActHoursMax : field;
        } else {
            WriteIntervalField(channel, Fields(channel).actBit, Fields(channel).actBits, s.actInterval);
        }
    }
    StoreActSetting(channel, &status);
}

static uint32_t TtmTenthsMax(uint32_t layout) {
    return layout == kLayoutPh ? kTtmTenthsMaxLayout0 : kTtmTenthsMaxLayout1;
}

// The sensor's TTM field for a setting in tenths of a day (layout 1 counts units of 2 days).
static uint32_t TtmFieldOf(uint32_t layout, uint32_t tenths) {
    uint32_t max = TtmTenthsMax(layout);
    if (tenths > max) tenths = max;
    return layout == kLayoutPh ? tenths : tenths / 10 / 2;
}

void SensDiag_SyncMaintInterval(uint32_t channel) {
    if (!IsChannel(channel)) return;
    uint32_t layout = Layout(channel);
    if (layout != kLayoutPh && layout != kLayoutOxygen) return;
    SensDiagSettings& s = g_SensDiagSettings[channel];
    const IntervalFields& f = Fields(channel);
    uint32_t max = TtmTenthsMax(layout);
    if (s.ttmInterval == 0) {
        uint32_t field = TtmField(channel);
        uint32_t tenths = layout == kLayoutPh ? field : field * 2 * 10;
        s.ttmInterval = tenths > max ? max : tenths;
    } else {
        if (s.ttmInterval > max) s.ttmInterval = max;
        WriteIntervalField(channel, f.ttmBit, f.ttmBits, TtmFieldOf(layout, s.ttmInterval));
    }
    uint32_t status = 0;
    StoreTtmSetting(channel, &status);
}

void SensDiag_SyncIntervals(uint32_t channel) {
    SensDiag_SyncActInterval(channel);
    if (IsImage(channel)) SensDiag_SyncMaintInterval(channel);
}

void SensDiag_YieldIntervalsToSensor(uint32_t channel) {
    if (!IsChannel(channel)) return;
    uint32_t layout = Layout(channel);
    if (layout != kLayoutPh && layout != kLayoutOxygen) return;
    // 0 is what the synchronisation fills from the sensor's field.
    SensDiagSettings& s = g_SensDiagSettings[channel];
    if (s.ttmInterval != 0 && TtmFieldOf(layout, s.ttmInterval) != TtmField(channel)) s.ttmInterval = 0;
    if (s.actInterval != 0 && s.actInterval != ActField(channel)) s.actInterval = 0;
}

void SensDiag_PutIntervalSettings(uint32_t channel, uint32_t ttmTenths, uint32_t actHours, uint32_t* status) {
    *status = 0;
    if (!IsChannel(channel)) return;
    g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
    g_SensDiagSettings[channel].ttmInterval = ttmTenths;
    g_SensDiagSettings[channel].actInterval = actHours;
    StoreTtmSetting(channel, status);
    uint32_t s = 0;
    StoreActSetting(channel, &s);
    Eeprom_Chain(status, s);
}

// ---- Temperature -----------------------------------------------------------------------------------

float SensDiag_GetMaxTemperature(uint32_t channel) {
    if (!IsChannel(channel)) return 0.0f;
    if (IsProtocol(channel)) return g_DiagIndicators[kDiagMaxTemperature];
    if (!IsImage(channel)) return 0.0f;
    uint32_t bit = Layout(channel) == kLayoutCond ? kCondMaxTempBit : kMaxTempBit;
    return static_cast<float>(Bits(channel, bit, 12)) * 0.1f - 50.0f;
}

static uint32_t MaxTemperatureDay(uint32_t channel) {
    if (!IsChannel(channel) || !IsImage(channel)) return kSensDay2008;
    return Bits(channel, Layout(channel) == kLayoutCond ? kCondMaxTempDayBit : kMaxTempDayBit, 16);
}

void SensDiag_GetMaxTemperatureDate(uint32_t channel, ClockRecord* date) {
    SensMem_DaysToDate(MaxTemperatureDay(channel), date);
}

void SensDiag_UpdateMaxTemperature(uint32_t channel) {
    if (!IsChannel(channel) || !IsImage(channel) || !g_SensorImageValid[channel]) return;
    float t = g_Measurement[channel].temperature;
    if (!(t > g_DiagIndicators[kDiagMaxTemperature] + kMaxTempStep)) return;
    if (t > 350.0f) t = 350.0f;
    if (t < -50.0f) t = -50.0f;
    ClockRecord today;
    Rtc_GetTime(&today);
    bool cond = Layout(channel) == kLayoutCond;
    PutBits(channel, cond ? kCondMaxTempBit : kMaxTempBit, 12, static_cast<uint32_t>((t + 50.0f) * 10.0f));
    PutBits(channel, cond ? kCondMaxTempDayBit : kMaxTempDayBit, 16, SensMem_DateToDays(&today));
    SensMem_CommitPage(channel, cond ? kSensorPageRunning : kSensorPageMaxTemperature);
    // The maximum is republished by the commit; an image that is not yet written back keeps it here.
    g_DiagIndicators[kDiagMaxTemperature] = SensDiag_GetMaxTemperature(channel);
}

void SensDiag_ReadKind8Limits(uint32_t channel) {
    if (!IsChannel(channel)) return;
    O2LimitSet& set = g_O2Kind8Limits[channel];
    float* limits = set.limit;
    set.enabled = Bits(channel, kKind8EnableBit, 1);
    if (set.enabled) {
        limits[0] = static_cast<float>(Bits(channel, 132, 14)) * -5.0f;
        limits[1] = static_cast<float>(Bits(channel, 146, 14)) * -5.0f;
        limits[2] = static_cast<float>(Bits(channel, 160, 8)) * 40.0f - 5120.0f;
        limits[3] = static_cast<float>(Bits(channel, 168, 8)) * 40.0f - 5120.0f;
    } else {
        limits[0] = -20000.0f;
        limits[1] = -60000.1f;
        limits[2] = 1000.0f;
        limits[3] = -1000.0f;
    }
    // The signal bounds of page 15: L4 the high bound (x 1), L5 the low bound (x -100).
    limits[4] = static_cast<float>(Bits(channel, kKind8HighSignalBit, 10));
    limits[5] = static_cast<float>(Bits(channel, kKind8LowSignalBit, 10)) * -100.0f;
}

// ---- Publishing and alarms ----------------------------------------------------------------------------

void SensDiag_PublishIndicators(uint32_t channel) {
    if (channel != 1) return;
    if (IsImage(channel)) {
        g_DiagIndicators[kDiagLifetimeDays] = SensDiag_GetLifetimeDays(channel);
        g_DiagIndicators[kDiagTtmDays] = SensDiag_GetTimeToMaintDays(channel);
        g_DiagIndicators[kDiagActDays] = SensDiag_GetActDays(channel);
        g_DiagIndicators[kDiagCipCount] = static_cast<float>(SensDiag_GetCipCount(channel));
        g_DiagIndicators[kDiagSipCount] = static_cast<float>(SensDiag_GetSipCount(channel));
        g_DiagIndicators[kDiagAutoclaveCount] = static_cast<float>(SensDiag_GetAutoclaveCount(channel));
        g_DiagIndicators[kDiagOperatingDays] = SensDiag_GetOperatingDays(channel);
        g_DiagIndicators[kDiagMaxTemperature] = SensDiag_GetMaxTemperature(channel);
    }
    g_LinkChanStatus[channel] = 0;
    g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
}

static uint16_t CodeB(uint16_t n) { return static_cast<uint16_t>(kMsgChannelB + n); }

// Flag and output request of alarm a follow the message: set unless the alarm is message only.
static void SetAlarm(uint32_t a, uint32_t flag, bool on) {
    bool flagged = on && g_SensDiagAlarms[a].messageOnly == 0;
    if (flagged) {
        Alarm_SetFlag(flag, 1);
    } else {
        Alarm_ClearFlag(flag, 1);
    }
    g_ChanOcAlarm[a] = flagged ? 1 : 0;
}

void SensDiag_EvalAlarms() {
    const uint32_t b = 1;
    const uint32_t counts[3] = {SensDiag_GetCipCount(b), SensDiag_GetSipCount(b), SensDiag_GetAutoclaveCount(b)};
    const uint32_t limits[3] = {SensDiag_GetCipCycleLimit(b), SensDiag_GetSipCycleLimit(b),
                                SensDiag_GetAutoclaveCycleLimit(b)};
    for (uint32_t i = 0; i < 3; ++i) {
        bool expired = (g_CycleAlarmEnable & kEnableCycle[i]) != 0 && limits[i] > 0 && counts[i] >= limits[i];
        if (expired) {
            Msg_Raise(CodeB(static_cast<uint16_t>(kMsgCycleFirst + i)));
        } else {
            Msg_Clear(CodeB(static_cast<uint16_t>(kMsgCycleFirst + i)));
        }
        SetAlarm(kDiagAlarmCip + i, kFlagCycleFirst + i, expired);
    }
    if (ActiveKind(b) == kKindO2Optical) return;
    const float days[3] = {g_DiagIndicators[kDiagLifetimeDays], g_DiagIndicators[kDiagTtmDays],
                           g_DiagIndicators[kDiagActDays]};
    // A conductivity sensor's memory holds no lifetime, maintenance or calibration timer: its 0 days
    // are no timer run out, and a timer it does not carry never expires.
    bool carried = Layout(b) != kLayoutCond;
    for (uint32_t j = 0; j < 3; ++j) {
        float value = carried && (g_CycleAlarmEnable & kEnableTimer[j]) != 0 ? days[j] : 1.0f;
        uint32_t a = kDiagAlarmLifetime + j;
        bool due = !(value >= 0.001f) && g_SensDiagAlarms[a].off == 0;
        if (due) {
            Msg_Raise(CodeB(kMsgTimer[j]));
        } else {
            Msg_Clear(CodeB(kMsgTimer[j]));
        }
        SetAlarm(a, kFlagTimerFirst + j, due);
    }
}

void SensDiag_RunPeriodic() {
    if (Chan_GetCurrentChannel() != 1) return;
    if (ActiveKind(1) >= kKindNoSensor) {
        g_SensorSaveFlags[kSensorSaveDiagnostics] = 0;
        g_SensorSaveFlags[kSensorSaveOpticalErrors] = 0;
        return;
    }
    if (g_SensorSaveFlags[kSensorSaveOpticalErrors] && ActiveKind(1) == kKindO2Optical) {
        g_SensorSaveFlags[kSensorSaveOpticalErrors] = 0;
        SensDiag_EvalOptErrors();
    }
    if (g_SensorSaveFlags[kSensorSaveDiagnostics]) {
        g_SensorSaveFlags[kSensorSaveDiagnostics] = 0;
        SensDiag_EvalAlarms();
    }
    for (uint32_t a = 0; a < kDiagAlarms; ++a) {
        uint8_t relay = g_SensDiagAlarms[a].output;
        if (relay >= kOutputNone) continue;
        uint32_t requester = kRelayRequesterSensorOc << a;
        if (!g_ChanOcAlarm[a]) {
            Relay_RemoveRequester(relay, requester, a);
            s_OutputState[a] = 0;
        } else if (!Timer_IsActive(Relay_DelayTimer(relay)) && s_OutputState[a] == 0) {
            Relay_RequestDelayed(relay, requester, a);
            s_OutputState[a] = 1;
        } else if (Relay_IsDelayElapsed(relay)) {
            Relay_AddRequester(relay, requester, a);
        }
    }
}
