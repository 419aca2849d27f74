// Stand-ins for modules that are not written yet (placeholders.cpp).
#pragma once

// The stand-ins' values back to power-on.
void Placeholders_ResetState();
