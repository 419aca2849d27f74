// Simulated input store: what the sensors on channels A and B measure, the world the firmware runs
// in. The panel writes it on its own thread and the firmware reads it while it decodes the sensor
// board's replies; it stands below both and includes nothing of either.
#pragma once
#include <atomic>
#include <cstdint>

// Quantities of the store (per channel).
constexpr uint32_t kSimTemperatureB = 0;    // channel B's temperature row, degrees C
constexpr uint32_t kSimElectrodeVolts = 1;  // electrode potential, V (the panel edits mV)
constexpr uint32_t kSimCondSignal = 2;      // conductivity cell resistance, ohm
constexpr uint32_t kSimSensorCurrent = 3;   // amperometric sensor current, nA
constexpr uint32_t kSimGlassImpedance = 4;  // glass electrode resistance, megaohm
constexpr uint32_t kSimRefImpedance = 5;    // reference electrode (kilohm) or pNa glass (megaohm)
constexpr uint32_t kSimElementOhm = 6;      // channel A's temperature element, ohm
constexpr uint32_t kSimPrimaryKind9 = 7;    // primary value of the optical oxygen sensor
constexpr uint32_t kSimPrimaryKind11 = 8;   // primary value of kind 11
constexpr uint32_t kSimUnused = 9;          // not kept
constexpr uint32_t kSimAnalogInput = 10;    // analog current input, mA
constexpr uint32_t kSimQuantities = 11;

// The values as float bits, [quantity][channel]: each is written and read whole without a lock.
extern std::atomic<uint32_t> g_SimInputs[kSimQuantities][2];

// Every value 0.0 again, as at power-on.
void Panel_ResetSimInputs();
// The stored value of quantity q (0..8, 10) of a channel; 0.0 for anything else.
float Panel_GetSimInput(uint32_t channel, uint32_t q);
// Stores a value: q 1 takes mV and keeps V limited to -2.5..2.5, q 10 is limited to 0..23 mA,
// q 9 and anything above 10 are ignored.
void Panel_SetSimInput(uint32_t channel, uint32_t q, float value);
// Adds a step (q 1 in mV) without limiting; 1 when q 1 or q 10 ends outside its limits, else 0.
uint32_t Panel_StepSimInput(uint32_t channel, uint32_t q, float step);
