// The sensor command set without the link: request frames byte for byte, the answer checks, the
// payload builders and what the answers leave in the records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/link.h"
#include "core/rtc.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx.h"
#include "measurement/analog_input.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "rig_sensor.h"
#include "sim/sim_inputs.h"

namespace {
using Bytes = std::vector<uint8_t>;

// The request of item id as the link carries it: time-out, frame; and its reply wait.
Bytes Request(uint32_t id, uint8_t* wait = nullptr) {
    uint8_t buffer[256] = {};
    uint8_t w = 0;
    uint32_t n = SensCmd_BuildRequest(1, id, &w, buffer);
    if (wait != nullptr) *wait = w;
    return Bytes(buffer, buffer + n);
}

// The request's payload (behind the time-out and the 8 header bytes, before the CRC).
Bytes RequestPayload(uint32_t id) {
    Bytes request = Request(id);
    return Bytes(request.begin() + 10, request.end() - 2);
}

uint32_t Handle(uint32_t id, const Bytes& bytes) {
    return SensCmd_HandleReply(1, id, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

Bytes FloatBE(float value) {
    Bytes bytes(4);
    Util_PutFloatBE(value, bytes.data());
    return bytes;
}

void Put(Bytes& payload, uint32_t at, const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), payload.begin() + at);
}
void PutText(Bytes& payload, uint32_t at, const char* text) { Put(payload, at, Bytes(text, text + std::strlen(text))); }

Bytes Identification(uint8_t type, const char* firmware) {
    Bytes payload(80, ' ');
    PutText(payload, 0, "4210 OptoQ11 ");
    PutText(payload, 13, "0098765");
    PutText(payload, 27, firmware);
    PutText(payload, 31, "1.03");
    PutText(payload, 43, "52109876");
    payload[51] = type;
    payload[52] = 2;
    return payload;
}
}  // namespace

TEST(SensCmd, RequestFramesByteForByte) {
    // "G100": no payload; CRC 0x06D9 over the name; the board waits 35 x 20 ms.
    uint8_t wait = 0;
    EXPECT_EQ(Request(kSensCmdG100, &wait),
              (Bytes{0x02, 0xBC, 0x03, 0x01, 0x00, 0x06, 0x47, 0x31, 0x30, 0x30, 0x06, 0xD9}));
    EXPECT_EQ(wait, 35 + (96 + 15) / 5 + 12);
    // "G124": time-out 600 ms, reply wait 30 + 95 x 0.2 + 12 = 61 ticks.
    Bytes g124 = Request(kSensCmdG124, &wait);
    EXPECT_EQ(g124[0] << 8 | g124[1], 600);
    EXPECT_EQ(wait, 61);
    EXPECT_EQ(Bytes(g124.begin() + 2, g124.end()), RigSensor_RequestFrame("G124", {}));
    // A writing command carries its payload inside the CRC.
    g_SensorParams[1].p[kSensParamG540Value] = 1.5f;
    Bytes s540 = Request(kSensCmdS540);
    EXPECT_EQ(Bytes(s540.begin() + 2, s540.end()), RigSensor_RequestFrame("S540", FloatBE(1.5f)));
    EXPECT_EQ(s540[5], 4 + 6);
    // Every row frames to its lengths; an id that is not in the table frames nothing.
    for (const SensCmdRow& row : g_SensCmdTable) EXPECT_EQ(Request(row.id).size(), row.requestLength + 12u) << row.name;
    EXPECT_TRUE(Request(2).empty());
    EXPECT_TRUE(Request(20).empty());
}

TEST(SensCmd, AnswerChecks) {
    Bytes payload(4);
    Util_PutFloatBE(12.5f, payload.data());
    Bytes good = RigSensor_AnswerFrame("G540", payload);
    EXPECT_EQ(Bytes(good.begin(), good.begin() + 8), (Bytes{0x01, 0x03, 0x00, 0x0B, 'g', '5', '4', '0'}));
    EXPECT_EQ(Handle(kSensCmdG540, good), 1u);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamG540Value], 12.5f);
    // Status bit 6 is a notice; any other bit fails the answer.
    EXPECT_EQ(Handle(kSensCmdG540, RigSensor_AnswerFrame("G540", payload, 0x40)), 1u);
    EXPECT_EQ(Handle(kSensCmdG540, RigSensor_AnswerFrame("G540", payload, 0x01)), 0u);
    EXPECT_EQ(Handle(kSensCmdG540, RigSensor_AnswerFrame("G540", payload, 0x80)), 0u);
    // Stray bytes before the answer are skipped.
    Bytes stray = {0x00, 0x01, 0x7F, 0x01};
    stray.insert(stray.end(), good.begin(), good.end());
    EXPECT_EQ(Handle(kSensCmdG540, stray), 1u);
    // Truncated, or with stray bytes and cut short: refused, nothing taken.
    g_SensorParams[1].p[kSensParamG540Value] = 0.0f;
    EXPECT_EQ(Handle(kSensCmdG540, Bytes(good.begin(), good.end() - 1)), 0u);
    Bytes cut = stray;
    cut.resize(cut.size() - 2);
    EXPECT_EQ(Handle(kSensCmdG540, cut), 0u);
    // Another command's answer, a wrong length, a capital first letter, an unknown id.
    EXPECT_EQ(Handle(kSensCmdG540, RigSensor_AnswerFrame("G133", payload)), 0u);
    EXPECT_EQ(Handle(kSensCmdG540, RigSensor_AnswerFrame("G540", Bytes(5, 0))), 0u);
    Bytes capital = good;
    capital[4] = 'G';
    EXPECT_EQ(Handle(kSensCmdG540, capital), 0u);
    EXPECT_EQ(Handle(2, good), 0u);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamG540Value], 0.0f);
    // A writing command's answer has no payload; the CRC is the sensor's business.
    Bytes s133 = RigSensor_AnswerFrame("S133", {});
    s133.back() ^= 0xFF;
    EXPECT_EQ(Handle(kSensCmdS133, s133), 1u);
}

TEST(SensCmd, DecimalsTheSensorWrites) {
    EXPECT_EQ(SensCmd_ParseDecimal(7, " 12a45"), 12u);
    EXPECT_EQ(SensCmd_ParseDecimal(7, "0098765"), 98765u);
    EXPECT_EQ(SensCmd_ParseDecimal(3, "12345"), 123u);
    EXPECT_EQ(SensCmd_ParseDecimal(4, "x7"), 7u);  // "x" a leading 0 digit, then 7
    EXPECT_EQ(SensCmd_ParseDecimal(4, "xx7y"), 7u);
}

TEST(SensCmd, IdentificationSetsTheKind) {
    g_SensorKindDetected[1] = kKindNone;
    EXPECT_EQ(Handle(kSensCmdG124, RigSensor_AnswerFrame("G124", Identification(19, "2.14"))), 1u);
    EXPECT_EQ(g_SensorKindDetected[1], kKindO2Optical);
    EXPECT_EQ(g_SensorMemLayout[1], kLayoutProtocol);
    EXPECT_EQ(g_SensorIdent[1].serialNumber, 98765u);
    EXPECT_EQ(g_SensorIdent[1].partNumber, 52109876u);
    EXPECT_EQ(g_SensorIdent[1].optionByte, 2);
    EXPECT_STREQ(g_SensorIdent[1].typeText, "4210 OptoQ11 ");
    EXPECT_EQ(g_SensorPlugged[1], 0);
    // The adopted record is the identification; its versions and part number are read from it.
    SensCmd_InitRecord(1);
    char text[5];
    SensCmd_GetFirmwareVersionText(1, text);
    EXPECT_STREQ(text, "2.14");
    EXPECT_EQ(SensCmd_GetPartNumber(1), 52109876u);
    EXPECT_EQ(SensCmd_GetModelNumber(1), 4210u);

    // Older firmware, or another sensor type: a sensor that cannot be used, announced once.
    for (const Bytes& answer : {Identification(3, "2.1 "), Identification(3, "1.99"), Identification(7, "3.00")}) {
        g_SensorKindDetected[1] = kKindNone;
        g_SensorPlugged[1] = 0;
        EXPECT_EQ(Handle(kSensCmdG124, RigSensor_AnswerFrame("G124", answer)), 1u);
        EXPECT_EQ(g_SensorKindDetected[1], kKindNoSensor);
        EXPECT_EQ(g_SensorMemLayout[1], kLayoutProtocol);
        EXPECT_EQ(g_SensorPlugged[1], 1);
    }
    g_SensorPlugged[1] = 0;
    EXPECT_EQ(Handle(kSensCmdG124, RigSensor_AnswerFrame("G124", Identification(3, "2.2 "))), 1u);
    EXPECT_EQ(g_SensorKindDetected[1], kKindO2Optical);
}

TEST(SensCmd, RegisterWritesAndResetEventsGoOutOneByOne) {
    Chan_ForceKind(1, kKindO2Optical);
    Link_ClearItems();
    EXPECT_EQ(SensCmd_SetRegister(1, 5, 30), 1u);
    EXPECT_EQ(SensCmd_SetRegister(1, 5, 30), 0u);  // unchanged: nothing to write
    EXPECT_EQ(SensCmd_SetRegister(1, 2, 120), 1u);
    EXPECT_EQ(SensCmd_SetRegister(1, 4, 1), 0u);
    EXPECT_EQ(g_SensorIdent[1].register5, 30);
    EXPECT_EQ(RequestPayload(kSensCmdS134), (Bytes{2, 0, 120}));
    EXPECT_EQ(Link_TakeNextItem(1), kSensCmdS134);
    EXPECT_EQ(RequestPayload(kSensCmdS134), (Bytes{5, 0, 30}));
    EXPECT_EQ(Link_TakeNextItem(1), 255);
    EXPECT_EQ(SensCmd_GetRegister(1, 2), 120);
    EXPECT_EQ(SensCmd_GetActInterval(1), 30);

    SensCmd_QueueResetEvent(1, 6);
    SensCmd_QueueResetEvent(1, 2);
    SensCmd_QueueResetEvent(1, 7);
    EXPECT_EQ(Link_TakeNextItem(1), kSensCmdS127);
    EXPECT_EQ(RequestPayload(kSensCmdS127), Bytes{2});
    EXPECT_EQ(RequestPayload(kSensCmdS127), Bytes{6});
    EXPECT_EQ(Link_TakeNextItem(1), kSensCmdS127);
    EXPECT_EQ(Link_TakeNextItem(1), 255);

    SensCmd_QueueAutoclaveIncrement(1, 3);
    EXPECT_EQ(RequestPayload(kSensCmdS126), Bytes{3});
    SensCmd_SetParamThousandths(1, 2.5f);
    EXPECT_EQ(RequestPayload(kSensCmdS133), FloatBE(2500.0f));
    EXPECT_EQ(SensCmd_GetParamRounded(1), 3u);
    EXPECT_EQ(Link_TakeNextItem(1), kSensCmdS133);
    EXPECT_EQ(Link_TakeNextItem(1), kSensCmdS126);
}

TEST(SensCmd, PressureSalinityAndSettingPayloads) {
    float* p = g_SensorParams[1].p;
    p[kSensParamProcessPressure] = 1013.4f;
    p[kSensParamSalinity] = 35.6f;
    EXPECT_EQ(RequestPayload(kSensCmdS131), (Bytes{0x03, 0xF5, 'd', 0x00, 0x24}));
    // Values outside a 16-bit field are held at its ends instead of wrapping.
    p[kSensParamProcessPressure] = -20.0f;
    p[kSensParamSalinity] = 1e9f;
    EXPECT_EQ(RequestPayload(kSensCmdS131), (Bytes{0x00, 0x00, 'd', 0xFF, 0xFF}));
    p[kSensParamSalinity] = NAN;
    EXPECT_EQ(RequestPayload(kSensCmdS137), (Bytes{0x00, 0x00, 'd', 0x00, 0x00}));
    g_SensorParams[1].optionWord = 2;
    EXPECT_EQ(RequestPayload(kSensCmdS510), (Bytes{0, 5}));
    g_SensorParams[1].optionWord = -1;
    EXPECT_EQ(RequestPayload(kSensCmdS510), (Bytes{0, 0}));
    p[kSensParamSipTempLimit] = 121.0f;
    p[kSensParamCipTempLimit] = 80.0f;
    Bytes s139 = FloatBE(121.0f);
    Bytes cip = FloatBE(80.0f);
    s139.insert(s139.end(), cip.begin(), cip.end());
    EXPECT_EQ(RequestPayload(kSensCmdS139), s139);
}

TEST(SensCmd, CalibrationDataToTheSensorAndBack) {
    ClockRecord clock = {2031, 6, 15, 1, 9, 5, 0};
    ASSERT_EQ(Rtc_SetTime(&clock), 1u);
    SensorParamRecord& r = g_SensorParams[1];
    r.pointCode = 3;
    r.s112Mode = kSensS112Step;
    r.p[kSensParamReference] = 20.9f;
    r.unitCode = 1;
    r.humidity = 55;
    Bytes s112 = RequestPayload(kSensCmdS112);
    ASSERT_EQ(s112.size(), 54u);
    EXPECT_EQ(s112[0], 3);
    EXPECT_EQ(s112[1], kSensS112Step);
    EXPECT_EQ(s112[30], 0);
    EXPECT_EQ(Bytes(s112.begin() + 31, s112.begin() + 35), FloatBE(20.9f));
    EXPECT_EQ(s112[35], 1);
    EXPECT_EQ(std::string(s112.begin() + 36, s112.begin() + 49), "31/06/1509:05");
    EXPECT_EQ(s112[51], 55);

    // "G113" fills the points, the sensor's zero and slope, and the calibration conditions.
    Bytes g113(55, 0);
    for (uint32_t i = 0; i < 7; ++i) Put(g113, 4 * i, FloatBE(static_cast<float>(i + 1)));
    Put(g113, 29, FloatBE(8.0f));
    Put(g113, 33, FloatBE(9.0f));
    g113[50] = 0x03;
    g113[51] = 0xF5;
    g113[52] = 45;
    EXPECT_EQ(Handle(kSensCmdG113, RigSensor_AnswerFrame("G113", g113)), 1u);
    // The sensor's zero and slope also become the calibration result pair.
    EXPECT_EQ(r.p[kSensParamZero], 3.0f);
    EXPECT_EQ(r.p[kSensParamResult2], 3.0f);
    EXPECT_EQ(r.p[kSensParamSlope], 4.0f);
    EXPECT_EQ(r.p[kSensParamResult1], 4.0f);
    EXPECT_EQ(r.humidity, 45);

    // The history: six entries; from the third on "--/--/--" is no entry; a bad date is 2008-01-01.
    Bytes g132(96, 0);
    const char* dates[6] = {"31/06/15", "--/--/--", "--/--/--", "07/02/30", "31/02/29", "bad date"};
    for (uint32_t i = 0; i < 6; ++i) {
        PutText(g132, 16 * i, dates[i]);
        Put(g132, 16 * i + 8, FloatBE(100.0f + i));
        Put(g132, 16 * i + 12, FloatBE(-1.0f * i));
    }
    EXPECT_EQ(Handle(kSensCmdG132, RigSensor_AnswerFrame("G132", g132)), 1u);
    SensCalHistoryRecord entry;
    ASSERT_EQ(SensCmd_GetCalHistoryEntry(1, 0, &entry), 1u);
    EXPECT_EQ(entry.year, 2031);
    EXPECT_EQ(entry.month, 6);
    EXPECT_EQ(entry.day, 15);
    EXPECT_EQ(entry.weekday, 1);  // a Sunday
    EXPECT_EQ(entry.zero, 100.0f);
    EXPECT_EQ(SensCmd_GetCalHistoryEntry(1, 1, &entry), 1u);
    EXPECT_EQ(entry.year, 2008);
    EXPECT_EQ(SensCmd_GetCalHistoryEntry(1, 2, &entry), 0u);
    EXPECT_EQ(entry.zero, 0.0f);
    for (uint32_t n : {3u, 4u, 5u}) {
        ASSERT_EQ(SensCmd_GetCalHistoryEntry(1, n, &entry), 1u);
        EXPECT_EQ(entry.year, 2008) << n;  // 2007 is before the clock's years; no 29 February 2031
        EXPECT_EQ(entry.month, 1);
        EXPECT_EQ(entry.weekday, 1);
        EXPECT_EQ(entry.air, -1.0f * n);
    }
    EXPECT_EQ(SensCmd_GetCalHistoryEntry(1, 6, &entry), 0u);
}

TEST(SensCmd, PollAnswerFillsTheRecordAndTakesTheDiagnosticBlock) {
    g_ChannelKind[1] = kKindO2Optical;
    Chan_ForceKind(1, kKindO2Optical);
    Panel_SetSimInput(1, kSimTemperatureB, 31.5f);
    Panel_SetSimInput(1, kSimPrimaryKind9, 87.25f);
    Bytes g100(96, 0);
    Put(g100, 56, FloatBE(4.5f));
    Put(g100, 60, FloatBE(121.5f));
    g100[66] = 12;   // SIP count
    g100[68] = 34;   // CIP count
    g100[70] = 5;    // autoclave count
    g100[75] = 60;   // adaptive calibration timer, days
    g100[77] = 200;  // lifetime, days
    PutText(g100, 78, "  12345");
    PutText(g100, 85, "0000240");
    g100[92] = 0x00;
    g100[93] = 0x05;
    g100[94] = 0x80;
    g100[95] = 0x01;
    Bytes answer = RigSensor_AnswerFrame("G100", g100);

    // The first four answers only clear the record.
    g_MeasReplyCount[1] = 0;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Handle(kSensCmdG100, answer), 1u);
    EXPECT_EQ(g_Measurement[1].primary, 0.0f);
    EXPECT_EQ(g_ChanValueReady[1], 0u);
    EXPECT_EQ(g_LinkChanStatus[1], 400);
    EXPECT_EQ(g_SensorStatusWord[1], 0x80010005u);

    // Then the panel's values stand in the record, the temperature first.
    EXPECT_EQ(Handle(kSensCmdG100, answer), 1u);
    EXPECT_EQ(g_ChanValueReady[1], 1u);
    EXPECT_EQ(g_Measurement[1].temperature, 31.5f);
    EXPECT_EQ(g_Measurement[1].primary, 87.25f);
    EXPECT_EQ(Meas_GetFieldFloat(1, 16), 87.25f);
    EXPECT_EQ(Meas_GetFieldFloat(1, 18), 31.5f);
    EXPECT_EQ(g_LinkChanStatus[1], 401);
    EXPECT_EQ(g_DiagIndicators[kDiagSipCount], 0.0f);
    // The next answer takes the diagnostic block.
    EXPECT_EQ(Handle(kSensCmdG100, answer), 1u);
    EXPECT_EQ(g_LinkChanStatus[1], 0);
    EXPECT_EQ(g_DiagIndicators[kDiagSpare], 4.5f);
    EXPECT_EQ(g_DiagIndicators[kDiagMaxTemperature], 121.5f);
    EXPECT_EQ(g_DiagIndicators[kDiagSipCount], 12.0f);
    EXPECT_EQ(g_DiagIndicators[kDiagCipCount], 34.0f);
    EXPECT_EQ(g_DiagIndicators[kDiagAutoclaveCount], 5.0f);
    EXPECT_EQ(g_DiagIndicators[kDiagActDays], 60.0f);
    EXPECT_EQ(g_DiagIndicators[kDiagLifetimeDays], 200.0f);
    EXPECT_EQ(g_DiagIndicators[kDiagOperatingDays], 10.0f);
    EXPECT_EQ(SensCmd_GetOperatingHours(1), 12345u);
    EXPECT_EQ(g_SensorSaveFlags[kSensorSaveDiagnostics], 1);
    EXPECT_EQ(g_SensorSaveFlags[kSensorSaveOpticalErrors], 1);
    // 405 takes it with the next answer and again seven answers later.
    g_LinkChanStatus[1] = 405;
    g_DiagIndicators[kDiagSipCount] = 0.0f;
    EXPECT_EQ(Handle(kSensCmdG100, answer), 1u);
    EXPECT_EQ(g_LinkChanStatus[1], 395);
    EXPECT_EQ(g_DiagIndicators[kDiagSipCount], 12.0f);
    g_DiagIndicators[kDiagSipCount] = 0.0f;
    for (int i = 0; i < 6; ++i) Handle(kSensCmdG100, answer);
    EXPECT_EQ(g_DiagIndicators[kDiagSipCount], 0.0f);
    Handle(kSensCmdG100, answer);
    EXPECT_EQ(g_DiagIndicators[kDiagSipCount], 12.0f);
    EXPECT_EQ(g_LinkChanStatus[1], 0);

    // With the analog input supplying the pressure, every measured answer asks for "S137".
    uint32_t status = 0;
    Meas_SetAnalogInputMode(1, &status);
    Link_ClearItems();
    Handle(kSensCmdG100, answer);
    EXPECT_EQ(Link_TakeNextItem(1), kSensCmdS137);
    // A sensor of another kind than configured is not measured.
    g_ChannelKind[1] = kKindPh;
    g_ChanValueReady[1] = 0;
    Handle(kSensCmdG100, answer);
    EXPECT_EQ(g_ChanValueReady[1], 0u);
    EXPECT_EQ(g_Measurement[1].primary, 0.0f);
}
