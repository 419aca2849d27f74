// The sensor commands' payloads: the builders of the writing commands' requests and the handlers
// of the reading commands' answers (all numbers big-endian).
#pragma once
#include <cstdint>

// Request payloads.
void SensCmd_BuildS137(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS112CalData(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS126(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS127ResetEvent(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS131(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS133(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS134RegisterWrite(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS136DateTime(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS139CycleTemps(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS510(uint32_t channel, uint8_t* payload);
void SensCmd_BuildS540(uint32_t channel, uint8_t* payload);

// Answer payloads; each returns 1.
uint32_t SensCmd_OnG100Measurement(uint32_t channel, const uint8_t* payload);
uint32_t SensCmd_OnG113CalData(uint32_t channel, const uint8_t* payload);
uint32_t SensCmd_OnIdentification(uint32_t channel, const uint8_t* payload);
uint32_t SensCmd_OnG129(uint32_t channel, const uint8_t* payload);
uint32_t SensCmd_OnG131(uint32_t channel, const uint8_t* payload);
uint32_t SensCmd_OnG132CalHistory(uint32_t channel, const uint8_t* payload);
uint32_t SensCmd_OnG133(uint32_t channel, const uint8_t* payload);
uint32_t SensCmd_OnG134Registers(uint32_t channel, const uint8_t* payload);
uint32_t SensCmd_OnG139CycleTemps(uint32_t channel, const uint8_t* payload);
uint32_t SensCmd_OnG540(uint32_t channel, const uint8_t* payload);
