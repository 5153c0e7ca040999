#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace stowline::test {

// One request as it arrived, byte for byte, and split into its parts.
struct RecordedRequest {
    QByteArray raw;
    QByteArray requestLine;
    std::vector<std::pair<QByteArray, QByteArray>> headers; // in the order received
    QByteArray body;
    // False when the client closed before the body announced by Content-Length arrived.
    bool complete = false;

    QList<QByteArray> headerNames() const;
    bool hasHeader(const QByteArray& name) const;
    // The first value of a header (name compared without case); null when absent.
    QByteArray header(const QByteArray& name) const;
};

// What the server does with one request once it has read it.
struct ServerBehaviour {
    enum class Kind { Respond, CloseWithoutAnswer, NeverAnswer, SendPartThenClose, Drip };
    Kind kind = Kind::Respond;
    QByteArray response; // raw answer bytes: status line, headers, body
    qsizetype cutAt = 0; // SendPartThenClose: how many bytes go out before the close
    qsizetype dripChunkBytes = 1;
    std::chrono::milliseconds dripInterval{0};

    // A full answer with Content-Type, Content-Length and "Connection: close".
    static ServerBehaviour respond(int status, const QByteArray& body,
                                   const QByteArray& contentType = "text/xml; charset=utf-8");
    static ServerBehaviour rawResponse(QByteArray bytes);
    static ServerBehaviour closeWithoutAnswer();
    // Reads the request and stays silent until the client gives up or the server stops.
    static ServerBehaviour neverAnswer();
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
    ~RecordingHttpServer();
    RecordingHttpServer(const RecordingHttpServer&) = delete;
    RecordingHttpServer& operator=(const RecordingHttpServer&) = delete;

    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>", the server name a component is given.
    QString baseUrl() const;
    // The base followed by the path (the service endpoint unless told otherwise).
    QString url(const QString& path =
                    QStringLiteral("/WebServices/TOVAWebservice/TOVAWebservice.asmx")) const;

    // The behaviour for every request that finds no queued one (initially 200 with an empty
    // SOAP envelope).
    void setBehaviour(ServerBehaviour behaviour);
    // A behaviour for one request; queued ones are used in order before the default.
    void queueBehaviour(ServerBehaviour behaviour);

    std::vector<RecordedRequest> requests() const;
    void clearRequests();
    // Waits until at least count requests were recorded; false when the deadline passed.
    bool waitForRequests(std::size_t count,
                         std::chrono::milliseconds deadline = std::chrono::seconds(10)) const;

    // Closes the listening socket and every connection; the destructor calls it.
    void stop();

private:
    void acceptLoop();
    void serve(int socket);
    bool readRequest(int socket, RecordedRequest& request);
    bool stopRequested(std::chrono::milliseconds wait) const;
    void behave(int socket, const ServerBehaviour& behaviour);

    int m_listenSocket = -1;
    int m_stopPipe[2] = {-1, -1};
    quint16 m_port = 0;
    std::thread m_acceptor;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_recorded;
    std::vector<RecordedRequest> m_requests;
    std::deque<ServerBehaviour> m_queued;
    ServerBehaviour m_behaviour;
    std::vector<std::thread> m_connections;
    bool m_stopped = false;
};

} // namespace stowline::test
