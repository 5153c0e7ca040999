#pragma once

#include "OwnedRecords.h"
#include "SoapConnection.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace stowline::bench {

// The operations a load client sends: the four queries, then the seven updates.
enum class RequestKind {
    GetFacilities,
    GetDeliveryRoute,
    GetStorageLocation,
    GetRelativeData,
    AddDeliveryRoute,
    UpdateDeliveryRoute,
    DeleteDeliveryRoute,
    AddStorageLocation,
    UpdateStorageLocation,
    DeleteStorageLocation,
    UpdateCenterRouteAndStorageLocation,
};
inline constexpr std::size_t RequestKinds = 11;
const char* operationName(RequestKind kind);

struct ClientResult {
    // Round-trip times of the exchanges, per kind.
    std::array<std::vector<std::uint32_t>, RequestKinds> microseconds;
    // Connections opened, and those of them that took longer than a second to be accepted.
    int connections = 0;
    int slowConnections = 0;
    // Exchanges that failed: transport failures, refusals, answers of the wrong form.
    int errors = 0;
    // Queries that did not show an acknowledged change of this client's own.
    int staleReads = 0;
    std::vector<std::string> problems;
    OwnedRecords records;
};

// One simulated operator program on its own connection: mostly queries, and updates of
// records and centers that belong to it alone, so that afterwards every acknowledged change
// can be checked. Runs on one thread; clients share nothing.
class LoadClient {
public:
    // Client `index` of `clients` owns the centers whose key minus 1 is index modulo clients.
    LoadClient(int index, int clients, int generatedCenters, const std::string& serverName);

    void run(std::chrono::steady_clock::time_point until);
    ClientResult& result() { return m_result; }

private:
    RequestKind pick();
    // The exchange, timed and counted; true when the service accepted it.
    bool exchange(RequestKind kind, const std::string& envelope, std::string& answer);
    void fail(const std::string& problem);

    void query(RequestKind kind);
    void addRecord(RequestKind kind);
    void changeRecord(RequestKind kind);
    void deleteRecord(RequestKind kind);
    void assignCenter();

    // Records whose key is known, and those of them no owned center uses.
    std::vector<std::size_t> knownRecords(bool routes) const;
    std::vector<std::size_t> unusedRecords(bool routes) const;
    int randomKey(bool routes);
    std::string nextName(bool routes);
    std::string nextDescription();

    int m_index;
    SoapConnection m_connection;
    std::mt19937 m_random;
    std::discrete_distribution<int> m_mix;
    std::vector<int> m_centers;
    int m_serial = 0;
    ClientResult m_result;
};

} // namespace stowline::bench
