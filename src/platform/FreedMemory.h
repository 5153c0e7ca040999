#pragma once

namespace stowline::platform {

// Hands memory freed after reading a large answer back to the system. Answers of many megabytes
// are parsed and let go in one call; without this the C library keeps the freed pages for the
// process, which then holds its peak for as long as it runs.
void returnFreedMemory();

} // namespace stowline::platform
