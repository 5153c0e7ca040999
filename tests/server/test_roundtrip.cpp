// The component's own client against the stand-in server: each of its senders is understood,
// and a refusal comes back as a fault the client reports. What the queries answer is checked
// byte for byte in test_protocol.cpp.
#include "ServerTestSupport.h"
#include "service/ServiceClient.h"
#include "support/Recorders.h"

#include <gtest/gtest.h>

using namespace stowline::test;
using stowline::service::ServiceClient;

namespace {

// Values with markup characters and text beyond ASCII, and centers without route, bay or
// status.
const char* AwkwardData = R"sql(
INSERT INTO facilities VALUES (1, 'Ampersand & Co'), (2, 'Straße <Nord> > Süd');
INSERT INTO routes VALUES (1, 1, 'R&1', '<b>bold</b> & more', '2024-05-01T08:30:00'),
                          (2, 2, 'Ü1', '  padded  ', '2024-05-02T09:00:00');
INSERT INTO storage_locations VALUES (1, 1, 'B<1>', 'Kühl & trocken'), (2, 2, '', '東京 > 大阪');
INSERT INTO centers VALUES (100, 'A&B <Center> > all', 1, 1, 1, '2'),
                           (101, 'Ωmega', 2, NULL, NULL, '1'),
                           (102, 'No status', 2, 2, NULL, NULL);
)sql";

} // namespace

TEST(ServerRoundTrip, EverySenderIsAcceptedAndRefusalsAreReportedOnce) {
    MessageBoxRecorder boxes;
    EventLogRecorder log;
    StandInServer server(StandInServer::Data::Empty);
    ServiceClient client;
    client.setServerName(server.serverName());
    server.execute(QString::fromUtf8(AwkwardData));
    const QStringList before = databaseDump(server);
    ASSERT_TRUE(client.AddRouteSOAP(1, QStringLiteral(" 07 "), QStringLiteral("North & <East>")));
    ASSERT_TRUE(client.UpdateRouteSOAP(2, 3, QStringLiteral("07"), QStringLiteral("Moved")));
    ASSERT_TRUE(client.AddLocationSOAP(QStringLiteral("2"), QStringLiteral("Ü-9"),
                                       QStringLiteral("Überlauf")));
    ASSERT_TRUE(client.UpdateStorageLocationSOAP(3, QStringLiteral("1"), QString(),
                                                 QStringLiteral("Renamed")));
    ASSERT_TRUE(client.UpdateCenterRouteAndStorageLocationSOAP(1, 101, 1, 3));
    const auto [added, removed] = dumpDifference(before, databaseDump(server));
    EXPECT_EQ(added, QStringList({QStringLiteral("bay|3|1|''|'Renamed'"),
                                  QStringLiteral("center|101|'Ωmega'|1|1|3|'1'"),
                                  QStringLiteral("route|3|2|'07'|'Moved'")}));
    EXPECT_EQ(removed, QStringList{QStringLiteral("center|101|'Ωmega'|2|NULL|NULL|'1'")});

    ASSERT_TRUE(client.UpdateCenterRouteAndStorageLocationSOAP(2, 101, 0, 0));
    ASSERT_TRUE(client.DeleteLocationSOAP(3));
    ASSERT_TRUE(client.DeleteRouteSOAP(3));
    EXPECT_EQ(databaseDump(server), before);

    // The fault's text reaches the event log, escaped characters and all.
    EXPECT_FALSE(client.UpdateCenterRouteAndStorageLocationSOAP(2, 102, 2, 1));
    EXPECT_FALSE(
        client.AddLocationSOAP(QStringLiteral("two"), QStringLiteral("B"), QStringLiteral("x")));
    ASSERT_EQ(log.entries().size(), 2);
    EXPECT_EQ(log.procedures(), QStringList(2, QStringLiteral("ReturnWebserviceXML")));
    EXPECT_TRUE(log.entries()[0].contains(QString::fromUtf8(
        "The storage location with StorageLocationID 1 does not belong to Straße <Nord> > Süd")));
    EXPECT_TRUE(log.entries()[1].contains(
        QStringLiteral("TOVAFacilityID must be a whole number, not \"two\"")));
    EXPECT_EQ(databaseDump(server), before);
}
