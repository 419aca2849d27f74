// Firmware top level: start-up, the 20-ms main-loop pass and its housekeeping, and the
// configured sensor kind and model per channel as the store holds them.
#pragma once
#include <cstdint>

extern const char kFirmwareVersion[];

// Brings the firmware up once (at least 14 s: the wait for the sensor board). Returns early only
// when the firmware thread is asked to stop.
void Fw_Start();
// True once start-up has set the settings store up and loaded the configured channel kinds (also
// when the store turned out unreadable). Whoever sees it true, on any thread, sees the store's
// file name and the kinds as start-up left them: the panel takes its channel set-up after it.
bool Fw_SettingsLoaded();
// Start-up not yet run: nothing loaded.
void Fw_ResetState();
void Fw_MainLoopPass();
void Fw_Housekeeping();
void Fw_HardwareInit();
void Fw_ShowVersion();
// Reads the configured kinds from the store into g_ChannelKind; kinds above 13 become 1 with
// sensor model 4187, an unreadable store gives kind 1 on both channels. Firmware thread only:
// it owns the kinds, which the panel reads.
void Fw_LoadChannelTypes();
// The configured kind as the firmware thread last published it (after a load of the kinds and
// after every main-loop pass); any thread may ask.
uint8_t Fw_GetChannelType(uint32_t channel);
uint32_t Fw_GetChannelSensorId(uint32_t channel);
