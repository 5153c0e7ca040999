// The assignment page as an operator uses it against the stand-in service: showing a center's
// assignment, changing it, cancelling, and the service's state afterwards.
#include "support/AssignmentDriver.h"

namespace stowline::test {
namespace {

const QString NorthfieldRoutes[] = {qs("Downtown Loop(01)"), qs("Airport & Industrial Park(02)"),
                                    qs("Northern Suburbs(03)"), qs("Evening Express(10)")};

TEST_F(AssignmentPageTest, ClickingACenterShowsItsFacilityRouteAndBay) {
    struct Case {
        const char* center;
        const char* facility;
        const char* route;
        const char* bay;
    };
    // In an order where each click changes what the previous one showed.
    const Case cases[] = {
        {"1016", "Harbour Point Cross-Dock", "Bayview <Overnight>(H2)", "Dock 2 staging(7)"},
        {"1003", "Northfield Distribution Center", "Northern Suburbs(03)", "Chilled <2-4 °C>(3)"},
        {"1027", "Dépôt Sainte-Émilie", "Rive-Sud matinée(E1)", "Entrepôt principal(11)"},
        {"1011", "Northfield Distribution Center", "Downtown Loop(01)", "Frozen & ice cream(4)"},
        // No bay, no route: no entry is shown chosen.
        {"1013", "Northfield Distribution Center", "Northern Suburbs(03)", ""},
        {"1007", "Northfield Distribution Center", "", "Ambient aisle A, front(1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.center);
        clickCenter(c.center);
        EXPECT_EQ(shown(facility), qs(c.facility));
        EXPECT_EQ(shown(route), qs(c.route));
        EXPECT_EQ(shown(location), qs(c.bay));
        expectMode(false);
    }
    EXPECT_EQ(entries(*route),
              QStringList(std::begin(NorthfieldRoutes), std::end(NorthfieldRoutes)));
    EXPECT_EQ(entries(*location),
              QStringList({qs("Overflow floor (no bay name)(5)"), qs("Ambient aisle A, front(1)"),
                           qs("Ambient aisle A, rear(2)"), qs("Chilled <2-4 °C>(3)"),
                           qs("Frozen & ice cream(4)")}));
    EXPECT_TRUE(boxes.shown().empty()) << boxes.prompts().join(qs(" | ")).toStdString();
}

// What the pick lists show is sent for the center selected, and the list then shows what the
// service holds, with no confirmation: the list is the answer.
TEST_F(AssignmentPageTest, AssignsWhatThePickListsShowToTheCenterSelected) {
    struct Case {
        const char* center;
        const char* otherCenter; // clicked in edit mode: the one assigned
        const char* facility;    // chosen in edit mode
        const char* route;
        const char* bay;
        int assigned;
        const char* held;
    };
    const Case cases[] = {
        {"1003", nullptr, nullptr, "Evening Express(10)", "Frozen & ice cream(4)", 1003, "1/4/4"},
        {"1003", nullptr, "Harbour Point Cross-Dock", "Coastal Highway(H4)", "Quarantine cage(8)",
         1003, "2/8/8"},
        {"1002", "1016", nullptr, "Harbour Front(H1)", nullptr, 1016, "2/5/7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held);
        clickCenter(c.center);
        QTest::mouseClick(route, Qt::LeftButton); // locked: the list does not open
        EXPECT_FALSE(route->view()->isVisible());
        click(change);
        expectMode(true);
        EXPECT_TRUE(hasFocus(route));
        if (c.otherCenter != nullptr) {
            clickCenter(c.otherCenter);
        }
        if (c.facility != nullptr) { // the pick lists follow the facility, first entries shown
            pickEntry(facility, qs(c.facility));
            EXPECT_EQ(entries(*route).value(0), shown(route));
        }
        const int position = selectedPosition();
        pickEntry(route, qs(c.route));
        if (c.bay != nullptr) {
            clickEntry(location, qs(c.bay));
        }
        click(change);
        EXPECT_EQ(assignment(c.assigned), qs(c.held));
        EXPECT_EQ(selectedPosition(), position);
        const QStringList row = selectedRow();
        ASSERT_EQ(row.size(), 8);
        EXPECT_EQ(row[0], QString::number(c.assigned));
        EXPECT_EQ(shown(route), row[2] + qs("(") + row[6] + qs(")"));
        EXPECT_EQ(shown(facility), row[4]);
        expectMode(false);
    }
    EXPECT_EQ(assignment(1002), qs("1/2/2")); // left in edit mode for another
    EXPECT_TRUE(boxes.shown().empty()) << boxes.prompts().join(qs(" | ")).toStdString();
}

TEST_F(AssignmentPageTest, AnUntouchedUpdateChangesNoCenter) {
    // Without a route, without a bay, with neither, with both.
    for (const int center : {1007, 1006, 1008, 1003}) {
        SCOPED_TRACE(center);
        const QString before = assignment(center);
        clickCenter(QByteArray::number(center).constData());
        click(change);
        click(change);
        EXPECT_EQ(assignment(center), before);
        expectMode(false);
    }
    EXPECT_TRUE(boxes.shown().empty()) << boxes.prompts().join(qs(" | ")).toStdString();
}

TEST_F(AssignmentPageTest, TheSamePositionIsSelectedAfterAnUpdateEvenWhenTheCenterMovedOrNone) {
    // The last center, and another client retires a center meanwhile: nothing is selected, and
    // no center is taken as selected any more.
    const int last = list->count();
    test::clickRow(*list, last);
    ASSERT_EQ(list->text(list->itemAt(last)), qs("1040"));
    click(change);
    pickEntry(route, qs("Rive-Sud matinée(E1)"));
    pickEntry(location, qs("Congelé(13)"));
    server->execute(qs("UPDATE centers SET status = '1' WHERE center_id = 1001"));
    click(change);
    EXPECT_EQ(assignment(1040), qs("3/9/13"));
    EXPECT_EQ(list->count(), last - 1);
    EXPECT_EQ(selectedPosition(), 0);
    expectMode(false);
    click(change);
    EXPECT_TRUE(shownOnly(qs("Please select center to assign Delivery Route and/or Storage "
                             "Loaction."),
                          controls::StyleOk, qs("Information Required")));
    expectMode(false);

    // Sorted by route description, 1003 moves up past its neighbour.
    test::clickHeader(*list, 3);
    ASSERT_EQ(list->sortKey(), 2);
    clickCenter("1003"); // "Northern Suburbs" sorts after "Airport & Industrial Park"
    const int position = selectedPosition();
    ASSERT_GT(position, 1);
    const QString previousNeighbour = list->text(list->itemAt(position - 1));
    click(change);
    pickEntry(route, qs("Airport & Industrial Park(02)"));
    click(change);

    EXPECT_EQ(assignment(1003), qs("1/2/3"));
    EXPECT_LT(test::positionOf(*list, qs("1003")), position);
    // The row that moved up into the position is the one selected and shown.
    EXPECT_EQ(selectedPosition(), position);
    const QStringList selected = selectedRow();
    ASSERT_EQ(selected.size(), 8);
    EXPECT_EQ(selected[0], previousNeighbour);
    EXPECT_EQ(shown(facility), selected[4]);
    EXPECT_EQ(shown(route), selected[2] + qs("(") + selected[6] + qs(")"));
    expectMode(false);
}

TEST_F(AssignmentPageTest, CancelDropsTheChoices) {
    clickCenter("1003");
    click(change);
    pickEntry(route, qs("Downtown Loop(01)"));
    pickEntry(location, qs("Ambient aisle A, rear(2)"));
    click(cancel);
    expectMode(false);
    EXPECT_EQ(shown(route), qs("Northern Suburbs(03)"));
    EXPECT_EQ(shown(location), qs("Chilled <2-4 °C>(3)"));
    EXPECT_EQ(assignment(1003), qs("1/3/3"));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(AssignmentPageTest, SwitchingActiveAndAllLeavesEditModeAndForgetsTheCenter) {
    clickCenter("1003");
    click(change);
    pickEntry(route, qs("Downtown Loop(01)"));

    click(allCenters);
    expectMode(false);
    EXPECT_EQ(list->count(), 40);
    EXPECT_EQ(selectedPosition(), 0);
    click(activeCenters);
    expectMode(false);
    EXPECT_EQ(list->count(), 30);

    EXPECT_EQ(assignment(1003), qs("1/3/3"));
    EXPECT_TRUE(boxes.shown().empty()) << boxes.prompts().join(qs(" | ")).toStdString();

    // A host's reload lists the centers as the option says.
    click(allCenters);
    reload();
    EXPECT_EQ(list->count(), 40);
    click(activeCenters);
    reload();
    EXPECT_EQ(list->count(), 30);

    // A refilter in idle mode forgets the center: an update is reported, not sent.
    clickCenter("1003");
    click(allCenters);
    click(change);
    expectMode(true);
    pickEntry(route, qs("Evening Express(10)"));
    click(change);
    expectOneReport("ChangeStowline");
    EXPECT_EQ(change->text(), qs("Update"));
    EXPECT_EQ(assignment(1003), qs("1/3/3"));
}

} // namespace
} // namespace stowline::test
