#pragma once

namespace stowline::platform {

// Hands memory freed after reading a large answer back to the system, once the event loop has
// handled what the reading set off (the lists' layout and repaint, which free and allocate
// more). Answers of many megabytes are parsed and let go in one call; without this the C
// library keeps the freed pages for the process, which then holds its peak as long as it runs.
void returnFreedMemorySoon();

} // namespace stowline::platform
