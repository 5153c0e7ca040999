#include "HttpService.h"

#include "Wsdl.h"

#include <stowline/ServiceNamespace.h>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
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

bool asksForWsdl(const httplib::Request& request) {
    return std::any_of(request.params.begin(), request.params.end(), [](const auto& param) {
        std::string key = param.first;
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return key == "wsdl";
    });
}

} // namespace

std::string hostAndPort(const std::string& host, int port) {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

struct HttpService::Impl {
    explicit Impl(SoapService& s) : soap(s) {}

    SoapService& soap;
    httplib::Server server;
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    std::string boundAddress;
};

HttpService::HttpService(SoapService& soap, int workerThreads)
    : m_impl(std::make_unique<Impl>(soap)) {
    httplib::Server& server = m_impl->server;
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
    // An idle keep-alive connection holds a worker and delays stop() by up to this long.
    server.set_keep_alive_timeout(2);

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
            response.set_content(std::move(answer.body), XmlContentType);
        }
    });
    server.Get(pattern, [this](const httplib::Request& request, httplib::Response& response) {
        // The address the caller used, so that toolkits post back to where they read it.
        const std::string host =
            request.has_header("Host") ? request.get_header_value("Host") : m_impl->boundAddress;
        const std::string endpoint = "http://" + host + AsmxPath;
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
    httplib::Server& server = m_impl->server;
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
        impl->server.listen_after_bind();
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
    m_impl->server.stop();
    if (m_impl->listener.joinable()) {
        m_impl->listener.join();
    }
}

bool HttpService::isRunning() const {
    return m_impl->server.is_running() && !m_impl->listenerDone;
}

} // namespace stowline::server
