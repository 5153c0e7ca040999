#pragma once

#include "controls/ListView.h"

namespace stowline::pages {

// After an add: selects the first item, in list order, whose description (sub-item 1) equals
// the saved one. Selects nothing when none does.
inline void selectFirstWithDescription(controls::ListView& list, const QString& description) {
    for (int i = 1; i <= list.count(); ++i) {
        const controls::ListItemRef item = list.itemAt(i);
        if (list.subItem(item, 1) == description) {
            list.select(item);
            return;
        }
    }
}

// After a change whose answer was lost: selects the item whose tag (its record's key) is the
// one worked on. False when the list no longer holds it.
inline bool selectWithTag(controls::ListView& list, const QVariant& tag) {
    for (int i = 1; i <= list.count(); ++i) {
        const controls::ListItemRef item = list.itemAt(i);
        if (list.tag(item) == tag) {
            list.select(item);
            return true;
        }
    }
    return false;
}

// After an update: selects the item at the remembered position. False when the rebuilt list
// has become too short to have one there.
inline bool selectPosition(controls::ListView& list, int position) {
    if (position < 1 || position > list.count()) {
        return false;
    }
    list.select(list.itemAt(position));
    return true;
}

} // namespace stowline::pages
