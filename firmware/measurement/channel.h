// Channel and sensor-kind services.
#pragma once
#include <cstdint>

// Sensor kind the board reports (requested) and the kind measured with, per channel; the
// measuring kinds, 15 for a digital sensor that cannot be used and 255 for none.
extern uint32_t g_SensorKindDetected[2];
extern uint32_t g_SensorKindActive[2];
// Reply layout of channel B's measurements.
constexpr uint32_t kLayoutPh = 0;
constexpr uint32_t kLayoutOxygen = 1;
constexpr uint32_t kLayoutCond = 2;
constexpr uint32_t kLayoutProtocol = 4;
constexpr uint32_t kLayoutNone = 5;
extern uint32_t g_SensorMemLayout[2];
// Set when the digital sensor's parameters are to be saved to it.
extern uint8_t g_SensorParamSavePending;

// State of the digital sensor's save over the link: 0 done, 1 failed, other values waiting.
uint32_t Chan_GetLinkState();
// The channel the menus show and edit.
uint8_t Chan_GetCurrentChannel();
uint16_t Chan_GetMeasuringKind(uint32_t channel);
// The kind the board reports; 15 and above take the channel out of measuring.
void Chan_SetKind(uint32_t channel, uint32_t kind);
// Sets the reported and the active kind together.
void Chan_ForceKind(uint32_t channel, uint32_t kind);
uint32_t Chan_IsProtocolSensorPresent(uint32_t channel);
// 0 selects the uncompensated value paths while a calibration point is entered by hand.
void Chan_SetMeasureFlag(uint32_t channel, uint8_t flag);
uint8_t Chan_GetMeasureFlag(uint32_t channel);
// The optical sensor's calibration mode (byte 74 of its parameter record): 3 the calibration step.
uint8_t Chan_GetBRecordByte74();
