#pragma once
// A real write error for one scope: files may not grow past a size (RLIMIT_FSIZE), so a write
// beyond it fails with EFBIG, even as root, where read-only folders do not stop anything.

#include <csignal>
#include <sys/resource.h>

namespace kestrova::test {

class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        savedHandler_ = std::signal(SIGXFSZ, SIG_IGN); // fail the write, not the process
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedHandler_);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*savedHandler_)(int) = SIG_DFL;
};

} // namespace kestrova::test
