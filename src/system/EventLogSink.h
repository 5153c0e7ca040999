#pragma once

#include <stowline/EventLog.h>

namespace stowline::system {

// The sink the host set with setEventLogSink (declared in the public header, defined with it
// here), or an empty function for the default, syslog.
EventLogSink eventLogSink();

} // namespace stowline::system
