#pragma once

#include "platform/ListView.h"
#include "readers/DataSetWalk.h"

#include <QByteArray>
#include <initializer_list>
#include <utility>

namespace stowline::readers {

// The walk every list reader shares: the list is cleared, and when the text parses it is
// filled in one batch, onRow getting the given columns of each row. Returns whether the text
// parsed; a reader skips its closing steps when it did not. Rows added before a failure stay.
template <typename OnRow>
bool refillList(platform::ListView& list, const QByteArray& XMLData,
                std::initializer_list<const char*> columns, OnRow&& onRow) {
    const DataSetWalk walk(XMLData);
    list.clearItems();
    if (!walk.parsed()) {
        return false;
    }
    list.beginBatch();
    struct EndBatch {
        platform::ListView& list;
        ~EndBatch() { list.endBatch(); }
    } endBatch{list};
    walk.forEachRow(columns, std::forward<OnRow>(onRow));
    return true;
}

} // namespace stowline::readers
