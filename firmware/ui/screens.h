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

// Service, test and information pages.
void Screen_KeypadTestDraw();
int32_t Screen_KeypadTestKey(uint32_t event);
void Screen_DigInDraw();
void Screen_DigInValues();
void Screen_ReadOcDraw();
int32_t Screen_ReadOcKey(uint32_t event);
void Screen_AoutTestDraw();
int32_t Screen_AoutTestKey(uint32_t event);
void Screen_AinDraw();
void Screen_AinValue();
void Screen_MemoryTestDraw();
void Screen_DisplayTestStart();
void Screen_RevisionOpen();
int32_t Screen_RevisionKey(uint32_t event);
void Screen_ConfigWarnDraw(uint32_t field);
int32_t Screen_ConfigWarnKey(uint32_t event);
void Screen_PleaseWaitDraw();
// Key operation of the wait for a sensor-board request.
int32_t Menu_Back(uint32_t event);

// Password and lockout page.
void Screen_PasswordDraw(uint32_t entry);
int32_t Screen_PasswordKey(uint32_t event);

// Temperature-source, calibration-constant, compensation and output-hold pages.
void Screen_TempSourceDraw(uint32_t redraw);
int32_t Screen_TempSourceKey(uint32_t event);
void Screen_VerifyCalDraw(uint32_t channel);
int32_t Screen_VerifyCalKey(uint32_t event);
void Screen_CalEditDraw(uint32_t channel, uint32_t redraw);
int32_t Screen_CalEditKey(uint32_t event, uint32_t channel);
void Screen_LinCompDraw(uint32_t part, uint32_t redraw);
int32_t Screen_LinCompKey(uint32_t event);
void Screen_CompCoefDraw(uint32_t redraw);
int32_t Screen_CompCoefKey(uint32_t event);
void Screen_AoutMaDraw(uint32_t output, uint32_t redraw);
int32_t Screen_AoutMaKey(uint32_t event);

// PID setup pages and the manual output key of the measurement screen.
void Screen_PidModeDraw(uint32_t redraw);
int32_t Screen_PidModeKey(uint32_t event);
void Screen_PidTuneDraw(uint32_t redraw);
int32_t Screen_PidTuneKey(uint32_t event);
void Screen_PidLimitsDraw(uint32_t form, uint32_t redraw);
int32_t Screen_PidLimitsKey(uint32_t form, uint32_t event);
// Returns -1 or kActionPidUnchanged.
int32_t Screen_PidManualKey(uint32_t event, int32_t percent);
