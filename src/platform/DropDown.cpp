#include "platform/DropDown.h"

#include "failures/StowlineError.h"
#include "platform/SystemColours.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace stowline::platform {

DropDown::DropDown(bool editable, QWidget* parent) : QComboBox(parent) {
    setEditable(editable);
    if (editable) {
        setInsertPolicy(QComboBox::NoInsert);
    }
    m_backColour = windowBackgroundColour();
    connect(this, &QComboBox::activated, this, [this] {
        if (onClick) {
            onClick();
        }
    });
}

int DropDown::addEntry(const QString& text) {
    const QSignalBlocker blocker(this);
    const int before = listIndex();
    const QString shown = currentText();
    addItem(text, QVariant(qint32{0}));
    m_newIndex = count() - 1;
    // Qt selects the first entry added on its own; keep the selection as it was.
    if (before < 0) {
        setCurrentIndex(-1);
        if (isEditable()) {
            setEditText(shown);
        }
    }
    return m_newIndex;
}

qint32 DropDown::itemData(int index) const {
    if (index < 0 || index >= count()) {
        raiseInvalidPropertyValue();
    }
    return QComboBox::itemData(index).toInt();
}

void DropDown::setItemData(int index, qint32 value) {
    if (index < 0 || index >= count()) {
        raiseInvalidPropertyValue();
    }
    QComboBox::setItemData(index, QVariant(value));
}

QString DropDown::entryText(int index) const {
    if (index < 0 || index >= count()) {
        raiseInvalidPropertyValue();
    }
    return itemText(index);
}

void DropDown::clearEntries() {
    const QSignalBlocker blocker(this);
    clear();
    m_newIndex = -1;
    if (isEditable()) {
        setEditText(QString());
    }
}

int DropDown::listIndex() const {
    const int index = currentIndex();
    if (index < 0) {
        return -1;
    }
    if (isEditable() && currentText() != itemText(index)) {
        return -1;
    }
    return index;
}

void DropDown::selectEntryWithText(const QString& text) {
    for (int i = 0; i < count(); ++i) {
        if (entryText(i) == text) {
            setListIndex(i);
            return;
        }
    }
}

void DropDown::setListIndex(int index) {
    if (index < -1 || index >= count()) {
        raiseInvalidPropertyValue();
    }
    const bool changed = index != listIndex();
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(index);
        if (index < 0 && isEditable()) {
            setEditText(QString());
        }
    }
    if (changed && index >= 0 && onClick) {
        onClick();
    }
}

void DropDown::clearShownText() {
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    if (isEditable()) {
        setEditText(QString());
    }
}

void DropDown::setLocked(bool locked) {
    m_locked = locked;
    if (lineEdit() != nullptr) {
        lineEdit()->setReadOnly(locked);
    }
}

void DropDown::setBackColour(const QColor& colour) {
    m_backColour = colour;
    platform::setBackColour(*this, colour);
}

void DropDown::mousePressEvent(QMouseEvent* event) {
    if (!m_locked) {
        QComboBox::mousePressEvent(event);
    }
}

void DropDown::keyPressEvent(QKeyEvent* event) {
    // A locked drop-down still lets the focus move on.
    if (!m_locked || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        QComboBox::keyPressEvent(event);
    }
}

void DropDown::wheelEvent(QWheelEvent* event) {
    if (!m_locked) {
        QComboBox::wheelEvent(event);
    }
}

void DropDown::showPopup() {
    if (!m_locked) {
        QComboBox::showPopup();
    }
}

} // namespace stowline::platform
