// The seven updates: each changes exactly its rows, and each kind of bad request is refused
// with a soap:Client fault that says why, leaving the database as it was.
#include "ServerTestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace stowline::test;

namespace {

// Route 1 serves two centers and bay 1 one; route 2 and bay 2 serve none.
const char* SeedData = R"sql(
INSERT INTO facilities VALUES (1, 'North'), (2, 'South');
INSERT INTO routes VALUES (1, 1, '01', 'Loop', '2024-01-01T00:00:00'),
                          (2, 1, '02', 'Airport', '2024-01-01T00:00:00'),
                          (3, 2, 'S1', 'Harbour', '2024-01-01T00:00:00');
INSERT INTO storage_locations VALUES (1, 1, 'A-01', 'Ambient'), (2, 1, 'A-02', 'Chilled'),
                                     (3, 2, 'S-01', 'Dock');
INSERT INTO centers VALUES (10, 'Center Ten', 1, 1, 1, '2'),
                           (11, 'Center Eleven', 1, NULL, NULL, '1'),
                           (12, 'Center Twelve', 2, 3, 3, '2'),
                           (13, 'Center Thirteen', 1, 1, 2, '2');
)sql";

using Values = std::vector<std::pair<std::string, std::string>>;

struct Change {
    const char* operation;
    Values values;
    QStringList added;
    QStringList removed;
};

QStringList lines(std::initializer_list<const char*> texts) {
    QStringList result;
    for (const char* text : texts) {
        result << QString::fromUtf8(text);
    }
    return result;
}

class ServerUpdates : public ::testing::Test {
protected:
    ServerUpdates() { server.execute(QString::fromUtf8(SeedData)); }

    StandInServer server{StandInServer::Data::Empty};
};

} // namespace

TEST_F(ServerUpdates, EachUpdateChangesExactlyItsRows) {
    // Applied in order; each difference is against the state the previous one left.
    const Change changes[] = {
        {"AddDeliveryRoute",
         {{"FacilityID", "2"}, {"Route", " S2 "}, {"Description", "New & <b>"}},
         lines({"route|4|2|' S2 '|'New & <b>'"}),
         {}},
        {"UpdateDeliveryRoute",
         {{"FacilityID", "2"},
          {"DeliveryRouteID", "2"},
          {"Route", "02"},
          {"Description", "Airport west"}},
         lines({"route|2|2|'02'|'Airport west'"}),
         lines({"route|2|1|'02'|'Airport'"})},
        // A route may keep its own code when it is changed.
        {"UpdateDeliveryRoute",
         {{"FacilityID", "2"},
          {"DeliveryRouteID", "2"},
          {"Route", "02"},
          {"Description", "Airport"}},
         lines({"route|2|2|'02'|'Airport'"}),
         lines({"route|2|2|'02'|'Airport west'"})},
        {"DeleteDeliveryRoute",
         {{"DeliveryRouteID", "4"}},
         {},
         lines({"route|4|2|' S2 '|'New & <b>'"})},
        // The next key is one above the highest in use.
        {"AddDeliveryRoute",
         {{"FacilityID", "1"}, {"Route", "S2"}, {"Description", "Same code, other facility"}},
         lines({"route|4|1|'S2'|'Same code, other facility'"}),
         {}},
        {"AddStorageLocation",
         {{"TOVAFacilityID", "1"}, {"RouteName", ""}, {"Description", "Floor"}},
         lines({"bay|4|1|''|'Floor'"}),
         {}},
        {"UpdateStorageLocation",
         {{"StorageLocationID", "4"},
          {"TOVAFacilityID", " 2 "},
          {"RouteName", "Étage-9"},
          {"Description", "Floor > 9"}},
         lines({"bay|4|2|'Étage-9'|'Floor > 9'"}),
         lines({"bay|4|1|''|'Floor'"})},
        {"DeleteStorageLocation",
         {{"StorageLocationID", "4"}},
         {},
         lines({"bay|4|2|'Étage-9'|'Floor > 9'"})},
        // An assignment also moves the center to the facility sent.
        {"UpdateCenterRouteAndStorageLocation",
         {{"FacilityID", "2"}, {"CenterID", "11"}, {"RouteID", "3"}, {"StorageLocationID", "3"}},
         lines({"center|11|'Center Eleven'|2|3|3|'1'"}),
         lines({"center|11|'Center Eleven'|1|NULL|NULL|'1'"})},
        // 0 clears that part of the assignment.
        {"UpdateCenterRouteAndStorageLocation",
         {{"FacilityID", "1"}, {"CenterID", "10"}, {"RouteID", "0"}, {"StorageLocationID", "2"}},
         lines({"center|10|'Center Ten'|1|NULL|2|'2'"}),
         lines({"center|10|'Center Ten'|1|1|1|'2'"})},
        {"UpdateCenterRouteAndStorageLocation",
         {{"FacilityID", "2"}, {"CenterID", "12"}, {"RouteID", "0"}, {"StorageLocationID", "0"}},
         lines({"center|12|'Center Twelve'|2|NULL|NULL|'2'"}),
         lines({"center|12|'Center Twelve'|2|3|3|'2'"})},
    };
    for (const Change& change : changes) {
        const QStringList before = databaseDump(server);
        const HttpResult answer = postUpdate(server, change.operation, change.values);
        ASSERT_EQ(answer.status, 200) << change.operation << ": " << answer.body;
        const auto [added, removed] = dumpDifference(before, databaseDump(server));
        EXPECT_EQ(added, change.added) << change.operation;
        EXPECT_EQ(removed, change.removed) << change.operation;
    }
    // Adding and changing a route stamps it with the time of the change.
    const QRegularExpression stamp(QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$)"));
    for (const QString& value : server.queryColumn(
             QStringLiteral("SELECT last_updated FROM routes WHERE route_id IN (2, 4)"))) {
        EXPECT_TRUE(stamp.match(value).hasMatch()) << value.toStdString();
        EXPECT_NE(value, QStringLiteral("2024-01-01T00:00:00"));
    }
}

TEST_F(ServerUpdates, BadRequestsAreRefusedAndChangeNothing) {
    const std::string fiftyOne(51, 'd');
    const std::string twentyOne(21, 'n');
    struct Case {
        const char* operation;
        Values values;
        std::string fault;
    };
    const Values route{{"FacilityID", "1"}, {"Route", "09"}, {"Description", "Fine"}};
    const auto with = [](Values values, const std::string& name, const std::string& value) {
        for (auto& [key, text] : values) {
            if (key == name) {
                text = value;
            }
        }
        return values;
    };
    const Values routeUpdate{
        {"FacilityID", "1"}, {"DeliveryRouteID", "2"}, {"Route", "02"}, {"Description", "Fine"}};
    const Values bay{{"TOVAFacilityID", "1"}, {"RouteName", "B-9"}, {"Description", "Fine"}};
    const Values bayUpdate{{"StorageLocationID", "2"},
                           {"TOVAFacilityID", "1"},
                           {"RouteName", "A-02"},
                           {"Description", "Fine"}};
    const Values assignment{
        {"FacilityID", "1"}, {"CenterID", "11"}, {"RouteID", "2"}, {"StorageLocationID", "2"}};
    const Case cases[] = {
        // Keys that are not numbers, or name no row.
        {"AddDeliveryRoute", with(route, "FacilityID", "x"),
         "FacilityID must be a whole number, not \"x\""},
        {"AddDeliveryRoute", with(route, "FacilityID", "9"),
         "There is no facility with FacilityID 9"},
        {"AddDeliveryRoute", with(route, "FacilityID", "40000"),
         "There is no facility with FacilityID 40000"},
        {"UpdateDeliveryRoute", with(routeUpdate, "DeliveryRouteID", "99"),
         "There is no route with DeliveryRouteID 99"},
        {"UpdateDeliveryRoute", with(routeUpdate, "FacilityID", "3"),
         "There is no facility with FacilityID 3"},
        {"DeleteDeliveryRoute",
         {{"DeliveryRouteID", "abc"}},
         "DeliveryRouteID must be a whole number, not \"abc\""},
        {"DeleteDeliveryRoute",
         {{"DeliveryRouteID", "-1"}},
         "There is no route with DeliveryRouteID -1"},
        {"AddStorageLocation", with(bay, "TOVAFacilityID", ""),
         "TOVAFacilityID must be a whole number, not \"\""},
        {"AddStorageLocation", with(bay, "TOVAFacilityID", "7"),
         "There is no facility with TOVAFacilityID 7"},
        {"UpdateStorageLocation", with(bayUpdate, "StorageLocationID", "99"),
         "There is no storage location with StorageLocationID 99"},
        {"DeleteStorageLocation",
         {{"StorageLocationID", "99"}},
         "There is no storage location with StorageLocationID 99"},
        {"UpdateCenterRouteAndStorageLocation", with(assignment, "CenterID", "99"),
         "There is no center with CenterID 99"},
        {"UpdateCenterRouteAndStorageLocation", with(assignment, "FacilityID", "9"),
         "There is no facility with FacilityID 9"},
        {"UpdateCenterRouteAndStorageLocation", with(assignment, "RouteID", "99"),
         "There is no route with RouteID 99"},
        {"UpdateCenterRouteAndStorageLocation", with(assignment, "StorageLocationID", "1.5"),
         "StorageLocationID must be a whole number, not \"1.5\""},
        // A route or bay of another facility than the one sent.
        {"UpdateCenterRouteAndStorageLocation", with(assignment, "RouteID", "3"),
         "The route with RouteID 3 does not belong to North (FacilityID 1)"},
        {"UpdateCenterRouteAndStorageLocation", with(assignment, "StorageLocationID", "3"),
         "The storage location with StorageLocationID 3 does not belong to North (FacilityID 1)"},
        // Text too long, or empty where a value is required.
        {"AddDeliveryRoute", with(route, "Route", "12345678901"),
         "Route is 11 characters long; at most 10 are allowed"},
        {"AddDeliveryRoute", with(route, "Description", fiftyOne),
         "Description is 51 characters long; at most 50 are allowed"},
        {"AddDeliveryRoute", with(route, "Route", ""), "Route must not be empty"},
        {"AddDeliveryRoute", with(route, "Route", "   "), "Route must not be empty"},
        {"AddDeliveryRoute", with(route, "Description", ""), "Description must not be empty"},
        {"UpdateDeliveryRoute", with(routeUpdate, "Description", " "),
         "Description must not be empty"},
        {"AddStorageLocation", with(bay, "RouteName", twentyOne),
         "RouteName is 21 characters long; at most 20 are allowed"},
        {"AddStorageLocation", with(bay, "Description", "  "), "Description must not be empty"},
        {"UpdateStorageLocation", with(bayUpdate, "Description", fiftyOne),
         "Description is 51 characters long; at most 50 are allowed"},
        // A route code already used in the facility.
        {"AddDeliveryRoute", with(route, "Route", "01"),
         "The route \"01\" already exists at North"},
        {"UpdateDeliveryRoute", with(routeUpdate, "Route", "01"),
         "The route \"01\" already exists at North"},
        // Deleting what centers still use.
        {"DeleteDeliveryRoute",
         {{"DeliveryRouteID", "1"}},
         "The route \"01\" is still assigned to 2 centers; assign them another route first"},
        {"DeleteStorageLocation",
         {{"StorageLocationID", "1"}},
         "The storage location \"A-01\" is still assigned to 1 center; assign them another "
         "storage location first"},
        // Elements missing.
        {"AddDeliveryRoute",
         {{"FacilityID", "1"}, {"Route", "09"}},
         "AddDeliveryRoute needs the element Description"},
        {"UpdateCenterRouteAndStorageLocation",
         {},
         "UpdateCenterRouteAndStorageLocation needs the element FacilityID"},
    };

    const QStringList before = databaseDump(server);
    for (const Case& c : cases) {
        const HttpResult answer = postUpdate(server, c.operation, c.values);
        EXPECT_EQ(answer.status, 500) << c.fault;
        const auto fault = faultOf(answer.body);
        ASSERT_TRUE(fault) << answer.body;
        EXPECT_EQ(fault->code, "soap:Client");
        EXPECT_EQ(fault->text, c.fault) << c.operation;
        EXPECT_EQ(databaseDump(server), before) << c.fault;
    }
}

TEST_F(ServerUpdates, RefusesCharactersXmlCannotCarry) {
    // A character reference the parser decodes into a control character would make every
    // later answer unreadable.
    const QStringList before = databaseDump(server);
    const std::string body = requestEnvelope(
        "<AddDeliveryRoute xmlns=\"http://tempuri.org/TOVAStowlines/Service1\">"
        "<FacilityID>1</FacilityID><Route>09</Route><Description>bell&#7;</Description>"
        "</AddDeliveryRoute>");
    const HttpResult answer = postToEndpoint(server, body, soapAction("AddDeliveryRoute"));
    EXPECT_EQ(answer.status, 500);
    const auto fault = faultOf(answer.body);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->text, "Description holds a character that XML cannot carry");
    EXPECT_EQ(databaseDump(server), before);
}
