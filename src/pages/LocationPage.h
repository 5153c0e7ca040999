#pragma once

#include "pages/MaintenancePage.h"

namespace stowline::state {
struct ComponentState;
}

namespace stowline::pages {

// The "Maintain Storage Locations" page: the maintenance workflow on the bay records, its
// handlers installed on the controls on creation. Only the description is required and must be
// new; a bay's name can be changed, and what was typed stays in the boxes on Cancel.
class LocationPage : public MaintenancePage {
public:
    explicit LocationPage(state::ComponentState& state);

    // True when a storage location record has exactly this description, as of the last
    // rebuild.
    bool StorageLocationExist(const QString& description);

private:
    bool exists(const QString& name, const QString& description) override;
    bool facilityChosen(Mode mode) override;
    service::ExchangeOutcome sendAdd(const QString& name, const QString& description) override;
    service::ExchangeOutcome sendUpdate(const controls::ListItemRef& item, const QString& name,
                                        const QString& description) override;
    service::ExchangeOutcome sendDelete(const controls::ListItemRef& item) override;
    void requery() override;

    // Storage-location requests carry the facility as decimal text; reading the item data of
    // "no entry" fails, before anything is sent.
    QString facilityText() const;

    state::ComponentState& m_state;
};

} // namespace stowline::pages
