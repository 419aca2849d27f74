// Channel and sensor-kind services.
#pragma once
#include <cstdint>

struct StoreMap;

// The configured sensor kind per channel (0 to 13) and the stored sensor model number.
extern uint8_t g_ChannelKind[2];
extern uint32_t g_ChannelSensorId[2];
// The highest configured kind the firmware takes; a stored kind above it is replaced by kind 1
// with the default sensor model.
constexpr uint8_t kMaxChannelKind = 13;
constexpr uint32_t kDefaultSensorModel = 4187;
// Where the store keeps them: a kind byte per channel, a little-endian model number per channel.
constexpr uint32_t kStoreChannelKinds = 1664;
constexpr uint32_t kStoreSensorModel = 450;
extern const StoreMap g_ChanStoreMap;
// Sensor kind the board reports (requested) and the kind measured with, per channel; the
// measuring kinds, 15 for a digital sensor that cannot be used and 255 for none.
extern uint32_t g_SensorKindDetected[2];
extern uint32_t g_SensorKindActive[2];
// Reply layout of channel B's measurements.
constexpr uint32_t kLayoutPh = 0;
constexpr uint32_t kLayoutOxygen = 1;
constexpr uint32_t kLayoutCond = 2;
constexpr uint32_t kLayoutProtocol = 4;
constexpr uint32_t kLayoutNone = 5;
extern uint32_t g_SensorMemLayout[2];
// Set when the digital sensor's parameters are to be saved to it.
extern uint8_t g_SensorParamSavePending;

// State of the digital sensor's save over the link: 0 done, 1 failed, other values waiting.
uint32_t Chan_GetLinkState();
// The channel the menus show and edit (0 A, 1 B).
extern uint8_t g_CurrentChannel;
uint8_t Chan_GetCurrentChannel();
// Kinds, layouts and measure flags back to power-on: nothing configured or detected.
void Chan_ResetState();
uint16_t Chan_GetMeasuringKind(uint32_t channel);
// The kind the board reports; 15 and above take the channel out of measuring.
void Chan_SetKind(uint32_t channel, uint32_t kind);
// Sets the reported and the active kind together.
void Chan_ForceKind(uint32_t channel, uint32_t kind);
uint32_t Chan_IsProtocolSensorPresent(uint32_t channel);
// 0 selects the uncompensated value paths while a calibration point is entered by hand.
void Chan_SetMeasureFlag(uint32_t channel, uint8_t flag);
uint8_t Chan_GetMeasureFlag(uint32_t channel);
// sel 0..3: configured or active kind by channel (sel 3: channel B's active kind while B is
// current, else channel A's configured kind); 255 none.
uint32_t Chan_GetSensorKindBySel(uint32_t sel);
// Amperometric oxygen kinds 5 to 8.
uint32_t Chan_IsMeasuringKindO2(uint32_t kind);
// Measurements channel A does not offer (channel 0 with kinds 15, 27, 28, 29, 32).
uint32_t Chan_IsKindSpecialOnA(uint32_t channel, uint32_t kind);
// The channel compensates for temperature.
uint32_t Chan_HasTempComp(uint32_t channel);
void Chan_LoadCalEditValues(uint32_t channel, uint32_t asked);
void Chan_SaveCalEditValues(uint32_t channel);
void Chan_NotifyMemoryChanged(uint32_t channel);
// 1 when the optical sensor waits for its calibration (its LED is off).
uint32_t Meas_CheckCalDue(uint32_t channel);
uint32_t Meas_HasSensorStatusBit2(uint32_t channel);
// 0 re-identify the sensors, 2 factory measurement settings, 3 factory output calibration.
void Meas_ResetSettings(uint32_t mode);
// Asks the optical sensor for its measurement items over the link.
void Meas_QueueMeasurementItems();
// The optical sensor's calibration mode (byte 74 of its parameter record): 3 the calibration step.
uint8_t Chan_GetBRecordByte74();
// The first value of the channel's in-use calibration record, whatever its kind (the optical
// sensor's calibration slope).
float Chan_GetCalRecordFloat0(uint32_t channel);
// The optical sensor's value of unit 19 to 25 kept in the in-use record; other units read 0.0 with
// status 2 and are not written.
void Chan_SetValuePair(uint32_t channel, uint32_t unit, float value, uint32_t status);
float Chan_GetValuePair(uint32_t channel, uint32_t unit, uint32_t* status);
// Sends a polarization voltage (mV) for the channel when the kind shown is an oxygen kind.
void Chan_RequestO2Mode(uint32_t channel, int16_t millivolts);
// Applies the calibration a digital sensor holds, when a calibration or sensor change asked for it.
void Chan_ApplySensorCalData();
// Channel B's sensor flag, in RAM only.
void Chan_SetBRecordFlagRam(uint32_t channel, uint8_t flag);
// Takes over the digital sensor the link identified on the channel.
void Chan_ApplyNewSensor(uint32_t channel);
// The channel's kind-dependent settings in the working set, for a new kind.
void Chan_ResetForSensorKind(uint32_t channel, uint32_t kind);
