// Conductivity cell calibration and temperature compensation.
#pragma once
#include <cstdint>

struct CalDataSetRecord;

// Resistivity in ohm x cm from the cell signal.
float CalCond_ApplyCalibration(uint32_t channel, float value, uint32_t* status);
// Refers a resistivity at the channel's temperature to the reference temperature.
float CalCond_Compensate(uint32_t channel, uint32_t mode, float coefficient, float value, uint32_t* status);
// Compensation mode and coefficient of measurement slot i.
uint8_t CalCond_GetTempCompMode(uint32_t i);
float CalCond_GetTempCompCoefficient(uint32_t i);
void CalCond_LoadSettings(uint32_t channel, uint32_t mode, uint32_t* status);
// A value divided by the oxygen sensor current's temperature polynomials.
float CalCond_DivideByPolyA(float value, float t, uint32_t* status);
float CalCond_DivideByPolyB(float value, float t, uint32_t* status);

// The reference-temperature mode and coefficient a calibration compensates with.
uint8_t CalCond_GetRefTempMode(uint32_t channel);
float CalCond_GetRefCoefficient(uint32_t channel);
// Calibration point i: the reference (a resistivity), the raw value of a process calibration,
// and the capture from the calibration filters.
float CalCond_GetPointValue(uint32_t channel, uint32_t i);
void CalCond_SetPointValue(uint32_t channel, uint32_t i, float reference, uint32_t* status);
float CalCond_GetRawPointValue(uint32_t channel, uint32_t i, uint32_t* status);
void CalCond_CaptureRawPoint(uint32_t channel, uint32_t i, float raw, uint32_t* status);
void CalCond_CapturePoint(uint32_t channel, uint32_t i, float reference, uint32_t* status);
// Cell calibration into the in-use record, and its store (any failure gives 111).
void CalCond_CalibrateOnePoint(uint32_t channel, uint32_t* status);
void CalCond_CalibrateTwoPoint(uint32_t channel, uint32_t* status);
void CalCond_StoreCal(uint32_t channel, uint32_t* status);
void CalCond_FillDataSet(uint32_t channel, CalDataSetRecord* record);
// Takes a sensor's data set into use; status 2 when it cannot.
void CalCond_ApplyDataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status);
