#include "HttpService.h"

#include "Wsdl.h"

#include <stowline/ServiceNamespace.h>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>

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

std::unique_ptr<httplib::Server> makeServer(const HttpSecurity& security) {
    if (!security.servesTls()) {
        return std::make_unique<httplib::Server>();
    }
    auto server = std::make_unique<httplib::SSLServer>(security.certificateFile.c_str(),
                                                       security.keyFile.c_str());
    if (!server->is_valid()) {
        throw std::runtime_error("cannot load the certificate " + security.certificateFile +
                                 " with the key " + security.keyFile);
    }
    return server;
}

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
    Impl(SoapService& s, const HttpSecurity& security)
        : soap(s), server(makeServer(security)),
          scheme(security.servesTls() ? "https://" : "http://") {}

    SoapService& soap;
    std::unique_ptr<httplib::Server> server;
    std::string scheme;
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    std::string boundAddress;
};

HttpService::HttpService(SoapService& soap, const HttpSecurity& security, SoapService::Log log,
                         int workerThreads)
    : m_impl(std::make_unique<Impl>(soap, security)) {
    httplib::Server& server = *m_impl->server;
    const auto threads = static_cast<std::size_t>(std::max(1, workerThreads));
    server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    server.set_payload_max_length(MaximumRequestBytes);
    // httplib's default sets SO_REUSEPORT, which lets a second server bind a port that is
    // already in use and silently share its connections. SO_REUSEADDR alone still allows a
    // restart on a port whose old connections linger in TIME_WAIT.
    server.set_socket_options([](socket_t socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Headers and an answer's body go out in separate writes; with Nagle's algorithm the body
    // of a short answer on a reused connection waited for the client's delayed
    // acknowledgement, 40 ms.
    server.set_tcp_nodelay(true);
    // An idle keep-alive connection holds a worker and delays stop() by up to this long.
    server.set_keep_alive_timeout(2);

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
                // The refusal comes before the body is read; what is left of it on the
                // connection must not be taken for the next request.
                response.set_header("Connection", "close");
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
    httplib::Server& server = *m_impl->server;
    int bound = -1;
    if (port == 0) {
        bound = server.bind_to_any_port(host);
    } else if (server.bind_to_port(host, port)) {
        bound = port;
    }
    if (bound <= 0) {
        throw std::runtime_error("cannot listen on " + hostAndPort(host, port));
    }
    m_impl->boundAddress = hostAndPort(host, bound);
    m_impl->listener = std::thread([impl = m_impl.get()] {
        impl->server->listen_after_bind();
        impl->listenerDone = true;
    });
    // The socket already accepts connections into its backlog; waiting here makes isRunning()
    // true on return, and catches a listener that gave up at once.
    while (!server.is_running() && !m_impl->listenerDone) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (m_impl->listenerDone) {
        stop();
        throw std::runtime_error("the HTTP listener on " + m_impl->boundAddress +
                                 " stopped at once");
    }
    return bound;
}

void HttpService::stop() {
    m_impl->server->stop();
    if (m_impl->listener.joinable()) {
        m_impl->listener.join();
    }
}

bool HttpService::isRunning() const {
    return m_impl->server->is_running() && !m_impl->listenerDone;
}

} // namespace stowline::server
