// Screen stack and menu engine: every event of the main loop passes through here, becomes a
// change of the screen stack, a screen's draw or key operation, and on event 10 the periodic tasks.
#include "ui/menu.h"

#include <cstring>

#include "core/eeprom.h"
#include "core/fw_main.h"
#include "core/lcd.h"
#include "core/rtc.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_page.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "outputs/sensor_alarm.h"
#include "outputs/setpoint.h"
#include "ui/home.h"
#include "ui/msg_page.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/screens.h"
#include "ui/value_page.h"

uint8_t g_MenuStack[kMenuStackSize];
uint32_t g_MenuDepth = 1;
uint32_t g_PendingMenuItem;
uint32_t g_MenuPosition;
uint8_t g_MenuPositionPending;
uint32_t g_MenuLastAction;
uint8_t g_CalPoint;
uint8_t g_ChosenMode;
uint8_t g_ChosenOption;
uint8_t g_EditFlags[8];
uint8_t g_PeriodicTasksSuspended;
uint8_t g_PageQuantityAbove2;

// An enter code that draws nothing: the event was handled by the translation itself.
static constexpr int32_t kEnterNothing = -1;
// The result the translation gives when the stack went home.
static constexpr int32_t kEnterHome = 0;

// The plug-and-measure machine's idle state: channel B's screens are the instrument's own.
static constexpr uint8_t kPlugIdle = 29;
// Sensor kinds from this value up cannot be measured with.
static constexpr uint32_t kKindUnusable = 15;
static constexpr uint32_t kKindOpticalO2 = 9;

// Language in which "Failure - Press ENTER" was last drawn on the measurement screen; 255 = not
// drawn since the screen was entered or the messages went away.
static uint8_t s_FailureLanguage = 255;
// The "Re-install sensor" countdown screen has drawn its question.
static uint8_t s_CountdownShown;

// ---- Id tables -------------------------------------------------------------------------------

// Numeric-editor fields by calibration position, looked up without the position's channel digit.
static const uint32_t kNumFieldIds[kNumFieldIdCount] = {
    0x100010, 0x100011, 0x100012, 0x100013, 0x100014, 0x100015, 0x100016, 0x100017, 0x100019, 0x10001a,
    0x1ff020, 0x1ff021, 0x1fffff, 0x1fffff, 0x100000, 0x100001, 0x100003, 0x100002, 0x100004, 0,
    0x100007, 0x10000b, 0x10000c, 0x10000d, 0x10000f, 0x10000a, 0x1ff022, 0x100018, 0,        0,
};

// Value pages by the id that opens them; 0 = reached only from another page.
static const uint32_t kValuePageIds[kValuePageIdCount] = {
    0x1025, 0x1029, 0x1019,   0x100c, 0x1008,   0xb00002, 0x100e, 0,        0x500001, 0x1027, 0,
    0xa00007, 0x200020, 0xffe, 0xfff, 0x100a,   0x1024,   0x1007, 0x1018,   0x900003, 0xc00002, 0,
    0,        0,        0x1032, 0x1034, 0x1033, 0x1041, 0x500004, 0x104c, 0x104d,   0x600000, 0,
    0,        0x1055,   0x1065, 0,      0x1072, 0,        0x700003, 0x1081, 0x1082, 0x1083,   0x1084,
    0x1085,   0x700005, 0x1086, 0x1087, 0x1088, 0x1089,   0xff7,    0x1096,
};

// Parameter pages by the id that opens them; 0 = reached only by chaining, 0xff = never opened.
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

const MenuIdTable g_EditorIdTable[3] = {
    {kNumFieldIds, kNumFieldIdCount},
    {kValuePageIds, kValuePageIdCount},
    {kParamPageIds, kParamPageIdCount},
};

// The measurement screen's keys by event (1 CAL, 2 MENU, 3 INFO); entry 5 serves the Messages page.
static const uint8_t kHomeKeyScreen[6] = {0, 1, 2, 4, 0, 25};
static const uint8_t kHomeKeyEnterCode[6] = {0, 1, 2, 3, 0, 27};
// Service items 0xa00001 to 0xa0000a; 255 where the item opens a parameter or value page instead.
static const uint8_t kServiceScreen[10] = {18, 14, 16, 15, 255, 28, 255, 29, 51, 53};
static const uint8_t kServiceEnterCode[10] = {20, 16, 18, 17, 255, 28, 255, 29, 51, 61};

// ---- Small helpers ---------------------------------------------------------------------------

static uint8_t CurrentChannel() {
    uint8_t channel = Chan_GetCurrentChannel();
    return channel < 2 ? channel : 0;
}

static uint32_t ActiveKind(uint32_t channel) { return channel < 2 ? g_SensorKindActive[channel] : 255; }

// The measurement screen owns the display: channel A, or channel B with plug-and-measure idle.
static bool HomeOwnsDisplay() { return CurrentChannel() == 0 || Vdx_GetPlugState() == kPlugIdle; }

static void BlinkOff() { g_BlinkField.active = 0; }

// Rows 11 and 12 cleared for a screen of fixed texts; a blinking field left by the screen before
// would otherwise be drawn back over them.
static void ClearStatusRows() {
    BlinkOff();
    Lcd_FillStatusRows(0);
}

static void DrawText(uint32_t row, uint32_t column, uint32_t group, uint32_t index) {
    Lcd_DrawMessage(row, column, group, index, g_Language);
}

static int32_t GoHome() {
    g_MenuStack[0] = kMenuScreenHome;
    g_MenuDepth = 1;
    BlinkOff();
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

// The entry under the top; 255 when the top is the only entry.
static uint8_t EntryUnderTop() { return g_MenuDepth >= 2 && g_MenuDepth <= kMenuStackSize ? g_MenuStack[g_MenuDepth - 2] : 255; }

// Replaces the top with a screen; at depth 1 the measurement screen stays and the screen is pushed.
static int32_t ReplaceTop(uint8_t screen, int32_t code) {
    if (g_MenuDepth < 2) return Push(screen, code);
    g_MenuStack[g_MenuDepth - 1] = screen;
    return code;
}

// Special ids keep their channel field; every other position loses it.
static uint32_t BaseOfPosition(uint32_t position) {
    if (position == 0x1ff020 || position == 0x1ff021 || position == 0x1ff022) return position;
    return position & 0xf00fff;
}

static uint32_t InTable(const uint32_t* table, uint32_t count, uint32_t id) {
    return Menu_IndexOfId(table, count, id) < count ? 1 : 0;
}

static void ShowCalibrationSuccessful() { DrawText(kRowMessage, 0, 4, 3); }



// A save that failed says so and waits for ENTER, which leads home.
static void ShowSaveFailed() {
    Lcd_ClearSpan(kRowMessage, 0, kLcdColumns);
    Lcd_DrawText(kRowMessage, 36, "Save Failed!");
    g_DisplayMode = 5;
}

// The result of a save replaces what the question screen showed.
static void ShowSaveResult(bool ok) {
    if (ok) {
        ClearStatusRows();
        ShowCalibrationSuccessful();
    } else {
        ShowSaveFailed();
    }
}
static int32_t OpenValuePage(uint32_t id) {
    g_PendingMenuItem = id;
    if (id == 0x500001) ValuePage_ClearPasswordState();
    return Push(kMenuScreenValuePage, 10);
}

static int32_t OpenParamPage(uint32_t id) {
    g_PendingMenuItem = id;
    if (id == 0x1ff030) {
        g_MenuPosition = 0x1ff030;
        Screen_EndTimedHold();
    }
    return Push(kMenuScreenParamPage, 9);
}

static uint32_t CalStep() {
    uint32_t status = 0;
    Cal_StepById(g_MenuPosition, g_CalPoint + 1u, g_ChosenOption, &status);
    return status;
}

// ---- Public helpers --------------------------------------------------------------------------

void Menu_ResetStack() {
    g_MenuStack[0] = kMenuScreenHome;
    g_MenuDepth = 1;
}

uint8_t Menu_TopScreen() {
    if (g_MenuDepth < 1 || g_MenuDepth > kMenuStackSize) return kMenuScreenHome;
    return g_MenuStack[g_MenuDepth - 1];
}

uint32_t Menu_EventAllowed(uint32_t) { return 1; }

uint32_t Menu_IndexOfId(const uint32_t* table, uint32_t count, uint32_t id) {
    for (uint32_t i = 0; i < count; ++i) {
        if (table[i] == id) return i;
    }
    return count;
}

uint32_t Menu_ChannelOfPosition(uint32_t position) {
    if (position == 0x1ff022) return CurrentChannel();
    return (position & 0xf000) >> 12;
}

uint32_t Menu_MessagesToShow() { return g_MsgActiveCount > 0 && Settings_GetErrorDisplay() == 1 ? 1 : 0; }

uint32_t Menu_IsCalPosition() {
    uint32_t low = g_MenuPosition & 0xff;
    if (low >= 16 && low <= 26) return 1;
    return g_MenuPosition == 0x1ff020 || g_MenuPosition == 0x1ff021 || g_MenuPosition == 0x1ff022 ? 1 : 0;
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

char g_MenuTagText[9];

void Menu_LoadPackedTag() {
    uint8_t b[6] = {0, 0, 0, 0, 0, 0};
    uint32_t status = 0;
    Eeprom_Read(185, b, 6, &status);
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

void Menu_CheckPolarizationHold() {
    uint8_t channel = CurrentChannel();
    if (!g_MenuPositionPending) return;
    if (BaseOfPosition(g_MenuPosition) != 0x100004) return;
    if (!Chan_IsMeasuringKindO2(Chan_GetSensorKindBySel(3))) return;
    if (g_ChosenOption != 0 || g_ChosenMode == 2) return;
    if (Settings_GetEditMeasPolVoltage(channel) == Settings_GetEditCalPolVoltage(channel)) return;
    // The sensor must settle at its measuring voltage again before the outputs follow it.
    g_TimedHold = 1;
    Timer_StartTicks(kTimerTimedHold, 120, 0);
}

// ---- Periodic tasks ----------------------------------------------------------------------------

void Menu_RefreshSetPointMessages() {
    for (uint32_t i = 0; i < 6; ++i) {
        uint8_t s = SetPoint_GetState(i);
        uint16_t base = static_cast<uint16_t>(1200 + 10 * i);
        if (s == 255) {
            if (g_MsgActiveCount > 0) {
                for (uint16_t n = 0; n < 10; ++n) Msg_Clear(static_cast<uint16_t>(base + n));
            }
            continue;
        }
        uint8_t k = s & 0x0f;
        if (k == 15) {
            for (uint16_t n = 0; n <= 6; ++n) Msg_Clear(static_cast<uint16_t>(base + n));
        } else if (k >= 1 && k <= 9) {
            // Only the set point's own ten codes; other states name no message.
            Msg_Raise(static_cast<uint16_t>(base - 1 + k));
        }
        uint8_t h = s & 0xf0;
        if (h == 0x10) {
            Msg_Raise(static_cast<uint16_t>(base + 8));
            Msg_Clear(static_cast<uint16_t>(base + 9));
        } else if (h == 0x20) {
            Msg_Raise(static_cast<uint16_t>(base + 9));
            Msg_Clear(static_cast<uint16_t>(base + 8));
        } else {
            Msg_Clear(static_cast<uint16_t>(base + 8));
            Msg_Clear(static_cast<uint16_t>(base + 9));
        }
    }
}

void Menu_TickCleaning() {
    if (g_PeriodicTasksSuspended) return;
    if (g_OutputHold != 0 && !Clean_IsActive()) {
        Clean_Stop();
    } else {
        Clean_Update();
    }
}

void Menu_TickAnalogOutputs() {
    if (!NumEdit_IsOutputCalOpen()) Aout_UpdateAll();
}

void Menu_TickSetPoints() {
    if (g_OutputHold != 0) return;
    SetPoint_UpdateAll();
    Menu_RefreshSetPointMessages();
}

void Menu_TickRelays() {
    if (g_PeriodicTasksSuspended) return;
    uint8_t alarmRelay = Alarm_GetRelay();
    for (uint8_t relay = 0; relay < 2; ++relay) {
        // The alarm relay must report alarms during a hold, so it is never held.
        g_RelayHoldFlags[relay] = relay == alarmRelay ? 0 : (g_OutputHold != 0 ? 1 : 0);
    }
    uint8_t cleanRelay = Clean_GetRelay();
    if (cleanRelay >= 2 || Clean_GetInterval() == 0 || Clean_GetTime() == 0) cleanRelay = 2;
    uint8_t pidRelay[2];
    for (uint32_t i = 0; i < 2; ++i) {
        uint8_t relay = Pid_GetPulseRelay(i);
        pidRelay[i] = relay < 2 && Pid_GetOutputType() != 4 ? relay : 2;
    }
    Relay_UpdateAll(g_OutputHold, Clean_IsActive(), cleanRelay, pidRelay[0], pidRelay[1]);
}

void Menu_TickPid() {
    if (g_PeriodicTasksSuspended) return;
    uint8_t slot = Pid_GetSourceSlot();
    if (slot >= 4) {
        Pid_Deactivate();
        return;
    }
    if (g_OutputHold == 0) {
        Pid_ActivateOnce();
        Pid_LeaveHold();
    } else {
        Pid_EnterHold();
    }
    uint32_t status = 0;
    float value = Meas_GetSlotValue(slot, &status);
    Pid_Step(status == 0 ? value : Pid_GetSubstituteValue(), status);
}

void Menu_TickClock() {
    ClockRecord clock;
    Rtc_GetTime(&clock);
    if (clock.year < 2018) {
        Vdx_RaiseSetDateAlarm();
    } else {
        Vdx_ClearSetDateAlarm();
    }
}

static void SyncOpticalLed() { SensDiag_SyncOptLedMode(CurrentChannel()); }
static void KickHardware() { Fw_HardwareHook(); }

const MenuPeriodicTask g_MenuPeriodicTasks[kMenuPeriodicTaskCount] = {
    SyncOpticalLed,         Hold_Update,       Menu_TickCleaning, Menu_TickAnalogOutputs,
    KickHardware,           Menu_TickSetPoints, Alarm_UpdateRelay, Menu_TickRelays,
    Menu_TickPid,           Menu_TickClock,    KickHardware,
};

// The work that hangs off the one-second event, after the screen on top has seen it.
static int32_t OneSecondBlock(uint8_t top, int32_t result) {
    uint8_t channel = CurrentChannel();
    uint32_t messages = Menu_MessagesToShow();
    if (HomeOwnsDisplay() && g_EditFlags[0] == 0 && top != kMenuScreenDisplayTest) {
        if (top == kMenuScreenHome) {
            Home_Draw(&g_MeasLines, Settings_PidMayRun() ? 2 : 1, messages);
            if (messages) {
                if (s_FailureLanguage != g_Language) {
                    Lcd_ClearSpan(kRowMessage, 0, kLcdColumns);
                    Lcd_DrawMessageBlink(kRowMessage, 0, 37, 4, g_Language);
                    s_FailureLanguage = g_Language;
                }
            } else {
                BlinkOff();
                s_FailureLanguage = 255;
            }
        } else {
            Home_Draw(&g_MeasLines, 0, messages);
        }
    }
    if (g_SensorParamSavePending && g_EditFlags[0] == 0) Screen_DrawDiagIndicators();
    for (const MenuPeriodicTask& task : g_MenuPeriodicTasks) task();
    if (top == kMenuScreenMessages) Msg_DrawPage();
    if (!(top == kMenuScreenValuePage && g_EditFlags[0] != 0)) {
        if (Vdx_GetPlugState() == kPlugIdle) SensDiag_RunPeriodic();
        if ((g_SaveWaitBits & kSaveWaitSensor) == 0 && channel == 1) result = Vdx_GetPendingPlugPage();
    }
    return result;
}

// ---- Screens of this module --------------------------------------------------------------------

static int32_t EnterHome() {
    Fw_HardwareHook();
    g_MenuLastNode = 0;
    if (g_TimedHold) Timer_StartTicks(kTimerTimedHold, 20, 0);  // the hold ends 20 s after the return
    Menu_CheckPolarizationHold();
    Cal_SelectMeasurement(2, 0);
    g_MenuPositionPending = 0;
    Settings_CopyAll();
    Lcd_ClearAll();
    BlinkOff();
    s_FailureLanguage = 255;
    g_DisplayMode = 0;
    Timer_SetCallback(kTimerBlink, 1, Lcd_SetBlinkPhase);
    Timer_Stop(kTimerInactivity);
    if (HomeOwnsDisplay()) {
        Home_Draw(&g_MeasLines, Settings_PidMayRun() ? 2 : 1, Menu_MessagesToShow());
    } else {
        Screen_EndTimedHold();
        Menu_EndChannelHoldIfActive();
        if (Vdx_TakeChooseRequest()) {
            Vdx_ChoosePlugState(1);
            Vdx_ResumePlugState();
        }
        Vdx_StepPlugMachine();
        Vdx_OnPlugTimer();
    }
    return -1;
}

// Key operation of the measurement screen.
static int32_t HomeKey(uint32_t event) {
    if (HomeOwnsDisplay()) {
        if (!Menu_PidManualOnHome()) return -1;
        int32_t percent = static_cast<int32_t>(Pid_GetManualOutput() * 100.0f);
        int32_t result = Screen_PidManualKey(event, percent);
        if (result == 4155) return -1;
        Pid_DrawOutputLine(1, Pid_GetManualOutput() * 100.0f);
        return result;
    }
    // Channel B while plug-and-measure runs: its screens answer the keys.
    Timer_Stop(kTimerInactivity);
    Screen_EndTimedHold();
    Menu_EndChannelHoldIfActive();
    if (Vdx_TakeChooseRequest()) {
        Vdx_ChoosePlugState(1);
        Vdx_ResumePlugState();
    }
    int32_t result = Vdx_StepPlugMachine();
    if (result == 4166) {
        result = Vdx_PlugYesNoKey(event);
        uint8_t state = Vdx_GetPlugState();
        uint8_t previous = Vdx_GetPreviousPlugState();
        if (state == 22) {
            if (result != -1) {
                BlinkOff();
                ClearStatusRows();
                if (result == 4169) {
                    SensDiag_IncrementAutoclaveCount();
                    g_DisplayMode = 6;
                    Vdx_SetChooseRequest();
                    DrawText(kRowMessage, 0, 78, 9);
                } else {
                    Vdx_SetPlugState(kPlugIdle);
                }
            }
        } else if (result == 4169) {
            Vdx_SetPlugState(previous == 2 ? 12 : 24);
        } else if (result == 4170) {
            Vdx_SetPlugState(previous == 2 ? 14 : 26);
        }
    }
    if (result == 4214 && event == kMenuEventHomeEnter) Vdx_SetPlugTarget(1);
    Vdx_OnPlugTimer();
    return Vdx_GetPendingPlugPage();
}

static int32_t CalNotDoneDraw() {
    ClearStatusRows();
    DrawText(kRowStatus, 0, 4, 7);
    DrawText(kRowMessage, 0, 4, 1);
    Menu_EndChannelHoldIfActive();
    g_DisplayMode = g_ChosenMode == 2 || Menu_IsCalPosition() ? 5 : 9;
    return -1;
}

static int32_t CalNotDoneKey(uint32_t event) { return event == kMenuEventEnter ? 4198 : -1; }

static int32_t CountdownDraw() {
    s_CountdownShown = 0;
    g_DisplayMode = 9;
    return -1;
}

int32_t Screen_CountdownKey(uint32_t event) {
    if (!s_CountdownShown && Timer_Expired(kTimerCountdown)) {
        // Stopped so that the question is drawn once per countdown.
        Timer_Stop(kTimerCountdown);
        ClearStatusRows();
        DrawText(kRowStatus, 0, 84, 0);
        DrawText(kRowMessage, 0, 37, 12);
        s_CountdownShown = 1;
    } else if (event == kMenuEventEnter && s_CountdownShown) {
        s_CountdownShown = 0;
        Timer_StartTicks(kTimerDisplayRefresh, 1, 0);
    }
    return -1;
}

// The three resistance pages: ESC and 62 lead home, the second redraws.
static int32_t ResistanceKey(uint8_t screen, uint32_t event) {
    if (event == kMenuEventEscape || event == kMenuEventRedraw) return kMenuEventTimeout;
    if (event == kMenuEventSecond) {
        uint32_t channel = CurrentChannel();
        if (screen == 31) SensorAlarm_DrawGlassResPage(channel);
        if (screen == 32) SensorAlarm_DrawRefResPage(channel);
        if (screen == 60) SensorAlarm_DrawPnaGlassResPage(channel);
    }
    return -1;
}

static int32_t OpenParamPageOfPending(uint32_t mode) {
    uint32_t page = Menu_IndexOfId(kParamPageIds, kParamPageIdCount, g_PendingMenuItem);
    if (mode == 0) {
        g_DisplayMode = 1;
        uint32_t pending = g_PendingMenuItem;
        if (pending == 0x400001 || pending == 0x400002 || pending == 0x400003 || pending == 4243) {
            ParamPage_ResetSelectors(pending == 0x400003 ? 1 : 0);
        }
        if (pending == 0x600004) {
            uint8_t channel = CurrentChannel();
            if (ActiveKind(channel) == kKindOpticalO2) {
                page = (SensDiag_GetCycleAlarmEnable() & 0x40) == 0 ? 70 : 64;
            } else if (channel == 1 && Settings_GetEditKind(1) == 10) {
                page = 84;
            }
        }
    }
    return ParamPage_Open(page, mode);
}

// ---- Dispatch tables ---------------------------------------------------------------------------

typedef int32_t (*MenuDrawOp)();
typedef int32_t (*MenuKeyOp)(uint32_t event);

static uint32_t PositionChannel() { return Menu_ChannelOfPosition(g_MenuPosition); }

static int32_t Draw1() { Screen_SelectShow(0, 0); return -1; }
static int32_t Draw2() {
    Settings_CopyAll();
    Chan_LoadCalEditValues(0, 0);
    Chan_LoadCalEditValues(1, 0);
    Menu_TreeBegin();
    Menu_EnterNode(1);
    return -1;
}
static int32_t Draw3() {
    Settings_CopyAll();
    Menu_TreeBegin();
    Menu_EnterNode(2);
    return -1;
}
static int32_t Draw5() {
    uint32_t field = Menu_IndexOfId(kNumFieldIds, kNumFieldIdCount, g_PendingMenuItem);
    return ValuePage_BeginEdit(3, field);
}
static int32_t Draw6() { Screen_SelectShow(1, 0); return -1; }
static int32_t Draw7() { Home_SetupDraw(0, 0); return -1; }
static int32_t Draw9() { return OpenParamPageOfPending(0); }
static int32_t Draw10() {
    uint32_t page = Menu_IndexOfId(kValuePageIds, kValuePageIdCount, g_PendingMenuItem);
    return ValuePage_BeginEdit(0, page);
}
static int32_t Draw12() { Screen_SelectShow(2, 0); return -1; }
static int32_t Draw13() { Screen_SelectShow(3, 0); return -1; }
static int32_t Draw14() { Screen_TempSourceDraw(0); return -1; }
static int32_t Draw15() { Screen_VerifyCalDraw(PositionChannel()); return -1; }
static int32_t Draw16() { Screen_DisplayTestStart(); return -1; }
static int32_t Draw17() { Screen_MemoryTestDraw(); return -1; }
static int32_t Draw18() { Screen_KeypadTestDraw(); return -1; }
static int32_t Draw20() { Screen_DigInDraw(); return -1; }
static int32_t Draw21() { Screen_PasswordDraw(0); return -1; }
static int32_t Draw22() { Screen_CalEditDraw(PositionChannel(), 0); return -1; }
static int32_t Draw23() { Screen_RevisionOpen(); return -1; }
static int32_t Draw24() { Screen_LinCompDraw(0, 0); return -1; }
static int32_t Draw25() { Screen_AoutMaDraw(0, 0); return -1; }
static int32_t Draw27() {
    Msg_SetChanged();
    Msg_DrawPage();
    g_DisplayMode = 1;
    return -1;
}
static int32_t Draw28() { Screen_ReadOcDraw(); return -1; }
static int32_t Draw29() { Screen_AoutTestDraw(); return -1; }
static int32_t Draw30() { Screen_InfoShow(); return -1; }
static int32_t Draw31() { SensorAlarm_DrawGlassResPage(CurrentChannel()); return -1; }
static int32_t Draw32() { SensorAlarm_DrawRefResPage(CurrentChannel()); return -1; }
static int32_t Draw33() { VdxPage_OpenCalHistory(CurrentChannel()); return -1; }
static int32_t Draw34() { Screen_PidModeDraw(0); return -1; }
static int32_t Draw35() { Screen_PidTuneDraw(0); return -1; }
static int32_t Draw36() { Screen_PidLimitsDraw(0, 0); return -1; }
static int32_t Draw37() { Screen_PidLimitsDraw(1, 0); return -1; }
static int32_t Draw38() { Screen_CompCoefDraw(0); return -1; }
static int32_t Draw39() { Screen_ListShow(g_CalPoint, 0); return -1; }
static int32_t Draw40() {
    g_MenuPosition = 0x100005;
    Screen_CalEditDraw(0, 0);
    return -1;
}
static int32_t Draw42() { VdxPage_DrawSensorInfo(0); return -1; }
static int32_t Draw43() { VdxPage_OpenCalData(0, 1); return -1; }
static int32_t Draw44() { VdxPage_DrawCycles(0, 1); return -1; }
static int32_t Draw45() { VdxPage_DrawCycles(1, 1); return -1; }
static int32_t Draw46() { VdxPage_DrawCycles(2, 1); return -1; }
static int32_t Draw47() { VdxPage_DrawTimers(1, 0); return -1; }
static int32_t Draw48() { VdxPage_DrawMaxTemp(); return -1; }
static int32_t Draw49() {
    uint32_t item = g_PendingMenuItem >= 0x600001 && g_PendingMenuItem <= 0x600003 ? g_PendingMenuItem - 0x600001 : 0;
    VdxPage_DrawSetup(item, 0);
    return -1;
}
static int32_t Draw51() { Screen_AinDraw(); return -1; }
static int32_t Draw52() { Screen_List2Show(0); return -1; }
static int32_t Draw54() { return OpenParamPageOfPending(1); }
static int32_t Draw57() { Screen_HoldCountdownShow(); return -1; }
static int32_t Draw58() { Screen_ConfigWarnDraw(0); return -1; }
static int32_t Draw59() { SensorAlarm_DrawPnaGlassResPage(CurrentChannel()); return -1; }
static int32_t Draw60() { Screen_PleaseWaitDraw(); return -1; }
static int32_t Draw61() { VdxPage_OpenOptErrors(); return -1; }

// Draw operation by enter code.
static const MenuDrawOp kDrawOps[kMenuScreenCount] = {
    EnterHome, Draw1,   Draw2,   Draw3,          nullptr,        Draw5,   Draw6,   Draw7,   nullptr, Draw9,
    Draw10,    CalNotDoneDraw, Draw12, Draw13,   Draw14,         Draw15,  Draw16,  Draw17,  Draw18,  nullptr,
    Draw20,    Draw21,  Draw22,  Draw23,         Draw24,         Draw25,  nullptr, Draw27,  Draw28,  Draw29,
    Draw30,    Draw31,  Draw32,  Draw33,         Draw34,         Draw35,  Draw36,  Draw37,  Draw38,  Draw39,
    Draw40,    nullptr, Draw42,  Draw43,         Draw44,         Draw45,  Draw46,  Draw47,  Draw48,  Draw49,
    nullptr,   Draw51,  Draw52,  nullptr,        Draw54,         CountdownDraw, nullptr, Draw57, Draw58, Draw59,
    Draw60,    Draw61,
};

static int32_t KeySelect(uint32_t event) { return Screen_SelectKey(event); }
static int32_t KeyNumEdit(uint32_t event) {
    // The editor sleeps while a sensor save is under way.
    if (g_SaveWaitBits & kSaveWaitSensor) return -1;
    return NumEdit_Screen(event);
}
static int32_t KeyDigIn(uint32_t) { Screen_DigInValues(); return -1; }
static int32_t KeyCalEdit(uint32_t event) { return Screen_CalEditKey(event, 0); }
static int32_t KeyRes31(uint32_t event) { return ResistanceKey(31, event); }
static int32_t KeyRes32(uint32_t event) { return ResistanceKey(32, event); }
static int32_t KeyRes60(uint32_t event) { return ResistanceKey(60, event); }
static int32_t KeyLimits0(uint32_t event) { return Screen_PidLimitsKey(0, event); }
static int32_t KeyLimits1(uint32_t event) { return Screen_PidLimitsKey(1, event); }
static int32_t KeyCycles(uint32_t event) { return event == kMenuEventEnter ? 4080 : -1; }
static int32_t KeyMaxTemp(uint32_t event) {
    int32_t result = VdxPage_MaxTempKey(event);
    return event == kMenuEventEnter ? 4080 : result;
}
static int32_t KeyAin(uint32_t) { Screen_AinValue(); return -1; }

// Key operation by screen id; none where the screen ends only by a time-out or by ESC.
static const MenuKeyOp kKeyOps[kMenuScreenCount] = {
    HomeKey,       KeySelect,         Menu_TreeKey,      KeyNumEdit,           Menu_TreeKey,
    KeySelect,     Home_SetupKey,     ParamPage_Screen,  ValuePage_Screen,     CalNotDoneKey,
    KeySelect,     KeySelect,         Screen_TempSourceKey, Screen_VerifyCalKey, nullptr,
    nullptr,       Screen_KeypadTestKey, nullptr,        KeyDigIn,             Screen_PasswordKey,
    KeyCalEdit,    Screen_RevisionKey, Screen_LinCompKey, Screen_AoutMaKey,    nullptr,
    Msg_PageKey,   nullptr,           nullptr,           Screen_ReadOcKey,     Screen_AoutTestKey,
    Screen_InfoKey, KeyRes31,         KeyRes32,          VdxPage_CalHistoryKey, Screen_PidModeKey,
    Screen_PidTuneKey, KeyLimits0,    KeyLimits1,        Screen_CompCoefKey,   Screen_ListKey,
    KeyCalEdit,    nullptr,           VdxPage_SensorInfoKey, VdxPage_CalDataKey, KeyCycles,
    KeyCycles,     KeyCycles,         VdxPage_TimersKey, KeyMaxTemp,           VdxPage_SetupKey,
    nullptr,       KeyAin,            Screen_List2Key,   VdxPage_OptErrorsKey, Screen_CountdownKey,
    nullptr,       nullptr,           nullptr,           Screen_HoldCountdownTick, Screen_ConfigWarnKey,
    KeyRes60,      Menu_Back,
};

int32_t Menu_EnterScreen(uint32_t code) {
    if (code >= kMenuScreenCount || kDrawOps[code] == nullptr) return -1;
    int32_t result = kDrawOps[code]();
    // Only the page openers hand a result on.
    return code == 9 || code == 54 || code == 10 ? result : -1;
}

int32_t Menu_ScreenEvent(uint8_t screen, uint32_t event) {
    int32_t result = -1;
    if (screen < kMenuScreenCount && kKeyOps[screen] != nullptr) result = kKeyOps[screen](event);
    // The end of the hold-release countdown opens its next screen without waiting for the block.
    if (screen == kMenuScreenHoldCountdown && result == 4157) return result;
    if (event == kMenuEventSecond) result = OneSecondBlock(screen, result);
    return result;
}

int32_t Menu_HandleEvent(uint8_t top, uint32_t event) {
    uint8_t newTop = top;
    int32_t r = Menu_TranslateEvent(top, event, &newTop);
    if (r == kEnterNothing) return -1;
    if (r == 62 || r == 63 || r == 53) return Menu_ScreenEvent(newTop, static_cast<uint32_t>(r));
    if (r == kMenuNoNavigation) return Menu_ScreenEvent(top, event);
    return Menu_EnterScreen(static_cast<uint32_t>(r));
}

// ---- Translation -----------------------------------------------------------------------------

static int32_t TranslateHomeKeys(uint32_t event) {
    uint8_t channel = CurrentChannel();
    if (channel == 1 && Vdx_GetPlugState() != kPlugIdle) return kMenuNoNavigation;
    if (event == kMenuEventCal && channel == 1 && ActiveKind(1) >= kKindUnusable) return kMenuNoNavigation;
    if (event == kMenuEventInfo && Menu_PidManualOnHome()) return kMenuEventPidDown;
    if (event == kMenuEventCal) {
        if (Settings_GetLockout() == 0 || Settings_GetSectionLock(0) == 1) {
            g_MenuLastAction = 1;
            g_PendingMenuItem = 0x200020;
            return Push(kMenuScreenValuePage, 10);
        }
        if (g_ManualHold.active) {
            g_PendingMenuItem = g_ManualHold.item;
            g_MenuPosition = (static_cast<uint32_t>(g_ManualHold.channel) << 12) | g_ManualHold.item;
            g_CalPoint = 0;
            return Push(kMenuScreenNumEdit, 5);
        }
        Screen_SelectInit(0);
    }
    return Push(kHomeKeyScreen[event], kHomeKeyEnterCode[event]);
}

static int32_t TranslateLeave(uint8_t top, uint32_t event) {
    if (event == kMenuEventTimeout) {
        if (top == kMenuScreenDisplayTest) {
            Timer_Stop(kTimerDisplayRefresh);
            Lcd_RefreshController();
        }
        if (top == kMenuScreenCalNotDone) Cal_SelectMeasurement(2, 0);
    }
    SensDiag_WriteOptLedMode();
    g_EditFlags[0] = 0;
    bool saving = g_SaveWaitBits != 0;
    if (event == kMenuEventEscape && !saving) {
        if (top == kMenuScreenNumEdit || top == 10 || (top == kMenuScreenParamPage && ParamPage_CurrentPage() == 69)) {
            Menu_EndChannelHold();
        }
        if (top == kMenuScreenHome) return kMenuNoNavigation;
        Timer_Stop(kTimerDisplayRefresh);
    }
    if (saving) return kMenuNoNavigation;
    return GoHome();
}

static int32_t TranslateSaveDone() {
    uint32_t last = g_MenuLastAction;
    if (last == 0x1ff300 || last == 4142) {
        Menu_EndChannelHoldIfActive();
        return GoHome();
    }
    if (last == 0x1ff310) {
        if (EntryUnderTop() == kMenuScreenHome || !Pop(1)) return GoHome();
        return kMenuEventRedraw;
    }
    if (last == 246) return Push(10, 12);
    if (last == 4248) {
        g_PendingMenuItem = 0x1082;
        return Push(kMenuScreenValuePage, 10);
    }
    if (last == 0x300002) {
        g_DisplayMode = 1;
        g_PendingMenuItem = 0x300002;
        return Push(33, 33);
    }
    if (last == 0xf00000) {
        g_DisplayMode = 1;
        return Push(43, 43);
    }
    ClearStatusRows();
    ShowCalibrationSuccessful();
    if ((g_ChosenMode == 2 && last != 0x1ff100) || (Menu_IsCalPosition() && last == 0x1ff100)) {
        Timer_StartTicks(kTimerDisplayRefresh, 2, 0);
        return kEnterNothing;
    }
    Timer_StartTicks(kTimerCountdown, 3, 0);
    return Push(kMenuScreenCountdown, 55);
}

static int32_t TranslateBelowActions(uint8_t top, uint32_t event) {
    switch (event) {
        case kMenuEventCal:
        case kMenuEventMenu:
        case kMenuEventInfo:
            return TranslateHomeKeys(event);
        case kMenuEventTimeout:
        case kMenuEventEscape:
            return TranslateLeave(top, event);
        case kMenuEventHomeEnter:
            if (HomeOwnsDisplay() && Menu_MessagesToShow()) return Push(kHomeKeyScreen[5], kHomeKeyEnterCode[5]);
            return kMenuNoNavigation;
        case kMenuEventSaveDone:
            return TranslateSaveDone();
        case kMenuEventRedraw:
            return kMenuEventRedraw;
        case 241:
            if (g_MenuPosition == 0x1ff020 || g_MenuPosition == 0x1ff021) {
                if (CalStep() != 0) return Push(kMenuScreenCalNotDone, 11);
            }
            return Push(5, 6);
        case 246: {
            uint32_t status = CalStep();
            if (ActiveKind(CurrentChannel()) == kKindOpticalO2) {
                // The optical sensor takes the result over the link; event 54 continues.
                g_MenuLastAction = 246;
                Hold_ShowPleaseWait();
                BlinkOff();
                g_DisplayMode = 6;
                return kEnterNothing;
            }
            return status == 0 ? Push(10, 12) : Push(kMenuScreenCalNotDone, 11);
        }
        default:
            return kMenuNoNavigation;
    }
}

static int32_t TranslateAction(uint32_t event) {
    switch (event) {
        case 4080:
            if (g_MenuDepth < 2) return GoHome();
            g_DisplayMode = 1;
            g_MenuDepth = 2;
            return kMenuEventRedraw;
        case 4081:
            if (!Pop(1)) return GoHome();
            return kMenuNoNavigation;
        case 4082:
            return kMenuEventRedraw;
        case 4088:
            if (!Pop(1)) return GoHome();
            return kMenuEventRedraw;
        case 4083:
            Fw_HardwareHook();
            return Push(kMenuScreenCalNotDone, 11);
        case 4084:
            return Push(11, 13);
        case 4091:
            return Push(kMenuScreenLineSetup, 7);
        case 4097:
            return Push(22, 24);
        case 4085: {
            uint8_t under = EntryUnderTop();
            if (under == kMenuScreenHome || under == 255) return GoHome();
            if (!Pop(under == kMenuScreenHoldCountdown ? 2 : 1)) return GoHome();
            return kMenuEventRedraw;
        }
        case 4086: {
            uint8_t under = EntryUnderTop();
            if (!Pop(under == 39 || under == 52 ? 2 : 1)) return GoHome();
            return kMenuEventRedraw;
        }
        case 4093: {
            uint8_t under = EntryUnderTop();
            if (under == 255) return GoHome();
            if (under == kMenuScreenHome) {
                uint32_t last = g_MenuLastAction;
                if (last == kMenuEventCal && g_ManualHold.active) {
                    g_PendingMenuItem = g_ManualHold.item;
                    g_CalPoint = 0;
                    g_MenuStack[1] = kMenuScreenNumEdit;
                    g_MenuDepth = 2;
                    return 5;
                }
                // Resume what the key asked for before the access code.
                if (last >= 6 || kHomeKeyScreen[last] == 0) return GoHome();
                g_MenuStack[1] = kHomeKeyScreen[last];
                g_MenuDepth = 2;
                if (kHomeKeyEnterCode[last] == 1) Screen_SelectInit(0);
                return kHomeKeyEnterCode[last];
            }
            if (under == kMenuScreenConfigWarning) {
                g_PendingMenuItem = 0x102c;
                return ReplaceTop(kMenuScreenParamPage, 9);
            }
            if (!Pop(1)) return GoHome();
            return kMenuEventAccessGranted;
        }
        case 4118:
            g_PendingMenuItem = g_MenuPosition & 0xf00fff;
            return Push(kMenuScreenNumEdit, 5);
        case 4119:
            g_PendingMenuItem = 0x1013;
            g_PageQuantityAbove2 = (g_MenuPosition & 0xf00fff) > 0x100002 ? 1 : 0;
            return Push(kMenuScreenParamPage, 9);
        case kMsgActionClearMessages:
            Msg_ResetStore();
            Screen_DrawDiagIndicators();
            return GoHome();
        case 4141:
            Menu_ResetToDefaults();
            Menu_EndChannelHoldIfActive();
            return GoHome();
        case 4142:
            Meas_ResetSettings(0);
            g_MenuLastAction = 4142;
            g_DisplayMode = 6;
            BlinkOff();
            ClearStatusRows();
            DrawText(kRowMessage, 0, 78, 9);
            g_SaveWaitBits |= kSaveWaitBoard;
            return kEnterNothing;
        case 4143:
            Meas_ResetSettings(3);
            return GoHome();
        case 4209:
            Chan_NotifyMemoryChanged(1);
            return GoHome();
        case 4149:
            return Push(36, 36);
        case 4150:
            return Push(37, 37);
        case 4157:
            return Push(39, 39);
        case 4160:
            return Push(40, 40);
        case 4177:
            return Push(52, 52);
        case 4215:
            return Push(kMenuScreenHoldCountdown, 57);
        case 4234:
            return Push(61, 60);
        case 4236:
            return Push(10, 12);
        case 4179:
            g_PendingMenuItem = 4179;
            return Push(kMenuScreenParamPage, 9);
        case 4180:
            if (!Pop(1)) return GoHome();
            Screen_SelectShow(2, 1);
            ParamPage_SetCurrent(68);
            return kEnterNothing;
        case 4196:
            g_PendingMenuItem = 0xb00004;
            return ReplaceTop(kMenuScreenParamPage, 54);
        case 4198:
            Timer_StartTicks(kTimerCountdown, 1, 0);
            return Push(kMenuScreenCountdown, 55);
        case 4248:
            g_MenuLastAction = 4248;
            Hold_ShowPleaseWait();
            BlinkOff();
            g_DisplayMode = 6;
            return kEnterNothing;
        default:
            break;
    }
    if (InTable(kValuePageIds, kValuePageIdCount, event)) return OpenValuePage(event);
    if (InTable(kParamPageIds, kParamPageIdCount, event)) return OpenParamPage(event);
    return kMenuNoNavigation;
}

// Calibrating the position chosen on the selection screen, or the output current.
static int32_t TranslateCalibrate(uint32_t event) {
    g_MenuPosition = event == 0x1ff022 ? 0x1ff022 : Screen_GetSelectPosition();
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
    if (pending == 0x100006) return Push(13, 15);
    if (pending == 0x100004) {
        g_ChosenMode = 0;
        g_PendingMenuItem = 0x1014;
        return Push(kMenuScreenParamPage, 9);
    }
    if (position == 0x10100b) {
        g_ChosenMode = 2;
        g_PendingMenuItem = 0x1050;
        return Push(kMenuScreenParamPage, 9);
    }
    if (pending == 0x10000c) {
        g_ChosenMode = 0;
        g_PendingMenuItem = 0x1062;
        return Push(kMenuScreenParamPage, 9);
    }
    if (pending == 0x100000 || pending == 0x100001) {
        g_PendingMenuItem = pending == 0x100000 ? 0x1011 : 0x1012;
        return Push(kMenuScreenParamPage, 9);
    }
    if (position == 0x10100a) {
        g_ChosenMode = 0;
        g_PendingMenuItem = 0x108b;
        return Push(kMenuScreenParamPage, 9);
    }
    if (pending == 0x100002 || pending == 0x100003) {
        g_PendingMenuItem = 0x1013;
        return Push(38, 38);
    }
    return Push(kMenuScreenNumEdit, 5);
}

static int32_t TranslateSaveCalibration(uint32_t event) {
    BlinkOff();
    g_MenuLastAction = event;
    g_CalPoint = 0;
    g_DisplayMode = 6;
    uint32_t status = 0;
    if (event == 0x1ff100) {
        uint32_t p = g_MenuPosition;
        if (p == 0x100005 || p == 0x100008 || p == 0x100009 || p == 0x10000e || p == 0x10001b || p == 0x10001c) {
            // The calibration constants were edited by hand; they go back as they stand.
            g_SaveWaitBits &= static_cast<uint8_t>(~kSaveWaitSensor);
            Chan_SaveCalEditValues(0);
            Timer_StartTicks(kTimerDisplayRefresh, 2, 0);
            ShowSaveResult(true);
        } else if (p == 0x1ff020 || p == 0x1ff021) {
            Cal_SaveById(p, &status);
            if (status == 0) Timer_StartTicks(kTimerDisplayRefresh, 2, 0);
            ShowSaveResult(status == 0);
        } else {
            g_SaveWaitBits |= kSaveWaitBoard;
            Cal_SaveById(p, &status);
            if (status != 0) {
                // Nothing will report on a save that could not even start.
                g_SaveWaitBits &= static_cast<uint8_t>(~kSaveWaitBoard);
                ShowSaveFailed();
            } else {
                ClearStatusRows();
                DrawText(kRowMessage, 0, 78, 9);
            }
        }
        Cal_SelectMeasurement(2, 0);
        return kEnterNothing;
    }
    // 0x1ff200 / 0x1ff201: save the current channel's calibration, calibrate-only or not.
    uint8_t channel = CurrentChannel();
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
    return Push(kMenuScreenCountdown, 55);
}

static int32_t TranslateItem(uint32_t event) {
    if (event >= 0x100000 && event <= 0x101fff) {
        if (event == 0x100006 || event == 0x101006) {
            Cal_SelectMeasurement(2, 0);
            g_MenuPosition = event;
            return Push(13, 15);
        }
        return kMenuNoNavigation;
    }
    switch (event) {
        case 0x1ff020:
        case 0x1ff021:
            Cal_SelectMeasurement(2, 0);
            g_MenuPosition = event;
            g_PendingMenuItem = event;
            g_CalPoint = 0;
            Screen_EndTimedHold();
            return Push(kMenuScreenNumEdit, 5);
        case 0x1ff022:
        case 0x10000000:
            return TranslateCalibrate(event);
        case 0x10000001:
            Cal_SelectMeasurement(2, 0);
            g_ChosenMode = 0;
            g_MenuPosition = Screen_GetSelectPosition();
            return Push(20, 22);
        case 0x1ff100:
        case 0x1ff200:
        case 0x1ff201:
            return TranslateSaveCalibration(event);
        case 0x1ff110:
        case 0x1ff202:
            g_MenuStack[0] = kMenuScreenHome;
            g_MenuDepth = 1;
            BlinkOff();
            if (event == 0x1ff110 || g_ChosenMode == 2) return kEnterHome;
            ClearStatusRows();
            Timer_StartTicks(kTimerCountdown, 1, 0);
            return Push(kMenuScreenCountdown, 55);
        case 0x1ff300:
        case 0x1ff310: {
            g_MenuLastAction = event;
            BlinkOff();
            g_DisplayMode = 6;
            uint32_t status = 0;
            Settings_CommitAll(&status, 1);
            if (event == 0x1ff300) Vdx_PushSettingsToSensor();
            Hold_ShowPleaseWait();
            return kEnterNothing;
        }
        case 0x1ff320:
            return g_SaveWaitBits == 0 ? GoHome() : kMenuNoNavigation;
        case 0x200000:
            return Push(kMenuScreenConfigWarning, 58);
        case 0x300000:
            return Push(kMenuScreenMessages, 27);
        case 0x300001:
            return Push(42, 42);
        case 0x300002:
        case 0xf00000:
            if (ActiveKind(CurrentChannel()) == kKindOpticalO2) {
                // The optical sensor's history comes over the link first; event 54 continues.
                g_MenuLastAction = event;
                Meas_QueueMeasurementItems();
                Hold_ShowPleaseWait();
                g_DisplayMode = 6;
                return kEnterNothing;
            }
            return event == 0x300002 ? Push(33, 33) : Push(43, 43);
        case 0x300004:
        case 0xa00000:
            return Push(21, 23);
        case 0x500002:
            return Push(19, 21);
        case 0x600001:
        case 0x600002:
        case 0x600003:
            g_PendingMenuItem = event;
            return Push(49, 49);
        case 0x700000:
            g_PendingMenuItem = 0x102c;
            return Push(kMenuScreenParamPage, 9);
        case 0x700001:
            return Push(12, 14);
        case 0x800000:
            return Push(23, 25);
        case 0xb00005:
            return OpenParamPage(0xb00001);
        case 0xc00001:
            Screen_SelectInit(1);
            return Push(kMenuScreenSelectCal, 1);
        case 0xd00000:
            return Push(30, 30);
        case 0xd00001:
            return Push(31, 31);
        case 0xd00002:
            return Push(32, 32);
        case 0xd00003:
            return Push(60, 59);
        case 0xe00001:
            return Push(35, 35);
        case 0xe00002:
            return Push(34, 34);
        case 0xf00001:
        case 0xf00002:
        case 0xf00003:
        case 0xf00004:
        case 0xf00005: {
            uint8_t n = static_cast<uint8_t>(event - 0xf00001);
            return Push(static_cast<uint8_t>(44 + n), 44 + n);
        }
        default:
            break;
    }
    if (event >= 0xa00001 && event <= 0xa0000a && kServiceScreen[event - 0xa00001] != 255) {
        uint32_t i = event - 0xa00001;
        return Push(kServiceScreen[i], kServiceEnterCode[i]);
    }
    if (InTable(kParamPageIds, kParamPageIdCount, event)) return OpenParamPage(event);
    if (InTable(kValuePageIds, kValuePageIdCount, event)) return OpenValuePage(event);
    return kMenuNoNavigation;
}

int32_t Menu_TranslateEvent(uint8_t top, uint32_t event, uint8_t* newTop) {
    int32_t r;
    if (event < 4080) {
        r = TranslateBelowActions(top, event);
    } else if (event <= 4351) {
        r = TranslateAction(event);
    } else {
        r = TranslateItem(event);
    }
    *newTop = Menu_TopScreen();
    return r;
}
