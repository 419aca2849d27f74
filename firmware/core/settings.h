// The settings services the rest of the firmware asks for: the four dispatchers (defaults, load,
// copy and commit of every settings module, defined at the top level in settings_all.cpp) and the
// live system and sensor values the measurement, outputs and menus read (defined by the settings
// modules in firmware/settings/).
#pragma once
#include <cstdint>

struct MeasLineConfig;

// ---- Dispatchers --------------------------------------------------------------------------------
// Hardware start: the communication flag and the output mode.
void Settings_InitComm();
// The measurement store (calibrations): defaulted and marked "2w" when unmarked, then loaded.
// Status 11 when the store cannot be read or marked: the firmware cannot start.
void Settings_DefaultMeasurementStore(uint32_t* status);
void Settings_LoadMeasurementStore(uint32_t* status);
// The configuration: defaulted and marked "K2" when unmarked (mode 1 at first start, 0 from the
// reset page, which keeps the access codes and section locks), then loaded.
void Settings_DefaultAll(uint32_t mode, uint32_t* status);
void Settings_LoadAll(uint32_t* status);
// Live settings into the working set the pages edit.
void Settings_CopyAll();
// The working set into the live settings and the store (what changed); status 0 when stored.
void Settings_CommitAll(uint32_t* status, uint32_t mode);
// The working set dropped: every edit copy back to the live settings.
void Settings_DropAll();
// The PID controller may run and show its output line.
uint32_t Settings_PidMayRun();

// ---- Live system settings ----------------------------------------------------------------------------
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
// The state of a channel's digital input that holds the outputs: 0 low, 1 high, 2 never.
uint8_t Settings_GetDigitalInputHold(uint32_t channel);
// Float parameter 1 of a channel: the pH isothermal point.
float Settings_ReadParam1(uint32_t channel);
// Names of display lines 2 and 3 (index 0, 1): 8 characters and an ending zero; the offset by
// which the line's value moves right when the name is shown (0 = no name).
constexpr uint32_t kLineNameSize = 9;
void Settings_GetLineName(uint32_t index, char* text);
uint8_t Settings_GetNameOffset(uint32_t index);
// The live measuring polarization voltage of a channel, mV.
int16_t Settings_GetMeasPolVoltage(uint32_t channel);

// ---- Working set ------------------------------------------------------------------------------------------
// The channel the menus edit, and the measuring kind edited for a channel.
uint8_t Settings_GetEditChannel();
uint8_t Settings_GetEditKind(uint32_t channel);
// The edited kind of a channel, set when plug-and-measure takes over a sensor of another kind.
void Settings_SetEditKind(uint32_t channel, uint8_t kind);
// PID auto (0) or manual (1).
uint8_t Settings_GetEditPidManual();
void Settings_SetEditPidManual(uint8_t manual);
// Working copy of the measurement lines.
MeasLineConfig* Settings_GetEditMeasLines();
int16_t Settings_GetEditMeasPolVoltage(uint32_t channel);
int16_t Settings_GetEditCalPolVoltage(uint32_t channel);
