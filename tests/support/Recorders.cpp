#include "support/Recorders.h"

#include "reporting/LogError.h"

#include <stowline/EventLog.h>

namespace stowline::test {

MessageBoxRecorder::MessageBoxRecorder() {
    controls::setMessageBoxPresenter([this](const controls::MessageBoxRequest& request) {
        m_shown.push_back(request);
        m_snapshots << (m_snapshot ? m_snapshot() : QString());
        if (request.style != controls::StyleYesNo || m_answers.empty()) {
            return request.style == controls::StyleYesNo ? controls::AnswerYes : controls::AnswerOk;
        }
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    controls::setMessageBoxPresenter({});
}

QStringList MessageBoxRecorder::prompts() const {
    QStringList result;
    for (const auto& request : m_shown) {
        result << request.prompt;
    }
    return result;
}

int MessageBoxRecorder::errorBoxes() const {
    return static_cast<int>(prompts().count(QString::fromLatin1(ApplicationErrorPrompt)));
}

EventLogRecorder::EventLogRecorder() {
    setEventLogSink([this](const QString& entry) { m_entries << entry; });
}

EventLogRecorder::~EventLogRecorder() {
    setEventLogSink({});
}

QStringList EventLogRecorder::procedures() const {
    // Line 5 is "Error Source - <source> <procedure>": the procedure is the last word.
    QStringList result;
    for (const QString& entry : m_entries) {
        const QStringList lines = entry.split(QStringLiteral("\r\n"));
        const QString source = lines.value(4);
        result << source.mid(source.lastIndexOf(QLatin1Char(' ')) + 1);
    }
    return result;
}

} // namespace stowline::test
