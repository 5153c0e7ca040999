#pragma once

#include "pages/MaintenancePage.h"

namespace stowline::state {
struct ComponentState;
}

namespace stowline::pages {

// The "Maintain Delivery Routes" page: the maintenance workflow on the route records, its
// handlers installed on the controls on creation. A route's name cannot be changed, and a name
// already used at any facility cannot be added again.
class RoutePage : public MaintenancePage {
public:
    explicit RoutePage(state::ComponentState& state);

    // True when a route of any facility has exactly this name, as of the last rebuild.
    bool RouteExist(const QString& route);

private:
    bool exists(const QString& name, const QString& description) override;
    bool facilityChosen(Mode mode) override;
    service::ExchangeOutcome sendAdd(const QString& name, const QString& description) override;
    service::ExchangeOutcome sendUpdate(const controls::ListItemRef& item, const QString& name,
                                        const QString& description) override;
    service::ExchangeOutcome sendDelete(const controls::ListItemRef& item) override;
    void requery() override;

    qint16 facilityId() const;

    state::ComponentState& m_state;
};

} // namespace stowline::pages
