// TIFF files through libtiff, written straight into the file (the library
// goes back to finish its header; a stream that cannot go back, such as
// standard output, gets the file built in memory): grey when the table is
// the grey ramp, palette (1, 4 or 8 bits, the whole table) otherwise, RGB for
// colour. LZW, with the horizontal predictor for grey and colour: both are
// applied here, a few strips at a time on all cores, and the strips handed
// to the library in order as they go into the file. A stack is one directory
// a page, each marked as a page with its number.

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <span>
#include <vector>

#include "LzwStrip.h"
#include "Parallel.h"
#include "PictureReader.h"
#include "PictureSource.h"
#include "RowDifference.h"
#include "TiffClient.h"

namespace {

constexpr std::uint64_t kStripBytes = 256 * 1024;

}  // namespace

namespace {

// One page into the current directory: its tags, then its strips.
bool WriteTiffPage(TIFF* tiff, CPictureSource& source, int page, int pageCount) {
    const int bits = source.BitCount();
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(source.Width()) * bits + 7) / 8;
    const bool colour = bits == 24, palette = !colour && !source.IsGrey();
    const bool predicted = bits >= 8 && !palette;
    const auto rowsPerStrip = static_cast<std::uint32_t>(
        std::max<std::uint64_t>(1, kStripBytes / std::max<std::uint64_t>(rowBytes, 1)));
    if (pageCount > 1) {
        TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tiff, TIFFTAG_PAGENUMBER, static_cast<std::uint16_t>(page),
                     static_cast<std::uint16_t>(std::min(pageCount, 65535)));
    }
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(source.Width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(source.Height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(colour ? 8 : bits));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(colour ? 3 : 1));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(
        tiff, TIFFTAG_PHOTOMETRIC,
        colour ? PHOTOMETRIC_RGB : (palette ? PHOTOMETRIC_PALETTE : PHOTOMETRIC_MINISBLACK));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    if (predicted) TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    if (palette) {
        std::uint16_t map[3][256] = {};
        for (int i = 0; i < (1 << bits) && i < source.Palette().count; ++i) {
            const CPaletteTable::Entry& e = source.Palette().entries[static_cast<std::size_t>(i)];
            map[0][i] = static_cast<std::uint16_t>(e.red * 257);
            map[1][i] = static_cast<std::uint16_t>(e.green * 257);
            map[2][i] = static_cast<std::uint16_t>(e.blue * 257);
        }
        TIFFSetField(tiff, TIFFTAG_COLORMAP, map[0], map[1], map[2]);
    }
    const std::size_t step = colour ? 3 : 1;
    const int stripRows = static_cast<int>(std::min<std::uint64_t>(rowsPerStrip, source.Height()));
    const int stripCount = (source.Height() + stripRows - 1) / stripRows;
    // A few strips a worker are compressed at once, each on its own; they go
    // into the file in order, so the file is the same on any machine.
    const int atOnce = 4 * std::max(1, GetWorkerCount());
    std::vector<std::vector<std::uint8_t>> packed(static_cast<std::size_t>(atOnce));
    std::atomic<bool> memory = true;
    for (int firstStrip = 0; firstStrip < stripCount; firstStrip += atOnce) {
        const int strips = std::min(atOnce, stripCount - firstStrip);
        ParallelRows(0, strips, 1, [&](int from, int to) {
            try {
                CLzwStrip lzw;
                std::vector<std::uint8_t> strip(rowBytes * static_cast<std::uint64_t>(stripRows));
                std::vector<std::uint8_t> rgb(colour ? rowBytes : 0);
                for (int s = from; s < to; ++s) {
                    const int first = (firstStrip + s) * stripRows;
                    const int rows = std::min(stripRows, source.Height() - first);
                    for (int r = 0; r < rows; ++r) {
                        std::uint8_t* into = strip.data() + static_cast<std::size_t>(r) * rowBytes;
                        const std::uint8_t* row = source.Row(first + r, rgb.data());
                        if (predicted)
                            DifferenceFromLeft(row, rowBytes, step, into);
                        else
                            std::copy_n(row, rowBytes, into);
                    }
                    const std::span<const std::uint8_t> out =
                        lzw.Compress(strip.data(), rows * rowBytes);
                    packed[static_cast<std::size_t>(s)].assign(out.begin(), out.end());
                }
            } catch (const std::bad_alloc&) {
                memory = false;
            }
        });
        if (!memory) return false;
        for (int s = 0; s < strips; ++s) {
            std::vector<std::uint8_t>& bytes = packed[static_cast<std::size_t>(s)];
            if (TIFFWriteRawStrip(tiff, static_cast<std::uint32_t>(firstStrip + s), bytes.data(),
                                  static_cast<tmsize_t>(bytes.size())) < 0)
                return false;
        }
    }
    return true;
}

// Every page, each a directory of its own, the last one finished by Close.
CodecStatus WritePages(std::span<CImage* const> pages, CByteStream& out, std::string& problem) {
    std::uint64_t expected = 4096;
    for (CImage* image : pages)
        expected += (static_cast<std::uint64_t>(std::max(image->GetWidth(), 0)) *
                         static_cast<std::uint64_t>(std::max(image->GetBitCount(), 0)) +
                     7) /
                    8 * static_cast<std::uint64_t>(std::max(image->GetHeight(), 0));
    CTiffClient client;
    // Room for the rows as they are; compressed they seldom take more.
    TIFF* tiff = client.OpenWrite(out, expected);
    auto failed = [&] {
        problem = "TIFF file not written";
        if (!client.Error().empty()) problem += " (" + client.Error() + ")";
        return CodecStatus::Damaged;
    };
    if (tiff == nullptr) return failed();
    const int count = static_cast<int>(pages.size());
    for (int page = 0; page < count; ++page) {
        CPictureSource source;
        if (!source.Open(*pages[static_cast<std::size_t>(page)], "TIFF", problem))
            return CodecStatus::Unsupported;
        if (!WriteTiffPage(tiff, source, page, count)) return failed();
        if (page + 1 < count && !TIFFWriteDirectory(tiff)) return failed();
    }
    if (!client.Close()) return failed();
    return CodecStatus::Ok;
}

}  // namespace

// A file's own samples: 16-bit unsigned (unscaled) or 32-bit float, LZW
// with libtiff's predictor for their kind.
CodecStatus WriteTiffSamples(const CFileSamples& samples, CByteStream& out, std::string& problem) {
    const bool real = samples.Kind() == SampleKind::Float;
    const std::uint64_t rowBytes =
        static_cast<std::uint64_t>(samples.Width()) * (samples.Wide() ? 4 : 2);
    CTiffClient client;
    TIFF* tiff =
        client.OpenWrite(out, 4096 + rowBytes * static_cast<std::uint64_t>(samples.Height()));
    auto failed = [&] {
        problem = "TIFF file not written";
        if (!client.Error().empty()) problem += " (" + client.Error() + ")";
        return CodecStatus::Damaged;
    };
    if (tiff == nullptr) return failed();
    const auto rowsPerStrip = static_cast<std::uint32_t>(
        std::max<std::uint64_t>(1, kStripBytes / std::max<std::uint64_t>(rowBytes, 1)));
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(samples.Width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(samples.Height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(real ? 32 : 16));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(1));
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, real ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, real ? PREDICTOR_FLOATINGPOINT : PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    const int stripRows = static_cast<int>(std::min<std::uint64_t>(rowsPerStrip, samples.Height()));
    // libtiff applies its predictor in place: each strip is a copy.
    std::vector<std::uint8_t> strip(rowBytes * static_cast<std::uint64_t>(stripRows));
    for (int first = 0, index = 0; first < samples.Height(); first += stripRows, ++index) {
        const int rows = std::min(stripRows, samples.Height() - first);
        for (int r = 0; r < rows; ++r) {
            const void* row = samples.Wide() ? static_cast<const void*>(samples.Row32(first + r))
                                             : static_cast<const void*>(samples.Row16(first + r));
            std::memcpy(strip.data() + static_cast<std::size_t>(r) * rowBytes, row, rowBytes);
        }
        if (TIFFWriteEncodedStrip(tiff, static_cast<std::uint32_t>(index), strip.data(),
                                  static_cast<tmsize_t>(rows * rowBytes)) < 0)
            return failed();
    }
    if (!client.Close()) return failed();
    return CodecStatus::Ok;
}

CodecStatus WriteTiff(CImage& image, CByteStream& out, std::string& problem) {
    CImage* const pages[] = {&image};
    return WritePages(pages, out, problem);
}

CodecStatus WriteTiffPages(std::span<const SPicturePage> pages, CByteStream& out,
                           std::string& problem) {
    std::vector<CImage*> images;
    for (const SPicturePage& page : pages) images.push_back(page.image.get());
    return WritePages(images, out, problem);
}
