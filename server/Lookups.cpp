#include "Lookups.h"

#include "SoapFault.h"

namespace stowline::server {
namespace {

[[noreturn]] void noSuchRow(const char* what, std::string_view element, std::int64_t id) {
    throw SoapFault("There is no " + std::string(what) + " with " + std::string(element) + " " +
                    std::to_string(id));
}

} // namespace

FacilityRow requireFacility(Connection& connection, std::int64_t id, std::string_view element) {
    Statement statement = connection.prepare("SELECT name FROM facilities WHERE facility_id = ?1");
    statement.bindAll(id);
    if (!statement.step()) {
        noSuchRow("facility", element, id);
    }
    return {id, std::string(statement.text(0))};
}

RouteRow requireRoute(Connection& connection, std::int64_t id, std::string_view element) {
    Statement statement =
        connection.prepare("SELECT facility_id, code FROM routes WHERE route_id = ?1");
    statement.bindAll(id);
    if (!statement.step()) {
        noSuchRow("route", element, id);
    }
    return {id, statement.integer(0), std::string(statement.text(1))};
}

StorageLocationRow requireStorageLocation(Connection& connection, std::int64_t id,
                                          std::string_view element) {
    Statement statement = connection.prepare(
        "SELECT facility_id, name FROM storage_locations WHERE storage_location_id = ?1");
    statement.bindAll(id);
    if (!statement.step()) {
        noSuchRow("storage location", element, id);
    }
    return {id, statement.integer(0), std::string(statement.text(1))};
}

void requireCenter(Connection& connection, std::int64_t id, std::string_view element) {
    if (connection.queryInteger("SELECT count(*) FROM centers WHERE center_id = ?1", 0, id) == 0) {
        noSuchRow("center", element, id);
    }
}

std::int64_t centersWithRoute(Connection& connection, std::int64_t routeId) {
    return connection.queryInteger("SELECT count(*) FROM centers WHERE route_id = ?1", 0, routeId);
}

std::int64_t centersWithStorageLocation(Connection& connection, std::int64_t storageLocationId) {
    return connection.queryInteger("SELECT count(*) FROM centers WHERE storage_location_id = ?1", 0,
                                   storageLocationId);
}

std::string centerCount(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " center" : " centers");
}

} // namespace stowline::server
