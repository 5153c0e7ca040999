#pragma once

#include "platform/ListView.h"
#include "service/ServiceClient.h"
#include "state/ControlSurface.h"
#include "state/RecordRows.h"

#include <stowline/Records.h>

#include <QString>
#include <vector>

namespace stowline::state {

// Everything one component instance holds while it lives: the service conversation with its
// addresses, the latest answers, the record arrays, the page selections and the controls.
// Record arrays use index 0 as an unused slot once a read has given them rows, and hold no
// element at all before that.
struct ComponentState {
    // The lists show the record arrays; the state stays where it was built.
    explicit ComponentState(const ControlSurface& surface) : ui(surface) {
        ui.lstRoute->setRows(&routeRows);
        ui.lstLocation->setRows(&locationRows);
        ui.lstStowline->setRows(&centerRows);
    }
    // The lists outlive the state (they go with the component's widgets): they let go of the
    // records first.
    ~ComponentState() {
        for (platform::ListView* list : {ui.lstRoute, ui.lstLocation, ui.lstStowline}) {
            list->clearItems();
            list->setRows(nullptr);
        }
    }
    ComponentState(const ComponentState&) = delete;
    ComponentState& operator=(const ComponentState&) = delete;

    service::ServiceClient client;

    std::vector<RouteUDT> mRoutes;
    std::vector<StorageLocationUDT> mStorageLocations;
    // Every center of the last centers answer (from index 1), whether that answer parsed, and
    // the indices of the centers the list shows (all, or the active ones), in answer order. The
    // active and all options filter these again; the answer text itself is not kept.
    std::vector<RouteAndLocationsUDT> mAllCenters;
    bool mCentersRead = false;
    std::vector<std::size_t> mListedCenters;
    // The bays' names, which their records do not hold, at the records' indices.
    std::vector<QString> mStorageLocationNames;

    // What the three lists show of the records, column by column.
    const RecordRows<RouteUDT, 3> routeRows{
        mRoutes,
        {&RouteUDT::Route, &RouteUDT::Description, &RouteUDT::Facility},
        [](const RouteUDT& route) { return keyTag(route.ID); }};
    const LocationRows locationRows{mStorageLocations, mStorageLocationNames,
                                    [](const StorageLocationUDT& bay) { return keyTag(bay.ID); }};
    // A center's item carries a copy of its whole record.
    const CenterRows centerRows{mAllCenters, mListedCenters};

    QString mSelectedFacilityID;
    platform::ListItemRef mSelectedRouteItem;
    platform::ListItemRef mSelectedLocationItem;
    platform::ListItemRef mSelectedCenterItem;
    bool mEditingCenter = false;

    ControlSurface ui;

    // The centers filter the assignment page shows.
    bool activeCentersOnly() const { return ui.optActiveCenters->isChecked(); }
};

} // namespace stowline::state
