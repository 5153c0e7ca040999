#pragma once

#include <stowline/Export.h>

#include <QString>
#include <functional>

namespace stowline {

// Receives every application event-log entry the component writes (one call per entry).
using EventLogSink = std::function<void(const QString& entry)>;

// Replaces the process-wide event-log sink. An empty function restores the default, which sends
// each entry to syslog (ident "Stowline", facility user, priority err).
STOWLINE_EXPORT void setEventLogSink(EventLogSink sink);

} // namespace stowline
