// Settings store file, held open from start-up on. Its 4096 bytes are kept in memory as well, so
// a read never touches the file; a write goes to the file at once and then to memory. "Save
// Changes" writes all it changes at once through a journal beside the store, so that a program
// killed at any moment leaves the commit either whole or not at all.
#include "core/eeprom.h"

#include <atomic>
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
// The journal: the whole new store image, then a trailer of two marker bytes and the image's
// CRC-16 (low byte first). Only a journal of exactly that size with a good trailer is a finished
// one; anything else is what a killed commit left before it touched the store.
static const char kJournalSuffix[] = ".journal";
static constexpr uint8_t kJournalMarker[2] = {'C', 'J'};
static constexpr uint32_t kJournalTrailer = 4;
static constexpr uint32_t kJournalSize = kEepromSize + kJournalTrailer;
// An erased byte: what a store has where nothing was ever written.
static constexpr uint8_t kErased = 0xFF;

// Set when a directory handed in did not fit: the store then never becomes ready rather than
// opening a file under a cut-off name.
static bool s_DirectoryTooLong;
static char s_JournalName[kEepromPathSize + sizeof kJournalSuffix];
// The store file, held open (-1 none). Another thread may read the file through it.
static std::atomic<int> s_File{-1};
static bool s_Writable;
// The store's bytes; during a commit they hold the commit's new values, and s_Committed the
// bytes the file has.
static uint8_t s_Image[kEepromSize];
static uint8_t s_Committed[kEepromSize];
static bool s_InCommit;
// Commits begun and not yet ended: one inside another belongs to the outer one.
static uint32_t s_CommitDepth;
// A write inside the commit that could not be taken: the commit fails as a whole.
static bool s_CommitRefused;
static uint32_t s_FileWrites;

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

static void CloseStore() {
    Plat_HeldClose(s_File.exchange(-1, std::memory_order_relaxed));
    s_Writable = false;
    s_InCommit = false;
    s_CommitDepth = 0;
    s_CommitRefused = false;
}

// The journal's bytes into image; true when it is a finished one.
static bool ReadJournal(uint8_t* image) {
    PlatFile* file = Plat_FileOpen(s_JournalName, "rb");
    if (file == nullptr) return false;
    uint8_t trailer[kJournalTrailer];
    uint32_t n = 0;
    int c = 0;
    while (n <= kJournalSize && (c = Plat_FileGetByte(file)) >= 0) {
        if (n < kEepromSize) {
            image[n] = static_cast<uint8_t>(c);
        } else if (n < kJournalSize) {
            trailer[n - kEepromSize] = static_cast<uint8_t>(c);
        }
        ++n;
    }
    Plat_FileClose(file);
    if (n != kJournalSize || trailer[0] != kJournalMarker[0] || trailer[1] != kJournalMarker[1]) return false;
    uint16_t crc = Util_Crc16Ccitt(image, kEepromSize);
    return trailer[2] == static_cast<uint8_t>(crc) && trailer[3] == static_cast<uint8_t>(crc >> 8);
}

// A journal a killed commit left: a finished one is written into the store (the commit it
// holds was whole), an unfinished one is dropped. Either way it is removed once the store is
// right, so it is never taken for the store itself.
static void SettleJournal(int file) {
    if (!Plat_FileExists(s_JournalName)) return;
    if (ReadJournal(s_Image) && Plat_HeldWriteAt(file, 0, s_Image, kEepromSize) != 0) return;
    Plat_FileRemove(s_JournalName);
}

void Eeprom_Open() {
    CloseStore();
    g_EepromReady = 0;
    g_EepromFileName[0] = '\0';
    s_JournalName[0] = '\0';
    if (s_DirectoryTooLong) return;
    int n = std::snprintf(g_EepromFileName, kEepromPathSize, "%s%s", g_EepromDirectory, kStoreFileName);
    if (n < 0 || static_cast<uint32_t>(n) >= kEepromPathSize) {
        g_EepromFileName[0] = '\0';
        return;
    }
    std::snprintf(s_JournalName, sizeof s_JournalName, "%s%s", g_EepromFileName, kJournalSuffix);
    bool writable = false;
    bool created = false;
    int file = Plat_HeldOpen(g_EepromFileName, &writable);
    if (file < 0) {
        // Create only a file that is not there, so one we merely may not open keeps its contents.
        if (Plat_FileExists(g_EepromFileName)) return;
        file = Plat_HeldCreate(g_EepromFileName);
        if (file < 0) return;
        writable = true;
        created = true;
        // A journal beside a store that was not there belongs to no store.
        Plat_FileRemove(s_JournalName);
    } else if (writable) {
        SettleJournal(file);
    }
    int32_t got = Plat_HeldReadAt(file, 0, s_Image, kEepromSize);
    if (got < 0) {
        Plat_HeldClose(file);
        return;
    }
    // What a short store lacks is erased, in memory and in the file, so that it loads as never
    // written (a write beyond the file's end would fill the gap with zeros instead). A store that
    // cannot be completed is not written at all. Bytes beyond the 4096 are never touched.
    uint32_t have = static_cast<uint32_t>(got);
    if (have < kEepromSize) {
        std::memset(s_Image + have, kErased, kEepromSize - have);
        if (writable && Plat_HeldWriteAt(file, have, s_Image + have, kEepromSize - have) != 0) {
            // A new store the disk could not take whole is not one.
            if (created) {
                Plat_HeldClose(file);
                return;
            }
            writable = false;
        }
    }
    s_Writable = writable;
    s_File.store(file, std::memory_order_relaxed);
    g_EepromReady = 1;
}

void Eeprom_Write(uint32_t offset, const void* data, uint32_t n, uint32_t* status) {
    *status = 0;
    if (!InStore(offset, n) || data == nullptr || s_File.load(std::memory_order_relaxed) < 0 || !s_Writable) {
        *status = kStoreNotReady;
        if (s_InCommit) s_CommitRefused = true;
        return;
    }
    // The file first: memory keeps what the file has. Within a commit the bytes wait for its
    // end, but a store that is gone refuses them at once, as it refuses a single write.
    int file = s_File.load(std::memory_order_relaxed);
    if (Plat_HeldWriteAt(file, offset, data, s_InCommit ? 0 : n) != 0) {
        *status = kStoreNotReady;
        if (s_InCommit) s_CommitRefused = true;
        return;
    }
    if (!s_InCommit) ++s_FileWrites;
    std::memcpy(s_Image + offset, data, n);
}

uint32_t Eeprom_WriteChecked(uint32_t offset, const void* data, uint32_t n, uint32_t* status) {
    *status = 0;
    if (g_EepromReady != 1) {
        *status = kStoreNotReady;
        if (s_InCommit) s_CommitRefused = true;
        return 0;
    }
    Eeprom_Write(offset, data, n, status);
    return 1;
}

void Eeprom_Read(uint32_t offset, void* buffer, uint32_t n, uint32_t* status) {
    *status = 0;
    if (n == 0) return;
    if (!InStore(offset, n) || buffer == nullptr || s_File.load(std::memory_order_relaxed) < 0) {
        *status = kStoreNotReady;
        return;
    }
    std::memcpy(buffer, s_Image + offset, n);
}

void Eeprom_ReadShared(uint32_t offset, void* buffer, uint32_t n, uint32_t* status) {
    *status = 0;
    if (n == 0) return;
    // Read into a scratch copy so a short read leaves the caller's buffer as it was.
    uint8_t scratch[kEepromSize];
    if (!InStore(offset, n) || buffer == nullptr ||
        Plat_HeldReadAt(s_File.load(std::memory_order_relaxed), offset, scratch, n) != static_cast<int32_t>(n)) {
        *status = kStoreNotReady;
        return;
    }
    std::memcpy(buffer, scratch, n);
}

void Eeprom_BeginCommit() {
    if (s_CommitDepth++ > 0) return;
    std::memcpy(s_Committed, s_Image, kEepromSize);
    s_InCommit = true;
    s_CommitRefused = false;
}

// The commit's image to the file: the journal first, whole, then the store, then the journal
// removed. A kill before the journal is finished leaves the store as it was; one after it
// leaves a journal the next start finishes the commit from. Where no journal can be made (a
// folder that takes no new file, a full disk) the image is written in place all the same, as a
// single write within the file's first page.
static bool WriteCommit() {
    uint8_t journal[kJournalSize];
    std::memcpy(journal, s_Image, kEepromSize);
    uint16_t crc = Util_Crc16Ccitt(s_Image, kEepromSize);
    journal[kEepromSize] = kJournalMarker[0];
    journal[kEepromSize + 1] = kJournalMarker[1];
    journal[kEepromSize + 2] = static_cast<uint8_t>(crc);
    journal[kEepromSize + 3] = static_cast<uint8_t>(crc >> 8);
    Plat_FileRemove(s_JournalName);
    int journaled = Plat_WriteNewFile(s_JournalName, journal, kJournalSize);
    // A journal not written whole is no journal.
    if (journaled > 0) Plat_FileRemove(s_JournalName);
    bool written = Plat_HeldWriteAt(s_File.load(std::memory_order_relaxed), 0, s_Image, kEepromSize) == 0;
    if (written) ++s_FileWrites;
    // Also the journal of a commit the store did not take: it must not be finished at the next
    // start.
    if (journaled == 0) Plat_FileRemove(s_JournalName);
    return written;
}

void Eeprom_EndCommit(uint32_t* status) {
    *status = 0;
    if (s_CommitDepth == 0 || --s_CommitDepth > 0) return;
    s_InCommit = false;
    if (std::memcmp(s_Committed, s_Image, kEepromSize) == 0 && !s_CommitRefused) return;
    if (s_CommitRefused || !WriteCommit()) {
        // Nothing of the commit reached the file; memory goes back to what the file holds.
        std::memcpy(s_Image, s_Committed, kEepromSize);
        *status = kStoreNotReady;
    }
    s_CommitRefused = false;
}

uint32_t Eeprom_FileWriteCount() { return s_FileWrites; }

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
    CloseStore();
    s_FileWrites = 0;
    g_EepromDirectory[0] = '\0';
    g_LibraryDirectory[0] = '\0';
    g_SfxFlag = 0;
    g_EepromFileName[0] = '\0';
    g_EepromReady = 0;
    g_DisplayFlag = 0;
    s_DirectoryTooLong = false;
}
