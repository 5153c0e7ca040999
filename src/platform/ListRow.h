#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <QTreeWidgetItem>

namespace stowline::platform {

// A list row that keeps its texts beside the item's own data, so that sorting compares them
// directly. The item's comparison copies two variants and two strings per call, which made
// sorting a large list cost more than filling it. The order is the item's own: texts compared
// case-sensitively by code unit.
class ListRow final : public QTreeWidgetItem {
public:
    explicit ListRow(const QStringList& texts) : QTreeWidgetItem(texts), m_texts(texts) {}

    void setData(int column, int role, const QVariant& value) override {
        QTreeWidgetItem::setData(column, role, value);
        if (role != Qt::DisplayRole && role != Qt::EditRole) {
            return;
        }
        while (m_texts.size() <= column) {
            m_texts.append(QString());
        }
        m_texts[column] = QTreeWidgetItem::data(column, Qt::DisplayRole).toString();
    }

    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
        const auto* row = dynamic_cast<const ListRow*>(&other);
        // A row without the column (rare) takes the item's own rule.
        if (row == nullptr || column >= columnCount() || column >= m_texts.size() ||
            column >= row->columnCount() || column >= row->m_texts.size()) {
            return QTreeWidgetItem::operator<(other);
        }
        return m_texts.at(column) < row->m_texts.at(column);
    }

private:
    QStringList m_texts;
};

} // namespace stowline::platform
