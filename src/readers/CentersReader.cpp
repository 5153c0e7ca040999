#include "readers/DataSetWalk.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {
namespace {

void listCenters(state::ComponentState& state, bool activeOnly) {
    state.mListedCenters.clear();
    for (std::size_t k = 1; k < state.mAllCenters.size(); ++k) {
        // Only the exact text "2" marks an active center.
        if (!activeOnly || state.mAllCenters[k].Status == QLatin1String("2")) {
            state.mListedCenters.push_back(k);
        }
    }
    state.ui.lstStowline->showRows(static_cast<int>(state.mListedCenters.size()));
    RefreshRouteComboBox(state);
    RefreshStorageLocationComboBox(state);
}

} // namespace

void RefreshStowlineData(state::ComponentState& state, QByteArray XMLData, bool activeOnly) {
    guarded(QStringLiteral("RefreshStowlineData"), [&] {
        const DataSetWalk walk(std::move(XMLData));
        state.ui.lstStowline->clearItems();
        state.mCentersRead = walk.parsed();
        state.mAllCenters.resize(state.mCentersRead ? 1 : 0);
        state.mListedCenters.clear();
        if (!walk.parsedOrRaise()) {
            return;
        }
        walk.forEachRow({"CenterID", "CenterName", "CenterLocation", "CenterRoute", "Facility",
                         "DeliveryRouteID", "Route", "StorageLocationID", "Status",
                         "TOVAFacilityID"},
                        [&](const QStringList& row) {
                            RouteAndLocationsUDT& center = state.mAllCenters.emplace_back();
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
                        });
        listCenters(state, activeOnly);
    });
}

void RefreshStowlineData(state::ComponentState& state, bool activeOnly) {
    // The last answer is filtered again; the service is not asked.
    guarded(QStringLiteral("RefreshStowlineData"), [&] {
        state.ui.lstStowline->clearItems();
        if (state.mCentersRead) {
            listCenters(state, activeOnly);
        }
    });
}

} // namespace stowline::readers
