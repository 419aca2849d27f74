// The firmware's modules as a whole: every module's state back to power-on in one call, and the
// settings-store ranges each module owns. A new module adds its reset and its store map here.
#pragma once
#include <cstdint>

struct StoreMap;

// Every module's state as a fresh start of the program has it (the test rig's many starts).
void Fw_ResetModules();

// The store maps of every module that keeps settings.
extern const StoreMap* const g_FwStoreMaps[];
extern const uint32_t g_FwStoreMapCount;
