// Sensor memory images: hex-text files and resources.
#include "sensor_board/sim_image.h"

#include <cstring>
#include <mutex>

#include "platform/plat.h"
#include "platform/plat_resources.h"
#include "platform/plat_safe_file.h"
#include "sensor_board/brannic.h"

SimImageSlot g_SimImageSlots[2];

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;
static constexpr std::memory_order kAcquire = std::memory_order_acquire;
static constexpr std::memory_order kRelease = std::memory_order_release;
// The host program's resources of the sensor files, by file name, in id order from 17125.
static const char* const kResourceNames[kSimResourceCount] = {
    "CO2_SelvoC11_0.txt", "COND_SelvoK11_0.txt", "DO_SelvoD11_0.txt",
    "DO_SelvoD12_0.txt",  "DO_SelvoD13_0.txt",   "DO_SelvoD14_0.txt",
    "DO_SelvoD15_0.txt",  "OPT_SelvoQ11_0.txt",  "OPT_SelvoQ12_0.txt",
    "PH_SelvoP11_0.txt",  "PH_SelvoP11_1.txt",   "PH_SelvoP12_0.txt",
    "pNa_SelvoN11_0.txt", "ReadMe.txt",          "Unknown_OneWire_Sensor_0.txt",
};
// Each entry as the instrument's tools store it: 0xF0000 | id, sorted by the case-sensitive name.
static constexpr uint32_t kResourceTag = 0xF0000;
static uint32_t s_ResourceIds[kSimResourceCount];
static const char* s_ResourceKeys[kSimResourceCount];

// Loading (user-interface thread) and block and record access (worker) never mix.
static std::mutex s_SlotLock;

// ---- Text sources: a file read a character at a time, or a resource in memory --------------------

struct TextSource {
    PlatFile* file;
    const uint8_t* text;
    uint32_t size;
    uint32_t position;
    int pushedBack;
};

static TextSource FileSource(PlatFile* file) { return TextSource{file, nullptr, 0, 0, -1}; }
static TextSource MemorySource(const uint8_t* text, uint32_t size) { return TextSource{nullptr, text, size, 0, -1}; }

static int NextChar(TextSource* s) {
    if (s->pushedBack >= 0) {
        int c = s->pushedBack;
        s->pushedBack = -1;
        return c;
    }
    if (s->file != nullptr) return Plat_FileGetByte(s->file);
    if (s->position >= s->size) return -1;
    return s->text[s->position++];
}

static bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

static int HexDigit(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

enum class Token { Byte, End, Bad, Header };

// The next white-space separated token as a byte value of one or two hexadecimal digits. With
// stopAtHeader, a token that begins with "%" (the next record's header) ends the numbers.
static Token NextByte(TextSource* s, uint8_t* value, bool stopAtHeader) {
    int c = NextChar(s);
    while (c >= 0 && IsSpace(c)) c = NextChar(s);
    if (c < 0) return Token::End;
    if (stopAtHeader && c == '%') {
        s->pushedBack = c;
        return Token::Header;
    }
    uint32_t digits = 0;
    uint32_t number = 0;
    bool bad = false;
    while (c >= 0 && !IsSpace(c)) {
        int digit = HexDigit(c);
        if (digit < 0 || digits == 2)
            bad = true;
        else
            number = number << 4 | static_cast<uint32_t>(digit);
        ++digits;
        c = NextChar(s);
    }
    if (bad) return Token::Bad;
    *value = static_cast<uint8_t>(number);
    return Token::Byte;
}

// One line without its end; longer lines keep their first kSimLineBytes - 1 characters.
static bool NextLine(TextSource* s, char* line) {
    int c = NextChar(s);
    if (c < 0) return false;
    uint32_t n = 0;
    while (c >= 0 && c != '\n') {
        if (c != '\r' && n < kSimLineBytes - 1) line[n++] = static_cast<char>(c);
        c = NextChar(s);
    }
    line[n] = '\0';
    return true;
}

// Reads up to kSimImageBytes numbers; *bad when a token before that is not a byte value.
static uint32_t ReadNumbers(TextSource* s, uint8_t* bytes, bool* bad) {
    *bad = false;
    uint32_t n = 0;
    while (n < kSimImageBytes) {
        Token t = NextByte(s, &bytes[n], false);
        if (t == Token::End) break;
        if (t != Token::Byte) {
            *bad = true;
            break;
        }
        ++n;
    }
    return n;
}

uint32_t SimImage_ParseHex(const uint8_t* text, uint32_t size, uint8_t* bytes, bool* bad) {
    TextSource source = MemorySource(text, size);
    return ReadNumbers(&source, bytes, bad);
}

// ---- The resource table ---------------------------------------------------------------------------

void SimImage_InitResourceIds() {
    uint32_t order[kSimResourceCount];
    for (uint32_t i = 0; i < kSimResourceCount; ++i) order[i] = i;
    // A few names: insertion sort by name, as the ordered map the tools build keeps them.
    for (uint32_t i = 1; i < kSimResourceCount; ++i) {
        uint32_t moving = order[i];
        uint32_t j = i;
        while (j > 0 && std::strcmp(kResourceNames[order[j - 1]], kResourceNames[moving]) > 0) {
            order[j] = order[j - 1];
            --j;
        }
        order[j] = moving;
    }
    for (uint32_t i = 0; i < kSimResourceCount; ++i) {
        s_ResourceKeys[i] = kResourceNames[order[i]];
        s_ResourceIds[i] = kResourceTag | (kSimResourceFirstId + order[i]);
    }
}

namespace {
// The table is built when the library is loaded.
struct ResourceTableAtLoad {
    ResourceTableAtLoad() { SimImage_InitResourceIds(); }
} s_ResourceTableAtLoad;
}  // namespace

static const char* BaseName(const char* name) {
    const char* base = name;
    for (const char* p = name; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') base = p + 1;
    }
    return base;
}

uint32_t SimImage_ResourceIdOf(const char* name) {
    if (name == nullptr) return 0;
    const char* base = BaseName(name);
    uint32_t low = 0, high = kSimResourceCount;
    while (low < high) {
        uint32_t middle = (low + high) / 2;
        if (s_ResourceKeys[middle] == nullptr) return 0;
        int order = std::strcmp(s_ResourceKeys[middle], base);
        if (order == 0) return s_ResourceIds[middle] & 0xFFFF;
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return 0;
}

const uint8_t* SimImage_LoadResource(const char* name, uint32_t* size) {
    *size = 0;
    uint32_t id = SimImage_ResourceIdOf(name);
    if (id == 0) return nullptr;
    return Plat_FindResource(kResourceTypeText, id, size);
}

// ---- Slots ------------------------------------------------------------------------------------------

static bool IsCommandSensor(uint8_t code) { return code == kSimCodeCommandSensor1 || code == kSimCodeCommandSensor2; }
static bool SingleFileMode() { return g_BoardConfig.singleFileFlag.load(kRelaxed) != 0; }

void SimImage_Reset() {
    std::lock_guard<std::mutex> hold(s_SlotLock);
    for (SimImageSlot& slot : g_SimImageSlots) {
        std::memset(slot.image, 0, sizeof slot.image);
        std::memset(slot.fileName, 0, sizeof slot.fileName);
        std::memset(slot.path, 0, sizeof slot.path);
        slot.sensorCode.store(0, kRelaxed);
        slot.present.store(0, kRelaxed);
        slot.busyCount.store(0, kRelaxed);
    }
}

// Opens a sensor file for reading: the name as given, else a bare name in the program's folder.
// The path that opened is kept in path. Only a file opens: a pipe or a folder of that name is no
// sensor file, and is never waited on.
static PlatFile* OpenSensorFile(const char* name, char* path) {
    std::strncpy(path, name, kSimPathSize - 1);
    path[kSimPathSize - 1] = '\0';
    PlatFile* file = PlatSafe_OpenForReading(path);
    if (file != nullptr) return file;
    const char* folder = g_BoardConfig.eepromFolder;
    size_t folderLength = strnlen(folder, kBoardFolderSize);
    size_t nameLength = std::strlen(name);
    if (folderLength == 0 || BaseName(name) != name || folderLength + nameLength >= kSimPathSize) return nullptr;
    std::memcpy(path, folder, folderLength);
    std::memcpy(path + folderLength, name, nameLength + 1);
    file = PlatSafe_OpenForReading(path);
    if (file == nullptr) std::strncpy(path, name, kSimPathSize - 1);
    return file;
}

uint32_t SimImage_Load(uint32_t slot, const char* name, uint8_t code) {
    if (slot > 1 || name == nullptr) return 0;
    std::lock_guard<std::mutex> hold(s_SlotLock);
    SimImageSlot& s = g_SimImageSlots[slot];
    s.present.store(0, kRelease);
    s.sensorCode.store(code, kRelaxed);
    // At most 29 characters of the name, always terminated.
    size_t length = strnlen(name, kSimFileNameSize - 1);
    std::memcpy(s.fileName, name, length);
    std::memset(s.fileName + length, 0, kSimFileNameSize - length);
    s.busyCount.store(kSimBusyAfterLoad, kRelaxed);
    // Where its file is; for a command sensor, where its records are.
    if (!SingleFileMode()) {
        PlatFile* found = OpenSensorFile(s.fileName, s.path);
        if (found != nullptr) Plat_FileClose(found);
    }
    if (IsCommandSensor(code) || name[0] == '\0') return 1;
    std::memset(s.image, 0, sizeof s.image);
    bool bad = false;
    uint32_t numbers = 0;
    if (SingleFileMode()) {
        uint32_t size = 0;
        const uint8_t* text = SimImage_LoadResource(name, &size);
        if (text == nullptr) return 0;
        numbers = SimImage_ParseHex(text, size, s.image, &bad);
    } else {
        PlatFile* file = PlatSafe_OpenForReading(s.path);
        if (file == nullptr) return 1;
        TextSource source = FileSource(file);
        numbers = ReadNumbers(&source, s.image, &bad);
        Plat_FileClose(file);
    }
    // Short or not hexadecimal: no sensor. The pages are handed out as the file holds them; the
    // transmitter judges each page's sum itself, as a real sensor's corrupt memory would need.
    if (bad || numbers < kSimImageMinBytes) {
        std::memset(s.image, 0, sizeof s.image);
        return 0;
    }
    s.present.store(1, kRelease);
    return 1;
}

// The leftover of a sensor file's name, where the file is looked for: as given (the working
// folder), and a bare name in the program's folder too.
static void DropLeftoversOf(const char* name) {
    if (name[0] == '\0') return;
    PlatSafe_DropLeftover(name);
    const char* folder = g_BoardConfig.eepromFolder;
    size_t folderLength = strnlen(folder, kBoardFolderSize);
    size_t nameLength = std::strlen(name);
    if (folderLength == 0 || BaseName(name) != name || folderLength + nameLength >= kSimPathSize) return;
    char path[kSimPathSize];
    std::memcpy(path, folder, folderLength);
    std::memcpy(path + folderLength, name, nameLength + 1);
    PlatSafe_DropLeftover(path);
}

void SimImage_DropLeftovers() {
    for (const char* name : kResourceNames) DropLeftoversOf(name);
    char held[kSimPathSize];
    {
        std::lock_guard<std::mutex> hold(s_SlotLock);
        std::memcpy(held, g_SimImageSlots[1].path, sizeof held);
    }
    held[kSimPathSize - 1] = '\0';
    DropLeftoversOf(held);
}

// Presence, range and busy rules of a block access, under the lock.
static bool BlockAccessAllowed(SimImageSlot& s, uint32_t offset) {
    if (offset > kSimLastBlock * kSimBlockBytes || !s.present.load(kAcquire)) return false;
    uint8_t busy = s.busyCount.load(kRelaxed);
    if (busy > 0) {
        s.busyCount.store(static_cast<uint8_t>(busy - 1), kRelaxed);
        return false;
    }
    return true;
}

uint32_t SimImage_ReadBlock(uint32_t offset, uint8_t* destination) {
    std::lock_guard<std::mutex> hold(s_SlotLock);
    SimImageSlot& s = g_SimImageSlots[1];
    if (!BlockAccessAllowed(s, offset)) return 0;
    std::memcpy(destination, s.image + offset, kSimBlockBytes);
    return 1;
}

uint32_t SimImage_WriteBlock(const uint8_t* source, uint32_t offset) {
    std::lock_guard<std::mutex> hold(s_SlotLock);
    SimImageSlot& s = g_SimImageSlots[1];
    if (!BlockAccessAllowed(s, offset)) return 0;
    // A resource is not written: the change lives in the slot until the next load.
    if (SingleFileMode()) {
        std::memcpy(s.image + offset, source, kSimBlockBytes);
        return 1;
    }
    // The sensor keeps the block only once its file has taken it: a block the file refuses (a
    // full disk, a file or folder that may not be written) is not read back from the slot either.
    static uint8_t image[kSimImageBytes];
    std::memcpy(image, s.image, kSimImageBytes);
    std::memcpy(image + offset, source, kSimBlockBytes);
    // Two lower-case digits and a blank a byte, replacing the file whole: a kill leaves the old
    // image or the new one in it, never a part.
    static const char kDigits[] = "0123456789abcdef";
    static uint8_t text[kSimImageBytes * 3];
    for (uint32_t i = 0; i < kSimImageBytes; ++i) {
        text[3 * i] = static_cast<uint8_t>(kDigits[image[i] >> 4]);
        text[3 * i + 1] = static_cast<uint8_t>(kDigits[image[i] & 0xF]);
        text[3 * i + 2] = ' ';
    }
    if (PlatSafe_Replace(s.path, text, sizeof text) != 0) return 0;
    std::memcpy(s.image, image, kSimImageBytes);
    return 1;
}

// Request bytes 9-12: the command's tag inside the tunnelled sensor command.
static constexpr uint32_t kTagAt = 9;

int32_t SimImage_FindRecord(const uint8_t* request, uint8_t* destination, uint32_t capacity) {
    char name[kSimFileNameSize];
    static char path[kSimPathSize];
    {
        std::lock_guard<std::mutex> hold(s_SlotLock);
        SimImageSlot& s = g_SimImageSlots[1];
        uint8_t busy = s.busyCount.load(kRelaxed);
        if (busy > 0) {
            s.busyCount.store(static_cast<uint8_t>(busy - 1), kRelaxed);
            return 0;
        }
        std::memcpy(name, s.fileName, sizeof name);
        std::memcpy(path, s.path, sizeof path);
    }
    PlatFile* file = nullptr;
    TextSource source;
    if (SingleFileMode()) {
        uint32_t size = 0;
        const uint8_t* text = SimImage_LoadResource(name, &size);
        if (text == nullptr) return 0;
        source = MemorySource(text, size);
    } else {
        file = PlatSafe_OpenForReading(path);
        if (file == nullptr) return 0;
        source = FileSource(file);
    }
    static char line[kSimLineBytes];
    std::memset(line, 0, sizeof line);
    int32_t copied = 0;
    while (NextLine(&source, line)) {
        if (line[0] != '%' || std::strncmp(line + 1, reinterpret_cast<const char*>(request + kTagAt), 4) != 0) continue;
        // The first line with the tag ends the search: "%TTTT%DDD%", DDD the record's length.
        bool headed = line[5] == '%';
        uint32_t length = 0;
        for (int i = 6; i < 9 && headed; ++i) {
            if (line[i] < '0' || line[i] > '9')
                headed = false;
            else
                length = length * 10 + static_cast<uint32_t>(line[i] - '0');
        }
        if (!headed) break;
        if (length > capacity) {
            copied = -1;
            break;
        }
        // The record's bytes follow; numbers missing before the next header read as 0.
        std::memset(destination, 0, length);
        for (uint32_t i = 0; i < length; ++i) {
            if (NextByte(&source, &destination[i], true) != Token::Byte) break;
        }
        copied = static_cast<int32_t>(length);
        break;
    }
    if (file != nullptr) Plat_FileClose(file);
    return copied;
}
