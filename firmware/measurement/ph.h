// pH and ORP electrodes: pH from the electrode voltage through slope, zero and isothermal point,
// the solution temperature compensation settings, the glass and reference impedance checks, the
// one- and two-point pH calibration, the one-point ORP calibration, the exchange with a digital
// sensor's calibration data set, and the per-channel settings with their places in the store.
#pragma once
#include <cstdint>

struct CalDataSetRecord;
struct StoreMap;

// The settings-store ranges of the pH and ORP settings.
extern const StoreMap g_PhStoreMap;

// The Nernst slope at 25 C, mV/pH.
constexpr float kNernstSlope = 59.16f;

// Status codes of the impedance checks and of a calibration not stored completely.
constexpr uint32_t kPhGlassLow = 71;
constexpr uint32_t kPhGlassHigh = 72;
constexpr uint32_t kPhReferenceLow = 81;
constexpr uint32_t kPhReferenceHigh = 82;
constexpr uint32_t kPhStcDefaulted = 110;
constexpr uint32_t kPhNotStored = 111;
// The ORP offset exceeds its limit.
constexpr uint32_t kPhOrpOffsetLimit = 1;

// Impedance references in ohm (glass, and reference electrode or pH/pNa second glass).
extern float g_GlassImpedanceRef[2];
extern float g_RefImpedanceRef[2];

// Empty records at their factory values; nothing read from the store.
void CalPh_ResetState();

// ---- Slope, zero and pH -------------------------------------------------------------------------
// Stored slope x 100; the setter refuses a zero (status 2) and writes both records and the store.
float CalPh_GetSlopePercent(uint32_t channel);
void CalPh_SetSlopePercent(uint32_t channel, float percent, uint32_t* status);
float CalPh_GetSlopeInUsePercent(uint32_t channel);
// Zero in mV: the electrode voltage at the isothermal point.
float CalPh_GetZeroValue(uint32_t channel);
void CalPh_SetZeroValue(uint32_t channel, float mv, uint32_t* status);
// Zero from the zero point in pH, with the stored slope.
void CalPh_SetZeroFromPh(uint32_t channel, float ph, uint32_t* status);
float CalPh_GetZeroPointPh(uint32_t channel);
float CalPh_GetZeroPointInUse(uint32_t channel);
// Slope fraction x 59.16, at least 1e-9 in magnitude.
float CalPh_SlopeMvPerPh(float fraction);
// mV/pH at t degrees C for a slope fraction.
float CalPh_SlopeAtTemperature(float fraction, float t);
float CalPh_MvToPh(float mv);
// pH from the electrode voltage at the temperature, through the stored calibration.
float CalPh_PhFromMv(uint32_t channel, float mv, float t, uint32_t* status);

// ---- Calibration points and the calibration -----------------------------------------------------
// pH of captured point i through the stored calibration, at point 0's temperature.
float CalPh_GetPointPh(uint32_t channel, uint32_t i, uint32_t* status);
// Captures point i from the calibration filters; unless mode is 2 the buffer is taken as well.
void CalPh_CapturePoint(uint32_t channel, uint32_t i, uint32_t mode, float buffer, uint32_t* status);
void CalPh_SetPointBuffer(uint32_t channel, uint32_t i, float buffer);
float CalPh_GetPointBuffer(uint32_t channel, uint32_t i);
// One- or two-point calibration into the in-use record; a failure leaves it at the stored values.
void CalPh_Calibrate(uint32_t channel, uint32_t points, uint32_t* status);
// Stores the in-use zero and slope and both point buffers; any failure gives 111.
void CalPh_StoreCal(uint32_t channel, uint32_t* status);

// ---- Electrode points, shared by the pH and the CO2 calibrations ----------------------------------
// Captures point i (0 or 1) from the calibration filters into a calibration's arrays; unless mode
// is 2 the buffer is taken as well. Status 2 for no such point; a filter's failure changes nothing.
void CalPh_CaptureElectrodePoint(float* pointMv, float* pointTemp, float* pointBuffer, uint32_t i, uint32_t mode,
                                 float buffer, uint32_t* status);
// The slope in mV/pH at 25 C (negative for a pH electrode) through the two points about the
// isothermal point; false when they lie too close in pH or in mV, or give no slope.
bool CalPh_TwoPointMvPerPh(const float* pointMv, const float* pointTemp, const float* pointBuffer, float isoPoint,
                           float* mvPerPh);
// A data set's points (buffers v60/v64, mV v4/v8, temperatures v48/v52) into a calibration's arrays.
// A sensor's sets hold their points as at 25 C (both temperatures 25.0), which is how a sensor
// calibrated before and a new sensor from the factory hold them too.
void CalPh_TakeDataSetPoints(const CalDataSetRecord* record, float* pointMv, float* pointTemp, float* pointBuffer);
// A sensor's data set always holds two points: for a one-point calibration (b82 0) the second is
// made up 2 pH from the first (v60, v4) on the isothermal point's side, along mvPerPh.
void CalPh_MakeUpSecondPoint(CalDataSetRecord* record, float mvPerPh, float isoPoint);
// A point's electrode voltage measured at t referred to 25 C: its distance from the zero in mV
// (the voltage at the isothermal point, which the temperature does not move) scales as the slope.
float CalPh_PointMvAt25(float mv, float zeroMv, float t);

// ---- ORP ------------------------------------------------------------------------------------------
float CalPh_GetOrpOffset(uint32_t channel);
float CalPh_GetOrpOffsetInUse(uint32_t channel);
void CalPh_SetOrpOffset(uint32_t channel, float mv, uint32_t* status);
// The ORP reading in volts: v plus the stored offset.
float CalPh_AddOrpOffset(uint32_t channel, float volts);
void CalPh_CaptureOrpPoint(uint32_t channel, float reference, uint32_t* status);
void CalPh_SetOrpReference(uint32_t channel, float mv, uint32_t* status);
float CalPh_GetOrpReference(uint32_t channel);
// The offset that brings the captured point onto the reference; status 1 beyond its limit.
void CalPh_CalibrateOrp(uint32_t channel, uint32_t* status);
void CalPh_StoreOrpCal(uint32_t channel, uint32_t* status);

// ---- Settings -------------------------------------------------------------------------------------
float CalPh_GetIsoPoint(uint32_t channel);
void CalPh_SetIsoPoint(uint32_t channel, float value, uint32_t* status);
// Solution temperature compensation: mode 0 applies it.
float CalPh_GetStcCoefficient(uint32_t channel);
void CalPh_SetStcCoefficient(uint32_t channel, float value, uint32_t* status);
float CalPh_GetStcRefTemp(uint32_t channel);
void CalPh_SetStcRefTemp(uint32_t channel, float value, uint32_t* status);
uint8_t CalPh_GetStcMode(uint32_t channel);
void CalPh_SetStcMode(uint32_t channel, uint8_t mode, uint32_t* status);
// The display unit flags: the readers read channel A's byte, the setters act for channel A only.
uint8_t CalPh_GetSlopeUnitFlag(uint32_t channel);
void CalPh_SetSlopeUnitFlag(uint32_t channel, uint8_t flag, uint32_t* status);
uint8_t CalPh_GetOffsetUnitFlag(uint32_t channel);
void CalPh_SetOffsetUnitFlag(uint32_t channel, uint8_t flag, uint32_t* status);
// Buffer set 0..10.
uint8_t CalPh_GetBufferSet(uint32_t channel);
void CalPh_SetBufferSet(uint32_t channel, uint8_t set, uint32_t* status);
void CalPh_ClearBufferSet10(uint32_t channel, uint32_t* status);
void CalPh_LimitBufferSetTo0Or8(uint32_t channel, uint32_t* status);
// The configured option (0..2) of the digital pH sensor.
uint8_t CalPh_GetSensorOption(uint32_t channel);
void CalPh_SetSensorOption(uint32_t channel, uint8_t option);

// ---- Impedances -----------------------------------------------------------------------------------
// Range, then the band of 0.3 to 3.0 times the channel's reference.
void CalPh_CheckGlassImpedance(uint32_t channel, float ohm, uint32_t* status);
void CalPh_CheckPnaImpedance(uint32_t channel, float ohm, uint32_t* status);
void CalPh_CheckRefElectrodeImpedance(uint32_t channel, float ohm, uint32_t* status);
// Reference setters: a value outside the valid range changes nothing.
void CalPh_SetGlassImpedanceRef(uint32_t channel, float ohm);
void CalPh_SetPnaImpedanceRef(uint32_t channel, float ohm);
void CalPh_SetRefImpedanceRef(uint32_t channel, float ohm);
void CalPh_LoadGlassImpedanceRef(uint32_t* status);
void CalPh_DefaultGlassImpedanceRef(uint32_t* status);
void CalPh_LoadRefImpedanceRef(uint32_t* status);
void CalPh_DefaultRefImpedanceRef(uint32_t* status);

// The entry bounds of a meter calibration point (the reference values 0 and 1).
void CalPh_SetLimitPair30To500();
void CalPh_SetLimitPair30To200();
void CalPh_SetLimitPairValue(uint32_t i, float value);

// ---- Calibration data sets ------------------------------------------------------------------------
// The in-use calibration into a sensor's data set: its points referred to 25 C, so that the set
// gives back the same slope and zero when it is applied.
void CalPh_FillDataSet(uint32_t channel, CalDataSetRecord* record);
// Takes a sensor's data set into use; a degenerate or non-finite set gives status 2 and leaves
// slope, zero and isothermal point as they were.
void CalPh_ApplyDataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status);
float CalPh_DataSetMvToPh(const CalDataSetRecord* record);
// Slope fraction and zero point in pH of a data set; 0.0 both when the set is degenerate.
void CalPh_CalibrateFromDataSet(const CalDataSetRecord* record, float* slope, float* zeroPoint);

// ---- Load and defaults ----------------------------------------------------------------------------
// Mode 1: the calibration of the channel (when its kind is set); any other mode: CalPh_LoadStc.
void CalPh_LoadChannel(uint32_t channel, uint32_t mode, uint32_t* status);
// Status 110 when a channel's settings were replaced by defaults.
void CalPh_LoadStc(uint32_t* status);
void CalPh_LoadUnitFlags(uint32_t* status);
void CalPh_LoadAll(uint32_t* status);
void CalPh_ResetToFactory(uint32_t mode, uint32_t* status);
void CalPh_ResetModes(uint32_t* status);
