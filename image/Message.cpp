#include "Message.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace {

std::mutex g_sinkMutex;
MessageSink g_processSink;
thread_local const MessageSink* t_threadSink = nullptr;

}  // namespace

void SetMessageSink(MessageSink sink) {
    std::lock_guard lock(g_sinkMutex);
    g_processSink = std::move(sink);
}

void ShowMessage(const std::string& text) {
    if (t_threadSink != nullptr && *t_threadSink) {
        (*t_threadSink)(text);
        return;
    }
    MessageSink sink;
    {
        std::lock_guard lock(g_sinkMutex);
        sink = g_processSink;
    }
    if (sink) {
        sink(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

CScopedMessageSink::CScopedMessageSink(MessageSink sink)
    : sink_(std::move(sink)), previous_(t_threadSink) {
    t_threadSink = &sink_;
}

CScopedMessageSink::~CScopedMessageSink() { t_threadSink = previous_; }
