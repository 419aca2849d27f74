// What the transmitter does when channel B's digital sensor refuses a write for good (its memory
// cannot be written): the settings a save wrote into it go back to what was in use before the
// save, and at the sensor's next adoption every such setting the sensor does not hold gives way to
// the sensor's own, so that it is not written (and refused) again and again.
#pragma once
#include <cstdint>

void Vdx_ResetRefusal();
// "Save Changes" begins: the settings that reach the sensor, as they are in use now, are kept
// until the sensor has taken the save (a save it has not taken yet keeps those from before it).
void Vdx_KeepSettingsBeforeSave();
// The sensor has taken what was saved.
void Vdx_ForgetSettingsBeforeSave();
// The sensor refused a page for good: the settings kept before the save go back into use and
// into the store.
void Vdx_OnSensorRefusedWrite(uint32_t channel);
// At an adoption: true once, after the sensor refused a write (the flag is cleared either way).
bool Vdx_TakeRefusal(uint32_t channel);
// With the refusing sensor's image adopted and before its settings are synchronised: the
// intervals, the measuring polarization voltage and the pH sensor's option that it does not hold
// give way to its own.
void Vdx_YieldSettingsToSensor(uint32_t channel);
