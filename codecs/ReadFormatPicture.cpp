// The sequence every read follows: header, size checks, one block, pixels,
// and the window of samples deeper than 8 bits. Writes go through the row.

#include <algorithm>
#include <new>

#include "PictureLimits.h"
#include "PictureReader.h"

namespace {

// The picture written as a BMP: file header, engine header and table.
constexpr std::uint64_t kBmpOverhead = 14 + CImage::kEngineHeaderBytes + 16;

bool Fail(SCodecRead& result, CodecStatus status, std::string problem) {
    result.status = status;
    result.problem = std::move(problem);
    return false;
}

// Every check of a page's header before its block is made. `rowsBefore`:
// the bytes of rows of the stack's pages read before it, which count
// against the file's length with its own.
bool CheckHeader(const SPictureHeader& header, const std::string& name, std::uint64_t fileBytes,
                 std::uint64_t rowsBefore, SCodecRead& result) {
    const int bitCount = header.kind == PictureKind::Colour24 ? 24 : 8;
    if (header.width <= 0 || header.height <= 0 || header.width > limits::kMaxSide ||
        header.height > limits::kMaxSide)
        return Fail(result, CodecStatus::Damaged,
                    "damaged " + name + " file (invalid width or height)");
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(header.width) * bitCount + 31) / 32 * 4;
    const std::uint64_t rowBytes = stride * static_cast<std::uint64_t>(header.height);
    if (rowBytes + kBmpOverhead > limits::kMaxFileBytes)
        return Fail(result, CodecStatus::Unsupported,
                    name + " picture too large (" + std::to_string(header.width) + " x " +
                        std::to_string(header.height) + ")");
    if (!limits::RowsFitData(rowsBefore + rowBytes, fileBytes))
        return Fail(result, CodecStatus::Damaged,
                    "damaged " + name + " file (claims a picture far larger than its data)");
    return true;
}

// One page's block and pixels, once its header passed the checks; deep
// samples seen by the window and kept, then levelled from the kept copy (or,
// when they are not kept, read again for their levels).
bool ReadPage(CPictureReader& reader, const SPictureHeader& header, SPicturePage& page,
              SCodecRead& result) {
    const int bitCount = header.kind == PictureKind::Colour24 ? 24 : 8;
    HBLOCK block = CImage::CreatePictureBlock(static_cast<int>(header.width),
                                              static_cast<int>(header.height), bitCount);
    if (!block) return Fail(result, CodecStatus::Unsupported, "not enough memory for the picture");
    SPictureRows rows;
    rows.width = static_cast<int>(header.width);
    rows.height = static_cast<int>(header.height);
    rows.stride = (static_cast<std::uint64_t>(header.width) * bitCount + 31) / 32 * 4;
    rows.table = bitCount == 8 ? block->Data() + CImage::kInfoHeaderSize : nullptr;
    rows.bits = block->Data() + CImage::kInfoHeaderSize + (bitCount == 8 ? 1024 : 0);
    std::unique_ptr<samples::CGreyWindow> window;
    std::shared_ptr<CFileSamples> kept;
    if (header.Windowed()) {
        window = std::make_unique<samples::CGreyWindow>(header.sampleKind, header.sampleBits,
                                                        header.white);
        rows.window = window.get();
        if (!header.invertedSamples) {
            kept = std::make_shared<CFileSamples>(rows.width, rows.height, header.sampleKind,
                                                  header.sampleBits, header.white);
            rows.keep = kept.get();
        }
        if (!reader.ReadPixels(rows)) return Fail(result, reader.Status(), reader.Problem());
        window->Fix();
    }
    if (kept)
        kept->Level(window->Low(), window->High(), rows.bits, rows.stride);
    else if (!reader.ReadPixels(rows))
        return Fail(result, reader.Status(), reader.Problem());

    page.image->SetHandle(std::move(block));
    if (window) page.window = {window->Low(), window->High()};
    page.samples = std::move(kept);
    if (window && !result.windowed) {
        result.windowed = true;
        result.losses.sampleBits = header.sampleBits;
        result.losses.sampleKind = header.sampleKind;
        result.losses.windowLow = window->Low();
        result.losses.windowHigh = window->High();
    }
    return true;
}

std::uint64_t BlockBytes(const SPictureHeader& header) {
    const int bitCount = header.kind == PictureKind::Colour24 ? 24 : 8;
    return (static_cast<std::uint64_t>(header.width) * bitCount + 31) / 32 * 4 *
               static_cast<std::uint64_t>(header.height) +
           CImage::kEngineHeaderBytes;
}

// What a page costs in memory: its block, and the samples kept beside it.
std::uint64_t PageBytes(const SPictureHeader& header) {
    const bool keeps = header.Windowed() && !header.invertedSamples;
    return BlockBytes(header) +
           (keeps ? FileSampleBytes(header.width, header.height, header.sampleBits) : 0);
}

bool SameShape(const SPictureHeader& a, const SPictureHeader& b) {
    return a.width == b.width && a.height == b.height &&
           (a.kind == PictureKind::Colour24) == (b.kind == PictureKind::Colour24);
}

// The pages of `range`, header by header: each checked, then read. A page
// of another size or depth than the first ends the stack at the first page.
bool ReadPagesThroughReader(CPictureReader& reader, std::vector<SPicturePage>& pages,
                            const std::string& name, std::uint64_t fileBytes, SPageRange range,
                            SCodecRead& result) {
    SPictureHeader header;
    if (!reader.ReadHeader(header)) return Fail(result, reader.Status(), reader.Problem());
    const auto noPage = [&](int number) {
        if (reader.Status() != CodecStatus::Ok)
            return Fail(result, reader.Status(), reader.Problem());
        return Fail(
            result, CodecStatus::Unsupported,
            name + " file of fewer pages than asked for (no page " + std::to_string(number) + ")");
    };
    if (range.first > 1 && !reader.GoToPage(range.first - 1, header)) return noPage(range.first);
    const SPictureHeader first = header;
    std::uint64_t rowsBefore = 0, stackBytes = 0;
    for (int number = range.first;; ++number) {
        if (!SameShape(header, first)) {
            result.stackNote = "pages of differing sizes or depths: only page " +
                               std::to_string(range.first) + " is read";
            pages.resize(1);
            break;
        }
        if (!CheckHeader(header, name, fileBytes, rowsBefore, result)) return false;
        stackBytes += PageBytes(header);
        if (stackBytes > limits::kMaxStackBytes || pages.size() >= limits::kMaxPages)
            return Fail(result, CodecStatus::Unsupported,
                        name + " stack too large (" + std::to_string(number - range.first + 1) +
                            " pages of " + std::to_string(header.width) + " x " +
                            std::to_string(header.height) + ", more than " +
                            std::to_string(limits::kMaxStackBytes >> 30) + " GiB together)");
        rowsBefore += BlockBytes(header) - CImage::kEngineHeaderBytes;
        SPicturePage page;
        page.number = number;
        if (!ReadPage(reader, header, page, result)) return false;
        page.delay = reader.Delay();
        pages.push_back(std::move(page));
        if (number == range.last) break;
        if (!reader.GoToPage(number, header)) {
            if (reader.Status() != CodecStatus::Ok || range.last != 0) return noPage(number + 1);
            break;
        }
    }
    if (!reader.CountPages()) return Fail(result, reader.Status(), reader.Problem());
    return true;
}

// A later page that fails refuses the whole stack, saying so.
// A damage found past the pages wanted, while the file's pages were counted,
// is told as the reader tells it.
void NamePage(SCodecRead& result, SPageRange range, int readWell) {
    const int failedPage = range.first + readWell;
    const bool counting = range.last != 0 && failedPage > range.last;
    if (result.status != CodecStatus::Damaged || failedPage <= 1 || counting) return;
    result.problem = "page " + std::to_string(failedPage) + ": " + result.problem;
    if (readWell > 0)
        result.problem += "; the " + std::to_string(readWell) +
                          (readWell == 1 ? " page" : " pages") +
                          " before it read well, but a stack is opened whole or not at all";
}

}  // namespace

SCodecRead ReadFormatPages(std::vector<SPicturePage>& pages, CCodecInput& input,
                           PictureFormat format, SPageRange range) {
    const SPictureFormatRow& row = FormatRow(format);
    SCodecRead result;
    pages.clear();
    std::unique_ptr<CPictureReader> reader = row.newReader(input);
    reader->WantPages(range);
    // Row buffers of very wide pictures may be more than memory holds.
    try {
        bool read = false;
        if (reader->ReadsWhole()) {
            pages.emplace_back();
            read = range.first == 1 ? reader->ReadWhole(*pages.front().image)
                                    : Fail(result, CodecStatus::Unsupported,
                                           std::string(row.name) + " files hold one page");
        } else {
            read = ReadPagesThroughReader(*reader, pages, row.name, input.Length(), range, result);
        }
        if (!read && result.status == CodecStatus::Ok) {
            result.status =
                reader->Status() == CodecStatus::Ok ? CodecStatus::Damaged : reader->Status();
            result.problem = reader->Problem();
        }
        if (!read) NamePage(result, range, static_cast<int>(pages.size()));
    } catch (const std::bad_alloc&) {
        result.status = CodecStatus::Unsupported;
        result.problem = "not enough memory for the picture";
    }
    if (result.status != CodecStatus::Ok) {
        pages.clear();
        return result;
    }
    // What the reader found, what the format always loses, the window.
    const SPictureLosses window = result.losses;
    result.losses = reader->Losses();
    result.losses.alpha = result.losses.alpha || row.lost.alpha;
    result.losses.lossy = result.losses.lossy || row.lost.lossy;
    result.losses.pages = std::max(result.losses.pages, row.lost.pages);
    result.losses.pagesKept = static_cast<int>(pages.size());
    if (result.windowed) {
        result.losses.sampleBits = window.sampleBits;
        result.losses.sampleKind = window.sampleKind;
        result.losses.windowLow = window.windowLow;
        result.losses.windowHigh = window.windowHigh;
    }
    return result;
}

SCodecRead ReadFormatPicture(CImage& image, CCodecInput& input, PictureFormat format) {
    std::vector<SPicturePage> pages;
    SCodecRead result = ReadFormatPages(pages, input, format, {1, 1});
    if (result.status == CodecStatus::Ok) image.SetHandle(pages[0].image->ReleaseHandle());
    return result;
}

CodecStatus WriteFormatPicture(CImage& image, CByteStream& out, PictureFormat format,
                               std::string& problem) {
    const SPictureFormatRow& row = FormatRow(format);
    if (row.write == nullptr) {
        problem = std::string(row.name) + " files are read, never written";
        return CodecStatus::Unsupported;
    }
    try {
        return row.write(image, out, problem);
    } catch (const std::bad_alloc&) {
        problem = "not enough memory to write the picture";
        return CodecStatus::Unsupported;
    }
}

std::string FormatSamplesRefusal(PictureFormat format, const CFileSamples& samples) {
    const auto takes = [&](PictureFormat f) {
        const SPictureFormatRow& row = FormatRow(f);
        if (row.writeSamples == nullptr) return false;
        if (samples.Kind() == SampleKind::Float) return row.writesFloatSamples;
        return samples.Kind() == SampleKind::Unsigned && samples.Bits() <= 16;
    };
    if (takes(format)) return {};
    std::vector<std::string> others;
    for (PictureFormat other : PictureFormats())
        if (takes(other)) others.push_back(FormatName(other));
    const char* kind = samples.Kind() == SampleKind::Float    ? "floating-point"
                       : samples.Kind() == SampleKind::Signed ? "signed"
                                                              : "unsigned";
    return std::string(FormatName(format)) + " files cannot hold the file's own " +
           std::to_string(samples.Bits()) + "-bit " + kind + " samples as they are (" +
           (others.empty() ? std::string("no format written can; --depth 8 writes the levels")
                           : JoinWords(others, " or ") + " can") +
           ")";
}

CodecStatus WriteFormatSamples(const CFileSamples& samples, CByteStream& out, PictureFormat format,
                               std::string& problem) {
    if (problem = FormatSamplesRefusal(format, samples); !problem.empty())
        return CodecStatus::Unsupported;
    try {
        return FormatRow(format).writeSamples(samples, out, problem);
    } catch (const std::bad_alloc&) {
        problem = "not enough memory to write the picture";
        return CodecStatus::Unsupported;
    }
}

CodecStatus WriteFormatPages(std::span<const SPicturePage> pages, CByteStream& out,
                             PictureFormat format, std::string& problem) {
    if (pages.size() == 1) return WriteFormatPicture(*pages.front().image, out, format, problem);
    const SPictureFormatRow& row = FormatRow(format);
    if (row.writePages == nullptr) {
        problem = std::string(row.name) + " files hold one page, and this is a stack of " +
                  std::to_string(pages.size());
        return CodecStatus::Unsupported;
    }
    try {
        return row.writePages(pages, out, problem);
    } catch (const std::bad_alloc&) {
        problem = "not enough memory to write the picture";
        return CodecStatus::Unsupported;
    }
}
