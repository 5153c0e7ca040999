#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace stowline::controls {

// The look of an editable field (the system window background).
inline QColor windowBackgroundColour() {
    return QGuiApplication::palette().color(QPalette::Base);
}

// The look of a read-only field (the system button face).
inline QColor buttonFaceColour() {
    return QGuiApplication::palette().color(QPalette::Button);
}

// Sets the background a field is drawn with.
template <typename Widget> void setBackColour(Widget& widget, const QColor& colour) {
    QPalette p = widget.palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Button, colour);
    widget.setPalette(p);
}

} // namespace stowline::controls
