// Output hold: the hold word that holds the relays, the analog outputs and the PID controller
// while a digital input, cleaning, a timed hold or the configuration asks for it, and the two
// digital inputs.
#pragma once
#include <atomic>
#include <cstdint>

// 1 while the outputs are held.
extern uint32_t g_OutputHold;
// 1 while the timed hold runs (a calibration's channel change; software timer 14 ends it).
extern uint8_t g_TimedHold;
// The two digital inputs DIn1 and DIn2 (0 low, 1 high), set by the front panel.
extern std::atomic<uint8_t> g_DigitalInputs[2];

// No hold, inputs low, as at power-up.
void Hold_ResetState();
// Once a second, first of the output tasks: the hold word from its causes.
void Hold_Update();
// The shown channel's digital input stands in the state that holds the outputs.
uint32_t Hold_IsDigitalInputActive();
// 1 while the digital input of that channel (0 DIn1, 1 DIn2) is high.
uint32_t Hold_ReadDigitalInput(uint32_t channel);
// "Please wait..." on row 12 while a save runs; marks the sensor save as under way.
void Hold_ShowPleaseWait();
// Before an oxygen calibration: the channel goes to its calibration polarization voltage, with the
// outputs held for the sensor to settle; the event that follows (the countdown, or 4157 when the
// voltages are equal or the calibration does not need it).
uint32_t Hold_ApplyChannelChange();
