#pragma once
// Makes every write past `bytes` into any file fail, as a full disk would,
// for as long as it lives: the process's file-size limit, with the signal
// the system sends on reaching it ignored so the write returns an error.

#include <sys/resource.h>

#include <csignal>

class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &before_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, previous_);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit before_{};
    void (*previous_)(int) = nullptr;
};
