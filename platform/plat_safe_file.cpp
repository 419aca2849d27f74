// Host layer, files that survive a kill.
#include "platform/plat_safe_file.h"

#include "platform/plat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static constexpr char kLeftoverSuffix[] = ".tmp";

// "<path>.tmp"; false when it does not fit.
static bool LeftoverPath(const char* path, char* leftover, size_t size) {
    int n = std::snprintf(leftover, size, "%s%s", path, kLeftoverSuffix);
    return n > 0 && static_cast<size_t>(n) < size;
}

// The folder's entry of the renamed file is on the disk only once the folder is flushed too.
static void FlushFolderOf(const char* path) {
    char folder[PATH_MAX];
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        std::strcpy(folder, ".");
    } else if (slash == path) {
        std::strcpy(folder, "/");
    } else {
        size_t n = static_cast<size_t>(slash - path);
        if (n >= sizeof folder) return;
        std::memcpy(folder, path, n);
        folder[n] = '\0';
    }
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

int PlatSafe_Replace(const char* path, const uint8_t* bytes, uint32_t size) {
    if (path == nullptr || path[0] == '\0' || (bytes == nullptr && size > 0)) return -1;
    char target[PATH_MAX];
    struct stat old {};
    bool exists = lstat(path, &old) == 0;
    // Through a symbolic link the file it points at is replaced, and the link stays.
    if (exists && S_ISLNK(old.st_mode) && realpath(path, target) != nullptr) {
        exists = stat(target, &old) == 0;
    } else if (std::snprintf(target, sizeof target, "%s", path) >= static_cast<int>(sizeof target)) {
        return -1;
    }
    if (exists && (!S_ISREG(old.st_mode) || faccessat(AT_FDCWD, target, W_OK, AT_EACCESS) != 0)) return -1;
    char temporary[PATH_MAX];
    if (!LeftoverPath(target, temporary, sizeof temporary)) return -1;
    unlink(temporary);
    int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    if (exists) {
        fchmod(fd, old.st_mode & 07777);
        // Root replacing another user's file gives it back to that user; others cannot, and need not.
        int owned = fchown(fd, old.st_uid, old.st_gid);
        (void)owned;
    }
    bool written = Plat_WriteAll(fd, bytes, size) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary, target) != 0) {
        unlink(temporary);
        return -1;
    }
    FlushFolderOf(target);
    return 0;
}

int PlatSafe_DropLeftover(const char* path) {
    if (path == nullptr || path[0] == '\0') return 0;
    // A replace through a link leaves its temporary file beside the link's target.
    char target[PATH_MAX];
    struct stat link {};
    if (lstat(path, &link) != 0 || !S_ISLNK(link.st_mode) || realpath(path, target) == nullptr) {
        if (std::snprintf(target, sizeof target, "%s", path) >= static_cast<int>(sizeof target)) return 0;
    }
    char temporary[PATH_MAX];
    if (!LeftoverPath(target, temporary, sizeof temporary)) return 0;
    return PlatSafe_Remove(temporary);
}

int PlatSafe_Remove(const char* path) {
    if (path == nullptr || path[0] == '\0') return 0;
    struct stat entry {};
    if (lstat(path, &entry) != 0) return errno == ENOENT ? 0 : -1;
    // Only a file (or a link) can be ours: a folder or a pipe of that name is the user's.
    if (!S_ISREG(entry.st_mode) && !S_ISLNK(entry.st_mode)) return -1;
    return unlink(path) == 0 || errno == ENOENT ? 0 : -1;
}

// A file opened for reading only when it is a file: never waiting on a pipe or a device.
static int OpenFileForReading(const char* path, struct stat* info) {
    if (path == nullptr || path[0] == '\0') return -1;
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (fstat(fd, info) != 0 || !S_ISREG(info->st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

int32_t PlatSafe_ReadAt(const char* path, uint32_t offset, uint8_t* bytes, uint32_t n) {
    if ((bytes == nullptr && n > 0) || n > static_cast<uint32_t>(INT32_MAX)) return -1;
    struct stat info {};
    int fd = OpenFileForReading(path, &info);
    if (fd < 0) return -1;
    int32_t got = n == 0 ? 0 : Plat_HeldReadAt(fd, offset, bytes, n);
    close(fd);
    return got;
}

PlatFile* PlatSafe_OpenForReading(const char* path) {
    struct stat info {};
    int fd = OpenFileForReading(path, &info);
    if (fd < 0) return nullptr;
    int flags = fcntl(fd, F_GETFL);
    std::FILE* stream = flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? fdopen(fd, "r") : nullptr;
    if (stream == nullptr) {
        close(fd);
        return nullptr;
    }
    // The host layer's file handle is the C stream itself.
    return reinterpret_cast<PlatFile*>(stream);
}
