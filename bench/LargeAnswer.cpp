// Peak memory of LoadData against a service whose every answer is one large document of small
// elements ("<r><a/><a/>...</r>"), the cheapest way for a broken or hostile service to make the
// component hold many parsed nodes per answer byte. Prints the peak resident memory before and
// after the load and how many bytes the service could hand over before the component let go.
//
//     stowline-bench-large-answer [BYTES]      (default 64 MiB: 67108864)
#include "controls/MessageBox.h"

#include <stowline/EventLog.h>
#include <stowline/Stowline.h>

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The whole answer, headers and body, built in place: the benchmark's own copy is its only one.
QByteArray answerOfSmallElements(qsizetype bytes) {
    QByteArray answer =
        "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " +
        QByteArray::number(bytes) + "\r\nConnection: close\r\n\r\n<r>";
    const qsizetype end = answer.size() - 3 + bytes;
    answer.reserve(end);
    while (answer.size() + 4 + 4 <= end) {
        answer += "<a/>";
    }
    answer += QByteArray(end - answer.size() - 4, ' ');
    return answer + "</r>";
}

// Answers every request on one loopback port with the same document, counting what it sent.
class Service {
public:
    explicit Service(QByteArray answer) : m_answer(std::move(answer)) {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_socket, 8);
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~Service() {
        ::shutdown(m_socket, SHUT_RDWR);
        ::close(m_socket);
        m_thread.join();
    }
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    QString serverName() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    long long sent() const { return m_sent; }

private:
    void serve() {
        for (;;) {
            const int connection = ::accept(m_socket, nullptr, nullptr);
            if (connection < 0) {
                return;
            }
            char request[65536];
            (void)::recv(connection, request, sizeof request, 0);
            for (qsizetype at = 0; at < m_answer.size();) {
                const ssize_t n = ::send(connection, m_answer.constData() + at,
                                         static_cast<size_t>(m_answer.size() - at), MSG_NOSIGNAL);
                if (n <= 0) {
                    break;
                }
                at += n;
                m_sent += n;
            }
            ::close(connection);
        }
    }

    QByteArray m_answer;
    int m_socket = -1;
    quint16 m_port = 0;
    std::atomic<long long> m_sent = 0;
    std::thread m_thread;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype bytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : qsizetype{64} << 20;
    stowline::controls::setMessageBoxPresenter(
        [](const stowline::controls::MessageBoxRequest&) { return stowline::controls::AnswerOk; });
    int reports = 0;
    stowline::setEventLogSink([&reports](const QString&) { ++reports; });

    Service service(answerOfSmallElements(bytes));
    stowline::Stowline component;
    std::printf("answer: %lld bytes of small elements, four queries\n",
                static_cast<long long>(bytes));
    std::printf("peak resident memory before LoadData: %.1f MB\n", peakMegabytes());
    QElapsedTimer timer;
    timer.start();
    component.LoadData(service.serverName());
    std::printf("LoadData: %.1f s, %d reports, %lld bytes sent by the service\n",
                static_cast<double>(timer.elapsed()) / 1000.0, reports, service.sent());
    std::printf("peak resident memory after LoadData: %.1f MB\n", peakMegabytes());
    return 0;
}
