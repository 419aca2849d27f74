// Value pages (screen 8): the two-line editor of one setting made of at most two values, shown on
// rows 11 (line 0) and 12 (line 1). Values are edited as text, parsed on ENTER, checked and
// written into the settings they belong to; the pages themselves are described by the catalogue
// (value_catalogue).
#pragma once
#include <cstdint>

struct ClockRecord;
struct ValuePageDesc;

constexpr uint32_t kValuePageCount = 52;
// Cursor positions besides the characters of a line: the selector in front of the page, the
// leave position (the channel mark blinks).
constexpr int32_t kCursorSelector = -1;
constexpr int32_t kCursorLeave = 20;
// One edited value: its text (at most 12 characters), the character drawn blinking, the index of
// its decimal point (255 none) and the unit prefix of the value.
constexpr uint32_t kEditTextMax = 12;
struct EditLine {
    char text[kEditTextMax + 1];
    uint8_t blinkIndex;
    uint8_t point;
    uint8_t prefix;
};

// The page being edited and its cursor.
extern const ValuePageDesc* g_ValuePage;
extern uint8_t g_ValuePageNumber;
extern uint8_t g_ValuePageLine;
extern int32_t g_ValuePageCursor;
extern EditLine g_EditLines[2];
// The option chosen at each line's choice position: a pressure unit, a value source, a unit
// prefix or a decade.
extern int8_t g_ValuePageChoice[2];
// Selectors shared with the pages that lead here: the relay being edited, the password page's
// choice (0 administrator, 1 operator, 2 operator's sections), the state of the alarm relay and of
// a channel's choice, and the range pages' position index. The set point or output being edited
// is the parameter pages' selector (ValuePage_EditItem).
extern uint8_t g_EditRelay;
extern uint8_t g_PasswordChoice;
extern uint8_t g_ValuePageSelector;
extern uint8_t g_ValuePageReentry;

// Kind 3 starts the numeric editor on field index; any other kind opens value page index.
// Key mode 1; returns -1.
int32_t ValuePage_BeginEdit(uint32_t kind, uint32_t index);
// Mode 0 opens fresh; mode 1 redraws with the cursor on the leave position.
void ValuePage_Open(uint32_t page, uint32_t mode);
// The key operation of screen 8.
int32_t ValuePage_Screen(uint32_t event);
// What ENTER on a page comes to: the leave position, the values taken, a value error (each shown
// by its "Invalid ..." text), or the page stays (a value was rewritten into range).
constexpr int32_t kEntryLeave = 0;
constexpr int32_t kEntryValues = 2;
constexpr int32_t kEntryBadInterval = 3;
constexpr int32_t kEntryBadCleanTime = 4;
constexpr int32_t kEntryBadDateTime = 5;
constexpr int32_t kEntryBadValue = 6;
constexpr int32_t kEntryStay = -1;
// 1 when the line still shows the text and choice the page drew from its setting: such a line
// keeps the value it was drawn from (a page left unchanged writes back nothing its display
// rounded).
uint32_t ValuePage_LineKept(uint32_t line);
// The page's key handler: on ENTER kEntryLeave, kEntryValues, kEntryBadValue (a line that is no
// number) or kEntryStay; other keys kEntryStay.
int32_t ValuePage_Key(uint32_t event, float* values);
// The "Invalid ..." texts, by their place in their group.
constexpr uint32_t kInvalidPassword = 0;
constexpr uint32_t kInvalidInterval = 1;
constexpr uint32_t kInvalidCleanTime = 2;
constexpr uint32_t kInvalidPasswordsDiffer = 3;  // "Passwords do not match"
constexpr uint32_t kInvalidDateTime = 4;
constexpr uint32_t kInvalidMaxValue = 5;
constexpr uint32_t kInvalidValue = 6;
// The concentration-table errors, each the first of its two lines in their group.
constexpr uint32_t kTableErrorConcentration = 3;  // "Concentration is not increasing"
constexpr uint32_t kTableErrorTemperature = 5;    // "Temperature is not increasing"
constexpr uint32_t kTableErrorCondOrder = 7;      // "Cond is not increasing or decreasing"
constexpr uint32_t kTableErrorCondSequence = 9;   // "Cond sequence does not follow Cond_T1"
// "Invalid ..." (one of the texts above) or a concentration-table error (its two lines), with
// "Press ENTER to Continue"; ENTER then redraws the page.
void ValuePage_ShowInvalid(uint32_t n);
void ValuePage_ShowTableError(uint32_t n);
// The range pages' cursor and line from their start tables at the position index.
void ValuePage_RestoreCursor(uint32_t page, uint32_t index);
void ValuePage_ClearPasswordState();
// Makes a page current without drawing it: the screen below redraws it when it comes back.
void ValuePage_MakeCurrent(uint32_t page);

// A line's value drawn into its edit line and onto the display.
void ValuePage_DrawLineValue(uint32_t line, float value);
// Rewrites a line with a text (a value brought into range) and puts the cursor on its start.
void ValuePage_RewriteLine(uint32_t line, const char* text);
// Character stepping of the names, the unit name and any other character set.
void ValuePage_StepChar(char* text, uint32_t index, char lowest, char highest, int32_t step);
void ValuePage_StepAlnum(char* text, uint32_t index, int32_t step);
void ValuePage_StepRange(char* text, uint32_t index, int32_t step);
// The date and time lines as a clock record; 0 when they form no valid clock.
uint32_t ValuePage_ParseDateTime(ClockRecord* record);
// A value in the unit a range page shows (the unit prefix of its line), and back.
float ValuePage_ToChannelUnit(float value, uint32_t prefix);
float ValuePage_ParseInUnit(float value, uint32_t prefix);

// The date of the clock page: "YY-MM-DD" and an ending zero (9 bytes); YY is the year less 2000,
// held to 00..99.
void ValuePage_FormatDate(const ClockRecord* date, char* out);
// The time of the clock page: "HH:MM:SS" and an ending zero (9 bytes).
void ValuePage_FormatTime(const ClockRecord* record, char* out);
// Edit state and selectors as at power-on.
void ValuePage_ResetState();
