// Fixed edit pages with a layout of their own: the temperature source with its fixed temperature,
// the verification of a calibration, the four calibration constants of a channel, the coefficients
// of the linearly compensated display lines, the compensation of a conductivity calibration and
// the fixed current an analog output holds. Each is a draw operation and a key operation of the
// menu engine's screen table on rows 11 and 12; the leave marker is the last cell of row 12.
#pragma once
#include <cstdint>

// A number edited as text: its characters (ending zero included, never more than the 8 bytes),
// the character that blinks, and the index of its decimal point (255 none). The PID pages use
// them too.
constexpr uint32_t kDigitFieldBytes = 8;
constexpr uint32_t kDigitFieldCount = 4;
constexpr uint32_t kDigitPointNone = 255;
struct DigitField {
    char text[kDigitFieldBytes];
    uint32_t cursor;
    uint32_t point;
};
extern DigitField g_DigitFields[kDigitFieldCount];
// The field that blinks; its meaning (and which value is the leave marker) is the page's.
extern uint8_t g_DigitFieldCursor;

// Back to power-on (tests run many starts in one process).
void Screen_ResetEditPagesState();

// A number into a field: with the decimals that fit digits places, within width characters; a
// text shorter than the width gets a '.' so that every field has a point to move. A number the
// width cannot hold shows the width in '*' ('_' below zero), which reads as no number.
void Screen_SetDigitField(uint32_t field, float value, uint32_t digits, uint32_t width);
// The field's number; 0 and value unchanged when its text holds none.
uint32_t Screen_ParseDigitField(uint32_t field, float* value);
// After the character at index changed or the cursor leaves it: a '.' there becomes the field's
// point, the former point a '0' (the text is redrawn at row and column); a point stepped away
// leaves the field without one.
void Screen_StepDigitText(uint32_t field, uint32_t index, uint32_t row, uint32_t column);
// A text in its own cells only, leaving the column after it: a unit or the leave marker may stand
// right there. The blinking field goes on blinking.
void Screen_DrawFieldText(uint32_t row, uint32_t column, const char* text);
// The blinking field drawn in its shown phase and stopped, before another field starts to blink.
void Screen_SettleBlink();

// Temperature source (screen 12): parameter page 11's source and value page 7's fixed temperature.
void Screen_TempSourceDraw(uint32_t redraw);
int32_t Screen_TempSourceKey(uint32_t event);

// Verification of a calibration (screen 13): the channel's value and temperature, nothing stored.
void Screen_VerifyCalDraw(uint32_t channel);
void Screen_VerifyCalValue(uint32_t channel);
int32_t Screen_VerifyCalKey(uint32_t event);

// Calibration constants (screens 20 and 40): slope and offset of the primary quantity (row 11)
// and of the temperature (row 12) of the channel shown.
void Screen_CalEditDraw(uint32_t channel, uint32_t redraw);
// The second form: drawn for channel B unless channel A is edited as a conductivity channel.
void Screen_CalEditSecondForm();
// The channel whose constants the page shows and edits.
uint32_t Screen_CalEditChannel();
// A constant into field 2 x row + column: the general form, and row 11's form on the pH, CO2
// and ORP positions.
void Screen_CalEditFieldA(uint32_t channel, uint32_t row, uint32_t field, float value);
void Screen_CalEditFieldB(uint32_t channel, uint32_t row, uint32_t field, float value);
int32_t Screen_CalEditKey(uint32_t event, uint32_t channel);

// Linear compensation coefficients (screen 22): part 0 the first one or two lines compensated
// linearly, part 1 the third and fourth.
void Screen_LinCompDraw(uint32_t part, uint32_t redraw);
int32_t Screen_LinCompKey(uint32_t event);

// Calibration compensation (screen 38): parameter page 51 and the reference coefficient.
void Screen_CompCoefDraw(uint32_t redraw);
void Screen_CompCoefField(float value);
int32_t Screen_CompCoefKey(uint32_t event);

// Output hold value (screen 23): parameter page 30 and the output's fixed hold current.
void Screen_AoutMaDraw(uint32_t output, uint32_t redraw);
void Screen_AoutMaField(uint32_t output);
int32_t Screen_AoutMaKey(uint32_t event);
