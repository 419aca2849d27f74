// Electrode diagnostics: the checks' statuses turned into messages, alarm flags and causes as the
// measurement screen evaluates them every second, the disable mask, and the resistance pages.
#include <gtest/gtest.h>

#include <bit>
#include <map>

#include "fw_main.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "outputs/sensor_alarm.h"
#include "rig.h"

namespace {
std::map<uint32_t, uint32_t> s_Status;  // check code -> status, for both channels

uint32_t TestStatus(uint32_t, uint32_t code) {
    auto found = s_Status.find(code);
    return found == s_Status.end() ? kDiagOk : found->second;
}

// Channel A measuring `kind`, every check evaluated.
void Boot(uint8_t kind) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    s_Status.clear();
    SensorAlarm_SetStatusSource(TestStatus);
    g_CurrentChannel = 0;
    g_ChannelKind[0] = kind;
    g_AlarmSettings.disableMask = 0;
}

bool Alarmed(uint32_t cause, uint32_t flag, uint32_t channel = 0) {
    bool hasCause = (Alarm_GetCauses(channel) >> cause) & 1u;
    bool hasFlag = (Alarm_GetFlags(channel) >> flag) & 1u;
    EXPECT_EQ(hasCause, hasFlag) << "cause " << cause << " and flag " << flag << " go together";
    return hasCause && hasFlag;
}

void SetGlass(uint32_t field, float ohm) {
    g_Measurement[0].kindFields[field - kFieldFirstByKind] = std::bit_cast<uint32_t>(ohm);
}
}  // namespace

TEST(ElectrodeDiagnostics, GlassErrorsAlarmAndWarningsOnlyReport) {
    Boot(kKindPh);
    s_Status[kDiagGlassRes] = kDiagAbove;
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Msg_IsActive(47)) << "Error pH Gls Res>2000M";
    EXPECT_TRUE(Alarmed(kAlarmCauseGlassRes, kAlarmFlagGlassRes));
    s_Status[kDiagGlassRes] = kDiagGlassWarnHigh;
    Rig_AdvanceMs(1000);
    EXPECT_FALSE(Msg_IsActive(47));
    EXPECT_TRUE(Msg_IsActive(49)) << "Warn pHGls change>3";
    EXPECT_FALSE(Alarmed(kAlarmCauseGlassRes, kAlarmFlagGlassRes)) << "a warning is no alarm";
    s_Status[kDiagGlassRes] = kDiagBelow;
    s_Status[kDiagRefRes] = kDiagRefWarnLow;
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Msg_IsActive(48));
    EXPECT_FALSE(Msg_IsActive(49));
    EXPECT_TRUE(Msg_IsActive(46)) << "Warn pHRef change<.3";
    EXPECT_FALSE(Alarmed(kAlarmCauseRefRes, kAlarmFlagRefRes));
    // Status 5 (the check does not apply) reports nothing, as 0 does.
    s_Status[kDiagGlassRes] = kDiagNotApplicable;
    s_Status[kDiagRefRes] = kDiagOk;
    Rig_AdvanceMs(1000);
    EXPECT_EQ(g_MsgActiveCount, 0u);
    EXPECT_FALSE(Alarmed(kAlarmCauseGlassRes, kAlarmFlagGlassRes));

    // The pNa glass of a pH/pNa sensor; its reference is not evaluated and is cleared.
    g_ChannelKind[0] = kKindPhPna;
    s_Status[kDiagPnaGlassRes] = kDiagBelow;
    s_Status[kDiagRefRes] = kDiagAbove;
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Msg_IsActive(71)) << "Error pNaGls<5M";
    EXPECT_TRUE(Alarmed(kAlarmCausePnaGlassRes, kAlarmFlagPnaGlassRes));
    EXPECT_FALSE(Msg_IsActive(43));
}

TEST(ElectrodeDiagnostics, TheDisableMaskClearsAChecksMessagesAtTheNextDraw) {
    Boot(kKindPh);
    s_Status[kDiagGlassRes] = kDiagAbove;
    s_Status[kDiagPnaGlassRes] = kDiagAbove;
    g_ChannelKind[0] = kKindPhPna;
    Rig_AdvanceMs(1000);
    ASSERT_TRUE(Msg_IsActive(47));
    ASSERT_TRUE(Msg_IsActive(70));
    g_AlarmSettings.disableMask = 1u << 2;
    Rig_AdvanceMs(1000);
    EXPECT_FALSE(Msg_IsActive(47));
    EXPECT_FALSE(Msg_IsActive(70));
    EXPECT_EQ(Alarm_GetCauses(0), 0u);
    EXPECT_EQ(Alarm_GetFlags(0), 0u);
}

TEST(ElectrodeDiagnostics, ConductivityCellsAndChannelBChecks) {
    Boot(kKindCond2);
    s_Status[kDiagCondState] = kDiagAbove;
    s_Status[kDiagCellDeviation] = kDiagAbove;
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Msg_IsActive(52)) << "Dry Cond Sensor";
    EXPECT_TRUE(Alarmed(kAlarmCauseDryCond, kAlarmFlagDryCond));
    EXPECT_FALSE(Msg_IsActive(65)) << "cell deviation is channel B's";
    s_Status[kDiagCondState] = kDiagBelow;
    Rig_AdvanceMs(1000);
    EXPECT_FALSE(Msg_IsActive(52));
    EXPECT_FALSE(Alarmed(kAlarmCauseDryCond, kAlarmFlagDryCond));
    EXPECT_TRUE(Msg_IsActive(53)) << "Cond Cell Shorted";
    EXPECT_TRUE(Alarmed(kAlarmCauseCellShorted, kAlarmFlagCellShorted));
    s_Status[kDiagCondState] = kDiagOk;
    Rig_AdvanceMs(1000);
    EXPECT_EQ(g_MsgActiveCount, 0u);

    SensorAlarm_EvalCellDeviation(1);
    EXPECT_TRUE(Msg_IsActive(kMsgChannelB + 65));
    EXPECT_TRUE(Alarmed(kAlarmCauseCellDeviation, kAlarmFlagCellDeviation, 1));
    s_Status[kDiagElectrolyte] = kDiagNotApplicable;
    SensorAlarm_EvalElectrolyteLow(1);
    EXPECT_FALSE(Msg_IsActive(kMsgChannelB + 74)) << "status 5 reports nothing";
    s_Status[kDiagElectrolyte] = 1;
    SensorAlarm_EvalElectrolyteLow(1);
    EXPECT_TRUE(Msg_IsActive(kMsgChannelB + 74)) << "Error Electrolyte Low";
    EXPECT_TRUE(Alarmed(kAlarmCauseElectrolyte, kAlarmFlagElectrolyte, 1));
    s_Status[kDiagElectrolyte] = kDiagOk;
    SensorAlarm_EvalElectrolyteLow(1);
    EXPECT_FALSE(Msg_IsActive(kMsgChannelB + 74));
    EXPECT_FALSE(Alarmed(kAlarmCauseElectrolyte, kAlarmFlagElectrolyte, 1));
}

TEST(ElectrodeDiagnostics, ResistancePagesShowValueOrRangeMarks) {
    Boot(kKindPh);
    g_MeasuringKind[0] = kKindPh;
    SetGlass(kPhFieldGlass, 150e6f);
    SetGlass(kPhFieldReference, 30000.0f);
    SensorAlarm_DrawGlassResPage(0);
    EXPECT_EQ(Rig_RowText(12), "A pH Glass Res=150  Mohm");
    s_Status[kDiagGlassRes] = kDiagGlassWarnLow;
    SensorAlarm_DrawGlassResPage(0);
    EXPECT_EQ(Rig_RowText(12), "A pH Glass Res=150  Mohm") << "a warning still shows the value";
    s_Status[kDiagGlassRes] = kDiagBelow;
    SensorAlarm_DrawGlassResPage(0);
    EXPECT_EQ(Rig_RowText(12), "A pH Glass Res=____ Mohm");
    s_Status[kDiagGlassRes] = kDiagAbove;
    SensorAlarm_DrawGlassResPage(0);
    EXPECT_EQ(Rig_RowText(12), "A pH Glass Res=**** Mohm");
    s_Status[kDiagRefRes] = kDiagOk;
    SensorAlarm_DrawRefResPage(0);
    EXPECT_EQ(Rig_RowText(12), "A pH Ref Res = 30.0 Kohm");
    s_Status[kDiagRefRes] = kDiagGlassWarnLow;
    SensorAlarm_DrawRefResPage(0);
    EXPECT_EQ(Rig_RowText(12), "A pH Ref Res = **** Kohm") << "a glass warning is not the reference's";
}
