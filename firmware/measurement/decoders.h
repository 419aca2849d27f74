// Sensor-board reply decoders: measurement replies of both channels into their records and the
// damping filters, and the board calibration table.
#pragma once
#include <cstdint>

// Measurement replies decoded since the channel was (re)started; measured from the fifth on.
extern uint32_t g_MeasReplyCount[2];
// A fresh reply was decoded; the update cycle takes it.
extern uint32_t g_ChanValueReady[2];
// Set when channel A's conductivity reply reports an overflow.
extern uint32_t g_CondOverflow;

// The board's calibration constants relative to its defaults: a[5], b[5], c[5], d[2], e[2], f[8].
constexpr uint32_t kBoardCalEntries = 27;
extern float g_BoardCalTable[kBoardCalEntries];
extern uint8_t g_BoardCalReceived;
// Back to the state at power-on (tests run many starts in one process).
void Meas_ResetDecoders();

// Channel A measurement reply (request kind 0, at least 21 bytes). Returns 1.
uint32_t Meas_DecodeChannelAReply(uint32_t channel, const uint8_t* payload);
// The temperature part of channel A's reply.
void Meas_DecodeTemperatureInput(uint32_t channel, const uint8_t* payload);
// Channel B measurement replies by memory layout, given the payload from its fifth byte.
uint32_t Meas_DecodePhReply(uint32_t channel, const uint8_t* payload);
uint32_t Meas_DecodeOxygenReply(uint32_t channel, const uint8_t* payload);
uint32_t Meas_DecodeCondReply(uint32_t channel, const uint8_t* payload);
// What the simulated optical oxygen sensor of a channel measures, as the panel sets it: its
// temperature and its primary value (the sensor's own values in its answers are not used).
void Meas_GetSimulatedOptical(uint32_t channel, float* temperature, float* primary);
// Board calibration table (request kind 12, 108 bytes). Returns 1.
uint32_t Meas_DecodeBoardCalTable(uint32_t channel, const uint8_t* payload);

// Little-endian fields of the digital sensor's reply.
uint16_t Meas_GetU16LE(const uint8_t* bytes);
int16_t Meas_GetI16LE(const uint8_t* bytes);
float Meas_GetFloatLE(const uint8_t* bytes);
// A float whose two 16-bit halves come swapped: bytes 2, 3, 0, 1 form the little-endian value.
float Meas_GetFloatWordSwapped(const uint8_t* bytes);
