#include "Schema.h"

#include <string>

namespace stowline::server {

void createSchema(Connection& connection) {
    // Text lengths are checked by the operations, which name the offending element; the
    // CHECKs here only keep keys in the range the service's clients can send.
    connection.execute(R"sql(
BEGIN IMMEDIATE;
CREATE TABLE IF NOT EXISTS facilities (
    facility_id INTEGER PRIMARY KEY CHECK (facility_id BETWEEN 1 AND 32767),
    name        TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS routes (
    route_id     INTEGER PRIMARY KEY CHECK (route_id BETWEEN 1 AND 32767),
    facility_id  INTEGER NOT NULL REFERENCES facilities (facility_id),
    code         TEXT NOT NULL,
    description  TEXT NOT NULL,
    last_updated TEXT NOT NULL,
    UNIQUE (facility_id, code)
);
CREATE TABLE IF NOT EXISTS storage_locations (
    storage_location_id INTEGER PRIMARY KEY CHECK (storage_location_id BETWEEN 1 AND 32767),
    facility_id         INTEGER NOT NULL REFERENCES facilities (facility_id),
    name                TEXT NOT NULL,
    description         TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS centers (
    center_id           INTEGER PRIMARY KEY CHECK (center_id BETWEEN 1 AND 32767),
    name                TEXT NOT NULL,
    facility_id         INTEGER NOT NULL REFERENCES facilities (facility_id),
    route_id            INTEGER REFERENCES routes (route_id),
    storage_location_id INTEGER REFERENCES storage_locations (storage_location_id),
    status              TEXT
);
CREATE INDEX IF NOT EXISTS centers_by_route ON centers (route_id);
CREATE INDEX IF NOT EXISTS centers_by_storage_location ON centers (storage_location_id);
PRAGMA user_version = 1;
COMMIT;
)sql");
}

bool holdsNoData(Connection& connection) {
    return connection.queryInteger("SELECT (SELECT count(*) FROM facilities) +"
                                   " (SELECT count(*) FROM routes) +"
                                   " (SELECT count(*) FROM storage_locations) +"
                                   " (SELECT count(*) FROM centers)",
                                   0) == 0;
}

std::int64_t allocateKey(Connection& connection, const char* table, const char* keyColumn) {
    // Table and column names come from the operations' own constants, never from a request.
    const std::string t = table;
    const std::string k = keyColumn;
    const std::int64_t highest = connection.queryInteger("SELECT max(" + k + ") FROM " + t, 0);
    if (highest < MaximumKey) {
        return highest + 1;
    }
    // Deleting rows leaves gaps: the lowest one is reused once the range is used up.
    if (connection.queryInteger("SELECT count(*) FROM " + t + " WHERE " + k + " = 1", 0) == 0) {
        return 1;
    }
    const std::int64_t gap = connection.queryInteger(
        "SELECT min(" + k + " + 1) FROM " + t + " WHERE " + k + " < ?1 AND " + k +
            " + 1 NOT IN (SELECT " + k + " FROM " + t + ")",
        0, MaximumKey);
    if (gap == 0) {
        throw SqliteError(t + " has no free key up to " + std::to_string(MaximumKey));
    }
    return gap;
}

} // namespace stowline::server
