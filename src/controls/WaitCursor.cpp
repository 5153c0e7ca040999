#include "controls/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace stowline::controls {

WaitCursor::WaitCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_shown = true;
    }
}

WaitCursor::~WaitCursor() {
    if (m_shown) {
        QGuiApplication::restoreOverrideCursor();
    }
}

} // namespace stowline::controls
