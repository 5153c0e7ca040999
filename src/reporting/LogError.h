#pragma once

#include "failures/ErrorInfo.h"

#include <QString>

namespace stowline {

// The prompt of the one message box every unexpected failure shows; the box shows its
// translation when a translator has one.
inline constexpr char ApplicationErrorPrompt[] =
    QT_TRANSLATE_NOOP("Stowline", "An application error has occured. Please check the error logs");

// The six-line event-log entry for a failure, lines joined by CR LF, none after the last.
QString errorLogEntry(const ErrorInfo& error, const QString& procedureName);

// Tells the operator that something failed (modal box) and then writes the details to the
// application event log.
void LogError(const ErrorInfo& error, const QString& procedureName);

} // namespace stowline
