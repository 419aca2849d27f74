// The working set: the edit copies of the settings modules of the outputs, relays, set points,
// cleaning, alarm, PID and the channel set-up, which the pages change and the menu commits to the
// live settings and the store or drops; the parameter edit values; and the rules a commit applies
// across modules (relay clashes, defaults refreshed for a changed measurement).
#pragma once
#include <cstdint>

#include "digital_sensor/vdx.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "outputs/setpoint.h"

// The channel and display-line set-up being edited.
struct ChannelConfigEdit {
    MeasLineConfig lines;
    uint8_t kind[2];
    uint8_t currentChannel;
};

// Parameter edit values (parameters by number), scaled as the pages show them.
constexpr uint32_t kParamSlots = 4;
struct ParamChannelEdit {
    float stcRefTemp;      // 27
    uint8_t stcMode;       // 26
    uint8_t bufferSet;     // 21
    uint8_t tempSource;    // 5
    float calPressure;     // 22, in the channel's calibration pressure unit
    float procPressure;    // 23, in the channel's process pressure unit
    float salinity;        // 25
    float relHumidity;     // 24, in percent
    uint8_t driftControl;  // 33
    float co2Pressure;     // 37, in the channel's CO2 pressure unit
    float co2Salinity;     // 38
    float co2Bicarbonate;  // 39
    uint8_t slopeUnit;     // 29
    uint8_t offsetUnit;    // 30
    float stcCoefficient;  // 0
    float isoPoint;        // 1
    float manualTemp;      // 6
};
struct ParamEdit {
    uint8_t compMode[kParamSlots];       // 3
    float compCoefficient[kParamSlots];  // 4, in percent per degree
    uint8_t filterMode[kParamSlots];     // 20
    ParamChannelEdit channel[2];
    // Channel B.
    uint8_t inputMode;       // 47
    uint8_t inputUnit[2];    // 50, 51
    float inputRange[2];     // 48, 49, in the input units
    uint8_t pressureSource;  // 28
    uint8_t ledMode;         // 42
    uint8_t sensorFlag;      // 46
    // Channel B's sensor timers in days: the time to maintenance and the adaptive calibration
    // timer; and the optical sensor's sampling interval in seconds (53).
    float maintDays;
    float actDays;
    uint8_t samplingRate;
};

struct SettingsWorkingSet {
    RelaySettings relays;
    AoutSettings outputs;
    CleanSettings cleaning;
    SetPointSettings setPoints;
    AlarmSettings alarm;
    PidSettings pid;
    uint8_t pidHold[2];
    ChannelConfigEdit channel;
    ParamEdit params;
    uint8_t editFlags[2];
    uint8_t pageFlags[5];
    uint8_t cycleAlarmBits;  // bits 1, 2, 4: CIP, SIP, autoclave alarms offered (limit not 0)
    uint8_t sensorOptionB;
    // The measurement the PID's values were set for: a new measurement brings its defaults once,
    // and values entered for it afterwards stay.
    uint8_t pidCode;
};
extern SettingsWorkingSet g_WorkSet;
// The parameter edit values as they were copied: a commit writes back only those changed since.
extern ParamEdit g_ParamCopied;

// Copy and commit of each module's edit copy. A commit writes only a module whose edit copy
// differs from its live settings.
void Settings_CopyChannelConfig();
void Settings_CommitChannelConfig(uint32_t* status);
void Settings_CopyRelays();
void Settings_CommitRelays(uint32_t* status);
void Settings_CopyOutputs();
void Settings_CommitOutputs(uint32_t* status);
void Settings_CopySetPoints();
void Settings_CommitSetPoints(uint32_t* status);
void Settings_CopyCleaning();
void Settings_CommitCleaning(uint32_t* status);
void Settings_CopyAlarm();
void Settings_CommitAlarm(uint32_t* status);
void Settings_CopyPid();
void Settings_CommitPid(uint32_t* status);

// Relay 2 is none; a relay that one of the PID edit copy's pulse outputs uses is a clash: it is
// remembered, the clash display counter set to 80, and the result is 1.
uint32_t Settings_MarkChannelEdited(uint8_t relay);
// A relay the pages left with two users (none asked about it) keeps one: the PID's pulse outputs,
// else the alarm, the cleaning, the set points, the sensor-monitoring alarms, in that order; the
// others' relay becomes none.
void Settings_KeepOneUserPerRelay();
extern uint8_t g_RelayClash;
extern uint8_t g_RelayClashCounter;
// The measurement code of a measurement line a to d (its slot) in the edited or the live set-up
// (30 for none).
uint8_t Settings_EditLineCode(uint32_t line);
uint8_t Settings_LiveLineCode(uint32_t line);
// Defaults of a set point, an output's range and the PID for a measurement other than the one
// their edited values were set for.
void Settings_RefreshSetPointDefaults(uint32_t i);
void Settings_RefreshAllSetPoints();
void Settings_RefreshOutputRange(uint32_t output);
void Settings_RefreshOutputRanges();
void Settings_RefreshPidForKind();

// Working-set accessors of the pages.
uint8_t Settings_GetEditParam28(uint32_t channel);
void Settings_SetEditParam28(uint32_t channel, uint8_t value);
uint8_t Settings_GetEditLedMode();
void Settings_SetEditLedMode(uint8_t mode);
uint8_t Settings_GetSlopeUnit(uint32_t channel);
void Settings_SetSlopeUnit(uint32_t channel, uint8_t unit);
uint8_t Settings_GetOffsetUnit(uint32_t channel);
void Settings_SetOffsetUnit(uint32_t channel, uint8_t unit);

// The working set as at power-up.
void Settings_ResetWorkState();

// Output calibration points back to their factory values when status is 0.
void Settings_DefaultOutputCalIfOk(uint32_t* status);
