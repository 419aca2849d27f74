// Sensor-board reply decoders: measurement replies into the channel's measurement record, the
// board calibration table, and the per-channel sensor-kind bookkeeping.
#pragma once
#include <cstdint>

// A fresh measurement reply was decoded; the update cycle consumes it.
extern uint32_t g_ChanValueReady[2];
// Measurement replies decoded since the channel was (re)started (kept by the link).
extern uint32_t g_MeasReplyCount[2];
// Requested and in-use sensor kind per channel: measuring kinds, 15 unusable, 255 none yet.
extern uint32_t g_SensorKindDetected[2];
extern uint32_t g_SensorKindActive[2];
// Channel B's reply layout: 0 pH family, 1 oxygen family, 2 conductivity, 4 command protocol, 5 none.
extern uint32_t g_SensorMemLayout[2];

// Each decoder takes the reply payload (channel B's from its fifth byte) and returns 1.
uint32_t Meas_DecodeChannelAReply(uint32_t channel, const uint8_t* payload);
void Meas_DecodeTemperatureInput(uint32_t channel, const uint8_t* payload);
uint32_t Meas_DecodePhReply(uint32_t channel, const uint8_t* payload);
uint32_t Meas_DecodeOxygenReply(uint32_t channel, const uint8_t* payload);
uint32_t Meas_DecodeCondReply(uint32_t channel, const uint8_t* payload);
uint32_t Meas_DecodeBoardCalTable(uint32_t channel, const uint8_t* payload);

// Sensor-kind bookkeeping.
void Chan_SetKind(uint32_t channel, uint32_t kind);
void Chan_ForceKind(uint32_t channel, uint32_t kind);
