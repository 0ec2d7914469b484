#pragma once
// The grey samples of a picture file deeper than 8-bit unsigned (10 to 16
// bits, 32-bit integers, signed ones, floats), kept as the file holds them
// beside the 8-bit levels made from them by a window. Filled once by the
// read driver, then never changed: pages and undo copies share one.
//
// Samples take their own size, 2 bytes each up to 16 bits and 4 bytes at 32
// bits, rows from the top. Signed samples are held in two's complement
// without any offset, floats as their IEEE bits, so a row is what numpy's
// uint16, int16, uint32, int32 or float32 would hold.

#include <cstdint>
#include <string>

#include "LargeMemory.h"
#include "PictureLosses.h"

class CFileSamples {
public:
    // Zero samples of `kind`, `bits` (1 to 16, or 32) and the sample that is
    // white on their scale (2^bits - 1; a PGM file's own maximum).
    // Throws std::bad_alloc when the memory cannot be had.
    CFileSamples(int width, int height, SampleKind kind, int bits, std::uint64_t white);

    int Width() const { return width_; }
    int Height() const { return height_; }
    SampleKind Kind() const { return kind_; }
    int Bits() const { return bits_; }
    std::uint64_t White() const { return white_; }
    // 4 bytes a sample (32-bit samples), else 2.
    bool Wide() const { return bits_ > 16; }
    std::uint64_t Bytes() const;

    // The file's value at displayed (x, y), row 0 at the top: signed ones as
    // negative numbers, floats as they are (NaN and infinities included).
    double ValueAt(int x, int y) const;
    // "10", "12", "16", "16s", "32", "32s", "32f": the depth, with s for
    // signed and f for floating-point samples.
    std::string DepthName() const;

    // Rows of 2-byte samples (unsigned values or two's complement patterns),
    // or of 4-byte ones (unsigned, two's complement or float bits).
    const std::uint16_t* Row16(int y) const {
        return reinterpret_cast<const std::uint16_t*>(samples_.data()) + Offset(y);
    }
    const std::uint32_t* Row32(int y) const {
        return reinterpret_cast<const std::uint32_t*>(samples_.data()) + Offset(y);
    }
    std::uint16_t* Row16(int y) {
        return reinterpret_cast<std::uint16_t*>(samples_.data()) + Offset(y);
    }
    std::uint32_t* Row32(int y) {
        return reinterpret_cast<std::uint32_t*>(samples_.data()) + Offset(y);
    }

    // The 8-bit levels of the samples by the window from `low` to `high`
    // (values as the file holds them, low <= high), with the reader's
    // rounding (see samples::CGreyWindow), into rows stored bottom-up.
    void Level(double low, double high, std::uint8_t* bits, std::uint64_t stride) const;

private:
    std::size_t Offset(int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }

    int width_, height_;
    SampleKind kind_;
    int bits_;
    std::uint64_t white_;
    largememory::CBytes samples_;  // 2 or 4 bytes a sample (Wide)
};

// The bytes the samples of a picture of this size and depth take.
std::uint64_t FileSampleBytes(std::int64_t width, std::int64_t height, int bits);
