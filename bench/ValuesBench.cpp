// The file's own values: their statistics on a 16-MP 16-bit picture beside
// a plain sum over the same 32 MB, the window made again against OpenCV's
// convertScaleAbs on the same samples, and a 100-MP 16-bit TIFF opened (its
// samples kept; compared with the baseline).

#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "BenchSupport.h"
#include "ImageDocument.h"
#include "Parallel.h"
#include "ValueStatistics.h"

namespace {

constexpr int kSide = 4096;        // 16 MP
constexpr int kLargeSide = 10000;  // 100 MP

// 16-bit samples of a 12-bit camera's range, a smooth scene with noise.
const CFileSamples& Samples() {
    static const CFileSamples samples = [] {
        CFileSamples s(kSide, kSide, SampleKind::Unsigned, 16, 65535);
        std::uint32_t noise = 12345;
        for (int y = 0; y < kSide; ++y) {
            std::uint16_t* row = s.Row16(y);
            for (int x = 0; x < kSide; ++x) {
                noise = noise * 1664525u + 1013904223u;
                row[x] = static_cast<std::uint16_t>(2000 + (x * 3 + y) % 1500 + (noise >> 24));
            }
        }
        return s;
    }();
    return samples;
}

void PlainSum(benchmark::State& state) {
    const CFileSamples& samples = Samples();
    for (auto _ : state) {
        std::vector<std::uint64_t> sums(kSide);
        ParallelRows(0, kSide, 16, [&](int first, int last) {
            for (int y = first; y < last; ++y) {
                const auto* words = reinterpret_cast<const std::uint64_t*>(samples.Row16(y));
                std::uint64_t sum = 0;
                for (int i = 0; i < kSide / 4; ++i) sum += words[i];
                sums[static_cast<std::size_t>(y)] = sum;
            }
        });
        benchmark::DoNotOptimize(sums.data());
    }
}

void Statistics(benchmark::State& state) {
    const CFileSamples& samples = Samples();
    for (auto _ : state) benchmark::DoNotOptimize(MeasureValues(samples).sd);
}

void OursWindow(benchmark::State& state) {
    const CFileSamples& samples = Samples();
    std::vector<std::uint8_t> levels(static_cast<std::size_t>(kSide) * kSide);
    for (auto _ : state) {
        samples.Level(2100, 3600, levels.data(), kSide);
        benchmark::DoNotOptimize(levels.data());
    }
}

void PeerWindow(benchmark::State& state) {
    const CFileSamples& samples = Samples();
    const cv::Mat src(kSide, kSide, CV_16UC1, const_cast<std::uint16_t*>(samples.Row16(0)));
    cv::Mat dst;
    const double alpha = 255.0 / 1500, beta = -2100 * alpha;
    for (auto _ : state) {
        cv::convertScaleAbs(src, dst, alpha, beta);
        benchmark::DoNotOptimize(dst.data);
    }
}

void OpenDeep(benchmark::State& state) {
    static const std::string path = [] {
        const std::string file = BenchFile("values-large16.tif");
        cv::Mat large(kLargeSide, kLargeSide, CV_16UC1);
        for (int y = 0; y < kLargeSide; ++y) {
            auto* row = large.ptr<std::uint16_t>(y);
            for (int x = 0; x < kLargeSide; ++x)
                row[x] = static_cast<std::uint16_t>((x * 7 + y * 3) % 4096);
        }
        cv::imwrite(file, large, {cv::IMWRITE_TIFF_COMPRESSION, 1});
        return file;
    }();
    for (auto _ : state) {
        CImageDocument document;
        if (document.Open(path) != FileStatus::Ok) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(document.GetSamples());
    }
}

const int kRegistered = [] {
    AddOurs("Read 32MB", PlainSum);
    AddOurs("Value statistics 16MP 16-bit", Statistics);
    AddPair("Window 16MP 16-bit", OursWindow, PeerWindow);
    AddOurs("Open 100MP 16-bit TIFF", OpenDeep);
    return 0;
}();

}  // namespace
