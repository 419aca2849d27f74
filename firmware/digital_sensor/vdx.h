// Plug-and-measure of the digital sensor on channel B, and the channel configuration store with the
// layout of the measurement screen's lines (the sensor and communication messages: vdx_alarms.h).
#pragma once
#include <cstdint>

#include "digital_sensor/vdx_alarms.h"

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
// Loads the configured kinds, the selected channel and the measurement lines.
void Vdx_LoadChannelConfig(uint32_t* status);

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
// The committed settings go into the sensor's memory.
void Vdx_PushSettingsToSensor();

// The serial number of the sensor last adopted, per channel.
extern uint32_t g_SensorSecondId[2];
// Factory channel configuration (both: channel B too), stored.
void Vdx_DefaultChannelConfig(uint32_t both, uint32_t* status);
// The selected channel, the measurement lines and the selected channel's kind, stored.
void Vdx_SaveChannelConfig(uint32_t* status);
void Vdx_SaveModelNumber(uint32_t channel);
void Vdx_SaveSerialNumber(uint32_t channel);
// The channel's sensor set-up read again after a change of the configured kind.
void Vdx_ReadSensorSetup();
