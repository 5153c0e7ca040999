#include "readers/ListRefill.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {

void RefreshRouteData(state::ComponentState& state, const QByteArray& XMLData) {
    guarded(QStringLiteral("RefreshRouteData"), [&] {
        platform::ListView& list = *state.ui.lstRoute;
        std::size_t rowCount = 0;
        const bool parsed = refillList(
            list, XMLData,
            {"DeliveryRouteID", "Description", "Route", "Facility", "TOVAFacilityID"},
            [&](const QStringList& row) {
                const QString& id = row[0];
                ++rowCount;
                state.mRoutes.resize(rowCount + 1);
                list.appendRow({row[2], row[1], row[3]}, id.isEmpty() ? QVariant(0) : QVariant(id));
                state.mRoutes[rowCount] = RouteUDT{row[1], row[3], id, row[2], row[4]};
            });
        if (!parsed) {
            return;
        }
        RefreshRouteComboBox(state);
        state.mSelectedRouteItem = {};
    });
}

} // namespace stowline::readers
