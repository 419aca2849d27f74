// Calibration results and diagnostics: the slope and offset of a finished calibration on row 11
// (the selection screen's result mode), the judging of the current channel's stored slope and
// offset against warning and alarm bands, and the value fields they draw with.
#pragma once
#include <cstdint>

// The bands of one unit code: slope high alarm, high warning, low warning, low alarm, then the
// same four of the offset.
struct CalBands {
    float slopeHighAlarm;
    float slopeHighWarn;
    float slopeLowWarn;
    float slopeLowAlarm;
    float offsetHighAlarm;
    float offsetHighWarn;
    float offsetLowWarn;
    float offsetLowAlarm;
};
// Unit codes 0 to 8: 0 pH, 1 to 3 and 6 the oxygen kinds, 4 and 8 the ORP check of a digital pH
// (pNa) sensor, 5 pNa, 7 the oxygen kind shown as "ppmO2 G" (whose bands are the channel's own).
constexpr uint32_t kCalUnitCodes = 9;
extern const CalBands g_CalBands[kCalUnitCodes];

// With the sensor parameters saved: the current channel's stored slope and offset judged for its
// first calibration position. The save-pending flag is cleared in every case.
void Screen_DrawDiagIndicators();
// Raises or clears the slope and offset warnings and alarms of the position's channel.
void Screen_JudgeCalibration(uint32_t position, float slope, float offset);
// Row 11: the calibrated measurement's short name, then its slope and offset with their labels
// and units.
void Screen_ShowCalData(uint32_t position, float slope, float offset);

// Value fields. Each returns the characters drawn.
// Seven characters, the decimals that fit five digits; "*******" from 999999.5 or below -99999.5.
uint32_t Screen_DrawFactor5(uint32_t row, uint32_t column, float value);
// Five characters, the decimals that fit three digits (two for a slope shown in percent);
// "*****" outside -9999.1 .. 99999.1.
uint32_t Screen_DrawSlope(uint32_t row, uint32_t column, float value, uint32_t offsetFlag);
// Six characters, the decimals that fit four digits; "*****" outside -99999.1 .. 999999.1.
uint32_t Screen_DrawCurrent(uint32_t row, uint32_t column, float value);
