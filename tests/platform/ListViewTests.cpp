// The list over rows kept elsewhere: its order, the rows a page adds and changes, and references
// that fail cleanly once their row has left the list.
#include "failures/StowlineError.h"
#include "platform/ListView.h"
#include "support/PageDriver.h"

#include <QAbstractItemModel>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>

using namespace stowline;
using platform::ListView;
using test::column;

namespace {

// Rows as a reader leaves them: texts by column, and a tag per row.
struct TableRows : platform::ListRows {
    std::vector<QStringList> rows;
    const QString& text(int row, int column) const override {
        return rows[static_cast<std::size_t>(row)][column];
    }
    QVariant tag(int row) const override { return row * 10; }
};

class ListViewTest : public ::testing::Test {
protected:
    ListViewTest() {
        list.setRows(&source);
        for (const char* caption : {"A", "B", "Key"}) {
            list.addColumn(QString::fromLatin1(caption), 900);
        }
    }
    void show(std::vector<QStringList> rows) {
        source.rows = std::move(rows);
        list.clearItems();
        list.showRows(static_cast<int>(source.rows.size()));
    }

    TableRows source;
    ListView list;
};

} // namespace

// Rows are ordered by code unit, case-sensitively; rows with equal texts keep the order they
// had, as a stable sort of the texts gives it, in both directions.
TEST_F(ListViewTest, OrdersRowsByTheSortColumnStably) {
    const QStringList pieces{"a", "B", "b", "10", "9", "\u00e9", "E", " ", "", "Z"};
    QRandomGenerator random(61206);
    std::vector<QStringList> rows;
    for (int row = 0; row < 300; ++row) {
        rows.push_back(
            {pieces.at(random.bounded(pieces.size())) + pieces.at(random.bounded(pieces.size())),
             pieces.at(random.bounded(pieces.size())), QString::number(row)});
    }
    show(rows);
    // Shown at first by the first column, ascending; each sort starts from the order before.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a[0] < b[0]; });
    for (const int key : {1, 0}) {
        for (const int order : {1, 0}) {
            list.setSortKey(key);
            list.setSortOrder(order);
            std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
                return order == 0 ? a[key] < b[key] : b[key] < a[key];
            });
            QStringList keys;
            for (const QStringList& row : rows) {
                keys << row[2];
            }
            EXPECT_EQ(column(list, 2), keys) << "column " << key << " order " << order;
        }
    }
    EXPECT_EQ(list.model()->index(0, 2).data().toString(), rows[0][2]);
}

// What a page does before the list is read again: add a row, change texts, remove a row. The
// sort follows the changed texts; the source's own rows stay as they are.
TEST_F(ListViewTest, PageEditsAreSortedAndTheSourceIsLeftAlone) {
    show({{"b", "two", "1"}, {"d", "four", "2"}});
    const platform::ListItemRef added = list.add(QStringLiteral("c"));
    list.setSubItem(added, 1, QStringLiteral("three"));
    list.setText(list.itemAt(1), QStringLiteral("e"));
    EXPECT_EQ(column(list, 0), (QStringList{"c", "d", "e"}));
    EXPECT_EQ(column(list, 1), (QStringList{"three", "four", "two"}));
    EXPECT_EQ(source.rows[0][0], "b");
    EXPECT_FALSE(list.tag(added).isValid());
    EXPECT_EQ(list.tag(list.itemAt(3)).toInt(), 0);
    EXPECT_EQ(list.tag(list.itemAt(2)).toInt(), 10);

    list.select(list.itemAt(2));
    list.setSortOrder(1); // the selection follows its row through a sort
    EXPECT_EQ(list.indexOf(list.selectedItem()), 2);
    EXPECT_EQ(list.text(list.selectedItem()), "d");
    list.removeAt(1);
    EXPECT_EQ(column(list, 0), (QStringList{"d", "c"}));
    EXPECT_THROW(list.subItem(list.itemAt(1), 3), StowlineError); // no such column
}

// A reference to a row that was removed, or to any row of a list read again, fails like a
// removed item; one never set fails as "not set".
TEST_F(ListViewTest, ReferencesFailCleanlyOnceTheirRowIsGone) {
    show({{"a", "", "1"}, {"b", "", "2"}});
    const platform::ListItemRef first = list.itemAt(1);
    const platform::ListItemRef second = list.itemAt(2);
    list.removeAt(1);
    const auto number = [](const std::function<void()>& use) {
        try {
            use();
        } catch (const StowlineError& e) {
            return e.info().Number;
        }
        return 0;
    };
    EXPECT_EQ(number([&] { (void)list.text(first); }), error_number::ItemRemoved);
    EXPECT_EQ(list.text(second), "b");
    show({{"b", "", "2"}});
    EXPECT_EQ(number([&] { (void)list.indexOf(second); }), error_number::ItemRemoved);
    EXPECT_EQ(number([&] { (void)list.text(platform::ListItemRef()); }),
              error_number::ObjectNotSet);
    EXPECT_EQ(number([&] { (void)list.itemAt(2); }), error_number::IndexOutOfBounds);
    EXPECT_TRUE(list.selectedItem().isNothing());
}
