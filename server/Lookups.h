#pragma once

#include "Sqlite.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace stowline::server {

// Rows an update refers to by key. Each require… function throws a SoapFault that names the
// request element when no row has that key.

struct FacilityRow {
    std::int64_t id;
    std::string name;
};
FacilityRow requireFacility(Connection& connection, std::int64_t id, std::string_view element);

struct RouteRow {
    std::int64_t id;
    std::int64_t facilityId;
    std::string code;
};
RouteRow requireRoute(Connection& connection, std::int64_t id, std::string_view element);

struct StorageLocationRow {
    std::int64_t id;
    std::int64_t facilityId;
    std::string name;
};
StorageLocationRow requireStorageLocation(Connection& connection, std::int64_t id,
                                          std::string_view element);

void requireCenter(Connection& connection, std::int64_t id, std::string_view element);

// How many centers are assigned the route or the storage location.
std::int64_t centersWithRoute(Connection& connection, std::int64_t routeId);
std::int64_t centersWithStorageLocation(Connection& connection, std::int64_t storageLocationId);

// "1 center", "3 centers".
std::string centerCount(std::int64_t count);

} // namespace stowline::server
