#include "pages/Requery.h"

#include "readers/Readers.h"
#include "state/ComponentState.h"

namespace stowline::pages {

using service::QueryOperation;

void requeryRoutes(state::ComponentState& state) {
    state.mDeliveryRouteXML = state.client.queryUtf8(QueryOperation::GetDeliveryRoute);
    readers::RefreshRouteData(state, state.mDeliveryRouteXML);
}

void requeryLocations(state::ComponentState& state) {
    state.mStorageLocationXML = state.client.queryUtf8(QueryOperation::GetStorageLocation);
    readers::RefreshLocationData(state, state.mStorageLocationXML);
}

void requeryCenters(state::ComponentState& state) {
    state.mRelativeDataXML = state.client.queryUtf8(QueryOperation::GetRelativeData);
    readers::RefreshStowlineData(state, state.mRelativeDataXML, state.activeCentersOnly());
}

} // namespace stowline::pages
