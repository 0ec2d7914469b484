#include "StepsMeasure.h"

#include "StepsValues.h"

namespace {

// The numbers of one page, the engine's and its values' (the levels' from
// the same pass over the pixels); false when its histogram cannot be made.
bool MeasurePage(const SPicturePage& page, bool histogram, CMeasureRow& row) {
    CImage& image = *page.image;
    row.width = image.GetWidth();
    row.height = image.GetHeight();
    const CLevelStatistics levels = image.GetStatistics();
    row.statistics = CImageStatistics::From(levels, image.GetArea());
    row.values = page.samples ? MeasureValues(*page.samples) : MeasureLevels(image, levels);
    row.histogram.clear();
    bool done = true;
    if (histogram) {
        done = image.GenerateHistogram();
        for (int level = 0; done && level < 256; ++level)
            row.histogram.push_back(static_cast<std::uint32_t>(image.GetHistogramValue(level)));
    }
    return done;
}

}  // namespace

bool StepMeasure(CImageDocument& doc, bool histogram, CMeasureRow& row) {
    std::vector<CMeasureRow> rows;
    const bool done = StepMeasurePages(doc, histogram, false, rows);
    const std::string file = row.file;
    row = rows.front();
    row.file = file;
    return done;
}

bool StepMeasurePages(CImageDocument& doc, bool histogram, bool allPages,
                      std::vector<CMeasureRow>& rows) {
    const int current = doc.GetCurrentPage();
    const bool every = allPages && doc.GetPageCount() > 1;
    const int first = every ? 0 : current, last = every ? doc.GetPageCount() : current + 1;
    rows.assign(static_cast<std::size_t>(last - first), {});
    bool done = true;
    for (int i = first; i < last; ++i) {
        const SPicturePage& page = doc.GetPages()[static_cast<std::size_t>(i)];
        CMeasureRow& row = rows[static_cast<std::size_t>(i - first)];
        row.page = page.number;
        done = MeasurePage(page, histogram, row) && done;
    }
    doc.RecordOperation(
        {.flag = histogram ? "--measure-histogram" : "--measure", .keepsLevels = true}, done,
        every);
    for (CMeasureRow& row : rows) row.step = doc.GetRecipe().Measurements();
    return done;
}
