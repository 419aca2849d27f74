// Settings modules: defaults, load, copy and commit of every module, run by the dispatchers, and
// the system settings and working-set values the menus read.
#pragma once
#include <cstdint>

struct MeasLineConfig;

void Settings_InitComm();
void Settings_LoadMeasurementStore(uint32_t* status);
void Settings_LoadAll(uint32_t* status);
// mode 1 at first start, 0 from the reset page (keeps the access codes and section locks).
void Settings_DefaultAll(uint32_t mode, uint32_t* status);
// Live settings into the working set the pages edit.
void Settings_CopyAll();
// The working set into the live settings and the store.
void Settings_CommitAll(uint32_t* status, uint32_t mode);
// The PID controller may run and show its output line.
uint32_t Settings_PidMayRun();

// System settings (live values).
// Menu lockout: 0 on, 1 off.
uint8_t Settings_GetLockout();
// Lock byte of a menu section: 0 the CAL key, 1 quick setup, 2 configuration, 3 system,
// 4 PID setup, 5 service.
uint8_t Settings_GetSectionLock(uint32_t section);
// Error display: 1 = the measurement screen offers the message list.
uint8_t Settings_GetErrorDisplay();
// Hold outputs during a calibration, as the menus ask it: 0 yes, 1 no (from g_HoldOnChange).
uint8_t Settings_GetHoldOutputs();
// Hold switch of the "Hold Outputs?" page (store 1293): 1 ("Yes") holds the outputs, 0 does not.
extern uint8_t g_HoldOnChange;
void Settings_LoadHoldFlag(uint32_t* status);
void Settings_SaveHoldFlag(uint32_t* status);
// The hold switch and digital-input states as at power-up (off, never).
void Settings_ResetHoldSettings();
// The state of a channel's digital input that holds the outputs: 0 low, 1 high, 2 never.
uint8_t Settings_GetDigitalInputHold(uint32_t channel);
// Float parameter 1 of a channel: the pH isothermal point.
float Settings_ReadParam1(uint32_t channel);
// Names of display lines 2 and 3 (index 0, 1): 8 characters and an ending zero; the offset by
// which the line's value moves right when the name is shown (0 = no name).
constexpr uint32_t kLineNameSize = 9;
void Settings_GetLineName(uint32_t index, char* text);
uint8_t Settings_GetNameOffset(uint32_t index);

// Working set.
// The channel the menus edit, and the measuring kind edited for a channel.
uint8_t Settings_GetEditChannel();
uint8_t Settings_GetEditKind(uint32_t channel);
// PID auto (0) or manual (1).
uint8_t Settings_GetEditPidManual();
void Settings_SetEditPidManual(uint8_t manual);
// Working copy of the measurement lines.
MeasLineConfig* Settings_GetEditMeasLines();
int16_t Settings_GetEditMeasPolVoltage(uint32_t channel);
// The live measuring polarization voltage of a channel, mV.
int16_t Settings_GetMeasPolVoltage(uint32_t channel);
int16_t Settings_GetEditCalPolVoltage(uint32_t channel);
// The optical sensor's LED mode in the working set (parameter 42), and the option flag at 378.
uint32_t Settings_GetEditLedMode();
uint8_t Settings_GetFlag378();
// The working set's kind of a channel; changed when a sensor of another kind is taken over.
void Settings_SetEditKind(uint32_t channel, uint8_t kind);
// Cycle-counter settings: live values into the working set; a command-protocol sensor's counts.
void Settings_CopySlots();
void Settings_ReadSlotCounts();
// The sensor module: polarization voltages of the working set, and its commit.
void Settings_SetEditMeasPolVoltage(uint32_t channel, int16_t millivolts);
void Settings_SetEditCalPolVoltage(uint32_t channel, int16_t millivolts);
void Settings_CommitSensor(uint32_t* status);
// Parameter 41 of channel B stored and passed on.
void Settings_CommitParam41(float value, uint32_t* status);
