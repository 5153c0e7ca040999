#pragma once

#include <curl/curl.h>
#include <pugixml.hpp>

#include <functional>
#include <memory>
#include <string>

namespace stowline::bench {

// What one exchange gave: the answer's body when the service accepted the request (HTTP 200),
// otherwise a description of what went wrong.
struct SoapAnswer {
    bool accepted = false;
    std::string text;
    // Whether the exchange had to open a connection, and how long the connect took.
    bool connected = false;
    long connectMicroseconds = 0;
};

// One load client's connection to the service: a libcurl handle of its own, so that it keeps
// its connection alive between requests and never shares state with another thread.
class SoapConnection {
public:
    explicit SoapConnection(const std::string& serverName);

    // Posts the envelope with the SOAPAction of the operation, as the component does.
    SoapAnswer post(const std::string& operation, const std::string& envelope);

private:
    struct CurlDeleter {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };
    std::unique_ptr<CURL, CurlDeleter> m_curl;
    std::string m_url;
};

// The request envelope of a query, built by the component's own envelope functions.
std::string queryEnvelope(const std::string& operation);

// Walks the rows (Table elements) of the data set a query answered with. Returns "" or why
// the answer is not a data set.
std::string forEachRow(const std::string& answer, const std::string& operation,
                       const std::function<void(const pugi::xml_node& row)>& visit);

// "" when the answer is the empty response of an update, or what it is instead.
std::string checkEmptyResponse(const std::string& answer, const std::string& operation);

} // namespace stowline::bench
