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

struct FileError : std::runtime_error {
    using std::runtime_error::runtime_error;
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

// A ValueError with `text`.
[[noreturn]] void ThrowValue(const std::string& text);
