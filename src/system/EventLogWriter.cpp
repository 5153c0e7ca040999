#include "system/EventLogWriter.h"

#include <stowline/EventLog.h>

#include <mutex>
#include <syslog.h>

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

void writeToSyslog(const QString& entry) {
    static std::once_flag opened;
    std::call_once(opened, [] { openlog("Stowline", LOG_PID, LOG_USER); });
    const QByteArray text = entry.toUtf8();
    syslog(LOG_USER | LOG_ERR, "%s", text.constData());
}

} // namespace

void setEventLogSink(EventLogSink sink) {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(sink);
}

namespace system {

void writeEventLog(const QString& entry) {
    EventLogSink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    if (sink) {
        sink(entry);
    } else {
        writeToSyslog(entry);
    }
}

} // namespace system
} // namespace stowline
