#pragma once

#include "HttpSecurity.h"
#include "SoapService.h"

#include <cstddef>
#include <memory>
#include <string>

namespace stowline::server {

// Requests with a larger body are refused with HTTP 413 before they reach the service.
inline constexpr std::size_t MaximumRequestBytes = std::size_t{1} << 20;

// "host:port", with an IPv6 host in brackets.
std::string hostAndPort(const std::string& host, int port);

// The HTTP side of the server: POST of SOAP envelopes and GET of the service description at
// the endpoint path, served by a pool of worker threads, over TLS and behind Basic
// authentication when the security asks for them. `log` receives one line per request refused
// for wrong credentials (neither the password nor the Authorization header); it may be empty.
// Throws std::runtime_error when the certificate or key cannot be loaded.
class HttpService {
public:
    explicit HttpService(SoapService& soap, const HttpSecurity& security = {},
                         SoapService::Log log = {}, int workerThreads = 16);
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    // Binds host:port (port 0 picks a free one) and serves in the background; returns the
    // port once connections are being accepted. Throws std::runtime_error when it cannot.
    int start(const std::string& host, int port);

    // Stops accepting, finishes the requests in progress and waits for the workers. Safe to
    // call more than once.
    void stop();

    bool isRunning() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace stowline::server
