// The sensor board's parameter file: its EEPROM simulated by a file of 2048 bytes beside the
// host's settings store. Every read opens the file anew; every write replaces the file whole
// (the bytes of a save together), so each completed write is on disk and a kill at any moment
// leaves the file as it was before or after a save, never part of one. Floats are stored
// little-endian; bytes a short file lacks read as erased (0xFF).
#pragma once
#include <cstdint>

constexpr uint32_t kSimEepromBytes = 2048;
constexpr char kSimEepromFileName[] = "Sensor Simulator";
// Status codes, the same as the host's settings store.
constexpr uint32_t kSimEepromNotAvailable = 10;
constexpr uint32_t kSimEepromBadFloat = 11;
constexpr uint32_t kSimEepromNotFinite = 12;
// Raw requests carry eight hexadecimal address digits and a count; a write at most 20 bytes.
constexpr uint32_t kSimEepromRawHeader = 9;
constexpr uint32_t kSimEepromRawWriteMax = 20;

// Back to the state at load: no file name, nothing available.
void SimEeprom_Reset();
// Builds the file's name from the EEPROM folder and creates the file (2048 bytes 0xFF) when it
// does not exist; a shorter file is completed with 0xFF. A longer file is no parameter file (as a
// folder in its place is none): nothing is available, and its bytes are left as they are. A
// temporary file that a kill left beside it is removed.
void SimEeprom_Open();
// The path built by SimEeprom_Open ("" before).
const char* SimEeprom_GetFileName();
// Reads n bytes at offset into buffer; returns the number read. Status 0, 10 (no file) or 11
// (the file ends before the last byte).
uint32_t SimEeprom_ReadBytes(uint32_t* status, uint8_t* buffer, uint32_t n, uint32_t offset);
// Starts a save: the writes until the matching SimEeprom_EndSave reach the file together, and
// reads meanwhile see them. Saves nest; the outermost one writes.
void SimEeprom_BeginSave();
// Ends a save; the outermost writes the file. Status 0 done, 10 the file could not be read or
// written (then nothing of the save is in the file).
uint32_t SimEeprom_EndSave();
// Writes n bytes at offset within the 2048; status 0 done, 10 file not available (within a save:
// the save's status so far).
void SimEeprom_WriteBytes(uint32_t* status, const uint8_t* bytes, uint32_t n, uint32_t offset);
// Four bytes as a float; status 11 and 0.0 when they cannot be read or are infinite or NaN.
void SimEeprom_ReadFloat(uint32_t* status, float* value, uint32_t offset);
// Four bytes of the value without a test of it; returns the write's status.
uint32_t SimEeprom_WriteFloat(float value, uint32_t offset);
// Status 12 for an infinite or NaN value (nothing written), 10 without the file, else 0.
void SimEeprom_WriteFloatChecked(uint32_t offset, float value, uint32_t* status);
// Request 0x12 (the whole request frame and its number of argument bytes): 1 done, 0 refused.
uint32_t SimEeprom_RawWrite(const uint8_t* request, uint32_t argumentCount);
// Request 0x13: the count the request names (1 to capacity) into destination; the number of
// bytes read (fewer where the file ends), or -1 when refused.
int32_t SimEeprom_RawRead(const uint8_t* request, uint8_t* destination, uint32_t capacity);
