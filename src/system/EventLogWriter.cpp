#include "system/EventLogWriter.h"

#include "system/EventLogSink.h"

#include <mutex>
#include <syslog.h>

namespace stowline::system {
namespace {

void writeToSyslog(const QString& entry) {
    static std::once_flag opened;
    std::call_once(opened, [] { openlog("Stowline", LOG_PID, LOG_USER); });
    const QByteArray text = entry.toUtf8();
    syslog(LOG_USER | LOG_ERR, "%s", text.constData());
}

} // namespace

void writeEventLog(const QString& entry) {
    // Called outside the sink's lock: a sink that writes an entry of its own must not deadlock.
    if (const EventLogSink sink = eventLogSink()) {
        sink(entry);
    } else {
        writeToSyslog(entry);
    }
}

} // namespace stowline::system
