// The panel's simulated outputs without the window: the texts of the two analog output fields and
// the state of the relay indicators.
#pragma once
#include <cstdint>
#include <string>

// The current an analog output shows, as its read-only field shows it: mA with two decimals.
std::string Panel_AnalogOutputText(uint32_t output);
// A relay indicator is lit (white) where its contact is made: NO while the relay's contact is
// closed, NC while it is open; unlit it is blue.
bool Panel_RelayIndicatorLit(uint8_t relayBits, uint32_t relay, bool normallyClosed);
// Whether the panel shows a relay closed: while its contact is closed, and for one refresh after
// it closed and opened again since the last refresh (a pulse shorter than the refresh).
// lastClosings is the closing count the panel saw last; it is updated.
bool Panel_RelayShownClosed(uint8_t relayBits, uint32_t relay, uint32_t closings, uint32_t* lastClosings);
