// Attacks the stand-in server as a client that wants to lock everyone else out, while one client
// from another address queries once a second. 32 addresses (127.0.0.2 to .33) each try to hold
// 32 connections that send their request heads one byte every 2 s; a connection the server
// closes is opened again a tenth of a second later. The querying client, on 127.0.0.1, opens a
// new connection for each GetFacilities. Prints the share of the queries answered within 2 s,
// the median time of all queries (those without an answer counting as the slowest), and how
// many connections the attackers held.
//
//     stowline-bench-server-attack [SECONDS] [--baseline OTHER-STOWLINE-SERVER]  (default 60)
//
// With --baseline the other build runs the same attack afterwards, and both are printed.
#include "SoapConnection.h"

#include <stowline/ServiceNamespace.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <random>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace stowline::bench;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int Addresses = 32;
constexpr int ConnectionsPerAddress = 32;
constexpr auto ByteInterval = 2s;
constexpr auto ReopenDelay = 100ms;
constexpr auto AnsweredInTime = 2s;

// One of the attackers' connections.
struct Slot {
    int host = 0; // 127.0.0.host
    int socket = -1;
    bool connecting = false;
    Clock::time_point next; // the next byte, or the next attempt to open
};

void closeSlot(Slot& slot, Clock::time_point now) {
    ::close(slot.socket);
    slot.socket = -1;
    slot.next = now + ReopenDelay;
}

// Starts a connection that does not wait for the server to accept it.
void openSlot(Slot& slot, int port, Clock::time_point now) {
    slot.socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK + static_cast<std::uint32_t>(slot.host) - 1);
    ::bind(slot.socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(slot.socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        errno != EINPROGRESS) {
        closeSlot(slot, now);
        return;
    }
    slot.connecting = true;
}

struct AttackFigures {
    long opened = 0;
    // Connections open on the attackers' side, and threads of the server (about one for each
    // connection it serves), averaged over one sample a second.
    double heldOnAverage = 0;
    double serverThreadsOnAverage = 0;
};

long threadsOf(qint64 process) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Threads:")) {
            return std::stol(line.substr(8));
        }
    }
    return 0;
}

// Keeps the attackers' connections trickling until `until`.
AttackFigures attack(int port, qint64 server, Clock::time_point until) {
    std::vector<Slot> attackers(Addresses * ConnectionsPerAddress);
    for (std::size_t i = 0; i < attackers.size(); ++i) {
        attackers[i].host = 2 + static_cast<int>(i) / ConnectionsPerAddress;
    }
    const std::string head =
        "POST " + std::string(stowline::AsmxPath) + " HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
    AttackFigures figures;
    long heldSum = 0;
    long threadSum = 0;
    long samples = 0;
    Clock::time_point nextSample = Clock::now() + 1s;
    std::vector<pollfd> polled;
    std::vector<Slot*> owners;
    std::minstd_rand random;
    std::uniform_int_distribution<int> spread(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(ByteInterval).count());
    while (Clock::now() < until) {
        Clock::time_point now = Clock::now();
        polled.clear();
        owners.clear();
        for (Slot& slot : attackers) {
            if (slot.socket < 0 && now >= slot.next) {
                openSlot(slot, port, now);
                ++figures.opened;
            }
            if (slot.socket >= 0 && !slot.connecting && now >= slot.next) {
                // A byte of the header's value, never the line's end.
                if (::send(slot.socket, "a", 1, MSG_NOSIGNAL) != 1) {
                    closeSlot(slot, now);
                    continue;
                }
                slot.next = now + ByteInterval;
            }
            if (slot.socket >= 0) {
                polled.push_back(
                    {slot.socket, static_cast<short>(slot.connecting ? POLLOUT : POLLIN), 0});
                owners.push_back(&slot);
            }
        }
        if (now >= nextSample) {
            heldSum += std::count_if(attackers.begin(), attackers.end(), [](const Slot& slot) {
                return slot.socket >= 0 && !slot.connecting;
            });
            threadSum += threadsOf(server);
            ++samples;
            nextSample += 1s;
        }
        ::poll(polled.data(), polled.size(), 50);
        now = Clock::now();
        for (std::size_t i = 0; i < polled.size(); ++i) {
            Slot& slot = *owners[i];
            if (polled[i].revents == 0) {
                continue;
            }
            if (slot.connecting) {
                int error = 0;
                socklen_t length = sizeof error;
                ::getsockopt(slot.socket, SOL_SOCKET, SO_ERROR, &error, &length);
                if (error != 0 || ::send(slot.socket, head.data(), head.size(), MSG_NOSIGNAL) !=
                                      static_cast<ssize_t>(head.size())) {
                    closeSlot(slot, now);
                    continue;
                }
                slot.connecting = false;
                // Spread over the interval, so that the bytes do not all come at once.
                slot.next = now + std::chrono::milliseconds(spread(random));
                continue;
            }
            // The server answered (a refusal) or closed: either way the slot is lost.
            closeSlot(slot, now);
        }
    }
    for (Slot& slot : attackers) {
        if (slot.socket >= 0) {
            ::close(slot.socket);
        }
    }
    figures.heldOnAverage = samples > 0 ? static_cast<double>(heldSum) / samples : 0;
    figures.serverThreadsOnAverage = samples > 0 ? static_cast<double>(threadSum) / samples : 0;
    return figures;
}

struct Figures {
    bool started = false;
    AttackFigures attack;
    // Each query's time; nothing when it had no answer.
    std::vector<std::optional<Clock::duration>> queries;
    std::vector<std::string> problems;
};

Figures runAgainst(const QString& executable, int seconds) {
    Figures figures;
    QTemporaryDir directory;
    QProcess server;
    // A line for each connection closed: thousands a second under this attack.
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start(executable, {QStringLiteral("--db"), directory.filePath(QStringLiteral("a.db")),
                              QStringLiteral("--demo-data"), QStringLiteral("--listen"),
                              QStringLiteral("127.0.0.1:0")});
    if (!server.waitForReadyRead(60'000)) {
        std::fprintf(stderr, "%s did not start\n", qPrintable(executable));
        return figures;
    }
    figures.started = true;
    const std::string serverName = QString::fromUtf8(server.readLine()).trimmed().toStdString();
    const int port = QUrl(QString::fromStdString(serverName)).port();
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    std::thread attacker([&] { figures.attack = attack(port, server.processId(), until); });
    // The attack fills the server before the first query.
    std::this_thread::sleep_for(3s);
    std::mutex mutex;
    const std::string envelope = queryEnvelope("GetFacilities");
    {
        std::vector<std::jthread> queries;
        for (auto next = Clock::now(); next < until; next += 1s) {
            std::this_thread::sleep_until(next);
            std::size_t at = 0;
            {
                const std::lock_guard lock(mutex);
                at = figures.queries.size();
                figures.queries.emplace_back();
            }
            queries.emplace_back([&, at] {
                const auto start = Clock::now();
                SoapConnection connection(serverName);
                const SoapAnswer answer = connection.post("GetFacilities", envelope);
                const std::lock_guard lock(mutex);
                if (answer.accepted) {
                    figures.queries[at] = Clock::now() - start;
                } else {
                    figures.problems.push_back(answer.text.substr(0, 100));
                }
            });
        }
    }
    attacker.join();
    server.terminate();
    server.waitForFinished(30'000);
    return figures;
}

void print(const char* name, const Figures& figures) {
    if (!figures.started) {
        std::printf("%-8s did not start\n", name);
        return;
    }
    std::vector<double> milliseconds;
    for (const auto& time : figures.queries) {
        milliseconds.push_back(time ? std::chrono::duration<double, std::milli>(*time).count()
                                    : INFINITY);
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    const auto inTime = std::count_if(milliseconds.begin(), milliseconds.end(), [](double ms) {
        return ms <= std::chrono::duration<double, std::milli>(AnsweredInTime).count();
    });
    const double median =
        milliseconds.empty() ? INFINITY : milliseconds[(milliseconds.size() - 1) / 2];
    std::printf("%-8s %7zu %9ld %8.1f %% %9.1f %9.0f %9.0f %8ld\n", name, milliseconds.size(),
                inTime,
                milliseconds.empty() ? 0.0
                                     : 100.0 * static_cast<double>(inTime) /
                                           static_cast<double>(milliseconds.size()),
                median, figures.attack.heldOnAverage, figures.attack.serverThreadsOnAverage,
                figures.attack.opened);
    for (std::size_t i = 0; i < figures.problems.size() && i < 3; ++i) {
        std::printf("         %s\n", figures.problems[i].c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    QString baseline;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--baseline"));
        at > 0 && at + 1 < arguments.size()) {
        baseline = arguments.at(at + 1);
        arguments.remove(at, 2);
    }
    const int seconds = std::max(5, arguments.value(1, QStringLiteral("60")).toInt());
    // The attackers' thousand connections and the client's.
    rlimit descriptors{};
    getrlimit(RLIMIT_NOFILE, &descriptors);
    descriptors.rlim_cur = descriptors.rlim_max;
    setrlimit(RLIMIT_NOFILE, &descriptors);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::printf("%d addresses x %d connections trickling a header byte every %lld s for %d s; "
                "one query a second from 127.0.0.1\n",
                Addresses, ConnectionsPerAddress, static_cast<long long>(ByteInterval.count()),
                seconds);
    std::printf("%-8s %7s %9s %10s %9s %9s %9s %8s\n", "server", "queries", "within2s", "share",
                "p50 ms", "held", "threads", "opened");
    print("this", runAgainst(QStringLiteral(STOWLINE_SERVER_EXECUTABLE), seconds));
    if (!baseline.isEmpty()) {
        print("baseline", runAgainst(baseline, seconds));
    }
    curl_global_cleanup();
    return 0;
}
