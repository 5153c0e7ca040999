#pragma once

#include "readers/DataSetRead.h"
#include "state/RecordTable.h"

#include <array>

namespace stowline::state {
struct ComponentState;
}

namespace stowline::readers {

// Each reader rebuilds its list (and record array) from one data-set text (UTF-8), which it
// parses in place: pass the text with std::move. Or it takes a read of the text already made
// on another thread, for the reader's columns below. A text that does not parse leaves the list
// empty and the records as they were; a text with no rows leaves the list empty and the records
// as they were, but still runs the reader's closing steps.

// The columns each reader takes of its data set's rows.
inline constexpr auto RouteColumns = state::recordColumns<RouteUDT>();
inline constexpr auto LocationColumns = state::recordColumns<StorageLocationUDT, 1>({"RouteName"});
inline constexpr auto CenterColumns = state::recordColumns<RouteAndLocationsUDT>();
inline constexpr std::array<const char*, 2> FacilityColumns = {"Description", "TOVAFacilityID"};

// Routes into mRoutes and lstRoute; then refreshes the route pick list.
void RefreshRouteData(state::ComponentState& state, DataSetInput XMLData);
// Bays into mStorageLocations and lstLocation; then refreshes the bay pick list.
void RefreshLocationData(state::ComponentState& state, DataSetInput XMLData);
// Every center of the answer into mAllCenters, then lists them as the next function does.
void RefreshStowlineData(state::ComponentState& state, DataSetInput XMLData, bool activeOnly);
// Lists the centers of the last answer in lstStowline (all, or only those with status "2"),
// then refreshes both pick lists; after an answer that did not parse, only empties the list.
void RefreshStowlineData(state::ComponentState& state, bool activeOnly);
// Facilities into the three facility drop-downs; selects the first on the assignment page.
void RefreshFacilityDrop(state::ComponentState& state, DataSetInput XMLData);

// The assignment page's pick lists, for the facility in mSelectedFacilityID.
void RefreshRouteComboBox(state::ComponentState& state);
void RefreshStorageLocationComboBox(state::ComponentState& state);

} // namespace stowline::readers
