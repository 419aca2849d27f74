// Plug-and-measure of the digital sensor on channel B: the decision what a plugged sensor is (the
// known one, a new one of the configured kind, another kind, none), its screens on rows 11 and 12
// with their Yes/No questions, the take-over of a new sensor and the settings exchanged with it.
// (The channel configuration: vdx_config.h; the sensor and communication messages: vdx_alarms.h.)
#pragma once
#include <cstdint>

#include "digital_sensor/vdx_alarms.h"
#include "digital_sensor/vdx_config.h"

// Set per channel when a sensor has been read and waits to be taken over.
extern uint8_t g_SensorPlugged[2];

// Plug-and-measure states: even states 2..26 for channel B's screens, 29 idle, 30 pending.
constexpr uint8_t kPlugChangeKind = 2;
constexpr uint8_t kPlugResume = 4;
constexpr uint8_t kPlugUnknown = 6;
constexpr uint8_t kPlugNoSensor = 8;
constexpr uint8_t kPlugNotAutoConfigured = 10;
constexpr uint8_t kPlugLoadNewKind = 12;
constexpr uint8_t kPlugRemoveRefused = 14;
constexpr uint8_t kPlugLoadNew = 16;
constexpr uint8_t kPlugNewSerial = 18;
constexpr uint8_t kPlugChangeModel = 20;
constexpr uint8_t kPlugAutoclave = 22;
constexpr uint8_t kPlugLoadNewModel = 24;
constexpr uint8_t kPlugRemoveModel = 26;
constexpr uint8_t kPlugIdle = 29;
constexpr uint8_t kPlugPending = 30;
// Software timer 15 ends the information screens (seconds).
constexpr int kTimerPlug = 15;

// Idle, nothing pending.
void Vdx_ResetPlug();
void Vdx_InitPlugMachine();
// After "Yes" to the autoclave question: the counter's write is waited for.
void Vdx_BeginAutoclaveWait();
// Ends the autoclave counter's write by the channel's link state.
void Vdx_ReportAutoclaveSave();

uint8_t Vdx_GetPlugState();
void Vdx_SetPlugState(uint8_t state);
// The state whose screen was drawn last.
uint8_t Vdx_GetPreviousPlugState();
// Makes a state the target of channel A's plug-and-measure.
void Vdx_SetPlugTarget(uint8_t state);
// The target chosen for a channel.
uint8_t Vdx_GetPlugTarget(uint32_t channel);
// The choose request: the next step chooses the target and resumes; returns 1 once when set.
uint8_t Vdx_TakeChooseRequest();
void Vdx_SetChooseRequest();
// While a plug is pending: the channel's target by the sensor and the stored configuration.
void Vdx_ChoosePlugState(uint32_t channel);
void Vdx_ResumePlugState();
// Draws and acts on a new state; 4166 while a question waits for its answer, else -1.
int32_t Vdx_StepPlugMachine();
// UP and INFO toggle the answer; ENTER gives 4169 (Yes) or 4170 (No); else -1.
int32_t Vdx_PlugYesNoKey(uint32_t event);
// The step when timer 15 has run out.
void Vdx_OnPlugTimer();
// 172 while a plug is pending, else -1.
int32_t Vdx_GetPendingPlugPage();

// ---- Take-over --------------------------------------------------------------------------------
void Vdx_ApplyNewSensor(uint32_t channel);
void Vdx_ReadSensorSetup();
void Vdx_ReadOptParam41(uint32_t channel);
void Vdx_WriteOptParam45(uint32_t channel);
void Vdx_ApplyPolarization(uint32_t channel, uint32_t kind);
void Vdx_ResendPolarization(uint32_t channel, uint32_t kind);
// The transmitter's settings into a known sensor; a new sensor's settings into the transmitter.
void Vdx_PushSettingsToSensor();
void Vdx_AdoptSensorSettings(uint32_t channel);
