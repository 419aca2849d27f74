// Value page catalogue: the record of each of the 52 value pages, the settings each page shows and
// stores, the checks its values pass on ENTER, and what follows ENTER.
#pragma once
#include <cstdint>

#include "core/texts.h"
#include "ui/value_page.h"

// One value page (record n describes page n). Labels are texts of the page's group, 255 none;
// value columns are per language and line (entry 2 x language + line), 0 where the line has no
// value; a line's choice position is its width.
struct ValuePageDesc {
    uint8_t page;
    uint8_t label[4];        // 0a, 0b on row 11; 1a, 1b on row 12
    uint8_t labelColumn[4];  // pixel columns of the four labels
    uint8_t valueColumn[2 * kLanguages];
    uint8_t isSigned;     // 1: a value's first character may also be '-'
    uint8_t fraction[2];  // per line: drawn with decimals, '.' among its characters
    uint8_t unit[2];      // per line: unit text of group 6 after the value, 255 none
    uint8_t width[2];     // per line: characters of the value
};
extern const ValuePageDesc g_ValuePageTable[];

// Where the labels of a page come from.
TextRef ValuePage_LabelText(uint32_t page, uint32_t label);
uint8_t ValuePage_ValueColumn(uint32_t page, uint32_t line, uint32_t language);

// What a line's choice position chooses.
constexpr uint8_t kChoiceNone = 0;
constexpr uint8_t kChoicePressureUnit = 1;  // group 53, 0 to 4
constexpr uint8_t kChoiceSource = 2;        // group 86, "Edit" or "Ain"
constexpr uint8_t kChoiceDecade = 3;        // 1, milli, micro
constexpr uint8_t kChoicePassword = 4;      // group 61, the password page's choice
uint8_t ValuePage_ChoiceKind(uint32_t page, uint32_t line);
// The number of options of a choice kind.
uint32_t ValuePage_ChoiceCount(uint8_t kind);

// Reads the page's setting (its edit copy where the module keeps one) into the value pair and the
// choice bytes.
void ValuePage_Load(uint32_t page, float* values);
// Writes the pair back (only for screen 8, the value page).
void ValuePage_Store(uint32_t screen, uint32_t page, const float* values);
// The checks of ENTER on the values as entered: r is 0 or 2 as the key handler found, the result
// is r, 3 to 6 for a value error shown as a message, or -1 when a value was rewritten into range
// and the page stays.
int32_t ValuePage_CheckEntry(uint32_t page, int32_t r, float* values);
// What follows ENTER with r 0 (leave position) or 2 (values taken): an action or item id for the
// menu engine, or -1 when the screen stays (another page was opened in its place).
int32_t ValuePage_ResultOf(uint32_t page, int32_t r, const float* values);

// The temperature, pressure and humidity an oxygen calibration of the channel starts with.
void ValuePage_ApplyO2Conditions(uint32_t channel);
// The set point or output a page edits (the parameter pages' selector), and a step of it.
uint8_t ValuePage_EditItem(uint32_t page);
void ValuePage_SetEditItem(uint32_t page, uint8_t item);
// The set point type of set point i in the working set.
uint8_t ValuePage_SetPointType(uint32_t i);
// The alarm-cause disable mask of the working set (bit 0 frees the alarm relay's state).
uint32_t ValuePage_AlarmMask();
// The channel's choice of page 18 (0 "Yes", 1 "No"): the solution compensation applied or not.
void ValuePage_StoreRefTempChoice(uint8_t choice);
// The concentration table pages: whether a line holds an entry, and the entry's number.
uint32_t ValuePage_ConcLineShown(uint32_t page, uint32_t line);
uint32_t ValuePage_ConcEntryNumber(uint32_t page, uint32_t line);
// The catalogue's state as at power-on.
void ValuePage_ResetCatalogue();

// The number of the measurement a range page edits, with its unit prefix: the set point's line
// (pages 13, 15, 16, 42), the output's line (page 14), the PID's line (24 to 26).
void ValuePage_RangeUnit(uint32_t page, uint8_t* code, uint8_t* prefix);
