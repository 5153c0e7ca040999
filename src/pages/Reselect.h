#pragma once

#include "controls/ListView.h"

namespace stowline::pages {

// Selecting by content looks at every row the list holds; one that the filter hides is shown by
// the selection, which clears the filter.

// After an add: selects the first item, in list order, whose description (sub-item 1) equals
// the saved one. Selects nothing when none does.
inline void selectFirstWithDescription(controls::ListView& list, const QString& description) {
    const controls::ListItemRef item = list.findItem(
        [&](const controls::ListItemRef& i) { return list.subItem(i, 1) == description; });
    if (!item.isNothing()) {
        list.select(item);
    }
}

// After a change whose answer was lost: selects the item whose tag (its record's key) is the
// one worked on. False when the list no longer holds it.
inline bool selectWithTag(controls::ListView& list, const QVariant& tag) {
    const controls::ListItemRef item =
        list.findItem([&](const controls::ListItemRef& i) { return list.tag(i) == tag; });
    if (item.isNothing()) {
        return false;
    }
    list.select(item);
    return true;
}

// After an update: selects the item at the remembered position among the rows shown (the
// filter stays); none when the rebuilt list has become too short to have one there.
inline void selectPosition(controls::ListView& list, int position) {
    if (position >= 1 && position <= list.count()) {
        list.select(list.itemAt(position));
    }
}

} // namespace stowline::pages
