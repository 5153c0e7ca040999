#include "readers/ListRefill.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {

void RefreshStowlineData(state::ComponentState& state, const QByteArray& XMLData, bool activeOnly) {
    guarded(QStringLiteral("RefreshStowlineData"), [&] {
        platform::ListView& list = *state.ui.lstStowline;
        std::size_t rowCount = 0;
        const bool parsed = refillList(
            list, XMLData,
            {"CenterID", "CenterName", "CenterLocation", "CenterRoute", "Facility",
             "DeliveryRouteID", "Route", "StorageLocationID", "Status", "TOVAFacilityID"},
            [&](const QStringList& row) {
                // Only the exact text "2" marks an active center.
                if (activeOnly && row[8] != QLatin1String("2")) {
                    return;
                }
                ++rowCount;
                state.mCenters.resize(rowCount + 1);
                RouteAndLocationsUDT& center = state.mCenters[rowCount];
                center.CenterID = row[0];
                center.Name = row[1];
                center.Location = row[2];
                center.RouteDescription = row[3];
                center.Facility = row[4];
                center.DeliveryRouteID = row[5];
                center.Route = row[6];
                center.StorageLocationID = row[7];
                center.Status = row[8];
                center.TOVAFacilityID = row[9];
                // The item keeps its own copy of the record, not a reference into mCenters.
                list.appendRow({row[0], row[1], row[3], row[2], row[4], row[9], row[6], row[5]},
                               QVariant::fromValue(center));
            });
        if (!parsed) {
            return;
        }
        RefreshRouteComboBox(state);
        RefreshStorageLocationComboBox(state);
    });
}

} // namespace stowline::readers
