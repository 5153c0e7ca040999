#include "pages/Requery.h"

#include "control/ComponentState.h"
#include "records/Readers.h"

namespace stowline::pages {

using service::QueryOperation;

void requeryRoutes(control::ComponentState& state) {
    state.mDeliveryRouteXML = state.client.queryUtf8(QueryOperation::GetDeliveryRoute);
    records::RefreshRouteData(state, state.mDeliveryRouteXML);
}

void requeryLocations(control::ComponentState& state) {
    state.mStorageLocationXML = state.client.queryUtf8(QueryOperation::GetStorageLocation);
    records::RefreshLocationData(state, state.mStorageLocationXML);
}

void requeryCenters(control::ComponentState& state) {
    state.mRelativeDataXML = state.client.queryUtf8(QueryOperation::GetRelativeData);
    records::RefreshStowlineData(state, state.mRelativeDataXML, state.activeCentersOnly());
}

} // namespace stowline::pages
