// Numeric editor (screen 3): a calibration point entered digit by digit on row 11 with the live
// value of the position on row 12, and its variant that calibrates an analog output in raw
// converter counts.
#pragma once
#include <cstdint>

// One field of the editor: what is asked for and how the value is entered.
struct NumFieldDesc {
    uint8_t type;       // the record's index
    uint8_t label1;     // text of group 5 on row 11 (fields 10-13: the output name)
    uint8_t label2;     // text of group 5 in front of the live value
    uint8_t unit;       // unit text of group 6; 255 none
    uint8_t isSigned;   // 1: position 0 may hold '-'
    float reserved[2];  // kept with the record; nothing reads them
    uint8_t digits;     // character positions of the value
    uint8_t points;     // calibration points taken with the field
    uint8_t autoRange;  // 1: the value carries a unit prefix the user chooses
};
constexpr uint32_t kNumFieldCount = 28;
extern const NumFieldDesc g_NumFieldTable[kNumFieldCount];

// The field types of the analog outputs' calibration: 4 mA of output 1 and 2, then 20 mA.
constexpr uint8_t kNumFieldOut1At4mA = 10;
constexpr uint8_t kNumFieldOut2At4mA = 11;
constexpr uint8_t kNumFieldOut1At20mA = 12;
constexpr uint8_t kNumFieldOut2At20mA = 13;

// Cursor on the value's text: 0 to digits-1 a character, digits+1 the unit or item choice, this
// value the leave position.
constexpr uint8_t kNumEditLeave = 20;
constexpr uint32_t kNumEditTextMax = 8;
// The value's text with the cursor, the channel (fields 10-13: the output), the decimal point's
// position (255 none) and the unit prefix (10 none, 11 a blank unit text).
struct NumEditBuffer {
    char text[kNumEditTextMax + 1];
    uint8_t cursor;
    uint8_t channel;
    uint8_t point;
    uint8_t prefix;
};
extern const NumFieldDesc* g_NumEditField;
extern NumEditBuffer g_NumEditBuffer;
extern uint32_t g_NumEditValueColumn;
// What row 12 shows: the position, its live value and status, and the calibration item.
struct NumEditState {
    uint32_t position;
    float value;
    uint32_t status;
    uint32_t item;
};
extern NumEditState g_NumEditState;

// Opens field type showing value; mode 0 fresh, 1 redrawn with the cursor on the leave position.
void NumEdit_Open(uint32_t type, float value, uint32_t mode);
// The same for the output calibration fields 10 to 13 (value: the converter count).
void NumEdit_OpenOutputCal(uint32_t type, float value, uint32_t mode);
// Hands the chosen option on, starts tracking the menu position at the current point and returns
// the value the field opens with: for the oxygen point outside a process calibration the point's
// reference in the field's first unit; else the tracked value (1.0 when it is out of range or not
// a value).
float NumEdit_ReadFieldValue(uint32_t type);
// The key operation of screen 3.
int32_t NumEdit_Screen(uint32_t event);
// Keys of the open field; the accepted value goes to value.
int32_t NumEdit_Key(uint32_t event, float* value);
// What follows an accepted point: the next point, the next field, or an event for the engine.
int32_t NumEdit_NextField(uint32_t type);
// Steps the character at a position through '-' (signed first position) or '.', then '0'-'9'.
void NumEdit_StepDigit(char* text, uint32_t index, char lowest, char highest, int32_t step);
// Keeps one decimal point in a text: the newest '.' stays, an older one becomes '0'.
void NumEdit_MoveDecimalPoint(char* text, uint32_t length, uint8_t* point);

// The item chosen on the fields that calibrate in a unit the user chooses (oxygen, ozone, optical
// oxygen, CO2), and its symbol ("" for the other fields).
uint32_t NumEdit_GetItemChoice();
const char* NumEdit_GetItemText();

// The position being calibrated belongs to channel B.
void NumEdit_SetChannelB(uint32_t flag);
// An analog output is driven by a page (output test or output calibration) rather than by its
// measurement: the periodic output update leaves it alone.
uint32_t NumEdit_IsOutputCalOpen();
void NumEdit_SetOutputOverride(uint32_t on);
// Editor state as at power-on.
void NumEdit_ResetState();
