// AddStorageLocation, UpdateStorageLocation, DeleteStorageLocation. The bay's name travels
// in the element RouteName and its facility, as text, in TOVAFacilityID.
#include "Lookups.h"
#include "Operations.h"
#include "RequestValues.h"
#include "Schema.h"
#include "SoapFault.h"

namespace stowline::server {

std::string addStorageLocation(Connection& connection, const SoapRequest& request) {
    const std::int64_t facilityId = keyValue(request, "TOVAFacilityID");
    const std::string& name =
        textValue(request, "RouteName", StorageLocationNameLength, Blank::Allowed);
    const std::string& description =
        textValue(request, "Description", DescriptionLength, Blank::Refused);

    WriteTransaction transaction(connection);
    requireFacility(connection, facilityId, "TOVAFacilityID");
    const std::int64_t id = allocateKey(connection, "storage_locations", "storage_location_id");
    connection
        .prepare("INSERT INTO storage_locations"
                 " (storage_location_id, facility_id, name, description)"
                 " VALUES (?1, ?2, ?3, ?4)")
        .bindAll(id, facilityId, std::string_view(name), std::string_view(description))
        .run();
    transaction.commit();
    return {};
}

std::string updateStorageLocation(Connection& connection, const SoapRequest& request) {
    const std::int64_t id = keyValue(request, "StorageLocationID");
    const std::int64_t facilityId = keyValue(request, "TOVAFacilityID");
    const std::string& name =
        textValue(request, "RouteName", StorageLocationNameLength, Blank::Allowed);
    const std::string& description =
        textValue(request, "Description", DescriptionLength, Blank::Refused);

    WriteTransaction transaction(connection);
    requireStorageLocation(connection, id, "StorageLocationID");
    requireFacility(connection, facilityId, "TOVAFacilityID");
    connection
        .prepare("UPDATE storage_locations SET facility_id = ?1, name = ?2, description = ?3"
                 " WHERE storage_location_id = ?4")
        .bindAll(facilityId, std::string_view(name), std::string_view(description), id)
        .run();
    transaction.commit();
    return {};
}

std::string deleteStorageLocation(Connection& connection, const SoapRequest& request) {
    const std::int64_t id = keyValue(request, "StorageLocationID");

    WriteTransaction transaction(connection);
    const StorageLocationRow location = requireStorageLocation(connection, id, "StorageLocationID");
    if (const std::int64_t users = centersWithStorageLocation(connection, id); users > 0) {
        throw SoapFault("The storage location " + quoted(location.name) + " is still assigned to " +
                        centerCount(users) + "; assign them another storage location first");
    }
    connection.prepare("DELETE FROM storage_locations WHERE storage_location_id = ?1")
        .bindAll(id)
        .run();
    transaction.commit();
    return {};
}

} // namespace stowline::server
