// Screen stack and menu engine: the stack of screen ids, the translation of events into stack
// changes, the dispatch of draw and key operations, the one-second block and the menu tree.
#pragma once
#include <cstdint>

constexpr uint32_t kMenuStackSize = 32;

// Screen ids the engine itself names.
constexpr uint8_t kMenuScreenHome = 0;
constexpr uint8_t kMenuScreenSelectCal = 1;
constexpr uint8_t kMenuScreenTreeMenu = 2;
constexpr uint8_t kMenuScreenNumEdit = 3;
constexpr uint8_t kMenuScreenTreeInfo = 4;
constexpr uint8_t kMenuScreenLineSetup = 6;
constexpr uint8_t kMenuScreenParamPage = 7;
constexpr uint8_t kMenuScreenValuePage = 8;
constexpr uint8_t kMenuScreenCalNotDone = 9;
constexpr uint8_t kMenuScreenDisplayTest = 14;
constexpr uint8_t kMenuScreenMessages = 25;
constexpr uint8_t kMenuScreenCountdown = 54;
constexpr uint8_t kMenuScreenHoldCountdown = 58;
constexpr uint8_t kMenuScreenConfigWarning = 59;
constexpr uint32_t kMenuScreenCount = 62;

// Software timer of the countdown screens (seconds).
constexpr int kTimerCountdown = 16;

// Events and results the engine handles by number.
constexpr uint32_t kMenuEventCal = 1;
constexpr uint32_t kMenuEventMenu = 2;
constexpr uint32_t kMenuEventInfo = 3;
constexpr uint32_t kMenuEventEnter = 4;
constexpr uint32_t kMenuEventUp = 5;
constexpr uint32_t kMenuEventDown = 6;
constexpr uint32_t kMenuEventLeft = 7;
constexpr uint32_t kMenuEventRight = 8;
constexpr uint32_t kMenuEventSecond = 10;
constexpr uint32_t kMenuEventTimeout = 11;
constexpr uint32_t kMenuEventHomeEnter = 33;
constexpr uint32_t kMenuEventPidDown = 53;
constexpr uint32_t kMenuEventSaveDone = 54;
constexpr uint32_t kMenuEventRedraw = 62;
constexpr uint32_t kMenuEventAccessGranted = 63;
constexpr uint32_t kMenuEventUpRepeat = 0x82;
constexpr uint32_t kMenuEventDownRepeat = 0x83;
constexpr uint32_t kMenuEventEscape = 172;
// The translation's "not a navigation event": the screen on top gets the event.
constexpr int32_t kMenuNoNavigation = 255;

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
// Calibration type (0 one point, 1 two points, 2 process) and option chosen on the pages.
extern uint8_t g_ChosenMode;
extern uint8_t g_ChosenOption;
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
// 0 numeric-editor fields, 1 value pages, 2 parameter pages.
extern const MenuIdTable g_EditorIdTable[3];

// ---- Stack and dispatch ----------------------------------------------------------------------

// Only the measurement screen on the stack.
void Menu_ResetStack();
uint8_t Menu_TopScreen();
// The filter before the engine: every event passes.
uint32_t Menu_EventAllowed(uint32_t event);
// Hands an event to the engine; -1 or 255 for "nothing next", else the next event.
int32_t Menu_HandleEvent(uint8_t screen, uint32_t event);
// The enter code of a navigation event (255 none, 62 redraw, 63 access granted, 53 PID key),
// with the screen id on top afterwards.
int32_t Menu_TranslateEvent(uint8_t top, uint32_t event, uint8_t* newTop);
// Runs the draw operation of an enter code.
int32_t Menu_EnterScreen(uint32_t code);
// The key operation of a screen, then for event 10 the one-second block.
int32_t Menu_ScreenEvent(uint8_t screen, uint32_t event);
// Index of the first equal entry, or count when the id is absent.
uint32_t Menu_IndexOfId(const uint32_t* table, uint32_t count, uint32_t id);
// Channel field of a position (0x1ff022: the current channel); 2 and above mean no channel.
uint32_t Menu_ChannelOfPosition(uint32_t position);
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
void Menu_RefreshSetPointMessages();
void Menu_TickCleaning();
void Menu_TickAnalogOutputs();
void Menu_TickSetPoints();
void Menu_TickRelays();
void Menu_TickPid();
void Menu_TickClock();
// The fixed part of the one-second block, in the order it runs: the optical LED sync, output
// hold, cleaning, analog outputs, hardware hook, set points, alarm relay, relays, PID, clock,
// hardware hook. The measurement-screen refresh and the diagnostic refresh run before it, the
// message page and the sensor diagnostics after it.
typedef void (*MenuPeriodicTask)();
constexpr uint32_t kMenuPeriodicTaskCount = 11;
extern const MenuPeriodicTask g_MenuPeriodicTasks[kMenuPeriodicTaskCount];
// Key operation of the "Re-install sensor" countdown (screen 54).
int32_t Screen_CountdownKey(uint32_t event);

// ---- Menu tree -------------------------------------------------------------------------------

constexpr uint32_t kMenuNodeCount = 15;
constexpr uint32_t kMenuMaxItems = 11;
constexpr uint8_t kMenuLeaf = 200;

struct MenuNode {
    uint8_t id;
    uint8_t parent;
    uint8_t child[kMenuMaxItems];
};
struct MenuPage {
    uint8_t textGroup;
    uint32_t baseId;
};
extern const MenuNode g_MenuNodes[kMenuNodeCount];
extern const MenuPage g_MenuPages[kMenuNodeCount];

// The current node and the item shown.
struct MenuCursor {
    const MenuNode* node;
    const MenuPage* page;
};
extern MenuCursor g_MenuCurNode;
// Node in which the last tree choice was made (0 after the measurement screen was entered).
extern uint8_t g_MenuLastNode;
// Items of "VDX Diagnostics" that channel B's sensor has (0 = passed over).
extern uint8_t g_MenuNode13Available[6];

void Menu_EnterNode(uint32_t node);
void Menu_RefreshNode();
void Menu_BuildNodeLines(uint32_t group, uint32_t item);
void Menu_DrawNode(uint32_t state);
uint32_t Menu_ItemCount();
uint32_t Menu_ItemUnlocked(uint32_t section);
uint32_t Menu_ItemAllowed(uint32_t section);
uint32_t Menu_ItemNeedsPassword();
// Key operation of screens 2 and 4.
int32_t Menu_TreeKey(uint32_t event);
// Entering from the measurement screen: no page opened yet.
void Menu_TreeBegin();
uint8_t Menu_TreeCursor();
uint8_t Menu_TreeLineState();

// ---- Manual channel hold (selection screen module) -------------------------------------------

struct ManualHold {
    uint8_t channel;
    uint8_t active;
    uint32_t item;
};
extern ManualHold g_ManualHold;
void Menu_EndChannelHold();
void Menu_EndChannelHoldIfActive();
uint32_t Menu_IsChannelHeld();
