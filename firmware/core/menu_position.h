// The menu engine's calibration position, as the layers below the menus read it: declared here
// for them, defined by the menu engine (ui/menu.cpp).
#pragma once
#include <cstdint>

// The position being calibrated or edited (0x100000 + channel x 0x1000 + quantity, or a special
// id such as 0x1ff020 for an analog output).
uint32_t Menu_GetPosition();
// 1 from the selection screen's choice of a new position until the measurement screen is entered.
uint32_t Menu_IsPositionPending();
