#pragma once
// A square convolution kernel or structuring element of side 3, 5 or 7,
// held as 11 x 11 signed cells of which rows and columns 0 .. size - 1 count.
// A new mask is the flat 3 x 3 smoothing kernel (nine ones).

#include <array>
#include <cstdint>

class CMask {
public:
    static constexpr int kCells = 11;

    CMask() {
        cells_.fill(0);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) cells_[static_cast<std::size_t>(kCells * i + j)] = 1;
    }

    void Set3x3(const std::int8_t values[9]) { Set(values, 3); }
    void Set5x5(const std::int8_t values[25]) { Set(values, 5); }
    void Set7x7(const std::int8_t values[49]) { Set(values, 7); }

    // Row and column are taken modulo 256, then wrap inside the 121 cells.
    std::int8_t GetCell(int row, int column) const {
        const int index = (kCells * (row & 0xFF) + (column & 0xFF)) % (kCells * kCells);
        return cells_[static_cast<std::size_t>(index)];
    }
    std::uint8_t GetMaskSize() const { return size_; }
    // Sum of the absolute values of the used cells.
    int GetNorm() const;

private:
    void Set(const std::int8_t* values, int side);

    std::array<std::int8_t, kCells * kCells> cells_;
    std::uint8_t size_ = 3;
};
