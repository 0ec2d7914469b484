#pragma once
// The 7 x 7 block of coefficient fields in which a kernel is shown or typed.
//
// A kernel of side n (3, 5 or 7) occupies the n x n block centred in the
// grid, rows and columns o .. o + n - 1 with o = (7 - n) / 2; its row 0 is the
// block's top row. Cells outside the block are hidden, never cleared: their
// text comes back when a larger size shows them again, and the read-back
// still checks them.

#include <array>
#include <optional>

#include "Mask.h"

class CDialogUnits;
class QLineEdit;
class QWidget;

class CKernelGrid {
public:
    static constexpr int kSide = 7;
    static constexpr int kCells = kSide * kSide;
    using Values = std::array<int, kCells>;  // row by row

    // Creates the 49 fields in `parent`, row by row (their tab order), with the
    // top-left cell at x0, y0 dialog units.
    CKernelGrid(QWidget* parent, const CDialogUnits& units, int x0, int y0);

    // The field's id by position, as the dialog resource numbers them.
    static int CellId(int row, int column);
    QLineEdit* Cell(int row, int column) const;

    // Shows exactly the centred block of side n (anything but 5 or 7 is 3).
    void ShowSize(int size);
    // Writes the mask's elements into its centred block; other cells keep
    // their text.
    void ShowMask(const CMask& mask);
    void SetEditable(bool editable);

    // Reads every field, hidden ones included, row by row but cell (4, 1)
    // last, each an integer -99 .. 99. The first field at fault is reported,
    // focused and selected, and nothing is returned.
    std::optional<Values> ReadBack() const;

    // The n x n centred block of `values` as a mask (n = 3, 5 or 7).
    static CMask ToMask(int size, const Values& values);

private:
    std::array<QLineEdit*, kCells> cells_{};
};
