#include "StepsValues.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "ArgParse.h"
#include "ImageLock.h"
#include "Message.h"
#include "SampleWindowText.h"

namespace {

// Every finite sample as a number, in any order.
std::vector<double> FiniteValues(const CFileSamples& samples) {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(samples.Width()) *
                   static_cast<std::size_t>(samples.Height()));
    for (int y = 0; y < samples.Height(); ++y)
        for (int x = 0; x < samples.Width(); ++x)
            if (const double v = samples.ValueAt(x, y); std::isfinite(v)) values.push_back(v);
    return values;
}

// The samples of 16 bits at most counted by value, from the least.
std::vector<std::uint64_t> CountValues(const CFileSamples& samples, int& least) {
    least = samples.Kind() == SampleKind::Signed ? -32768 : 0;
    std::vector<std::uint64_t> counts(65536);
    for (int y = 0; y < samples.Height(); ++y) {
        const std::uint16_t* row = samples.Row16(y);
        for (int x = 0; x < samples.Width(); ++x)
            ++counts[samples.Kind() == SampleKind::Signed ? row[x] ^ 0x8000u : row[x]];
    }
    return counts;
}

// The samples' k-th and m-th least values (k <= m), counted from 0.
std::pair<double, double> RankedValues(const CFileSamples& samples, std::uint64_t k,
                                       std::uint64_t m) {
    if (!samples.Wide()) {
        int least = 0;
        const std::vector<std::uint64_t> counts = CountValues(samples, least);
        double ends[2] = {0, 0};
        const std::uint64_t ranks[2] = {k, m};
        std::uint64_t below = 0;
        int found = 0;
        for (int v = 0; v < 65536 && found < 2; ++v) {
            below += counts[static_cast<std::size_t>(v)];
            while (found < 2 && ranks[found] < below) ends[found++] = v + least;
        }
        return {ends[0], ends[1]};
    }
    std::vector<double> values = FiniteValues(samples);
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    const double low = values[k];
    std::nth_element(values.begin() + static_cast<std::ptrdiff_t>(k),
                     values.begin() + static_cast<std::ptrdiff_t>(m), values.end());
    return {low, values[m]};
}

std::uint64_t FiniteCount(const CFileSamples& samples) {
    if (!samples.Wide() || samples.Kind() != SampleKind::Float)
        return static_cast<std::uint64_t>(samples.Width()) *
               static_cast<std::uint64_t>(samples.Height());
    std::uint64_t count = 0;
    for (int y = 0; y < samples.Height(); ++y) {
        const std::uint32_t* row = samples.Row32(y);
        for (int x = 0; x < samples.Width(); ++x)
            count += std::isfinite(std::bit_cast<float>(row[x])) ? 1 : 0;
    }
    return count;
}

}  // namespace

bool WindowFits(const CFileSamples& samples, double low, double high) {
    if (!std::isfinite(low) || !std::isfinite(high) || low > high) return false;
    if (samples.Kind() == SampleKind::Float) return true;
    return low == std::floor(low) && high == std::floor(high);
}

std::optional<std::pair<double, double>> AutoWindow(const CFileSamples& samples) {
    const std::uint64_t n = FiniteCount(samples);
    if (n == 0) return std::nullopt;
    return RankedValues(samples, 0, n - 1);
}

std::optional<std::pair<double, double>> SaturatedWindow(const CFileSamples& samples,
                                                         double percent) {
    const std::uint64_t n = FiniteCount(samples);
    if (n == 0 || !(percent >= 0 && percent <= 50)) return std::nullopt;
    // numpy's discrete methods: floor((n - 1) q) and ceil((n - 1) q).
    const double last = static_cast<double>(n - 1);
    const auto low = static_cast<std::uint64_t>(std::floor(last * (percent / 100)));
    const auto high = static_cast<std::uint64_t>(std::ceil(last * ((100 - percent) / 100)));
    return RankedValues(samples, low, std::max(low, high));
}

bool StepWindow(CImageDocument& doc, double low, double high) {
    const CFileSamples* samples = doc.GetSamples();
    if (samples == nullptr || !WindowFits(*samples, low, high)) return false;
    CImage& image = *doc.GetImage();
    const CStoredRows rows = image.GetStoredRows();
    if (rows.bits == nullptr || rows.bitCount != 8 || rows.width != samples->Width() ||
        rows.height != samples->Height())
        return false;
    doc.SaveBackup();
    bool done = false;
    {
        const CImageLock lock(image);
        if (lock) {
            samples->Level(low, high, lock.Block() + image.GetBitsOffset(), rows.stride);
            done = true;
        }
    }
    if (done) doc.SetWindow({low, high});
    SPictureLosses depth;
    depth.sampleBits = samples->Bits();
    depth.sampleKind = samples->Kind();
    doc.AddHistory("Image " + SampleDepthWords(depth) + " : fenêtre " +
                   WindowValues(samples->Kind(), low, high));
    doc.RecordOperation({.flag = "--window",
                         .argument = SampleValueText(low, samples->Kind()) + "," +
                                     SampleValueText(high, samples->Kind()),
                         .keepsLevels = true},
                        done);
    return done;
}

SValueStatistics PageValueStatistics(const SPicturePage& page) {
    if (page.samples) return MeasureValues(*page.samples);
    return MeasureLevels(*page.image);
}

std::optional<WindowChoice> ParseWindowArgument(const std::string& text) {
    const std::string saturate = "saturate:";
    if (text == "auto") return WindowChoice(AutoWindow);
    if (text.rfind(saturate, 0) == 0) {
        const auto percent = ParseReal(text.substr(saturate.size()));
        if (!percent || !(*percent >= 0 && *percent <= 50)) return std::nullopt;
        return WindowChoice(
            [p = *percent](const CFileSamples& s) { return SaturatedWindow(s, p); });
    }
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    const auto low = ParseReal(text.substr(0, comma));
    const auto high = ParseReal(text.substr(comma + 1));
    if (!low || !high || !(*low <= *high)) return std::nullopt;
    return WindowChoice(
        [ends = std::pair{*low, *high}](const CFileSamples&) { return std::optional(ends); });
}

bool StepChosenWindow(CImageDocument& doc, const WindowChoice& choice) {
    const CFileSamples* samples = doc.GetSamples();
    if (samples == nullptr) {
        ShowMessage("Window : the file's own samples are not kept");
        return false;
    }
    const auto window = choice(*samples);
    if (!window) {
        ShowMessage("Window : no finite sample");
        return false;
    }
    if (!WindowFits(*samples, window->first, window->second)) {
        ShowMessage("Window : LOW and HIGH must be in order, and integers for samples of integers");
        return false;
    }
    return StepWindow(doc, window->first, window->second);
}
