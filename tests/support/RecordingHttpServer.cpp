#include "support/RecordingHttpServer.h"

#include "support/LoopbackSocket.h"

#include <QList>
#include <algorithm>
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

std::optional<RecordingHttpServer::Loss>
RecordingHttpServer::record(RecordedRequest request, std::size_t& index, int& cleared) {
    std::lock_guard lock(m_mutex);
    index = m_requests.size();
    cleared = m_cleared;
    const QByteArray action = request.header("SOAPAction");
    const bool lose = m_lossRule && action.endsWith(m_lossRule->operation) &&
                      !(m_lossRule->withCredentials && request.header("Authorization").isNull());
    m_requests.push_back(std::move(request));
    return lose ? std::optional(std::exchange(m_lossRule, std::nullopt)->loss) : std::nullopt;
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

void RecordingHttpServer::loseNext(const QByteArray& operation, Loss loss, bool withCredentials) {
    std::lock_guard lock(m_mutex);
    m_lossRule = LossRule{operation, loss, withCredentials};
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
        const std::optional<Loss> loss = record(request, index, cleared);
        if (loss == Loss::BeforeTheServer) {
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
        if (loss || sendAll(client, passed, m_stopped) < passed.size()) {
            return;
        }
    }
}

} // namespace stowline::test
