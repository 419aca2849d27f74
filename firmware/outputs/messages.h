// Message list and alarm flags.
#pragma once
#include <cstdint>

void Msg_ClearAll();
