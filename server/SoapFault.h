#pragma once

#include <stdexcept>
#include <string>

namespace stowline::server {

// A request the service refuses. The message becomes the faultstring, so it says what is
// wrong in the caller's terms (element names, values).
class SoapFault : public std::runtime_error {
public:
    enum class Code { Client, VersionMismatch };

    explicit SoapFault(const std::string& message, Code code = Code::Client)
        : std::runtime_error(message), m_code(code) {}

    Code code() const { return m_code; }

private:
    Code m_code;
};

// A body that is not XML at all: answered with HTTP 400 and no body, as there is no SOAP
// message to fault.
class NotXml : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace stowline::server
