#pragma once
// The engine's one way of telling the user something went wrong.
//
// The engine never throws and never talks to a window: it hands each message
// (for example "Rotate : invalid handle") to the current sink. The desktop
// program installs a sink that shows a modal box, orvex-cli prints to standard
// error, tests record the texts. A sink installed with CScopedMessageSink
// applies to the calling thread only, so files processed in parallel keep their
// messages apart; otherwise the process-wide sink is used.

#include <functional>
#include <string>

using MessageSink = std::function<void(const std::string&)>;

// Replaces the process-wide sink (the default writes to standard error).
void SetMessageSink(MessageSink sink);

// Passes one message to the current sink.
void ShowMessage(const std::string& text);

// Installs a sink for the calling thread for the lifetime of this object.
class CScopedMessageSink {
public:
    explicit CScopedMessageSink(MessageSink sink);
    ~CScopedMessageSink();
    CScopedMessageSink(const CScopedMessageSink&) = delete;
    CScopedMessageSink& operator=(const CScopedMessageSink&) = delete;

private:
    MessageSink sink_;
    const MessageSink* previous_;
};
