#include "reporting/LogError.h"

#include "platform/EventLogWriter.h"
#include "platform/MessageBox.h"
#include "platform/UiText.h"

namespace stowline {

QString errorLogEntry(const ErrorInfo& error, const QString& procedureName) {
    const QString crlf = QStringLiteral("\r\n");
    return crlf + crlf + QStringLiteral("Error Number - ") + QString::number(error.Number) + crlf +
           QStringLiteral("Error Description - ") + error.Description + crlf +
           QStringLiteral("Error Source - ") + error.Source + QLatin1Char(' ') + procedureName +
           crlf + QStringLiteral("Project Associated - prjStowline");
}

void LogError(const ErrorInfo& error, const QString& procedureName) {
    platform::showMessageBox(platform::UiText::tr(ApplicationErrorPrompt), platform::StyleOk);
    platform::writeEventLog(errorLogEntry(error, procedureName));
}

} // namespace stowline
