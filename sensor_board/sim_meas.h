// The sensor board's measurement state: the kind, range and gain the host configures, the set
// value, and the 21-byte measurement record it reads. The board's own measurement step (from
// simulated raw samples) never runs in this system, so raw words and measured values stay 0.
#pragma once
#include <cstdint>

constexpr uint32_t kSimMeasRecordBytes = 21;
constexpr uint32_t kSimMeasRings = 6;
constexpr uint32_t kSimMeasRingSamples = 16;

struct BoardMeasurement {
    uint16_t kind[2];
    uint8_t lastKind;
    uint8_t lastChannel;
    uint32_t rawWord[2];
    float value[3];
    uint8_t rangeInUse;
    uint8_t rangeMode;   // 0-4 a fixed range, 5 automatic
    uint8_t gainMode;    // 0-2
    float setValue;      // request 0x04, limited to -1000 ... 1000
    uint8_t electrodes;  // conductivity: two or four electrodes
    float ring[kSimMeasRings][kSimMeasRingSamples];
    uint8_t ringCount[kSimMeasRings];
};

// The state as at load: all zero.
void SimMeas_Reset();
// Request 0x0A: the channel's measurement kind (channel 0 or 1); 1 done, 0 for another channel.
uint32_t SimMeas_SetKind(uint8_t channel, uint8_t kind);
// Request 0x03: 0-4 a fixed range, 5 automatic; 1 done, 0 refused.
uint32_t SimMeas_SetRangeMode(uint8_t mode);
// Request 0x10: gain mode 0-2; 1 done, 0 refused.
uint32_t SimMeas_SetGainMode(uint8_t mode);
// Request 0x04: stores the set value limited to -1000 ... 1000; 1 done, 0 refused for a value that
// is not a number (the set value in use stays).
uint32_t SimMeas_SetSetValue(float value);
float SimMeas_GetSetValue();
// A raw word (0 or 1) of the state.
uint32_t SimMeas_GetRawWord(uint32_t index);
// Request 0x00: the 21-byte measurement record; 1 done.
uint32_t SimMeas_GetRecord(uint8_t* payload);
// The analog input current in mA from the analog input's calibration, limited to 0 ... 23 mA.
float SimMeas_GetInputCurrent();
// The six rings of samples empty.
void SimMeas_ResetRings();
// One measurement step (board flag bit 3): counts the settling down.
void SimMeas_RunStep();
// The state, for tests.
const BoardMeasurement* SimMeas_GetState();
