#include "AtomicFileWrite.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

// Runs `write` on `fd`, pushes everything out (onto the disk with `sync`)
// and closes `fd`.
AtomicWriteResult WriteAndClose(int fd, const std::function<bool(CByteStream&)>& write, bool sync) {
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        close(fd);
        return AtomicWriteResult::WriteFailed;
    }
    CFileStream stream(file);
    const bool written = write(stream);
    bool ioError = std::ferror(file) != 0 || std::fflush(file) != 0 || (sync && fsync(fd) != 0);
    ioError = std::fclose(file) != 0 || ioError;
    if (ioError) return AtomicWriteResult::WriteFailed;
    return written ? AtomicWriteResult::Ok : AtomicWriteResult::Refused;
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// A hidden name in `folder` that no file has yet, made by creating it.
int CreateNamedTemp(const std::string& folder, std::string& name) {
    name = folder + "/.orvex-save-XXXXXX";
    return mkostemp(name.data(), O_CLOEXEC);
}

enum class Outcome { Done, Retry, Failed };

// Gives the unnamed file open as `fd` a hidden name in `folder`; the name
// lives only between this and the rename that follows.
bool NameUnnamedFile(int fd, const std::string& folder, std::string& name) {
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        static std::atomic<unsigned> counter{0};
        name =
            folder + "/.orvex-save-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        if (linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

// Puts the complete file `name` in the target's place; on failure removes it.
AtomicWriteResult RenameOver(const std::string& name, const std::string& target) {
    if (std::rename(name.c_str(), target.c_str()) != 0) {
        const int error = errno;
        unlink(name.c_str());
        errno = error;
        return AtomicWriteResult::WriteFailed;
    }
    SyncFolder(FolderOf(target));
    return AtomicWriteResult::Ok;
}

// The unnamed way: O_TMPFILE, then a name through linkat once complete,
// renamed over the target. Retry when the file system or the system does not
// offer it.
Outcome WriteUnnamed(const std::string& target, const std::function<bool(CByteStream&)>& write,
                     AtomicWriteResult& result) {
#if defined(O_TMPFILE)
    const std::string folder = FolderOf(target);
    const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return Outcome::Retry;
    const int keep = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (keep < 0) {
        close(fd);
        return Outcome::Retry;
    }
    fchmod(fd, TargetMode(target));
    result = WriteAndClose(fd, write, true);
    if (result != AtomicWriteResult::Ok) {
        close(keep);  // the unnamed file vanishes with its last descriptor
        return Outcome::Failed;
    }
    std::string name;
    const bool named = NameUnnamedFile(keep, folder, name);
    close(keep);
    if (!named) return Outcome::Retry;
    result = RenameOver(name, target);
    return result == AtomicWriteResult::Ok ? Outcome::Done : Outcome::Failed;
#else
    (void)target;
    (void)write;
    (void)result;
    return Outcome::Retry;
#endif
}

AtomicWriteResult WriteNamed(const std::string& target,
                             const std::function<bool(CByteStream&)>& write) {
    std::string temp;
    const int fd = CreateNamedTemp(FolderOf(target), temp);
    if (fd < 0) return AtomicWriteResult::CannotCreate;
    fchmod(fd, TargetMode(target));
    const AtomicWriteResult result = WriteAndClose(fd, write, true);
    if (result == AtomicWriteResult::Ok && std::rename(temp.c_str(), target.c_str()) == 0) {
        SyncFolder(FolderOf(target));
        return AtomicWriteResult::Ok;
    }
    const int error = errno;
    unlink(temp.c_str());
    errno = error;
    return result == AtomicWriteResult::Ok ? AtomicWriteResult::WriteFailed : result;
}

// Writes all of `bytes` to `fd`, however few each call takes.
bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A folder that refuses new files around a file the user may write: the file
// is rewritten where it is, so that what the user may save can be saved. This
// is the one write that is NOT complete-or-nothing: a system failure half-way
// (disk full, an error) leaves the file part new, part old. The window is kept
// small: the whole content is made in memory first, so a refusing writer
// touches nothing, and the old blocks are overwritten, not freed, before the
// file is cut to its new length.
AtomicWriteResult WriteInPlace(const std::string& target,
                               const std::function<bool(CByteStream&)>& write) {
    CMemoryStream content;
    if (!write(content)) return AtomicWriteResult::Refused;
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return AtomicWriteResult::CannotCreate;
    const std::vector<std::uint8_t>& bytes = content.Bytes();
    const bool written = WriteAll(fd, bytes) &&
                         ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0;
    const int error = errno;
    close(fd);
    errno = error;
    return written ? AtomicWriteResult::Ok : AtomicWriteResult::WriteFailed;
}

// A target that exists and is no regular file (a device, a pipe) cannot be
// replaced: it is written into.
AtomicWriteResult WriteInto(const std::string& target,
                            const std::function<bool(CByteStream&)>& write) {
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return AtomicWriteResult::CannotCreate;
    return WriteAndClose(fd, write, false);
}

}  // namespace

std::string FollowLinks(const std::string& path) {
    std::string current = path;
    // As many hops as the system itself follows before giving up.
    for (int hop = 0; hop < 40; ++hop) {
        char buffer[PATH_MAX];
        const ssize_t n = readlink(current.c_str(), buffer, sizeof buffer - 1);
        if (n < 0) return current;  // not a link, or nothing there yet
        const std::string link(buffer, static_cast<std::size_t>(n));
        current = (link.front() == '/') ? link : FolderOf(current) + "/" + link;
    }
    return current;
}

AtomicWriteResult WriteFileAtomically(const std::string& path,
                                      const std::function<bool(CByteStream&)>& write) {
    const std::string target = FollowLinks(path);
    struct stat info {};
    const bool exists = stat(target.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) return WriteInto(target, write);
    // Replacing a file asks only its folder; the file's own refusal (mode
    // 444, a read-only mount, an immutable file) is the user's and stands.
    // errno tells the caller why.
    if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return AtomicWriteResult::CannotCreate;
    AtomicWriteResult result = AtomicWriteResult::WriteFailed;
    switch (WriteUnnamed(target, write, result)) {
        case Outcome::Done:
        case Outcome::Failed:
            return result;
        case Outcome::Retry:
            break;
    }
    result = WriteNamed(target, write);
    const bool folderRefused =
        result == AtomicWriteResult::CannotCreate && (errno == EACCES || errno == EPERM);
    if (exists && folderRefused) return WriteInPlace(target, write);
    return result;
}

CAtomicFileStream::~CAtomicFileStream() { Discard(); }

void CAtomicFileStream::Discard() {
    stream_.reset();
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (keep_ >= 0) close(keep_);
    keep_ = -1;
    if (!temp_.empty()) unlink(temp_.c_str());
    temp_.clear();
}

AtomicWriteResult CAtomicFileStream::Open(const std::string& path) {
    Discard();
    target_ = FollowLinks(path);
    struct stat info {};
    const bool exists = stat(target_.c_str(), &info) == 0;
    into_ = exists && !S_ISREG(info.st_mode);
    if (!into_ && exists && faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        return AtomicWriteResult::CannotCreate;
    int fd = -1;
    if (into_) {
        fd = open(target_.c_str(), O_WRONLY | O_CLOEXEC);
    } else {
#if defined(O_TMPFILE)
        fd = open(FolderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0 && (keep_ = fcntl(fd, F_DUPFD_CLOEXEC, 0)) < 0) {
            close(fd);
            fd = -1;
        }
#endif
        if (fd < 0) fd = CreateNamedTemp(FolderOf(target_), temp_);
        if (fd >= 0) fchmod(fd, TargetMode(target_));
    }
    if (fd < 0) {
        temp_.clear();
        return AtomicWriteResult::CannotCreate;
    }
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
        close(fd);
        Discard();
        return AtomicWriteResult::CannotCreate;
    }
    stream_ = std::make_unique<CFileStream>(file_);
    return AtomicWriteResult::Ok;
}

// The unnamed file copied into a named one, where no name can be linked to it.
bool CAtomicFileStream::CopyToNamedTemp() {
    const int fd = CreateNamedTemp(FolderOf(target_), temp_);
    if (fd < 0) {
        temp_.clear();
        return false;
    }
    fchmod(fd, TargetMode(target_));
    std::vector<std::uint8_t> buffer(1 << 16);
    bool copied = lseek(keep_, 0, SEEK_SET) == 0;
    for (ssize_t n; copied && (n = ::read(keep_, buffer.data(), buffer.size())) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        buffer.resize(static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        copied = n > 0 && WriteAll(fd, buffer);
        buffer.resize(1 << 16);
    }
    copied = copied && fsync(fd) == 0;
    copied = close(fd) == 0 && copied;
    return copied;
}

AtomicWriteResult CAtomicFileStream::Commit() {
    if (file_ == nullptr) return AtomicWriteResult::WriteFailed;
    stream_.reset();
    const int fd = fileno(file_);
    bool ioError = std::ferror(file_) != 0 || std::fflush(file_) != 0 || (!into_ && fsync(fd) != 0);
    ioError = std::fclose(file_) != 0 || ioError;
    file_ = nullptr;
    const int error = errno;
    if (ioError || into_) {
        Discard();
        errno = error;
        return ioError ? AtomicWriteResult::WriteFailed : AtomicWriteResult::Ok;
    }
    if (keep_ >= 0) {
        std::string name;
        if (NameUnnamedFile(keep_, FolderOf(target_), name)) {
            temp_ = name;
        } else if (!CopyToNamedTemp()) {
            const int copyError = errno;
            Discard();
            errno = copyError;
            return AtomicWriteResult::WriteFailed;
        }
    }
    const AtomicWriteResult result = RenameOver(temp_, target_);
    temp_.clear();
    Discard();
    return result;
}
