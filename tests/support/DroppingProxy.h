#pragma once

#include "support/RecordingHttpServer.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace stowline::test {

// Stands between the component and a server on loopback (the stand-in service), passes every
// request and answer on, records what passed, and on request loses one connection after a
// request arrived whole: before passing it on (the server never sees it), or after the server
// answered it (the server acted on it, and the answer never reaches the component). Keeps the
// component's connection alive whether the server keeps its own or not, as a proxy may, so that
// the component reuses it.
class DroppingProxy {
public:
    enum class Loss { BeforeTheServer, AfterTheServer };

    explicit DroppingProxy(quint16 serverPort);
    ~DroppingProxy();
    DroppingProxy(const DroppingProxy&) = delete;
    DroppingProxy& operator=(const DroppingProxy&) = delete;

    // "http://127.0.0.1:<port>", or with "user:password@" before the host.
    QString serverName(const QString& userInfo = QString()) const;

    // Loses the next request whose SOAPAction ends with the operation and, when asked, that
    // carries credentials; later requests pass.
    void loseNext(const QByteArray& operation, Loss loss, bool withCredentials = false);
    // How often a request of the operation went out to the proxy that the server did not
    // answer with a challenge: each of them may have been applied.
    int sent(const QByteArray& operation) const;

private:
    struct Rule {
        QByteArray operation;
        Loss loss;
        bool withCredentials;
    };
    // A request as it passed: its SOAPAction, and the status the server answered it with (0
    // when it never reached the server or no answer came).
    struct Passage {
        QByteArray soapAction;
        int status = 0;
    };

    void acceptLoop();
    void serve(int client);
    // Records the request (at `passage`); gives the rule when it is the one to lose.
    std::optional<Rule> record(const RecordedRequest& request, std::size_t& passage);

    quint16 m_serverPort;
    quint16 m_port = 0;
    int m_listenSocket = -1;
    std::atomic<bool> m_stopped = false;
    std::thread m_acceptor;
    std::vector<std::thread> m_connections; // added by the acceptor only

    mutable std::mutex m_mutex;
    std::vector<Passage> m_passages;
    std::optional<Rule> m_rule;
};

} // namespace stowline::test
