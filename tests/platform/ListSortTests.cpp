// Lists keep their rows sorted with a comparison of their own; it must order rows exactly as a
// plain tree widget orders the same texts, also after texts changed and for rows that lack the
// sort column.
#include "platform/ListView.h"

#include <QAbstractItemModel>
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

// Rows keep their texts, tag and id themselves; the view must still see every text, every
// change and every other role as it would on a plain item.
TEST(ListRows, ServeTextsAndRolesThroughTheViewsModel) {
    ListView list;
    for (int column = 0; column < 3; ++column) {
        list.addColumn(QStringLiteral("c%1").arg(column), 900);
    }
    list.appendRow({"b", "two"}, QVariant(7));
    list.appendRow({"a", "one", "first"}, QVariant());
    const QAbstractItemModel& model = *list.model();
    ASSERT_EQ(model.rowCount(), 2);
    list.itemAt(1); // sorts now
    EXPECT_EQ(model.index(0, 0).data().toString(), "a");
    EXPECT_EQ(model.index(0, 2).data().toString(), "first");
    EXPECT_EQ(model.index(1, 1).data(Qt::EditRole).toString(), "two");
    EXPECT_FALSE(model.index(1, 2).data().isValid()); // a row without the column
    EXPECT_EQ(list.topLevelItem(0)->columnCount(), 3);
    EXPECT_EQ(list.topLevelItem(1)->columnCount(), 2);

    // The tag belongs to the row, not to any column's text.
    EXPECT_EQ(list.tag(list.itemAt(2)).toInt(), 7);
    EXPECT_FALSE(list.tag(list.itemAt(1)).isValid());
    EXPECT_EQ(model.index(1, 0).data().toString(), "b");

    // Changes reach the view, also past the row's last column, and other roles are kept.
    int changes = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&changes] { ++changes; });
    list.setSubItem(list.itemAt(2), 1, "second");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(model.index(1, 1).data().toString(), "second");
    list.setSubItem(list.itemAt(2), 2, "third");
    EXPECT_GE(changes, 2);
    EXPECT_EQ(model.index(1, 2).data().toString(), "third");
    EXPECT_EQ(list.topLevelItem(1)->columnCount(), 3);
    QTreeWidgetItem* row = list.topLevelItem(0);
    row->setData(1, Qt::ToolTipRole, QStringLiteral("tip"));
    EXPECT_EQ(model.index(0, 1).data(Qt::ToolTipRole).toString(), "tip");
    EXPECT_EQ(model.index(0, 1).data().toString(), "one");
}
