// Parameters by number: the switchboard between the pages and settings dispatchers, which know a
// value only by its number, and the modules that own and store it.
#include "core/param.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/link.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "measurement/analog_input.h"
#include "measurement/calibration.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/conductivity.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/temperature.h"
#include "outputs/aout.h"

// Float parameters.
static constexpr uint32_t kParamStcCoefficient = 0;
static constexpr uint32_t kParamIsoPoint = 1;
static constexpr uint32_t kParamCompCoefficient = 4;
static constexpr uint32_t kParamManualTemperature = 6;
static constexpr uint32_t kParamSlope = 7;
static constexpr uint32_t kParamZero = 8;
static constexpr uint32_t kParamOutputGain = 11;
static constexpr uint32_t kParamOutputOffset = 12;
static constexpr uint32_t kParamSlopeB = 14;
static constexpr uint32_t kParamZeroB = 15;
static constexpr uint32_t kParamO2CalPressure = 22;
static constexpr uint32_t kParamO2ProcPressure = 23;
static constexpr uint32_t kParamO2RelHumidity = 24;
static constexpr uint32_t kParamO2Salinity = 25;
static constexpr uint32_t kParamStcRefTemp = 27;
static constexpr uint32_t kParamCo2Pressure = 37;
static constexpr uint32_t kParamCo2Salinity = 38;
static constexpr uint32_t kParamCo2Bicarbonate = 39;
static constexpr uint32_t kParamSensorLimit = 41;  // channel B, stored at 379 by its settings module
static constexpr uint32_t kParamSensorValue = 45;  // channel B, set only
static constexpr uint32_t kParamInputRangeLow = 48;
static constexpr uint32_t kParamInputRangeHigh = 49;
// Byte and word parameters.
static constexpr uint32_t kParamMeasureFlag = 2;
static constexpr uint32_t kParamCompMode = 3;
static constexpr uint32_t kParamTempSource = 5;
static constexpr uint32_t kParamFilterMode = 20;
static constexpr uint32_t kParamBufferSet = 21;
static constexpr uint32_t kParamStcMode = 26;
static constexpr uint32_t kParamPressureSource = 28;
static constexpr uint32_t kParamSlopeUnit = 29;
static constexpr uint32_t kParamOffsetUnit = 30;
static constexpr uint32_t kParamStabilityState = 31;
static constexpr uint32_t kParamStabilityTimeUp = 32;
static constexpr uint32_t kParamDriftControl = 33;
static constexpr uint32_t kParamSensorWords = 42;  // sets the first word, and the second
static constexpr uint32_t kParamSensorWord2 = 43;
static constexpr uint32_t kParamSensorWordsAlways = 44;
static constexpr uint32_t kParamSensorFlag = 46;
static constexpr uint32_t kParamInputMode = 47;
static constexpr uint32_t kParamInputUnitLow = 50;
static constexpr uint32_t kParamInputUnitHigh = 51;
static constexpr uint32_t kParamSensorThousandths = 53;

// Sensor-kind selectors of the slope and zero parameters.
static constexpr uint32_t kSelPh = 0;
static constexpr uint32_t kSelNominal = 1;
static constexpr uint32_t kSelCond = 2;
static constexpr uint32_t kSelO2 = 3;
static constexpr uint32_t kSelNominal5 = 5;
static constexpr uint32_t kSelTemperature = 6;
static constexpr uint32_t kSelOptical = 8;
static constexpr uint32_t kSelPhCo2 = 10;
static constexpr uint32_t kSelCo2 = 13;
static constexpr uint32_t kSelNominal14 = 14;

// Codes of Param_GetValueByCode.
static constexpr uint32_t kCodePairA = 100;
static constexpr uint32_t kCodePairB = 101;
static constexpr uint32_t kCodeEntry10 = 102;
static constexpr uint32_t kCodeEntry11 = 103;
static constexpr uint32_t kCodePair2A = 104;
static constexpr uint32_t kCodePair2B = 105;
static constexpr uint32_t kCodeEntry12 = 106;
static constexpr uint32_t kCodeEntry13 = 107;
static constexpr uint32_t kCodeEntry14 = 108;
static constexpr uint32_t kCodeEntry19 = 109;
static constexpr uint32_t kCodeEntry20 = 110;
static constexpr uint32_t kCodeEntry21 = 111;
static constexpr uint32_t kCodeEntry22 = 112;
static constexpr uint32_t kCodeEntry23 = 113;
static constexpr uint32_t kCodeEntry24 = 114;
static constexpr uint32_t kCodeOutputGain = 118;
static constexpr uint32_t kCodeOutputOffset = 119;
static constexpr uint32_t kCodeEntry25 = 120;
static constexpr uint32_t kCodeEntry26 = 121;

// The optical oxygen sensor keeps copies of some parameters; a change beyond these is sent to it.
static constexpr float kSensorMediumChange = 0.005f;
static constexpr float kSensorValueChange = 0.0005f;
static constexpr float kDefaultSensorLimit = 40.0f;
// Where channel B's sensor setting byte (parameter 53) is stored.
static constexpr uint32_t kStoreSensorSetting = 893;
static constexpr uint32_t kByteMax = 255;

// Parameter 41 as last set, and the second of the optical sensor's two words per channel.
static float s_SensorLimit = kDefaultSensorLimit;
static int16_t s_SensorWord2[2];

void Param_ResetState() {
    s_SensorLimit = kDefaultSensorLimit;
    s_SensorWord2[0] = s_SensorWord2[1] = 0;
}

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }

// The channel the optical sensor's parameters belong to, when the current channel has one.
static bool OpticalOnCurrent(uint32_t* channel) {
    *channel = Chan_GetCurrentChannel();
    return *channel < 2 && g_SensorKindActive[*channel] == kKindO2Optical;
}

// Updates the optical sensor's copy of a value and asks for it to be sent, when it moved by more
// than the limit.
static void SendToSensor(float* copy, float value, float limit, uint8_t item) {
    if (std::fabs(*copy - value) > limit) {
        *copy = value;
        Link_QueueItem(item);
    }
}

// ---- Slope and zero by selector -------------------------------------------------------------------

static float GetSlope(uint32_t channel, uint32_t selector, uint32_t* status) {
    switch (selector) {
        case kSelPh:
        case kSelPhCo2: {
            float percent = CalPh_GetSlopePercent(channel);
            return CalPh_GetSlopeUnitFlag(0) == 1 ? CalPh_SlopeAtTemperature(percent, 25.0f) / 100.0f : percent;
        }
        case kSelNominal:
        case kSelNominal5:
        case kSelNominal14:
            return 1.0f;
        case kSelCond:
            return CalCond_GetCellConstant(channel);
        case kSelO2:
            return -CalO2_GetSlopeAtAir(channel);
        case kSelTemperature:
            return Temp_GetSlope(channel);
        case kSelOptical:
            return g_SensorParams[1].p[kSensParamSlope];
        case kSelCo2:
            return CalPh_GetSlopeUnitFlag(0) == 1 ? CalPh_GetCo2SlopePercent(channel) : CalPh_GetCo2SlopeMv(channel);
        default:
            *status = kStatusOver;
            return 0.0f;
    }
}

static void SetSlope(uint32_t channel, uint32_t selector, float value, uint32_t* status) {
    switch (selector) {
        case kSelPh:
        case kSelPhCo2:
            // Shown as mV/pH at 25 C: back to percent of 59.16 mV/pH.
            CalPh_SetSlopePercent(channel, CalPh_GetSlopeUnitFlag(0) == 1 ? value * 100.0f / kNernstSlope : value,
                                  status);
            break;
        case kSelCond:
            CalCond_SetCellConstant(channel, value, status);
            break;
        case kSelO2:
            CalO2_SetSlopeFromAir(channel, -value);
            break;
        case kSelTemperature:
            Temp_SetSlope(channel, value, status);
            break;
        case kSelCo2:
            if (CalPh_GetSlopeUnitFlag(0) == 1) {
                CalPh_SetCo2SlopePercent(channel, value, status);
            } else {
                CalPh_SetCo2SlopeMv(channel, value, status);
            }
            break;
        case kSelNominal:
        case kSelNominal5:
        case kSelNominal14:
        case kSelOptical:
            // Fixed, or the sensor's own.
            break;
        default:
            *status = kStatusOver;
            break;
    }
}

static float GetZero(uint32_t channel, uint32_t selector, uint32_t* status) {
    switch (selector) {
        case kSelPh:
        case kSelPhCo2:
            return CalPh_GetOffsetUnitFlag(0) == 1 ? CalPh_GetZeroValue(channel) : CalPh_GetZeroPointPh(channel);
        case kSelNominal:
        case kSelNominal5:
        case kSelNominal14:
            // A nominal calibration has no zero offset.
            return 0.0f;
        case kSelCond:
            return CalCond_GetZeroOffset(channel);
        case kSelO2:
            return -CalO2_GetZeroMicro(channel);
        case kSelTemperature:
            return Temp_GetOffset(channel);
        case kSelOptical:
            return g_SensorParams[1].p[kSensParamZero];
        case kSelCo2: {
            float zero = CalPh_GetCo2Zero(channel);
            return CalPh_GetOffsetUnitFlag(0) == 1 ? CalPh_ZeroPhToMv(channel, zero) : zero;
        }
        default:
            *status = kStatusOver;
            return 0.0f;
    }
}

static void SetZero(uint32_t channel, uint32_t selector, float value, uint32_t* status) {
    switch (selector) {
        case kSelPh:
        case kSelPhCo2:
            if (CalPh_GetOffsetUnitFlag(0) == 1) {
                CalPh_SetZeroValue(channel, value, status);
            } else {
                CalPh_SetZeroFromPh(channel, value, status);
            }
            break;
        case kSelCond:
            CalCond_SetZeroOffset(channel, value, status);
            break;
        case kSelO2:
            CalO2_SetZero(channel, -value);
            break;
        case kSelTemperature:
            Temp_SetOffset(channel, value, status);
            break;
        case kSelCo2:
            if (CalPh_GetOffsetUnitFlag(0) == 1) {
                CalPh_SetCo2ZeroFromMv(channel, value, status);
            } else {
                CalPh_SetCo2Zero(channel, value, status);
            }
            break;
        case kSelNominal:
        case kSelNominal5:
        case kSelNominal14:
        case kSelOptical:
            break;
        default:
            *status = kStatusOver;
            break;
    }
}

// ---- Float parameters -------------------------------------------------------------------------------

float Param_GetFloat(uint32_t channel, uint32_t number, uint32_t selector, uint32_t* status) {
    *status = 0;
    float value = 0.0f;
    switch (number) {
        case kParamStcCoefficient:
            value = CalPh_GetStcCoefficient(channel);
            break;
        case kParamIsoPoint:
            value = CalPh_GetIsoPoint(channel);
            break;
        case kParamCompCoefficient:
            value = CalCond_GetTempCompCoefficient(channel);
            break;
        case kParamManualTemperature:
            value = Temp_GetManualValue(channel);
            break;
        case kParamSlope:
        case kParamSlopeB:
            value = GetSlope(channel, selector, status);
            break;
        case kParamZero:
        case kParamZeroB:
            value = GetZero(channel, selector, status);
            break;
        case kParamOutputGain:
            value = Aout_GetGainRatio(channel);
            break;
        case kParamOutputOffset:
            value = Aout_GetOffsetDelta(channel);
            break;
        case kParamO2CalPressure:
            value = CalO2_GetCalPressure(channel);
            break;
        case kParamO2ProcPressure:
            value = CalO2_GetProcPressure(channel);
            break;
        case kParamO2RelHumidity:
            value = CalO2_GetRelHumidity(channel);
            break;
        case kParamO2Salinity:
            value = CalO2_GetSalinity(channel);
            break;
        case kParamStcRefTemp:
            value = CalPh_GetStcRefTemp(channel);
            break;
        case kParamCo2Pressure:
            value = CalPh_GetCo2Pressure(channel);
            break;
        case kParamCo2Salinity:
            value = CalPh_GetCo2Salinity(channel);
            break;
        case kParamCo2Bicarbonate:
            value = CalPh_GetCo2Bicarbonate(channel);
            break;
        case kParamSensorLimit:
            value = s_SensorLimit;
            break;
        case kParamInputRangeLow:
        case kParamInputRangeHigh:
            value = Meas_GetAnalogInputRange(number - kParamInputRangeLow);
            break;
        default:
            break;
    }
    // Pages show no minus zero, and nothing that is not a number.
    if (value == 0.0f || !IsFinite(value)) return 0.0f;
    return value;
}

void Param_SetFloat(uint32_t channel, uint32_t number, uint32_t selector, float value, uint32_t* status) {
    *status = 0;
    uint32_t current = 0;
    switch (number) {
        case kParamStcCoefficient:
            CalPh_SetStcCoefficient(channel, value, status);
            break;
        case kParamIsoPoint:
            CalPh_SetIsoPoint(channel, value, status);
            break;
        case kParamCompCoefficient:
            CalCond_SetTempCompCoefficient(channel, value, status);
            break;
        case kParamManualTemperature:
            Temp_SetManualValue(channel, value, status);
            break;
        case kParamSlope:
        case kParamSlopeB:
            SetSlope(channel, selector, value, status);
            break;
        case kParamZero:
        case kParamZeroB:
            SetZero(channel, selector, value, status);
            break;
        case kParamO2CalPressure:
            CalO2_SetCalPressure(channel, value, status);
            break;
        case kParamO2ProcPressure:
            CalO2_SetProcPressure(channel, value, status);
            if (OpticalOnCurrent(&current)) {
                SendToSensor(&g_SensorParams[current].p[kSensParamProcessPressure], value, kSensorMediumChange,
                             kSensCmdS131);
            }
            break;
        case kParamO2RelHumidity:
            CalO2_SetRelHumidity(channel, value, status);
            break;
        case kParamO2Salinity:
            CalO2_SetSalinity(channel, value, status);
            if (OpticalOnCurrent(&current)) {
                SendToSensor(&g_SensorParams[current].p[kSensParamSalinity], value, kSensorMediumChange, kSensCmdS131);
            }
            break;
        case kParamStcRefTemp:
            CalPh_SetStcRefTemp(channel, value, status);
            break;
        case kParamCo2Pressure:
            CalPh_SetCo2Pressure(channel, value, status);
            break;
        case kParamCo2Salinity:
            CalPh_SetCo2Salinity(channel, value, status);
            break;
        case kParamCo2Bicarbonate:
            CalPh_SetCo2Bicarbonate(channel, value, status);
            break;
        case kParamSensorLimit:
            if (!IsFinite(value)) {
                *status = kStatusOver;
                break;
            }
            s_SensorLimit = value;
            if (OpticalOnCurrent(&current)) {
                SendToSensor(&g_SensorParams[current].p[kSensParamG540Value], value, kSensorValueChange, kSensCmdS540);
            }
            break;
        case kParamSensorValue:
            if (OpticalOnCurrent(&current) && IsFinite(value)) {
                g_SensorParams[current].p[kSensParamG540Value] = value;
                Link_QueueItem(kSensCmdS540);
            }
            break;
        case kParamInputRangeLow:
        case kParamInputRangeHigh:
            Meas_SetAnalogInputRange(number - kParamInputRangeLow, value, status);
            break;
        default:
            // Read-only (the output ratios) or no parameter.
            break;
    }
}

// ---- Byte and word parameters -------------------------------------------------------------------------

uint32_t Param_GetInt(uint32_t channel, uint32_t number, uint32_t* status) {
    *status = 0;
    switch (number) {
        case kParamMeasureFlag:
            return Chan_GetMeasureFlag(channel);
        case kParamCompMode:
            return CalCond_GetTempCompMode(channel);
        case kParamTempSource:
            return Temp_GetSourceMode(channel);
        case kParamFilterMode:
            return Filter_GetMode(channel);
        case kParamBufferSet:
            return CalPh_GetBufferSet(channel);
        case kParamStcMode:
            return CalPh_GetStcMode(channel);
        case kParamPressureSource:
            return CalO2_GetPressureSource(channel);
        case kParamSlopeUnit:
            return CalPh_GetSlopeUnitFlag(channel);
        case kParamOffsetUnit:
            return CalPh_GetOffsetUnitFlag(channel);
        case kParamStabilityState:
            return Filter_GetStabilityState();
        case kParamStabilityTimeUp:
            return Filter_IsStabilityTimeUp();
        case kParamDriftControl:
            return Cal_GetDriftControl(channel);
        case kParamSensorWords:
            return static_cast<uint16_t>(g_SensorParams[1].optionWord);
        case kParamSensorWord2:
            return static_cast<uint16_t>(s_SensorWord2[1]);
        case kParamSensorFlag:
            return channel < 2 ? g_SensorParams[channel].flag : 0;
        case kParamInputMode:
            return Meas_GetAnalogInputMode();
        case kParamInputUnitLow:
        case kParamInputUnitHigh:
            return Meas_GetAnalogInputUnit(number - kParamInputUnitLow);
        case kParamSensorThousandths:
            return SensCmd_GetParamRounded(1);
        default:
            return 0;
    }
}

// The optical sensor's two words (parameters 42 to 44); each change is sent with "S510".
static void SetSensorWords(uint32_t number, int16_t value, uint32_t* status) {
    uint32_t channel = 0;
    if (!OpticalOnCurrent(&channel)) return;
    int16_t& first = g_SensorParams[channel].optionWord;
    int16_t& second = s_SensorWord2[channel];
    bool always = number == kParamSensorWordsAlways;
    if (number != kParamSensorWord2 && (always || first != value)) {
        Chan_SetBRecordWord(channel, value, status);
        Link_QueueItem(kSensCmdS510);
    }
    if (always || second != value) {
        second = value;
        Link_QueueItem(kSensCmdS510);
    }
}

void Param_SetInt(uint32_t channel, uint32_t number, uint32_t value, uint32_t* status) {
    *status = 0;
    bool word = number == kParamSensorWords || number == kParamSensorWord2 || number == kParamSensorWordsAlways;
    // Every other parameter is a byte; a larger value would arrive cut.
    if (value > (word ? 0x7FFFu : kByteMax)) {
        *status = kStatusOver;
        return;
    }
    uint8_t byte = static_cast<uint8_t>(value);
    switch (number) {
        case kParamMeasureFlag:
            Chan_SetMeasureFlag(channel, byte);
            break;
        case kParamCompMode:
            CalCond_SetTempCompMode(channel, byte, status);
            break;
        case kParamTempSource:
            Temp_SetSourceMode(channel, byte, status);
            break;
        case kParamFilterMode:
            Filter_SetMode(channel, byte, status);
            break;
        case kParamBufferSet:
            CalPh_SetBufferSet(channel, byte, status);
            break;
        case kParamStcMode:
            CalPh_SetStcMode(channel, byte, status);
            break;
        case kParamPressureSource:
            CalO2_SetPressureSource(channel, byte, status);
            break;
        case kParamSlopeUnit:
            CalPh_SetSlopeUnitFlag(channel, byte, status);
            break;
        case kParamOffsetUnit:
            CalPh_SetOffsetUnitFlag(channel, byte, status);
            break;
        case kParamDriftControl:
            Cal_SetDriftControl(channel, byte);
            break;
        case kParamSensorWords:
        case kParamSensorWord2:
        case kParamSensorWordsAlways:
            SetSensorWords(number, static_cast<int16_t>(value), status);
            break;
        case kParamSensorFlag:
            Chan_SetBRecordFlag(channel, byte, status);
            break;
        case kParamInputMode:
            Meas_SetAnalogInputMode(byte, status);
            break;
        case kParamInputUnitLow:
        case kParamInputUnitHigh:
            Meas_SetAnalogInputUnit(number - kParamInputUnitLow, byte, status);
            break;
        case kParamSensorThousandths:
            if (value != SensCmd_GetParamRounded(1)) {
                g_SensorCal[1].sensorSetting = byte;
                Eeprom_WriteChecked(kStoreSensorSetting, &byte, 1, status);
                SensCmd_SetParamThousandths(1, static_cast<float>(value));
            }
            break;
        default:
            // Read-only (the stability state and time) or no parameter.
            break;
    }
}

// ---- Values by code -----------------------------------------------------------------------------------

float Param_GetValueByCode(uint32_t, uint32_t code, uint32_t index, uint32_t* status) {
    *status = 0;
    switch (code) {
        case kCodePairA:
            return Meas_GetBoardCalPairA(index);
        case kCodePairB:
            return Meas_GetBoardCalPairB(index);
        case kCodeEntry10:
            return Meas_GetBoardCalEntry10();
        case kCodeEntry11:
            return Meas_GetBoardCalEntry11();
        case kCodePair2A:
            return Meas_GetBoardCalPair2A(index);
        case kCodePair2B:
            return Meas_GetBoardCalPair2B(index);
        case kCodeEntry12:
            return Meas_GetBoardCalEntry12();
        case kCodeEntry13:
            return Meas_GetBoardCalEntry13();
        case kCodeEntry14:
            return Meas_GetBoardCalEntry14();
        case kCodeEntry19:
            return Meas_GetBoardCalEntry19();
        case kCodeEntry20:
            return Meas_GetBoardCalEntry20();
        case kCodeEntry21:
            return Meas_GetBoardCalEntry21();
        case kCodeEntry22:
            return Meas_GetBoardCalEntry22();
        case kCodeEntry23:
            return Meas_GetBoardCalEntry23();
        case kCodeEntry24:
            return Meas_GetBoardCalEntry24();
        case kCodeOutputGain:
            return Aout_GetGainRatio(index);
        case kCodeOutputOffset:
            return Aout_GetOffsetDelta(index);
        case kCodeEntry25:
            return Meas_GetBoardCalEntry25();
        case kCodeEntry26:
            return Meas_GetBoardCalEntry26();
        default:
            return 0.0f;
    }
}
