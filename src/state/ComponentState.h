#pragma once

#include "platform/ListView.h"
#include "service/ServiceClient.h"
#include "state/ControlSurface.h"

#include <stowline/Records.h>

#include <QString>
#include <vector>

namespace stowline::state {

// Everything one component instance holds while it lives: the service conversation with its
// addresses, the latest answers, the record arrays, the page selections and the controls.
// Record arrays use index 0 as an unused slot once a read has given them rows, and hold no
// element at all before that.
struct ComponentState {
    explicit ComponentState(const ControlSurface& surface) : ui(surface) {}

    service::ServiceClient client;

    // The latest unwrapped answers, as UTF-8 data-set text.
    QByteArray mRelativeDataXML;
    QByteArray mDeliveryRouteXML;
    QByteArray mStorageLocationXML;

    std::vector<RouteUDT> mRoutes;
    std::vector<StorageLocationUDT> mStorageLocations;
    std::vector<RouteAndLocationsUDT> mCenters;

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
