#include "controls/DropDown.h"

#include "controls/SystemColours.h"
#include "controls/TextBox.h"
#include "failures/StowlineError.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringListModel>

namespace stowline::controls {

DropDown::DropDown(bool editable, QWidget* parent)
    : QComboBox(parent), m_entries(new QStringListModel(this)) {
    // Entries are plain texts: a pick list of thousands is filled in one step, without an item
    // object per entry. Their item data is kept beside them.
    setModel(m_entries);
    if (editable) {
        // The text part holds one line, as every text box does.
        setLineEdit(new TextBox(this));
        setInsertPolicy(QComboBox::NoInsert);
    }
    connect(this, &QComboBox::activated, this, [this] {
        if (onClick) {
            onClick();
        }
    });
}

int DropDown::addEntry(const QString& text) {
    addEntries({text}, {0});
    return m_newIndex;
}

void DropDown::addEntries(const QStringList& texts, const std::vector<qint32>& itemData) {
    const QSignalBlocker blocker(this);
    const int before = listIndex();
    const QString shown = currentText();
    // One reset of the model for the lot, whatever their number.
    m_entries->setStringList(m_entries->stringList() + texts);
    m_itemData.insert(m_itemData.end(), itemData.begin(), itemData.end());
    m_newIndex = count() - 1;
    // Qt selects the first entry on its own; keep the selection as it was.
    setCurrentIndex(before);
    if (before < 0 && isEditable()) {
        setEditText(shown);
    }
}

qint32 DropDown::itemData(int index) const {
    if (index < 0 || index >= count()) {
        raiseInvalidPropertyValue();
    }
    return m_itemData[static_cast<std::size_t>(index)];
}

void DropDown::setItemData(int index, qint32 value) {
    if (index < 0 || index >= count()) {
        raiseInvalidPropertyValue();
    }
    m_itemData[static_cast<std::size_t>(index)] = value;
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
    m_itemData.clear();
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
    controls::setBackColour(*this, colour);
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

} // namespace stowline::controls
