#include "HttpConnections.h"

#include <httplib.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string_view>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace stowline::server {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::size_t HeaderLimit = 64 * 1024;
// The largest plaintext of a TLS record: one read takes a whole record, so nothing read stays
// hidden inside the TLS session where poll() cannot see it.
constexpr std::size_t ReadChunk = 16 * 1024;
// Reads of one connection per round of the poller, so that a fast sender cannot starve others.
constexpr int ReadsPerRound = 16;
// Descriptors kept free for the database files, the listening socket and the wake-up.
constexpr rlim_t ReservedDescriptors = 128;

constexpr std::string_view HeaderEnd = "\r\n\r\n";
constexpr std::string_view ContinueAnswer = "HTTP/1.1 100 Continue\r\n\r\n";

constexpr ssize_t WouldBlock = -1;
constexpr ssize_t Failed = -2;

// An answer the connections give themselves; no worker saw the request.
std::string ownAnswer(const char* status, const char* header = "") {
    return std::string("HTTP/1.1 ") + status + "\r\n" + header +
           "Content-Length: 0\r\nConnection: close\r\n\r\n";
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// How a request's body is delimited, read from its header lines.
struct BodyFraming {
    enum class Kind { Length, Chunked, Malformed };
    Kind kind = Kind::Length;
    std::uint64_t length = 0;
    bool expectsContinue = false;
};

BodyFraming bodyFraming(std::string_view head) {
    BodyFraming framing;
    std::optional<std::uint64_t> length;
    bool chunked = false;
    bool malformed = false;
    // The request line has no colon before its first CRLF that matters: it is skipped.
    for (std::size_t start = head.find("\r\n"); start != std::string_view::npos;) {
        start += 2;
        const std::size_t end = head.find("\r\n", start);
        const std::string_view line = head.substr(start, end - start);
        start = end;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view name = line.substr(0, colon);
        const std::string_view value = trimmed(line.substr(colon + 1));
        if (sameIgnoringCase(name, "Content-Length")) {
            std::uint64_t number = 0;
            const auto [rest, error] =
                std::from_chars(value.data(), value.data() + value.size(), number);
            malformed |= value.empty() || error != std::errc() ||
                         rest != value.data() + value.size() || (length && *length != number);
            length = number;
        } else if (sameIgnoringCase(name, "Transfer-Encoding")) {
            // Only plain chunked framing: the answering side decodes no transfer coding.
            malformed |= chunked || !sameIgnoringCase(value, "chunked");
            chunked = true;
        } else if (sameIgnoringCase(name, "Expect")) {
            framing.expectsContinue = sameIgnoringCase(value, "100-continue");
        }
    }
    // Both at once is how requests are smuggled past a proxy; HTTP lets a server refuse it.
    if (malformed || (chunked && length)) {
        framing.kind = BodyFraming::Kind::Malformed;
    } else if (chunked) {
        framing.kind = BodyFraming::Kind::Chunked;
    } else {
        framing.length = length.value_or(0);
    }
    return framing;
}

// Where the reading of the current request has got to.
struct Progress {
    std::size_t scanned = 0;      // how far the search for the end of the headers or chunks got
    std::size_t bodyStart = 0;    // once the headers are whole
    std::size_t requestBytes = 0; // once the end of the body is known
    bool chunked = false;
    bool inTrailer = false; // past a chunked body's last chunk
    bool expectsContinue = false;
};

enum class ChunkWalk { Incomplete, Complete, Malformed, TooLarge };

// Walks a chunked body from progress.scanned, the start of a chunk-size or trailer line, as
// far as the buffer holds whole lines and chunks. The body as sent, framing included, may
// take at most `maximum` bytes.
ChunkWalk walkChunks(std::string_view buffer, Progress& progress, std::size_t maximum) {
    for (;;) {
        const std::size_t lineEnd = buffer.find("\r\n", progress.scanned);
        const std::size_t reached = lineEnd == std::string_view::npos ? buffer.size() : lineEnd;
        if (reached - progress.bodyStart > maximum) {
            return ChunkWalk::TooLarge;
        }
        if (lineEnd == std::string_view::npos) {
            return ChunkWalk::Incomplete;
        }
        const std::string_view line = buffer.substr(progress.scanned, lineEnd - progress.scanned);
        const std::size_t lineStart = progress.scanned;
        progress.scanned = lineEnd + 2;
        if (progress.inTrailer) {
            if (line.empty()) {
                progress.requestBytes = progress.scanned;
                return ChunkWalk::Complete;
            }
            continue;
        }
        std::size_t size = 0;
        const auto [rest, error] =
            std::from_chars(line.data(), line.data() + line.size(), size, 16);
        if (error == std::errc::result_out_of_range || size > maximum) {
            return ChunkWalk::TooLarge;
        }
        if (error != std::errc() ||
            (rest != line.data() + line.size() && *rest != ';' && *rest != ' ' && *rest != '\t')) {
            return ChunkWalk::Malformed;
        }
        if (size == 0) {
            progress.inTrailer = true;
            continue;
        }
        const std::size_t chunkEnd = progress.scanned + size;
        if (chunkEnd - progress.bodyStart > maximum) {
            return ChunkWalk::TooLarge;
        }
        if (buffer.size() < chunkEnd + 2) {
            progress.scanned = lineStart; // the size line is read again with the whole chunk
            return ChunkWalk::Incomplete;
        }
        if (buffer.substr(chunkEnd, 2) != "\r\n") {
            return ChunkWalk::Malformed;
        }
        progress.scanned = chunkEnd + 2;
    }
}

void addressOf(int socket, bool peer, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    auto* generic = reinterpret_cast<sockaddr*>(&address);
    if ((peer ? getpeername(socket, generic, &length) : getsockname(socket, generic, &length)) !=
        0) {
        return;
    }
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (getnameinfo(generic, length, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
        ip = host;
        port = std::atoi(service);
    }
}

struct Connection {
    enum class Phase {
        Idle,    // between requests: nothing of the next one has arrived
        Headers, // part of the request line and headers has arrived
        Body,    // the headers are whole, the body is not
        Ready,   // the request is whole and goes to a worker
        Closing, // answered and half-closed; what still arrives is thrown away
        Over,
    };

    Connection(int s, SSL* session, std::atomic<std::size_t>& c)
        : socket(s), tls(session), count(c) {
        ++count;
    }
    ~Connection() {
        endTls();
        SSL_free(tls);
        ::close(socket);
        --count;
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // As recv(): the bytes read, 0 at the end, or WouldBlock or Failed.
    ssize_t receive(char* data, std::size_t size) {
        if (tls == nullptr) {
            const ssize_t n = ::recv(socket, data, size, 0);
            if (n >= 0) {
                return n;
            }
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? WouldBlock : Failed;
        }
        // A session in the accepting state runs its handshake inside SSL_read.
        wantsWrite = false;
        ERR_clear_error();
        const int n = SSL_read(tls, data, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
        if (n > 0) {
            return n;
        }
        switch (SSL_get_error(tls, n)) {
        case SSL_ERROR_WANT_READ:
            return WouldBlock;
        case SSL_ERROR_WANT_WRITE:
            wantsWrite = true;
            return WouldBlock;
        case SSL_ERROR_ZERO_RETURN:
            return 0;
        default:
            tlsFailed = true;
            return Failed;
        }
    }

    // Sends TLS's close_notify, once, where the session can still carry it.
    void endTls() {
        if (tls != nullptr && !tlsFailed && SSL_is_init_finished(tls) != 0 &&
            (SSL_get_shutdown(tls) & SSL_SENT_SHUTDOWN) == 0) {
            ERR_clear_error();
            SSL_shutdown(tls);
        }
    }

    // Writes all of `data`, or gives up at `giveUpAt`.
    bool send(std::string_view data, Clock::time_point giveUpAt) {
        while (!data.empty()) {
            ssize_t n = WouldBlock;
            short waitFor = POLLOUT;
            if (tls == nullptr) {
                n = ::send(socket, data.data(), data.size(), MSG_NOSIGNAL);
                if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                    return false;
                }
            } else {
                ERR_clear_error();
                const int written =
                    SSL_write(tls, data.data(),
                              static_cast<int>(std::min<std::size_t>(data.size(), INT_MAX)));
                const int error = written > 0 ? SSL_ERROR_NONE : SSL_get_error(tls, written);
                if (error == SSL_ERROR_WANT_READ) {
                    waitFor = POLLIN;
                } else if (error != SSL_ERROR_NONE && error != SSL_ERROR_WANT_WRITE) {
                    tlsFailed = true;
                    return false;
                }
                n = written > 0 ? written : WouldBlock;
            }
            if (n > 0) {
                data.remove_prefix(static_cast<std::size_t>(n));
                continue;
            }
            const auto left = std::chrono::ceil<milliseconds>(giveUpAt - Clock::now()).count();
            pollfd wait{socket, waitFor, 0};
            if (left <= 0 ||
                ::poll(&wait, 1, static_cast<int>(std::min<long>(left, INT_MAX))) <= 0) {
                return false;
            }
        }
        return true;
    }

    int socket;
    SSL* tls;
    std::atomic<std::size_t>& count;
    bool tlsFailed = false; // a fatal error: the session must not even be shut down
    bool wantsWrite = false;
    bool peerClosed = false;
    int served = 0;
    Phase phase = Phase::Idle;
    Clock::time_point deadline;
    // What has arrived from the start of the current request on; pipelined requests follow.
    std::string buffer;
    Progress progress;
};

// One request read whole, as httplib reads it, and the connection its answer goes to.
class RequestStream final : public httplib::Stream {
public:
    // The client must have taken the whole answer within `time` of its first byte, so that
    // one that reads slowly holds a worker no longer than one that sends slowly would.
    RequestStream(Connection& connection, std::string_view request, milliseconds time)
        : m_connection(connection), m_request(request), m_time(time) {}

    bool is_readable() const override { return m_read < m_request.size(); }
    bool is_writable() const override { return !m_failed; }

    ssize_t read(char* data, size_t size) override {
        const std::size_t n = std::min(size, m_request.size() - m_read);
        std::memcpy(data, m_request.data() + m_read, n);
        m_read += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* data, size_t size) override {
        const std::string_view text(data, size);
        // httplib confirms "Expect: 100-continue" before it answers. The connections confirmed
        // it already when they waited for the body; a client that did not wait needs none.
        if (!m_wrote && text == ContinueAnswer) {
            return static_cast<ssize_t>(size);
        }
        if (!m_wrote) {
            m_wrote = true;
            m_deadline = Clock::now() + m_time;
        }
        m_failed = m_failed || !m_connection.send(text, m_deadline);
        return m_failed ? -1 : static_cast<ssize_t>(size);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        addressOf(m_connection.socket, true, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        addressOf(m_connection.socket, false, ip, port);
    }
    socket_t socket() const override { return m_connection.socket; }

private:
    Connection& m_connection;
    std::string_view m_request;
    milliseconds m_time;
    Clock::time_point m_deadline;
    std::size_t m_read = 0;
    bool m_wrote = false;
    bool m_failed = false;
};

// As many connections as wanted, as far as the process may open descriptors for them; the
// soft limit is raised towards the hard one where that helps.
std::size_t connectionLimit(std::size_t wanted) {
    const rlim_t needed = wanted + ReservedDescriptors;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return wanted;
    }
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < needed) {
        limit.rlim_cur =
            limit.rlim_max == RLIM_INFINITY ? needed : std::min(needed, limit.rlim_max);
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= needed) {
        return wanted;
    }
    return limit.rlim_cur > ReservedDescriptors * 2 ? limit.rlim_cur - ReservedDescriptors
                                                    : limit.rlim_cur / 2;
}

// The first address of host:port that binds; -1 when none does.
int listeningSocket(const std::string& host, int port, int backlog) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return -1;
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, freeaddrinfo);
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        const int s =
            ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                     address->ai_protocol);
        if (s < 0) {
            continue;
        }
        // SO_REUSEADDR still allows a restart on a port whose old connections linger in
        // TIME_WAIT; SO_REUSEPORT would let a second server share a port already in use.
        const int yes = 1;
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(s, address->ai_addr, address->ai_addrlen) == 0 && ::listen(s, backlog) == 0) {
            return s;
        }
        ::close(s);
    }
    return -1;
}

} // namespace

struct HttpConnections::Impl {
    Impl(const Settings& s, Handler h) : settings(s), handler(std::move(h)) {}

    void pollLoop();
    void acceptWaiting(Clock::time_point now);
    void takeReturned(Clock::time_point now);
    void receive(Connection& connection, Clock::time_point now);
    void advance(Connection& connection, Clock::time_point now);
    void refuse(Connection& connection, Clock::time_point now, const char* status);
    void settle(Clock::time_point now);
    void work();
    bool answer(Connection& connection);
    void wakePoller() const {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake, &one, sizeof one);
    }

    Settings settings;
    Handler handler;
    std::size_t limit = 0;
    std::size_t readLimit = 0;
    int listener = -1;
    int wake = -1;
    std::thread poller;
    std::vector<std::thread> workers;
    std::atomic<bool> stopping{false};
    std::atomic<bool> pollerEnded{false};
    std::atomic<std::size_t> open{0}; // wherever they are

    // The poller's own: connections waiting for (the rest of) a request.
    std::vector<std::unique_ptr<Connection>> waiting;

    std::mutex mutex;
    std::condition_variable queued;
    std::deque<std::unique_ptr<Connection>> queue;     // requests read whole, oldest first
    std::vector<std::unique_ptr<Connection>> returned; // answered, back to the poller
    bool workersEnd = false;
};

void HttpConnections::Impl::pollLoop() {
    std::vector<pollfd> watched;
    while (!stopping) {
        watched.assign({{wake, POLLIN, 0}, {listener, POLLIN, 0}});
        Clock::time_point nearest = Clock::time_point::max();
        for (const auto& connection : waiting) {
            watched.push_back({connection->socket,
                               static_cast<short>(connection->wantsWrite ? POLLOUT : POLLIN), 0});
            nearest = std::min(nearest, connection->deadline);
        }
        int timeout = -1;
        if (!waiting.empty()) {
            const auto left = std::chrono::ceil<milliseconds>(nearest - Clock::now()).count();
            timeout = static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
        }
        if (::poll(watched.data(), watched.size(), timeout) < 0 && errno != EINTR) {
            break;
        }
        const Clock::time_point now = Clock::now();
        for (std::size_t i = 0; i < waiting.size(); ++i) {
            if (watched[i + 2].revents != 0) {
                receive(*waiting[i], now);
            }
        }
        if (watched[0].revents != 0) {
            takeReturned(now);
        }
        if (watched[1].revents != 0) {
            acceptWaiting(now);
        }
        settle(now);
    }
    waiting.clear();
    pollerEnded = true;
}

void HttpConnections::Impl::acceptWaiting(Clock::time_point now) {
    for (int i = 0; i < 64; ++i) {
        const int s = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (s < 0) {
            if (errno == ECONNABORTED || errno == EINTR) {
                continue;
            }
            return;
        }
        if (open >= limit) {
            const std::string refusal = ownAnswer("503 Service Unavailable", "Retry-After: 1\r\n");
            if (settings.tls == nullptr) {
                [[maybe_unused]] const ssize_t sent =
                    ::send(s, refusal.data(), refusal.size(), MSG_NOSIGNAL);
            }
            ::close(s);
            continue;
        }
        // Headers and body of an answer go out in separate writes; with Nagle's algorithm the
        // body of a short answer waited for the client's delayed acknowledgement, 40 ms.
        const int yes = 1;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        SSL* session = nullptr;
        if (settings.tls != nullptr) {
            session = SSL_new(settings.tls);
            if (session == nullptr || SSL_set_fd(session, s) != 1) {
                SSL_free(session);
                ::close(s);
                continue;
            }
            SSL_set_accept_state(session);
        }
        auto connection = std::make_unique<Connection>(s, session, open);
        connection->deadline = now + settings.readTimeout;
        waiting.push_back(std::move(connection));
    }
}

void HttpConnections::Impl::takeReturned(Clock::time_point now) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(wake, &count, sizeof count);
    std::vector<std::unique_ptr<Connection>> back;
    {
        const std::lock_guard lock(mutex);
        back.swap(returned);
    }
    for (auto& connection : back) {
        connection->deadline = now + settings.readTimeout;
        // The next request may have come with the last one, and poll() would not tell.
        receive(*connection, now);
        waiting.push_back(std::move(connection));
    }
}

void HttpConnections::Impl::receive(Connection& connection, Clock::time_point now) {
    char chunk[ReadChunk];
    for (int i = 0; i < ReadsPerRound && connection.buffer.size() < readLimit; ++i) {
        const ssize_t n = connection.receive(chunk, sizeof chunk);
        if (n == WouldBlock) {
            break;
        }
        if (n <= 0) {
            connection.peerClosed = true;
            break;
        }
        if (connection.phase != Connection::Phase::Closing) {
            connection.buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }
    if (connection.phase != Connection::Phase::Closing) {
        advance(connection, now);
    }
    // A request that arrived whole before the client half-closed is still answered.
    if (connection.peerClosed && connection.phase != Connection::Phase::Ready) {
        connection.phase = Connection::Phase::Over;
    }
}

void HttpConnections::Impl::advance(Connection& connection, Clock::time_point now) {
    using Phase = Connection::Phase;
    Progress& progress = connection.progress;
    const std::string_view buffer = connection.buffer;
    if (connection.phase == Phase::Idle) {
        if (buffer.empty()) {
            return;
        }
        connection.phase = Phase::Headers;
        connection.deadline = now + settings.readTimeout;
    }
    if (connection.phase == Phase::Headers) {
        const std::size_t end = buffer.find(HeaderEnd, progress.scanned);
        if (end == std::string_view::npos || end + HeaderEnd.size() > HeaderLimit) {
            if (buffer.size() > HeaderLimit) {
                refuse(connection, now, "431 Request Header Fields Too Large");
            } else if (buffer.size() >= HeaderEnd.size()) {
                progress.scanned = buffer.size() - HeaderEnd.size() + 1;
            }
            return;
        }
        progress.bodyStart = end + HeaderEnd.size();
        progress.scanned = progress.bodyStart;
        const BodyFraming framing = bodyFraming(buffer.substr(0, end));
        if (framing.kind == BodyFraming::Kind::Malformed) {
            refuse(connection, now, "400 Bad Request");
            return;
        }
        if (framing.length > settings.maximumBodyBytes) {
            refuse(connection, now, "413 Payload Too Large");
            return;
        }
        progress.chunked = framing.kind == BodyFraming::Kind::Chunked;
        if (!progress.chunked) {
            progress.requestBytes = progress.bodyStart + framing.length;
        }
        progress.expectsContinue = framing.expectsContinue;
        connection.phase = Phase::Body;
        connection.deadline = now + settings.readTimeout;
    }
    if (progress.chunked && progress.requestBytes == 0) {
        switch (walkChunks(buffer, progress, settings.maximumBodyBytes)) {
        case ChunkWalk::Malformed:
            refuse(connection, now, "400 Bad Request");
            return;
        case ChunkWalk::TooLarge:
            refuse(connection, now, "413 Payload Too Large");
            return;
        case ChunkWalk::Incomplete:
        case ChunkWalk::Complete:
            break;
        }
    }
    if (progress.requestBytes != 0 && buffer.size() >= progress.requestBytes) {
        connection.phase = Phase::Ready;
    } else if (progress.expectsContinue) {
        progress.expectsContinue = false;
        connection.send(ContinueAnswer, now);
    }
}

// Answers without a worker and half-closes; the connection ends once the client closes its
// side or after one more read time-out. Closing at once could reset the connection before
// the client has read the answer, when it is still sending.
void HttpConnections::Impl::refuse(Connection& connection, Clock::time_point now,
                                   const char* status) {
    connection.send(ownAnswer(status), now);
    connection.endTls();
    ::shutdown(connection.socket, SHUT_WR);
    connection.buffer.clear();
    connection.phase = Connection::Phase::Closing;
    connection.deadline = now + settings.readTimeout;
}

void HttpConnections::Impl::settle(Clock::time_point now) {
    using Phase = Connection::Phase;
    std::vector<std::unique_ptr<Connection>> ready;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < waiting.size(); ++i) {
        std::unique_ptr<Connection>& connection = waiting[i];
        if (connection->phase == Phase::Ready) {
            ready.push_back(std::move(connection));
            continue;
        }
        if (connection->phase != Phase::Over && now >= connection->deadline) {
            if (connection->phase == Phase::Headers || connection->phase == Phase::Body) {
                refuse(*connection, now, "408 Request Timeout");
            } else {
                connection->phase = Phase::Over;
            }
        }
        if (connection->phase == Phase::Over) {
            connection.reset();
            continue;
        }
        if (kept != i) {
            waiting[kept] = std::move(connection);
        }
        ++kept;
    }
    waiting.resize(kept);
    if (!ready.empty()) {
        {
            const std::lock_guard lock(mutex);
            for (auto& connection : ready) {
                queue.push_back(std::move(connection));
            }
        }
        queued.notify_all();
    }
}

void HttpConnections::Impl::work() {
    for (;;) {
        std::unique_ptr<Connection> connection;
        {
            std::unique_lock lock(mutex);
            queued.wait(lock, [this] { return !queue.empty() || workersEnd; });
            if (queue.empty()) {
                return;
            }
            connection = std::move(queue.front());
            queue.pop_front();
        }
        if (!answer(*connection) || stopping) {
            continue;
        }
        {
            const std::lock_guard lock(mutex);
            returned.push_back(std::move(connection));
        }
        wakePoller();
    }
}

// Whether the connection may carry the next request.
bool HttpConnections::Impl::answer(Connection& connection) {
    const bool last =
        ++connection.served >= settings.requestsPerConnection || stopping || connection.peerClosed;
    const std::size_t length = connection.progress.requestBytes;
    RequestStream stream(connection, std::string_view(connection.buffer).substr(0, length),
                         settings.readTimeout);
    bool clientCloses = false;
    bool written = false;
    try {
        written = handler(stream, last, clientCloses);
    } catch (...) {
        // httplib turns a handler's exception into a 500 itself; this is what escaped it.
        written = false;
    }
    connection.buffer.erase(0, length);
    connection.progress = {};
    connection.phase = Connection::Phase::Idle;
    return written && !last && !clientCloses;
}

HttpConnections::HttpConnections(const Settings& settings, Handler handler)
    : m_impl(std::make_unique<Impl>(settings, std::move(handler))) {}

HttpConnections::~HttpConnections() {
    stop();
}

int HttpConnections::listen(const std::string& host, int port) {
    Impl& d = *m_impl;
    d.limit = connectionLimit(d.settings.maximumConnections);
    d.readLimit = HeaderLimit + d.settings.maximumBodyBytes + ReadChunk;
    d.listener =
        listeningSocket(host, port, static_cast<int>(std::min<std::size_t>(d.limit, INT_MAX)));
    if (d.listener < 0) {
        return 0;
    }
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    getsockname(d.listener, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.ss_family == AF_INET6
                     ? reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port
                     : reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

void HttpConnections::start() {
    Impl& d = *m_impl;
    d.wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (d.wake < 0) {
        throw std::runtime_error(std::string("cannot create an eventfd: ") + std::strerror(errno));
    }
    for (int i = 0; i < std::max(1, d.settings.workers); ++i) {
        d.workers.emplace_back([&d] { d.work(); });
    }
    d.poller = std::thread([&d] { d.pollLoop(); });
}

void HttpConnections::stop() {
    Impl& d = *m_impl;
    d.stopping = true;
    if (d.poller.joinable()) {
        d.wakePoller();
        d.poller.join();
    }
    {
        const std::lock_guard lock(d.mutex);
        d.workersEnd = true;
    }
    d.queued.notify_all();
    for (std::thread& worker : d.workers) {
        worker.join();
    }
    d.workers.clear();
    d.returned.clear();
    for (int* descriptor : {&d.listener, &d.wake}) {
        if (*descriptor >= 0) {
            ::close(*descriptor);
            *descriptor = -1;
        }
    }
}

bool HttpConnections::isRunning() const {
    return m_impl->poller.joinable() && !m_impl->pollerEnded;
}

} // namespace stowline::server
