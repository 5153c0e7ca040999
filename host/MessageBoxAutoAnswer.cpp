#include "MessageBoxAutoAnswer.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace stowline::host {

MessageBoxAutoAnswer::MessageBoxAutoAnswer(Reporter report) : m_report(std::move(report)) {
    qApp->installEventFilter(this);
}

MessageBoxAutoAnswer::~MessageBoxAutoAnswer() {
    qApp->removeEventFilter(this);
}

bool MessageBoxAutoAnswer::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box == nullptr || event->type() != QEvent::Show) {
        return false;
    }
    QAbstractButton* answer = box->button(QMessageBox::No);
    if (answer == nullptr) {
        answer = box->button(QMessageBox::Ok);
    }
    ++m_answered;
    if (m_report) {
        m_report(
            QStringLiteral("message box \"%1\" answered %2: %3")
                .arg(box->windowTitle(),
                     answer != nullptr ? answer->text().remove(u'&') : QStringLiteral("(closed)"),
                     box->text()));
    }
    // Answered once its own event loop runs, as a click would be.
    QTimer::singleShot(0, box, [box = QPointer<QMessageBox>(box), answer] {
        if (box == nullptr) {
            return;
        }
        if (answer != nullptr) {
            answer->click();
        } else {
            box->reject();
        }
    });
    return false;
}

} // namespace stowline::host
