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
        const QByteArray facilities = state.client.queryUtf8(QueryOperation::GetFacilities);
        state.mRelativeDataXML = state.client.queryUtf8(QueryOperation::GetRelativeData);
        state.mDeliveryRouteXML = state.client.queryUtf8(QueryOperation::GetDeliveryRoute);
        state.mStorageLocationXML = state.client.queryUtf8(QueryOperation::GetStorageLocation);

        readers::RefreshRouteData(state, state.mDeliveryRouteXML);
        readers::RefreshLocationData(state, state.mStorageLocationXML);
        readers::RefreshStowlineData(state, state.mRelativeDataXML, true);
        readers::RefreshFacilityDrop(state, facilities);

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
