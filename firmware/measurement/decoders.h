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
// Entries of the board calibration table as the last reply gave them (0.0 before the first, and
// for an index beyond a group): a[i] and b[i] (i 0..4) the conductivity ranges' cell factors and
// offsets, d[i] and e[i] (i 0..1) the input lines of channels A and B, and the single entries by
// their place in the table (10, 11 the voltage input; 12..14 the three-point curve; 19..22 the
// electrode and reference impedance factors; 23, 24 the analog input line; 25, 26 the raw input).
float Meas_GetBoardCalPairA(uint32_t i);
float Meas_GetBoardCalPairB(uint32_t i);
float Meas_GetBoardCalPair2A(uint32_t i);
float Meas_GetBoardCalPair2B(uint32_t i);
float Meas_GetBoardCalEntry10();
float Meas_GetBoardCalEntry11();
float Meas_GetBoardCalEntry12();
float Meas_GetBoardCalEntry13();
float Meas_GetBoardCalEntry14();
float Meas_GetBoardCalEntry19();
float Meas_GetBoardCalEntry20();
float Meas_GetBoardCalEntry21();
float Meas_GetBoardCalEntry22();
float Meas_GetBoardCalEntry23();
float Meas_GetBoardCalEntry24();
float Meas_GetBoardCalEntry25();
float Meas_GetBoardCalEntry26();

// Little-endian fields of the digital sensor's reply.
uint16_t Meas_GetU16LE(const uint8_t* bytes);
int16_t Meas_GetI16LE(const uint8_t* bytes);
float Meas_GetFloatLE(const uint8_t* bytes);
// A float whose two 16-bit halves come swapped: bytes 2, 3, 0, 1 form the little-endian value.
float Meas_GetFloatWordSwapped(const uint8_t* bytes);
