#pragma once

#include "controls/ListView.h"

namespace stowline::pages {

// What a click on a column header does to a list's sort: the clicked column becomes the sort
// key (the order stays), or, when it already is, the order flips.
inline void applyColumnClick(controls::ListView& list, int columnIndex) {
    const int key = columnIndex - 1;
    if (list.sortKey() == key) {
        list.setSortOrder(list.sortOrder() == 0 ? 1 : 0);
    } else {
        list.setSortKey(key);
    }
}

} // namespace stowline::pages
