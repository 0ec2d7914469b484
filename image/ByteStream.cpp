#include "ByteStream.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

std::size_t CMemoryStream::Read(void* buffer, std::size_t count) {
    const std::size_t available = bytes_.size() - std::min(position_, bytes_.size());
    const std::size_t n = std::min(count, available);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

bool CMemoryStream::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    bytes_.insert(bytes_.end(), bytes, bytes + count);
    return true;
}

std::uint64_t CFileStream::Length() {
    struct stat info {};
    if (fstat(fileno(file_), &info) != 0 || info.st_size < 0) return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t CFileStream::Read(void* buffer, std::size_t count) {
    return std::fread(buffer, 1, count, file_);
}

bool CFileStream::Write(const void* buffer, std::size_t count) {
    return std::fwrite(buffer, 1, count, file_) == count;
}

bool CFileStream::Seek(std::uint64_t position) {
    return position <= static_cast<std::uint64_t>(INT64_MAX) &&
           fseeko(file_, static_cast<off_t>(position), SEEK_SET) == 0;
}
