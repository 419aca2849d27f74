// pH buffer sets and buffer recognition: the eleven buffer sets with their temperature tables, the
// buffer in which the electrode stands named from its voltage and temperature, the buffer's pH at
// the temperature, and the evaluation of a calibration point with it.
#pragma once
#include <cstdint>

// No buffer window holds the voltage, or the buffer is not defined at the temperature.
constexpr uint32_t kPhNoBuffer = 112;
// The set whose buffers are entered by hand.
constexpr uint8_t kBufferSetNone = 8;
// The set of the pH/pNa electrode.
constexpr uint8_t kBufferSetPna = 10;
constexpr uint32_t kBufferSetCount = 11;

// A row of a buffer table: the temperature in whole degrees C, then the pH x 1000 of each buffer
// of the set (cell k is buffer k, counted from 1; 0 where a buffer is not defined at that
// temperature). Rows rise in temperature.
constexpr uint32_t kBufferRowCells = 6;
using BufferRow = int16_t[kBufferRowCells];

struct BufferSetDesc {
    const BufferRow* table;
    uint8_t rows;
    uint8_t columns;     // including the temperature column
    uint8_t nominalRow;  // the row whose values name the buffers
    uint8_t reserved;
};
// Indexed by the channel's buffer-set setting.
extern const BufferSetDesc g_BufferSets[kBufferSetCount];

// The buffer column found by the last recognition (1 = first buffer).
extern uint8_t g_RecognisedBuffer[2];

void CalPh_ResetBufferState();

// The channel's set: returns its row count and points table at its rows.
uint32_t CalPh_GetBufferTable(uint32_t channel, const BufferRow** table);
// pH of buffer column at t degrees C, interpolated between rows; below the first row the first
// row's value, from the last row on the last row's value.
float CalPh_InterpolateBuffer(const BufferRow* table, uint32_t rows, uint32_t column, float t);
// The electrode voltage referred to 25 C.
float CalPh_NormalizeMvTo25(float mv, float t);
// The window of voltages at 25 C that names a buffer of this pH: its ideal voltage +-60 mV.
float CalPh_BufferWindowLow(uint32_t channel, float ph);
float CalPh_BufferWindowHigh(uint32_t channel, float ph);
// The temperature range of a set: status 3 below, 2 above (and 2 for a temperature that is not a
// number); a good temperature leaves the status as it was.
void CalPh_CheckBufferSetTemp(uint32_t set, float t, uint32_t* status);
// Status 112 when buffer column of the set is not defined at t degrees C, or names no buffer of
// the set; otherwise the status is left as it was.
void CalPh_CheckRecognisedBuffer(uint32_t set, uint32_t column, float t, uint32_t* status);

// The nominal pH of the buffer recognised from mV at t degrees C; sets g_RecognisedBuffer.
// Status 3 or 2 outside the set's temperature range (0.0 returned), 112 when no buffer is found.
float CalPh_RecognizeBuffer(uint32_t channel, float mv, float t, uint32_t* status);
// Fills pH calibration point i (0 or 1) from the calibration filters with the recognised buffer
// at the temperature; mode 2 (the process calibration) takes no buffer. Status 2 when point 1
// found the buffer of point 0.
void CalPh_EvaluatePoint(uint32_t channel, uint32_t i, uint32_t mode, uint32_t* status);
// The same for the CO2 electrode, always with the recognised buffer.
void CalPh_EvaluateCo2Point(uint32_t channel, uint32_t i, uint32_t* status);
