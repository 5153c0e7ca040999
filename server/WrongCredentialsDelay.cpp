#include "WrongCredentialsDelay.h"

#include <algorithm>

namespace stowline::server {

WrongCredentialsDelay::WrongCredentialsDelay(std::chrono::milliseconds perAttempt)
    : m_perAttempt(perAttempt) {}

void WrongCredentialsDelay::wait(const std::string& clientAddress) {
    std::unique_lock lock(m_mutex);
    const Clock::time_point now = Clock::now();
    std::erase_if(m_nextTurn, [now](const auto& entry) { return entry.second <= now; });
    Clock::time_point& turn = m_nextTurn.try_emplace(clientAddress, now).first->second;
    turn = std::max(turn, now) + m_perAttempt;
    const Clock::time_point due = turn;
    m_stopping.wait_until(lock, due, [this] { return m_stopped; });
}

void WrongCredentialsDelay::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_stopping.notify_all();
}

} // namespace stowline::server
