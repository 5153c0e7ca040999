#include "WrongCredentialsDelay.h"

#include <microhttpd.h>

namespace stowline::server {

WrongCredentialsDelay::WrongCredentialsDelay(std::chrono::milliseconds perAttempt)
    : m_perAttempt(perAttempt), m_resumer([this] { resumeWhenDue(); }) {}

WrongCredentialsDelay::~WrongCredentialsDelay() {
    stop();
    m_resumer.join();
}

bool WrongCredentialsDelay::hold(MHD_Connection* connection, const std::string& clientAddress) {
    const std::lock_guard lock(m_mutex);
    if (m_stopped) {
        return false;
    }
    const Clock::time_point now = Clock::now();
    std::erase_if(m_nextTurn, [now](const auto& entry) { return entry.second <= now; });
    Clock::time_point& turn = m_nextTurn.try_emplace(clientAddress, now).first->second;
    turn = std::max(turn, now) + m_perAttempt;
    // Suspended under the lock, so that stop() cannot miss it.
    MHD_suspend_connection(connection);
    m_held.emplace(turn, connection);
    m_changed.notify_one();
    return true;
}

void WrongCredentialsDelay::stop() {
    const std::lock_guard lock(m_mutex);
    m_stopped = true;
    for (const auto& [due, connection] : m_held) {
        MHD_resume_connection(connection);
    }
    m_held.clear();
    m_changed.notify_one();
}

void WrongCredentialsDelay::resumeWhenDue() {
    std::unique_lock lock(m_mutex);
    while (!m_stopped) {
        if (m_held.empty()) {
            m_changed.wait(lock);
            continue;
        }
        const auto first = m_held.begin();
        // A copy: stop() may free the entry while the wait has the lock given up, and the wait
        // reads its time again when it wakes.
        const Clock::time_point due = first->first;
        if (due > Clock::now()) {
            m_changed.wait_until(lock, due);
            continue;
        }
        MHD_resume_connection(first->second);
        m_held.erase(first);
    }
}

} // namespace stowline::server
