// The digital sensor's calibration history: bit-packed calibration data sets in the memory image
// (the factory calibration, the one in use, the first adjustment and the last three), the day
// count the sensors date everything with, and the image's other calibration fields (the ORP slope
// field, the polarization voltage and offset, the CO2 electrolyte values).
#pragma once
#include <cstdint>

#include "core/rtc.h"

// A calibration data set in its decoded form. What a value means depends on the sensor kind; for
// the pH family: v0 isothermal point, v4 and v8 the points' mV, v12 the mV at point 0 by the
// calibration, v16 the glass impedance in megaohm, v20 the reference impedance in kilohm (pH/pNa:
// the second glass in megaohm), v48 and v52 the points' temperatures, v60 and v64 the points'
// buffers, w72 to w76 the points' times in seconds, b82 the number of points - 1, b83 the kind
// flag, b84 the drift code.
struct CalDataSetRecord {
    float v0, v4, v8, v12, v16, v20, v24, v28, v40, v44, v48, v52, v56, v60, v64, v68;
    ClockRecord date;
    uint32_t w72;
    uint16_t w74, w76, w78, w80;
    uint8_t b82, b83, b84;
};

// Data-set indexes, as the pages name them: "Fact", "Act", "1Adj", "Cal1", "Cal2", "Cal3".
constexpr uint32_t kCalSetFactory = 0;
constexpr uint32_t kCalSetActual = 1;
constexpr uint32_t kCalSetFirstAdjust = 2;
constexpr uint32_t kCalSetCal1 = 3;
constexpr uint32_t kCalSetCal2 = 4;
constexpr uint32_t kCalSetCal3 = 5;
constexpr uint32_t kCalSetCount = 6;
// A set is handled in a buffer of this many bytes (362 bits at most).
constexpr uint32_t kCalSetBufferBytes = 46;
// Day counts: 2008-01-01 (the first valid date, and the stamp of an invalid one); a history set
// exists when its day count lies in 3653..36863.
constexpr uint32_t kSensDay2008 = 3652;
constexpr uint32_t kSensDayFirstValid = 3653;
constexpr uint32_t kSensDayLastValid = 36863;

// ---- Dates --------------------------------------------------------------------------------------
// Days since 1998-01-01 (day 0).
uint32_t SensMem_DateToDays(const ClockRecord* date);
// The date of a day count; a date that is no valid clock (years 2008..2099) becomes 2008-01-01
// 00:00:00. Hour, minute and second are 0 for a valid date too.
void SensMem_DaysToDate(uint32_t days, ClockRecord* date);
uint32_t SensMem_TimeToMinutes(const ClockRecord* date);
// Hour and minute of minutes since midnight, seconds 0 (a count of a day or more gives 00:00).
void SensMem_MinutesToTime(uint32_t minutes, ClockRecord* date);
// The code of this transmitter that every set it writes carries (from its serial text).
uint32_t SensMem_TransmitterCode();

// ---- Data sets ----------------------------------------------------------------------------------
// Encodes head and layout fields of the channel's layout into a set buffer; every value saturates
// to its field. Fields the record does not set keep what the buffer held.
void SensMem_EncodeCalDataSet(uint32_t channel, uint8_t* buffer, const CalDataSetRecord* record);
// Decodes the layout fields, then date and time.
void SensMem_DecodeCalDataSet(uint32_t channel, const uint8_t* buffer, CalDataSetRecord* record);
// Prepares an oxygen set buffer: everything ones but the head characters and serial (zeros) and
// the zero field (its middle, 8190).
void SensMem_ClearO2CalSet(uint8_t* buffer);
// 1 when set index exists: "Fact" and "Act" always, the history sets when dated.
uint32_t SensMem_HasCalDataSet(uint32_t channel, uint32_t index);
// 1 and the decoded set, or 0 for a history set that is absent (the record then holds zeros).
uint32_t SensMem_ReadCalDataSet(uint32_t channel, uint32_t index, CalDataSetRecord* record);
// The factory calibration from the fixed fields of page 1.
void SensMem_ReadFactoryCal(uint32_t channel, CalDataSetRecord* record);
// Reads the set at one descriptor row and writes it at another (committing the pages touched).
void SensMem_CopyCalDataSet(uint32_t channel, uint32_t sourceRow, uint32_t destinationRow);
// Writes a calibration into the image as the one in use and into its history.
void SensMem_StoreCalibration(uint32_t channel, const CalDataSetRecord* record);
// Writes a calibration into the image's history only.
void SensMem_StoreCalHistory(uint32_t channel, const CalDataSetRecord* record);
// An empty oxygen set over "1Adj", "Cal1", "Cal2" and "Cal3" (a maintained sensor's new start).
void SensMem_ClearCalHistory(uint32_t channel);

// ---- The ORP slope field (pH-family images) ---------------------------------------------------
// The in-use set's slope field into the ORP offset, when it holds one.
void SensMem_LoadSlope(uint32_t channel);
// The ORP offset in use into the history copy only, or into both copies.
void SensMem_StoreSlopeCopy(uint32_t channel);
void SensMem_StoreSlope(uint32_t channel);

// ---- Oxygen and CO2 fields ----------------------------------------------------------------------
// The polarization voltage the oxygen sensor asks for, mV.
int32_t SensMem_GetPolarizationVoltage(uint32_t channel);
// The polarization the transmitter applies, kept in the sensor as an offset from its own.
void SensMem_StorePolarizationOffset(uint32_t channel, int32_t millivolts);
// The measuring voltage as the sensor's offset holds it: the voltage given when the offset stands
// for it, else the voltage the offset stands for.
int32_t SensMem_HeldPolarizationVoltage(uint32_t channel, int32_t millivolts);
// The CO2 sensor's electrolyte values into the CO2 calibration (valid image only).
void SensMem_LoadCo2Params(uint32_t channel);
void SensMem_StoreCo2Salinity(uint32_t channel, float value);
void SensMem_StoreCo2Bicarbonate(uint32_t channel, float value);
