// Selection screen (screens 1, 5, 10 and 11): which calibration to start, whether to save a meter
// calibration, what to do with a sensor calibration, and whether to save changed settings when
// the menu is left; and the manual hold of one channel that a calibration places on it.
#pragma once
#include <cstdint>

// Modes: the calibration choice, "Save Calibration", the sensor calibration's result, "Save
// Changes".
constexpr uint8_t kSelectCalibrate = 0;
constexpr uint8_t kSelectSaveCalibration = 1;
constexpr uint8_t kSelectCalResult = 2;
constexpr uint8_t kSelectSaveChanges = 3;
// Cursor: the row-11 choice, the row-12 choice, the leave marker.
constexpr uint8_t kSelectRow11 = 0;
constexpr uint8_t kSelectRow12 = 2;
constexpr uint8_t kSelectMarker = 4;

struct SelectState {
    uint8_t mode;
    uint8_t item;     // the row-11 choice
    uint8_t channel;  // 0, 1, or 255 for codes without a channel
    uint8_t index;    // the row-12 choice
    uint8_t cursor;
    uint8_t entryFlag;  // 0 after the CAL key, 1 after the "Calibrate" item
    uint32_t position;  // the position chosen
    uint8_t pageCounter;
    uint8_t rememberedIndex;
};
extern SelectState g_MenuTreeView;

// Flag 0: the CAL key's start on the current channel's first measurement; 1: the "Calibrate" item.
void Screen_SelectInit(uint32_t flag);
// Draws the screen in a mode; marker 1 selects the leave marker.
void Screen_SelectShow(uint32_t mode, uint32_t marker);
// The key operation of the selection screens; returns -1, an action or a position code.
int32_t Screen_SelectKey(uint32_t event);
uint32_t Screen_GetSelectPosition();
// Where the CAL key starts for a channel kind: its first measurement position without the
// channel's 0x1000 (0x1fffff, no position, for a kind without one).
uint32_t Screen_GetStartPosition(uint32_t kind);
// Selection state and the manual hold as at power-on.
void Screen_ResetSelectState();

// Manual hold of one channel: a calibration that captures the measured value keeps the channel
// held until its reference is entered.
uint32_t Menu_IsChannelHeld(uint32_t channel);
// The hold on the channel of the menu position, for the item (the position without its channel).
void Menu_BeginChannelHold(uint32_t item);
// Ends the hold (an oxygen calibration in capture mode is reloaded) and redraws the marks.
void Menu_EndChannelHold();
// The same without the reload and the redraw.
void Menu_CancelChannelHold();
void Menu_EndChannelHoldIfActive();
