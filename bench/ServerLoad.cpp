// Puts the stand-in server under the load of many operator programs at once: concurrent
// clients, each on its own connection, mix queries with updates of records that are theirs
// alone. Prints the throughput, the latencies overall and per operation and the errors, then
// checks the database the server kept against every acknowledged update. Beside the clients,
// STALLED connections may each send a request line and one header and then nothing; one that
// the server closes is replaced at once, so that that many stall throughout the run.
//
//     stowline-bench-server-load [SECONDS] [CLIENTS] [CENTERS] [STALLED]
//                                                      (defaults 60, 16, 2000, 0)
//
// Exits with 1 when a request failed, a query missed an acknowledged change, or an
// acknowledged update is missing from the database.
#include "DatabaseCheck.h"
#include "LoadClient.h"

#include <stowline/ServiceNamespace.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <arpa/inet.h>
#include <cmath>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace stowline::bench;

namespace {

struct Options {
    int seconds = 60;
    int clients = 16;
    int centers = 2000;
    int stalled = 0;
};

Options parseOptions(const QStringList& arguments) {
    Options options;
    int* const targets[] = {&options.seconds, &options.clients, &options.centers, &options.stalled};
    for (qsizetype i = 1; i < arguments.size() && i <= 4; ++i) {
        *targets[i - 1] = std::max(i == 4 ? 0 : 1, arguments.at(i).toInt());
    }
    return options;
}

// A connection that sends a request line and one header and then nothing; -1 when it cannot
// connect.
int stalledConnection(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string start =
        "POST " + std::string(stowline::AsmxPath) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::send(s, start.data(), start.size(), MSG_NOSIGNAL) < 0) {
        ::close(s);
        return -1;
    }
    return s;
}

// Keeps `count` stalled connections open until `until`, replacing each one the server closes;
// returns how many it opened in all.
int stallConnections(int port, int count, std::chrono::steady_clock::time_point until) {
    std::vector<pollfd> stalled;
    int opened = 0;
    while (std::chrono::steady_clock::now() < until) {
        while (static_cast<int>(stalled.size()) < count) {
            const int s = stalledConnection(port);
            if (s < 0) {
                break;
            }
            stalled.push_back({s, POLLIN, 0});
            ++opened;
        }
        ::poll(stalled.data(), stalled.size(), 100);
        // The server's 408 first, then its end of the connection.
        std::erase_if(stalled, [](const pollfd& connection) {
            char answer[256];
            if (connection.revents == 0 ||
                ::recv(connection.fd, answer, sizeof answer, MSG_DONTWAIT) > 0) {
                return false;
            }
            ::close(connection.fd);
            return true;
        });
    }
    for (const pollfd& connection : stalled) {
        ::close(connection.fd);
    }
    return opened;
}

double milliseconds(std::uint32_t microseconds) {
    return static_cast<double>(microseconds) / 1000.0;
}

// Nearest rank: the smallest time that at least `fraction` of the requests did not exceed.
std::uint32_t percentile(const std::vector<std::uint32_t>& sorted, double fraction) {
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

void printLatencies(const char* name, std::vector<std::uint32_t> times) {
    if (times.empty()) {
        std::printf("%-36s %8d\n", name, 0);
        return;
    }
    std::sort(times.begin(), times.end());
    std::printf("%-36s %8zu %9.2f %9.2f %9.2f\n", name, times.size(),
                milliseconds(percentile(times, 0.50)), milliseconds(percentile(times, 0.99)),
                milliseconds(times.back()));
}

void printProblems(const char* heading, const std::vector<std::string>& problems) {
    if (problems.empty()) {
        return;
    }
    std::printf("%s (first %zu):\n", heading, std::min<std::size_t>(problems.size(), 10));
    for (std::size_t i = 0; i < problems.size() && i < 10; ++i) {
        std::printf("  %s\n", problems[i].c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options options = parseOptions(QCoreApplication::arguments());
    curl_global_init(CURL_GLOBAL_DEFAULT);

    QTemporaryDir directory;
    const QString databasePath = directory.filePath(QStringLiteral("load.db"));
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral(STOWLINE_SERVER_EXECUTABLE),
                 {QStringLiteral("--db"), databasePath, QStringLiteral("--generate"),
                  QString::number(options.centers), QStringLiteral("--listen"),
                  QStringLiteral("127.0.0.1:0")});
    if (!server.waitForReadyRead(120'000)) {
        std::fprintf(stderr, "stowline-server did not start\n");
        return 1;
    }
    const std::string serverName = QString::fromUtf8(server.readLine()).trimmed().toStdString();
    std::printf("server %s with %d generated centers; %d clients and %d stalled connections "
                "for %d s\n",
                serverName.c_str(), options.centers, options.clients, options.stalled,
                options.seconds);

    std::vector<std::unique_ptr<LoadClient>> clients;
    for (int i = 0; i < options.clients; ++i) {
        clients.push_back(
            std::make_unique<LoadClient>(i, options.clients, options.centers, serverName));
    }
    const auto start = std::chrono::steady_clock::now();
    const auto until = start + std::chrono::seconds(options.seconds);
    int stalledOpened = 0;
    {
        std::vector<std::jthread> threads;
        if (options.stalled > 0) {
            const int port = QUrl(QString::fromStdString(serverName)).port();
            threads.emplace_back([&stalledOpened, port, &options, until] {
                stalledOpened = stallConnections(port, options.stalled, until);
            });
            // They stall before the clients start.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        for (const auto& client : clients) {
            threads.emplace_back([&client, until] { client->run(until); });
        }
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // The check reads what the server left in its file once it has stopped.
    server.terminate();
    server.waitForFinished(30'000);

    std::vector<std::uint32_t> all;
    std::array<std::vector<std::uint32_t>, RequestKinds> perKind;
    int errors = 0;
    int staleReads = 0;
    int connections = 0;
    int slowConnections = 0;
    std::vector<std::string> problems;
    std::vector<OwnedRecords> expected;
    for (const auto& client : clients) {
        ClientResult& result = client->result();
        for (std::size_t k = 0; k < RequestKinds; ++k) {
            perKind[k].insert(perKind[k].end(), result.microseconds[k].begin(),
                              result.microseconds[k].end());
        }
        errors += result.errors;
        connections += result.connections;
        slowConnections += result.slowConnections;
        staleReads += result.staleReads;
        problems.insert(problems.end(), result.problems.begin(), result.problems.end());
        expected.push_back(std::move(result.records));
    }
    for (const auto& times : perKind) {
        all.insert(all.end(), times.begin(), times.end());
    }

    std::printf("requests: %zu in %.1f s = %.0f per second\n", all.size(), elapsed,
                static_cast<double>(all.size()) / elapsed);
    // A connect that finds the listen queue full waits for its SYN to be sent again, a second
    // later.
    std::printf("connections opened: %d, %d of them accepted only after a second or more\n",
                connections, slowConnections);
    if (options.stalled > 0) {
        std::printf("stalled connections opened: %d (the server closes each after its read "
                    "time-out)\n",
                    stalledOpened);
    }
    std::printf("%-36s %8s %9s %9s %9s\n", "latency (ms)", "count", "p50", "p99", "max");
    printLatencies("all", all);
    for (std::size_t k = 0; k < RequestKinds; ++k) {
        printLatencies(operationName(static_cast<RequestKind>(k)), perKind[k]);
    }

    std::vector<std::string> lostProblems;
    int lost = 0;
    try {
        lost = countLostUpdates(databasePath.toStdString(), expected, lostProblems);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "the database cannot be read: %s\n", e.what());
        return 1;
    }
    std::printf("errors: %d\n", errors);
    std::printf("stale reads: %d\n", staleReads);
    std::printf("lost updates: %d\n", lost);
    printProblems("problems during the run", problems);
    printProblems("lost updates", lostProblems);
    curl_global_cleanup();
    return errors == 0 && staleReads == 0 && lost == 0 ? 0 : 1;
}
