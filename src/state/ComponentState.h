#pragma once

#include "controls/ListView.h"
#include "service/ServiceClient.h"
#include "state/RecordRows.h"
#include "surface/ControlSurface.h"

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
    explicit ComponentState(const surface::ControlSurface& surface) : ui(surface) {
        ui.lstRoute->setRows(&routeRows);
        ui.lstLocation->setRows(&locationRows);
        ui.lstStowline->setRows(&centerRows);
    }
    // The lists outlive the state (they go with the component's widgets): they let go of the
    // records first.
    ~ComponentState() {
        for (controls::ListView* list : {ui.lstRoute, ui.lstLocation, ui.lstStowline}) {
            list->clearItems();
            list->setRows(nullptr);
        }
    }
    ComponentState(const ComponentState&) = delete;
    ComponentState& operator=(const ComponentState&) = delete;

    service::ServiceClient client;

    RecordTable<RouteUDT> mRoutes;
    // The bays' table also holds each bay's name, which its record does not, in the column after
    // the record's fields.
    RecordTable<StorageLocationUDT> mStorageLocations;
    static constexpr std::size_t BayNameColumn = RecordFields<StorageLocationUDT>::fields.size();
    // Every center of the last centers answer (from index 1), whether that answer parsed, and
    // the indices of the centers the list shows (all, or the active ones), in answer order. The
    // active and all options filter these again; the answer text itself is not kept.
    RecordTable<RouteAndLocationsUDT> mAllCenters;
    bool mCentersRead = false;
    std::vector<std::size_t> mListedCenters;

    // What the three lists show of the records, column by column, and the key in their tags.
    const RecordRows<RouteUDT, 3> routeRows{mRoutes,
                                            {columnOf(&RouteUDT::Route),
                                             columnOf(&RouteUDT::Description),
                                             columnOf(&RouteUDT::Facility)},
                                            columnOf(&RouteUDT::ID)};
    const RecordRows<StorageLocationUDT, 3> locationRows{
        mStorageLocations,
        {BayNameColumn, columnOf(&StorageLocationUDT::Description),
         columnOf(&StorageLocationUDT::Facility)},
        columnOf(&StorageLocationUDT::ID)};
    // A center's item carries a copy of its whole record.
    const CenterRows centerRows{mAllCenters, mListedCenters};

    QString mSelectedFacilityID;
    controls::ListItemRef mSelectedRouteItem;
    controls::ListItemRef mSelectedLocationItem;
    controls::ListItemRef mSelectedCenterItem;

    surface::ControlSurface ui;

    // The centers filter the assignment page shows.
    bool activeCentersOnly() const { return ui.optActiveCenters->isChecked(); }
};

} // namespace stowline::state
