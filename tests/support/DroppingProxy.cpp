#include "support/DroppingProxy.h"

#include "support/LoopbackSocket.h"

#include <QList>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace stowline::test {

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
    m_lossOperation = operation;
    m_loss = loss;
    m_lossNeedsCredentials = withCredentials;
}

int DroppingProxy::sent(const QByteArray& operation) const {
    std::lock_guard lock(m_mutex);
    int count = 0;
    for (const Passage& passage : m_passages) {
        count += passage.request.header("SOAPAction").endsWith(operation) && passage.status != 401;
    }
    return count;
}

std::vector<DroppingProxy::Passage> DroppingProxy::passages() const {
    std::lock_guard lock(m_mutex);
    return m_passages;
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

bool DroppingProxy::takeLoss(const RecordedRequest& request, Loss& loss) {
    std::lock_guard lock(m_mutex);
    if (m_lossOperation.isEmpty() || !request.header("SOAPAction").endsWith(m_lossOperation) ||
        (m_lossNeedsCredentials && request.header("Authorization").isNull())) {
        return false;
    }
    m_lossOperation.clear();
    loss = m_loss;
    return true;
}

std::size_t DroppingProxy::record(const RecordedRequest& request) {
    std::lock_guard lock(m_mutex);
    m_passages.push_back({request, 0});
    return m_passages.size() - 1;
}

// One client connection, kept alive as long as the server's answers allow; each request goes to
// the server on a connection of its own, so that the server may close its side after answering.
void DroppingProxy::serve(int client) {
    RecordedRequest request;
    while (readMessage(client, request, m_stopped) && request.complete) {
        const std::size_t index = record(request);
        Loss loss = Loss::BeforeTheServer;
        const bool lose = takeLoss(request, loss);
        if (lose && loss == Loss::BeforeTheServer) {
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
            m_passages[index].status = answer.requestLine.split(' ').value(1).toInt();
        }
        if (lose || sendAll(client, answer.raw, m_stopped) < answer.raw.size() ||
            answer.header("Connection").compare("close", Qt::CaseInsensitive) == 0) {
            break;
        }
        request = {};
    }
    ::shutdown(client, SHUT_RDWR);
}

} // namespace stowline::test
