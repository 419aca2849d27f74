// Settings store file. No handle is held between accesses, so the file can be looked at or
// replaced while the program runs.
#include "core/eeprom.h"

#include <cstdio>
#include <cstring>

#include "core/util.h"
#include "platform/plat.h"

char g_EepromDirectory[kEepromPathSize];
char g_LibraryDirectory[kEepromPathSize];
uint32_t g_SfxFlag;
char g_EepromFileName[kEepromPathSize];
uint8_t g_EepromReady;
uint8_t g_DisplayFlag;

static constexpr StoreRange kStoreRanges[] = {
    {kStoreMeasurementMarker, 2},
    {kStoreConfigMarker, 2},
    {kStoreDisplayFlag, 1},
};
const StoreMap g_EepromStoreMap = {"settings store", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

static const char kStoreFileName[] = "R718G 2XH Simulator";
// Set when a directory handed in did not fit: the store then never becomes ready rather than
// opening a file under a cut-off name.
static bool s_DirectoryTooLong;

// Copies a path with its ending zero; false (and an empty text) when it does not fit.
static bool CopyPath(char* target, const char* path) {
    target[0] = '\0';
    if (path == nullptr) return true;
    size_t n = std::strlen(path);
    if (n >= kEepromPathSize) return false;
    std::memcpy(target, path, n + 1);
    return true;
}

extern "C" void SetEEPROMBinFilePath(const char* path) { s_DirectoryTooLong = !CopyPath(g_EepromDirectory, path); }
extern "C" void SetSFXFlag(uint32_t flag) { g_SfxFlag = flag; }
extern "C" void SetDLLFilePath(const char* path) { CopyPath(g_LibraryDirectory, path); }

const char* Eeprom_GetDirectory() { return g_EepromDirectory; }

// An access must lie inside the 4096 bytes; anything else would grow or garble the file.
static bool InStore(uint32_t offset, uint32_t n) { return offset <= kEepromSize && n <= kEepromSize - offset; }

void Eeprom_Open() {
    g_EepromReady = 0;
    g_EepromFileName[0] = '\0';
    if (s_DirectoryTooLong) return;
    int n = std::snprintf(g_EepromFileName, kEepromPathSize, "%s%s", g_EepromDirectory, kStoreFileName);
    if (n < 0 || static_cast<uint32_t>(n) >= kEepromPathSize) {
        g_EepromFileName[0] = '\0';
        return;
    }
    PlatFile* file = Plat_FileOpen(g_EepromFileName, "rb+");
    if (file == nullptr && Plat_FileExists(g_EepromFileName)) {
        // A store we may read but not write still holds the settings: it is ready for reading,
        // and every write to it reports status 10. Create only a file that is not there, so one
        // we merely may not write keeps its contents.
        file = Plat_FileOpen(g_EepromFileName, "rb");
        bool readable = file != nullptr && Plat_FileGetByte(file) >= 0;
        Plat_FileClose(file);
        if (readable) g_EepromReady = 1;
        return;
    }
    bool whole = true;
    if (file == nullptr) {
        file = Plat_FileOpen(g_EepromFileName, "wb+");
        if (file == nullptr) return;
        for (uint32_t i = 0; i < kEepromSize && whole; ++i) whole = Plat_FilePutByte(file, 0xFF) == 0;
    }
    // A new store the disk could not take whole is not one.
    if (Plat_FileClose(file) != 0) whole = false;
    if (whole) g_EepromReady = 1;
}

void Eeprom_Write(uint32_t offset, const void* data, uint32_t n, uint32_t* status) {
    *status = 0;
    if (!InStore(offset, n) || data == nullptr) {
        *status = kStoreNotReady;
        return;
    }
    PlatFile* file = Plat_FileOpen(g_EepromFileName, "rb+");
    if (file == nullptr || Plat_FileSeek(file, static_cast<long>(offset)) != 0) {
        Plat_FileClose(file);
        *status = kStoreNotReady;
        return;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (uint32_t i = 0; i < n; ++i) {
        if (Plat_FilePutByte(file, bytes[i]) != 0) {
            *status = kStoreNotReady;
            break;
        }
    }
    // The bytes reach the file when it is closed; a store that takes none of them (a full disk)
    // fails only there.
    if (Plat_FileClose(file) != 0) *status = kStoreNotReady;
}

uint32_t Eeprom_WriteChecked(uint32_t offset, const void* data, uint32_t n, uint32_t* status) {
    *status = 0;
    if (g_EepromReady != 1) {
        *status = kStoreNotReady;
        return 0;
    }
    Eeprom_Write(offset, data, n, status);
    return 1;
}

void Eeprom_Read(uint32_t offset, void* buffer, uint32_t n, uint32_t* status) {
    *status = 0;
    if (n == 0) return;
    if (!InStore(offset, n) || buffer == nullptr) {
        *status = kStoreNotReady;
        return;
    }
    // Reading only: a store the user may read but not write loads as it stands.
    PlatFile* file = Plat_FileOpen(g_EepromFileName, "rb");
    if (file == nullptr || Plat_FileSeek(file, static_cast<long>(offset)) != 0) {
        Plat_FileClose(file);
        *status = kStoreNotReady;
        return;
    }
    // Read into a scratch copy so a short file leaves the caller's buffer as it was.
    uint8_t scratch[kEepromSize];
    for (uint32_t i = 0; i < n; ++i) {
        int c = Plat_FileGetByte(file);
        if (c < 0) {
            Plat_FileClose(file);
            *status = kStoreNotReady;
            return;
        }
        scratch[i] = static_cast<uint8_t>(c);
    }
    Plat_FileClose(file);
    std::memcpy(buffer, scratch, n);
}

void Eeprom_ReadFloat(uint32_t offset, float* value, uint32_t* status) {
    uint8_t bytes[4];
    Eeprom_Read(offset, bytes, 4, status);
    float v = 0.0f;
    if (*status == 0) {
        uint32_t word = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                        static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
        std::memcpy(&v, &word, 4);
    }
    if (*status != 0 || Util_ClassifyFloat(v) >= kFloatPlusInfinity) {
        *value = 0.0f;
        *status = kStoreFloatNotFinite;
        return;
    }
    *value = v;
}

void Eeprom_WriteFloat(uint32_t offset, float value, uint32_t* status) {
    *status = 0;
    if (Util_ClassifyFloat(value) >= kFloatPlusInfinity) {
        *status = kStoreValueNotFinite;
        return;
    }
    uint32_t word;
    std::memcpy(&word, &value, 4);
    uint8_t bytes[4] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word >> 16),
                        static_cast<uint8_t>(word >> 24)};
    Eeprom_WriteChecked(offset, bytes, 4, status);
}

void Eeprom_SetFloat(float* live, float* copy, uint32_t offset, float value, uint32_t* status) {
    *status = 0;
    if (Util_ClassifyFloat(value) >= kFloatPlusInfinity) {
        *status = kStoreValueNotFinite;
        return;
    }
    *live = value;
    if (copy != nullptr) *copy = value;
    Eeprom_WriteFloat(offset, value, status);
}

void Eeprom_LoadFloat(uint32_t offset, float* value, bool* failed) {
    uint32_t status = 0;
    Eeprom_ReadFloat(offset, value, &status);
    if (status != 0) *failed = true;
}

void Eeprom_LoadByte(uint32_t offset, uint8_t* value, bool* failed) {
    uint32_t status = 0;
    Eeprom_Read(offset, value, 1, &status);
    if (status != 0) *failed = true;
}

void Eeprom_Chain(uint32_t* result, uint32_t status) {
    if (*result == 0) *result = status;
}

void Eeprom_NoteFailure(uint32_t* status, uint32_t result) {
    if (result != 0) *status = result;
}

void Eeprom_WriteNoted(uint32_t offset, const void* data, uint32_t n, uint32_t* status) {
    uint32_t result = 0;
    Eeprom_WriteChecked(offset, data, n, &result);
    Eeprom_NoteFailure(status, result);
}

bool Eeprom_ReadNoted(uint32_t offset, void* buffer, uint32_t n, uint32_t* status) {
    uint32_t result = 0;
    Eeprom_Read(offset, buffer, n, &result);
    Eeprom_NoteFailure(status, result);
    return result == 0;
}

uint8_t Eeprom_ReadByteOr(uint32_t offset, uint8_t largest, uint8_t fallback, uint32_t* status) {
    uint8_t value = 0xFF;
    if (!Eeprom_ReadNoted(offset, &value, 1, status) || value > largest) return fallback;
    return value;
}

void Eeprom_ClearDisplayFlag(uint32_t* status) {
    g_DisplayFlag = 0;
    Eeprom_WriteChecked(kStoreDisplayFlag, &g_DisplayFlag, 1, status);
}

void Eeprom_LoadDisplayFlag(uint32_t* status) { Eeprom_Read(kStoreDisplayFlag, &g_DisplayFlag, 1, status); }

void Eeprom_SaveDisplayFlag(uint32_t* status) { Eeprom_WriteChecked(kStoreDisplayFlag, &g_DisplayFlag, 1, status); }

void Eeprom_ResetState() {
    g_EepromDirectory[0] = '\0';
    g_LibraryDirectory[0] = '\0';
    g_SfxFlag = 0;
    g_EepromFileName[0] = '\0';
    g_EepromReady = 0;
    g_DisplayFlag = 0;
    s_DirectoryTooLong = false;
}
