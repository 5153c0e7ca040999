#include "support/RecordingHttpServer.h"

#include <QList>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
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
    if (::pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    m_listenSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
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
    std::vector<std::thread> connections;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopped) {
            return;
        }
        m_stopped = true;
    }
    // The pipe stays readable once written, so every waiting thread sees it.
    if (m_stopPipe[1] >= 0) {
        const char byte = 's';
        [[maybe_unused]] const ssize_t written = ::write(m_stopPipe[1], &byte, 1);
    }
    if (m_acceptor.joinable()) {
        m_acceptor.join();
    }
    {
        std::lock_guard lock(m_mutex);
        connections.swap(m_connections);
    }
    for (std::thread& connection : connections) {
        connection.join();
    }
    for (int fd : {m_listenSocket, m_stopPipe[0], m_stopPipe[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    m_listenSocket = m_stopPipe[0] = m_stopPipe[1] = -1;
}

bool RecordingHttpServer::waitFor(int socket, short events) const {
    for (;;) {
        pollfd fds[2] = {{socket, events, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            return false;
        }
        if (fds[1].revents != 0) {
            return false;
        }
        if (fds[0].revents != 0) {
            return true;
        }
    }
}

bool RecordingHttpServer::stopRequested(std::chrono::milliseconds wait) const {
    pollfd stopFd{m_stopPipe[0], POLLIN, 0};
    return ::poll(&stopFd, 1, static_cast<int>(wait.count())) > 0;
}

// Sends everything unless the client goes away or the server is stopped meanwhile.
bool RecordingHttpServer::sendAll(int socket, const char* data, qsizetype size) const {
    while (size > 0) {
        if (!waitFor(socket, POLLOUT)) {
            return false;
        }
        const ssize_t sent =
            ::send(socket, data, static_cast<size_t>(size), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        data += sent;
        size -= sent;
    }
    return true;
}

void RecordingHttpServer::acceptLoop() {
    while (waitFor(m_listenSocket, POLLIN)) {
        const int socket = ::accept4(m_listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0) {
            continue;
        }
        std::lock_guard lock(m_mutex);
        m_connections.emplace_back([this, socket] {
            serve(socket);
            ::close(socket);
        });
    }
}

bool RecordingHttpServer::readRequest(int socket, RecordedRequest& request) {
    qsizetype headerEnd = -1;
    qsizetype contentLength = 0;
    char buffer[16384];
    for (;;) {
        if (headerEnd >= 0 && request.raw.size() >= headerEnd + contentLength) {
            request.body = request.raw.mid(headerEnd, contentLength);
            request.complete = true;
            return true;
        }
        if (!waitFor(socket, POLLIN)) {
            return false;
        }
        const ssize_t received = ::recv(socket, buffer, sizeof buffer, 0);
        if (received < 0 && errno == EINTR) {
            continue;
        }
        if (received <= 0) {
            // The client went away: keep what arrived, marked incomplete.
            if (headerEnd >= 0) {
                request.body = request.raw.mid(headerEnd);
            }
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
        if (m_queued.empty()) {
            behaviour = m_behaviour;
        } else {
            behaviour = std::move(m_queued.front());
            m_queued.pop_front();
        }
    }
    behave(socket, behaviour);
    ::shutdown(socket, SHUT_RDWR);
}

void RecordingHttpServer::behave(int socket, const ServerBehaviour& behaviour) {
    if (behaviour.silent) {
        char buffer[4096];
        while (waitFor(socket, POLLIN) && ::recv(socket, buffer, sizeof buffer, 0) > 0) {
        }
        return; // the client gave up, or the server stops
    }
    const QByteArray& bytes = behaviour.response;
    const qsizetype end =
        behaviour.sendBytes < 0 ? bytes.size() : qMin(behaviour.sendBytes, bytes.size());
    const qsizetype chunk = behaviour.chunkBytes > 0 ? behaviour.chunkBytes : end;
    for (qsizetype at = 0; at < end; at += chunk) {
        const qsizetype size = qMin(chunk, end - at);
        if (!sendAll(socket, bytes.constData() + at, size) ||
            (at + size < end && stopRequested(behaviour.pause))) {
            return;
        }
    }
}

} // namespace stowline::test
