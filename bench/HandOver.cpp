// What waiting in the event loop costs an exchange: the time from an answer's last byte leaving
// a loopback server to the waiting code going on, for an exchange blocked in curl's own wait (as
// the transport did before) and for one driven from the user-interface thread's event loop
// through the component's wait (as it does now); and how soon a cancel ends an exchange with a
// service that never answers.
//
//     build/dev/bench/stowline-bench-hand-over [ROUNDS]
#include "controls/ServiceWait.h"
#include "http/HttpExchange.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Answers every request on 127.0.0.1 at once with a SOAP answer of about the given size (none:
// never), and notes when the last byte of each answer went out.
class LoopbackService {
public:
    explicit LoopbackService(qsizetype answerBytes) : m_answerBytes(answerBytes) {
        m_listening = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_listening, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listening, 16);
        ::getsockname(m_listening, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~LoopbackService() {
        m_stopped = true;
        m_thread.join();
        ::close(m_listening);
    }

    QString url() const {
        return QStringLiteral("http://127.0.0.1:%1/WebServices/TOVAWebservice/TOVAWebservice.asmx")
            .arg(m_port);
    }
    Clock::time_point lastByteSent() const { return m_lastByte.load(); }

private:
    bool readable(int socket) const {
        while (!m_stopped) {
            pollfd fd{socket, POLLIN, 0};
            if (::poll(&fd, 1, 10) > 0) {
                return true;
            }
        }
        return false;
    }

    void serve() {
        const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope "
                                "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                                "<soap:Body><r>" +
                                QByteArray(std::max<qsizetype>(m_answerBytes, 0), 'x') +
                                "</r></soap:Body></soap:Envelope>";
        const QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\n"
                                  "Content-Length: " +
                                  QByteArray::number(body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + body;
        while (readable(m_listening)) {
            const int connection = ::accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC);
            QByteArray request;
            char buffer[16384];
            // The request is small: its headers and body arrive together.
            while (!request.contains("</soap:Envelope>") && readable(connection)) {
                const ssize_t received = ::recv(connection, buffer, sizeof buffer, 0);
                if (received <= 0) {
                    break;
                }
                request.append(buffer, received);
            }
            if (m_answerBytes < 0) {
                while (readable(connection) && ::recv(connection, buffer, sizeof buffer, 0) > 0) {
                }
            } else {
                m_lastByte = Clock::now();
                ::send(connection, answer.constData(), static_cast<size_t>(answer.size()),
                       MSG_NOSIGNAL);
            }
            ::close(connection);
        }
    }

    qsizetype m_answerBytes;
    int m_listening = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopped = false;
    std::atomic<Clock::time_point> m_lastByte{};
    std::thread m_thread;
};

const QByteArray Envelope = "<?xml version=\"1.0\"?>\r\n<soap:Envelope "
                            "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                            "<soap:Body><GetFacilities/></soap:Body></soap:Envelope>";
const std::vector<stowline::http::HttpHeader> Headers = {
    {"Content-Type", "text/xml; charset=utf-8"},
    {"Content-Length", QByteArray::number(Envelope.size())},
    {"SOAPAction", "http://tempuri.org/TOVAStowlines/Service1/GetFacilities"}};

stowline::http::HttpResponse post(const LoopbackService& service,
                                  stowline::system::Cancellation* cancellation = nullptr) {
    return stowline::http::httpPost(service.url(), Headers,
                                    std::string_view(Envelope.constData(), Envelope.size()),
                                    stowline::http::Resending::Allowed, cancellation);
}

double microseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

struct Figures {
    double median;
    double p90;
};

Figures figures(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values[values.size() * 9 / 10]};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int rounds = std::max(10, argc > 1 ? QByteArray(argv[1]).toInt() : 500);

    // The two ways, round by round, so that a busy spell on a shared machine weighs on both.
    const char* const names[] = {"blocked in curl's own wait, as before",
                                 "in the event loop, through the component's wait (now)"};
    const auto exchange = [](const LoopbackService& service, int way) {
        stowline::http::HttpResponse response;
        if (way == 0) {
            response = post(service);
        } else {
            stowline::controls::waitForService(QStringLiteral("GetFacilities"),
                                               [&](stowline::system::Cancellation* cancellation) {
                                                   response = post(service, cancellation);
                                               });
        }
        return response.completed && response.status == 200;
    };
    std::vector<double> handOver[2];
    std::vector<double> large[2];
    int failed = 0;
    {
        const LoopbackService service(0);
        for (int round = 0; round < rounds + 20; ++round) {
            for (int way = 0; way < 2; ++way) {
                failed += exchange(service, way) ? 0 : 1;
                const Clock::time_point goingOn = Clock::now();
                if (round >= 20) { // the first rounds warm up
                    handOver[way].push_back(microseconds(goingOn - service.lastByteSent()));
                }
            }
        }
    }
    constexpr qsizetype LargeAnswer = 12'000'000; // about the size of 30,000 centers
    {
        const LoopbackService service(LargeAnswer);
        for (int round = 0; round < 22; ++round) {
            for (int way = 0; way < 2; ++way) {
                const Clock::time_point start = Clock::now();
                failed += exchange(service, way) ? 0 : 1;
                if (round >= 2) {
                    large[way].push_back(microseconds(Clock::now() - start) / 1000);
                }
            }
        }
    }
    std::printf("from an answer's last byte on loopback to the caller going on, %d rounds:\n",
                rounds);
    for (int way = 0; way < 2; ++way) {
        const Figures f = figures(handOver[way]);
        std::printf("  %-55s median %6.1f us, 90%% %6.1f us\n", names[way], f.median, f.p90);
    }
    std::printf("a whole exchange with a 12 MB answer on loopback, 20 rounds:\n");
    for (int way = 0; way < 2; ++way) {
        const Figures f = figures(large[way]);
        std::printf("  %-55s median %6.1f ms, 90%% %6.1f ms\n", names[way], f.median, f.p90);
    }

    // A cancel from a timer of the event loop the exchange waits in, as the Cancel button's.
    std::vector<double> cancelled;
    {
        const LoopbackService silent(-1);
        for (int round = 0; round < 20; ++round) {
            stowline::system::Cancellation cancellation;
            Clock::time_point asked;
            QTimer::singleShot(50, [&] {
                asked = Clock::now();
                cancellation.cancel(stowline::system::Cancellation::Reason::Operator);
            });
            const stowline::http::HttpResponse response = post(silent, &cancellation);
            const Clock::time_point ended = Clock::now();
            failed += response.completed ? 1 : 0;
            cancelled.push_back(microseconds(ended - asked));
        }
    }
    const Figures f = figures(cancelled);
    std::printf("from a cancel to the exchange's end, 20 rounds: median %.1f us, 90%% %.1f us\n",
                f.median, f.p90);
    if (failed > 0) {
        std::printf("%d exchanges did not end as they should\n", failed);
        return 1;
    }
    return 0;
}
