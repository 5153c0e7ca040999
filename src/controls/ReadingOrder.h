#pragma once

#include <QCollator>

namespace stowline::controls {

// The order in which an operator reads the lists' texts: the system locale's collation, case
// ignored, runs of digits compared by value ("9" before "10"). Where the system locale is C or
// POSIX (Debian's default C.UTF-8 among them), whose collation compares code units and knows no
// numbers, the language-neutral default collation stands in; it sorts accented letters with
// their base letters ("É-01" with "E").
QCollator readingCollator();

} // namespace stowline::controls
