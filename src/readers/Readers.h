#pragma once

#include <QByteArray>

namespace stowline::state {
struct ComponentState;
}

namespace stowline::readers {

// Each reader rebuilds its list (and record array) from one data-set text (UTF-8), which it
// parses in place: pass the text with std::move. A text that does not parse leaves the list
// empty and the records as they were; a text with no rows leaves the list empty and the records
// as they were, but still runs the reader's closing steps.

// Routes into mRoutes and lstRoute; then refreshes the route pick list.
void RefreshRouteData(state::ComponentState& state, QByteArray XMLData);
// Bays into mStorageLocations and lstLocation; then refreshes the bay pick list.
void RefreshLocationData(state::ComponentState& state, QByteArray XMLData);
// Every center of the answer into mAllCenters, then lists them as the next function does.
void RefreshStowlineData(state::ComponentState& state, QByteArray XMLData, bool activeOnly);
// Lists the centers of the last answer in lstStowline (all, or only those with status "2"),
// then refreshes both pick lists; after an answer that did not parse, only empties the list.
void RefreshStowlineData(state::ComponentState& state, bool activeOnly);
// Facilities into the three facility drop-downs; selects the first on the assignment page.
void RefreshFacilityDrop(state::ComponentState& state, QByteArray XMLData);

// The assignment page's pick lists, for the facility in mSelectedFacilityID.
void RefreshRouteComboBox(state::ComponentState& state);
void RefreshStorageLocationComboBox(state::ComponentState& state);

} // namespace stowline::readers
