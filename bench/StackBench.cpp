// Stacks against OpenCV on a 200-page 512 x 512 grey LZW TIFF (made by
// OpenCV): every page read (cv::imreadmulti), the negative of every page (a
// loop of cv::bitwise_not), the maximum projection (cv::max over the pages)
// and the stack written as one multi-page file (cv::imwritemulti). Our side
// runs as orvex-cli does: the document's pages, no undo copy.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ImageDocument.h"
#include "PictureFile.h"
#include "StepsImage.h"
#include "StepsStack.h"

namespace {

constexpr int kPages = 200;
constexpr int kSide = 512;

// Slices of a smooth scene that moves through the stack, with a little noise.
const std::string& StackFile() {
    static const std::string path = [] {
        std::vector<cv::Mat> pages;
        std::uint32_t noise = 12345;
        for (int p = 0; p < kPages; ++p) {
            cv::Mat m(kSide, kSide, CV_8UC1);
            for (int y = 0; y < kSide; ++y)
                for (int x = 0; x < kSide; ++x) {
                    noise = noise * 1664525u + 1013904223u;
                    const double wave = std::sin(x * 0.02 + p * 0.05) * std::cos(y * 0.015);
                    m.at<std::uint8_t>(y, x) =
                        static_cast<std::uint8_t>(128 + 100 * wave + (noise >> 29));
                }
            pages.push_back(m);
        }
        const std::string file = BenchFile("stack-200.tif");
        cv::imwritemulti(file, pages);
        return file;
    }();
    return path;
}

void OpenStack(CImageDocument& doc, benchmark::State& state) {
    doc.SetUndoCopies(false);
    if (doc.Open(StackFile(), {1, 0}) != FileStatus::Ok || doc.GetPageCount() != kPages)
        state.SkipWithError("the stack did not open whole");
}

std::vector<cv::Mat> PeerStack(benchmark::State& state) {
    std::vector<cv::Mat> pages;
    if (!cv::imreadmulti(StackFile(), pages, cv::IMREAD_UNCHANGED) ||
        static_cast<int>(pages.size()) != kPages)
        state.SkipWithError("imreadmulti failed");
    return pages;
}

const int kRegistered = [] {
    AddPair(
        "Stack read 200 x 512x512",
        [](benchmark::State& s) {
            for (auto _ : s) {
                CImageDocument doc;
                OpenStack(doc, s);
                benchmark::DoNotOptimize(doc.GetImage()->GetHandle());
            }
        },
        [](benchmark::State& s) {
            for (auto _ : s) benchmark::DoNotOptimize(PeerStack(s).data());
        });
    AddPair(
        "Stack negative 200 pages",
        [](benchmark::State& s) {
            CImageDocument doc;
            OpenStack(doc, s);
            for (auto _ : s) doc.RunOnPages(true, StepNegative);
        },
        [](benchmark::State& s) {
            std::vector<cv::Mat> pages = PeerStack(s);
            for (auto _ : s)
                for (cv::Mat& page : pages) cv::bitwise_not(page, page);
        });
    AddPair(
        "Stack max projection 200 pages",
        [](benchmark::State& s) {
            CImageDocument doc;
            OpenStack(doc, s);
            for (auto _ : s) {
                CImage projected;
                ProjectPages(doc.GetPages(), ProjectionKind::Maximum, projected);
                benchmark::DoNotOptimize(projected.GetHandle());
            }
        },
        [](benchmark::State& s) {
            const std::vector<cv::Mat> pages = PeerStack(s);
            for (auto _ : s) {
                cv::Mat projected = pages.front().clone();
                for (std::size_t i = 1; i < pages.size(); ++i)
                    cv::max(projected, pages[i], projected);
                benchmark::DoNotOptimize(projected.data);
            }
        });
    AddPair(
        "Stack write TIFF 200 pages",
        [](benchmark::State& s) {
            CImageDocument doc;
            OpenStack(doc, s);
            const std::string path = BenchFile("stack-out.tif");
            for (auto _ : s) {
                std::FILE* file = std::fopen(path.c_str(), "wb");
                if (file == nullptr) {
                    s.SkipWithError("cannot create the file");
                    break;
                }
                CFileStream out(file);
                std::string problem;
                const FileStatus status =
                    WritePicture(doc.GetPages(), out, PictureFormat::Tiff, problem);
                if (std::fclose(file) != 0 || status != FileStatus::Ok)
                    s.SkipWithError(problem.c_str());
            }
        },
        [](benchmark::State& s) {
            const std::vector<cv::Mat> pages = PeerStack(s);
            const std::string path = BenchFile("stack-out-peer.tif");
            for (auto _ : s) benchmark::DoNotOptimize(cv::imwritemulti(path, pages));
        });
    return 0;
}();

}  // namespace
