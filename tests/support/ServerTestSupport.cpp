#include "support/ServerTestSupport.h"

#include <stowline/ServiceNamespace.h>

#include <QUrl>
#include <curl/curl.h>
#include <pugixml.hpp>

#include <algorithm>
#include <arpa/inet.h>
#include <iterator>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace stowline::test {
namespace {

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* result) {
    static_cast<HttpResult*>(result)->body.append(data, size * count);
    return size * count;
}

std::size_t takeHeader(char* data, std::size_t size, std::size_t count, void* result) {
    std::string& headers = static_cast<HttpResult*>(result)->headers;
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        headers.clear();
    }
    headers.append(line);
    return size * count;
}

HttpResult exchange(const StandInServer& server, const std::string& pathAndQuery,
                    const std::optional<std::string>& body,
                    const std::optional<std::string>& soapAction, const HttpOptions& options) {
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(),
                                                                     curl_easy_cleanup);
    CURL* curl = handle.get();
    HttpResult result;
    const std::string url = server.serverName().toStdString() + pathAndQuery;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, takeHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &result);
    // "Expect:" keeps curl from waiting for 100 Continue before bodies over 1 MiB.
    const std::string action = soapAction ? "SOAPAction: " + *soapAction : "";
    curl_slist* list = nullptr;
    for (const char* header :
         {"Expect:", "Content-Type: text/xml; charset=utf-8", action.c_str()}) {
        list = *header != '\0' ? curl_slist_append(list, header) : list;
    }
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(list,
                                                                              curl_slist_free_all);
    if (body) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    if (options.scheme != HttpOptions::Scheme::None) {
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH,
                         options.scheme == HttpOptions::Scheme::Basic ? CURLAUTH_BASIC
                                                                      : CURLAUTH_DIGEST);
        curl_easy_setopt(curl, CURLOPT_USERPWD, options.userAndPassword.c_str());
    }
    if (!options.certificateAuthority.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, options.certificateAuthority.c_str());
    }
    if (!options.from.empty()) {
        curl_easy_setopt(curl, CURLOPT_INTERFACE, options.from.c_str());
    }
    if (!options.tls12Ciphers.empty()) {
        curl_easy_setopt(curl, CURLOPT_SSLVERSION,
                         static_cast<long>(CURL_SSLVERSION_TLSv1_2) |
                             static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
        curl_easy_setopt(curl, CURLOPT_SSL_CIPHER_LIST, options.tls12Ciphers.c_str());
    }
    if (const CURLcode code = curl_easy_perform(curl); code != CURLE_OK) {
        throw std::runtime_error(std::string("HTTP exchange failed: ") + curl_easy_strerror(code));
    }
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    result.status = static_cast<int>(status);
    const char* type = nullptr;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
    result.contentType = type != nullptr ? type : "";
    return result;
}

} // namespace

HttpResult postToEndpoint(const StandInServer& server, const std::string& body,
                          const std::optional<std::string>& action, const HttpOptions& options) {
    return exchange(server, AsmxPath, body, action, options);
}

HttpResult getPath(const StandInServer& server, const std::string& pathAndQuery,
                   const HttpOptions& options) {
    return exchange(server, pathAndQuery, std::nullopt, std::nullopt, options);
}

HttpResult query(const StandInServer& server, const std::string& operation,
                 const HttpOptions& options) {
    return postToEndpoint(server, requestEnvelope(queryElement(operation)), soapAction(operation),
                          options);
}

RawClient::RawClient(const StandInServer& server, const char* from)
    : m_socket(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, from, &address.sin_addr);
    ::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    address.sin_port = htons(static_cast<std::uint16_t>(QUrl(server.serverName()).port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(m_socket);
        throw std::runtime_error("cannot connect to the server");
    }
}

RawClient::~RawClient() {
    ::close(m_socket);
}

bool RawClient::send(std::string_view data) const {
    return ::send(m_socket, data.data(), data.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(data.size());
}

bool RawClient::readable(std::chrono::milliseconds wait) const {
    pollfd socket{m_socket, POLLIN, 0};
    return ::poll(&socket, 1, static_cast<int>(wait.count())) > 0;
}

bool RawClient::droppedWithin(std::chrono::milliseconds wait) const {
    char byte = 0;
    return readable(wait) && ::recv(m_socket, &byte, 1, MSG_DONTWAIT) <= 0;
}

std::string RawClient::receive(std::chrono::milliseconds limit, std::string_view until) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::string received;
    char chunk[4096];
    while (until.empty() || received.find(until) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const ssize_t n =
            left.count() > 0 && readable(left) ? ::recv(m_socket, chunk, sizeof chunk, 0) : 0;
        if (n <= 0) {
            break;
        }
        received.append(chunk, static_cast<std::size_t>(n));
    }
    return received;
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    }
    return out;
}

std::string requestEnvelope(const std::string& operationElement) {
    return "<?xml version=\"1.0\"?>\r\n<soap:Envelope"
           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
           " xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>" +
           operationElement + "</soap:Body></soap:Envelope>";
}

std::string queryElement(const std::string& operation) {
    return "<" + operation + " xmlns=\"" + ServiceNamespace + "\"/>";
}

std::string updateElement(const std::string& operation, const Values& values) {
    std::string element = "<" + operation + " xmlns=\"" + ServiceNamespace + "\">";
    for (const auto& [name, value] : values) {
        element += "<" + name + ">" + xmlEscaped(value) + "</" + name + ">";
    }
    return element + "</" + operation + ">";
}

std::string soapAction(const std::string& operation) {
    return std::string(ServiceNamespace) + "/" + operation;
}

HttpResult postUpdate(const StandInServer& server, const std::string& operation,
                      const Values& values) {
    return postToEndpoint(server, requestEnvelope(updateElement(operation, values)),
                          soapAction(operation));
}

std::string faultOf(const std::string& body) {
    pugi::xml_document document;
    const pugi::xml_node fault =
        document.load_buffer(body.data(), body.size())
            ? document.child("soap:Envelope").child("soap:Body").child("soap:Fault")
            : pugi::xml_node();
    return fault ? std::string(fault.child_value("faultcode")) + " " +
                       fault.child_value("faultstring")
                 : "(no fault)";
}

QStringList databaseDump(const StandInServer& server) {
    QStringList lines = server.queryColumn(QStringLiteral(
        "SELECT 'facility|' || facility_id || '|' || quote(name) FROM facilities"
        " UNION ALL SELECT 'route|' || route_id || '|' || facility_id || '|' || quote(code)"
        "   || '|' || quote(description) FROM routes"
        " UNION ALL SELECT 'bay|' || storage_location_id || '|' || facility_id || '|'"
        "   || quote(name) || '|' || quote(description) FROM storage_locations"
        " UNION ALL SELECT 'center|' || center_id || '|' || quote(name) || '|' || facility_id"
        "   || '|' || quote(route_id) || '|' || quote(storage_location_id) || '|'"
        "   || quote(status) FROM centers"));
    lines.sort();
    return lines;
}

std::pair<QStringList, QStringList> dumpDifference(const QStringList& before,
                                                   const QStringList& after) {
    const auto onlyIn = [](const QStringList& lines, const QStringList& others) {
        QStringList only;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(only),
                     [&](const QString& line) { return !others.contains(line); });
        return only;
    };
    return {onlyIn(after, before), onlyIn(before, after)};
}

} // namespace stowline::test
