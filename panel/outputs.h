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
