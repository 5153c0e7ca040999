#pragma once

#include <QString>

namespace stowline::system {

// Appends one entry to the application event log (the sink a host set, or syslog).
void writeEventLog(const QString& entry);

} // namespace stowline::system
