#pragma once

#include "Sqlite.h"

namespace stowline::server {

inline constexpr int GeneratedFacilities = 30;

// Fills an empty database with a large synthetic operation for load tests: `centers` centers
// (1 to 32767), a tenth as many routes and as many storage locations (at least one of each),
// spread evenly over 30 facilities. The same count always gives the same data.
void insertGeneratedData(Connection& connection, int centers);

} // namespace stowline::server
