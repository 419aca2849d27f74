// The sensor board's mailbox, worker and dispatcher, run in-process one poll at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "board_client.h"
#include "sensor_board/board.h"
#include "sensor_board/brannic.h"
#include "sensor_board/sim_image.h"

using namespace board_client;

TEST(Board, AnswersTheIdentityRequest) {
    StartBoard();
    Send({0x77, 0x04, 0x11, 0x74});
    EXPECT_EQ(Fetch(), std::vector<uint8_t>{});
    Board_Poll();
    std::vector<uint8_t> reply = Fetch();
    ASSERT_EQ(reply.size(), 53u);
    EXPECT_EQ(std::vector<uint8_t>(reply.begin(), reply.begin() + 4), (std::vector<uint8_t>{0x33, 0x35, 0x11, 0x00}));
    EXPECT_TRUE(SumsToZero(reply));
    const uint8_t* p = reply.data() + 4;
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 1), 12), std::string("12345678\0\0\0\0", 12));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 13), 4), std::string("1.0\0", 4));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 17), 10), std::string("58203146\0\0", 10));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 27), 8), std::string("1.1.09\0\0", 8));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 35), 10), "121.0.0.01");
    EXPECT_EQ(p[45], 0x30);
    EXPECT_EQ(p[46], 0);
    EXPECT_EQ(p[47], 0);
}

TEST(Board, MailboxTakesOneFrameAtATime) {
    StartBoard();
    // Length 6: pending at the sixth byte; a seventh sent before the worker ran is dropped.
    std::vector<uint8_t> frame = Request(0x0A, {0, 1});
    ASSERT_EQ(frame.size(), 6u);
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(Brannic_SetSlaveRxData(frame[i]), 1);
    EXPECT_EQ(g_BoardMailbox.flags.load() & kBoardFramePending, 0);
    EXPECT_EQ(Brannic_SetSlaveRxData(frame[5]), 1);
    EXPECT_NE(g_BoardMailbox.flags.load() & kBoardFramePending, 0);
    EXPECT_EQ(Brannic_SetSlaveRxData(0x99), 0);
    Board_Poll();
    std::vector<uint8_t> reply = Fetch();
    ASSERT_EQ(reply.size(), 5u);
    EXPECT_EQ(reply[3], 0);
    // A length byte of 1 closes the buffer at the second byte; the worker drops the frame.
    Send({0x77, 0x01});
    EXPECT_NE(g_BoardMailbox.flags.load() & kBoardFramePending, 0);
    Board_Poll();
    EXPECT_EQ(g_BoardMailbox.flags.load() & kBoardFramePending, 0);
    EXPECT_EQ(g_BoardMailbox.receiveCount.load(), 0);
    EXPECT_TRUE(Fetch().empty());
    // A wrong checksum gets no reply; the next good frame is answered.
    std::vector<uint8_t> bad = Request(0x11, {});
    bad.back() ^= 0x01;
    Send(bad);
    Board_Poll();
    EXPECT_TRUE(Fetch().empty());
    EXPECT_EQ(Exchange(0x11, {}).size(), 53u);
}

TEST(Board, ReplyIsFetchedByteByByte) {
    StartBoard();
    g_SimImageSlots[1].present.store(0);
    Send(Request(0x05, {}));
    Board_Poll();
    ASSERT_EQ(Brannic_GetSlaveTxFlag(), 1);
    // 12 payload bytes and 5 frame bytes; the last fetch ends the reply.
    ASSERT_EQ(Brannic_GetSlaveTxCount(), 17);
    std::vector<uint8_t> reply;
    // The argument is not used.
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(Brannic_GetSlaveTxFlag(), 1);
        reply.push_back(static_cast<uint8_t>(Brannic_GetSlaveTxData(i * 7)));
    }
    EXPECT_EQ(Brannic_GetSlaveTxFlag(), 0);
    EXPECT_EQ(reply[0], 0x33);
    EXPECT_EQ(reply[4], 0);
    EXPECT_TRUE(SumsToZero(reply));
    // Reading on starts again at byte 0 of the same reply.
    EXPECT_EQ(Brannic_GetSlaveTxData(0), 0x33);
}

TEST(Board, AReplyIsReadWholeEvenWhenTheNextRequestOvertakesIt) {
    StartBoard();
    std::vector<uint8_t> identity = Exchange(0x11, {});
    ASSERT_EQ(identity.size(), 53u);
    // The host starts reading the identity again, then sends the next request before it has
    // read the rest; the worker answers that request meanwhile.
    Send(Request(0x11, {}));
    Board_Poll();
    ASSERT_EQ(Brannic_GetSlaveTxFlag(), 1);
    ASSERT_EQ(Brannic_GetSlaveTxCount(), 53);
    std::vector<uint8_t> reply;
    for (int i = 0; i < 10; ++i) reply.push_back(static_cast<uint8_t>(Brannic_GetSlaveTxData(0)));
    Send(Request(0x15, {}));
    Board_Poll();
    Send(Request(0x0A, {0, 1}));
    Board_Poll();
    while (reply.size() < 53) reply.push_back(static_cast<uint8_t>(Brannic_GetSlaveTxData(0)));
    // The reply that was begun is read to its end unchanged.
    EXPECT_EQ(reply, identity);
    EXPECT_EQ(Brannic_GetSlaveTxFlag(), 1);
    // Then the newest reply, whole; the one it replaced was never begun.
    reply = Fetch();
    ASSERT_EQ(reply.size(), 5u);
    EXPECT_EQ(reply[2], 0x0A);
    EXPECT_TRUE(SumsToZero(reply));
    EXPECT_EQ(Brannic_GetSlaveTxFlag(), 0);
}

TEST(Board, DispatchByType) {
    StartBoard();
    // An unknown type: status 3, nothing else.
    std::vector<uint8_t> reply = Exchange(0x15, {});
    EXPECT_EQ(reply, (std::vector<uint8_t>{0x33, 0x05, 0x15, 0x03, static_cast<uint8_t>(0u - (0x33 + 5 + 0x15 + 3))}));
    // The version check with flag 1 is simply acknowledged.
    EXPECT_EQ(StatusOf(0xB1, {1}), 0);
    // Sensor status with an image in slot 1: 126, and the next block read succeeds at once.
    ASSERT_EQ(LoadSensorFromResources("PH_SelvoP11_0.txt", 1), 1);
    g_SimImageSlots[1].busyCount.store(3);
    reply = Exchange(0x05, {});
    ASSERT_EQ(reply.size(), 17u);
    EXPECT_EQ(reply[4], 126);
    EXPECT_EQ(g_SimImageSlots[1].busyCount.load(), 0);
    reply = Exchange(0x06, {3});
    ASSERT_EQ(reply.size(), 37u);
    EXPECT_EQ(reply[3], 0);
    // Channel B's measurement: 36 bytes, the block at offset 512 behind four bytes.
    reply = Exchange(0x07, {0});
    EXPECT_EQ(reply.size(), 41u);
    // A sensor command to a memory-image sensor: only the input current.
    reply = Exchange(0x09, std::vector<uint8_t>(12, 0x30));
    EXPECT_EQ(reply.size(), 9u);
    // Channel A's measurement record and the calibration table.
    EXPECT_EQ(Exchange(0x00, {}).size(), 26u);
    EXPECT_EQ(Exchange(0x0C, {}).size(), 113u);
    // No name, or a slot that does not exist, is refused rather than loaded.
    EXPECT_EQ(Brannic_SetTedsFileName(1, nullptr, 0), 0);
    EXPECT_EQ(Brannic_SetTedsFileName(2, "PH_SelvoP11_0.txt", 0), 0);
}

TEST(Board, PayloadBytesAReplyDoesNotFillAreZero) {
    StartBoard();
    ASSERT_EQ(LoadSensorFromResources("PH_SelvoP11_0.txt", 1), 1);
    // Channel A measures oxygen at -674 mV; the identity then fills the reply buffer with text.
    EXPECT_EQ(StatusOf(0x0A, {0, 5}), 0);
    std::vector<uint8_t> polarization = FloatBE(-674.0f);
    polarization.push_back(0);
    polarization.push_back(1);
    EXPECT_EQ(StatusOf(0x04, polarization), 0);
    ASSERT_EQ(Exchange(0x11, {}).size(), 53u);
    std::vector<uint8_t> reply = Exchange(0x00, {});
    ASSERT_EQ(reply.size(), 26u);
    // Kind 5, raw words and value 0, gain mode 2, the polarization voltage, then zeros.
    std::vector<uint8_t> record = {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    for (uint8_t b : FloatBE(-674.0f)) record.push_back(b);
    record.resize(21, 0);
    EXPECT_EQ(PayloadOf(reply), record);
    EXPECT_TRUE(SumsToZero(reply));
    ASSERT_EQ(Exchange(0x11, {}).size(), 53u);
    Send(Request(0x05, {}));
    Board_Poll();
    Fetch();
    reply = Exchange(0x07, {});
    ASSERT_EQ(reply.size(), 41u);
    EXPECT_EQ(reply[3], 0);
    // Bytes 0 to 3 of channel B's measurement carry nothing: zeros, not identity text.
    EXPECT_EQ(std::vector<uint8_t>(reply.begin() + 4, reply.begin() + 8), std::vector<uint8_t>(4, 0));
    EXPECT_TRUE(SumsToZero(reply));
    // A refused request's empty payload leaves nothing behind either: the next short reply
    // still sums to zero over exactly its own bytes.
    EXPECT_EQ(StatusOf(0x06, {}), 7);
}

TEST(Board, ArgumentsOutOfRangeAreRefusedNotFatal) {
    StartBoard();
    ASSERT_EQ(LoadSensorFromResources("PH_SelvoP11_0.txt", 1), 1);
    // The status request ends the refusals that follow a load.
    Exchange(0x05, {});
    std::vector<uint8_t> block(33, 0);
    block[0] = 19;
    EXPECT_EQ(StatusOf(0x06, {19}), 7);
    EXPECT_EQ(StatusOf(0x06, {18}), 0);
    EXPECT_EQ(StatusOf(0x08, block), 7);
    EXPECT_EQ(StatusOf(0x0A, {2, 1}), 7);
    EXPECT_EQ(StatusOf(0x0A, {1, 1}), 0);
    EXPECT_EQ(StatusOf(0x03, {6}), 7);
    EXPECT_EQ(StatusOf(0x03, {5}), 0);
    EXPECT_EQ(StatusOf(0x10, {3}), 7);
    EXPECT_EQ(StatusOf(0x10, {2}), 0);
    std::vector<uint8_t> point = {3, 6, 0x3F, 0x80, 0, 0};
    EXPECT_EQ(StatusOf(0x01, point), 7);
    point[0] = 2;
    EXPECT_EQ(StatusOf(0x01, point), 0);
    // A raw read of no bytes, or of more than a reply can carry.
    std::vector<uint8_t> raw = {'0', '0', '0', '0', '0', '0', '0', '2', 0};
    EXPECT_EQ(StatusOf(0x13, raw), 7);
    raw[8] = 251;
    EXPECT_EQ(StatusOf(0x13, raw), 7);
    // Frames too short for their arguments are refused instead of read past their end.
    EXPECT_EQ(StatusOf(0x08, {3, 1, 2}), 7);
    EXPECT_EQ(StatusOf(0x01, {0}), 7);
    EXPECT_EQ(StatusOf(0x06, {}), 7);
    // The worker is still answering.
    EXPECT_EQ(Exchange(0x11, {}).size(), 53u);
}

TEST(Board, FolderTextsAndFlag) {
    std::string fits(259, 'a');
    std::string tooLong(260, 'b');
    EXPECT_EQ(Brannic_SetEEPROMBinFilePath(fits.c_str()), 1);
    EXPECT_EQ(Brannic_SetEEPROMBinFilePath(tooLong.c_str()), 0);
    EXPECT_EQ(std::string(g_BoardConfig.eepromFolder), fits);
    EXPECT_EQ(Brannic_SetEEPROMBinFilePath(nullptr), 0);
    EXPECT_EQ(Brannic_SetDLLFilePath(tooLong.c_str()), 0);
    EXPECT_EQ(Brannic_SetDLLFilePath("/opt/korvi/"), 1);
    EXPECT_STREQ(g_BoardConfig.libraryFolder, "/opt/korvi/");
    EXPECT_EQ(Brannic_SetSFXFlag(1), 1u);
    EXPECT_EQ(g_BoardConfig.singleFileFlag.load(), 1u);
}

TEST(Board, NumbersOnTheWire) {
    uint8_t bytes[4];
    Board_PutFloatBE(bytes, 1.0f);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>{0x3F, 0x80, 0x00, 0x00}));
    EXPECT_EQ(Board_GetFloatBE(bytes), 1.0f);
    float limited = 0.0f;
    EXPECT_EQ(Board_LimitSetValue(5000.0f, &limited), 1u);
    EXPECT_EQ(limited, 1000.0f);
    EXPECT_EQ(Board_LimitSetValue(-2500.0f, &limited), 1u);
    EXPECT_EQ(limited, -1000.0f);
    EXPECT_EQ(Board_LimitSetValue(12.5f, &limited), 1u);
    EXPECT_EQ(limited, 12.5f);
    // Infinities are limited like any number; a value that is not a number is refused.
    EXPECT_EQ(Board_LimitSetValue(-std::numeric_limits<float>::infinity(), &limited), 1u);
    EXPECT_EQ(limited, -1000.0f);
    EXPECT_EQ(Board_LimitSetValue(std::nanf(""), &limited), 0u);
    EXPECT_EQ(limited, -1000.0f);
    EXPECT_EQ(Board_ClassifyFloat(1.5f), 0u);
    EXPECT_EQ(Board_ClassifyFloat(std::numeric_limits<float>::denorm_min()), 0u);
    EXPECT_EQ(Board_ClassifyFloat(-0.0f), 1u);
    EXPECT_EQ(Board_ClassifyFloat(std::numeric_limits<float>::infinity()), 2u);
    EXPECT_EQ(Board_ClassifyFloat(-std::numeric_limits<float>::infinity()), 3u);
    EXPECT_EQ(Board_ClassifyFloat(std::nanf("")), 4u);
    const uint8_t request[] = {0x77, 0x04, 0x11};
    EXPECT_EQ(Board_Checksum(request, 3), 0x74);
}
