#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>

namespace stowline::server {

// Closes connections that miss a deadline: for a request's line and headers, counted from the
// connection's start or the end of its previous request, and for a body, which must keep up a
// minimum rate. The library's own time-out counts only silence, so a client that sends a byte
// now and then would otherwise hold its connection for as long as it likes. A thread of its own
// waits for the next deadline and shuts down the socket of a connection that missed it; that
// wakes the connection's own thread, which closes the connection as one the client ended.
class ConnectionWatch {
public:
    using Clock = std::chrono::steady_clock;
    // Receives one line for each connection closed.
    using Log = std::function<void(const std::string&)>;

    explicit ConnectionWatch(Log log);
    ~ConnectionWatch();
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    // Watches the connection `id` from `host` on `socket`, without a deadline yet, until
    // forget(id). The socket must stay open until then.
    void watch(const void* id, int socket, std::string host);
    // From now on the connection must be done with its current part by `deadline`, or be closed
    // and logged with `lateness`, which must outlive the watch. A connection not watched is
    // left alone.
    void expect(const void* id, Clock::time_point deadline, std::string_view lateness);
    // The connection has no deadline until the next expect().
    void settle(const void* id);
    void forget(const void* id);

private:
    struct Watched {
        int socket;
        std::string host;
        Clock::time_point deadline;
        std::string_view lateness;
    };

    void run();

    Log m_log;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::unordered_map<const void*, Watched> m_watched;
    Clock::time_point m_nextCheck = Clock::time_point::max();
    bool m_stopping = false;
    // Last, so that it starts once everything it uses is there.
    std::thread m_thread;
};

} // namespace stowline::server
