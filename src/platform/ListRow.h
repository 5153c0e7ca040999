#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <QVariant>

namespace stowline::platform {

// A list row that keeps its texts, its tag and its id itself and serves them through data().
// The item's own storage took eight calls and as many allocations per row to fill, and its
// comparison copies two variants and two strings per call, which made filling and sorting a
// large list cost more than reading its data. The order is the item's own: texts compared
// case-sensitively by code unit.
class ListRow final : public QTreeWidgetItem {
public:
    static constexpr int TagRole = Qt::UserRole;
    static constexpr int IdRole = Qt::UserRole + 1;
    // The item type that tells a row apart from other items without a dynamic_cast, which was
    // a large part of sorting a long list.
    static constexpr int RowType = QTreeWidgetItem::UserType + 1;

    explicit ListRow(const QStringList& texts) : QTreeWidgetItem(RowType), m_texts(texts) {
        sizeColumns(m_texts.size());
    }

    QVariant data(int column, int role) const override {
        if (isText(role) && column >= 0 && column < m_texts.size()) {
            return m_texts.at(column);
        }
        if (column == 0 && role == TagRole) {
            return m_tag;
        }
        if (column == 0 && role == IdRole) {
            return m_id;
        }
        return QTreeWidgetItem::data(column, role);
    }

    void setData(int column, int role, const QVariant& value) override {
        if (isText(role) && column >= 0) {
            if (column >= m_texts.size()) {
                m_texts.resize(column + 1);
                sizeColumns(m_texts.size());
            }
            m_texts[column] = value.toString();
        } else if (column == 0 && role == TagRole) {
            m_tag = value;
        } else if (column == 0 && role == IdRole) {
            m_id = value;
        } else {
            QTreeWidgetItem::setData(column, role, value);
            return;
        }
        emitDataChanged();
    }

    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
        const auto* row = other.type() == RowType ? static_cast<const ListRow*>(&other) : nullptr;
        // A row without the column (rare) takes the item's own rule.
        if (row == nullptr || column < 0 || column >= m_texts.size() ||
            column >= row->m_texts.size()) {
            return QTreeWidgetItem::operator<(other);
        }
        return m_texts.at(column) < row->m_texts.at(column);
    }

private:
    // A role nothing reads: setting it, empty, on the last column sizes the item's own columns,
    // so that columnCount() stays true without the texts being stored twice. The display role
    // would do the same at several times the cost, one column at a time.
    static constexpr int ColumnsRole = Qt::UserRole + 2;

    static bool isText(int role) { return role == Qt::DisplayRole || role == Qt::EditRole; }

    void sizeColumns(qsizetype columns) {
        if (columns > columnCount()) {
            QTreeWidgetItem::setData(static_cast<int>(columns - 1), ColumnsRole, QVariant());
        }
    }

    QStringList m_texts;
    QVariant m_tag;
    QVariant m_id;
};

} // namespace stowline::platform
