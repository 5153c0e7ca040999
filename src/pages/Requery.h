#pragma once

namespace stowline::state {
struct ComponentState;
}

namespace stowline::pages {

// The re-queries the pages run after a change: each asks the service again and rebuilds the
// list and the records from the unwrapped answer.
void requeryRoutes(state::ComponentState& state);
void requeryLocations(state::ComponentState& state);
// Lists all centers or only the active ones, as the assignment page's option shows.
void requeryCenters(state::ComponentState& state);

} // namespace stowline::pages
