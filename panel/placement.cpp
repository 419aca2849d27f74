// Library placement and the clean-up of what was unpacked.
#include "panel/placement.h"

#include <atomic>
#include <climits>
#include <cstdio>

#include "core/eeprom.h"
#include "core/link_transport.h"
#include "platform/plat.h"
#include "platform/plat_clock.h"
#include "platform/plat_library.h"
#include "platform/plat_safe_file.h"

// The paths to remove live in fixed buffers so that a signal handler may use them.
static char s_ExtractFolder[PATH_MAX];
static char s_ExtractedFile[PATH_MAX];
static std::atomic<uint32_t> s_HaveFolder{0};
static std::atomic<uint32_t> s_HaveFile{0};

// Suffixes tried when a folder of the same second already exists.
static constexpr int kFolderAttempts = 100;

std::string Panel_GetProgramFolder() {
    char folder[PATH_MAX];
    return Plat_GetProgramFolder(folder, sizeof folder) ? folder : "";
}

// A library beside the program: a file that can be read (a pipe of that name is none, and is
// never waited on) and that the loader takes. An empty or garbled file is no library either: the
// program goes on with the library it carries, rather than without a sensor board.
static bool LibraryLoads(const std::string& path) {
    if (PlatSafe_ReadAt(path.c_str(), 0, nullptr, 0) != 0) return false;
    PlatLibrary* library = Plat_LibraryOpen(path.c_str());
    if (library == nullptr) return false;
    Plat_LibraryClose(library);
    return true;
}

static std::string TempFolder() {
    char folder[PATH_MAX];
    return Plat_GetTempFolder(folder, sizeof folder) ? folder : "/tmp";
}

// A new folder that no one else had; false when none could be made.
static bool MakeOwnFolder(const std::string& base) {
    long seconds = static_cast<long>(static_cast<int32_t>(Plat_SecondsSince1970()));
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        int n = attempt == 0 ? std::snprintf(s_ExtractFolder, sizeof s_ExtractFolder, "%s/%ld", base.c_str(), seconds)
                             : std::snprintf(s_ExtractFolder, sizeof s_ExtractFolder, "%s/%ld-%d", base.c_str(),
                                             seconds, attempt);
        if (n < 0 || static_cast<size_t>(n) >= sizeof s_ExtractFolder) break;
        int made = Plat_MakePrivateFolder(s_ExtractFolder);
        if (made == 0) {
            s_HaveFolder.store(1);
            return true;
        }
        if (made != 1) break;
    }
    s_ExtractFolder[0] = '\0';
    return false;
}

// The library file, created anew (never one that was there) and written whole.
static bool WriteLibrary(const uint8_t* image, uint32_t size) {
    int n = std::snprintf(s_ExtractedFile, sizeof s_ExtractedFile, "%s/%s", s_ExtractFolder, kLibraryFileName);
    if (n < 0 || static_cast<size_t>(n) >= sizeof s_ExtractedFile) return false;
    int written = Plat_WriteNewFile(s_ExtractedFile, image, size);
    if (written >= 0) s_HaveFile.store(1);
    return written == 0;
}

LibraryPlace Panel_PlaceLibrary(const std::string& programFolder, const uint8_t* image, uint32_t size) {
    if (LibraryLoads(programFolder + "/" + kLibraryFileName)) {
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
    if (s_HaveFile.exchange(0)) Plat_FileRemove(s_ExtractedFile);
    if (s_HaveFolder.exchange(0)) Plat_RemoveFolder(s_ExtractFolder);
}
