#include "SystemOutput.h"

#include <unistd.h>

#include <cerrno>

CSystemOutput::CSystemOutput(int fd) : fd_(fd) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

CSystemOutput::~CSystemOutput() { WriteOut(); }

bool CSystemOutput::WriteOut() {
    const char* next = pbase();
    while (error_ == 0 && next < pptr()) {
        const ssize_t written = write(fd_, next, static_cast<std::size_t>(pptr() - next));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0)
            error_ = errno;
        else
            next += written;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

CSystemOutput::int_type CSystemOutput::overflow(int_type c) {
    if (!WriteOut()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int CSystemOutput::sync() { return WriteOut() ? 0 : -1; }
