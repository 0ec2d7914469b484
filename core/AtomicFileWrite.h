#pragma once
// Writing a file complete or not at all. The new content goes to a file of
// its own in the target's folder and takes the target's place only once all
// of it has reached the disk, so a failed write (disk full, an error, a
// refusal) leaves the old file as it was. Where the file system allows it
// the new file has no name until that moment, so a program killed in the
// middle of a save leaves nothing behind; elsewhere it is a hidden named file
// that is removed on every failure the program lives through.
//
// A target that is a symbolic link is not replaced: the file it points to
// is, and the link stays. A target that is no regular file (a device, a
// pipe) is written into, as it cannot be replaced.
//
// A file the user may not write is never replaced, although its folder would
// allow it. A file the user may write in a folder that refuses new files is
// rewritten in place: the one case without the complete-or-nothing promise.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "ByteStream.h"

enum class AtomicWriteResult {
    Ok,
    CannotCreate,  // the file may not be written, or made in its folder (errno tells why)
    WriteFailed,   // the system failed while writing; the old file is intact unless
                   // it was being rewritten in place
    Refused,       // `write` returned false without a system error
};

// Calls `write` on a stream over the new content; it may be called again on
// a fresh stream should one way of writing give up for the next.
AtomicWriteResult WriteFileAtomically(const std::string& path,
                                      const std::function<bool(CByteStream&)>& write);

// The file a path finally names once symbolic links are followed (the path
// itself when it is no link); a link to a missing file gives that file.
std::string FollowLinks(const std::string& path);

// The same promise for content made while it is written, such as a table
// that grows row by row over a long run: Open makes the new file before any
// work is done, Stream takes the content, Commit puts it in the target's
// place. Left without Commit (an error, the destructor) it leaves nothing
// behind. A target that is no regular file is written into. A folder that
// refuses new files gives CannotCreate: the content is not known whole, so
// it cannot be rewritten in place.
class CAtomicFileStream {
public:
    CAtomicFileStream() = default;
    ~CAtomicFileStream();
    CAtomicFileStream(const CAtomicFileStream&) = delete;
    CAtomicFileStream& operator=(const CAtomicFileStream&) = delete;

    AtomicWriteResult Open(const std::string& path);  // errno tells why it cannot
    CByteStream& Stream() { return *stream_; }        // only between Open and Commit
    AtomicWriteResult Commit();

private:
    void Discard();
    bool CopyToNamedTemp();

    std::string target_;
    std::string temp_;  // the new file's hidden name, when it has one
    int keep_ = -1;     // the unnamed new file, kept open to give it a name
    bool into_ = false;
    std::FILE* file_ = nullptr;
    std::unique_ptr<CFileStream> stream_;
};
