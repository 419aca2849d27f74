// Info, list, countdown, selection and fixed pages. screens.cpp holds the ones written so far
// (the "Re-install sensor" countdown, the sensor monitoring line); the others are not written yet.
#pragma once
#include <cstdint>

void Screen_EndTimedHold();
// The written screens' state back to power-on.
void Screen_ResetState();

// The "Re-install sensor" countdown (screen 54): drawn once its timer ran out; ENTER then refreshes
// the display, and the time-out leads home.
void Screen_CountdownDraw();
int32_t Screen_CountdownKey(uint32_t event);
// One line (0 row 11, 1 row 12) of the sensor monitoring page: lifetime, time to maintenance,
// adaptive calibration timer or operating days.
void Screen_DrawSensorTimerLine(uint32_t channel, uint32_t item, uint32_t line);

// The numeric editor's calibration value with its unit, in the editor's field (row 12).
struct NumEditState;
void Screen_DrawValueWithUnit(uint32_t row, uint32_t column, const NumEditState* record);
// The result of a calibration (its slope and offset) on row 11.
void Screen_ShowCalData(uint32_t position, float slope, float offset);

// Info, list and countdown screens.
void Screen_InfoShow();
int32_t Screen_InfoKey(uint32_t event);
void Screen_ListShow(uint32_t point, uint32_t alternate);
int32_t Screen_ListKey(uint32_t event);
void Screen_List2Show(uint32_t alternate);
int32_t Screen_List2Key(uint32_t event);
void Screen_HoldCountdownShow();
int32_t Screen_HoldCountdownTick(uint32_t event);
// Judges the current channel's calibration into warnings and alarms.
void Screen_DrawDiagIndicators();
