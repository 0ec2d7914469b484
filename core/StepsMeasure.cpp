#include "StepsMeasure.h"

bool StepMeasure(CImageDocument& doc, bool histogram, CMeasureRow& row) {
    CImage& image = *doc.GetImage();
    row.width = image.GetWidth();
    row.height = image.GetHeight();
    row.statistics = CImageStatistics::Measure(image);
    row.histogram.clear();
    bool done = true;
    if (histogram) {
        done = image.GenerateHistogram();
        for (int level = 0; done && level < 256; ++level)
            row.histogram.push_back(static_cast<std::uint32_t>(image.GetHistogramValue(level)));
    }
    doc.RecordOperation({.flag = histogram ? "--measure-histogram" : "--measure"}, done);
    row.step = doc.GetRecipe().Measurements();
    return done;
}
