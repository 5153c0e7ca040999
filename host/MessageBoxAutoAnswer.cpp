#include "MessageBoxAutoAnswer.h"

#include <QGuiApplication>

namespace stowline::host {

int MessageBoxAutoAnswer::answerFor(int style) {
    return style == platform::StyleYesNo ? platform::AnswerNo : platform::AnswerOk;
}

MessageBoxAutoAnswer::MessageBoxAutoAnswer(Reporter report) {
    platform::setMessageBoxPresenter([report = std::move(report), answered = m_answered](
                                         const platform::MessageBoxRequest& request) {
        const int answer = answerFor(request.style);
        const QString title =
            request.title.isEmpty() ? QGuiApplication::applicationDisplayName() : request.title;
        ++*answered;
        if (report) {
            report(
                QStringLiteral("message box \"%1\" answered %2: %3")
                    .arg(title,
                         answer == platform::AnswerNo ? QStringLiteral("No") : QStringLiteral("OK"),
                         request.prompt));
        }
        return answer;
    });
}

MessageBoxAutoAnswer::~MessageBoxAutoAnswer() {
    platform::setMessageBoxPresenter({});
}

} // namespace stowline::host
