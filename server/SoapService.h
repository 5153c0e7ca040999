#pragma once

#include "ConnectionPool.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace stowline::server {

struct HttpAnswer {
    int status = 200;
    // Empty for the answers that carry no body (HTTP 400).
    std::string body;
};

// The SOAP endpoint without the HTTP around it: dispatches one posted envelope to its
// operation and turns the outcome into the answer's status and body. Safe to call from many
// threads at once.
class SoapService {
public:
    using Log = std::function<void(const std::string&)>;

    // `log` receives one line per refused or failed request; it may be empty.
    explicit SoapService(ConnectionPool& pool, Log log = {});

    // soapAction is the SOAPAction header as received (quoted or not), nothing when absent.
    // Without one, the body's operation element decides.
    HttpAnswer handle(std::optional<std::string_view> soapAction, std::string_view body);

private:
    ConnectionPool& m_pool;
    Log m_log;
};

} // namespace stowline::server
