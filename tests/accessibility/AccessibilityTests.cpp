// Screen-reader names, keyboard tab order and type-ahead in the lists.
#include "component/DataSetText.h"
#include "readers/Readers.h"
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

    QWidget* control(const char* name) {
        auto* widget = owner.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // The page's tab stops in the order Tab visits them, from the page itself: the chain is a
    // ring, so only starting at the page shows which control the page enters first.
    QStringList tabWalk(int pageIndex) {
        QWidget* page = component.state.ui.SSTab1->widget(pageIndex);
        QWidget* start = page;
        QStringList names;
        QWidget* widget = start;
        do {
            const QString name = widget->objectName();
            if (page->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) != 0 &&
                !widget->isHidden() && !name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) {
                names << name;
            }
            widget = widget->nextInFocusChain();
        } while (widget != start && names.size() < 50);
        return names;
    }

    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    QWidget owner;
    StowlinePrivate component;
};

TEST_F(Accessibility, FieldsAreNamedAfterTheirLabels) {
    const struct {
        const char* field;
        const char* label;
        QString name;
    } cases[] = {
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
    for (const auto& c : cases) {
        QWidget* field = control(c.field);
        auto* label = qobject_cast<QLabel*>(control(c.label));
        ASSERT_TRUE(field && label) << c.field;
        EXPECT_EQ(field->accessibleName(), c.name) << c.field;
        EXPECT_EQ(label->buddy(), field) << c.label;
    }
    // The captions themselves stay as designed.
    EXPECT_EQ(qobject_cast<QLabel*>(control("Label3"))->text(), "Storage Bay Name:");
}

TEST_F(Accessibility, TabOrderFollowsEachPageLeftToRightTopToBottom) {
    EXPECT_EQ(tabWalk(0), (QStringList{"lstRoute", "txtRoute", "txtRouteDesc", "cboFacility3",
                                       "cmdAddRoute", "cmdChangeRoute", "cmdDeleteRoute"}));
    EXPECT_EQ(tabWalk(1),
              (QStringList{"lstLocation", "txtLocationID", "txtLocationDesc", "cboFacility",
                           "cmdAddLocation", "cmdChangeLocation", "cmdDeleteLocation"}));
    EXPECT_EQ(tabWalk(2),
              (QStringList{"optActiveCenters", "optAllCenters", "cboFacility2", "lstStowline",
                           "cboRoute", "cboLocation", "cmdChangeStowline", "cmdCancelStowline"}));
}

test::Row route(const QString& code, const QString& description) {
    return {{"DeliveryRouteID", code},
            {"Route", code},
            {"Description", description},
            {"Facility", "North"},
            {"TOVAFacilityID", "1"}};
}

TEST_F(Accessibility, TypingInAListJumpsToTheFirstRowStartingWithTheText) {
    state::ControlSurface& ui = component.state.ui;
    // Given out of order: the list shows its rows sorted by the first column.
    readers::RefreshRouteData(
        component.state,
        test::dataSetText({route("CA", "Echo"), route("B7", "Bravo"), route("A1", "Cargo"),
                           route("C3", "Delta"), route("B2", "Alpha")}));
    ui.fraRouteList->setEnabled(true);
    owner.show();
    ui.SSTab1->setCurrentIndex(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    platform::ListView& list = *ui.lstRoute;
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
        {"B7", 0, "C", "C3"},
        {"A1", 1, "a", "A1"}, // the first column counts, not the current one ("Alpha")
        {"A1", 1, "c", "C3"}, // ... nor "Cargo"
        {"B7", 0, "x", "B7"}, // nothing starts with it: the current row stays
        {"B7", 0, "b2z", "B2"},
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
    list.keyboardSearch(QString());
    QTest::keyClicks(&list, QStringLiteral("c"));
    EXPECT_EQ(current().data().toString(), "C3");
    QTest::qWait(QApplication::keyboardInputInterval() + 100);
    QTest::keyClicks(&list, QStringLiteral("a"));
    EXPECT_EQ(current().data().toString(), "A1");
}

} // namespace
