#include "pages/Requery.h"

#include "readers/Readers.h"
#include "state/ComponentState.h"
#include "system/FreedMemory.h"

namespace stowline::pages {

using service::QueryOperation;

void requeryRoutes(state::ComponentState& state) {
    readers::RefreshRouteData(state, state.client.queryDataSet(QueryOperation::GetDeliveryRoute));
}

void requeryLocations(state::ComponentState& state) {
    readers::RefreshLocationData(state,
                                 state.client.queryDataSet(QueryOperation::GetStorageLocation));
}

void requeryCenters(state::ComponentState& state) {
    readers::RefreshStowlineData(state, state.client.queryDataSet(QueryOperation::GetRelativeData),
                                 state.activeCentersOnly());
    system::returnFreedMemorySoon();
}

} // namespace stowline::pages
