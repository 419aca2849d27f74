// System settings: the two access codes, the menu lockout and section locks, the display
// language, the error display, the calibration unlock, the two line names, the display flag, the
// hold switch, the digital inputs that hold the outputs and the manual hold choice; and the date
// the date page edits.
#pragma once
#include <cstdint>

#include "core/rtc.h"

struct StoreMap;

constexpr uint32_t kSectionLocks = 6;
constexpr uint32_t kLineNames = 2;
// A name is kept as 10 bytes: its characters (at most 9) and zeros.
constexpr uint32_t kStoredNameBytes = 10;
constexpr uint32_t kAccessCodeFactory = 31752;
constexpr uint32_t kAccessCodeMax = 99999;
// The built-in master code ("05864"): accepted as the administrator's whatever codes are stored.
constexpr uint32_t kMasterCode = 5864;
// Section lock bytes: the CAL key, quick setup, configuration, system, PID setup, service.
constexpr uint32_t kSectionCalKey = 0;
// Menu lockout: 0 on (the unlocked sections ask for an access code too), 1 off.
constexpr uint8_t kLockoutOn = 0;
constexpr uint8_t kLockoutOff = 1;
// State of a digital input that holds the outputs: low, high, never.
constexpr uint8_t kInputHoldLow = 0;
constexpr uint8_t kInputHoldHigh = 1;
constexpr uint8_t kInputHoldNever = 2;
// Defaults mode: 1 the first start (everything), 0 a reset from the menu (keeps the access codes
// and the section locks).
constexpr uint32_t kDefaultsFirstStart = 1;
constexpr uint32_t kDefaultsReset = 0;

// The system settings in one record, live and as the pages edit them. The language, the hold
// switch and the display flag live in g_Language, g_HoldOnChange and g_DisplayFlag; their fields
// here are used by the edit copy only.
struct SystemSettings {
    uint32_t accessCode[2];
    uint8_t lockout;
    uint8_t language;
    uint8_t errorDisplay;  // 1: the measurement screen offers the message list
    uint8_t sectionLock[kSectionLocks];
    uint8_t calUnlock;  // 0 "Yes", 1 "No"
    char name[kLineNames][kStoredNameBytes];
    uint8_t displayFlag;
    uint8_t holdOnChange;
    uint8_t digitalInputHold[2];
    uint8_t manualHold;  // "Manual Hold =": 0 "Yes", 1 "No"
};
extern SystemSettings g_SystemSettings;
extern SystemSettings g_SystemEdit;
extern const StoreMap g_SystemStoreMap;

// The date page's edit: set with its date when the page changed it; the system commit then sets
// the clock and judges the set-date alarm.
struct DateEdit {
    uint8_t changed;
    ClockRecord date;
};
extern DateEdit g_DateEdit;

// Factory values into the live settings and the store (mode as above).
void Settings_DefaultSystem(uint32_t mode, uint32_t* status);
// Each value from the store; one that cannot be read or is out of range takes its load default.
void Settings_LoadSystem(uint32_t* status);
void Settings_CopySystem();
// The edit copy into the live settings and the store, value by value where it changed; then the
// date page's date.
void Settings_CommitSystem(uint32_t* status);
void Settings_CommitAccessCode1(uint32_t* status);
void Settings_CommitAccessCode2(uint32_t* status);
// The live settings as at power-up (nothing read yet).
void Settings_ResetSystemState();
// True for the administrator's access code and for the master code.
bool Settings_IsAdministratorCode(uint32_t code);
