// Measurement (home) screen: two lines in big digits and two small lines, each a configured
// measurement with its unit, the PID output line, the hold marks and the display-line setup.
#pragma once
#include <cstdint>

#include "measurement/slots.h"

struct MeasLineConfig;

// Display lines: 0 and 1 in big digits, 2 on row 11 and 3 on row 12.
constexpr uint32_t kHomeLines = 4;
// The column a big line's unit starts on (rows 2 and 6).
constexpr uint32_t kHomeUnitColumn = 108;
// Measurement kind that shows nothing.
constexpr uint8_t kHomeNoMeasurement = kMeasNothingShown;

// mode 0: big lines only (values refresh under another screen); 1: the full screen; 2: the full
// screen with the PID output line. messages: the message list is to be offered on row 12.
void Home_Draw(const MeasLineConfig* lines, uint32_t mode, uint32_t messages);
// One display line from a value and its status as read from the line's slot.
void Home_DrawLine(uint32_t line, const MeasLineConfig* lines, float value, uint32_t status, uint32_t messages);
// An over-range (state 2) or under-range (state 3) line.
void Home_DrawLineValue(uint32_t line, const MeasLineConfig* lines, uint32_t state, uint32_t mode, uint32_t messages,
                        uint32_t prefix);
// A small line's channel symbol, value and unit.
void Home_DrawLineUnit(float value, uint32_t decimals, uint32_t kind, uint32_t prefix, uint32_t channel, uint32_t line);
// The unit part of a line.
void Home_DrawValue(uint32_t kind, uint32_t prefix, uint32_t line);
// The decimals a line shows for a value: resolution 0 to 3 fixed, fewer for bigger values;
// 4 and above as many as fit four digits.
uint32_t Home_LineDecimals(float value, uint32_t resolution);
uint32_t Home_ChannelBIsDigital(uint32_t channel);
// The name of a measurement kind; inverted draws it as the blinking field.
void Home_DrawMeasName(uint32_t row, uint32_t column, uint32_t kind, uint32_t inverted);

// The measurement code and unit prefix shown on a display line (0..3).
void Home_GetLineUnit(uint32_t line, uint8_t* code, uint8_t* prefix);

// Hold marks at column 0 of the current channel's big line: "H" or the channel letter, blinking.
void Home_BlinkHoldMark(uint32_t phase);
void Home_BlinkChannelLetter(uint32_t phase);
// The held channel's letter on the lines that show it (manual channel hold).
void Home_DrawChannelHoldMarks(uint32_t phase);

// Display-line setup (screen 6): pair 0 = lines a and b, 1 = lines c and d; mode 1 selects the
// leave marker.
// Back to the state at power-on (tests run many starts in one process).
void Home_ResetState();
void Home_SetupLoadLine();
void Home_SetupDraw(uint32_t pair, uint32_t mode);
int32_t Home_SetupKey(uint32_t event);
