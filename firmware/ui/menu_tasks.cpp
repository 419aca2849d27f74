// The one-second tasks: the measurement-screen refresh and the periodic steps of the outputs,
// alarms and clock that hang off event 10, as const data in the order they run.
#include "ui/menu_tasks.h"

#include "core/fw_hook.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/rtc.h"
#include "core/settings.h"
#include "core/texts.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_diag_opt.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/slots.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "outputs/pid.h"
#include "outputs/pid_pulse.h"
#include "outputs/relays.h"
#include "outputs/setpoint.h"
#include "ui/cal_view.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/msg_page.h"
#include "ui/numedit.h"

// The first of each set point's ten message codes (1200 + 10 x set point + n).
static constexpr uint16_t kSetPointMessageBase = 1200;
// The clock's year below which the date counts as never set.
static constexpr uint16_t kFirstValidYear = 2018;

// Language in which "Failure - Press ENTER" was last drawn on the measurement screen; kNotDrawn
// since the screen was entered or the messages went away.
static constexpr uint8_t kNotDrawn = 255;
static uint8_t s_FailureLanguage = kNotDrawn;

void Menu_RefreshSetPointMessages() {
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        uint8_t s = SetPoint_GetState(i);
        uint16_t base = static_cast<uint16_t>(kSetPointMessageBase + 10 * i);
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

// The contacts as they stood when the relay test took the relays.
static uint8_t s_ContactsBeforeTest;

void Menu_SuspendPeriodicTasks() {
    if (!g_PeriodicTasksSuspended) s_ContactsBeforeTest = g_RelayBits.load(std::memory_order_relaxed);
    g_PeriodicTasksSuspended = 1;
    Pid_Suspend();
}

void Menu_ResumePeriodicTasks() {
    if (!g_PeriodicTasksSuspended) return;
    g_PeriodicTasksSuspended = 0;
    // Under a hold a relay that keeps its contact keeps the one it had before the test.
    if (g_OutputHold != 0) {
        for (uint32_t relay = 0; relay < kRelayCount; ++relay)
            Relay_SetContact(relay, (s_ContactsBeforeTest >> relay) & 1u);
    }
    // The PID's pulse relays rest until its next pulse, unless its pulses are held.
    if (!Pid_IsPulseHeld() && Pid_GetOutputType() != kPidOutputNone) {
        for (uint32_t output = 0; output < 2; ++output) Relay_SetLogical(Pid_GetPulseRelay(output), 0);
    }
    // Every other relay at once as its users ask.
    Menu_TickRelays();
}

void Menu_TickPid() {
    if (g_PeriodicTasksSuspended) {
        // The relays belong to the page that suspended the tasks; the PID's pulses stop too.
        Pid_Suspend();
        return;
    }
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
    if (clock.year < kFirstValidYear) {
        Vdx_RaiseSetDateAlarm();
    } else {
        Vdx_ClearSetDateAlarm();
    }
}

static void SyncOpticalLed() { SensDiag_SyncOptLedMode(Menu_CurrentChannel()); }
static void KickHardware() { Fw_HardwareHook(); }

const MenuPeriodicTask g_MenuPeriodicTasks[kMenuPeriodicTaskCount] = {
    SyncOpticalLed,    Hold_Update,     Menu_TickCleaning, Menu_TickAnalogOutputs, KickHardware, Menu_TickSetPoints,
    Alarm_UpdateRelay, Menu_TickRelays, Menu_TickPid,      Menu_TickClock,         KickHardware,
};

void Menu_ForgetFailureText() { s_FailureLanguage = kNotDrawn; }

int32_t Menu_RunSecondTasks(uint8_t top, int32_t result) {
    uint8_t channel = Menu_CurrentChannel();
    uint32_t messages = Menu_MessagesToShow();
    if (Menu_HomeOwnsDisplay() && g_EditFlags[0] == 0 && top != kScreenDisplayTest) {
        if (top == kScreenHome) {
            Home_Draw(&g_MeasLines, Settings_PidMayRun() ? 2 : 1, messages);
            if (messages) {
                if (s_FailureLanguage != g_Language) {
                    Lcd_ClearSpan(kRowMessage, 0, kLcdColumns);
                    Lcd_DrawTextRefBlink(kRowMessage, 0, kTextFailurePressEnter);
                    s_FailureLanguage = g_Language;
                }
            } else {
                Menu_BlinkOff();
                s_FailureLanguage = kNotDrawn;
            }
        } else {
            Home_Draw(&g_MeasLines, 0, messages);
        }
    }
    if (g_SensorParamSavePending && g_EditFlags[0] == 0) Screen_DrawDiagIndicators();
    for (const MenuPeriodicTask& task : g_MenuPeriodicTasks) task();
    if (top == kScreenMessages) Msg_DrawPage();
    if (!(top == kScreenValuePage && g_EditFlags[0] != 0)) {
        if (Vdx_GetPlugState() == kPlugIdle) SensDiag_RunPeriodic();
        // A sensor taken anew waits for the end of a save, and for ENTER under a message that
        // stands until ENTER ("Sensor Save Failed!" above all), which its screens would draw over.
        if ((g_SaveWaitBits & kSaveWaitSensor) == 0 && g_DisplayMode != kKeyModeMessage && channel == 1)
            result = Vdx_GetPendingPlugPage();
    }
    return result;
}
