#pragma once

#include <cstddef>
#include <mutex>

namespace stowline::server {

// The memory that request bodies in flight may take together. A request reserves its body's
// length before it takes the body in; what does not fit is refused instead of growing the
// process, however many clients send at once.
class BodyBudget {
public:
    explicit BodyBudget(std::size_t bytes) : m_left(bytes) {}

    // What one request holds, handed back when it goes.
    class Reservation {
    public:
        explicit Reservation(BodyBudget& budget) : m_budget(budget) {}
        ~Reservation() { m_budget.give(m_bytes); }
        Reservation(const Reservation&) = delete;
        Reservation& operator=(const Reservation&) = delete;

        std::size_t bytes() const { return m_bytes; }
        // Reserves `more` bytes besides those held; false when the budget has not that much
        // left.
        bool grow(std::size_t more) {
            if (!m_budget.take(more)) {
                return false;
            }
            m_bytes += more;
            return true;
        }

    private:
        BodyBudget& m_budget;
        std::size_t m_bytes = 0;
    };

private:
    bool take(std::size_t bytes) {
        const std::lock_guard lock(m_mutex);
        if (bytes > m_left) {
            return false;
        }
        m_left -= bytes;
        return true;
    }
    void give(std::size_t bytes) {
        const std::lock_guard lock(m_mutex);
        m_left += bytes;
    }

    std::mutex m_mutex;
    std::size_t m_left;
};

} // namespace stowline::server
