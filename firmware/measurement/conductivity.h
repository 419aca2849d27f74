// Conductivity: the cell calibration (cell constant and zero offset, one and two points), the
// temperature compensation settings of the four measurement slots and of a calibration, and the
// exchange with a digital conductivity sensor's data set. Values are resistivities in ohm x cm;
// the compensation itself is in cond_comp.h.
#pragma once
#include <cstdint>

struct CalDataSetRecord;
struct StoreMap;

// The settings-store ranges of the conductivity settings.
extern const StoreMap g_CondStoreMap;

// Status of a load that replaced the stored calibration by its defaults.
constexpr uint32_t kCondDefaulted = 120;
// Compensation slots, one per measurement slot.
constexpr uint32_t kCondCompSlots = 4;

// The compensation settings at their factory values; nothing read from the store.
void CalCond_ResetState();

// ---- Cell calibration -----------------------------------------------------------------------------
// The setters write the stored and the in-use value and the store; a cell constant of zero is
// refused with status 2.
float CalCond_GetCellConstant(uint32_t channel);
void CalCond_SetCellConstant(uint32_t channel, float value, uint32_t* status);
float CalCond_GetZeroOffset(uint32_t channel);
void CalCond_SetZeroOffset(uint32_t channel, float value, uint32_t* status);
// Resistivity from the cell signal: value / cell constant + zero offset (status 2 for a cell
// constant below 1e-29; a result below 1e-29 reads 0.0).
float CalCond_ApplyCalibration(uint32_t channel, float value, uint32_t* status);
// Refers a resistivity measured at the channel's temperature to the reference temperature of the
// compensation mode.
float CalCond_Compensate(uint32_t channel, uint32_t mode, float coefficient, float value, uint32_t* status);

// ---- Calibration points -----------------------------------------------------------------------------
// Takes point i: its temperature and measured value from the calibration filters, the reference
// resistivity (at the reference temperature) and its value referred to the point's temperature.
void CalCond_CapturePoint(uint32_t channel, uint32_t i, float reference, uint32_t* status);
// Refers an entered reference to the temperature point i was captured at and keeps it as the
// point's reference.
void CalCond_CompensatePoint(uint32_t channel, uint32_t i, float value, uint32_t* status);
// The raw value of a process calibration point, with the point's temperature and measured value.
void CalCond_CaptureRawPoint(uint32_t channel, uint32_t i, float raw, uint32_t* status);
float CalCond_GetRawPointValue(uint32_t channel, uint32_t i, uint32_t* status);
// Reference resistivity of point i; the setter stores it.
float CalCond_GetPointValue(uint32_t channel, uint32_t i);
void CalCond_SetPointValue(uint32_t channel, uint32_t i, float reference, uint32_t* status);
// Cell calibration into the in-use record; status 2 when degenerate or (channel B) out of limits.
void CalCond_CalibrateOnePoint(uint32_t channel, uint32_t* status);
void CalCond_CalibrateTwoPoint(uint32_t channel, uint32_t* status);
// Channel B writes its calibration into the sensor: 0 < cell constant <= 167.77215,
// |zero offset| <= 83, else status 2. Channel A has no limits.
void CalCond_CheckCellConstant(uint32_t channel, uint32_t* status);
void CalCond_CheckZeroOffset(uint32_t channel, uint32_t* status);
// Stores cell constant, zero offset and both point references; any failure gives 111.
void CalCond_StoreCal(uint32_t channel, uint32_t* status);
void CalCond_FillDataSet(uint32_t channel, CalDataSetRecord* record);
void CalCond_ApplyDataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status);

// ---- Compensation settings --------------------------------------------------------------------------
// Mode (0..11) and coefficient (per degree C) of compensation slot i (0..3); the setters store.
uint8_t CalCond_GetTempCompMode(uint32_t i);
void CalCond_SetTempCompMode(uint32_t i, uint8_t mode, uint32_t* status);
float CalCond_GetTempCompCoefficient(uint32_t i);
void CalCond_SetTempCompCoefficient(uint32_t i, float coefficient, uint32_t* status);
// The one pair a calibration compensates with (memory only; every channel shares it).
uint8_t CalCond_GetRefTempMode(uint32_t channel);
void CalCond_SetRefTempMode(uint32_t channel, uint8_t mode);
float CalCond_GetRefCoefficient(uint32_t channel);
void CalCond_SetRefCoefficient(uint32_t channel, float coefficient);
// The same, as the pages reach them.
uint8_t CalCond_GetTempCompModeFwd(uint32_t i);
float CalCond_GetRefCoefficientFwd(uint32_t channel);
void CalCond_SetRefCoefficientFwd(uint32_t channel, float coefficient);

// ---- Load and defaults ------------------------------------------------------------------------------
// The four slots at mode 0 and 0.02 (stored) and the calibration pair likewise.
void CalCond_DefaultTempComp(uint32_t* status);
// Factory calibration of both channels, stored, then CalCond_DefaultTempComp.
void CalCond_SetDefaults(uint32_t* status);
// Mode 1: the channel's calibration (status 120 when defaulted); any other mode: the cell
// calibration of both channels and the compensation settings (at start-up).
void CalCond_LoadSettings(uint32_t channel, uint32_t mode, uint32_t* status);
