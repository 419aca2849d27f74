// The sensor board's calibration store: thirteen calibration kinds of its measuring electronics,
// each with its calibration points, its computation, its values in the parameter file (a user
// copy and a factory copy) and its place in the normalised table the host reads back.
//   kinds 0-4  conductivity range k: cell factor, offset (range 0 also the temperature factor)
//   kind 5     three-point curve y = A + B / (x + C)
//   kind 6     voltage input line; kinds 7 and 8 the input lines of channels 0 and 1
//   kinds 9, 10 electrode and reference impedance, complex factors
//   kind 11    analog input line; kind 12 raw linear input
#pragma once
#include <cstdint>

constexpr uint32_t kSimCalKinds = 13;
constexpr uint32_t kSimCalCondRanges = 5;
constexpr uint32_t kSimCalTableBytes = 108;
// Status codes of the calibration kinds besides the parameter file's 10 to 12.
constexpr uint32_t kSimCalDefaulted = 30;
constexpr uint32_t kSimCalSaveFailedVoltage = 31;
constexpr uint32_t kSimCalSaveFailedThreePoint = 41;
constexpr uint32_t kSimCalSaveFailedCond = 51;
constexpr uint32_t kSimCalSaveFailedRawLinear = 92;
// Computation results: 0 done, 1 a point refused, 2 the points give no calibration.
constexpr uint32_t kSimCalErrorPoint = 1;
constexpr uint32_t kSimCalErrorDegenerate = 2;
// The parameter file's places of the temperature factor's factory copy, of the four-electrode
// zero sum and of the mark that the sum is valid.
constexpr uint32_t kSimCalTempFactorFactory = 640;
constexpr uint32_t kSimCalZeroSumOffset = 632;
constexpr uint32_t kSimCalZeroMarkOffset = 636;
constexpr uint16_t kSimCalZeroMark = 14025;

// Every kind at its defaults in memory, no points, no zero correction (nothing written).
void SimCal_Reset();

// ---- Requests --------------------------------------------------------------------------------
// Request 0x01: point p of kind k gets value x; the last point computes the kind. 1 accepted.
uint32_t SimCal_SetPoint(uint8_t point, uint8_t kind, float value);
// Computes a kind from its points; 1 done (the new values wait for a save), 0 refused.
uint32_t SimCal_Compute(uint8_t kind);
// Request 0x02: makes the new values active and writes them; mode 1 also the factory copy.
// 1 saved; 0 failed, with the kind's status code in the out-parameter.
uint32_t SimCal_Save(uint8_t kind, uint8_t mode, uint32_t* status);
// Request 0x0D: every kind from its factory copy, written to the user copy and taken into use.
// A kind without a valid factory copy (a board never factory-saved) takes its defaults instead,
// and the status is 30; else 0.
void SimCal_RestoreAllFactory(uint32_t* status);
// Request 0x0E and a missing marker: every kind's defaults written and taken, then "A9".
void SimCal_WriteAllDefaults();
// Every kind from the parameter file, in the start-up order 7 and 8, 6, 5, 0 to 4, 10, 9, 11, 12.
void SimCal_LoadAll();
// Start-up: writes every default when the parameter file lacks its marker "A9".
void SimCal_CheckMarker(uint32_t* status);
// Request 0x0C: the 27 values relative to their defaults, big-endian floats; returns 1.
uint32_t SimCal_ReadTable(uint8_t* payload);
// The active value i of a kind (tests and the measurement state).
float SimCal_GetValue(uint8_t kind, uint32_t index);
// The active temperature factor of range 0.
float SimCal_GetTempFactor();

// ---- The families by kind ----------------------------------------------------------------------
// Loaders return the parameter file's status (30 for kinds 6 and 11 when they fell back to their
// defaults); savers 1 or 0 with the status; computations 0, 1 or 2.
uint32_t SimCal_LoadCondRange(uint32_t range);
void SimCal_DefaultCondRange(uint32_t range);
uint32_t SimCal_PointCondRange(uint32_t range, uint32_t point, float value);
uint32_t SimCal_ComputeCondRange(uint32_t range);
uint32_t SimCal_SaveCondRange(uint32_t range, uint32_t* status);
uint32_t SimCal_SaveCondRangeFactory(uint32_t range, uint32_t* status);
uint32_t SimCal_RestoreCondRange(uint32_t range);
// Adds range 4's zero correction to the zero sum (a factory save while the flag is set).
void SimCal_AccumulateCondZero();

uint32_t SimCal_LoadThreePoint();
void SimCal_DefaultThreePoint();
uint32_t SimCal_ComputeThreePoint();
uint32_t SimCal_SaveThreePoint(uint32_t* status);
uint32_t SimCal_SaveThreePointFactory(uint32_t* status);
uint32_t SimCal_RestoreThreePoint();

uint32_t SimCal_LoadVoltage();
void SimCal_DefaultVoltage();
uint32_t SimCal_PointVoltage(uint32_t point, float value);
uint32_t SimCal_ComputeVoltage();
uint32_t SimCal_SaveVoltage(uint32_t* status);
uint32_t SimCal_SaveVoltageFactory(uint32_t* status);
uint32_t SimCal_RestoreVoltage();

uint32_t SimCal_LoadChannelLinear(uint32_t channel);
void SimCal_DefaultChannelLinear(uint32_t channel);
uint32_t SimCal_PointChannelLinear(uint32_t channel, uint32_t point, float value);
uint32_t SimCal_ComputeChannelLinear(uint32_t channel);
uint32_t SimCal_SaveChannelLinear(uint32_t channel, uint32_t* status);
uint32_t SimCal_SaveChannelLinearFactory(uint32_t channel, uint32_t* status);
uint32_t SimCal_RestoreChannelLinear(uint32_t channel);

uint32_t SimCal_LoadImpedance();
void SimCal_DefaultImpedance();
uint32_t SimCal_ComputeImpedance();
uint32_t SimCal_SaveImpedance(uint32_t* status);
uint32_t SimCal_SaveImpedanceFactory(uint32_t* status);
uint32_t SimCal_RestoreImpedance();

uint32_t SimCal_LoadRefImpedance();
void SimCal_DefaultRefImpedance();
uint32_t SimCal_ComputeRefImpedance();
uint32_t SimCal_SaveRefImpedance(uint32_t* status);
uint32_t SimCal_SaveRefImpedanceFactory(uint32_t* status);
uint32_t SimCal_RestoreRefImpedance();

uint32_t SimCal_LoadAnalogIn();
void SimCal_DefaultAnalogIn();
uint32_t SimCal_PointAnalogIn(uint32_t point, float value);
uint32_t SimCal_ComputeAnalogIn();
uint32_t SimCal_SaveAnalogIn(uint32_t* status);
uint32_t SimCal_SaveAnalogInFactory(uint32_t* status);
uint32_t SimCal_RestoreAnalogIn();

uint32_t SimCal_LoadRawLinear();
void SimCal_DefaultRawLinear();
uint32_t SimCal_PointRawLinear(uint32_t point, float value);
uint32_t SimCal_ComputeRawLinear();
uint32_t SimCal_SaveRawLinear(uint32_t* status);
uint32_t SimCal_SaveRawLinearFactory(uint32_t* status);
uint32_t SimCal_RestoreRawLinear();
