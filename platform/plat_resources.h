// Resources carried inside the program file: the sensor-board library image and the sensor
// memory-image texts, found by type and number the way the instrument's tools number them.
#pragma once
#include <cstdint>

// Resource types.
constexpr const char kResourceTypeData[] = "RCDATA";  // binary data: the library image
constexpr const char kResourceTypeText[] = "TEXT";    // sensor memory-image texts
constexpr uint32_t kResourceLibraryImage = 140;

// The one function the program exports for this; the sensor-board library looks it up by name.
constexpr const char kResourceExportName[] = "Ostrel_FindResource";
typedef const uint8_t* (*ResourceFinder)(const char* type, uint32_t id, uint32_t* size);

// The bytes of resource (type, id) of the running program and their count; nullptr (size 0)
// when the program carries no such resource or exports no finder. The bytes stay valid for the
// life of the process and are not to be freed.
const uint8_t* Plat_FindResource(const char* type, uint32_t id, uint32_t* size);
