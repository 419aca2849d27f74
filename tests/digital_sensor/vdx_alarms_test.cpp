// Plug-and-measure's conditions as messages, flags and causes: the communication error (also one
// restored from the store, or left in channel B's causes, ends with the next good reply), the
// unset clock, the wrong sensor and channel B's disconnection.
#include <gtest/gtest.h>

#include <string>

#include "core/eeprom.h"
#include "core/lcd.h"
#include "digital_sensor/vdx_alarms.h"
#include "measurement/channel.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "rig.h"

namespace {
void Fresh() { Rig_OpenFreshStore(); }
}  // namespace

TEST(CommunicationError, RaisedOnBothChannelsAndEndedWhereverItStands) {
    Fresh();
    Vdx_RaiseCommError();
    for (uint32_t channel = 0; channel < 2; ++channel) {
        EXPECT_EQ(Alarm_GetCauses(channel), 1u << kAlarmCauseCommError);
        EXPECT_EQ(Alarm_GetFlags(channel), 1u << kAlarmFlagCommError);
    }
    EXPECT_EQ(Msg_IsActive(kMsgCommError), 1u);
    Vdx_ClearCommError();
    EXPECT_EQ(Msg_IsActive(kMsgCommError), 0u);
    EXPECT_EQ(Alarm_GetCauses(0) | Alarm_GetCauses(1), 0u);
    EXPECT_EQ(Alarm_GetFlags(0) | Alarm_GetFlags(1), 0u);
    // Left in channel B's causes alone, or in the list alone: the next reply still ends it.
    Alarm_SetCause(kAlarmCauseCommError, 1);
    Vdx_ClearCommError();
    EXPECT_EQ(Alarm_GetCauses(1), 0u);
    Msg_Raise(kMsgCommError);
    Vdx_ClearCommError();
    EXPECT_EQ(Msg_IsActive(kMsgCommError), 0u);
}

TEST(CommunicationError, OneRestoredFromTheStoreEndsWithTheFirstGoodReply) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    // The store says the communication error was active when the program last stopped.
    Msg_Raise(kMsgCommError);
    Rig_AdvanceMs(20);
    ASSERT_EQ(Rig_StoreBytes()[1969], 1);
    Rig_Reset(folder);
    Rig_Boot();
    EXPECT_EQ(Msg_IsActive(kMsgCommError), 0u);
    EXPECT_EQ(Msg_ShownCount(), 1u) << "shown as cleared";
    EXPECT_EQ(Rig_StoreBytes()[1969], 0);
}

TEST(SetDateAlarm, AClockBefore2018RaisesSetCorrectDate) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseNoLibrary();
    Rig_SetClock(2012, 3, 4, 5, 6, 7);
    Rig_Boot();
    Rig_AdvanceMs(2100);
    EXPECT_EQ(Msg_IsActive(kMsgSetCorrectDate), 1u);
    EXPECT_EQ(Alarm_GetFlags(0), 1u << kAlarmFlagSetDate);
    EXPECT_EQ(Alarm_GetFlags(1), 1u << kAlarmFlagSetDate);
    EXPECT_EQ(g_SymbolBlinkMask, 0x03u) << "both alarm indicators blink";
    Rig_SetClock(2025, 1, 2, 3, 4, 5);
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Msg_IsActive(kMsgSetCorrectDate), 0u);
    EXPECT_EQ(g_SymbolBlinkMask, 0u);
}

TEST(SensorConditions, WrongSensorAndChannelBDisconnected) {
    Fresh();
    g_SensorKindActive[1] = 1;
    Vdx_RaiseWrongSensor(1);
    EXPECT_EQ(g_SensorKindActive[1], 255u);
    EXPECT_EQ(Alarm_GetCauses(1), 1u << kAlarmCauseWrongSensor);
    EXPECT_EQ(Alarm_GetFlags(1), 1u << kAlarmFlagWrongSensor);
    EXPECT_EQ(Msg_IsActive(567), 1u);
    Vdx_ClearWrongSensor(1);
    EXPECT_EQ(Alarm_GetCauses(1) | Alarm_GetFlags(1), 0u);
    EXPECT_EQ(Msg_IsActive(567), 0u);

    // The disconnection is evaluated only while its disable bit is clear.
    g_AlarmSettings.disableMask = 0xFFFFFE7F;
    Vdx_UpdateDisconnectedB(1);
    EXPECT_EQ(Msg_IsActive(566), 1u);
    EXPECT_EQ(Alarm_GetCauses(1), 1u << kAlarmCauseDisconnected);
    Vdx_UpdateDisconnectedB(0);
    EXPECT_EQ(Msg_IsActive(566), 0u);
    g_AlarmSettings.disableMask = 0xFFFFFFFF;
    Vdx_UpdateDisconnectedB(1);
    EXPECT_EQ(Msg_IsActive(566), 0u);
    EXPECT_EQ(Alarm_GetCauses(1), 0u);
    g_AlarmSettings.disableMask = 0;
    Vdx_UpdateDisconnectedB(1);
    Vdx_ClearDisconnected(1);
    EXPECT_EQ(Msg_IsActive(566), 0u);
    EXPECT_EQ(Alarm_GetFlags(1), 0u);
}
