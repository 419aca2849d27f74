// Parameter page engine: the short-list settings pages (screen 7). One engine shows every page of
// the page table, steps the choices with the keys, writes them into the working set and decides
// on ENTER which page, value page or action comes next.
#pragma once
#include <cstdint>

#include "ui/param_pages_table.h"

// The page being edited: its record, id, the choice index of each field and the current field
// (0 to 3, kParamLeaveMarker for the leave marker).
struct PageEditState {
    const ParamPageDesc* desc;
    uint8_t page;
    int8_t values[kParamFields];
    uint8_t field;
};
extern PageEditState g_PageEdit;
// Set by ENTER on the pages that may ask "Stop OC" (page 50): 4 in a field, 34 on the marker;
// back to 0 with event 62.
extern uint8_t g_PageCursor;
constexpr uint8_t kPageCursorField = 4;
constexpr uint8_t kPageCursorMarker = 34;
// The page that asked page 50 its question; page 50 returns to it.
extern uint8_t g_ValuePageMode;
// The relay a PID pulse output was given while another user has it, for the "Stop OC" page (page
// 46): the other user's code, plus the relay x 4096, plus 256 (positive output) or 512 (negative
// output); 0 for none.
extern uint16_t g_RelayConflict;
// Takes the word and makes its relay the one the "Stop OC" page shows.
void ParamPage_SetRelayConflict(uint16_t word);

// A cycle-counter alarm page (58 to 60) whose alarm is on ("Alarm" Yes) and whose relay a PID
// pulse output uses: the "Stop OC" page (50) is made ready to ask for that page, ENTER having been
// pressed on the leave marker (where 0) or in a field; 1 then, else 0.
uint32_t ParamPage_AskStopRelay(uint32_t page, uint32_t where);
// Draws a page (mode 1 selects the leave marker); returns -1.
int32_t ParamPage_Open(uint32_t page, uint32_t mode);
// Fills the four values of the state from the working set.
void ParamPage_LoadValues(uint32_t page);
// Writes the four values into the working set.
void ParamPage_ApplyValues(const PageEditState* state);
// Key mode 1 on a page: ENTER gives 0 on the leave marker and 2 in a field; other keys -1.
int32_t ParamPage_EditKey(uint32_t event, PageEditState* state);
// The follow-up of ENTER: where 0 on the marker, 2 in a field.
int32_t ParamPage_NextOnEnter(uint32_t page, uint32_t where);
// Key operation of screen 7.
int32_t ParamPage_Screen(uint32_t event);
// Index of the first field with a choice group, 0 when none has one.
uint32_t ParamPage_FirstField(const uint8_t* choiceGroups);
// Linear search; the length when the value is absent.
uint32_t ParamPage_IndexOfByte(const uint8_t* array, uint32_t length, uint8_t value);
// The value being chosen names the relay the cleaning uses.
uint32_t ParamPage_IsCleanRelay(const PageEditState* state);
// A relay that a PID pulse output of the working set uses is taken from it (2, none); 1 then.
uint32_t ParamPage_ReleasePidRelay(uint8_t relay);
// One of the four lines is compensated linearly ("Lin 25@C", "Lin 20@C").
uint32_t ParamPage_AnyLinearComp();
// Page 75: the slope and offset units, the current one inverted.
void ParamPage_DrawCalUnits(const PageEditState* state);

// Makes a page record current without drawing it (the value pages step back to it).
void ParamPage_SetCurrent(uint32_t page);
uint32_t ParamPage_CurrentPage();
// The output and set-point selectors (and with setup 1 the alarm/clean selector) to their first
// entry.
void ParamPage_ResetSelectors(uint32_t setup);
// The set point, analog output and relay the pages edit.
uint8_t ParamPage_SelectedSetPoint();
uint8_t ParamPage_SelectedOutput();
// The value pages' set point and output selectors step them.
void ParamPage_SelectSetPoint(uint8_t index);
void ParamPage_SelectOutput(uint8_t index);
// The engine back to power-on.
void ParamPage_ResetState();
// Makes a field (0..3) current and draws it blinking and the others plain, for pages that walk
// the fields with a cursor of their own.
void ParamPage_SelectField(uint32_t field);
