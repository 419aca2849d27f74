// The optical oxygen sensor's errors: its status word's bits grouped into messages, alarm causes,
// flags and output requests, and its LED mode.
#include "digital_sensor/sens_diag_opt.h"

#include "core/menu_position.h"
#include "core/param.h"
#include "core/settings.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/alarms.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "settings/settings_sensor.h"
#include "settings/settings_work.h"

// A group of items: its mask over item numbers, channel B's message, its alarm cause and flag,
// and the bit of the cause disable mask that switches it off.
struct OptGroup {
    uint32_t items;
    uint16_t message;
    uint32_t cause;
    uint32_t flag;
    uint32_t suppression;
};
static constexpr OptGroup kGroups[] = {
    {0x105, 61, 11, 25, 9},   // shaft: items 0, 2, 8 "Shaft Error"
    {0x8C0, 62, 12, 26, 10},  // signal: items 6, 7, 11 "Signal error"
    {0x63A, 63, 13, 27, 11},  // hardware: items 1, 3, 4, 5, 9, 10 "Hardware error"
};
// The spot group (items 13..16 and 21, "Change spot") and the calibration group (20, 22, 23, "Cal
// Required"); they drive the lifetime and calibration-timer outputs.
static constexpr uint32_t kSpotItems = 0x1E000;
static constexpr uint32_t kSpotLifetimeItem = 1u << 21;
static constexpr uint16_t kMsgChangeSpot = 64;
static constexpr uint32_t kFlagChangeSpot = 28;
static constexpr uint32_t kCalItems = 0xC00000;
static constexpr uint32_t kCalTimerItem = 1u << 20;
static constexpr uint16_t kMsgCalRequired = 57;
static constexpr uint32_t kFlagCalRequired = 21;
// Parameters of channel B: 42 the LED setting, 43 the LED mode.
static constexpr uint32_t kParamLedSetting = 42;
static constexpr uint32_t kParamLedMode = 43;
static constexpr uint32_t kLedOff = 0;
static constexpr uint32_t kLedOn = 2;

uint32_t SensDiag_GetOptItem(uint32_t item) {
    uint32_t word = g_SensorStatusWord[1];
    if (item < kOptItemPhaseField) return word >> item & 1u;
    if (item == kOptItemPhaseField) return word >> 16 & 3u;
    if (item <= 16) return word >> (item + 5) & 1u;
    if (item < kOptItemErrors) return word >> (item + 7) & 1u;
    return 0;
}

static uint32_t ActiveItems() {
    uint32_t mask = 0;
    for (uint32_t item = 0; item < kOptItemErrors; ++item) {
        if (item != kOptItemPhaseField && SensDiag_GetOptItem(item)) mask |= 1u << item;
    }
    return mask;
}

static uint16_t CodeB(uint16_t n) { return static_cast<uint16_t>(kMsgChannelB + n); }

// A group whose own message goes with a timer alarm: its flag and output follow the alarm's
// settings. strong: an item that always alarms; weak: the item the timer's off byte silences.
static void EvalTimerGroup(uint32_t active, uint32_t strong, uint32_t weak, uint16_t message, uint32_t flag,
                           uint32_t alarm) {
    const SensDiagAlarmSetting& a = g_SensDiagAlarms[alarm];
    bool on = false, flagged = false, request = false;
    if (active & strong) {
        on = flagged = true;
        request = alarm == kDiagAlarmAct || (a.off == 0 && a.messageOnly == 0);
    } else if ((active & weak) && a.off == 0) {
        on = true;
        flagged = request = a.messageOnly == 0;
    }
    if (on) {
        Msg_Raise(CodeB(message));
    } else {
        Msg_Clear(CodeB(message));
    }
    if (flagged) {
        Alarm_SetFlag(flag, 1);
    } else {
        Alarm_ClearFlag(flag, 1);
    }
    g_ChanOcAlarm[alarm] = request ? 1 : 0;
}

void SensDiag_EvalOptErrors() {
    uint32_t active = ActiveItems();
    uint32_t mask = g_AlarmSettings.disableMask;
    for (const OptGroup& g : kGroups) {
        bool suppressed = (mask >> g.suppression & 1u) != 0;
        if ((active & g.items) != 0 && !suppressed) {
            Alarm_SetCause(g.cause, 1);
            Alarm_SetFlag(g.flag, 1);
            Msg_Raise(CodeB(g.message));
        } else {
            Alarm_ClearCause(g.cause, 1);
            Alarm_ClearFlag(g.flag, 1);
            if (!suppressed) Msg_Clear(CodeB(g.message));
        }
    }
    EvalTimerGroup(active, kSpotItems, kSpotLifetimeItem, kMsgChangeSpot, kFlagChangeSpot, kDiagAlarmLifetime);
    EvalTimerGroup(active, kCalItems, kCalTimerItem, kMsgCalRequired, kFlagCalRequired, kDiagAlarmAct);
}

uint32_t SensDiag_ListOptItems(uint8_t* items) {
    uint32_t active = ActiveItems();
    uint32_t n = 0;
    for (uint32_t item = 0; item < kOptItemErrors; ++item) {
        if (active >> item & 1u) items[n++] = static_cast<uint8_t>(item);
    }
    items[n++] = kOptItemTspot;
    items[n++] = kOptItemTboard;
    return n;
}

void SensDiag_WriteOptLedMode() {
    uint32_t status = 0;
    Param_SetInt(1, kParamLedMode, Settings_GetEditLedMode(), &status);
}

void SensDiag_SyncOptLedMode(uint32_t channel) {
    if (channel != 1 || g_SensorKindActive[1] != kKindO2Optical) return;
    uint32_t status = 0;
    if (Param_GetInt(1, kParamLedSetting, &status) != kLedOn) return;
    if (Settings_GetFlag378() == 1) {
        Param_SetInt(1, kParamLedMode, kLedOn, &status);
    } else if (!Menu_IsPositionPending()) {
        Param_SetInt(1, kParamLedMode, Hold_ReadDigitalInput(0) ? kLedOff : kLedOn, &status);
    }
}
