#include "BmpFileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

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

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The mode a new file gets, or the mode of the file being replaced.
mode_t TargetMode(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

FileStatus SaveBmpFile(CImage& image, const std::string& path) {
    std::string temp = FolderOf(path) + "/.orvex-save-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return FileStatus::CannotOpen;
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        close(fd);
        unlink(temp.c_str());
        return FileStatus::CannotOpen;
    }
    CFileStream stream(file);
    const bool saved = image.SaveFileBMP(stream);
    bool ioError = std::ferror(file) != 0 || std::fflush(file) != 0 || fsync(fd) != 0;
    fchmod(fd, TargetMode(path));
    ioError = (std::fclose(file) != 0) || ioError;
    if (saved && !ioError && std::rename(temp.c_str(), path.c_str()) == 0) return FileStatus::Ok;
    const int error = errno;
    unlink(temp.c_str());
    errno = error;
    if (!saved && !ioError) return FileStatus::Refused;
    return FileStatus::WriteError;
}
