#include "CKernelGrid.h"

#include <QLineEdit>
#include <cstdint>

#include "CDialogUnits.h"
#include "CFieldReader.h"
#include "KernelCatalogue.h"

namespace {

constexpr std::array<int, CKernelGrid::kCells> kCellIds = {
    112, 113, 114, 115, 134, 135, 154,  //
    164, 165, 166, 167, 168, 169, 170,  //
    174, 175, 176, 177, 178, 179, 180,  //
    184, 185, 186, 187, 188, 189, 190,  //
    194, 195, 196, 197, 198, 199, 200,  //
    125, 127, 129, 157, 159, 161, 171,  //
    126, 128, 130, 158, 160, 162, 172,
};

constexpr int kLowest = -99;
constexpr int kHighest = 99;

int Normalised(int size) { return size == 5 || size == 7 ? size : 3; }

int Offset(int size) { return (CKernelGrid::kSide - Normalised(size)) / 2; }

std::size_t Index(int row, int column) {
    return static_cast<std::size_t>(row * CKernelGrid::kSide + column);
}

}  // namespace

CKernelGrid::CKernelGrid(QWidget* parent, const CDialogUnits& units, int x0, int y0) {
    for (int row = 0; row < kSide; ++row) {
        for (int column = 0; column < kSide; ++column) {
            auto* cell = new QLineEdit(parent);
            cell->setObjectName(QStringLiteral("cell%1").arg(CellId(row, column)));
            cell->setAlignment(Qt::AlignRight);
            cell->setTextMargins(0, 0, 0, 0);
            units.Place(cell, x0 + 20 * column, y0 + 15 * row, 15, 12);
            cells_[Index(row, column)] = cell;
        }
    }
}

int CKernelGrid::CellId(int row, int column) { return kCellIds[Index(row, column)]; }

QLineEdit* CKernelGrid::Cell(int row, int column) const { return cells_[Index(row, column)]; }

void CKernelGrid::ShowSize(int size) {
    const int first = Offset(size);
    const int last = first + Normalised(size) - 1;
    for (int row = 0; row < kSide; ++row) {
        for (int column = 0; column < kSide; ++column) {
            const bool inside = row >= first && row <= last && column >= first && column <= last;
            Cell(row, column)->setVisible(inside);
        }
    }
}

void CKernelGrid::ShowMask(const CMask& mask) {
    const int size = Normalised(mask.GetMaskSize());
    const int offset = Offset(size);
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j)
            Cell(offset + i, offset + j)->setText(QString::number(mask.GetCell(i, j)));
}

void CKernelGrid::SetEditable(bool editable) {
    for (QLineEdit* cell : cells_) cell->setReadOnly(!editable);
}

std::optional<CKernelGrid::Values> CKernelGrid::ReadBack() const {
    // Cell (4, 1) comes last.
    constexpr std::size_t kLast = 4 * kSide + 1;
    CFieldReader reader;
    Values values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i == kLast) continue;
        values[i] = reader.Integer(cells_[i], kLowest, kHighest).value_or(0);
    }
    values[kLast] = reader.Integer(cells_[kLast], kLowest, kHighest).value_or(0);
    if (!reader.Ok()) return std::nullopt;
    return values;
}

CMask CKernelGrid::ToMask(int size, const Values& values) {
    size = Normalised(size);
    const int offset = Offset(size);
    std::array<std::int8_t, kCells> block{};
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j)
            block[static_cast<std::size_t>(i * size + j)] =
                static_cast<std::int8_t>(values[Index(offset + i, offset + j)]);
    return MakeMask(size, block.data());
}
