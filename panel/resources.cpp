// Look-up in the generated resource table.
#include "panel/resources.h"

#include <cstring>

extern "C" __attribute__((visibility("default"))) const uint8_t* Ostrel_FindResource(const char* type, uint32_t id,
                                                                                     uint32_t* size) {
    if (size != nullptr) *size = 0;
    if (type == nullptr) return nullptr;
    for (uint32_t i = 0; i < g_ResourceCount; ++i) {
        const ResourceEntry& entry = g_ResourceTable[i];
        if (entry.id != id || std::strcmp(entry.type, type) != 0) continue;
        if (size != nullptr) *size = static_cast<uint32_t>(entry.end - entry.begin);
        return entry.begin;
    }
    return nullptr;
}
