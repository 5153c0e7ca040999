#include "controls/MessageBox.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

namespace stowline::controls {
namespace {

MessageBoxPresenter& presenter() {
    static MessageBoxPresenter instance;
    return instance;
}

int showQMessageBox(const MessageBoxRequest& request) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        // Without widgets nobody can answer; take the safe answer.
        return request.style == StyleYesNo ? AnswerNo : AnswerOk;
    }
    const bool yesNo = request.style == StyleYesNo;
    QMessageBox box(QMessageBox::Information,
                    request.title.isEmpty() ? QGuiApplication::applicationDisplayName()
                                            : request.title,
                    request.prompt, yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    if (!request.details.isEmpty()) {
        box.setDetailedText(request.details);
    }
    const int pressed = box.exec();
    if (!yesNo) {
        return AnswerOk;
    }
    return pressed == QMessageBox::Yes ? AnswerYes : AnswerNo;
}

} // namespace

int showMessageBox(const QString& prompt, int style, const QString& title) {
    const MessageBoxRequest request{prompt, style, title};
    if (presenter()) {
        return presenter()(request);
    }
    return showQMessageBox(request);
}

void setMessageBoxPresenter(MessageBoxPresenter newPresenter) {
    presenter() = std::move(newPresenter);
}

int showMessageBox(const MessageBoxRequest& request) {
    if (presenter()) {
        return presenter()(request);
    }
    return showQMessageBox(request);
}

} // namespace stowline::controls
