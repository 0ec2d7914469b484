#include "PictureFile.h"

#include <cstdio>
#include <functional>

#include "AtomicFileWrite.h"
#include "PictureCodec.h"
#include "PictureLimits.h"
#include "SampleWindowText.h"

namespace {

// The history lines that let a read be reproduced: the window that brought
// deeper grey samples (or signed, or floating-point ones) to 8 bits, the
// pages read of the file's.
std::vector<std::string> HistoryNotes(const SCodecRead& read,
                                      const std::vector<SPicturePage>& pages) {
    const SPictureLosses& found = read.losses;
    std::vector<std::string> notes;
    if (read.windowed)
        notes.push_back("Image " + SampleDepthWords(found) + " : fenêtre " + WindowValues(found));
    if (found.pages > 1) {
        const std::string of = " / " + std::to_string(found.pages);
        const int first = pages.front().number, last = pages.back().number;
        notes.push_back(first == last
                            ? "Page " + std::to_string(first) + of
                            : "Pages " + std::to_string(first) + " à " + std::to_string(last) + of);
    }
    return notes;
}

FileStatus ReadFormat(std::vector<SPicturePage>& pages, CCodecInput& input, PictureFormat format,
                      SPictureFileInfo& info, SPageRange range) {
    info.format = format;
    SCodecRead read = ReadFormatPages(pages, input, format, range);
    info.problem = std::move(read.problem);
    info.losses = read.losses;
    info.stackNote = std::move(read.stackNote);
    switch (read.status) {
        case CodecStatus::Ok:
            info.historyNotes = HistoryNotes(read, pages);
            return FileStatus::Ok;
        case CodecStatus::Damaged:
            return FileStatus::Damaged;
        case CodecStatus::Unsupported:
            break;
    }
    return FileStatus::Refused;
}

// One page for the callers that want a picture.
FileStatus FirstPage(FileStatus status, std::vector<SPicturePage>& pages, CImage& image) {
    if (status == FileStatus::Ok) image.SetHandle(pages.front().image->ReleaseHandle());
    return status;
}

}  // namespace

FileStatus ReadPicture(std::vector<SPicturePage>& pages, CByteStream& stream,
                       SPictureFileInfo& info, SPageRange range) {
    // Readers go back and forth in their bytes: the stream is taken whole.
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[64 * 1024];
    while (const std::size_t got = stream.Read(chunk, sizeof chunk)) {
        if (bytes.size() + got > limits::kMaxFileBytes) {
            const auto format = DetectPictureFormat(bytes.data(), bytes.size());
            if (!format) return FileStatus::UnknownFormat;
            info.format = *format;
            info.problem = std::string(FormatName(*format)) + " picture too large";
            return FileStatus::Refused;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    const auto format = DetectPictureFormat(bytes.data(), bytes.size());
    if (!format) return FileStatus::UnknownFormat;
    CCodecInput input(std::move(bytes));
    return ReadFormat(pages, input, *format, info, range);
}

FileStatus ReadPictureFile(std::vector<SPicturePage>& pages, const std::string& path,
                           SPictureFileInfo& info, SPageRange range) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return FileStatus::CannotOpen;
    std::uint8_t head[kSignatureBytes];
    const std::size_t size = std::fread(head, 1, sizeof head, file);
    const auto format = DetectPictureFormat(head, size);
    // An unknown format gets no problem: the front ends say so in their words.
    FileStatus status = FileStatus::UnknownFormat;
    if (format) {
        CCodecInput input(file);
        status = ReadFormat(pages, input, *format, info, range);
    }
    if (std::ferror(file) != 0) {
        status = FileStatus::ReadError;
        pages.clear();
    }
    std::fclose(file);
    return status;
}

FileStatus ReadPicture(CImage& image, CByteStream& stream, SPictureFileInfo& info) {
    std::vector<SPicturePage> pages;
    return FirstPage(ReadPicture(pages, stream, info, {}), pages, image);
}

FileStatus ReadPictureFile(CImage& image, const std::string& path, SPictureFileInfo& info) {
    std::vector<SPicturePage> pages;
    return FirstPage(ReadPictureFile(pages, path, info, {}), pages, image);
}

namespace {

FileStatus FromCodec(CodecStatus status) {
    switch (status) {
        case CodecStatus::Ok:
            return FileStatus::Ok;
        case CodecStatus::Unsupported:
            return FileStatus::Refused;
        case CodecStatus::Damaged:
            break;
    }
    return FileStatus::WriteError;
}

// The complete-or-nothing save around any writer.
FileStatus SaveAtomically(const std::string& path,
                          const std::function<FileStatus(CByteStream&)>& write) {
    FileStatus written = FileStatus::Ok;
    switch (WriteFileAtomically(path, [&](CByteStream& out) {
        written = write(out);
        return written == FileStatus::Ok;
    })) {
        case AtomicWriteResult::Ok:
            return FileStatus::Ok;
        case AtomicWriteResult::CannotCreate:
            return FileStatus::CannotOpen;
        case AtomicWriteResult::Refused:
            return written == FileStatus::Refused ? FileStatus::Refused : FileStatus::WriteError;
        case AtomicWriteResult::WriteFailed:
            break;
    }
    return FileStatus::WriteError;
}

}  // namespace

FileStatus WritePicture(CImage& image, CByteStream& out, PictureFormat format,
                        std::string& problem) {
    return FromCodec(WriteFormatPicture(image, out, format, problem));
}

FileStatus WritePicture(std::span<const SPicturePage> pages, CByteStream& out, PictureFormat format,
                        std::string& problem) {
    return FromCodec(WriteFormatPages(pages, out, format, problem));
}

FileStatus SavePictureFile(CImage& image, const std::string& path, PictureFormat format,
                           std::string& problem) {
    return SaveAtomically(
        path, [&](CByteStream& out) { return WritePicture(image, out, format, problem); });
}

FileStatus WriteSamples(const CFileSamples& samples, CByteStream& out, PictureFormat format,
                        std::string& problem) {
    return FromCodec(WriteFormatSamples(samples, out, format, problem));
}

FileStatus SaveSamplesFile(const CFileSamples& samples, const std::string& path,
                           PictureFormat format, std::string& problem) {
    return SaveAtomically(
        path, [&](CByteStream& out) { return WriteSamples(samples, out, format, problem); });
}

FileStatus SavePictureFile(std::span<const SPicturePage> pages, const std::string& path,
                           PictureFormat format, std::string& problem) {
    return SaveAtomically(
        path, [&](CByteStream& out) { return WritePicture(pages, out, format, problem); });
}
