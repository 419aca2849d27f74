// Sensor memory images of the simulated digital sensor: two slots loaded from hex-text files or
// the host's resources, read and written block by block, and the command answers of sensors
// that have no memory image.
#pragma once
#include <atomic>
#include <cstdint>

constexpr uint32_t kSimImageBytes = 608;
constexpr uint32_t kSimBlockBytes = 32;
constexpr uint32_t kSimLastBlock = 18;
constexpr uint32_t kSimFileNameSize = 30;
// Sensor codes of sensors that answer commands instead of holding a memory image.
constexpr uint8_t kSimCodeCommandSensor1 = 9;
constexpr uint8_t kSimCodeCommandSensor2 = 11;

// The host's user-interface thread loads a slot while the worker reads it; the single-byte
// fields are atomics, the image bytes are guarded by the busy count after each load.
struct SimImageSlot {
    uint8_t image[kSimImageBytes];
    char fileName[kSimFileNameSize];
    std::atomic<uint8_t> sensorCode;
    std::atomic<uint8_t> present;
    std::atomic<uint8_t> busyCount;
};

extern SimImageSlot g_SimImageSlots[2];

// Loads a slot from the file (or resource) of that name; the host ignores the result.
uint32_t SimImage_Load(uint32_t slot, const char* name, uint8_t code);
// 32 bytes of slot 1 from offset (0 to 576); 0 without an image or while busy.
uint32_t SimImage_ReadBlock(uint32_t offset, uint8_t* destination);
// 32 bytes into slot 1 at offset, then written back; 0 when it cannot be.
uint32_t SimImage_WriteBlock(const uint8_t* source, uint32_t offset);
// Copies the command answer whose tag stands at request bytes 9-12, at most capacity bytes;
// returns the number copied.
uint32_t SimImage_FindRecord(const uint8_t* request, uint8_t* destination, uint32_t capacity);
