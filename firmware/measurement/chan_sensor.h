// Channel services of the digital sensor: kind tests, whether channel B's link is busy, taking
// over a newly identified sensor and applying the calibration it holds, its calibration data sets
// as the pages show them, service actions on its counters, its record bytes and status word, and
// the channel-B settings stored for it.
#pragma once
#include <cstdint>

struct StoreMap;

// pH family (kinds 1, 2) and conductivity (3, 4).
uint32_t Chan_IsKindPh(uint32_t kind);
uint32_t Chan_IsKindConductivity(uint32_t kind);

// State of channel B's link: free, switching channel (a save under way is lost), busy reading or
// writing the sensor.
constexpr uint32_t kChanLinkFree = 0;
constexpr uint32_t kChanLinkSwitching = 1;
constexpr uint32_t kChanLinkBusy = 2;
// Chan_GetLinkState (channel.h) answers with one of these.
// The temperature element type of a channel.
uint32_t Chan_GetTempMode(uint32_t channel);

// Feature masks of a taken-over sensor: which pages, screens and alarms it offers.
extern uint32_t g_SensorFeatures[2];
// Set when the calibration held by the digital sensor is to be applied (Chan_ApplySensorCalData).
extern uint8_t g_ApplySensorCal;
// Takes over the sensor the link identified on the channel: its kind, identity, memory image or
// protocol record and features; then applies its calibration.
void Chan_ApplyNewSensor(uint32_t channel);
// Chan_ApplySensorCalData (channel.h) applies the data set the sensor uses, by its layout, once
// per request.

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
uint32_t Chan_ReadCalDataSetRaw(uint32_t channel, uint32_t n);
uint32_t Cal_GetDataSet(uint32_t channel, uint32_t n, CalDataSetView* view);
// Its date as "YY/MM/DD".
void Cal_GetDataSetDateText(uint32_t channel, uint32_t n, char* text);
// The date of the sensor's highest temperature as "YY/MM/DD".
void Chan_FormatMaxTempDate(uint32_t channel, char* text);

// Service actions on channel B's sensor: 0 restart the time to maintenance, 1 clear the CIP count,
// 2 the SIP count, 3 the autoclave count, 4 restart the lifetime indicator (with the operating
// time).
void Meas_RunSensorService(uint32_t channel, uint32_t action);

// Forwarders to the sensor's record and status.
uint32_t Meas_IsSensorMode2(uint32_t channel);
uint8_t Meas_GetSensorStatusByte(uint32_t channel);
uint32_t Meas_GetSensorStatusField(uint32_t channel, uint32_t index);
// The sensor's polarization voltage, mV.
int32_t Chan_GetSignedField(uint32_t channel);
float Meas_GetOrpOffset(uint32_t channel);

// The protocol record: bit 2 of its status (option) byte, its mode (low two bits equal 2), the
// option byte itself and the protocol type byte.
uint32_t Chan_HasStatusBit2(uint32_t channel);
uint32_t Chan_IsMode2(uint32_t channel);
uint8_t Chan_GetRecordByte(uint32_t channel);
uint8_t Chan_GetProtocolByte(uint32_t channel);
// The status word from the two big-endian words of a status reply (high half from the second).
void Chan_SetStatusWord(uint32_t channel, const uint8_t* reply);
// index 0..11: that bit; 12: bits 16 and 17 as a number 0..3; 13..16: bits 18..21; 17 and above:
// bit index + 7.
uint32_t Chan_GetStatusField(uint32_t channel, uint32_t index, uint32_t unused);

// Channel-B settings of the digital sensor: the option word (0..2) and the flag, stored when
// changed; the flag in RAM only; the factory reset of channel B; the load.
void Chan_SetBRecordWord(uint32_t channel, int16_t value, uint32_t* status);
void Chan_SetBRecordFlag(uint32_t channel, uint8_t value, uint32_t* status);
void Chan_ResetChannelB(uint32_t* status);
void Chan_LoadChannelBSettings(uint32_t channel, uint32_t mode, uint32_t* status);
extern const StoreMap g_ChanBStoreMap;

// Back to power-on: no features, nothing to apply.
void Chan_ResetSensorState();
