#include "DatabaseCheck.h"

#include "Sqlite.h"

#include <map>

namespace stowline::bench {
namespace {

// The rows of a table whose name column starts with the prefix, by name.
std::map<std::string, ShownRecord> recordsWithPrefix(server::Connection& connection,
                                                     const char* sql, const std::string& prefix) {
    std::map<std::string, ShownRecord> shown;
    server::Statement rows = connection.prepare(sql);
    rows.bindAll(static_cast<std::int64_t>(prefix.size()), std::string_view(prefix));
    while (rows.step()) {
        shown[std::string(rows.text(0))] = {static_cast<int>(rows.integer(1)),
                                            static_cast<int>(rows.integer(2)),
                                            std::string(rows.text(3))};
    }
    return shown;
}

std::map<int, Assignment> assignments(server::Connection& connection,
                                      const std::map<int, Assignment>& owned) {
    std::map<int, Assignment> shown;
    server::Statement row =
        connection.prepare("SELECT facility_id, ifnull(route_id, 0), ifnull(storage_location_id, 0)"
                           " FROM centers WHERE center_id = ?1");
    for (const auto& [center, expected] : owned) {
        row.bindAll(std::int64_t{center});
        if (row.step()) {
            shown[center] = {static_cast<int>(row.integer(0)), static_cast<int>(row.integer(1)),
                             static_cast<int>(row.integer(2))};
        }
        row.run();
    }
    return shown;
}

} // namespace

int countLostUpdates(const std::string& databasePath, std::vector<OwnedRecords>& expected,
                     std::vector<std::string>& problems) {
    server::Connection connection(databasePath);
    int lost = 0;
    for (OwnedRecords& records : expected) {
        // substr rather than LIKE, whose _ and % would match more than the prefix.
        lost += compareRecords(
            records.routes, records.facility,
            recordsWithPrefix(connection,
                              "SELECT code, route_id, facility_id, description FROM routes"
                              " WHERE substr(code, 1, ?1) = ?2",
                              records.routePrefix),
            records.uncertainNames, problems);
        lost += compareRecords(
            records.bays, records.facility,
            recordsWithPrefix(connection,
                              "SELECT name, storage_location_id, facility_id, description"
                              " FROM storage_locations WHERE substr(name, 1, ?1) = ?2",
                              records.bayPrefix),
            records.uncertainNames, problems);
        lost += compareCenters(records.centers, assignments(connection, records.centers),
                               records.uncertainCenters, problems);
    }
    return lost;
}

} // namespace stowline::bench
