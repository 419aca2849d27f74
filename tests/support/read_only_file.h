// Tests of files a program may read but not write: makes a file read-only for this process while
// the guard lives. By its mode for a user; root, whom the mode does not stop, gets the immutable
// attribute where the host allows it, else gives up its override of the mode for the thread. And
// folders in which no file may be created or removed, by their mode (root: for the thread).
#pragma once
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

// While it lives, the calling thread obeys the files' permission bits even as root: it gives up
// the capabilities that override them (kept in its permitted set, so they come back after).
class WithoutFileOverride {
public:
    WithoutFileOverride() {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (syscall(SYS_capget, &header, m_Saved) != 0) return;
        __user_cap_data_struct reduced[2] = {m_Saved[0], m_Saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_Dropped = syscall(SYS_capset, &header, reduced) == 0;
    }
    ~WithoutFileOverride() {
        if (!m_Dropped) return;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        syscall(SYS_capset, &header, m_Saved);
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

private:
    __user_cap_data_struct m_Saved[2] = {};
    bool m_Dropped = false;
};

inline bool CanOpenForUpdate(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb+");
    if (file != nullptr) std::fclose(file);
    return file != nullptr;
}

// Sets or clears the file's immutable attribute; false when the host does not let us.
inline bool SetImmutable(const std::string& path, bool on) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return done;
}

// While it lives, the file is one this process may read but not write.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(std::string path) : m_Path(std::move(path)) {
        chmod(m_Path.c_str(), 0444);
        if (CanOpenForUpdate(m_Path)) m_Immutable = SetImmutable(m_Path, true);
        // Where the host keeps the attribute from us, this thread obeys the mode instead.
        if (CanOpenForUpdate(m_Path)) m_AsUser.emplace();
        m_Ok = !CanOpenForUpdate(m_Path);
    }
    ~ReadOnlyFile() {
        if (m_Immutable) SetImmutable(m_Path, false);
        chmod(m_Path.c_str(), 0644);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    bool Ok() const { return m_Ok; }

private:
    std::string m_Path;
    std::optional<WithoutFileOverride> m_AsUser;
    bool m_Immutable = false;
    bool m_Ok = false;
};

// True when a new file can be made (and removed again) in the folder.
inline bool CanCreateIn(const std::string& folder) {
    std::string probe = folder + "/.probe";
    int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

// While it lives, no file may be created in the folder or removed from it; the files in it may
// still be written as their own modes allow.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string path) : m_Path(std::move(path)) {
        chmod(m_Path.c_str(), 0555);
        if (CanCreateIn(m_Path)) m_AsUser.emplace();
        m_Ok = !CanCreateIn(m_Path);
    }
    ~ReadOnlyFolder() { chmod(m_Path.c_str(), 0755); }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool Ok() const { return m_Ok; }

private:
    std::string m_Path;
    std::optional<WithoutFileOverride> m_AsUser;
    bool m_Ok = false;
};
