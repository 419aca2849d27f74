// Channel and sensor-kind services.
#pragma once
#include <cstdint>

// Set when the digital sensor's parameters are to be saved to it.
extern uint8_t g_SensorParamSavePending;

// State of the digital sensor's save over the link: 0 done, 1 failed, other values waiting.
uint32_t Chan_GetLinkState();
// The channel the menus show and edit.
uint8_t Chan_GetCurrentChannel();
// The optical sensor's calibration mode (byte 74 of its parameter record): 3 the calibration step.
uint8_t Chan_GetBRecordByte74();
