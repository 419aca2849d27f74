// Electrode diagnostics evaluation: the sensor board's diagnostic status codes of an analog
// channel's electrodes (glass, reference and pNa glass resistance, dry and shorted conductivity
// cells, cell deviation, low electrolyte) turned into messages, alarm flags and alarm causes; and
// the three resistance pages.
#pragma once
#include <cstdint>

// Check codes of the diagnostic status service.
constexpr uint32_t kDiagGlassRes = 18;
constexpr uint32_t kDiagRefRes = 19;
constexpr uint32_t kDiagPnaGlassRes = 20;
constexpr uint32_t kDiagCondState = 200;
constexpr uint32_t kDiagCellDeviation = 201;
constexpr uint32_t kDiagElectrolyte = 202;
// Status values: nothing to report (0, and 5 for a check that does not apply), errors above the
// upper and below the lower limit, the two warning directions of the glass and reference
// electrodes.
constexpr uint32_t kDiagOk = 0;
constexpr uint32_t kDiagNotApplicable = 5;
constexpr uint32_t kDiagAbove = 2;
constexpr uint32_t kDiagBelow = 3;
constexpr uint32_t kDiagGlassWarnLow = 71;
constexpr uint32_t kDiagGlassWarnHigh = 72;
constexpr uint32_t kDiagRefWarnLow = 81;
constexpr uint32_t kDiagRefWarnHigh = 82;

// Alarm flags and causes of the checks (the glass and reference flags are the alarm module's).
constexpr uint32_t kAlarmFlagCellDeviation = 13;
constexpr uint32_t kAlarmFlagDryCond = 14;
constexpr uint32_t kAlarmFlagCellShorted = 15;
constexpr uint32_t kAlarmFlagElectrolyte = 22;
constexpr uint32_t kAlarmFlagPnaGlassRes = 24;
constexpr uint32_t kAlarmCauseGlassRes = 3;
constexpr uint32_t kAlarmCauseRefRes = 4;
constexpr uint32_t kAlarmCauseDryCond = 5;
constexpr uint32_t kAlarmCauseCellShorted = 6;
constexpr uint32_t kAlarmCauseCellDeviation = 7;
constexpr uint32_t kAlarmCauseElectrolyte = 8;
constexpr uint32_t kAlarmCausePnaGlassRes = 10;

// Where the evaluators read a check's status: (channel, check code) -> status. The diagnostic
// status service by default; tests put their own in its place.
typedef uint32_t (*SensorAlarmStatusSource)(uint32_t channel, uint32_t code);
void SensorAlarm_SetStatusSource(SensorAlarmStatusSource source);
// The default source back, as at power-up.
void SensorAlarm_ResetState();

void SensorAlarm_EvalGlassRes(uint32_t channel);
void SensorAlarm_EvalRefRes(uint32_t channel);
void SensorAlarm_EvalPnaGlassRes(uint32_t channel);
void SensorAlarm_EvalDryCond(uint32_t channel);
void SensorAlarm_EvalCellShorted(uint32_t channel);
void SensorAlarm_EvalCellDeviation(uint32_t channel);
void SensorAlarm_EvalElectrolyteLow(uint32_t channel);
// which 0 = glass (with the pNa glass), 1 = reference: messages, cause and flag cleared.
void SensorAlarm_ClearAll(uint32_t which, uint32_t channel);
void SensorAlarm_ClearDryCond(uint32_t channel);
void SensorAlarm_ClearCellShorted(uint32_t channel);
void SensorAlarm_ClearCellDeviation(uint32_t channel);
void SensorAlarm_ClearElectrolyteLow(uint32_t channel);
// The resistance pages on row 12: channel letter, label, value and unit.
void SensorAlarm_DrawGlassResPage(uint32_t channel);
void SensorAlarm_DrawPnaGlassResPage(uint32_t channel);
void SensorAlarm_DrawRefResPage(uint32_t channel);
