#include "platform/ListView.h"

#include "failures/StowlineError.h"
#include "platform/ListRow.h"

#include <QApplication>
#include <QHeaderView>
#include <QTimer>

namespace stowline::platform {
namespace {

constexpr int TagRole = ListRow::TagRole;
constexpr int IdRole = ListRow::IdRole;

} // namespace

ListView::ListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setColumnCount(0);
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
    connect(this, &QTreeWidget::itemClicked, this, [this] {
        if (!m_pressChangedSelection) {
            runClick();
        }
    });
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (onColumnClick) {
            onColumnClick(section + 1);
        }
        ensureSorted();
    });
}

void ListView::addColumn(const QString& caption, int widthTwips) {
    const int column = m_columnTwips.size();
    m_columnTwips.append(widthTwips);
    setColumnCount(column + 1);
    headerItem()->setText(column, caption);
    if (widthTwips <= 0) {
        setColumnHidden(column, true);
    } else {
        setColumnWidth(column, qRound(widthTwips / 15.0));
    }
}

ListItemRef ListView::add(const QString& text) {
    return refFor(insertRow(QStringList{text}, QVariant()));
}

void ListView::appendRow(const QStringList& columns, const QVariant& tag) {
    insertRow(columns, tag);
}

QTreeWidgetItem* ListView::insertRow(const QStringList& columns, const QVariant& tag) {
    auto* item = new ListRow(columns);
    if (tag.isValid()) {
        item->setData(0, TagRole, tag);
    }
    if (m_batchDepth > 0) {
        m_pending.append(item);
    } else {
        addTopLevelItem(item);
    }
    scheduleSort();
    return item;
}

void ListView::beginBatch() {
    ++m_batchDepth;
}

void ListView::endBatch() {
    if (m_batchDepth == 0 || --m_batchDepth > 0) {
        return;
    }
    if (!m_pending.isEmpty()) {
        addTopLevelItems(m_pending);
        m_pending.clear();
    }
    ensureSorted();
}

void ListView::clearItems() {
    const ChangeByCode byCode(*this);
    m_referenced.clear();
    qDeleteAll(m_pending);
    m_pending.clear();
    clear();
    m_unsorted = false;
}

void ListView::removeAt(int index) {
    const ChangeByCode byCode(*this);
    ensureSorted();
    if (index < 1 || index > topLevelItemCount()) {
        raiseIndexOutOfBounds();
    }
    QTreeWidgetItem* item = takeTopLevelItem(index - 1);
    forgetItem(item);
    delete item;
}

int ListView::count() {
    return topLevelItemCount() + static_cast<int>(m_pending.size());
}

ListItemRef ListView::itemAt(int index) {
    ensureSorted();
    if (index < 1 || index > topLevelItemCount()) {
        raiseIndexOutOfBounds();
    }
    return refFor(topLevelItem(index - 1));
}

ListItemRef ListView::selectedItem() {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) {
        return {};
    }
    return refFor(selected.first());
}

void ListView::select(const ListItemRef& item) {
    const ChangeByCode byCode(*this);
    QTreeWidgetItem* target = resolve(item);
    ensureSorted();
    setCurrentItem(target);
    target->setSelected(true);
    scrollToItem(target);
}

QString ListView::text(const ListItemRef& item) const {
    return resolve(item)->text(0);
}

void ListView::setText(const ListItemRef& item, const QString& text) {
    resolve(item)->setText(0, text);
    scheduleSort();
}

QString ListView::subItem(const ListItemRef& item, int subItemIndex) const {
    QTreeWidgetItem* target = resolve(item);
    if (subItemIndex < 1 || subItemIndex >= columnCount()) {
        raiseInvalidPropertyValue();
    }
    return target->text(subItemIndex);
}

void ListView::setSubItem(const ListItemRef& item, int subItemIndex, const QString& text) {
    QTreeWidgetItem* target = resolve(item);
    if (subItemIndex < 1 || subItemIndex >= columnCount()) {
        raiseInvalidPropertyValue();
    }
    target->setText(subItemIndex, text);
    scheduleSort();
}

QVariant ListView::tag(const ListItemRef& item) const {
    return resolve(item)->data(0, TagRole);
}

void ListView::setTag(const ListItemRef& item, const QVariant& tag) {
    resolve(item)->setData(0, TagRole, tag);
}

int ListView::indexOf(const ListItemRef& item) {
    QTreeWidgetItem* target = resolve(item);
    ensureSorted();
    const int position = indexOfTopLevelItem(target);
    if (position < 0) {
        raiseItemRemoved();
    }
    return position + 1;
}

void ListView::setSortKey(int key) {
    m_sortKey = key;
    m_unsorted = true;
    scheduleSort();
}

void ListView::setSortOrder(int order) {
    m_sortOrder = order;
    m_unsorted = true;
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
    if (m_typed.isEmpty()) {
        return;
    }
    ensureSorted();
    for (int row = 0; row < topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        if (item->text(0).startsWith(m_typed, Qt::CaseInsensitive)) {
            setCurrentItem(item);
            item->setSelected(true);
            scrollToItem(item);
            return;
        }
    }
}

void ListView::runClick() {
    if (onClick) {
        onClick();
    }
}

void ListView::mousePressEvent(QMouseEvent* event) {
    m_pressChangedSelection = false;
    QTreeWidget::mousePressEvent(event);
}

void ListView::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    applySelectionPalette();
}

void ListView::focusOutEvent(QFocusEvent* event) {
    QTreeWidget::focusOutEvent(event);
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

QTreeWidgetItem* ListView::resolve(const ListItemRef& item) const {
    if (item.isNothing()) {
        raiseObjectNotSet();
    }
    if (item.m_view.data() != this) {
        raiseItemRemoved();
    }
    QTreeWidgetItem* target = m_referenced.value(item.m_id, nullptr);
    if (target == nullptr) {
        raiseItemRemoved();
    }
    return target;
}

ListItemRef ListView::refFor(QTreeWidgetItem* item) {
    // Ids are handed out only to items something refers to, so large fills stay cheap.
    quint64 id = item->data(0, IdRole).toULongLong();
    if (id == 0) {
        id = m_nextId++;
        item->setData(0, IdRole, id);
        m_referenced.insert(id, item);
    }
    return ListItemRef(this, id);
}

void ListView::forgetItem(QTreeWidgetItem* item) {
    const quint64 id = item->data(0, IdRole).toULongLong();
    if (id != 0) {
        m_referenced.remove(id);
    }
}

void ListView::scheduleSort() {
    m_unsorted = true;
    if (m_batchDepth > 0 || m_sortScheduled) {
        return;
    }
    m_sortScheduled = true;
    QTimer::singleShot(0, this, [this] { ensureSorted(); });
}

void ListView::ensureSorted() {
    m_sortScheduled = false;
    if (!m_unsorted || m_batchDepth > 0) {
        return;
    }
    const ChangeByCode byCode(*this);
    m_unsorted = false;
    const Qt::SortOrder order = m_sortOrder == 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
    header()->setSortIndicator(m_sortKey, order);
    if (m_sortKey >= 0 && m_sortKey < columnCount()) {
        sortItems(m_sortKey, order);
    }
}

} // namespace stowline::platform
