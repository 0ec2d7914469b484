#include "PictureFile.h"

#include <cstdio>

#include "AtomicFileWrite.h"
#include "PictureCodec.h"
#include "PictureLimits.h"
#include "SampleWindowText.h"

namespace {

// The history lines that let a read be reproduced: the window that brought
// deeper grey samples (or signed, or floating-point ones) to 8 bits, the
// page read.
std::vector<std::string> HistoryNotes(const SCodecRead& read) {
    const SPictureLosses& found = read.losses;
    std::vector<std::string> notes;
    if (read.windowed)
        notes.push_back("Image " + SampleDepthWords(found) + " : fenêtre " + WindowValues(found));
    if (found.pages > 1) notes.push_back("Page 1 / " + std::to_string(found.pages));
    return notes;
}

FileStatus ReadFormat(CImage& image, CCodecInput& input, PictureFormat format,
                      SPictureFileInfo& info) {
    info.format = format;
    SCodecRead read = ReadFormatPicture(image, input, format);
    info.problem = std::move(read.problem);
    info.losses = read.losses;
    switch (read.status) {
        case CodecStatus::Ok:
            info.historyNotes = HistoryNotes(read);
            return FileStatus::Ok;
        case CodecStatus::Damaged:
            return FileStatus::Damaged;
        case CodecStatus::Unsupported:
            break;
    }
    return FileStatus::Refused;
}

}  // namespace

FileStatus ReadPicture(CImage& image, CByteStream& stream, SPictureFileInfo& info) {
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
    return ReadFormat(image, input, *format, info);
}

FileStatus ReadPictureFile(CImage& image, const std::string& path, SPictureFileInfo& info) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return FileStatus::CannotOpen;
    std::uint8_t head[kSignatureBytes];
    const std::size_t size = std::fread(head, 1, sizeof head, file);
    const auto format = DetectPictureFormat(head, size);
    // An unknown format gets no problem: the front ends say so in their words.
    FileStatus status = FileStatus::UnknownFormat;
    if (format) {
        CCodecInput input(file);
        status = ReadFormat(image, input, *format, info);
    }
    if (std::ferror(file) != 0) status = FileStatus::ReadError;
    std::fclose(file);
    return status;
}

FileStatus WritePicture(CImage& image, CByteStream& out, PictureFormat format,
                        std::string& problem) {
    switch (WriteFormatPicture(image, out, format, problem)) {
        case CodecStatus::Ok:
            return FileStatus::Ok;
        case CodecStatus::Unsupported:
            return FileStatus::Refused;
        case CodecStatus::Damaged:
            break;
    }
    return FileStatus::WriteError;
}

FileStatus SavePictureFile(CImage& image, const std::string& path, PictureFormat format,
                           std::string& problem) {
    FileStatus written = FileStatus::Ok;
    switch (WriteFileAtomically(path, [&](CByteStream& out) {
        written = WritePicture(image, out, format, problem);
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
