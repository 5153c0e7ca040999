#include "pages/Requery.h"

#include "platform/FreedMemory.h"
#include "readers/Readers.h"
#include "state/ComponentState.h"

namespace stowline::pages {

using service::QueryOperation;

void requeryRoutes(state::ComponentState& state) {
    readers::RefreshRouteData(state, state.client.queryUtf8(QueryOperation::GetDeliveryRoute));
}

void requeryLocations(state::ComponentState& state) {
    readers::RefreshLocationData(state, state.client.queryUtf8(QueryOperation::GetStorageLocation));
}

void requeryCenters(state::ComponentState& state) {
    readers::RefreshStowlineData(state, state.client.queryUtf8(QueryOperation::GetRelativeData),
                                 state.activeCentersOnly());
    platform::returnFreedMemorySoon();
}

} // namespace stowline::pages
