// Amperometric oxygen calibration: slope and zero current per channel, stored by measuring kind;
// the medium and air parameters; the conversion of the temperature-corrected sensor current (the
// base value) into oxygen values by unit; the slope and zero calibrations for six kinds of
// calibration point with the limits of channel B; the data-set exchange with a digital oxygen
// sensor. The chemistry that needs no calibration data is in o2_chem.h.
#pragma once
#include <cstdint>

struct CalDataSetRecord;
struct StoreMap;

// The settings-store ranges of the oxygen settings.
extern const StoreMap g_O2StoreMap;

// Status of a load that replaced the stored calibration by its defaults, and of a point kind
// outside the six.
constexpr uint32_t kO2Defaulted = 130;
constexpr uint32_t kO2PointKindUnknown = 132;

// Kinds of calibration point and the unit of their reference: percent of air saturation, percent
// of saturation with pure oxygen, ug/L and mg/L, percent and ppm of the gas.
constexpr uint8_t kO2PointAirPercent = 11;
constexpr uint8_t kO2PointMicrogram = 12;
constexpr uint8_t kO2PointMilligram = 13;
constexpr uint8_t kO2PointOxygenPercent = 100;
constexpr uint8_t kO2PointGasPercent = 101;
constexpr uint8_t kO2PointGasPpm = 102;

// The kind-8 limit set of a channel: an enable flag and six limits. L0 and L1 bound the slope
// (nA), L2 and L3 the zero (thousandths of nA), L4 and L5 the kind-8 signal. A kind-8 sensor's
// image can supply it.
constexpr uint32_t kO2Kind8Limits = 6;
struct O2LimitSet {
    uint32_t enabled;
    float limit[kO2Kind8Limits];
};
extern O2LimitSet g_O2Kind8Limits[2];
// Limit i (0..5) of the channel's kind-8 limit set.
float CalO2_GetKind8Limit(uint32_t channel, uint32_t i);

// The kind-8 limit sets at their load values.
void CalO2_ResetState();

// ---- Medium and air -------------------------------------------------------------------------------
// Salinity, relative humidity (a fraction), calibration and process pressure (mbar); the setters
// set the status 0 and write RAM and the store, the RAM variants RAM only.
float CalO2_GetSalinity(uint32_t channel);
void CalO2_SetSalinity(uint32_t channel, float value, uint32_t* status);
float CalO2_GetRelHumidity(uint32_t channel);
void CalO2_SetRelHumidity(uint32_t channel, float value, uint32_t* status);
void CalO2_SetRelHumidityRam(uint32_t channel, float value);
float CalO2_GetCalPressure(uint32_t channel);
void CalO2_SetCalPressure(uint32_t channel, float value, uint32_t* status);
void CalO2_SetCalPressureRam(uint32_t channel, float value);
float CalO2_GetProcPressure(uint32_t channel);
void CalO2_SetProcPressure(uint32_t channel, float value, uint32_t* status);
// Pressure source: 0 the edited pressure, 1 the analog input. Channel B's byte serves every
// channel.
uint8_t CalO2_GetPressureSource(uint32_t channel);
void CalO2_SetPressureSource(uint32_t channel, uint8_t source, uint32_t* status);
void CalO2_SetPressureSourceRam(uint32_t channel, uint8_t source);
// The pressure a calibration uses (mbar): the calibration pressure, or in a process calibration
// with pressure source 1 the process pressure.
float CalO2_GetPressureForCal(uint32_t channel);

// ---- Slope and zero ---------------------------------------------------------------------------------
// Slope: refuses zero (status 2); writes the in-use and the stored slope and, except on channel B,
// the store by kind. From and to the slope at air (the current at air, uA).
void CalO2_SetSlope(uint32_t channel, float value, uint32_t* status);
void CalO2_SetSlopeInUseRam(uint32_t channel, float value);
void CalO2_SetSlopeFromAir(uint32_t channel, float value);
float CalO2_GetSlopeAtAir(uint32_t channel);
float CalO2_GetSlopeInUseAtAir(uint32_t channel);
// Zero current as shown (the stored zero is 1000 times it).
void CalO2_SetZero(uint32_t channel, float value);
float CalO2_GetZeroMicro(uint32_t channel);
float CalO2_GetZeroInUseMicro(uint32_t channel);

// ---- Values by unit from the base value ---------------------------------------------------------------
// Percent of saturation (unit 19, or 20 / point kind 100 with pure oxygen) at pressure P (mbar).
float CalO2_ToSaturation(uint32_t channel, uint32_t unit, float base, float pressure, uint32_t* status);
float CalO2_ToSaturationForCal(uint32_t channel, uint32_t unit, uint32_t i, float pressure, uint32_t* status);
// Parts per million (unit 21) and percent (unit 22) of the gas.
float CalO2_ToUnit21(uint32_t channel, float base, float pressure, uint32_t* status);
float CalO2_ToUnit22(uint32_t channel, float base, float pressure, uint32_t* status);
float CalO2_ToUnitForCal(uint32_t channel, uint32_t i, float pressure, uint32_t* status);
// Concentration in mg/L.
float CalO2_ToConcentration(uint32_t channel, float base, uint32_t* status);
float CalO2_GetValueForCal(uint32_t channel, uint32_t i, uint32_t* status);

// ---- Calibration ------------------------------------------------------------------------------------
// Points: 0 the slope point, 1 the zero point.
void CalO2_SetPointKind(uint32_t channel, uint32_t i, uint8_t kind);
void CalO2_SetPointCurrent(uint32_t channel, uint32_t i, float current);
float CalO2_GetPointCurrent(uint32_t channel, uint32_t i);
// The reference of point i in the unit of its kind: in a process calibration the lab's value,
// entered after the point's current was captured.
void CalO2_SetPointReference(uint32_t channel, uint32_t i, float reference);
// The point a calibration step of the page's selector (0 slope, 1 zero) takes: the slope point
// for a slope calibration's first point, else the zero point.
uint32_t CalO2_PointOfStep(uint32_t point, uint32_t selector);
// The kind of point i's reference, and that reference in the unit of the kind given: the point's
// own when it was taken in that kind, else the point's default: no oxygen for the zero point, air
// for the slope point (100 %air, or what air is in the kind's unit at the calibration's pressure
// and humidity and the channel's temperature).
uint8_t CalO2_GetPointKind(uint32_t channel, uint32_t i);
float CalO2_GetPointReference(uint32_t channel, uint32_t i, uint8_t kind);
// Captures point i from the calibration filters; unless mode is 2 (process) the reference too.
void CalO2_CapturePoint(uint32_t channel, uint32_t i, uint32_t mode, float reference, uint32_t* status);
// The reference of point i as a fraction (or, kind 13, against the saturation table).
float CalO2_ScalePointByKind(uint32_t channel, uint32_t i, uint32_t* status);
// Slope (point 0) or zero (point 1) calibration into the in-use record.
void CalO2_Calibrate(uint32_t channel, uint32_t point, uint32_t mode, uint32_t* status);
// Channel B's limits: the slope at air, and the zero (|zero| <= 8190 thousandths).
void CalO2_CheckSlopeAtAir(uint32_t channel, uint32_t* status);
void CalO2_CheckZeroLimit(uint32_t channel, uint32_t* status);
// In-use slope and zero become the stored ones (the store by kind except on channel B); the point
// references and point 0's kind are stored.
void CalO2_StoreCal(uint32_t channel, uint32_t* status);
void CalO2_FillDataSet(uint32_t channel, CalDataSetRecord* record);
void CalO2_ApplyDataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status);

// ---- Load and defaults ------------------------------------------------------------------------------
// Mode 1: the channel's calibration for its measuring kind (status 130 when defaulted); any other
// mode: the medium of both channels and the analog input (at start-up).
void CalO2_LoadAll(uint32_t channel, uint32_t mode, uint32_t* status);
// Reads the channel's medium and the pressure source back from the store.
void CalO2_ReloadChannel(uint32_t channel);
void CalO2_ResetToFactory(uint32_t mode, uint32_t* status);
