// Sensor-board reply decoders. The process values come from the panel's simulated inputs; the
// reply still decides the status and range bytes and the polarization echo.
#include "measurement/decoders.h"

#include <bit>
#include <cmath>

#include "core/link.h"
#include "core/util.h"
#include "measurement/channel.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/meter_cal.h"
#include "measurement/oxygen.h"
#include "measurement/temperature.h"
#include "sim/sim_inputs.h"

uint32_t g_MeasReplyCount[2];
uint32_t g_ChanValueReady[2];
uint32_t g_CondOverflow;
float g_BoardCalTable[kBoardCalEntries];
uint8_t g_BoardCalReceived;

// Damping filter steps by signal: jumps below these count as noise.
static constexpr float kStepVolts = 0.18f;
static constexpr float kStepOhm = 100.0f;
static constexpr float kStepCurrent = 1e-5f;
static constexpr float kStepTemperature = 20.0f;
// An element resistance at or above this is an open input.
static constexpr float kElementOpenOhm = 350000.0f;
static constexpr float kElementShortOhm = 1e-5f;
// The panel's impedance entry that stands for an invalid reading.
static constexpr int32_t kImpedanceInvalid = 9999;
static constexpr uint32_t kRepliesBeforeMeasuring = 3;
// Polarization request kind, and the echo difference (mV) that asks for it again.
static constexpr uint32_t kRequestPolarization = 18;
static constexpr float kPolarizationTolerance = 0.1f;
// Raised link status word of an oxygen sensor reporting an alarm.
static constexpr uint16_t kLinkStatusSensorAlarm = 3580;

// Payload offsets of channel A's reply.
static constexpr uint32_t kAOverflowByte = 13;
static constexpr uint32_t kAPolarization = 14;
// Payload offsets of channel B's replies (from the decoder's start).
static constexpr uint32_t kBO2Word1 = 2;
static constexpr uint32_t kBO2Word1Kind8 = 14;
static constexpr uint32_t kBO2Word2 = 6;
static constexpr uint32_t kBO2Flags = 30;
static constexpr uint32_t kBCondRange = 31;

uint16_t Meas_GetU16LE(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }
int16_t Meas_GetI16LE(const uint8_t* bytes) { return static_cast<int16_t>(Meas_GetU16LE(bytes)); }

float Meas_GetFloatLE(const uint8_t* bytes) {
    uint32_t word = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                    static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return std::bit_cast<float>(word);
}

float Meas_GetFloatWordSwapped(const uint8_t* bytes) {
    const uint8_t swapped[4] = {bytes[2], bytes[3], bytes[0], bytes[1]};
    return Meas_GetFloatLE(swapped);
}

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }

// An impedance entry truncated to a whole number. An entry that is no number reads as the
// invalid mark, and one beyond the integer range is held at its end rather than overflowing.
static int32_t WholeEntry(float value) {
    if (!IsFinite(value)) return kImpedanceInvalid;
    if (value >= 2147483520.0f) return 2147483520;
    if (value <= -2147483520.0f) return -2147483520;
    return static_cast<int32_t>(value);
}

void Meas_GetSimulatedOptical(uint32_t channel, float* temperature, float* primary) {
    *temperature = Panel_GetSimInput(channel, kSimTemperatureB);
    *primary = Panel_GetSimInput(channel, kSimPrimaryKind9);
}

void Meas_DecodeTemperatureInput(uint32_t channel, const uint8_t*) {
    if (channel >= 2) return;
    MeasurementRecord& record = g_Measurement[channel];
    float r = Panel_GetSimInput(channel, kSimElementOhm);
    uint32_t status = 0;
    if (!IsFinite(r) || r < kElementShortOhm) {
        status = kStatusUnder;
    } else if (r >= kElementOpenOhm) {
        status = kStatusOver;
    }
    record.elementResistance = r;
    record.elementStatus = status;
    Filter_Push(&g_DampFilters[1], r, kStepOhm, status);
    float t = Temp_ComputeFromSensor(channel, Temp_GetSourceMode(channel), r, &status);
    record.temperature = t;
    record.temperatureSourceStatus = status;
    if (status == 0) {
        Meas_CheckTemperatureRange(channel, t, &record.temperatureStatus);
    } else {
        record.temperatureStatus = status;
    }
}

// Asks the board for the polarization voltage again when its echo is off.
static void CheckPolarizationEcho(const uint8_t* payload) {
    float echo = Util_GetFloatBE(payload + kAPolarization);
    if (!(std::fabs(echo - g_LinkPolVoltage) <= kPolarizationTolerance)) Link_SetRequestBit(kRequestPolarization);
}

// Channel A's electrode voltage as the panel gives it: the primary value with its range status,
// its copy for the ORP reading, and the damping filter.
static void DecodeElectrodeVoltsA(uint32_t channel) {
    uint32_t status = 0;
    float volts = Panel_GetSimInput(channel, kSimElectrodeVolts);
    g_Measurement[channel].primary = volts;
    Meas_SetFieldFloat(channel, kPhFieldOrpVolts, volts);
    MeterCal_CheckSignalRange(volts, &status);
    Meas_SetFieldWord(channel, kPhFieldPrimaryStatus, status);
    Filter_Push(&g_DampFilters[0], volts, kStepVolts, status);
}

uint32_t Meas_DecodeChannelAReply(uint32_t channel, const uint8_t* payload) {
    if (channel >= 2) return 0;
    MeasurementRecord& record = g_Measurement[channel];
    uint16_t kind = g_MeasuringKind[channel];
    Meas_DecodeTemperatureInput(channel, payload);
    record.analogInput = Panel_GetSimInput(0, kSimAnalogInput);
    Meas_UpdateInputPressure(channel);

    uint32_t status = 0;
    switch (kind) {
        case kKindPh: {
            DecodeElectrodeVoltsA(channel);
            // Megaohm and kilohm as the panel enters them.
            Meas_SetFieldFloat(channel, kPhFieldGlass, Panel_GetSimInput(channel, kSimGlassImpedance) * 1e6f);
            Meas_SetFieldWord(channel, kPhFieldGlassStatus, 0);
            Meas_SetFieldFloat(channel, kPhFieldReference, Panel_GetSimInput(channel, kSimRefImpedance) * 1000.0f);
            Meas_SetFieldWord(channel, kPhFieldReferenceStatus, 0);
            break;
        }
        case kKindPhPna:
            // Its two glass electrodes have no rows on channel A, so no impedance is taken.
            DecodeElectrodeVoltsA(channel);
            break;
        case kKindCond2:
        case kKindCond4: {
            float value = Panel_GetSimInput(channel, kSimCondSignal);
            if (payload[kAOverflowByte] == 1) {
                g_CondOverflow = 1;
                status = kStatusOver;
            } else {
                MeterCal_CheckPositiveRange(value, &status);
            }
            record.primary = value;
            Meas_SetFieldWord(channel, kCondFieldPrimaryStatus, status);
            Filter_Push(&g_DampFilters[0], value, kStepOhm, status);
            break;
        }
        case kKindO2High:
        case kKindO2Low:
        case kKindO2Trace: {
            float current = Panel_GetSimInput(channel, kSimSensorCurrent);
            record.primary = current;
            Meas_SetFieldWord(channel, kO2FieldPrimaryStatus, 0);
            Filter_Push(&g_DampFilters[0], current, kStepCurrent, 0);
            CheckPolarizationEcho(payload);
            break;
        }
        default:
            break;
    }

    if (g_MeasReplyCount[channel] > kRepliesBeforeMeasuring) {
        g_ChanValueReady[channel] = 1;
    } else {
        ++g_MeasReplyCount[channel];
    }
    return 1;
}

// Channel B's temperature row, pushed into the temperature damping filter.
static void DecodeTemperatureB(uint32_t channel) {
    float t = Panel_GetSimInput(channel, kSimTemperatureB);
    g_Measurement[channel].temperature = t;
    Filter_Push(&g_DampFilters[1], t, kStepTemperature, 0);
}

uint32_t Meas_DecodePhReply(uint32_t channel, const uint8_t*) {
    if (channel >= 2) return 0;
    float volts = Panel_GetSimInput(channel, kSimElectrodeVolts);
    g_Measurement[channel].primary = volts;
    Meas_SetFieldFloat(channel, kPhFieldOrpVolts, volts);
    Filter_Push(&g_DampFilters[0], volts, kStepVolts, 0);
    DecodeTemperatureB(channel);

    int32_t glass = WholeEntry(Panel_GetSimInput(channel, kSimGlassImpedance));
    Meas_SetFieldFloat(channel, kPhFieldGlass, static_cast<float>(glass) * 1e6f);
    Meas_SetFieldWord(channel, kPhFieldGlassStatus, glass == kImpedanceInvalid ? kStatusInvalid : 0);

    int32_t second = WholeEntry(Panel_GetSimInput(channel, kSimRefImpedance));
    if (g_SensorKindDetected[channel] != kKindPhPna) {
        Meas_SetFieldFloat(channel, kPhFieldReference, static_cast<float>(second) * 1000.0f);
        Meas_SetFieldWord(channel, kPhFieldReferenceStatus, 0);
    } else {
        // The pH/pNa sensor's second input is a glass electrode too, in megaohm.
        Meas_SetFieldFloat(channel, kPhFieldPnaGlass, static_cast<float>(second) * 1e6f);
        Meas_SetFieldWord(channel, kPhFieldPnaGlassStatus, second == kImpedanceInvalid ? kStatusInvalid : 0);
    }
    Meas_SetFieldFloat(channel, kPhFieldMv, volts * 1000.0f);
    Meas_SetFieldWord(channel, kPhFieldMvStatus, 0);
    return 1;
}

uint32_t Meas_DecodeOxygenReply(uint32_t channel, const uint8_t* payload) {
    if (channel >= 2) return 0;
    uint32_t kind = g_SensorKindDetected[channel];
    float current = Panel_GetSimInput(channel, kSimSensorCurrent);
    g_Measurement[channel].primary = current;
    Filter_Push(&g_DampFilters[0], current, kStepCurrent, 0);
    DecodeTemperatureB(channel);

    uint32_t word1At = kind == kKindO2Gauge ? kBO2Word1Kind8 : kBO2Word1;
    Meas_SetFieldFloat(channel, kO2FieldSensorWord1, static_cast<float>(Meas_GetI16LE(payload + word1At)));
    Meas_SetFieldFloat(channel, kO2FieldSensorWord2, static_cast<float>(Meas_GetU16LE(payload + kBO2Word2)));

    if (kind == kKindO2Gauge) {
        uint32_t status = 0;
        if (current > CalO2_GetKind8Limit(channel, 4)) {
            status = kStatusOver;
        } else if (current < CalO2_GetKind8Limit(channel, 5)) {
            status = kStatusUnder;
        }
        Meas_SetFieldWord(channel, kO2FieldPrimaryStatus, status);
    } else if (payload[kBO2Flags] & 0x01) {
        if (g_LinkChanStatus[channel] < kLinkStatusSensorAlarm) g_LinkChanStatus[channel] = kLinkStatusSensorAlarm;
        Meas_SetFieldWord(channel, kO2FieldAlarmStatus, kStatusOver);
    } else {
        Meas_SetFieldWord(channel, kO2FieldAlarmStatus, 0);
    }
    return 1;
}

uint32_t Meas_DecodeCondReply(uint32_t channel, const uint8_t* payload) {
    if (channel >= 2) return 0;
    Meas_SetFieldWord(channel, kCondFieldRangeByte, payload[kBCondRange]);
    float value = Panel_GetSimInput(channel, kSimCondSignal);
    g_Measurement[channel].primary = value;
    Filter_Push(&g_DampFilters[0], value, kStepOhm, 0);
    DecodeTemperatureB(channel);
    return 1;
}

uint32_t Meas_DecodeBoardCalTable(uint32_t, const uint8_t* payload) {
    // On the wire: five pairs (a, b), c0..c4, two pairs (d, e), f0..f7.
    for (uint32_t i = 0; i < 5; ++i) {
        g_BoardCalTable[i] = Util_GetFloatBE(payload + 4 * (2 * i));
        g_BoardCalTable[5 + i] = Util_GetFloatBE(payload + 4 * (2 * i + 1));
        g_BoardCalTable[10 + i] = Util_GetFloatBE(payload + 4 * (10 + i));
    }
    for (uint32_t i = 0; i < 2; ++i) {
        g_BoardCalTable[15 + i] = Util_GetFloatBE(payload + 4 * (15 + 2 * i));
        g_BoardCalTable[17 + i] = Util_GetFloatBE(payload + 4 * (16 + 2 * i));
    }
    for (uint32_t i = 0; i < 8; ++i) g_BoardCalTable[19 + i] = Util_GetFloatBE(payload + 4 * (19 + i));
    g_BoardCalReceived = 1;
    return 1;
}

// Where each group of the board calibration table begins, and how many entries it has.
static constexpr uint32_t kBoardCalA = 0;
static constexpr uint32_t kBoardCalB = 5;
static constexpr uint32_t kBoardCalD = 15;
static constexpr uint32_t kBoardCalE = 17;
static constexpr uint32_t kBoardCalPairs = 5;
static constexpr uint32_t kBoardCalPairs2 = 2;

static float BoardCalGroup(uint32_t first, uint32_t count, uint32_t i) {
    return i < count ? g_BoardCalTable[first + i] : 0.0f;
}

float Meas_GetBoardCalPairA(uint32_t i) { return BoardCalGroup(kBoardCalA, kBoardCalPairs, i); }
float Meas_GetBoardCalPairB(uint32_t i) { return BoardCalGroup(kBoardCalB, kBoardCalPairs, i); }
float Meas_GetBoardCalPair2A(uint32_t i) { return BoardCalGroup(kBoardCalD, kBoardCalPairs2, i); }
float Meas_GetBoardCalPair2B(uint32_t i) { return BoardCalGroup(kBoardCalE, kBoardCalPairs2, i); }
float Meas_GetBoardCalEntry10() { return g_BoardCalTable[10]; }
float Meas_GetBoardCalEntry11() { return g_BoardCalTable[11]; }
float Meas_GetBoardCalEntry12() { return g_BoardCalTable[12]; }
float Meas_GetBoardCalEntry13() { return g_BoardCalTable[13]; }
float Meas_GetBoardCalEntry14() { return g_BoardCalTable[14]; }
float Meas_GetBoardCalEntry19() { return g_BoardCalTable[19]; }
float Meas_GetBoardCalEntry20() { return g_BoardCalTable[20]; }
float Meas_GetBoardCalEntry21() { return g_BoardCalTable[21]; }
float Meas_GetBoardCalEntry22() { return g_BoardCalTable[22]; }
float Meas_GetBoardCalEntry23() { return g_BoardCalTable[23]; }
float Meas_GetBoardCalEntry24() { return g_BoardCalTable[24]; }
float Meas_GetBoardCalEntry25() { return g_BoardCalTable[25]; }
float Meas_GetBoardCalEntry26() { return g_BoardCalTable[26]; }

void Meas_ResetDecoders() {
    for (uint32_t channel = 0; channel < 2; ++channel) {
        g_MeasReplyCount[channel] = 0;
        g_ChanValueReady[channel] = 0;
    }
    g_CondOverflow = 0;
    for (float& entry : g_BoardCalTable) entry = 0.0f;
    g_BoardCalReceived = 0;
}
