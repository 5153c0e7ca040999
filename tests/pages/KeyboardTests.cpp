// The pages from the keyboard: Enter on a button, Ctrl+F and Esc for the filter boxes, and
// type-ahead in the centers list, against the demo operation of the stand-in service.
#include "support/AssignmentDriver.h"

#include <QSignalSpy>

namespace stowline::test {
namespace {

// Enter and the keypad's Enter press the focused button as a click does, on every page; in an
// order in which each page ends idle (Add, then Cancel). Ctrl+Enter is no press.
TEST_F(AssignmentPageTest, EnterPressesTheFocusedButton) {
    const std::pair<int, const char*> buttons[] = {
        {0, "cmdDeleteRoute"},    {0, "cmdAddRoute"},    {0, "cmdChangeRoute"},
        {1, "cmdDeleteLocation"}, {1, "cmdAddLocation"}, {1, "cmdChangeLocation"},
        {2, "cmdChangeStowline"}};
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        for (const auto& [page, name] : buttons) {
            SCOPED_TRACE(std::string(name) + (key == Qt::Key_Enter ? " keypad" : ""));
            showPage(page);
            auto* button = control<QPushButton>(name);
            button->setFocus();
            QSignalSpy clicked(button, &QAbstractButton::clicked);
            QTest::keyClick(button, key,
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            EXPECT_EQ(clicked.count(), 1);
        }
    }
    EXPECT_EQ(boxes.shown().size(), 6u); // "Please select ...": nothing selected anywhere
    showPage(2);
    clickCenter("1003");
    click(change);
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return, Qt::ControlModifier);
    expectMode(true);
    QTest::keyClick(cancel, Qt::Key_Return);
    expectMode(false);
}

// Ctrl+F from anywhere on a page puts the focus into its filter box; Esc there empties it.
TEST_F(AssignmentPageTest, CtrlFFindsThePagesFilterBoxAndEscClearsIt) {
    const struct {
        int page;
        const char *from, *box, *list;
    } cases[] = {
        {0, "lstRoute", "txtRouteFilter", "lstRoute"},
        {1, "cmdAddLocation", "txtLocationFilter", "lstLocation"},
        {2, "cboFacility2", "txtCenterFilter", "lstStowline"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        showPage(c.page);
        auto* rows = control<controls::ListView>(c.list);
        const int all = rows->count();
        control<QWidget>(c.from)->setFocus();
        QTest::keySequence(QApplication::focusWidget(), QKeySequence::Find);
        auto* box = control<QLineEdit>(c.box);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(hasFocus(box));
        QTest::keyClicks(box, "zzz");
        EXPECT_EQ(rows->count(), 0);
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_EQ(box->text(), QString());
        EXPECT_EQ(rows->count(), all);
    }
}

// Type-ahead looks in the sort column, for rows beginning with all that was typed, case and
// accents ignored; when none does, no row stays selected, so that nothing acts on the row that
// matched only the first keys.
TEST_F(AssignmentPageTest, TypeAheadFindsTheWholeTextInTheSortColumnOrSelectsNothing) {
    const struct {
        int sortColumn; // clicked before typing; 0 keeps the sort
        const char *typed, *selected;
    } cases[] = {
        {2, "pharm", "1029"},   // "Pharmacie Côté" sorted by name, not "Riverside Pharmacy"
        {0, "CAFE C", "1032"},  // "Café Crème"
        {0, " ", "1001"},       // Space alone selects the current row, as it did
        {0, "1027", nullptr},   // an ID, in the name column
        {3, "coastal", "1023"}, // the route column: "Coastal Highway", first in ID order
        {1, "1027", "1027"},    // sorted by ID again
        {0, "10177", nullptr},  // "1017" exists, "10177" does not
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        if (c.sortColumn != 0) {
            clickHeader(*list, c.sortColumn);
        }
        clickCenter("1001");
        QTest::qWait(QApplication::keyboardInputInterval() + 50); // a fresh search
        QTest::keyClicks(list, qs(c.typed));
        EXPECT_EQ(selectedRow().value(0), c.selected == nullptr ? QString() : qs(c.selected));
    }
    boxes.clear();
    click(change);
    EXPECT_EQ(boxes.prompts(), QStringList{qs("Please select center to assign Delivery Route "
                                              "and/or Storage Loaction.")});
}

} // namespace
} // namespace stowline::test
