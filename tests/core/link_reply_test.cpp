// Reply checks of the sensor-board link, driven directly: a request is armed, bytes are put into
// the receive ring as the pump would, and the reply is examined.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/ident.h"
#include "core/link.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/decoders.h"

namespace {
std::vector<uint8_t> Reply(uint8_t command, uint8_t status, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> frame = {0x33, static_cast<uint8_t>(payload.size() + 5), command, status};
    for (uint8_t b : payload) frame.push_back(b);
    uint8_t sum = 0;
    for (uint8_t b : frame) sum = static_cast<uint8_t>(sum + b);
    frame.push_back(static_cast<uint8_t>(0u - sum));
    return frame;
}

// Builds the request of that kind and arms it, as the state machine does before the pump sends.
void Arm(uint8_t kind, uint8_t channel) {
    g_PendingRequests = 0;
    ASSERT_EQ(Link_BuildRequest(channel, kind, 2), 1u);
    Link_ArmSend();
}

// Appends bytes to the ring at its write index, as the pump does.
void Receive(const std::vector<uint8_t>& bytes) {
    uint8_t w = g_LinkBuffer.writeIndex.load();
    for (uint8_t b : bytes) g_LinkBuffer.ring[w++] = b;
    g_LinkBuffer.writeIndex.store(w);
}

uint32_t Examine(uint8_t channel) { return Link_CheckReceived(&g_LinkBuffer, 0) && Link_ParseReply(channel) ? 1 : 0; }

std::vector<uint8_t> IdentityPayload() {
    std::vector<uint8_t> p(48, 0);
    p[0] = 1;
    std::memcpy(&p[1], "12345678", 8);
    std::memcpy(&p[17], "58203146", 8);
    std::memcpy(&p[27], "1.1.09", 6);
    p[45] = '0';
    p[47] = 7;
    return p;
}
}  // namespace

TEST(LinkReply, ExaminedOnlyOnceEveryAnnouncedByteHasArrived) {
    std::memset(&g_BoardIdentity, 0, sizeof g_BoardIdentity);
    std::vector<uint8_t> reply = Reply(0x11, 0, IdentityPayload());
    Arm(kReqIdentity, 0);
    Receive(std::vector<uint8_t>(reply.begin(), reply.begin() + 20));
    EXPECT_EQ(Examine(0), 0u);
    EXPECT_EQ(g_BoardIdentity.serialNumber[0], 0);

    Arm(kReqIdentity, 0);
    Receive(reply);
    EXPECT_EQ(Examine(0), 1u);
    EXPECT_STREQ(g_BoardIdentity.serialNumber, "12345678");
    EXPECT_EQ(g_BoardIdentity.number, 7);
}

TEST(LinkReply, ReplyWrappingOverTheRingEndIsReadWhole) {
    Arm(kReqIdentity, 0);
    g_LinkBuffer.readIndex = 240;
    g_LinkBuffer.writeIndex.store(240);
    Receive(Reply(0x11, 0, IdentityPayload()));
    EXPECT_EQ(g_LinkBuffer.writeIndex.load(), static_cast<uint8_t>(240 + 53));
    EXPECT_EQ(Examine(0), 1u);
    EXPECT_STREQ(g_BoardIdentity.partNumber, "58203146");
    EXPECT_STREQ(g_BoardIdentity.softwareVersion, "1.1.09");
    EXPECT_EQ(g_BoardIdentity.character, '0');
}

TEST(LinkReply, FrameChecks) {
    std::vector<uint8_t> good = Reply(0x0A, 0, {});
    // Stray bytes before the start byte are skipped.
    Arm(kReqMeasureMode, 0);
    Receive({0x00, 0x12});
    Receive(good);
    EXPECT_EQ(Examine(0), 1u);
    // Only the first start byte is tried: a bad frame there hides a good one behind it.
    Arm(kReqMeasureMode, 0);
    Receive(Reply(0x0A, 7, {}));
    Receive(good);
    EXPECT_EQ(Examine(0), 0u);
    EXPECT_EQ(g_LinkBuffer.status, 7);
    // Wrong echo, bad checksum, a length below 5.
    Arm(kReqMeasureMode, 0);
    Receive(Reply(0x0B, 0, {}));
    EXPECT_EQ(Examine(0), 0u);
    std::vector<uint8_t> bad = good;
    bad.back() ^= 1;
    Arm(kReqMeasureMode, 0);
    Receive(bad);
    EXPECT_EQ(Examine(0), 0u);
    Arm(kReqMeasureMode, 0);
    Receive({0x33, 0x04, 0x0A, 0x00, 0xBF});
    EXPECT_EQ(Examine(0), 0u);
    // Nothing received since the last look.
    Arm(kReqMeasureMode, 0);
    EXPECT_EQ(Link_CheckReceived(&g_LinkBuffer, 0), 0u);
}

TEST(LinkReply, PayloadsAreLengthCheckedBeforeUse) {
    // Identity: stored only when all 48 bytes are there; the reply itself is still taken.
    std::memset(&g_BoardIdentity, 0, sizeof g_BoardIdentity);
    Arm(kReqIdentity, 0);
    std::vector<uint8_t> identity = IdentityPayload();
    identity.resize(40);
    Receive(Reply(0x11, 0, identity));
    EXPECT_EQ(Examine(0), 1u);
    EXPECT_EQ(g_BoardIdentity.serialNumber[0], 0);
    // A sensor command's answer stands behind 4 bytes of input current.
    Arm(kReqSensorCommand, 1);
    Receive(Reply(0x09, 0, {1, 2, 3}));
    EXPECT_EQ(Examine(1), 0u);
    // Sensor status: 12 bytes, the first 126 when the board holds an image.
    std::vector<uint8_t> status(12, 0);
    status[0] = 0x7E;
    Arm(kReqSensorStatus, 1);
    Receive(Reply(0x05, 0, status));
    EXPECT_EQ(Examine(1), 1u);
    Arm(kReqSensorStatus, 1);
    Receive(Reply(0x05, 0, {0x7E, 0, 0, 0, 0}));
    EXPECT_EQ(Examine(1), 0u);
    // Measurements: 21 bytes for channel A, 36 for channel B.
    Arm(kReqMeasureA, 0);
    Receive(Reply(0x00, 0, std::vector<uint8_t>(20, 0)));
    EXPECT_EQ(Examine(0), 0u);
    Arm(kReqMeasureA, 0);
    Receive(Reply(0x00, 0, std::vector<uint8_t>(21, 0)));
    EXPECT_EQ(Examine(0), 1u);
    g_MeasReplyCount[1] = 0;
    Arm(kReqMeasureB, 1);
    Receive(Reply(0x07, 0, std::vector<uint8_t>(35, 0)));
    EXPECT_EQ(Examine(1), 0u);
    Arm(kReqMeasureB, 1);
    Receive(Reply(0x07, 0, std::vector<uint8_t>(36, 0)));
    EXPECT_EQ(Examine(1), 1u);
    EXPECT_EQ(g_MeasReplyCount[1], 1u);
    // A page: exactly 32 bytes summing to zero, into the staging image at the page counter.
    std::vector<uint8_t> page(32, 0);
    page[0] = 0xC9;
    page[5] = 0x37;
    g_LinkPageIndex[1] = 3;
    Arm(kReqReadPage, 1);
    EXPECT_EQ(g_LinkBuffer.frame[3], 3);
    Receive(Reply(0x06, 0, page));
    EXPECT_EQ(Examine(1), 1u);
    EXPECT_EQ(g_SensorMemImage[0][3 * 32 + 5], 0x37);
    page[6] = 1;
    Arm(kReqReadPage, 1);
    Receive(Reply(0x06, 0, page));
    EXPECT_EQ(Examine(1), 0u);
    // Page 16 is the board's block 18.
    g_LinkPageIndex[1] = 16;
    Arm(kReqReadPage, 1);
    EXPECT_EQ(g_LinkBuffer.frame[3], 18);
}

TEST(LinkReply, NoActiveChannelIndexesNothing) {
    // With no channel, "nothing pending" does not select one.
    g_LinkActiveChannel = kLinkNoChannel;
    g_PendingRequests = 0;
    g_LinkState.store(kLinkIdle);
    Link_StartNextRequest();
    EXPECT_EQ(g_LinkState.load(), kLinkIdle);
    // Replies that belong to a channel are refused for none.
    const uint8_t kinds[] = {kReqMeasureA, kReqMeasureB, kReqReadPage13, kReqReadPage, kReqSensorCommand};
    for (uint8_t kind : kinds) {
        Arm(kind, kLinkNoChannel);
        Receive(Reply(g_LinkBuffer.command, 0, std::vector<uint8_t>(kind == kReqMeasureB ? 36 : 32, 0)));
        EXPECT_EQ(Examine(kLinkNoChannel), 0u) << int(kind);
    }
    // A selection for no channel queues no channel's requests; after-reply steps touch nothing.
    Arm(kReqMeasureMode, kLinkNoChannel);
    EXPECT_EQ(g_PendingRequests, 0u);
    for (uint8_t kind : {kReqReadPage, kReqSensorStatus, kReqSensorCommand}) {
        g_LinkBuffer.kind = kind;
        Link_AfterReply(kLinkNoChannel);
    }
    EXPECT_EQ(g_PendingRequests, 0u);
    // A board-wide request still has its effect.
    g_LinkBuffer.kind = kReqRestoreFactory;
    Link_AfterReply(kLinkNoChannel);
    EXPECT_EQ(g_LinkSaveResult, 1);
    EXPECT_EQ(g_PendingRequests, 1u << kReqCalTable);
    // Selecting a channel that does not exist changes nothing.
    Link_SetMeasureMode(2, 1);
    EXPECT_EQ(g_LinkActiveChannel, kLinkNoChannel);
    // Three unanswered tries for no channel: the current channel is selected again.
    g_LinkBuffer.kind = kReqMeasureB;
    g_LinkBuffer.writeIndex.store(0);
    for (int i = 0; i < 3; ++i) Link_HandleFailure(kLinkNoChannel);
    EXPECT_EQ(g_LinkActiveChannel, 0);
    EXPECT_TRUE(Link_IsRequestPending(kReqMeasureMode));
    EXPECT_TRUE(Link_IsRequestPending(kReqVersionCheck));
}

TEST(LinkReply, WaitsSaturateInsteadOfWrapping) {
    Arm(kReqVersionCheck, 0);
    EXPECT_EQ(g_LinkBuffer.turnaround, 70);
    g_LinkBuffer.replyWait = 250;
    g_LinkRetryCount = 0;
    Link_HandleFailure(0);
    EXPECT_EQ(g_LinkBuffer.replyWait, 255);
    EXPECT_EQ(g_LinkBuffer.turnaround, 90);
    EXPECT_EQ(g_LinkState.load(), kLinkBuilt);
    // A refused request: the turnaround grows only when it is short.
    Arm(kReqRange, 0);
    Receive(Reply(0x03, 7, {}));
    g_LinkRetryCount = 0;
    Link_HandleFailure(0);
    EXPECT_EQ(g_LinkBuffer.turnaround, 22);
    EXPECT_EQ(g_LinkBuffer.replyWait, 50);
    g_LinkRetryCount = 0;
}

TEST(LinkReply, RequestsAndTheirFollowUps) {
    // Highest pending kind first; 32 for an empty mask.
    EXPECT_EQ(Link_FindFirstSetBit(0), 32u);
    EXPECT_EQ(Link_FindFirstSetBit(0x00400000), 9u);
    // Items come out lowest first, 255 when none is left.
    Link_ClearItems();
    Link_QueueItem(16);
    Link_QueueItem(5);
    EXPECT_EQ(Link_TakeNextItem(0), 5);
    EXPECT_EQ(Link_TakeNextItem(1), 5);
    EXPECT_EQ(Link_TakeNextItem(1), 16);
    EXPECT_EQ(Link_TakeNextItem(1), 255);
    // A calibration point while one is pending is refused.
    g_PendingRequests = 0;
    uint32_t status = 9;
    Link_RequestCalPoint(1, 6, 1.5f, &status);
    EXPECT_EQ(status, 0u);
    Link_RequestCalPoint(0, 6, 0.5f, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(g_PendingRequests, 1u << kReqCalPoint);
    Arm(kReqCalPoint, 0);
    EXPECT_EQ(g_LinkBuffer.frame[1], 10);
    EXPECT_EQ(g_LinkBuffer.frame[3], 1);
    EXPECT_EQ(g_LinkBuffer.frame[5], 0x3F);
    EXPECT_EQ(g_LinkBuffer.frame[6], 0xC0);
    // Selecting channel B drops the channel requests and asks for the sensor status.
    g_PendingRequests = 0x7F;
    ASSERT_EQ(Link_BuildRequest(1, kReqMeasureMode, 2), 1u);
    EXPECT_EQ(g_PendingRequests, 1u << kReqSensorStatus);
    // A sensor-status reply that is refused starts the command protocol with "G124".
    Link_ClearItems();
    Arm(kReqSensorStatus, 1);
    Receive(Reply(0x05, 0, std::vector<uint8_t>(12, 0)));
    ASSERT_EQ(Examine(1), 0u);
    Link_HandleFailure(1);
    EXPECT_EQ(g_PendingRequests, 1u << kReqSensorCommand);
    EXPECT_EQ(Link_TakeNextItem(0), 0);
    // A refused answer to "G124" goes back to the sensor status, without a retry.
    Arm(kReqSensorCommand, 1);
    EXPECT_EQ(g_LinkBuffer.item, 0);
    Receive(Reply(0x09, 0, {0, 0, 0, 0}));
    ASSERT_EQ(Examine(1), 0u);
    Link_HandleFailure(1);
    EXPECT_EQ(g_PendingRequests, 1u << kReqSensorStatus);
    // A calibration save: the table is read again whatever the outcome.
    Link_RequestCalSave(0, 4);
    Arm(kReqCalSave, 0);
    Receive(Reply(0x02, 0, {0}));
    EXPECT_EQ(Examine(0), 0u);
    EXPECT_EQ(g_LinkSaveResult, 0);
    EXPECT_EQ(g_PendingRequests, 1u << kReqCalTable);
    // A page refused three times: the sensor is read again from its status.
    g_LinkPageIndex[1] = 0;
    g_LinkRetryCount = 0;
    for (int i = 0; i < 3; ++i) {
        Arm(kReqReadPage, 1);
        Receive(Reply(0x06, 7, {}));
        ASSERT_EQ(Examine(1), 0u);
        Link_HandleFailure(1);
    }
    EXPECT_EQ(g_LinkRetryCount, 0);
    EXPECT_TRUE(Link_IsRequestPending(kReqSensorStatus));
    EXPECT_EQ(g_LinkRequestResult, 0);
}

namespace {
// The request the state machine picks when only that kind is pending, as the bytes it sends.
std::vector<uint8_t> Pick(uint8_t kind, uint8_t channel) {
    g_PendingRequests = 1u << kind;
    g_LinkActiveChannel = channel;
    g_LinkState.store(kLinkIdle);
    Link_StartNextRequest();
    EXPECT_EQ(g_LinkBuffer.kind, kind);
    return std::vector<uint8_t>(g_LinkBuffer.frame, g_LinkBuffer.frame + g_LinkBuffer.frame[1]);
}

// A request frame of that command and payload, with its checksum.
std::vector<uint8_t> Request(uint8_t command, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> frame = {0x77, static_cast<uint8_t>(payload.size() + 4), command};
    for (uint8_t b : payload) frame.push_back(b);
    uint8_t sum = 0;
    for (uint8_t b : frame) sum = static_cast<uint8_t>(sum + b);
    frame.push_back(static_cast<uint8_t>(0u - sum));
    return frame;
}
}  // namespace

TEST(LinkReply, FramesOfThePageRequestsAndTheBoardSettings) {
    // Kind 2: page 13 of channel B's sensor; the longer turnaround of kinds 0 to 3.
    EXPECT_EQ(Pick(kReqReadPage13, 1), Request(0x06, {13}));
    EXPECT_EQ(g_LinkBuffer.turnaround, 25);
    EXPECT_EQ(g_LinkBuffer.replyWait, 30);

    // Kind 3: the lowest dirty page with its 32 bytes; page 16 travels as block 18. The wait
    // allows the sensor's write time (none here) plus 10 ticks.
    std::vector<uint8_t> page2(32), page16(32);
    for (uint8_t i = 0; i < 32; ++i) {
        page2[i] = static_cast<uint8_t>(0x40 + i);
        page16[i] = static_cast<uint8_t>(0xC0 + i);
    }
    std::memcpy(&g_SensorMemImage[1][2 * 32], page2.data(), 32);
    std::memcpy(&g_SensorMemImage[1][16 * 32], page16.data(), 32);
    g_DirtyPages[1] = (1u << 16) | (1u << 2);
    std::vector<uint8_t> payload = {2};
    payload.insert(payload.end(), page2.begin(), page2.end());
    EXPECT_EQ(Pick(kReqWritePage, 1), Request(0x08, payload));
    EXPECT_EQ(g_LinkBuffer.turnaround, 25);
    EXPECT_EQ(g_LinkBuffer.replyWait, 10);
    EXPECT_EQ(g_DirtyPages[1], 1u << 16);
    // The page still dirty queued the request again.
    EXPECT_EQ(g_PendingRequests, 1u << kReqWritePage);
    payload = {18};
    payload.insert(payload.end(), page16.begin(), page16.end());
    EXPECT_EQ(Pick(kReqWritePage, 1), Request(0x08, payload));
    EXPECT_EQ(g_PendingRequests, 0u);

    // Range, gain and polarization voltage go to the board only when they change.
    Link_Reset();
    g_PendingRequests = 0;
    Link_SetRange(5);
    Link_SetGain(2);
    EXPECT_EQ(g_PendingRequests, 0u);
    Link_SetRange(3);
    EXPECT_EQ(g_PendingRequests, 1u << kReqRange);
    EXPECT_EQ(Pick(kReqRange, 0), Request(0x03, {3}));
    EXPECT_EQ(g_LinkBuffer.turnaround, 2);
    Link_SetRange(3);
    EXPECT_EQ(g_PendingRequests, 0u);
    Link_SetGain(7);
    EXPECT_EQ(g_PendingRequests, 1u << kReqGain);
    EXPECT_EQ(Pick(kReqGain, 0), Request(0x10, {7}));
    Link_SetGain(7);
    EXPECT_EQ(g_PendingRequests, 0u);

    g_LinkPolVoltage = -674.0f;
    Link_SetPolarizationVoltage(0, -674.005f, 1);
    EXPECT_EQ(g_PendingRequests, 0u);
    Link_SetPolarizationVoltage(0, -500.0f, 1);
    EXPECT_EQ(g_PendingRequests, 1u << kReqPolarization);
    // -500.0 is C3 FA 00 00; a zero byte, then the flag.
    EXPECT_EQ(Pick(kReqPolarization, 0), Request(0x04, {0xC3, 0xFA, 0x00, 0x00, 0, 1}));
    EXPECT_EQ(g_LinkBuffer.replyWait, 30);
    Link_SetPolarizationVoltage(0, -500.02f, 0);
    EXPECT_EQ(g_PendingRequests, 1u << kReqPolarization);
}
