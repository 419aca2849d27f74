// Channel configuration store: what plug-and-measure decides from, and the measurement lines,
// with the checks they are loaded with.
#include "digital_sensor/vdx_config.h"

#include <cstring>

#include "core/eeprom.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/slots.h"

static constexpr uint32_t kStoreLoaded = 120;  // + channel
static constexpr uint32_t kStoreSelectedChannel = 122;
static constexpr uint32_t kStoreSerial = 442;         // + 4 x channel
static constexpr uint32_t kStoreAutoConfigure = 458;  // + channel
static constexpr uint32_t kStoreLines = 1200;
static constexpr uint32_t kStoreSetupEdit = 1222;
static constexpr uint32_t kLineBlockBytes = 30;
static constexpr StoreRange kStoreRanges[] = {
    {kStoreLoaded, 3}, {kStoreSerial, 8}, {kStoreAutoConfigure, 2}, {kStoreLines, kLineBlockBytes}};
const StoreMap g_VdxConfigStoreMap = {"channel configuration store", kStoreRanges,
                                      sizeof kStoreRanges / sizeof kStoreRanges[0]};

static constexpr uint8_t kDefaultKind = 1;
static constexpr uint8_t kMaxLineQuantity = 54;
static constexpr uint8_t kNoMeasurement = 30;
// The factory block at 1200: the lines (pH and temperature of channel A on the big lines), two
// bytes of 1, then the set-up copy.
static constexpr uint8_t kDefaultBlock[kLineBlockBytes] = {0, 0, 0, 0, 13, 11, 30, 30, 10, 10, 10, 10, 0, 1, 2,
                                                           3, 2, 1, 3, 3,  1,  1,  0,  0,  0,  0,  0,  0, 0, 0};

MeasLineConfig g_MeasLines;
uint8_t g_ChanSetupEdit[kChanSetupEditBytes];
uint32_t g_SensorSecondId[2];
uint8_t g_SensorDataLoaded[2];
uint8_t g_AutoConfigure[2];
// A further per-channel byte the load clears (kept with the configuration, never stored).
static uint8_t s_ChannelSpare[2];

void Vdx_ResetConfig() {
    // As a program just started has them: the lines come from the store's load.
    std::memset(&g_MeasLines, 0, sizeof g_MeasLines);
    std::memset(g_ChanSetupEdit, 0, sizeof g_ChanSetupEdit);
    for (uint32_t channel = 0; channel < 2; ++channel) {
        g_SensorSecondId[channel] = 0;
        g_SensorDataLoaded[channel] = 0;
        s_ChannelSpare[channel] = 0;
    }
    g_AutoConfigure[0] = 0;
    g_AutoConfigure[1] = 1;
}

static void Write(uint32_t offset, const void* data, uint32_t n, uint32_t* status) {
    Eeprom_WriteChecked(offset, data, n, status);
}

static void PutU32(uint32_t value, uint8_t* bytes) {
    for (uint32_t i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

void Vdx_SaveSensorKind(uint32_t channel, uint32_t* status) {
    if (channel < 2) Write(kStoreChannelKinds + channel, &g_ChannelKind[channel], 1, status);
}

void Vdx_SaveAutoConfigFlag(uint32_t channel, uint32_t* status) {
    if (channel < 2) Write(kStoreAutoConfigure + channel, &g_AutoConfigure[channel], 1, status);
}

void Vdx_SaveModelNumber(uint32_t channel, uint32_t* status) {
    if (channel >= 2) return;
    uint8_t bytes[4];
    PutU32(g_ChannelSensorId[channel], bytes);
    Write(kStoreSensorModel + 4 * channel, bytes, 4, status);
}

void Vdx_SaveSerialNumber(uint32_t channel, uint32_t* status) {
    if (channel >= 2) return;
    uint8_t bytes[4];
    PutU32(g_SensorSecondId[channel], bytes);
    Write(kStoreSerial + 4 * channel, bytes, 4, status);
}

void Vdx_SaveLoadedFlag(uint32_t channel, uint32_t* status) {
    if (channel < 2) Write(kStoreLoaded + channel, &g_SensorDataLoaded[channel], 1, status);
}

void Vdx_SaveSelectedChannel(uint32_t* status) { Write(kStoreSelectedChannel, &g_CurrentChannel, 1, status); }

void Vdx_DefaultChannelConfig(uint32_t both, uint32_t* status) {
    for (uint32_t channel = 0; channel < (both != 0 ? 2u : 1u); ++channel) {
        g_ChannelKind[channel] = kDefaultKind;
        g_ChannelSensorId[channel] = kDefaultSensorModel;
        g_SensorSecondId[channel] = 0;
        g_SensorDataLoaded[channel] = 0;
        Vdx_SaveSensorKind(channel, status);
        Vdx_SaveModelNumber(channel, status);
        Vdx_SaveSerialNumber(channel, status);
        Vdx_SaveLoadedFlag(channel, status);
    }
    g_AutoConfigure[0] = g_AutoConfigure[1] = 1;
    Write(kStoreAutoConfigure, g_AutoConfigure, 2, status);
    Write(kStoreLines, kDefaultBlock, kLineBlockBytes, status);
    std::memcpy(&g_MeasLines, kDefaultBlock, sizeof g_MeasLines);
    std::memcpy(g_ChanSetupEdit, kDefaultBlock + (kStoreSetupEdit - kStoreLines), kChanSetupEditBytes);
    g_CurrentChannel = 0;
    Vdx_SaveSelectedChannel(status);
}

// A read that keeps its status as the last one, for the load's result.
static bool Read(uint32_t offset, void* data, uint32_t n, uint32_t* status) {
    *status = 0;
    Eeprom_Read(offset, data, n, status);
    return *status == 0;
}

static bool IsErased(const void* data, uint32_t n) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (uint32_t i = 0; i < n; ++i) {
        if (bytes[i] != 0xFF) return false;
    }
    return true;
}

static uint32_t U32(const uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void Vdx_LoadChannelConfig(uint32_t* status) {
    uint8_t bytes[8] = {};
    if (Read(kStoreSensorModel, bytes, 8, status)) {
        g_ChannelSensorId[0] = U32(bytes);
        g_ChannelSensorId[1] = U32(bytes + 4);
    } else {
        g_ChannelSensorId[0] = g_ChannelSensorId[1] = kDefaultSensorModel;
    }
    uint8_t kinds[2] = {};
    if (Read(kStoreChannelKinds, kinds, 2, status)) {
        for (uint32_t channel = 0; channel < 2; ++channel) {
            g_ChannelKind[channel] = kinds[channel];
            if (kinds[channel] > kMaxChannelKind) {
                g_ChannelKind[channel] = kDefaultKind;
                g_ChannelSensorId[channel] = kDefaultSensorModel;
            }
        }
    } else {
        g_ChannelKind[0] = g_ChannelKind[1] = kDefaultKind;
    }
    s_ChannelSpare[0] = s_ChannelSpare[1] = 0;
    uint8_t selected = 0;
    g_CurrentChannel = Read(kStoreSelectedChannel, &selected, 1, status) && selected <= 1 ? selected : 0;
    Cal_SelectMeasurement(2, 0);
    // An erased block was never written (a store cut short, or one whose defaults could not be
    // saved): the lines are the factory ones, as after a first start.
    MeasLineConfig lines;
    if (!Read(kStoreLines, &lines, sizeof lines, status) || IsErased(&lines, sizeof lines))
        std::memcpy(&lines, kDefaultBlock, sizeof lines);
    g_MeasLines = lines;
    for (uint32_t slot = 0; slot < 4; ++slot) {
        if (g_MeasLines.channel[slot] >= 2) g_MeasLines.channel[slot] = 0;
        if (g_MeasLines.kind[slot] > kMaxLineQuantity) g_MeasLines.kind[slot] = kNoMeasurement;
        Meas_SetSlotAssignment(slot, g_MeasLines.channel[slot], g_MeasLines.kind[slot]);
    }
    uint8_t edit[kChanSetupEditBytes] = {};
    if (!Read(kStoreSetupEdit, edit, kChanSetupEditBytes, status) || IsErased(edit, sizeof edit))
        std::memcpy(edit, kDefaultBlock + (kStoreSetupEdit - kStoreLines), sizeof edit);
    std::memcpy(g_ChanSetupEdit, edit, sizeof edit);
    uint8_t flags[2] = {1, 1};
    bool read = Read(kStoreAutoConfigure, flags, 2, status);
    g_AutoConfigure[1] = read && flags[1] < 2 ? flags[1] : 1;
    g_AutoConfigure[0] = 0;
    if (Read(kStoreSerial, bytes, 8, status)) {
        g_SensorSecondId[0] = U32(bytes);
        g_SensorSecondId[1] = U32(bytes + 4);
    }
    uint8_t loaded[2] = {};
    if (Read(kStoreLoaded, loaded, 2, status)) {
        g_SensorDataLoaded[0] = loaded[0];
        g_SensorDataLoaded[1] = loaded[1];
    }
}

void Vdx_SaveChannelConfig(uint32_t* status) {
    Vdx_SaveSelectedChannel(status);
    Write(kStoreLines, &g_MeasLines, sizeof g_MeasLines, status);
    Write(kStoreSetupEdit, g_ChanSetupEdit, kChanSetupEditBytes, status);
    uint8_t channel = g_CurrentChannel < 2 ? g_CurrentChannel : 0;
    Vdx_SaveSensorKind(channel, status);
    Vdx_SaveAutoConfigFlag(channel, status);
}
