// Device identity of the main board and of the sensor board as reported.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/ident.h"

TEST(Identity, MainBoardAndModelName) {
    Ident_InitMainBoard();
    EXPECT_STREQ(g_DeviceIdentity.serialNumber, "12345678");
    EXPECT_STREQ(g_DeviceIdentity.partNumber, "58203146");
    EXPECT_STREQ(g_DeviceIdentity.softwareVersion, "1.2.01");
    EXPECT_EQ(std::string(g_DeviceIdentity.hardwareVersion, 3), "1.0");
    EXPECT_STREQ(g_DeviceIdentity.secondVersion, "0.0.01");
    EXPECT_EQ(g_DeviceIdentity.character, ' ');
    char name[16];
    EXPECT_EQ(Ident_GetModelName(name), 9u);
    EXPECT_STREQ(name, "R718G/2XH");
    std::memcpy(g_DeviceIdentity.orderNumber, "71460383", 8);
    EXPECT_EQ(Ident_GetModelName(name), 8u);
    EXPECT_STREQ(name, "R718G/2H");
}

TEST(Identity, BoardIdentityFromItsReply) {
    uint8_t payload[48] = {};
    payload[0] = 1;
    std::memcpy(payload + 1, "1234567890ABCDEF", 16);
    std::memcpy(payload + 17, "58203146XY", 10);
    std::memcpy(payload + 27,
                "1.1.09\0\0"
                "12",
                10);
    std::memcpy(payload + 37, "1.", 2);
    std::memcpy(payload + 39, "0.0.01", 6);
    payload[45] = '0';
    payload[46] = 0x12;
    payload[47] = 0x34;
    Ident_StoreBoardIdentity(payload);
    EXPECT_EQ(g_BoardIdentity.kind, 1);
    // Each text keeps its ending zero even when the reply fills the field.
    EXPECT_STREQ(g_BoardIdentity.serialNumber, "1234567890ABCDEF");
    EXPECT_STREQ(g_BoardIdentity.partNumber, "58203146XY");
    EXPECT_STREQ(g_BoardIdentity.softwareVersion, "1.1.09");
    EXPECT_STREQ(g_BoardIdentity.hardwareVersion, "1.");
    EXPECT_STREQ(g_BoardIdentity.secondVersion, "0.0.01");
    EXPECT_EQ(g_BoardIdentity.character, '0');
    EXPECT_EQ(g_BoardIdentity.number, 0x1234);
}
