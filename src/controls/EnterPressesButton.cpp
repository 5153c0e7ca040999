#include "controls/EnterPressesButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace stowline::controls {
namespace {

class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
        auto* owner = qobject_cast<QWidget*>(watched);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            modifiers != Qt::NoModifier || key->isAutoRepeat() || button == nullptr ||
            owner == nullptr || !owner->isAncestorOf(button) || !button->isEnabled()) {
            return QObject::eventFilter(watched, event);
        }
        button->click();
        return true;
    }
};

} // namespace

void pressFocusedButtonOnEnter(QWidget& owner) {
    owner.installEventFilter(new EnterPressesButton(&owner));
}

} // namespace stowline::controls
