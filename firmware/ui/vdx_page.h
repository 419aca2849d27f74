// Digital sensor pages: identity, calibration data, timers, cycles, maximum temperature, set-up,
// calibration history and optical errors. Each is a draw operation and a key operation of the
// menu engine's screen table; rows 11 and 12 show them.
#pragma once
#include <cstdint>

// Back to power-on (tests run many starts in one process).
void VdxPage_ResetState();

// Field drawers: a value at a row and column in width characters; above its upper limit the
// field is width asterisks, below its lower limit width underscores; inside, as many decimals as
// the width allows and a "." where room is left. Return the characters drawn.
uint32_t VdxPage_DrawPercentField(uint32_t row, uint32_t column, float value, uint32_t width);
uint32_t VdxPage_DrawField110(uint32_t row, uint32_t column, float value, uint32_t width);
uint32_t VdxPage_DrawField999(uint32_t row, uint32_t column, float value, uint32_t width);
uint32_t VdxPage_DrawFieldPh(uint32_t row, uint32_t column, float value, uint32_t width);
uint32_t VdxPage_DrawFieldWide5(uint32_t row, uint32_t column, float value, uint32_t width);
uint32_t VdxPage_DrawFieldTen(uint32_t row, uint32_t column, float value, uint32_t width);
uint32_t VdxPage_DrawPercentField2(uint32_t row, uint32_t column, float value, uint32_t width);
// Six characters of the value scaled to its unit prefix, the prefix drawn 36 columns right.
uint32_t VdxPage_DrawWideField(uint32_t row, uint32_t column, float value);

// Sensor information: items 0 and 2 the type and calibration date, 1 and 3 serial and part number.
void VdxPage_DrawSensorInfo(uint32_t item);
int32_t VdxPage_SensorInfoKey(uint32_t event);

// Calibration data sets of the channel's sensor (0 "Fact" .. 5 "Cal3").
void VdxPage_OpenCalData(uint32_t set, uint32_t channel);
void VdxPage_DrawCalData();
int32_t VdxPage_CalDataKey(uint32_t event);
// The next and previous sets present, wrapping.
uint32_t VdxPage_NextCalDataSet(uint32_t set);
uint32_t VdxPage_PrevCalDataSet(uint32_t set);

// Cycle counters: 0 CIP, 1 SIP, 2 autoclave, count "of" limit.
void VdxPage_DrawCycles(uint32_t counter, uint32_t channel);

// Sensor monitoring timers: the lifetime, the time to maintenance and the adaptive calibration
// timer (each only while its alarm is on and enabled), and the operating time.
constexpr uint32_t kSensorTimerLifetime = 0;
constexpr uint32_t kSensorTimerMaint = 1;
constexpr uint32_t kSensorTimerAct = 2;
constexpr uint32_t kSensorTimerOperating = 3;
void VdxPage_DrawTimers(uint32_t channel, uint32_t item);
uint32_t VdxPage_NextTimer(uint32_t item);
uint32_t VdxPage_PrevTimer(uint32_t item);
int32_t VdxPage_TimersKey(uint32_t event);

// The highest temperature the sensor has seen, with its date.
void VdxPage_DrawMaxTemp();
int32_t VdxPage_MaxTempKey(uint32_t event);

// Cycle set-up: page 0 CIP, 1 SIP (limit and temperature), 2 autoclave (limit only); mode 1 starts
// on the leave position.
void VdxPage_DrawSetup(uint32_t page, uint32_t mode);
int32_t VdxPage_SetupKey(uint32_t event);
// Line 1 (the temperature) cannot be edited on the autoclave page.
uint32_t VdxPage_IsEditableLine(uint32_t line);

// Calibration values of a channel: the sensor's and the temperature's slope and zero.
void VdxPage_OpenCalHistory(uint32_t channel);
void VdxPage_DrawCalHistory(uint32_t channel);
int32_t VdxPage_CalHistoryKey(uint32_t event);

// The optical oxygen sensor's active errors as a list, then its spot and board temperatures.
void VdxPage_OpenOptErrors();
void VdxPage_DrawOptErrors(uint32_t item);
void VdxPage_DrawOptErrorLine(uint32_t item);
int32_t VdxPage_OptErrorsKey(uint32_t event);
