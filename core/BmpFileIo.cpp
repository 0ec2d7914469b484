#include "BmpFileIo.h"

#include <cstdio>

#include "AtomicFileWrite.h"
#include "ByteStream.h"

FileStatus ReadBmpFile(CImage& image, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return FileStatus::CannotOpen;
    CFileStream stream(file);
    const bool read = image.ReadFileBMP(stream);
    const bool ioError = std::ferror(file) != 0;
    std::fclose(file);
    if (ioError) return FileStatus::ReadError;
    return read ? FileStatus::Ok : FileStatus::Refused;
}

FileStatus SaveBmpFile(CImage& image, const std::string& path) {
    switch (WriteFileAtomically(path, [&](CByteStream& out) { return image.SaveFileBMP(out); })) {
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
