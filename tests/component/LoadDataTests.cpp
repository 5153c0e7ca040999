// LoadData as a host runs it: against the stand-in server, a scripted server and no server.
#include "DataSetText.h"
#include "support/Recorders.h"
#include "support/RecordingHttpServer.h"
#include "support/StandInServer.h"
#include "widget/StowlinePrivate.h"

#include <stowline/Stowline.h>

#include <QWidget>
#include <gtest/gtest.h>

using namespace stowline;

namespace {

QStringList listColumn(platform::ListView& list, int column) {
    QStringList values;
    for (int i = 1; i <= list.count(); ++i) {
        const platform::ListItemRef item = list.itemAt(i);
        values << (column == 0 ? list.text(item) : list.subItem(item, column));
    }
    values.sort();
    return values;
}

QStringList entries(platform::DropDown& dropDown) {
    QStringList texts;
    for (int i = 0; i < dropDown.listCount(); ++i) {
        texts << dropDown.entryText(i);
    }
    return texts;
}

QStringList sorted(QStringList values) {
    values.sort();
    return values;
}

// A query answer in the form the real service writes.
QByteArray serviceAnswer(const QString& operation, const QByteArray& dataSet) {
    QString escaped = QString::fromUtf8(dataSet);
    escaped.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
               "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
               "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
               "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><soap:Body><%1Response "
               "xmlns=\"http://tempuri.org/TOVAStowlines/Service1\"><%1Result>%2</%1Result>"
               "</%1Response></soap:Body></soap:Envelope>")
        .arg(operation, escaped)
        .toUtf8();
}

class LoadDataAgainstDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<test::StandInServer>(); }
    static void TearDownTestSuite() { server.reset(); }

    LoadDataAgainstDemo() : component(&owner) { component.UserControl_Initialize(); }

    state::ControlSurface& ui() { return component.state.ui; }

    static inline std::unique_ptr<test::StandInServer> server;
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    QWidget owner;
    StowlinePrivate component;
};

} // namespace

TEST_F(LoadDataAgainstDemo, EveryListAndDropDownHoldsWhatTheServiceHolds) {
    component.LoadData(server->serverName());
    EXPECT_TRUE(log.entries().isEmpty()) << log.entries().join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(listColumn(*ui().lstRoute, 0),
              sorted(server->queryColumn(QStringLiteral("SELECT code FROM routes"))));
    EXPECT_EQ(listColumn(*ui().lstRoute, 1),
              sorted(server->queryColumn(QStringLiteral("SELECT description FROM routes"))));
    EXPECT_EQ(listColumn(*ui().lstLocation, 0),
              sorted(server->queryColumn(QStringLiteral("SELECT name FROM storage_locations"))));
    EXPECT_EQ(
        listColumn(*ui().lstLocation, 1),
        sorted(server->queryColumn(QStringLiteral("SELECT description FROM storage_locations"))));
    EXPECT_EQ(listColumn(*ui().lstStowline, 0),
              sorted(server->queryColumn(QStringLiteral(
                  "SELECT CAST(center_id AS TEXT) FROM centers WHERE status = '2'"))));
    EXPECT_EQ(sorted(entries(*ui().cboFacility3)),
              sorted(server->queryColumn(QStringLiteral("SELECT name FROM facilities"))));
    EXPECT_EQ(entries(*ui().cboFacility), entries(*ui().cboFacility3));
    EXPECT_EQ(entries(*ui().cboFacility2), entries(*ui().cboFacility3));

    // The first facility is chosen on the assignment page and its pick lists are filled.
    ASSERT_EQ(ui().cboFacility2->listIndex(), 0);
    const QString facilityId = QString::number(ui().cboFacility2->itemData(0));
    EXPECT_EQ(component.state.mSelectedFacilityID, facilityId);
    const QStringList routes = server->queryColumn(
        QStringLiteral(
            "SELECT description || '(' || code || ')' FROM routes WHERE facility_id = ") +
        facilityId);
    if (routes.isEmpty()) {
        EXPECT_EQ(entries(*ui().cboRoute), QStringList{"No Routes Found"});
    } else {
        EXPECT_EQ(sorted(entries(*ui().cboRoute)), sorted(routes));
    }

    for (QWidget* enabled : std::initializer_list<QWidget*>{ui().fraRouteList, ui().fraLocationList,
                                                            ui().fraStowlineList, ui().cmdAddRoute,
                                                            ui().cmdDeleteLocation}) {
        EXPECT_TRUE(enabled->isEnabled()) << enabled->objectName().toStdString();
    }

    // Values holding markup characters and accents survive the whole way.
    const QStringList descriptions = listColumn(*ui().lstLocation, 1) +
                                     listColumn(*ui().lstRoute, 1) +
                                     listColumn(*ui().lstStowline, 1);
    const QString all = descriptions.join(QLatin1Char('|'));
    EXPECT_TRUE(all.contains(QLatin1Char('&')));
    EXPECT_TRUE(all.contains(QLatin1Char('<')));

    // Loading again duplicates nothing.
    const int routeCount = ui().lstRoute->count();
    component.LoadData(server->serverName());
    EXPECT_EQ(ui().lstRoute->count(), routeCount);
    EXPECT_EQ(ui().cboFacility3->listCount(),
              server->queryValue(QStringLiteral("SELECT count(*) FROM facilities")).toInt());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST(LoadData, QueriesGoOutInOrderAndTheReadersRunAfterAllFour) {
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    test::RecordingHttpServer server;
    using test::dataSetText;
    const QByteArray routes = dataSetText({{{"DeliveryRouteID", "1"},
                                            {"Route", "A1"},
                                            {"Description", "Alpha"},
                                            {"Facility", "North"},
                                            {"TOVAFacilityID", "1"}}})
                                  .mid(39); // the service's data set carries no declaration
    const QByteArray facilities =
        dataSetText({{{"Description", "North"}, {"TOVAFacilityID", "1"}}}).mid(39);
    server.queueBehaviour(
        test::ServerBehaviour::respond(200, serviceAnswer("GetFacilities", facilities)));
    server.queueBehaviour(test::ServerBehaviour::respond(
        200, serviceAnswer("GetRelativeData", dataSetText({}).mid(39))));
    server.queueBehaviour(
        test::ServerBehaviour::respond(200, serviceAnswer("GetDeliveryRoute", routes)));
    server.queueBehaviour(test::ServerBehaviour::respond(
        200, serviceAnswer("GetStorageLocation", dataSetText({}).mid(39))));

    Stowline component;
    component.LoadData(server.baseUrl());

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    const char* expected[] = {"GetFacilities", "GetRelativeData", "GetDeliveryRoute",
                              "GetStorageLocation"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(requests[i].header("SOAPAction"),
                  QByteArray("http://tempuri.org/TOVAStowlines/Service1/") + expected[i]);
        EXPECT_EQ(requests[i].requestLine,
                  "POST /WebServices/TOVAWebservice/TOVAWebservice.asmx HTTP/1.1");
    }
    EXPECT_TRUE(log.entries().isEmpty());
    // The facility was chosen after the routes were read, so its route is offered.
    auto* cboRoute = component.findChild<platform::DropDown*>(QStringLiteral("cboRoute"));
    ASSERT_NE(cboRoute, nullptr);
    EXPECT_EQ(entries(*cboRoute), QStringList{"Alpha(A1)"});
}

TEST(LoadData, AnEmptyServerNameGivesFourReportsAndStillUnlocksThePages) {
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    Stowline component;
    component.LoadData(QString());

    EXPECT_EQ(log.procedures(), QStringList(4, QStringLiteral("ReturnWebserviceXML")));
    // Four error boxes, and the facilities reader's own box about the empty text.
    EXPECT_EQ(boxes.errorBoxes(), 4);
    EXPECT_EQ(boxes.shown().size(), 5u);
    for (const char* frame : {"fraRouteList", "fraLocationList", "fraStowlineList"}) {
        EXPECT_TRUE(component.findChild<QFrame*>(QString::fromLatin1(frame))->isEnabled());
    }
}
