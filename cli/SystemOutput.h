#pragma once
// Standard output written straight to its descriptor, remembering why a
// write failed: by the time the program checks its output at the end, errno
// has long been reused, and "No space left on device" is what the user needs.

#include <array>
#include <streambuf>

class CSystemOutput : public std::streambuf {
public:
    explicit CSystemOutput(int fd);
    ~CSystemOutput() override;
    // errno of the first write that failed, 0 while none has.
    int Error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool WriteOut();

    int fd_;
    int error_ = 0;
    std::array<char, 1 << 16> buffer_{};
};
