// Sensor identity: model, serial and part numbers, type text and versions from the memory image
// (or from the identification of a command-protocol sensor), the family table that turns a
// sensor into an image layout and a sensor kind, and the sensor option of page 16.
#pragma once
#include <cstdint>

// Type texts hold at most 13 characters; version texts are 5 characters.
constexpr uint32_t kVdxTypeTextMax = 13;
constexpr uint32_t kVdxVersionTextSize = 6;

// Nothing supported, no option.
void Vdx_ResetIdentity();

// Numbers and texts of the sensor just read (the staging image), or of the command-protocol
// sensor's identification. Texts end with a NUL; buffers hold kVdxTypeTextMax + 1 characters.
uint32_t Vdx_GetModelNumber(uint32_t channel);
uint32_t Vdx_GetSerialNumber(uint32_t channel);
uint32_t Vdx_GetPartNumber(uint32_t channel);
// Copies the type text and returns its length.
uint32_t Vdx_GetTypeText(uint32_t channel, char* text);
// The adopted sensor's versions, "07.00" for 7 (kVdxVersionTextSize characters with the NUL).
void Vdx_GetFirmwareVersionText(uint32_t channel, char* text);
void Vdx_GetHardwareVersionText(uint32_t channel, char* text);

// Layout and requested kind of the sensor in the staging image.
void Vdx_DecodeSensorFamily(uint32_t channel);
// Whether the sensor offers the page-16 option (stored and returned).
uint32_t Vdx_CheckSensorOption(uint32_t channel);
// The option the adopted sensor holds (0..2), read from page 16.
void Vdx_ReadSensorOption(uint32_t channel);
// The sensor offers the option.
uint32_t Vdx_HasSensorOption(uint32_t channel);
// The option the adopted sensor holds (0..2).
uint32_t Vdx_GetSensorOptionValue(uint32_t channel);
// The configured option when the sensor offers it, else 1.
uint32_t Vdx_GetSensorOption(uint32_t channel);
// Writes an option (0..2) into a pH sensor that offers it; 1 when done, else 0 and nothing
// changes.
uint32_t Vdx_SetSensorOption(uint32_t channel, uint32_t value);
