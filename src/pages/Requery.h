#pragma once

namespace stowline::control {
struct ComponentState;
}

namespace stowline::pages {

// The re-queries the pages run after a change: each asks the service again, keeps the
// unwrapped answer in its field and rebuilds the list from it.
void requeryRoutes(control::ComponentState& state);
void requeryLocations(control::ComponentState& state);
// Lists all centers or only the active ones, as the assignment page's option shows.
void requeryCenters(control::ComponentState& state);

} // namespace stowline::pages
