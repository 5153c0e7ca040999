// The component's own client against the stand-in server: queries come back as data-set text
// whose rows read back with the stored values, and the senders learn whether an update was
// accepted.
#include "ServerTestSupport.h"
#include "service/ServiceClient.h"
#include "support/Recorders.h"

#include <gtest/gtest.h>

using namespace stowline::test;
using stowline::service::QueryOperation;
using stowline::service::ServiceClient;

namespace {

// What every unwrapped answer but the facilities one begins with: the client rewrites the
// declaration and keeps the line break its serialiser writes after it.
const QString DeclarationLine = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n");

// Values with markup characters, blanks at both ends and text beyond ASCII, and rows whose
// route, bay or status are NULL.
const char* AwkwardData = R"sql(
INSERT INTO facilities VALUES (1, 'Ampersand & Co'), (2, 'Straße <Nord> > Süd');
INSERT INTO routes VALUES (1, 1, 'R&1', '<b>bold</b> & more', '2024-05-01T08:30:00'),
                          (2, 2, 'Ü1', '  padded  ', '2024-05-02T09:00:00');
INSERT INTO storage_locations VALUES (1, 1, 'B<1>', 'Kühl & trocken'), (2, 2, '', '東京 > 大阪');
INSERT INTO centers VALUES (100, 'A&B <Center> > all', 1, 1, 1, '2'),
                           (101, 'Ωmega', 2, NULL, NULL, '1'),
                           (102, 'No status', 2, 2, NULL, NULL);
)sql";

std::vector<DataSetRow> queryRows(ServiceClient& client, QueryOperation operation) {
    return dataSetRows(client.query(operation));
}

class ServerRoundTrip : public ::testing::Test {
protected:
    ServerRoundTrip() { client.setServerName(server.serverName()); }

    MessageBoxRecorder boxes;
    EventLogRecorder log;
    StandInServer server{StandInServer::Data::Empty};
    ServiceClient client;
};

} // namespace

TEST_F(ServerRoundTrip, QueriesReadBackEveryValueAndLeaveOutNulls) {
    server.execute(QString::fromUtf8(AwkwardData));

    const QString facilities = client.query(QueryOperation::GetFacilities);
    EXPECT_TRUE(facilities.startsWith(QStringLiteral("\r\n<Root>")))
        << facilities.left(80).toStdString();
    EXPECT_EQ(dataSetRows(facilities),
              (std::vector<DataSetRow>{
                  {{"Description", "Ampersand & Co"}, {"TOVAFacilityID", "1"}},
                  {{"Description", "Straße <Nord> > Süd"}, {"TOVAFacilityID", "2"}}}));

    const QString routes = client.query(QueryOperation::GetDeliveryRoute);
    EXPECT_TRUE(routes.startsWith(DeclarationLine + QStringLiteral("<Root>")))
        << routes.left(80).toStdString();
    EXPECT_EQ(dataSetRows(routes),
              (std::vector<DataSetRow>{{{"DeliveryRouteID", "1"},
                                        {"Route", "R&1"},
                                        {"Description", "<b>bold</b> & more"},
                                        {"Facility", "Ampersand & Co"},
                                        {"TOVAFacilityID", "1"},
                                        {"RecordLastUpdated", "2024-05-01T08:30:00"}},
                                       {{"DeliveryRouteID", "2"},
                                        {"Route", "Ü1"},
                                        {"Description", "  padded  "},
                                        {"Facility", "Straße <Nord> > Süd"},
                                        {"TOVAFacilityID", "2"},
                                        {"RecordLastUpdated", "2024-05-02T09:00:00"}}}));

    const QString locations = client.query(QueryOperation::GetStorageLocation);
    EXPECT_TRUE(locations.startsWith(DeclarationLine + QStringLiteral("<Root>")));
    EXPECT_EQ(dataSetRows(locations), (std::vector<DataSetRow>{{{"StorageLocationID", "1"},
                                                                {"RouteName", "B<1>"},
                                                                {"Description", "Kühl & trocken"},
                                                                {"Facility", "Ampersand & Co"},
                                                                {"TOVAFacilityID", "1"}},
                                                               {{"StorageLocationID", "2"},
                                                                {"RouteName", ""},
                                                                {"Description", "東京 > 大阪"},
                                                                {"Facility", "Straße <Nord> > Süd"},
                                                                {"TOVAFacilityID", "2"}}}));

    const QString centers = client.query(QueryOperation::GetRelativeData);
    EXPECT_TRUE(centers.startsWith(DeclarationLine + QStringLiteral("<Root>")));
    EXPECT_EQ(dataSetRows(centers),
              (std::vector<DataSetRow>{{{"CenterID", "100"},
                                        {"CenterName", "A&B <Center> > all"},
                                        {"CenterLocation", "Kühl & trocken"},
                                        {"CenterRoute", "<b>bold</b> & more"},
                                        {"Facility", "Ampersand & Co"},
                                        {"DeliveryRouteID", "1"},
                                        {"Route", "R&1"},
                                        {"StorageLocationID", "1"},
                                        {"Status", "2"},
                                        {"TOVAFacilityID", "1"}},
                                       // No route, no bay: those columns are absent.
                                       {{"CenterID", "101"},
                                        {"CenterName", "Ωmega"},
                                        {"Facility", "Straße <Nord> > Süd"},
                                        {"Status", "1"},
                                        {"TOVAFacilityID", "2"}},
                                       {{"CenterID", "102"},
                                        {"CenterName", "No status"},
                                        {"CenterRoute", "  padded  "},
                                        {"Facility", "Straße <Nord> > Süd"},
                                        {"DeliveryRouteID", "2"},
                                        {"Route", "Ü1"},
                                        {"TOVAFacilityID", "2"}}}));
    EXPECT_TRUE(log.entries().isEmpty()) << log.entries().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ServerRoundTrip, EmptyDatabaseGivesDataSetsWithoutRows) {
    for (const QueryOperation operation :
         {QueryOperation::GetFacilities, QueryOperation::GetDeliveryRoute,
          QueryOperation::GetStorageLocation, QueryOperation::GetRelativeData}) {
        const QString text = client.query(operation);
        EXPECT_TRUE(text.contains(QStringLiteral("<NewDataSet></NewDataSet>")))
            << text.toStdString();
        EXPECT_TRUE(dataSetRows(text).empty());
    }
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(ServerRoundTrip, SendersSeeTheirChangesInTheNextQuery) {
    server.execute(QString::fromUtf8(AwkwardData));

    ASSERT_TRUE(client.AddRouteSOAP(1, QStringLiteral(" 07 "), QStringLiteral("North & <East>")));
    const QString newRoute =
        server.queryValue(QStringLiteral("SELECT route_id FROM routes WHERE code = ' 07 '"));
    ASSERT_FALSE(newRoute.isEmpty());
    auto routes = queryRows(client, QueryOperation::GetDeliveryRoute);
    ASSERT_EQ(routes.size(), 3u);
    const auto added = std::find_if(routes.begin(), routes.end(), [](const DataSetRow& row) {
        return row.at("Route") == " 07 ";
    });
    ASSERT_NE(added, routes.end());
    EXPECT_EQ(added->at("Description"), "North & <East>");
    EXPECT_EQ(added->at("TOVAFacilityID"), "1");

    ASSERT_TRUE(client.UpdateRouteSOAP(2, newRoute.toShort(), QStringLiteral("07"),
                                       QStringLiteral("Moved")));
    EXPECT_EQ(
        server.queryValue(QStringLiteral("SELECT facility_id || code || description FROM routes "
                                         "WHERE route_id = ") +
                          newRoute),
        QStringLiteral("207Moved"));

    ASSERT_TRUE(client.AddLocationSOAP(QStringLiteral("2"), QStringLiteral("Ü-9"),
                                       QStringLiteral("Überlauf")));
    const QString newBay = server.queryValue(
        QStringLiteral("SELECT storage_location_id FROM storage_locations WHERE name = 'Ü-9'"));
    ASSERT_FALSE(newBay.isEmpty());
    ASSERT_TRUE(client.UpdateStorageLocationSOAP(newBay.toShort(), QStringLiteral("1"), QString(),
                                                 QStringLiteral("Renamed")));
    const auto locations = queryRows(client, QueryOperation::GetStorageLocation);
    const auto changed =
        std::find_if(locations.begin(), locations.end(), [&](const DataSetRow& row) {
            return row.at("StorageLocationID") == newBay.toStdString();
        });
    ASSERT_NE(changed, locations.end());
    EXPECT_EQ(changed->at("RouteName"), "");
    EXPECT_EQ(changed->at("Description"), "Renamed");
    EXPECT_EQ(changed->at("TOVAFacilityID"), "1");

    // Center 101 moves to facility 1 with its route and the new bay; then loses its route.
    ASSERT_TRUE(client.UpdateCenterRouteAndStorageLocationSOAP(1, 101, 1, newBay.toShort()));
    ASSERT_TRUE(client.UpdateCenterRouteAndStorageLocationSOAP(1, 101, 0, newBay.toShort()));
    const auto centers = queryRows(client, QueryOperation::GetRelativeData);
    const DataSetRow expected{{"CenterID", "101"},
                              {"CenterName", "Ωmega"},
                              {"CenterLocation", "Renamed"},
                              {"Facility", "Ampersand & Co"},
                              {"StorageLocationID", newBay.toStdString()},
                              {"Status", "1"},
                              {"TOVAFacilityID", "1"}};
    EXPECT_NE(std::find(centers.begin(), centers.end(), expected), centers.end());

    ASSERT_TRUE(client.UpdateCenterRouteAndStorageLocationSOAP(1, 101, 0, 0));
    ASSERT_TRUE(client.DeleteLocationSOAP(newBay.toShort()));
    ASSERT_TRUE(client.DeleteRouteSOAP(newRoute.toShort()));
    EXPECT_EQ(queryRows(client, QueryOperation::GetDeliveryRoute).size(), 2u);
    EXPECT_EQ(queryRows(client, QueryOperation::GetStorageLocation).size(), 2u);
    EXPECT_TRUE(log.entries().isEmpty()) << log.entries().join(QLatin1Char('\n')).toStdString();
}

TEST_F(ServerRoundTrip, RefusedUpdatesAreReportedOnceAndChangeNothing) {
    server.execute(QString::fromUtf8(AwkwardData));
    const QStringList before = databaseDump(server);

    struct Case {
        const char* label;
        std::function<bool()> send;
        const char* faultText;
    };
    const Case cases[] = {
        {"duplicate route",
         [&] { return client.AddRouteSOAP(1, QStringLiteral("R&1"), QStringLiteral("x")); },
         "The route \"R&1\" already exists at Ampersand & Co"},
        {"route in use", [&] { return client.DeleteRouteSOAP(1); },
         "The route \"R&1\" is still assigned to 1 center; assign them another route first"},
        {"bay of another facility",
         [&] { return client.UpdateCenterRouteAndStorageLocationSOAP(2, 102, 2, 1); },
         "The storage location with StorageLocationID 1 does not belong to Straße <Nord> > Süd "
         "(FacilityID 2)"},
        {"facility not a number",
         [&] {
             return client.AddLocationSOAP(QStringLiteral("two"), QStringLiteral("B"),
                                           QStringLiteral("x"));
         },
         "TOVAFacilityID must be a whole number, not \"two\""},
    };
    for (const Case& c : cases) {
        log.clear();
        EXPECT_FALSE(c.send()) << c.label;
        ASSERT_EQ(log.entries().size(), 1) << c.label;
        EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("ReturnWebserviceXML")}) << c.label;
        EXPECT_TRUE(log.entries().first().contains(QString::fromUtf8(c.faultText)))
            << c.label << ": " << log.entries().first().toStdString();
    }
    EXPECT_EQ(databaseDump(server), before);
}

TEST(ServerRoundTripDemo, DemoDataReadsBackThroughTheClient) {
    MessageBoxRecorder boxes;
    EventLogRecorder log;
    StandInServer server;
    ServiceClient client;
    client.setServerName(server.serverName());
    EXPECT_EQ(queryRows(client, QueryOperation::GetFacilities).size(), 3u);
    EXPECT_EQ(queryRows(client, QueryOperation::GetDeliveryRoute).size(), 12u);
    EXPECT_EQ(queryRows(client, QueryOperation::GetStorageLocation).size(), 15u);
    const auto centers = queryRows(client, QueryOperation::GetRelativeData);
    ASSERT_EQ(centers.size(), 40u);
    const auto active = std::count_if(centers.begin(), centers.end(), [](const DataSetRow& row) {
        return row.count("Status") != 0 && row.at("Status") == "2";
    });
    EXPECT_GT(active, 0);
    EXPECT_LT(active, 40);
    EXPECT_TRUE(log.entries().isEmpty());
}
