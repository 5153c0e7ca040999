#include "platform/FreedMemory.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "widget/StowlinePrivate.h"

namespace stowline {

void StowlinePrivate::LoadData(const QString& ptServerName) {
    guarded(QStringLiteral("LoadData"), [&] {
        using service::QueryOperation;
        state.client.setServerName(ptServerName);

        // One after the other, each to completion; a failed query gives empty text and the
        // load goes on.
        QByteArray facilities = state.client.queryUtf8(QueryOperation::GetFacilities);
        QByteArray centers = state.client.queryUtf8(QueryOperation::GetRelativeData);
        QByteArray routes = state.client.queryUtf8(QueryOperation::GetDeliveryRoute);
        QByteArray bays = state.client.queryUtf8(QueryOperation::GetStorageLocation);

        // Each answer is read in place and then let go.
        readers::RefreshRouteData(state, std::move(routes));
        readers::RefreshLocationData(state, std::move(bays));
        // The centers as the assignment page's option says: a reload with "All" chosen lists
        // all of them.
        readers::RefreshStowlineData(state, std::move(centers), state.activeCentersOnly());
        readers::RefreshFacilityDrop(state, std::move(facilities));
        platform::returnFreedMemorySoon();

        const state::ControlSurface& ui = state.ui;
        for (QWidget* control : std::initializer_list<QWidget*>{
                 ui.cmdAddRoute, ui.cmdChangeRoute, ui.cmdDeleteRoute, ui.cmdAddLocation,
                 ui.cmdChangeLocation, ui.cmdDeleteLocation, ui.fraRouteList, ui.fraLocationList,
                 ui.fraStowlineList}) {
            control->setEnabled(true);
        }
    });
}

} // namespace stowline
