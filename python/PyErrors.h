#pragma once
// How the module says that something failed: Python exceptions, never a
// crash and never a message on standard error.
//
//   orvex.FileError (an OSError)  a file that cannot be read or written, with
//                                 the reason orvex-cli prints
//   ValueError                    an argument no step accepts
//   orvex.OperationError          the engine refused, with the engine's message
//
// The engine speaks through its message sink; EngineMessages collects what it
// says on the calling thread while a call runs.

#include <stdexcept>
#include <string>

#include "Message.h"

// Its text is the whole message; the file's path and the system's error
// number, when there is one, become the OSError's filename and errno.
struct FileError : std::runtime_error {
    explicit FileError(const std::string& message, std::string file = {}, int number = 0)
        : std::runtime_error(message), path(std::move(file)), error(number) {}
    std::string path;
    int error = 0;
};
struct OperationError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Collects the engine's messages on this thread for the life of the object.
class CEngineMessages {
public:
    CEngineMessages();
    // Every message, one a line; `otherwise` when the engine said nothing.
    std::string Text(const std::string& otherwise) const;

private:
    std::string text_;
    CScopedMessageSink sink_;
};

namespace pybind11 {
class module_;
}
// Makes orvex.FileError, an OSError that carries the file and errno.
void RegisterFileError(pybind11::module_& module);

// A ValueError with `text`.
[[noreturn]] void ThrowValue(const std::string& text);
