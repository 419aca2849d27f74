// Sensor identity from the packed fields of the memory image, or from the identification of a
// command-protocol sensor, the sensor family table and the pH sensor's option of page 16.
#include "digital_sensor/vdx_ident.h"

#include <cstring>

#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/ph.h"

// Identity fields of the image (byte offsets).
static constexpr uint32_t kModelBytes = 2;
static constexpr uint32_t kModelShift = 6;
static constexpr uint32_t kModelMask = 0x7FFF;
static constexpr uint32_t kSerialBytes = 6;
static constexpr uint32_t kSerialMask = 0xFFFFFF;
static constexpr uint32_t kFamilyByte = 9;
static constexpr uint32_t kVariantByte = 10;
static constexpr uint32_t kPartBytes = 11;
static constexpr uint32_t kPhSubTypeByte = 33;
static constexpr uint32_t kTypeTextByte = 65;
static constexpr uint32_t kTypeTextCharBits = 7;
static constexpr char kTypeTextEnd = '/';
static constexpr uint32_t kFirmwareByte = 481;
static constexpr uint32_t kHardwareByte = 482;
static constexpr uint32_t kOptionByte = 523;
static constexpr uint32_t kOptionPage = 16;
// A pH sensor's sub-type of a pNa sensor.
static constexpr uint32_t kSubTypePna = 13;
// Sensor firmware from which pH sensors offer the option.
static constexpr uint8_t kOptionFirmware = 7;
// Option values 0, 1 and 2 as the sensor stores them in the low 4 bits of its option byte.
static constexpr uint8_t kOptionField[3] = {4, 8, 12};
static constexpr uint32_t kOptionDefault = 1;
static constexpr uint32_t kOptionCount = 3;

// Sensor families of the image and what they are.
enum : uint32_t {
    kFamilyPh = 1,
    kFamilyOxygen = 3,
    kFamilyConductivity = 5,
    kFamilyCo2 = 9,
    kFamilyOxygenGauge = 16,
};

struct SensorOption {
    uint8_t supported;
    uint8_t value;  // 0..2
};
static SensorOption s_Option[2];

void Vdx_ResetIdentity() { std::memset(s_Option, 0, sizeof s_Option); }

static const uint8_t* Staging() { return g_SensorMemImage[kSensorStagingImage]; }
static bool SpeaksCommands(uint32_t channel) { return g_SensorProtoFlag[channel] == 1; }

uint32_t Vdx_GetModelNumber(uint32_t channel) {
    if (channel > 1) return 0;
    if (SpeaksCommands(channel)) return SensCmd_GetModelNumber(channel);
    return (SensMem_GetU32LE(Staging() + kModelBytes) >> kModelShift) & kModelMask;
}

uint32_t Vdx_GetSerialNumber(uint32_t channel) {
    if (channel > 1) return 0;
    if (SpeaksCommands(channel)) return SensCmd_GetSerialNumber(channel);
    return SensMem_GetU32LE(Staging() + kSerialBytes) & kSerialMask;
}

uint32_t Vdx_GetPartNumber(uint32_t channel) {
    if (channel > 1) return 0;
    if (SpeaksCommands(channel)) return SensCmd_GetPartNumber(channel);
    const uint8_t* image = Staging();
    return SensMem_GetU32LE(image + kPartBytes) << 4 | image[kVariantByte] >> 4;
}

uint32_t Vdx_GetTypeText(uint32_t channel, char* text) {
    text[0] = '\0';
    if (channel > 1) return 0;
    if (SpeaksCommands(channel)) return SensCmd_GetTypeText(channel, text);
    const uint8_t* packed = Staging() + kTypeTextByte;
    uint32_t n = 0;
    while (n < kVdxTypeTextMax) {
        char c = static_cast<char>(SensMem_GetBits(packed, n * kTypeTextCharBits, kTypeTextCharBits));
        if (c == kTypeTextEnd) break;
        text[n++] = c;
    }
    text[n] = '\0';
    return n;
}

// A version byte as "TU.00"; 100 and above carry the tens past "9".
static void VersionText(uint8_t version, char* text) {
    text[0] = static_cast<char>('0' + version / 10);
    text[1] = static_cast<char>('0' + version % 10);
    std::memcpy(text + 2, ".00", 4);
}

void Vdx_GetFirmwareVersionText(uint32_t channel, char* text) {
    if (channel > 1) {
        text[0] = '\0';
    } else if (SpeaksCommands(channel)) {
        SensCmd_GetFirmwareVersionText(channel, text);
    } else {
        VersionText(g_SensorMemImage[channel][kFirmwareByte], text);
    }
}

void Vdx_GetHardwareVersionText(uint32_t channel, char* text) {
    if (channel > 1) {
        text[0] = '\0';
    } else if (SpeaksCommands(channel)) {
        SensCmd_GetHardwareVersionText(channel, text);
    } else {
        VersionText(g_SensorMemImage[channel][kHardwareByte], text);
    }
}

void Vdx_DecodeSensorFamily(uint32_t channel) {
    if (channel > 1) return;
    const uint8_t* image = Staging();
    uint32_t family = (SensMem_GetU16LE(image + kFamilyByte) >> 2) & 0xFF;
    uint32_t variant = (image[kVariantByte] >> 2) & 3;
    uint32_t layout = kLayoutPh;
    uint32_t kind = kKindNoSensor;
    switch (family) {
        case kFamilyPh:
            kind = (image[kPhSubTypeByte] & 0x0F) == kSubTypePna ? kKindPhPna : kKindPh;
            break;
        case kFamilyOxygen: {
            static const uint16_t kOxygenKinds[4] = {kKindO2High, kKindO2Low, kKindO2Trace, kKindNoSensor};
            layout = kLayoutOxygen;
            kind = kOxygenKinds[variant];
            break;
        }
        case kFamilyConductivity:
            layout = kLayoutCond;
            kind = variant == 1 ? kKindCond2 : kKindCond4;
            break;
        case kFamilyCo2:
            kind = kKindCo2;
            break;
        case kFamilyOxygenGauge:
            layout = kLayoutOxygen;
            kind = kKindO2Gauge;
            break;
        default:
            break;
    }
    Chan_SetKind(channel, kind);
    // Set after the kind, which would mark a sensor that cannot be used as having no layout.
    g_SensorMemLayout[channel] = layout;
}

uint32_t Vdx_CheckSensorOption(uint32_t channel) {
    if (channel > 1) return 0;
    bool supported = g_SensorKindDetected[channel] == kKindPh && Staging()[kFirmwareByte] >= kOptionFirmware;
    s_Option[channel].supported = supported ? 1 : 0;
    return s_Option[channel].supported;
}

void Vdx_ReadSensorOption(uint32_t channel) {
    if (channel > 1 || !s_Option[channel].supported) return;
    uint8_t field = g_SensorMemImage[channel][kOptionByte] & 0x0F;
    s_Option[channel].value = field == kOptionField[0] ? 0 : field == kOptionField[2] ? 2 : 1;
}

uint32_t Vdx_HasSensorOption(uint32_t channel) { return channel < 2 ? s_Option[channel].supported : 0; }

uint32_t Vdx_GetSensorOptionValue(uint32_t channel) { return channel < 2 ? s_Option[channel].value : 0; }

uint32_t Vdx_GetSensorOption(uint32_t channel) {
    if (!Vdx_HasSensorOption(channel)) return kOptionDefault;
    return CalPh_GetSensorOption(channel);
}

uint32_t Vdx_SetSensorOption(uint32_t channel, uint32_t value) {
    if (channel > 1 || g_SensorKindActive[channel] != kKindPh || value >= kOptionCount ||
        !s_Option[channel].supported) {
        return 0;
    }
    if (value == s_Option[channel].value) return 1;
    s_Option[channel].value = static_cast<uint8_t>(value);
    // The configured option is channel B's, the only channel with a digital sensor; the pH
    // settings keep it in the store.
    CalPh_SetSensorOption(1, static_cast<uint8_t>(value));
    uint8_t& field = g_SensorMemImage[channel][kOptionByte];
    field = static_cast<uint8_t>((field & 0xF0) | kOptionField[value]);
    SensMem_CommitPage(channel, kOptionPage);
    return 1;
}
