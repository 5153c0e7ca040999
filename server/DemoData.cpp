#include "DemoData.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace stowline::server {
namespace {

struct DemoFacility {
    std::int64_t id;
    std::string_view name;
};

struct DemoRoute {
    std::int64_t id;
    std::int64_t facility;
    std::string_view code;
    std::string_view description;
};

struct DemoStorageLocation {
    std::int64_t id;
    std::int64_t facility;
    std::string_view name;
    std::string_view description;
};

// route and storageLocation 0: not assigned. An empty status is stored as NULL.
struct DemoCenter {
    std::int64_t id;
    std::string_view name;
    std::int64_t facility;
    std::int64_t route;
    std::int64_t storageLocation;
    std::string_view status;
};

constexpr std::array<DemoFacility, 3> Facilities = {{
    {1, "Northfield Distribution Center"},
    {2, "Harbour Point Cross-Dock"},
    {3, "Dépôt Sainte-Émilie"},
}};

constexpr std::array<DemoRoute, 12> Routes = {{
    {1, 1, "01", "Downtown Loop"},
    {2, 1, "02", "Airport & Industrial Park"},
    {3, 1, "03", "Northern Suburbs"},
    {4, 1, "10", "Evening Express"},
    {5, 2, "H1", "Harbour Front"},
    {6, 2, "H2", "Bayview <Overnight>"},
    {7, 2, "H3", "Old Town & Market"},
    {8, 2, "H4", "Coastal Highway"},
    {9, 3, "E1", "Rive-Sud matinée"},
    {10, 3, "E2", "Vallée du fleuve"},
    {11, 3, "E3", "Côte-Nord express"},
    {12, 3, "E4", "Îles & villages"},
}};

constexpr std::array<DemoStorageLocation, 15> StorageLocations = {{
    {1, 1, "A-01", "Ambient aisle A, front"},
    {2, 1, "A-02", "Ambient aisle A, rear"},
    {3, 1, "C-01", "Chilled <2-4 °C>"},
    {4, 1, "F-01", "Frozen & ice cream"},
    {5, 1, "", "Overflow floor (no bay name)"},
    {6, 2, "D1", "Dock 1 staging"},
    {7, 2, "D2", "Dock 2 staging"},
    {8, 2, "Q-01", "Quarantine cage"},
    {9, 2, "R-01", "Returns & damages"},
    {10, 2, "M-01", "Mezzanine > 25 kg"},
    {11, 3, "É-01", "Entrepôt principal"},
    {12, 3, "É-02", "Réfrigéré"},
    {13, 3, "É-03", "Congelé"},
    {14, 3, "Q-É", "Quai d'expédition"},
    {15, 3, "V-01", "Vrac & palettes"},
}};

// Status "2" is active; the others stand for inactive and closed centers.
constexpr std::array<DemoCenter, 40> Centers = {{
    {1001, "Maple Street Market", 1, 1, 1, "2"},
    {1002, "Johnson & Sons Grocery", 1, 2, 2, "2"},
    {1003, "Riverside Pharmacy", 1, 3, 3, "2"},
    {1004, "Northgate Mall Kiosk", 1, 4, 4, "1"},
    {1005, "Elm Court Deli", 1, 1, 5, "2"},
    {1006, "Cedar Hill Bakery", 1, 2, 0, "2"},
    {1007, "Pine Ridge Hardware", 1, 0, 1, "2"},
    {1008, "Lakeside Convenience", 1, 0, 0, "2"},
    {1009, "Smith & Wesley Foods", 1, 3, 2, "3"},
    {1010, "Aisle <7> Outlet", 1, 4, 3, "2"},
    {1011, "Oak Avenue Florist", 1, 1, 4, "2"},
    {1012, "Brookside Café", 1, 2, 1, "1"},
    {1013, "Hilltop Newsstand", 1, 3, 0, "2"},
    {1014, "Station Road Pantry", 1, 0, 0, ""},
    {1015, "Harbour Fish Market", 2, 5, 6, "2"},
    {1016, "Bayview Provisions", 2, 6, 7, "2"},
    {1017, "Old Town Apothecary", 2, 7, 8, "2"},
    {1018, "Pier 9 Chandlery", 2, 8, 9, "1"},
    {1019, "Lighthouse Diner", 2, 5, 10, "2"},
    {1020, "Salt & Pepper Bistro", 2, 6, 6, "2"},
    {1021, "Anchor Bay Supplies", 2, 7, 0, "3"},
    {1022, "Seagull Snacks", 2, 0, 7, "2"},
    {1023, "Marina <North> Shop", 2, 8, 8, "2"},
    {1024, "Tidewater Market", 2, 5, 9, "2"},
    {1025, "Coastline Pharmacy", 2, 0, 0, "1"},
    {1026, "Dockside Hardware", 2, 6, 10, "2"},
    {1027, "Boulangerie Élise", 3, 9, 11, "2"},
    {1028, "Épicerie du Coin", 3, 10, 12, "2"},
    {1029, "Pharmacie Côté", 3, 11, 13, "2"},
    {1030, "Fromagerie Lévesque & Fils", 3, 12, 14, "2"},
    {1031, "Marché Saint-Rémi", 3, 9, 15, "1"},
    {1032, "Café Crème", 3, 10, 0, "2"},
    {1033, "Dépanneur Hélène", 3, 0, 11, "2"},
    {1034, "Boucherie Gagné", 3, 11, 12, "3"},
    {1035, "Librairie Ève", 3, 12, 13, "2"},
    {1036, "Fleuriste Amélie", 3, 0, 0, "2"},
    {1037, "Quincaillerie Bélanger", 3, 9, 14, "2"},
    {1038, "Poissonnerie L'Océan", 3, 10, 15, "1"},
    {1039, "Bistro Chez Noël", 3, 11, 11, "2"},
    {1040, "Pâtisserie Zoé", 3, 12, 0, "2"},
}};

} // namespace

void insertDemoData(Connection& connection) {
    WriteTransaction transaction(connection);
    Statement facility =
        connection.prepare("INSERT INTO facilities (facility_id, name) VALUES (?1, ?2)");
    for (const DemoFacility& f : Facilities) {
        facility.bindAll(f.id, f.name).run();
    }
    Statement route = connection.prepare(
        "INSERT INTO routes (route_id, facility_id, code, description, last_updated)"
        " VALUES (?1, ?2, ?3, ?4, strftime('%Y-%m-%dT%H:%M:%S', 'now'))");
    for (const DemoRoute& r : Routes) {
        route.bindAll(r.id, r.facility, r.code, r.description).run();
    }
    Statement location = connection.prepare(
        "INSERT INTO storage_locations (storage_location_id, facility_id, name, description)"
        " VALUES (?1, ?2, ?3, ?4)");
    for (const DemoStorageLocation& s : StorageLocations) {
        location.bindAll(s.id, s.facility, s.name, s.description).run();
    }
    Statement center = connection.prepare(
        "INSERT INTO centers (center_id, name, facility_id, route_id, storage_location_id, status)"
        " VALUES (?1, ?2, ?3, nullif(?4, 0), nullif(?5, 0), nullif(?6, ''))");
    for (const DemoCenter& c : Centers) {
        center.bindAll(c.id, c.name, c.facility, c.route, c.storageLocation, c.status).run();
    }
    transaction.commit();
}

} // namespace stowline::server
