#include "readers/ListRefill.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {

void RefreshRouteData(state::ComponentState& state, QByteArray XMLData) {
    guarded(QStringLiteral("RefreshRouteData"), [&] {
        const bool parsed =
            refillList(*state.ui.lstRoute, std::move(XMLData),
                       {"DeliveryRouteID", "Description", "Route", "Facility", "TOVAFacilityID"},
                       [&](const QStringList& row, int k) {
                           state.mRoutes.resize(static_cast<std::size_t>(k) + 1);
                           state.mRoutes[static_cast<std::size_t>(k)] =
                               RouteUDT{row[1], row[3], row[0], row[2], row[4]};
                           return true;
                       });
        if (!parsed) {
            return;
        }
        RefreshRouteComboBox(state);
        state.mSelectedRouteItem = {};
    });
}

} // namespace stowline::readers
