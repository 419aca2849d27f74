// Settings modules: defaults, load, copy and commit of every module, run by the dispatchers.
#pragma once
#include <cstdint>

void Settings_InitComm();
void Settings_LoadMeasurementStore(uint32_t* status);
void Settings_LoadAll(uint32_t* status);
