#include "support/RecordingHttpServer.h"

#include "support/LoopbackSocket.h"

#include <poll.h>
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

void RecordingHttpServer::serve(int socket) {
    RecordedRequest request;
    if (!readMessage(socket, request, m_stopped)) {
        return;
    }
    ServerBehaviour behaviour;
    std::size_t index = 0;
    int cleared = 0;
    {
        std::lock_guard lock(m_mutex);
        index = m_requests.size();
        cleared = m_cleared;
        m_requests.push_back(std::move(request));
        behaviour = m_queued.empty() ? m_behaviour : m_queued.front();
        if (!m_queued.empty()) {
            m_queued.pop_front();
        }
    }
    if (behaviour.silent) {
        // Until the client gives up, or the server stops.
        char buffer[4096];
        while (waitFor(socket, POLLIN, m_stopped) && ::recv(socket, buffer, sizeof buffer, 0) > 0) {
        }
    } else {
        const QByteArray& all = behaviour.response;
        const QByteArray bytes = behaviour.sendBytes < 0 ? all : all.left(behaviour.sendBytes);
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

} // namespace stowline::test
