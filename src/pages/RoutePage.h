#pragma once

#include <QObject>

namespace stowline::control {
struct ComponentState;
}

namespace stowline::pages {

// The "Maintain Delivery Routes" page: its handlers, installed on the controls on creation.
class RoutePage {
public:
    explicit RoutePage(control::ComponentState& state);
    RoutePage(const RoutePage&) = delete;
    RoutePage& operator=(const RoutePage&) = delete;

    void lstRoute_ColumnClick(int columnIndex);

private:
    control::ComponentState& m_state;
};

} // namespace stowline::pages
