// The sensor memory image: bit fields, page checksums, the page commit with its dirty bits and
// write-back request, two-piece fields and the page-write time.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/link.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/channel.h"
#include "rig_sensor.h"

namespace {
uint8_t* Page(uint32_t channel, uint32_t page) { return &g_SensorMemImage[channel][page * kSensorPageBytes]; }

void Adopt(const RigSensorIdentity& identity) {
    std::vector<uint8_t> image = RigSensor_BuildImage(identity);
    std::memcpy(g_SensorMemImage[0], image.data(), kSensorImageBytes);
    SensMem_AdoptStagingImage(1);
    g_PendingRequests = 0;
}
}  // namespace

TEST(SensMem, BitFieldsAcrossByteBoundaries) {
    const uint8_t bytes[] = {0xB4, 0x6D, 0xFF, 0x01, 0x80};
    EXPECT_EQ(SensMem_GetBits(bytes, 2, 4), 0xDu);   // bits 2..5 of 0xB4
    EXPECT_EQ(SensMem_GetBits(bytes, 6, 6), 0x36u);  // 0b10 from 0xB4, 0b1101 from 0x6D
    EXPECT_EQ(SensMem_GetBits(bytes, 0, 32), 0x01FF6DB4u);
    EXPECT_EQ(SensMem_GetBits(bytes, 39, 1), 1u);
    EXPECT_EQ(SensMem_GetU32LE(bytes), 0x01FF6DB4u);
    EXPECT_EQ(SensMem_GetU16LE(bytes + 1), 0xFF6D);

    // A copied run leaves the destination's neighbouring bits alone.
    uint8_t destination[3] = {0xFF, 0x00, 0xFF};
    SensMem_CopyBits(bytes, 2, destination, 5, 9);
    EXPECT_EQ(SensMem_GetBits(destination, 5, 9), SensMem_GetBits(bytes, 2, 9));
    EXPECT_EQ(destination[0] & 0x1F, 0x1F);
    EXPECT_EQ(destination[1] & 0xC0, 0x00);
    EXPECT_EQ(destination[2], 0xFF);

    // A written field reads back, and the bits around it keep their values.
    uint8_t field[3] = {0xFF, 0x00, 0xFF};
    SensMem_PutBits(field, 6, 12, 0xA5Cu);
    EXPECT_EQ(SensMem_GetBits(field, 6, 12), 0xA5Cu);
    EXPECT_EQ(field[0] & 0x3F, 0x3F);
    EXPECT_EQ(field[2] & 0xFC, 0xFC);

    // A run longer than 32 bits (the characters of a data set's name) takes the value's bits and
    // zeros beyond them.
    uint8_t run[14];
    std::memset(run, 0xFF, sizeof run);
    SensMem_PutBits(run, 4, 91, 0x80000001u);
    EXPECT_EQ(SensMem_GetBits(run, 4, 32), 0x80000001u);
    for (uint32_t bit = 36; bit < 95; ++bit) EXPECT_EQ(SensMem_GetBits(run, bit, 1), 0u) << bit;
    EXPECT_EQ(run[0] & 0x0F, 0x0F);
    EXPECT_EQ(run[11] & 0x80, 0x80);
}

TEST(SensMem, PageChecksumMakesThePageSumZero) {
    uint8_t page[kSensorPageBytes] = {};
    page[7] = 0x30;
    page[31] = 0x07;  // bytes 1..31 sum to 0x37
    EXPECT_EQ(SensMem_PageChecksum(page), 0xC9);
    EXPECT_EQ(SensMem_IsPageValid(page), 0u);
    page[0] = 0xC9;
    EXPECT_EQ(SensMem_IsPageValid(page), 1u);
    page[12] = 1;
    EXPECT_EQ(SensMem_IsPageValid(page), 0u);
}

TEST(SensMem, CommitMarksOnlyAnAdoptedImageForWriteBack) {
    // Not adopted: only the checksum changes; nothing is queued.
    g_SensorImageValid[1] = 0;
    g_PendingRequests = 0;
    Page(1, 12)[5] = 0x37;
    std::vector<uint8_t> before(g_SensorMemImage[1], g_SensorMemImage[1] + kSensorImageBytes);
    SensMem_CommitPage(1, 12);
    EXPECT_EQ(Page(1, 12)[0], 0xC9);
    before[12 * kSensorPageBytes] = 0xC9;
    EXPECT_EQ(std::vector<uint8_t>(g_SensorMemImage[1], g_SensorMemImage[1] + kSensorImageBytes), before);
    EXPECT_EQ(g_DirtyPages[1], 0u);
    EXPECT_EQ(g_PendingRequests, 0u);

    // Adopted: the page's bit and one write request.
    Adopt(RigSensorIdentity{});
    EXPECT_EQ(g_SensorImageValid[1], 1);
    EXPECT_EQ(g_SensorImageLoaded[1], 1);
    Page(1, 12)[9] ^= 0x55;
    SensMem_CommitPage(1, 12);
    EXPECT_EQ(SensMem_IsPageValid(Page(1, 12)), 1u);
    EXPECT_EQ(g_DirtyPages[1], 1u << 12);
    EXPECT_EQ(g_PendingRequests, 1u << kReqWritePage);
    // The pages go out lowest first, the request staying queued while pages remain.
    SensMem_CommitPage(1, 16);
    SensMem_CommitPage(1, 3);
    g_PendingRequests = 0;
    EXPECT_EQ(Link_TakeNextDirtyPage(), 3);
    EXPECT_TRUE(Link_IsRequestPending(kReqWritePage));
    EXPECT_EQ(Link_TakeNextDirtyPage(), 12);
    g_PendingRequests = 0;
    EXPECT_EQ(Link_TakeNextDirtyPage(), 16);
    EXPECT_FALSE(Link_IsRequestPending(kReqWritePage));
    // A page that does not exist is never marked.
    SensMem_CommitPage(1, 17);
    EXPECT_EQ(g_DirtyPages[1], 0u);
}

TEST(SensMem, TwoPieceFieldSkipsThePageChecksum) {
    Adopt(RigSensorIdentity{});
    // 12 bits from bit 4 of byte 60, then 20 bits from byte 65 (page 2, after its checksum).
    const SensMemField field = {4, 60, 12, 0, 65, 20};
    uint8_t value[4] = {0x21, 0x43, 0x65, 0x87};
    SensMem_WriteField(1, &field, value);
    EXPECT_EQ(SensMem_GetBits(g_SensorMemImage[1], 60 * 8 + 4, 12), 0x321u);
    EXPECT_EQ(SensMem_GetBits(g_SensorMemImage[1], 65 * 8, 20), 0x87654u);
    EXPECT_EQ(g_DirtyPages[1], (1u << 1) | (1u << 2));
    EXPECT_EQ(SensMem_IsPageValid(Page(1, 1)), 1u);
    EXPECT_EQ(SensMem_IsPageValid(Page(1, 2)), 1u);
    uint8_t back[4] = {};
    SensMem_ReadField(1, &field, back);
    EXPECT_EQ(std::memcmp(back, value, 4), 0);
    // A field reaching past the image moves nothing.
    const SensMemField outside = {0, 540, 8, 0, 541, 40};
    uint8_t untouched[6] = {1, 2, 3, 4, 5, 6};
    SensMem_ReadField(1, &outside, untouched);
    EXPECT_EQ(untouched[0], 1);
}

TEST(SensMem, PageWriteTimeByLayout) {
    g_SensorMemImage[1][484] = 20;  // 20 x 1.1 + 0.95 = 22.95
    g_SensorMemLayout[1] = kLayoutOxygen;
    EXPECT_EQ(SensMem_GetWriteTime(1), 220u);
    g_SensorMemLayout[1] = kLayoutPh;
    EXPECT_EQ(SensMem_GetWriteTime(1), 22u);
    g_SensorMemLayout[1] = kLayoutCond;
    EXPECT_EQ(SensMem_GetWriteTime(1), 22u);
    // The link waits write time x 32 / 200 + 10 ticks; a wait beyond a byte stays at 255.
    g_SensorImageValid[1] = 1;
    g_DirtyPages[1] = 1u << 4;
    g_PendingRequests = 0;
    ASSERT_EQ(Link_BuildRequest(1, kReqWritePage, 25), 1u);
    EXPECT_EQ(g_LinkBuffer.replyWait, 22 * 32 / 200 + 10);
    EXPECT_EQ(g_LinkBuffer.frame[3], 4);
    g_SensorMemImage[1][484] = 255;
    g_SensorMemLayout[1] = kLayoutOxygen;
    g_DirtyPages[1] = 1u << 16;
    ASSERT_EQ(Link_BuildRequest(1, kReqWritePage, 25), 1u);
    EXPECT_EQ(g_LinkBuffer.replyWait, 255);
    EXPECT_EQ(g_LinkBuffer.frame[3], 18);  // page 16 is the sensor's block 18
}
