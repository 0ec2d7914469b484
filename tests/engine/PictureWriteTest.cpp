// Writing PNG, TIFF, PPM and PGM files: every picture comes back with the
// same levels (or colours) and table, other decoders (libpng, libtiff,
// ImageMagick's convert, which scripts/bootstrap.sh installs) see the same
// colours, and
// a picture a format cannot hold is refused with nothing written.
#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "ImageDocument.h"
#include "PictureFiles.h"
#include "TempFolderTest.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

const fs::path kBmpSuite = fs::path(ORVEX_TESTDATA) / "bmpsuite" / "g";

struct SPicture {
    const char* name;
    std::function<void(CImage&)> make;
};

void ReadBmp(CImage& image, const char* name) {
    ASSERT_EQ(ReadPictureAt(image, (kBmpSuite / name).string()), FileStatus::Ok) << name;
}

// A picture with every level, odd width so rows are padded.
void GreyPicture(CImage& image) {
    FillPicture(image, 37, 11, [](int x, int y) { return (x * 7 + y * 31) % 256; });
}
void RainbowPicture(CImage& image) {
    GreyPicture(image);
    image.PaletteRainbow();
}

// Flat bands, bands of two levels at random and bands of noise: PNG image
// data takes several chunks, and TIFF's LZW table is cleared both when it
// fills and when its ratio drops.
void NoisePicture(CImage& image) {
    std::uint32_t noise = 1;
    FillPicture(image, 1031, 700, [&](int, int y) {
        noise = noise * 1664525u + 1013904223u;
        return y % 150 < 50 ? 9u + (noise >> 31) * 40u : y % 150 < 100 ? 9u : noise >> 24;
    });
}

const SPicture kPictures[] = {
    {"grey8", GreyPicture},
    {"noise", NoisePicture},
    {"palette8", RainbowPicture},
    {"bmp_pal8", [](CImage& i) { ReadBmp(i, "pal8.bmp"); }},
    {"bmp_pal4", [](CImage& i) { ReadBmp(i, "pal4.bmp"); }},
    {"bmp_pal1", [](CImage& i) { ReadBmp(i, "pal1.bmp"); }},
    {"bmp_rgb24", [](CImage& i) { ReadBmp(i, "rgb24.bmp"); }},
    {"bmp_rgb32", [](CImage& i) { ReadBmp(i, "rgb32.bmp"); }},
};

// The colour pixel (x, y) shows, y counted from the top, as 0xRRGGBB.
std::uint32_t ShownColour(const CImage& image, int x, int y) {
    const CStoredRows rows = image.GetStoredRows();
    const std::uint8_t* row = rows.Row(rows.height - 1 - y);
    if (rows.bitCount <= 8) {
        const unsigned bit = static_cast<unsigned>(x * rows.bitCount);
        const unsigned index =
            (row[bit / 8] >> (8 - rows.bitCount - bit % 8)) & ((1u << rows.bitCount) - 1);
        const CPaletteTable::Entry& e = image.GetPalette()->entries[index];
        return e.red << 16 | e.green << 8 | e.blue;
    }
    if (rows.bitCount == 24) {
        const std::uint8_t* p = row + 3 * x;
        return p[2] << 16 | p[1] << 8 | p[0];
    }
    auto channel = [](std::uint32_t word, std::uint32_t mask) {
        int shift = 0;
        while (((mask >> shift) & 1u) == 0) ++shift;
        return ((word & mask) >> shift) * 255u / (mask >> shift);
    };
    const std::uint32_t word =
        rows.bitCount == 16 ? CStoredRows::Word16(row, x) : CStoredRows::Word32(row, x);
    return channel(word, rows.redMask) << 16 | channel(word, rows.greenMask) << 8 |
           channel(word, rows.blueMask);
}

// The index pixel (x, y) holds in a picture of 1 to 8 bits.
unsigned ShownIndex(const CImage& image, int x, int y) {
    const CStoredRows rows = image.GetStoredRows();
    const std::uint8_t* row = rows.Row(rows.height - 1 - y);
    const unsigned bit = static_cast<unsigned>(x * rows.bitCount);
    return (row[bit / 8] >> (8 - rows.bitCount - bit % 8)) & ((1u << rows.bitCount) - 1);
}

std::vector<std::uint8_t> Written(CImage& image, PictureFormat format) {
    CMemoryStream out;
    std::string problem;
    EXPECT_EQ(WritePicture(image, out, format, problem), FileStatus::Ok) << problem;
    return out.Bytes();
}

}  // namespace

class WrittenPicture : public ::testing::TestWithParam<std::tuple<SPicture, PictureFormat>> {};

TEST_P(WrittenPicture, ReadsBackWithTheSameLevelsAndTable) {
    CMessageRecorder quiet;
    CImage original;
    std::get<0>(GetParam()).make(original);
    CMemoryStream in(Written(original, std::get<1>(GetParam())));
    CImage back;
    SPictureFileInfo info;
    ASSERT_EQ(ReadPicture(back, in, info), FileStatus::Ok) << info.problem;
    ASSERT_EQ(back.GetSize(), original.GetSize());
    // PPM files hold every picture as the colours it shows.
    const bool indexed =
        original.GetBitCount() <= 8 && std::get<1>(GetParam()) != *FormatNamed("PPM");
    EXPECT_EQ(back.GetBitCount(), indexed ? 8 : 24);
    const CPaletteTable& table = *original.GetPalette();
    for (int i = 0; indexed && i < table.count; ++i)
        EXPECT_EQ(back.GetPalette()->entries[i], table.entries[i]) << i;
    for (int y = 0; y < original.GetHeight(); ++y)
        for (int x = 0; x < original.GetWidth(); ++x) {
            if (indexed) {
                ASSERT_EQ(ShownIndex(back, x, y), ShownIndex(original, x, y)) << x << "," << y;
            } else {
                ASSERT_EQ(ShownColour(back, x, y), ShownColour(original, x, y)) << x << "," << y;
            }
        }
}

// The same files decoded by plain libpng and by libtiff's own RGBA reader.
TEST_P(WrittenPicture, OtherDecodersSeeTheSameColours) {
    CMessageRecorder quiet;
    CImage original;
    std::get<0>(GetParam()).make(original);
    const std::vector<std::uint8_t> bytes = Written(original, std::get<1>(GetParam()));
    const int width = original.GetWidth(), height = original.GetHeight();
    std::vector<std::uint32_t> seen(static_cast<std::size_t>(width) * height);
    const fs::path path =
        fs::temp_directory_path() /
        ("orvex-written-" + std::to_string(::getpid()) + FormatExtension(std::get<1>(GetParam())));
    if (std::get<1>(GetParam()) == *FormatNamed("PPM")) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        const std::string rgb = CommandOutput("convert " + path.string() + " -depth 8 rgb:-");
        fs::remove(path);
        ASSERT_EQ(rgb.size(), 3 * seen.size()) << "ImageMagick's convert read the PPM file";
        for (std::size_t i = 0; i < seen.size(); ++i)
            seen[i] = std::uint8_t(rgb[3 * i]) << 16 | std::uint8_t(rgb[3 * i + 1]) << 8 |
                      std::uint8_t(rgb[3 * i + 2]);
    } else if (std::get<1>(GetParam()) == *FormatNamed("PNG")) {
        png_image png{};
        png.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()));
        png.format = PNG_FORMAT_RGB;
        std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(png));
        ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr)) << png.message;
        for (std::size_t i = 0; i < seen.size(); ++i)
            seen[i] = rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
    } else {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        TIFF* tiff = TIFFOpen(path.c_str(), "r");
        ASSERT_NE(tiff, nullptr);
        std::vector<std::uint32_t> rgba(seen.size());
        ASSERT_TRUE(
            TIFFReadRGBAImageOriented(tiff, width, height, rgba.data(), ORIENTATION_TOPLEFT, 0));
        TIFFClose(tiff);
        fs::remove(path);
        for (std::size_t i = 0; i < seen.size(); ++i)
            seen[i] = TIFFGetR(rgba[i]) << 16 | TIFFGetG(rgba[i]) << 8 | TIFFGetB(rgba[i]);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(seen[static_cast<std::size_t>(y) * width + x], ShownColour(original, x, y))
                << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(PngTiffPpm, WrittenPicture,
                         ::testing::Combine(::testing::ValuesIn(kPictures),
                                            ::testing::Values(*FormatNamed("PNG"),
                                                              *FormatNamed("TIFF"),
                                                              *FormatNamed("PPM"))),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    FormatName(std::get<1>(info.param));
                         });

TEST(PngWrite, OutputCutShortAnywhereIsAWriteError) {
    // Takes `room` bytes and refuses the rest, as a full disk.
    struct CFullStream : CMemoryStream {
        explicit CFullStream(std::size_t room) : room(room) {}
        bool Write(const void* buffer, std::size_t count) override {
            return count <= room && (room -= count, CMemoryStream::Write(buffer, count));
        }
        std::size_t room;
    };
    CMessageRecorder quiet;
    CImage noise;
    NoisePicture(noise);
    const std::size_t whole = Written(noise, *FormatNamed("PNG")).size();
    // In the signature, the header chunk, the first and last image data, the end chunk.
    for (const std::size_t room :
         {std::size_t{4}, std::size_t{20}, std::size_t{5000}, whole - 100, whole - 1}) {
        CFullStream out(room);
        std::string problem;
        EXPECT_EQ(WritePicture(noise, out, *FormatNamed("PNG"), problem), FileStatus::WriteError)
            << room;
        EXPECT_EQ(problem, "PNG file not written (the data could not be written)") << room;
    }
}

namespace {

// The size of the same PNG file as libpng writes it with its defaults: the
// file is read by libpng as it stands (packed indices, table) and written
// again with nothing set but the header and the table.
std::size_t LibpngDefaultSize(const std::vector<std::uint8_t>& file) {
    struct CCursor {
        const std::vector<std::uint8_t>* bytes;
        std::size_t at = 8;
    } cursor{&file};
    png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(reader);
    png_set_read_fn(reader, &cursor, [](png_structp png, png_bytep data, png_size_t length) {
        auto& c = *static_cast<CCursor*>(png_get_io_ptr(png));
        if (c.at + length > c.bytes->size()) png_error(png, "short");
        std::memcpy(data, c.bytes->data() + c.at, length);
        c.at += length;
    });
    png_set_sig_bytes(reader, 8);
    png_read_info(reader, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(reader, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    png_colorp table = nullptr;
    int entries = 0;
    png_get_PLTE(reader, info, &table, &entries);
    std::vector<std::vector<png_byte>> rows(height,
                                            std::vector<png_byte>(png_get_rowbytes(reader, info)));
    for (auto& row : rows) png_read_row(reader, row.data(), nullptr);

    std::size_t size = 0;
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop out = png_create_info_struct(writer);
    png_set_write_fn(
        writer, &size,
        [](png_structp png, png_bytep, png_size_t length) {
            *static_cast<std::size_t*>(png_get_io_ptr(png)) += length;
        },
        nullptr);
    png_set_IHDR(writer, out, width, height, depth, colour, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (entries > 0) png_set_PLTE(writer, out, table, entries);
    png_write_info(writer, out);
    for (auto& row : rows) png_write_row(writer, row.data());
    png_write_end(writer, out);
    png_destroy_write_struct(&writer, &out);
    png_destroy_read_struct(&reader, &info, nullptr);
    return size;
}

}  // namespace

// Palette and packed rows are written unfiltered, as the format advises,
// with real matches: no file is larger than libpng's default for it.
TEST(PngWrite, PaletteFilesAreNoLargerThanLibpngsDefault) {
    CMessageRecorder quiet;
    std::vector<SPicture> pictures(std::begin(kPictures), std::end(kPictures));
    // A drawing: rings and a gradient band in the rainbow palette.
    pictures.push_back({"rings", [](CImage& image) {
                            FillPicture(image, 613, 401, [](int x, int y) {
                                const int dx = x - 300, dy = y - 200;
                                return y > 350 ? x * 255 / 612
                                               : (dx * dx + dy * dy) / 900 * 17 % 256;
                            });
                            image.PaletteRainbow();
                        }});
    for (const SPicture& picture : pictures) {
        CImage image;
        picture.make(image);
        if (image.GetBitCount() > 8 || image.HasGreyRamp()) continue;
        const std::vector<std::uint8_t> ours = Written(image, *FormatNamed("PNG"));
        ASSERT_GT(ours.size(), 29u) << picture.name;
        EXPECT_EQ(ours[25], 3) << picture.name << " is written with its table";
        EXPECT_LE(ours.size(), LibpngDefaultSize(ours)) << picture.name;
    }
}

// Each TIFF strip is the very stream libtiff's own LZW encoder (and
// predictor) makes of the same rows.
using TiffStrips = CTempFolderTest;

TEST_F(TiffStrips, AreTheBytesOfTheLibrarysOwnEncoder) {
    CMessageRecorder quiet;
    for (const SPicture& picture : kPictures) {
        CImage image;
        picture.make(image);
        std::string problem;
        ASSERT_EQ(SavePictureFile(image, P("ours.tif"), *FormatNamed("TIFF"), problem),
                  FileStatus::Ok);
        TIFF* ours = TIFFOpen(P("ours.tif").c_str(), "r");
        TIFF* theirs = TIFFOpen(P("theirs.tif").c_str(), "w");
        ASSERT_TRUE(ours && theirs);
        for (const ttag_t tag : {TIFFTAG_IMAGEWIDTH, TIFFTAG_IMAGELENGTH, TIFFTAG_ROWSPERSTRIP}) {
            std::uint32_t value = 0;
            TIFFGetField(ours, tag, &value);
            TIFFSetField(theirs, tag, value);
        }
        for (const ttag_t tag : {TIFFTAG_BITSPERSAMPLE, TIFFTAG_SAMPLESPERPIXEL,
                                 TIFFTAG_PHOTOMETRIC, TIFFTAG_COMPRESSION, TIFFTAG_PREDICTOR}) {
            std::uint16_t value = 0;
            if (TIFFGetField(ours, tag, &value)) TIFFSetField(theirs, tag, value);
        }
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (TIFFGetField(ours, TIFFTAG_COLORMAP, &red, &green, &blue))
            TIFFSetField(theirs, TIFFTAG_COLORMAP, red, green, blue);
        std::vector<std::uint8_t> rows(TIFFStripSize(ours));
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(ours); ++s) {
            const tmsize_t size = TIFFReadEncodedStrip(ours, s, rows.data(), -1);
            ASSERT_GT(size, 0) << picture.name;
            ASSERT_GT(TIFFWriteEncodedStrip(theirs, s, rows.data(), size), 0) << picture.name;
        }
        TIFFClose(theirs);
        theirs = TIFFOpen(P("theirs.tif").c_str(), "r");
        ASSERT_NE(theirs, nullptr) << picture.name;
        ASSERT_EQ(TIFFNumberOfStrips(theirs), TIFFNumberOfStrips(ours));
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(ours); ++s) {
            std::vector<std::uint8_t> a(TIFFRawStripSize(ours, s)), b(TIFFRawStripSize(theirs, s));
            TIFFReadRawStrip(ours, s, a.data(), static_cast<tmsize_t>(a.size()));
            TIFFReadRawStrip(theirs, s, b.data(), static_cast<tmsize_t>(b.size()));
            EXPECT_EQ(a, b) << picture.name << ", strip " << s;
        }
        TIFFClose(ours);
        TIFFClose(theirs);
    }
}

using PgmFile = CTempFolderTest;

TEST_F(PgmFile, PictureWithoutTheGreyRampIsRefusedAndNothingWritten) {
    CImage rainbow;
    RainbowPicture(rainbow);
    std::ofstream(P("old.pgm")) << "old";
    for (const char* name : {"old.pgm", "new.pgm"}) {
        std::string problem;
        EXPECT_EQ(SavePictureFile(rainbow, P(name), *FormatNamed("PGM"), problem),
                  FileStatus::Refused);
        EXPECT_NE(problem.find("grey"), std::string::npos) << problem;
    }
    EXPECT_EQ(std::filesystem::file_size(P("old.pgm")), 3u);
    EXPECT_FALSE(fs::exists(P("new.pgm")));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// GIF files written here as Pillow reads them: every table picture with the
// same indices and table; a colour picture refused, nothing written.
using GifFile = CTempFolderTest;

TEST_F(GifFile, PillowSeesTheSameIndicesAndTable) {
    const auto gif = WritableFormatFromName("gif");
    ASSERT_TRUE(gif);
    CMessageRecorder quiet;
    for (const SPicture& picture : kPictures) {
        CImage original;
        picture.make(original);
        std::string problem, seen;
        const FileStatus status = SavePictureFile(original, P("p.gif"), *gif, problem);
        if (original.GetBitCount() > 8) {
            EXPECT_EQ(status, FileStatus::Refused) << picture.name;
            EXPECT_FALSE(fs::exists(P("p.gif"))) << picture.name;
            continue;
        }
        ASSERT_EQ(status, FileStatus::Ok) << picture.name << ": " << problem;
        // A table that is the grey ramp, Pillow gives as grey levels (mode L).
        const std::string script =
            "import sys; from PIL import Image; i = Image.open(sys.argv[1]); "
            "print(list(i.getdata()), (i.getpalette() or [k // 3 for k in range(768)])[:768])";
        seen = CommandOutput(ORVEX_PYTHON " -c '" + script + "' " + P("p.gif"));
        std::string indices, table;
        for (int y = 0; y < original.GetHeight(); ++y)
            for (int x = 0; x < original.GetWidth(); ++x)
                indices +=
                    (indices.empty() ? "" : ", ") + std::to_string(ShownIndex(original, x, y));
        for (int i = 0; i < (1 << original.GetBitCount()); ++i) {
            const CPaletteTable::Entry& e = original.GetPalette()->entries[i];
            for (int v : {e.red, e.green, e.blue})
                table += (table.empty() ? "" : ", ") +
                         std::to_string(i < original.GetPalette()->count ? v : 0);
        }
        EXPECT_EQ(seen, "[" + indices + "] [" + table + "]\n") << picture.name;
        fs::remove(P("p.gif"));
    }
}

// A threshold's result at widths leaving 0 to 7 bits of padding: a PBM file
// once shown in grey (not with its other levels, nor 255 in the binary
// palette's red), read back and by ImageMagick with the same levels.
class PbmWidth : public CTempFolderTest, public ::testing::WithParamInterface<int> {};

TEST_P(PbmWidth, ThresholdResultShownInGreyIsWrittenAsImageMagickSeesIt) {
    CImage image, back;
    FillPicture(image, GetParam(), 5, [](int x, int y) { return (x * 37 + y * 101) % 256; });
    std::string problem, levels, backLevels;
    for (const char* reason : {"has other levels", "shows colours"}) {
        EXPECT_EQ(SavePictureFile(image, P("p.pbm"), *FormatNamed("PBM"), problem),
                  FileStatus::Refused);
        EXPECT_NE(problem.find(reason), std::string::npos) << problem;
        ASSERT_TRUE(image.Threshold(128, 255) && image.PaletteBinary());
    }
    EXPECT_FALSE(fs::exists(P("p.pbm")));
    ASSERT_TRUE(image.PaletteGradient(1, 1, 1));
    ASSERT_EQ(SavePictureFile(image, P("p.pbm"), *FormatNamed("PBM"), problem), FileStatus::Ok);
    SPictureFileInfo info;
    ASSERT_EQ(ReadPictureFile(back, P("p.pbm"), info), FileStatus::Ok) << info.problem;
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i) {
        levels += char(ShownIndex(image, i % GetParam(), i / GetParam()));
        backLevels += char(ShownIndex(back, i % GetParam(), i / GetParam()));
    }
    EXPECT_TRUE(back.HasGreyRamp());
    EXPECT_EQ(backLevels, levels);
    EXPECT_EQ(CommandOutput("convert " + P("p.pbm") + " -depth 8 gray:-"), levels);
}

INSTANTIATE_TEST_SUITE_P(Widths, PbmWidth, ::testing::Values(1, 7, 9, 17));

// Pictures of several bands of rows (PNG) or groups of strips (TIFF), which
// are compressed on all cores: the file is the same whatever the number of
// workers, and our reader gives back every row; libpng, which checks the
// stream's checksum, reads the PNG files.
TEST(PictureWrite, FilesCompressedOnAllCoresAreTheSameWhateverTheWorkers) {
    const auto byWorkers = [](const std::function<std::vector<std::uint8_t>()>& write) {
        std::vector<std::uint8_t> files[2];
        for (const int workers : {1, 2}) {
            const CWorkerCount count(workers);
            files[workers - 1] = write();
        }
        EXPECT_EQ(files[1], files[0]);
        if (files[1].size() > 4 && files[1][1] == 'P') {
            png_image png{};
            png.version = PNG_IMAGE_VERSION;
            EXPECT_TRUE(png_image_begin_read_from_memory(&png, files[1].data(), files[1].size()));
            std::vector<std::uint8_t> rows(PNG_IMAGE_SIZE(png));
            EXPECT_TRUE(png_image_finish_read(&png, nullptr, rows.data(), 0, nullptr))
                << png.message;
        }
        return files[1];
    };
    CImage grey, colour;
    std::uint32_t noise = 7;
    FillBlock(grey, 3001, 3000, [&] { return (noise = noise * 1664525u + 1013904223u) >> 29; });
    colour.SetHandle(CImage::CreatePictureBlock(1601, 1000, 24));
    std::uint8_t* bits = colour.GetBits(colour.Lock());
    for (std::size_t i = 0; i < 4804u * 1000u; ++i) bits[i] = static_cast<std::uint8_t>(i % 251);
    for (const char* format : {"PNG", "TIFF"})
        for (CImage* picture : {&grey, &colour}) {
            CMemoryStream in(byWorkers([&] { return Written(*picture, *FormatNamed(format)); }));
            CImage back;
            SPictureFileInfo info;
            ASSERT_EQ(ReadPicture(back, in, info), FileStatus::Ok) << info.problem;
            const CStoredRows ours = picture->GetStoredRows(), theirs = back.GetStoredRows();
            const auto rowBytes = static_cast<std::size_t>(ours.width) * ours.bitCount / 8;
            for (int y = 0; y < ours.height; ++y)
                ASSERT_EQ(std::memcmp(ours.Row(y), theirs.Row(y), rowBytes), 0) << format << y;
        }
    CFileSamples deep(1500, 1600, SampleKind::Unsigned, 16, 65535);
    for (int y = 0; y < deep.Height(); ++y)
        for (int x = 0; x < deep.Width(); ++x)
            deep.Row16(y)[x] = static_cast<std::uint16_t>(x * 40 + y);
    byWorkers([&] {
        CMemoryStream out;
        std::string problem;
        EXPECT_EQ(WriteSamples(deep, out, *FormatNamed("PNG"), problem), FileStatus::Ok) << problem;
        return out.Bytes();
    });
}
