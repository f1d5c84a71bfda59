#pragma once

// Conditions a file operation meets in use and a test must make: no permission (also when the
// suite runs as root), a disk that fills up.
#include <QtGlobal>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// Permissions mean nothing to root: a step about them runs as "nobody" when the suite runs as
// root (the effective user only, so that the process can come back).
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (geteuid() == 0)
            m_switched = seteuid(65534) == 0;
    }
    ~AsOrdinaryUser() {
        if (m_switched && seteuid(0) != 0)
            qFatal("cannot return to the root user");
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    bool m_switched = false;
};

// A disk that is full after `bytes` bytes of any one file, as the kernel's file-size limit makes
// it: writes past it fail with EFBIG ("File too large") instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
