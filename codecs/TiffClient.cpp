#include "TiffClient.h"

#include <algorithm>
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
        if (c.input_ == nullptr || size < 0) return 0;
        return static_cast<tmsize_t>(c.input_->Read(buffer, static_cast<std::size_t>(size)));
    }
    static tmsize_t Write(thandle_t h, void* buffer, tmsize_t size) {
        CTiffClient& c = Of(h);
        if (c.input_ != nullptr || size < 0) return 0;
        const std::uint64_t end = c.position_ + static_cast<std::uint64_t>(size);
        // No exception may cross the library's frames: a failed growth is a
        // failed write.
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
        c.position_ = end;
        return size;
    }
    static toff_t Seek(thandle_t h, toff_t offset, int whence) {
        CTiffClient& c = Of(h);
        const std::uint64_t current = c.input_ ? c.input_->Position() : c.position_;
        const std::uint64_t length = Size(h);
        std::uint64_t target = offset;
        if (whence == SEEK_CUR) target = current + offset;
        if (whence == SEEK_END) target = length + offset;
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
        return c.input_ ? c.input_->Length() : c.bytes_.size();
    }
    static int Map(thandle_t, void**, toff_t*) { return 0; }
    static void Unmap(thandle_t, void*, toff_t) {}
};

int CTiffClient::OnError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    auto* client = static_cast<CTiffClient*>(user);
    if (client->error_.empty()) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, args);
        client->error_ = text;
        (void)module;
    }
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

TIFF* CTiffClient::OpenWrite(std::uint64_t expected) {
    try {
        bytes_.reserve(static_cast<std::size_t>(expected));
    } catch (const std::exception&) {
        // The file then grows as it is written.
    }
    return Open("wm");
}

bool CTiffClient::Close() {
    if (tiff_ == nullptr) return true;
    bool ok = true;
    if (input_ == nullptr) ok = TIFFFlush(tiff_) == 1;
    TIFFClose(tiff_);
    tiff_ = nullptr;
    return ok && error_.empty();
}
