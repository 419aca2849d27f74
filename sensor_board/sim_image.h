// Sensor memory images of the simulated digital sensor: two slots loaded from hex-text files or
// from the host program's TEXT resources, read and written block by block, and the command
// answers of sensors that have no memory image (record lists).
#pragma once
#include <atomic>
#include <cstdint>

constexpr uint32_t kSimImageBytes = 608;
constexpr uint32_t kSimBlockBytes = 32;
constexpr uint32_t kSimLastBlock = 18;
// Fewer numbers than this are no memory image.
constexpr uint32_t kSimImageMinBytes = 512;
constexpr uint32_t kSimFileNameSize = 30;
constexpr uint8_t kSimBusyAfterLoad = 3;
// Sensor codes of sensors that answer commands instead of holding a memory image.
constexpr uint8_t kSimCodeCommandSensor1 = 9;
constexpr uint8_t kSimCodeCommandSensor2 = 11;
// The record-search line buffer.
constexpr uint32_t kSimLineBytes = 1024;
constexpr uint32_t kSimResourceCount = 15;
constexpr uint32_t kSimResourceFirstId = 17125;

// The host's user-interface thread loads a slot while the worker reads and writes it: a lock
// guards the image and the name; the single-byte fields are atomics so the status request may
// look at them without it.
constexpr uint32_t kSimPathSize = 260 + kSimFileNameSize;

struct SimImageSlot {
    uint8_t image[kSimImageBytes];
    char fileName[kSimFileNameSize];
    // File mode: where the file was found (the name itself, or the program's folder and the name).
    char path[kSimPathSize];
    std::atomic<uint8_t> sensorCode;
    std::atomic<uint8_t> present;
    std::atomic<uint8_t> busyCount;
};

extern SimImageSlot g_SimImageSlots[2];

// Both slots empty (no image, no name, code 0).
void SimImage_Reset();
// Builds the table from file name to resource id (once, at library load; again does no harm).
void SimImage_InitResourceIds();
// The resource id of a file name (its base name after the last folder separator), 0 if none.
uint32_t SimImage_ResourceIdOf(const char* name);
// Loads a slot (0 or 1) from the file or resource of that name and the sensor code. In file mode
// a bare name is looked for in the working folder, then in the program's folder (the folder of
// the settings store, where the library stands when it reads files). 1 when the
// slot was set (with or without an image, as the rules say), 0 when the name or its content is
// refused (no resource, a text that is not a memory image, pages whose sums are not zero).
uint32_t SimImage_Load(uint32_t slot, const char* name, uint8_t code);
// Removes what a write-back killed on its way left beside a sensor file: "<file>.tmp" of each
// sensor file the host can choose (and of the one slot 1 holds), in the working folder and in the
// program's folder. Only files go; a folder of such a name stays.
void SimImage_DropLeftovers();
// 32 bytes of slot 1 from offset (0 to 576); 0 without an image, while busy or out of range.
uint32_t SimImage_ReadBlock(uint32_t offset, uint8_t* destination);
// 32 bytes into slot 1 at offset, then its file (file mode) replaced whole by the image; 0 when
// refused or the file could not be replaced (it keeps the old image then).
uint32_t SimImage_WriteBlock(const uint8_t* source, uint32_t offset);
// Copies the record of slot 1's list whose tag stands at request bytes 9-12 into destination;
// the number of bytes copied (0: none, or busy), or -1 for a record longer than capacity.
int32_t SimImage_FindRecord(const uint8_t* request, uint8_t* destination, uint32_t capacity);
// Single-file mode: the TEXT resource of a file name and its size; nullptr when there is none.
const uint8_t* SimImage_LoadResource(const char* name, uint32_t* size);
// Reads hexadecimal byte values (one or two digits each, separated by white space) from text of
// that size into at most 608 bytes; the number read. *bad is set when a token is not such a
// value before 608 were read.
uint32_t SimImage_ParseHex(const uint8_t* text, uint32_t size, uint8_t* bytes, bool* bad);
