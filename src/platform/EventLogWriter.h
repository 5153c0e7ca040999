#pragma once

#include <QString>

namespace stowline::platform {

// Appends one entry to the application event log (the sink a host set, or syslog).
void writeEventLog(const QString& entry);

} // namespace stowline::platform
