#include "LargeMemory.h"

#include <sys/mman.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace largememory {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapped = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapped = false;
#else
constexpr bool kMapped = true;
#endif
#else
constexpr bool kMapped = true;
#endif

constexpr std::size_t kHugePage = std::size_t{2} << 20;

bool IsMapped(std::size_t size) { return kMapped && size >= kHugeFrom; }

// Whole pages, at least one; 0 when the size is too large to round up.
std::size_t MappedLength(std::size_t size) {
    if (size > ~std::size_t{0} - 2 * kHugePage) return 0;
    return size == 0 ? kHugePage : (size + kHugePage - 1) & ~(kHugePage - 1);
}

// Mappings given back are kept for the next buffer of the same length, as
// the C library keeps smaller blocks: a step that makes a new picture of the
// same size again and again then finds its pages already there, and only
// zeroes them. At most a few are kept, the oldest given up first.
class CKeptMappings {
public:
    // A kept mapping of `length` bytes, or null.
    std::uint8_t* TakeOfLength(std::size_t length) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t i = count_; i-- > 0;) {
            if (kept_[i].length != length) continue;
            std::uint8_t* bytes = kept_[i].bytes;
            Remove(i);
            return bytes;
        }
        return nullptr;
    }
    // Keeps the mapping, giving up older ones to make room; false when it
    // is too large to keep.
    bool Hold(std::uint8_t* bytes, std::size_t length) {
        if (length > kMostKeptBytes) return false;
        const std::lock_guard<std::mutex> lock(mutex_);
        while (count_ == kept_.size() || total_ + length > kMostKeptBytes) {
            munmap(kept_[0].bytes, kept_[0].length);
            Remove(0);
        }
        kept_[count_++] = {bytes, length};
        total_ += length;
        return true;
    }

private:
    static constexpr std::size_t kMostKeptBytes = std::size_t{64} << 20;
    struct SMapping {
        std::uint8_t* bytes;
        std::size_t length;
    };
    void Remove(std::size_t i) {
        total_ -= kept_[i].length;
        for (; i + 1 < count_; ++i) kept_[i] = kept_[i + 1];
        --count_;
    }

    std::mutex mutex_;
    std::array<SMapping, 4> kept_{};
    std::size_t count_ = 0;
    std::size_t total_ = 0;
};

CKeptMappings& KeptMappings() {
    static CKeptMappings* kept = new CKeptMappings;  // never destroyed: used until exit
    return *kept;
}

// Whole 2 MiB pages, started on a 2 MiB boundary so that all of the mapping
// can be backed by them: one page more is mapped and the ends trimmed. A
// kept mapping is zeroed again only when asked: a fresh one is zero.
std::uint8_t* MapPages(std::size_t size, bool zeroKept) noexcept {
    const std::size_t length = MappedLength(size);
    if (length == 0) return nullptr;
    if (std::uint8_t* kept = KeptMappings().TakeOfLength(length)) {
        if (zeroKept) std::memset(kept, 0, size);
        return kept;
    }
    void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    auto* start = static_cast<std::uint8_t*>(mapped);
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
    if (head != 0) munmap(start, head);
    munmap(start + head + length, kHugePage - head);
    // Only advice: without large pages the mapping works as any other.
    madvise(start + head, length, MADV_HUGEPAGE);
    return start + head;
}

}  // namespace

std::uint8_t* MapZeroed(std::size_t size) noexcept { return MapPages(size, true); }

void UnmapZeroed(std::uint8_t* bytes, std::size_t size) noexcept {
    if (bytes == nullptr) return;
    const std::size_t length = MappedLength(size);
    if (!KeptMappings().Hold(bytes, length)) munmap(bytes, length);
}

std::uint8_t* AllocateZeroed(std::size_t size) noexcept {
    if (IsMapped(size)) return MapZeroed(size);
    return static_cast<std::uint8_t*>(std::calloc(size == 0 ? 1 : size, 1));
}

std::uint8_t* AllocateForOverwrite(std::size_t size) noexcept {
    if (IsMapped(size)) return MapPages(size, false);
    return static_cast<std::uint8_t*>(std::malloc(size == 0 ? 1 : size));
}

void Release(std::uint8_t* bytes, std::size_t size) noexcept {
    if (IsMapped(size))
        UnmapZeroed(bytes, size);
    else
        std::free(bytes);
}

}  // namespace largememory
