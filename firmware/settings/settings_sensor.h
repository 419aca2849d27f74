// Sensor settings modules: the polarization voltages, the pressure units, the option flag and
// parameter 41 (sensor module); the pressure unit of the CO2 pressure (pressure-unit bytes); and
// the alarm and cycle-limit settings of channel B's sensor (cycle-counter settings).
#pragma once
#include <cstdint>

struct StoreMap;

// Pressure units: the index of a stored unit byte, and the factor from mbar to the unit.
constexpr uint8_t kPressureMmHg = 0;
constexpr uint8_t kPressureKpa = 1;
constexpr uint8_t kPressureMbar = 2;
constexpr uint8_t kPressureHpa = 3;
constexpr uint8_t kPressurePsi = 4;
constexpr uint8_t kPressureUnits = 5;
// A pressure in mbar in the unit (an index above 4 reads as mbar).
float Settings_PressureFactor(uint32_t unit);

// Sensor module, per channel: polarization voltages in mV, the pressure units of parameters 22
// (calibration pressure) and 23 (process pressure); the option flag; parameter 41 of channel B;
// what a process calibration of channel B's optical sensor does; and the process stress its
// lifetime indicator allows for.
struct SensorSettings {
    int16_t measPolVoltage[2];
    int16_t calPolVoltage[2];
    uint8_t calPressureUnit[2];
    uint8_t procPressureUnit[2];
    uint8_t flag378;
    float param41;
    uint8_t procCalMode;    // kProcCalCalibration or kProcCalScaling
    uint8_t processStress;  // kProcessStressLow to kProcessStressSpecial
};
// Process calibration mode ("ProcCal ="): the process value calibrates the sensor, or only scales
// its reading.
constexpr uint8_t kProcCalCalibration = 0;
constexpr uint8_t kProcCalScaling = 1;
// Process stress ("DLI Stress Adjustment"): "Low", "Medium", "High", "Special".
constexpr uint8_t kProcessStressLow = 0;
constexpr uint8_t kProcessStressMedium = 1;
constexpr uint8_t kProcessStressSpecial = 3;
extern SensorSettings g_SensorSettings;
extern SensorSettings g_SensorEdit;
// Pressure unit of parameter 37 (the CO2 pressure), per channel.
extern uint8_t g_Co2PressureUnit[2];
extern uint8_t g_Co2PressureUnitEdit[2];

void Settings_DefaultSensor(uint32_t* status);
void Settings_LoadSensor(uint32_t* status);
void Settings_CopySensor();
void Settings_CommitSensor(uint32_t* status);
// Parameter 41 stored and passed on.
void Settings_CommitParam41(uint32_t* status);
// A measuring polarization voltage put back into use, the edit copy and the store, without
// reaching the sensor.
void Settings_PutMeasPolVoltage(uint32_t channel, int16_t millivolts, uint32_t* status);
void Settings_DefaultSensorBytes(uint32_t* status);
void Settings_LoadSensorBytes(uint32_t* status);
void Settings_CopySensorBytes();
void Settings_CommitSensorBytes(uint32_t* status);

// Cycle-counter settings of channel B's sensor: three monitoring records (lifetime, time to
// maintenance, adaptive calibration timer) and three cycle kinds (CIP, SIP, autoclave). The
// output bytes name the relay an alarm drives: 0 relay 1, 1 relay 2, 2 none.
constexpr uint32_t kMonitorRecords = 3;
constexpr uint32_t kCycleKinds = 3;
constexpr uint32_t kCycleCip = 0;
constexpr uint32_t kCycleSip = 1;
constexpr uint32_t kCycleAutoclave = 2;
struct SlotMonitor {
    uint8_t off;          // 1: the timer is not watched
    uint8_t messageOnly;  // 1: a message, no output
    uint8_t output;
};
struct SlotCycle {
    uint32_t limit;  // cycles; 0 = not counted against a limit
    uint8_t messageOnly;
    uint8_t output;
};
struct SlotSettings {
    SlotMonitor monitor[kMonitorRecords];
    SlotCycle cycle[kCycleKinds];
    uint8_t cipTempLimit;  // whole degrees C
    uint8_t sipTempLimit;
};
extern SlotSettings g_SlotSettings;
extern SlotSettings g_SlotEdit;
constexpr uint8_t kSlotCipTempFactory = 55;
constexpr uint8_t kSlotSipTempFactory = 115;

void Settings_DefaultSlots(uint32_t* status);
void Settings_LoadSlots(uint32_t* status);
void Settings_CopySlots();
// The edit copy into the live settings, stored, and the limits handed to the diagnostics.
void Settings_CommitSlots(uint32_t* status);
// Only the alarms' relays of the edit copy into the live settings and the store, for a commit
// that leaves the rest of the cycle-counter settings alone: a relay taken from an alarm stays
// taken.
void Settings_CommitSlotRelays(uint32_t* status);
// The live settings into the store.
void Settings_StoreSlots(uint32_t* status);
// The optical sensor's cycle counts into the edit copy's limits' places: CIP, SIP and, with the
// option, autoclave counts from the sensor's registers, each 254 at most (else 0).
void Settings_ReadSlotCounts(uint32_t* counts);

// Accessors of the sensor module's values.
int16_t Settings_GetEditMeasPolVoltage(uint32_t channel);
void Settings_SetEditMeasPolVoltage(uint32_t channel, int16_t millivolts);
int16_t Settings_GetEditCalPolVoltage(uint32_t channel);
void Settings_SetEditCalPolVoltage(uint32_t channel, int16_t millivolts);
uint8_t Settings_GetFlag378();

extern const StoreMap g_SensorSettingsStoreMap;
void Settings_ResetSensorState();
