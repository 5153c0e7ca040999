#include "reporting/LogError.h"

#include "controls/MessageBox.h"
#include "controls/UiText.h"
#include "system/EventLogWriter.h"

namespace stowline {
namespace {

QString hexDigits(QChar c, int width) {
    return QString::number(c.unicode(), 16).toUpper().rightJustified(width, QLatin1Char('0'));
}

} // namespace

QString withControlsEscaped(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\r')) {
            escaped += QLatin1String("\\r");
        } else if (c == QLatin1Char('\n')) {
            escaped += QLatin1String("\\n");
        } else if (c == QLatin1Char('\t')) {
            escaped += QLatin1String("\\t");
        } else if (c.category() == QChar::Other_Control) {
            escaped += QLatin1String("\\x") + hexDigits(c, 2);
        } else if (c.category() == QChar::Separator_Line ||
                   c.category() == QChar::Separator_Paragraph) {
            escaped += QLatin1String("\\u") + hexDigits(c, 4);
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QString errorLogEntry(const ErrorInfo& error, const QString& procedureName) {
    const QString crlf = QStringLiteral("\r\n");
    return crlf + crlf + QStringLiteral("Error Number - ") + QString::number(error.Number) + crlf +
           QStringLiteral("Error Description - ") + withControlsEscaped(error.Description) + crlf +
           QStringLiteral("Error Source - ") + withControlsEscaped(error.Source) +
           QLatin1Char(' ') + procedureName + crlf +
           QStringLiteral("Project Associated - prjStowline");
}

QString errorDetails(const ErrorInfo& error) {
    QString details = withControlsEscaped(error.Description);
    if (details.size() > MaximumErrorDetails) {
        qsizetype kept = MaximumErrorDetails - 1;
        if (details.at(kept - 1).isHighSurrogate()) {
            --kept;
        }
        details = details.left(kept) + QChar(0x2026);
    }
    return details;
}

void LogError(const ErrorInfo& error, const QString& procedureName) {
    controls::showMessageBox(controls::MessageBoxRequest{
        controls::UiText::tr(ApplicationErrorPrompt), controls::StyleOk, {}, errorDetails(error)});
    system::writeEventLog(errorLogEntry(error, procedureName));
}

} // namespace stowline
