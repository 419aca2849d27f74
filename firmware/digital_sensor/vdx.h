// Plug-and-measure of the digital sensor on channel B.
#pragma once
#include <cstdint>

void Vdx_InitPlugMachine();
void Vdx_ReportAutoclaveSave();
void Vdx_RaiseWrongSensor(uint32_t channel);
void Vdx_ClearWrongSensor(uint32_t channel);
// Raises (1) or clears (0) channel B's "Disconnected" state.
void Vdx_UpdateDisconnectedB(uint32_t on);
// Loads the configured kinds, the selected channel and the measurement lines.
void Vdx_LoadChannelConfig(uint32_t* status);
