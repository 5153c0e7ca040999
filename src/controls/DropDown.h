#pragma once

#include <QColor>
#include <QComboBox>
#include <functional>
#include <vector>

class QStringListModel;

namespace stowline::controls {

// A drop-down whose entries carry a 32-bit integer as item data. Locked means the operator
// cannot change the selection (the drop-down still looks enabled); ListIndex is -1 when no
// entry is selected, including when an editable drop-down shows a text that is no entry.
class DropDown : public QComboBox {
    Q_OBJECT

public:
    explicit DropDown(bool editable, QWidget* parent = nullptr);

    // Appends an entry and returns its index (NewIndex). Adding never selects anything.
    int addEntry(const QString& text);
    // Appends entries with their item data at once (NewIndex is the last).
    void addEntries(const QStringList& texts, const std::vector<qint32>& itemData);
    int newIndex() const { return m_newIndex; }
    qint32 itemData(int index) const;
    void setItemData(int index, qint32 value);
    QString entryText(int index) const;
    int listCount() const { return count(); }
    void clearEntries();

    int listIndex() const;
    // Selecting another entry than the one shown runs the click handling, as the operator's
    // choice does.
    void setListIndex(int index);
    // Chooses the first entry showing exactly this text, as setListIndex does; without such an
    // entry the choice stays as it is.
    void selectEntryWithText(const QString& text);

    // The text shown; setting "" leaves no entry selected.
    QString shownText() const { return currentText(); }
    void clearShownText();

    bool locked() const { return m_locked; }
    void setLocked(bool locked);
    // The background the field is drawn with.
    QColor backColour() const { return palette().color(QPalette::Base); }
    void setBackColour(const QColor& colour);

    // Runs when the operator picks an entry or code selects another one.
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void showPopup() override;

private:
    QStringListModel* m_entries;
    std::vector<qint32> m_itemData;
    bool m_locked = false;
    int m_newIndex = -1;
};

} // namespace stowline::controls
