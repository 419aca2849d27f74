// Plug-and-measure's conditions as messages, alarm flags and alarm causes.
#include "digital_sensor/vdx_alarms.h"

#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"

static uint16_t CodeOf(uint32_t channel, uint16_t n) {
    return static_cast<uint16_t>(channel == 1 ? kMsgChannelB + n : n);
}

void Vdx_RaiseWrongSensor(uint32_t channel) {
    if (channel > 1) return;
    g_SensorKindActive[channel] = kKindNone;
    Alarm_SetCause(kAlarmCauseWrongSensor, channel);
    Alarm_SetFlag(kAlarmFlagWrongSensor, channel);
    Msg_Raise(CodeOf(channel, kMsgWrongSensor));
}

void Vdx_ClearWrongSensor(uint32_t channel) {
    if (channel > 1) return;
    Alarm_ClearCause(kAlarmCauseWrongSensor, channel);
    Alarm_ClearFlag(kAlarmFlagWrongSensor, channel);
    Msg_Clear(CodeOf(channel, kMsgWrongSensor));
}

void Vdx_UpdateDisconnectedB(uint32_t on) {
    if (on == 1 && (Alarm_GetCauseDisableMask() & (1u << kAlarmMaskDisconnected)) == 0) {
        Alarm_SetCause(kAlarmCauseDisconnected, 1);
        Alarm_SetFlag(kAlarmFlagDisconnected, 1);
        Msg_Raise(CodeOf(1, kMsgDisconnected));
        return;
    }
    Alarm_ClearCause(kAlarmCauseDisconnected, 1);
    Alarm_ClearFlag(kAlarmFlagDisconnected, 1);
    Msg_Clear(CodeOf(1, kMsgDisconnected));
}

void Vdx_ClearDisconnected(uint32_t channel) {
    if (channel > 1) return;
    Alarm_ClearCause(kAlarmCauseDisconnected, channel);
    Alarm_ClearFlag(kAlarmFlagDisconnected, channel);
    Msg_Clear(CodeOf(channel, kMsgDisconnected));
}

void Vdx_RaiseCommError() {
    for (uint32_t channel = 0; channel < 2; ++channel) {
        Alarm_SetCause(kAlarmCauseCommError, channel);
        Alarm_SetFlag(kAlarmFlagCommError, channel);
    }
    Msg_Raise(kMsgCommError);
}

void Vdx_ClearCommError() {
    // Every good reply comes here, so the usual case (no error anywhere) costs a few tests. The
    // error is looked for in every place it can be left: a message restored from the store carries
    // no cause, and channel A's causes may be clear while channel B's still hold it.
    const uint32_t cause = 1u << kAlarmCauseCommError;
    const uint32_t flag = 1u << kAlarmFlagCommError;
    bool standing = ((Alarm_GetCauses(0) | Alarm_GetCauses(1)) & cause) != 0 ||
                    ((Alarm_GetFlags(0) | Alarm_GetFlags(1)) & flag) != 0 || Msg_IsActive(kMsgCommError);
    if (!standing) return;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        Alarm_ClearCause(kAlarmCauseCommError, channel);
        Alarm_ClearFlag(kAlarmFlagCommError, channel);
    }
    Msg_Clear(kMsgCommError);
}

void Vdx_RaiseSetDateAlarm() {
    Alarm_SetFlag(kAlarmFlagSetDate, 0);
    Alarm_SetFlag(kAlarmFlagSetDate, 1);
    Msg_Raise(kMsgSetCorrectDate);
}

void Vdx_ClearSetDateAlarm() {
    Alarm_ClearFlag(kAlarmFlagSetDate, 0);
    Alarm_ClearFlag(kAlarmFlagSetDate, 1);
    Msg_Clear(kMsgSetCorrectDate);
}
