#pragma once

#include "Sqlite.h"

namespace stowline::server {

// Fills an empty database with a small operation to try the component with: three
// facilities, a dozen routes, fifteen storage locations and forty centers of mixed status,
// some unassigned, some values holding &, <, > or accented letters.
void insertDemoData(Connection& connection);

} // namespace stowline::server
