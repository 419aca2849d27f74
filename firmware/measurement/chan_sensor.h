// Channel services of the digital sensor: its calibration data sets as the pages show them, the
// date of its highest temperature, and its ORP offset.
#pragma once
#include <cstdint>

// A calibration data set as the pages show it.
struct CalDataSetView {
    uint32_t reserved;
    float slope;  // pH: percent
    float zero;
    float slopeMv;  // pH: mV/pH
    float offsetMv;
    uint16_t year;
    uint8_t month;
    uint8_t day;
    uint32_t kind;
};
// 1 when data set n (or history entry n of a command-protocol sensor) is present.
uint32_t Cal_GetDataSet(uint32_t channel, uint32_t n, CalDataSetView* view);
// Its date as "YY/MM/DD".
void Cal_GetDataSetDateText(uint32_t channel, uint32_t n, char* text);
// The date of the sensor's highest temperature as "YY/MM/DD".
void Chan_FormatMaxTempDate(uint32_t channel, char* text);
float Meas_GetOrpOffset(uint32_t channel);
