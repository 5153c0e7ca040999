#include "support/RecordingHttpServer.h"

#include <QList>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace stowline::test {
namespace {

// Sockets on 127.0.0.1 and HTTP messages read and written whole. Every wait ends within a poll
// slice once `stopped` is set.

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

int listenOnLoopback(quint16& port) {
    const int listening = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (listening < 0 ||
        ::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listening, 16) != 0 ||
        ::getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1"); // the test ends here
    }
    port = ntohs(address.sin_port);
    return listening;
}

int connectToLoopback(quint16 port) {
    const int connection = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    if (connection >= 0 &&
        ::connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(connection);
        return -1;
    }
    return connection;
}

bool waitFor(int socket, short events, const std::atomic<bool>& stopped,
             std::chrono::milliseconds limit = std::chrono::hours(24)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!stopped && std::chrono::steady_clock::now() < until) {
        pollfd fd{socket, events, 0};
        if (::poll(&fd, 1, 10) > 0) {
            return true;
        }
    }
    return false;
}

// Sends the bytes, and tells how many went out before the peer went away or the wait stopped.
qsizetype sendAll(int socket, const QByteArray& bytes, const std::atomic<bool>& stopped) {
    qsizetype at = 0;
    while (at < bytes.size() && waitFor(socket, POLLOUT, stopped)) {
        const ssize_t sent =
            ::send(socket, bytes.constData() + at, static_cast<size_t>(bytes.size() - at),
                   MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;
        }
        if (sent <= 0) {
            break;
        }
        at += sent;
    }
    return at;
}

// Until the peer goes away, or the wait stops.
void waitUntilClosed(int socket, const std::atomic<bool>& stopped) {
    char buffer[4096];
    while (waitFor(socket, POLLIN, stopped) && ::recv(socket, buffer, sizeof buffer, 0) > 0) {
    }
}

// Reads one HTTP message, request or answer: its start line, headers, and a body of the
// announced Content-Length. False when nothing arrived; an incomplete one is marked so.
bool readMessage(int socket, RecordedRequest& message, const std::atomic<bool>& stopped) {
    qsizetype headerEnd = -1;
    qsizetype contentLength = 0;
    while (headerEnd < 0 || message.raw.size() < headerEnd + contentLength) {
        if (!waitFor(socket, POLLIN, stopped)) {
            return false;
        }
        char buffer[16384];
        const ssize_t received = ::recv(socket, buffer, sizeof buffer, 0);
        if (received < 0 && errno == EINTR) {
            continue;
        }
        if (received <= 0) {
            // The peer went away: keep what arrived, marked incomplete.
            message.body = headerEnd < 0 ? QByteArray() : message.raw.mid(headerEnd);
            return !message.raw.isEmpty();
        }
        message.raw.append(buffer, received);
        const qsizetype blankLine = message.raw.indexOf("\r\n\r\n");
        if (headerEnd >= 0 || blankLine < 0) {
            continue;
        }
        headerEnd = blankLine + 4;
        QList<QByteArray> lines = message.raw.left(blankLine).split('\n');
        for (QByteArray& line : lines) {
            line.chop(line.endsWith('\r') ? 1 : 0);
        }
        message.requestLine = lines.takeFirst();
        for (const QByteArray& line : lines) {
            const qsizetype colon = line.indexOf(':');
            message.headers.emplace_back(colon < 0 ? line : line.left(colon),
                                         colon < 0 ? QByteArray() : line.mid(colon + 1).trimmed());
        }
        contentLength = message.header("Content-Length").toLongLong();
    }
    message.body = message.raw.mid(headerEnd, contentLength);
    message.complete = true;
    return true;
}

} // namespace

QByteArray RecordedRequest::header(const QByteArray& name) const {
    for (const auto& [headerName, value] : headers) {
        if (headerName.compare(name, Qt::CaseInsensitive) == 0) {
            return value.isNull() ? QByteArray("") : value;
        }
    }
    return {};
}

ServerBehaviour ServerBehaviour::respond(int status, const QByteArray& body,
                                         const QByteArray& contentType) {
    const QByteArray reason = status == 200   ? "OK"
                              : status == 500 ? "Internal Server Error"
                                              : "Status";
    return rawResponse("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
                       "\r\nContent-Type: " + contentType + "\r\nContent-Length: " +
                       QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
}

ServerBehaviour ServerBehaviour::drip(int status, const QByteArray& body, qsizetype chunkBytes,
                                      std::chrono::milliseconds interval) {
    ServerBehaviour behaviour = respond(status, body);
    behaviour.chunkBytes = chunkBytes;
    behaviour.pause = interval;
    return behaviour;
}

RecordingHttpServer::RecordingHttpServer(quint16 passOnTo)
    : m_passOnTo(passOnTo),
      m_behaviour(ServerBehaviour::respond(
          200, "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
               "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body/>"
               "</soap:Envelope>")) {
    m_listenSocket = listenOnLoopback(m_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

void RecordingHttpServer::setBehaviour(ServerBehaviour behaviour) {
    std::lock_guard lock(m_mutex);
    m_behaviour = std::move(behaviour);
}

void RecordingHttpServer::queueBehaviour(ServerBehaviour behaviour) {
    std::lock_guard lock(m_mutex);
    m_queued.push_back(std::move(behaviour));
}

std::vector<RecordedRequest> RecordingHttpServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void RecordingHttpServer::clearRequests() {
    std::lock_guard lock(m_mutex);
    m_requests.clear();
    ++m_cleared;
}

void RecordingHttpServer::stop() {
    if (m_stopped.exchange(true)) {
        return;
    }
    // Every wait ends within one poll slice of the flag.
    if (m_acceptor.joinable()) {
        m_acceptor.join();
    }
    for (std::thread& connection : m_connections) {
        connection.join();
    }
    if (m_listenSocket >= 0) {
        ::close(m_listenSocket);
    }
}

void RecordingHttpServer::acceptLoop() {
    while (waitFor(m_listenSocket, POLLIN, m_stopped)) {
        const int socket = ::accept4(m_listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket >= 0) {
            m_connections.emplace_back([this, socket] {
                serve(socket);
                ::close(socket);
            });
        }
    }
}

std::optional<RecordingHttpServer::LossRule>
RecordingHttpServer::record(RecordedRequest request, std::size_t& index, int& cleared) {
    std::lock_guard lock(m_mutex);
    index = m_requests.size();
    cleared = m_cleared;
    const QByteArray action = request.header("SOAPAction");
    const bool lose = m_lossRule && action.endsWith(m_lossRule->operation) &&
                      !(m_lossRule->withCredentials && request.header("Authorization").isNull());
    m_requests.push_back(std::move(request));
    return lose ? std::exchange(m_lossRule, std::nullopt) : std::nullopt;
}

void RecordingHttpServer::serve(int socket) {
    if (m_passOnTo != 0) {
        passOn(socket);
        ::shutdown(socket, SHUT_RDWR);
        return;
    }
    RecordedRequest request;
    if (!readMessage(socket, request, m_stopped)) {
        return;
    }
    ServerBehaviour behaviour;
    std::size_t index = 0;
    int cleared = 0;
    record(std::move(request), index, cleared);
    {
        std::lock_guard lock(m_mutex);
        behaviour = m_queued.empty() ? m_behaviour : m_queued.front();
        if (!m_queued.empty()) {
            m_queued.pop_front();
        }
    }
    if (behaviour.silent) {
        waitUntilClosed(socket, m_stopped);
    } else {
        waitFor(-1, 0, m_stopped, behaviour.delay); // ends early when the server stops
        const QByteArray& bytes = behaviour.response;
        const qsizetype chunk = behaviour.chunkBytes > 0 ? behaviour.chunkBytes : bytes.size();
        for (qsizetype at = 0; at < bytes.size(); at += chunk) {
            if (at > 0) { // a pause that ends early when the server stops
                waitFor(-1, 0, m_stopped, behaviour.pause);
            }
            const QByteArray piece = bytes.mid(at, chunk);
            const qsizetype sent = sendAll(socket, piece, m_stopped);
            {
                std::lock_guard lock(m_mutex);
                if (cleared == m_cleared) { // the request is still recorded
                    m_requests[index].answerBytesSent += sent;
                }
            }
            if (sent < piece.size()) {
                break;
            }
        }
    }
    ::shutdown(socket, SHUT_RDWR);
}

void RecordingHttpServer::loseNext(const QByteArray& operation, Loss loss, bool withCredentials,
                                   std::optional<ServerBehaviour> gatewayAnswer) {
    std::lock_guard lock(m_mutex);
    m_lossRule = LossRule{operation, loss, withCredentials, std::move(gatewayAnswer)};
}

int RecordingHttpServer::sent(const QByteArray& operation) const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(), [&](const auto& r) {
        return r.header("SOAPAction").endsWith(operation) && r.answerStatus != 401;
    }));
}

// A proxy's client connection, request after request, each passed on on a connection of its own.
void RecordingHttpServer::passOn(int client) {
    for (RecordedRequest request; readMessage(client, request, m_stopped) && request.complete;
         request = {}) {
        std::size_t index = 0;
        int cleared = 0;
        const std::optional<LossRule> loss = record(request, index, cleared);
        // In place of the answer the client never gets, a gateway's page, if there is one.
        const auto lose = [&] {
            if (loss->gatewayAnswer) {
                sendAll(client, loss->gatewayAnswer->response, m_stopped);
            }
        };
        if (loss && loss->loss == Loss::BeforeTheServer) {
            lose();
            return;
        }
        const int server = connectToLoopback(m_passOnTo);
        RecordedRequest answer;
        const bool answered = server >= 0 &&
                              sendAll(server, request.raw, m_stopped) == request.raw.size() &&
                              readMessage(server, answer, m_stopped);
        if (server >= 0) {
            ::close(server);
        }
        if (!answered) {
            return;
        }
        // Passed on without the server's Connection header, which was about its own connection.
        QByteArray passed = answer.requestLine + "\r\n";
        for (const auto& [name, value] : answer.headers) {
            passed += name.compare("Connection", Qt::CaseInsensitive) == 0
                          ? QByteArray()
                          : name + ": " + value + "\r\n";
        }
        passed += "\r\n" + answer.body;
        {
            std::lock_guard lock(m_mutex);
            if (cleared == m_cleared) {
                m_requests[index].answerStatus = answer.requestLine.split(' ').value(1).toInt();
            }
        }
        if (loss) {
            if (loss->loss == Loss::Held) {
                waitUntilClosed(client, m_stopped);
            }
            lose();
            return;
        }
        if (sendAll(client, passed, m_stopped) < passed.size()) {
            return;
        }
    }
}

} // namespace stowline::test
