#pragma once
// A medium that is full after a number of bytes, for the length of a scope: no file of this
// process can grow past it, and a write beyond fails with EFBIG instead of killing the process.

#include <csignal>
#include <sys/resource.h>

class FullMedium
{
public:
    explicit FullMedium(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullMedium()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FullMedium(const FullMedium &) = delete;
    FullMedium &operator=(const FullMedium &) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};
