// Firmware start-up and the main-loop pass.
#include "fw_main.h"

#include <atomic>
#include <cstring>

#include "core/eeprom.h"
#include "core/events.h"
#include "core/fw_hook.h"
#include "core/ident.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/rtc.h"
#include "core/settings.h"
#include "core/timers.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_refusal.h"
#include "measurement/channel.h"
#include "measurement/filter.h"
#include "measurement/slots.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "platform/plat.h"
#include "ui/hold_view.h"
#include "ui/home.h"
#include "ui/info_screens.h"
#include "ui/menu.h"
#include "ui/select_screen.h"

const char kFirmwareVersion[] = "1.2.01";

// Published by the firmware thread with release once the store is set up and the kinds loaded.
static std::atomic<uint32_t> s_SettingsLoaded{0};
// The configured kinds as the panel reads them: g_ChannelKind is the firmware thread's alone, and
// this copy follows it after every load and every main-loop pass.
static std::atomic<uint8_t> s_ShownKinds[2];

static void PublishChannelKinds() {
    for (uint32_t channel = 0; channel < 2; ++channel)
        s_ShownKinds[channel].store(g_ChannelKind[channel], std::memory_order_relaxed);
}

bool Fw_SettingsLoaded() { return s_SettingsLoaded.load(std::memory_order_acquire) != 0; }

void Fw_ResetState() {
    s_SettingsLoaded.store(0, std::memory_order_relaxed);
    for (std::atomic<uint8_t>& kind : s_ShownKinds) kind.store(0, std::memory_order_relaxed);
}

void Fw_HardwareInit() {
    Lcd_Init();
    Eeprom_Open();
    Timer_Init();
    Settings_InitComm();
}

static void DrawCentred(uint32_t row, const char* text) {
    uint32_t n = static_cast<uint32_t>(std::strlen(text));
    if (n > kLcdCharsPerRow) n = kLcdCharsPerRow;
    // Half a 6-column cell for each character short of a full row.
    Lcd_DrawText(row, (kLcdCharsPerRow - n) * 3, text);
}

void Fw_ShowVersion() {
    char model[16];
    Ident_GetModelName(model);
    DrawCentred(kRowStatus, model);
    DrawCentred(kRowMessage, kFirmwareVersion);
}

void Fw_LoadChannelTypes() {
    uint8_t kinds[2];
    uint32_t status = 0;
    Eeprom_Read(kStoreChannelKinds, kinds, 2, &status);
    if (status != 0) {
        g_ChannelKind[0] = 1;
        g_ChannelKind[1] = 1;
        PublishChannelKinds();
        return;
    }
    for (int channel = 0; channel < 2; ++channel) {
        g_ChannelKind[channel] = kinds[channel];
        if (kinds[channel] > kMaxChannelKind) {
            g_ChannelKind[channel] = 1;
            g_ChannelSensorId[channel] = kDefaultSensorModel;
        }
    }
    PublishChannelKinds();
}

uint8_t Fw_GetChannelType(uint32_t channel) {
    return channel < 2 ? s_ShownKinds[channel].load(std::memory_order_relaxed) : 0;
}
uint32_t Fw_GetChannelSensorId(uint32_t channel) { return channel < 2 ? g_ChannelSensorId[channel] : 0; }

// Steps the link until software timer 7 runs out; false when the thread was asked to stop.
static bool WaitForBoard(uint32_t seconds) {
    Timer_StartTicks(kTimerInactivity, seconds, 0);
    while (!Timer_Expired(kTimerInactivity)) {
        Fw_HardwareHook();
        Link_Tick();
        if (Plat_StopRequested()) return false;
        Plat_Idle();
    }
    return true;
}

void Fw_Start() {
    Menu_ResetStack();
    g_DisplayMode = kKeyModeHome;
    g_BlinkTick.store(0, std::memory_order_relaxed);

    Fw_HardwareInit();
    Ident_InitMainBoard();
    Fw_ShowVersion();

    uint32_t status = 0;
    Settings_LoadMeasurementStore(&status);
    if (status != 0) {
        // The panel shows the channel kinds even so; loading them here keeps them this thread's.
        Fw_LoadChannelTypes();
        s_SettingsLoaded.store(1, std::memory_order_release);
        Lcd_FillStatusRows(0);
        Lcd_DrawText(kRowMessage, 0, "EEPROM Error!");
        // The instrument stops here for good; the panel keeps painting the message.
        while (!Plat_StopRequested()) {
            Fw_HardwareHook();
            Plat_Idle();
        }
        return;
    }
    Msg_ClearAll();
    Event_Clear();
    Settings_LoadAll(&status);
    Msg_SaveStore();
    PublishChannelKinds();
    s_SettingsLoaded.store(1, std::memory_order_release);

    Timer_SetCallback(kTimerLinkTick, 1, Link_CountTick);
    Timer_Start(kTimerLinkTick, 20, 1);

    g_LinkStartupWait = 1;
    if (!WaitForBoard(4) || !WaitForBoard(10)) return;
    g_LinkStartupWait = 0;

    Timer_StartTicks(kTimerInactivity, 240, 1);
    Timer_Start(kTimerOneSecond, 1000, 1);
    Menu_EndChannelHoldIfActive();
    Vdx_InitPlugMachine();

    ClockRecord clock;
    if (!Rtc_GetTime(&clock)) {
        g_EditFlags[0] = 1;
        Event_Put(kItemSetClock);
    } else {
        g_EditFlags[0] = 0;
        Event_Put(kEventHome);
    }
    // Both branches: without the callback nothing would ever blink.
    Timer_SetCallback(kTimerBlink, 1, Lcd_SetBlinkPhase);
    Timer_Start(kTimerBlink, 500, 1);

    Key_Start();
    Fw_HardwareHook();
    Msg_SaveStore();

    if (g_FwHalted) {
        Lcd_FillStatusRows(0);
        Lcd_DrawText(kRowMessage, 0, "Need Update Brannic");
    }
}

static void ReportSaveResults() {
    if (g_SaveWaitBits & kSaveWaitSensor) {
        uint32_t state = Chan_GetLinkState();
        if (state == 0) {
            g_SaveWaitBits &= static_cast<uint8_t>(~kSaveWaitSensor);
            Vdx_ForgetSettingsBeforeSave();
            Event_Put(kEventSaveDone);
        } else if (state == 1) {
            g_SaveWaitBits &= static_cast<uint8_t>(~kSaveWaitSensor);
            Lcd_DrawText(kRowMessage, 0, "  Sensor Save Failed!   ");
            g_DisplayMode = kKeyModeMessage;
        }
    }
    if (g_SaveWaitBits & kSaveWaitBoard) {
        uint8_t result = g_LinkSaveResult;
        if (result == 1) {
            g_SaveWaitBits &= static_cast<uint8_t>(~kSaveWaitBoard);
            g_LinkSaveResult = 255;
            Event_Put(kEventSaveDone);
        } else if (result == 0) {
            g_SaveWaitBits &= static_cast<uint8_t>(~kSaveWaitBoard);
            g_LinkSaveResult = 255;
            Lcd_ClearSpan(kRowMessage, 0, 145);
            Lcd_DrawText(kRowMessage, 36, "Save Failed!");
            g_DisplayMode = kKeyModeMessage;
        }
    }
}

void Fw_MainLoopPass() {
    Fw_HardwareHook();
    Link_Tick();
    if (g_FwHalted) {
        Msg_SaveStore();
        return;
    }

    Meas_UpdateCycle();

    if (Key_HasKey()) {
        Key_PostEvent(g_DisplayMode, Key_Get());
        Timer_Restart(kTimerInactivity);
    }
    if (g_SaveWaitBits != 0) ReportSaveResults();
    Vdx_ReportAutoclaveSave();

    if (Event_HasItem()) {
        uint32_t event = Event_Get();
        if (Menu_EventAllowed(event)) {
            Fw_HardwareHook();
            int32_t result = Menu_HandleEvent(Menu_TopScreen(), event);
            if (result != -1 && result != static_cast<int32_t>(kEventNone)) Event_Put(static_cast<uint32_t>(result));
            // The display test draws the alarm indicators itself while it is shown.
            Alarm_SetDisplayTestShown(Menu_TopScreen() == kScreenDisplayTest);
        }
    }
    Fw_Housekeeping();
    PublishChannelKinds();
    // The message list reaches the store once a pass, whatever changed in it.
    Msg_SaveStore();
}

static void BlinkStep() {
    Fw_HardwareHook();
    uint8_t top = Menu_TopScreen();
    if (Filter_IsStabilityActive() && top == kScreenNumericEditor) {
        ++g_StateMarkerStep;
        Meas_DrawStateMarker(g_StateMarkerStep);
        if (g_StateMarkerStep > 3) g_StateMarkerStep = 0;
    } else {
        g_StateMarkerStep = 0;
    }

    if (g_SymbolBlinkPhase == 1) {
        g_SymbolBlinkPhase = 0;
        for (uint32_t channel = 0; channel < 2; ++channel) {
            if (g_SymbolBlinkMask & (1u << channel)) Lcd_DrawChannelSymbol(channel);
            if (Menu_IsChannelHeld(channel)) Home_DrawChannelHoldMarks(0);
        }
        if (Hold_IsOutputHoldActive()) {
            if (g_HoldMarkPhase == 0) {
                Home_BlinkHoldMark(0);
            } else {
                Home_BlinkChannelLetter(0);
            }
        }
    } else {
        g_SymbolBlinkPhase = 1;
        for (uint32_t channel = 0; channel < 2; ++channel) {
            if (g_SymbolBlinkMask & (1u << channel)) Lcd_EraseChannelSymbol(channel);
            if (Menu_IsChannelHeld(channel)) Home_DrawChannelHoldMarks(1);
        }
        if (Hold_IsOutputHoldActive()) {
            if (g_HoldMarkPhase == 0) {
                Home_BlinkHoldMark(1);
                g_HoldMarkPhase = 1;
            } else {
                Home_BlinkChannelLetter(1);
                g_HoldMarkPhase = 0;
            }
        }
    }
    Lcd_StepBlinkField();
    g_BlinkTick.store(0, std::memory_order_relaxed);
    Fw_HardwareHook();
}

void Fw_Housekeeping() {
    if (Menu_TopScreen() != kScreenDisplayTest && g_BlinkTick.load(std::memory_order_relaxed)) BlinkStep();

    if (Timer_Expired(kTimerOneSecond)) {
        if (Timer_Expired(kTimerInactivity) && g_MenuPositionPending == 0) {
            Event_Put(kEventHome);
        } else {
            if (Menu_TopScreen() == kScreenNumericEditor) Event_Put(kEventEditorSecond);
            Event_Put(kEventSecond);
        }
    }
    if (Timer_Expired(kTimerDisplayRefresh)) {
        Timer_Stop(kTimerDisplayRefresh);
        Lcd_RefreshController();
        Event_Put(kEventHome);
    }
    if (Timer_Expired(kTimerTimedHold)) Screen_EndTimedHold();
}
