#pragma once
// Zero-filled memory for large buffers: picture blocks and whole-file
// scratch.
//
// Fresh memory costs the kernel a page fault for every 4 KiB first touched,
// which on some machines is the larger part of a first pass over a large
// picture (a 200 MB buffer: over half a second of faults). Buffers from
// kHugeFrom up are therefore mapped on their own and the kernel is asked to
// back them with 2 MiB pages, one fault for 512 small ones. A few mappings
// given back (64 MiB at most) are kept for the next buffer of their length,
// as the C library keeps smaller buffers, so that a step repeated on
// pictures of one size does not fault its pages in again. Under the address
// sanitizer every buffer comes from the C library, whose overruns it checks.

#include <cstddef>
#include <cstdint>
#include <utility>

namespace largememory {

constexpr std::size_t kHugeFrom = std::size_t{8} << 20;

// `size` zeroed bytes, or null when they cannot be had.
std::uint8_t* AllocateZeroed(std::size_t size) noexcept;
// `size` bytes of any content, for a caller that writes every one of them
// before reading any: a kept mapping is handed out without being zeroed
// again. Null when they cannot be had.
std::uint8_t* AllocateForOverwrite(std::size_t size) noexcept;
// Gives back what either gave for the same size.
void Release(std::uint8_t* bytes, std::size_t size) noexcept;

// The mapping of 2 MiB pages behind large buffers, reachable on its own
// whatever the build: `size` zeroed bytes starting on a 2 MiB boundary, or
// null; UnmapZeroed gives them back.
std::uint8_t* MapZeroed(std::size_t size) noexcept;
void UnmapZeroed(std::uint8_t* bytes, std::size_t size) noexcept;

// A buffer owned alone, released with its size.
class CBytes {
public:
    CBytes() = default;
    CBytes(CBytes&& other) noexcept : bytes_(other.bytes_), size_(other.size_) {
        other.bytes_ = nullptr;
        other.size_ = 0;
    }
    CBytes& operator=(CBytes&& other) noexcept {
        std::swap(bytes_, other.bytes_);
        std::swap(size_, other.size_);
        return *this;
    }
    ~CBytes() { Release(bytes_, size_); }

    // Replaces the buffer with `size` zeroed bytes; false, leaving it empty,
    // when they cannot be had.
    bool Reset(std::size_t size) noexcept {
        Release(bytes_, size_);
        bytes_ = AllocateZeroed(size);
        size_ = bytes_ != nullptr ? size : 0;
        return bytes_ != nullptr || size == 0;
    }
    std::uint8_t* data() noexcept { return bytes_; }
    const std::uint8_t* data() const noexcept { return bytes_; }
    std::size_t size() const noexcept { return size_; }

private:
    std::uint8_t* bytes_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace largememory
