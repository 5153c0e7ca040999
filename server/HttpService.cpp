#include "HttpService.h"

#include "AddressShares.h"
#include "AnswerSlots.h"
#include "BodyBudget.h"
#include "ClientAddress.h"
#include "ConnectionWatch.h"
#include "HttpAuthentication.h"
#include "ListeningSocket.h"
#include "TlsCredentials.h"
#include "WrongCredentialsDelay.h"
#include "Wsdl.h"

#include <stowline/ServiceNamespace.h>

#include <microhttpd.h>
#include <sys/socket.h>

#include <array>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <strings.h>
#include <utility>
#include <vector>

namespace stowline::server {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* XmlContentType = "text/xml; charset=utf-8";
// Each connection's own memory: its read buffer, the request line and the headers, which may
// take nearly all of it (431 or 414 beyond).
constexpr std::size_t ConnectionMemory = 64 * 1024;
// Each connection's thread. An answer under load takes about 16 KiB of stack; the default of
// 8 MiB, for every connection, would count gigabytes against the machine's commit limit.
constexpr std::size_t ThreadStack = std::size_t{1} << 20;

using Response = std::unique_ptr<MHD_Response, decltype(&MHD_destroy_response)>;

// A connection's own state, from its start to its end.
struct Client {
    std::string shareKey;
    std::string host;
    // Whether it holds one of the connections its address may have.
    bool counted = false;
};

// A request's own state from its headers to its answer.
struct Request {
    Request(BodyBudget& budget, std::string shareKey)
        : reservation(budget, std::move(shareKey)), headersEnd(Clock::now()) {}

    BodyBudget::Reservation reservation;
    std::string body;
    Clock::time_point headersEnd;
};

MHD_Result queued(bool done) {
    return done ? MHD_YES : MHD_NO;
}

// Hands the text to the library without copying it: a large answer is tens of megabytes.
MHD_Result queueText(MHD_Connection* connection, unsigned status, std::string text,
                     const char* contentType) {
    auto owned = std::make_unique<std::string>(std::move(text));
    Response response(MHD_create_response_from_buffer_with_free_callback_cls(
                          owned->size(), owned->data(),
                          [](void* freed) { delete static_cast<std::string*>(freed); },
                          owned.get()),
                      MHD_destroy_response);
    if (!response) {
        return MHD_NO;
    }
    // From here on the response frees it.
    static_cast<void>(owned.release());
    MHD_add_response_header(response.get(), MHD_HTTP_HEADER_CONTENT_TYPE, contentType);
    return MHD_queue_response(connection, status, response.get());
}

// An answer without a body, with one header of its own where given.
MHD_Result queueStatus(MHD_Connection* connection, unsigned status, const char* header = nullptr,
                       const char* value = nullptr) {
    Response response(MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT),
                      MHD_destroy_response);
    if (!response) {
        return MHD_NO;
    }
    if (header != nullptr) {
        MHD_add_response_header(response.get(), header, value);
    }
    return MHD_queue_response(connection, status, response.get());
}

const char* headerValue(MHD_Connection* connection, const char* name) {
    return MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
}

const sockaddr* clientSocketAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info != nullptr ? info->client_addr : nullptr;
}

std::string clientAddress(MHD_Connection* connection) {
    return numericHost(clientSocketAddress(connection));
}

// "?WSDL", in any case, among the query's arguments.
bool asksForWsdl(MHD_Connection* connection) {
    bool found = false;
    MHD_get_connection_values(
        connection, MHD_GET_ARGUMENT_KIND,
        [](void* cls, MHD_ValueKind, const char* key, const char*) {
            *static_cast<bool*>(cls) |= strcasecmp(key, "wsdl") == 0;
            return MHD_YES;
        },
        &found);
    return found;
}

} // namespace

std::string hostAndPort(const std::string& host, int port) {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

struct HttpService::Impl {
    Impl(SoapService& s, const HttpSecurity& sec, SoapService::Log l, const HttpLimits& lim)
        : soap(s), security(sec), log(std::move(l)), limits(lim),
          authentication(sec, sec.servesTls()), scheme(sec.servesTls() ? "https://" : "http://"),
          headLate("its request line and headers took longer than " +
                   std::to_string(lim.readTimeout.count()) + " s"),
          bodyLate("its body arrived at less than " + std::to_string(MinimumBodyRate / 1024) +
                   " KiB a second"),
          watch([this](const std::string& line) { note(line); }) {}

    static MHD_Result onRequest(void* cls, MHD_Connection* connection, const char* url,
                                const char* method, const char* version, const char* upload,
                                std::size_t* uploadSize, void** context) noexcept;
    static void onCompleted(void* cls, MHD_Connection* connection, void** context,
                            MHD_RequestTerminationCode code) noexcept;
    static MHD_Result onAccept(void* cls, const sockaddr* address, socklen_t length) noexcept;
    static void onConnection(void* cls, MHD_Connection* connection, void** socketContext,
                             MHD_ConnectionNotificationCode code) noexcept;
    void started(MHD_Connection* connection, Client& client);
    void ended(MHD_Connection* connection, const Client& client);
    static void onLibraryMessage(void* cls, const char* format, va_list arguments) noexcept;

    MHD_Result begin(MHD_Connection* connection, std::string_view url, std::string_view method,
                     Request& request);
    std::optional<MHD_Result> refuseStranger(MHD_Connection* connection, std::string_view url,
                                             std::string_view method);
    MHD_Result takeBody(MHD_Connection* connection, Request& request, const char* data,
                        std::size_t& size);
    MHD_Result answer(MHD_Connection* connection, std::string_view method, Request& request);
    void note(const std::string& line) const {
        if (log) {
            log(line);
        }
    }

    SoapService& soap;
    HttpSecurity security;
    SoapService::Log log;
    HttpLimits limits;
    HttpAuthentication authentication;
    std::string scheme;
    std::string headLate;
    std::string bodyLate;
    BodyBudget bodies{BodyMemoryBudget};
    // From start(), which learns how many connections the process may open.
    std::optional<AddressShares> connections;
    ConnectionWatch watch;
    WrongCredentialsDelay delay;
    AnswerSlots answering{limits.concurrentAnswers};
    TlsCredentials tls;
    std::string boundAddress;
    MHD_Daemon* daemon = nullptr;
};

MHD_Result HttpService::Impl::onRequest(void* cls, MHD_Connection* connection, const char* url,
                                        const char* method, const char*, const char* upload,
                                        std::size_t* uploadSize, void** context) noexcept {
    Impl& d = *static_cast<Impl*>(cls);
    try {
        if (*context == nullptr) {
            auto request =
                std::make_unique<Request>(d.bodies, shareKey(clientSocketAddress(connection)));
            Request& first = *request;
            // The library keeps it for the request's later calls; onCompleted deletes it.
            *context = request.release();
            return d.begin(connection, url, method, first);
        }
        Request& request = *static_cast<Request*>(*context);
        if (*uploadSize != 0) {
            return d.takeBody(connection, request, upload, *uploadSize);
        }
        return d.answer(connection, method, request);
    } catch (const std::exception& e) {
        // The connection is closed without an answer; nothing of the request was applied
        // unless the service committed it.
        d.note(std::string("dropped a request: ") + e.what());
        return MHD_NO;
    }
}

void HttpService::Impl::onCompleted(void* cls, MHD_Connection* connection, void** context,
                                    MHD_RequestTerminationCode) noexcept {
    const std::unique_ptr<Request> request(static_cast<Request*>(*context));
    *context = nullptr;
    // A kept-alive connection's next request line and headers have the same time as its first.
    Impl& d = *static_cast<Impl*>(cls);
    d.watch.expect(connection, Clock::now() + d.limits.readTimeout, d.headLate);
}

MHD_Result HttpService::Impl::onAccept(void* cls, const sockaddr* address, socklen_t) noexcept {
    try {
        // Refused before the library spends anything on it; started() counts it.
        return queued(static_cast<Impl*>(cls)->connections->allows(shareKey(address), 1));
    } catch (const std::exception&) {
        return MHD_NO;
    }
}

void HttpService::Impl::onConnection(void* cls, MHD_Connection* connection, void** socketContext,
                                     MHD_ConnectionNotificationCode code) noexcept {
    Impl& d = *static_cast<Impl*>(cls);
    try {
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            auto client = std::make_unique<Client>();
            Client& started = *client;
            // The library keeps it until the connection ends; ended() deletes it.
            *socketContext = client.release();
            d.started(connection, started);
        } else {
            const std::unique_ptr<Client> client(static_cast<Client*>(*socketContext));
            *socketContext = nullptr;
            if (client) {
                d.ended(connection, *client);
            }
        }
    } catch (const std::exception& e) {
        d.note(std::string("cannot keep track of a connection: ") + e.what());
    }
}

void HttpService::Impl::started(MHD_Connection* connection, Client& client) {
    const MHD_ConnectionInfo* socket =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    if (socket == nullptr) {
        return;
    }
    const sockaddr* address = clientSocketAddress(connection);
    client.shareKey = shareKey(address);
    client.host = numericHost(address);
    client.counted = connections->take(client.shareKey, 1);
    if (!client.counted) {
        // Its address holds its share already: its thread finds the connection ended.
        ::shutdown(socket->connect_fd, SHUT_RDWR);
        return;
    }
    watch.watch(connection, socket->connect_fd, client.host);
    watch.expect(connection, Clock::now() + limits.readTimeout, headLate);
}

void HttpService::Impl::ended(MHD_Connection* connection, const Client& client) {
    watch.forget(connection);
    if (client.counted) {
        connections->give(client.shareKey, 1);
    }
}

void HttpService::Impl::onLibraryMessage(void* cls, const char* format,
                                         va_list arguments) noexcept {
    std::array<char, 512> text{};
    std::vsnprintf(text.data(), text.size(), format, arguments);
    std::string line = text.data();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    try {
        static_cast<Impl*>(cls)->note(line);
    } catch (const std::exception&) {
        // Nothing can be reported from here.
    }
}

MHD_Result HttpService::Impl::begin(MHD_Connection* connection, std::string_view url,
                                    std::string_view method, Request& request) {
    // Only plain chunked framing, and never beside a length: a request that two readers could
    // cut apart differently is how requests are smuggled past a proxy.
    if (const char* coding = headerValue(connection, MHD_HTTP_HEADER_TRANSFER_ENCODING);
        coding != nullptr && (strcasecmp(coding, "chunked") != 0 ||
                              headerValue(connection, MHD_HTTP_HEADER_CONTENT_LENGTH) != nullptr)) {
        return queueStatus(connection, MHD_HTTP_BAD_REQUEST);
    }
    if (authentication.asksForCredentials()) {
        if (const std::optional<MHD_Result> refused = refuseStranger(connection, url, method)) {
            return *refused;
        }
    }
    if (url != AsmxPath) {
        return queueStatus(connection, MHD_HTTP_NOT_FOUND);
    }
    const bool post = method == MHD_HTTP_METHOD_POST;
    if (!post && method != MHD_HTTP_METHOD_GET && method != MHD_HTTP_METHOD_HEAD) {
        return queueStatus(connection, MHD_HTTP_METHOD_NOT_ALLOWED, MHD_HTTP_HEADER_ALLOW,
                           "GET, HEAD, POST");
    }
    // The rest of the request, its body included, has a read time-out, and a body then as long
    // as it takes at the minimum rate (takeBody).
    watch.expect(connection, request.headersEnd + limits.readTimeout, bodyLate);
    if (!post) {
        return MHD_YES;
    }
    // A length the library has not refused is a plain number.
    if (const char* length = headerValue(connection, MHD_HTTP_HEADER_CONTENT_LENGTH)) {
        std::uint64_t bytes = 0;
        std::from_chars(length, length + std::strlen(length), bytes);
        if (bytes > MaximumRequestBytes) {
            return queueStatus(connection, MHD_HTTP_CONTENT_TOO_LARGE);
        }
        if (!request.reservation.grow(bytes)) {
            note("refused a body of " + std::to_string(bytes) + " bytes from " +
                 clientAddress(connection) + ": the memory for bodies in flight is taken");
            return queueStatus(connection, MHD_HTTP_SERVICE_UNAVAILABLE,
                               MHD_HTTP_HEADER_RETRY_AFTER, "1");
        }
        request.body.reserve(bytes);
    }
    return MHD_YES;
}

// Nothing when the request may go on; otherwise what the handler returns, with the challenge
// queued, after the delay when the credentials were wrong.
std::optional<MHD_Result> HttpService::Impl::refuseStranger(MHD_Connection* connection,
                                                            std::string_view url,
                                                            std::string_view method) {
    using Outcome = HttpAuthentication::Outcome;
    const Outcome outcome = authentication.check(connection, method, url);
    if (outcome == Outcome::Accepted) {
        return std::nullopt;
    }
    if (outcome == Outcome::Wrong) {
        const sockaddr* address = clientSocketAddress(connection);
        // A client asks without credentials first and then answers the challenge; only
        // credentials that were offered and refused are worth a line.
        note("refused a request for " + std::string(url) + " from " + numericHost(address) +
             (security.servesTls() ? ": wrong credentials"
                                   : ": wrong credentials, or Basic ones over plain HTTP"));
        // By share key: an IPv6 guesser has a whole network of addresses to guess from. The
        // server holds the answer back, not the client: no deadline runs meanwhile.
        watch.settle(connection);
        delay.wait(shareKey(address));
    }
    return queued(authentication.queueChallenge(connection, outcome == Outcome::StaleNonce));
}

MHD_Result HttpService::Impl::takeBody(MHD_Connection* connection, Request& request,
                                       const char* data, std::size_t& size) {
    const char* problem = nullptr;
    const std::size_t total = request.body.size() + size;
    if (total > MaximumRequestBytes) {
        problem = "its body is longer than 1 MiB";
    } else if (total > request.reservation.bytes() &&
               !request.reservation.grow(total - request.reservation.bytes())) {
        problem = "the memory for bodies in flight is taken";
    }
    if (problem != nullptr) {
        // An answer cannot be queued while the body arrives: the connection is closed, and
        // nothing of the request is applied.
        note("closed the connection from " + clientAddress(connection) + ": " + problem);
        return MHD_NO;
    }
    request.body.append(data, size);
    size = 0;
    watch.expect(connection,
                 request.headersEnd + limits.readTimeout +
                     std::chrono::seconds(total / MinimumBodyRate),
                 bodyLate);
    return MHD_YES;
}

MHD_Result HttpService::Impl::answer(MHD_Connection* connection, std::string_view method,
                                     Request& request) {
    // The request is whole. Writing its answer has the library's time-out for silence: a large
    // answer to a slow network takes as long as it takes.
    watch.settle(connection);
    if (method == MHD_HTTP_METHOD_POST) {
        std::optional<std::string_view> soapAction;
        if (const char* action = headerValue(connection, "SOAPAction")) {
            soapAction = action;
        }
        // Answered here, on the connection's own thread, and written out by it at once.
        HttpAnswer answer;
        {
            const AnswerSlots::Slot slot(answering);
            try {
                answer = soap.handle(soapAction, request.body);
            } catch (const std::exception&) {
                answer = HttpAnswer{MHD_HTTP_INTERNAL_SERVER_ERROR, {}};
            }
        }
        // The body's memory goes before the answer is written; its reservation with the request.
        request.body = std::string();
        return queueText(connection, static_cast<unsigned>(answer.status), std::move(answer.body),
                         XmlContentType);
    }
    // The address the caller used, so that toolkits post back to where they read it.
    const char* host = headerValue(connection, MHD_HTTP_HEADER_HOST);
    const std::string endpoint =
        scheme + (host != nullptr ? std::string(host) : boundAddress) + AsmxPath;
    if (asksForWsdl(connection)) {
        return queueText(connection, MHD_HTTP_OK, wsdlDocument(endpoint), XmlContentType);
    }
    return queueText(connection, MHD_HTTP_OK,
                     "Stowline stand-in service (SOAP 1.1).\nService description: " + endpoint +
                         "?WSDL\n",
                     "text/plain; charset=utf-8");
}

HttpService::HttpService(SoapService& soap, const HttpSecurity& security, SoapService::Log log,
                         const HttpLimits& limits)
    : m_impl(std::make_unique<Impl>(soap, security, std::move(log), limits)) {}

HttpService::~HttpService() {
    stop();
}

int HttpService::start(const std::string& host, int port) {
    Impl& d = *m_impl;
    const bool tls = d.security.servesTls();
    if (tls) {
        d.tls = readTlsCredentials(d.security);
    }
    const unsigned connections = static_cast<unsigned>(connectionLimit(d.limits.connections));
    d.connections.emplace(connections, d.limits.clientConnections, 1);
    ListeningSocket listener(host, port, static_cast<int>(connections),
                             d.security.asksForCredentials() && tls);
    // A thread of its own for each connection reads a request, answers it and writes the answer
    // without handing it to another thread and back, which under load costs a wait for the
    // processor each time. It waits with poll(), which, unlike select(), takes descriptors
    // beyond 1023, so that the connection limit is not bounded by them.
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION |
                     MHD_USE_POLL | MHD_USE_ERROR_LOG;
    if (listener.isIpv6()) {
        flags |= MHD_USE_IPv6;
    }
    if (tls) {
        flags |= MHD_USE_TLS;
    }
    const auto number = [](auto value) { return static_cast<intptr_t>(value); };
    std::vector<MHD_OptionItem> options{
        {MHD_OPTION_LISTEN_SOCKET, number(listener.descriptor()), nullptr},
        {MHD_OPTION_CONNECTION_LIMIT, number(connections), nullptr},
        {MHD_OPTION_CONNECTION_TIMEOUT, number(d.limits.readTimeout.count()), nullptr},
        {MHD_OPTION_CONNECTION_MEMORY_LIMIT, number(ConnectionMemory), nullptr},
        {MHD_OPTION_THREAD_STACK_SIZE, number(ThreadStack), nullptr},
        {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&Impl::onCompleted), &d},
        {MHD_OPTION_NOTIFY_CONNECTION, reinterpret_cast<intptr_t>(&Impl::onConnection), &d},
        {MHD_OPTION_STRICT_FOR_CLIENT, 1, nullptr},
    };
    if (tls) {
        options.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, d.tls.certificate.data()});
        options.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, d.tls.key.data()});
        options.push_back({MHD_OPTION_HTTPS_PRIORITIES, 0, const_cast<char*>(TlsPriorities)});
    }
    options.push_back({MHD_OPTION_END, 0, nullptr});
    d.daemon = MHD_start_daemon(flags, 0, &Impl::onAccept, &d, &Impl::onRequest, &d,
                                MHD_OPTION_EXTERNAL_LOGGER, &Impl::onLibraryMessage, &d,
                                MHD_OPTION_ARRAY, options.data(), MHD_OPTION_END);
    if (d.daemon == nullptr) {
        throw std::runtime_error("cannot start serving on " + hostAndPort(host, port));
    }
    // The library closes it when it stops.
    listener.release();
    d.boundAddress = hostAndPort(host, listener.port());
    return listener.port();
}

void HttpService::stop() {
    Impl& d = *m_impl;
    if (d.daemon == nullptr) {
        return;
    }
    // The answers held back for wrong credentials go out at once, so that their connections'
    // threads end; the library then waits for the answers being made.
    d.delay.stop();
    MHD_stop_daemon(std::exchange(d.daemon, nullptr));
}

bool HttpService::isRunning() const {
    return m_impl->daemon != nullptr;
}

} // namespace stowline::server
