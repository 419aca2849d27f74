// Output hold: the hold word from its causes, and the digital inputs.
#include "outputs/hold.h"

#include "core/fw_hook.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "outputs/clean.h"
#include "settings/settings_sensor.h"

uint32_t g_OutputHold;
uint8_t g_TimedHold;
std::atomic<uint8_t> g_DigitalInputs[2];

// Digital-input hold setting: the input holds while it stands in this state; 2 = never.
static constexpr uint8_t kInputHoldOff = 2;

void Hold_ResetState() {
    g_OutputHold = 0;
    g_TimedHold = 0;
    g_DigitalInputs[0].store(0, std::memory_order_relaxed);
    g_DigitalInputs[1].store(0, std::memory_order_relaxed);
}

uint32_t Hold_ReadDigitalInput(uint32_t channel) {
    return channel < 2 && g_DigitalInputs[channel].load(std::memory_order_relaxed) != 0 ? 1 : 0;
}

void Hold_ShowPleaseWait() {
    g_BlinkField.active = 0;
    Lcd_FillStatusRows(0);
    Lcd_DrawTextRef(kRowMessage, 0, kTextPleaseWait);
    // ESC and the sensor recognition wait until the save has finished.
    g_SaveWaitBits |= kSaveWaitSensor;
}

uint32_t Hold_IsDigitalInputActive() {
    uint32_t channel = Chan_GetCurrentChannel();
    if (channel > 1) return 0;
    uint8_t state = Settings_GetDigitalInputHold(channel);
    if (state >= kInputHoldOff) return 0;
    return Hold_ReadDigitalInput(channel) == state ? 1 : 0;
}

void Hold_Update() {
    uint32_t channel = Chan_GetCurrentChannel();
    uint32_t hold = Hold_IsDigitalInputActive() || Clean_IsActive() || g_TimedHold != 0 || g_HoldOnChange == 1 ||
                    (channel < 2 && Meas_CheckCalDue(channel));
    if (hold != g_OutputHold) {
        g_OutputHold = hold;
        Fw_HardwareHook();
    }
}

// Seconds the timed hold lasts while an oxygen sensor settles at its calibration voltage.
static constexpr uint16_t kPolarizationSettleSeconds = 120;

uint32_t Hold_ApplyChannelChange() {
    uint32_t kind = Chan_GetSensorKindBySel(3);
    uint32_t channel = Chan_GetCurrentChannel();
    if (channel > 1) channel = 0;
    if (!Chan_IsMeasuringKindO2(kind) || g_ChosenOption != 0 || g_ChosenMode == kCalModeProcess) return kActionList;
    int16_t calibration = Settings_GetEditCalPolVoltage(channel);
    if (Settings_GetEditMeasPolVoltage(channel) == calibration) return kActionList;
    if (g_HoldOnChange == 1) {
        g_TimedHold = 1;
        Timer_StartTicks(kTimerTimedHold, kPolarizationSettleSeconds, 0);
    }
    Chan_RequestO2Mode(channel, calibration);
    return kActionHoldCountdown;
}
