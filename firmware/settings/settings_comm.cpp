// Communication identity block and the small store accessors.
#include "settings/settings_comm.h"

#include <cstring>

#include "core/eeprom.h"
#include "core/ident.h"
#include "core/settings.h"
#include "outputs/aout.h"

static constexpr uint32_t kStoreCommFirst = 128;
static constexpr uint32_t kStoreModelText = 129;
static constexpr uint32_t kModelTextBytes = 32;
static constexpr uint32_t kStoreTag = 185;
static constexpr uint32_t kTagBytes = 6;
static constexpr uint32_t kTagChars = 8;
// The block's byte that enables the communication; the output module reads the same byte as its
// output mode.
static constexpr uint32_t kStoreCommEnabled = 217;
static constexpr uint32_t kStoreCommLast = 221;

// The tag (185..190) is the menu's, the output mode and damping (217, 218) the outputs'.
static constexpr StoreRange kStoreRanges[] = {{kStoreCommFirst, kStoreTag - kStoreCommFirst},
                                              {kStoreTag + kTagBytes, kStoreCommEnabled - kStoreTag - kTagBytes},
                                              {kStoreCommEnabled + 2, kStoreCommLast - kStoreCommEnabled - 1}};
const StoreMap g_CommStoreMap = {"communication block", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

uint8_t g_CommEnabled;

void Settings_ResetCommState() { g_CommEnabled = 0; }

static void Fill(uint32_t first, uint32_t last, uint8_t value, uint32_t* status) {
    uint8_t bytes[kModelTextBytes];
    std::memset(bytes, value, sizeof bytes);
    uint32_t n = last - first + 1;
    Eeprom_WriteNoted(first, bytes, n, status);
}

void Settings_DefaultCommBlock(uint32_t* status) {
    *status = 0;
    Fill(128, 128, 0, status);
    Fill(161, 184, 0xFF, status);
    Fill(191, 202, 0xFF, status);
    static const uint8_t kFormat[3] = {11, 8, 8};
    Eeprom_WriteNoted(203, kFormat, 3, status);
    Fill(206, 216, 0, status);
    Fill(217, 217, 1, status);
    Fill(219, 219, 5, status);
    Fill(220, 220, 0, status);
    Fill(221, 221, 0xFF, status);
}

void Settings_PackTag(const char* text, uint8_t* packed) {
    uint8_t codes[kTagChars];
    for (uint32_t i = 0; i < kTagChars; ++i) {
        uint8_t c = static_cast<uint8_t>(text[i]);
        codes[i] = c == '/' ? 31 : (c & 0x3F);
    }
    for (uint32_t half = 0; half < 2; ++half) {
        const uint8_t* c = codes + 4 * half;
        uint8_t* p = packed + 3 * half;
        p[0] = static_cast<uint8_t>(c[0] << 2 | c[1] >> 4);
        p[1] = static_cast<uint8_t>((c[1] & 0x0F) << 4 | c[2] >> 2);
        p[2] = static_cast<uint8_t>((c[2] & 0x03) << 6 | c[3]);
    }
}

void Settings_WriteTagFromModel(uint32_t* status) {
    *status = 0;
    char model[kModelTextBytes + 1];
    std::memset(model, 0, sizeof model);
    uint32_t n = Ident_GetModelName(model);
    char tag[kTagChars];
    for (uint32_t i = 0; i < kTagChars; ++i) tag[i] = i < n ? model[i] : ' ';
    uint8_t packed[kTagBytes];
    Settings_PackTag(tag, packed);
    Eeprom_WriteNoted(kStoreTag, packed, kTagBytes, status);
    Eeprom_WriteNoted(kStoreModelText, model, kModelTextBytes, status);
}

void Settings_LoadCommFlags() { g_CommEnabled = Settings_ReadStoreByte(kStoreCommEnabled) != 0 ? 1 : 0; }

void Settings_InitComm() {
    Settings_LoadCommFlags();
    uint32_t status = 0;
    Aout_LoadOutputMode(&status);
}

void Settings_WriteStoreByte(uint32_t offset, uint8_t byte) {
    uint32_t status = 0;
    Eeprom_WriteChecked(offset, &byte, 1, &status);
}

uint8_t Settings_ReadStoreByte(uint32_t offset) {
    uint8_t byte = 0xFF;
    uint32_t status = 0;
    Eeprom_Read(offset, &byte, 1, &status);
    return status == 0 ? byte : 0xFF;
}

void Settings_WriteStoreBytes(uint32_t offset, uint32_t n, const uint8_t* data) {
    uint32_t status = 0;
    Eeprom_WriteChecked(offset, data, n, &status);
}
