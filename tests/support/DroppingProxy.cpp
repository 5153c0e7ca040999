#include "support/DroppingProxy.h"

#include "support/LoopbackSocket.h"

#include <QList>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace stowline::test {
namespace {

// The answer as the proxy passes it on: without the server's Connection header, which is about
// the server's own connection; the proxy keeps the component's open.
QByteArray keptAlive(const RecordedRequest& answer) {
    QByteArray bytes = answer.requestLine + "\r\n";
    for (const auto& [name, value] : answer.headers) {
        if (name.compare("Connection", Qt::CaseInsensitive) != 0) {
            bytes += name + ": " + value + "\r\n";
        }
    }
    return bytes + "\r\n" + answer.body;
}

} // namespace

DroppingProxy::DroppingProxy(quint16 serverPort) : m_serverPort(serverPort) {
    m_listenSocket = listenOnLoopback(m_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

DroppingProxy::~DroppingProxy() {
    m_stopped = true;
    m_acceptor.join();
    for (std::thread& connection : m_connections) {
        connection.join();
    }
    ::close(m_listenSocket);
}

QString DroppingProxy::serverName(const QString& userInfo) const {
    return QStringLiteral("http://") + (userInfo.isEmpty() ? QString() : userInfo + '@') +
           QStringLiteral("127.0.0.1:") + QString::number(m_port);
}

void DroppingProxy::loseNext(const QByteArray& operation, Loss loss, bool withCredentials) {
    std::lock_guard lock(m_mutex);
    m_rule = Rule{operation, loss, withCredentials};
}

int DroppingProxy::sent(const QByteArray& operation) const {
    std::lock_guard lock(m_mutex);
    int count = 0;
    for (const Passage& passage : m_passages) {
        count += passage.soapAction.endsWith(operation) && passage.status != 401;
    }
    return count;
}

void DroppingProxy::acceptLoop() {
    while (waitFor(m_listenSocket, POLLIN, m_stopped)) {
        const int client = ::accept4(m_listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            m_connections.emplace_back([this, client] {
                serve(client);
                ::close(client);
            });
        }
    }
}

std::optional<DroppingProxy::Rule> DroppingProxy::record(const RecordedRequest& request,
                                                         std::size_t& passage) {
    std::lock_guard lock(m_mutex);
    passage = m_passages.size();
    m_passages.push_back({request.header("SOAPAction"), 0});
    if (!m_rule || !request.header("SOAPAction").endsWith(m_rule->operation) ||
        (m_rule->withCredentials && request.header("Authorization").isNull())) {
        return std::nullopt;
    }
    return std::exchange(m_rule, std::nullopt);
}

// One client connection, kept alive as long as the server's answers allow; each request goes to
// the server on a connection of its own, so that the server may close its side after answering.
void DroppingProxy::serve(int client) {
    RecordedRequest request;
    while (readMessage(client, request, m_stopped) && request.complete) {
        std::size_t passage = 0;
        const std::optional<Rule> loss = record(request, passage);
        if (loss && loss->loss == Loss::BeforeTheServer) {
            break;
        }
        const int server = connectToLoopback(m_serverPort);
        RecordedRequest answer;
        const bool answered = server >= 0 &&
                              sendAll(server, request.raw, m_stopped) == request.raw.size() &&
                              readMessage(server, answer, m_stopped);
        if (server >= 0) {
            ::close(server);
        }
        if (!answered) {
            break;
        }
        {
            std::lock_guard lock(m_mutex);
            m_passages[passage].status = answer.requestLine.split(' ').value(1).toInt();
        }
        const QByteArray passedOn = keptAlive(answer);
        if (loss || sendAll(client, passedOn, m_stopped) < passedOn.size()) {
            break;
        }
        request = {};
    }
    ::shutdown(client, SHUT_RDWR);
}

} // namespace stowline::test
