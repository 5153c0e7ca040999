#include "support/RecordingHttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace stowline::test {
namespace {

QByteArray reasonPhrase(int status) {
    return status == 200 ? "OK" : status == 500 ? "Internal Server Error" : "Status";
}

QByteArray headBlock(int status, const QByteArray& contentType, qsizetype contentLength) {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
           "\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(contentLength) +
           "\r\nConnection: close\r\n\r\n";
}

// Sends everything unless the client goes away or the server is stopped meanwhile.
bool sendAll(int socket, int stopFd, const char* data, qsizetype size) {
    while (size > 0) {
        pollfd fds[2] = {{socket, POLLOUT, 0}, {stopFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            return false;
        }
        if (fds[1].revents != 0) {
            return false;
        }
        if (fds[0].revents == 0) {
            continue;
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

} // namespace

QList<QByteArray> RecordedRequest::headerNames() const {
    QList<QByteArray> names;
    for (const auto& header : headers) {
        names << header.first;
    }
    return names;
}

bool RecordedRequest::hasHeader(const QByteArray& name) const {
    return !header(name).isNull();
}

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
    return rawResponse(headBlock(status, contentType, body.size()) + body);
}

ServerBehaviour ServerBehaviour::rawResponse(QByteArray bytes) {
    ServerBehaviour behaviour;
    behaviour.response = std::move(bytes);
    return behaviour;
}

ServerBehaviour ServerBehaviour::closeWithoutAnswer() {
    ServerBehaviour behaviour;
    behaviour.kind = Kind::CloseWithoutAnswer;
    return behaviour;
}

ServerBehaviour ServerBehaviour::neverAnswer() {
    ServerBehaviour behaviour;
    behaviour.kind = Kind::NeverAnswer;
    return behaviour;
}

ServerBehaviour ServerBehaviour::halfThenClose(int status, const QByteArray& body) {
    ServerBehaviour behaviour = respond(status, body);
    behaviour.kind = Kind::SendPartThenClose;
    behaviour.cutAt = behaviour.response.size() - body.size() + body.size() / 2;
    return behaviour;
}

ServerBehaviour ServerBehaviour::drip(int status, const QByteArray& body, qsizetype chunkBytes,
                                      std::chrono::milliseconds interval) {
    ServerBehaviour behaviour = respond(status, body);
    behaviour.kind = Kind::Drip;
    behaviour.dripChunkBytes = chunkBytes;
    behaviour.dripInterval = interval;
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

RecordingHttpServer::~RecordingHttpServer() {
    stop();
}

QString RecordingHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QString RecordingHttpServer::url(const QString& path) const {
    return baseUrl() + path;
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

bool RecordingHttpServer::waitForRequests(std::size_t count,
                                          std::chrono::milliseconds deadline) const {
    std::unique_lock lock(m_mutex);
    return m_recorded.wait_for(lock, deadline, [&] { return m_requests.size() >= count; });
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

bool RecordingHttpServer::stopRequested(std::chrono::milliseconds wait) const {
    pollfd stopFd{m_stopPipe[0], POLLIN, 0};
    return ::poll(&stopFd, 1, static_cast<int>(wait.count())) > 0;
}

void RecordingHttpServer::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{m_listenSocket, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) == 0) {
            continue;
        }
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
        pollfd fds[2] = {{socket, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            return false;
        }
        if (fds[1].revents != 0) {
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
        if (headerEnd >= 0) {
            continue;
        }
        const qsizetype blankLine = request.raw.indexOf("\r\n\r\n");
        if (blankLine < 0) {
            continue;
        }
        headerEnd = blankLine + 4;
        const QList<QByteArray> lines = request.raw.left(blankLine).split('\n');
        request.requestLine = lines.value(0).chopped(lines.value(0).endsWith('\r') ? 1 : 0);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
            const qsizetype colon = line.indexOf(':');
            if (colon < 0) {
                request.headers.emplace_back(line, QByteArray());
                continue;
            }
            request.headers.emplace_back(line.left(colon), line.mid(colon + 1).trimmed());
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
    m_recorded.notify_all();
    behave(socket, behaviour);
    ::shutdown(socket, SHUT_RDWR);
}

void RecordingHttpServer::behave(int socket, const ServerBehaviour& behaviour) {
    using Kind = ServerBehaviour::Kind;
    const QByteArray& bytes = behaviour.response;
    switch (behaviour.kind) {
    case Kind::Respond:
        sendAll(socket, m_stopPipe[0], bytes.constData(), bytes.size());
        return;
    case Kind::CloseWithoutAnswer:
        return;
    case Kind::SendPartThenClose:
        sendAll(socket, m_stopPipe[0], bytes.constData(), qMin(behaviour.cutAt, bytes.size()));
        return;
    case Kind::Drip:
        for (qsizetype at = 0; at < bytes.size(); at += behaviour.dripChunkBytes) {
            const qsizetype size = qMin(behaviour.dripChunkBytes, bytes.size() - at);
            if (!sendAll(socket, m_stopPipe[0], bytes.constData() + at, size) ||
                (at + size < bytes.size() && stopRequested(behaviour.dripInterval))) {
                return;
            }
        }
        return;
    case Kind::NeverAnswer: {
        char buffer[4096];
        for (;;) {
            pollfd fds[2] = {{socket, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
            if ((::poll(fds, 2, -1) < 0 && errno != EINTR) || fds[1].revents != 0) {
                return;
            }
            if (fds[0].revents != 0 && ::recv(socket, buffer, sizeof buffer, 0) <= 0) {
                return; // the client gave up
            }
        }
    }
    }
}

} // namespace stowline::test
