// Test rig, digital sensor on channel B: memory images and command answers built the way the
// sensor keeps and frames them, and the files the library reads them from.
#include "rig_sensor.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/link_transport.h"
#include "core/util.h"
#include "rig.h"

namespace {
constexpr uint32_t kPageBytes = 32;
constexpr uint32_t kPages = 17;
constexpr uint32_t kMemoryBytes = 608;
constexpr uint32_t kBlockOfPage16 = 18;
constexpr char kImageFile[] = "sensor_b.txt";
constexpr char kRecordFile[] = "sensor_b_cmd.txt";

// The rig's folder becomes the working folder: the library looks for sensor files there.
std::string EnterRigFolder() {
    std::filesystem::path folder = std::filesystem::path(Rig_StorePath()).parent_path();
    std::filesystem::current_path(folder);
    return folder.string();
}

void WriteText(const std::string& name, const std::string& text) {
    std::FILE* file = std::fopen(name.c_str(), "w");
    if (file == nullptr) return;
    std::fputs(text.c_str(), file);
    std::fclose(file);
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
    std::string text;
    char cell[4];
    for (uint8_t b : bytes) {
        std::snprintf(cell, sizeof cell, "%02x ", b);
        text += cell;
    }
    return text;
}
}  // namespace

void RigSensor_PutBits(std::vector<uint8_t>& bytes, uint32_t start, uint32_t count, uint32_t value) {
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t bit = start + k;
        uint8_t mask = static_cast<uint8_t>(1u << (bit % 8));
        if (value & (1u << k)) {
            bytes[bit / 8] |= mask;
        } else {
            bytes[bit / 8] &= static_cast<uint8_t>(~mask);
        }
    }
}

void RigSensor_FixChecksums(std::vector<uint8_t>& image) {
    for (uint32_t page = 0; page < kPages; ++page) {
        uint8_t sum = 0;
        for (uint32_t i = 1; i < kPageBytes; ++i) sum = static_cast<uint8_t>(sum + image[page * kPageBytes + i]);
        image[page * kPageBytes] = static_cast<uint8_t>(0u - sum);
    }
}

std::vector<uint8_t> RigSensor_BuildImage(const RigSensorIdentity& id) {
    std::vector<uint8_t> image(kPages * kPageBytes);
    for (uint32_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>((i * 7 + i / kPageBytes) & 0x3F);
    for (uint32_t i = 2; i <= 14; ++i) image[i] = 0;
    RigSensor_PutBits(image, 2 * 8 + 6, 15, id.model);
    RigSensor_PutBits(image, 6 * 8, 24, id.serial);
    RigSensor_PutBits(image, 9 * 8 + 2, 8, id.family);
    RigSensor_PutBits(image, 10 * 8 + 2, 2, id.variant);
    RigSensor_PutBits(image, 10 * 8 + 4, 4, id.part & 0x0F);
    RigSensor_PutBits(image, 11 * 8, 28, id.part >> 4);
    RigSensor_PutBits(image, 33 * 8, 4, id.phSubType);
    for (uint32_t i = 65; i <= 76; ++i) image[i] = 0;
    std::string text = id.typeText.size() < 13 ? id.typeText + "/" : id.typeText.substr(0, 13);
    for (uint32_t i = 0; i < text.size(); ++i)
        RigSensor_PutBits(image, 65 * 8 + 7 * i, 7, static_cast<uint8_t>(text[i]));
    image[481] = id.firmware;
    image[482] = id.hardware;
    image[484] = id.writeTime;
    image[523] = static_cast<uint8_t>((image[523] & 0xF0) | (id.option & 0x0F));
    RigSensor_FixChecksums(image);
    return image;
}

std::vector<uint8_t> RigSensor_ToSensorMemory(const std::vector<uint8_t>& image) {
    std::vector<uint8_t> memory(kMemoryBytes, 0);
    std::memcpy(memory.data(), image.data(), 16 * kPageBytes);
    std::memcpy(memory.data() + kBlockOfPage16 * kPageBytes, image.data() + 16 * kPageBytes, kPageBytes);
    return memory;
}

std::vector<uint8_t> RigSensor_PageOf(const std::vector<uint8_t>& memory, uint32_t page) {
    uint32_t block = page == 16 ? kBlockOfPage16 : page;
    return std::vector<uint8_t>(memory.begin() + block * kPageBytes, memory.begin() + (block + 1) * kPageBytes);
}

namespace {
std::vector<uint8_t> Frame(uint8_t from, uint8_t to, std::string name, const std::vector<uint8_t>& payload,
                           uint32_t extra, const uint8_t* status) {
    std::vector<uint8_t> frame = {from, to, 0, 0};
    Util_PutU16BE(static_cast<uint16_t>(payload.size() + extra), frame.data() + 2);
    for (char c : name) frame.push_back(static_cast<uint8_t>(c));
    frame.insert(frame.end(), payload.begin(), payload.end());
    if (status != nullptr) frame.push_back(*status);
    uint16_t crc = Util_Crc16Ccitt(frame.data() + 4, static_cast<uint32_t>(4 + payload.size()));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc));
    return frame;
}
}  // namespace

std::vector<uint8_t> RigSensor_AnswerFrame(const std::string& name, const std::vector<uint8_t>& payload,
                                           uint8_t status) {
    std::string lower = name;
    lower[0] = static_cast<char>(lower[0] + 32);
    return Frame(0x01, 0x03, lower, payload, 7, &status);
}

std::vector<uint8_t> RigSensor_RequestFrame(const std::string& name, const std::vector<uint8_t>& payload) {
    return Frame(0x03, 0x01, name, payload, 6, nullptr);
}

void Rig_PlugSensorImage(const std::vector<uint8_t>& memory, uint8_t code) {
    EnterRigFolder();
    WriteText(kImageFile, HexBytes(memory));
    Link_SelectSensorImage(1, kImageFile, code);
}

void Rig_PlugCommandSensor(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& records, uint8_t code) {
    EnterRigFolder();
    std::string text;
    char header[16];
    for (const auto& [name, answer] : records) {
        std::snprintf(header, sizeof header, "%%%s%%%03u%%\n", name.c_str(), static_cast<unsigned>(answer.size()));
        text += header;
        text += HexBytes(answer) + "\n";
    }
    WriteText(kRecordFile, text);
    Link_SelectSensorImage(1, kRecordFile, code);
}
