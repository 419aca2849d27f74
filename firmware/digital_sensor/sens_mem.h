// The digital sensor's memory image: 17 pages of 32 bytes per channel, the bit-field access the
// digital-sensor modules use on it, and the page commit that marks a page for write-back.
#pragma once
#include <cstdint>

constexpr uint32_t kSensorPageBytes = 32;
constexpr uint32_t kSensorImagePages = 17;
constexpr uint32_t kSensorImageBytes = kSensorPageBytes * kSensorImagePages;
// Pages 0 to 15 are the sensor's blocks 0 to 15; page 16 is its block 18.
constexpr uint32_t kSensorLastPage = 16;
constexpr uint32_t kSensorBlockOfLastPage = 18;
// Channel 0's image doubles as the staging image of a newly read sensor.
constexpr uint32_t kSensorStagingImage = 0;

// The pages that hold the sensor's diagnostic counters and intervals.
constexpr uint32_t kSensorPageIntervals = 1;
constexpr uint32_t kSensorPageMaxTemperature = 10;
constexpr uint32_t kSensorPageCounters = 11;
constexpr uint32_t kSensorPageRunning = 13;

// A field stored in two pieces of the image (the second starts at bit 0 of its first byte, so
// the checksum byte of a page is skipped); the pieces form one bit string in this order.
struct SensMemField {
    uint16_t startBit;  // bit of the first piece within its first byte
    uint16_t offset1;   // byte offset of the first piece
    uint16_t bits1;
    uint16_t reserved;
    uint16_t offset2;  // byte offset of the second piece
    uint16_t bits2;
};
static_assert(sizeof(SensMemField) == 12, "a field descriptor is six 16-bit words");

extern uint8_t g_SensorMemImage[2][kSensorImageBytes];
// 1 once the channel's image holds an adopted sensor; only a valid image is written back.
extern uint8_t g_SensorImageValid[2];
// Set on adoption and whenever a calibration is stored into the image.
extern uint8_t g_SensorImageLoaded[2];

// Empty images, nothing valid or loaded.
void SensMem_ResetState();

// The field of count bits (1..32) from bit start of bytes; bit k of the field is bit
// (start + k) mod 8 of byte (start + k) / 8, the first bit the least significant.
uint32_t SensMem_GetBits(const uint8_t* bytes, uint32_t start, uint32_t count);
// Writes the low count bits of value into that field (a field longer than 32 bits gets 0 above
// them); the bits around it keep their values.
void SensMem_PutBits(uint8_t* bytes, uint32_t start, uint32_t count, uint32_t value);
// Copies count bits from source (from bit sourceBit) to destination (from bit destinationBit);
// destination bits outside the run keep their values.
void SensMem_CopyBits(const uint8_t* source, uint32_t sourceBit, uint8_t* destination, uint32_t destinationBit,
                      uint32_t count);
uint32_t SensMem_GetU32LE(const uint8_t* bytes);
uint16_t SensMem_GetU16LE(const uint8_t* bytes);

// The checksum byte 0 of a page: it makes the 8-bit sum of the page's 32 bytes zero.
uint8_t SensMem_PageChecksum(const uint8_t* page);
// 1 when the 32 bytes sum to zero (a page as the sensor keeps it).
uint32_t SensMem_IsPageValid(const uint8_t* page);

// Moves a two-piece field between the channel's image and a buffer (bit 0 of the buffer is the
// field's first bit). The write commits the pages of both pieces, the first piece's first.
void SensMem_ReadField(uint32_t channel, const SensMemField* field, uint8_t* buffer);
void SensMem_WriteField(uint32_t channel, const SensMemField* field, const uint8_t* buffer);

// After a change to a page of the channel's image: fixes its checksum and, for an adopted image,
// marks the page for write-back over the link. Every writer of the image calls it.
void SensMem_CommitPage(uint32_t channel, uint32_t page);
// Takes the staging image over as the channel's own: valid, loaded, nothing to write back.
void SensMem_AdoptStagingImage(uint32_t channel);
// The sensor's page-write time factor, for the link's page-write time-out.
uint32_t SensMem_GetWriteTime(uint32_t channel);
