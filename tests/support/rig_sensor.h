// Test rig, digital sensor on channel B: sensor memory images built with given identity fields,
// sensor command answers framed as the sensor frames them, and the sensor files the library
// reads them from.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Identity fields of a memory-image sensor.
struct RigSensorIdentity {
    uint32_t model = 4187;
    uint32_t serial = 123456;
    uint32_t family = 1;
    uint32_t variant = 0;
    uint32_t part = 52001234;
    uint8_t phSubType = 0;
    std::string typeText = "SelvoP11";  // "/" is put behind a text shorter than 13 characters
    uint8_t firmware = 7;
    uint8_t hardware = 2;
    uint8_t writeTime = 20;
    uint8_t option = 8;  // the low 4 bits of the option byte
};

// The firmware's 544-byte image of such a sensor, every page with its checksum; filler bytes
// that differ from page to page keep the pages distinguishable.
std::vector<uint8_t> RigSensor_BuildImage(const RigSensorIdentity& identity);
// Writes count bits of value into bytes from bit start (least significant bit first).
void RigSensor_PutBits(std::vector<uint8_t>& bytes, uint32_t start, uint32_t count, uint32_t value);
// Sets byte 0 of every page so that the page sums to zero.
void RigSensor_FixChecksums(std::vector<uint8_t>& image);
// The sensor's 608-byte memory of 19 blocks: pages 0 to 15 are blocks 0 to 15, page 16 block 18.
std::vector<uint8_t> RigSensor_ToSensorMemory(const std::vector<uint8_t>& image);
// The firmware's page n (0..16) of the sensor's memory.
std::vector<uint8_t> RigSensor_PageOf(const std::vector<uint8_t>& memory, uint32_t page);

// The sensor's answer frame to a command: 01 03, length, the name with its first letter in lower
// case, the payload, the status byte and the CRC.
std::vector<uint8_t> RigSensor_AnswerFrame(const std::string& name, const std::vector<uint8_t>& payload,
                                           uint8_t status = 0);
// A request frame as the transmitter frames it, for comparison.
std::vector<uint8_t> RigSensor_RequestFrame(const std::string& name, const std::vector<uint8_t>& payload);

// The library holds this memory as the sensor on channel B: an image file in the rig's folder
// (which becomes the working folder, where the library looks for sensor files), chosen with this
// sensor code as the panel chooses it. After Rig_Boot.
void Rig_PlugSensorImage(const std::vector<uint8_t>& memory, uint8_t code = 1);
// A sensor that answers commands: a record-list file of (command name, answer frame) records,
// chosen with this sensor code. After Rig_Boot.
void Rig_PlugCommandSensor(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& records, uint8_t code = 9);
