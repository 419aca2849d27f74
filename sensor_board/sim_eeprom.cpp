// The sensor board's parameter file.
#include "sensor_board/sim_eeprom.h"

#include <cstring>

#include "platform/plat.h"
#include "platform/plat_safe_file.h"
#include "sensor_board/board.h"
#include "sensor_board/brannic.h"

static constexpr uint32_t kPathSize = kBoardFolderSize;
// Request bytes of a raw access: address digits from 3, the count at 11, data from 12.
static constexpr uint32_t kRawAddressAt = 3;
static constexpr uint32_t kRawCountAt = 11;
static constexpr uint32_t kRawDataAt = 12;
static constexpr uint8_t kErased = 0xFF;

// Only the worker touches the file and these.
static char s_FileName[kPathSize];
static bool s_Available;
// A save in progress: the file's first 2048 bytes, changed in memory and written whole when the
// outermost save ends; its nesting depth, its status, and whether a byte changed.
static uint8_t s_Image[kSimEepromBytes];
static uint32_t s_SaveDepth;
static uint32_t s_SaveStatus;
static bool s_ImageChanged;

void SimEeprom_Reset() {
    s_FileName[0] = '\0';
    s_Available = false;
    s_SaveDepth = 0;
    s_SaveStatus = 0;
    s_ImageChanged = false;
}

const char* SimEeprom_GetFileName() { return s_FileName; }

// The board's EEPROM holds 2048 bytes: a longer file (a link to some big file, above all) is no
// parameter file, as a folder or a pipe in its place is none. It is neither read nor written, so
// no save copies it whole.
static bool FileFits() {
    uint8_t probe = 0;
    return PlatSafe_ReadAt(s_FileName, kSimEepromBytes, &probe, 1) == 0;
}

// The file's 2048 bytes; what a short file lacks reads as erased. False when it cannot be read
// or is longer.
static bool ReadImage(uint8_t* image) {
    std::memset(image, kErased, kSimEepromBytes);
    return FileFits() && PlatSafe_ReadAt(s_FileName, 0, image, kSimEepromBytes) >= 0;
}

// The file replaced whole by the image.
static bool WriteImage(const uint8_t* image) { return PlatSafe_Replace(s_FileName, image, kSimEepromBytes) == 0; }

void SimEeprom_Open() {
    SimEeprom_Reset();
    const char* folder = g_BoardConfig.eepromFolder;
    size_t folderLength = strnlen(folder, kBoardFolderSize);
    // A path that does not fit names no file at all rather than a shortened one.
    if (folderLength + sizeof kSimEepromFileName > kPathSize) return;
    std::memcpy(s_FileName, folder, folderLength);
    std::memcpy(s_FileName + folderLength, kSimEepromFileName, sizeof kSimEepromFileName);
    // What a replace cut short by a kill left beside the file is never the file.
    PlatSafe_DropLeftover(s_FileName);
    if (!Plat_FileExists(s_FileName)) {
        std::memset(s_Image, kErased, sizeof s_Image);
        if (!WriteImage(s_Image)) return;
    }
    // Available when it can be read (a file the user may not write still loads); a folder in the
    // file's place is not, nor a file longer than the EEPROM.
    uint8_t probe = 0;
    if (PlatSafe_ReadAt(s_FileName, 0, &probe, 1) < 0 || !FileFits()) return;
    s_Available = true;
    // A short file is completed with erased bytes, so what it lacks loads as the defaults and is
    // never filled with zeros by a write past its end. One that may not be written reads the same.
    if (PlatSafe_ReadAt(s_FileName, kSimEepromBytes - 1, &probe, 1) == 0 && ReadImage(s_Image)) WriteImage(s_Image);
}

void SimEeprom_BeginSave() {
    if (s_SaveDepth++ > 0) return;
    s_ImageChanged = false;
    s_SaveStatus = s_Available && ReadImage(s_Image) ? 0 : kSimEepromNotAvailable;
}

uint32_t SimEeprom_EndSave() {
    if (s_SaveDepth == 0) return 0;
    if (--s_SaveDepth > 0) return s_SaveStatus;
    if (s_SaveStatus == 0 && s_ImageChanged && !WriteImage(s_Image)) s_SaveStatus = kSimEepromNotAvailable;
    s_ImageChanged = false;
    return s_SaveStatus;
}

// Reads open the file for reading only, so a file that may not be written still loads. Within a
// save they read the bytes the save holds.
uint32_t SimEeprom_ReadBytes(uint32_t* status, uint8_t* buffer, uint32_t n, uint32_t offset) {
    *status = 0;
    if (n == 0 || buffer == nullptr) return 0;
    bool inside = offset < kSimEepromBytes && n <= kSimEepromBytes - offset;
    if (s_SaveDepth > 0 && s_SaveStatus == 0 && inside) {
        std::memcpy(buffer, s_Image + offset, n);
        return n;
    }
    int32_t got = s_Available && FileFits() ? PlatSafe_ReadAt(s_FileName, offset, buffer, n) : -1;
    if (got < 0) {
        *status = kSimEepromNotAvailable;
        return 0;
    }
    uint32_t read = static_cast<uint32_t>(got);
    // The EEPROM's bytes a short file does not hold are erased.
    for (; read < n && offset < kSimEepromBytes && read < kSimEepromBytes - offset; ++read) buffer[read] = kErased;
    if (read < n) *status = kSimEepromBadFloat;
    return read;
}

// Each write is a save of its own unless a save is in progress; only the EEPROM's 2048 bytes
// can be written.
void SimEeprom_WriteBytes(uint32_t* status, const uint8_t* bytes, uint32_t n, uint32_t offset) {
    *status = 0;
    if (!s_Available || offset > kSimEepromBytes || n > kSimEepromBytes - offset) {
        *status = kSimEepromNotAvailable;
        return;
    }
    SimEeprom_BeginSave();
    if (s_SaveStatus == 0 && n > 0) {
        std::memcpy(s_Image + offset, bytes, n);
        s_ImageChanged = true;
    }
    *status = SimEeprom_EndSave();
}

static void PutFloatLE(uint8_t* bytes, float value) {
    uint32_t word;
    std::memcpy(&word, &value, 4);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(word >> (8 * i));
}

void SimEeprom_ReadFloat(uint32_t* status, float* value, uint32_t offset) {
    uint8_t bytes[4];
    *value = 0.0f;
    if (SimEeprom_ReadBytes(status, bytes, 4, offset) != 4) {
        if (*status == 0) *status = kSimEepromBadFloat;
        return;
    }
    uint32_t word = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                    static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    float read;
    std::memcpy(&read, &word, 4);
    uint32_t kind = Board_ClassifyFloat(read);
    if (kind >= 2) {
        *status = kSimEepromBadFloat;
        return;
    }
    *value = read;
}

uint32_t SimEeprom_WriteFloat(float value, uint32_t offset) {
    uint8_t bytes[4];
    PutFloatLE(bytes, value);
    uint32_t status = 0;
    SimEeprom_WriteBytes(&status, bytes, 4, offset);
    return status;
}

void SimEeprom_WriteFloatChecked(uint32_t offset, float value, uint32_t* status) {
    if (Board_ClassifyFloat(value) >= 2) {
        *status = kSimEepromNotFinite;
        return;
    }
    if (!s_Available) {
        *status = kSimEepromNotAvailable;
        return;
    }
    *status = SimEeprom_WriteFloat(value, offset);
}

// Eight hexadecimal digits, most significant first; false on any other character.
static bool ParseAddress(const uint8_t* digits, uint32_t* address) {
    uint32_t value = 0;
    for (int i = 0; i < 8; ++i) {
        uint8_t c = digits[i];
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10u;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10u;
        else
            return false;
        value = value << 4 | digit;
    }
    *address = value;
    return true;
}

// Raw accesses stay inside the EEPROM's 2048 bytes: an address past them would otherwise grow
// the file to gigabytes.
static bool InsideEeprom(uint32_t address, uint32_t n) {
    return address < kSimEepromBytes && n <= kSimEepromBytes - address;
}

uint32_t SimEeprom_RawWrite(const uint8_t* request, uint32_t argumentCount) {
    uint32_t address = 0;
    if (argumentCount < kSimEepromRawHeader || !ParseAddress(request + kRawAddressAt, &address)) return 0;
    uint32_t n = request[kRawCountAt];
    if (n > kSimEepromRawWriteMax) n = kSimEepromRawWriteMax;
    // The data bytes must be in the frame, not left in the buffer by an earlier one.
    if (n > argumentCount - kSimEepromRawHeader || !InsideEeprom(address, n)) return 0;
    if (n == 0) return 1;
    uint32_t status = 0;
    SimEeprom_WriteBytes(&status, request + kRawDataAt, n, address);
    return status == 0 ? 1 : 0;
}

int32_t SimEeprom_RawRead(const uint8_t* request, uint8_t* destination, uint32_t capacity) {
    uint32_t address = 0;
    if (!ParseAddress(request + kRawAddressAt, &address)) return -1;
    uint32_t n = request[kRawCountAt];
    if (n == 0 || n > capacity || !InsideEeprom(address, n)) return -1;
    uint32_t status = 0;
    uint32_t read = SimEeprom_ReadBytes(&status, destination, n, address);
    if (status == kSimEepromNotAvailable || read == 0) return -1;
    return static_cast<int32_t>(read);
}
