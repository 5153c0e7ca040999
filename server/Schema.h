#pragma once

#include "Sqlite.h"

namespace stowline::server {

// Keys travel as 16-bit signed integers in the service's requests, so no key may exceed this.
inline constexpr std::int64_t MaximumKey = 32767;

// The longest texts the service stores, in characters.
inline constexpr std::size_t RouteCodeLength = 10;
inline constexpr std::size_t StorageLocationNameLength = 20;
inline constexpr std::size_t DescriptionLength = 50;

// Creates the tables when they are missing; leaves an existing database as it is.
void createSchema(Connection& connection);

// True when the database holds no facility, route, storage location or center.
bool holdsNoData(Connection& connection);

// A free key of a table: one above the highest, or the lowest gap once the highest key is
// MaximumKey. Throws SqliteError when every key is taken. Call inside a write transaction.
std::int64_t allocateKey(Connection& connection, const char* table, const char* keyColumn);

} // namespace stowline::server
