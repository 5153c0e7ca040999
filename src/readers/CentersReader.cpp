#include "readers/ListRefill.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {

void RefreshStowlineData(state::ComponentState& state, const QByteArray& XMLData, bool activeOnly) {
    guarded(QStringLiteral("RefreshStowlineData"), [&] {
        const bool parsed = refillList(*state.ui.lstStowline, XMLData,
                                       {"CenterID", "CenterName", "CenterLocation", "CenterRoute",
                                        "Facility", "DeliveryRouteID", "Route", "StorageLocationID",
                                        "Status", "TOVAFacilityID"},
                                       [&](const QStringList& row, int k) {
                                           // Only the exact text "2" marks an active center.
                                           if (activeOnly && row[8] != QLatin1String("2")) {
                                               return false;
                                           }
                                           const auto index = static_cast<std::size_t>(k);
                                           state.mCenters.resize(index + 1);
                                           RouteAndLocationsUDT& center = state.mCenters[index];
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
                                           return true;
                                       });
        if (!parsed) {
            return;
        }
        RefreshRouteComboBox(state);
        RefreshStorageLocationComboBox(state);
    });
}

} // namespace stowline::readers
