// The list over rows kept elsewhere: its order, the rows a page adds and changes, and references
// that fail cleanly once their row has left the list.
#include "controls/ListView.h"
#include "failures/StowlineError.h"
#include "support/PageDriver.h"

#include <QAbstractItemModel>
#include <QHelpEvent>
#include <QToolTip>
#include <gtest/gtest.h>

#include <functional>

using namespace stowline;
using controls::ListView;
using test::column;

namespace {

// Rows as a reader leaves them: texts by column, and a tag per row.
struct TableRows : controls::ListRows {
    std::vector<QStringList> rows;
    QString text(int row, int column) const override {
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

// Rows are ordered as an operator reads them, by a table written by hand: accents and case
// count only where nothing else differs, runs of digits by their value, and texts that compare
// equal keep the order the service sent them in, both ways.
TEST_F(ListViewTest, OrdersRowsAsAnOperatorReads) {
    const char* const texts[][2] = {{"Tidewater", "b"},  {"É-01", "A"}, {"100", "a"},
                                    {"Pâtisserie", "B"}, {"a2", "a"},   {"Épicerie du Coin", ""},
                                    {"9", "b"},          {"A10", "A"},  {"Pine Ridge", ""},
                                    {"A2", "a"},         {"V-01", "B"}, {"10", "b"},
                                    {"e-01", "a"}};
    std::vector<QStringList> rows;
    for (const auto& [a, b] : texts) {
        rows.push_back({QString::fromUtf8(a), QString::fromUtf8(b), QString::number(rows.size())});
    }
    show(rows);
    // The sort column, the order, and the rows' numbers in the order shown.
    const std::tuple<int, int, const char*> cases[] = {{0, 0, "6 11 2 4 9 7 12 1 5 3 8 0 10"},
                                                       {0, 1, "10 0 8 3 5 1 12 7 4 9 2 11 6"},
                                                       {1, 1, "0 3 6 10 11 1 2 4 7 9 12 5 8"},
                                                       {1, 0, "5 8 1 2 4 7 9 12 0 3 6 10 11"}};
    for (const auto& [key, order, shown] : cases) {
        list.setSortKey(key);
        list.setSortOrder(order);
        EXPECT_EQ(column(list, 2).join(QLatin1Char(' ')), QString::fromLatin1(shown))
            << "column " << key << " order " << order;
    }
}

// What a page does before the list is read again: add a row, change texts, remove a row. The
// sort follows the changed texts; the source's own rows stay as they are.
TEST_F(ListViewTest, PageEditsAreSortedAndTheSourceIsLeftAlone) {
    show({{"b", "two", "1"}, {"d", "four", "2"}});
    const controls::ListItemRef added = list.add(QStringLiteral("c"));
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
    EXPECT_THROW(list.setSubItem(list.itemAt(1), 3, QStringLiteral("x")), StowlineError);
    EXPECT_THROW(list.setSubItem(list.itemAt(1), 0, QStringLiteral("x")), StowlineError); // text
}

// A reference to a row that was removed, or to any row of a list read again, fails like a
// removed item; one never set fails as "not set".
TEST_F(ListViewTest, ReferencesFailCleanlyOnceTheirRowIsGone) {
    show({{"a", "", "1"}, {"b", "", "2"}});
    const controls::ListItemRef first = list.itemAt(1);
    const controls::ListItemRef second = list.itemAt(2);
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
    EXPECT_EQ(number([&] { (void)list.text(controls::ListItemRef()); }),
              error_number::ObjectNotSet);
    EXPECT_EQ(number([&] { (void)list.itemAt(2); }), error_number::IndexOutOfBounds);
    EXPECT_TRUE(list.selectedItem().isNothing());
}

// A cell whose text its column cuts shows the whole text as a tooltip, as plain text; a whole
// cell shows none. After a sort the selected row is scrolled into view.
TEST_F(ListViewTest, CutCellsShowTheirWholeTextAndTheSelectionStaysInViewAfterASort) {
    const QString cut = QStringLiteral("Ambient aisle A, front <b>bay</b>");
    std::vector<QStringList> rows;
    for (int i = 0; i < 200; ++i) {
        rows.push_back({QString::number(i), i == 3 ? cut : QStringLiteral("x"), QString()});
    }
    show(rows);
    list.resize(240, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const auto tooltipAt = [&](int position, int column) {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        const QPoint at = list.visualRect(list.rowIndex(position).siblingAtColumn(column)).center();
        QHelpEvent help(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
        QApplication::sendEvent(list.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_TRUE(tooltipAt(4, 1).contains(cut.toHtmlEscaped())) << tooltipAt(4, 1).toStdString();
    EXPECT_EQ(tooltipAt(4, 0), QString()); // "3"
    EXPECT_EQ(tooltipAt(5, 1), QString()); // "x"

    list.select(list.itemAt(200));
    list.setSortOrder(1);
    ASSERT_EQ(list.indexOf(list.selectedItem()), 1);
    EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(list.rowIndex(1))));
}
