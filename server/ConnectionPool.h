#pragma once

#include "Sqlite.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace stowline::server {

// Hands out connections to one database file, one request at a time per connection. It keeps
// as many idle connections as were ever in use at once, so N answers made at once end up
// with at most N connections.
class ConnectionPool {
public:
    explicit ConnectionPool(std::string path);

    // A connection on loan; it goes back to the pool when the lease ends.
    class Lease {
    public:
        Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection);
        ~Lease();
        Lease(Lease&&) = default;
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Lease& operator=(Lease&&) = delete;

        Connection& operator*() const { return *m_connection; }
        Connection* operator->() const { return m_connection.get(); }

    private:
        ConnectionPool* m_pool;
        std::unique_ptr<Connection> m_connection;
    };

    Lease acquire();
    const std::string& path() const { return m_path; }

private:
    void giveBack(std::unique_ptr<Connection> connection);

    std::string m_path;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Connection>> m_idle;
};

} // namespace stowline::server
