// Library placement and the clean-up of what was unpacked.
#include "panel/placement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/eeprom.h"
#include "core/link_transport.h"

// The paths to remove live in fixed buffers so that a signal handler may use them.
static char s_ExtractFolder[PATH_MAX];
static char s_ExtractedFile[PATH_MAX];
static std::atomic<uint32_t> s_HaveFolder{0};
static std::atomic<uint32_t> s_HaveFile{0};

// Suffixes tried when a folder of the same second already exists.
static constexpr int kFolderAttempts = 100;

std::string Panel_GetProgramFolder() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "";
    path[n] = '\0';
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return "";
    if (slash == path) return "/";
    *slash = '\0';
    return path;
}

static bool CanRead(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

static std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr && tmp[0] != '\0') return tmp;
    return "/tmp";
}

// A new folder that no one else had; false when none could be made.
static bool MakeOwnFolder(const std::string& base) {
    long seconds = static_cast<long>(static_cast<int32_t>(std::time(nullptr)));
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        int n = attempt == 0 ? std::snprintf(s_ExtractFolder, sizeof s_ExtractFolder, "%s/%ld", base.c_str(), seconds)
                             : std::snprintf(s_ExtractFolder, sizeof s_ExtractFolder, "%s/%ld-%d", base.c_str(),
                                             seconds, attempt);
        if (n < 0 || static_cast<size_t>(n) >= sizeof s_ExtractFolder) break;
        if (mkdir(s_ExtractFolder, 0700) == 0) {
            s_HaveFolder.store(1);
            return true;
        }
        if (errno != EEXIST) break;
    }
    s_ExtractFolder[0] = '\0';
    return false;
}

static bool WriteAll(int fd, const uint8_t* bytes, uint32_t size) {
    uint32_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<uint32_t>(n);
    }
    return true;
}

// The library file, created anew (never one that was there) and written whole.
static bool WriteLibrary(const uint8_t* image, uint32_t size) {
    int n = std::snprintf(s_ExtractedFile, sizeof s_ExtractedFile, "%s/%s", s_ExtractFolder, kLibraryFileName);
    if (n < 0 || static_cast<size_t>(n) >= sizeof s_ExtractedFile) return false;
    int fd = open(s_ExtractedFile, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0700);
    if (fd < 0) return false;
    s_HaveFile.store(1);
    bool written = WriteAll(fd, image, size);
    bool closed = close(fd) == 0;
    return written && closed;
}

LibraryPlace Panel_PlaceLibrary(const std::string& programFolder, const uint8_t* image, uint32_t size) {
    if (CanRead(programFolder + "/" + kLibraryFileName)) {
        SetSFXFlag(0);
        SetDLLFilePath(programFolder.c_str());
        return LibraryPlace::kBeside;
    }
    if (image == nullptr || size == 0 || !MakeOwnFolder(TempFolder())) {
        Panel_RemoveExtracted();
        return LibraryPlace::kFailed;
    }
    SetSFXFlag(1);
    SetDLLFilePath(s_ExtractFolder);
    if (!WriteLibrary(image, size)) {
        Panel_RemoveExtracted();
        return LibraryPlace::kFailed;
    }
    return LibraryPlace::kExtracted;
}

std::string Panel_ExtractionFolder() { return s_HaveFolder.load() ? s_ExtractFolder : ""; }

void Panel_RemoveExtracted() {
    if (s_HaveFile.exchange(0)) unlink(s_ExtractedFile);
    if (s_HaveFolder.exchange(0)) rmdir(s_ExtractFolder);
}
