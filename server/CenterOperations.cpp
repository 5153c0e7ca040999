// UpdateCenterRouteAndStorageLocation: assigns a center a route and a storage location of one
// facility, which becomes the center's facility. A key of 0 means "none" and clears that part.
#include "Lookups.h"
#include "Operations.h"
#include "RequestValues.h"
#include "SoapFault.h"

namespace stowline::server {
namespace {

void refuseOtherFacility(std::int64_t owner, const FacilityRow& facility, const char* what,
                         std::string_view element, std::int64_t id) {
    if (owner != facility.id) {
        throw SoapFault("The " + std::string(what) + " with " + std::string(element) + " " +
                        std::to_string(id) + " does not belong to " + facility.name +
                        " (FacilityID " + std::to_string(facility.id) + ")");
    }
}

} // namespace

std::string updateCenterRouteAndStorageLocation(Connection& connection,
                                                const SoapRequest& request) {
    const std::int64_t facilityId = keyValue(request, "FacilityID");
    const std::int64_t centerId = keyValue(request, "CenterID");
    const std::int64_t routeId = keyValue(request, "RouteID");
    const std::int64_t storageLocationId = keyValue(request, "StorageLocationID");

    WriteTransaction transaction(connection);
    requireCenter(connection, centerId, "CenterID");
    const FacilityRow facility = requireFacility(connection, facilityId, "FacilityID");
    if (routeId != 0) {
        const RouteRow route = requireRoute(connection, routeId, "RouteID");
        refuseOtherFacility(route.facilityId, facility, "route", "RouteID", routeId);
    }
    if (storageLocationId != 0) {
        const StorageLocationRow location =
            requireStorageLocation(connection, storageLocationId, "StorageLocationID");
        refuseOtherFacility(location.facilityId, facility, "storage location", "StorageLocationID",
                            storageLocationId);
    }

    Statement update = connection.prepare("UPDATE centers SET facility_id = ?1, route_id = ?2,"
                                          " storage_location_id = ?3 WHERE center_id = ?4");
    update.bind(1, facilityId).bind(4, centerId);
    routeId != 0 ? update.bind(2, routeId) : update.bindNull(2);
    storageLocationId != 0 ? update.bind(3, storageLocationId) : update.bindNull(3);
    update.run();
    transaction.commit();
    return {};
}

} // namespace stowline::server
