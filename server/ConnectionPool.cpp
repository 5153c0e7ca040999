#include "ConnectionPool.h"

namespace stowline::server {

ConnectionPool::ConnectionPool(std::string path) : m_path(std::move(path)) {}

ConnectionPool::Lease::Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection)
    : m_pool(&pool), m_connection(std::move(connection)) {}

ConnectionPool::Lease::~Lease() {
    if (m_connection) {
        m_pool->giveBack(std::move(m_connection));
    }
}

ConnectionPool::Lease ConnectionPool::acquire() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_idle.empty()) {
            std::unique_ptr<Connection> connection = std::move(m_idle.back());
            m_idle.pop_back();
            return Lease(*this, std::move(connection));
        }
    }
    // Opened outside the lock: opening touches the file and may wait on its locks.
    return Lease(*this, std::make_unique<Connection>(m_path));
}

void ConnectionPool::giveBack(std::unique_ptr<Connection> connection) {
    std::lock_guard lock(m_mutex);
    m_idle.push_back(std::move(connection));
}

} // namespace stowline::server
