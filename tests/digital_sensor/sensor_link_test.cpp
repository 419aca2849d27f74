// The digital sensor on channel B through the rig, against the library's board: a memory image
// read page by page, identified and written back; a sensor that answers commands, identified
// and polled; answers and pages that are refused, with the retries that follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/link.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "plug_support.h"
#include "rig.h"
#include "rig_sensor.h"
#include "sensor_board/sim_image.h"

namespace {
using Bytes = std::vector<uint8_t>;
using Records = std::vector<std::pair<std::string, Bytes>>;

constexpr uint8_t kCmdWriteBlock = 0x08;
constexpr uint8_t kCmdReadBlock = 0x06;
constexpr uint8_t kCmdSensorStatus = 0x05;
constexpr uint8_t kCmdSensorCommand = 0x09;

// Link frames of that command sent from index from on.
std::vector<Bytes> SentWith(uint8_t command, size_t from = 0) {
    std::vector<Bytes> frames;
    const std::vector<RigFrame>& sent = Rig_SentFrames();
    for (size_t i = from; i < sent.size(); ++i) {
        if (sent[i].bytes.size() > 2 && sent[i].bytes[2] == command) frames.push_back(sent[i].bytes);
    }
    return frames;
}

// What went to the sensor: the command names of the sensor commands, "status" for a sensor
// status request, "page n" for a page read.
std::vector<std::string> SensorTraffic(size_t from) {
    std::vector<std::string> traffic;
    const std::vector<RigFrame>& sent = Rig_SentFrames();
    for (size_t i = from; i < sent.size(); ++i) {
        const Bytes& f = sent[i].bytes;
        if (f[2] == kCmdSensorCommand && f.size() >= 13) traffic.emplace_back(f.begin() + 9, f.begin() + 13);
        if (f[2] == kCmdSensorStatus) traffic.push_back("status");
        if (f[2] == kCmdReadBlock) traffic.push_back("page " + std::to_string(f[3]));
    }
    return traffic;
}

Bytes FloatBE(float value) {
    Bytes bytes(4);
    Util_PutFloatBE(value, bytes.data());
    return bytes;
}

Bytes Identification() {
    Bytes payload(80, ' ');
    std::memcpy(&payload[0], "4210 OptoQ11 ", 13);
    std::memcpy(&payload[13], "0098765", 7);
    std::memcpy(&payload[27], "2.15", 4);
    std::memcpy(&payload[31], "1.03", 4);
    std::memcpy(&payload[43], "52109876", 8);
    payload[51] = 19;
    return payload;
}

// The answers of an optical oxygen sensor; G133 answers with that status.
Records OpticalSensor(uint8_t g133Status = 0) {
    Bytes g139 = FloatBE(121.0f);
    Bytes cip = FloatBE(80.0f);
    g139.insert(g139.end(), cip.begin(), cip.end());
    Bytes g134 = {0, 11, 0, 22, 0, 33, 0, 44, 0, 55, 0, 66};
    return {
        {"G124", RigSensor_AnswerFrame("G124", Identification())},
        {"G133", RigSensor_AnswerFrame("G133", FloatBE(3000.0f), g133Status)},
        {"G139", RigSensor_AnswerFrame("G139", g139)},
        {"G134", RigSensor_AnswerFrame("G134", g134)},
        {"G131", RigSensor_AnswerFrame("G131", {0x03, 0xF5, 'd', 0x00, 0x23})},
        {"G113", RigSensor_AnswerFrame("G113", Bytes(55, 0))},
        {"G132", RigSensor_AnswerFrame("G132", Bytes(96, '-'))},
        {"G540", RigSensor_AnswerFrame("G540", FloatBE(0.25f))},
        {"G100", RigSensor_AnswerFrame("G100", Bytes(96, 0))},
    };
}

// The whole text of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BootOnChannelB() {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_Boot();
    // The start-up ends on the measurement screen (the rig's clock is set), which puts channel A
    // on measurement as it is drawn: channel B is asked for after that.
    Rig_AdvanceMs(20);
}
}  // namespace

TEST(SensorLink, MemoryImageIsReadPageByPageIdentifiedAndWrittenBack) {
    BootOnChannelB();
    RigSensorIdentity identity;  // a pH sensor whose firmware offers the option of page 16
    identity.model = 4188;
    identity.serial = 765432;
    std::vector<uint8_t> image = RigSensor_BuildImage(identity);
    Bytes memory = RigSensor_ToSensorMemory(image);
    Rig_PlugSensorImage(memory);
    size_t from = Rig_SentFrames().size();
    Link_SetMeasureMode(1, 1);
    Rig_AdvanceMs(40000);

    // Sensor status, then pages 0 to 15 and the option page (the sensor's block 18), in order.
    std::vector<std::string> traffic = SensorTraffic(from);
    std::vector<std::string> expected = {"status"};
    for (int page = 0; page < 16; ++page) expected.push_back("page " + std::to_string(page));
    expected.push_back("page 18");
    ASSERT_GE(traffic.size(), expected.size());
    traffic.resize(expected.size());
    EXPECT_EQ(traffic, expected);
    EXPECT_EQ(g_SensorPlugged[1], 1);
    // Every page reached the staging image whole; the sensor is identified from it.
    EXPECT_EQ(Bytes(g_SensorMemImage[kSensorStagingImage], g_SensorMemImage[kSensorStagingImage] + kSensorImageBytes),
              image);
    EXPECT_EQ(Vdx_GetModelNumber(1), 4188u);
    EXPECT_EQ(Vdx_GetSerialNumber(1), 765432u);
    EXPECT_EQ(g_SensorKindDetected[1], kKindPh);
    EXPECT_EQ(g_SensorMemLayout[1], kLayoutPh);
    EXPECT_EQ(Vdx_HasSensorOption(1), 1u);
    EXPECT_TRUE(SentWith(kCmdWriteBlock).empty());

    // Adopted and changed: the page goes back to the sensor with its new checksum.
    SensMem_AdoptStagingImage(1);
    g_SensorMemImage[1][12 * kSensorPageBytes + 7] = 0xA5;
    SensMem_CommitPage(1, 12);
    Rig_AdvanceMs(5000);
    std::vector<Bytes> writes = SentWith(kCmdWriteBlock);
    ASSERT_EQ(writes.size(), 1u);
    Bytes page(&g_SensorMemImage[1][12 * kSensorPageBytes], &g_SensorMemImage[1][13 * kSensorPageBytes]);
    EXPECT_EQ(SensMem_IsPageValid(page.data()), 1u);
    EXPECT_EQ(writes[0][1], 4 + 1 + 32);
    EXPECT_EQ(writes[0][3], 12);
    EXPECT_EQ(Bytes(writes[0].begin() + 4, writes[0].end() - 1), page);
    EXPECT_EQ(Bytes(g_SimImageSlots[1].image + 12 * 32, g_SimImageSlots[1].image + 13 * 32), page);
    EXPECT_EQ(g_DirtyPages[1], 0u);
}

TEST(SensorLink, CorruptPageInTheSensorFileIsTriedThreeTimesThenNoSensor) {
    // Channel B is the selected channel, so that plug-and-measure shows what it makes of it.
    plug_test::BootOnChannelB();
    std::vector<uint8_t> image = RigSensor_BuildImage(RigSensorIdentity{});
    Bytes memory = RigSensor_ToSensorMemory(image);
    // One byte of page 5 went bad in the sensor's memory: the page no longer sums to zero.
    memory[5 * 32 + 9] ^= 0x10;
    Rig_PlugSensorImage(memory);
    const std::string file = std::filesystem::path(Rig_StorePath()).parent_path() / "sensor_b.txt";
    const std::string text = ReadFile(file);
    ASSERT_FALSE(text.empty());
    // The library holds the sensor as its file has it; judging the pages is the transmitter's.
    ASSERT_EQ(g_SimImageSlots[1].present.load(), 1);
    std::memset(g_SensorMemImage[kSensorStagingImage], 0, kSensorImageBytes);
    size_t from = Rig_SentFrames().size();
    Link_SetMeasureMode(1, 1);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugNoSensor, 30000));
    EXPECT_EQ(Rig_RowText(11), "No sensor on ChB");
    // The sensor is read up to the bad page, which is asked for three times; then the sensor is
    // asked for its status again and read anew.
    std::vector<std::string> traffic = SensorTraffic(from);
    // A sensor command still in flight from before the choice ends first.
    traffic.erase(traffic.begin(), std::find(traffic.begin(), traffic.end(), "status"));
    std::vector<std::string> expected = {"status"};
    for (int page = 0; page < 5; ++page) expected.push_back("page " + std::to_string(page));
    expected.insert(expected.end(), {"page 5", "page 5", "page 5", "status"});
    ASSERT_GE(traffic.size(), expected.size());
    traffic.resize(expected.size());
    EXPECT_EQ(traffic, expected);
    // The refused page never reached the image; the channel has no sensor to measure with.
    EXPECT_EQ(g_SensorMemImage[kSensorStagingImage][5 * 32 + 9], 0);
    EXPECT_EQ(g_SensorMemImage[kSensorStagingImage][4 * 32 + 9], image[4 * 32 + 9]);
    EXPECT_EQ(g_SensorKindDetected[1], kKindNone);
    EXPECT_EQ(g_SensorImageValid[1], 0);
    // The screen stands its 5 s; every new reading ends the same way while the page stays bad.
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugNoSensor, 15000));
    EXPECT_EQ(Rig_RowText(11), "No sensor on ChB");
    Rig_AdvanceMs(20000);
    // Nothing was written to the sensor, and its file is as it was.
    EXPECT_TRUE(SentWith(kCmdWriteBlock).empty());
    EXPECT_EQ(ReadFile(file), text);
}

TEST(SensorLink, PeriodicReReadNeverOverwritesAPageWaitingForWriteBack) {
    BootOnChannelB();
    Bytes memory = RigSensor_ToSensorMemory(RigSensor_BuildImage(RigSensorIdentity{}));
    Rig_PlugSensorImage(memory);
    Link_SetMeasureMode(1, 1);
    Rig_AdvanceMs(30000);
    ASSERT_EQ(g_SensorPlugged[1], 1);
    SensMem_AdoptStagingImage(1);
    // The re-read of page 13 is in flight when the page changes locally.
    g_LinkChanStatus[1] = 3606;
    for (int step = 0; step < 1000 && !(g_LinkBuffer.kind == kReqReadPage13 && g_LinkState.load() == kLinkSent);
         ++step) {
        Rig_AdvanceMs(10);
    }
    ASSERT_EQ(g_LinkBuffer.kind, kReqReadPage13);
    g_SensorMemImage[1][13 * kSensorPageBytes + 3] = 0x5A;
    SensMem_CommitPage(1, 13);
    Bytes changed(&g_SensorMemImage[1][13 * kSensorPageBytes], &g_SensorMemImage[1][14 * kSensorPageBytes]);
    Rig_AdvanceMs(5000);
    // The sensor's old page was not taken; the local change went to the sensor.
    std::vector<Bytes> writes = SentWith(kCmdWriteBlock);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(Bytes(writes[0].begin() + 4, writes[0].end() - 1), changed);
    EXPECT_EQ(Bytes(&g_SensorMemImage[1][13 * kSensorPageBytes], &g_SensorMemImage[1][14 * kSensorPageBytes]), changed);
    EXPECT_EQ(Bytes(g_SimImageSlots[1].image + 13 * 32, g_SimImageSlots[1].image + 14 * 32), changed);
}

TEST(SensorLink, CommandSensorIsIdentifiedReadAndPolled) {
    BootOnChannelB();
    Rig_PlugCommandSensor(OpticalSensor());
    size_t from = Rig_SentFrames().size();
    Link_SetMeasureMode(1, 1);
    Rig_AdvanceMs(60000);

    // No memory image: the sensor is asked for its identification, then read in id order, the
    // registers and the parameter again before "G540" announces it; then it is polled.
    std::vector<std::string> traffic = SensorTraffic(from);
    // A sensor that is still busy after being chosen withholds its first answers.
    while (traffic.size() > 2 && traffic[1] == "G124" && traffic[2] == "status") {
        traffic.erase(traffic.begin(), traffic.begin() + 2);
    }
    std::vector<std::string> expected = {"status", "G124", "G133", "G139", "G134", "G131", "G113",
                                         "G132",   "G133", "G134", "G540", "G100", "G100"};
    ASSERT_GE(traffic.size(), expected.size());
    traffic.resize(expected.size());
    EXPECT_EQ(traffic, expected);
    EXPECT_EQ(g_SensorPlugged[1], 1);
    EXPECT_EQ(g_SensorProtoFlag[1], 1);
    EXPECT_EQ(g_SensorKindDetected[1], kKindO2Optical);
    EXPECT_EQ(g_SensorMemLayout[1], kLayoutProtocol);

    // The command frame travels behind the board's time-out, byte for byte.
    std::vector<Bytes> commands = SentWith(kCmdSensorCommand, from);
    Bytes g124 = RigSensor_RequestFrame("G124", {});
    Bytes expectedRequest = {0x77, static_cast<uint8_t>(4 + 2 + g124.size()), kCmdSensorCommand, 0x02, 0x58};
    expectedRequest.insert(expectedRequest.end(), g124.begin(), g124.end());
    expectedRequest.push_back(
        Util_ByteSumNegated(expectedRequest.data(), static_cast<uint32_t>(expectedRequest.size())));
    EXPECT_EQ(commands[0], expectedRequest);

    // What the answers carried.
    SensCmd_InitRecord(1);
    EXPECT_EQ(Vdx_GetSerialNumber(1), 98765u);
    EXPECT_EQ(Vdx_GetModelNumber(1), 4210u);
    EXPECT_EQ(Vdx_GetPartNumber(1), 52109876u);
    EXPECT_EQ(SensCmd_GetRegister(1, 1), 11);
    EXPECT_EQ(SensCmd_GetRegister(1, 5), 55);
    EXPECT_EQ(SensCmd_GetLifetimeLimit(1), 66);
    EXPECT_EQ(SensCmd_GetParamRounded(1), 3u);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamSipTempLimit], 121.0f);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamCipTempLimit], 80.0f);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamProcessPressure], 1013.0f);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamSalinity], 35.0f);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamG540Value], 0.25f);
}

TEST(SensorLink, RefusedAnswersAreTriedThreeTimesThenTheSensorIsAskedAgain) {
    BootOnChannelB();
    Rig_PlugCommandSensor(OpticalSensor(0x01));
    size_t from = Rig_SentFrames().size();
    Link_SetMeasureMode(1, 1);
    Rig_AdvanceMs(40000);
    std::vector<std::string> traffic = SensorTraffic(from);
    auto g133 = std::find(traffic.begin(), traffic.end(), "G133");
    ASSERT_GE(traffic.end() - g133, 4);
    EXPECT_EQ(std::vector<std::string>(g133, g133 + 4), (std::vector<std::string>{"G133", "G133", "G133", "status"}));
    EXPECT_EQ(g_SensorPlugged[1], 1);
}

TEST(SensorLink, UnreadableIdentificationGoesBackToTheSensorStatusWithoutRetry) {
    BootOnChannelB();
    Records records = OpticalSensor();
    Bytes& g124 = records[0].second;
    g124.resize(g124.size() - 3);  // cut short
    Rig_PlugCommandSensor(records);
    size_t from = Rig_SentFrames().size();
    Link_SetMeasureMode(1, 1);
    Rig_AdvanceMs(20000);
    std::vector<std::string> traffic = SensorTraffic(from);
    ASSERT_GE(traffic.size(), 6u);
    traffic.resize(6);
    EXPECT_EQ(traffic, (std::vector<std::string>{"status", "G124", "status", "G124", "status", "G124"}));
    EXPECT_EQ(g_SensorProtoFlag[1], 0);
    EXPECT_EQ(g_SensorKindDetected[1], kKindNone);
}
