#include "pages/Requery.h"

#include "control/ComponentState.h"
#include "records/Readers.h"

namespace stowline::pages {

using service::QueryOperation;

void requeryRoutes(control::ComponentState& state) {
    state.mDeliveryRouteXML = state.client.query(QueryOperation::GetDeliveryRoute);
    records::RefreshRouteData(state, state.mDeliveryRouteXML);
}

void requeryLocations(control::ComponentState& state) {
    state.mStorageLocationXML = state.client.query(QueryOperation::GetStorageLocation);
    records::RefreshLocationData(state, state.mStorageLocationXML);
}

void requeryCenters(control::ComponentState& state) {
    state.mRelativeDataXML = state.client.query(QueryOperation::GetRelativeData);
    records::RefreshStowlineData(state, state.mRelativeDataXML, state.activeCentersOnly());
}

} // namespace stowline::pages
