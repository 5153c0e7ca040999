#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace stowline::bench {

// A route or bay that a load client created. Its key is 0 until a query has shown it, since
// the service does not answer an add with the new key.
struct OwnedRecord {
    int id = 0;
    std::string name; // the route code or the bay name
    std::string description;
};

// A center's assignment; 0 is "none".
struct Assignment {
    int facility = 0;
    int route = 0;
    int bay = 0;
    bool operator==(const Assignment&) const = default;
};

// What one client expects the service to hold for it: each of its records and centers as its
// last acknowledged update left them. Its names start with prefixes of its own and its
// centers are its alone, so no other client changes them and the expectation is exact.
struct OwnedRecords {
    int facility = 0;
    std::string routePrefix;
    std::string bayPrefix;
    std::vector<OwnedRecord> routes;
    std::vector<OwnedRecord> bays;
    std::map<int, Assignment> centers;
    // Names and centers whose last update failed: what the service holds for them is unknown.
    std::set<std::string> uncertainNames;
    std::set<int> uncertainCenters;
};

// A route or bay as a query answer or the database shows it.
struct ShownRecord {
    int id = 0;
    int facility = 0;
    std::string description;
};

// Compares the records shown under the client's prefix (by name) with those it owns: each
// owned record must be shown with its key, facility and description, and nothing else may be
// shown. Learns the keys not known yet. Returns the number of differences and appends a
// description of each to `problems`.
int compareRecords(std::vector<OwnedRecord>& owned, int facility,
                   const std::map<std::string, ShownRecord>& shown,
                   const std::set<std::string>& uncertain, std::vector<std::string>& problems);

// The same for the centers: `shown` holds what is shown of the owned centers.
int compareCenters(const std::map<int, Assignment>& owned, const std::map<int, Assignment>& shown,
                   const std::set<int>& uncertain, std::vector<std::string>& problems);

} // namespace stowline::bench
