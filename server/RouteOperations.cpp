// AddDeliveryRoute, UpdateDeliveryRoute, DeleteDeliveryRoute.
#include "Lookups.h"
#include "Operations.h"
#include "RequestValues.h"
#include "Schema.h"
#include "SoapFault.h"

namespace stowline::server {
namespace {

// Route codes are unique within a facility; `except` is the route being changed.
void refuseDuplicateCode(Connection& connection, const FacilityRow& facility,
                         const std::string& code, std::int64_t except) {
    const std::int64_t existing = connection.queryInteger(
        "SELECT count(*) FROM routes WHERE facility_id = ?1 AND code = ?2 AND route_id <> ?3", 0,
        facility.id, std::string_view(code), except);
    if (existing > 0) {
        throw SoapFault("The route " + quoted(code) + " already exists at " + facility.name);
    }
}

} // namespace

std::string addDeliveryRoute(Connection& connection, const SoapRequest& request) {
    const std::int64_t facilityId = keyValue(request, "FacilityID");
    const std::string& code = textValue(request, "Route", RouteCodeLength, Blank::Refused);
    const std::string& description =
        textValue(request, "Description", DescriptionLength, Blank::Refused);

    WriteTransaction transaction(connection);
    const FacilityRow facility = requireFacility(connection, facilityId, "FacilityID");
    refuseDuplicateCode(connection, facility, code, 0);
    const std::int64_t routeId = allocateKey(connection, "routes", "route_id");
    connection
        .prepare("INSERT INTO routes (route_id, facility_id, code, description, last_updated)"
                 " VALUES (?1, ?2, ?3, ?4, strftime('%Y-%m-%dT%H:%M:%S', 'now'))")
        .bindAll(routeId, facilityId, std::string_view(code), std::string_view(description))
        .run();
    transaction.commit();
    return {};
}

std::string updateDeliveryRoute(Connection& connection, const SoapRequest& request) {
    const std::int64_t facilityId = keyValue(request, "FacilityID");
    const std::int64_t routeId = keyValue(request, "DeliveryRouteID");
    const std::string& code = textValue(request, "Route", RouteCodeLength, Blank::Refused);
    const std::string& description =
        textValue(request, "Description", DescriptionLength, Blank::Refused);

    WriteTransaction transaction(connection);
    requireRoute(connection, routeId, "DeliveryRouteID");
    const FacilityRow facility = requireFacility(connection, facilityId, "FacilityID");
    refuseDuplicateCode(connection, facility, code, routeId);
    connection
        .prepare("UPDATE routes SET facility_id = ?1, code = ?2, description = ?3,"
                 " last_updated = strftime('%Y-%m-%dT%H:%M:%S', 'now') WHERE route_id = ?4")
        .bindAll(facilityId, std::string_view(code), std::string_view(description), routeId)
        .run();
    transaction.commit();
    return {};
}

std::string deleteDeliveryRoute(Connection& connection, const SoapRequest& request) {
    const std::int64_t routeId = keyValue(request, "DeliveryRouteID");

    WriteTransaction transaction(connection);
    const RouteRow route = requireRoute(connection, routeId, "DeliveryRouteID");
    if (const std::int64_t users = centersWithRoute(connection, routeId); users > 0) {
        throw SoapFault("The route " + quoted(route.code) + " is still assigned to " +
                        centerCount(users) + "; assign them another route first");
    }
    connection.prepare("DELETE FROM routes WHERE route_id = ?1").bindAll(routeId).run();
    transaction.commit();
    return {};
}

} // namespace stowline::server
