// Command protocol of digital sensors without a memory image.
#pragma once
#include <cstdint>

// 1 while the channel's sensor speaks the command protocol.
extern uint8_t g_SensorProtoFlag[2];
