// Info, list and countdown screens: the "Meter Cal Factors" pages (screen 30), the two
// calibration step screens (39 and 52), the hold-release countdown (58), the timed output hold,
// and the calibration value with its unit that the numeric editor shows on row 12. The screens
// share one state byte, the selection state's page counter: the info page, the alternate-view
// flag of the step screens, or the countdown's seconds.
#pragma once
#include <cstdint>

struct NumEditState;

// Ends the timed output hold: its flag and the output-hold word cleared, timer 14 stopped.
void Screen_EndTimedHold();

// ---- "Meter Cal Factors" (screen 30) -------------------------------------------------------------

// Pages 0 to 13: the resistance inputs R1 to R5, the voltage input, current inputs 1 and 2, the
// temperature input's three coefficients, the glass and reference impedances, the two analog
// outputs and the analog input, each as its multiplier M= and adder A= (a=, b=, c= for the
// temperature curve), read from the sensor board's calibration table of channel A.
constexpr uint32_t kInfoPageCount = 14;
// Shows page 0.
void Screen_InfoShow();
void Screen_DrawInfoPage(uint32_t page);
// ENTER shows the next page; after the last one it returns the time-out event (home). Other
// events change nothing.
int32_t Screen_InfoKey(uint32_t event);
// A factor of the board's calibration table by factor code (1 to 5 R1 to R5, 6 the voltage input,
// 7 and 27 the current inputs, 9 the temperature input, 10 and 11 the analog outputs, 19 and 20
// the glass and reference impedances, 26 the analog input, 28 the raw linear input) and item (0
// the multiplier or a, 1 the adder or b, 2 c); any other code 0.0.
float Screen_GetMeterFactor(uint32_t code, uint32_t item, uint32_t channel);
// The factor in six characters with the decimals that fit four digits ("******" beyond
// 999999.5 or -100000.5; a tiny negative value shows as 0).
void Screen_DrawMeterFactor(uint32_t row, uint32_t column, uint32_t code, uint32_t item, uint32_t channel);

// ---- Value ranges --------------------------------------------------------------------------------

// A number's text in at most width characters (width at most kNumberTextMax): the decimals that
// fit the digits, and a "." added to a shorter text that has none. Returns its length.
uint32_t Screen_FormatField(float value, uint32_t digits, uint32_t width, char* text);

// A valid status becomes 2 from 99999.5 up (and for a value that is no number) and 3 below
// -9999.5; the field is then filled. Returns the status.
uint32_t Screen_CheckAndFillRange(uint32_t row, uint32_t column, float value, uint32_t status);
// "*****" for status 2, "_____" for any other non-zero status, nothing for 0.
void Screen_FillRange(uint32_t row, uint32_t column, uint32_t status);
// The live value of the numeric editor's position with its unit, in the editor's field.
void Screen_DrawValueWithUnit(uint32_t row, uint32_t column, const NumEditState* record);

// ---- Calibration step screens (39 and 52) --------------------------------------------------------

// "Press ENTER when" / "Sensor is in Buffer 1" (or 2, or the gas of an oxygen sensor) for the
// point; the normal view blinks ENTER's letter, the alternate view the leave marker.
void Screen_ListShow(uint32_t point, uint32_t alternate);
// ENTER: the numeric editor on the position (normal view) or back (alternate view); MENU and CAL
// switch the view.
int32_t Screen_ListKey(uint32_t event);
// "Cal info offset =" between the points of a calibration that shows its offset.
void Screen_List2Show(uint32_t alternate);
int32_t Screen_List2Key(uint32_t event);

// ---- Hold-release countdown (screen 58) ----------------------------------------------------------

// Seconds the countdown starts from.
constexpr uint8_t kHoldCountdownSeconds = 120;
// "Please wait..." and 120 seconds counting down on row 12.
void Screen_HoldCountdownShow();
// Once a second one second less; at 0 the calibration step screen follows. ENTER leaves.
int32_t Screen_HoldCountdownTick(uint32_t event);

// The oxygen unit code of a channel's configured kind: 5 gives 1, 6 gives 2, 7 gives 6, 8 gives
// 7, any other 3.
uint32_t Screen_O2UnitCode(uint32_t channel);
