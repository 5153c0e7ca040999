#include "system/EventLogSink.h"

#include <mutex>

namespace stowline {
namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

EventLogSink& currentSink() {
    static EventLogSink sink;
    return sink;
}

} // namespace

void setEventLogSink(EventLogSink sink) {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(sink);
}

namespace system {

EventLogSink eventLogSink() {
    std::lock_guard lock(sinkMutex());
    return currentSink();
}

} // namespace system
} // namespace stowline
