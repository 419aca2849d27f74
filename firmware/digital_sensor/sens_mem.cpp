// The digital sensor's memory image: bit fields, page checksums and the page commit that keeps
// the sensor in step with the firmware's copy.
#include "digital_sensor/sens_mem.h"

#include <cstring>

#include "core/link.h"
#include "digital_sensor/sens_diag.h"
#include "measurement/channel.h"

uint8_t g_SensorMemImage[2][kSensorImageBytes];
uint8_t g_SensorImageValid[2];
uint8_t g_SensorImageLoaded[2];

// Byte of the sensor's page-write time factor.
static constexpr uint32_t kWriteTimeByte = 484;

void SensMem_ResetState() {
    std::memset(g_SensorMemImage, 0, sizeof g_SensorMemImage);
    std::memset(g_SensorImageValid, 0, sizeof g_SensorImageValid);
    std::memset(g_SensorImageLoaded, 0, sizeof g_SensorImageLoaded);
}

uint32_t SensMem_GetBits(const uint8_t* bytes, uint32_t start, uint32_t count) {
    if (count > 32) count = 32;
    uint32_t value = 0;
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t bit = start + k;
        if (bytes[bit / 8] & (1u << (bit % 8))) value |= 1u << k;
    }
    return value;
}

void SensMem_PutBits(uint8_t* bytes, uint32_t start, uint32_t count, uint32_t value) {
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t bit = start + k;
        uint8_t mask = static_cast<uint8_t>(1u << (bit % 8));
        // A run longer than the value's 32 bits is 0 beyond them.
        if (k < 32 && (value >> k & 1u)) {
            bytes[bit / 8] |= mask;
        } else {
            bytes[bit / 8] &= static_cast<uint8_t>(~mask);
        }
    }
}

void SensMem_CopyBits(const uint8_t* source, uint32_t sourceBit, uint8_t* destination, uint32_t destinationBit,
                      uint32_t count) {
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t from = sourceBit + k;
        uint32_t to = destinationBit + k;
        uint8_t mask = static_cast<uint8_t>(1u << (to % 8));
        if (source[from / 8] & (1u << (from % 8))) {
            destination[to / 8] |= mask;
        } else {
            destination[to / 8] &= static_cast<uint8_t>(~mask);
        }
    }
}

uint32_t SensMem_GetU32LE(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t SensMem_GetU16LE(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] + 256 * bytes[1]); }

uint8_t SensMem_PageChecksum(const uint8_t* page) {
    uint8_t sum = 0;
    for (uint32_t i = 1; i < kSensorPageBytes; ++i) sum = static_cast<uint8_t>(sum + page[i]);
    return static_cast<uint8_t>(0u - sum);
}

uint32_t SensMem_IsPageValid(const uint8_t* page) {
    uint8_t sum = 0;
    for (uint32_t i = 0; i < kSensorPageBytes; ++i) sum = static_cast<uint8_t>(sum + page[i]);
    return sum == 0 ? 1 : 0;
}

// A descriptor that would reach past the image names nothing that can be moved.
static bool FieldFits(const SensMemField* field) {
    uint32_t end1 = field->offset1 * 8u + field->startBit + field->bits1;
    uint32_t end2 = field->offset2 * 8u + field->bits2;
    return end1 <= kSensorImageBytes * 8 && end2 <= kSensorImageBytes * 8;
}

void SensMem_ReadField(uint32_t channel, const SensMemField* field, uint8_t* buffer) {
    if (channel > 1 || !FieldFits(field)) return;
    const uint8_t* image = g_SensorMemImage[channel];
    SensMem_CopyBits(image, field->offset1 * 8u + field->startBit, buffer, 0, field->bits1);
    SensMem_CopyBits(image, field->offset2 * 8u, buffer, field->bits1, field->bits2);
}

void SensMem_WriteField(uint32_t channel, const SensMemField* field, const uint8_t* buffer) {
    if (channel > 1 || !FieldFits(field)) return;
    uint8_t* image = g_SensorMemImage[channel];
    SensMem_CopyBits(buffer, 0, image, field->offset1 * 8u + field->startBit, field->bits1);
    SensMem_CopyBits(buffer, field->bits1, image, field->offset2 * 8u, field->bits2);
    SensMem_CommitPage(channel, field->offset1 / kSensorPageBytes);
    SensMem_CommitPage(channel, field->offset2 / kSensorPageBytes);
}

void SensMem_CommitPage(uint32_t channel, uint32_t page) {
    if (channel > 1 || page > kSensorLastPage) return;
    uint8_t* bytes = &g_SensorMemImage[channel][page * kSensorPageBytes];
    bytes[0] = SensMem_PageChecksum(bytes);
    // A staging or not yet adopted image is never written back.
    if (!g_SensorImageValid[channel]) return;
    if (page == kSensorPageIntervals || page == kSensorPageMaxTemperature || page == kSensorPageCounters ||
        page == kSensorPageRunning) {
        SensDiag_PublishIndicators(channel);
    }
    g_DirtyPages[channel] |= 1u << page;
    Link_SetRequestBit(kReqWritePage);
}

void SensMem_AdoptStagingImage(uint32_t channel) {
    if (channel > 1) return;
    if (channel != kSensorStagingImage) {
        std::memcpy(g_SensorMemImage[channel], g_SensorMemImage[kSensorStagingImage], kSensorImageBytes);
    }
    g_SensorImageValid[channel] = 1;
    g_SensorImageLoaded[channel] = 1;
    g_DirtyPages[channel] = 0;
}

uint32_t SensMem_GetWriteTime(uint32_t channel) {
    if (channel > 1) return 0;
    // The sensor's factor scaled by 1.1 with a margin of 0.95, truncated.
    uint32_t n = static_cast<uint32_t>(g_SensorMemImage[channel][kWriteTimeByte] * 1.1f + 0.95f);
    uint32_t layout = g_SensorMemLayout[channel];
    return layout == kLayoutPh || layout == kLayoutCond ? n : n * 10;
}
