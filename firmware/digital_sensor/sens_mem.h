// The digital sensor's memory image: 17 pages of 32 bytes per channel, read and written back page
// by page over the sensor-board link.
#pragma once
#include <cstdint>

constexpr uint32_t kSensorPageBytes = 32;
constexpr uint32_t kSensorImagePages = 17;
constexpr uint32_t kSensorImageBytes = kSensorPageBytes * kSensorImagePages;

// Channel 0's image doubles as the staging image of a newly read sensor.
extern uint8_t g_SensorMemImage[2][kSensorImageBytes];
// 1 once the channel's image holds an adopted sensor.
extern uint8_t g_SensorImageValid[2];

// The sensor's page-write time factor (sets the link's time-out for a page write).
uint32_t SensMem_GetWriteTime(uint32_t channel);
