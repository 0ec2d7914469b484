#include "TiffClient.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>

namespace {

// The most any single allocation of the library may take: strip and tile
// buffers of a real file stay far below it.
constexpr tmsize_t kMaxLibraryAllocation = tmsize_t{256} << 20;

}  // namespace

struct STiffProcs {
    static CTiffClient& Of(thandle_t handle) { return *static_cast<CTiffClient*>(handle); }

    static tmsize_t Read(thandle_t h, void* buffer, tmsize_t size) {
        CTiffClient& c = Of(h);
        if (size < 0) return 0;
        if (c.input_ != nullptr)
            return static_cast<tmsize_t>(c.input_->Read(buffer, static_cast<std::size_t>(size)));
        // Writing a stack, the library reads back the directory before to
        // link the next one to it.
        const std::size_t got = c.ReadWritten(c.position_, buffer, static_cast<std::size_t>(size));
        c.position_ += got;
        return static_cast<tmsize_t>(got);
    }
    static tmsize_t Write(thandle_t h, void* buffer, tmsize_t size) {
        CTiffClient& c = Of(h);
        if (c.out_ == nullptr || size < 0) return 0;
        const std::uint64_t end = c.position_ + static_cast<std::uint64_t>(size);
        if (c.direct_) {
            if (c.streamAt_ != c.position_ && !c.out_->Seek(c.position_)) return 0;
            if (!c.out_->Write(buffer, static_cast<std::size_t>(size))) return 0;
            c.streamAt_ = end;
            if (!c.KeepWritten(c.position_, buffer, static_cast<std::size_t>(size))) return 0;
        } else {
            // No exception may cross the library's frames: a failed growth
            // is a failed write.
            try {
                if (end > c.bytes_.size()) {
                    if (end > c.bytes_.capacity())
                        c.bytes_.reserve(std::max<std::uint64_t>(end, 2 * c.bytes_.capacity()));
                    c.bytes_.resize(end);
                }
            } catch (const std::exception&) {
                return 0;
            }
            std::memcpy(c.bytes_.data() + c.position_, buffer, static_cast<std::size_t>(size));
        }
        c.position_ = end;
        c.end_ = std::max(c.end_, end);
        return size;
    }
    static toff_t Seek(thandle_t h, toff_t offset, int whence) {
        CTiffClient& c = Of(h);
        const std::uint64_t current = c.input_ ? c.input_->Position() : c.position_;
        std::uint64_t target = offset;
        if (whence == SEEK_CUR) target = current + offset;
        if (whence == SEEK_END) target = Size(h) + offset;
        if (c.input_ != nullptr) {
            if (!c.input_->Seek(target)) return static_cast<toff_t>(-1);
        } else {
            if (target > (std::uint64_t{1} << 40)) return static_cast<toff_t>(-1);
            c.position_ = target;
        }
        return target;
    }
    static int Close(thandle_t) { return 0; }
    static toff_t Size(thandle_t h) {
        CTiffClient& c = Of(h);
        return c.input_ ? c.input_->Length() : c.end_;
    }
    static int Map(thandle_t, void**, toff_t*) { return 0; }
    static void Unmap(thandle_t, void*, toff_t) {}
};

void CTiffClient::Keep(const char* format, va_list args) {
    if (!error_.empty()) return;
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    error_ = text;
}

int CTiffClient::OnError(TIFF*, void* user, const char*, const char* format, va_list args) {
    static_cast<CTiffClient*>(user)->Keep(format, args);
    return 1;
}

int CTiffClient::OnWarning(TIFF*, void* user, const char* module, const char* format,
                           va_list args) {
    auto* client = static_cast<CTiffClient*>(user);
    // Old LZW strips (codes in the other bit order) are decoded whole by
    // the library's compatible decoder: the one warning that changes no level.
    const bool oldLzw = module != nullptr && std::strcmp(module, "LZWPreDecode") == 0;
    if (client->watching_ && !oldLzw) client->Keep(format, args);
    return 1;
}

TIFF* CTiffClient::Open(const char* mode) {
    // Messages the library sends without a file at hand go nowhere.
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, this);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxLibraryAllocation);
    tiff_ = TIFFClientOpenExt("picture", mode, this, STiffProcs::Read, STiffProcs::Write,
                              STiffProcs::Seek, STiffProcs::Close, STiffProcs::Size,
                              STiffProcs::Map, STiffProcs::Unmap, options);
    TIFFOpenOptionsFree(options);
    return tiff_;
}

TIFF* CTiffClient::OpenRead(CCodecInput& input) {
    input_ = &input;
    if (!input.Seek(0)) return nullptr;
    return Open("rm");
}

TIFF* CTiffClient::OpenWrite(CByteStream& out, std::uint64_t expected) {
    out_ = &out;
    const int error = errno;
    direct_ = out.Seek(0);
    errno = error;
    if (!direct_) {
        try {
            bytes_.reserve(static_cast<std::size_t>(expected));
        } catch (const std::exception&) {
            // The file then grows as it is written.
        }
    }
    return Open("wm");
}

bool CTiffClient::Close() {
    if (tiff_ == nullptr) return true;
    bool ok = true;
    if (out_ != nullptr) ok = TIFFFlush(tiff_) == 1;
    TIFFClose(tiff_);
    tiff_ = nullptr;
    ok = ok && error_.empty();
    if (ok && out_ != nullptr && !direct_) ok = out_->Write(bytes_.data(), bytes_.size());
    return ok;
}

bool CTiffClient::KeepWritten(std::uint64_t at, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    // No exception may cross the library's frames.
    try {
        // A write over kept bytes (the link to the next directory) changes them.
        const std::uint64_t earliest = at >= kKeptWriteBytes ? at - kKeptWriteBytes : 0;
        for (auto it = written_.lower_bound(earliest);
             it != written_.end() && it->first < at + size; ++it) {
            auto& [start, kept] = *it;
            const std::uint64_t from = std::max(start, at);
            const std::uint64_t to = std::min<std::uint64_t>(start + kept.size(), at + size);
            if (from < to)
                std::memcpy(kept.data() + (from - start), bytes + (from - at), to - from);
        }
        if (size <= kKeptWriteBytes && !written_.contains(at))
            written_.emplace(at, std::vector<std::uint8_t>(bytes, bytes + size));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

std::size_t CTiffClient::ReadWritten(std::uint64_t at, void* buffer, std::size_t size) const {
    if (!direct_) {
        if (at >= bytes_.size()) return 0;
        const std::size_t got =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes_.size() - at));
        std::memcpy(buffer, bytes_.data() + at, got);
        return got;
    }
    auto chunk = written_.upper_bound(at);
    if (chunk == written_.begin()) return 0;
    --chunk;
    const auto& [start, kept] = *chunk;
    if (at + size > start + kept.size()) return 0;
    std::memcpy(buffer, kept.data() + (at - start), size);
    return size;
}
