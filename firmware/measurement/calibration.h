// Calibration by measurement id: the stored and in-use calibration records of both channels, the
// selection that switches the sensor board into a quantity's mode, tracking of the value being
// calibrated, the reference of each point, recording points, computing, judging and saving a
// calibration, and the choices of the calibration pages the calibration follows.
#pragma once
#include <cstdint>

#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/meas.h"

struct StoreMap;

// ---- Records ----------------------------------------------------------------------------------

// The calibration settings in force, one per channel; every field is backed by the settings
// store and written there by its setter. The meaning of the first two values follows the
// channel's measuring kind.
struct SensorCalRecord {
    float first;             // pH: slope fraction; CO2: slope in mV/pH; oxygen: zero current x 1000
    float second;            // pH: zero in mV; CO2: zero point in pH; oxygen: slope
    float orpOffset;         // mV added to the ORP reading
    float cellConstant;      // conductivity
    float zeroOffset;        // conductivity
    float salinity;          // oxygen, of the medium
    float relHumidity;       // oxygen, of the calibration gas
    float calPressure;       // oxygen, mbar
    float procPressure;      // oxygen, mbar
    uint8_t pressureSource;  // oxygen: 0 edited pressure, 1 analog input
    uint8_t sensorSetting;   // channel B: the digital sensor's setting byte
    float bicarbonate;       // CO2 electrolyte
    float co2Salinity;       // CO2 electrolyte
    float co2Pressure;       // CO2, total gas pressure in mbar
    float isoPoint;          // pH
    float stcCoefficient;    // pH per degree C
    float stcRefTemp;        // degrees C
    uint8_t stcMode;         // 0 applied, 1 not applied
    uint8_t bufferSet;       // 0 to 10
    uint8_t slopeUnitFlag;   // 1 slope as mV/pH at 25 C (channel A's byte serves every channel)
    uint8_t offsetUnitFlag;  // 1 zero as mV (channel A's byte serves every channel)
    uint8_t sensorOption;    // the digital pH sensor's option
    uint8_t driftControl;    // 0 medium, 1 manual, 2 strict, 3 low
};

// The working copy a calibration fills, by measuring kind; a save copies it into the stored
// record. Every layout begins with a float, which Chan_GetCalRecordFloat0 reads for any kind.
struct CalInUsePh {
    float slope;  // fraction of 59.16 mV/pH
    float zero;   // mV
    float orpOffset;
    float pointMv[2];
    float pointTemp[2];
    float pointBuffer[2];
    float orpReference;  // mV
    uint8_t recognised[2];
};
struct CalInUseCo2 {
    float slope;  // mV/pH
    float zero;   // zero point, pH
    float pointMv[2];
    float pointTemp[2];
    float pointBuffer[2];
    float processValue;     // as entered, in its unit
    float processPressure;  // mbar of CO2
    uint8_t recognised[2];
};
struct CalInUseCond {
    float cellConstant;
    float zeroOffset;
    float pointTemp[2];
    float pointRef[2];
    float pointMeasured[2];
    float pointCompensated[2];
    float rawPoint;
};
struct CalInUseO2 {
    float calPressure;  // in use, mbar
    float zero;
    float slope;
    float pointRef[2];
    float pointCurrent[2];
    float pointTemp[2];
    uint8_t pointKind[2];
};
// Channel B's optical oxygen sensor: the values of units 19 to 25 at the calibration point.
constexpr uint32_t kCalOpticalUnitFirst = 19;
constexpr uint32_t kCalOpticalUnits = 7;
struct CalInUseOptical {
    float first;  // the calibration slope sent to the sensor
    float values[kCalOpticalUnits];
    uint32_t statuses[kCalOpticalUnits];
};

struct CalInUseRecord {
    // The value last used for calibration, written by the value reads.
    float cacheValue;
    uint32_t cacheStatus;
    union {
        CalInUsePh ph;
        CalInUseCo2 co2;
        CalInUseCond cond;
        CalInUseO2 o2;
        CalInUseOptical optical;
    };
};

extern SensorCalRecord g_SensorCal[2];
extern CalInUseRecord g_CalInUse[2];

// Refuses a setting of the records on no channel: status 2 and true; else status 0 and false.
// Inline, so that the compiler sees the bound that guards the records' index.
inline bool Cal_NoChannel(uint32_t channel, uint32_t* status) {
    *status = channel < 2 ? 0 : kStatusOver;
    return *status != 0;
}
// The same for calibration point i of the channel: there are points 0 and 1.
inline bool Cal_NoPoint(uint32_t channel, uint32_t i, uint32_t* status) {
    *status = channel < 2 && i < 2 ? 0 : kStatusOver;
    return *status != 0;
}

// The quantity being tracked for calibration and its filtered value.
struct CalTracking {
    uint32_t id;   // 0 none
    uint8_t unit;  // 255 none
    uint8_t point;
    uint8_t autoSetting;  // 1: the reference follows the recognised buffer
    float setting;
    uint32_t settingStatus;
    float value;
    uint32_t status;
};
extern CalTracking g_CalTracking;

// ---- Choices of the calibration pages -----------------------------------------------------------

// Calibration type chosen on the page: 0 one point, 1 two points, 2 process (the value is
// captured under a manual channel hold and its reference entered later).
constexpr uint8_t kCalModeOnePoint = 0;
constexpr uint8_t kCalModeTwoPoints = 1;
constexpr uint8_t kCalModeProcess = 2;
extern uint8_t g_ChosenMode;
// Option chosen on the page (slope 0 or zero point 1; for oxygen the unit selector).
extern uint8_t g_ChosenOption;
// The manual hold the selection screen places on the channel being calibrated.
struct ManualHold {
    uint8_t channel;
    uint8_t active;
    uint32_t item;
};
extern ManualHold g_ManualHold;
// Set when oxygen or channel-B settings were changed on a calibration page.
extern uint8_t g_CalSettingsEdited;
// Set when sensor parameters were saved: the calibration diagnostics are judged again.
extern uint8_t g_SensorParamSavePending;

// ---- Data sets ------------------------------------------------------------------------------------

// Kind flag and drift code of the local calibration data set.
constexpr uint8_t kCalSetKindNormal = 0;
constexpr uint8_t kCalSetKindBufferSet8 = 1;  // also every conductivity calibration
constexpr uint8_t kCalSetKindManual = 3;
constexpr uint8_t kCalDriftCodeManual = 14;
// The impedance a data set holds for an invalid reading.
constexpr float kCalSetImpedanceInvalid = 9999.0f;
// The local calibration data set of each channel: what a calibration writes into a sensor.
extern CalDataSetRecord g_CalDataSet[2];

// ---- Interfaces -----------------------------------------------------------------------------------

// Empty records, no selection, nothing tracked.
void Cal_ResetState();

// Id 0 (with channel 2) ends any selection and puts both channels back on their kinds; any other
// id switches the sensor board into the quantity's mode and selects the channel.
void Cal_SelectMeasurement(uint32_t channel, uint32_t id);
// 1 while a selection of channel 0 or 1 is active.
uint32_t Cal_IsSelectionActive();
// Presets the meter calibration's reference values for the id (0 clears them).
void Cal_RequestBoardMode(uint32_t id);

// Tracking: a point of the id is watched from Cal_BeginTracking on; the update cycle refreshes
// the tracked value with every fresh reply of its channel.
void Cal_BeginTracking(uint32_t id, uint32_t point);
void Cal_TrackValue(uint32_t id, uint32_t point);
void Cal_UpdateTrackedValue(uint32_t channel);
// The tracked value (0.0 when its status is not 0).
float Cal_GetTrackedValue(uint32_t* status);
// The live value of the id in the unit; a change of id or unit restarts the tracking filters.
float Cal_GetValueById(uint32_t id, uint32_t unit, uint32_t* status);

// The reference of a point (a buffer, a temperature, a meter value ...); 2 when not finite.
void Cal_GetSettingById(uint32_t id, uint32_t point, float* value, uint32_t* status);
// Starts the stability window with the criteria of the id and point.
void Cal_SetStabilityCriteria(uint32_t id, uint32_t point);
// Records a point with the value entered (or taken) and the unit byte of the entry.
void Cal_SetPointById(uint32_t id, uint32_t point, float value, uint32_t unit, uint32_t* status);
// Computes the calibration from the points taken. points: how many were taken (1 or 2);
// option: the page's choice (slope 0, zero point 1) for calibrations of one point.
void Cal_StepById(uint32_t id, uint32_t points, uint32_t option, uint32_t* status);
// Slope and offset of the calibration just computed, in the units the pages show.
void Cal_GetResultsById(uint32_t id, float* slope, float* offset, uint32_t* status);
// Stores the calibration locally or in the digital sensor, or asks the sensor board to.
void Cal_SaveById(uint32_t id, uint32_t* status);

// 1: a finished calibration is recorded but not put into use.
void Cal_SetCalibrateOnly(uint32_t channel, uint8_t value);
// Drift control (0 medium, 1 manual, 2 strict, 3 low), stored per channel at this offset + channel.
constexpr uint32_t kStoreDriftControl = 828;
extern const StoreMap g_CalStoreMap;
constexpr uint8_t kDriftManual = 1;
constexpr uint8_t kDriftStrict = 2;
constexpr uint8_t kDriftLow = 3;
uint8_t Cal_GetDriftControl(uint32_t channel);
void Cal_SetDriftControl(uint32_t channel, uint8_t value);
// The calibration point timer: value reads since the point began, up to 4000.
void Cal_ResetPointTimer();
void Cal_TickPointTimer();
uint16_t Cal_GetPointTimer();
// The channel's local calibration data set no longer belongs to a sensor.
void Cal_ClearDataSetSensorFlag(uint32_t channel);
