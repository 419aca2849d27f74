// The hardware hook; empty on the computer.
#include "core/fw_hook.h"

void Fw_HardwareHook(uint32_t, uint32_t) {}
