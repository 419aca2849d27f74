// The sensor board's parameter file: 2048 bytes beside the host's settings store.
#pragma once
#include <cstdint>

// Builds the file's name from the EEPROM folder and creates the file when it is missing.
void SimEeprom_Open();
// Writes n bytes at offset; status 0 done, 10 file not available.
void SimEeprom_WriteBytes(uint32_t* status, const uint8_t* bytes, uint32_t n, uint32_t offset);
// Request 0x12: address and count from the request bytes, at most 20 data bytes; 1 done, 0 failed.
uint32_t SimEeprom_RawWrite(const uint8_t* request);
// Request 0x13: the count the request names (at most capacity) into destination; the number of
// bytes read, or -1 on failure.
int32_t SimEeprom_RawRead(const uint8_t* request, uint8_t* destination, uint32_t capacity);
