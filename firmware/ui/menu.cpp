// Screen stack and menu engine: every event of the main loop passes through here and becomes a
// change of the screen stack with an enter code, or goes to the key operation of the screen on top.
#include "ui/menu.h"

#include "core/eeprom.h"
#include "core/fw_hook.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_diag_opt.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_refusal.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "outputs/pid.h"
#include "ui/cal_view.h"
#include "ui/info_screens.h"
#include "ui/menu_screens.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/select_screen.h"
#include "ui/value_page.h"

uint8_t g_MenuStack[kMenuStackSize];
uint32_t g_MenuDepth = 1;
uint32_t g_PendingMenuItem;
uint32_t g_MenuPosition;
uint8_t g_MenuPositionPending;
uint32_t g_MenuLastAction;
uint8_t g_CalPoint;
uint8_t g_EditFlags[8];
uint8_t g_PeriodicTasksSuspended;
uint8_t g_PageQuantityAbove2;
char g_MenuTagText[9];

// Where the packed device tag is stored: 8 six-bit codes in 6 bytes.
static constexpr uint32_t kStoreDeviceTag = 185;
static constexpr uint32_t kDeviceTagBytes = 6;
static constexpr StoreRange kStoreRanges[] = {{kStoreDeviceTag, kDeviceTagBytes}};
const StoreMap g_MenuStoreMap = {"device tag", kStoreRanges, 1};

// Sensor kinds from this value up cannot be measured with.
static constexpr uint32_t kKindUnusable = 15;
// g_MenuLastAction for the CAL key.
static constexpr uint32_t kLastActionCalKey = kEventCal;

// Pages the translation opens itself, by the ids of the page tables.
static constexpr uint32_t kPagePhCalType = 0x1011;
static constexpr uint32_t kPageTempCalType = 0x1012;
static constexpr uint32_t kPageCondCalType = 0x1013;
static constexpr uint32_t kPageO2CalType = 0x1014;
static constexpr uint32_t kPageChannelSelect = 0x102c;
static constexpr uint32_t kPageO2OptCalType = 0x1050;
static constexpr uint32_t kPageCo2CalType = 0x1062;
static constexpr uint32_t kPageOrpCalType = 0x108b;

// ---- Id tables -------------------------------------------------------------------------------

// Numeric-editor fields by calibration position, looked up without the position's channel digit.
// Kept ten to a row as laid out: the place of an id is its record number.
// clang-format off
static const uint32_t kNumFieldIds[kNumFieldIdCount] = {
    0x100010, 0x100011, 0x100012, 0x100013, 0x100014, 0x100015, 0x100016, 0x100017, 0x100019, 0x10001a,
    0x1ff020, 0x1ff021, 0x1fffff, 0x1fffff, 0x100000, 0x100001, 0x100003, 0x100002, 0x100004, 0,
    0x100007, 0x10000b, 0x10000c, 0x10000d, 0x10000f, 0x10000a, 0x1ff022, 0x100018, 0,        0,
};
// clang-format on

// Value pages by the id that opens them; 0 = reached only from another page.
// Kept eleven to a row as laid out: the place of an id is its record number.
// clang-format off
static const uint32_t kValuePageIds[kValuePageIdCount] = {
    0x1025, 0x1029, 0x1019,   0x100c, 0x1008,   0xb00002, 0x100e, 0,        0x500001, 0x1027, 0,
    0xa00007, 0x200020, 0xffe, 0xfff, 0x100a,   0x1024,   0x1007, 0x1018,   0x900003, 0xc00002, 0,
    0,        0,        0x1032, 0x1034, 0x1033, 0x1041, 0x500004, 0x104c, 0x104d,   0x600000, 0,
    0,        0x1055,   0x1065, 0,      0x1072, 0,        0x700003, 0x1081, 0x1082, 0x1083,   0x1084,
    0x1085,   0x700005, 0x1086, 0x1087, 0x1088, 0x1089,   0xff7,    0x1096,
};
// clang-format on

// Parameter pages by the id that opens them; 0 = reached only by chaining, 0xff = never opened.
// Kept ten to a row as laid out: the place of an id is its page number.
// clang-format off
static const uint32_t kParamPageIds[kParamPageIdCount] = {
    0x400002, 0x1000,   0x1023,   0xffc,    0x900000, 0x1026,   0x900001, 0x700006, 0,        0xb00000,
    0,        0x700001, 0,        0xb00001, 0x500003, 0x500000, 0xa00005, 0,        0x1042,   0x1002,
    0x400003, 0x800001, 0x1093,   0,        0,        0,        0x1ff030, 0x400001, 0x100b,   0x108b,
    0x800000, 0x1011,   0x1012,   0x1013,   0x1014,   0x1015,   0,        0x103f,   0x1020,   0x1028,
    0xff,     0xff,     0x900002, 0xe00003, 0,        0,        0x1030,   0x1031,   0,        0,
    0x1039,   0x103a,   0x1043,   0x1044,   0x1045,   0x600000, 0,        0,        0x600001, 0x600002,
    0x600003, 0x102c,   0,        0x600004, 0,        0,        0x104e,   0,        0x1050,   0x1053,
    0,        0x1062,   0x1063,   0xb00004, 0x1068,   0x1069,   0,        0x700004, 0x1073,   0x1074,
    0x1080,   0xd00004, 0x600005, 0x400006, 0,        0x1094,   0x1095,   0x1097,
};
// clang-format on

const MenuIdTable g_EditorIdTable[3] = {
    {kNumFieldIds, kNumFieldIdCount},
    {kValuePageIds, kValuePageIdCount},
    {kParamPageIds, kParamPageIdCount},
};

// Where the measurement screen's keys lead, by the key's event; entry 5 serves the Messages page
// that ENTER opens while messages are shown.
struct ScreenTarget {
    uint8_t screen;
    int32_t enterCode;
};
static const ScreenTarget kHomeKeyTargets[6] = {
    {kScreenHome, kEnterHome},         {kScreenSelectCal, kEnterSelectCal}, {kScreenTreeMenu, kEnterTreeMenu},
    {kScreenTreeInfo, kEnterTreeInfo}, {kScreenHome, kEnterHome},           {kScreenMessages, kEnterMessages},
};
static constexpr uint32_t kHomeKeyMessages = 5;

// Events whose whole translation is a push: the screen pushed and the enter code that draws it.
struct PushTarget {
    uint32_t event;
    uint8_t screen;
    int32_t enterCode;
};
static const PushTarget kPushes[] = {
    {kActionAskSave, kScreenSelectMode3, kEnterSelectMode3},
    {kActionLineSetup, kScreenLineSetup, kEnterLineSetup},
    {kActionLinComp, kScreenLinComp, kEnterLinComp},
    {kActionPidLimits1, kScreenPidLimits1, kEnterPidLimits1},
    {kActionPidLimits2, kScreenPidLimits2, kEnterPidLimits2},
    {kActionList, kScreenList, kEnterList},
    {kActionCalEdit2, kScreenCalEdit2, kEnterCalEdit2},
    {kActionList2, kScreenList2, kEnterList2},
    {kActionHoldCountdown, kScreenHoldCountdown, kEnterHoldCountdown},
    {kActionWaitForBoard, kScreenWaitForBoard, kEnterWaitForBoard},
    {kActionSelectMode2, kScreenSelectMode2, kEnterSelectMode2},
    {kItemQuickSetup, kScreenConfigWarning, kEnterConfigWarning},
    {kItemMessages, kScreenMessages, kEnterMessages},
    {kItemSensorInfo, kScreenSensorInfo, kEnterSensorInfo},
    {kItemRevision, kScreenRevision, kEnterRevision},
    {kItemServiceRevision, kScreenRevision, kEnterRevision},
    {kItemLockout, kScreenLockout, kEnterLockout},
    {kItemTempSource, kScreenTempSource, kEnterTempSource},
    {kItemOutputHoldValue, kScreenAoutHoldValue, kEnterAoutHoldValue},
    {kItemDigitalInputs, kScreenDigitalInputs, kEnterDigitalInputs},
    {kItemDisplayTest, kScreenDisplayTest, kEnterDisplayTest},
    {kItemKeypadTest, kScreenKeypadTest, kEnterKeypadTest},
    {kItemMemoryTest, kScreenMemoryTest, kEnterMemoryTest},
    {kItemReadOc, kScreenReadOc, kEnterReadOc},
    {kItemReadAnalogOutputs, kScreenReadAnalogOutputs, kEnterReadAnalogOutputs},
    {kItemReadAnalogInputs, kScreenReadAnalogInputs, kEnterReadAnalogInputs},
    {kItemOpticalErrors, kScreenOpticalErrors, kEnterOpticalErrors},
    {kItemMeterCalFactors, kScreenMeterCalFactors, kEnterMeterCalFactors},
    {kItemGlassRes, kScreenGlassRes, kEnterGlassRes},
    {kItemRefRes, kScreenRefRes, kEnterRefRes},
    {kItemPnaGlassRes, kScreenPnaGlassRes, kEnterPnaGlassRes},
    {kItemPidTune, kScreenPidTune, kEnterPidTune},
    {kItemPidMode, kScreenPidMode, kEnterPidMode},
    {kItemCipCycles, kScreenCipCycles, kEnterCipCycles},
    {kItemSipCycles, kScreenSipCycles, kEnterSipCycles},
    {kItemAutoclaveCycles, kScreenAutoclaveCycles, kEnterAutoclaveCycles},
    {kItemSensorTimers, kScreenSensorTimers, kEnterSensorTimers},
    {kItemMaxTemperature, kScreenMaxTemperature, kEnterMaxTemperature},
};

// ---- Stack -----------------------------------------------------------------------------------

static int32_t GoHome() {
    g_MenuStack[0] = kScreenHome;
    g_MenuDepth = 1;
    Menu_BlinkOff();
    return kEnterHome;
}

// A push beyond the stack's room goes home rather than writing past it.
static int32_t Push(uint8_t screen, int32_t code) {
    if (g_MenuDepth >= kMenuStackSize) return GoHome();
    g_MenuStack[g_MenuDepth++] = screen;
    return code;
}

// Pops n entries. Popping down to the measurement screen or below goes home instead, so the stack
// keeps its bottom entry and the measurement screen is drawn anew.
static bool Pop(uint32_t n) {
    if (g_MenuDepth <= n + 1) return false;
    g_MenuDepth -= n;
    return true;
}

// The entry under the top; kScreenNone when the top is the only entry.
static uint8_t EntryUnderTop() {
    return g_MenuDepth >= 2 && g_MenuDepth <= kMenuStackSize ? g_MenuStack[g_MenuDepth - 2] : kScreenNone;
}

// Replaces the top with a screen; at depth 1 the measurement screen stays and the screen is pushed.
static int32_t ReplaceTop(uint8_t screen, int32_t code) {
    if (g_MenuDepth < 2) return Push(screen, code);
    g_MenuStack[g_MenuDepth - 1] = screen;
    return code;
}

// The push of a pure-push event, or kEnterNoNavigation when the event is none of them.
static int32_t PushOf(uint32_t event) {
    for (const PushTarget& target : kPushes) {
        if (target.event == event) return Push(target.screen, target.enterCode);
    }
    return kEnterNoNavigation;
}

// ---- Small helpers ---------------------------------------------------------------------------

// Special ids keep their channel field; every other position loses it.
static uint32_t BaseOfPosition(uint32_t position) {
    if (position == kMeasIdOutput1 || position == kMeasIdOutput2 || position == kMeasIdAnalogInput) return position;
    return position & 0xf00fff;
}

static uint32_t InTable(const uint32_t* table, uint32_t count, uint32_t id) {
    return Menu_IndexOfId(table, count, id) < count ? 1 : 0;
}

static void ShowCalibrationSuccessful() { Lcd_DrawTextRef(kRowMessage, 0, kTextCalibrationSuccessful); }

// A save that failed says so and waits for ENTER, which leads home.
static void ShowSaveFailed() {
    Lcd_ClearSpan(kRowMessage, 0, kLcdColumns);
    Lcd_DrawText(kRowMessage, 36, "Save Failed!");
    g_DisplayMode = kKeyModeMessage;
}

// The result of a save replaces what the question screen showed.
static void ShowSaveResult(bool ok) {
    if (ok) {
        Menu_ClearStatusRows();
        ShowCalibrationSuccessful();
    } else {
        ShowSaveFailed();
    }
}

// The result of saving a calibration from its own screen takes row 12 alone: row 11 keeps what
// that screen shows.
static void ShowOnMessageRow(TextRef text) {
    Lcd_ClearSpan(kRowMessage, 0, kLcdColumns);
    Lcd_DrawTextRef(kRowMessage, 0, text);
}

// "Please wait..." while a save or a sensor-board request is under way; no key counts.
static void ShowBusy() {
    Hold_ShowPleaseWait();
    Menu_BlinkOff();
    g_DisplayMode = kKeyModeBusy;
}

static int32_t OpenValuePage(uint32_t id) {
    g_PendingMenuItem = id;
    if (id == kItemPasswords) ValuePage_ClearPasswordState();
    return Push(kScreenValuePage, kEnterValuePage);
}

static int32_t OpenParamPage(uint32_t id) {
    g_PendingMenuItem = id;
    if (id == kItemCalUnlockPage) {
        g_MenuPosition = kItemCalUnlockPage;
        Screen_EndTimedHold();
    }
    return Push(kScreenParamPage, kEnterParamPage);
}

// A parameter page chosen by the translation itself.
static int32_t OpenPage(uint32_t id) {
    g_PendingMenuItem = id;
    return Push(kScreenParamPage, kEnterParamPage);
}

static uint32_t CalStep() {
    uint32_t status = 0;
    Cal_StepById(g_MenuPosition, g_CalPoint + 1u, g_ChosenOption, &status);
    return status;
}

// ---- Services --------------------------------------------------------------------------------

int32_t Menu_Back(uint32_t) {
    uint8_t result = g_LinkRequestResult;
    if (result != 1 && result != 0) return -1;
    if (!Pop(1)) Menu_ResetStack();
    return static_cast<int32_t>(result == 1 ? kEventCalStepDone : kActionCalNotDone);
}

void Menu_ResetStack() {
    g_MenuStack[0] = kScreenHome;
    g_MenuDepth = 1;
}

void Menu_ResetState() {
    for (uint8_t& entry : g_MenuStack) entry = kScreenHome;
    g_MenuDepth = 1;
    g_PendingMenuItem = 0;
    g_MenuPosition = 0;
    g_MenuPositionPending = 0;
    g_MenuLastAction = 0;
    g_CalPoint = 0;
    g_ChosenMode = 0;
    g_ChosenOption = 0;
    for (uint8_t& flag : g_EditFlags) flag = 0;
    g_PeriodicTasksSuspended = 0;
    g_PageQuantityAbove2 = 0;
    for (char& c : g_MenuTagText) c = '\0';
}

uint8_t Menu_TopScreen() {
    if (g_MenuDepth < 1 || g_MenuDepth > kMenuStackSize) return kScreenHome;
    return g_MenuStack[g_MenuDepth - 1];
}

uint32_t Menu_EventAllowed(uint32_t) { return 1; }

uint32_t Menu_IndexOfId(const uint32_t* table, uint32_t count, uint32_t id) {
    for (uint32_t i = 0; i < count; ++i) {
        if (table[i] == id) return i;
    }
    return count;
}

uint32_t Menu_PendingRecord(uint32_t table) {
    if (table > kIdTableParamPages) return 0;
    const MenuIdTable& ids = g_EditorIdTable[table];
    return Menu_IndexOfId(ids.ids, ids.count, g_PendingMenuItem);
}

uint32_t Menu_ChannelOfPosition(uint32_t position) {
    if (position == kMeasIdAnalogInput) return Menu_CurrentChannel();
    return (position & 0xf000) >> 12;
}

uint8_t Menu_CurrentChannel() {
    uint8_t channel = Chan_GetCurrentChannel();
    return channel < 2 ? channel : 0;
}

uint32_t Menu_ActiveKind(uint32_t channel) { return channel < 2 ? g_SensorKindActive[channel] : kKindNone; }

uint32_t Menu_IsPositionPending() { return g_MenuPositionPending != 0 ? 1 : 0; }

uint32_t Menu_HomeOwnsDisplay() { return Menu_CurrentChannel() == 0 || Vdx_GetPlugState() == kPlugIdle ? 1 : 0; }

void Menu_BlinkOff() { g_BlinkField.active = 0; }

void Menu_ClearStatusRows() {
    Menu_BlinkOff();
    Lcd_FillStatusRows(0);
}

uint32_t Menu_Language() { return g_Language < kLanguages ? g_Language : 0; }

int32_t Menu_KeyStep(uint32_t event) {
    if (event == kEventUp || event == kEventUpRepeat) return 1;
    if (event == kEventDown || event == kEventDownRepeat) return -1;
    return 0;
}

uint32_t Menu_MessagesToShow() { return g_MsgActiveCount > 0 && Settings_GetErrorDisplay() == 1 ? 1 : 0; }

uint32_t Menu_IsCalPosition() {
    uint32_t low = g_MenuPosition & 0xff;
    if (low >= 16 && low <= 26) return 1;
    return g_MenuPosition == kMeasIdOutput1 || g_MenuPosition == kMeasIdOutput2 || g_MenuPosition == kMeasIdAnalogInput
               ? 1
               : 0;
}

uint32_t Menu_PidManualOnHome() { return Settings_PidMayRun() && Pid_IsManual() && !Menu_MessagesToShow() ? 1 : 0; }

void Menu_SetTimedHold(uint32_t arg) {
    if (arg == 0) {
        g_TimedHold = 1;
        g_OutputHold = 1;
        Timer_Stop(kTimerTimedHold);
    } else {
        Screen_EndTimedHold();
    }
}

void Menu_ResetToDefaults() {
    uint32_t status = 0;
    Settings_DefaultAll(0, &status);
    Settings_LoadAll(&status);
    Settings_CopyAll();
}

void Menu_LoadPackedTag() {
    uint8_t b[kDeviceTagBytes] = {0, 0, 0, 0, 0, 0};
    uint32_t status = 0;
    Eeprom_Read(kStoreDeviceTag, b, kDeviceTagBytes, &status);
    // Each three bytes hold four six-bit codes, most significant bits first.
    for (uint32_t half = 0; half < 2; ++half) {
        const uint8_t* p = b + 3 * half;
        uint8_t codes[4] = {
            static_cast<uint8_t>(p[0] >> 2),
            static_cast<uint8_t>(((p[0] & 0x03) << 4) | (p[1] >> 4)),
            static_cast<uint8_t>(((p[1] & 0x0f) << 2) | (p[2] >> 6)),
            static_cast<uint8_t>(p[2] & 0x3f),
        };
        for (uint32_t i = 0; i < 4; ++i) {
            // Codes below 32 are the letters: code 1 reads as "A".
            g_MenuTagText[4 * half + i] = static_cast<char>(codes[i] < 32 ? codes[i] + 64 : codes[i]);
        }
    }
    g_MenuTagText[8] = '\0';
}

uint32_t Menu_GetPosition() { return g_MenuPosition; }

void Menu_CheckPolarizationHold() {
    uint8_t channel = Menu_CurrentChannel();
    if (!g_MenuPositionPending) return;
    if (BaseOfPosition(g_MenuPosition) != 0x100004) return;
    if (!Chan_IsMeasuringKindO2(Chan_GetSensorKindBySel(3))) return;
    if (g_ChosenOption != 0 || g_ChosenMode == 2) return;
    if (Settings_GetEditMeasPolVoltage(channel) == Settings_GetEditCalPolVoltage(channel)) return;
    // The sensor must settle at its measuring voltage again before the outputs follow it.
    g_TimedHold = 1;
    Timer_StartTicks(kTimerTimedHold, 120, 0);
}

int32_t Menu_HandleEvent(uint8_t top, uint32_t event) {
    uint8_t newTop = top;
    int32_t r = Menu_TranslateEvent(top, event, &newTop);
    if (r == kEnterNothing) return -1;
    if (r == static_cast<int32_t>(kEventRedraw) || r == static_cast<int32_t>(kEventAccessGranted) ||
        r == static_cast<int32_t>(kEventPidDown)) {
        return Menu_ScreenEvent(newTop, static_cast<uint32_t>(r));
    }
    if (r == kEnterNoNavigation) return Menu_ScreenEvent(top, event);
    return Menu_EnterScreen(static_cast<uint32_t>(r));
}

// ---- Translation -----------------------------------------------------------------------------

static int32_t TranslateHomeKeys(uint32_t event) {
    uint8_t channel = Menu_CurrentChannel();
    if (channel == 1 && Vdx_GetPlugState() != kPlugIdle) return kEnterNoNavigation;
    if (event == kEventCal && channel == 1 && Menu_ActiveKind(1) >= kKindUnusable) return kEnterNoNavigation;
    if (event == kEventInfo && Menu_PidManualOnHome()) return static_cast<int32_t>(kEventPidDown);
    if (event == kEventCal) {
        if (Settings_GetLockout() == 0 || Settings_GetSectionLock(0) == 1) {
            g_MenuLastAction = kLastActionCalKey;
            g_PendingMenuItem = kItemPassword;
            return Push(kScreenValuePage, kEnterValuePage);
        }
        if (g_ManualHold.active) {
            g_PendingMenuItem = g_ManualHold.item;
            g_MenuPosition = (static_cast<uint32_t>(g_ManualHold.channel) << 12) | g_ManualHold.item;
            g_CalPoint = 0;
            return Push(kScreenNumericEditor, kEnterNumericEditor);
        }
        Screen_SelectInit(0);
    }
    return Push(kHomeKeyTargets[event].screen, kHomeKeyTargets[event].enterCode);
}

static int32_t TranslateLeave(uint8_t top, uint32_t event) {
    if (event == kEventHome) {
        if (top == kScreenDisplayTest) {
            Timer_Stop(kTimerDisplayRefresh);
            Lcd_RefreshController();
        }
        if (top == kScreenCalNotDone) Cal_SelectMeasurement(2, 0);
    }
    SensDiag_WriteOptLedMode();
    g_EditFlags[0] = 0;
    bool saving = g_SaveWaitBits != 0;
    if (event == kEventEscape && !saving) {
        if (top == kScreenNumericEditor || top == kScreenSelectMode2 ||
            (top == kScreenParamPage && ParamPage_CurrentPage() == kParamPageCalOutOfLimit)) {
            Menu_EndChannelHold();
        }
        if (top == kScreenHome) return kEnterNoNavigation;
        Timer_Stop(kTimerDisplayRefresh);
    }
    if (saving) return kEnterNoNavigation;
    return GoHome();
}

// Event 54: the save or wait that g_MenuLastAction started has finished.
static int32_t TranslateSaveDone() {
    uint32_t last = g_MenuLastAction;
    if (last == kItemCommitAndLeave || last == kActionReidentifySensors) {
        Menu_EndChannelHoldIfActive();
        return GoHome();
    }
    if (last == kItemCommit) {
        if (EntryUnderTop() == kScreenHome || !Pop(1)) return GoHome();
        return kEventRedraw;
    }
    if (last == kEventCalStep) return Push(kScreenSelectMode2, kEnterSelectMode2);
    if (last == kActionWaitThenPage) {
        g_PendingMenuItem = kActionO2ConditionsPage;
        return Push(kScreenValuePage, kEnterValuePage);
    }
    if (last == kItemCalHistory) {
        g_DisplayMode = kKeyModeMenu;
        g_PendingMenuItem = kItemCalHistory;
        return Push(kScreenCalHistory, kEnterCalHistory);
    }
    if (last == kItemSensorCalData) {
        g_DisplayMode = kKeyModeMenu;
        return Push(kScreenCalData, kEnterCalData);
    }
    Menu_ClearStatusRows();
    ShowCalibrationSuccessful();
    if ((g_ChosenMode == 2 && last != kItemSaveCalibration) || (Menu_IsCalPosition() && last == kItemSaveCalibration)) {
        Timer_StartTicks(kTimerDisplayRefresh, 2, 0);
        return kEnterNothing;
    }
    Timer_StartTicks(kTimerCountdown, 3, 0);
    return Push(kScreenReinstallCountdown, kEnterReinstallCountdown);
}

static int32_t TranslateBelowActions(uint8_t top, uint32_t event) {
    switch (event) {
        case kEventCal:
        case kEventMenu:
        case kEventInfo:
            return TranslateHomeKeys(event);
        case kEventHome:
        case kEventEscape:
            return TranslateLeave(top, event);
        case kEventHomeEnter:
            if (Menu_HomeOwnsDisplay() && Menu_MessagesToShow()) {
                return Push(kHomeKeyTargets[kHomeKeyMessages].screen, kHomeKeyTargets[kHomeKeyMessages].enterCode);
            }
            return kEnterNoNavigation;
        case kEventSaveDone:
            return TranslateSaveDone();
        case kEventRedraw:
            return kEventRedraw;
        case kEventCalStepDone:
            if (g_MenuPosition == kMeasIdOutput1 || g_MenuPosition == kMeasIdOutput2) {
                if (CalStep() != 0) return Push(kScreenCalNotDone, kEnterCalNotDone);
            }
            return Push(kScreenSelectMode1, kEnterSelectMode1);
        case kEventCalStep: {
            uint32_t status = CalStep();
            if (Menu_ActiveKind(Menu_CurrentChannel()) == kKindO2Optical) {
                // The optical sensor takes the result over the link; event 54 continues.
                g_MenuLastAction = kEventCalStep;
                ShowBusy();
                return kEnterNothing;
            }
            return status == 0 ? Push(kScreenSelectMode2, kEnterSelectMode2)
                               : Push(kScreenCalNotDone, kEnterCalNotDone);
        }
        default:
            return kEnterNoNavigation;
    }
}

// Action 4093: the access code was right.
static int32_t TranslateAccessGranted() {
    uint8_t under = EntryUnderTop();
    if (under == kScreenNone) return GoHome();
    if (under == kScreenHome) {
        uint32_t last = g_MenuLastAction;
        if (last == kLastActionCalKey && g_ManualHold.active) {
            g_PendingMenuItem = g_ManualHold.item;
            g_CalPoint = 0;
            g_MenuStack[1] = kScreenNumericEditor;
            g_MenuDepth = 2;
            return kEnterNumericEditor;
        }
        // Resume what the key asked for before the access code.
        if (last > kHomeKeyMessages || kHomeKeyTargets[last].screen == kScreenHome) return GoHome();
        g_MenuStack[1] = kHomeKeyTargets[last].screen;
        g_MenuDepth = 2;
        if (kHomeKeyTargets[last].enterCode == kEnterSelectCal) Screen_SelectInit(0);
        return kHomeKeyTargets[last].enterCode;
    }
    if (under == kScreenConfigWarning) {
        g_PendingMenuItem = kPageChannelSelect;
        return ReplaceTop(kScreenParamPage, kEnterParamPage);
    }
    if (!Pop(1)) return GoHome();
    return kEventAccessGranted;
}

static int32_t TranslateAction(uint32_t event) {
    int32_t pushed = PushOf(event);
    if (pushed != kEnterNoNavigation) return pushed;
    switch (event) {
        case kActionBackToFirst:
            if (g_MenuDepth < 2) return GoHome();
            g_DisplayMode = kKeyModeMenu;
            g_MenuDepth = 2;
            return kEventRedraw;
        case kActionPop:
            if (!Pop(1)) return GoHome();
            return kEnterNoNavigation;
        case kActionRedraw:
            return kEventRedraw;
        case kActionPopRedraw:
            if (!Pop(1)) return GoHome();
            return kEventRedraw;
        case kActionCalNotDone:
            Fw_HardwareHook();
            return Push(kScreenCalNotDone, kEnterCalNotDone);
        case kActionBack: {
            uint8_t under = EntryUnderTop();
            if (under == kScreenHome || under == kScreenNone) return GoHome();
            if (!Pop(under == kScreenHoldCountdown ? 2 : 1)) return GoHome();
            return kEventRedraw;
        }
        case kActionBackOverList: {
            uint8_t under = EntryUnderTop();
            if (!Pop(under == kScreenList || under == kScreenList2 ? 2 : 1)) return GoHome();
            return kEventRedraw;
        }
        case kActionAccessGranted:
            return TranslateAccessGranted();
        case kActionEditPosition:
            g_PendingMenuItem = g_MenuPosition & 0xf00fff;
            return Push(kScreenNumericEditor, kEnterNumericEditor);
        case kActionCalTypePage:
            g_PageQuantityAbove2 = (g_MenuPosition & 0xf00fff) > 0x100002 ? 1 : 0;
            return OpenPage(kPageCondCalType);
        case kActionClearMessageStore:
            Msg_ResetStore();
            Screen_DrawDiagIndicators();
            return GoHome();
        case kActionFactoryDefaults:
            Menu_ResetToDefaults();
            Menu_EndChannelHoldIfActive();
            return GoHome();
        case kActionReidentifySensors:
            Meas_ResetSettings(0);
            g_MenuLastAction = kActionReidentifySensors;
            g_DisplayMode = kKeyModeBusy;
            Menu_BlinkOff();
            Menu_ClearStatusRows();
            Lcd_DrawTextRef(kRowMessage, 0, kTextPleaseWait);
            g_SaveWaitBits |= kSaveWaitBoard;
            return kEnterNothing;
        case kActionResetOutputCal:
            Meas_ResetSettings(3);
            return GoHome();
        case kActionSensorMemoryChanged:
            Chan_NotifyMemoryChanged(1);
            return GoHome();
        case kActionParamPage4179:
            return OpenPage(kActionParamPage4179);
        case kActionBackToSelection:
            if (!Pop(1)) return GoHome();
            Screen_SelectShow(2, 1);
            ParamPage_SetCurrent(kParamPageO2OptCalType);
            return kEnterNothing;
        case kActionCo2CompPage:
            g_PendingMenuItem = kItemCompCo2;
            return ReplaceTop(kScreenParamPage, kEnterParamPageRedraw);
        case kActionReinstallCountdown:
            Timer_StartTicks(kTimerCountdown, 1, 0);
            return Push(kScreenReinstallCountdown, kEnterReinstallCountdown);
        case kActionWaitThenPage:
            g_MenuLastAction = kActionWaitThenPage;
            ShowBusy();
            return kEnterNothing;
        default:
            break;
    }
    if (InTable(kValuePageIds, kValuePageIdCount, event)) return OpenValuePage(event);
    if (InTable(kParamPageIds, kParamPageIdCount, event)) return OpenParamPage(event);
    return kEnterNoNavigation;
}

// Calibrating the position chosen on the selection screen, or the output current.
static int32_t TranslateCalibrate(uint32_t event) {
    g_MenuPosition = event == kMeasIdAnalogInput ? kMeasIdAnalogInput : Screen_GetSelectPosition();
    uint32_t position = g_MenuPosition;
    g_PendingMenuItem = BaseOfPosition(position);
    uint32_t channel = Menu_ChannelOfPosition(position);
    // A position without a channel (channel field 2 and above) selects nothing.
    if (Menu_IsCalPosition() && channel < 2) {
        Cal_SelectMeasurement(channel, position);
    } else {
        Cal_SelectMeasurement(2, 0);
    }
    g_CalPoint = 0;
    NumEdit_SetChannelB((position & 0xff000) == 0x1000 ? 1 : 0);
    g_ChosenMode = 1;
    g_ChosenOption = 0;
    uint32_t pending = g_PendingMenuItem;
    if (pending != 0x100006) Menu_SetTimedHold(Cal_IsSelectionActive() ? Settings_GetHoldOutputs() : 0);
    if (pending == 0x100006) return Push(kScreenVerifyCal, kEnterVerifyCal);
    if (pending == 0x100004) {
        g_ChosenMode = 0;
        return OpenPage(kPageO2CalType);
    }
    if (position == 0x10100b) {
        g_ChosenMode = 2;
        return OpenPage(kPageO2OptCalType);
    }
    if (pending == 0x10000c) {
        g_ChosenMode = 0;
        return OpenPage(kPageCo2CalType);
    }
    if (pending == 0x100000 || pending == 0x100001)
        return OpenPage(pending == 0x100000 ? kPagePhCalType : kPageTempCalType);
    if (position == 0x10100a) {
        g_ChosenMode = 0;
        return OpenPage(kPageOrpCalType);
    }
    if (pending == 0x100002 || pending == 0x100003) {
        g_PendingMenuItem = kPageCondCalType;
        return Push(kScreenCalCompensation, kEnterCalCompensation);
    }
    return Push(kScreenNumericEditor, kEnterNumericEditor);
}

static int32_t TranslateSaveCalibration(uint32_t event) {
    Menu_BlinkOff();
    g_MenuLastAction = event;
    g_CalPoint = 0;
    g_DisplayMode = kKeyModeBusy;
    uint32_t status = 0;
    if (event == kItemSaveCalibration) {
        uint32_t p = g_MenuPosition;
        if (p == 0x100005 || p == 0x100008 || p == 0x100009 || p == 0x10000e || p == 0x10001b || p == 0x10001c) {
            // The calibration constants were edited by hand; they go back as they stand.
            g_SaveWaitBits &= static_cast<uint8_t>(~kSaveWaitSensor);
            Chan_SaveCalEditValues(0);
            Timer_StartTicks(kTimerDisplayRefresh, 2, 0);
            ShowOnMessageRow(kTextCalibrationSuccessful);
        } else if (p == kMeasIdOutput1 || p == kMeasIdOutput2) {
            Cal_SaveById(p, &status);
            if (status == 0) {
                Timer_StartTicks(kTimerDisplayRefresh, 2, 0);
                ShowOnMessageRow(kTextCalibrationSuccessful);
            } else {
                ShowSaveFailed();
            }
        } else {
            g_SaveWaitBits |= kSaveWaitBoard;
            Cal_SaveById(p, &status);
            if (status != 0) {
                // Nothing will report on a save that could not even start.
                g_SaveWaitBits &= static_cast<uint8_t>(~kSaveWaitBoard);
                ShowSaveFailed();
            } else {
                ShowOnMessageRow(kTextPleaseWait);
            }
        }
        Cal_SelectMeasurement(2, 0);
        return kEnterNothing;
    }
    // kItemSaveChannelCal / kItemSaveChannelCalOnly: the current channel's calibration, its
    // calibrate-only option in the item's low byte.
    uint8_t channel = Menu_CurrentChannel();
    Cal_SetCalibrateOnly(channel, static_cast<uint8_t>(event & 0xff));
    Cal_SaveById(g_MenuPosition, &status);
    if (channel == 1) {
        Hold_ShowPleaseWait();
        return kEnterNothing;
    }
    g_SaveWaitBits &= static_cast<uint8_t>(~kSaveWaitSensor);
    ShowSaveResult(status == 0);
    if (status != 0) return kEnterNothing;
    if (g_ChosenMode == 2) {
        Timer_StartTicks(kTimerDisplayRefresh, 2, 0);
        return kEnterNothing;
    }
    Timer_StartTicks(kTimerCountdown, 3, 0);
    return Push(kScreenReinstallCountdown, kEnterReinstallCountdown);
}

static int32_t TranslateItem(uint32_t event) {
    if (event >= kMeasIdBase && event <= 0x101fff) {
        if (event == 0x100006 || event == 0x101006) {
            Cal_SelectMeasurement(2, 0);
            g_MenuPosition = event;
            return Push(kScreenVerifyCal, kEnterVerifyCal);
        }
        return kEnterNoNavigation;
    }
    int32_t pushed = PushOf(event);
    if (pushed != kEnterNoNavigation) return pushed;
    switch (event) {
        case kMeasIdOutput1:
        case kMeasIdOutput2:
            Cal_SelectMeasurement(2, 0);
            g_MenuPosition = event;
            g_PendingMenuItem = event;
            g_CalPoint = 0;
            Screen_EndTimedHold();
            return Push(kScreenNumericEditor, kEnterNumericEditor);
        case kMeasIdAnalogInput:
        case kItemCalibratePosition:
            return TranslateCalibrate(event);
        case kItemCalEditPosition:
            Cal_SelectMeasurement(2, 0);
            g_ChosenMode = 0;
            g_MenuPosition = Screen_GetSelectPosition();
            return Push(kScreenCalEdit, kEnterCalEdit);
        case kItemSaveCalibration:
        case kItemSaveChannelCal:
        case kItemSaveChannelCalOnly:
            return TranslateSaveCalibration(event);
        case kItemLeaveCalibration:
        case kItemLeaveChannelCal:
            g_MenuStack[0] = kScreenHome;
            g_MenuDepth = 1;
            Menu_BlinkOff();
            if (event == kItemLeaveCalibration || g_ChosenMode == 2) return kEnterHome;
            Menu_ClearStatusRows();
            Timer_StartTicks(kTimerCountdown, 1, 0);
            return Push(kScreenReinstallCountdown, kEnterReinstallCountdown);
        case kItemCommitAndLeave:
        case kItemCommit: {
            g_MenuLastAction = event;
            Menu_BlinkOff();
            g_DisplayMode = kKeyModeBusy;
            uint32_t status = 0;
            Vdx_KeepSettingsBeforeSave();
            Settings_CommitAll(&status, 1);
            if (status != 0) {
                // The store refused the settings: say so rather than wait for a save that never
                // happened; ENTER leads home. The sensor is not sent settings the store lacks.
                ShowSaveFailed();
                return kEnterNothing;
            }
            if (event == kItemCommitAndLeave) Vdx_PushSettingsToSensor();
            Hold_ShowPleaseWait();
            return kEnterNothing;
        }
        case kItemLeaveWhenIdle:
            return g_SaveWaitBits == 0 ? GoHome() : kEnterNoNavigation;
        case kItemCalHistory:
        case kItemSensorCalData:
            if (Menu_ActiveKind(Menu_CurrentChannel()) == kKindO2Optical) {
                // The optical sensor's history comes over the link first; event 54 continues.
                g_MenuLastAction = event;
                Meas_QueueMeasurementItems();
                Hold_ShowPleaseWait();
                g_DisplayMode = kKeyModeBusy;
                return kEnterNothing;
            }
            return event == kItemCalHistory ? Push(kScreenCalHistory, kEnterCalHistory)
                                            : Push(kScreenCalData, kEnterCalData);
        case kItemCipCycleLimit:
        case kItemSipCycleLimit:
        case kItemAutoclaveCycleLimit:
            g_PendingMenuItem = event;
            return Push(kScreenCycleLimitSetup, kEnterCycleLimitSetup);
        case kItemChannelSetup:
            return OpenPage(kPageChannelSelect);
        case kItemCompPhAlias:
            return OpenParamPage(kItemCompPh);
        case kItemCalibrate:
            Screen_SelectInit(1);
            return Push(kScreenSelectCal, kEnterSelectCal);
        default:
            break;
    }
    if (InTable(kParamPageIds, kParamPageIdCount, event)) return OpenParamPage(event);
    if (InTable(kValuePageIds, kValuePageIdCount, event)) return OpenValuePage(event);
    return kEnterNoNavigation;
}

int32_t Menu_TranslateEvent(uint8_t top, uint32_t event, uint8_t* newTop) {
    int32_t r;
    if (event < kActionFirst) {
        r = TranslateBelowActions(top, event);
    } else if (event <= kActionLast) {
        r = TranslateAction(event);
    } else {
        r = TranslateItem(event);
    }
    *newTop = Menu_TopScreen();
    return r;
}
