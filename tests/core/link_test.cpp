// The sensor-board link against the library's own board in the rig: the start-up exchange, the
// continuous measurement polling, frame bytes both ways, time-outs and retries, and the failure
// paths of a board that never answers, refuses the version check or falls silent.
#include <gtest/gtest.h>

#include <vector>

#include "core/eeprom.h"
#include "core/ident.h"
#include "core/link.h"
#include "core/link_transport.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/messages.h"
#include "rig.h"
#include "sim/sim_inputs.h"

namespace {
constexpr uint8_t kCmdMeasureA = 0x00;
constexpr uint8_t kCmdSensorStatus = 0x05;
constexpr uint8_t kCmdReadBlock = 0x06;
constexpr uint8_t kCmdMeasureB = 0x07;
constexpr uint8_t kCmdMeasureMode = 0x0A;
constexpr uint8_t kCmdCalTable = 0x0C;
constexpr uint8_t kCmdIdentity = 0x11;
constexpr uint8_t kCmdVersionCheck = 0xB1;
constexpr uint16_t kMsgCommunicationError = 100;

std::vector<uint8_t> Commands(const std::vector<RigFrame>& frames, size_t from = 0) {
    std::vector<uint8_t> commands;
    for (size_t i = from; i < frames.size(); ++i)
        commands.push_back(frames[i].bytes.size() > 2 ? frames[i].bytes[2] : 0);
    return commands;
}

std::vector<uint64_t> TimesOf(const std::vector<RigFrame>& frames, uint8_t command) {
    std::vector<uint64_t> times;
    for (const RigFrame& f : frames) {
        if (f.bytes.size() > 2 && f.bytes[2] == command) times.push_back(f.atMs);
    }
    return times;
}

// A frame whose length byte is its size and whose bytes sum to zero.
bool IsWellFormed(const std::vector<uint8_t>& frame, uint8_t start) {
    if (frame.size() < 4 || frame[0] != start || frame[1] != frame.size()) return false;
    uint8_t sum = 0;
    for (uint8_t b : frame) sum = static_cast<uint8_t>(sum + b);
    return sum == 0;
}

bool MessageActive(uint16_t code) {
    for (uint8_t i = 0; i < g_MsgActiveCount; ++i) {
        if (g_MsgActive[i] == code) return true;
    }
    return false;
}
}  // namespace

TEST(Link, StartUpExchangeThenContinuousPollingOfChannelA) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_Boot();
    const std::vector<RigFrame>& sent = Rig_SentFrames();
    // Highest pending kind first: version check, identity, channel selection, calibration table,
    // then the channel's measurement without end.
    ASSERT_GE(sent.size(), 6u);
    std::vector<uint8_t> expected = {kCmdVersionCheck, kCmdIdentity, kCmdMeasureMode,
                                     kCmdCalTable,     kCmdMeasureA, kCmdMeasureA};
    std::vector<uint8_t> commands = Commands(sent);
    commands.resize(6);
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(sent[0].bytes, (std::vector<uint8_t>{0x77, 0x05, 0xB1, 0x01, 0xD2}));
    EXPECT_EQ(sent[1].bytes, (std::vector<uint8_t>{0x77, 0x04, 0x11, 0x74}));
    EXPECT_EQ(sent[2].bytes, (std::vector<uint8_t>{0x77, 0x06, 0x0A, 0x00, g_ChannelKind[0],
                                                   static_cast<uint8_t>(0x79 - g_ChannelKind[0])}));
    EXPECT_EQ(sent[4].bytes, (std::vector<uint8_t>{0x77, 0x04, 0x00, 0x85}));

    Rig_AdvanceMs(60000);
    // A measurement about every 1.1 s: 20 ticks of turnaround, 30 of reply wait, the pump's period.
    std::vector<uint64_t> polls = TimesOf(Rig_SentFrames(), kCmdMeasureA);
    ASSERT_GT(polls.size(), 60u);
    for (size_t i = 1; i < polls.size(); ++i) EXPECT_EQ(polls[i] - polls[i - 1], 1100u) << "poll " << i;
    EXPECT_EQ(Commands(Rig_SentFrames(), 4), std::vector<uint8_t>(Rig_SentFrames().size() - 4, kCmdMeasureA));

    // Every frame is well formed both ways, and every reply answers its request with status 0.
    const std::vector<RigFrame>& received = Rig_ReceivedFrames();
    // Each request has its reply, but perhaps the last one still on its way.
    ASSERT_LE(received.size(), Rig_SentFrames().size());
    ASSERT_GE(received.size() + 1, Rig_SentFrames().size());
    for (size_t i = 0; i < received.size(); ++i) {
        EXPECT_TRUE(IsWellFormed(Rig_SentFrames()[i].bytes, 0x77)) << "request " << i;
        ASSERT_TRUE(IsWellFormed(received[i].bytes, 0x33)) << "reply " << i;
        EXPECT_EQ(received[i].bytes[2], Rig_SentFrames()[i].bytes[2]);
        EXPECT_EQ(received[i].bytes[3], 0);
    }
    // The measurement reply carries the 21-byte record.
    EXPECT_EQ(received.back().bytes.size(), 26u);
    EXPECT_FALSE(MessageActive(kMsgCommunicationError));
    EXPECT_EQ(g_FwHalted, 0u);
    EXPECT_EQ(g_LinkActiveChannel, 0);
    // The board's identity arrived with the start-up exchange.
    EXPECT_STREQ(g_BoardIdentity.serialNumber, "12345678");
    EXPECT_STREQ(g_BoardIdentity.partNumber, "58203146");
    EXPECT_STREQ(g_BoardIdentity.softwareVersion, "1.1.09");
}

TEST(Link, ChannelBReadsTheSensorImageThenPollsItsMeasurement) {
    Rig_Reset(Rig_MakeTempFolder());
    // The sensor images come from the program's resources.
    SetSFXFlag(1);
    Rig_Boot();
    // The start-up's first event brings up the measurement screen, which selects channel A.
    Rig_AdvanceMs(100);
    EXPECT_EQ(Link_SelectSensorImage(1, "PH_SelvoP11_0.txt", 0), 1u);
    size_t from = Rig_SentFrames().size();
    Link_SetMeasureMode(1, 1);
    Rig_AdvanceMs(40000);
    std::vector<uint8_t> commands = Commands(Rig_SentFrames(), from);
    // Perhaps one channel-A poll still in flight, then selection, sensor status, 16 pages, the
    // option page (this pH sensor's firmware offers the option), and channel B's measurement
    // without end.
    if (!commands.empty() && commands.front() == kCmdMeasureA) commands.erase(commands.begin());
    ASSERT_GT(commands.size(), 30u);
    EXPECT_EQ(commands[0], kCmdMeasureMode);
    EXPECT_EQ(commands[1], kCmdSensorStatus);
    for (int page = 0; page < 17; ++page) EXPECT_EQ(commands[2 + page], kCmdReadBlock) << page;
    for (size_t i = 19; i < commands.size(); ++i) EXPECT_EQ(commands[i], kCmdMeasureB) << i;
    // The pages asked for are the blocks 0 to 15, in order, then the option page, block 18.
    std::vector<uint8_t> blocks;
    for (const RigFrame& f : Rig_SentFrames()) {
        if (f.bytes[2] == kCmdReadBlock) blocks.push_back(f.bytes[3]);
    }
    ASSERT_EQ(blocks.size(), 17u);
    for (uint8_t i = 0; i < 16; ++i) EXPECT_EQ(blocks[i], i);
    EXPECT_EQ(blocks[16], 18);
    EXPECT_EQ(g_SensorPlugged[1], 1);
    EXPECT_EQ(g_LinkActiveChannel, 1);
    EXPECT_GT(g_MeasReplyCount[1], 3u);
    EXPECT_FALSE(MessageActive(kMsgCommunicationError));
}

TEST(Link, UnansweredRequestIsTriedThreeTimesWithLongerWaitThenCommunicationError) {
    Rig_Reset(Rig_MakeTempFolder());
    // Answers channel A's measurement a dozen times (into the first seconds after start-up),
    // then never again.
    Rig_UseBoardIgnoring(0x00, 12);
    Rig_Boot();
    size_t from = Rig_SentFrames().size();
    bool raised = false;
    uint64_t raisedAt = 0;
    while (Rig_NowMs() < 40000 && !raised) {
        Rig_AdvanceMs(20);
        if (MessageActive(kMsgCommunicationError)) {
            raised = true;
            raisedAt = Rig_NowMs();
        }
    }
    ASSERT_TRUE(raised);
    std::vector<RigFrame> since(Rig_SentFrames().begin() + static_cast<long>(from), Rig_SentFrames().end());
    std::vector<uint64_t> polls = TimesOf(since, kCmdMeasureA);
    ASSERT_GE(polls.size(), 3u);
    // The last three polls are the unanswered tries: the first retry waits 20 ticks longer on
    // both sides (30 + 40 ticks), the second only keeps the longer times (50 + 40 ticks).
    size_t n = polls.size();
    EXPECT_EQ(polls[n - 2] - polls[n - 3], 1500u);
    EXPECT_EQ(polls[n - 1] - polls[n - 2], 1900u);
    // The message comes when the third try's longer reply wait (50 ticks) has passed.
    EXPECT_EQ(raisedAt - polls[n - 1], 1000u);
    EXPECT_EQ(g_LinkActiveChannel, 0);
    // The link starts over: the version check, with its own times again, then the selection.
    size_t before = Rig_SentFrames().size();
    Rig_AdvanceMs(3000);
    std::vector<uint8_t> next = Commands(Rig_SentFrames(), before);
    ASSERT_GE(next.size(), 2u);
    EXPECT_EQ(next[0], kCmdVersionCheck);
    EXPECT_EQ(next[1], kCmdMeasureMode);
    EXPECT_EQ(Rig_SentFrames()[before].atMs - raisedAt, 1500u);
    // A good reply ends the communication error again.
    EXPECT_FALSE(MessageActive(kMsgCommunicationError));
}

TEST(Link, BoardRefusingTheVersionCheckHaltsTheFirmware) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseBoardRejecting(0xB1);
    Rig_Boot();
    EXPECT_EQ(g_FwHalted, 1u);
    EXPECT_EQ(Rig_RowText(12), "Need Update Brannic");
    EXPECT_EQ(Commands(Rig_SentFrames()), (std::vector<uint8_t>{kCmdVersionCheck, kCmdVersionCheck, kCmdVersionCheck}));
    for (const RigFrame& reply : Rig_ReceivedFrames()) EXPECT_EQ(reply.bytes[3], 7);
    // A refusal is an answer: no communication error.
    EXPECT_FALSE(MessageActive(kMsgCommunicationError));
    // Halted: the link sends nothing more.
    Rig_AdvanceMs(20000);
    EXPECT_EQ(Rig_SentFrames().size(), 3u);
    EXPECT_EQ(g_FwHalted, 1u);
    EXPECT_EQ(Rig_RowText(12), "Need Update Brannic");
}

TEST(Link, SilentBoardAlsoFailsTheVersionCheck) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseSilentBoard();
    Rig_Boot();
    std::vector<uint64_t> tries = TimesOf(Rig_SentFrames(), kCmdVersionCheck);
    ASSERT_EQ(tries.size(), 3u);
    // 70 ticks of turnaround and 5 of reply wait; 20 more of each from the first retry on.
    EXPECT_EQ(tries[1] - tries[0], 2000u);
    EXPECT_EQ(tries[2] - tries[1], 2400u);
    EXPECT_TRUE(Rig_ReceivedFrames().empty());
    EXPECT_EQ(g_FwHalted, 1u);
}

TEST(Link, MissingLibraryStartsUpAndSendsNothing) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseNoLibrary();
    Rig_Boot();
    EXPECT_GE(Rig_NowMs(), 14000u);
    EXPECT_EQ(g_FwHalted, 0u);
    EXPECT_NE(Rig_RowText(12), "Need Update Brannic");
    EXPECT_EQ(g_LibraryHandle.load(), nullptr);
    Rig_AdvanceMs(120000);
    EXPECT_TRUE(Rig_SentFrames().empty());
    // The first request stays armed for good: no time-out, no retry, no message.
    EXPECT_EQ(g_LinkState.load(), kLinkArmed);
    EXPECT_FALSE(MessageActive(kMsgCommunicationError));
    EXPECT_EQ(Link_SelectSensorImage(1, "PH_SelvoP11_0.txt", 0), 1u);
}

TEST(Link, LibraryIsBoundInOrderAndMissingExportsAreSkipped) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_HideExport("Main_GetSlaveTxFlag");
    Rig_HideExport("Slave_SetTedsFileName");
    Rig_Boot();
    // The worker needs the single-file flag and the folder before it starts.
    EXPECT_EQ(Rig_BindCalls(), (std::vector<std::string>{"SetSFXFlag", "SetEEPROMBinFilePath", "Slave_Start_Handle"}));
    // Without the ready flag no reply is ever collected.
    EXPECT_FALSE(Rig_SentFrames().empty());
    EXPECT_TRUE(Rig_ReceivedFrames().empty());
    EXPECT_EQ(Link_SelectSensorImage(1, "PH_SelvoP11_0.txt", 0), 1u);
}

TEST(Link, BoardRepliesCarryTheMeasurementToTheSlots) {
    Rig_Reset(Rig_MakeTempFolder());
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(37.0f));
    Rig_Boot();
    // Polled since the start-up wait, past the first four replies: the next reply reaches the
    // slots with the first main-loop passes.
    Rig_AdvanceMs(1200);
    uint32_t status = 9;
    EXPECT_NEAR(Meas_GetSlotValue(1, &status), 37.0f, 0.05f);
    EXPECT_EQ(status, 0u);
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(60.0f));
    Rig_AdvanceMs(20000);
    EXPECT_NEAR(Meas_GetSlotValue(1, &status), 60.0f, 0.05f);
}
