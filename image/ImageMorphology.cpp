// Binary morphology on the whole picture, white (255) being the object.

#include <algorithm>
#include <string>

#include "BandRunner.h"
#include "Image.h"
#include "MorphologyKernel.h"

namespace detail {

ElementTable MakeElementTable(const CMask& element) {
    ElementTable table;
    table.side = std::min<int>(element.GetMaskSize(), CMask::kCells);
    for (int i = 0; i < table.side; ++i)
        for (int j = 0; j < table.side; ++j)
            table.cells[table.side * i + j] = element.GetCell(i, j) != 0;
    return table;
}

void MorphoReference(const std::uint8_t* source, std::uint8_t* target, std::size_t stride,
                     int width, int height, const ElementTable& element,
                     MorphoOperation operation) {
    const int n = element.side;
    const int half = (n - 1) / 2;
    const bool dilate = operation == MorphoOperation::Dilate;
    // Dilation looks for an object pixel, erosion for a background one.
    const std::uint8_t hitResult = dilate ? 255 : 0;
    for (int y = half; y < height - half; ++y) {
        for (int x = half; x < width - half; ++x) {
            const std::uint8_t* window =
                source + static_cast<std::size_t>(y - half) * stride + (x - half);
            bool hit = false;
            for (int i = 0; i < n && !hit; ++i) {
                const std::uint8_t* row = window + static_cast<std::size_t>(i) * stride;
                const bool* cells = element.cells + n * i;
                for (int j = 0; j < n; ++j) {
                    if (cells[j] && ((row[j] == 255) == dilate)) {
                        hit = true;
                        break;
                    }
                }
            }
            if (hit) target[static_cast<std::size_t>(y) * stride + x] = hitResult;
        }
    }
}

}  // namespace detail

namespace {

bool ApplyMorphology(CImage& image, const CMask& element, detail::MorphoOperation operation,
                     const std::string& name) {
    const CLockedPixelRows rows(image, name, MissingBlock::Silent);
    if (!rows) return false;
    const detail::MorphoPlan plan =
        detail::MakeMorphoPlan(detail::MakeElementTable(element), operation);
    const int width = static_cast<int>(rows.width), height = static_cast<int>(rows.height);
    const auto stride = static_cast<std::size_t>(rows.stride);
    bool done = true;
    if (width - 2 * plan.half > 0)
        done = RunInPlaceBands(
            rows, plan.half, height - plan.half, plan.half, detail::MorphoScratchBytes(plan, width),
            [&](int first, int last, const CRowSource& source, std::uint8_t* scratch) {
                detail::MorphoBand(plan, source, scratch, rows.bits, stride, width, first, last);
            });
    return done;
}

}  // namespace

bool CImage::MorphoDilate(const CMask& element) {
    return ApplyMorphology(*this, element, detail::MorphoOperation::Dilate, "MorphoDilate");
}

bool CImage::MorphoErode(const CMask& element) {
    return ApplyMorphology(*this, element, detail::MorphoOperation::Erode, "MorphoErode");
}
