#pragma once

#include <csignal>
#include <sys/resource.h>

namespace itm::test {

// While alive, every write past limit bytes into any file fails as on a full
// medium (the process's file size limit, with its signal ignored).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = m_saved;
        limited.rlim_cur = limit;
        m_active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return m_active; }

private:
    struct rlimit m_saved
    {
    };
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace itm::test
