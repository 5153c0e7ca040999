#include "LoadClient.h"

#include "Generator.h"
#include "service/Envelope.h"

#include <QString>

#include <map>

namespace stowline::bench {
namespace {

constexpr std::array<const char*, RequestKinds> OperationNames = {
    "GetFacilities",
    "GetDeliveryRoute",
    "GetStorageLocation",
    "GetRelativeData",
    "AddDeliveryRoute",
    "UpdateDeliveryRoute",
    "DeleteDeliveryRoute",
    "AddStorageLocation",
    "UpdateStorageLocation",
    "DeleteStorageLocation",
    "UpdateCenterRouteAndStorageLocation",
};

// Seven requests in ten are queries: operators mostly look things up and now and then change
// a route, a bay or a center's assignment.
constexpr std::array<double, RequestKinds> Weights = {10, 20, 15, 25, 5, 5, 3, 5, 4, 3, 5};

// Beyond this many records of a kind a client deletes instead of adding, so that the tables
// stay near their generated size however long the run.
constexpr std::size_t RecordsKept = 12;

// At most this many problems are kept per client for the report.
constexpr std::size_t ProblemsKept = 10;

bool isUpdate(RequestKind kind) {
    return kind >= RequestKind::AddDeliveryRoute;
}

bool isRouteKind(RequestKind kind) {
    return kind == RequestKind::AddDeliveryRoute || kind == RequestKind::UpdateDeliveryRoute ||
           kind == RequestKind::DeleteDeliveryRoute;
}

std::string updateEnvelope(const char* operation,
                           std::initializer_list<service::UpdateChild> children) {
    return service::envelopeWith(service::updateElement(QString::fromLatin1(operation), children))
        .toStdString();
}

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString number(int value) {
    return QString::number(value);
}

int intValue(const pugi::xml_node& row, const char* column) {
    return row.child(column).text().as_int(0);
}

std::string textValue(const pugi::xml_node& row, const char* column) {
    return row.child(column).text().get();
}

} // namespace

const char* operationName(RequestKind kind) {
    return OperationNames[static_cast<std::size_t>(kind)];
}

LoadClient::LoadClient(int index, int clients, int generatedCenters, const std::string& serverName)
    : m_index(index), m_connection(serverName), m_random(static_cast<unsigned>(index) + 1),
      m_mix(Weights.begin(), Weights.end()) {
    OwnedRecords& records = m_result.records;
    records.facility = index % server::GeneratedFacilities + 1;
    const std::string tag = (index < 10 ? "0" : "") + std::to_string(index) + "-";
    records.routePrefix = "L" + tag;
    records.bayPrefix = "Bay " + tag;
    for (int center = index + 1; center <= generatedCenters; center += clients) {
        m_centers.push_back(center);
    }
}

void LoadClient::run(std::chrono::steady_clock::time_point until) {
    while (std::chrono::steady_clock::now() < until) {
        const RequestKind kind = pick();
        switch (kind) {
        case RequestKind::GetFacilities:
        case RequestKind::GetDeliveryRoute:
        case RequestKind::GetStorageLocation:
        case RequestKind::GetRelativeData:
            query(kind);
            break;
        case RequestKind::AddDeliveryRoute:
        case RequestKind::AddStorageLocation:
            addRecord(kind);
            break;
        case RequestKind::UpdateDeliveryRoute:
        case RequestKind::UpdateStorageLocation:
            changeRecord(kind);
            break;
        case RequestKind::DeleteDeliveryRoute:
        case RequestKind::DeleteStorageLocation:
            deleteRecord(kind);
            break;
        case RequestKind::UpdateCenterRouteAndStorageLocation:
            assignCenter();
            break;
        }
    }
}

RequestKind LoadClient::pick() {
    const auto kind = static_cast<RequestKind>(m_mix(m_random));
    const bool routes = isRouteKind(kind);
    const RequestKind add =
        routes ? RequestKind::AddDeliveryRoute : RequestKind::AddStorageLocation;
    const RequestKind remove =
        routes ? RequestKind::DeleteDeliveryRoute : RequestKind::DeleteStorageLocation;
    const std::vector<OwnedRecord>& owned =
        routes ? m_result.records.routes : m_result.records.bays;
    switch (kind) {
    case RequestKind::UpdateDeliveryRoute:
    case RequestKind::UpdateStorageLocation:
        return knownRecords(routes).empty() ? add : kind;
    case RequestKind::DeleteDeliveryRoute:
    case RequestKind::DeleteStorageLocation:
        return unusedRecords(routes).empty() ? add : kind;
    case RequestKind::AddDeliveryRoute:
    case RequestKind::AddStorageLocation:
        return owned.size() >= RecordsKept && !unusedRecords(routes).empty() ? remove : kind;
    case RequestKind::UpdateCenterRouteAndStorageLocation:
        return m_centers.empty() ? RequestKind::GetRelativeData : kind;
    default:
        return kind;
    }
}

bool LoadClient::exchange(RequestKind kind, const std::string& envelope, std::string& answer) {
    const auto start = std::chrono::steady_clock::now();
    SoapAnswer result = m_connection.post(operationName(kind), envelope);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    m_result.microseconds[static_cast<std::size_t>(kind)].push_back(static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()));
    if (result.connected) {
        ++m_result.connections;
        m_result.slowConnections += result.connectMicroseconds >= 1'000'000 ? 1 : 0;
    }
    if (!result.accepted) {
        fail(result.text);
        return false;
    }
    answer = std::move(result.text);
    if (isUpdate(kind)) {
        if (const std::string wrong = checkEmptyResponse(answer, operationName(kind));
            !wrong.empty()) {
            fail(wrong);
            return false;
        }
    }
    return true;
}

void LoadClient::fail(const std::string& problem) {
    ++m_result.errors;
    if (m_result.problems.size() < ProblemsKept) {
        m_result.problems.push_back(problem);
    }
}

void LoadClient::query(RequestKind kind) {
    const std::string operation = operationName(kind);
    std::string answer;
    if (!exchange(kind, queryEnvelope(operation), answer)) {
        return;
    }
    OwnedRecords& records = m_result.records;
    const bool routes = kind == RequestKind::GetDeliveryRoute;
    const std::string& prefix = routes ? records.routePrefix : records.bayPrefix;
    std::map<std::string, ShownRecord> shown;
    std::map<int, Assignment> centers;
    int rows = 0;
    const std::string wrong = forEachRow(answer, operation, [&](const pugi::xml_node& row) {
        ++rows;
        if (kind == RequestKind::GetDeliveryRoute || kind == RequestKind::GetStorageLocation) {
            std::string name = textValue(row, routes ? "Route" : "RouteName");
            if (name.starts_with(prefix)) {
                shown[std::move(name)] = {
                    intValue(row, routes ? "DeliveryRouteID" : "StorageLocationID"),
                    intValue(row, "TOVAFacilityID"), textValue(row, "Description")};
            }
        } else if (kind == RequestKind::GetRelativeData) {
            const int center = intValue(row, "CenterID");
            if (records.centers.contains(center)) {
                centers[center] = {intValue(row, "TOVAFacilityID"),
                                   intValue(row, "DeliveryRouteID"),
                                   intValue(row, "StorageLocationID")};
            }
        }
    });
    if (!wrong.empty() || rows == 0) {
        fail(wrong.empty() ? operation + ": the data set has no rows" : wrong);
        return;
    }
    // Each client waits for every answer before its next request, so a query must show all
    // of its own acknowledged changes.
    std::vector<std::string> stale;
    if (kind == RequestKind::GetDeliveryRoute || kind == RequestKind::GetStorageLocation) {
        m_result.staleReads +=
            compareRecords(routes ? records.routes : records.bays, records.facility, shown,
                           records.uncertainNames, stale);
    } else if (kind == RequestKind::GetRelativeData) {
        m_result.staleReads +=
            compareCenters(records.centers, centers, records.uncertainCenters, stale);
    }
    for (std::string& problem : stale) {
        if (m_result.problems.size() < ProblemsKept) {
            m_result.problems.push_back(operation + " after an acknowledged change: " + problem);
        }
    }
}

void LoadClient::addRecord(RequestKind kind) {
    const bool routes = kind == RequestKind::AddDeliveryRoute;
    OwnedRecords& records = m_result.records;
    OwnedRecord record{0, nextName(routes), nextDescription()};
    const std::string envelope =
        routes ? updateEnvelope("AddDeliveryRoute", {{"FacilityID", number(records.facility)},
                                                     {"Route", text(record.name)},
                                                     {"Description", text(record.description)}})
               : updateEnvelope("AddStorageLocation", {{"TOVAFacilityID", number(records.facility)},
                                                       {"RouteName", text(record.name)},
                                                       {"Description", text(record.description)}});
    std::string answer;
    if (!exchange(kind, envelope, answer)) {
        records.uncertainNames.insert(record.name);
        return;
    }
    (routes ? records.routes : records.bays).push_back(std::move(record));
}

void LoadClient::changeRecord(RequestKind kind) {
    const bool routes = kind == RequestKind::UpdateDeliveryRoute;
    OwnedRecords& records = m_result.records;
    std::vector<OwnedRecord>& owned = routes ? records.routes : records.bays;
    const std::vector<std::size_t> candidates = knownRecords(routes);
    const std::size_t at =
        candidates[std::uniform_int_distribution<std::size_t>(0, candidates.size() - 1)(m_random)];
    // The route page cannot change a route's code; the bay page changes name and description.
    OwnedRecord changed{owned[at].id, routes ? owned[at].name : nextName(false), nextDescription()};
    const std::string envelope =
        routes
            ? updateEnvelope("UpdateDeliveryRoute", {{"FacilityID", number(records.facility)},
                                                     {"DeliveryRouteID", number(changed.id)},
                                                     {"Route", text(changed.name)},
                                                     {"Description", text(changed.description)}})
            : updateEnvelope("UpdateStorageLocation", {{"StorageLocationID", number(changed.id)},
                                                       {"TOVAFacilityID", number(records.facility)},
                                                       {"RouteName", text(changed.name)},
                                                       {"Description", text(changed.description)}});
    std::string answer;
    if (!exchange(kind, envelope, answer)) {
        records.uncertainNames.insert(owned[at].name);
        records.uncertainNames.insert(changed.name);
        owned.erase(owned.begin() + static_cast<std::ptrdiff_t>(at));
        return;
    }
    owned[at] = std::move(changed);
}

void LoadClient::deleteRecord(RequestKind kind) {
    const bool routes = kind == RequestKind::DeleteDeliveryRoute;
    OwnedRecords& records = m_result.records;
    std::vector<OwnedRecord>& owned = routes ? records.routes : records.bays;
    const std::vector<std::size_t> candidates = unusedRecords(routes);
    const std::size_t at =
        candidates[std::uniform_int_distribution<std::size_t>(0, candidates.size() - 1)(m_random)];
    const std::string envelope =
        routes ? updateEnvelope("DeleteDeliveryRoute", {{"DeliveryRouteID", number(owned[at].id)}})
               : updateEnvelope("DeleteStorageLocation",
                                {{"StorageLocationID", number(owned[at].id)}});
    std::string answer;
    if (!exchange(kind, envelope, answer)) {
        records.uncertainNames.insert(owned[at].name);
    }
    owned.erase(owned.begin() + static_cast<std::ptrdiff_t>(at));
}

void LoadClient::assignCenter() {
    OwnedRecords& records = m_result.records;
    const int center =
        m_centers[std::uniform_int_distribution<std::size_t>(0, m_centers.size() - 1)(m_random)];
    const Assignment assignment{records.facility, randomKey(true), randomKey(false)};
    const std::string envelope = updateEnvelope("UpdateCenterRouteAndStorageLocation",
                                                {{"FacilityID", number(assignment.facility)},
                                                 {"CenterID", number(center)},
                                                 {"RouteID", number(assignment.route)},
                                                 {"StorageLocationID", number(assignment.bay)}});
    std::string answer;
    if (!exchange(RequestKind::UpdateCenterRouteAndStorageLocation, envelope, answer)) {
        records.uncertainCenters.insert(center);
        records.centers.erase(center);
        return;
    }
    records.centers[center] = assignment;
}

std::vector<std::size_t> LoadClient::knownRecords(bool routes) const {
    const std::vector<OwnedRecord>& owned =
        routes ? m_result.records.routes : m_result.records.bays;
    std::vector<std::size_t> known;
    for (std::size_t i = 0; i < owned.size(); ++i) {
        if (owned[i].id != 0) {
            known.push_back(i);
        }
    }
    return known;
}

std::vector<std::size_t> LoadClient::unusedRecords(bool routes) const {
    // The service refuses to delete a route or bay that a center still uses.
    const OwnedRecords& records = m_result.records;
    const std::vector<OwnedRecord>& owned = routes ? records.routes : records.bays;
    std::vector<std::size_t> unused;
    for (const std::size_t i : knownRecords(routes)) {
        bool used = false;
        for (const auto& [center, assignment] : records.centers) {
            used = used || (routes ? assignment.route : assignment.bay) == owned[i].id;
        }
        if (!used) {
            unused.push_back(i);
        }
    }
    return unused;
}

int LoadClient::randomKey(bool routes) {
    const std::vector<std::size_t> known = knownRecords(routes);
    // One assignment in five clears that part.
    if (known.empty() || std::uniform_int_distribution<int>(0, 4)(m_random) == 0) {
        return 0;
    }
    const std::vector<OwnedRecord>& owned =
        routes ? m_result.records.routes : m_result.records.bays;
    return owned[known[std::uniform_int_distribution<std::size_t>(0, known.size() - 1)(m_random)]]
        .id;
}

std::string LoadClient::nextName(bool routes) {
    const OwnedRecords& records = m_result.records;
    return (routes ? records.routePrefix : records.bayPrefix) + std::to_string(++m_serial);
}

std::string LoadClient::nextDescription() {
    // The characters that need escaping on the way, and some that are not ASCII.
    return "Zürich & <Ødegård> \"" + std::to_string(m_index) + "\" #" + std::to_string(++m_serial);
}

} // namespace stowline::bench
