// PNG files libpng writes, of every colour type and depth, with each filter
// forced and with libpng's own choice, interlaced or not, read by Orvex
// (whole through libdeflate where it can, through libspng otherwise) and by
// libspng alone: every pixel shows the same colour. Then damaged image data
// is refused as damaged by both paths.
#include <gtest/gtest.h>
#include <png.h>
#include <spng.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Message.h"
#include "PictureCodec.h"

namespace {

struct SPngKind {
    int colour, depth;
};

// A picture of noise and flat runs, as libpng writes it with `filters`.
std::vector<std::uint8_t> LibpngFile(SPngKind kind, int width, int height, int filters,
                                     bool interlaced, std::mt19937& random) {
    std::vector<std::uint8_t> file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &file,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            out->insert(out->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, width, height, kind.depth, kind.colour,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = {static_cast<png_byte>(i * 7), static_cast<png_byte>(255 - i),
                    static_cast<png_byte>(i * 13)};
    if (kind.colour == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, table, 1 << kind.depth);
    png_set_filter(png, 0, filters);
    png_write_info(png, info);
    const int channels = kind.colour == PNG_COLOR_TYPE_RGB ? 3 : 1;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * channels * kind.depth + 7) / 8;
    std::vector<std::vector<png_byte>> rows(height, std::vector<png_byte>(rowBytes));
    for (auto& row : rows)
        for (std::size_t i = 0; i < rowBytes; ++i)
            row[i] = static_cast<png_byte>(i % 9 < 4 ? random() : i % 9 * 20);
    std::vector<png_bytep> pointers;
    for (auto& row : rows) pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

// A chunk as a file holds it: length, type, data and checksum.
std::vector<std::uint8_t> Chunk(const char* type, const std::uint8_t* data, std::size_t length) {
    std::vector<std::uint8_t> chunk;
    for (int k = 0; k < 4; ++k) chunk.push_back(static_cast<std::uint8_t>(length >> (24 - 8 * k)));
    for (int k = 0; k < 4; ++k) chunk.push_back(static_cast<std::uint8_t>(type[k]));
    chunk.insert(chunk.end(), data, data + length);
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 4; i < chunk.size(); ++i) {
        crc ^= chunk[i];
        for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    for (int k = 0; k < 4; ++k) chunk.push_back(static_cast<std::uint8_t>(~crc >> (24 - 8 * k)));
    return chunk;
}

// A file of libpng's (its signature and header, its data, its end) with the
// data cut into chunks of `pieces` bytes, the last taking the rest.
std::vector<std::uint8_t> Rechunked(const std::vector<std::uint8_t>& file,
                                    const std::vector<std::size_t>& pieces) {
    std::vector<std::uint8_t> out(file.begin(), file.begin() + 33), data;
    for (std::size_t at = 33; std::memcmp(&file[at + 4], "IDAT", 4) == 0;) {
        const std::size_t length = std::size_t{file[at + 2]} << 8 | file[at + 3];
        data.insert(data.end(), &file[at + 8], &file[at + 8 + length]);
        at += 12 + length;
    }
    for (std::size_t i = 0, done = 0, piece = 0; done < data.size(); ++i, done += piece) {
        piece = i + 1 < pieces.size() ? pieces[i] : data.size() - done;
        const std::vector<std::uint8_t> chunk = Chunk("IDAT", data.data() + done, piece);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    const std::vector<std::uint8_t> end = Chunk("IEND", nullptr, 0);
    out.insert(out.end(), end.begin(), end.end());
    return out;
}

// The colours libspng alone decodes, red-green-blue, row by row from the top.
std::vector<std::uint8_t> SpngColours(const std::vector<std::uint8_t>& file) {
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, file.data(), file.size());
    std::size_t size = 0;
    spng_decoded_image_size(ctx, SPNG_FMT_RGB8, &size);
    std::vector<std::uint8_t> rgb(size);
    if (spng_decode_image(ctx, rgb.data(), size, SPNG_FMT_RGB8, 0) != 0) rgb.clear();
    spng_ctx_free(ctx);
    return rgb;
}

// The colours Orvex reads, in the same order.
std::vector<std::uint8_t> OrvexColours(const std::vector<std::uint8_t>& file, SCodecRead& read) {
    CCodecInput input(file);
    CImage image;
    read = ReadFormatPicture(image, input, *FormatNamed("PNG"));
    std::vector<std::uint8_t> rgb;
    if (read.status != CodecStatus::Ok) return rgb;
    const CStoredRows rows = image.GetStoredRows();
    for (int y = rows.height - 1; y >= 0; --y) {
        for (int x = 0; x < rows.width; ++x) {
            const std::uint8_t* row = rows.Row(y);
            if (rows.bitCount == 24) {
                rgb.insert(rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
            } else {
                const CPaletteTable::Entry& e = image.GetPalette()->entries[row[x]];
                rgb.insert(rgb.end(), {e.red, e.green, e.blue});
            }
        }
    }
    return rgb;
}

}  // namespace

TEST(PngRead, EveryKindAndFilterShowsWhatLibspngShows) {
    const SPngKind kinds[] = {
        {PNG_COLOR_TYPE_GRAY, 1},    {PNG_COLOR_TYPE_GRAY, 2},    {PNG_COLOR_TYPE_GRAY, 4},
        {PNG_COLOR_TYPE_GRAY, 8},    {PNG_COLOR_TYPE_PALETTE, 1}, {PNG_COLOR_TYPE_PALETTE, 2},
        {PNG_COLOR_TYPE_PALETTE, 4}, {PNG_COLOR_TYPE_PALETTE, 8}, {PNG_COLOR_TYPE_RGB, 8}};
    const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB,   PNG_FILTER_UP,
                           PNG_FILTER_AVG,  PNG_FILTER_PAETH, PNG_ALL_FILTERS};
    std::mt19937 random(21);
    for (const SPngKind kind : kinds) {
        for (const int filter : filters) {
            for (const int width : {1, 7, 33, 67}) {
                for (const bool interlaced : {false, true}) {
                    const std::vector<std::uint8_t> file =
                        LibpngFile(kind, width, 1 + width % 5 * 3, filter, interlaced, random);
                    SCodecRead read;
                    const std::vector<std::uint8_t> ours = OrvexColours(file, read);
                    const std::vector<std::uint8_t> theirs = SpngColours(file);
                    ASSERT_FALSE(theirs.empty());
                    EXPECT_EQ(ours, theirs)
                        << "colour " << kind.colour << ", " << kind.depth << " bits, filter "
                        << filter << ", width " << width << (interlaced ? ", interlaced" : "")
                        << ": " << read.problem;
                }
            }
        }
    }
}

TEST(PngRead, DamagedImageDataIsRefusedAsDamaged) {
    std::mt19937 random(4);
    const std::vector<std::uint8_t> good =
        LibpngFile({PNG_COLOR_TYPE_GRAY, 8}, 40, 30, PNG_ALL_FILTERS, false, random);
    std::size_t data = 8;
    while (std::memcmp(good.data() + data + 4, "IDAT", 4) != 0)
        data +=
            12 + (good[data] << 24 | good[data + 1] << 16 | good[data + 2] << 8 | good[data + 3]);
    struct SDamage {
        const char* what;
        std::vector<std::uint8_t> file;
    };
    std::vector<SDamage> damages;
    std::vector<std::uint8_t> file = good;
    file[data + 20] ^= 0x40;  // the chunk's checksum no longer holds
    damages.push_back({"data byte", file});
    // The stream's own checksum, its last four bytes, with the chunk's
    // checksum made to hold again.
    file = good;
    const std::size_t length =
        good[data] << 24 | good[data + 1] << 16 | good[data + 2] << 8 | good[data + 3];
    file[data + 8 + length - 1] ^= 1;
    const std::vector<std::uint8_t> mended = Chunk("IDAT", file.data() + data + 8, length);
    std::copy(mended.begin(), mended.end(), file.begin() + static_cast<std::ptrdiff_t>(data));
    damages.push_back({"stream checksum", file});
    file = good;
    file.resize(file.size() - 12);  // no end chunk
    damages.push_back({"no end", file});
    file = good;
    file.resize(data + 30);  // cut inside the data
    damages.push_back({"cut", file});
    for (const SDamage& damage : damages) {
        SCodecRead read;
        OrvexColours(damage.file, read);
        EXPECT_EQ(read.status, CodecStatus::Damaged) << damage.what;
        EXPECT_EQ(read.problem.rfind("damaged PNG file (", 0), 0u) << read.problem;
    }
}

TEST(PngRead, ImageDataInManyChunksReadsTheSame) {
    std::mt19937 random(8);
    const std::vector<std::uint8_t> good =
        LibpngFile({PNG_COLOR_TYPE_GRAY, 8}, 300, 200, PNG_ALL_FILTERS, false, random);
    for (const std::vector<std::size_t>& cut :
         {std::vector<std::size_t>{1}, {7, 0, 4096, 1}, {0, 3, 0}, {100, 100, 100}}) {
        SCodecRead read;
        EXPECT_EQ(OrvexColours(Rechunked(good, cut), read), SpngColours(good)) << read.problem;
    }
}
