// PID setup pages: the output mode (pulse length or frequency and the two pulse relays), the tuning
// (controlled display line, gain, reset and rate time), the two forms of the corner-point page, and
// the manual output key of the measurement screen. The pages edit the PID settings of the working
// set; their numbers are digit fields (edit_pages.h), the mode page's the value-page edit line.
#pragma once
#include <cstdint>

// Back to power-on (tests run many starts in one process).
void Screen_ResetPidState();

// PID mode (screen 34): parameter page 44 on row 11, the pulse length or frequency on row 12.
// Fields in CAL order: 0 to 3 the page's, 5 the number, 6 the leave marker.
void Screen_PidModeDraw(uint32_t redraw);
// Row 11: "PIDMode=", the fields and the "#" before each relay.
void Screen_PidModeRow();
// Every field of row 11, the one given blinking (none for another value).
void Screen_PidModeFields(uint32_t field);
void Screen_PidModeChoice(uint32_t field, uint32_t selected);
// Row 12 for the pulse type: the number as value page 22's or 23's edit line 1.
void Screen_PidPulseLengthLine(uint32_t plain);
void Screen_PidPulseFreqLine(uint32_t plain);
// Returns -1, 4144 (a relay is in use), 4164 or 4080.
int32_t Screen_PidModeKey(uint32_t event);
// The word of the first PID relay in the working set that another user has (the positive
// output's first): that user's code + relay x 4096 + 256 (positive) or 512 (negative); 0 for none.
uint16_t Screen_PidRelayConflict();

// PID tuning (screen 35): the line, then gain, Tr and Td in digit fields 1 to 3.
void Screen_PidTuneDraw(uint32_t redraw);
void Screen_PidTuneField(uint32_t row, uint32_t field, float value);
// Returns -1, 4146 or 4080.
int32_t Screen_PidTuneKey(uint32_t event);

// PID corners (screens 36 and 37, form 0 and 1): lower corner on row 11, upper on row 12, each an x
// in the controlled line's unit and a y as the controller's output fraction.
void Screen_PidLimitsDraw(uint32_t form, uint32_t redraw);
void Screen_PidLimitsField(uint32_t row, uint32_t field, uint32_t column, float value);
// Returns -1, 4084 or 4085.
int32_t Screen_PidLimitsKey(uint32_t form, uint32_t event);

// The manual output key of the measurement screen, with the manual output in percent (kept as a
// float, so that 0.2 % steps add up). Returns -1, or 4155 when nothing changed.
int32_t Screen_PidManualKey(uint32_t event, float percent);
