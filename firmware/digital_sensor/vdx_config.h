// Channel configuration store: per channel the configured sensor kind, the model and serial
// number of the sensor last taken over, whether its data were loaded and whether the channel may
// configure itself for another kind; the selected channel and the measurement screen's lines.
#pragma once
#include <cstdint>

struct StoreMap;

// The four measurement slots a to d and which slot each display line shows.
struct MeasLineConfig {
    uint8_t channel[4];
    uint8_t kind[4];        // measurement kind (unit code); 30 = no measurement
    uint8_t prefix[4];      // unit prefix, 10 = none
    uint8_t lineSlot[4];    // slot shown on display line 0..3
    uint8_t resolution[4];  // decimals 0..3, 4 and above automatic
};
static_assert(sizeof(MeasLineConfig) == 20, "the lines are stored as 20 bytes");
extern MeasLineConfig g_MeasLines;
// The line set-up copy stored behind the lines.
constexpr uint32_t kChanSetupEditBytes = 8;
extern uint8_t g_ChanSetupEdit[kChanSetupEditBytes];
// The serial number of the sensor last taken over, its data loaded, and auto-configure.
extern uint32_t g_SensorSecondId[2];
extern uint8_t g_SensorDataLoaded[2];
extern uint8_t g_AutoConfigure[2];
extern const StoreMap g_VdxConfigStoreMap;

// Power-on: factory lines, nothing loaded, channel B auto-configured.
void Vdx_ResetConfig();
// Defaults of channel A (and of channel B when both is not 0), stored.
void Vdx_DefaultChannelConfig(uint32_t both, uint32_t* status);
// Loads the configuration with its checks; the status of the last read.
void Vdx_LoadChannelConfig(uint32_t* status);
// One value each, with its width at its offset.
void Vdx_SaveSensorKind(uint32_t channel, uint32_t* status);
void Vdx_SaveAutoConfigFlag(uint32_t channel, uint32_t* status);
void Vdx_SaveModelNumber(uint32_t channel, uint32_t* status);
void Vdx_SaveSerialNumber(uint32_t channel, uint32_t* status);
void Vdx_SaveLoadedFlag(uint32_t channel, uint32_t* status);
void Vdx_SaveSelectedChannel(uint32_t* status);
// The selected channel, the lines, the set-up copy, and the selected channel's kind and
// auto-configure flag.
void Vdx_SaveChannelConfig(uint32_t* status);
