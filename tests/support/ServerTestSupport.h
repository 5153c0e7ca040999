#pragma once

#include "support/QtPrinters.h"
#include "support/StandInServer.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stowline::test {

// Raw HTTP exchanges with a stand-in server, for what the component's client cannot send or
// does not show: exact bytes, headers, statuses, malformed bodies, authentication schemes.
struct HttpResult {
    int status = 0;
    std::string body;
    std::string contentType;
    // The status line and headers of the last answer (an authentication round has several).
    std::string headers;
};

// What an exchange brings besides the request: credentials in one scheme, the certificate
// authority that an https server's certificate must chain to, the TLS 1.2 ciphers it
// offers (OpenSSL's names; TLS 1.2 only when set), and the loopback address it comes from.
struct HttpOptions {
    enum class Scheme { None, Basic, Digest };
    Scheme scheme = Scheme::None;
    std::string userAndPassword;
    std::string certificateAuthority;
    std::string tls12Ciphers;
    std::string from;
};

// Each throws std::runtime_error when no answer arrives.
HttpResult postToEndpoint(const StandInServer& server, const std::string& body,
                          const std::optional<std::string>& soapAction,
                          const HttpOptions& options = {});
HttpResult getPath(const StandInServer& server, const std::string& pathAndQuery,
                   const HttpOptions& options = {});
// Posts a query in the client's form.
HttpResult query(const StandInServer& server, const std::string& operation,
                 const HttpOptions& options = {});

// A loopback connection of a client that misbehaves on purpose, from 127.0.0.1 or another
// loopback address. The constructor throws std::runtime_error when it cannot connect.
class RawClient {
public:
    explicit RawClient(const StandInServer& server, const char* from = "127.0.0.1");
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool send(std::string_view data) const;
    bool readable(std::chrono::milliseconds wait) const;
    // Whether the server ends the connection within `wait` without sending anything.
    bool droppedWithin(std::chrono::milliseconds wait) const;
    // What the server sends until `until` has come, the server closes, or `limit` has passed.
    std::string receive(std::chrono::milliseconds limit, std::string_view until = {}) const;

private:
    int m_socket;
};

// &, < and > as references.
std::string xmlEscaped(const std::string& text);

// An update's element names and values, in order.
using Values = std::vector<std::pair<std::string, std::string>>;

// A request envelope in the form the component's client posts, around one operation element.
std::string requestEnvelope(const std::string& operationElement);
// "<Op xmlns=\"...\" />" for a query.
std::string queryElement(const std::string& operation);
// "<Op xmlns=\"...\"><Name>value</Name>...</Op>" with the values escaped.
std::string updateElement(const std::string& operation, const Values& values);
// ServiceNamespace + "/" + operation, unquoted.
std::string soapAction(const std::string& operation);

// Posts an update in the client's form; the answer as received.
HttpResult postUpdate(const StandInServer& server, const std::string& operation,
                      const Values& values);

// "faultcode faultstring" of the fault in an answer body, or "(no fault)".
std::string faultOf(const std::string& body);

// Every row of the four tables as one line each, sorted, route timestamps left out: two dumps
// are equal when nothing changed.
QStringList databaseDump(const StandInServer& server);

// The lines only in `after`, and the lines only in `before`.
std::pair<QStringList, QStringList> dumpDifference(const QStringList& before,
                                                   const QStringList& after);

} // namespace stowline::test
