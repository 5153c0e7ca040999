#include "control/StowlinePrivate.h"
#include "errors/Guarded.h"
#include "records/Readers.h"

namespace stowline {

void StowlinePrivate::LoadData(const QString& ptServerName) {
    guarded(QStringLiteral("LoadData"), [&] {
        using service::QueryOperation;
        state.client.setServerName(ptServerName);

        // One after the other, each to completion; a failed query gives empty text and the
        // load goes on.
        const QByteArray facilities = state.client.queryUtf8(QueryOperation::GetFacilities);
        state.mRelativeDataXML = state.client.queryUtf8(QueryOperation::GetRelativeData);
        state.mDeliveryRouteXML = state.client.queryUtf8(QueryOperation::GetDeliveryRoute);
        state.mStorageLocationXML = state.client.queryUtf8(QueryOperation::GetStorageLocation);

        records::RefreshRouteData(state, state.mDeliveryRouteXML);
        records::RefreshLocationData(state, state.mStorageLocationXML);
        records::RefreshStowlineData(state, state.mRelativeDataXML, true);
        records::RefreshFacilityDrop(state, facilities);

        const control::ControlSurface& ui = state.ui;
        for (QWidget* control : std::initializer_list<QWidget*>{
                 ui.cmdAddRoute, ui.cmdChangeRoute, ui.cmdDeleteRoute, ui.cmdAddLocation,
                 ui.cmdChangeLocation, ui.cmdDeleteLocation, ui.fraRouteList, ui.fraLocationList,
                 ui.fraStowlineList}) {
            control->setEnabled(true);
        }
    });
}

} // namespace stowline
