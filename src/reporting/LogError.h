#pragma once

#include "failures/ErrorInfo.h"

#include <QString>

namespace stowline {

// The prompt of the one message box every unexpected failure shows; the box shows its
// translation when a translator has one.
inline constexpr char ApplicationErrorPrompt[] =
    QT_TRANSLATE_NOOP("Stowline", "An application error has occured. Please check the error logs");

// The text with its control characters escaped, so that no text from the service or the host can
// break an event-log entry into lines or forge another: CR, LF and tab as \r, \n and \t, the
// other control characters as \xNN, and the line and paragraph separators as \u2028, \u2029.
QString withControlsEscaped(const QString& text);

// The six-line event-log entry for a failure, lines joined by CR LF, none after the last. The
// description and the source have their control characters escaped.
QString errorLogEntry(const ErrorInfo& error, const QString& procedureName);

// What the error box offers under "Show Details...": the failure's description as the event-log
// entry holds it (escaped; passwords were hidden where the description was made), cut to
// MaximumErrorDetails characters.
inline constexpr qsizetype MaximumErrorDetails = 2000;
QString errorDetails(const ErrorInfo& error);

// Tells the operator that something failed (modal box, with the details) and then writes the
// details to the application event log.
void LogError(const ErrorInfo& error, const QString& procedureName);

} // namespace stowline
