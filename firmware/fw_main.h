// Firmware top level: start-up, the 20-ms main-loop pass and its housekeeping, and the
// configured sensor kind and model per channel as the store holds them.
#pragma once
#include <cstdint>

extern const char kFirmwareVersion[];

// Brings the firmware up once (at least 14 s: the wait for the sensor board). Returns early only
// when the firmware thread is asked to stop.
void Fw_Start();
void Fw_MainLoopPass();
void Fw_Housekeeping();
void Fw_HardwareInit();
void Fw_ShowVersion();
// Reads the configured kinds from the store into g_ChannelKind; kinds above 13 become 1 with
// sensor model 4187, an unreadable store gives kind 1 on both channels.
void Fw_LoadChannelTypes();
uint8_t Fw_GetChannelType(uint32_t channel);
uint32_t Fw_GetChannelSensorId(uint32_t channel);
