#pragma once

#include "controls/ListView.h"
#include "readers/DataSetRead.h"

#include <span>

namespace stowline::readers {

// The walk every list reader shares: the list is cleared, and when the text parsed keep gets
// the rows read and the list shows them. Returns whether the text parsed; a reader skips its
// closing steps when it did not. A text that is not empty and does not parse is thrown as the
// reader's failure.
template <typename Keep>
bool refillList(controls::ListView& list, DataSetInput XMLData,
                std::span<const char* const> columns, Keep&& keep) {
    DataSetRead read = XMLData.take(columns);
    list.clearItems();
    if (!readOrRaise(read.result)) {
        return false;
    }
    const int rows = read.rows.rows();
    keep(std::move(read.rows));
    list.showRows(rows);
    return true;
}

} // namespace stowline::readers
