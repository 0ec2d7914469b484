#pragma once
// The words orvex-cli and the Python module use for a file that failed: the system's reason when
// it gave one ("No such file or directory"), else what went wrong.

#include <functional>
#include <string>

#include "PictureFile.h"

// The system's text for the error number `error`.
std::string SystemReason(int error);

// Why opening, reading or writing a picture failed: the system's reason when
// it gave one (`error` is errno as the failing call left it), else the
// reader's or writer's `problem`, else what went wrong.
std::string FileFailure(FileStatus status, int error, const std::string& problem = {});
// `error` when the system's failure is the reason `status` gives, else 0.
int SystemError(FileStatus status, int error);

// Runs `io`, a read or write of the file `path` that speaks through the
// engine's messages; should it fail, what it said is replaced by one message
// naming the file and the system's reason (`otherwise` when there is none).
bool WithFileReason(const std::string& path, const std::string& otherwise,
                    const std::function<bool()>& io);
