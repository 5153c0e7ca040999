// The assignment page on data shaped for its edge cases: facilities without routes or bays,
// assignments that match no entry, keys beyond 16 bits, a service that refuses, and lists that
// change under the page. (A refused or lost assignment, and sending it again: LostAnswerTests.)
#include "support/AssignmentDriver.h"

namespace stowline::test {
namespace {

// Northfield holds routes 1 to 4 and bays 1 to 5; Harbour Point routes 5 to 8, bays 6 to 10.
class ShapedAssignmentTest : public AssignmentPageTest {
protected:
    void seed() override {
        server->execute(
            qs("INSERT INTO facilities VALUES (4, 'Westgate Annex'), (5, 'Eastgate Annex'),"
               "  (6, 'Southgate Annex');"
               "INSERT INTO routes VALUES (13, 5, 'E5', 'Eastgate Shuttle', '2024-01-01T00:00:00'),"
               "  (14, 1, '77', 'Spare Run', '2024-01-01T00:00:00');"
               "INSERT INTO storage_locations VALUES (16, 6, 'S-01', 'Southgate floor');"
               // A center whose route and bay belong to another facility than its own, and one
               // whose route key is no number.
               "UPDATE centers SET route_id = 5, storage_location_id = 6 WHERE center_id = 1005;"
               "UPDATE centers SET route_id = 'R2' WHERE center_id = 1011;"
               // Keys the service holds but a 16-bit request cannot carry.
               "PRAGMA ignore_check_constraints = ON;"
               "INSERT INTO facilities VALUES (40003, 'Zenith Depot');"
               "INSERT INTO routes VALUES (40001, 1, '99', 'Night Owl', '2024-01-01T00:00:00');"
               "INSERT INTO storage_locations VALUES (40002, 1, 'Y-01', 'Spillover yard');"
               "INSERT INTO centers VALUES (40000, 'Far Reach Outpost', 1, 1, 1, '2');"));
    }
};

TEST_F(ShapedAssignmentTest, FacilitiesWithoutRoutesOrBaysOfferPlaceholdersAndClearTheCenter) {
    struct Case {
        const char *center, *facility, *route, *bay; // the pick lists' one entry each
        const char* held;                            // facility/route/bay afterwards
    };
    const Case cases[] = {
        {"1001", "Westgate Annex", "No Routes Found", "Not Locations Found", "4//"},
        {"1002", "Eastgate Annex", "Eastgate Shuttle(E5)", "Not Locations Found", "5/13/"},
        {"1003", "Southgate Annex", "No Routes Found", "Southgate floor(16)", "6//16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.facility);
        clickCenter(c.center);
        click(change);
        pickEntry(facility, qs(c.facility));
        EXPECT_EQ(entries(*route), QStringList{qs(c.route)});
        EXPECT_EQ(entries(*location), QStringList{qs(c.bay)});
        for (controls::DropDown* pickList : {route, location}) {
            EXPECT_EQ(pickList->listIndex(), 0);
            if (pickList->itemData(0) == 0) { // a placeholder: white, disabled and locked
                EXPECT_EQ(pickList->backColour(), QColor(Qt::white));
                EXPECT_FALSE(pickList->isEnabled());
                EXPECT_TRUE(pickList->locked());
            }
        }
        click(change);

        EXPECT_EQ(assignment(QByteArray(c.center).toInt()), qs(c.held));
        const QStringList row = selectedRow();
        ASSERT_EQ(row.size(), 8);
        EXPECT_EQ(row[0], qs(c.center));
        EXPECT_EQ(row[4], qs(c.facility));
        EXPECT_EQ(row[2].isEmpty(), qs(c.route) == "No Routes Found");
        EXPECT_EQ(row[3].isEmpty(), qs(c.bay) == "Not Locations Found");
        expectMode(false);
    }
    EXPECT_TRUE(boxes.shown().empty()) << boxes.prompts().join(qs(" | ")).toStdString();
}

TEST_F(ShapedAssignmentTest, AnAssignmentMatchingNoEntryShowsNoneAndAnUpdateKeepsIt) {
    clickCenter("1003"); // shows route 3 and bay 3
    clickCenter("1005"); // route and bay of Harbour Point, center of Northfield
    EXPECT_EQ(shown(facility), qs("Northfield Distribution Center"));
    EXPECT_EQ(location->listIndex(), -1);
    EXPECT_EQ(route->listIndex(), -1);
    // Sent untouched, the center's own route and bay go back; this service refuses them for a
    // center of another facility, and nothing changes.
    click(change);
    click(change);
    expectOneReport("ReturnWebserviceXML", "does not belong to");
    EXPECT_EQ(assignment(1005), qs("1/5/6"));
    click(cancel);
    clearRecords();

    // Another client renames bay 3; an assignment re-queries the centers but not the bays, so
    // the bay's entry keeps its old text while center 1003 shows the new one.
    server->execute(qs("UPDATE storage_locations SET description = 'Chilled room'"
                       " WHERE storage_location_id = 3"));
    clickCenter("1001");
    click(change);
    click(change);
    ASSERT_EQ(assignment(1001), qs("1/1/1"));
    clickCenter("1003");
    EXPECT_EQ(selectedRow().value(3), qs("Chilled room"));
    EXPECT_EQ(shown(location), QString());
    EXPECT_EQ(shown(route), qs("Northern Suburbs(03)"));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ShapedAssignmentTest, ARouteKeyThatIsNoNumberIsReportedAfterTheBayWasShown) {
    clickCenter("1003");
    clickCenter("1011"); // bay 4, route key "R2"
    expectOneReport("lstStowline_Click()", "Error Description - Type mismatch");
    EXPECT_EQ(shown(location), qs("Frozen & ice cream(4)"));
    EXPECT_EQ(shown(route), qs("Downtown Loop(01)"));
}

TEST_F(ShapedAssignmentTest, KeysBeyondSixteenBitsAreReportedAndNothingIsSent) {
    struct Case {
        const char *center, *facility, *route, *bay; // what is picked; nullptr: the center's own
        const char* held;
    };
    const Case cases[] = {
        {"40000", nullptr, "Airport & Industrial Park(02)", nullptr, "1/1/1"},
        {"1003", nullptr, "Night Owl(99)", nullptr, "1/3/3"},
        {"1003", nullptr, nullptr, "Spillover yard(40002)", "1/3/3"},
        {"1003", "Zenith Depot", nullptr, nullptr, "1/3/3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held);
        SCOPED_TRACE(c.center);
        clickCenter(c.center);
        click(change);
        if (c.facility != nullptr) {
            pickEntry(facility, qs(c.facility));
        }
        if (c.route != nullptr) {
            pickEntry(route, qs(c.route));
        }
        if (c.bay != nullptr) {
            pickEntry(location, qs(c.bay));
        }
        clearRecords();
        click(change);

        expectOneReport("ChangeStowline", "Error Description - Overflow");
        EXPECT_EQ(change->text(), qs("Update"));
        EXPECT_EQ(assignment(QByteArray(c.center).toInt()), qs(c.held));
        click(cancel);
        expectMode(false);
        clearRecords();
    }
}

TEST_F(AssignmentPageTest, CancelOnAnEmptyListOnlyResetsTheButtonsAndPickLists) {
    clickCenter("1003");
    click(change);
    // The host loads again after every center became inactive: the page is still editing.
    server->execute(qs("UPDATE centers SET status = '1'"));
    reload();
    ASSERT_EQ(list->count(), 0);
    ASSERT_EQ(change->text(), qs("Update"));

    click(cancel);
    expectMode(false);
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(assignment(1003), qs("1/3/3"));
    EXPECT_TRUE(boxes.shown().empty()) << boxes.prompts().join(qs(" | ")).toStdString();
}

} // namespace
} // namespace stowline::test
