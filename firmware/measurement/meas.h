// Measured values: measurement ids, the per-channel measurement record and its readers, and the
// value of each unit family. The slots that the display lines show are in slots.h.
#pragma once
#include <cstdint>

// Status beside every value; other non-zero values are failure codes of the calibrations.
constexpr uint32_t kStatusValid = 0;
constexpr uint32_t kStatusOver = 2;  // over range, or no valid value
constexpr uint32_t kStatusUnder = 3;
constexpr uint32_t kStatusInvalid = 5;  // invalid raw reading, or check not applicable

// A channel index of 2 or more (255 in particular) names no channel.
constexpr uint8_t kChannelNone = 255;

// Measurement id: 0x100000 + channel x 0x1000 + quantity, and three ids of no channel.
constexpr uint32_t kMeasIdBase = 0x100000;
constexpr uint32_t kMeasIdOutput1 = 0x1ff020;
constexpr uint32_t kMeasIdOutput2 = 0x1ff021;
constexpr uint32_t kMeasIdAnalogInput = 0x1ff022;
// Quantities (the low 12 bits of an id).
constexpr uint32_t kQuantityPh = 0;
constexpr uint32_t kQuantityTemperature = 1;
constexpr uint32_t kQuantityConductivity = 2;
constexpr uint32_t kQuantityResistivity = 3;
constexpr uint32_t kQuantityOxygen = 4;
constexpr uint32_t kQuantityMv = 7;
constexpr uint32_t kQuantityOrp = 10;
constexpr uint32_t kQuantityOptical = 11;  // channel B's optical oxygen sensor
constexpr uint32_t kQuantityCo2 = 12;
constexpr uint32_t kQuantityMvB = 15;
// Meter calibration: resistances 1 to 5, the temperature input, voltage, currents 1 and 2, the
// glass and reference impedance inputs, and the oxygen input.
constexpr uint32_t kQuantityMeterR1 = 16;
constexpr uint32_t kQuantityMeterR5 = 20;
constexpr uint32_t kQuantityMeterTemperature = 21;
constexpr uint32_t kQuantityMeterVoltage = 22;
constexpr uint32_t kQuantityMeterCurrent1 = 23;
constexpr uint32_t kQuantityMeterCurrent2 = 24;
constexpr uint32_t kQuantityGlass = 25;
constexpr uint32_t kQuantityReference = 26;
constexpr uint32_t kQuantityMeterOxygen = 28;

// Measuring kinds (and the sensor-kind codes built on them).
constexpr uint16_t kKindPh = 1;
constexpr uint16_t kKindPhPna = 2;
constexpr uint16_t kKindCond2 = 3;
constexpr uint16_t kKindCond4 = 4;
constexpr uint16_t kKindO2High = 5;
constexpr uint16_t kKindO2Low = 6;
constexpr uint16_t kKindO2Trace = 7;
constexpr uint16_t kKindO2Gauge = 8;  // shown as "ppmO2 G"
constexpr uint16_t kKindO2Optical = 9;
constexpr uint16_t kKindCo2 = 10;
constexpr uint16_t kKindNoSensor = 15;  // a digital sensor that cannot be used
constexpr uint16_t kKindNone = 255;

// Twenty 32-bit fields per channel. Fields 1 to 9 mean the same for every kind; fields 10 to 20
// hold a float or a word by the measuring kind, so they are kept as raw words and read and
// written only through Meas_GetFieldFloat / Meas_GetFieldWord and their setters.
struct MeasurementRecord {
    float temperature;                 // 1, degrees C
    uint32_t temperatureStatus;        // 2, after the range check by measuring kind
    uint32_t temperatureSourceStatus;  // 3, of the conversion from the element (channel A)
    float elementResistance;           // 4, ohm
    uint32_t elementStatus;            // 5
    float analogInput;                 // 6, mA
    float analogInputScaled;           // 7, on the analog input's configured range
    uint32_t reserved;                 // 8
    float primary;                     // 9, the channel's primary signal
    uint32_t kindFields[11];           // 10 to 20
};
static_assert(sizeof(MeasurementRecord) == 80, "the record is twenty 32-bit fields");

// Numbers of the kind-dependent fields, by layout.
constexpr uint32_t kFieldFirstByKind = 10;
constexpr uint32_t kFieldLastByKind = 20;
// pH / ORP
constexpr uint32_t kPhFieldOrpVolts = 10;   // copy of the electrode voltage the ORP reading takes
constexpr uint32_t kPhFieldGlass = 11;      // ohm
constexpr uint32_t kPhFieldReference = 12;  // ohm
constexpr uint32_t kPhFieldPrimaryStatus = 13;
constexpr uint32_t kPhFieldGlassStatus = 15;
constexpr uint32_t kPhFieldReferenceStatus = 16;
constexpr uint32_t kPhFieldPnaGlass = 17;  // ohm
constexpr uint32_t kPhFieldPnaGlassStatus = 18;
constexpr uint32_t kPhFieldMv = 19;  // channel B: electrode voltage in mV
constexpr uint32_t kPhFieldMvStatus = 20;
// conductivity
constexpr uint32_t kCondFieldPrimaryStatus = 10;
constexpr uint32_t kCondFieldRangeByte = 11;  // channel B
// amperometric oxygen
constexpr uint32_t kO2FieldSensorWord1 = 10;  // channel B
constexpr uint32_t kO2FieldSensorWord2 = 11;  // channel B
constexpr uint32_t kO2FieldPrimaryStatus = 12;
constexpr uint32_t kO2FieldAlarmStatus = 13;  // channel B

extern MeasurementRecord g_Measurement[2];
extern uint16_t g_MeasuringKind[2];
// The records and measuring kinds back to power-on.
void Meas_ResetState();

// Kind-dependent fields (10..20) of a channel's record; other fields and channels read 0.
float Meas_GetFieldFloat(uint32_t channel, uint32_t field);
uint32_t Meas_GetFieldWord(uint32_t channel, uint32_t field);
void Meas_SetFieldFloat(uint32_t channel, uint32_t field, float value);
void Meas_SetFieldWord(uint32_t channel, uint32_t field, uint32_t word);

// ---- Ids ------------------------------------------------------------------------------------
// The id without its channel; the three channel-less ids come back unchanged.
uint32_t Meas_GetBaseId(uint32_t id);
// The id's channel field; 0 for the outputs, the active link channel for the analog input.
uint32_t Meas_GetIdChannel(uint32_t id);
// The quantity of an id (its low 12 bits).
uint32_t Meas_GetIdQuantity(uint32_t id);

// ---- Record readers (value and its status; a channel of 2 or more reads 0.0 with status 2) ----
float Meas_GetTemperature(uint32_t channel, uint32_t* status);
float Meas_GetTemperatureRaw(uint32_t channel, uint32_t* status);
float Meas_GetTemperatureForCal(uint32_t channel, uint32_t* status);
// Celsius, or Fahrenheit for unit 12.
float Meas_GetTemperatureInUnit(uint32_t channel, uint32_t unit, uint32_t* status);
float Meas_GetPrimaryValue(uint32_t channel, uint32_t* status);
float Meas_GetPrimaryValueB(uint32_t channel, uint32_t* status);
float Meas_GetSensorCurrent(uint32_t channel, uint32_t* status);
float Meas_GetGlassImpedance(uint32_t channel, uint32_t* status);
float Meas_GetRefImpedance(uint32_t channel, uint32_t* status);
float Meas_GetInputMappedValue(uint32_t channel, uint32_t* status);
// The analog input current of the active link channel (the argument is not used); 0.0 with
// status 2 while no channel is active.
float Meas_GetAnalogInput(uint32_t unused, uint32_t* status);
// Field 9 + i (i 0..7) as a float, a negative value as 0.0.
float Meas_GetRecordValueNonNeg(uint32_t channel, uint32_t i);

// ---- Value families ---------------------------------------------------------------------------
float Meas_GetCondByUnit(uint32_t channel, uint32_t unit, uint32_t mode, float coefficient, uint32_t* status);
// The resistivity from the cell calibration, compensated to the reference temperature.
float Meas_GetCondCompensated(uint32_t channel, uint32_t mode, float coefficient, uint32_t* status);
// Its reciprocal: the compensated conductivity in S/cm.
float Meas_GetCondCompensatedAlt(uint32_t channel, uint32_t mode, float coefficient, uint32_t* status);
float Meas_GetUnitValue13to18(uint32_t channel, uint32_t unit, uint32_t* status);
float Meas_GetPh(uint32_t channel, uint32_t* status);
// Electrode voltage in mV, clamped to +-1500 mV.
float Meas_GetMv(uint32_t channel, uint32_t* status);
float Meas_GetCo2ByUnit(uint32_t channel, uint32_t unit, uint32_t* status);
// The same for an electrode voltage (mV) and temperature given, such as a calibration point's.
float Meas_GetCo2FromMv(uint32_t channel, uint32_t unit, float mv, float t, uint32_t* status);
float Meas_GetO2ByUnit(uint32_t channel, uint32_t unit, uint32_t* status);
// The pressure oxygen values are computed at (mbar): the analog input's when its mode supplies the
// pressure, else the process pressure.
float Meas_GetO2ProcessPressure(uint32_t channel);
// Sensor current referred to 25 C, x 1000 and negated.
float Meas_GetO2Base(uint32_t channel, uint32_t* status);

float Meas_ClampMv(float value, uint32_t* status);
float Meas_ClampPlusMinus1p5(float value, uint32_t* status);
void Meas_ClampPh(float value, uint32_t* status);
// Exchanges 2 and 3, for a value that is inverted.
uint32_t Meas_SwapRangeStatus(uint32_t status);
// Impedance referred to 25 C: exponential (glass) and linear (reference electrode).
float Meas_ScaleExp25(float value, float t);
float Meas_ScaleLin25(float value, float t);
// Status of the element resistance as the conductivity reads it: 3 with the flag, else 2.
void Meas_CheckRawTemperature(uint32_t channel, uint32_t flag, uint32_t* status);
// Range of the temperature by the channel's measuring kind: 3 below, 2 above, else 0.
void Meas_CheckTemperatureRange(uint32_t channel, float t, uint32_t* status);
// Maps the active link channel's analog input current onto the input range, into the channel.
void Meas_UpdateInputPressure(uint32_t channel);
