// Screen-reader names, keyboard tab order and type-ahead in the lists.
#include "support/QtPrinters.h"
#include "support/Recorders.h"
#include "widget/StowlinePrivate.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace stowline;

namespace {

class Accessibility : public ::testing::Test {
protected:
    Accessibility() : component(&owner) { component.UserControl_Initialize(); }

    // The page's tab stops in the order Tab visits them, from the page itself: the chain is a
    // ring, so only starting at the page shows which control the page enters first.
    QStringList tabWalk(int pageIndex) {
        QWidget* page = component.state.ui.SSTab1->widget(pageIndex);
        QStringList names;
        for (QWidget* w = page->nextInFocusChain(); w != page && names.size() < 50;
             w = w->nextInFocusChain()) {
            // Unnamed stops are the line edits inside editable drop-downs.
            if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0 && !w->isHidden() &&
                !w->objectName().isEmpty()) {
                names << w->objectName();
            }
        }
        return names;
    }

    test::MessageBoxRecorder boxes;
    QWidget owner;
    StowlinePrivate component;
};

TEST_F(Accessibility, FieldsAreNamedAfterTheirLabelsAndTabFollowsEachPageInReadingOrder) {
    const char* const cases[][3] = {
        {"lstRoute", "Label7", "List of Delivery Routes"},
        {"txtRoute", "Label1", "Route"},
        {"txtRouteDesc", "Label2", "Description"},
        {"cboFacility3", "Label12", "Facility"},
        {"lstLocation", "Label8", "List of Storage Locations"},
        {"txtLocationID", "Label3", "Storage Bay Name"},
        {"txtLocationDesc", "Label4", "Description"},
        {"cboFacility", "Label10", "Facility"},
        {"lstStowline", "Label9", "List of Centers"},
        {"cboFacility2", "Label11", "Facility"},
        {"cboRoute", "Label5", "Route"},
        {"cboLocation", "Label6", "Storage Location"},
    };
    for (const auto& [fieldName, labelName, name] : cases) {
        auto* field = owner.findChild<QWidget*>(fieldName);
        auto* label = owner.findChild<QLabel*>(labelName);
        ASSERT_TRUE(field && label) << fieldName;
        EXPECT_EQ(field->accessibleName(), name) << fieldName;
        EXPECT_EQ(label->buddy(), field) << labelName;
    }
    // The captions themselves stay as designed.
    EXPECT_EQ(owner.findChild<QLabel*>("Label3")->text(), "Storage Bay Name:");

    EXPECT_EQ(tabWalk(0), (QStringList{"lstRoute", "txtRoute", "txtRouteDesc", "cboFacility3",
                                       "cmdAddRoute", "cmdChangeRoute", "cmdDeleteRoute"}));
    EXPECT_EQ(tabWalk(1),
              (QStringList{"lstLocation", "txtLocationID", "txtLocationDesc", "cboFacility",
                           "cmdAddLocation", "cmdChangeLocation", "cmdDeleteLocation"}));
    EXPECT_EQ(tabWalk(2),
              (QStringList{"optActiveCenters", "optAllCenters", "cboFacility2", "lstStowline",
                           "cboRoute", "cboLocation", "cmdChangeStowline", "cmdCancelStowline"}));
}

TEST_F(Accessibility, TypingInAListJumpsToTheFirstRowStartingWithTheText) {
    surface::ControlSurface& ui = component.state.ui;
    controls::ListView& list = *ui.lstRoute;
    // Given out of order: the list shows its rows sorted by the first column.
    for (const auto& [code, description] :
         {std::pair{"CA", "Echo"}, std::pair{"B7", "Bravo"}, std::pair{"A1", "Cargo"},
          std::pair{"C3", "Delta"}, std::pair{"B2", "Alpha"}}) {
        list.setSubItem(list.add(code), 1, description);
    }
    ui.fraRouteList->setEnabled(true);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    list.setFocus();

    const struct {
        const char* startRow;
        int startColumn;
        const char* typed;
        const char* expected;
    } cases[] = {
        {"B2", 0, "b", "B2"},  // from the top, not from below the current row
        {"CA", 0, "b7", "B7"}, // keys in quick succession extend the text
        {"A1", 0, "ca", "CA"}, // case is ignored
        {"A1", 1, "a", "A1"},  // the first column counts, not the current one ("Alpha")
        {"A1", 1, "c", "C3"},  // ... nor "Cargo"
        {"B7", 0, "x", "B7"},  // nothing starts with it: the current row stays
    };
    const auto current = [&list] { return list.model()->index(list.currentIndex().row(), 0); };
    for (const auto& c : cases) {
        const QModelIndexList start =
            list.model()->match(list.model()->index(0, 0), Qt::DisplayRole,
                                QString::fromLatin1(c.startRow), 1, Qt::MatchExactly);
        ASSERT_EQ(start.size(), 1);
        list.setCurrentIndex(start.first().siblingAtColumn(c.startColumn));
        list.keyboardSearch(QString()); // forget earlier typing
        QTest::keyClicks(&list, QString::fromLatin1(c.typed));
        EXPECT_EQ(current().data().toString(), c.expected) << c.typed;
        EXPECT_EQ(list.selectionModel()->selectedRows(), QModelIndexList{current()}) << c.typed;
    }

    // After a pause the typed text starts afresh.
    QTest::keyClicks(&list, "c");
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(&list, "a");
    EXPECT_EQ(current().data().toString(), "A1");
}

} // namespace
