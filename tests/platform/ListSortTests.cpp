// Lists keep their rows sorted with a comparison of their own; it must order rows exactly as a
// plain tree widget orders the same texts, also after texts changed and for rows that lack the
// sort column.
#include "platform/ListView.h"

#include <QRandomGenerator>
#include <QTreeWidget>
#include <gtest/gtest.h>

using stowline::platform::ListView;

namespace {

QStringList columnTexts(QTreeWidget& list, int column) {
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        // Rows whose texts tie may stand in either order, so only the sorted texts count; a
        // row without the column shows as "-".
        QTreeWidgetItem* item = list.topLevelItem(i);
        texts.append(column < item->columnCount() ? item->text(column) : QStringLiteral("-"));
    }
    return texts;
}

} // namespace

TEST(ListSort, OrdersRowsAsAPlainTreeWidgetDoes) {
    const QStringList pieces{"a", "B", "b", "10", "9", "\u00e9", "E", " ", "", "Z"};
    QRandomGenerator random(61206);
    ListView list;
    QTreeWidget reference;
    for (int column = 0; column < 3; ++column) {
        list.addColumn(QStringLiteral("c%1").arg(column), 900);
    }
    reference.setColumnCount(3);
    std::vector<QTreeWidgetItem*> referenceRows;
    for (int row = 0; row < 300; ++row) {
        QStringList texts;
        for (int column = 0; column < 2; ++column) {
            texts.append(pieces.at(random.bounded(pieces.size())) +
                         pieces.at(random.bounded(pieces.size())));
        }
        texts.append(QString::number(row)); // tells rows apart
        // Some rows lack the last sort column altogether.
        const QStringList shown = row % 17 == 0 ? QStringList{texts[0]} : texts;
        list.appendRow(shown, QVariant());
        referenceRows.push_back(new QTreeWidgetItem(&reference, shown));
    }
    // Changed texts must be sorted by their new value.
    for (int index = 1; index <= 300; index += 7) {
        const QString text = pieces.at(random.bounded(pieces.size()));
        const QString tell = list.subItem(list.itemAt(index), 2);
        if (tell.isEmpty()) {
            continue;
        }
        list.setText(list.itemAt(index), text);
        for (QTreeWidgetItem* item : referenceRows) {
            if (item->text(2) == tell) {
                item->setText(0, text);
            }
        }
    }
    // Every step below changes the key or the order, so that each one sorts afresh.
    list.setSortKey(1);
    list.itemAt(1);
    for (const int column : {0, 1}) {
        for (const int order : {0, 1}) {
            list.setSortKey(column);
            list.setSortOrder(order);
            list.itemAt(1); // sorts now
            reference.sortItems(column, order == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
            EXPECT_EQ(columnTexts(list, column), columnTexts(reference, column))
                << "column " << column << " order " << order;
        }
    }
}
