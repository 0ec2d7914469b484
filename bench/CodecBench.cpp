// Picture files against OpenCV's imread and imwrite on the same files:
// 16-MP grey PNG, LZW TIFF and colour JPEG read, grey PNG and TIFF written,
// colour (RGB) and palette PNG both ways;
// then opening a 100-MP TIFF as a document beside the same picture as BMP
// (the "peer" of that row is our own BMP reader).
//
// The PNG rows name the libraries: ours reads through libdeflate (libspng
// for the kinds that path leaves) and writes grey and colour rows through
// our own run-length deflate (palette rows through zlib), OpenCV's goes
// through libpng. OpenCV writes no palette PNG: its side of
// the palette write row writes the same indices as grey levels, the same
// bytes through the same filters and deflate, without the table. The write rows count
// the file's bytes, so a faster writer that makes larger files shows.
// Neither side waits for the disk in the codec rows; a save as the program
// makes it (the file and its folder flushed to the disk) has a row of its
// own, beside imwrite followed by the same two flushes.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <string>

#include "BenchSupport.h"
#include "ImageDocument.h"
#include "PictureFile.h"

namespace {

constexpr int kSide = 4096;        // 16 MP
constexpr int kLargeSide = 10000;  // 100 MP

std::string TempPath(const std::string& name) { return BenchFile("codec-" + name); }

// A photograph-like picture: smooth shapes with a little noise, so that
// compressed files have a realistic size.
cv::Mat Scene(int side, int type) {
    cv::Mat m(side, side, type);
    std::uint32_t noise = 12345;
    for (int y = 0; y < side; ++y) {
        auto* row = m.ptr<std::uint8_t>(y);
        for (int x = 0; x < side * m.channels(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            const double wave = std::sin(x * 0.003 + (x % 3)) * std::cos(y * 0.004);
            row[x] = static_cast<std::uint8_t>(128 + 100 * wave + (noise >> 29));
        }
    }
    return m;
}

// The files both sides read, made once by OpenCV.
const std::string& File(const std::string& name) {
    static const bool made = [] {
        const cv::Mat grey = Scene(kSide, CV_8UC1);
        cv::imwrite(TempPath("grey.png"), grey);
        cv::imwrite(TempPath("grey-lzw.tif"), grey);  // LZW is OpenCV's choice
        const cv::Mat colour = Scene(kSide, CV_8UC3);
        cv::imwrite(TempPath("colour.jpg"), colour, {cv::IMWRITE_JPEG_QUALITY, 90});
        cv::imwrite(TempPath("colour.png"), colour);
        // The grey picture through a false-colour table, written by us.
        CImage palette;
        SPictureFileInfo info;
        std::string problem;
        if (ReadPictureFile(palette, TempPath("grey.png"), info) == FileStatus::Ok &&
            palette.PaletteRainbow())
            SavePictureFile(palette, TempPath("palette.png"), *FormatNamed("PNG"), problem);
        const cv::Mat large = Scene(kLargeSide, CV_8UC1);
        cv::imwrite(TempPath("large.tif"), large, {cv::IMWRITE_TIFF_COMPRESSION, 1});
        cv::imwrite(TempPath("large-lzw.tif"), large);
        cv::imwrite(TempPath("large.bmp"), large);
        return true;
    }();
    (void)made;
    static std::map<std::string, std::string> paths;
    return paths.try_emplace(name, TempPath(name)).first->second;
}

void OursRead(benchmark::State& state, const std::string& name) {
    const std::string& path = File(name);
    for (auto _ : state) {
        CImage image;
        SPictureFileInfo info;
        if (ReadPictureFile(image, path, info) != FileStatus::Ok)
            state.SkipWithError(info.problem.c_str());
        benchmark::DoNotOptimize(image.GetHandle());
    }
}

void PeerRead(benchmark::State& state, const std::string& name, int flags) {
    const std::string& path = File(name);
    for (auto _ : state) {
        cv::Mat m = cv::imread(path, flags);
        if (m.empty()) state.SkipWithError("imread failed");
        benchmark::DoNotOptimize(m.data);
    }
}

void CountFileBytes(benchmark::State& state, const std::string& name) {
    std::error_code error;
    state.counters["file_bytes"] =
        static_cast<double>(std::filesystem::file_size(TempPath(name), error));
}

// The program's save: written beside, flushed to the disk, put in place.
void OursSave(benchmark::State& state, PictureFormat format, const std::string& name) {
    CImage image;
    SPictureFileInfo info;
    ReadPictureFile(image, File("grey.png"), info);
    for (auto _ : state) {
        std::string problem;
        if (SavePictureFile(image, TempPath(name), format, problem) != FileStatus::Ok)
            state.SkipWithError(problem.c_str());
    }
}

// The writer straight into a file, without the complete-or-nothing save's
// fsync, as imwrite writes.
void OursWriteNoSync(benchmark::State& state, PictureFormat format, const std::string& name,
                     const std::string& source = "grey.png") {
    CImage image;
    SPictureFileInfo info;
    ReadPictureFile(image, File(source), info);
    for (auto _ : state) {
        std::FILE* file = std::fopen(TempPath(name).c_str(), "wb");
        if (file == nullptr) {
            state.SkipWithError("cannot create the file");
            break;
        }
        CFileStream out(file);
        std::string problem;
        const FileStatus status = WritePicture(image, out, format, problem);
        if (std::fclose(file) != 0 || status != FileStatus::Ok)
            state.SkipWithError(problem.c_str());
    }
    CountFileBytes(state, name);
}

void PeerWrite(benchmark::State& state, const std::string& name, bool flush,
               const std::string& source = "grey.png") {
    const cv::Mat picture = cv::imread(File(source), cv::IMREAD_UNCHANGED);
    for (auto _ : state) {
        benchmark::DoNotOptimize(cv::imwrite(TempPath(name), picture));
        if (!flush) continue;
        const std::string file = TempPath(name);
        for (const std::string& path : {file, file.substr(0, file.rfind('/'))}) {
            const int fd = open(path.c_str(), O_RDONLY);
            fsync(fd);
            close(fd);
        }
    }
    if (!flush) CountFileBytes(state, name);
}

void OpenDocument(benchmark::State& state, const std::string& name) {
    const std::string& path = File(name);
    for (auto _ : state) {
        CImageDocument document;
        if (document.Open(path) != FileStatus::Ok) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(document.GetImage()->GetHandle());
    }
}

const int kRegistered = [] {
    const auto pair = [](const std::string& name, auto ours, auto peer) {
        AddPair(name, ours, peer);
    };
    pair(
        "Read PNG grey 16MP spng/png", [](benchmark::State& s) { OursRead(s, "grey.png"); },
        [](benchmark::State& s) { PeerRead(s, "grey.png", cv::IMREAD_UNCHANGED); });
    pair(
        "Read TIFF LZW 16MP", [](benchmark::State& s) { OursRead(s, "grey-lzw.tif"); },
        [](benchmark::State& s) { PeerRead(s, "grey-lzw.tif", cv::IMREAD_UNCHANGED); });
    pair(
        "Read JPEG colour 16MP", [](benchmark::State& s) { OursRead(s, "colour.jpg"); },
        [](benchmark::State& s) { PeerRead(s, "colour.jpg", cv::IMREAD_COLOR); });
    pair(
        "Write PNG grey 16MP",
        [](benchmark::State& s) { OursWriteNoSync(s, *FormatNamed("PNG"), "out.png"); },
        [](benchmark::State& s) { PeerWrite(s, "out-peer.png", false); });
    pair(
        "Read PNG colour 16MP", [](benchmark::State& s) { OursRead(s, "colour.png"); },
        [](benchmark::State& s) { PeerRead(s, "colour.png", cv::IMREAD_UNCHANGED); });
    pair(
        "Read PNG palette 16MP", [](benchmark::State& s) { OursRead(s, "palette.png"); },
        [](benchmark::State& s) { PeerRead(s, "palette.png", cv::IMREAD_UNCHANGED); });
    pair(
        "Write PNG colour 16MP",
        [](benchmark::State& s) {
            OursWriteNoSync(s, *FormatNamed("PNG"), "out-colour.png", "colour.png");
        },
        [](benchmark::State& s) { PeerWrite(s, "out-colour-peer.png", false, "colour.png"); });
    pair(
        "Write PNG palette 16MP",
        [](benchmark::State& s) {
            OursWriteNoSync(s, *FormatNamed("PNG"), "out-palette.png", "palette.png");
        },
        [](benchmark::State& s) { PeerWrite(s, "out-palette-peer.png", false, "grey.png"); });
    pair(
        "Write TIFF grey 16MP",
        [](benchmark::State& s) { OursWriteNoSync(s, *FormatNamed("TIFF"), "out.tif"); },
        [](benchmark::State& s) { PeerWrite(s, "out-peer.tif", false); });
    pair(
        "Save PNG 16MP + fsync",
        [](benchmark::State& s) { OursSave(s, *FormatNamed("PNG"), "saved.png"); },
        [](benchmark::State& s) { PeerWrite(s, "saved-peer.png", true); });
    // Opening the same picture from our own formats: no peer, so these rows
    // are compared with the baseline only.
    AddOurs("Open 100MP BMP", [](benchmark::State& s) { OpenDocument(s, "large.bmp"); });
    AddOurs("Open 100MP TIFF", [](benchmark::State& s) { OpenDocument(s, "large.tif"); });
    AddOurs("Open 100MP LZW TIFF", [](benchmark::State& s) { OpenDocument(s, "large-lzw.tif"); });
    return 0;
}();

}  // namespace
