#pragma once

#include "HttpSecurity.h"
#include "SoapService.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace stowline::server {

// Requests with a larger body are refused with HTTP 413 before they reach the service.
inline constexpr std::size_t MaximumRequestBytes = std::size_t{1} << 20;
// How long a request's headers, and then its body, may take to arrive, and how long an idle
// connection is kept.
inline constexpr std::chrono::seconds DefaultReadTimeout{5};
// Connections open at once; one more is answered 503 (see HttpConnections).
inline constexpr std::size_t MaximumConnections = 1000;
inline constexpr int DefaultWorkerThreads = 16;

// "host:port", with an IPv6 host in brackets.
std::string hostAndPort(const std::string& host, int port);

// The HTTP side of the server: POST of SOAP envelopes and GET of the service description at
// the endpoint path, answered by a fixed number of worker threads once a request has arrived
// whole (see HttpConnections for the time-outs and limits), over TLS and behind Basic
// authentication when the security asks for them. `log` receives one line per request refused
// for wrong credentials (neither the password nor the Authorization header); it may be empty.
// Throws std::runtime_error when the certificate or key cannot be loaded.
class HttpService {
public:
    explicit HttpService(SoapService& soap, const HttpSecurity& security = {},
                         SoapService::Log log = {},
                         std::chrono::seconds readTimeout = DefaultReadTimeout,
                         int workerThreads = DefaultWorkerThreads);
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    // Binds host:port (port 0 picks a free one) and serves in the background; returns the
    // port. Throws std::runtime_error when it cannot.
    int start(const std::string& host, int port);

    // Stops accepting, answers the requests that arrived whole, closes every connection and
    // waits for the workers. Safe to call more than once.
    void stop();

    bool isRunning() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace stowline::server
