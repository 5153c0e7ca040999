#pragma once

#include "platform/ListView.h"
#include "readers/DataSetWalk.h"

#include <QByteArray>
#include <initializer_list>

namespace stowline::readers {

// The walk every list reader shares: the list is cleared, and when the text parses onRow gets
// the given columns of each row with the number the row would have (from 1) and tells whether
// it kept the row; the list then shows the kept rows, also those kept before a failure.
// Returns whether the text parsed; a reader skips its closing steps when it did not. A text
// that is not empty and does not parse is thrown as the reader's failure.
template <typename OnRow>
bool refillList(platform::ListView& list, QByteArray XMLData,
                std::initializer_list<const char*> columns, OnRow&& onRow) {
    const DataSetWalk walk(std::move(XMLData));
    list.clearItems();
    if (!walk.parsedOrRaise()) {
        return false;
    }
    int kept = 0;
    try {
        walk.forEachRow(columns, [&](const QStringList& row) {
            if (onRow(row, kept + 1)) {
                ++kept;
            }
        });
    } catch (...) {
        list.showRows(kept);
        throw;
    }
    list.showRows(kept);
    return true;
}

} // namespace stowline::readers
