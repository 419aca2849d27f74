// The sensor board's measurement state: kind, range and gain per channel, the set value, and
// the measurement record it reports.
#pragma once
#include <cstdint>

uint32_t SimMeas_SetKind(uint8_t channel, uint8_t kind);
uint32_t SimMeas_SetRangeMode(uint8_t mode);
uint32_t SimMeas_SetGainMode(uint8_t mode);
// Stores the set value of request 0x04 (already limited).
void SimMeas_SetSetValue(float value);
// Request 0x00: the 21-byte measurement record; 1 done.
uint32_t SimMeas_GetRecord(uint8_t* payload);
// The analog input current in mA.
float SimMeas_GetInputCurrent();
void SimMeas_ResetRings();
// One measurement step (board flag bit 3).
void SimMeas_RunStep();
