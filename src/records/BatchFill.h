#pragma once

#include "platform/ListView.h"

namespace stowline::records {

// Fills a list in one batch; the rows added so far are shown even when the fill fails.
class BatchFill {
public:
    explicit BatchFill(platform::ListView& list) : m_list(list) { m_list.beginBatch(); }
    ~BatchFill() { m_list.endBatch(); }
    BatchFill(const BatchFill&) = delete;
    BatchFill& operator=(const BatchFill&) = delete;

private:
    platform::ListView& m_list;
};

} // namespace stowline::records
