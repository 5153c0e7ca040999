#pragma once

#include "OwnedRecords.h"

#include <string>
#include <vector>

namespace stowline::bench {

// Reads the database file the server kept and compares it with what each client expects:
// every acknowledged add and change present with its last acknowledged value, every
// acknowledged delete absent. Returns the number of differences (lost updates) and appends a
// description of each to `problems`.
int countLostUpdates(const std::string& databasePath, std::vector<OwnedRecords>& expected,
                     std::vector<std::string>& problems);

} // namespace stowline::bench
