// Stand-ins for the parts of the sensor board that are not written yet: sensor images. Each does
// the least that keeps the board answering, and goes away when its module arrives.
#include <cstring>

#include "sensor_board/sim_image.h"

// ---- Sensor images ------------------------------------------------------------------------------
// A loaded memory-image sensor reads as a blank image (every page sums to zero); sensors that
// answer commands have no image and no answers yet.
SimImageSlot g_SimImageSlots[2];
uint32_t SimImage_Load(uint32_t slot, const char* name, uint8_t code) {
    if (slot > 1 || name == nullptr) return 0;
    SimImageSlot& s = g_SimImageSlots[slot];
    s.sensorCode.store(code);
    std::strncpy(s.fileName, name, kSimFileNameSize - 1);
    s.fileName[kSimFileNameSize - 1] = '\0';
    std::memset(s.image, 0, kSimImageBytes);
    bool image = name[0] != '\0' && code != kSimCodeCommandSensor1 && code != kSimCodeCommandSensor2;
    s.present.store(image ? 1 : 0);
    return 1;
}
uint32_t SimImage_ReadBlock(uint32_t offset, uint8_t* destination) {
    const SimImageSlot& s = g_SimImageSlots[1];
    if (offset > kSimLastBlock * kSimBlockBytes || !s.present.load()) return 0;
    std::memcpy(destination, s.image + offset, kSimBlockBytes);
    return 1;
}
uint32_t SimImage_WriteBlock(const uint8_t* source, uint32_t offset) {
    SimImageSlot& s = g_SimImageSlots[1];
    if (offset > kSimLastBlock * kSimBlockBytes || !s.present.load()) return 0;
    std::memcpy(s.image + offset, source, kSimBlockBytes);
    return 1;
}
uint32_t SimImage_FindRecord(const uint8_t*, uint8_t*, uint32_t) { return 0; }

