#pragma once

// Makes every write past a size fail in this process while it lives, as a full disk would:
// the file-size limit with SIGXFSZ ignored, so write(2) returns EFBIG instead of killing us.
// Root ignores permissions but not this limit.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        m_set = sigaction(SIGXFSZ, &ignore, &m_oldAction) == 0 && getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        if (!m_set)
            return;
        struct rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        sigaction(SIGXFSZ, &m_oldAction, nullptr);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool IsSet() const { return m_set; }

private:
    struct rlimit m_old = {};
    struct sigaction m_oldAction = {};
    bool m_set = false;
};
