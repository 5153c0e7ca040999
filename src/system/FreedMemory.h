#pragma once

#include <QByteArray>

namespace stowline::system {

// Hands memory freed after reading a large answer back to the system, once the event loop has
// handled what the reading set off (the lists' layout and repaint, which free and allocate
// more). Answers of many megabytes are parsed and let go in one call; without this the C
// library keeps the freed pages for the process, which then holds its peak as long as it runs.
void returnFreedMemorySoon();

// Lets go of a buffer that may run to many megabytes, shrinking it to a page first where the C
// library maps such blocks on their own. glibc takes the size of every mapped block freed as
// the new size from which on it maps blocks and gives memory back, so after a 15 MB answer a
// second thread's arena would keep the tens of megabytes the parser used there, for good.
void releaseBuffer(QByteArray& buffer);

} // namespace stowline::system
