// Temperature of channel A's resistance element (NTC 22 kilohm, Pt1000, Pt100): conversion,
// element choice, the manual temperature, and the element's user calibration.
#pragma once
#include <cstdint>

struct StoreMap;

extern const StoreMap g_TempStoreMap;
// Back to the state at power-on (tests run many starts in one process).
void Temp_ResetState();

// Source modes.
constexpr uint8_t kTempSourceAuto = 0;
constexpr uint8_t kTempSourceNtc = 1;
constexpr uint8_t kTempSourcePt1000 = 2;
constexpr uint8_t kTempSourcePt100 = 3;
constexpr uint8_t kTempSourceManual = 4;

// Element types.
constexpr uint8_t kElementNtc = 1;
constexpr uint8_t kElementPt1000 = 2;
constexpr uint8_t kElementPt100 = 3;

uint8_t Temp_GetSourceMode(uint32_t channel);
// Stores a changed mode and applies it to the element type.
void Temp_SetSourceMode(uint32_t channel, uint8_t mode, uint32_t* status);
float Temp_GetManualValue(uint32_t channel);
void Temp_SetManualValue(uint32_t channel, float value, uint32_t* status);
// The temperature in use of the calibration pages.
float Temp_GetCurrentValue();
void Temp_SetCurrentValue(float value);

void Temp_LoadSettings(uint32_t* status);
void Temp_SetDefaults(uint32_t* status);

// Degrees C from the element resistance r by the source mode; status in: the resistance's own.
float Temp_ComputeFromSensor(uint32_t channel, uint8_t mode, float r, uint32_t* status);
float Temp_FromNtc(uint32_t channel, float r, uint32_t* status);
// r on the Pt1000 scale (a Pt100 reading times 10), through the calibration slope and offset.
float Temp_FromRtd(uint32_t channel, float r, uint32_t* status);
// Resistance of a Pt1000 at t degrees C.
float Temp_RtdRatioFromTemp(float t);
void Temp_CheckManualRange(float t, uint32_t* status);

uint8_t Temp_GetElementType(uint32_t channel);
// Types 1 to 3 are taken; other values (the automatic and manual modes) leave the type.
void Temp_SetElementType(uint32_t channel, uint8_t type);

// Calibration: point 0 or 1 records the filtered element reading against a reference.
void Temp_RecordPoint(uint32_t channel, uint32_t point, float reference, uint32_t* status);
void Temp_CalcTwoPoint(uint32_t channel, uint32_t* status);
// Point 0 calibrates the slope, point 1 the offset (NTC: always the offset in degrees).
void Temp_CalcOnePoint(uint32_t channel, uint32_t point, uint32_t* status);
float Temp_GetPointValue(uint32_t channel, uint32_t point, uint32_t* status);
void Temp_StoreCal(uint32_t channel, uint32_t* status);
// The calibration result not yet stored (NTC: slope 1.0 and the offset in degrees).
float Temp_GetSlope(uint32_t channel);
float Temp_GetOffset(uint32_t channel);
float Temp_GetSlopeInUse(uint32_t channel);
float Temp_GetOffsetInUse(uint32_t channel);
void Temp_SetSlope(uint32_t channel, float value, uint32_t* status);
void Temp_SetOffset(uint32_t channel, float value, uint32_t* status);
void Temp_ResetChannelCal(uint32_t channel, uint32_t* status);
// Channel A only: channel B's stored calibration is left alone.
void Temp_ResetAllCal(uint32_t* status);
void Temp_LoadAll(uint32_t* status);
