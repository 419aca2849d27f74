// Plug-and-measure of the digital sensor on channel B, sensor identity from its memory image,
// and the sensor and communication messages.
#pragma once
#include <cstdint>

// Set per channel when a sensor has been read and waits to be taken over.
extern uint8_t g_SensorPlugged[2];

void Vdx_InitPlugMachine();
void Vdx_ReportAutoclaveSave();
void Vdx_RaiseWrongSensor(uint32_t channel);
void Vdx_ClearWrongSensor(uint32_t channel);
// Raises (1) or clears (0) channel B's "Disconnected" state.
void Vdx_UpdateDisconnectedB(uint32_t on);
// Loads the configured kinds, the selected channel and the measurement lines.
void Vdx_LoadChannelConfig(uint32_t* status);
// Layout and requested kind of the sensor in the staging image.
void Vdx_DecodeSensorFamily(uint32_t channel);
// Whether the sensor offers the page-16 option (stored and returned).
uint32_t Vdx_CheckSensorOption(uint32_t channel);
// Message 100 "Communication Error" with its alarm, and its end.
void Vdx_RaiseCommError();
void Vdx_ClearCommError();
