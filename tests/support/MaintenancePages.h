#pragma once

// The route and the storage-location pages: their tab, their controls' object names, and where
// the stand-in service keeps their records.
namespace stowline::test {

struct MaintenancePageNames {
    int tab;
    const char *list, *frame, *name, *description, *facility, *add, *change, *remove;
    const char *table, *key, *nameColumn;
};

// clang-format off
inline constexpr MaintenancePageNames RouteNames{
    0, "lstRoute", "fraRouteList", "txtRoute", "txtRouteDesc", "cboFacility3",
    "cmdAddRoute", "cmdChangeRoute", "cmdDeleteRoute", "routes", "route_id", "code"};
inline constexpr MaintenancePageNames LocationNames{
    1, "lstLocation", "fraLocationList", "txtLocationID", "txtLocationDesc", "cboFacility",
    "cmdAddLocation", "cmdChangeLocation", "cmdDeleteLocation",
    "storage_locations", "storage_location_id", "name"};
// clang-format on

} // namespace stowline::test
