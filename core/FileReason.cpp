#include "FileReason.h"

#include <cerrno>
#include <system_error>

#include "Message.h"
#include "PictureFormat.h"

std::string SystemReason(int error) { return std::generic_category().message(error); }

int SystemError(FileStatus status, int error) {
    const bool systemSaid = status == FileStatus::CannotOpen || status == FileStatus::ReadError ||
                            status == FileStatus::WriteError;
    return systemSaid ? error : 0;
}

std::string FileFailure(FileStatus status, int error, const std::string& problem) {
    if (SystemError(status, error) != 0) return SystemReason(error);
    if (!problem.empty()) return problem;
    switch (status) {
        case FileStatus::CannotOpen:
            return "cannot open the file";
        case FileStatus::ReadError:
            return "error while reading";
        case FileStatus::WriteError:
            return "error while writing";
        case FileStatus::UnknownFormat:
            return "not a picture in a format orvex-cli reads (" +
                   JoinWords(ReadFormatNames(), ", ") + ")";
        case FileStatus::Damaged:
            return "damaged picture file";
        default:
            return "not a picture that can be read or written";
    }
}

bool WithFileReason(const std::string& path, const std::string& otherwise,
                    const std::function<bool()>& io) {
    bool ok = false;
    int error = 0;
    {
        CScopedMessageSink quiet([](const std::string&) {});
        errno = 0;
        ok = io();
        error = errno;
    }
    if (!ok) ShowMessage(path + ": " + (error != 0 ? SystemReason(error) : otherwise));
    return ok;
}
