// PID pulse outputs: the controller's output turned into pulses on a relay, as a duty cycle in a
// fixed period or as a pulse frequency with a fixed on-time, driven on every 20-ms tick.
//
// Two threads share the pulse state. The control step (firmware thread) writes the computed
// period, on- and off-ticks, relay and type under the write lock; the tick (timer thread) copies
// them into the running cycle only at a cycle's edge and only when it finds them unlocked and
// unchanged across its copy. Everything else the firmware thread wants from the pulses (hold,
// stop, release of a relay) it posts as a request that the tick carries out, so only the tick
// switches the pulse relays.
#pragma once
#include <cstdint>

// Software timer 5 drives the pulses every tick.
constexpr int kTimerPid = 5;
// Ticks (1/50 s) a pulse is on in frequency mode and in a new length period.
constexpr uint32_t kPidPulseOnTicks = 12;
// Pulse phases.
constexpr uint8_t kPidPhaseIdle = 0;
constexpr uint8_t kPidPhaseOn = 1;
constexpr uint8_t kPidPhaseOff = 2;

// Idle pulses, no request, nothing locked, as at power-up.
void Pid_ResetPulseState();

// The write lock: held while the step changes the computed values below.
void Pid_LockPulses();
void Pid_UnlockPulses();
uint32_t Pid_IsWriteLocked();

// Computed values (call under the write lock). Pulses per second: below 0.01 no pulses, else
// limited to 3.5 and the period in whole ticks nearest to it.
void Pid_SetPulseFrequency(float perSecond);
// Period in seconds, limited to 1 to 600, in whole ticks nearest to it.
void Pid_SetPulseLength(float seconds);
// On-ticks as a fraction of the period.
void Pid_SetPulseDuty(float fraction);
// No pulses: on 0, off the whole period.
void Pid_StopPulses();
void Pid_SetRequestedRelay(uint8_t relay);
void Pid_SetRequestedType(uint8_t type);

// The relays assigned to the positive and negative output (for the stop and for keeping the
// relay not in use inactive).
void Pid_SetAssignedRelays(uint8_t positive, uint8_t negative);

// Requests carried out by the next tick.
// Hold: the pulses stop where they are (phase idle); with release the relay in use goes inactive.
void Pid_InitPulseOutputs(uint32_t release);
// The pulses freeze where they are until the hold is released.
void Pid_HoldPulses();
void Pid_ReleasePulseHold();
uint32_t Pid_IsPulseHeld();
// Both pulse relays inactive, no relay in use, phase idle; with stopTimer timer 5 stops after.
void Pid_RequestPulseStop(uint32_t stopTimer);
// Phase idle, counters 0; no relay is touched.
void Pid_RequestPulsesIdle();
// A stop of the timer still waiting is dropped (the timer is being started again).
void Pid_CancelTimerStop();

// Callback of timer 5: the requests, then the pulses while the controller is active.
void Pid_TimerTick();
// One tick of the pulse cycle.
void Pid_DrivePulseOutputs();

// Computed and running values, for the pages and tests.
uint32_t Pid_GetPulsePeriod();
uint32_t Pid_GetPulseOnTicks();
uint32_t Pid_GetPulseOffTicks();
uint8_t Pid_GetRequestedRelay();
uint8_t Pid_GetRequestedType();
uint8_t Pid_GetPulsePhase();
uint8_t Pid_GetRelayInUse();
