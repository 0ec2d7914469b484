// The sequence every read follows: header, size checks, one block, pixels,
// and the window of samples deeper than 8 bits. Writes go through the row.

#include <algorithm>
#include <new>

#include "PageBlock.h"
#include "PictureLimits.h"
#include "PictureReader.h"

namespace {

bool Fail(SCodecRead& result, CodecStatus status, std::string problem) {
    result.status = status;
    result.problem = std::move(problem);
    return false;
}

// A page refused by the driver: in the reader's words when it has its own
// (the engine's BMP reader), otherwise in these.
bool Refuse(CPictureReader& reader, ReadFault fault, CodecStatus status, std::string problem,
            SCodecRead& result) {
    if (reader.TellFault(fault)) return Fail(result, reader.Status(), reader.Problem());
    return Fail(result, status, std::move(problem));
}

// Whether a page's rows can come from the file's data. Rows kept as the file
// stores them are held to the data they start at; the others, with the rows
// of the stack's pages read before them (`rowsBefore`), to the file's length.
bool RowsFitData(const SPictureHeader& header, std::uint64_t fileBytes, std::uint64_t rowsBefore) {
    if (header.kind == PictureKind::Dib)
        return limits::StoredRowsFitData(
            static_cast<std::uint64_t>(header.width), static_cast<std::uint64_t>(header.height),
            header.dib.bitCount, header.dib.runLength, header.dib.dataBytes);
    return limits::RowsFitData(rowsBefore + PageRowBytes(header), fileBytes);
}

// Every check of a page's header before its block is made, for every format.
bool CheckHeader(CPictureReader& reader, const SPictureHeader& header, const std::string& name,
                 std::uint64_t fileBytes, std::uint64_t rowsBefore, SCodecRead& result) {
    const std::string badSize = "damaged " + name + " file (invalid width or height)";
    if (header.width <= 0 || header.height <= 0)
        return Refuse(reader, ReadFault::NoPixels, CodecStatus::Damaged, badSize, result);
    if (header.width > limits::kMaxSide || header.height > limits::kMaxSide)
        return Refuse(reader, ReadFault::SideTooLong, CodecStatus::Damaged, badSize, result);
    if (!limits::PictureFitsFile(static_cast<std::uint64_t>(header.width),
                                 static_cast<std::uint64_t>(header.height), PageBitCount(header)))
        return Refuse(reader, ReadFault::TooLarge, CodecStatus::Unsupported,
                      name + " picture too large (" + std::to_string(header.width) + " x " +
                          std::to_string(header.height) + ")",
                      result);
    if (!RowsFitData(header, fileBytes, rowsBefore))
        return Refuse(reader, ReadFault::RowsPastData, CodecStatus::Damaged,
                      "damaged " + name + " file (claims a picture far larger than its data)",
                      result);
    return true;
}

// One page's block and pixels, once its header passed the checks; deep
// samples seen by the window and kept, then levelled from the kept copy (or,
// when they are not kept, read again for their levels).
bool ReadPage(CPictureReader& reader, const SPictureHeader& header, SPicturePage& page,
              SCodecRead& result) {
    SPictureRows rows;
    HBLOCK block = MakePageBlock(header, rows);
    if (!block)
        return Refuse(reader, ReadFault::NoMemory, CodecStatus::Unsupported,
                      "not enough memory for the picture", result);
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

// What a page costs in memory: its block, and the samples kept beside it.
std::uint64_t PageBytes(const SPictureHeader& header) {
    const bool keeps = header.Windowed() && !header.invertedSamples;
    return PageBlockBytes(header) +
           (keeps ? FileSampleBytes(header.width, header.height, header.sampleBits) : 0);
}

bool SameShape(const SPictureHeader& a, const SPictureHeader& b) {
    return a.width == b.width && a.height == b.height && PageBitCount(a) == PageBitCount(b);
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
        if (!CheckHeader(reader, header, name, fileBytes, rowsBefore, result)) return false;
        stackBytes += PageBytes(header);
        if (stackBytes > limits::kMaxStackBytes || pages.size() >= limits::kMaxPages)
            return Fail(result, CodecStatus::Unsupported,
                        name + " stack too large (" + std::to_string(number - range.first + 1) +
                            " pages of " + std::to_string(header.width) + " x " +
                            std::to_string(header.height) + ", more than " +
                            std::to_string(limits::kMaxStackBytes >> 30) + " GiB together)");
        rowsBefore += PageRowBytes(header);
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
    if (reader->OnePage()) {
        if (range.first != 1) {
            result.status = CodecStatus::Unsupported;
            result.problem = std::string(row.name) + " files hold one page";
            return result;
        }
        range = {1, 1};
    }
    reader->WantPages(range);
    // Row buffers of very wide pictures may be more than memory holds.
    try {
        const bool read =
            ReadPagesThroughReader(*reader, pages, row.name, input.Length(), range, result);
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
