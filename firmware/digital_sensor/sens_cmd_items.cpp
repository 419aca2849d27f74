// The sensor commands' payloads: what each writing command sends and what each reading command's
// answer leaves in the sensor's records, the measurement record and the diagnostic indicators.
#include "digital_sensor/sens_cmd_items.h"

#include <cstring>

#include "core/link.h"
#include "core/rtc.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx.h"
#include "measurement/analog_input.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"

// Sensor types that speak this command set.
static constexpr uint8_t kTypeOptical = 3;
static constexpr uint8_t kTypeOpticalNew = 19;
// Separator between the pressure and the salinity of "S131", "S137" and "G131".
static constexpr uint8_t kPressureSeparator = 'd';
// Rounding the sensor applies to a whole-number value, and the rounding of a pressure.
static constexpr float kRoundSensor = 0.501f;
static constexpr float kRoundHalf = 0.5f;
static constexpr uint32_t kResetEventLast = 6;

// G100: its 14 floats go to these measurement-record value slots (field 9 + slot); 255 skips.
static constexpr uint8_t kSkip = 255;
static constexpr uint8_t kG100Slots[14] = {0, 1, 4, kSkip, 5, kSkip, 6, 2, 3, kSkip, 7, 8, 9, 10};
static constexpr uint8_t kSlotTemperature = 9;
static constexpr uint8_t kSlotFiltered = 7;
static constexpr uint32_t kFirstValueField = 9;
// Jumps below this count as noise in the filtered value.
static constexpr float kFilterStep = 180.0f;
static constexpr uint32_t kRepliesBeforeMeasuring = 3;
// The poll counter: the diagnostic block is taken once it passed 400; 405 takes it with the next
// good poll and again seven polls later, 395 after seven polls.
static constexpr uint16_t kPollCleared = 400;
static constexpr uint16_t kPollTakeFrom = 401;
static constexpr uint16_t kPollRepeat = 405;
static constexpr uint16_t kPollAgainSoon = 395;
// Payload offsets of G100.
static constexpr uint32_t kG100Spare = 56;
static constexpr uint32_t kG100MaxTemperature = 60;
static constexpr uint32_t kG100SipCount = 65;
static constexpr uint32_t kG100CipCount = 67;
static constexpr uint32_t kG100AutoclaveCount = 69;
static constexpr uint32_t kG100ActDays = 74;
static constexpr uint32_t kG100LifetimeDays = 76;
static constexpr uint32_t kG100OperatingHours = 78;
static constexpr uint32_t kG100OperatingHoursTotal = 85;
static constexpr uint32_t kG100StatusLow = 92;
static constexpr uint32_t kG100StatusHigh = 94;
static constexpr uint32_t kCounterDigits = 7;
static constexpr float kHoursPerDay = 24.0f;
// Payload offsets of G124.
static constexpr uint32_t kG124TypeText = 0;
static constexpr uint32_t kG124Serial = 13;
static constexpr uint32_t kG124Firmware = 27;
static constexpr uint32_t kG124Hardware = 31;
static constexpr uint32_t kG124Part = 43;
static constexpr uint32_t kG124Type = 51;
static constexpr uint32_t kG124Option = 52;
static constexpr uint32_t kSerialDigits = 7;
static constexpr uint32_t kPartDigits = 8;
static constexpr uint32_t kTypeTextChars = 13;
// Rtc_FormatDateTime layouts and their text lengths; an invalid clock writes 19 characters.
static constexpr uint32_t kLayoutHourMinute = 2;
static constexpr uint32_t kLayoutYearMonthDay = 3;
static constexpr uint32_t kDateChars = 8;
static constexpr uint32_t kTimeChars = 5;
static constexpr uint32_t kClockTextMax = 20;
static constexpr uint32_t kHistoryEntryBytes = 16;

static uint16_t GetU16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]); }

// The integer part of a value as the sensor's 16-bit field holds it: below 0 (or not a number)
// 0, beyond the field its largest value.
static uint16_t ToU16(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 65535.0f) return 65535;
    return static_cast<uint16_t>(value);
}

static uint8_t* PutFloat(uint8_t* payload, float value) {
    Util_PutFloatBE(value, payload);
    return payload + 4;
}

static uint8_t* PutU16(uint8_t* payload, uint16_t value) {
    Util_PutU16BE(value, payload);
    return payload + 2;
}

// The clock as "YY/MM/DD" and "HH:MM" (dashes while the clock is not set).
static uint8_t* PutDateAndTime(uint8_t* payload) {
    char text[kClockTextMax];
    Rtc_FormatDateTime(kLayoutYearMonthDay, text);
    std::memcpy(payload, text, kDateChars);
    Rtc_FormatDateTime(kLayoutHourMinute, text);
    std::memcpy(payload + kDateChars, text, kTimeChars);
    return payload + kDateChars + kTimeChars;
}

// Takes the lowest set bit (1..6) of a mask out of it; 0 when none is set.
static uint8_t TakeLowestBit(uint8_t* mask) {
    for (uint8_t n = 1; n <= kResetEventLast; ++n) {
        if (*mask & (1u << n)) {
            *mask = static_cast<uint8_t>(*mask & ~(1u << n));
            return n;
        }
    }
    return 0;
}

// ---- Request payloads ---------------------------------------------------------------------------

void SensCmd_BuildS137(uint32_t channel, uint8_t* payload) {
    const float* p = g_SensorParams[channel].p;
    payload = PutU16(payload, ToU16(Meas_GetInputPressure(channel)));
    *payload++ = kPressureSeparator;
    PutU16(payload, ToU16(p[kSensParamSalinity] + kRoundSensor));
}

void SensCmd_BuildS112CalData(uint32_t channel, uint8_t* payload) {
    const SensorParamRecord& r = g_SensorParams[channel];
    *payload++ = r.pointCode;
    *payload++ = r.s112Mode;
    static const uint8_t kPointValues[] = {kSensParamPointValue2, kSensParamPointValue1, kSensParamResult2,
                                           kSensParamResult1,     kSensParamPointTemp2,  kSensParamPointTemp1,
                                           kSensParamStepValue};
    for (uint8_t i : kPointValues) payload = PutFloat(payload, r.p[i]);
    *payload++ = 0;
    payload = PutFloat(payload, r.p[kSensParamReference]);
    *payload++ = r.unitCode;
    payload = PutDateAndTime(payload);
    payload = PutU16(payload, ToU16(Chan_GetCalRecordFloat0(channel) + kRoundSensor));
    *payload++ = r.humidity;
    PutU16(payload, 0);
}

void SensCmd_BuildS126(uint32_t channel, uint8_t* payload) { payload[0] = g_SensorProtocol[channel].s126Value; }

void SensCmd_BuildS127ResetEvent(uint32_t channel, uint8_t* payload) {
    uint8_t& events = g_SensorProtocol[channel].resetEvents;
    payload[0] = TakeLowestBit(&events);
    if (events != 0) Link_QueueItem(kSensCmdS127);
}

void SensCmd_BuildS131(uint32_t channel, uint8_t* payload) {
    const float* p = g_SensorParams[channel].p;
    payload = PutU16(payload, ToU16(p[kSensParamProcessPressure] + kRoundHalf));
    *payload++ = kPressureSeparator;
    PutU16(payload, ToU16(p[kSensParamSalinity] + kRoundSensor));
}

void SensCmd_BuildS133(uint32_t channel, uint8_t* payload) { PutFloat(payload, g_SensorProtocol[channel].g133Value); }

void SensCmd_BuildS134RegisterWrite(uint32_t channel, uint8_t* payload) {
    SensorProtocolRecord& r = g_SensorProtocol[channel];
    uint8_t n = TakeLowestBit(&r.pendingRegisters);
    payload[0] = n;
    PutU16(payload + 1, SensCmd_GetRegister(channel, n));
    if (r.pendingRegisters != 0 && g_SensorKindActive[channel] == kKindO2Optical) Link_QueueItem(kSensCmdS134);
}

void SensCmd_BuildS136DateTime(uint32_t, uint8_t* payload) { PutDateAndTime(payload); }

void SensCmd_BuildS139CycleTemps(uint32_t channel, uint8_t* payload) {
    const float* p = g_SensorParams[channel].p;
    payload = PutFloat(payload, p[kSensParamSipTempLimit]);
    PutFloat(payload, p[kSensParamCipTempLimit]);
}

void SensCmd_BuildS510(uint32_t channel, uint8_t* payload) {
    // The sensor's codes of the settings 0 to 4.
    static const uint8_t kCodes[5] = {6, 7, 5, 8, 9};
    int16_t setting = g_SensorParams[channel].optionWord;
    PutU16(payload, setting >= 0 && setting < 5 ? kCodes[setting] : 0);
}

void SensCmd_BuildS540(uint32_t channel, uint8_t* payload) {
    PutFloat(payload, g_SensorParams[channel].p[kSensParamG540Value]);
}

// ---- Answer payloads ----------------------------------------------------------------------------

// The diagnostic block of a poll answer into the indicators.
static void TakeDiagnostics(uint32_t channel, const uint8_t* payload) {
    const char* text = reinterpret_cast<const char*>(payload);
    g_DiagIndicators[kDiagSpare] = Util_GetFloatBE(payload + kG100Spare);
    g_DiagIndicators[kDiagMaxTemperature] = Util_GetFloatBE(payload + kG100MaxTemperature);
    g_DiagIndicators[kDiagSipCount] = GetU16(payload + kG100SipCount);
    g_DiagIndicators[kDiagCipCount] = GetU16(payload + kG100CipCount);
    g_DiagIndicators[kDiagAutoclaveCount] = GetU16(payload + kG100AutoclaveCount);
    g_DiagIndicators[kDiagActDays] = GetU16(payload + kG100ActDays);
    g_DiagIndicators[kDiagLifetimeDays] = GetU16(payload + kG100LifetimeDays);
    g_SensorIdent[channel].operatingHours = SensCmd_ParseDecimal(kCounterDigits, text + kG100OperatingHours);
    g_DiagIndicators[kDiagOperatingDays] =
        static_cast<float>(SensCmd_ParseDecimal(kCounterDigits, text + kG100OperatingHoursTotal)) / kHoursPerDay;
    g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
    g_SensorSaveFlags[kSensorSaveOpticalErrors] = 1;
}

static void SetRecordSlot(uint32_t channel, uint32_t slot, float value) {
    if (slot == 0) {
        g_Measurement[channel].primary = value;
    } else {
        Meas_SetFieldFloat(channel, kFirstValueField + slot, value);
    }
}

uint32_t SensCmd_OnG100Measurement(uint32_t channel, const uint8_t* payload) {
    g_SensorStatusWord[channel] = GetU16(payload + kG100StatusLow) + 65536u * GetU16(payload + kG100StatusHigh);
    // The sensor's values are read, but the simulated sensor measures what the panel sets.
    float temperature = 0.0f;
    float primary = 0.0f;
    Meas_GetSimulatedOptical(channel, &temperature, &primary);
    for (uint8_t slot : kG100Slots) {
        if (slot != kSkip) SetRecordSlot(channel, slot, slot == kSlotTemperature ? temperature : primary);
    }
    MeasurementRecord& record = g_Measurement[channel];
    record.temperature = temperature;
    Filter_Push(&g_DampFilters[0], Meas_GetFieldFloat(channel, kFirstValueField + kSlotFiltered), kFilterStep, 0);
    if (g_MeasReplyCount[channel] > kRepliesBeforeMeasuring && g_SensorKindActive[channel] == g_ChannelKind[channel]) {
        // The fresh value also refreshes the display lines with the next update cycle.
        g_ChanValueReady[channel] = 1;
        if (Meas_GetAnalogInputMode() >= 1) Link_QueueItem(kSensCmdS137);
        uint16_t count = g_LinkChanStatus[channel];
        g_LinkChanStatus[channel] = static_cast<uint16_t>(count + 1);
        if (count >= kPollTakeFrom) {
            TakeDiagnostics(channel, payload);
            g_LinkChanStatus[channel] = count + 1 >= kPollRepeat ? kPollAgainSoon : 0;
        }
    } else {
        ++g_MeasReplyCount[channel];
        g_LinkChanStatus[channel] = kPollCleared;
        record = MeasurementRecord{};
    }
    return 1;
}

uint32_t SensCmd_OnG113CalData(uint32_t channel, const uint8_t* payload) {
    float* p = g_SensorParams[channel].p;
    p[kSensParamPointValue2] = Util_GetFloatBE(payload + 0);
    p[kSensParamPointValue1] = Util_GetFloatBE(payload + 4);
    p[kSensParamZero] = p[kSensParamResult2] = Util_GetFloatBE(payload + 8);
    p[kSensParamSlope] = p[kSensParamResult1] = Util_GetFloatBE(payload + 12);
    p[kSensParamPointTemp2] = Util_GetFloatBE(payload + 16);
    p[kSensParamPointTemp1] = Util_GetFloatBE(payload + 20);
    p[kSensParamStepValue] = Util_GetFloatBE(payload + 24);
    p[kSensParamExtra1] = Util_GetFloatBE(payload + 29);
    p[kSensParamExtra2] = Util_GetFloatBE(payload + 33);
    uint32_t status = 0;
    CalO2_SetCalPressure(channel, GetU16(payload + 50), &status);
    g_SensorParams[channel].humidity = payload[52];
    CalO2_SetRelHumidity(channel, payload[52] / 100.0f, &status);
    return 1;
}

uint32_t SensCmd_OnIdentification(uint32_t channel, const uint8_t* payload) {
    SensorIdentRecord& r = g_SensorIdent[channel];
    bool unknown = g_SensorKindDetected[channel] == kKindNone;
    r.typeByte = payload[kG124Type];
    r.optionByte = payload[kG124Option];
    uint32_t kind = kKindNoSensor;
    if (r.typeByte == kTypeOptical || r.typeByte == kTypeOpticalNew) {
        g_SensCmdSet = SensCmdSet{g_SensCmdTable, kSensCmdTableRows};
        const char* text = reinterpret_cast<const char*>(payload);
        std::memcpy(r.typeText, text + kG124TypeText, kTypeTextChars);
        r.typeText[kTypeTextChars] = '\0';
        r.serialNumber = SensCmd_ParseDecimal(kSerialDigits, text + kG124Serial);
        std::memcpy(r.firmwareVersion, text + kG124Firmware, sizeof r.firmwareVersion);
        std::memcpy(r.hardwareVersion, text + kG124Hardware, sizeof r.hardwareVersion);
        r.partNumber = SensCmd_ParseDecimal(kPartDigits, text + kG124Part);
        r.pendingRegisters = 0;
        r.resetEvents = 0;
        r.s126Value = 0;
        if (SensCmd_IsFirmwareSupported(channel)) kind = kKindO2Optical;
    }
    Chan_SetKind(channel, kind);
    // Set after the kind, which would mark a sensor that cannot be used as having no layout.
    g_SensorMemLayout[channel] = kLayoutProtocol;
    if (kind == kKindNoSensor && unknown) g_SensorPlugged[channel] = 1;
    return 1;
}

uint32_t SensCmd_OnG129(uint32_t channel, const uint8_t* payload) {
    SensorParamRecord& r = g_SensorParams[channel];
    r.g129Status = payload[0];
    r.p[kSensParamResult2] = Util_GetFloatBE(payload + 9);
    r.p[kSensParamResult1] = Util_GetFloatBE(payload + 13);
    r.p[kSensParamExtra1] = Util_GetFloatBE(payload + 17);
    r.p[kSensParamExtra2] = Util_GetFloatBE(payload + 21);
    return 1;
}

uint32_t SensCmd_OnG131(uint32_t channel, const uint8_t* payload) {
    float* p = g_SensorParams[channel].p;
    p[kSensParamProcessPressure] = GetU16(payload);
    p[kSensParamSalinity] = GetU16(payload + 3);
    return 1;
}

uint32_t SensCmd_OnG132CalHistory(uint32_t channel, const uint8_t* payload) {
    for (uint32_t i = 0; i < kSensCmdHistoryEntries; ++i) {
        const uint8_t* entry = payload + i * kHistoryEntryBytes;
        SensCalHistoryEntry& e = g_SensCalHistory[channel][i];
        std::memcpy(e.date, entry, kDateChars);
        e.date[kDateChars] = '\0';
        e.zero = Util_GetFloatBE(entry + 8);
        e.air = Util_GetFloatBE(entry + 12);
    }
    return 1;
}

uint32_t SensCmd_OnG133(uint32_t channel, const uint8_t* payload) {
    g_SensorIdent[channel].g133Value = Util_GetFloatBE(payload);
    return 1;
}

uint32_t SensCmd_OnG134Registers(uint32_t channel, const uint8_t* payload) {
    SensorIdentRecord& r = g_SensorIdent[channel];
    r.register1 = GetU16(payload + 0);
    r.register2 = GetU16(payload + 2);
    r.register3 = GetU16(payload + 4);
    r.fifthValue = GetU16(payload + 6);
    r.register5 = GetU16(payload + 8);
    r.lifetimeLimit = GetU16(payload + 10);
    return 1;
}

uint32_t SensCmd_OnG139CycleTemps(uint32_t channel, const uint8_t* payload) {
    float* p = g_SensorParams[channel].p;
    p[kSensParamSipTempLimit] = Util_GetFloatBE(payload);
    p[kSensParamCipTempLimit] = Util_GetFloatBE(payload + 4);
    return 1;
}

uint32_t SensCmd_OnG540(uint32_t channel, const uint8_t* payload) {
    g_SensorParams[channel].p[kSensParamG540Value] = Util_GetFloatBE(payload);
    return 1;
}
