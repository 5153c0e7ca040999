#pragma once

#include <QByteArray>

namespace stowline::control {
struct ComponentState;
}

namespace stowline::records {

// Each reader rebuilds its list (and record array) from one data-set text (UTF-8). A text that does
// not parse leaves the list empty and the records as they were; a text with no rows leaves the
// list empty and the records as they were, but still runs the reader's closing steps.

// Routes into mRoutes and lstRoute; then refreshes the route pick list.
void RefreshRouteData(control::ComponentState& state, const QByteArray& XMLData);
// Bays into mStorageLocations and lstLocation; then refreshes the bay pick list.
void RefreshLocationData(control::ComponentState& state, const QByteArray& XMLData);
// Centers (all, or only those with status "2") into mCenters and lstStowline; then both pick
// lists.
void RefreshStowlineData(control::ComponentState& state, const QByteArray& XMLData,
                         bool activeOnly);
// Facilities into the three facility drop-downs; selects the first on the assignment page.
void RefreshFacilityDrop(control::ComponentState& state, const QByteArray& XMLData);

// The assignment page's pick lists, for the facility in mSelectedFacilityID.
void RefreshRouteComboBox(control::ComponentState& state);
void RefreshStorageLocationComboBox(control::ComponentState& state);

} // namespace stowline::records
