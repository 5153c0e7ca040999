#include "ConnectionWatch.h"

#include <sys/socket.h>

#include <algorithm>
#include <exception>
#include <vector>

namespace stowline::server {

ConnectionWatch::ConnectionWatch(Log log) : m_log(std::move(log)), m_thread([this] { run(); }) {}

ConnectionWatch::~ConnectionWatch() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_one();
    m_thread.join();
}

void ConnectionWatch::watch(const void* id, int socket, std::string host) {
    const std::lock_guard lock(m_mutex);
    m_watched.insert_or_assign(id, Watched{socket, std::move(host), Clock::time_point::max(), {}});
}

void ConnectionWatch::expect(const void* id, Clock::time_point deadline,
                             std::string_view lateness) {
    bool sooner = false;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_watched.find(id);
        if (found == m_watched.end()) {
            return;
        }
        found->second.deadline = deadline;
        found->second.lateness = lateness;
        sooner = deadline < m_nextCheck;
    }
    if (sooner) {
        m_changed.notify_one();
    }
}

void ConnectionWatch::settle(const void* id) {
    const std::lock_guard lock(m_mutex);
    if (const auto found = m_watched.find(id); found != m_watched.end()) {
        found->second.deadline = Clock::time_point::max();
    }
}

void ConnectionWatch::forget(const void* id) {
    const std::lock_guard lock(m_mutex);
    m_watched.erase(id);
}

void ConnectionWatch::run() {
    std::unique_lock lock(m_mutex);
    std::vector<std::string> closed;
    while (!m_stopping) {
        const Clock::time_point now = Clock::now();
        m_nextCheck = Clock::time_point::max();
        for (auto& [id, connection] : m_watched) {
            if (connection.deadline > now) {
                m_nextCheck = std::min(m_nextCheck, connection.deadline);
                continue;
            }
            // Under the lock: the library closes the socket only after forget(), so the number
            // still names this connection's socket.
            ::shutdown(connection.socket, SHUT_RDWR);
            closed.push_back("closed the connection from " + connection.host + ": " +
                             std::string(connection.lateness));
            connection.deadline = Clock::time_point::max();
        }
        if (!closed.empty()) {
            lock.unlock();
            for (const std::string& line : closed) {
                try {
                    if (m_log) {
                        m_log(line);
                    }
                } catch (const std::exception&) {
                    // The connection is closed all the same; the line is lost.
                }
            }
            closed.clear();
            lock.lock();
        } else if (m_nextCheck == Clock::time_point::max()) {
            m_changed.wait(lock);
        } else {
            m_changed.wait_until(lock, m_nextCheck);
        }
    }
}

} // namespace stowline::server
