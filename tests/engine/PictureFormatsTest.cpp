// Pictures in the other formats, as other programs make them: every file of
// tests/data/formats opens with the size, kind and levels its description
// gives (expected.json), or is refused with a reason when damaged.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <regex>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <cstdio>

#include "ImageDocument.h"
#include "JsonLite.h"
#include "LossNote.h"
#include "TestSupport.h"
#include "TiffMaker.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFolder = fs::path(ORVEX_TESTDATA) / "formats";

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct SFormatCase {
    std::string name;
    CJson description;
};

std::vector<SFormatCase> FormatCases() {
    const std::vector<std::uint8_t> text = FileBytes(kFolder / "expected.json");
    const CJson all = CJson::Parse(std::string(text.begin(), text.end()));
    std::vector<SFormatCase> cases;
    for (const auto& [name, description] : all.members) cases.push_back({name, description});
    return cases;
}

std::vector<std::string> LinesAfterSize(const CImageDocument& document) {
    std::vector<std::string> lines = document.GetHistoryLines();
    return {lines.begin() + std::min<std::size_t>(2, lines.size()), lines.end()};
}

}  // namespace

class FormatFile : public ::testing::TestWithParam<SFormatCase> {};

TEST_P(FormatFile, OpensAsDescribed) {
    const CJson& d = GetParam().description;
    const std::string mode = d["mode"].text;
    CMessageRecorder quiet;
    CImageDocument document;
    const FileStatus status = document.Open((kFolder / d["file"].text).string());
    const CImage& image = *document.GetImage();

    if (mode == "damaged" || mode == "unsupported") {
        EXPECT_EQ(status, mode == "damaged" ? FileStatus::Damaged : FileStatus::Refused);
        // A sound file of a kind Orvex does not open says so, and what it is.
        const std::string& problem = document.GetFileInfo().problem;
        if (mode == "unsupported") {
            EXPECT_TRUE(problem.starts_with("unsupported") &&
                        problem.find(d["note"].text) != std::string::npos)
                << problem;
        }
        EXPECT_FALSE(problem.empty());
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(document.GetHistoryLines().size(), 1u);
        return;
    }
    ASSERT_EQ(status, FileStatus::Ok) << document.GetFileInfo().problem;
    EXPECT_EQ(image.GetWidth(), d["size"].items.at(0).number);
    EXPECT_EQ(image.GetHeight(), d["size"].items.at(1).number);
    EXPECT_EQ(image.GetBitCount(), mode == "colour" ? 24 : 8);
    const bool deep = mode == "grey16" || mode == "deep";
    if (mode == "grey8" || deep) {
        EXPECT_TRUE(image.GetPalette()->IsGreyRamp());
    }
    if (mode == "palette8") EXPECT_EQ(image.GetPalette()->count, 256);

    if (!d["levels"].IsNull())
        EXPECT_EQ(DisplayedLevels(image), FileBytes(kFolder / d["levels"].text));

    std::vector<std::string> notes = LinesAfterSize(document);
    if (deep) {
        // The window spans the picture's own samples: both ends are used.
        const std::vector<std::uint8_t> levels = DisplayedLevels(image);
        EXPECT_EQ(*std::min_element(levels.begin(), levels.end()), 0);
        EXPECT_EQ(*std::max_element(levels.begin(), levels.end()), 255);
        ASSERT_EQ(notes.size(), 1u);
        std::smatch values;
        if (!d["history"].IsNull())
            EXPECT_EQ(notes[0], d["history"].text);
        else if (std::regex_search(d["note"].text, values, std::regex(R"((\d+)\.\.(\d+))")))
            EXPECT_EQ(notes[0], "Image 16 bits : fenêtre " + values.str(0));
        else
            EXPECT_TRUE(
                std::regex_match(notes[0], std::regex(R"(Image 16 bits : fenêtre \d+\.\.\d+)")));
    } else if (d["note"].text.find("pages") != std::string::npos) {
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_TRUE(std::regex_match(notes[0], std::regex(R"(Page 1 / [2-9]\d*)"))) << notes[0];
    } else {
        EXPECT_TRUE(notes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatFile, ::testing::ValuesIn(FormatCases()),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// The level rules on small files made here: PGM maxima below 255, and the
// 16-bit window, rounded half up; a flat picture keeps its level on its scale.
struct SLevelRule {
    const char* name;
    std::string file;
    std::vector<std::uint8_t> levels;
    std::vector<std::string> notes;
};

class LevelRule : public ::testing::TestWithParam<SLevelRule> {};

TEST_P(LevelRule, GivesTheLevels) {
    CMemoryStream in(std::vector<std::uint8_t>(GetParam().file.begin(), GetParam().file.end()));
    CImageDocument document;
    ASSERT_EQ(document.Open(in), FileStatus::Ok) << document.GetFileInfo().problem;
    EXPECT_EQ(DisplayedLevels(*document.GetImage()), GetParam().levels);
    EXPECT_EQ(LinesAfterSize(document), GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    Pgm, LevelRule,
    ::testing::Values(
        SLevelRule{"max100", "P2 6 1 100 0 1 2 50 99 100", {0, 3, 5, 128, 252, 255}, {}},
        SLevelRule{"max1_binary", std::string("P5 4 1 1\n\0\1\1\0", 13), {0, 255, 255, 0}, {}},
        SLevelRule{"window16",
                   "P2 4 1 65535 1000 1001 1500 2000",
                   {0, 0, 128, 255},
                   {"Image 16 bits : fenêtre 1000..2000"}},
        SLevelRule{"window16_binary",
                   std::string("P5 2 2 65535\n\x01\x00\x01\x01\x01\xff\x01\x80", 21),
                   {0, 1, 255, 128},
                   {"Image 16 bits : fenêtre 256..511"}},
        SLevelRule{"flat16",
                   "P2 3 1 4000 700 700 700",
                   {45, 45, 45},
                   {"Image 12 bits : fenêtre 700..700"}},
        // Stored blue, green, red.
        SLevelRule{"colour_max15", "P3 1 1 15 15 0 7", {119, 0, 255}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Grey TIFF samples of every depth and kind: the window over the picture's
// own values (floats that are no numbers or infinite left out, opening as
// 0); a flat picture at its level on its scale; up to 8 unsigned bits spread
// over 0..255 without a window.
SLevelRule Tiff(const char* name, int bits, int format, std::vector<double> values,
                std::vector<std::uint8_t> levels, const std::string& note) {
    return {name, TiffOfValues(bits, format, values), std::move(levels),
            note.empty() ? std::vector<std::string>{} : std::vector{note}};
}
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
INSTANTIATE_TEST_SUITE_P(
    Tiff, LevelRule,
    ::testing::Values(
        // clang-format off
        Tiff("grey12", 12, SAMPLEFORMAT_UINT, {37, 4011, 2024}, {0, 255, 128}, "Image 12 bits : fenêtre 37..4011"),
        Tiff("flat10", 10, SAMPLEFORMAT_UINT, {600, 600}, {150, 150}, "Image 10 bits : fenêtre 600..600"),
        Tiff("grey6", 6, SAMPLEFORMAT_UINT, {0, 21, 63, 32}, {0, 85, 255, 130}, ""),
        Tiff("unsigned32", 32, SAMPLEFORMAT_UINT, {0, 4294967295, 2147483648}, {0, 255, 128}, "Image 32 bits : fenêtre 0..4294967295"),
        Tiff("signed8", 8, SAMPLEFORMAT_INT, {-128, 127, 0}, {0, 255, 128}, "Image 8 bits signés : fenêtre -128..127"),
        Tiff("signed16", 16, SAMPLEFORMAT_INT, {-1200, 0, 3400, 1100}, {0, 67, 255, 128}, "Image 16 bits signés : fenêtre -1200..3400"),
        Tiff("flat_signed16", 16, SAMPLEFORMAT_INT, {-1200, -1200}, {123, 123}, "Image 16 bits signés : fenêtre -1200..-1200"),
        Tiff("flat_signed32", 32, SAMPLEFORMAT_INT, {-5, -5}, {127, 127}, "Image 32 bits signés : fenêtre -5..-5"),
        Tiff("float", 32, SAMPLEFORMAT_IEEEFP, {-0.25, kNaN, 1.75, kInf, 0.75, -kInf}, {0, 0, 255, 0, 128, 0}, "Image 32 bits flottants : fenêtre -0.25..1.75"),
        Tiff("flat_float", 32, SAMPLEFORMAT_IEEEFP, {0.1, kNaN, 0.1}, {26, 0, 26}, "Image 32 bits flottants : fenêtre 0.1..0.1"),
        Tiff("flat_float_above_1", 32, SAMPLEFORMAT_IEEEFP, {3, 3}, {255, 255}, "Image 32 bits flottants : fenêtre 3..3")),
    // clang-format on
    [](const auto& info) { return std::string(info.param.name); });

// TIFF files ImageMagick makes, opened as its own decode gives them: grey
// samples through the window over the values it decodes, colours within one
// level (its YCbCr conversion and colour table rounding are its own).
struct SMadeTiff {
    const char* name;
    std::string convert;  // ImageMagick's words before the output file
    int bits;             // of the grey samples; 0 for colours
    std::string note;     // the history line after the size
};

class MadeTiff : public ::testing::TestWithParam<SMadeTiff> {};

// What ImageMagick's convert writes to standard output for `words`.
std::vector<std::uint8_t> ConvertOutput(const std::string& words) {
    const std::string bytes = CommandOutput("convert " + words);
    return {bytes.begin(), bytes.end()};
}

TEST_P(MadeTiff, OpensAsImageMagickDecodesIt) {
    const SMadeTiff& row = GetParam();
    const fs::path path = fs::temp_directory_path() /
                          ("orvex-im-" + std::to_string(::getpid()) + "-" + row.name + ".tif");
    // "TIFF64: words" makes a BigTIFF file. ImageMagick fails on warnings
    // of its own (a float predictor): the file is what counts.
    const bool big = row.convert.starts_with("TIFF64: ");
    std::system(("convert " + row.convert.substr(big ? 8 : 0) + (big ? " TIFF64:" : " ") +
                 path.string() + " 2>/dev/null")
                    .c_str());
    ASSERT_TRUE(fs::exists(path));
    CImageDocument document;
    ASSERT_EQ(document.Open(path.string()), FileStatus::Ok) << document.GetFileInfo().problem;
    const CImage& image = *document.GetImage();
    EXPECT_EQ(LinesAfterSize(document),
              row.note.empty() ? std::vector<std::string>{} : std::vector{row.note});
    std::vector<std::uint8_t> levels = DisplayedLevels(image);
    if (row.bits == 0) {
        // Colours, blue-green-red, through the table for a palette picture.
        std::vector<std::uint8_t> seen;
        for (std::size_t i = 0; i < levels.size(); i += image.GetBitCount() / 8) {
            if (image.GetBitCount() == 24) {
                seen.insert(seen.end(), {levels[i + 2], levels[i + 1], levels[i]});
            } else {
                const auto& e = image.GetPalette()->entries[levels[i]];
                seen.insert(seen.end(), {e.red, e.green, e.blue});
            }
        }
        const std::vector<std::uint8_t> rgb = ConvertOutput(path.string() + " -depth 8 rgb:-");
        ASSERT_EQ(seen.size(), rgb.size());
        for (std::size_t i = 0; i < rgb.size(); ++i)
            ASSERT_LE(std::abs(seen[i] - rgb[i]), 1) << "sample " << i;
    } else {
        // Its 16-bit decode gives back the values on their own scale (floats
        // from 0 to 1 on its 16 bits); deeper than 8 bits, the window.
        const std::vector<std::uint8_t> wide =
            ConvertOutput(path.string() + " -endian MSB -depth 16 gray:-");
        const std::uint64_t white = row.bits == 32 ? 65535 : (std::uint64_t{1} << row.bits) - 1;
        std::vector<std::uint64_t> values;
        for (std::size_t i = 0; i + 1 < wide.size(); i += 2)
            values.push_back(((wide[i] << 8 | wide[i + 1]) * white + 32767) / 65535);
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        const std::uint64_t from = row.bits > 8 ? *low : 0,
                            range = row.bits > 8 ? *high - *low : white;
        std::vector<std::uint8_t> expected;
        for (std::uint64_t v : values)
            expected.push_back(
                static_cast<std::uint8_t>((2 * (v - from) * 255 + range) / (2 * range)));
        EXPECT_EQ(levels, expected);
    }
    fs::remove(path);
}

INSTANTIATE_TEST_SUITE_P(
    Tiff, MadeTiff,
    ::testing::Values(
        // clang-format off
        SMadeTiff{"grey10", "-size 16x64 gradient: -depth 10", 10, "Image 10 bits : fenêtre 0..1023"},
        SMadeTiff{"grey12_lsb_lzw", "-size 40x70 gradient:gray20-gray90 -depth 12 -define tiff:endian=lsb -compress lzw", 12, "Image 12 bits : fenêtre 819..3676"},
        SMadeTiff{"grey12_msb_tiled", "-size 40x70 gradient: -depth 12 -define tiff:endian=msb -define tiff:tile-geometry=16x16", 12, "Image 12 bits : fenêtre 0..4095"},
        SMadeTiff{"grey14_miniswhite", "-size 16x64 gradient: -depth 14 -define tiff:photometric=min-is-white", 14, "Image 14 bits : fenêtre 0..16383"},
        SMadeTiff{"float", "-size 8x9 gradient: -depth 32 -define quantum:format=floating-point", 32, "Image 32 bits flottants : fenêtre 0..1"},
        SMadeTiff{"bigtiff_lsb", "TIFF64: -size 16x8 gradient: -depth 8 -define tiff:endian=lsb", 8, ""},
        SMadeTiff{"ycbcr_lzw", "-size 16x8 gradient:orange-navy -colorspace YCbCr -compress lzw", 0, ""},
        SMadeTiff{"palette_alpha", "-size 16x8 gradient:red-blue -alpha set -channel A -evaluate set 50% +channel -type PaletteAlpha", 0, ""}),
    // clang-format on
    [](const auto& info) { return std::string(info.param.name); });

// A few bytes claiming a huge picture are refused before any allocation.
TEST(PictureFile, DecompressionBombIsRefused) {
    std::vector<std::uint8_t> png = FileBytes(kFolder / "png-grey8.png");
    // IHDR: 40000 x 40000 (within the 2 GiB limit), with its checksum made again.
    const std::uint8_t size[8] = {0, 0, 0x9C, 0x40, 0, 0, 0x9C, 0x40};
    std::copy(size, size + 8, png.begin() + 16);
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 12; i < 29; ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    crc ^= 0xFFFFFFFF;
    for (int k = 0; k < 4; ++k) png[29 + k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
    CMemoryStream in(png);
    CImage image;
    SPictureFileInfo info;
    EXPECT_EQ(ReadPicture(image, in, info), FileStatus::Damaged);
    EXPECT_NE(info.problem.find("larger than its data"), std::string::npos) << info.problem;
}

// Uncompressed strips are read straight from the file into the rows: a file
// cut inside them is refused, from memory and from disk alike.
TEST(PictureFile, UncompressedTiffCutInItsRowsIsDamaged) {
    std::vector<std::uint8_t> tiff = FileBytes(kFolder / "tiff-grey8-raw.tif");
    tiff.resize(400);
    CMemoryStream in(tiff);
    CImage image;
    SPictureFileInfo info;
    EXPECT_EQ(ReadPicture(image, in, info), FileStatus::Damaged);
    EXPECT_NE(info.problem.find("TIFF"), std::string::npos) << info.problem;

    const fs::path path =
        fs::temp_directory_path() / ("orvex-cut-" + std::to_string(::getpid()) + ".tif");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(tiff.data()), 400);
    SPictureFileInfo fileInfo;
    EXPECT_EQ(ReadPictureFile(image, path.string(), fileInfo), FileStatus::Damaged);
    EXPECT_FALSE(image.IsValid());
    fs::remove(path);
}

// The format a result is kept in, for the desktop's save and orvex-cli's
// batch alike: its own, the one of a pair that suits the picture, or PNG.
TEST(KeptFormat, FollowsTheOwnFormatThePairAndThePicture) {
    CImage grey, colours, levels;
    ASSERT_TRUE(grey.CreateEmptyImage(4, 3, 7));
    ASSERT_TRUE(colours.CreateEmptyImage(4, 3, 7) && colours.PaletteRainbow());
    ASSERT_TRUE(levels.CreateEmptyImage(4, 3, 0));
    const auto named = [](const char* name) { return FormatNamed(name); };
    const struct {
        std::optional<PictureFormat> own;
        const CImage* picture;
        const char* kept;
    } cases[] = {
        {named("JPEG"), &grey, "PNG"},    {std::nullopt, nullptr, "PNG"},
        {named("TIFF"), nullptr, "TIFF"}, {named("PGM"), nullptr, "PGM"},
        {named("PPM"), nullptr, "PNG"},  // a grey result would become PPM colours
        {named("PPM"), &colours, "PPM"},  {named("PPM"), &grey, "PGM"},
        {named("PGM"), &colours, "PPM"},  {named("PBM"), &levels, "PBM"},
        {named("PBM"), &grey, "PNG"},     {named("GIF"), &colours, "GIF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatName(KeptFormat(c.own, c.picture)), std::string(c.kept))
            << (c.own ? FormatName(*c.own) : "none") << (c.picture ? " with picture" : "");
}

// JPEG files as cameras and editors leave them, made here from one the
// library encodes with a restart marker after each block: bytes the decoder
// skips between the header's markers or before a restart marker change no
// pixel, and the file opens as Pillow shows it; damage inside the scan's
// data is refused.
namespace {

std::vector<std::uint8_t> EncodedJpeg() {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &bytes, &size);
    info.image_width = 40;
    info.image_height = 24;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    info.restart_interval = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(40 * 3);
    for (unsigned y = 0; y < 24; ++y) {
        for (unsigned x = 0; x < 40; ++x)
            row[3 * x] = x * 6, row[3 * x + 1] = y * 10, row[3 * x + 2] = (x * y) & 255;
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> file(bytes, bytes + size);
    std::free(bytes);
    return file;
}

// Where the marker `code` first stands, at or after `from`.
std::size_t MarkerAt(const std::vector<std::uint8_t>& file, std::uint8_t code,
                     std::size_t from = 2) {
    for (std::size_t i = from; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == code) return i;
    return file.size();
}

void Insert(std::vector<std::uint8_t>& file, std::size_t at, std::vector<std::uint8_t> bytes) {
    file.insert(file.begin() + static_cast<long>(at), bytes.begin(), bytes.end());
}

struct SMadeJpeg {
    const char* name;
    void (*alter)(std::vector<std::uint8_t>&);
    bool opens;
};

class MadeJpeg : public ::testing::TestWithParam<SMadeJpeg> {};

}  // namespace

TEST_P(MadeJpeg, OpensAsPillowShowsItOrIsRefused) {
    const fs::path path = fs::temp_directory_path() /
                          ("orvex-jpeg-" + std::to_string(::getpid()) + GetParam().name + ".jpg");
    std::vector<std::uint8_t> file = EncodedJpeg();
    GetParam().alter(file);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<long>(file.size()));
    CMessageRecorder quiet;
    CImageDocument document;
    const FileStatus status = document.Open(path.string());
    if (!GetParam().opens) {
        EXPECT_EQ(status, FileStatus::Damaged);
        fs::remove(path);
        return;
    }
    ASSERT_EQ(status, FileStatus::Ok) << document.GetFileInfo().problem;
    const std::string pillow = CommandOutput(
        ORVEX_PYTHON
        " -c 'import sys; from PIL import Image; "
        "sys.stdout.buffer.write(Image.open(sys.argv[1]).convert(\"RGB\").tobytes())' " +
        path.string());
    const std::vector<std::uint8_t> levels = DisplayedLevels(*document.GetImage());
    std::string rgb;
    for (std::size_t i = 0; i + 2 < levels.size(); i += 3)
        rgb += {static_cast<char>(levels[i + 2]), static_cast<char>(levels[i + 1]),
                static_cast<char>(levels[i])};
    EXPECT_EQ(rgb, pillow);
    fs::remove(path);
}

INSTANTIATE_TEST_SUITE_P(
    Jpeg, MadeJpeg,
    ::testing::Values(
        SMadeJpeg{"Untouched", [](std::vector<std::uint8_t>&) {}, true},
        SMadeJpeg{"StrayBytesBeforeTheQuantTables",
                  [](std::vector<std::uint8_t>& f) {
                      Insert(f, MarkerAt(f, 0xDB), {0, 7, 0x41});
                  },
                  true},
        // An Adobe segment whose length leaves out the last five of its bytes.
        SMadeJpeg{"TruncatedApp14",
                  [](std::vector<std::uint8_t>& f) {
                      Insert(f, MarkerAt(f, 0xDB),
                             {0xFF, 0xEE, 0, 9, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 1});
                  },
                  true},
        // An Exif segment cut short by a wrong length: its rest lies between markers.
        SMadeJpeg{"DamagedExifSegment",
                  [](std::vector<std::uint8_t>& f) {
                      Insert(f, MarkerAt(f, 0xDB),
                             {0xFF, 0xE1, 0, 8, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0});
                  },
                  true},
        SMadeJpeg{"BytesBeforeARestartMarker",
                  [](std::vector<std::uint8_t>& f) {
                      Insert(f, MarkerAt(f, 0xD1, MarkerAt(f, 0xDA)),
                             std::vector<std::uint8_t>(24, 0x5A));
                  },
                  true},
        SMadeJpeg{"BytesLeftAtTheEndOfTheScan",
                  [](std::vector<std::uint8_t>& f) {
                      Insert(f, MarkerAt(f, 0xD9, MarkerAt(f, 0xDA)),
                             std::vector<std::uint8_t>(40, 0x5A));
                  },
                  false},
        SMadeJpeg{"ScanCutShort",
                  [](std::vector<std::uint8_t>& f) { f.resize(MarkerAt(f, 0xD3) + 1); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A grey TIFF with three samples a pixel opens as its first sample and says
// so: a loss the save guard and orvex-cli's note tell.
TEST(PictureFile, GreyTiffWithExtraSamplesKeepsTheFirstAndSaysSo) {
    for (const int format : {SAMPLEFORMAT_UINT, SAMPLEFORMAT_INT}) {
        SCOPED_TRACE(format);
        const fs::path path =
            fs::temp_directory_path() / ("orvex-samples-" + std::to_string(::getpid()) + ".tif");
        TIFF* tiff = TIFFOpen(path.c_str(), "w");
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 4u);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 1u);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
        const std::uint16_t extra[2] = {EXTRASAMPLE_UNSPECIFIED, EXTRASAMPLE_UNSPECIFIED};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 2, extra);
        TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, format);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        std::uint8_t row[12] = {0, 9, 9, 10, 9, 9, 20, 9, 9, 30, 9, 9};
        TIFFWriteScanline(tiff, row, 0, 0);
        TIFFClose(tiff);
        CImageDocument document;
        ASSERT_EQ(document.Open(path.string()), FileStatus::Ok) << document.GetFileInfo().problem;
        const SPictureLosses& losses = document.GetFileInfo().losses;
        EXPECT_EQ(losses.samples, 3);
        EXPECT_FALSE(losses.alpha);
        EXPECT_TRUE(losses.AnyFromRead());
        EXPECT_NE(LossNote(losses, 1).find("only sample 1 of 3 a pixel is written"),
                  std::string::npos)
            << LossNote(losses, 1);
        // The first samples, through the window of signed ones.
        const std::vector<std::uint8_t> levels = DisplayedLevels(*document.GetImage());
        if (format == SAMPLEFORMAT_UINT) {
            EXPECT_EQ(levels, (std::vector<std::uint8_t>{0, 10, 20, 30}));
        } else {
            EXPECT_EQ(levels, (std::vector<std::uint8_t>{0, 85, 170, 255}));
        }
        fs::remove(path);
    }
}
