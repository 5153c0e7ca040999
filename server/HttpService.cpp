#include "HttpService.h"

#include "HttpConnections.h"
#include "Wsdl.h"

#include <stowline/ServiceNamespace.h>

#include <httplib.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <stdexcept>

namespace stowline::server {
namespace {

constexpr const char* XmlContentType = "text/xml; charset=utf-8";

// httplib matches paths as regular expressions; the endpoint's dots must match only dots.
std::string exactPathPattern(std::string_view path) {
    std::string pattern;
    for (const char c : path) {
        if (c == '.') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern;
}

struct TlsContextFree {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
using TlsContext = std::unique_ptr<SSL_CTX, TlsContextFree>;

// None when the security asks for plain HTTP.
TlsContext makeTlsContext(const HttpSecurity& security) {
    if (!security.servesTls()) {
        return {};
    }
    TlsContext context(SSL_CTX_new(TLS_server_method()));
    if (!context || SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION) != 1 ||
        SSL_CTX_use_certificate_chain_file(context.get(), security.certificateFile.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context.get(), security.keyFile.c_str(), SSL_FILETYPE_PEM) !=
            1 ||
        SSL_CTX_check_private_key(context.get()) != 1) {
        throw std::runtime_error("cannot load the certificate " + security.certificateFile +
                                 " with the key " + security.keyFile);
    }
    SSL_CTX_set_options(context.get(), SSL_OP_NO_COMPRESSION | SSL_OP_NO_RENEGOTIATION);
    return context;
}

// httplib's reading of the request line and headers, routing and writing of the answer,
// applied to a request that the connections have read whole. httplib's own accepting and
// reading give every connection a worker for as long as it lasts, idle or slow.
class RequestAnswerer final : public httplib::Server {
public:
    // httplib stops writing an answer's body once its own listening socket is gone. It has
    // none here and never listens, so it gets a stand-in that it never closes.
    RequestAnswerer() { svr_sock_ = 0; }

    bool answer(httplib::Stream& stream, bool lastRequest, bool& clientCloses) {
        return process_request(stream, lastRequest, clientCloses, nullptr);
    }
};

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Whether an Authorization header carries the expected Basic token; the scheme's name is
// compared without case, as HTTP wants.
bool carriesBasicToken(const std::string& authorization, const std::string& expectedToken) {
    const std::size_t space = authorization.find(' ');
    if (space == std::string::npos || lowerCase(authorization.substr(0, space)) != "basic") {
        return false;
    }
    const std::size_t token = authorization.find_first_not_of(' ', space);
    return token != std::string::npos &&
           authorization.compare(token, std::string::npos, expectedToken) == 0;
}

bool asksForWsdl(const httplib::Request& request) {
    return std::any_of(request.params.begin(), request.params.end(),
                       [](const auto& param) { return lowerCase(param.first) == "wsdl"; });
}

} // namespace

std::string hostAndPort(const std::string& host, int port) {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

struct HttpService::Impl {
    Impl(SoapService& s, const HttpSecurity& security, const HttpConnections::Settings& settings)
        : soap(s), tls(makeTlsContext(security)),
          scheme(security.servesTls() ? "https://" : "http://") {
        HttpConnections::Settings withTls = settings;
        withTls.tls = tls.get();
        connections = std::make_unique<HttpConnections>(
            withTls, [this](httplib::Stream& stream, bool lastRequest, bool& clientCloses) {
                return answerer.answer(stream, lastRequest, clientCloses);
            });
    }

    SoapService& soap;
    TlsContext tls;
    RequestAnswerer answerer;
    std::string scheme;
    std::string boundAddress;
    // Last, so that its threads end before what they use goes.
    std::unique_ptr<HttpConnections> connections;
};

HttpService::HttpService(SoapService& soap, const HttpSecurity& security, SoapService::Log log,
                         std::chrono::seconds readTimeout, int workerThreads)
    : m_impl(std::make_unique<Impl>(soap, security,
                                    HttpConnections::Settings{
                                        .workers = workerThreads,
                                        .readTimeout = readTimeout,
                                        .maximumConnections = MaximumConnections,
                                        .maximumBodyBytes = MaximumRequestBytes,
                                    })) {
    httplib::Server& server = m_impl->answerer;
    // The connections refuse a longer body before it arrives; this is the same limit again.
    server.set_payload_max_length(MaximumRequestBytes);
    // What httplib announces in its Keep-Alive header; the connections keep to it.
    server.set_keep_alive_timeout(readTimeout.count());
    server.set_keep_alive_max_count(HttpConnections::Settings{}.requestsPerConnection);

    if (security.asksForCredentials()) {
        // "Basic <base64 of user:password>"
        const std::string expected =
            httplib::make_basic_authentication_header(security.user, security.password).second;
        std::string expectedToken = expected.substr(expected.find(' ') + 1);
        server.set_pre_routing_handler(
            [expectedToken = std::move(expectedToken),
             log = std::move(log)](const httplib::Request& request, httplib::Response& response) {
                const std::string authorization = request.get_header_value("Authorization");
                if (carriesBasicToken(authorization, expectedToken)) {
                    return httplib::Server::HandlerResponse::Unhandled;
                }
                // A client asks without credentials first and then answers the challenge; only
                // credentials that were offered and are wrong are worth a line.
                if (!authorization.empty() && log) {
                    log("refused a request for " + request.path + " from " + request.remote_addr +
                        ": wrong credentials");
                }
                response.status = 401;
                response.set_header("WWW-Authenticate", R"(Basic realm="Stowline")");
                return httplib::Server::HandlerResponse::Handled;
            });
    }

    const std::string pattern = exactPathPattern(AsmxPath);
    server.Post(pattern, [this](const httplib::Request& request, httplib::Response& response) {
        std::optional<std::string_view> soapAction;
        const std::string actionHeader = request.get_header_value("SOAPAction");
        if (request.has_header("SOAPAction")) {
            soapAction = actionHeader;
        }
        HttpAnswer answer = m_impl->soap.handle(soapAction, request.body);
        response.status = answer.status;
        if (!answer.body.empty()) {
            // Handed over without the copy set_content makes: a large answer is tens of
            // megabytes. Answers go out uncompressed, whatever the client accepts.
            auto body = std::make_shared<const std::string>(std::move(answer.body));
            response.set_content_provider(
                body->size(), XmlContentType,
                [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    return sink.write(body->data() + offset, length);
                });
        }
    });
    server.Get(pattern, [this](const httplib::Request& request, httplib::Response& response) {
        // The address the caller used, so that toolkits post back to where they read it.
        const std::string host =
            request.has_header("Host") ? request.get_header_value("Host") : m_impl->boundAddress;
        const std::string endpoint = m_impl->scheme + host + AsmxPath;
        if (asksForWsdl(request)) {
            response.set_content(wsdlDocument(endpoint), XmlContentType);
        } else {
            response.set_content("Stowline stand-in service (SOAP 1.1).\n"
                                 "Service description: " +
                                     endpoint + "?WSDL\n",
                                 "text/plain; charset=utf-8");
        }
    });
}

HttpService::~HttpService() {
    stop();
}

int HttpService::start(const std::string& host, int port) {
    const int bound = m_impl->connections->listen(host, port);
    if (bound <= 0) {
        throw std::runtime_error("cannot listen on " + hostAndPort(host, port));
    }
    m_impl->boundAddress = hostAndPort(host, bound);
    m_impl->connections->start();
    return bound;
}

void HttpService::stop() {
    m_impl->connections->stop();
}

bool HttpService::isRunning() const {
    return m_impl->connections->isRunning();
}

} // namespace stowline::server
