#include "controls/InputDrop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace stowline::controls {
namespace {

bool onApplicationThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && application->thread() == QThread::currentThread();
}

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::Gesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

InputDrop::InputDrop() {
    if (onApplicationThread()) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

InputDrop::~InputDrop() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

bool InputDrop::spared(const QObject* watched) const {
    if (m_spared == nullptr || !watched->isWidgetType()) {
        return false;
    }
    const auto* widget = static_cast<const QWidget*>(watched);
    return widget == m_spared || m_spared->isAncestorOf(widget);
}

bool InputDrop::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Close) {
        // The window system's close button; a close the host asks for in code goes on.
        if (event->spontaneous() && watched->isWidgetType()) {
            event->ignore();
            return true;
        }
        return false;
    }
    if (!isInput(type) || spared(watched)) {
        return false;
    }
    // A window passes its input on to its widgets through the application, where it is
    // dropped; a shortcut goes to an action or a shortcut object, never to a widget.
    if (!watched->isWidgetType() && type != QEvent::Shortcut) {
        return false;
    }
    if (type == QEvent::ShortcutOverride) {
        event->accept(); // taken as a key, which is dropped, so that no shortcut fires for it
    }
    return true;
}

} // namespace stowline::controls
