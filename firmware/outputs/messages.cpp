// Message list: raising and clearing, the shown list and its place in the settings store, the
// message definition table and the composition of a message's display line.
#include "outputs/messages.h"

#include <cstring>

#include "core/eeprom.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/util.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "outputs/alarms.h"

// Settings store: the shown list (four codes, low byte first, empty entries 0), its count and
// how many of its last entries are active.
static constexpr uint32_t kStoreShownList = 1960;
static constexpr uint32_t kStoreShownCount = 1968;
static constexpr uint32_t kStoreShownActive = 1969;
// The three lie back to back, so that the list is stored in one write.
static_assert(kStoreShownCount == kStoreShownList + 2 * kMsgShownMax && kStoreShownActive == kStoreShownCount + 1);
static constexpr uint32_t kStoreListBytes = 2 * kMsgShownMax + 2;
static constexpr StoreRange kStoreRanges[] = {
    {kStoreShownList, 2 * kMsgShownMax}, {kStoreShownCount, 1}, {kStoreShownActive, 1}};
const StoreMap g_MsgStoreMap = {"message list", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

// The message words are two lists: kTextSensorMessageWords for the sensor and system rows,
// kTextMessageWords for the others (and for every unit word). A set-point message is "SP", the
// set point's number and its condition: a set-point mode ("High", "Low", "Outside", "Between";
// mode 0 is "Off") or a range word ("Over Range", "Under Range").
// Word 23 of kTextMessageWords, "Warn": German uses the short word on the O2 rows 19 and 20.
static constexpr uint8_t kWordWarnShort = 23;
// Set-point conditions 8 and 9 are the source's range words.
static constexpr uint32_t kConditionOverRange = 8;

static constexpr uint8_t kLanguageEnglish = 0;
static constexpr uint8_t kLanguageFrench = 1;
static constexpr uint8_t kLanguageGerman = 2;
static constexpr uint8_t kLanguageRussian = 6;

uint16_t g_MsgActive[kMsgListSize];
uint8_t g_MsgActiveCount;
uint16_t g_MsgCleared[kMsgListSize];
uint8_t g_MsgClearedCount;
uint16_t g_MsgShown[kMsgShownMax];
uint8_t g_MsgShownCount;
uint8_t g_MsgChanged;
uint8_t g_MsgCursor;
uint8_t g_MsgField;
uint8_t g_MsgYesNo = 1;
uint8_t g_MsgYesNoColumn;
// The stored list as it last stood, waiting for Msg_SaveStore.
static uint8_t s_StoreBytes[kStoreListBytes];
static bool s_StorePending;

// Unit words (of kTextMessageWords).
static constexpr uint8_t kUnitPh = 13;
static constexpr uint8_t kUnitNa = 14;
static constexpr uint8_t kUnitMicroV = 15;
static constexpr uint8_t kUnitKohm = 16;
static constexpr uint8_t kUnitOhm = 17;
static constexpr uint8_t kUnitMohm = 18;
static constexpr uint8_t kUnitPercent = 19;
static constexpr uint8_t kUnitMv = 26;
static constexpr uint8_t kNone = kMsgNoWord;

// The rows in message-number order; the English line each composes (channel A, factory settings)
// stands beside it. Rows 52 to 65 and 99 to 101 take their words from kTextSensorMessageWords.
const MsgDef g_MsgTable[kMsgTableRows] = {
    {{0, kNone, kNone}, kMsgNoLimit, 0.0f, 0, kNone},         // 0 Clear Messages
    {{1, kNone, kNone}, kMsgNoLimit, 0.0f, 0, kNone},         // 1 No Message Available
    {{2, kNone, kNone}, kMsgNoLimit, 0.0f, 0, kNone},         // 2 Watchdog Time-out
    {{3, 5, 8}, kMsgLimitAbove, 102.0f, 0, kUnitPercent},     // 3 Warning pH slope>102%
    {{3, 5, 8}, kMsgLimitBelow, 90.0f, 0, kUnitPercent},      // 4 Warning pH slope<90%
    {{23, 5, 12}, kMsgLimitAbove, 7.5f, 1, kUnitPh},          // 5 Warn pH ZeroPt>7.5pH
    {{23, 5, 12}, kMsgLimitBelow, 6.5f, 1, kUnitPh},          // 6 Warn pH ZeroPt<6.5pH
    {{4, 5, 8}, kMsgLimitAbove, 103.0f, 0, kUnitPercent},     // 7 Error pH slope>103%
    {{4, 5, 8}, kMsgLimitBelow, 80.0f, 0, kUnitPercent},      // 8 Error pH slope<80%
    {{4, 5, 12}, kMsgLimitAbove, 8.0f, 1, kUnitPh},           // 9 Error pH ZeroPt>8.0pH
    {{4, 5, 12}, kMsgLimitBelow, 6.0f, 1, kUnitPh},           // 10 Error pH ZeroPt<6.0pH
    {{3, 6, 8}, kMsgLimitAbove, -35.0f, 0, kUnitNa},          // 11 Warning O2 slope>-35nA
    {{3, 6, 8}, kMsgLimitBelow, -90.0f, 0, kUnitNa},          // 12 Warning O2 slope<-90nA
    {{3, 6, 24}, kMsgLimitAbove, 0.3f, 1, kUnitNa},           // 13 Warning O2 ZeroPt>0.3nA
    {{3, 6, 24}, kMsgLimitBelow, -0.3f, 1, kUnitNa},          // 14 Warning O2ZeroPt<-0.3nA
    {{4, 6, 8}, kMsgLimitAbove, -30.0f, 0, kUnitNa},          // 15 Error O2 slope>-30nA
    {{4, 6, 8}, kMsgLimitBelow, -110.0f, 0, kUnitNa},         // 16 Error O2 slope<-110nA
    {{4, 6, 24}, kMsgLimitAbove, 0.6f, 1, kUnitNa},           // 17 Error O2 ZeroPt>0.6nA
    {{4, 6, 24}, kMsgLimitBelow, -0.6f, 1, kUnitNa},          // 18 Error O2 ZeroPt<-0.6nA
    {{3, 6, 8}, kMsgLimitAbove, -250.0f, 0, kUnitNa},         // 19 Warning O2 slope>-250nA
    {{3, 6, 8}, kMsgLimitBelow, -460.0f, 0, kUnitNa},         // 20 Warning O2 slope<-460nA
    {{3, 6, 24}, kMsgLimitAbove, 0.5f, 1, kUnitNa},           // 21 Warning O2 ZeroPt>0.5nA
    {{3, 6, 24}, kMsgLimitBelow, -0.5f, 1, kUnitNa},          // 22 Warning O2ZeroPt<-0.5nA
    {{4, 6, 8}, kMsgLimitAbove, -220.0f, 0, kUnitNa},         // 23 Error O2 slope>-220nA
    {{4, 6, 8}, kMsgLimitBelow, -525.0f, 0, kUnitNa},         // 24 Error O2 slope<-525nA
    {{4, 6, 24}, kMsgLimitAbove, 1.0f, 1, kUnitNa},           // 25 Error O2 ZeroPt>1.0nA
    {{4, 6, 24}, kMsgLimitBelow, -1.0f, 1, kUnitNa},          // 26 Error O2 ZeroPt<-1.0nA
    {{3, 6, 8}, kMsgLimitAbove, 1.5f, 2, kNone},              // 27 Warning O2 slope>1.50
    {{3, 6, 8}, kMsgLimitBelow, 0.65f, 2, kNone},             // 28 Warning O2 slope<0.65
    {{3, 6, 24}, kMsgLimitAbove, 15.0f, 0, kUnitMicroV},      // 29 Warning O2 ZeroPt>15uV
    {{3, 6, 24}, kMsgLimitBelow, -15.0f, 0, kUnitMicroV},     // 30 Warning O2 ZeroPt<-15uV
    {{4, 6, 8}, kMsgLimitAbove, 2.0f, 2, kNone},              // 31 Error O2 slope>2.00
    {{4, 6, 8}, kMsgLimitBelow, 0.25f, 2, kNone},             // 32 Error O2 slope<0.25
    {{4, 6, 24}, kMsgLimitAbove, 30.0f, 0, kUnitMicroV},      // 33 Error O2 ZeroPt>30uV
    {{4, 6, 24}, kMsgLimitBelow, -30.0f, 0, kUnitMicroV},     // 34 Error O2 ZeroPt<-30uV
    {{3, 7, 8}, kMsgLimitAbove, -0.33f, 2, kNone},            // 35 Warning O3 slope>-0.33
    {{3, 7, 8}, kMsgLimitBelow, -2.5f, 2, kNone},             // 36 Warning O3 slope<-2.50
    {{3, 7, 24}, kMsgLimitAbove, 1.0f, 0, kUnitNa},           // 37 Warning O3 ZeroPt>1nA
    {{3, 7, 24}, kMsgLimitBelow, -1.0f, 0, kUnitNa},          // 38 Warning O3ZeroPt<-1nA
    {{4, 7, 8}, kMsgLimitAbove, -0.25f, 2, kNone},            // 39 Error O3 slope>-0.25
    {{4, 7, 8}, kMsgLimitBelow, -4.0f, 2, kNone},             // 40 Error O3 slope<-4.00
    {{4, 7, 24}, kMsgLimitAbove, 1.5f, 1, kUnitNa},           // 41 Error O3 ZeroPt>1.5nA
    {{4, 7, 24}, kMsgLimitBelow, -1.5f, 1, kUnitNa},          // 42 Error O3 ZeroPt<-1.5nA
    {{4, 5, 10}, kMsgLimitAbove, 150.0f, 0, kUnitKohm},       // 43 Error pH Ref Res>150Kohm
    {{4, 5, 10}, kMsgLimitBelow, 1000.0f, 0, kUnitOhm},       // 44 Error pH Ref Res<1000ohm
    {{23, 21, 22}, kMsgLimitAbove, 3.0f, 0, kNone},           // 45 Warn pHRef change>3
    {{23, 21, 22}, kMsgLimitBelow, 0.3f, 1, kNone},           // 46 Warn pHRef change<.3
    {{4, 5, 11}, kMsgLimitAbove, 2000.0f, 0, kUnitMohm},      // 47 Error pH Gls Res>2000Mohm
    {{4, 5, 11}, kMsgLimitBelow, 5.0f, 0, kUnitMohm},         // 48 Error pH Gls Res<5Mohm
    {{23, 20, 22}, kMsgLimitAbove, 3.0f, 0, kNone},           // 49 Warn pHGls change>3
    {{23, 20, 22}, kMsgLimitBelow, 0.3f, 1, kNone},           // 50 Warn pHGls change<.3
    {{4, 25, kNone}, kMsgNoLimit, 0.0f, 0, kNone},            // 51 Error Install O2 Jumper
    {{kNone, 3, kNone}, kMsgNoLimit, 0.0f, 0, kNone},         // 52 Dry Cond Sensor
    {{kNone, 4, kNone}, kMsgNoLimit, 0.0f, 0, kNone},         // 53 Cond Cell Shorted
    {{0, 1, kNone}, kMsgNoLimit, 0.0f, 0, kNone},             // 54 Disconnected
    {{0, 11, kNone}, kMsgNoLimit, 0.0f, 0, kNone},            // 55 Wrong Sensor
    {{0, 5, kNone}, kMsgNoLimit, 0.0f, 0, kNone},             // 56 Maint Required
    {{0, 6, kNone}, kMsgNoLimit, 0.0f, 0, kNone},             // 57 Cal Required
    {{0, 7, kNone}, kMsgNoLimit, 0.0f, 0, kNone},             // 58 CIP Counter Expired
    {{0, 8, kNone}, kMsgNoLimit, 0.0f, 0, kNone},             // 59 SIP Counter Expired
    {{0, 9, kNone}, kMsgNoLimit, 0.0f, 0, kNone},             // 60 AutCl Count Expired
    {{kNone, 13, kNone}, kMsgNoLimit, 0.0f, 0, kNone},        // 61 Shaft Error
    {{kNone, 14, kNone}, kMsgNoLimit, 0.0f, 0, kNone},        // 62 Signal error
    {{kNone, 15, kNone}, kMsgNoLimit, 0.0f, 0, kNone},        // 63 Hardware error
    {{kNone, 16, kNone}, kMsgNoLimit, 0.0f, 0, kNone},        // 64 Change spot
    {{kNone, 10, kNone}, kMsgNoLimit, 0.0f, 0, kNone},        // 65 Cell Deviation
    {{23, 27, 12}, kMsgLimitAbove, 30.0f, 0, kUnitMv},        // 66 Warn ORP ZeroPt>30mV
    {{23, 27, 12}, kMsgLimitBelow, -30.0f, 0, kUnitMv},       // 67 Warn ORP ZeroPt<-30mV
    {{4, 27, 12}, kMsgLimitAbove, 60.0f, 0, kUnitMv},         // 68 Error ORP ZeroPt>60mV
    {{4, 27, 12}, kMsgLimitBelow, -60.0f, 0, kUnitMv},        // 69 Error ORP ZeroPt<-60mV
    {{4, kNone, 28}, kMsgLimitAbove, 2000.0f, 0, kUnitMohm},  // 70 Error pNaGls>2000Mohm
    {{4, kNone, 28}, kMsgLimitBelow, 5.0f, 0, kUnitMohm},     // 71 Error pNaGls<5Mohm
    {{23, kNone, 29}, kMsgLimitAbove, 3.0f, 0, kNone},        // 72 Warn pNaGls change>3
    {{23, kNone, 29}, kMsgLimitBelow, 0.3f, 1, kNone},        // 73 Warn pNaGls change<0.3
    {{4, kNone, 30}, kMsgNoLimit, 0.0f, 0, kNone},            // 74 Error Electrolyte Low
    {{3, 5, 8}, kMsgLimitAbove, 102.0f, 0, kUnitPercent},     // 75 Warning pH slope>102%
    {{3, 5, 8}, kMsgLimitBelow, 90.0f, 0, kUnitPercent},      // 76 Warning pH slope<90%
    {{23, 5, 12}, kMsgLimitAbove, 8.3f, 1, kUnitPh},          // 77 Warn pH ZeroPt>8.3pH
    {{23, 5, 12}, kMsgLimitBelow, 5.7f, 1, kUnitPh},          // 78 Warn pH ZeroPt<5.7pH
    {{4, 5, 8}, kMsgLimitAbove, 103.0f, 0, kUnitPercent},     // 79 Error pH slope>103%
    {{4, 5, 8}, kMsgLimitBelow, 80.0f, 0, kUnitPercent},      // 80 Error pH slope<80%
    {{4, 5, 12}, kMsgLimitAbove, 9.0f, 1, kUnitPh},           // 81 Error pH ZeroPt>9.0pH
    {{4, 5, 12}, kMsgLimitBelow, 5.0f, 1, kUnitPh},           // 82 Error pH ZeroPt<5.0pH
    {{23, 6, 8}, kMsgLimitAbove, -3000.0f, 0, kUnitNa},       // 83 Warn O2 slope>-3000nA
    {{23, 6, 8}, kMsgLimitBelow, -5000.0f, 0, kUnitNa},       // 84 Warn O2 slope<-5000nA
    {{23, 6, 24}, kMsgLimitAbove, 0.5f, 1, kUnitNa},          // 85 Warn O2 ZeroPt>0.5nA
    {{23, 6, 24}, kMsgLimitBelow, -0.5f, 1, kUnitNa},         // 86 Warn O2 ZeroPt<-0.5nA
    {{4, 6, 8}, kMsgLimitAbove, -2000.0f, 0, kUnitNa},        // 87 Error O2 slope>-2000nA
    {{4, 6, 8}, kMsgLimitBelow, -6000.0f, 0, kUnitNa},        // 88 Error O2 slope<-6000nA
    {{4, 6, 24}, kMsgLimitAbove, 1.0f, 1, kUnitNa},           // 89 Error O2 ZeroPt>1.0nA
    {{4, 6, 24}, kMsgLimitBelow, -1.0f, 1, kUnitNa},          // 90 Error O2 ZeroPt<-1.0nA
    {{23, 6, 8}, kMsgLimitAbove, -23000.0f, 0, kUnitNa},      // 91 Warn O2 slope>-23000nA
    {{23, 6, 8}, kMsgLimitBelow, -57000.0f, 0, kUnitNa},      // 92 Warn O2 slope<-57000nA
    {{23, 6, 24}, kMsgLimitAbove, 0.5f, 1, kUnitNa},          // 93 Warn O2 ZeroPt>0.5nA
    {{23, 6, 24}, kMsgLimitBelow, -0.5f, 1, kUnitNa},         // 94 Warn O2 ZeroPt<-0.5nA
    {{4, 6, 8}, kMsgLimitAbove, -20000.0f, 0, kUnitNa},       // 95 Error O2 slope>-20000nA
    {{4, 6, 8}, kMsgLimitBelow, -60000.0f, 0, kUnitNa},       // 96 Error O2 slope<-60000nA
    {{4, 6, 24}, kMsgLimitAbove, 1.0f, 1, kUnitNa},           // 97 Error O2 ZeroPt>1.0nA
    {{4, 6, 24}, kMsgLimitBelow, -1.0f, 1, kUnitNa},          // 98 Error O2 ZeroPt<-1.0nA
    {{kNone, 2, kNone}, kMsgNoLimit, 0.0f, 0, kNone},         // 99 Change Sensor
    {{kNone, 12, kNone}, kMsgNoLimit, 0.0f, 0, kNone},        // 100 Communication Error
    {{kNone, 17, kNone}, kMsgNoLimit, 0.0f, 0, kNone},        // 101 Set Correct Date
};

// ---- Codes ------------------------------------------------------------------------------------

// A code of 515 or more below the set-point codes is channel B; every other code is its own number.
static uint32_t NumberOf(uint16_t code) {
    return code >= kMsgChannelB + 3 && code < kMsgSetPointFirst ? code - kMsgChannelB : code;
}
static uint32_t ChannelOf(uint16_t code) { return code >= kMsgChannelB + 3 && code < kMsgSetPointFirst ? 1 : 0; }
static bool HasChannel(uint16_t code) {
    return code >= 3 && code < kMsgSetPointFirst && code != kMsgCommError && code != kMsgSetCorrectDate;
}
static bool IsSetPointCode(uint16_t code) { return code >= kMsgSetPointFirst && code <= kMsgSetPointLast; }

uint32_t Msg_IsValidCode(uint16_t code) {
    // High, Low, Outside, Between, and the source over and under range.
    uint32_t condition = code % 10;
    if (IsSetPointCode(code)) return condition <= 3 || condition == 8 || condition == 9 ? 1 : 0;
    if (code >= kMsgSetPointFirst) return 0;
    uint32_t n = NumberOf(code);
    return n >= kMsgWatchdog && n < kMsgTableRows ? 1 : 0;
}

// ---- Lists ------------------------------------------------------------------------------------

static int32_t IndexIn(const uint16_t* list, uint8_t count, uint16_t code) {
    for (uint8_t i = 0; i < count; ++i) {
        if (list[i] == code) return i;
    }
    return -1;
}

// Removes entry i: the entries behind it move forward and the freed last slot becomes 0.
static void RemoveAt(uint16_t* list, uint8_t* count, int32_t i) {
    for (int32_t k = i; k + 1 < *count; ++k) list[k] = list[k + 1];
    --*count;
    list[*count] = 0;
}

// The list's bytes wait for the end of the main-loop pass: however many messages change in it,
// the store is written once.
static void WriteShownStore() {
    for (uint32_t i = 0; i < kMsgShownMax; ++i) {
        s_StoreBytes[2 * i] = static_cast<uint8_t>(g_MsgShown[i] & 0xff);
        s_StoreBytes[2 * i + 1] = static_cast<uint8_t>(g_MsgShown[i] >> 8);
    }
    s_StoreBytes[2 * kMsgShownMax] = g_MsgShownCount;
    s_StoreBytes[2 * kMsgShownMax + 1] = g_MsgActiveCount;
    s_StorePending = true;
}

void Msg_SaveStore() {
    if (!s_StorePending) return;
    s_StorePending = false;
    uint8_t stored[kStoreListBytes];
    uint32_t status = 0;
    Eeprom_Read(kStoreShownList, stored, sizeof stored, &status);
    if (status == 0 && std::memcmp(stored, s_StoreBytes, sizeof stored) == 0) return;
    // A store that cannot be written keeps what it had; the list in memory stands.
    Eeprom_WriteChecked(kStoreShownList, s_StoreBytes, sizeof s_StoreBytes, &status);
}

void Msg_ResetState() {
    std::memset(g_MsgActive, 0, sizeof g_MsgActive);
    std::memset(g_MsgCleared, 0, sizeof g_MsgCleared);
    std::memset(g_MsgShown, 0, sizeof g_MsgShown);
    g_MsgActiveCount = 0;
    g_MsgClearedCount = 0;
    g_MsgShownCount = 0;
    g_MsgChanged = 0;
    g_MsgCursor = 0;
    g_MsgField = 0;
    g_MsgYesNo = 1;
    g_MsgYesNoColumn = 0;
    std::memset(s_StoreBytes, 0, sizeof s_StoreBytes);
    s_StorePending = false;
}

void Msg_Raise(uint16_t code) {
    if (code < kMsgWatchdog) return;
    int32_t cleared = IndexIn(g_MsgCleared, g_MsgClearedCount, code);
    if (cleared >= 0) RemoveAt(g_MsgCleared, &g_MsgClearedCount, cleared);
    if (IndexIn(g_MsgActive, g_MsgActiveCount, code) >= 0) return;
    // A full list takes the code into its spare 40th slot, outside the counted list.
    g_MsgActive[g_MsgActiveCount] = code;
    if (g_MsgActiveCount < kMsgListMax) ++g_MsgActiveCount;
    g_MsgChanged = 1;
    Msg_BuildShownList();
}

uint32_t Msg_Clear(uint16_t code) {
    if (g_MsgActiveCount == 0) return 0;
    int32_t i = IndexIn(g_MsgActive, g_MsgActiveCount, code);
    if (i < 0) return 1;
    Msg_AddCleared(code);
    RemoveAt(g_MsgActive, &g_MsgActiveCount, i);
    g_MsgChanged = 1;
    Msg_BuildShownList();
    return 1;
}

void Msg_AddCleared(uint16_t code) {
    if (IndexIn(g_MsgCleared, g_MsgClearedCount, code) >= 0) return;
    g_MsgCleared[g_MsgClearedCount] = code;
    if (g_MsgClearedCount < kMsgListMax) ++g_MsgClearedCount;
}

uint32_t Msg_IsActive(uint16_t code) { return IndexIn(g_MsgActive, g_MsgActiveCount, code) >= 0 ? 1 : 0; }
uint32_t Msg_ActiveCount() { return g_MsgActiveCount; }
uint32_t Msg_ShownCount() { return g_MsgShownCount; }
uint16_t Msg_ShownCode(uint32_t i) { return i < g_MsgShownCount ? g_MsgShown[i] : 0; }
void Msg_SetChanged() { g_MsgChanged = 1; }

void Msg_BuildShownList() {
    std::memset(g_MsgShown, 0, sizeof g_MsgShown);
    if (g_MsgActiveCount >= kMsgShownMax) {
        // Four newest active codes; this state lives in memory only.
        for (uint32_t i = 0; i < kMsgShownMax; ++i) g_MsgShown[i] = g_MsgActive[g_MsgActiveCount - kMsgShownMax + i];
        g_MsgShownCount = kMsgShownMax;
        return;
    }
    uint32_t total = static_cast<uint32_t>(g_MsgActiveCount) + g_MsgClearedCount;
    uint32_t count = total < kMsgShownMax ? total : kMsgShownMax;
    uint32_t clearedShown = count - g_MsgActiveCount;
    // The newest cleared codes first, the newest of them directly before the oldest active one.
    for (uint32_t i = 0; i < clearedShown; ++i) g_MsgShown[i] = g_MsgCleared[g_MsgClearedCount - clearedShown + i];
    for (uint32_t i = 0; i < g_MsgActiveCount; ++i) g_MsgShown[clearedShown + i] = g_MsgActive[i];
    g_MsgShownCount = static_cast<uint8_t>(count);
    WriteShownStore();
}

void Msg_ClearAll() {
    uint32_t wrongSensorB = Alarm_GetFlags(1) & (1u << kAlarmFlagWrongSensor);
    std::memset(g_MsgActive, 0, sizeof g_MsgActive);
    std::memset(g_MsgCleared, 0, sizeof g_MsgCleared);
    std::memset(g_MsgShown, 0, sizeof g_MsgShown);
    g_MsgActiveCount = 0;
    g_MsgClearedCount = 0;
    g_MsgShownCount = 0;
    g_MsgCursor = 0;
    Alarm_ClearAllFlags(0);
    Alarm_ClearAllFlags(1);
    // A wrong sensor on channel B is still plugged in: its condition stands.
    if (wrongSensorB) Vdx_RaiseWrongSensor(1);
}

void Msg_ResetStore() {
    if (g_MsgShownCount > 0) {
        Msg_ClearAll();
        g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
        g_SensorSaveFlags[kSensorSaveOpticalErrors] = 1;
        g_SensorParamSavePending = 1;
    }
    // The stored list is emptied also when nothing was shown, so that factory defaults leave a
    // defined empty list in a fresh store.
    std::memset(s_StoreBytes, 0, sizeof s_StoreBytes);
    s_StorePending = true;
}

void Msg_LoadStore(uint32_t* status) {
    std::memset(g_MsgActive, 0, sizeof g_MsgActive);
    std::memset(g_MsgCleared, 0, sizeof g_MsgCleared);
    g_MsgActiveCount = 0;
    g_MsgClearedCount = 0;
    uint8_t shown = 0xFF;
    uint8_t active = 0xFF;
    uint32_t s = 0;
    Eeprom_Read(kStoreShownCount, &shown, 1, &s);
    if (s != 0 || shown > kMsgShownMax) shown = 0;
    if (s != 0) *status = s;
    s = 0;
    Eeprom_Read(kStoreShownActive, &active, 1, &s);
    if (s != 0 || active > shown) active = 0;
    if (s != 0) *status = s;
    uint8_t bytes[2 * kMsgShownMax] = {};
    if (shown > 0) {
        s = 0;
        Eeprom_Read(kStoreShownList, bytes, 2u * shown, &s);
        if (s != 0) {
            *status = s;
            shown = 0;
            active = 0;
        }
    }
    // The cleared entries come first, the active ones last. A code that names no table row or
    // set-point code, or stands in the list already, is dropped: it could neither be shown nor
    // ever be cleared by its raiser.
    uint32_t cleared = static_cast<uint32_t>(shown) - active;
    for (uint32_t i = 0; i < shown; ++i) {
        uint16_t code = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (!Msg_IsValidCode(code)) continue;
        if (IndexIn(g_MsgActive, g_MsgActiveCount, code) >= 0 || IndexIn(g_MsgCleared, g_MsgClearedCount, code) >= 0) {
            continue;
        }
        if (i < cleared) {
            g_MsgCleared[g_MsgClearedCount++] = code;
        } else {
            g_MsgActive[g_MsgActiveCount++] = code;
        }
    }
    std::memset(g_MsgShown, 0, sizeof g_MsgShown);
    for (uint32_t i = 0; i < g_MsgClearedCount; ++i) g_MsgShown[i] = g_MsgCleared[i];
    for (uint32_t i = 0; i < g_MsgActiveCount; ++i) g_MsgShown[g_MsgClearedCount + i] = g_MsgActive[i];
    g_MsgShownCount = static_cast<uint8_t>(g_MsgClearedCount + g_MsgActiveCount);
    g_MsgChanged = 1;
}

void Msg_ResetChannel(uint32_t channel) {
    uint32_t flagsB = Alarm_GetFlags(1);
    Alarm_ClearAllFlags(0);
    Alarm_ClearAllFlags(1);
    uint16_t base = static_cast<uint16_t>(channel < 2 ? channel * kMsgChannelB : 0);
    bool any = g_MsgActiveCount > 0;
    for (uint16_t n = 3; any && n <= kMsgChangeSensor; ++n) any = Msg_Clear(static_cast<uint16_t>(base + n)) != 0;
    for (uint16_t code = kMsgSetPointFirst; any && code <= kMsgSetPointLast; ++code) any = Msg_Clear(code) != 0;
    if (flagsB & (1u << kAlarmFlagWatchdog)) {
        Alarm_SetFlag(kAlarmFlagWatchdog, 0);
        Alarm_SetFlag(kAlarmFlagWatchdog, 1);
        Msg_Raise(kMsgWatchdog);
    }
    if (flagsB & (1u << kAlarmFlagCommError)) Vdx_RaiseCommError();
    if (channel == 1 && (flagsB & (1u << kAlarmFlagWrongSensor))) Vdx_RaiseWrongSensor(1);
}

// ---- Composition --------------------------------------------------------------------------------

namespace {
// The line being composed; longer than a row, so that the length before the cut is known.
struct Line {
    char text[128];
    uint32_t n;
};

void Append(Line* line, const char* text) {
    while (*text != '\0' && line->n < sizeof line->text - 1) line->text[line->n++] = *text++;
    line->text[line->n] = '\0';
}

void AppendChar(Line* line, char c) {
    const char text[2] = {c, '\0'};
    Append(line, text);
}

// Word index of a list of texts, in the language given.
void AppendWord(Line* line, TextRef list, uint32_t index, uint8_t language) {
    char word[kTextMaxChars + 1];
    TextRef text = Text_Nth(list, index);
    Text_CopyItem(Text_GetOffset(text.group, text.index, language), word);
    Append(line, word);
}

// The limit a row shows: the stored one, or one computed from the channel's settings.
float LimitOf(uint32_t n, uint32_t channel) {
    float stored = g_MsgTable[n].limit;
    uint8_t kind = g_ChannelKind[channel];
    switch (n) {
        case 5:
        case 6:
        case 9:
        case 10: {
            if (kind == kKindCo2) return stored;
            // The zero-point limits follow the isothermal point away from pH 7.
            float value = stored - 7.0f + Settings_ReadParam1(channel);
            if (value < -50.0f) value = -50.0f;
            if (value > 100.0f) value = 100.0f;
            return value;
        }
        case 77:
        case 78:
        case 81:
        case 82:
            return stored - 7.0f + Settings_ReadParam1(channel);
        case 66:
        case 67:
        case 68:
        case 69: {
            static const float kOnPh[4] = {30.0f, -30.0f, 60.0f, -60.0f};
            static const float kOther[4] = {80.0f, -80.0f, 120.0f, -120.0f};
            return kind == kKindPh ? kOnPh[n - 66] : kOther[n - 66];
        }
        case 91:
            return CalO2_GetKind8Limit(channel, 0) * 1.15f;
        case 95:
            return CalO2_GetKind8Limit(channel, 0);
        case 92:
            return CalO2_GetKind8Limit(channel, 1) * 0.95f;
        case 96:
            return CalO2_GetKind8Limit(channel, 1);
        // The zero limits are kept in thousandths of nA.
        case 93:
            return CalO2_GetKind8Limit(channel, 2) * 0.5f / 1000.0f;
        case 97:
            return CalO2_GetKind8Limit(channel, 2) / 1000.0f;
        case 94:
            return CalO2_GetKind8Limit(channel, 3) * 0.5f / 1000.0f;
        case 98:
            return CalO2_GetKind8Limit(channel, 3) / 1000.0f;
        default:
            return stored;
    }
}

bool NoBlankAfterWord1(uint32_t n, uint8_t language) {
    if (n == 51) return true;
    return language == kLanguageEnglish && (n == 14 || n == 22 || n == 38);
}

void ComposeSetPoint(Line* line, uint16_t code, uint8_t language) {
    uint32_t setPoint = (code - kMsgSetPointFirst) / 10;
    uint32_t condition = code % 10;
    AppendWord(line, kTextSetPointShort, 0, language);
    AppendChar(line, static_cast<char>('1' + setPoint));
    AppendChar(line, ' ');
    if (condition < kConditionOverRange) {
        AppendWord(line, kTextSetPointModes, condition + 1, language);
    } else {
        AppendWord(line, kTextOverRange, condition - kConditionOverRange, language);
    }
}

void ComposeRow(Line* line, uint16_t code, uint8_t language) {
    uint32_t n = NumberOf(code);
    uint32_t channel = ChannelOf(code);
    const MsgDef& row = g_MsgTable[n];
    const char letter = channel == 0 ? 'A' : 'B';
    bool sensorRow = (n >= kMsgDisconnected && n <= 65) || n >= kMsgChangeSensor;
    if (sensorRow) {
        if (n != kMsgCommError && n != kMsgSetCorrectDate) {
            AppendChar(line, letter);
            AppendChar(line, ' ');
        }
        AppendWord(line, kTextSensorMessageWords, row.word[1], language);
        return;
    }
    if (HasChannel(code)) {
        AppendChar(line, letter);
        if (n == 52 || n == 53) AppendChar(line, ' ');
    }
    TextRef words = n == 52 || n == 53 ? kTextSensorMessageWords : kTextMessageWords;
    for (uint32_t w = 0; w < 3; ++w) {
        uint8_t word = row.word[w];
        if (w == 0 && language == kLanguageGerman && (n == 19 || n == 20)) word = kWordWarnShort;
        if (w == 1 && language == kLanguageFrench && (n == 43 || n == 44 || n == 47 || n == 48)) word = kNone;
        if (word == kNone) continue;
        AppendWord(line, words, word, language);
        if (w == 2) break;
        bool blank = !(w == 1 && NoBlankAfterWord1(n, language));
        if (language == kLanguageRussian) blank = blank && line->n < (w == 0 ? 9u : 11u);
        if (blank) AppendChar(line, ' ');
    }
    if (row.limitKind == kMsgNoLimit) return;
    AppendChar(line, row.limitKind == kMsgLimitAbove ? '>' : '<');
    if (language == kLanguageEnglish && (n == 46 || n == 50)) {
        Append(line, ".3");
    } else {
        char number[kNumberTextMax + 1];
        Util_FloatToText(LimitOf(n, channel), 255, row.decimals, number);
        Append(line, number);
    }
    if (row.unit != kNone) AppendWord(line, kTextMessageWords, row.unit, language);
}
}  // namespace

uint32_t Msg_ComposeText(uint16_t code, char* buffer) {
    std::memset(buffer, 0, kMsgLineSize);
    Line line;
    line.n = 0;
    line.text[0] = '\0';
    uint8_t language = Text_GetLanguage();
    if (IsSetPointCode(code)) {
        ComposeSetPoint(&line, code, language);
    } else if (code < kMsgSetPointFirst && NumberOf(code) < kMsgTableRows) {
        ComposeRow(&line, code, language);
    }
    uint32_t shown = line.n < kTextMaxChars ? line.n : kTextMaxChars;
    std::memcpy(buffer, line.text, shown);
    buffer[shown] = '\0';
    return line.n;
}
