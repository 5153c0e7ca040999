#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace stowline::test {

// One request as it arrived, byte for byte, and split into its parts. (The dropping proxy keeps
// the service's answers in the same form, the status line as requestLine.)
struct RecordedRequest {
    QByteArray raw;
    QByteArray requestLine;
    std::vector<std::pair<QByteArray, QByteArray>> headers; // in the order received
    QByteArray body;
    // False when the client closed before the body announced by Content-Length arrived.
    bool complete = false;
    // How much of its answer the server handed to the network before the client went away.
    qsizetype answerBytesSent = 0;

    // The first value of a header (name compared without case); null when absent.
    QByteArray header(const QByteArray& name) const;
};

// What the server does with one request once it has read it: sends the first sendBytes bytes
// of the response (all when negative), chunkBytes at a time with a pause between chunks, and
// closes; or, when silent, waits until the client gives up or the server stops.
struct ServerBehaviour {
    QByteArray response; // raw answer bytes: status line, headers, body
    qsizetype sendBytes = -1;
    qsizetype chunkBytes = 0; // 0: in one piece
    std::chrono::milliseconds pause{0};
    bool silent = false;

    // A full answer with Content-Type, Content-Length and "Connection: close".
    static ServerBehaviour respond(int status, const QByteArray& body,
                                   const QByteArray& contentType = "text/xml; charset=utf-8");
    static ServerBehaviour rawResponse(QByteArray bytes) { return {std::move(bytes)}; }
    static ServerBehaviour closeWithoutAnswer() { return {}; }
    static ServerBehaviour neverAnswer() { return {{}, -1, 0, {}, true}; }
    // Announces the whole body but closes after half of it.
    static ServerBehaviour halfThenClose(int status, const QByteArray& body);
    // The full answer of respond(), a few bytes at a time.
    static ServerBehaviour drip(int status, const QByteArray& body, qsizetype chunkBytes,
                                std::chrono::milliseconds interval);
};

// A loopback HTTP server for tests: listens on 127.0.0.1 on a free port, records every request
// and answers as scripted. Each connection is served on its own thread and closed after one
// answer. Stops promptly when destroyed, also while a connection is stalled or dripping.
class RecordingHttpServer {
public:
    RecordingHttpServer();
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

    // Closes the listening socket and every connection; the destructor calls it.
    void stop();

private:
    void acceptLoop();
    void serve(int socket);

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
};

} // namespace stowline::test
