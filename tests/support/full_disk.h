// Tests of a disk that takes no more bytes: while the guard lives, no file of this process takes
// a byte at or beyond the limit (the write fails), whoever the process runs as.
#pragma once
#include <signal.h>
#include <sys/resource.h>

class FullDisk {
public:
    explicit FullDisk(rlim_t limitBytes) {
        m_Saved.rlim_cur = m_Saved.rlim_max = RLIM_INFINITY;
        if (getrlimit(RLIMIT_FSIZE, &m_Saved) != 0) return;
        // A write past the limit would end the program by a signal; it is to fail instead.
        m_Signal = signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {limitBytes, m_Saved.rlim_max};
        m_Ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FullDisk() {
        if (m_Ok) setrlimit(RLIMIT_FSIZE, &m_Saved);
        if (m_Signal != SIG_ERR) signal(SIGXFSZ, m_Signal);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    bool Ok() const { return m_Ok; }

private:
    struct rlimit m_Saved {};
    sighandler_t m_Signal = SIG_ERR;
    bool m_Ok = false;
};
