#include "OwnedRecords.h"

namespace stowline::bench {
namespace {

std::string describe(const Assignment& a) {
    return "facility " + std::to_string(a.facility) + ", route " + std::to_string(a.route) +
           ", bay " + std::to_string(a.bay);
}

} // namespace

int compareRecords(std::vector<OwnedRecord>& owned, int facility,
                   const std::map<std::string, ShownRecord>& shown,
                   const std::set<std::string>& uncertain, std::vector<std::string>& problems) {
    int differences = 0;
    const auto differ = [&](const std::string& problem) {
        ++differences;
        problems.push_back(problem);
    };
    std::set<std::string> expected;
    for (OwnedRecord& record : owned) {
        expected.insert(record.name);
        const auto found = shown.find(record.name);
        if (found == shown.end()) {
            differ("\"" + record.name + "\" is missing");
            continue;
        }
        const ShownRecord& seen = found->second;
        if (record.id == 0) {
            record.id = seen.id;
        }
        if (seen.id != record.id || seen.facility != facility ||
            seen.description != record.description) {
            differ("\"" + record.name + "\" shows key " + std::to_string(seen.id) + ", facility " +
                   std::to_string(seen.facility) + ", \"" + seen.description + "\" instead of " +
                   std::to_string(record.id) + ", " + std::to_string(facility) + ", \"" +
                   record.description + "\"");
        }
    }
    for (const auto& [name, seen] : shown) {
        if (!expected.contains(name) && !uncertain.contains(name)) {
            differ("\"" + name + "\" (key " + std::to_string(seen.id) +
                   ") is shown although it was deleted or renamed");
        }
    }
    return differences;
}

int compareCenters(const std::map<int, Assignment>& owned, const std::map<int, Assignment>& shown,
                   const std::set<int>& uncertain, std::vector<std::string>& problems) {
    int differences = 0;
    for (const auto& [center, assignment] : owned) {
        if (uncertain.contains(center)) {
            continue;
        }
        const auto found = shown.find(center);
        if (found == shown.end() || !(found->second == assignment)) {
            ++differences;
            problems.push_back("center " + std::to_string(center) + " shows " +
                               (found == shown.end() ? "nothing" : describe(found->second)) +
                               " instead of " + describe(assignment));
        }
    }
    return differences;
}

} // namespace stowline::bench
