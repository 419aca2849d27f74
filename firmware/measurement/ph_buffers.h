// pH buffer sets and buffer recognition: the buffer in which the electrode stands, named from its
// voltage and temperature, and the evaluation of a calibration point with it.
#pragma once
#include <cstdint>

// No buffer window holds the voltage, or the buffer is not defined at the temperature.
constexpr uint32_t kPhNoBuffer = 112;
// The set whose buffers are entered by hand.
constexpr uint8_t kBufferSetNone = 8;

// The nominal pH of the buffer recognised from mV at t degrees C; sets g_RecognisedBuffer.
float CalPh_RecognizeBuffer(uint32_t channel, float mv, float t, uint32_t* status);
// Fills pH calibration point i (0 or 1) with the recognised buffer; mode 2 takes no buffer.
void CalPh_EvaluatePoint(uint32_t channel, uint32_t i, uint32_t mode, uint32_t* status);
// The same for the CO2 electrode.
void CalPh_EvaluateCo2Point(uint32_t channel, uint32_t i, uint32_t* status);
