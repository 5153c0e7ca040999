#include "support/RecordingHttpServer.h"

#include <QList>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace stowline::test {

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

ServerBehaviour ServerBehaviour::halfThenClose(int status, const QByteArray& body) {
    ServerBehaviour behaviour = respond(status, body);
    behaviour.sendBytes = behaviour.response.size() - body.size() + body.size() / 2;
    return behaviour;
}

ServerBehaviour ServerBehaviour::drip(int status, const QByteArray& body, qsizetype chunkBytes,
                                      std::chrono::milliseconds interval) {
    ServerBehaviour behaviour = respond(status, body);
    behaviour.chunkBytes = chunkBytes;
    behaviour.pause = interval;
    return behaviour;
}

RecordingHttpServer::RecordingHttpServer()
    : m_behaviour(ServerBehaviour::respond(
          200, "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
               "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body/>"
               "</soap:Envelope>")) {
    m_listenSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listenSocket < 0 ||
        ::bind(m_listenSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listenSocket, 16) != 0 ||
        ::getsockname(m_listenSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        stop();
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
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

bool RecordingHttpServer::waitFor(int socket, short events, std::chrono::milliseconds limit) const {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!m_stopped && std::chrono::steady_clock::now() < until) {
        pollfd fd{socket, events, 0};
        if (::poll(&fd, 1, 10) > 0) {
            return true;
        }
    }
    return false;
}

// Sends everything unless the client goes away or the server is stopped meanwhile.
bool RecordingHttpServer::sendAll(int socket, QByteArray bytes) const {
    while (!bytes.isEmpty()) {
        if (!waitFor(socket, POLLOUT)) {
            return false;
        }
        const ssize_t sent = ::send(socket, bytes.constData(), static_cast<size_t>(bytes.size()),
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes.remove(0, sent);
    }
    return true;
}

void RecordingHttpServer::acceptLoop() {
    while (waitFor(m_listenSocket, POLLIN)) {
        const int socket = ::accept4(m_listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket >= 0) {
            m_connections.emplace_back([this, socket] {
                serve(socket);
                ::close(socket);
            });
        }
    }
}

bool RecordingHttpServer::readRequest(int socket, RecordedRequest& request) const {
    qsizetype headerEnd = -1;
    qsizetype contentLength = 0;
    while (headerEnd < 0 || request.raw.size() < headerEnd + contentLength) {
        if (!waitFor(socket, POLLIN)) {
            return false;
        }
        char buffer[16384];
        const ssize_t received = ::recv(socket, buffer, sizeof buffer, 0);
        if (received < 0 && errno == EINTR) {
            continue;
        }
        if (received <= 0) {
            // The client went away: keep what arrived, marked incomplete.
            request.body = headerEnd < 0 ? QByteArray() : request.raw.mid(headerEnd);
            return !request.raw.isEmpty();
        }
        request.raw.append(buffer, received);
        const qsizetype blankLine = request.raw.indexOf("\r\n\r\n");
        if (headerEnd >= 0 || blankLine < 0) {
            continue;
        }
        headerEnd = blankLine + 4;
        QList<QByteArray> lines = request.raw.left(blankLine).split('\n');
        for (QByteArray& line : lines) {
            line.chop(line.endsWith('\r') ? 1 : 0);
        }
        request.requestLine = lines.takeFirst();
        for (const QByteArray& line : lines) {
            const qsizetype colon = line.indexOf(':');
            request.headers.emplace_back(colon < 0 ? line : line.left(colon),
                                         colon < 0 ? QByteArray() : line.mid(colon + 1).trimmed());
        }
        contentLength = request.header("Content-Length").toLongLong();
    }
    request.body = request.raw.mid(headerEnd, contentLength);
    request.complete = true;
    return true;
}

void RecordingHttpServer::serve(int socket) {
    RecordedRequest request;
    if (!readRequest(socket, request)) {
        return;
    }
    ServerBehaviour behaviour;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(std::move(request));
        behaviour = m_queued.empty() ? m_behaviour : m_queued.front();
        if (!m_queued.empty()) {
            m_queued.pop_front();
        }
    }
    if (behaviour.silent) {
        // Until the client gives up, or the server stops.
        char buffer[4096];
        while (waitFor(socket, POLLIN) && ::recv(socket, buffer, sizeof buffer, 0) > 0) {
        }
    } else {
        const QByteArray& all = behaviour.response;
        const QByteArray bytes = behaviour.sendBytes < 0 ? all : all.left(behaviour.sendBytes);
        const qsizetype chunk = behaviour.chunkBytes > 0 ? behaviour.chunkBytes : bytes.size();
        for (qsizetype at = 0; at < bytes.size(); at += chunk) {
            if (at > 0) {
                waitFor(-1, 0, behaviour.pause); // a pause that ends early when the server stops
            }
            if (!sendAll(socket, bytes.mid(at, chunk))) {
                break;
            }
        }
    }
    ::shutdown(socket, SHUT_RDWR);
}

} // namespace stowline::test
