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

// The pH slope and zero show in the units the unit flags choose: percent or mV/pH at 25 C, and
// pH or mV. CO2's electrode the same, oxygen's negated; the optical sensor's are its own.
static float PhSlope(uint32_t channel) {
    float percent = CalPh_GetSlopePercent(channel);
    return CalPh_GetSlopeUnitFlag(0) == 1 ? CalPh_SlopeAtTemperature(percent, 25.0f) / 100.0f : percent;
}

static void SetPhSlope(uint32_t channel, float value, uint32_t* status) {
    // Shown as mV/pH at 25 C: back to percent of 59.16 mV/pH.
    CalPh_SetSlopePercent(channel, CalPh_GetSlopeUnitFlag(0) == 1 ? value * 100.0f / kNernstSlope : value, status);
}

static float PhZero(uint32_t channel) {
    return CalPh_GetOffsetUnitFlag(0) == 1 ? CalPh_GetZeroValue(channel) : CalPh_GetZeroPointPh(channel);
}

static void SetPhZero(uint32_t channel, float value, uint32_t* status) {
    if (CalPh_GetOffsetUnitFlag(0) == 1) {
        CalPh_SetZeroValue(channel, value, status);
    } else {
        CalPh_SetZeroFromPh(channel, value, status);
    }
}

static float Co2Slope(uint32_t channel) {
    return CalPh_GetSlopeUnitFlag(0) == 1 ? CalPh_GetCo2SlopeMv(channel) : CalPh_GetCo2SlopePercent(channel);
}

static void SetCo2Slope(uint32_t channel, float value, uint32_t* status) {
    if (CalPh_GetSlopeUnitFlag(0) == 1) {
        CalPh_SetCo2SlopeMv(channel, value, status);
    } else {
        CalPh_SetCo2SlopePercent(channel, value, status);
    }
}

static float Co2Zero(uint32_t channel) {
    float zero = CalPh_GetCo2Zero(channel);
    return CalPh_GetOffsetUnitFlag(0) == 1 ? CalPh_ZeroPhToMv(channel, zero) : zero;
}

static void SetCo2Zero(uint32_t channel, float value, uint32_t* status) {
    if (CalPh_GetOffsetUnitFlag(0) == 1) {
        CalPh_SetCo2ZeroFromMv(channel, value, status);
    } else {
        CalPh_SetCo2Zero(channel, value, status);
    }
}

static float O2Slope(uint32_t channel) { return -CalO2_GetSlopeAtAir(channel); }
static void SetO2Slope(uint32_t channel, float value, uint32_t*) { CalO2_SetSlopeFromAir(channel, -value); }
static float O2Zero(uint32_t channel) { return -CalO2_GetZeroMicro(channel); }
static void SetO2Zero(uint32_t channel, float value, uint32_t*) { CalO2_SetZero(channel, -value); }
static float OpticalSlope(uint32_t) { return g_SensorParams[1].p[kSensParamSlope]; }
static float OpticalZero(uint32_t) { return g_SensorParams[1].p[kSensParamZero]; }
// A nominal calibration has the slope 1 and no zero offset.
static float NominalSlope(uint32_t) { return 1.0f; }
static float NominalZero(uint32_t) { return 0.0f; }

// The slope and zero of each sensor kind; a null setter leaves a value that is fixed, or the
// sensor's own, as it is.
struct SlopeAndZero {
    uint32_t selector;
    float (*getSlope)(uint32_t channel);
    void (*setSlope)(uint32_t channel, float value, uint32_t* status);
    float (*getZero)(uint32_t channel);
    void (*setZero)(uint32_t channel, float value, uint32_t* status);
};
static const SlopeAndZero kSlopeAndZero[] = {
    {kSelPh, PhSlope, SetPhSlope, PhZero, SetPhZero},
    {kSelNominal, NominalSlope, nullptr, NominalZero, nullptr},
    {kSelCond, CalCond_GetCellConstant, CalCond_SetCellConstant, CalCond_GetZeroOffset, CalCond_SetZeroOffset},
    {kSelO2, O2Slope, SetO2Slope, O2Zero, SetO2Zero},
    {kSelNominal5, NominalSlope, nullptr, NominalZero, nullptr},
    // The temperature's in use, as the others' are stored: a result not saved into use is not one.
    {kSelTemperature, Temp_GetSlopeInUse, Temp_SetSlope, Temp_GetOffsetInUse, Temp_SetOffset},
    {kSelOptical, OpticalSlope, nullptr, OpticalZero, nullptr},
    {kSelPhCo2, PhSlope, SetPhSlope, PhZero, SetPhZero},
    {kSelCo2, Co2Slope, SetCo2Slope, Co2Zero, SetCo2Zero},
    {kSelNominal14, NominalSlope, nullptr, NominalZero, nullptr},
};

// The selector's entry; status 2 and null for a selector of no sensor kind.
static const SlopeAndZero* FindSelector(uint32_t selector, uint32_t* status) {
    for (const SlopeAndZero& entry : kSlopeAndZero) {
        if (entry.selector == selector) return &entry;
    }
    *status = kStatusOver;
    return nullptr;
}

// ---- Float parameters -------------------------------------------------------------------------------

// Updates the optical sensor's copy of the process pressure or salinity (when the current channel
// has the sensor) after the oxygen setting took it.
static void SetO2ProcPressure(uint32_t channel, float value, uint32_t* status) {
    CalO2_SetProcPressure(channel, value, status);
    uint32_t current = 0;
    if (OpticalOnCurrent(&current)) {
        SendToSensor(&g_SensorParams[current].p[kSensParamProcessPressure], value, kSensorMediumChange, kSensCmdS131);
    }
}

static void SetO2Salinity(uint32_t channel, float value, uint32_t* status) {
    CalO2_SetSalinity(channel, value, status);
    uint32_t current = 0;
    if (OpticalOnCurrent(&current)) {
        SendToSensor(&g_SensorParams[current].p[kSensParamSalinity], value, kSensorMediumChange, kSensCmdS131);
    }
}

// Float parameters that are a module's setting of the channel; a null setter: read-only.
struct FloatSetting {
    uint32_t number;
    float (*get)(uint32_t channel);
    void (*set)(uint32_t channel, float value, uint32_t* status);
};
static const FloatSetting kFloatSettings[] = {
    {kParamStcCoefficient, CalPh_GetStcCoefficient, CalPh_SetStcCoefficient},
    {kParamIsoPoint, CalPh_GetIsoPoint, CalPh_SetIsoPoint},
    {kParamCompCoefficient, CalCond_GetTempCompCoefficient, CalCond_SetTempCompCoefficient},
    {kParamManualTemperature, Temp_GetManualValue, Temp_SetManualValue},
    {kParamOutputGain, Aout_GetGainRatio, nullptr},
    {kParamOutputOffset, Aout_GetOffsetDelta, nullptr},
    {kParamO2CalPressure, CalO2_GetCalPressure, CalO2_SetCalPressure},
    {kParamO2ProcPressure, CalO2_GetProcPressure, SetO2ProcPressure},
    {kParamO2RelHumidity, CalO2_GetRelHumidity, CalO2_SetRelHumidity},
    {kParamO2Salinity, CalO2_GetSalinity, SetO2Salinity},
    {kParamStcRefTemp, CalPh_GetStcRefTemp, CalPh_SetStcRefTemp},
    {kParamCo2Pressure, CalPh_GetCo2Pressure, CalPh_SetCo2Pressure},
    {kParamCo2Salinity, CalPh_GetCo2Salinity, CalPh_SetCo2Salinity},
    {kParamCo2Bicarbonate, CalPh_GetCo2Bicarbonate, CalPh_SetCo2Bicarbonate},
};

static const FloatSetting* FindFloatSetting(uint32_t number) {
    for (const FloatSetting& entry : kFloatSettings) {
        if (entry.number == number) return &entry;
    }
    return nullptr;
}

float Param_GetFloat(uint32_t channel, uint32_t number, uint32_t selector, uint32_t* status) {
    *status = 0;
    float value = 0.0f;
    const SlopeAndZero* kind = nullptr;
    const FloatSetting* setting = nullptr;
    switch (number) {
        case kParamSlope:
        case kParamSlopeB:
            kind = FindSelector(selector, status);
            if (kind != nullptr) value = kind->getSlope(channel);
            break;
        case kParamZero:
        case kParamZeroB:
            kind = FindSelector(selector, status);
            if (kind != nullptr) value = kind->getZero(channel);
            break;
        case kParamSensorLimit:
            value = s_SensorLimit;
            break;
        case kParamInputRangeLow:
        case kParamInputRangeHigh:
            value = Meas_GetAnalogInputRange(number - kParamInputRangeLow);
            break;
        default:
            setting = FindFloatSetting(number);
            if (setting != nullptr) value = setting->get(channel);
            break;
    }
    // Pages show no minus zero, and nothing that is not a number.
    if (value == 0.0f || !IsFinite(value)) return 0.0f;
    return value;
}

void Param_SetFloat(uint32_t channel, uint32_t number, uint32_t selector, float value, uint32_t* status) {
    *status = 0;
    uint32_t current = 0;
    const SlopeAndZero* kind = nullptr;
    const FloatSetting* setting = nullptr;
    switch (number) {
        case kParamSlope:
        case kParamSlopeB:
            kind = FindSelector(selector, status);
            if (kind != nullptr && kind->setSlope != nullptr) kind->setSlope(channel, value, status);
            break;
        case kParamZero:
        case kParamZeroB:
            kind = FindSelector(selector, status);
            if (kind != nullptr && kind->setZero != nullptr) kind->setZero(channel, value, status);
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
            // A module's setting; the output ratios are read-only.
            setting = FindFloatSetting(number);
            if (setting != nullptr && setting->set != nullptr) setting->set(channel, value, status);
            break;
    }
}

// ---- Byte and word parameters -------------------------------------------------------------------------

// Byte parameters that are a module's setting of the channel.
static void SetMeasureFlag(uint32_t channel, uint8_t value, uint32_t*) { Chan_SetMeasureFlag(channel, value); }
static void SetDriftControl(uint32_t channel, uint8_t value, uint32_t*) { Cal_SetDriftControl(channel, value); }
struct ByteSetting {
    uint32_t number;
    uint8_t (*get)(uint32_t channel);
    void (*set)(uint32_t channel, uint8_t value, uint32_t* status);
};
static const ByteSetting kByteSettings[] = {
    {kParamMeasureFlag, Chan_GetMeasureFlag, SetMeasureFlag},
    {kParamCompMode, CalCond_GetTempCompMode, CalCond_SetTempCompMode},
    {kParamTempSource, Temp_GetSourceMode, Temp_SetSourceMode},
    {kParamFilterMode, Filter_GetMode, Filter_SetMode},
    {kParamBufferSet, CalPh_GetBufferSet, CalPh_SetBufferSet},
    {kParamStcMode, CalPh_GetStcMode, CalPh_SetStcMode},
    {kParamPressureSource, CalO2_GetPressureSource, CalO2_SetPressureSource},
    {kParamSlopeUnit, CalPh_GetSlopeUnitFlag, CalPh_SetSlopeUnitFlag},
    {kParamOffsetUnit, CalPh_GetOffsetUnitFlag, CalPh_SetOffsetUnitFlag},
    {kParamDriftControl, Cal_GetDriftControl, SetDriftControl},
};

static const ByteSetting* FindByteSetting(uint32_t number) {
    for (const ByteSetting& entry : kByteSettings) {
        if (entry.number == number) return &entry;
    }
    return nullptr;
}

uint32_t Param_GetInt(uint32_t channel, uint32_t number, uint32_t* status) {
    *status = 0;
    const ByteSetting* setting = nullptr;
    switch (number) {
        case kParamStabilityState:
            return Filter_GetStabilityState();
        case kParamStabilityTimeUp:
            return Filter_IsStabilityTimeUp();
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
            setting = FindByteSetting(number);
            return setting != nullptr ? setting->get(channel) : 0;
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
    const ByteSetting* setting = nullptr;
    switch (number) {
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
            // A module's setting; the stability state and time are read-only.
            setting = FindByteSetting(number);
            if (setting != nullptr) setting->set(channel, byte, status);
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
