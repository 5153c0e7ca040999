// LoadData as a host runs it: against the stand-in server and against no server.
#include "support/PageDriver.h"
#include "widget/StowlinePrivate.h"

#include <tuple>

using namespace stowline;
using namespace stowline::test;

namespace {

QStringList sorted(QStringList values) {
    values.sort();
    return values;
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
