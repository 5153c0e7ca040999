// Whatever the operator does to a list's selection (keys, type-ahead, Ctrl+click, a click on the
// empty space below the rows), the page shows the row selected. The row shown is the row a
// change or delete acts on: the click handling that fills the boxes takes it as selected, and
// Change, Delete and Update read the selection again.
#include "support/MaintenancePages.h"
#include "support/PageDriver.h"

#include <QFrame>

#include <functional>

using namespace stowline;
using namespace stowline::test;

namespace {

// One way of moving the selection, and the position it should then be at (0: none).
struct Gesture {
    const char* name;
    std::function<void(controls::ListView&)> act;
    std::function<int(controls::ListView&)> expected;
};

void key(controls::ListView& list, Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(list.viewport(), k, modifiers);
}

// Starting from the second row selected.
std::vector<Gesture> gestures(bool listHasEmptySpace) {
    std::vector<Gesture> all = {
        {"Down", [](auto& l) { key(l, Qt::Key_Down); }, [](auto&) { return 3; }},
        {"Up", [](auto& l) { key(l, Qt::Key_Up); }, [](auto&) { return 1; }},
        {"End", [](auto& l) { key(l, Qt::Key_End); }, [](auto& l) { return l.count(); }},
        {"Home", [](auto& l) { key(l, Qt::Key_Home); }, [](auto&) { return 1; }},
        // A page down lands wherever the view's height takes it, but never on the first rows.
        {"PageDown", [](auto& l) { key(l, Qt::Key_PageDown); },
         [](auto& l) { return std::max(3, selectedPosition(l)); }},
        {"type-ahead", [](auto& l) { QTest::keyClicks(l.viewport(), l.text(l.itemAt(4))); },
         [](auto&) { return 4; }},
        {"Ctrl+click", [](auto& l) { clickRow(l, 2, Qt::ControlModifier); },
         [](auto&) { return 0; }},
    };
    if (listHasEmptySpace) {
        all.push_back({"empty space",
                       [](auto& l) {
                           QTest::mouseClick(l.viewport(), Qt::LeftButton, {},
                                             QPoint(20, l.viewport()->height() - 4));
                       },
                       [](auto&) { return 0; }});
    }
    return all;
}

class SelectionTest : public PageTest {
protected:
    // Each gesture from the second row; `shown` is what the page shows of the selected row,
    // `rowText` the same taken from a row.
    void expectPageFollows(const char* listName, int page, const std::function<QString()>& shown,
                           const std::function<QString(controls::ListView&, int)>& rowText) {
        showPage(page);
        auto* list = control<controls::ListView>(listName);
        const bool fits = list->visualRect(list->rowIndex(list->count())).bottom() <
                          list->viewport()->height() - 8;
        for (const Gesture& gesture : gestures(fits)) {
            SCOPED_TRACE(gesture.name);
            clickRow(*list, 2);
            ASSERT_EQ(shown(), rowText(*list, 2));
            gesture.act(*list);
            const int position = gesture.expected(*list);
            EXPECT_EQ(selectedPosition(*list), position);
            EXPECT_EQ(shown(), position == 0 ? QString() : rowText(*list, position));
        }
        EXPECT_TRUE(boxes.shown().empty()) << boxes.prompts().join(qs(" | ")).toStdString();
    }

    QString text(const char* box) { return control<QLineEdit>(box)->text(); }
};

TEST_F(SelectionTest, TheBoxesAndTheFacilityFollowTheSelectionOnEveryPage) {
    const auto textAndDescription = [](controls::ListView& l, int p) {
        return l.text(l.itemAt(p)) + l.subItem(l.itemAt(p), 1);
    };
    expectPageFollows(
        "lstRoute", 0, [this] { return text("txtRoute") + text("txtRouteDesc"); },
        textAndDescription);
    expectPageFollows(
        "lstLocation", 1, [this] { return text("txtLocationID") + text("txtLocationDesc"); },
        textAndDescription);
    // The first centers are Northfield's and the last the Dépôt's, so End changes what is shown.
    auto* list = control<controls::ListView>("lstStowline");
    auto* facility = control<controls::DropDown>("cboFacility2");
    expectPageFollows(
        "lstStowline", 2,
        [&] { return list->selectedItem().isNothing() ? QString() : facility->shownText(); },
        [](controls::ListView& l, int p) { return l.subItem(l.itemAt(p), 4); });
}

// The selected row as drawn: whether its background differs from an unselected row's.
bool drawnSelected(controls::ListView& list, int position) {
    QApplication::processEvents();
    const QImage image = list.viewport()->grab().toImage();
    const auto background = [&](int p) {
        const QRect rect = list.visualRect(list.rowIndex(p));
        return image.pixel(rect.right() - 3, rect.center().y());
    };
    return background(position) != background(position == 1 ? 2 : 1);
}

TEST_F(SelectionTest, TheSelectionIsHiddenWhileAPageAddsAndShownWhileItChanges) {
    for (const MaintenancePageNames& p : {RouteNames, LocationNames}) {
        SCOPED_TRACE(p.list);
        showPage(p.tab);
        auto* list = control<controls::ListView>(p.list);
        clickRow(*list, 3);
        EXPECT_TRUE(drawnSelected(*list, 3));
        click(control<QPushButton>(p.change)); // changing: the list is disabled, the row marked
        EXPECT_TRUE(drawnSelected(*list, 3));
        click(control<QPushButton>(p.change));
        click(control<QPushButton>(p.add)); // adding: nothing is marked
        ASSERT_FALSE(list->isEnabled());
        EXPECT_FALSE(drawnSelected(*list, 3));
        click(control<QPushButton>(p.change));
    }
}

} // namespace
