#include "system/Cancellation.h"

namespace stowline::system {

void Cancellation::cancel(Reason reason) {
    const std::lock_guard lock(m_mutex);
    if (m_reason == Reason::None) {
        m_reason = reason;
    }
    if (m_waker) {
        m_waker();
    }
}

Cancellation::Reason Cancellation::reason() const {
    const std::lock_guard lock(m_mutex);
    return m_reason;
}

void Cancellation::setWaker(std::function<void()> waker) {
    const std::lock_guard lock(m_mutex);
    m_waker = std::move(waker);
}

} // namespace stowline::system
