// Settings store: the instrument's 4096-byte EEPROM, kept as a file in the program's folder, held
// open and mirrored in memory; a change made to the file from outside is taken in, and "Save
// Changes" writes the bytes it changes, whole or not at all.
#pragma once
#include <cstdint>

constexpr uint32_t kEepromSize = 4096;
constexpr uint32_t kEepromPathSize = 264;

// Status codes of every store access (0 = done).
constexpr uint32_t kStoreNotReady = 10;
constexpr uint32_t kStoreFloatNotFinite = 11;
constexpr uint32_t kStoreValueNotFinite = 12;

// A run of store bytes that one module owns.
struct StoreRange {
    uint32_t offset;
    uint32_t size;
};
// Every range a module owns. Each module keeps its offsets at the top of its source and its map
// beside them; a test checks that no two modules' ranges meet.
struct StoreMap {
    const char* owner;
    const StoreRange* ranges;
    uint32_t count;
};

// Byte offsets the store itself owns: the markers that guard the measurement store (calibration
// data) and the other settings, and the display flag.
constexpr uint32_t kStoreMeasurementMarker = 2;  // "2w"
constexpr uint32_t kStoreConfigMarker = 6;       // "K2"
constexpr uint32_t kStoreDisplayFlag = 1275;
extern const StoreMap g_EepromStoreMap;

extern char g_EepromDirectory[kEepromPathSize];
extern char g_LibraryDirectory[kEepromPathSize];
extern uint32_t g_SfxFlag;
extern char g_EepromFileName[kEepromPathSize];
extern uint8_t g_EepromReady;
extern uint8_t g_DisplayFlag;

// The program's own exports, called once by the panel at start.
extern "C" {
void SetEEPROMBinFilePath(const char* path);
void SetSFXFlag(uint32_t flag);
void SetDLLFilePath(const char* path);
}

const char* Eeprom_GetDirectory();

// The paths, flags and readiness back to power-on: nothing set, store not ready.
void Eeprom_ResetState();
// Opens or creates the store file (4096 bytes of 0xFF) and takes its bytes into memory;
// g_EepromReady = 1 when it can. A store shorter than 4096 bytes is completed with 0xFF (bytes
// beyond the 4096 stay as they are), and a commit a kill interrupted is finished or dropped. A
// store that may only be read is ready, and every write to it reports status 10. Not ready when
// the store is no file (a folder, a pipe), and when something stands at the journal's place that
// cannot be removed: it would be taken for the store's last commit at every start.
void Eeprom_Open();
// Writes the bytes into the file and memory; status 10 when the file does not take them all (the
// store then keeps what it had), and while the store is gone: its file deleted or moved away (a
// moved file is never written), or its markers taken away from outside, so that the next start
// would lay the factory settings over the write. Within a commit the bytes wait in memory for its
// end. What was changed in the file from outside is taken in first.
void Eeprom_Write(uint32_t offset, const void* data, uint32_t n, uint32_t* status);
// Eeprom_Write when the store is ready (returns 1), else status 10 (returns 0).
uint32_t Eeprom_WriteChecked(uint32_t offset, const void* data, uint32_t n, uint32_t* status);
// The bytes from memory, which holds what the file has (and a commit's writes so far). Once a
// second at most, outside a commit, it first looks whether the file was changed from outside (the
// file's stamp: one system call) and takes the change in.
void Eeprom_Read(uint32_t offset, void* buffer, uint32_t n, uint32_t* status);
// Eeprom_Read for a thread other than the firmware's: the bytes as the file holds them.
void Eeprom_ReadShared(uint32_t offset, void* buffer, uint32_t n, uint32_t* status);
// A commit: it begins on the file as it stands (an outside change taken in), every write up to
// its end is kept in memory (and read back from there), and the end writes the bytes it changed,
// and no others, into the file at once, through a journal, so that a program killed at any moment
// leaves all of them or none. Status 10 when a write of it was refused or the file took none of
// it, or the store is gone (as for Eeprom_Write); memory then goes back to what the file holds.
// A commit that changed nothing writes nothing; it fails only where it wrote values (the bytes the
// store held already) into a store that is gone.
// A commit begun inside another is part of the outer one, which alone reaches the file. Once a
// journal could not be removed, the store takes no write (status 10) until the next start.
void Eeprom_BeginCommit();
void Eeprom_EndCommit(uint32_t* status);
// How many writes the store file has taken since power-on (a commit counts as one).
uint32_t Eeprom_FileWriteCount();
// A stored float (little-endian); 0.0 with status 11 when unreadable or not finite.
void Eeprom_ReadFloat(uint32_t offset, float* value, uint32_t* status);
// Stores a finite float; a non-finite one gives status 12 and writes nothing.
void Eeprom_WriteFloat(uint32_t offset, float value, uint32_t* status);
// A float setting into its live field, its copy (when not null) and the store; a value that is not
// finite gives status 12 before anything changes, so no setting ever holds one.
void Eeprom_SetFloat(float* live, float* copy, uint32_t offset, float value, uint32_t* status);
// Loads of a settings module's block: the stored value into *value, and *failed set when the read
// failed (it is never cleared, so one flag covers the whole block).
void Eeprom_LoadFloat(uint32_t offset, float* value, bool* failed);
void Eeprom_LoadByte(uint32_t offset, uint8_t* value, bool* failed);
// Keeps the first failure of a chain of store accesses in *result.
void Eeprom_Chain(uint32_t* result, uint32_t status);
// A chain that reports its last failure instead: a failed access leaves its status in *status, a
// good one leaves *status as it was.
void Eeprom_NoteFailure(uint32_t* status, uint32_t result);
void Eeprom_WriteNoted(uint32_t offset, const void* data, uint32_t n, uint32_t* status);
// true when the bytes were read.
bool Eeprom_ReadNoted(uint32_t offset, void* buffer, uint32_t n, uint32_t* status);
// A stored byte; the fallback when it cannot be read or is above largest.
uint8_t Eeprom_ReadByteOr(uint32_t offset, uint8_t largest, uint8_t fallback, uint32_t* status);
void Eeprom_ClearDisplayFlag(uint32_t* status);
void Eeprom_LoadDisplayFlag(uint32_t* status);
void Eeprom_SaveDisplayFlag(uint32_t* status);
