#pragma once

namespace stowline::control {
struct ComponentState;
}

namespace stowline::pages {

// The "Maintain Storage Locations" page: its handlers, installed on the controls on creation.
class LocationPage {
public:
    explicit LocationPage(control::ComponentState& state);
    LocationPage(const LocationPage&) = delete;
    LocationPage& operator=(const LocationPage&) = delete;

    void lstLocation_ColumnClick(int columnIndex);

private:
    control::ComponentState& m_state;
};

} // namespace stowline::pages
