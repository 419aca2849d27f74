// Stand-ins for modules that are not written yet (placeholders.cpp).
#pragma once

struct StoreMap;

// The stand-ins' values back to power-on.
void Placeholders_ResetState();
// The store ranges of the system settings the output hold reads (the hold switch and the
// digital-input states), kept here until the settings module arrives.
extern const StoreMap g_HoldSettingsStoreMap;
