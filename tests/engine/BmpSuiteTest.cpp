// Real BMP files made by other programs: good, questionable and bad ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "BmpFileIo.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSuite = fs::path(ORVEX_TESTDATA) / "bmpsuite";

std::vector<fs::path> FilesIn(const char* folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kSuite / folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Pixels of an 8-bit picture, row by row without padding, plus its colours.
struct Pixels8 {
    std::vector<std::uint8_t> levels;
    std::vector<std::uint32_t> colours;  // colour of each pixel, through the table
    bool operator==(const Pixels8&) const = default;
};

Pixels8 PixelsOf(CImage& image) {
    Pixels8 p;
    const std::uint8_t* bits = image.GetBits(image.Lock());
    const auto& table = *image.GetPalette();
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) {
            const std::uint8_t v = bits[y * CImage::GetWidthBytes(image.GetWidth()) + x];
            p.levels.push_back(v);
            const auto& e = table.entries[v];
            p.colours.push_back(v < table.count ? (e.red << 16 | e.green << 8 | e.blue)
                                                : 0xFFFFFFFFu);
        }
    return p;
}

}  // namespace

TEST(BmpSuite, EveryFileIsReadOrRefusedCleanly) {
    for (const char* folder : {"g", "q", "b"}) {
        for (const fs::path& file : FilesIn(folder)) {
            SCOPED_TRACE(file.string());
            CMessageRecorder recorder;
            CImage image;
            const FileStatus status = ReadBmpFile(image, file.string());
            if (status == FileStatus::Ok) {
                EXPECT_TRUE(recorder.messages.empty());
                EXPECT_GT(image.GetWidth(), 0);
                EXPECT_GT(image.GetHeight(), 0);
                // Whatever opens can be saved, and reads back the same.
                CMemoryStream out;
                ASSERT_TRUE(image.SaveFileBMP(out));
                CImage again;
                CMemoryStream in(out.Bytes());
                ASSERT_TRUE(again.ReadFileBMP(in));
                EXPECT_EQ(BlockBytes(again), BlockBytes(image));
            } else {
                EXPECT_EQ(status, FileStatus::Refused);
                EXPECT_FALSE(image.IsValid());
                ASSERT_EQ(recorder.messages.size(), 1u);
                EXPECT_EQ(recorder.messages[0].rfind("ReadFileBMP : ", 0), 0u);
            }
        }
    }
}

TEST(BmpSuite, GoodFilesAllOpen) {
    for (const fs::path& file : FilesIn("g")) {
        SCOPED_TRACE(file.string());
        CImage image;
        EXPECT_EQ(ReadBmpFile(image, file.string()), FileStatus::Ok);
    }
}

TEST(BmpSuite, EightBitVariantsShowTheSamePicture) {
    // The same picture stored with other headers, orders and encodings.
    CImage reference;
    ASSERT_EQ(ReadBmpFile(reference, (kSuite / "g/pal8.bmp").string()), FileStatus::Ok);
    const Pixels8 expected = PixelsOf(reference);
    for (const char* name : {"g/pal8-0.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp", "g/pal8topdown.bmp",
                             "g/pal8v4.bmp", "g/pal8v5.bmp", "q/pal8offs.bmp", "q/pal8os2sp.bmp",
                             "q/pal8os2v2.bmp", "q/pal8os2v2-16.bmp", "q/pal8oversizepal.bmp"}) {
        SCOPED_TRACE(name);
        CImage image;
        ASSERT_EQ(ReadBmpFile(image, (kSuite / name).string()), FileStatus::Ok);
        EXPECT_EQ(PixelsOf(image).colours, expected.colours);
    }
}

TEST(BmpSuite, UncompressedEightBitFilesRoundTripTheirPixels) {
    for (const char* folder : {"g", "q", "b"}) {
        for (const fs::path& file : FilesIn(folder)) {
            CImage image;
            CMessageRecorder quiet;
            if (ReadBmpFile(image, file.string()) != FileStatus::Ok || image.GetBitCount() != 8)
                continue;
            SCOPED_TRACE(file.string());
            const fs::path saved =
                fs::temp_directory_path() / ("orvex-suite-" + file.filename().string());
            ASSERT_EQ(SaveBmpFile(image, saved.string()), FileStatus::Ok);
            CImage again;
            ASSERT_EQ(ReadBmpFile(again, saved.string()), FileStatus::Ok);
            EXPECT_EQ(PixelsOf(again), PixelsOf(image));
            fs::remove(saved);
        }
    }
}
