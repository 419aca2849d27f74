// The library's nine exports, by their undecorated names. Only these leave the library; every
// other name stays inside it, so the host's own functions of the same names never meet these.
#include <cstdint>

#include "sensor_board/brannic.h"

#define BRANNIC_EXPORT extern "C" __attribute__((visibility("default")))

BRANNIC_EXPORT uintptr_t Slave_Start_Handle() { return Brannic_StartHandle(); }
BRANNIC_EXPORT int Slave_SetTedsFileName(int slot, const char* name, int code) {
    return Brannic_SetTedsFileName(slot, name, code);
}
BRANNIC_EXPORT uint8_t Main_SetSlaveRxData(int byte) { return Brannic_SetSlaveRxData(byte); }
BRANNIC_EXPORT uint8_t Main_GetSlaveTxFlag() { return Brannic_GetSlaveTxFlag(); }
BRANNIC_EXPORT uint8_t Main_GetSlaveTxCount() { return Brannic_GetSlaveTxCount(); }
BRANNIC_EXPORT int Main_GetSlaveTxData(int unused) { return Brannic_GetSlaveTxData(unused); }
BRANNIC_EXPORT int SetEEPROMBinFilePath(const char* folder) { return Brannic_SetEEPROMBinFilePath(folder); }
BRANNIC_EXPORT uint32_t SetSFXFlag(uint32_t flag) { return Brannic_SetSFXFlag(flag); }
BRANNIC_EXPORT int SetDLLFilePath(const char* folder) { return Brannic_SetDLLFilePath(folder); }
