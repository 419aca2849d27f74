// Screen stack and menu engine: the stack of screen ids, the translation of events into stack
// changes and enter codes, the id tables of the generic pages, and the engine's small services.
// The screens' draw and key operations are in menu_screens, the one-second tasks in menu_tasks.
#pragma once
#include <cstdint>

#include "core/menu_position.h"
#include "core/ui_ids.h"
// The calibration type and option chosen on the pages, and the manual channel hold.
#include "measurement/calibration.h"

constexpr uint32_t kMenuStackSize = 32;

extern uint8_t g_MenuStack[kMenuStackSize];
extern uint32_t g_MenuDepth;
// Id of the item the next page, value page or numeric editor opens.
extern uint32_t g_PendingMenuItem;
// Measurement position (0x100000 + channel x 0x1000 + quantity) or special id being worked on.
extern uint32_t g_MenuPosition;
extern uint8_t g_MenuPositionPending;
// The event that started the save or wait that event 54 continues (1 = the CAL key).
extern uint32_t g_MenuLastAction;
extern uint8_t g_CalPoint;
// Edit flags of the pages; entry 0 is 1 while the clock waits to be set after start.
extern uint8_t g_EditFlags[8];
// Set by the relay test page: the periodic relay, cleaning and PID tasks leave the relays alone.
extern uint8_t g_PeriodicTasksSuspended;
// Page flag for the calibration type page: the position's quantity is above 2.
extern uint8_t g_PageQuantityAbove2;

// One id table of a generic screen: the index of an id is the record number.
struct MenuIdTable {
    const uint32_t* ids;
    uint32_t count;
};
constexpr uint32_t kNumFieldIdCount = 30;
constexpr uint32_t kValuePageIdCount = 52;
constexpr uint32_t kParamPageIdCount = 88;
// The tables of g_EditorIdTable.
constexpr uint32_t kIdTableNumFields = 0;
constexpr uint32_t kIdTableValuePages = 1;
constexpr uint32_t kIdTableParamPages = 2;
extern const MenuIdTable g_EditorIdTable[3];

struct StoreMap;
extern const StoreMap g_MenuStoreMap;

// ---- Stack and translation ---------------------------------------------------------------------

// Only the measurement screen on the stack.
void Menu_ResetStack();
// The stack and every value of the engine back to power-on.
void Menu_ResetState();
uint8_t Menu_TopScreen();
// Key operation of the wait for a sensor-board request (screen 61): when the request is done the
// screen pops and 241 follows, when it failed 4083; otherwise it stays.
int32_t Menu_Back(uint32_t event);
// The filter before the engine: every event passes.
uint32_t Menu_EventAllowed(uint32_t event);
// Hands an event to the engine; -1 or 255 for "nothing next", else the next event.
int32_t Menu_HandleEvent(uint8_t screen, uint32_t event);
// The enter code of a navigation event (kEnterNoNavigation none, or the events kEventRedraw,
// kEventAccessGranted and kEventPidDown for the screen on top), with the screen id on top
// afterwards.
int32_t Menu_TranslateEvent(uint8_t top, uint32_t event, uint8_t* newTop);

// ---- Services of the engine ----------------------------------------------------------------------

// Index of the first equal entry, or count when the id is absent.
uint32_t Menu_IndexOfId(const uint32_t* table, uint32_t count, uint32_t id);
// The record of the pending item in one of g_EditorIdTable's tables (its count when absent).
uint32_t Menu_PendingRecord(uint32_t table);
// Channel field of a position (0x1ff022: the current channel); 2 and above mean no channel.
uint32_t Menu_ChannelOfPosition(uint32_t position);
// The current channel, channel A when none is.
uint8_t Menu_CurrentChannel();
// The sensor kind measured with on a channel (255 for no channel).
uint32_t Menu_ActiveKind(uint32_t channel);
// The measurement screen owns the display: channel A, or channel B with plug-and-measure idle.
uint32_t Menu_HomeOwnsDisplay();
// Stops the blinking field.
void Menu_BlinkOff();
// Rows 11 and 12 cleared for a screen of fixed texts, the blinking field stopped first (it would
// otherwise be drawn back over them).
void Menu_ClearStatusRows();
// The display language as the index of the per-language layout tables (0 for a value that is no
// language).
uint32_t Menu_Language();
// The step a key gives a value: +1 for UP and its repeat, -1 for INFO and its repeat, 0 for any
// other event.
int32_t Menu_KeyStep(uint32_t event);
// The leave marker of the pages: channel 0's mark, in the last cell of row 12 from this column.
constexpr uint32_t kLeaveMarkChannel = 0;
constexpr uint32_t kLeaveMarkColumn = 138;
uint32_t Menu_MessagesToShow();
uint32_t Menu_IsCalPosition();
uint32_t Menu_PidManualOnHome();
// 0 starts the timed output hold; any other value ends it.
void Menu_SetTimedHold(uint32_t arg);
void Menu_ResetToDefaults();
// The device tag: 8 characters packed six bits each at store offset 185, and an ending zero.
extern char g_MenuTagText[9];
void Menu_LoadPackedTag();
void Menu_CheckPolarizationHold();
