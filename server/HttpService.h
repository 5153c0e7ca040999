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
// What the bodies of all requests in flight may take together: sixteen of the largest, or
// thousands of the few hundred bytes a client's request has.
inline constexpr std::size_t BodyMemoryBudget = 16 * MaximumRequestBytes;
// How long a request's line and headers may take, from the connection's start or the end of
// its previous request; how long a connection may stay silent; and the grace a body has before
// it must keep up MinimumBodyRate.
inline constexpr std::chrono::seconds DefaultReadTimeout{5};
// Bytes a second, on average since the headers, that a body must arrive at once the read
// time-out has passed: far below any network a client of this service uses, and a body of
// 1 MiB may still take over a minute.
inline constexpr std::size_t MinimumBodyRate = 16 * 1024;
// Connections open at once, in all and from one client address (which may hold fewer as the
// server fills, see AddressShares).
inline constexpr unsigned MaximumConnections = 1000;
inline constexpr unsigned DefaultClientConnections = 32;
// Requests answered at once; the next waits for one of them to finish.
inline constexpr int DefaultConcurrentAnswers = 16;

// "host:port", with an IPv6 host in brackets.
std::string hostAndPort(const std::string& host, int port);

struct HttpLimits {
    std::chrono::seconds readTimeout = DefaultReadTimeout;
    unsigned connections = MaximumConnections;
    unsigned clientConnections = DefaultClientConnections;
    int concurrentAnswers = DefaultConcurrentAnswers;
};

// The HTTP side of the server, on libmicrohttpd: POST of SOAP envelopes and GET of the service
// description at the endpoint path. Each connection has a thread of its own that reads its
// requests whole, answers them and writes the answers, at most a fixed number of answers being
// made at once. So a slow, stalled or idle client holds only its own connection's thread, and
// no request waits behind another one's. Over TLS and behind authentication when the security
// asks for them.
// `log` receives one line per request refused or connection dropped (never a password or an
// Authorization header), and what the library reports; it may be empty.
class HttpService {
public:
    explicit HttpService(SoapService& soap, const HttpSecurity& security = {},
                         SoapService::Log log = {}, const HttpLimits& limits = {});
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    // Binds host:port (port 0 picks a free one) and serves in the background; returns the
    // port. Throws std::runtime_error when it cannot: the address does not bind, is not a
    // loopback one while the security lacks credentials or TLS, or the certificate or key
    // cannot be loaded.
    int start(const std::string& host, int port);

    // Stops accepting, lets the requests being answered finish, and closes every connection.
    // Safe to call more than once.
    void stop();

    bool isRunning() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace stowline::server
