// Alarm causes and the alarm relay.
#pragma once
#include <cstdint>

// Clears both channels' cause words except the communication error.
void Alarm_ClearAllCauses();
