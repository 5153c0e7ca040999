// The assignment page as an operator uses it against the stand-in service: showing a center's
// assignment, changing it, cancelling, and the service's state afterwards.
#include "AssignmentDriver.h"

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
    EXPECT_EQ(entries(route),
              QStringList(std::begin(NorthfieldRoutes), std::end(NorthfieldRoutes)));
    EXPECT_EQ(entries(location),
              QStringList({qs("Overflow floor (no bay name)(5)"), qs("Ambient aisle A, front(1)"),
                           qs("Ambient aisle A, rear(2)"), qs("Chilled <2-4 °C>(3)"),
                           qs("Frozen & ice cream(4)")}));
    EXPECT_TRUE(boxes.shown().empty()) << boxes.prompts().join(qs(" | ")).toStdString();
}

TEST_F(AssignmentPageTest, AssignsAnotherRouteAndBayAndShowsWhatTheServiceHolds) {
    clickCenter("1003");
    const int position = selectedPosition();
    click(change);
    expectMode(true);
    EXPECT_TRUE(hasFocus(route));

    pickEntry(route, qs("Evening Express(10)"));
    pickEntry(location, qs("Frozen & ice cream(4)"));
    click(change);

    EXPECT_EQ(assignment(1003), qs("1/4/4"));
    EXPECT_EQ(selectedPosition(), position);
    EXPECT_EQ(selectedRow(),
              QStringList({qs("1003"), qs("Riverside Pharmacy"), qs("Evening Express"),
                           qs("Frozen & ice cream"), qs("Northfield Distribution Center"), qs("1"),
                           qs("10"), qs("4")}));
    EXPECT_EQ(shown(route), qs("Evening Express(10)"));
    EXPECT_EQ(shown(location), qs("Frozen & ice cream(4)"));
    expectMode(false);
    // No confirmation: the list is the answer.
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

TEST_F(AssignmentPageTest, TheSamePositionIsSelectedAfterAnUpdateEvenWhenTheCenterMoved) {
    clickHeader(3); // sort by route description
    ASSERT_EQ(list->sortKey(), 2);
    clickCenter("1003"); // "Northern Suburbs" sorts after "Airport & Industrial Park"
    const int position = selectedPosition();
    ASSERT_GT(position, 1);
    const QString previousNeighbour = list->text(list->itemAt(position - 1));
    click(change);
    pickEntry(route, qs("Airport & Industrial Park(02)"));
    click(change);

    EXPECT_EQ(assignment(1003), qs("1/2/3"));
    EXPECT_LT(positionOf(qs("1003")), position);
    // The row that moved up into the position is the one selected and shown.
    EXPECT_EQ(selectedPosition(), position);
    const QStringList selected = selectedRow();
    ASSERT_EQ(selected.size(), 8);
    EXPECT_EQ(selected[0], previousNeighbour);
    EXPECT_EQ(shown(facility), selected[4]);
    EXPECT_EQ(shown(route), selected[2] + qs("(") + selected[6] + qs(")"));
    expectMode(false);
}

TEST_F(AssignmentPageTest, ChangeBeforeAnyCenterWasClickedAsksForOne) {
    click(change);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].prompt,
              qs("Please select center to assign Delivery Route and/or Storage Loaction."));
    EXPECT_EQ(boxes.shown()[0].style, 64);
    EXPECT_EQ(boxes.shown()[0].title, qs("Information Required"));
    expectMode(false);
}

TEST_F(AssignmentPageTest, CancelDropsTheChoicesAndSendsNothing) {
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

TEST_F(AssignmentPageTest, AnotherFacilityChosenInEditModeIsSentWithTheCenter) {
    clickCenter("1003");
    click(change);
    pickEntry(facility, qs("Harbour Point Cross-Dock"));
    EXPECT_EQ(entries(route),
              QStringList({qs("Harbour Front(H1)"), qs("Bayview <Overnight>(H2)"),
                           qs("Old Town & Market(H3)"), qs("Coastal Highway(H4)")}));
    EXPECT_EQ(shown(route), qs("Harbour Front(H1)"));
    EXPECT_EQ(shown(location), qs("Dock 1 staging(6)"));
    expectMode(true);

    pickEntry(route, qs("Coastal Highway(H4)"));
    pickEntry(location, qs("Quarantine cage(8)"));
    click(change);

    EXPECT_EQ(assignment(1003), qs("2/8/8"));
    EXPECT_EQ(selectedRow(),
              QStringList({qs("1003"), qs("Riverside Pharmacy"), qs("Coastal Highway"),
                           qs("Quarantine cage"), qs("Harbour Point Cross-Dock"), qs("2"), qs("H4"),
                           qs("8")}));
    EXPECT_EQ(shown(facility), qs("Harbour Point Cross-Dock"));
    expectMode(false);
    EXPECT_TRUE(boxes.shown().empty()) << boxes.prompts().join(qs(" | ")).toStdString();
}

TEST_F(AssignmentPageTest, ClickingAnotherCenterInEditModeAssignsThatOne) {
    clickCenter("1003");
    click(change);
    clickCenter("1016");
    expectMode(true);
    EXPECT_EQ(shown(facility), qs("Harbour Point Cross-Dock"));
    EXPECT_EQ(shown(route), qs("Bayview <Overnight>(H2)"));
    pickEntry(route, qs("Harbour Front(H1)"));
    click(change);

    EXPECT_EQ(assignment(1016), qs("2/5/7"));
    EXPECT_EQ(assignment(1003), qs("1/3/3"));
}

TEST_F(AssignmentPageTest, SwitchingActiveAndAllInEditModeLeavesEditModeWithoutSending) {
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
}

} // namespace
} // namespace stowline::test
