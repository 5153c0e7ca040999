#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QTreeWidget>
#include <QVariant>
#include <functional>

namespace stowline::platform {

class ListView;

// A reference to one list item that never dangles: once the item has been removed from its
// list (by Remove, Clear or a rebuild), using the reference fails like using a removed item.
class ListItemRef {
public:
    ListItemRef() = default;
    // True for a reference that was never set ("Nothing"), not for a removed item.
    bool isNothing() const { return m_id == 0; }
    bool operator==(const ListItemRef&) const = default;

private:
    friend class ListView;
    ListItemRef(ListView* view, quint64 id) : m_view(view), m_id(id) {}
    QPointer<ListView> m_view;
    quint64 m_id = 0;
};

// A report-style list: rows under column headers. Positions are 1-based and follow the
// displayed order; the list keeps its rows sorted by SortKey and SortOrder.
class ListView : public QTreeWidget {
    Q_OBJECT

public:
    explicit ListView(QWidget* parent = nullptr);

    // Adds a column; the width is in twips and zero hides the column.
    void addColumn(const QString& caption, int widthTwips);
    int columnWidthTwips(int column) const { return m_columnTwips.value(column); }
    int widthTwips() const { return width() * 15; }

    ListItemRef add(const QString& text);
    // Adds a whole row at once (text, then the sub-items) with its tag; for bulk fills.
    void appendRow(const QStringList& columns, const QVariant& tag);
    void clearItems();
    void removeAt(int index);
    int count();
    // The item at a 1-based position; fails when there is none.
    ListItemRef itemAt(int index);

    ListItemRef selectedItem();
    // Makes the item the selected one (and the current one).
    void select(const ListItemRef& item);

    QString text(const ListItemRef& item) const;
    void setText(const ListItemRef& item, const QString& text);
    // Sub-items count from 1 (the second column).
    QString subItem(const ListItemRef& item, int subItemIndex) const;
    void setSubItem(const ListItemRef& item, int subItemIndex, const QString& text);
    QVariant tag(const ListItemRef& item) const;
    void setTag(const ListItemRef& item, const QVariant& tag);
    int indexOf(const ListItemRef& item);

    int sortKey() const { return m_sortKey; }
    void setSortKey(int key);
    int sortOrder() const { return m_sortOrder; }
    void setSortOrder(int order);

    bool hideSelection() const { return m_hideSelection; }
    void setHideSelection(bool hide);

    // Adding many rows: items are inserted in one go and sorted once when the batch ends.
    void beginBatch();
    void endBatch();

    // Handlers the owning page installs: a click on the list, a click on a column header
    // (given the 1-based column index).
    std::function<void()> onClick;
    std::function<void(int column)> onColumnClick;

    QTreeWidgetItem* resolve(const ListItemRef& item) const;

    // Typing jumps to the first row, from the top, whose first column starts with the text
    // typed (ignoring case); keys typed in quick succession extend that text.
    void keyboardSearch(const QString& search) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Selection changes made by the component itself (selecting, clearing, removing, sorting)
    // are not the operator's: the pages run their click handling themselves where they need it.
    struct ChangeByCode {
        explicit ChangeByCode(ListView& view) : m_view(view) { ++m_view.m_changesByCode; }
        ~ChangeByCode() { --m_view.m_changesByCode; }
        ChangeByCode(const ChangeByCode&) = delete;
        ChangeByCode& operator=(const ChangeByCode&) = delete;
        ListView& m_view;
    };

    void runClick();
    QTreeWidgetItem* insertRow(const QStringList& columns, const QVariant& tag);
    void ensureSorted();
    void scheduleSort();
    void forgetItem(QTreeWidgetItem* item);
    ListItemRef refFor(QTreeWidgetItem* item);
    void applySelectionPalette();

    QList<int> m_columnTwips;
    QHash<quint64, QTreeWidgetItem*> m_referenced;
    quint64 m_nextId = 1;
    QList<QTreeWidgetItem*> m_pending;
    int m_batchDepth = 0;
    bool m_unsorted = false;
    bool m_sortScheduled = false;
    int m_sortKey = 0;
    int m_sortOrder = 0;
    bool m_hideSelection = false;
    int m_changesByCode = 0;
    bool m_pressChangedSelection = false;
    QString m_typed;
    QElapsedTimer m_typedTimer;
};

} // namespace stowline::platform
