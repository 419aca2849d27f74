// Plug-and-measure of the digital sensor on channel B, the sensor and communication messages, and the channel configuration store with the layout of
// the measurement screen's lines.
#pragma once
#include <cstdint>

// Set per channel when a sensor has been read and waits to be taken over.
extern uint8_t g_SensorPlugged[2];

// The four measurement slots a to d and which slot each display line shows.
struct MeasLineConfig {
    uint8_t channel[4];
    uint8_t kind[4];        // measurement kind (unit code); 30 = no measurement
    uint8_t prefix[4];      // unit prefix, 10 = none
    uint8_t lineSlot[4];    // slot shown on display line 0..3
    uint8_t resolution[4];  // decimals 0..3, 4 and above automatic
};
extern MeasLineConfig g_MeasLines;

void Vdx_InitPlugMachine();
void Vdx_ReportAutoclaveSave();
void Vdx_RaiseWrongSensor(uint32_t channel);
void Vdx_ClearWrongSensor(uint32_t channel);
// Raises (1) or clears (0) channel B's "Disconnected" state.
void Vdx_UpdateDisconnectedB(uint32_t on);
// Loads the configured kinds, the selected channel and the measurement lines.
void Vdx_LoadChannelConfig(uint32_t* status);
// Message 100 "Communication Error" with its alarm, and its end.
void Vdx_RaiseCommError();
void Vdx_ClearCommError();

// Plug-and-measure state: even states 2..26 for channel B's screens, 29 idle, 30 pending.
uint8_t Vdx_GetPlugState();
void Vdx_SetPlugState(uint8_t state);
// The state whose screen was drawn last.
uint8_t Vdx_GetPreviousPlugState();
// Makes a state the target of channel A's plug-and-measure.
void Vdx_SetPlugTarget(uint8_t state);
// The choose request: the next step chooses the target and resumes; returns 1 once when set.
uint8_t Vdx_TakeChooseRequest();
void Vdx_SetChooseRequest();
void Vdx_ChoosePlugState(uint32_t channel);
void Vdx_ResumePlugState();
// 4166 while a question waits for its answer, else -1.
int32_t Vdx_StepPlugMachine();
// 4169 (Yes), 4170 (No) or -1.
int32_t Vdx_PlugYesNoKey(uint32_t event);
void Vdx_OnPlugTimer();
// 172 while a plug is pending, else -1.
int32_t Vdx_GetPendingPlugPage();
void Vdx_RaiseSetDateAlarm();
void Vdx_ClearSetDateAlarm();
void Vdx_ClearDisconnected(uint32_t channel);
// The committed settings go into the sensor's memory.
void Vdx_PushSettingsToSensor();
