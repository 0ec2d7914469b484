#include "CodecInput.h"

#include <algorithm>
#include <cstring>

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
    if (file_ != nullptr && fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0)
        return false;
    position_ = position;
    return true;
}
