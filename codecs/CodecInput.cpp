#include "CodecInput.h"

#include <sys/uio.h>

#include <algorithm>
#include <cstring>
#include <vector>

CCodecInput::CCodecInput(std::FILE* file) : file_(file) {
    if (fseeko(file_, 0, SEEK_END) == 0) {
        const off_t end = ftello(file_);
        length_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    }
    fseeko(file_, 0, SEEK_SET);
}

CCodecInput::CCodecInput(std::vector<std::uint8_t> bytes)
    : bytes_(std::move(bytes)), length_(bytes_.size()) {}

std::size_t CCodecInput::Read(void* buffer, std::size_t count) {
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, length_ - position_));
    std::size_t got = 0;
    if (file_ != nullptr) {
        got = std::fread(buffer, 1, wanted, file_);
    } else if (wanted > 0) {
        std::memcpy(buffer, bytes_.data() + position_, wanted);
        got = wanted;
    }
    position_ += got;
    return got;
}

bool CCodecInput::Seek(std::uint64_t position) {
    if (position > length_) return false;
    if (position == position_) return true;
    if (file_ != nullptr && fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0)
        return false;
    position_ = position;
    return true;
}

bool CCodecInput::ReadRows(std::uint64_t offset, std::uint8_t* const* rows, std::size_t count,
                           std::size_t rowBytes) {
    if (offset > length_ || count * rowBytes > length_ - offset) return false;
    if (file_ == nullptr) {
        for (std::size_t i = 0; i < count; ++i)
            std::memcpy(rows[i], bytes_.data() + offset + i * rowBytes, rowBytes);
        return true;
    }
    // Straight from the file descriptor, a batch of rows a call; the
    // stream's own position is set again after.
    constexpr std::size_t kBatch = 512;
    std::vector<iovec> pieces;
    bool ok = std::fflush(file_) == 0;
    for (std::size_t first = 0; ok && first < count; first += kBatch) {
        const std::size_t n = std::min(kBatch, count - first);
        pieces.resize(n);
        for (std::size_t i = 0; i < n; ++i) pieces[i] = {rows[first + i], rowBytes};
        std::size_t done = 0, total = n * rowBytes;
        off_t at = static_cast<off_t>(offset + first * rowBytes);
        std::size_t next = 0;
        while (ok && done < total) {
            const ssize_t got =
                preadv(fileno(file_), pieces.data() + next, static_cast<int>(n - next), at);
            if (got <= 0) {
                ok = false;
                break;
            }
            done += static_cast<std::size_t>(got);
            at += got;
            // Past the pieces filled, into the one cut short.
            std::size_t left = static_cast<std::size_t>(got);
            while (next < n && left >= pieces[next].iov_len) left -= pieces[next++].iov_len;
            if (next < n) {
                pieces[next].iov_base = static_cast<std::uint8_t*>(pieces[next].iov_base) + left;
                pieces[next].iov_len -= left;
            }
        }
    }
    ok = fseeko(file_, static_cast<off_t>(position_), SEEK_SET) == 0 && ok;
    return ok;
}
