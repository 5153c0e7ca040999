#include "controls/MessageBox.h"

#include "controls/ActionScope.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>

namespace stowline::controls {
namespace {

MessageBoxPresenter& presenter() {
    static MessageBoxPresenter instance;
    return instance;
}

int safeAnswer(const MessageBoxRequest& request) {
    return request.style == StyleYesNo ? AnswerNo : AnswerOk;
}

int showQMessageBox(const MessageBoxRequest& request) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        // Without widgets nobody can answer; take the safe answer.
        return safeAnswer(request);
    }
    const bool yesNo = request.style == StyleYesNo;
    // Made on the heap: the host may delete the window it stands over while it is up.
    const QPointer<QMessageBox> box = new QMessageBox(
        QMessageBox::Information,
        request.title.isEmpty() ? QGuiApplication::applicationDisplayName() : request.title,
        request.prompt, yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
        QApplication::activeWindow());
    box->setWindowModality(Qt::ApplicationModal);
    if (!request.details.isEmpty()) {
        box->setDetailedText(request.details);
    }
    // Closed when the component whose action shows it is deleted.
    const LoopExit exit([box] {
        if (box != nullptr) {
            box->done(QMessageBox::Cancel);
        }
    });
    const int pressed = box->exec();
    delete box.data();
    if (!yesNo || actionAbandoned()) {
        return safeAnswer(request);
    }
    return pressed == QMessageBox::Yes ? AnswerYes : AnswerNo;
}

} // namespace

int showMessageBox(const MessageBoxRequest& request) {
    if (actionAbandoned()) {
        return safeAnswer(request); // its component is gone: nobody to ask
    }
    if (presenter()) {
        return presenter()(request);
    }
    return showQMessageBox(request);
}

int showMessageBox(const QString& prompt, int style, const QString& title) {
    return showMessageBox(MessageBoxRequest{prompt, style, title});
}

void setMessageBoxPresenter(MessageBoxPresenter newPresenter) {
    presenter() = std::move(newPresenter);
}

} // namespace stowline::controls
