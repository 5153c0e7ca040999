// The pages from the keyboard: Ctrl+F and Esc for the filter boxes, and type-ahead in the
// centers list, against the demo operation of the stand-in service.
#include "support/AssignmentDriver.h"

namespace stowline::test {
namespace {

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
