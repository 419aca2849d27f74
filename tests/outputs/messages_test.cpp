// Message list and alarm flags: raising and clearing, the shown list and its store, loading, the
// channel reset, the composed lines of the table in every language, and the alarm indicators.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/eeprom.h"
#include "core/events.h"
#include "core/lcd.h"
#include "core/rtc.h"
#include "core/texts.h"
#include "digital_sensor/sens_diag.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "rig.h"
#include "ui/menu.h"

namespace {
constexpr uint32_t kStoreShownList = 1960;
constexpr uint32_t kStoreShownCount = 1968;
constexpr uint32_t kStoreShownActive = 1969;

void Fresh() {
    Rig_OpenFreshStore();
    g_Language = 0;
    g_ChannelKind[0] = g_ChannelKind[1] = 1;
    g_SymbolBlinkMask = 0;
}

std::vector<uint16_t> Active() { return std::vector<uint16_t>(g_MsgActive, g_MsgActive + g_MsgActiveCount); }
std::vector<uint16_t> Cleared() { return std::vector<uint16_t>(g_MsgCleared, g_MsgCleared + g_MsgClearedCount); }
std::vector<uint16_t> Shown() { return std::vector<uint16_t>(g_MsgShown, g_MsgShown + g_MsgShownCount); }

std::vector<uint16_t> StoredList() {
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    std::vector<uint16_t> codes;
    for (uint32_t i = 0; i < 4; ++i) {
        uint32_t at = kStoreShownList + 2 * i;
        codes.push_back(static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8));
    }
    return codes;
}

void StoreList(const std::vector<uint16_t>& codes, uint8_t count, uint8_t active) {
    uint8_t bytes[8] = {};
    for (size_t i = 0; i < codes.size() && i < 4; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(codes[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(codes[i] >> 8);
    }
    uint32_t status = 0;
    Eeprom_Write(kStoreShownList, bytes, 8, &status);
    Eeprom_Write(kStoreShownCount, &count, 1, &status);
    Eeprom_Write(kStoreShownActive, &active, 1, &status);
}

std::string Line(uint16_t code) {
    char buffer[kMsgLineSize];
    Msg_ComposeText(code, buffer);
    return buffer;
}

using Codes = std::vector<uint16_t>;
}  // namespace

TEST(MessageList, RaiseAndClearMoveCodesBetweenTheLists) {
    Fresh();
    EXPECT_EQ(Msg_Clear(3), 0u) << "nothing active";
    // Codes 0 and 1 are the page's own lines, never messages.
    Msg_Raise(0);
    Msg_Raise(1);
    EXPECT_EQ(g_MsgActiveCount, 0);
    EXPECT_EQ(g_MsgChanged, 0);

    Msg_Raise(3);
    Msg_Raise(515);
    EXPECT_EQ(Active(), (Codes{3, 515}));
    EXPECT_EQ(g_MsgChanged, 1);
    g_MsgChanged = 0;
    Msg_Raise(3);
    EXPECT_EQ(Active(), (Codes{3, 515}));
    EXPECT_EQ(g_MsgChanged, 0) << "an active code changes nothing";

    EXPECT_EQ(Msg_Clear(4), 1u) << "a code that is not active";
    EXPECT_EQ(Active(), (Codes{3, 515}));
    EXPECT_EQ(Msg_Clear(3), 1u);
    EXPECT_EQ(Active(), (Codes{515}));
    EXPECT_EQ(g_MsgActive[1], 0) << "the freed slot";
    EXPECT_EQ(Cleared(), (Codes{3}));
    // Raised again, it leaves the cleared list.
    Msg_Raise(3);
    EXPECT_EQ(Active(), (Codes{515, 3}));
    EXPECT_TRUE(Cleared().empty());
    EXPECT_EQ(Shown(), (Codes{515, 3}));
}

TEST(MessageList, TheActiveListCountsAtMost39) {
    Fresh();
    for (uint16_t code = 2; code <= 40; ++code) Msg_Raise(code);
    EXPECT_EQ(g_MsgActiveCount, 39);
    g_MsgChanged = 0;
    Msg_Raise(41);
    EXPECT_EQ(g_MsgActiveCount, 39);
    EXPECT_EQ(g_MsgActive[39], 41) << "the spare slot";
    EXPECT_EQ(g_MsgChanged, 1);
    EXPECT_EQ(Msg_IsActive(41), 0u);
    EXPECT_EQ(Shown(), (Codes{37, 38, 39, 40})) << "the new code is not shown";
    Msg_Raise(42);
    EXPECT_EQ(g_MsgActive[39], 42);
    EXPECT_EQ(g_MsgActive[38], 40);
}

TEST(MessageList, ShownListIsStoredWhileFewerThanFourAreActive) {
    Fresh();
    for (uint16_t code = 3; code <= 7; ++code) Msg_Raise(code);
    Msg_Clear(3);
    Msg_Clear(4);
    Msg_Clear(5);
    // Two active and three cleared: the two newest cleared, then the active ones. The store
    // takes the list at the end of the pass.
    EXPECT_EQ(Shown(), (Codes{4, 5, 6, 7}));
    Msg_SaveStore();
    EXPECT_EQ(StoredList(), (Codes{4, 5, 6, 7}));
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_EQ(bytes[kStoreShownCount], 4);
    EXPECT_EQ(bytes[kStoreShownActive], 2);

    Msg_Raise(8);
    Msg_SaveStore();
    EXPECT_EQ(StoredList(), (Codes{5, 6, 7, 8}));
    // Four and more active: the newest four, in memory only.
    Msg_Raise(9);
    Msg_Raise(10);
    Msg_SaveStore();
    EXPECT_EQ(Shown(), (Codes{7, 8, 9, 10}));
    EXPECT_EQ(StoredList(), (Codes{5, 6, 7, 8}));
    EXPECT_EQ(Rig_StoreBytes()[kStoreShownActive], 3);

    // One active alone: the rest of the list is empty.
    Fresh();
    Msg_Raise(612);
    Msg_SaveStore();
    EXPECT_EQ(StoredList(), (Codes{612, 0, 0, 0}));
    EXPECT_EQ(Rig_StoreBytes()[kStoreShownCount], 1);
}

TEST(MessageList, LoadingBringsBackActiveAndClearedCodes) {
    Fresh();
    StoreList({4, 101, 567}, 3, 2);
    uint32_t status = 0;
    Msg_LoadStore(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Cleared(), (Codes{4}));
    EXPECT_EQ(Active(), (Codes{101, 567}));
    EXPECT_EQ(Shown(), (Codes{4, 101, 567}));

    // A shown count above 4 loads as an empty list; an active count above the shown count as none.
    StoreList({4, 5, 6, 7}, 5, 1);
    Msg_LoadStore(&status);
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(Active().empty());
    StoreList({4, 5}, 2, 3);
    Msg_LoadStore(&status);
    EXPECT_TRUE(Active().empty());
    EXPECT_EQ(Cleared(), (Codes{4, 5}));
}

TEST(MessageList, LoadingDropsCodesThatNameNoMessage) {
    Fresh();
    // 700 is channel B's number 188 (no row), 1205 a set-point condition that does not exist, 3
    // stands twice.
    StoreList({700, 3, 1229, 3}, 4, 2);
    std::vector<uint8_t> before = Rig_StoreBytes();
    uint32_t status = 0;
    Msg_LoadStore(&status);
    EXPECT_EQ(Cleared(), (Codes{3}));
    EXPECT_EQ(Active(), (Codes{1229}));
    EXPECT_EQ(Shown(), (Codes{3, 1229}));
    StoreList({1205, 1, 0, 102}, 4, 4);
    Msg_LoadStore(&status);
    EXPECT_TRUE(Shown().empty());
    // Loading writes nothing.
    StoreList({700, 3, 1229, 3}, 4, 2);
    Msg_LoadStore(&status);
    EXPECT_EQ(Rig_StoreBytes(), before);

    // A store that cannot be read leaves the list empty and says so.
    Rig_LoseStore();
    Msg_LoadStore(&status);
    EXPECT_EQ(status, kStoreNotReady);
    EXPECT_TRUE(Shown().empty());
}

TEST(MessageList, ClearMessagesEmptiesListsAndStore) {
    Fresh();
    g_SensorParamSavePending = 0;
    Msg_Raise(3);
    Msg_Raise(4);
    Msg_Clear(3);
    Msg_ResetStore();
    Msg_SaveStore();
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(Active().empty());
    EXPECT_TRUE(Cleared().empty());
    EXPECT_EQ(StoredList(), (Codes{0, 0, 0, 0}));
    EXPECT_EQ(Rig_StoreBytes()[kStoreShownCount], 0);
    EXPECT_EQ(Rig_StoreBytes()[kStoreShownActive], 0);
    EXPECT_EQ(g_SensorParamSavePending, 1);
    EXPECT_EQ(g_SensorSaveFlags[0], 1);
    EXPECT_EQ(g_SensorSaveFlags[1], 1);
}

TEST(MessageList, ChannelResetClearsThatChannelsMessagesAndRaisesTheStandingConditionsAgain) {
    Fresh();
    Msg_Raise(3);
    Msg_Raise(515);
    Msg_Raise(1229);
    Msg_Raise(611);
    Msg_ResetChannel(0);
    EXPECT_EQ(Active(), (Codes{515, 611}));
    Msg_ResetChannel(1);
    EXPECT_TRUE(Active().empty());

    // With nothing active no message is cleared, but the watchdog, the communication error and
    // channel B's wrong sensor stand again when their flags stood.
    Fresh();
    Alarm_SetFlag(kAlarmFlagWatchdog, 1);
    Alarm_SetFlag(kAlarmFlagCommError, 1);
    Alarm_SetFlag(kAlarmFlagWrongSensor, 1);
    Alarm_SetFlag(kAlarmFlagSetDate, 0);
    Msg_ResetChannel(1);
    EXPECT_EQ(Active(), (Codes{2, 100, 567}));
    EXPECT_EQ(Alarm_GetFlags(0), (1u << kAlarmFlagWatchdog) | (1u << kAlarmFlagCommError));
    EXPECT_EQ(Alarm_GetFlags(1),
              (1u << kAlarmFlagWatchdog) | (1u << kAlarmFlagCommError) | (1u << kAlarmFlagWrongSensor));
    EXPECT_EQ(Alarm_GetCauses(0), 1u << kAlarmCauseCommError);
    EXPECT_EQ(g_SensorKindActive[1], 255u);
    // Channel A's reset leaves channel B's wrong sensor alone.
    Fresh();
    Alarm_SetFlag(kAlarmFlagWrongSensor, 1);
    Msg_ResetChannel(0);
    EXPECT_TRUE(Active().empty());
    EXPECT_EQ(Alarm_GetFlags(1), 0u);
}

TEST(MessageList, StartUpClearingKeepsChannelBsWrongSensor) {
    Fresh();
    Msg_Raise(3);
    Alarm_SetFlag(kAlarmFlagCommError, 0);
    Msg_ClearAll();
    EXPECT_TRUE(Active().empty());
    EXPECT_EQ(Alarm_GetFlags(0), 0u);
    Alarm_SetFlag(kAlarmFlagWrongSensor, 1);
    Msg_ClearAll();
    EXPECT_EQ(Active(), (Codes{567}));
}

TEST(MessageText, EveryRowInEnglish) {
    Fresh();
    // The instrument's own English lines, channel A, factory settings.
    const char* const kLines[kMsgTableRows] = {
        "Clear Messages ",
        "No Message Available ",
        "Watchdog Time-out ",
        "AWarning pH slope>102%",
        "AWarning pH slope<90%",
        "AWarn pH ZeroPt>7.5pH",
        "AWarn pH ZeroPt<6.5pH",
        "AError pH slope>103%",
        "AError pH slope<80%",
        "AError pH ZeroPt>8.0pH",
        "AError pH ZeroPt<6.0pH",
        "AWarning O2 slope>-35nA",
        "AWarning O2 slope<-90nA",
        "AWarning O2 ZeroPt>0.3nA",
        "AWarning O2ZeroPt<-0.3nA",
        "AError O2 slope>-30nA",
        "AError O2 slope<-110nA",
        "AError O2 ZeroPt>0.6nA",
        "AError O2 ZeroPt<-0.6nA",
        "AWarning O2 slope>-250nA",
        "AWarning O2 slope<-460nA",
        "AWarning O2 ZeroPt>0.5nA",
        "AWarning O2ZeroPt<-0.5nA",
        "AError O2 slope>-220nA",
        "AError O2 slope<-525nA",
        "AError O2 ZeroPt>1.0nA",
        "AError O2 ZeroPt<-1.0nA",
        "AWarning O2 slope>1.50",
        "AWarning O2 slope<0.65",
        "AWarning O2 ZeroPt>15{V",
        "AWarning O2 ZeroPt<-15{V",
        "AError O2 slope>2.00",
        "AError O2 slope<0.25",
        "AError O2 ZeroPt>30{V",
        "AError O2 ZeroPt<-30{V",
        "AWarning O3 slope>-0.33",
        "AWarning O3 slope<-2.50",
        "AWarning O3 ZeroPt>1nA",
        "AWarning O3ZeroPt<-1nA",
        "AError O3 slope>-0.25",
        "AError O3 slope<-4.00",
        "AError O3 ZeroPt>1.5nA",
        "AError O3 ZeroPt<-1.5nA",
        "AError pH Ref Res>150K^",
        "AError pH Ref Res<1000^",
        "AWarn pHRef change>3",
        "AWarn pHRef change<.3",
        "AError pH Gls Res>2000M^",
        "AError pH Gls Res<5M^",
        "AWarn pHGls change>3",
        "AWarn pHGls change<.3",
        "AError Install O2 Jumper",
        "A Dry Cond Sensor ",
        "A Cond Cell Shorted ",
        "A Disconnected",
        "A Wrong Sensor",
        "A Maint Required",
        "A Cal Required",
        "A CIP Counter Expired",
        "A SIP Counter Expired",
        "A AutCl Count Expired",
        "A Shaft Error",
        "A Signal error",
        "A Hardware error",
        "A Change spot",
        "A Cell Deviation",
        "AWarn ORP ZeroPt>30mV",
        "AWarn ORP ZeroPt<-30mV",
        "AError ORP ZeroPt>60mV",
        "AError ORP ZeroPt<-60mV",
        "AError pNaGls>2000M^",
        "AError pNaGls<5M^",
        "AWarn pNaGls change>3",
        "AWarn pNaGls change<0.3",
        "AError Electrolyte Low",
        "AWarning pH slope>102%",
        "AWarning pH slope<90%",
        "AWarn pH ZeroPt>8.3pH",
        "AWarn pH ZeroPt<5.7pH",
        "AError pH slope>103%",
        "AError pH slope<80%",
        "AError pH ZeroPt>9.0pH",
        "AError pH ZeroPt<5.0pH",
        "AWarn O2 slope>-3000nA",
        "AWarn O2 slope<-5000nA",
        "AWarn O2 ZeroPt>0.5nA",
        "AWarn O2 ZeroPt<-0.5nA",
        "AError O2 slope>-2000nA",
        "AError O2 slope<-6000nA",
        "AError O2 ZeroPt>1.0nA",
        "AError O2 ZeroPt<-1.0nA",
        "AWarn O2 slope>-23000nA",
        "AWarn O2 slope<-57000nA",
        "AWarn O2 ZeroPt>0.5nA",
        "AWarn O2 ZeroPt<-0.5nA",
        "AError O2 slope>-20000nA",
        "AError O2 slope<-60000nA",
        "AError O2 ZeroPt>1.0nA",
        "AError O2 ZeroPt<-1.0nA",
        "A Change Sensor",
        "Communication Error",
        "Set Correct Date",
    };
    for (uint16_t n = 0; n < kMsgTableRows; ++n) EXPECT_EQ(Line(n), kLines[n]) << "row " << n;
    // Channel B, the set points, and codes that name nothing.
    EXPECT_EQ(Line(524), "BWarning O2 slope<-90nA");
    EXPECT_EQ(Line(567), "B Wrong Sensor");
    EXPECT_EQ(Line(1200), "SP1 High");
    EXPECT_EQ(Line(1213), "SP2 Between");
    EXPECT_EQ(Line(1229), "SP3 Under Range");
    EXPECT_EQ(Line(1258), "SP6 Over Range");
    char buffer[kMsgLineSize];
    EXPECT_EQ(Msg_ComposeText(300, buffer), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(Msg_ComposeText(1260, buffer), 0u);
}

TEST(MessageText, LimitsComputedFromTheChannelsSettings) {
    Fresh();
    // The ORP limits follow the configured kind: the pH kind's, or the others'.
    EXPECT_EQ(Line(66), "AWarn ORP ZeroPt>30mV");
    g_ChannelKind[1] = 3;
    EXPECT_EQ(Line(512 + 66), "BWarn ORP ZeroPt>80mV");
    EXPECT_EQ(Line(512 + 67), "BWarn ORP ZeroPt<-80mV");
    EXPECT_EQ(Line(512 + 68), "BError ORP ZeroPt>120mV");
    EXPECT_EQ(Line(512 + 69), "BError ORP ZeroPt<-120mV");
    // The kind-8 limits of the channel: L0 = -20000, L1 = -60000.1, L2 = 1000, L3 = -1000.
    EXPECT_EQ(Line(512 + 91), "BWarn O2 slope>-23000nA");
    EXPECT_EQ(Line(512 + 92), "BWarn O2 slope<-57000nA");
    EXPECT_EQ(Line(512 + 96), "BError O2 slope<-60000nA");
    EXPECT_EQ(Line(512 + 93), "BWarn O2 ZeroPt>0.5nA");
    EXPECT_EQ(Line(512 + 98), "BError O2 ZeroPt<-1.0nA");
}

TEST(MessageText, EveryLanguageFitsOneRow) {
    Fresh();
    uint32_t cut = 0;
    for (uint8_t language = 0; language < kLanguages; ++language) {
        g_Language = language;
        for (uint32_t code = 2; code < 1260; ++code) {
            if (!Msg_IsValidCode(static_cast<uint16_t>(code))) continue;
            char buffer[kMsgLineSize];
            std::memset(buffer, 0x55, sizeof buffer);
            uint32_t n = Msg_ComposeText(static_cast<uint16_t>(code), buffer);
            size_t length = std::strlen(buffer);
            ASSERT_LE(length, 24u) << "language " << int(language) << " code " << code;
            EXPECT_EQ(length, n < 24 ? n : 24u) << "language " << int(language) << " code " << code;
            EXPECT_GT(length, 0u) << "language " << int(language) << " code " << code;
            if (n > 24) ++cut;
        }
    }
    EXPECT_GT(cut, 0u) << "some lines are longer than a row and are cut";

    // The language rules: French leaves "pH" out of the resistance rows, German says "Warn" on the
    // O2 rows 19 and 20, only English writes ".3".
    g_Language = 1;
    EXPECT_EQ(Line(43).find("pH"), std::string::npos);
    EXPECT_NE(Line(3).find("pH"), std::string::npos);
    EXPECT_NE(Line(46).find("<0.3"), std::string::npos);
    g_Language = 2;
    EXPECT_EQ(Line(19).rfind("AWarn O2", 0), 0u);
    EXPECT_EQ(Line(11).rfind("AWarnung O2", 0), 0u);
    // Russian: no blank after the first word once 9 characters stand.
    g_Language = 6;
    std::string russian = Line(3);
    char word[kTextMaxChars + 1];
    uint32_t first = Text_Copy(Text_Nth(kTextMessageWords, 3), word);
    EXPECT_EQ(russian[1 + first], ' ') << "short enough for its blank";
    g_Language = 0;
}

TEST(AlarmFlags, TheIndicatorBlinksWhileAFlagStands) {
    Fresh();
    Alarm_SetFlag(kAlarmFlagCommError, 0);
    EXPECT_EQ(g_SymbolBlinkMask, 0x01u);
    Alarm_SetFlag(kAlarmFlagSetDate, 0);
    Alarm_ClearFlag(kAlarmFlagCommError, 0);
    EXPECT_EQ(g_SymbolBlinkMask, 0x01u) << "a flag still stands";
    Alarm_ClearFlag(kAlarmFlagSetDate, 0);
    EXPECT_EQ(g_SymbolBlinkMask, 0u);
    Alarm_SetFlag(kAlarmFlagWatchdog, 1);
    EXPECT_EQ(g_SymbolBlinkMask, 0x02u);
    Alarm_ClearAllFlags(1);
    EXPECT_EQ(g_SymbolBlinkMask, 0u);
    EXPECT_EQ(Alarm_GetFlags(1), 0u);
    // While the display test is shown it keeps the indicator.
    Alarm_SetFlag(kAlarmFlagWatchdog, 1);
    Alarm_SetDisplayTestShown(1);
    Alarm_ClearFlag(kAlarmFlagWatchdog, 1);
    EXPECT_EQ(Alarm_GetFlags(1), 0u);
    EXPECT_EQ(g_SymbolBlinkMask, 0x02u);
}

TEST(AlarmFlags, TheDisplayTestKeepsItsIndicators) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    Alarm_SetFlag(kAlarmFlagWatchdog, 0);
    Event_Put(0xa00002);  // "Display Test" of the service menu
    Rig_AdvanceMs(60);
    ASSERT_EQ(Menu_TopScreen(), kScreenDisplayTest);
    Alarm_ClearFlag(kAlarmFlagWatchdog, 0);
    EXPECT_EQ(g_SymbolBlinkMask & 0x01u, 0x01u);
    // Back home the indicator follows the flags again.
    Event_Put(kEventHome);
    Rig_AdvanceMs(60);
    ASSERT_EQ(Menu_TopScreen(), 0);
    Alarm_SetFlag(kAlarmFlagWatchdog, 0);
    Alarm_ClearFlag(kAlarmFlagWatchdog, 0);
    EXPECT_EQ(g_SymbolBlinkMask & 0x01u, 0u);
}
