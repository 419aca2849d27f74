// The one-second tasks of the menu engine: after the screen on top has seen event 10, the
// measurement screen is refreshed and the outputs, set points, relays, PID and clock take their
// periodic step.
#pragma once
#include <cstdint>

// The whole one-second block for the screen on top, after its key operation gave result; returns
// the result the engine hands on (channel B's pending plug-and-measure page replaces it).
int32_t Menu_RunSecondTasks(uint8_t top, int32_t result);
// The measurement screen was entered: "Failure - Press ENTER" is drawn anew at the next tick.
void Menu_ForgetFailureText();

void Menu_RefreshSetPointMessages();
void Menu_TickCleaning();
void Menu_TickAnalogOutputs();
void Menu_TickSetPoints();
void Menu_TickRelays();
void Menu_TickPid();
void Menu_TickClock();
// The relay test page holds the relays: the periodic relay, cleaning and PID tasks leave them
// alone from now until the settings are copied again, and the PID stops at once.
void Menu_SuspendPeriodicTasks();
// The relay test page is left: the tasks take the relays back at once, each relay as its users
// ask (a PID pulse relay at rest until the next pulse); nothing while they were not suspended.
void Menu_ResumePeriodicTasks();
// The fixed part of the one-second block, in the order it runs: the optical LED sync, output
// hold, cleaning, analog outputs, hardware hook, set points, alarm relay, relays, PID, clock,
// hardware hook. The measurement-screen refresh and the diagnostic refresh run before it, the
// message page and the sensor diagnostics after it.
typedef void (*MenuPeriodicTask)();
constexpr uint32_t kMenuPeriodicTaskCount = 11;
extern const MenuPeriodicTask g_MenuPeriodicTasks[kMenuPeriodicTaskCount];
