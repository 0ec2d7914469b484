#include "PictureFile.h"

#include <cstdio>

#include "AtomicFileWrite.h"

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

}  // namespace

FileStatus ReadPicture(CImage& image, CByteStream& stream, SPictureFileInfo& info) {
    std::uint8_t head[8];
    const std::size_t size = stream.Read(head, sizeof head);
    const auto format = DetectPictureFormat(head, size);
    if (!format) return FileStatus::UnknownFormat;
    info.format = *format;
    CReplayStream replay(stream, head, size);
    switch (*format) {
        case PictureFormat::Bmp:
            return image.ReadFileBMP(replay) ? FileStatus::Ok : FileStatus::Refused;
        default:
            info.problem = std::string(FormatName(*format)) + " files cannot be read yet";
            return FileStatus::UnknownFormat;
    }
}

FileStatus ReadPictureFile(CImage& image, const std::string& path, SPictureFileInfo& info) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return FileStatus::CannotOpen;
    CFileStream stream(file);
    FileStatus status = ReadPicture(image, stream, info);
    if (std::ferror(file) != 0) status = FileStatus::ReadError;
    std::fclose(file);
    return status;
}

FileStatus WritePicture(CImage& image, CByteStream& out, PictureFormat format,
                        std::string& problem) {
    if (format == PictureFormat::Bmp)
        return image.SaveFileBMP(out) ? FileStatus::Ok : FileStatus::Refused;
    problem = std::string(FormatName(format)) + " files cannot be written";
    return FileStatus::Refused;
}

FileStatus SavePictureFile(CImage& image, const std::string& path, PictureFormat format,
                           std::string& problem) {
    if (format == PictureFormat::Bmp) return SaveBmpFile(image, path);
    switch (WriteFileAtomically(path, [&](CByteStream& out) {
        return WritePicture(image, out, format, problem) == FileStatus::Ok;
    })) {
        case AtomicWriteResult::Ok:
            return FileStatus::Ok;
        case AtomicWriteResult::CannotCreate:
            return FileStatus::CannotOpen;
        case AtomicWriteResult::Refused:
            return FileStatus::Refused;
        case AtomicWriteResult::WriteFailed:
            break;
    }
    return FileStatus::WriteError;
}
