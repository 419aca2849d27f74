// Command protocol of digital sensors without a memory image: commands framed with CRC-16,
// carried inside link request kind 6, and their answers.
#pragma once
#include <cstdint>

// 1 while the channel's sensor speaks the command protocol.
extern uint8_t g_SensorProtoFlag[2];

// Writes the board's time-out and the command frame of item id into buffer, sets *wait to the
// link's reply wait in ticks, and returns the number of bytes written (0 for an unknown id).
uint32_t SensCmd_BuildRequest(uint32_t channel, uint32_t id, uint8_t* wait, uint8_t* buffer);
// 1 when the sensor's answer to item id, found in the length bytes, is good (and was taken).
uint32_t SensCmd_HandleReply(uint32_t channel, uint32_t id, const uint8_t* bytes, uint32_t length);
