// Service, test and information pages: the keypad, display, memory, digital input, relay and
// analog tests, the model and software revision, the warning before the quick set-up and the
// "Please wait..." screen. Each is a draw operation and a key operation of the menu engine's
// screen table; rows 11 and 12 show them.
#pragma once
#include <cstdint>

// Back to power-on (tests run many starts in one process).
void Screen_ResetServiceState();

// Keypad test (screen 16): the last key pressed blinks on row 11; ENTER returns the time-out event.
void Screen_KeypadTestDraw();
int32_t Screen_KeypadTestKey(uint32_t event);

// Digital inputs (screen 18): both inputs' states, refreshed with every event.
void Screen_DigInDraw();
void Screen_DigInValues();

// Read OC (screen 28): the two relay contacts.
void Screen_ReadOcDraw();
int32_t Screen_ReadOcKey(uint32_t event);

// Read analog outputs (screen 29): both output currents.
void Screen_AoutTestDraw();
int32_t Screen_AoutTestKey(uint32_t event);

// Read analog inputs (screen 51): the analog input current.
void Screen_AinDraw();
void Screen_AinValue();

// Memory test (screen 15) and display test (screen 14); both end with the time-out event.
void Screen_MemoryTestDraw();
void Screen_DisplayTestStart();

// Model and software revision (screen 21): views 1 to 3, and 4 with a digital sensor on channel B.
void Screen_RevisionOpen();
void Screen_RevisionDraw(uint32_t step);
int32_t Screen_RevisionKey(uint32_t event);

// The warning before the quick set-up (screen 59): field 0 the warning text, 1 the leave marker.
void Screen_ConfigWarnDraw(uint32_t field);
int32_t Screen_ConfigWarnKey(uint32_t event);

// "Please wait..." on row 12 (screen 61 while a sensor-board request is awaited).
void Screen_PleaseWaitDraw();
