// Electrode diagnostics evaluation: status codes to messages, flags and causes; the resistance
// pages.
#include "outputs/sensor_alarm.h"

#include "core/fw_hook.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/texts.h"
#include "core/util.h"
#include "measurement/meas.h"
#include "measurement/units.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"

// Message numbers of the checks (a channel's code is channel x 512 + n).
static constexpr uint16_t kMsgDryCond = 52;
static constexpr uint16_t kMsgCellShorted = 53;
static constexpr uint16_t kMsgCellDeviation = 65;
static constexpr uint16_t kMsgElectrolyteLow = 74;

// Key mode of the resistance pages.
static constexpr uint8_t kKeyModeResistancePage = 8;

// One resistance check: its code, the messages of its four statuses (error above, error below,
// warning high, warning low), the two warning statuses, its cause and flag.
struct ResistanceCheck {
    uint32_t code;
    uint16_t message[4];
    uint32_t warnHigh;
    uint32_t warnLow;
    uint32_t cause;
    uint32_t flag;
};
static const ResistanceCheck kGlassCheck = {kDiagGlassRes,     {47, 48, 49, 50},    kDiagGlassWarnHigh,
                                            kDiagGlassWarnLow, kAlarmCauseGlassRes, kAlarmFlagGlassRes};
static const ResistanceCheck kRefCheck = {kDiagRefRes,     {43, 44, 45, 46},  kDiagRefWarnHigh,
                                          kDiagRefWarnLow, kAlarmCauseRefRes, kAlarmFlagRefRes};
static const ResistanceCheck kPnaGlassCheck = {kDiagPnaGlassRes,  {70, 71, 72, 73},       kDiagGlassWarnHigh,
                                               kDiagGlassWarnLow, kAlarmCausePnaGlassRes, kAlarmFlagPnaGlassRes};

static uint32_t ServiceStatus(uint32_t channel, uint32_t code) {
    uint32_t status = 0;
    Unit_CheckRangeByUnit(channel, 0.0f, code, &status);
    return status;
}

static SensorAlarmStatusSource s_StatusSource = ServiceStatus;

void SensorAlarm_SetStatusSource(SensorAlarmStatusSource source) {
    s_StatusSource = source != nullptr ? source : ServiceStatus;
}

void SensorAlarm_ResetState() { s_StatusSource = ServiceStatus; }

static uint16_t Code(uint32_t channel, uint16_t n) { return static_cast<uint16_t>(channel * kMsgChannelB + n); }

static void SetAlarm(uint32_t cause, uint32_t flag, uint32_t channel) {
    Alarm_SetCause(cause, channel);
    Alarm_SetFlag(flag, channel);
}

static void ClearAlarm(uint32_t cause, uint32_t flag, uint32_t channel) {
    Alarm_ClearCause(cause, channel);
    Alarm_ClearFlag(flag, channel);
}

// Raises message `keep` of the check and clears the other three.
static void ShowOnly(const ResistanceCheck& check, uint32_t channel, uint32_t keep) {
    for (uint32_t m = 0; m < 4; ++m) {
        if (m != keep) Msg_Clear(Code(channel, check.message[m]));
    }
    Msg_Raise(Code(channel, check.message[keep]));
}

static void EvalResistance(const ResistanceCheck& check, uint32_t channel) {
    if (channel > 1) return;
    uint32_t status = s_StatusSource(channel, check.code);
    if (status == kDiagAbove || status == kDiagBelow) {
        SetAlarm(check.cause, check.flag, channel);
        ShowOnly(check, channel, status == kDiagAbove ? 0 : 1);
    } else if (status == check.warnHigh || status == check.warnLow) {
        // A warning is a message without an alarm.
        ClearAlarm(check.cause, check.flag, channel);
        ShowOnly(check, channel, status == check.warnHigh ? 2 : 3);
    } else if (status == kDiagOk || status == kDiagNotApplicable) {
        if (Msg_ActiveCount() > 0) {
            for (uint16_t message : check.message) Msg_Clear(Code(channel, message));
        }
        ClearAlarm(check.cause, check.flag, channel);
    }
}

void SensorAlarm_EvalGlassRes(uint32_t channel) { EvalResistance(kGlassCheck, channel); }
void SensorAlarm_EvalRefRes(uint32_t channel) { EvalResistance(kRefCheck, channel); }
void SensorAlarm_EvalPnaGlassRes(uint32_t channel) { EvalResistance(kPnaGlassCheck, channel); }

void SensorAlarm_ClearAll(uint32_t which, uint32_t channel) {
    if (channel > 1 || which > 1) return;
    const ResistanceCheck& check = which == 0 ? kGlassCheck : kRefCheck;
    ClearAlarm(check.cause, check.flag, channel);
    if (which == 0) ClearAlarm(kPnaGlassCheck.cause, kPnaGlassCheck.flag, channel);
    if (Msg_ActiveCount() == 0) return;
    for (uint16_t message : check.message) Msg_Clear(Code(channel, message));
    if (which == 0) {
        for (uint16_t message : kPnaGlassCheck.message) Msg_Clear(Code(channel, message));
    }
}

void SensorAlarm_ClearDryCond(uint32_t channel) {
    if (channel > 1) return;
    if (Msg_ActiveCount() > 0) Msg_Clear(Code(channel, kMsgDryCond));
    ClearAlarm(kAlarmCauseDryCond, kAlarmFlagDryCond, channel);
}

void SensorAlarm_ClearCellShorted(uint32_t channel) {
    if (channel > 1) return;
    Msg_Clear(Code(channel, kMsgCellShorted));
    ClearAlarm(kAlarmCauseCellShorted, kAlarmFlagCellShorted, channel);
}

void SensorAlarm_ClearCellDeviation(uint32_t channel) {
    if (channel > 1) return;
    Msg_Clear(Code(channel, kMsgCellDeviation));
    ClearAlarm(kAlarmCauseCellDeviation, kAlarmFlagCellDeviation, channel);
}

void SensorAlarm_ClearElectrolyteLow(uint32_t channel) {
    if (channel > 1) return;
    Msg_Clear(Code(channel, kMsgElectrolyteLow));
    ClearAlarm(kAlarmCauseElectrolyte, kAlarmFlagElectrolyte, channel);
}

void SensorAlarm_EvalDryCond(uint32_t channel) {
    if (channel > 1) return;
    if (s_StatusSource(channel, kDiagCondState) != kDiagAbove) {
        SensorAlarm_ClearDryCond(channel);
        return;
    }
    SetAlarm(kAlarmCauseDryCond, kAlarmFlagDryCond, channel);
    Msg_Clear(Code(channel, kMsgCellShorted));
    Msg_Raise(Code(channel, kMsgDryCond));
}

void SensorAlarm_EvalCellShorted(uint32_t channel) {
    if (channel > 1) return;
    if (s_StatusSource(channel, kDiagCondState) != kDiagBelow) {
        SensorAlarm_ClearCellShorted(channel);
        return;
    }
    Msg_Clear(Code(channel, kMsgDryCond));
    SetAlarm(kAlarmCauseCellShorted, kAlarmFlagCellShorted, channel);
    Msg_Raise(Code(channel, kMsgCellShorted));
}

void SensorAlarm_EvalCellDeviation(uint32_t channel) {
    if (channel > 1) return;
    if (s_StatusSource(channel, kDiagCellDeviation) != kDiagAbove) {
        SensorAlarm_ClearCellDeviation(channel);
        return;
    }
    SetAlarm(kAlarmCauseCellDeviation, kAlarmFlagCellDeviation, channel);
    Msg_Raise(Code(channel, kMsgCellDeviation));
}

void SensorAlarm_EvalElectrolyteLow(uint32_t channel) {
    if (channel > 1) return;
    uint32_t status = s_StatusSource(channel, kDiagElectrolyte);
    // Status 5 says the check does not apply: nothing to report, as for every other check.
    if (status == kDiagOk || status == kDiagNotApplicable) {
        SensorAlarm_ClearElectrolyteLow(channel);
        return;
    }
    SetAlarm(kAlarmCauseElectrolyte, kAlarmFlagElectrolyte, channel);
    Msg_Raise(Code(channel, kMsgElectrolyteLow));
}

// ---- Resistance pages -----------------------------------------------------------------------------

// Row 12: the channel letter, the label, the value in its unit ("____" below the lower limit,
// "****" above it or when it cannot be judged).
static void DrawResistancePage(uint32_t channel, TextRef label, uint32_t valueColumn, const char* unit, float value,
                               uint32_t status, const ResistanceCheck& check) {
    if (channel > 1) return;
    Lcd_FillStatusRows(0);
    Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextChannelLetters, channel));
    Lcd_DrawTextRef(kRowMessage, 12, label);
    if (status == kDiagOk || status == check.warnHigh || status == check.warnLow) {
        char text[kNumberTextMax + 1];
        Util_FloatToText(value, 255, Util_DecimalsForDigits(value, 2), text);
        Lcd_DrawText(kRowMessage, valueColumn, text);
    } else {
        Lcd_DrawText(kRowMessage, valueColumn, status == kDiagBelow ? "____" : "****");
    }
    Lcd_DrawText(kRowMessage, 120, unit);
    g_DisplayMode = kKeyModeResistancePage;
}

void SensorAlarm_DrawGlassResPage(uint32_t channel) {
    uint32_t valueStatus = 0;
    float ohm = Meas_GetGlassImpedance(channel, &valueStatus);
    uint32_t status = channel < 2 ? s_StatusSource(channel, kDiagGlassRes) : kDiagAbove;
    DrawResistancePage(channel, kTextGlassResLabel, 90, "Mohm", ohm / 1e6f, status, kGlassCheck);
}

void SensorAlarm_DrawPnaGlassResPage(uint32_t channel) {
    float ohm = channel < 2 ? Meas_GetFieldFloat(channel, kPhFieldPnaGlass) : 0.0f;
    uint32_t status = channel < 2 ? s_StatusSource(channel, kDiagPnaGlassRes) : kDiagAbove;
    DrawResistancePage(channel, kTextPnaGlassResLabel, 96, "Mohm", ohm / 1e6f, status, kPnaGlassCheck);
}

void SensorAlarm_DrawRefResPage(uint32_t channel) {
    uint32_t valueStatus = 0;
    float ohm = Meas_GetRefImpedance(channel, &valueStatus);
    uint32_t status = channel < 2 ? s_StatusSource(channel, kDiagRefRes) : kDiagAbove;
    DrawResistancePage(channel, kTextRefResLabel, 90, "Kohm", ohm / 1000.0f, status, kRefCheck);
}
