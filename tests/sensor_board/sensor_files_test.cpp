// The fifteen sensor files: what the generator wrote, decoded by the sensor memory layout (the
// identity fields, the page sums and the calibration data sets) and by the command answers of
// the optical sensors; the panel's model list against them; and the same files as the program's
// resources.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "board_client.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/channel.h"
#include "measurement/ph.h"
#include "panel/inputs.h"
#include "platform/plat_resources.h"
#include "rig.h"
#include "sensor_board/sim_image.h"

using namespace board_client;

namespace {
std::string ImagePath(const std::string& name) { return std::string(KORVI_SENSOR_IMAGE_DIR) + "/" + name; }

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's hex bytes; empty when any token is not a two-digit byte followed by a blank.
std::vector<uint8_t> HexBytes(const std::string& text) {
    std::vector<uint8_t> bytes;
    if (text.size() % 3 != 0) return {};
    for (size_t i = 0; i < text.size(); i += 3) {
        if (text[i + 2] != ' ') return {};
        bytes.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

uint32_t Bits(const std::vector<uint8_t>& bytes, uint32_t start, uint32_t count) {
    uint32_t value = 0;
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t bit = start + k;
        value |= static_cast<uint32_t>(bytes[bit / 8] >> (bit % 8) & 1) << k;
    }
    return value;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// The sensor identity as the transmitter reads it from its image.
struct Identity {
    uint32_t model, serial, family, variant, part;
    std::string typeText;
};

Identity Decode(const std::vector<uint8_t>& b) {
    Identity id;
    id.model = U32(b, 2) >> 6 & 0x7FFF;
    id.serial = U32(b, 6) & 0xFFFFFF;
    id.family = ((b[9] + 256u * b[10]) >> 2) & 0xFF;
    id.variant = b[10] >> 2 & 3;
    id.part = U32(b, 11) << 4 | b[10] >> 4;
    for (uint32_t i = 0; i < 13; ++i) {
        char c = static_cast<char>(Bits(b, 65 * 8 + 7 * i, 7));
        if (c == '/') break;
        id.typeText += c;
    }
    return id;
}

// The transmitter's data set "Act" of a layout, as one bit string (piece 1, then piece 2).
std::vector<uint8_t> ActSet(const std::vector<uint8_t>& b, int layout) {
    static const uint32_t kAct[3][4] = {{97, 248, 129, 112}, {97, 242, 129, 120}, {97, 246, 129, 92}};
    const uint32_t* p = kAct[layout];
    std::vector<uint8_t> set(46, 0);
    for (uint32_t k = 0; k < p[1] + p[3]; ++k) {
        uint32_t bit = k < p[1] ? p[0] * 8 + k : p[2] * 8 + (k - p[1]);
        if (b[bit / 8] >> (bit % 8) & 1) set[k / 8] |= static_cast<uint8_t>(1 << (k % 8));
    }
    return set;
}

struct Expected {
    const char* file;
    uint32_t model, family, variant;
    int layout;
    const char* typeText;
};
const Expected kImages[] = {
    {"CO2_SelvoC11_0.txt", 4220, 9, 0, 0, "SelvoC11-120"}, {"COND_SelvoK11_0.txt", 4195, 5, 0, 2, "SelvoK11-120"},
    {"DO_SelvoD11_0.txt", 4200, 3, 0, 1, "SelvoD11-120"},  {"DO_SelvoD12_0.txt", 4201, 3, 1, 1, "SelvoD12-120"},
    {"DO_SelvoD13_0.txt", 4202, 3, 2, 1, "SelvoD13-220"},  {"DO_SelvoD14_0.txt", 4203, 16, 0, 1, "SelvoD14-G"},
    {"DO_SelvoD15_0.txt", 4204, 3, 3, 1, "SelvoD15-120"},  {"PH_SelvoP11_0.txt", 4187, 1, 0, 0, "SelvoP11-120"},
    {"PH_SelvoP11_1.txt", 4187, 1, 0, 0, "SelvoP11-120"},  {"PH_SelvoP12_0.txt", 4188, 1, 0, 0, "SelvoP12-225"},
    {"pNa_SelvoN11_0.txt", 4190, 1, 0, 0, "SelvoN11-120"},
};

// The records of a record list, by tag.
std::map<std::string, std::vector<uint8_t>> Records(const std::string& text) {
    std::map<std::string, std::vector<uint8_t>> records;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string header = text.substr(at, end - at);
        size_t next = text.find('\n', end + 1);
        std::string line = text.substr(end + 1, next - end - 1);
        std::vector<uint8_t> bytes;
        for (size_t i = 0; i < line.size(); i += 3)
            bytes.push_back(static_cast<uint8_t>(std::stoul(line.substr(i, 2), nullptr, 16)));
        EXPECT_EQ(header.size(), 10u);
        EXPECT_EQ(std::stoul(header.substr(6, 3)), bytes.size()) << header;
        records[header.substr(1, 4)] = bytes;
        at = next + 1;
    }
    return records;
}

// Digits at the start of a text, leading non-digits counting as zeros, as the transmitter reads
// a model number out of a type text.
uint32_t ParseDecimal(const uint8_t* text, int n) {
    uint32_t value = 0;
    bool digits = false;
    for (int i = 0; i < n; ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (!digit && digits) break;
        digits = digits || digit;
        value = value * 10 + (digit ? text[i] - '0' : 0);
    }
    return value;
}

const char* const kCommandSet[21] = {"G100", "S137", "S112", "G113", "G124", "S126", "S127",
                                     "G129", "S131", "G131", "G132", "G133", "S133", "G134",
                                     "S134", "S136", "G139", "S139", "S510", "G540", "S540"};
const std::map<std::string, size_t> kAnswerLengths = {{"G100", 96}, {"G113", 55}, {"G124", 80}, {"G129", 25},
                                                      {"G131", 5},  {"G132", 96}, {"G133", 4},  {"G134", 12},
                                                      {"G139", 8},  {"G540", 4}};

// The tunnelled sensor command of request 0x09: the sensor's time-out, then the frame 03 01,
// length, tag, CRC; the tag lands at request bytes 9-12.
std::vector<uint8_t> CommandRequest(const char* tag) {
    std::vector<uint8_t> arguments = {0x02, 0x58, 0x03, 0x01, 0x00, 0x06};
    for (int i = 0; i < 4; ++i) arguments.push_back(static_cast<uint8_t>(tag[i]));
    arguments.push_back(0);
    arguments.push_back(0);
    return arguments;
}
}  // namespace

TEST(SensorFiles, EachMemoryImageDecodesToTheIdentityTheGeneratorWrote) {
    for (const Expected& e : kImages) {
        SCOPED_TRACE(e.file);
        std::string text = ReadText(ImagePath(e.file));
        EXPECT_EQ(text.size(), 1824u);
        std::vector<uint8_t> b = HexBytes(text);
        ASSERT_EQ(b.size(), 608u);
        // Every page the transmitter reads (blocks 0-15 and 18) sums to zero.
        for (int block : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 18}) {
            uint8_t sum = 0;
            for (int i = 0; i < 32; ++i) sum = static_cast<uint8_t>(sum + b[block * 32 + i]);
            EXPECT_EQ(sum, 0) << "block " << block;
        }
        Identity id = Decode(b);
        // The firmware's own readers agree: the image as the link stages it (pages 0-15, then the
        // sensor's block 18), identified and adopted, its calibration in use decoded.
        Rig_PowerOn();
        std::copy(b.begin(), b.begin() + 512, g_SensorMemImage[kSensorStagingImage]);
        std::copy(b.begin() + 576, b.end(), g_SensorMemImage[kSensorStagingImage] + 512);
        Vdx_DecodeSensorFamily(1);
        EXPECT_EQ(Vdx_GetModelNumber(1), e.model);
        char type[kVdxTypeTextMax + 1];
        Vdx_GetTypeText(1, type);
        EXPECT_EQ(std::string(type), e.typeText);
        Chan_ForceKind(1, g_SensorKindDetected[1]);
        SensMem_AdoptStagingImage(1);
        CalDataSetRecord actual{};
        // A variant the transmitter does not use (kind 15) has no layout to read.
        bool usable = g_SensorKindDetected[1] < 15;
        EXPECT_EQ(SensMem_ReadCalDataSet(1, kCalSetActual, &actual), usable ? 1u : 0u);
        if (usable) {
            EXPECT_GE(SensMem_DateToDays(&actual.date), kSensDayFirstValid);
        }
        if (e.layout == 0) {
            // The set's isothermal point and a slope the pH calibration takes.
            EXPECT_NEAR(actual.v0, 7.0f, 0.01f);
            float slope = 0.0f, zero = 0.0f;
            CalPh_CalibrateFromDataSet(&actual, &slope, &zero);
            EXPECT_GT(slope, 0.9f);
            EXPECT_LT(slope, 1.02f);
            EXPECT_NEAR(zero, 7.0f, 0.2f);
        }
        EXPECT_EQ(id.model, e.model);
        EXPECT_EQ(id.family, e.family);
        EXPECT_EQ(id.variant, e.variant);
        EXPECT_EQ(id.typeText, e.typeText);
        EXPECT_GE(id.part, 52200000u);
        EXPECT_LE(id.part, 52299999u);
        EXPECT_GT(id.serial, 0u);
        // Firmware and hardware versions, the page-write time.
        EXPECT_GT(b[481], 0);
        EXPECT_GT(b[482], 0);
        EXPECT_EQ(b[484], 20);
        // The calibration in use is dated 2008 or later (day count 3653 to 36863) and decodes to a
        // calibration the transmitter accepts.
        std::vector<uint8_t> act = ActSet(b, e.layout);
        uint32_t day = Bits(act, 0, 16);
        EXPECT_GE(day, 3653u);
        EXPECT_LE(day, 36863u);
        EXPECT_LT(Bits(act, 16, 12), 1440u);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(Bits(act, 28 + 7 * i, 7), static_cast<uint32_t>('-'));
        if (e.layout == 0) {
            double zero = Bits(act, 342, 14) * 0.0011 - 2.0;
            double b0 = Bits(act, 116, 14) * 0.0011 - 2.0, b1 = Bits(act, 168, 14) * 0.0011 - 2.0;
            double e0 = (Bits(act, 130, 14) - 8191.0) / 10, e1 = (Bits(act, 182, 14) - 8191.0) / 10;
            double slope = (e0 - e1) / (b1 - b0);
            EXPECT_NEAR(zero, 7.0, 0.2);
            EXPECT_GT(slope, 55.0);
            EXPECT_LT(slope, 60.0);
            EXPECT_GE(std::fabs(e0 - e1), 60.0) << "two points at least 60 mV apart";
            double glass = Bits(act, 272, 12) / 2;
            EXPECT_GE(glass, 5.0);
            EXPECT_LE(glass, 2000.0);
            if (e.family == 9) {
                double co2Slope = Bits(act, 306, 12) * 0.01 + 22;
                double co2Zero = Bits(act, 296, 10) * 0.25 - 125;
                EXPECT_GT(co2Slope, 22.0);
                EXPECT_LT(co2Slope, 62.96);
                EXPECT_GT(co2Zero, -125.0);
                EXPECT_LT(co2Zero, 131.0);
            }
        } else if (e.layout == 1) {
            bool kind8 = e.family == 16;
            double zero = Bits(act, 108, 14) - 8190.0;
            double slope = kind8 ? Bits(act, 122, 18) * 0.5 - 121072 : (Bits(act, 122, 18) - 100000.0) / 10;
            EXPECT_LE(std::fabs(zero), 8190.0);
            if (kind8) {
                EXPECT_GE(slope, -60000.1);
                EXPECT_LE(slope, -20000.0);
            } else {
                EXPECT_GE(slope, -10000.0);
                EXPECT_LT(slope, 0.0);
            }
            EXPECT_EQ(Bits(act, 340, 4), 1u) << "a slope point in saturated air";
            EXPECT_EQ(Bits(act, 154, 20), 205588u) << "oxygen partial pressure at 1013 mbar and 25 C";
            // Polarization voltage: -674 mV for the high range, -500 for low and trace, -600 in gas.
            int polarization = static_cast<int>(Bits(b, 138, 10)) * 2 - 1022;
            EXPECT_EQ(polarization, e.model == 4200 || e.model == 4204 ? -674 : (kind8 ? -600 : -500));
            EXPECT_EQ(b[512 + 30] & 1, 0) << "no sensor alarm in the live block";
        } else {
            double cell = Bits(act, 290, 24) * 1e-5;
            double zero = Bits(act, 314, 24) * 1e-5 - 83;
            EXPECT_NEAR(cell, 0.32, 0.01);
            EXPECT_NEAR(zero, 0.0, 1e-4);
            EXPECT_NEAR(1e8 / Bits(act, 114, 28), 12.88, 0.001);
        }
    }
    // The pNa sensor is a pH-family sensor of sub-type 13.
    EXPECT_EQ(HexBytes(ReadText(ImagePath("pNa_SelvoN11_0.txt")))[33] & 0x0F, 13);
    EXPECT_NE(HexBytes(ReadText(ImagePath("PH_SelvoP11_0.txt")))[33] & 0x0F, 13);
    // The one-wire memory: 512 bytes of a family the transmitter does not know.
    std::vector<uint8_t> unknown = HexBytes(ReadText(ImagePath("Unknown_OneWire_Sensor_0.txt")));
    ASSERT_EQ(unknown.size(), 512u);
    uint32_t family = Decode(unknown).family;
    for (uint32_t known : {1u, 3u, 5u, 9u, 16u}) EXPECT_NE(family, known);
}

TEST(SensorFiles, OpticalSensorsAnswerEveryCommandOfTheCommandSet) {
    for (const char* file : {"OPT_SelvoQ11_0.txt", "OPT_SelvoQ12_0.txt"}) {
        SCOPED_TRACE(file);
        std::string text = ReadText(ImagePath(file));
        EXPECT_EQ(text.substr(0, 11), "%G124%091%\n");
        std::map<std::string, std::vector<uint8_t>> records = Records(text);
        EXPECT_EQ(records.size(), 21u);
        for (const char* tag : kCommandSet) {
            ASSERT_EQ(records.count(tag), 1u) << tag;
            const std::vector<uint8_t>& r = records[tag];
            size_t payload = kAnswerLengths.count(tag) ? kAnswerLengths.at(tag) : 0;
            ASSERT_EQ(r.size(), payload + 11) << tag;
            EXPECT_EQ(r[0], 0x01);
            EXPECT_EQ(r[1], 0x03);
            EXPECT_EQ(r[2] << 8 | r[3], static_cast<int>(payload + 7));
            EXPECT_EQ(r[4], tag[0] + 32);
            EXPECT_EQ(std::string(r.begin() + 5, r.begin() + 8), std::string(tag + 1, 3));
            EXPECT_EQ(r[8 + payload] & 0xBF, 0) << "a good status";
        }
        // Identification: an optical oxygen sensor (type 3) with firmware 2.14 or newer.
        const uint8_t* g124 = records["G124"].data() + 8;
        EXPECT_EQ(g124[51], 3);
        EXPECT_GE(std::stod(std::string(g124 + 27, g124 + 31)), 2.14);
        EXPECT_GT(ParseDecimal(g124 + 13, 7), 0u);
        // Nothing wrong with the sensor: status word 0.
        const uint8_t* g100 = records["G100"].data() + 8;
        EXPECT_EQ(g100[92] | g100[93] | g100[94] | g100[95], 0);
    }
}

TEST(SensorFiles, PanelModelNumbersMatchTheFiles) {
    for (uint32_t i = 0; i < kSensorModels; ++i) {
        const SensorImageEntry& entry = g_SensorImageFiles[i];
        SCOPED_TRACE(entry.fileName);
        std::string text = ReadText(ImagePath(entry.fileName));
        if (text.empty()) {
            // The two models without a file of their own keep numbers no file uses.
            for (const Expected& e : kImages) EXPECT_NE(entry.modelNumber, e.model);
            continue;
        }
        if (text[0] == '%') {
            std::map<std::string, std::vector<uint8_t>> records = Records(text);
            EXPECT_EQ(ParseDecimal(records["G124"].data() + 8, 13), entry.modelNumber);
        } else {
            EXPECT_EQ(Decode(HexBytes(text)).model, entry.modelNumber);
        }
    }
    EXPECT_EQ(g_SensorImageFiles[0].modelNumber, 4187u);
}

TEST(SensorFiles, TheProgramCarriesThemAsTextResources) {
    const char* names[kSimResourceCount] = {
        "CO2_SelvoC11_0.txt", "COND_SelvoK11_0.txt", "DO_SelvoD11_0.txt",           "DO_SelvoD12_0.txt",
        "DO_SelvoD13_0.txt",  "DO_SelvoD14_0.txt",   "DO_SelvoD15_0.txt",           "OPT_SelvoQ11_0.txt",
        "OPT_SelvoQ12_0.txt", "PH_SelvoP11_0.txt",   "PH_SelvoP11_1.txt",           "PH_SelvoP12_0.txt",
        "pNa_SelvoN11_0.txt", "ReadMe.txt",          "Unknown_OneWire_Sensor_0.txt"};
    for (uint32_t i = 0; i < kSimResourceCount; ++i) {
        uint32_t size = 0;
        const uint8_t* bytes = Plat_FindResource(kResourceTypeText, 17125 + i, &size);
        ASSERT_NE(bytes, nullptr) << names[i];
        EXPECT_EQ(std::string(bytes, bytes + size), ReadText(ImagePath(names[i]))) << names[i];
        EXPECT_EQ(SimImage_ResourceIdOf(names[i]), 17125 + i);
    }
    // Names are case-sensitive; a folder before the name does not matter.
    EXPECT_EQ(SimImage_ResourceIdOf("ph_selvop11_0.txt"), 0u);
    EXPECT_EQ(SimImage_ResourceIdOf("C:\\Sensors\\PH_SelvoP11_0.txt"), 17134u);
    EXPECT_EQ(SimImage_ResourceIdOf("/opt/sensors/pNa_SelvoN11_0.txt"), 17137u);
    EXPECT_EQ(SimImage_ResourceIdOf("CO2_SelvoC12_0.txt"), 0u);
}

TEST(SensorImages, LoadedFromResourcesByNameAndAnsweredBlockByBlock) {
    StartBoard();
    // A load is followed by three refused block reads (the sensor is still busy).
    ASSERT_EQ(LoadSensorFromResources("C:\\Sensors\\pNa_SelvoN11_0.txt", 1), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(StatusOf(0x06, {0}), 7) << i;
    std::vector<uint8_t> reply = Exchange(0x06, {0});
    ASSERT_EQ(reply.size(), 37u);
    EXPECT_EQ(reply[3], 0);
    std::vector<uint8_t> file = HexBytes(ReadText(ImagePath("pNa_SelvoN11_0.txt")));
    EXPECT_EQ(PayloadOf(reply), std::vector<uint8_t>(file.begin(), file.begin() + 32));
    EXPECT_EQ(PayloadOf(Exchange(0x06, {18})), std::vector<uint8_t>(file.begin() + 576, file.end()));
    // Channel B's measurement: the live block (offset 512) behind four zero bytes.
    std::vector<uint8_t> measurement = PayloadOf(Exchange(0x07, {}));
    ASSERT_EQ(measurement.size(), 36u);
    EXPECT_EQ(std::vector<uint8_t>(measurement.begin() + 4, measurement.end()),
              std::vector<uint8_t>(file.begin() + 512, file.begin() + 544));
    // The sensor status reports the image (126) and ends the busy count at once.
    ASSERT_EQ(LoadSensorFromResources("PH_SelvoP11_0.txt", 1), 1);
    EXPECT_EQ(PayloadOf(Exchange(0x05, {}))[0], 126);
    EXPECT_EQ(StatusOf(0x06, {1}), 0);
    // A write in single-file mode lives in the slot only.
    std::vector<uint8_t> block = {3};
    for (int i = 0; i < 32; ++i) block.push_back(i == 0 ? 0xFF : (i == 1 ? 0x01 : 0));
    EXPECT_EQ(StatusOf(0x08, block), 0);
    EXPECT_EQ(PayloadOf(Exchange(0x06, {3}))[1], 0x01);
    // The read-me, a name without a resource and an empty name hold no sensor.
    for (const char* name : {"ReadMe.txt", "CO2_SelvoC12_0.txt", ""}) {
        SCOPED_TRACE(name);
        LoadSensorFromResources(name, 1);
        EXPECT_EQ(PayloadOf(Exchange(0x05, {}))[0], 0);
        EXPECT_EQ(StatusOf(0x06, {0}), 7);
    }
    EXPECT_EQ(LoadSensorFromResources("ReadMe.txt", 1), 0);
    EXPECT_EQ(LoadSensorFromResources("CO2_SelvoC12_0.txt", 1), 0);
}

TEST(SensorImages, CommandSensorsAnswerFromTheirRecords) {
    StartBoard();
    std::map<std::string, std::vector<uint8_t>> records = Records(ReadText(ImagePath("OPT_SelvoQ11_0.txt")));
    ASSERT_EQ(LoadSensorFromResources("OPT_SelvoQ11_0.txt", 9), 1);
    // No memory image: the status request says so.
    EXPECT_EQ(PayloadOf(Exchange(0x05, {}))[0], 0);
    // Three answers of the input current alone while the sensor is busy, then the record.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(PayloadOf(Exchange(0x09, CommandRequest("G124"))).size(), 4u) << i;
    for (const char* tag : kCommandSet) {
        std::vector<uint8_t> payload = PayloadOf(Exchange(0x09, CommandRequest(tag)));
        ASSERT_GE(payload.size(), 4u) << tag;
        EXPECT_EQ(std::vector<uint8_t>(payload.begin() + 4, payload.end()), records[tag]) << tag;
    }
    // A tag without a record: the current alone.
    EXPECT_EQ(PayloadOf(Exchange(0x09, CommandRequest("G999"))).size(), 4u);
    // A memory-image sensor does not answer commands.
    ASSERT_EQ(LoadSensorFromResources("PH_SelvoP11_0.txt", 1), 1);
    EXPECT_EQ(PayloadOf(Exchange(0x09, CommandRequest("G124"))).size(), 4u);
}

// In file mode the library takes the name as given, at most 29 characters: a bare name is found
// in the working folder, so these cases work in a folder of their own.
std::string EnterOwnFolder() {
    std::string folder = StartBoard();
    Brannic_SetSFXFlag(0);
    std::filesystem::current_path(folder);
    return folder;
}

TEST(SensorImages, FilesThatAreShortOrGarbledHoldNoSensorButACorruptPageIsHeld) {
    std::string folder = EnterOwnFolder();
    std::string good = ReadText(ImagePath("PH_SelvoP11_0.txt"));
    struct Case {
        const char* name;
        std::string text;
        bool image;
    };
    // A page that no longer sums to zero is still the sensor's memory: the transmitter judges it.
    std::string corrupt = good;
    corrupt[3 * 40] = corrupt[3 * 40] == '0' ? '1' : '0';
    std::string notHex = good;
    notHex[3 * 100] = 'Q';
    std::string lower = good;
    for (char& c : lower) c = static_cast<char>(std::tolower(c));
    // 547 numbers count as an image (the rest of the 608 bytes is 0), 511 do not.
    std::string short547 = good.substr(0, 3 * 547);
    std::string short511 = good.substr(0, 3 * 511);
    // Numbers spread over lines and separated by tabs are numbers all the same.
    std::string lines = good;
    for (size_t i = 95; i < lines.size(); i += 96) lines[i] = '\n';
    lines[2] = '\t';
    const Case cases[] = {
        {"good.txt", good, true},      {"lower.txt", lower, true},    {"lines.txt", lines, true},
        {"s547.txt", short547, true},  {"s511.txt", short511, false}, {"corrupt.txt", corrupt, true},
        {"nothex.txt", notHex, false}, {"empty.txt", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(folder + c.name, std::ios::binary) << c.text;
        Brannic_SetTedsFileName(1, c.name, 1);
        EXPECT_EQ(PayloadOf(Exchange(0x05, {}))[0], c.image ? 126 : 0);
        EXPECT_EQ(StatusOf(0x06, {18}), c.image ? 0 : 7);
        if (c.text == corrupt) {
            // Its block 1 is handed out as the file has it, not summing to zero.
            std::vector<uint8_t> block1 = PayloadOf(Exchange(0x06, {1}));
            ASSERT_EQ(block1.size(), 32u);
            EXPECT_EQ(block1[40 - 32], std::stoi(corrupt.substr(3 * 40, 2), nullptr, 16));
            EXPECT_FALSE(SumsToZero(block1));
        }
    }
    std::vector<uint8_t> block18 = PayloadOf(Exchange(0x06, {18}));
    // From the 547-number file: bytes 547 to 607 are 0.
    EXPECT_EQ(block18, std::vector<uint8_t>(32, 0));
    // A missing file: no sensor, and the load itself is not refused.
    EXPECT_EQ(Brannic_SetTedsFileName(1, "missing.txt", 1), 1);
    EXPECT_EQ(PayloadOf(Exchange(0x05, {}))[0], 0);
    // A name of 30 characters keeps 29 and its end.
    std::string thirty(30, 'n');
    Brannic_SetTedsFileName(1, thirty.c_str(), 1);
    EXPECT_EQ(std::string(g_SimImageSlots[1].fileName), std::string(29, 'n'));
}

TEST(SensorImages, WritesGoBackIntoTheFileAsLowerCaseHex) {
    std::string folder = EnterOwnFolder();
    std::string path = folder + "PH_SelvoP11_0.txt";
    std::ofstream(path, std::ios::binary) << ReadText(ImagePath("PH_SelvoP11_0.txt"));
    ASSERT_EQ(Brannic_SetTedsFileName(1, "PH_SelvoP11_0.txt", 1), 1);
    Exchange(0x05, {});
    // The transmitter commits page 18 (its page 16) with a new option field and its checksum.
    std::vector<uint8_t> page = PayloadOf(Exchange(0x06, {18}));
    ASSERT_EQ(page.size(), 32u);
    page[11] = static_cast<uint8_t>((page[11] & 0xF0) | 12);
    uint8_t sum = 0;
    for (int i = 1; i < 32; ++i) sum = static_cast<uint8_t>(sum + page[i]);
    page[0] = static_cast<uint8_t>(0u - sum);
    std::vector<uint8_t> write = {18};
    write.insert(write.end(), page.begin(), page.end());
    EXPECT_EQ(PayloadOf(Exchange(0x08, write)), std::vector<uint8_t>{1});
    std::string text = ReadText(path);
    ASSERT_EQ(text.size(), 1824u);
    for (size_t i = 0; i < text.size(); i += 3) {
        EXPECT_TRUE(std::isxdigit(text[i]) && !std::isupper(text[i]) && !std::isupper(text[i + 1])) << i;
        EXPECT_EQ(text[i + 2], ' ');
    }
    std::vector<uint8_t> bytes = HexBytes(text);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 576, bytes.end()), page);
    // What was written back loads again as a valid image.
    ASSERT_EQ(Brannic_SetTedsFileName(1, "PH_SelvoP11_0.txt", 1), 1);
    EXPECT_EQ(PayloadOf(Exchange(0x05, {}))[0], 126);
    EXPECT_EQ(PayloadOf(Exchange(0x06, {18})), page);
    // A record list read from a file answers the same as from the resources.
    std::string list = folder + "OPT_SelvoQ12_0.txt";
    std::ofstream(list, std::ios::binary) << ReadText(ImagePath("OPT_SelvoQ12_0.txt"));
    ASSERT_EQ(Brannic_SetTedsFileName(1, "OPT_SelvoQ12_0.txt", 9), 1);
    for (int i = 0; i < 3; ++i) Exchange(0x09, CommandRequest("G132"));
    std::map<std::string, std::vector<uint8_t>> records = Records(ReadText(list));
    std::vector<uint8_t> payload = PayloadOf(Exchange(0x09, CommandRequest("G132")));
    EXPECT_EQ(std::vector<uint8_t>(payload.begin() + 4, payload.end()), records["G132"]);
}

TEST(SensorImages, NoRecordOverrunsTheReply) {
    std::string folder = EnterOwnFolder();
    std::string path = folder + "long.txt";
    // 246 bytes fit behind the input current; 247 would need a 256-byte reply.
    std::string text = "%G100%246%\n";
    for (int i = 0; i < 246; ++i) text += "AB ";
    text += "\n%G113%247%\n";
    for (int i = 0; i < 247; ++i) text += "CD ";
    text += "\n%G129%999%\n01 02\n%G131%003%\n01\n%G132%";
    std::ofstream(path, std::ios::binary) << text;
    ASSERT_EQ(Brannic_SetTedsFileName(1, "long.txt", 9), 1);
    for (int i = 0; i < 3; ++i) Exchange(0x09, CommandRequest("G100"));
    std::vector<uint8_t> reply = Exchange(0x09, CommandRequest("G100"));
    ASSERT_EQ(reply.size(), 255u);
    EXPECT_EQ(reply[1], 255);
    EXPECT_TRUE(SumsToZero(reply));
    EXPECT_EQ(StatusOf(0x09, CommandRequest("G113")), 7);
    EXPECT_EQ(StatusOf(0x09, CommandRequest("G129")), 7);
    // A record shorter than its header says: the missing bytes read 0, the next header is not
    // taken for data; a header without its length gives nothing.
    std::vector<uint8_t> payload = PayloadOf(Exchange(0x09, CommandRequest("G131")));
    EXPECT_EQ(std::vector<uint8_t>(payload.begin() + 4, payload.end()), (std::vector<uint8_t>{1, 0, 0}));
    EXPECT_EQ(PayloadOf(Exchange(0x09, CommandRequest("G132"))).size(), 4u);
    EXPECT_EQ(Exchange(0x11, {}).size(), 53u);
}

TEST(SensorImages, ABareNameIsFoundBesideTheProgramToo) {
    // The working folder holds no sensor files; the program's folder (the settings store's,
    // given to the library) does.
    std::string folder = StartBoard();
    Brannic_SetSFXFlag(0);
    std::filesystem::current_path(Rig_MakeTempFolder());
    std::ofstream(folder + "PH_SelvoP12_0.txt", std::ios::binary) << ReadText(ImagePath("PH_SelvoP12_0.txt"));
    std::ofstream(folder + "OPT_SelvoQ11_0.txt", std::ios::binary) << ReadText(ImagePath("OPT_SelvoQ11_0.txt"));
    ASSERT_EQ(Brannic_SetTedsFileName(1, "PH_SelvoP12_0.txt", 1), 1);
    EXPECT_EQ(PayloadOf(Exchange(0x05, {}))[0], 126);
    std::vector<uint8_t> block = PayloadOf(Exchange(0x06, {5}));
    std::vector<uint8_t> write = {5};
    write.insert(write.end(), block.begin(), block.end());
    EXPECT_EQ(StatusOf(0x08, write), 0);
    // Written back where it was found, not into the working folder.
    EXPECT_FALSE(std::filesystem::exists("PH_SelvoP12_0.txt"));
    std::string lower = ReadText(ImagePath("PH_SelvoP12_0.txt"));
    for (char& c : lower) c = static_cast<char>(std::tolower(c));
    EXPECT_EQ(ReadText(folder + "PH_SelvoP12_0.txt"), lower);
    // A record list beside the program answers too.
    ASSERT_EQ(Brannic_SetTedsFileName(1, "OPT_SelvoQ11_0.txt", 9), 1);
    for (int i = 0; i < 3; ++i) Exchange(0x09, CommandRequest("G124"));
    EXPECT_EQ(PayloadOf(Exchange(0x09, CommandRequest("G124"))).size(), 95u);
}

TEST(SensorImages, LoadingWhileTheWorkerReadsNeverMixesTwoImages) {
    StartBoard();
    Brannic_SetSFXFlag(1);
    std::vector<uint8_t> p11 = HexBytes(ReadText(ImagePath("PH_SelvoP11_0.txt")));
    std::vector<uint8_t> p12 = HexBytes(ReadText(ImagePath("PH_SelvoP12_0.txt")));
    std::vector<uint8_t> first(p11.begin(), p11.begin() + 32), second(p12.begin(), p12.begin() + 32);
    ASSERT_NE(first, second);
    // The panel's thread switches the model back and forth while the worker reads block 0.
    std::atomic<bool> done{false};
    std::thread panel([&done] {
        for (int i = 0; i < 2000; ++i) Brannic_SetTedsFileName(1, i % 2 ? "PH_SelvoP11_0.txt" : "PH_SelvoP12_0.txt", 1);
        done.store(true);
    });
    uint32_t reads = 0, mixed = 0;
    while (!done.load()) {
        g_SimImageSlots[1].busyCount.store(0);
        uint8_t block[32];
        if (!SimImage_ReadBlock(0, block)) continue;
        ++reads;
        std::vector<uint8_t> got(block, block + 32);
        if (got != first && got != second) ++mixed;
    }
    panel.join();
    EXPECT_EQ(mixed, 0u) << "of " << reads << " reads";
}
