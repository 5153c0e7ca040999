#pragma once

#include "controls/ListModel.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTreeView>
#include <QVariant>
#include <functional>
#include <vector>

class QKeySequence;

namespace stowline::controls {

class ListView;

// A reference to one list item that never dangles: once the item has left its list (removed,
// or the list cleared or rebuilt), using the reference fails like using a removed item.
class ListItemRef {
public:
    ListItemRef() = default;
    // True for a reference that was never set ("Nothing"), not for a removed item.
    bool isNothing() const { return m_view.isNull() && m_generation == 0; }
    bool operator==(const ListItemRef&) const = default;

private:
    friend class ListView;
    ListItemRef(ListView* view, quint64 generation, int key)
        : m_view(view), m_generation(generation), m_key(key) {}
    QPointer<ListView> m_view;
    quint64 m_generation = 0;
    int m_key = 0;
};

// A report-style list over rows kept elsewhere (ListRows): rows under column headers, one
// selected at most. The list keeps its rows sorted by SortKey and SortOrder, as a permutation of
// the rows, never as copies. A filter shows only the rows holding every word typed; positions
// are 1-based and count the rows shown, in the displayed order, as the operator counts them. A
// hidden row is never the selected one: hiding it leaves nothing selected, and selecting it
// clears the filter.
class ListView : public QTreeView {
    Q_OBJECT

public:
    explicit ListView(QWidget* parent = nullptr);

    // Where the list's rows are read; it must outlive the list's use of it.
    void setRows(const ListRows* rows) { m_model.setSource(rows); }
    // Adds a column; the width is in twips and zero hides the column.
    void addColumn(const QString& caption, int widthTwips);
    int columnWidthTwips(int column) const { return m_columnTwips.value(column); }
    int widthTwips() const { return width() * 15; }
    int columnCount() const { return m_model.columnCount(); }
    QString columnCaption(int column) const;

    // Empties the list, then, after a read, shows its first `rows` rows (sorted, filtered). The
    // filter stays.
    void clearItems();
    void showRows(int rows);
    // Adds an item with only its text (a page's new record until the list is read again).
    ListItemRef add(const QString& text);
    void removeAt(int index);
    // The rows shown, and every row the list holds, shown or not.
    int count();
    int totalCount() const { return m_model.allRows(); }
    // The item at a 1-based position; fails when there is none.
    ListItemRef itemAt(int index);
    // The view's index of the row at a 1-based position (its first column).
    QModelIndex rowIndex(int index);
    // The first item, in the list's order, that matches, whether the filter shows it or not;
    // Nothing when none does.
    ListItemRef findItem(const std::function<bool(const ListItemRef&)>& matches);

    ListItemRef selectedItem();
    // Makes the item the selected one (and the current one) and scrolls it into view. An item
    // the filter hides is shown first: the filter is cleared.
    void select(const ListItemRef& item);

    // Shows only the rows in which every word of the text appears in a shown column (one not of
    // width 0), case and accents ignored. A selected row the filter hides is no longer selected,
    // and the click handling runs.
    void setFilterText(const QString& text);
    void clearFilter();

    QString text(const ListItemRef& item) const;
    void setText(const ListItemRef& item, const QString& text);
    // Sub-items count from 1 (the second column).
    QString subItem(const ListItemRef& item, int subItemIndex) const;
    void setSubItem(const ListItemRef& item, int subItemIndex, const QString& text);
    QVariant tag(const ListItemRef& item) const;
    // The 1-based position of an item shown; an item the filter hides has none and fails.
    int indexOf(const ListItemRef& item);

    int sortKey() const { return m_sortKey; }
    void setSortKey(int key);
    int sortOrder() const { return m_sortOrder; }
    void setSortOrder(int order);

    bool hideSelection() const { return m_hideSelection; }
    void setHideSelection(bool hide);

    // The columns shown (not hidden), and one cell's text by 1-based position, for copying
    // rows out of the list.
    std::vector<int> shownColumns() const;
    QString cell(int index, int column);
    // Adds a command to the list's context menu, with a shortcut that works while the list has
    // the focus.
    void addCommand(const QString& text, const QKeySequence& shortcut,
                    std::function<void()> handler);

    // Handlers the owning page installs: a click on the list, a click on a column header
    // (given the 1-based column index).
    std::function<void()> onClick;
    std::function<void(int column)> onColumnClick;

    // Typing selects the first row shown, from the top, whose text in the sort column begins
    // with the text typed, case and accents ignored; keys typed in quick succession extend that
    // text. When no row does, nothing stays selected and the list beeps.
    void keyboardSearch(const QString& search) override;

signals:
    // The rows shown or the rows held may have changed in number.
    void rowsCounted();
    // Selecting a hidden row cleared the filter.
    void filterCleared();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // A cell whose text is cut shows its whole text as a tooltip.
    bool viewportEvent(QEvent* event) override;
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

    // The key of a referenced item still in the list, or a failure.
    int keyOf(const ListItemRef& item) const;
    ListItemRef refAt(int position);
    // The columns a filter searches: those shown with a width.
    std::vector<int> searchedColumns() const;
    void applyFilter(const QStringList& words);
    // Selects the row shown at a position, and scrolls it into view.
    void selectRow(int position);
    void scrollToSelection();
    void runClick();
    void ensureSorted();
    void scheduleSort();
    void applySelectionPalette();

    ListModel m_model;
    QList<int> m_columnTwips;
    bool m_unsorted = false;
    bool m_sortScheduled = false;
    int m_sortKey = 0;
    int m_sortOrder = 0;
    bool m_hideSelection = false;
    int m_changesByCode = 0;
    bool m_pressChangedSelection = false;
    QString m_typed;
    QElapsedTimer m_typedTimer;
    QString m_filterText;
    QStringList m_filterWords;
    std::vector<int> m_filterColumns;
};

} // namespace stowline::controls
