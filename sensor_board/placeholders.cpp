// Stand-ins for the parts of the sensor board that are not written yet: sensor images, the
// parameter file, the calibration store and the measurement state. Each does the least that keeps
// the board answering, and goes away when its module arrives.
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/plat.h"
#include "sensor_board/sim_cal.h"
#include "sensor_board/sim_eeprom.h"
#include "sensor_board/sim_image.h"
#include "sensor_board/sim_meas.h"

// ---- Sensor images ------------------------------------------------------------------------------
// A loaded memory-image sensor reads as a blank image (every page sums to zero); a sensor that
// answers commands answers from the record list in its file.
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
// The record whose header line "%TTTT%DDD%" names the request's tag (request bytes 9 to 12):
// its DDD hexadecimal bytes, read across the following lines.
uint32_t SimImage_FindRecord(const uint8_t* request, uint8_t* destination, uint32_t capacity) {
    PlatFile* file = Plat_FileOpen(g_SimImageSlots[1].fileName, "r");
    if (file == nullptr) return 0;
    char line[1024];
    uint32_t copied = 0;
    while (Plat_FileGetLine(file, line, sizeof line)) {
        if (line[0] != '%' || std::strlen(line) < 9 || std::memcmp(line + 1, request + 9, 4) != 0) continue;
        if (line[5] != '%') break;
        uint32_t length = 0;
        for (int i = 6; i < 9 && std::isdigit(static_cast<unsigned char>(line[i])); ++i) length = length * 10 + (line[i] - '0');
        while (copied < length && Plat_FileGetLine(file, line, sizeof line)) {
            char* at = line;
            for (;;) {
                char* end = nullptr;
                unsigned long value = std::strtoul(at, &end, 16);
                if (end == at || copied >= length) break;
                if (copied < capacity) destination[copied] = static_cast<uint8_t>(value);
                ++copied;
                at = end;
            }
        }
        break;
    }
    Plat_FileClose(file);
    return copied < capacity ? copied : capacity;
}

// ---- Parameter file -----------------------------------------------------------------------------
void SimEeprom_Open() {}
void SimEeprom_WriteBytes(uint32_t* status, const uint8_t*, uint32_t, uint32_t) { *status = 10; }
uint32_t SimEeprom_RawWrite(const uint8_t*) { return 0; }
int32_t SimEeprom_RawRead(const uint8_t*, uint8_t*, uint32_t) { return -1; }

// ---- Calibration store --------------------------------------------------------------------------
uint32_t SimCal_SetPoint(uint8_t, uint8_t, float) { return 1; }
uint32_t SimCal_Save(uint8_t, uint8_t) { return 1; }
void SimCal_RestoreAllFactory() {}
void SimCal_WriteAllDefaults() {}
void SimCal_LoadAll() {}
void SimCal_CheckMarker(uint32_t* status) { *status = 0; }
uint32_t SimCal_ReadTable(uint8_t* payload) {
    std::memset(payload, 0, 108);
    return 1;
}

// ---- Measurement state --------------------------------------------------------------------------
uint32_t SimMeas_SetKind(uint8_t, uint8_t) { return 1; }
uint32_t SimMeas_SetRangeMode(uint8_t) { return 1; }
uint32_t SimMeas_SetGainMode(uint8_t) { return 1; }
void SimMeas_SetSetValue(float) {}
uint32_t SimMeas_GetRecord(uint8_t*) { return 1; }
float SimMeas_GetInputCurrent() { return 0.0f; }
void SimMeas_ResetRings() {}
void SimMeas_RunStep() {}
