// Settings store file, held open from start-up on. Its 4096 bytes are kept in memory as well, so
// a read never touches the file; a change made to the file from outside while the program runs (a
// restored backup, a hex editor) is noticed by the file's stamp and taken in before every write
// and commit, and before reads at most once a second. A write goes to the file at once and then
// to memory. "Save Changes" writes the bytes it changes, and only those, through a journal beside
// the store, so that a program killed at any moment leaves the commit either whole or not at all.
#include "core/eeprom.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "core/util.h"
#include "platform/plat.h"
#include "platform/plat_safe_file.h"

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
// The journal of a commit: the runs of bytes it changes, each its offset and length (two bytes
// each, low byte first) and the new bytes; then a trailer: the marker "CJ", the length of the
// runs (two bytes), a fingerprint of the whole store the commit leaves and a fingerprint of every
// journal byte before it (four bytes each). Only a journal with a whole and right trailer is a
// finished one, and it is finished into the store only where its runs make the store the one it
// was made for: a journal is never laid over a store that has moved on since.
static const char kJournalSuffix[] = ".journal";
static constexpr uint8_t kJournalMarker[2] = {'C', 'J'};
static constexpr uint32_t kRunHeader = 4;
static constexpr uint32_t kJournalTrailer = 12;
// The longest journal: every other byte changed, each a run of its own.
static constexpr uint32_t kJournalMax = kEepromSize + (kEepromSize / 2 + 1) * kRunHeader + kJournalTrailer;
// An erased byte: what a store has where nothing was ever written.
static constexpr uint8_t kErased = 0xFF;
// Reads look for an outside change at most this often.
static constexpr uint64_t kOutsideCheckMs = 1000;

// Set when a directory handed in did not fit: the store then never becomes ready rather than
// opening a file under a cut-off name.
static bool s_DirectoryTooLong;
static char s_JournalName[kEepromPathSize + sizeof kJournalSuffix];
// The store file, held open (-1 none). Another thread may read the file through it.
static std::atomic<int> s_File{-1};
static bool s_Writable;
// A journal that could not be removed: the store takes no write while it stands, since the
// next start would take it for the store's last commit and lay it over every later one.
static bool s_JournalStays;
// The store's name stands for no file now (the file was deleted or moved away), or what was put
// in its place from outside lacks the markers, so that the next start lays the factory settings
// over it: a write would be lost (or land in a file moved elsewhere), so none is taken until the
// store stands again.
static bool s_NameLost;
static bool s_MarkersLost;
// The store's bytes; during a commit they hold the commit's new values, and s_Committed the
// bytes the file has.
static uint8_t s_Image[kEepromSize];
static uint8_t s_Committed[kEepromSize];
// The file as this program last left it, and when reads last looked.
static PlatFileStamp s_Stamp;
static uint64_t s_CheckedAtMs;
static bool s_InCommit;
// Commits begun and not yet ended: one inside another belongs to the outer one.
static uint32_t s_CommitDepth;
// A write inside the commit that could not be taken: the commit fails as a whole.
static bool s_CommitRefused;
// A write inside the commit, whether or not it changed a byte.
static bool s_CommitWrote;
static uint32_t s_FileWrites;
// A journal being written, or read back at the start (one byte more, to tell a longer file).
static uint8_t s_Journal[kJournalMax + 1];

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

static uint32_t Get16(const uint8_t* bytes) { return bytes[0] | static_cast<uint32_t>(bytes[1]) << 8; }
static uint32_t Get32(const uint8_t* bytes) { return Get16(bytes) | Get16(bytes + 2) << 16; }
static void Put16(uint8_t* bytes, uint32_t value) {
    bytes[0] = static_cast<uint8_t>(value);
    bytes[1] = static_cast<uint8_t>(value >> 8);
}
static void Put32(uint8_t* bytes, uint32_t value) {
    Put16(bytes, value);
    Put16(bytes + 2, value >> 16);
}

// FNV-1a: 32 bits, enough to tell a store or a journal from any other.
static uint32_t Fingerprint(const uint8_t* bytes, uint32_t n) {
    uint32_t hash = 2166136261u;
    for (uint32_t i = 0; i < n; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

static bool SameStamp(const PlatFileStamp& a, const PlatFileStamp& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modifiedNs == b.modifiedNs &&
           a.changedNs == b.changedNs;
}

static void CloseStore() {
    Plat_HeldClose(s_File.exchange(-1, std::memory_order_relaxed));
    s_Writable = false;
    s_JournalStays = false;
    s_NameLost = false;
    s_MarkersLost = false;
    s_InCommit = false;
    s_CommitDepth = 0;
    s_CommitRefused = false;
    s_Stamp = PlatFileStamp{};
}

// The file as it stands is what this program wrote last.
static void NoteOwnWrite(int file) {
    if (!Plat_HeldStamp(file, &s_Stamp)) s_Stamp = PlatFileStamp{};
}

// The file's first 4096 bytes into memory; what a short file lacks is erased, in memory and in
// the file, so that it loads as never written (a write beyond the file's end would fill the gap
// with zeros instead); bytes beyond the 4096 are never touched. *written tells whether the file
// took that completion (a store that cannot take it is not written at all). False when the file
// cannot be read; memory then keeps what it had.
static bool LoadImage(int file, bool writable, bool* written) {
    uint8_t image[kEepromSize];
    int32_t got = Plat_HeldReadAt(file, 0, image, kEepromSize);
    if (got < 0) return false;
    uint32_t have = static_cast<uint32_t>(got);
    std::memset(image + have, kErased, kEepromSize - have);
    *written = true;
    if (have < kEepromSize && writable) *written = Plat_HeldWriteAt(file, have, image + have, kEepromSize - have) == 0;
    std::memcpy(s_Image, image, kEepromSize);
    NoteOwnWrite(file);
    return true;
}

// The markers of a store this program has set up.
static bool HasMarkers(const uint8_t* image) {
    return image[kStoreMeasurementMarker] == '2' && image[kStoreMeasurementMarker + 1] == 'w' &&
           image[kStoreConfigMarker] == 'K' && image[kStoreConfigMarker + 1] == '2';
}

// Takes in what was done to the store file from outside since this program last wrote it: its
// bytes changed in place, or another file put in its place (which is held from then on). A store
// file that is gone or is no file now leaves memory as it is; writes are then refused, since
// their bytes would be lost. Never within a commit, whose writes wait in memory.
static void TakeInOutsideChange() {
    int file = s_File.load(std::memory_order_relaxed);
    if (file < 0 || s_InCommit) return;
    s_CheckedAtMs = Plat_NowMs();
    PlatFileStamp now{};
    s_NameLost = !Plat_FileStampOf(g_EepromFileName, &now);
    if (s_NameLost || SameStamp(now, s_Stamp)) return;
    bool writable = s_Writable;
    if ((now.device != s_Stamp.device || now.inode != s_Stamp.inode) &&
        Plat_HeldReopen(file, g_EepromFileName, &writable) != 0) {
        // Something that is no store file stands at the name; the held file is not there.
        s_NameLost = true;
        return;
    }
    bool marked = HasMarkers(s_Image);
    bool completed = true;
    if (LoadImage(file, writable, &completed)) s_Writable = writable && completed;
    // Only a store that had its markers can lose them; one that never had them (before the first
    // start has written them) is written as before.
    if (HasMarkers(s_Image)) {
        s_MarkersLost = false;
    } else if (marked) {
        s_MarkersLost = true;
    }
}

// The held file still stands at the store's name: a store moved away meanwhile is not written.
static bool StoreStands(int file) {
    PlatFileStamp named{}, held{};
    return !s_NameLost && !s_MarkersLost && Plat_FileStampOf(g_EepromFileName, &named) && Plat_HeldStamp(file, &held) &&
           named.device == held.device && named.inode == held.inode;
}

// The journal of the commit from s_Committed to s_Image into s_Journal; its length (the trailer
// alone when nothing changed).
static uint32_t BuildJournal() {
    uint32_t n = 0;
    for (uint32_t i = 0; i < kEepromSize;) {
        if (s_Committed[i] == s_Image[i]) {
            ++i;
            continue;
        }
        uint32_t end = i;
        while (end < kEepromSize && s_Committed[end] != s_Image[end]) ++end;
        Put16(s_Journal + n, i);
        Put16(s_Journal + n + 2, end - i);
        std::memcpy(s_Journal + n + kRunHeader, s_Image + i, end - i);
        n += kRunHeader + end - i;
        i = end;
    }
    uint8_t* trailer = s_Journal + n;
    trailer[0] = kJournalMarker[0];
    trailer[1] = kJournalMarker[1];
    Put16(trailer + 2, n);
    Put32(trailer + 4, Fingerprint(s_Image, kEepromSize));
    Put32(trailer + 8, Fingerprint(s_Journal, n + 8));
    return n + kJournalTrailer;
}

// True when the n bytes are a finished journal: trailer whole and right, every run inside the
// store.
static bool JournalFinished(const uint8_t* journal, uint32_t n) {
    if (n < kJournalTrailer || n > kJournalMax) return false;
    uint32_t runs = n - kJournalTrailer;
    const uint8_t* trailer = journal + runs;
    if (trailer[0] != kJournalMarker[0] || trailer[1] != kJournalMarker[1] || Get16(trailer + 2) != runs ||
        Get32(trailer + 8) != Fingerprint(journal, runs + 8))
        return false;
    for (uint32_t at = 0; at < runs;) {
        if (runs - at < kRunHeader) return false;
        uint32_t offset = Get16(journal + at), length = Get16(journal + at + 2);
        at += kRunHeader;
        if (length == 0 || length > runs - at || !InStore(offset, length)) return false;
        at += length;
    }
    return true;
}

// The number of runs in a journal's runs part.
static uint32_t CountRuns(const uint8_t* journal, uint32_t runs) {
    uint32_t count = 0;
    for (uint32_t at = 0; at < runs; ++count) at += kRunHeader + Get16(journal + at + 2);
    return count;
}

// Writes the bytes of image at the first `most` runs of the journal into the file; the number
// written before one failed.
static uint32_t WriteRuns(int file, const uint8_t* journal, uint32_t runs, const uint8_t* image, uint32_t most) {
    uint32_t written = 0;
    for (uint32_t at = 0; at < runs && written < most; ++written) {
        uint32_t offset = Get16(journal + at), length = Get16(journal + at + 2);
        at += kRunHeader + length;
        if (Plat_HeldWriteAt(file, offset, image + offset, length) != 0) break;
    }
    return written;
}

// A journal a killed commit left. A finished one whose runs make the store the one it was made for
// is written into the store (the commit it holds was whole; the kill may have cut its writing
// short); any other is dropped. Either way it is then removed. False when it cannot be finished
// or removed (a folder that lets no file go, a pipe or a folder in its place): the store is not
// to be used, or the journal would be laid over every later commit at every start.
static bool SettleJournal(int file) {
    int32_t n = PlatSafe_ReadAt(s_JournalName, 0, s_Journal, sizeof s_Journal);
    if (n > 0 && JournalFinished(s_Journal, static_cast<uint32_t>(n))) {
        uint32_t runs = static_cast<uint32_t>(n) - kJournalTrailer;
        uint8_t image[kEepromSize];
        std::memcpy(image, s_Image, kEepromSize);
        for (uint32_t at = 0; at < runs;) {
            uint32_t offset = Get16(s_Journal + at), length = Get16(s_Journal + at + 2);
            std::memcpy(image + offset, s_Journal + at + kRunHeader, length);
            at += kRunHeader + length;
        }
        if (Fingerprint(image, kEepromSize) == Get32(s_Journal + runs + 4)) {
            uint32_t total = CountRuns(s_Journal, runs);
            if (WriteRuns(file, s_Journal, runs, image, total) != total) return false;
            std::memcpy(s_Image, image, kEepromSize);
            NoteOwnWrite(file);
        }
    }
    return PlatSafe_Remove(s_JournalName) == 0;
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
        // A journal beside a store that was not there belongs to no store; one that cannot be
        // removed would be taken for the new store's.
        if (PlatSafe_Remove(s_JournalName) != 0) return;
        file = Plat_HeldCreate(g_EepromFileName);
        if (file < 0) return;
        writable = true;
        created = true;
    }
    bool completed = true;
    // A new store the disk could not take whole is not one; an old one that cannot be completed
    // is not written at all.
    if (!LoadImage(file, writable, &completed) || (created && !completed) ||
        (writable && completed && !SettleJournal(file))) {
        Plat_HeldClose(file);
        return;
    }
    s_Writable = writable && completed;
    s_CheckedAtMs = Plat_NowMs();
    s_File.store(file, std::memory_order_relaxed);
    g_EepromReady = 1;
}

// A write the store cannot take now; within a commit the whole commit fails.
static bool Refused(uint32_t* status) {
    *status = kStoreNotReady;
    if (s_InCommit) s_CommitRefused = true;
    return true;
}

void Eeprom_Write(uint32_t offset, const void* data, uint32_t n, uint32_t* status) {
    *status = 0;
    TakeInOutsideChange();
    int file = s_File.load(std::memory_order_relaxed);
    if (!InStore(offset, n) || data == nullptr || file < 0 || !s_Writable || s_JournalStays ||
        (!s_InCommit && !StoreStands(file))) {
        Refused(status);
        return;
    }
    // The file first: memory keeps what the file has. Within a commit the bytes wait for its
    // end, but a store that is gone refuses them at once, as it refuses a single write.
    if (Plat_HeldWriteAt(file, offset, data, s_InCommit ? 0 : n) != 0) {
        Refused(status);
        return;
    }
    if (!s_InCommit) {
        ++s_FileWrites;
        NoteOwnWrite(file);
    }
    if (s_InCommit) s_CommitWrote = true;
    std::memcpy(s_Image + offset, data, n);
}

uint32_t Eeprom_WriteChecked(uint32_t offset, const void* data, uint32_t n, uint32_t* status) {
    *status = 0;
    if (g_EepromReady != 1) {
        Refused(status);
        return 0;
    }
    Eeprom_Write(offset, data, n, status);
    return 1;
}

void Eeprom_Read(uint32_t offset, void* buffer, uint32_t n, uint32_t* status) {
    *status = 0;
    if (n == 0) return;
    if (!s_InCommit && Plat_NowMs() - s_CheckedAtMs >= kOutsideCheckMs) TakeInOutsideChange();
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
    TakeInOutsideChange();
    std::memcpy(s_Committed, s_Image, kEepromSize);
    s_InCommit = true;
    s_CommitRefused = false;
    s_CommitWrote = false;
}

// The commit's changed bytes into the file: the journal first, whole, then the bytes, then the
// journal removed. A kill before the journal is finished leaves the store as it was; one after it
// leaves a journal the next start finishes the commit from. Where no journal can be made (a
// folder that takes no new file, a full disk) the changed span is written in place all the same,
// as a single write within the file's first page. A store the bytes do not reach whole is put
// back as it was where it can be; where it cannot, the journal stays for the next start to finish.
static bool WriteCommit() {
    int file = s_File.load(std::memory_order_relaxed);
    if (!StoreStands(file)) return false;
    uint32_t n = BuildJournal();
    uint32_t runs = n - kJournalTrailer;
    // A journal still there could not be told from this one at the next start.
    if (PlatSafe_Remove(s_JournalName) != 0) {
        s_JournalStays = true;
        return false;
    }
    int journaled = Plat_WriteNewFile(s_JournalName, s_Journal, n);
    // A journal not written whole is no journal.
    if (journaled > 0 && PlatSafe_Remove(s_JournalName) != 0) {
        s_JournalStays = true;
        return false;
    }
    bool written = false;
    if (journaled == 0) {
        uint32_t total = CountRuns(s_Journal, runs);
        uint32_t done = WriteRuns(file, s_Journal, runs, s_Image, total);
        written = done == total;
        // Runs already written are put back; a journal of a commit the store did not take must
        // not be finished at the next start, unless the store could not be put back.
        bool restored = !written && WriteRuns(file, s_Journal, runs, s_Committed, done) == done;
        if (!written && !restored) {
            s_JournalStays = true;
        } else if (PlatSafe_Remove(s_JournalName) != 0) {
            s_JournalStays = true;
        }
    } else {
        uint32_t first = Get16(s_Journal);
        uint32_t last = first;
        for (uint32_t at = 0; at < runs;) {
            uint32_t offset = Get16(s_Journal + at), length = Get16(s_Journal + at + 2);
            last = offset + length;
            at += kRunHeader + length;
        }
        written = Plat_HeldWriteAt(file, first, s_Image + first, last - first) == 0;
        if (!written) Plat_HeldWriteAt(file, first, s_Committed + first, last - first);
    }
    if (written) {
        ++s_FileWrites;
        NoteOwnWrite(file);
    }
    return written;
}

void Eeprom_EndCommit(uint32_t* status) {
    *status = 0;
    if (s_CommitDepth == 0 || --s_CommitDepth > 0) return;
    s_InCommit = false;
    if (std::memcmp(s_Committed, s_Image, kEepromSize) == 0 && !s_CommitRefused) {
        // Values written that the store held already: a store that is gone does not hold them
        // for the next start all the same. A commit that wrote nothing touches nothing.
        int file = s_File.load(std::memory_order_relaxed);
        if (s_CommitWrote && file >= 0 && !StoreStands(file)) *status = kStoreNotReady;
        return;
    }
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
    s_CheckedAtMs = 0;
    g_EepromDirectory[0] = '\0';
    g_LibraryDirectory[0] = '\0';
    g_SfxFlag = 0;
    g_EepromFileName[0] = '\0';
    g_EepromReady = 0;
    g_DisplayFlag = 0;
    s_DirectoryTooLong = false;
}
