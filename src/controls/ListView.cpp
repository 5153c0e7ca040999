#include "controls/ListView.h"

#include "controls/TextFolding.h"
#include "failures/StowlineError.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

namespace stowline::controls {

ListView::ListView(QWidget* parent) : QTreeView(parent), m_model(this) {
    setModel(&m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsClickable(true);
    // Columns keep their places; a movable header also swallows the first click on a section.
    header()->setSectionsMovable(false);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(0, Qt::AscendingOrder);
    header()->setMinimumSectionSize(0);
    header()->setStretchLastSection(false);
    // The click handling follows the selection, whatever the operator did to change it (a
    // row, the empty space, Ctrl+click, the keys, type-ahead), so the page never acts on a row
    // other than the one shown. A click on the row already selected changes nothing but is a
    // click all the same.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_changesByCode == 0) {
            m_pressChangedSelection = true;
            runClick();
        }
    });
    connect(this, &QAbstractItemView::clicked, this, [this] {
        if (!m_pressChangedSelection) {
            runClick();
        }
    });
    connect(&m_model, &QAbstractItemModel::modelReset, this, &ListView::rowsCounted);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &ListView::rowsCounted);
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, &ListView::rowsCounted);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (onColumnClick) {
            onColumnClick(section + 1);
        }
        ensureSorted();
    });
}

void ListView::addColumn(const QString& caption, int widthTwips) {
    const int column = m_model.columnCount();
    m_columnTwips.append(widthTwips);
    m_model.addColumn(caption);
    if (widthTwips <= 0) {
        setColumnHidden(column, true);
    } else {
        setColumnWidth(column, qRound(widthTwips / 15.0));
    }
}

QString ListView::columnCaption(int column) const {
    return m_model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void ListView::clearItems() {
    const ChangeByCode byCode(*this);
    m_model.clear();
    m_unsorted = false;
}

void ListView::showRows(int rows) {
    const ChangeByCode byCode(*this);
    m_model.showSourceRows(rows);
    m_unsorted = true;
    ensureSorted();
}

ListItemRef ListView::add(const QString& text) {
    const int key = m_model.addRow(text);
    scheduleSort();
    return ListItemRef(this, m_model.generation(), key);
}

void ListView::removeAt(int index) {
    const ChangeByCode byCode(*this);
    ensureSorted();
    if (index < 1 || index > m_model.rows()) {
        raiseIndexOutOfBounds();
    }
    m_model.removeRowAt(index - 1);
}

int ListView::count() {
    return m_model.rows();
}

ListItemRef ListView::itemAt(int index) {
    ensureSorted();
    if (index < 1 || index > m_model.rows()) {
        raiseIndexOutOfBounds();
    }
    return refAt(index - 1);
}

QModelIndex ListView::rowIndex(int index) {
    ensureSorted();
    return m_model.index(index - 1, 0);
}

ListItemRef ListView::findItem(const std::function<bool(const ListItemRef&)>& matches) {
    ensureSorted();
    for (int index = 0; index < m_model.allRows(); ++index) {
        const ListItemRef item(this, m_model.generation(), m_model.keyInOrder(index));
        if (matches(item)) {
            return item;
        }
    }
    return {};
}

ListItemRef ListView::selectedItem() {
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return {};
    }
    return refAt(selected.first().row());
}

void ListView::select(const ListItemRef& item) {
    const ChangeByCode byCode(*this);
    const int key = keyOf(item);
    ensureSorted();
    if (m_model.positionOf(key) < 0) {
        clearFilter();
    }
    selectRow(m_model.positionOf(key));
}

void ListView::selectRow(int position) {
    const QModelIndex target = m_model.index(position, 0);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    scrollTo(target);
}

void ListView::scrollToSelection() {
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (!selected.isEmpty()) {
        scrollTo(selected.first());
    }
}

void ListView::setFilterText(const QString& text) {
    m_filterText = text;
    const QStringList words = searchWords(text);
    if (words != m_filterWords || (!words.isEmpty() && searchedColumns() != m_filterColumns)) {
        applyFilter(words);
    }
}

void ListView::clearFilter() {
    if (m_filterText.isEmpty()) {
        return;
    }
    m_filterText.clear();
    applyFilter({});
    emit filterCleared();
}

void ListView::applyFilter(const QStringList& words) {
    bool lostSelection = false;
    {
        const ChangeByCode byCode(*this);
        ensureSorted();
        const ListItemRef selected = selectedItem();
        m_filterWords = words;
        m_filterColumns = searchedColumns();
        m_model.setFilter(words, m_filterColumns);
        if (!selected.isNothing()) {
            const int position = m_model.positionOf(selected.m_key);
            lostSelection = position < 0;
            if (!lostSelection) {
                selectRow(position);
            }
        }
    }
    if (lostSelection) {
        runClick();
    }
}

std::vector<int> ListView::searchedColumns() const {
    std::vector<int> columns;
    for (const int column : shownColumns()) {
        if (columnWidth(column) > 0) {
            columns.push_back(column);
        }
    }
    return columns;
}

QString ListView::text(const ListItemRef& item) const {
    return m_model.text(keyOf(item), 0);
}

void ListView::setText(const ListItemRef& item, const QString& text) {
    m_model.setText(keyOf(item), 0, text);
    scheduleSort();
}

QString ListView::subItem(const ListItemRef& item, int subItemIndex) const {
    const int key = keyOf(item);
    if (subItemIndex < 1 || subItemIndex >= m_model.columnCount()) {
        raiseInvalidPropertyValue();
    }
    return m_model.text(key, subItemIndex);
}

void ListView::setSubItem(const ListItemRef& item, int subItemIndex, const QString& text) {
    const int key = keyOf(item);
    if (subItemIndex < 1 || subItemIndex >= m_model.columnCount()) {
        raiseInvalidPropertyValue();
    }
    m_model.setText(key, subItemIndex, text);
    scheduleSort();
}

QVariant ListView::tag(const ListItemRef& item) const {
    return m_model.tag(keyOf(item));
}

int ListView::indexOf(const ListItemRef& item) {
    const int key = keyOf(item);
    ensureSorted();
    const int position = m_model.positionOf(key);
    if (position < 0) {
        // Hidden by the filter: nobody acts on a row the operator cannot see.
        raiseItemRemoved();
    }
    return position + 1;
}

void ListView::setSortKey(int key) {
    m_sortKey = key;
    scheduleSort();
}

void ListView::setSortOrder(int order) {
    m_sortOrder = order;
    scheduleSort();
}

void ListView::setHideSelection(bool hide) {
    m_hideSelection = hide;
    applySelectionPalette();
}

void ListView::keyboardSearch(const QString& search) {
    // The view's own search starts below the current row and looks in the current column.
    const bool extends = m_typedTimer.isValid() && !search.isEmpty() &&
                         !m_typedTimer.hasExpired(QApplication::keyboardInputInterval());
    m_typed = extends ? m_typed + search : search;
    m_typedTimer.start();
    // Space alone selects the current row (the view did so before asking here); within a text
    // typed it is part of it.
    if (m_typed.trimmed().isEmpty()) {
        m_typed.clear();
        return;
    }
    ensureSorted();
    const int found = m_model.firstStartingWith(m_sortKey, folded(m_typed), searchedColumns());
    if (found >= 0) {
        selectRow(found);
        return;
    }
    // A row that matched only the first keys typed is not the row typed: nothing stays selected,
    // nor marked as the current row.
    {
        const ChangeByCode byCode(*this);
        selectionModel()->clear();
    }
    runClick();
    QApplication::beep();
}

void ListView::runClick() {
    if (onClick) {
        onClick();
    }
}

void ListView::mousePressEvent(QMouseEvent* event) {
    // A right click opens the list's commands and leaves the selection as it is.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    m_pressChangedSelection = false;
    QTreeView::mousePressEvent(event);
}

bool ListView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QTreeView::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QRect cellRect = visualRect(index);
    if (!index.isValid() || sizeHintForIndex(index).width() <= cellRect.width()) {
        QToolTip::hideText();
        return true;
    }
    // Plain text, however it looks, on one line per line of the cell; a text from the service may
    // be of any length, so the tooltip shows its beginning only.
    constexpr qsizetype MaximumShown = 1000;
    QString text = index.data().toString();
    if (text.size() > MaximumShown) {
        text = text.left(MaximumShown) + QChar(0x2026);
    }
    QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap),
                       viewport(), cellRect);
    return true;
}

std::vector<int> ListView::shownColumns() const {
    std::vector<int> columns;
    for (int column = 0; column < m_model.columnCount(); ++column) {
        if (!isColumnHidden(column)) {
            columns.push_back(column);
        }
    }
    return columns;
}

QString ListView::cell(int index, int column) {
    ensureSorted();
    return m_model.text(m_model.keyAt(index - 1), column);
}

void ListView::addCommand(const QString& text, const QKeySequence& shortcut,
                          std::function<void()> handler) {
    auto* action = new QAction(text, this);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    addAction(action);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ListView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    applySelectionPalette();
}

void ListView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    applySelectionPalette();
}

void ListView::applySelectionPalette() {
    // A hidden selection is drawn like an ordinary row while the list lacks the focus, also
    // while it cannot be used at all (its frame disabled), which draws with the disabled colours.
    QPalette p = palette();
    const QPalette standard = QApplication::palette(this);
    const bool hidden = m_hideSelection && !hasFocus();
    for (const QPalette::ColorGroup group : {QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Highlight,
                   standard.color(group, hidden ? QPalette::Base : QPalette::Highlight));
        p.setColor(group, QPalette::HighlightedText,
                   standard.color(group, hidden ? QPalette::Text : QPalette::HighlightedText));
    }
    setPalette(p);
}

int ListView::keyOf(const ListItemRef& item) const {
    if (item.isNothing()) {
        raiseObjectNotSet();
    }
    if (item.m_view.data() != this || item.m_generation != m_model.generation() ||
        !m_model.holds(item.m_key)) {
        raiseItemRemoved();
    }
    return item.m_key;
}

ListItemRef ListView::refAt(int position) {
    return ListItemRef(this, m_model.generation(), m_model.keyAt(position));
}

void ListView::scheduleSort() {
    m_unsorted = true;
    if (m_sortScheduled) {
        return;
    }
    m_sortScheduled = true;
    QTimer::singleShot(0, this, [this] { ensureSorted(); });
}

void ListView::ensureSorted() {
    m_sortScheduled = false;
    if (!m_unsorted) {
        return;
    }
    const ChangeByCode byCode(*this);
    m_unsorted = false;
    const Qt::SortOrder order = m_sortOrder == 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
    header()->setSortIndicator(m_sortKey, order);
    if (m_sortKey >= 0 && m_sortKey < m_model.columnCount()) {
        m_model.sortRows(m_sortKey, order);
        scrollToSelection();
    }
}

} // namespace stowline::controls
