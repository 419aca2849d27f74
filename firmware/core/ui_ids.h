// The numbers the user interface passes around, by name: key modes (the rows of the
// key-to-event table), events, screen ids, enter codes and action codes. They live in the core
// because the key table and the main loop use them, and the pages of every subsystem return them.
#pragma once
#include <cstdint>

// ---- Key modes: the row of the key-to-event table that g_DisplayMode selects -------------------

constexpr uint8_t kKeyModeHome = 0;          // measurement screen: MENU 2, CAL 1, UP 5, INFO 3, ENTER 33
constexpr uint8_t kKeyModeMenu = 1;          // menus and pages: MENU 7, CAL 8, UP 5, INFO 6, ENTER 4
constexpr uint8_t kKeyModeLineSetupAb = 2;   // display-line setup, lines a and b: ENTER 14
constexpr uint8_t kKeyModeLineSetupCd = 3;   // display-line setup, lines c and d: ENTER 15
constexpr uint8_t kKeyModeSpare = 4;         // no screen selects it: ENTER 16, the other keys nothing
constexpr uint8_t kKeyModeMessage = 5;       // a message: only ENTER counts, as the time-out event 11
constexpr uint8_t kKeyModeBusy = 6;          // a save or board request under way: no key counts
constexpr uint8_t kKeyModeKeypadTest = 7;    // the keypad test: MENU 18, CAL 19, UP 20, INFO 21, ENTER 4
constexpr uint8_t kKeyModeErrorShown = 8;    // an error text on a page: ENTER 62 redraws the page
constexpr uint8_t kKeyModeEnterOnly = 9;     // a message: only ENTER reaches the screen, as 4
constexpr uint8_t kKeyModeCount = 10;

// ---- Events below the action ids -------------------------------------------------------------

constexpr uint32_t kEventCal = 1;              // CAL on the measurement screen
constexpr uint32_t kEventMenu = 2;             // MENU on the measurement screen
constexpr uint32_t kEventInfo = 3;             // INFO on the measurement screen
constexpr uint32_t kEventEnter = 4;
constexpr uint32_t kEventUp = 5;
constexpr uint32_t kEventDown = 6;             // INFO on a page
constexpr uint32_t kEventLeft = 7;             // MENU on a page
constexpr uint32_t kEventRight = 8;            // CAL on a page
constexpr uint32_t kEventSecond = 10;          // the one-second tick
constexpr uint32_t kEventHome = 11;            // time-out: back to the measurement screen
constexpr uint32_t kEventEditorSecond = 12;    // before kEventSecond while the numeric editor is on top
constexpr uint32_t kEventLineSetupAbEnter = 14;
constexpr uint32_t kEventLineSetupCdEnter = 15;
constexpr uint32_t kEventSpareEnter = 16;
constexpr uint32_t kEventKeyTestMenu = 18;     // the keypad test's MENU, CAL, UP and INFO
constexpr uint32_t kEventKeyTestCal = 19;
constexpr uint32_t kEventKeyTestUp = 20;
constexpr uint32_t kEventKeyTestInfo = 21;
constexpr uint32_t kEventHomeEnter = 33;       // ENTER on the measurement screen
constexpr uint32_t kEventPidDown = 53;         // INFO on the measurement screen with a manual PID
constexpr uint32_t kEventSaveDone = 54;        // a save the main loop waited for has finished
constexpr uint32_t kEventRedraw = 62;          // the screen on top redraws itself
constexpr uint32_t kEventAccessGranted = 63;   // the access code was right: enter the chosen item
constexpr uint32_t kEventUpRepeat = 0x82;      // UP held
constexpr uint32_t kEventDownRepeat = 0x83;    // INFO held
constexpr uint32_t kEventEscape = 172;         // the panel's ESC button
constexpr uint32_t kEventCalStepDone = 241;    // a calibration step was taken
constexpr uint32_t kEventCalStep = 246;        // take a calibration step, then the next selection
constexpr uint32_t kEventNone = 255;           // the key table's "nothing"; never handled

// ---- Action ids, 4080 to 4351: what a screen's key operation asks of the menu engine -----------

constexpr uint32_t kActionFirst = 4080;
constexpr uint32_t kActionLast = 4351;
constexpr uint32_t kActionBackToFirst = 4080;       // to the first screen above home, redrawn
constexpr uint32_t kActionPop = 4081;               // pop; the screen below gets the event
constexpr uint32_t kActionRedraw = 4082;
constexpr uint32_t kActionCalNotDone = 4083;
constexpr uint32_t kActionAskSave = 4084;           // the "Save Changes" question (selection mode 3)
constexpr uint32_t kActionBack = 4085;              // back one screen (over a hold countdown)
constexpr uint32_t kActionBackOverList = 4086;      // back one screen (over a list screen)
constexpr uint32_t kActionPopRedraw = 4088;
constexpr uint32_t kActionLineSetup = 4091;
constexpr uint32_t kActionAccessGranted = 4093;
constexpr uint32_t kActionLinComp = 4097;
constexpr uint32_t kActionEditPosition = 4118;      // the numeric editor on the position
constexpr uint32_t kActionCalTypePage = 4119;
constexpr uint32_t kActionClearMessageStore = 4139;
constexpr uint32_t kActionFactoryDefaults = 4141;
constexpr uint32_t kActionReidentifySensors = 4142;
constexpr uint32_t kActionResetOutputCal = 4143;
constexpr uint32_t kActionPidLimits1 = 4149;
constexpr uint32_t kActionPidLimits2 = 4150;
constexpr uint32_t kActionPidUnchanged = 4155;      // the PID manual key changed nothing
constexpr uint32_t kActionList = 4157;
constexpr uint32_t kActionCalEdit2 = 4160;
constexpr uint32_t kActionPlugQuestion = 4166;      // plug-and-measure waits for a yes or no
constexpr uint32_t kActionPlugYes = 4169;
constexpr uint32_t kActionPlugNo = 4170;
constexpr uint32_t kActionList2 = 4177;
constexpr uint32_t kActionParamPage4179 = 4179;     // the parameter page of id 4179 (0x1053)
constexpr uint32_t kActionBackToSelection = 4180;
constexpr uint32_t kActionCleanPage = 4196;         // parameter page 0xb00004 in place of the top
constexpr uint32_t kActionReinstallCountdown = 4198;
constexpr uint32_t kActionSensorMemoryChanged = 4209;
constexpr uint32_t kActionPlugTarget = 4214;        // plug-and-measure: make state 1 the target
constexpr uint32_t kActionHoldCountdown = 4215;
constexpr uint32_t kActionWaitForBoard = 4234;
constexpr uint32_t kActionSelectMode2 = 4236;
constexpr uint32_t kActionOutputSetupPage = 4243;   // the parameter page of id 4243 (0x1093)
constexpr uint32_t kActionWaitThenPage = 4248;      // "Please wait...", then value page 0x1082

// ---- Screen ids: the entries of the screen stack -------------------------------------------------

constexpr uint8_t kScreenHome = 0;
constexpr uint8_t kScreenSelectCal = 1;          // selection screen, mode 0
constexpr uint8_t kScreenTreeMenu = 2;
constexpr uint8_t kScreenNumericEditor = 3;
constexpr uint8_t kScreenTreeInfo = 4;
constexpr uint8_t kScreenSelectMode1 = 5;
constexpr uint8_t kScreenLineSetup = 6;
constexpr uint8_t kScreenParamPage = 7;
constexpr uint8_t kScreenValuePage = 8;
constexpr uint8_t kScreenCalNotDone = 9;
constexpr uint8_t kScreenSelectMode2 = 10;
constexpr uint8_t kScreenSelectMode3 = 11;
constexpr uint8_t kScreenTempSource = 12;
constexpr uint8_t kScreenVerifyCal = 13;
constexpr uint8_t kScreenDisplayTest = 14;
constexpr uint8_t kScreenMemoryTest = 15;
constexpr uint8_t kScreenKeypadTest = 16;
constexpr uint8_t kScreenDigitalInputs = 18;
constexpr uint8_t kScreenLockout = 19;
constexpr uint8_t kScreenCalEdit = 20;
constexpr uint8_t kScreenRevision = 21;
constexpr uint8_t kScreenLinComp = 22;
constexpr uint8_t kScreenAoutHoldValue = 23;
constexpr uint8_t kScreenMessages = 25;
constexpr uint8_t kScreenReadOc = 28;
constexpr uint8_t kScreenReadAnalogOutputs = 29;
constexpr uint8_t kScreenMeterCalFactors = 30;
constexpr uint8_t kScreenGlassRes = 31;
constexpr uint8_t kScreenRefRes = 32;
constexpr uint8_t kScreenCalHistory = 33;
constexpr uint8_t kScreenPidMode = 34;
constexpr uint8_t kScreenPidTune = 35;
constexpr uint8_t kScreenPidLimits1 = 36;
constexpr uint8_t kScreenPidLimits2 = 37;
constexpr uint8_t kScreenCalCompensation = 38;
constexpr uint8_t kScreenList = 39;
constexpr uint8_t kScreenCalEdit2 = 40;
constexpr uint8_t kScreenSensorInfo = 42;
constexpr uint8_t kScreenCalData = 43;
constexpr uint8_t kScreenCipCycles = 44;
constexpr uint8_t kScreenSipCycles = 45;
constexpr uint8_t kScreenAutoclaveCycles = 46;
constexpr uint8_t kScreenSensorTimers = 47;
constexpr uint8_t kScreenMaxTemperature = 48;
constexpr uint8_t kScreenCycleLimitSetup = 49;
constexpr uint8_t kScreenReadAnalogInputs = 51;
constexpr uint8_t kScreenList2 = 52;
constexpr uint8_t kScreenOpticalErrors = 53;
constexpr uint8_t kScreenReinstallCountdown = 54;
constexpr uint8_t kScreenHoldCountdown = 58;
constexpr uint8_t kScreenConfigWarning = 59;
constexpr uint8_t kScreenPnaGlassRes = 60;
constexpr uint8_t kScreenWaitForBoard = 61;
constexpr uint32_t kScreenCount = 62;
// What the stack gives below its bottom entry: no screen.
constexpr uint8_t kScreenNone = 255;

// ---- Enter codes: what the translation returns to have a screen's draw operation run ------------

constexpr int32_t kEnterHome = 0;
constexpr int32_t kEnterSelectCal = 1;
constexpr int32_t kEnterTreeMenu = 2;
constexpr int32_t kEnterTreeInfo = 3;
constexpr int32_t kEnterNumericEditor = 5;
constexpr int32_t kEnterSelectMode1 = 6;
constexpr int32_t kEnterLineSetup = 7;
constexpr int32_t kEnterParamPage = 9;
constexpr int32_t kEnterValuePage = 10;
constexpr int32_t kEnterCalNotDone = 11;
constexpr int32_t kEnterSelectMode2 = 12;
constexpr int32_t kEnterSelectMode3 = 13;
constexpr int32_t kEnterTempSource = 14;
constexpr int32_t kEnterVerifyCal = 15;
constexpr int32_t kEnterDisplayTest = 16;
constexpr int32_t kEnterMemoryTest = 17;
constexpr int32_t kEnterKeypadTest = 18;
constexpr int32_t kEnterDigitalInputs = 20;
constexpr int32_t kEnterLockout = 21;
constexpr int32_t kEnterCalEdit = 22;
constexpr int32_t kEnterRevision = 23;
constexpr int32_t kEnterLinComp = 24;
constexpr int32_t kEnterAoutHoldValue = 25;
constexpr int32_t kEnterMessages = 27;
constexpr int32_t kEnterReadOc = 28;
constexpr int32_t kEnterReadAnalogOutputs = 29;
constexpr int32_t kEnterMeterCalFactors = 30;
constexpr int32_t kEnterGlassRes = 31;
constexpr int32_t kEnterRefRes = 32;
constexpr int32_t kEnterCalHistory = 33;
constexpr int32_t kEnterPidMode = 34;
constexpr int32_t kEnterPidTune = 35;
constexpr int32_t kEnterPidLimits1 = 36;
constexpr int32_t kEnterPidLimits2 = 37;
constexpr int32_t kEnterCalCompensation = 38;
constexpr int32_t kEnterList = 39;
constexpr int32_t kEnterCalEdit2 = 40;
constexpr int32_t kEnterSensorInfo = 42;
constexpr int32_t kEnterCalData = 43;
constexpr int32_t kEnterCipCycles = 44;
constexpr int32_t kEnterSipCycles = 45;
constexpr int32_t kEnterAutoclaveCycles = 46;
constexpr int32_t kEnterSensorTimers = 47;
constexpr int32_t kEnterMaxTemperature = 48;
constexpr int32_t kEnterCycleLimitSetup = 49;
constexpr int32_t kEnterReadAnalogInputs = 51;
constexpr int32_t kEnterList2 = 52;
constexpr int32_t kEnterParamPageRedraw = 54;   // the parameter page of the pending id, in mode 1
constexpr int32_t kEnterReinstallCountdown = 55;
constexpr int32_t kEnterHoldCountdown = 57;
constexpr int32_t kEnterConfigWarning = 58;
constexpr int32_t kEnterPnaGlassRes = 59;
constexpr int32_t kEnterWaitForBoard = 60;
constexpr int32_t kEnterOpticalErrors = 61;
constexpr uint32_t kEnterCount = 62;
// The translation's other results: nothing to draw (it did the work itself), and "not a
// navigation event" (the screen on top gets the event).
constexpr int32_t kEnterNothing = -1;
constexpr int32_t kEnterNoNavigation = 255;
