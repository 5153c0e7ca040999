#pragma once

namespace stowline::state {
struct ComponentState;
}

namespace stowline::pages {

// The re-queries the pages run after a change: each asks the service again, keeps the
// unwrapped answer in its field and rebuilds the list from it.
void requeryRoutes(state::ComponentState& state);
void requeryLocations(state::ComponentState& state);
// Lists all centers or only the active ones, as the assignment page's option shows.
void requeryCenters(state::ComponentState& state);

} // namespace stowline::pages
