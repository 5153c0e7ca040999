// The seven updates: each changes exactly its rows, and each kind of bad request is refused
// with a soap:Client fault that says why, leaving the database as it was.
#include "support/ServerTestSupport.h"

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

// "Name=value;Name=value" in that order. `change` replaces one value ("Name=value") or leaves
// the element out ("Name").
Values values(const std::string& text, const std::string& change = {}) {
    Values result;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        const std::size_t equals = text.find('=', start);
        const std::string name = text.substr(start, equals - start);
        if (change.starts_with(name + "=")) {
            result.emplace_back(name, change.substr(name.size() + 1));
        } else if (change != name) {
            result.emplace_back(name, text.substr(equals + 1, end - equals - 1));
        }
        start = end + 1;
    }
    return result;
}

QStringList lines(const char* text) {
    return *text == '\0' ? QStringList{} : QStringList{QString::fromUtf8(text)};
}

class ServerUpdates : public ::testing::Test {
protected:
    ServerUpdates() { server.execute(QString::fromUtf8(SeedData)); }

    StandInServer server{StandInServer::Data::Empty};
};

} // namespace

TEST_F(ServerUpdates, EachUpdateChangesExactlyItsRows) {
    struct Change {
        const char* operation;
        const char* values;
        const char* added;
        const char* removed;
    };
    // Applied in order; each difference is against the state the previous one left.
    const Change changes[] = {
        {"AddDeliveryRoute", "FacilityID=2;Route= S2 ;Description=New & <b>",
         "route|4|2|' S2 '|'New & <b>'", ""},
        {"UpdateDeliveryRoute", "FacilityID=2;DeliveryRouteID=2;Route=02;Description=Airport west",
         "route|2|2|'02'|'Airport west'", "route|2|1|'02'|'Airport'"},
        // A route may keep its own code when it is changed.
        {"UpdateDeliveryRoute", "FacilityID=2;DeliveryRouteID=2;Route=02;Description=Airport",
         "route|2|2|'02'|'Airport'", "route|2|2|'02'|'Airport west'"},
        {"DeleteDeliveryRoute", "DeliveryRouteID=4", "", "route|4|2|' S2 '|'New & <b>'"},
        // The next key is one above the highest in use.
        {"AddDeliveryRoute", "FacilityID=1;Route=S2;Description=Same code, other facility",
         "route|4|1|'S2'|'Same code, other facility'", ""},
        {"AddStorageLocation", "TOVAFacilityID=1;RouteName=;Description=Floor",
         "bay|4|1|''|'Floor'", ""},
        {"UpdateStorageLocation",
         "StorageLocationID=4;TOVAFacilityID= 2 ;RouteName=Étage-9;Description=Floor > 9",
         "bay|4|2|'Étage-9'|'Floor > 9'", "bay|4|1|''|'Floor'"},
        {"DeleteStorageLocation", "StorageLocationID=4", "", "bay|4|2|'Étage-9'|'Floor > 9'"},
        // An assignment also moves the center to the facility sent; 0 clears a part of it.
        {"UpdateCenterRouteAndStorageLocation",
         "FacilityID=2;CenterID=11;RouteID=3;StorageLocationID=3",
         "center|11|'Center Eleven'|2|3|3|'1'", "center|11|'Center Eleven'|1|NULL|NULL|'1'"},
        {"UpdateCenterRouteAndStorageLocation",
         "FacilityID=1;CenterID=10;RouteID=0;StorageLocationID=2",
         "center|10|'Center Ten'|1|NULL|2|'2'", "center|10|'Center Ten'|1|1|1|'2'"},
        {"UpdateCenterRouteAndStorageLocation",
         "FacilityID=2;CenterID=12;RouteID=0;StorageLocationID=0",
         "center|12|'Center Twelve'|2|NULL|NULL|'2'", "center|12|'Center Twelve'|2|3|3|'2'"},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.values);
        const QStringList before = databaseDump(server);
        const HttpResult answer = postUpdate(server, change.operation, values(change.values));
        ASSERT_EQ(answer.status, 200) << answer.body;
        const auto [added, removed] = dumpDifference(before, databaseDump(server));
        EXPECT_EQ(added, lines(change.added));
        EXPECT_EQ(removed, lines(change.removed));
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
    // A valid request of each operation, which each case changes in one value.
    const std::map<std::string, std::string> valid = {
        {"AddDeliveryRoute", "FacilityID=1;Route=09;Description=Fine"},
        {"UpdateDeliveryRoute", "FacilityID=1;DeliveryRouteID=2;Route=02;Description=Fine"},
        {"DeleteDeliveryRoute", "DeliveryRouteID=2"},
        {"AddStorageLocation", "TOVAFacilityID=1;RouteName=B-9;Description=Fine"},
        {"UpdateStorageLocation",
         "StorageLocationID=2;TOVAFacilityID=1;RouteName=A-02;Description=Fine"},
        {"DeleteStorageLocation", "StorageLocationID=2"},
        {"UpdateCenterRouteAndStorageLocation",
         "FacilityID=1;CenterID=11;RouteID=2;StorageLocationID=2"},
    };
    const std::string fiftyOne = "Description=" + std::string(51, 'd');
    struct Case {
        const char* operation;
        std::string change;
        const char* fault;
    };
    const Case cases[] = {
        // Keys that are not numbers, or name no row.
        {"AddDeliveryRoute", "FacilityID=x", "FacilityID must be a whole number, not \"x\""},
        {"AddDeliveryRoute", "FacilityID=9", "There is no facility with FacilityID 9"},
        {"AddDeliveryRoute", "FacilityID=40000", "There is no facility with FacilityID 40000"},
        {"UpdateDeliveryRoute", "DeliveryRouteID=99", "There is no route with DeliveryRouteID 99"},
        {"UpdateDeliveryRoute", "FacilityID=3", "There is no facility with FacilityID 3"},
        {"DeleteDeliveryRoute", "DeliveryRouteID=abc",
         "DeliveryRouteID must be a whole number, not \"abc\""},
        {"DeleteDeliveryRoute", "DeliveryRouteID=-1", "There is no route with DeliveryRouteID -1"},
        {"AddStorageLocation",
         "TOVAFacilityID=", "TOVAFacilityID must be a whole number, not \"\""},
        {"AddStorageLocation", "TOVAFacilityID=7", "There is no facility with TOVAFacilityID 7"},
        {"UpdateStorageLocation", "StorageLocationID=99",
         "There is no storage location with StorageLocationID 99"},
        {"DeleteStorageLocation", "StorageLocationID=99",
         "There is no storage location with StorageLocationID 99"},
        {"UpdateCenterRouteAndStorageLocation", "CenterID=99",
         "There is no center with CenterID 99"},
        {"UpdateCenterRouteAndStorageLocation", "FacilityID=9",
         "There is no facility with FacilityID 9"},
        {"UpdateCenterRouteAndStorageLocation", "RouteID=99", "There is no route with RouteID 99"},
        {"UpdateCenterRouteAndStorageLocation", "StorageLocationID=1.5",
         "StorageLocationID must be a whole number, not \"1.5\""},
        // A route or bay of another facility than the one sent.
        {"UpdateCenterRouteAndStorageLocation", "RouteID=3",
         "The route with RouteID 3 does not belong to North (FacilityID 1)"},
        {"UpdateCenterRouteAndStorageLocation", "StorageLocationID=3",
         "The storage location with StorageLocationID 3 does not belong to North (FacilityID 1)"},
        // Text too long, or empty where a value is required.
        {"AddDeliveryRoute", fiftyOne, "Description is 51 characters long; at most 50 are allowed"},
        // Characters are counted, not bytes.
        {"AddDeliveryRoute", "Route=ééééééééééé",
         "Route is 11 characters long; at most 10 are allowed"},
        {"AddDeliveryRoute", "Route=   ", "Route must not be empty"},
        {"AddDeliveryRoute", "Description=", "Description must not be empty"},
        {"UpdateDeliveryRoute", "Description= ", "Description must not be empty"},
        {"AddStorageLocation", "RouteName=" + std::string(21, 'n'),
         "RouteName is 21 characters long; at most 20 are allowed"},
        {"AddStorageLocation", "Description=  ", "Description must not be empty"},
        {"UpdateStorageLocation", fiftyOne,
         "Description is 51 characters long; at most 50 are allowed"},
        // A route code already used in the facility.
        {"AddDeliveryRoute", "Route=01", "The route \"01\" already exists at North"},
        {"UpdateDeliveryRoute", "Route=01", "The route \"01\" already exists at North"},
        // Deleting what centers still use.
        {"DeleteDeliveryRoute", "DeliveryRouteID=1",
         "The route \"01\" is still assigned to 2 centers; assign them another route first"},
        {"DeleteStorageLocation", "StorageLocationID=1",
         "The storage location \"A-01\" is still assigned to 1 center; assign them another "
         "storage location first"},
        // Elements missing.
        {"AddDeliveryRoute", "Description", "AddDeliveryRoute needs the element Description"},
        {"UpdateCenterRouteAndStorageLocation", "FacilityID",
         "UpdateCenterRouteAndStorageLocation needs the element FacilityID"},
    };
    const QStringList before = databaseDump(server);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        const HttpResult answer =
            postUpdate(server, c.operation, values(valid.at(c.operation), c.change));
        EXPECT_EQ(answer.status, 500);
        EXPECT_EQ(faultOf(answer.body), std::string("soap:Client ") + c.fault);
        EXPECT_EQ(databaseDump(server), before);
    }
    // A character reference the parser decodes into a control character would make every
    // later answer unreadable.
    std::string bell =
        requestEnvelope(updateElement("AddDeliveryRoute", values(valid.at("AddDeliveryRoute"))));
    bell.replace(bell.find("Fine"), 4, "bell&#7;");
    const HttpResult answer = postToEndpoint(server, bell, soapAction("AddDeliveryRoute"));
    EXPECT_EQ(faultOf(answer.body),
              "soap:Client Description holds a character that XML cannot carry");
    EXPECT_EQ(databaseDump(server), before);
}
