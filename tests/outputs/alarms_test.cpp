// Alarm causes and the alarm relay: the cause words, the settings' load rules, a changed alarm
// relay letting go, and the relay following the shown channel's causes after its delay.
#include <gtest/gtest.h>

#include <vector>

#include "core/eeprom.h"
#include "core/rtc.h"
#include "measurement/channel.h"
#include "outputs/alarms.h"
#include "outputs/relays.h"
#include "rig.h"

namespace {
void Fresh() {
    Rig_OpenFreshStore();
    g_CurrentChannel = 0;
}
}  // namespace

TEST(AlarmCauses, TheCommunicationErrorSurvivesClearingAll) {
    Fresh();
    Alarm_SetCause(3, 0);
    Alarm_SetCause(kAlarmCauseCommError, 0);
    Alarm_SetCause(kAlarmCauseCommError, 1);
    Alarm_SetCause(13, 1);
    EXPECT_EQ(Alarm_GetCauses(0), (1u << 3) | (1u << 9));
    Alarm_ClearAllCauses();
    EXPECT_EQ(Alarm_GetCauses(0), 1u << 9);
    EXPECT_EQ(Alarm_GetCauses(1), 1u << 9);
    Alarm_ClearCause(kAlarmCauseCommError, 1);
    EXPECT_EQ(Alarm_GetCauses(1), 0u);
    EXPECT_EQ(Alarm_GetCauses(2), 0u);
}

TEST(AlarmSettings, LoadRulesAndAChangedRelayLettingGo) {
    Fresh();
    uint32_t status = 0;
    Alarm_WriteDefaults(&status);
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_EQ(bytes[1276], 0x7F);
    EXPECT_EQ(bytes[1277], 0xFE);
    EXPECT_EQ(bytes[1278], 0xFF);
    EXPECT_EQ(bytes[1279], 0xFF);
    EXPECT_EQ(bytes[1292], 1);
    const uint8_t seven = 7;
    Eeprom_Write(1292, &seven, 1, &status);
    const uint8_t mask[4] = {0x04, 0x00, 0x00, 0x80};
    Eeprom_Write(1276, mask, 4, &status);
    Alarm_LoadSettings(&status);
    EXPECT_EQ(Alarm_GetRelay(), kAlarmRelayNone);
    EXPECT_EQ(Alarm_GetCauseDisableMask(), 0x80000004u);

    // Relay 1 serves as alarm relay and has the alarm; moving it to relay 2 releases relay 1.
    g_AlarmSettings.relay = 0;
    Alarm_SaveSettings(&status);
    Relay_AddRequester(0, kAlarmRelayRequester, 0);
    Relay_AddRequester(0, kRelayRequesterCleaning, 0);
    g_AlarmSettings.relay = 1;
    Alarm_SaveSettings(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(g_RelayRequesters[0], kRelayRequesterCleaning);
    EXPECT_EQ(Rig_StoreBytes()[1292], 1);
}

TEST(AlarmRelay, FollowsTheShownChannelsCausesAfterItsDelay) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    g_CurrentChannel = 0;
    g_AlarmSettings.relay = 0;
    g_RelaySettings.delay[0] = 10.0f;
    ASSERT_EQ(g_RelayBits.load() & 1u, 0u);

    // A cause on channel B while channel A is shown does not switch the alarm relay.
    Alarm_SetCause(3, 1);
    Rig_AdvanceMs(15000);
    EXPECT_EQ(g_RelayRequesters[0], 0u);
    Alarm_ClearCause(3, 1);

    // A cause that no electrode check of the shown channel clears again.
    Alarm_SetCause(kAlarmCauseWrongSensor, 0);
    uint64_t start = Rig_NowMs();
    while ((g_RelayRequesters[0] & kAlarmRelayRequester) == 0 && Rig_NowMs() - start < 20000) Rig_AdvanceMs(100);
    uint64_t took = Rig_NowMs() - start;
    EXPECT_GE(took, 9000u);
    EXPECT_LE(took, 12000u);
    Rig_AdvanceMs(1000);
    EXPECT_EQ(g_RelayBits.load() & 1u, 1u) << "relay 1 closes";
    // When the causes go the requester goes at once.
    Alarm_ClearCause(kAlarmCauseWrongSensor, 0);
    Rig_AdvanceMs(1000);
    EXPECT_EQ(g_RelayRequesters[0], 0u);
    EXPECT_EQ(g_RelayBits.load() & 1u, 0u);
    // With no alarm relay nothing is asked.
    g_AlarmSettings.relay = kAlarmRelayNone;
    Alarm_SetCause(kAlarmCauseWrongSensor, 0);
    Rig_AdvanceMs(12000);
    EXPECT_EQ(g_RelayRequesters[0], 0u);
    EXPECT_EQ(g_RelayRequesters[1], 0u);
}
