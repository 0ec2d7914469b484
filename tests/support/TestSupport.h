#pragma once
// Helpers shared by the engine tests: a message recorder, small pictures and
// a thread count for one test.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Image.h"
#include "Message.h"
#include "Parallel.h"

// Records every engine message while it lives.
class CMessageRecorder {
public:
    CMessageRecorder() : sink_([this](const std::string& text) { messages.push_back(text); }) {}
    std::vector<std::string> messages;

private:
    CScopedMessageSink sink_;
};

// The whole block of an image, for byte-for-byte comparisons.
inline std::vector<std::uint8_t> BlockBytes(const CImage& image) {
    const CMemBlock* block = image.GetHandle();
    if (block == nullptr) return {};
    return {block->Data(), block->Data() + block->Size()};
}

// The picture's row bytes, top row first, without row padding: its grey
// levels, palette indices, or blue, green and red bytes.
inline std::vector<std::uint8_t> DisplayedLevels(const CImage& image) {
    const CStoredRows rows = image.GetStoredRows();
    const int bytes = rows.width * rows.bitCount / 8;
    std::vector<std::uint8_t> levels;
    for (int y = rows.height - 1; y >= 0; --y)
        levels.insert(levels.end(), rows.Row(y), rows.Row(y) + bytes);
    return levels;
}

// Pixel at (column x, storage row y) of an 8-bit picture.
inline std::uint8_t& PixelAt(CImage& image, int x, int y) {
    std::uint8_t* bits = image.GetBits(image.Lock());
    return bits[static_cast<std::size_t>(y) * CImage::GetWidthBytes(image.GetWidth()) + x];
}

// A picture whose pixel (x, y) is f(x, y).
template <typename F>
void FillPicture(CImage& image, int width, int height, F f) {
    image.CreateEmptyImage(width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) PixelAt(image, x, y) = static_cast<std::uint8_t>(f(x, y));
}

// A new width x height picture whose every row byte, padding included, is
// level() in turn, so any write to the padding shows.
template <typename Level>
void FillBlock(CImage& image, int width, int height, Level level) {
    image.CreateEmptyImage(width, height, 0);
    std::uint8_t* bits = image.GetBits(image.Lock());
    const std::size_t bytes = static_cast<std::size_t>(CImage::GetWidthBytes(width)) * height;
    for (std::size_t i = 0; i < bytes; ++i) bits[i] = static_cast<std::uint8_t>(level());
}

// Sets the number of threads for one test and restores one per core after.
struct CWorkerCount {
    explicit CWorkerCount(int count) { SetWorkerCount(count); }
    ~CWorkerCount() { SetWorkerCount(0); }
};

// What a shell command writes to its standard output (another program's
// decode of a file, for instance); empty when it cannot start.
inline std::string CommandOutput(const std::string& command) {
    std::string bytes;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) bytes += static_cast<char>(c);
        ::pclose(pipe);
    }
    return bytes;
}
