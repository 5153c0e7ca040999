#include "Generator.h"

#include "Schema.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace stowline::server {
namespace {

std::string numbered(const char* prefix, int number, int width) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", width, number);
    return prefix + std::string(digits);
}

// Item k (from 1) of a kind with `count` items lives at facility ((k - 1) % 30) + 1, so the
// items of facility f are f, f + 30, f + 60, ...
int facilityOf(int item) {
    return (item - 1) % GeneratedFacilities + 1;
}

// The n-th item (from 0, wrapping) of facility f among `count` items, or 0 when the facility
// has none.
int itemOfFacility(int facility, int n, int count) {
    const int inFacility = count >= facility ? (count - facility) / GeneratedFacilities + 1 : 0;
    if (inFacility == 0) {
        return 0;
    }
    return facility + (n % inFacility) * GeneratedFacilities;
}

} // namespace

void insertGeneratedData(Connection& connection, int centers) {
    if (centers < 1 || centers > MaximumKey) {
        throw std::invalid_argument("the number of centers must be from 1 to " +
                                    std::to_string(MaximumKey));
    }
    const int routes = std::max(1, centers / 10);
    const int locations = routes;

    WriteTransaction transaction(connection);
    Statement facility =
        connection.prepare("INSERT INTO facilities (facility_id, name) VALUES (?1, ?2)");
    for (int f = 1; f <= GeneratedFacilities; ++f) {
        facility.bindAll(f, numbered("Facility ", f, 2)).run();
    }
    Statement route = connection.prepare(
        "INSERT INTO routes (route_id, facility_id, code, description, last_updated)"
        " VALUES (?1, ?2, ?3, ?4, '2024-01-01T00:00:00')");
    for (int r = 1; r <= routes; ++r) {
        route.bindAll(r, facilityOf(r), numbered("R", r, 5), numbered("Route ", r, 5)).run();
    }
    Statement location = connection.prepare(
        "INSERT INTO storage_locations (storage_location_id, facility_id, name, description)"
        " VALUES (?1, ?2, ?3, ?4)");
    for (int s = 1; s <= locations; ++s) {
        location.bindAll(s, facilityOf(s), numbered("B", s, 5), numbered("Bay ", s, 5)).run();
    }
    Statement center = connection.prepare(
        "INSERT INTO centers (center_id, name, facility_id, route_id, storage_location_id, status)"
        " VALUES (?1, ?2, ?3, nullif(?4, 0), nullif(?5, 0), ?6)");
    for (int c = 1; c <= centers; ++c) {
        const int f = facilityOf(c);
        const int n = (c - 1) / GeneratedFacilities;
        // Some centers without a route or a bay, and a mix of statuses, as in real data.
        const int routeId = c % 13 == 0 ? 0 : itemOfFacility(f, n, routes);
        const int locationId = c % 17 == 0 ? 0 : itemOfFacility(f, n, locations);
        const char* status = c % 10 == 0 ? "1" : (c % 29 == 0 ? "3" : "2");
        center
            .bindAll(c, numbered("Center ", c, 5), f, routeId, locationId, std::string_view(status))
            .run();
    }
    transaction.commit();
}

} // namespace stowline::server
