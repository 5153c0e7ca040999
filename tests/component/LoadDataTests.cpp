// LoadData as a host runs it: against the stand-in server, a scripted server and no server.
#include "DataSetText.h"
#include "support/PageDriver.h"
#include "support/RecordingHttpServer.h"
#include "widget/StowlinePrivate.h"

#include <tuple>

using namespace stowline;
using namespace stowline::test;

namespace {

QStringList sorted(QStringList values) {
    values.sort();
    return values;
}

// A query answer in the form the real service writes; its data set carries no declaration.
QByteArray serviceAnswer(const QString& operation, const QByteArray& dataSet) {
    QString escaped = QString::fromUtf8(dataSet.mid(dataSet.indexOf("<Root>")));
    escaped.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
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

} // namespace

TEST(LoadData, EveryListAndDropDownHoldsWhatTheServiceHolds) {
    MessageBoxRecorder boxes;
    EventLogRecorder log;
    StandInServer server;
    QWidget owner;
    StowlinePrivate component(&owner);
    component.UserControl_Initialize();
    const state::ControlSurface& ui = component.state.ui;
    component.LoadData(server.serverName());
    EXPECT_TRUE(log.entries().isEmpty()) << log.entries().join('\n').toStdString();

    const auto inService = [&](const QString& sql) { return sorted(server.queryColumn(sql)); };
    const std::tuple<platform::ListView*, int, const char*> lists[] = {
        {ui.lstRoute, 0, "SELECT code FROM routes"},
        {ui.lstRoute, 1, "SELECT description FROM routes"},
        {ui.lstLocation, 0, "SELECT name FROM storage_locations"},
        {ui.lstLocation, 1, "SELECT description FROM storage_locations"},
        {ui.lstStowline, 0, "SELECT CAST(center_id AS TEXT) FROM centers WHERE status = '2'"},
    };
    for (const auto& [list, index, sql] : lists) {
        EXPECT_EQ(sorted(column(*list, index)), inService(sql)) << sql;
    }
    EXPECT_EQ(sorted(entries(*ui.cboFacility3)), inService("SELECT name FROM facilities"));
    EXPECT_EQ(entries(*ui.cboFacility), entries(*ui.cboFacility3));
    EXPECT_EQ(entries(*ui.cboFacility2), entries(*ui.cboFacility3));

    // The first facility is chosen on the assignment page and its pick lists are filled.
    ASSERT_EQ(ui.cboFacility2->listIndex(), 0);
    const QString facilityId = QString::number(ui.cboFacility2->itemData(0));
    EXPECT_EQ(component.state.mSelectedFacilityID, facilityId);
    const QStringList routes =
        inService(qs("SELECT description || '(' || code || ')' FROM routes WHERE facility_id = %1")
                      .arg(facilityId));
    EXPECT_EQ(sorted(entries(*ui.cboRoute)),
              routes.isEmpty() ? QStringList{"No Routes Found"} : routes);
    for (QWidget* enabled :
         std::initializer_list<QWidget*>{ui.fraRouteList, ui.fraLocationList, ui.fraStowlineList,
                                         ui.cmdAddRoute, ui.cmdDeleteLocation}) {
        EXPECT_TRUE(enabled->isEnabled()) << enabled->objectName().toStdString();
    }
    // Values holding markup characters survive the whole way.
    const QString all =
        (column(*ui.lstLocation, 1) + column(*ui.lstRoute, 1) + column(*ui.lstStowline, 1))
            .join('|');
    EXPECT_TRUE(all.contains('&') && all.contains('<')) << all.toStdString();

    // Loading again duplicates nothing.
    const int routeCount = ui.lstRoute->count();
    component.LoadData(server.serverName());
    EXPECT_EQ(ui.lstRoute->count(), routeCount);
    EXPECT_EQ(ui.cboFacility3->listCount(),
              server.queryValue("SELECT count(*) FROM facilities").toInt());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST(LoadData, QueriesGoOutInOrderAndTheReadersRunAfterAllFour) {
    MessageBoxRecorder boxes;
    EventLogRecorder log;
    RecordingHttpServer server;
    const char* operations[] = {"GetFacilities", "GetRelativeData", "GetDeliveryRoute",
                                "GetStorageLocation"};
    const std::vector<Row> dataSets[] = {
        {facility("1", "North")}, {}, {route({"1", "A1", "Alpha", "North", "1"})}, {}};
    for (int i = 0; i < 4; ++i) {
        server.queueBehaviour(
            ServerBehaviour::respond(200, serviceAnswer(operations[i], dataSetText(dataSets[i]))));
    }
    Stowline component;
    component.LoadData(server.baseUrl());

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(requests[i].header("SOAPAction"),
                  QByteArray("http://tempuri.org/TOVAStowlines/Service1/") + operations[i]);
        EXPECT_EQ(requests[i].requestLine,
                  "POST /WebServices/TOVAWebservice/TOVAWebservice.asmx HTTP/1.1");
    }
    EXPECT_TRUE(log.entries().isEmpty());
    // The facility was chosen after the routes were read, so its route is offered.
    EXPECT_EQ(entries(*component.findChild<platform::DropDown*>("cboRoute")),
              QStringList{"Alpha(A1)"});
}

TEST(LoadData, AnEmptyServerNameGivesFourReportsAndStillUnlocksThePages) {
    MessageBoxRecorder boxes;
    EventLogRecorder log;
    Stowline component;
    component.LoadData(QString());

    EXPECT_EQ(log.procedures(), QStringList(4, "ReturnWebserviceXML"));
    // Four error boxes, and the facilities reader's own box about the empty text.
    EXPECT_EQ(boxes.errorBoxes(), 4);
    EXPECT_EQ(boxes.shown().size(), 5u);
    for (const char* frame : {"fraRouteList", "fraLocationList", "fraStowlineList"}) {
        EXPECT_TRUE(component.findChild<QFrame*>(frame)->isEnabled()) << frame;
    }
}
