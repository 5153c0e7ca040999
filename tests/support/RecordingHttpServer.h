#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace stowline::test {

// One request as it arrived, byte for byte, and split into its parts. (A proxy reads its
// server's answers into the same form, the status line as requestLine.)
struct RecordedRequest {
    QByteArray raw;
    QByteArray requestLine;
    std::vector<std::pair<QByteArray, QByteArray>> headers; // in the order received
    QByteArray body;
    // False when the client closed before the body announced by Content-Length arrived.
    bool complete = false;
    // How much of its answer the server handed to the network before the client went away.
    qsizetype answerBytesSent = 0;
    // A proxy's: the status its server answered with; 0 when none came.
    int answerStatus = 0;

    // The first value of a header (name compared without case); null when absent.
    QByteArray header(const QByteArray& name) const;
};

// What the server does with one request once it has read it: waits `delay`, sends the response,
// chunkBytes at a time with a pause between chunks, and closes; or, when silent, waits until the
// client gives up or the server stops.
struct ServerBehaviour {
    QByteArray response;      // raw answer bytes: status line, headers, body
    qsizetype chunkBytes = 0; // 0: in one piece
    std::chrono::milliseconds pause{0};
    bool silent = false;
    std::chrono::milliseconds delay{0};

    // The same answer from a slow service, after the given time.
    ServerBehaviour after(std::chrono::milliseconds wait) const {
        ServerBehaviour late = *this;
        late.delay = wait;
        return late;
    }

    // A full answer with Content-Type, Content-Length and "Connection: close".
    static ServerBehaviour respond(int status, const QByteArray& body,
                                   const QByteArray& contentType = "text/xml; charset=utf-8");
    static ServerBehaviour rawResponse(QByteArray bytes) { return {std::move(bytes)}; }
    static ServerBehaviour closeWithoutAnswer() { return {}; }
    static ServerBehaviour neverAnswer() { return {{}, 0, {}, true}; }
    // The full answer of respond(), a few bytes at a time.
    static ServerBehaviour drip(int status, const QByteArray& body, qsizetype chunkBytes,
                                std::chrono::milliseconds interval);
};

// A loopback HTTP server for tests: listens on 127.0.0.1 on a free port, records every request
// and answers as scripted. Each connection is served on its own thread and closed after one
// answer. Stops promptly when destroyed, also while a connection is stalled or dripping.
//
// Given the port of another server on loopback (the stand-in service), it is a dropping proxy in
// front of it instead: it passes every request on, on a connection of its own, and the answer
// back, records both, and keeps the client's connection open whatever the server does with its
// own, as a proxy may. On request it loses one connection after a request arrived whole, or
// answers that request with a page of its own, as a gateway does.
class RecordingHttpServer {
public:
    // Before passing the request on (the server never sees it), or after the server answered it
    // (the server acted on it, and the answer never reaches the client): the connection closes,
    // or, Held, stays open without a word until the client gives up.
    enum class Loss { BeforeTheServer, AfterTheServer, Held };

    explicit RecordingHttpServer(quint16 passOnTo = 0);
    ~RecordingHttpServer() { stop(); }
    RecordingHttpServer(const RecordingHttpServer&) = delete;
    RecordingHttpServer& operator=(const RecordingHttpServer&) = delete;

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>", the server name a component is given.
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

    // The behaviour for every request that finds no queued one (initially 200 with an empty
    // SOAP envelope).
    void setBehaviour(ServerBehaviour behaviour);
    // A behaviour for one request; queued ones are used in order before the default.
    void queueBehaviour(ServerBehaviour behaviour);

    std::vector<RecordedRequest> requests() const;
    void clearRequests();

    // A proxy loses the next request whose SOAPAction ends with the operation and, when asked,
    // that carries credentials; later requests pass. Given a gateway's answer, the proxy sends
    // it to the client in place of closing the connection, and closes it after.
    void loseNext(const QByteArray& operation, Loss loss, bool withCredentials = false,
                  std::optional<ServerBehaviour> gatewayAnswer = std::nullopt);
    // How often a request of the operation went out that was not answered with a challenge:
    // each of them may have been applied.
    int sent(const QByteArray& operation) const;

    // Closes the listening socket and every connection; the destructor calls it.
    void stop();

private:
    struct LossRule {
        QByteArray operation;
        Loss loss;
        bool withCredentials;
        std::optional<ServerBehaviour> gatewayAnswer;
    };

    void acceptLoop();
    void serve(int socket);
    void passOn(int client);
    // Records the request at `index`; tells the loss when it is the one to lose.
    std::optional<LossRule> record(RecordedRequest request, std::size_t& index, int& cleared);

    quint16 m_passOnTo = 0;
    int m_listenSocket = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopped = false;
    std::thread m_acceptor;
    std::vector<std::thread> m_connections; // added by the acceptor only

    mutable std::mutex m_mutex;
    std::vector<RecordedRequest> m_requests;
    int m_cleared = 0; // how often the requests were cleared
    std::deque<ServerBehaviour> m_queued;
    ServerBehaviour m_behaviour;
    std::optional<LossRule> m_lossRule;
};

// The address of a server that is gone: nothing listens there, and a connection is refused.
inline QString refusedBaseUrl() {
    const RecordingHttpServer closed;
    return closed.baseUrl();
}

} // namespace stowline::test
