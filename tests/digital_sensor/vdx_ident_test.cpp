// Sensor identity: the packed fields of the staging image, the family table, version and type
// texts, the command-protocol branch, and the pH sensor's option of page 16.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/link.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/ph.h"
#include "rig.h"
#include "rig_sensor.h"

namespace {
void Stage(const RigSensorIdentity& identity) {
    std::vector<uint8_t> image = RigSensor_BuildImage(identity);
    std::memcpy(g_SensorMemImage[kSensorStagingImage], image.data(), kSensorImageBytes);
}

std::string TypeText(uint32_t channel) {
    char text[kVdxTypeTextMax + 1];
    uint32_t n = Vdx_GetTypeText(channel, text);
    EXPECT_EQ(n, std::strlen(text));
    return text;
}

struct Decoded {
    uint32_t layout;
    uint32_t kind;
};

Decoded Decode(uint32_t family, uint32_t variant, uint8_t subType = 0) {
    RigSensorIdentity identity;
    identity.family = family;
    identity.variant = variant;
    identity.phSubType = subType;
    Stage(identity);
    g_SensorMemLayout[1] = 99;
    Vdx_DecodeSensorFamily(1);
    return Decoded{g_SensorMemLayout[1], g_SensorKindDetected[1]};
}
}  // namespace

TEST(VdxIdent, NumbersAndTextsOfTheStagingImage) {
    RigSensorIdentity identity;
    identity.model = 0x5ABC;
    identity.serial = 0xABCDEF;
    identity.part = 0x0F1234A7;
    identity.family = 0xC5;  // reaches into byte 10, beside the variant and the part's low digit
    identity.variant = 2;
    identity.typeText = "SelvoP12 pH";
    Stage(identity);
    EXPECT_EQ(Vdx_GetModelNumber(1), 0x5ABCu);
    EXPECT_EQ(Vdx_GetSerialNumber(1), 0xABCDEFu);
    EXPECT_EQ(Vdx_GetPartNumber(1), 0x0F1234A7u);
    EXPECT_EQ(TypeText(1), "SelvoP12 pH");
    // Thirteen characters without "/"; a "/" first gives an empty text.
    identity.typeText = "ABCDEFGHIJKLMNOP";
    Stage(identity);
    EXPECT_EQ(TypeText(1), "ABCDEFGHIJKLM");
    identity.typeText = "";
    Stage(identity);
    EXPECT_EQ(TypeText(1), "");
    // The versions come from the channel's own image.
    char text[kVdxVersionTextSize];
    g_SensorMemImage[1][481] = 7;
    g_SensorMemImage[1][482] = 42;
    Vdx_GetFirmwareVersionText(1, text);
    EXPECT_STREQ(text, "07.00");
    Vdx_GetHardwareVersionText(1, text);
    EXPECT_STREQ(text, "42.00");
    g_SensorMemImage[1][481] = 100;
    Vdx_GetFirmwareVersionText(1, text);
    EXPECT_STREQ(text, ":0.00");
}

TEST(VdxIdent, FamilyTableGivesLayoutAndKind) {
    struct Case {
        uint32_t family, variant;
        uint8_t subType;
        uint32_t layout, kind;
    };
    const Case cases[] = {
        {1, 0, 0, kLayoutPh, kKindPh},          {1, 0, 13, kLayoutPh, kKindPhPna},
        {3, 0, 0, kLayoutOxygen, kKindO2High},  {3, 1, 0, kLayoutOxygen, kKindO2Low},
        {3, 2, 0, kLayoutOxygen, kKindO2Trace}, {3, 3, 0, kLayoutOxygen, kKindNoSensor},
        {5, 0, 0, kLayoutCond, kKindCond4},     {5, 1, 0, kLayoutCond, kKindCond2},
        {9, 0, 0, kLayoutPh, kKindCo2},         {16, 3, 0, kLayoutOxygen, kKindO2Gauge},
        {7, 0, 0, kLayoutPh, kKindNoSensor},    {0, 0, 0, kLayoutPh, kKindNoSensor},
    };
    for (const Case& c : cases) {
        Decoded d = Decode(c.family, c.variant, c.subType);
        EXPECT_EQ(d.layout, c.layout) << c.family << "/" << c.variant;
        EXPECT_EQ(d.kind, c.kind) << c.family << "/" << c.variant;
    }
}

TEST(VdxIdent, CommandProtocolSensorAnswersFromItsIdentification) {
    SensorIdentRecord& ident = g_SensorIdent[1];
    std::memcpy(ident.typeText, "4210 OptoQ11 ", 14);
    ident.serialNumber = 98765;
    g_SensorProtocol[1].partNumber = 52109876;
    std::memcpy(g_SensorProtocol[1].firmwareVersion, "2.15", 4);
    std::memcpy(g_SensorProtocol[1].hardwareVersion, "1.03", 4);
    g_SensorProtoFlag[1] = 1;
    EXPECT_EQ(Vdx_GetModelNumber(1), 4210u);
    EXPECT_EQ(Vdx_GetSerialNumber(1), 98765u);
    EXPECT_EQ(Vdx_GetPartNumber(1), 52109876u);
    EXPECT_EQ(TypeText(1), "4210 OptoQ11");
    char text[kVdxVersionTextSize];
    Vdx_GetFirmwareVersionText(1, text);
    EXPECT_STREQ(text, "2.15");
    Vdx_GetHardwareVersionText(1, text);
    EXPECT_STREQ(text, "1.03");
}

TEST(VdxIdent, SensorOptionOfNewerPhSensors) {
    Rig_Reset(Rig_MakeTempFolder());
    RigSensorIdentity identity;
    identity.option = 0xC;  // option 2
    identity.firmware = 6;
    Stage(identity);
    Vdx_DecodeSensorFamily(1);
    EXPECT_EQ(Vdx_CheckSensorOption(1), 0u);  // firmware before 7
    EXPECT_EQ(Vdx_GetSensorOption(1), 1u);
    identity.firmware = 7;
    Stage(identity);
    g_SensorMemImage[kSensorStagingImage][523] |= 0x50;  // high bits belong to something else
    EXPECT_EQ(Vdx_CheckSensorOption(1), 1u);
    SensMem_AdoptStagingImage(1);
    Vdx_ReadSensorOption(1);
    Chan_ForceKind(1, kKindPh);
    g_PendingRequests = 0;

    // Writing the option it holds changes nothing; another one is written into page 16.
    EXPECT_EQ(Vdx_SetSensorOption(1, 2), 1u);
    EXPECT_EQ(g_DirtyPages[1], 0u);
    EXPECT_EQ(Vdx_SetSensorOption(1, 0), 1u);
    EXPECT_EQ(g_SensorMemImage[1][523], 0x54);
    EXPECT_EQ(g_DirtyPages[1], 1u << 16);
    EXPECT_EQ(g_PendingRequests, 1u << kReqWritePage);
    EXPECT_EQ(SensMem_IsPageValid(&g_SensorMemImage[1][16 * kSensorPageBytes]), 1u);
    EXPECT_EQ(CalPh_GetSensorOption(1), 0);
    EXPECT_EQ(Vdx_GetSensorOption(1), 0u);
    EXPECT_EQ(Vdx_SetSensorOption(1, 1), 1u);
    EXPECT_EQ(g_SensorMemImage[1][523], 0x58);

    // Refused: a value of 3, a sensor of another kind.
    EXPECT_EQ(Vdx_SetSensorOption(1, 3), 0u);
    Chan_ForceKind(1, kKindCo2);
    EXPECT_EQ(Vdx_SetSensorOption(1, 2), 0u);
    EXPECT_EQ(g_SensorMemImage[1][523], 0x58);
}
