// System settings module: live values, the edit copy the pages change, and their places in the
// store.
#include "settings/settings_system.h"

#include <cstring>

#include "core/eeprom.h"
#include "core/settings.h"
#include "core/texts.h"
#include "digital_sensor/vdx_alarms.h"

static constexpr uint32_t kStoreAccessCode1 = 1230;
static constexpr uint32_t kStoreAccessCode2 = 1234;
static constexpr uint32_t kStoreLockout = 1238;
static constexpr uint32_t kStoreLanguage = 1239;
static constexpr uint32_t kStoreErrorDisplay = 1240;
static constexpr uint32_t kStoreSectionLocks = 1241;
static constexpr uint32_t kStoreCalUnlock = 1247;
// A change of the digital-input pair waiting to be made: the byte's index and its new value;
// FF FF when none waits.
static constexpr uint32_t kStorePendingInput = 1248;
static constexpr uint32_t kStoreName1 = 1250;
static constexpr uint32_t kStoreName2 = 1260;
static constexpr uint32_t kStoreHoldOnChange = 1293;
static constexpr uint32_t kStoreDigitalInputHold = 2036;
static constexpr uint32_t kStoreManualHold = 2201;
static constexpr uint32_t kStoreName[kLineNames] = {kStoreName1, kStoreName2};

static constexpr StoreRange kStoreRanges[] = {
    {kStoreAccessCode1, 18},  // 1230 to 1247: codes, lockout, language, error display, locks, unlock
    {kStorePendingInput, 2}, {kStoreName1, 2 * kStoredNameBytes}, {kStoreHoldOnChange, 1}, {kStoreDigitalInputHold, 2},
    {kStoreManualHold, 1},
};
const StoreMap g_SystemStoreMap = {"system settings", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

static constexpr uint8_t kLanguageLast = kLanguages - 1;
static constexpr uint8_t kManualHoldNo = 1;
// Columns by which a named small line's value moves right; not stored, so always the default.
static constexpr uint8_t kNameOffsetDefault = 54;
static constexpr uint32_t kNameChars = kStoredNameBytes - 1;

SystemSettings g_SystemSettings;
SystemSettings g_SystemEdit;
DateEdit g_DateEdit;
uint8_t g_HoldOnChange;

static SystemSettings Factory() {
    SystemSettings s{};
    s.accessCode[0] = s.accessCode[1] = kAccessCodeFactory;
    s.lockout = kLockoutOff;
    s.calUnlock = 1;
    for (auto& name : s.name) std::memset(name, ' ', kNameChars);
    s.digitalInputHold[0] = s.digitalInputHold[1] = kInputHoldNever;
    s.manualHold = kManualHoldNo;
    return s;
}

void Settings_ResetSystemState() {
    g_SystemSettings = Factory();
    g_SystemEdit = g_SystemSettings;
    g_DateEdit = DateEdit{};
    g_HoldOnChange = 0;
}

// ---- Store access with the status chain: a failed access leaves its status, a good one none ----

static void WriteU32(uint32_t offset, uint32_t value, uint32_t* status) {
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Eeprom_WriteNoted(offset, bytes, 4, status);
}

static uint32_t ReadAccessCode(uint32_t offset, uint32_t* status) {
    uint8_t b[4];
    if (!Eeprom_ReadNoted(offset, b, 4, status)) return 0;
    uint32_t code =
        b[0] | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    return code > kAccessCodeMax ? 0 : code;
}

// A name keeps blanks, digits and capitals; any other character becomes a blank.
static void ReadName(uint32_t offset, char* name, uint32_t* status) {
    char stored[kStoredNameBytes];
    std::memset(name, 0, kStoredNameBytes);
    if (!Eeprom_ReadNoted(offset, stored, kStoredNameBytes, status)) {
        std::memset(name, ' ', kNameChars);
        return;
    }
    for (uint32_t i = 0; i < kNameChars; ++i) {
        char c = stored[i];
        bool kept = c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
        name[i] = kept ? c : ' ';
    }
}

// ---- Module -----------------------------------------------------------------------------------

void Settings_DefaultSystem(uint32_t mode, uint32_t* status) {
    *status = 0;
    SystemSettings factory = Factory();
    if (mode != kDefaultsFirstStart) {
        // A reset from the menu keeps who may enter which section.
        std::memcpy(factory.accessCode, g_SystemSettings.accessCode, sizeof factory.accessCode);
        std::memcpy(factory.sectionLock, g_SystemSettings.sectionLock, sizeof factory.sectionLock);
    }
    g_SystemSettings = factory;
    g_Language = factory.language;
    g_HoldOnChange = factory.holdOnChange;
    g_DisplayFlag = factory.displayFlag;
    if (mode == kDefaultsFirstStart) {
        WriteU32(kStoreAccessCode1, factory.accessCode[0], status);
        WriteU32(kStoreAccessCode2, factory.accessCode[1], status);
        Eeprom_WriteNoted(kStoreSectionLocks, factory.sectionLock, kSectionLocks, status);
    }
    Eeprom_WriteNoted(kStoreLockout, &factory.lockout, 1, status);
    Eeprom_WriteNoted(kStoreLanguage, &factory.language, 1, status);
    Eeprom_WriteNoted(kStoreErrorDisplay, &factory.errorDisplay, 1, status);
    Eeprom_WriteNoted(kStoreCalUnlock, &factory.calUnlock, 1, status);
    for (uint32_t i = 0; i < kLineNames; ++i)
        Eeprom_WriteNoted(kStoreName[i], factory.name[i], kStoredNameBytes, status);
    uint32_t s = 0;
    Eeprom_SaveDisplayFlag(&s);
    Eeprom_NoteFailure(status, s);
    Eeprom_WriteNoted(kStoreHoldOnChange, &factory.holdOnChange, 1, status);
    Eeprom_WriteNoted(kStoreDigitalInputHold, factory.digitalInputHold, 2, status);
    Eeprom_WriteNoted(kStoreManualHold, &factory.manualHold, 1, status);
}

// A change of the digital-input pair left waiting in the store is made, then erased.
static void TakePendingInputChange(uint32_t* status) {
    uint8_t pending[2] = {0xFF, 0xFF};
    if (!Eeprom_ReadNoted(kStorePendingInput, pending, 2, status)) return;
    if (pending[0] == 0xFF && pending[1] == 0xFF) return;
    if (pending[0] < 2 && pending[1] <= kInputHoldNever) {
        Eeprom_WriteNoted(kStoreDigitalInputHold + pending[0], &pending[1], 1, status);
    }
    static const uint8_t kNone[2] = {0xFF, 0xFF};
    Eeprom_WriteNoted(kStorePendingInput, kNone, 2, status);
}

void Settings_LoadSystem(uint32_t* status) {
    *status = 0;
    SystemSettings& s = g_SystemSettings;
    s.accessCode[0] = ReadAccessCode(kStoreAccessCode1, status);
    s.accessCode[1] = ReadAccessCode(kStoreAccessCode2, status);
    s.lockout = Eeprom_ReadByteOr(kStoreLockout, 1, kLockoutOff, status);
    g_Language = Eeprom_ReadByteOr(kStoreLanguage, kLanguageLast, 0, status);
    s.errorDisplay = Eeprom_ReadByteOr(kStoreErrorDisplay, 1, 0, status);
    uint8_t locks[kSectionLocks];
    bool read = Eeprom_ReadNoted(kStoreSectionLocks, locks, kSectionLocks, status);
    for (uint32_t i = 0; i < kSectionLocks; ++i) s.sectionLock[i] = read && locks[i] <= 1 ? locks[i] : 0;
    s.calUnlock = Eeprom_ReadByteOr(kStoreCalUnlock, 1, 0, status);
    TakePendingInputChange(status);
    for (uint32_t i = 0; i < kLineNames; ++i) ReadName(kStoreName[i], s.name[i], status);
    uint32_t flagStatus = 0;
    Eeprom_LoadDisplayFlag(&flagStatus);
    Eeprom_NoteFailure(status, flagStatus);
    // The panel picks its colours by the flag: anything but 1 is 0.
    if (flagStatus != 0 || g_DisplayFlag > 1) g_DisplayFlag = 0;
    g_HoldOnChange = Eeprom_ReadByteOr(kStoreHoldOnChange, 1, 0, status);
    uint8_t inputs[2];
    read = Eeprom_ReadNoted(kStoreDigitalInputHold, inputs, 2, status);
    for (uint32_t i = 0; i < 2; ++i) {
        s.digitalInputHold[i] = read && inputs[i] <= kInputHoldNever ? inputs[i] : kInputHoldNever;
    }
    s.manualHold = Eeprom_ReadByteOr(kStoreManualHold, kManualHoldNo, kManualHoldNo, status);
    s.language = g_Language;
    s.holdOnChange = g_HoldOnChange;
    s.displayFlag = g_DisplayFlag;
}

void Settings_CopySystem() {
    g_SystemEdit = g_SystemSettings;
    g_SystemEdit.language = g_Language;
    g_SystemEdit.holdOnChange = g_HoldOnChange;
    g_SystemEdit.displayFlag = g_DisplayFlag;
}

void Settings_CommitAccessCode1(uint32_t* status) {
    if (g_SystemEdit.accessCode[0] == g_SystemSettings.accessCode[0]) return;
    g_SystemSettings.accessCode[0] = g_SystemEdit.accessCode[0];
    WriteU32(kStoreAccessCode1, g_SystemSettings.accessCode[0], status);
}

void Settings_CommitAccessCode2(uint32_t* status) {
    if (g_SystemEdit.accessCode[1] == g_SystemSettings.accessCode[1]) return;
    g_SystemSettings.accessCode[1] = g_SystemEdit.accessCode[1];
    WriteU32(kStoreAccessCode2, g_SystemSettings.accessCode[1], status);
}

// A byte of the edit copy into its live place and the store, when it changed.
static void CommitByte(uint8_t edit, uint8_t* live, uint32_t offset, uint32_t* status) {
    if (edit == *live) return;
    *live = edit;
    Eeprom_WriteNoted(offset, live, 1, status);
}

void Settings_CommitSystem(uint32_t* status) {
    *status = 0;
    const SystemSettings& e = g_SystemEdit;
    SystemSettings& s = g_SystemSettings;
    Settings_CommitAccessCode1(status);
    Settings_CommitAccessCode2(status);
    CommitByte(e.lockout, &s.lockout, kStoreLockout, status);
    CommitByte(e.language < kLanguages ? e.language : 0, &g_Language, kStoreLanguage, status);
    s.language = g_Language;
    CommitByte(e.errorDisplay, &s.errorDisplay, kStoreErrorDisplay, status);
    for (uint32_t i = 0; i < kSectionLocks; ++i) {
        CommitByte(e.sectionLock[i], &s.sectionLock[i], kStoreSectionLocks + i, status);
    }
    CommitByte(e.calUnlock, &s.calUnlock, kStoreCalUnlock, status);
    for (uint32_t i = 0; i < kLineNames; ++i) {
        if (std::memcmp(e.name[i], s.name[i], kStoredNameBytes) == 0) continue;
        std::memcpy(s.name[i], e.name[i], kStoredNameBytes);
        s.name[i][kNameChars] = '\0';
        Eeprom_WriteNoted(kStoreName[i], s.name[i], kStoredNameBytes, status);
    }
    if (e.displayFlag != g_DisplayFlag) {
        g_DisplayFlag = e.displayFlag;
        uint32_t s2 = 0;
        Eeprom_SaveDisplayFlag(&s2);
        Eeprom_NoteFailure(status, s2);
    }
    s.displayFlag = g_DisplayFlag;
    CommitByte(e.holdOnChange, &g_HoldOnChange, kStoreHoldOnChange, status);
    s.holdOnChange = g_HoldOnChange;
    for (uint32_t i = 0; i < 2; ++i) {
        CommitByte(e.digitalInputHold[i], &s.digitalInputHold[i], kStoreDigitalInputHold + i, status);
    }
    CommitByte(e.manualHold <= kManualHoldNo ? e.manualHold : kManualHoldNo, &s.manualHold, kStoreManualHold, status);
    if (g_DateEdit.changed) {
        // The clock was set by hand: a plausible year ends the request to set it.
        if (g_DateEdit.date.year > 2017) {
            Vdx_ClearSetDateAlarm();
        } else {
            Vdx_RaiseSetDateAlarm();
        }
        Rtc_SetTime(&g_DateEdit.date);
        g_DateEdit.changed = 0;
    }
}

// ---- Live values the rest of the firmware reads -----------------------------------------------

uint8_t Settings_GetLockout() { return g_SystemSettings.lockout; }
uint8_t Settings_GetSectionLock(uint32_t section) {
    return section < kSectionLocks ? g_SystemSettings.sectionLock[section] : 0;
}
uint8_t Settings_GetErrorDisplay() { return g_SystemSettings.errorDisplay; }
uint8_t Settings_GetHoldOutputs() { return g_HoldOnChange == 1 ? 0 : 1; }
uint8_t Settings_GetDigitalInputHold(uint32_t channel) {
    return channel < 2 ? g_SystemSettings.digitalInputHold[channel] : kInputHoldNever;
}
void Settings_LoadHoldFlag(uint32_t* status) {
    *status = 0;
    g_HoldOnChange = Eeprom_ReadByteOr(kStoreHoldOnChange, 1, 0, status);
}
void Settings_SaveHoldFlag(uint32_t* status) {
    *status = 0;
    Eeprom_WriteNoted(kStoreHoldOnChange, &g_HoldOnChange, 1, status);
}
void Settings_GetLineName(uint32_t index, char* text) {
    const char* name = g_SystemSettings.name[index < kLineNames ? index : 0];
    std::memcpy(text, name, kLineNameSize - 1);
    text[kLineNameSize - 1] = '\0';
}
uint8_t Settings_GetNameOffset(uint32_t) { return kNameOffsetDefault; }

bool Settings_IsAdministratorCode(uint32_t code) {
    return code == g_SystemSettings.accessCode[0] || code == kMasterCode;
}
