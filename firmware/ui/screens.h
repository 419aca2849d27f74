// Fixed pages. screens.cpp holds the ones written so far (the "Re-install sensor" countdown, the
// sensor monitoring line); the others are not written yet. The info, list and countdown screens
// are in info_screens, the calibration results and diagnostics in cal_view.
#pragma once
#include <cstdint>

// The written screens' state back to power-on.
void Screen_ResetState();

// The "Re-install sensor" countdown (screen 54): drawn once its timer ran out; ENTER then refreshes
// the display, and the time-out leads home.
void Screen_CountdownDraw();
int32_t Screen_CountdownKey(uint32_t event);
// One line (0 row 11, 1 row 12) of the sensor monitoring page: lifetime, time to maintenance,
// adaptive calibration timer or operating days.
void Screen_DrawSensorTimerLine(uint32_t channel, uint32_t item, uint32_t line);
