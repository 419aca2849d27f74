// Plug-and-measure of the digital sensor on channel B, sensor identity from its memory image,
// and the sensor and communication messages.
#pragma once
#include <cstdint>

// Set per channel when a sensor has been read and waits to be taken over.
extern uint8_t g_SensorPlugged[2];

void Vdx_InitPlugMachine();
void Vdx_ReportAutoclaveSave();
// Layout and requested kind of the sensor in the staging image.
void Vdx_DecodeSensorFamily(uint32_t channel);
// Whether the sensor offers the page-16 option (stored and returned).
uint32_t Vdx_CheckSensorOption(uint32_t channel);
// Message 100 "Communication Error" with its alarm, and its end.
void Vdx_RaiseCommError();
void Vdx_ClearCommError();
// Channel B's "Disconnected" message on (1) or off (0).
void Vdx_UpdateDisconnectedB(uint32_t on);
