#include "PictureFile.h"

#include <cstdio>
#include <new>

#include "AtomicFileWrite.h"
#include "PictureCodec.h"
#include "PictureLimits.h"

namespace {

// Reads the first bytes of a stream for the format check; the stream is then
// read from its start again by the reader, so it is wrapped to replay them.
class CReplayStream : public CByteStream {
public:
    CReplayStream(CByteStream& inner, const std::uint8_t* head, std::size_t size)
        : inner_(inner), head_(head, head + size) {}
    std::uint64_t Length() override { return inner_.Length(); }
    std::size_t Read(void* buffer, std::size_t count) override {
        std::size_t done = 0;
        auto* bytes = static_cast<std::uint8_t*>(buffer);
        while (done < count && next_ < head_.size()) bytes[done++] = head_[next_++];
        if (done < count) done += inner_.Read(bytes + done, count - done);
        return done;
    }
    bool Write(const void*, std::size_t) override { return false; }

private:
    CByteStream& inner_;
    std::vector<std::uint8_t> head_;
    std::size_t next_ = 0;
};

const char* const kUnknownFormat = "not a picture file Orvex reads (BMP, PNG, TIFF, JPEG, PGM/PPM)";

FileStatus ReadThroughCodec(CImage& image, CCodecInput& input, PictureFormat format,
                            SPictureFileInfo& info) {
    SCodecRead read = ReadCodecPicture(image, input, CodecOf(format));
    info.problem = std::move(read.problem);
    info.historyNotes = std::move(read.notes);
    info.losses = read.losses;
    switch (read.status) {
        case CodecStatus::Ok:
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
    std::uint8_t head[8];
    const std::size_t size = stream.Read(head, sizeof head);
    const auto format = DetectPictureFormat(head, size);
    if (!format) return FileStatus::UnknownFormat;
    info.format = *format;
    CReplayStream replay(stream, head, size);
    if (*format == PictureFormat::Bmp)
        return image.ReadFileBMP(replay) ? FileStatus::Ok : FileStatus::Refused;
    // The other formats go back and forth in their bytes: the stream is
    // taken whole first.
    std::vector<std::uint8_t> bytes(head, head + size);
    std::uint8_t chunk[64 * 1024];
    while (const std::size_t got = stream.Read(chunk, sizeof chunk)) {
        if (bytes.size() + got > limits::kMaxFileBytes) {
            info.problem = std::string(FormatName(*format)) + " picture too large";
            return FileStatus::Refused;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    CCodecInput input(std::move(bytes));
    return ReadThroughCodec(image, input, *format, info);
}

FileStatus ReadPictureFile(CImage& image, const std::string& path, SPictureFileInfo& info) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return FileStatus::CannotOpen;
    std::uint8_t head[8];
    const std::size_t size = std::fread(head, 1, sizeof head, file);
    const auto format = DetectPictureFormat(head, size);
    // An unknown format gets no problem: the front ends say so in their words.
    FileStatus status = FileStatus::UnknownFormat;
    if (format == PictureFormat::Bmp) {
        info.format = *format;
        std::rewind(file);
        CFileStream stream(file);
        status = image.ReadFileBMP(stream) ? FileStatus::Ok : FileStatus::Refused;
    } else if (format) {
        info.format = *format;
        CCodecInput input(file);
        status = ReadThroughCodec(image, input, *format, info);
    }
    if (std::ferror(file) != 0) status = FileStatus::ReadError;
    std::fclose(file);
    return status;
}

FileStatus WritePicture(CImage& image, CByteStream& out, PictureFormat format,
                        std::string& problem) {
    if (format == PictureFormat::Bmp)
        return image.SaveFileBMP(out) ? FileStatus::Ok : FileStatus::Refused;
    const SPictureCodec& codec = CodecOf(format);
    if (codec.write == nullptr) {
        problem = std::string(FormatName(format)) + " files are read, never written";
        return FileStatus::Refused;
    }
    CodecStatus status = CodecStatus::Unsupported;
    try {
        status = codec.write(image, out, problem);
    } catch (const std::bad_alloc&) {
        problem = "not enough memory to write the picture";
    }
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

FileStatus SavePictureFile(CImage& image, const std::string& path, PictureFormat format,
                           std::string& problem) {
    if (format == PictureFormat::Bmp) return SaveBmpFile(image, path);
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
