// The four queries. Each selects its columns in the order of its column list, so that column
// k of the statement is written as column k of the data set.
#include "DataSetWriter.h"
#include "Operations.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace stowline::server {
namespace {

using T = ColumnType;

std::string dataSet(Connection& connection, const char* sql, const char* countSql,
                    std::span<const Column> columns) {
    DataSetWriter writer(columns, DataSetForm::InsideResult);
    Statement count = connection.prepare(countSql);
    if (count.step()) {
        writer.expectRows(static_cast<std::size_t>(std::max<std::int64_t>(count.integer(0), 0)));
    }
    Statement statement = connection.prepare(sql);
    while (statement.step()) {
        writer.beginRow();
        for (std::size_t column = 0; column < columns.size(); ++column) {
            const int index = static_cast<int>(column);
            if (!statement.isNull(index)) {
                writer.value(column, statement.text(index));
            }
        }
        writer.endRow();
    }
    return writer.finish();
}

constexpr std::array<Column, 2> FacilityColumns = {{
    {"Description", T::String},
    {"TOVAFacilityID", T::Int},
}};

constexpr std::array<Column, 6> RouteColumns = {{
    {"DeliveryRouteID", T::Int},
    {"Route", T::String},
    {"Description", T::String},
    {"Facility", T::String},
    {"TOVAFacilityID", T::Int},
    {"RecordLastUpdated", T::DateTime},
}};

constexpr std::array<Column, 5> StorageLocationColumns = {{
    {"StorageLocationID", T::Int},
    {"RouteName", T::String},
    {"Description", T::String},
    {"Facility", T::String},
    {"TOVAFacilityID", T::Int},
}};

constexpr std::array<Column, 10> CenterColumns = {{
    {"CenterID", T::Int},
    {"CenterName", T::String},
    {"CenterLocation", T::String},
    {"CenterRoute", T::String},
    {"Facility", T::String},
    {"DeliveryRouteID", T::Int},
    {"Route", T::String},
    {"StorageLocationID", T::Int},
    {"Status", T::String},
    {"TOVAFacilityID", T::Int},
}};

} // namespace

std::string getFacilities(Connection& connection, const SoapRequest&) {
    return dataSet(connection,
                   "SELECT name, facility_id FROM facilities ORDER BY name, facility_id",
                   "SELECT count(*) FROM facilities", FacilityColumns);
}

std::string getDeliveryRoute(Connection& connection, const SoapRequest&) {
    return dataSet(connection,
                   "SELECT r.route_id, r.code, r.description, f.name, r.facility_id,"
                   "       r.last_updated"
                   " FROM routes r JOIN facilities f ON f.facility_id = r.facility_id"
                   " ORDER BY f.name, r.facility_id, r.code, r.route_id",
                   "SELECT count(*) FROM routes", RouteColumns);
}

std::string getStorageLocation(Connection& connection, const SoapRequest&) {
    return dataSet(connection,
                   "SELECT s.storage_location_id, s.name, s.description, f.name, s.facility_id"
                   " FROM storage_locations s JOIN facilities f ON f.facility_id = s.facility_id"
                   " ORDER BY f.name, s.facility_id, s.name, s.storage_location_id",
                   "SELECT count(*) FROM storage_locations", StorageLocationColumns);
}

std::string getRelativeData(Connection& connection, const SoapRequest&) {
    // An unassigned center has no route or bay: the outer joins give NULLs, which the data
    // set leaves out.
    return dataSet(connection,
                   "SELECT c.center_id, c.name, s.description, r.description, f.name,"
                   "       c.route_id, r.code, c.storage_location_id, c.status, c.facility_id"
                   " FROM centers c"
                   " JOIN facilities f ON f.facility_id = c.facility_id"
                   " LEFT JOIN routes r ON r.route_id = c.route_id"
                   " LEFT JOIN storage_locations s"
                   "   ON s.storage_location_id = c.storage_location_id"
                   " ORDER BY c.center_id",
                   "SELECT count(*) FROM centers", CenterColumns);
}

} // namespace stowline::server
