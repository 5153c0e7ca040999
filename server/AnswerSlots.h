#pragma once

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace stowline::server {

// How many requests are answered at once. Each connection's own thread answers its requests;
// beyond this many at once the next waits for a slot, so that many clients asking together
// share the processor and the database connections instead of each taking one more.
class AnswerSlots {
public:
    explicit AnswerSlots(int slots) : m_free(std::max(1, slots)) {}

    // A slot held for as long as the object lives.
    class Slot {
    public:
        explicit Slot(AnswerSlots& slots) : m_slots(slots) {
            std::unique_lock lock(m_slots.m_mutex);
            m_slots.m_freed.wait(lock, [this] { return m_slots.m_free > 0; });
            --m_slots.m_free;
        }
        ~Slot() {
            {
                const std::lock_guard lock(m_slots.m_mutex);
                ++m_slots.m_free;
            }
            m_slots.m_freed.notify_one();
        }
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;

    private:
        AnswerSlots& m_slots;
    };

private:
    std::mutex m_mutex;
    std::condition_variable m_freed;
    int m_free;
};

} // namespace stowline::server
