#include "Mask.h"

#include <cstdlib>

void CMask::Set(const std::int8_t* values, int side) {
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j)
            cells_[static_cast<std::size_t>(kCells * i + j)] = values[side * i + j];
    size_ = static_cast<std::uint8_t>(side);
}

int CMask::GetNorm() const {
    int norm = 0;
    for (int i = 0; i < size_; ++i)
        for (int j = 0; j < size_; ++j) norm += std::abs(GetCell(i, j));
    return norm;
}
