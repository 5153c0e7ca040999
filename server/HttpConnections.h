#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace httplib {
class Stream;
}
struct ssl_ctx_st;

namespace stowline::server {

// The connections of the HTTP side. One thread waits on all of them at once and reads each
// request whole (request line, headers and body) before one of a fixed number of workers
// answers it, so a client that sends slowly, stops half-way or stays idle holds no worker.
//
// - The headers must arrive within the read time-out of the request's first byte, the body
//   within the read time-out of the headers' end; otherwise the client gets 408 and the
//   connection is closed. A connection idle between requests is closed after the read time-out
//   as well, without an answer, and so is one whose client has not taken all of its answer
//   within the read time-out of its first byte.
// - Requests read whole wait for a worker in the order they were completed. Each connection
//   has at most one request waiting, so the queue holds at most maximumConnections requests.
// - A connection beyond maximumConnections gets 503 with Retry-After and is closed at once;
//   the listen backlog is maximumConnections too.
// - A body over maximumBodyBytes is answered 413, malformed framing 400, headers over 64 KiB
//   431; the connection is closed afterwards, as it is after requestsPerConnection requests.
class HttpConnections {
public:
    struct Settings {
        int workers = 16;
        std::chrono::milliseconds readTimeout{5000};
        std::size_t maximumConnections = 1000;
        std::size_t maximumBodyBytes = std::size_t{1} << 20;
        int requestsPerConnection = 1000;
        // Serves TLS with this context when set; it must outlive the connections.
        ssl_ctx_st* tls = nullptr;
    };

    // Answers one request read whole from `stream` and writes the answer to it, with
    // "Connection: close" when `lastRequest`. Returns whether the answer was written; sets
    // `clientCloses` when the request said the connection ends after it.
    using Handler =
        std::function<bool(httplib::Stream& stream, bool lastRequest, bool& clientCloses)>;

    HttpConnections(const Settings& settings, Handler handler);
    ~HttpConnections();
    HttpConnections(const HttpConnections&) = delete;
    HttpConnections& operator=(const HttpConnections&) = delete;

    // Binds host:port (port 0 picks a free one) and listens; returns the port, or 0 when it
    // cannot bind. Clients may connect from here on; they are answered once start() ran.
    int listen(const std::string& host, int port);
    // Starts the threads that accept, read and answer. Throws std::runtime_error when it
    // cannot.
    void start();
    // Stops accepting and reading, lets the workers answer the requests already read whole,
    // and closes every connection. Safe to call more than once.
    void stop();
    bool isRunning() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace stowline::server
